// Tovik.Vessa.adf: tuning strip of an ADF receiver, 350 x 90 pixels.
//
// Five digit windows (thousands, hundreds, tens, units, a painted decimal
// mark, tenths) with a knob under each, a push button and a lamp. The
// frequency lies in two words: the inner word (token 0x10) holds hundreds,
// tens and units in nibbles 2, 1, 0; the outer word (token 0x12) holds
// thousands in nibble 2 and tenths in nibble 0. Knobs of the inner word send
// it with key event 0x100B2, those of the outer word with 0x101FF. The
// button is an area whose event id the host sends by itself; the lamp shows
// while variable 0x15 is not 0.
#include "digit_tuning.h"
#include "module_exports.h"
#include "standard_gauge.h"

extern GaugeHeader adf_header;
extern ElementHeader* adf_background_children[];
extern ElementHeader* adf_hundreds_children[];
extern ElementHeader* adf_tens_children[];
extern ElementHeader* adf_units_children[];
extern ElementHeader* adf_tenths_children[];
extern FailureRecord adf_failures[];

// ---------------------------------------------------------------------------
// Module state: the private copies of the two words and the lamp variable.
// ---------------------------------------------------------------------------
uint32_t adf_inner_copy;  // token 0x10; refreshed by the hundreds and tens windows
uint32_t adf_outer_copy;  // token 0x12; refreshed by the thousands and tenths windows

ModuleVar adf_lamp_var = {.token = token_adf_lamp};  // bound at install, read at update

// ---------------------------------------------------------------------------
// The ADF's own digit rules, in which the thousands and hundreds digits
// limit each other. Both are read from the private copies as the click
// arrives. The rules are not symmetric: turned down the hundreds skip from
// 2 to 9 under thousands 0, turned up they skip from 6 to 0 under
// thousands 1, and the other way round they run through every digit.
// ---------------------------------------------------------------------------
uint32_t adf_thousands_digit() { return radio::nibble_of(adf_outer_copy, 2); }
uint32_t adf_hundreds_digit() { return radio::nibble_of(adf_inner_copy, 2); }

// Both halves of the thousands knob.
uint32_t adf_thousands_toggle(uint32_t thousands) {
    uint32_t hundreds = adf_hundreds_digit();
    if (thousands == 0 && hundreds <= 6) return 1;
    if (thousands == 1 && hundreds >= 2) return 0;
    return radio::keep_digit;
}

uint32_t adf_hundreds_up(uint32_t hundreds) {
    if (adf_thousands_digit() == 1 && hundreds == 6) return 0;
    return radio::step_up(hundreds);
}

uint32_t adf_hundreds_down(uint32_t hundreds) {
    if (adf_thousands_digit() == 0 && hundreds == 2) return 9;
    return radio::step_down(hundreds);
}

// ---------------------------------------------------------------------------
// Elements, in tree order.
// ---------------------------------------------------------------------------
constinit StaticImageElement adf_background = radio::radio_background(&adf_header, adf_background_children);

// Thousands: its knob is painted into the background and never turns.
constinit StringElement adf_thousands_window = radio::digit_window({
    .gauge = &adf_header,
    .position_x = 38,
    .token = token_adf_outer_word,
    .string_callback = radio::digit_text<2, adf_thousands_window, &adf_outer_copy>,
    .knob = 0,
    .failures = adf_failures,
});

constinit StringElement adf_hundreds_window = radio::digit_window({
    .gauge = &adf_header,
    .position_x = 88,
    .token = token_adf_inner_word,
    .string_callback = radio::digit_text<2, adf_hundreds_window, &adf_inner_copy>,
    .knob = adf_hundreds_children,
    .failures = adf_failures,
});

constinit IconElement adf_hundreds_knob = radio::knob_picture({
    .gauge = &adf_header,
    .position_x = 82,
    .token = token_adf_inner_word,
    .digit_value = radio::digit_value<2>,
    .failures = adf_failures,
});

constinit StringElement adf_tens_window = radio::digit_window({
    .gauge = &adf_header,
    .position_x = 138,
    .token = token_adf_inner_word,
    .string_callback = radio::digit_text<1, adf_tens_window, &adf_inner_copy>,
    .knob = adf_tens_children,
    .failures = adf_failures,
});

constinit IconElement adf_tens_knob = radio::knob_picture({
    .gauge = &adf_header,
    .position_x = 131,
    .token = token_adf_inner_word,
    .digit_value = radio::digit_value<1>,
    .failures = adf_failures,
});

// Units: the one window that does not refresh the inner copy.
constinit StringElement adf_units_window = radio::digit_window({
    .gauge = &adf_header,
    .position_x = 187,
    .token = token_adf_inner_word,
    .string_callback = radio::digit_text<0, adf_units_window>,
    .knob = adf_units_children,
    .failures = adf_failures,
});

constinit IconElement adf_units_knob = radio::knob_picture({
    .gauge = &adf_header,
    .position_x = 180,
    .token = token_adf_inner_word,
    .digit_value = radio::digit_value<0>,
    .failures = adf_failures,
});

constinit StringElement adf_tenths_window = radio::digit_window({
    .gauge = &adf_header,
    .position_x = 237,
    .token = token_adf_outer_word,
    .string_callback = radio::digit_text<0, adf_tenths_window, &adf_outer_copy>,
    .knob = adf_tenths_children,
    .failures = adf_failures,
});

constinit IconElement adf_tenths_knob = radio::knob_picture({
    .gauge = &adf_header,
    .position_x = 230,
    .token = token_adf_outer_word,
    .digit_value = radio::digit_value<0>,
    .failures = adf_failures,
});

// The lit lamp over the unlit one painted in the background. Its hide bit is
// set or cleared from variable 0x15 at every update.
StaticImageElement adf_lamp = {
    .header =
        {
            .element_kind = element_static_image,
            .resource_id = 0x3000,  // 9 x 9
            .position_x = 307,
            .position_y = 17,
            .gauge_header = &adf_header,
            .next_elements = 0,
            .failure_list = 0,
            .image_flags = 7,
        },
};

// ---------------------------------------------------------------------------
// Lists.
// ---------------------------------------------------------------------------
ElementHeader* adf_background_children[] = {
    &adf_thousands_window.header,
    &adf_hundreds_window.header,
    &adf_tens_window.header,
    &adf_units_window.header,
    &adf_tenths_window.header,
    &adf_lamp.header,
    0,
};

ElementHeader* adf_hundreds_children[] = {&adf_hundreds_knob.header, 0};
ElementHeader* adf_tens_children[] = {&adf_tens_knob.header, 0};
ElementHeader* adf_units_children[] = {&adf_units_knob.header, 0};
ElementHeader* adf_tenths_children[] = {&adf_tenths_knob.header, 0};

// Shared by the five windows and the four knob pictures.
FailureRecord adf_failures[] = {
    {.failure_key = 1, .failure_action = 0},
    {.failure_key = 16, .failure_action = 0},
    {.failure_key = 0},
};

constexpr uint32_t adf_help = 0xA709;

using radio::knob_half;
using radio::knob_left_half;
using radio::knob_right_half;
using radio::step_down;
using radio::step_up;

constinit MouseRect adf_mouse_rects[] = {
    radio::group_start(adf_help),
    knob_left_half(20, adf_help, knob_half<2, adf_outer_copy, key_adf_outer_word, adf_thousands_toggle>),  // thousands
    knob_right_half(44, adf_help, knob_half<2, adf_outer_copy, key_adf_outer_word, adf_thousands_toggle>),
    knob_left_half(71, adf_help, knob_half<2, adf_inner_copy, key_adf_inner_word, adf_hundreds_down>),  // hundreds
    knob_right_half(97, adf_help, knob_half<2, adf_inner_copy, key_adf_inner_word, adf_hundreds_up>),
    knob_left_half(121, adf_help, knob_half<1, adf_inner_copy, key_adf_inner_word, step_down>),  // tens
    knob_right_half(146, adf_help, knob_half<1, adf_inner_copy, key_adf_inner_word, step_up>),
    knob_left_half(169, adf_help, knob_half<0, adf_inner_copy, key_adf_inner_word, step_down>),  // units
    knob_right_half(195, adf_help, knob_half<0, adf_inner_copy, key_adf_inner_word, step_up>),
    knob_left_half(219, adf_help, knob_half<0, adf_outer_copy, key_adf_outer_word, step_down>),  // tenths
    knob_right_half(245, adf_help, knob_half<0, adf_outer_copy, key_adf_outer_word, step_up>),
    {
        // The push button: the host sends 0x10136 itself, no handler runs.
        .rect_kind = mouse_area,
        .area_x = 298,
        .area_y = 32,
        .area_width = 28,
        .area_height = 30,
        .cursor = 5,
        .help_id = adf_help,
        .mouse_flags = 0x20000000,
        .event_id = key_adf_button,
        .handler = 0,
    },
    radio::group_end(),
    radio::list_end(),
};

// ---------------------------------------------------------------------------
// Gauge routines: install binds the lamp variable and update refreshes it and
// shows or hides the lamp, each before the standard body; the others are
// the standard ones.
// ---------------------------------------------------------------------------
typedef StandardGauge<adf_header, adf_mouse_rects> adf_standard;

void PANEL_CALL adf_install(uint32_t host_value) {
    if (!panel::services_ready()) return;
    panel::init_module_var(&adf_lamp_var);
    adf_standard::install(host_value);
}

// Dark while the variable is 0 (either zero) or not a number.
void PANEL_CALL adf_update() {
    if (!panel::services_ready()) return;
    panel::read_module_var(&adf_lamp_var);
    double lamp = adf_lamp_var.value.number;
    if (lamp == 0.0 || lamp != lamp)
        adf_lamp.header.image_flags |= image_flag_hidden;
    else
        adf_lamp.header.image_flags &= ~image_flag_hidden;
    adf_standard::update();
}

// ---------------------------------------------------------------------------
// Header and exports.
// ---------------------------------------------------------------------------
ElementHeader* adf_element_list[] = {
    &adf_background.header,
    0,
};

GaugeHeader adf_header = {
    .header_version = gauge_header_version,
    .gauge_name = "Tovik.Vessa.adf",
    .element_list = adf_element_list,
    .gauge_query = adf_standard::query,
    .gauge_install = adf_install,
    .gauge_initialize = adf_standard::initialize,
    .gauge_update = adf_update,
    .gauge_generate = adf_standard::generate,
    .gauge_draw = adf_standard::draw,
    .gauge_kill = adf_standard::kill,
    .nominal_size = 350,
};

// Declared with C linkage in module_exports.h, exported by the .def file.
ModuleLinkage Linkage = {
    .linkage_id = linkage_id_value,
    .module_start = module_start,
    .module_stop = module_stop,
    .gauge_table = {&adf_header, 0},
};
