// Helpers shared by the radio tests: a fixture that drives one radio through
// the host (set the words, update, read the windows and knobs, click a knob
// half) and the expected words of the records every radio has in common.
#pragma once

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "record_words.h"

namespace radio_test {

using test::ExpectedWords;
using test::word_of;

// The words of a digit window as declared, with the fields that differ
// between windows as arguments. `text` is the host's and checked apart.
inline ExpectedWords digit_window_words(int x, std::uint32_t token, const void* header, const void* children,
                                        const void* failures, const void* raw_callback,
                                        const void* string_callback) {
    ExpectedWords words(312);
    words.at(0, 2)                // element_kind: string
        .at(4, 0xFFFFFFFF)        // resource_id: none
        .at(8, x)                 // position_x
        .at(12, 2)                // position_y
        .at(32, header)           // gauge_header
        .at(40, children)         // next_elements
        .at(44, failures)         // failure_list
        .at(48, 7)                // image_flags
        .at(60, token)            // sources[0].token; the other two are 0
        .at(168, raw_callback)    // source_callbacks[0]
        .at(180, string_callback) // string_callback
        .at(192, 19)              // box_width
        .at(196, 33)              // box_height
        .at(208, 0x00FAFAFA)      // text_colour
        .at(212, 0x001F1F1F)      // background_colour
        .at(216, 0x0000FAFA)      // highlight_colour
        .at(280, 700)             // font_weight
        .at(284, 1)               // font_charset
        .at(288, 0x25)            // text_format
        .at(292, 1);              // max_chars
    // font_name: "Courier New", zero-filled to 32 bytes.
    const char font[12] = "Courier New";
    for (int i = 0; i < 3; ++i) {
        std::uint32_t word;
        std::memcpy(&word, font + 4 * i, 4);
        words.at(248 + 4 * i, word);
    }
    return words;
}

inline ExpectedWords knob_picture_words(int x, std::uint32_t token, const void* header, const void* failures,
                                        const void* digit_callback) {
    return ExpectedWords(136)
        .at(0, 4)                 // element_kind: icon
        .at(4, 0x2000)            // resource_id: picture 0
        .at(8, x)                 // position_x
        .at(12, 29)               // position_y
        .at(32, header)           // gauge_header
        .at(44, failures)         // failure_list
        .at(48, 3)                // image_flags
        .at(60, token)            // source.token
        .at(88, digit_callback)   // value_callback
        .at(112, 10);             // picture_count
}

inline ExpectedWords knob_half_words(int x, int cursor, std::uint32_t help, const void* handler) {
    return ExpectedWords(44)
        .at(0, 2)            // area
        .at(4, x)
        .at(8, 29)
        .at(12, 24)
        .at(16, 36)
        .at(20, cursor)
        .at(24, help)
        .at(28, 0x20200000)  // mouse_flags
        .at(36, handler);    // event_id 0
}

inline ExpectedWords bare_mouse_record(std::uint32_t kind, std::uint32_t help) {
    return ExpectedWords(44).at(0, kind).at(20, 0xFFFFFFFF).at(24, help);
}

inline bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// One radio module, loaded in a fresh host (so its private copies start at
// zero), with the handles a test needs.
class Radio : public test::LoadedGauge {
protected:
    ElementHeader* background() { return gauge().root(); }
    ElementHeader** children() { return background()->next_elements; }
    StringElement* window(int i) { return reinterpret_cast<StringElement*>(children()[i]); }
    IconElement* knob(int window_index) {
        ElementHeader** list = window(window_index)->header.next_elements;
        return list ? reinterpret_cast<IconElement*>(list[0]) : nullptr;
    }

    const std::string& text(int window_index) { return gauge().element(window(window_index)).text; }
    int picture(int window_index) { return gauge().element(knob(window_index)).picture; }

    // The mouse list the gauge hands over at install.
    MouseRect* mouse_list() { return gauge().mouse_list(); }

    // Clicks the middle of the knob half whose area starts at `area_x`
    // (every half is 24 x 36 at y = 29), through the host's hit-testing.
    // Returns the key events that reached the simulation.
    std::vector<host::KeyEventRecord> click_half(int area_x) { return click_at(area_x + 12, 29 + 18); }

    std::vector<host::KeyEventRecord> click_at(int x, int y) {
        host().simulation().clear();
        host().clear_trace();
        EXPECT_TRUE(host().click(gauge(), x, y)) << "no area at " << x << ", " << y;
        // Every knob half handler answers 1.
        for (const auto& entry : host().trace_of(host::TraceKind::callback)) {
            if (entry.call == "mouse_handler") {
                EXPECT_EQ(entry.detail, "1") << "handler at " << x << ", " << y;
            }
        }
        return host().key_events();
    }

    // Calls a window's string callback directly, as the host would, and
    // returns its result (NaN with a failure when the call was stopped).
    double call_string_callback(StringElement* element, double argument) {
        StringCallback callback = element->string_callback;
        double result = std::nan("");
        EXPECT_TRUE(host().call_module(module(), "string callback", [&] { result = callback(argument); }));
        return result;
    }

    // The text a direct call left in the host's buffer.
    std::string buffer_text(StringElement* element) {
        return element->text ? std::string(element->text, strnlen(element->text, element->max_chars + 1)) : "";
    }

    double call_value_callback(ValueCallback callback, std::uint32_t word) {
        ModuleVar var{};
        var.value.word = word;
        double result = std::nan("");
        EXPECT_TRUE(host().call_module(module(), "value callback", [&] { result = callback(&var); }));
        return result;
    }
};

}  // namespace radio_test
