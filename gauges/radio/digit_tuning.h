// Digit tuning shared by the two radios: frequency words with one decimal
// digit per nibble, the module's private copy of each word, the callbacks
// that turn a word into digit text and knob pictures, the knob-half
// handlers, and the settings every digit window, knob picture and knob half
// has in common.
//
// Each radio module compiles this header into its own single source file;
// nothing here is shared between the modules at run time. The routines are
// templates bound to a nibble, a private copy and (for string callbacks)
// the window they write into, so that every instantiation is one plain
// routine whose address a record holds.
//
// Nibble k of a word is bits 4k to 4k+3; nibble 0 is the least significant.
// The radios use nibbles 0 to 3 and never send bits 16 to 31.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "panel_services.h"

namespace radio {

// ---------------------------------------------------------------------------
// Frequency words.
// ---------------------------------------------------------------------------
constexpr uint32_t nibble_of(uint32_t word, unsigned nibble) { return (word >> (4 * nibble)) & 0xF; }

// The low 16 bits with nibble k cleared: 0xFFF0, 0xFF0F, 0xF0FF or 0x0FFF.
// Applying it also clears bits 16 to 31 of the word sent.
constexpr uint32_t keep_mask(unsigned nibble) { return 0xFFFF & ~(0xFu << (4 * nibble)); }

// The word the host's double stands for: truncated toward zero, low 32 bits
// kept. The host passes the raw value callback's result, 0 to 4294967295,
// but a string callback takes whatever double it is given: one that has no
// integer value in the 64-bit range (NaN, infinities, magnitudes from 2^63)
// gives the word 0, which is also the low half of the x87's "integer
// indefinite". Within the range the 64-bit conversion is one x87 store, with
// no runtime helper.
inline uint32_t word_from_double(double value) {
    const double limit = 9223372036854775808.0;  // 2^63
    if (!(value > -limit && value < limit)) return 0;
    return static_cast<uint32_t>(static_cast<int64_t>(value));
}

// ---------------------------------------------------------------------------
// Step rules. A rule takes the digit read from the private copy (0 to 15)
// and gives the new digit, or keep_digit when nothing is to change.
// ---------------------------------------------------------------------------
constexpr uint32_t keep_digit = 0xFFFFFFFF;
typedef uint32_t (*DigitRule)(uint32_t digit);

// 9 becomes 0; a nibble holding 10 to 15 becomes 0 as well.
inline uint32_t step_up(uint32_t digit) { return digit + 1 > 9 ? 0 : digit + 1; }

// 0 becomes 9; only the lower bound is tested, so 10 to 15 become 9 to 14.
inline uint32_t step_down(uint32_t digit) { return digit == 0 ? 9 : digit - 1; }

// ---------------------------------------------------------------------------
// Callbacks and handlers the records name.
// ---------------------------------------------------------------------------

// The characters of the digit windows, indexed by a nibble. A nibble above 9
// has no digit and shows as a blank.
constexpr char digit_table[10] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
constexpr char no_digit = ' ';

inline char digit_character(uint32_t digit) { return digit < sizeof digit_table ? digit_table[digit] : no_digit; }

// Raw value callback of every digit window: the word in the first four bytes
// of the variable's value, as a double (0 to 4294967295).
inline double PANEL_CALL raw_word_value(ModuleVar* var) { return static_cast<double>(var->value.word); }

// Digit value callback of a knob picture: its nibble of the word, 0 to 15,
// the number of the picture the host shows.
template <unsigned nibble>
double PANEL_CALL digit_value(ModuleVar* var) {
    return static_cast<double>(nibble_of(var->value.word, nibble));
}

// Digit string callback of a window: writes the character of its nibble of
// the word into the window's text buffer. A refreshing callback first stores
// the whole word in its private copy. While the host has placed no buffer in
// the window's text field, nothing is written.
template <unsigned nibble, StringElement& window, uint32_t* refreshed_copy = nullptr>
double PANEL_CALL digit_text(double value) {
    static const char format[] = "%c";
    uint32_t word = word_from_double(value);
    if constexpr (refreshed_copy != nullptr) *refreshed_copy = word;
    if (char* text = window.text) wsprintfA(text, format, digit_character(nibble_of(word, nibble)));
    return value;
}

// Knob-half handler: steps its nibble of the private copy by its rule, then
// sends the whole copy, bits 16 to 31 cleared, with the word's key event.
// The host's two arguments are not used.
template <unsigned nibble, uint32_t& copy, uint32_t key_event, DigitRule rule>
uint32_t PANEL_CALL knob_half(uint32_t, uint32_t) {
    uint32_t digit = rule(nibble_of(copy, nibble));
    if (digit == keep_digit) return 1;
    copy = (copy & keep_mask(nibble)) | (digit << (4 * nibble));
    panel::send_key_event(key_event, copy);
    return 1;
}

// ---------------------------------------------------------------------------
// Record settings common to both radios. Only the arguments differ between
// one digit window, knob picture or knob half and the next; everything else
// is declared here once. The functions run at compile time: every record
// built with them is constinit static data.
// ---------------------------------------------------------------------------
constexpr uint32_t background_resource = 0x1000;
constexpr uint32_t first_knob_picture = 0x2000;  // picture i at 0x2000 + 3i
constexpr uint32_t knob_pictures = 10;
constexpr int32_t knob_y = 29;
constexpr int32_t knob_half_width = 24;
constexpr int32_t knob_half_height = 36;
constexpr uint32_t knob_mouse_flags = 0x20200000;
constexpr int32_t cursor_turn_down = 2;
constexpr int32_t cursor_turn_up = 1;

constexpr StaticImageElement radio_background(GaugeHeader* gauge, ElementHeader** children) {
    return {
        .header =
            {
                .element_kind = element_static_image,
                .resource_id = background_resource,  // 350 x 90
                .position_x = 0,
                .position_y = 0,
                .gauge_header = gauge,
                .next_elements = children,  // the windows left to right, then the rest
                .failure_list = 0,
                .image_flags = 1,
            },
    };
}

struct DigitWindow {
    GaugeHeader* gauge;
    int32_t position_x;
    uint32_t token;  // the digit's frequency word
    StringCallback string_callback;
    ElementHeader** knob;  // the knob picture alone, or NULL
    FailureRecord* failures;
};

constexpr StringElement digit_window(const DigitWindow& digit) {
    return {
        .header =
            {
                .element_kind = element_string,
                .resource_id = no_resource,
                .position_x = digit.position_x,
                .position_y = 2,
                .gauge_header = digit.gauge,
                .next_elements = digit.knob,
                .failure_list = digit.failures,
                .image_flags = 7,
            },
        .sources = {{.token = digit.token}, {.token = token_none}, {.token = token_none}},
        .source_callbacks = {raw_word_value, 0, 0},
        .string_callback = digit.string_callback,
        .text = 0,  // the host's buffer, max_chars + 1 bytes at least
        .box_width = 19,
        .box_height = 33,
        .text_colour = 0x00FAFAFA,
        .background_colour = 0x001F1F1F,
        .highlight_colour = 0x0000FAFA,
        .font_name = "Courier New",
        .font_weight = 700,    // bold
        .font_charset = 1,     // the default character set
        .text_format = 0x25,   // centred both ways, one line
        .max_chars = 1,
    };
}

struct KnobPicture {
    GaugeHeader* gauge;
    int32_t position_x;
    uint32_t token;  // the digit's frequency word
    ValueCallback digit_value;
    FailureRecord* failures;
};

constexpr IconElement knob_picture(const KnobPicture& knob) {
    return {
        .header =
            {
                .element_kind = element_icon,
                .resource_id = first_knob_picture,
                .position_x = knob.position_x,
                .position_y = knob_y,
                .gauge_header = knob.gauge,
                .next_elements = 0,
                .failure_list = knob.failures,
                .image_flags = 3,
            },
        .source = {.token = knob.token},
        .value_callback = knob.digit_value,
        .picture_count = knob_pictures,
    };
}

// ---------------------------------------------------------------------------
// Mouse-list entries.
// ---------------------------------------------------------------------------
constexpr MouseRect group_start(uint32_t help_id) {
    return {.rect_kind = mouse_group_start, .cursor = no_cursor, .help_id = help_id};
}
constexpr MouseRect group_end() { return {.rect_kind = mouse_group_end, .cursor = no_cursor}; }
constexpr MouseRect list_end() { return {.rect_kind = mouse_list_end, .cursor = no_cursor}; }

// The left half of a knob turns its digit down, the right half up; where a
// digit's rule has no direction both halves run the same one.
constexpr MouseRect knob_half_area(int32_t area_x, int32_t cursor, uint32_t help_id, MouseHandler handler) {
    return {
        .rect_kind = mouse_area,
        .area_x = area_x,
        .area_y = knob_y,
        .area_width = knob_half_width,
        .area_height = knob_half_height,
        .cursor = cursor,
        .help_id = help_id,
        .mouse_flags = knob_mouse_flags,
        .event_id = 0,
        .handler = handler,
    };
}
constexpr MouseRect knob_left_half(int32_t area_x, uint32_t help_id, MouseHandler handler) {
    return knob_half_area(area_x, cursor_turn_down, help_id, handler);
}
constexpr MouseRect knob_right_half(int32_t area_x, uint32_t help_id, MouseHandler handler) {
    return knob_half_area(area_x, cursor_turn_up, help_id, handler);
}

}  // namespace radio
