// Tovik.Vessa.com: tuning strip of a COM radio, 350 x 90 pixels.
//
// A fixed leading 1 and four tunable digits (tens, units, a painted decimal
// mark, tenths, hundredths) with a knob under each of the four. The whole
// frequency is one word (token 0x17): tens, units, tenths and hundredths in
// nibbles 3, 2, 1, 0. Every knob half sends it with key event 0x100AB.
// Variable 0x1D is bound at install and refreshed at update; nothing reads
// it.
#include "digit_tuning.h"
#include "module_exports.h"
#include "standard_gauge.h"

extern GaugeHeader com_header;
extern ElementHeader* com_background_children[];
extern ElementHeader* com_tens_children[];
extern ElementHeader* com_units_children[];
extern ElementHeader* com_tenths_children[];
extern ElementHeader* com_hundredths_children[];
extern FailureRecord com_failures[];

// ---------------------------------------------------------------------------
// Module state: the private copy of the word and the module variable.
// ---------------------------------------------------------------------------
uint32_t com_copy;  // token 0x17; refreshed only by the fixed-one window

ModuleVar com_module_var = {.token = token_com_module_var};  // bound at install, read at update

// ---------------------------------------------------------------------------
// The COM's own digit rules: the tens run 1 to 3 and never show 0; the
// hundredths are 0 or 5.
// ---------------------------------------------------------------------------
uint32_t com_tens_up(uint32_t tens) { return tens + 1 > 3 ? 1 : tens + 1; }

// Only the lower bound is tested: a tens digit above 3 comes down by one.
uint32_t com_tens_down(uint32_t tens) { return tens < 2 ? 3 : tens - 1; }

// Both halves of the hundredths knob.
uint32_t com_hundredths_toggle(uint32_t hundredths) { return hundredths == 0 ? 5 : 0; }

// String callback of the first window: refreshes the COM copy like a
// refreshing digit window, but always writes the fixed "1".
template <StringElement& window, uint32_t& refreshed_copy>
double PANEL_CALL fixed_one_text(double value) {
    static const char format[] = "1";
    refreshed_copy = radio::word_from_double(value);
    if (char* text = window.text) wsprintfA(text, format);
    return value;
}

// ---------------------------------------------------------------------------
// Elements, in tree order.
// ---------------------------------------------------------------------------
constinit StaticImageElement com_background = radio::radio_background(&com_header, com_background_children);

// The fixed 1: its knob is painted into the background and has no halves.
constinit StringElement com_one_window = radio::digit_window({
    .gauge = &com_header,
    .position_x = 37,
    .token = token_com_word,
    .string_callback = fixed_one_text<com_one_window, com_copy>,
    .knob = 0,
    .failures = com_failures,
});

constinit StringElement com_tens_window = radio::digit_window({
    .gauge = &com_header,
    .position_x = 88,
    .token = token_com_word,
    .string_callback = radio::digit_text<3, com_tens_window>,
    .knob = com_tens_children,
    .failures = com_failures,
});

constinit IconElement com_tens_knob = radio::knob_picture({
    .gauge = &com_header,
    .position_x = 82,
    .token = token_com_word,
    .digit_value = radio::digit_value<3>,
    .failures = com_failures,
});

constinit StringElement com_units_window = radio::digit_window({
    .gauge = &com_header,
    .position_x = 137,
    .token = token_com_word,
    .string_callback = radio::digit_text<2, com_units_window>,
    .knob = com_units_children,
    .failures = com_failures,
});

constinit IconElement com_units_knob = radio::knob_picture({
    .gauge = &com_header,
    .position_x = 131,
    .token = token_com_word,
    .digit_value = radio::digit_value<2>,
    .failures = com_failures,
});

constinit StringElement com_tenths_window = radio::digit_window({
    .gauge = &com_header,
    .position_x = 186,
    .token = token_com_word,
    .string_callback = radio::digit_text<1, com_tenths_window>,
    .knob = com_tenths_children,
    .failures = com_failures,
});

constinit IconElement com_tenths_knob = radio::knob_picture({
    .gauge = &com_header,
    .position_x = 180,
    .token = token_com_word,
    .digit_value = radio::digit_value<1>,
    .failures = com_failures,
});

constinit StringElement com_hundredths_window = radio::digit_window({
    .gauge = &com_header,
    .position_x = 236,
    .token = token_com_word,
    .string_callback = radio::digit_text<0, com_hundredths_window>,
    .knob = com_hundredths_children,
    .failures = com_failures,
});

// Shows picture 0 or 5, the same image: this knob never looks turned.
constinit IconElement com_hundredths_knob = radio::knob_picture({
    .gauge = &com_header,
    .position_x = 230,
    .token = token_com_word,
    .digit_value = radio::digit_value<0>,
    .failures = com_failures,
});

// ---------------------------------------------------------------------------
// Lists.
// ---------------------------------------------------------------------------
ElementHeader* com_background_children[] = {
    &com_one_window.header,
    &com_tens_window.header,
    &com_units_window.header,
    &com_tenths_window.header,
    &com_hundredths_window.header,
    0,
};

ElementHeader* com_tens_children[] = {&com_tens_knob.header, 0};
ElementHeader* com_units_children[] = {&com_units_knob.header, 0};
ElementHeader* com_tenths_children[] = {&com_tenths_knob.header, 0};
ElementHeader* com_hundredths_children[] = {&com_hundredths_knob.header, 0};

// Shared by the five windows and the four knob pictures.
FailureRecord com_failures[] = {
    {.failure_key = 1, .failure_action = 0},
    {.failure_key = 9, .failure_action = 0},
    {.failure_key = 0},
};

constexpr uint32_t com_help = 0xA701;

using radio::knob_half;
using radio::knob_left_half;
using radio::knob_right_half;
using radio::step_down;
using radio::step_up;

constinit MouseRect com_mouse_rects[] = {
    radio::group_start(com_help),
    knob_left_half(71, com_help, knob_half<3, com_copy, key_com_word, com_tens_down>),  // tens
    knob_right_half(97, com_help, knob_half<3, com_copy, key_com_word, com_tens_up>),
    knob_left_half(121, com_help, knob_half<2, com_copy, key_com_word, step_down>),  // units
    knob_right_half(146, com_help, knob_half<2, com_copy, key_com_word, step_up>),
    knob_left_half(169, com_help, knob_half<1, com_copy, key_com_word, step_down>),  // tenths
    knob_right_half(195, com_help, knob_half<1, com_copy, key_com_word, step_up>),
    knob_left_half(219, com_help, knob_half<0, com_copy, key_com_word, com_hundredths_toggle>),  // hundredths
    knob_right_half(245, com_help, knob_half<0, com_copy, key_com_word, com_hundredths_toggle>),
    radio::group_end(),
    radio::list_end(),
};

// ---------------------------------------------------------------------------
// Gauge routines: install binds variable 0x1D and update refreshes it, each
// before the standard body; the others are the standard ones.
// ---------------------------------------------------------------------------
typedef StandardGauge<com_header, com_mouse_rects> com_standard;

void PANEL_CALL com_install(uint32_t host_value) {
    if (!panel::services_ready()) return;
    panel::init_module_var(&com_module_var);
    com_standard::install(host_value);
}

void PANEL_CALL com_update() {
    if (!panel::services_ready()) return;
    panel::read_module_var(&com_module_var);
    com_standard::update();
}

// ---------------------------------------------------------------------------
// Header and exports.
// ---------------------------------------------------------------------------
ElementHeader* com_element_list[] = {
    &com_background.header,
    0,
};

GaugeHeader com_header = {
    .header_version = gauge_header_version,
    .gauge_name = "Tovik.Vessa.com",
    .element_list = com_element_list,
    .gauge_query = com_standard::query,
    .gauge_install = com_install,
    .gauge_initialize = com_standard::initialize,
    .gauge_update = com_update,
    .gauge_generate = com_standard::generate,
    .gauge_draw = com_standard::draw,
    .gauge_kill = com_standard::kill,
    .nominal_size = 350,
};

// Declared with C linkage in module_exports.h, exported by the .def file.
ModuleLinkage Linkage = {
    .linkage_id = linkage_id_value,
    .module_start = module_start,
    .module_stop = module_stop,
    .gauge_table = {&com_header, 0},
};
