// Tovik.Vessa.adf, loaded by the host: its records word by word, its
// routines' services, the windows, knobs and lamp it shows for the host's
// variables, and the words its knob halves send.
#include <cmath>
#include <limits>
#include <optional>

#include "radio_support.h"

namespace {

using host::KeyEventRecord;
using radio_test::same_bits;
using test::ExpectedWords;
using test::record_matches;
using test::service;
using test::word_of;

constexpr std::uint32_t inner_token = 0x10, outer_token = 0x12, lamp_token = 0x15;
constexpr std::uint32_t inner_event = 0x100B2, outer_event = 0x101FF;

// Windows left to right; the lamp follows them in the background's list.
enum Window { thousands, hundreds, tens, units, tenths };

// Left edges of the knob halves, left half (down) then right half (up).
enum Half : int {
    thousands_left = 20,
    thousands_right = 44,
    hundreds_down = 71,
    hundreds_up = 97,
    tens_down = 121,
    tens_up = 146,
    units_down = 169,
    units_up = 195,
    tenths_down = 219,
    tenths_up = 245,
};

class Adf : public radio_test::Radio {
protected:
    void SetUp() override { load(MODULE_ADF_GAUGE); }

    GaugeHeader* header() { return gauge().header(); }
    StaticImageElement* lamp() { return reinterpret_cast<StaticImageElement*>(children()[5]); }

    // Gives the host both words and lets the gauge refresh from them.
    void show(std::uint32_t inner, std::uint32_t outer) {
        host().variables().set_word(inner_token, inner);
        host().variables().set_word(outer_token, outer);
        gauge().update();
    }

    std::string readout() {
        return text(thousands) + text(hundreds) + text(tens) + text(units) + "." + text(tenths);
    }
};

// ---------------------------------------------------------------------------
// Declared records.
// ---------------------------------------------------------------------------
TEST_F(Adf, ExportsAndHeaderHoldTheirDeclaredWords) {
    expect_exports_and_header("Tovik.Vessa.adf", 350);
}

TEST_F(Adf, ElementsHoldTheirDeclaredWords) {
    ElementHeader* root = background();
    EXPECT_TRUE(record_matches("background", root,
                               ExpectedWords(80).at(4, 0x1000).at(32, header()).at(40, root->next_elements).at(48, 1)));
    ExpectedWords list(28);
    for (int i = 0; i < 6; ++i) list.at(4 * i, children()[i]);
    EXPECT_TRUE(record_matches("background children", children(), list));

    FailureRecord* failures = window(thousands)->header.failure_list;
    EXPECT_TRUE(record_matches("failure list", failures, ExpectedWords(36).at(0, 1).at(12, 16)));

    const void* raw = reinterpret_cast<void*>(window(thousands)->source_callbacks[0]);
    EXPECT_TRUE(module().image().contains(raw));
    struct Digit {
        const char* name;
        int window_x;
        std::uint32_t token;
        int knob_x;  // 0: no knob picture
    };
    const Digit digits[] = {
        {"thousands", 38, outer_token, 0}, {"hundreds", 88, inner_token, 82}, {"tens", 138, inner_token, 131},
        {"units", 187, inner_token, 180},  {"tenths", 237, outer_token, 230},
    };
    std::vector<const void*> string_callbacks;
    for (int i = 0; i < 5; ++i) {
        const Digit& d = digits[i];
        StringElement* w = window(i);
        const void* string_callback = reinterpret_cast<void*>(w->string_callback);
        EXPECT_TRUE(module().image().contains(string_callback)) << d.name;
        for (const void* other : string_callbacks) EXPECT_NE(string_callback, other) << d.name << ": its own callback";
        string_callbacks.push_back(string_callback);
        EXPECT_TRUE(record_matches(d.name, w,
                                   radio_test::digit_window_words(d.window_x, d.token, header(), w->header.next_elements,
                                                                  failures, raw, string_callback)));
        if (!d.knob_x) {
            EXPECT_EQ(w->header.next_elements, nullptr) << d.name;
            continue;
        }
        ASSERT_NE(w->header.next_elements, nullptr) << d.name;
        EXPECT_TRUE(record_matches(d.name, w->header.next_elements, ExpectedWords(8).at(0, knob(i))));
        const void* digit_callback = reinterpret_cast<void*>(knob(i)->value_callback);
        EXPECT_TRUE(module().image().contains(digit_callback)) << d.name;
        EXPECT_TRUE(record_matches(d.name, knob(i),
                                   radio_test::knob_picture_words(d.knob_x, d.token, header(), failures, digit_callback)));
    }

    EXPECT_TRUE(record_matches("lamp", lamp(),
                               ExpectedWords(80).at(4, 0x3000).at(8, 307).at(12, 17).at(32, header()).at(48, 7)));
}

TEST_F(Adf, MouseListHoldsTenKnobHalvesAndTheButton) {
    gauge().install(0);
    MouseRect* list = mouse_list();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(gauge().mouse_records(), 14u);
    EXPECT_TRUE(record_matches("group start", &list[0], radio_test::bare_mouse_record(1, 0xA709)));
    const int halves[] = {thousands_left, thousands_right, hundreds_down, hundreds_up, tens_down,
                          tens_up,        units_down,      units_up,      tenths_down, tenths_up};
    for (int i = 0; i < 10; ++i) {
        const MouseRect& rect = list[1 + i];
        const void* handler = reinterpret_cast<void*>(rect.handler);
        EXPECT_TRUE(module().image().contains(handler)) << "half at " << halves[i];
        EXPECT_TRUE(record_matches("knob half", &rect,
                                   radio_test::knob_half_words(halves[i], i % 2 ? 1 : 2, 0xA709, handler)))
            << "half at " << halves[i];
    }
    // Halves with different rules have different handlers.
    for (int i = 2; i < 10; ++i)
        for (int j = 0; j < i; ++j) EXPECT_NE(list[1 + i].handler, list[1 + j].handler) << i << " and " << j;
    EXPECT_TRUE(record_matches("button", &list[11],
                               ExpectedWords(44)
                                   .at(0, 2)
                                   .at(4, 298)
                                   .at(8, 32)
                                   .at(12, 28)
                                   .at(16, 30)
                                   .at(20, 5)
                                   .at(24, 0xA709)
                                   .at(28, 0x20000000)
                                   .at(32, 0x10136)));
    EXPECT_TRUE(record_matches("group end", &list[12], radio_test::bare_mouse_record(3, 0)));
    EXPECT_TRUE(record_matches("list end", &list[13], radio_test::bare_mouse_record(0, 0)));
}

// ---------------------------------------------------------------------------
// Routines.
// ---------------------------------------------------------------------------
TEST_F(Adf, RoutinesBindAndReadTheLampVariableBeforeTheStandardBody) {
    ElementHeader* root = background();
    const std::uint32_t host_values[] = {0, 0x80000000, 0xFFFFFFFF};
    for (std::uint32_t value : host_values) {
        SCOPED_TRACE(value);
        host().clear_trace();
        gauge().install(value);
        auto installed = services();
        ASSERT_EQ(installed.size(), 4u);
        ASSERT_EQ(installed[0].call, "init_module_var");
        std::uint32_t lamp_var = installed[0].args.at(0);
        EXPECT_TRUE(module().image().contains(static_cast<std::uintptr_t>(lamp_var), sizeof(ModuleVar)));
        MouseRect* list = mouse_list();
        std::uint32_t slot = reinterpret_cast<StaticImageElement*>(root)->image_slots[0];
        EXPECT_EQ(installed, (std::vector<host::TraceEntry>{
                                 service("init_module_var", {lamp_var, lamp_token}),
                                 service("install_elements", {word_of(root), value}),
                                 service("install_mouse_rects", {word_of(list), word_of(header()), slot + 4}),
                                 service("register_mouse_rects", {word_of(list), word_of(header())}),
                             }));

        struct Step {
            const char* name;
            void (*run)(host::Gauge&, std::uint32_t);
            std::vector<host::TraceEntry> expected;
        };
        const Step steps[] = {
            {"initialize", [](host::Gauge& g, std::uint32_t) { g.initialize(); },
             {service("initialize_elements", {word_of(root)})}},
            {"update", [](host::Gauge& g, std::uint32_t) { g.update(); },
             {service("read_module_var", {lamp_var, lamp_token}), service("update_elements", {word_of(root)})}},
            {"generate", [](host::Gauge& g, std::uint32_t v) { g.generate(v); },
             {service("generate_elements", {word_of(root), value})}},
            {"draw", [](host::Gauge& g, std::uint32_t) { g.draw(); }, {service("plot_elements", {word_of(root)})}},
            {"query", [](host::Gauge& g, std::uint32_t) { g.query(); }, {service("query_elements", {word_of(root)})}},
            {"kill", [](host::Gauge& g, std::uint32_t) { g.kill(); },
             {service("unregister_mouse_rects", {word_of(list), word_of(header())}),
              service("kill_elements", {word_of(root)})}},
        };
        for (const auto& step : steps) {
            host().clear_trace();
            step.run(gauge(), value);
            EXPECT_EQ(services(), step.expected) << step.name;
        }
    }
    host().clear_trace();
    module().module_start();
    module().module_stop();
    EXPECT_TRUE(services().empty());
}

// ---------------------------------------------------------------------------
// Lamp.
// ---------------------------------------------------------------------------
TEST_F(Adf, LampShowsWhileItsVariableIsANumberOtherThanZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        double value;
        bool lit;
    };
    // In sequence, so that each update decides afresh from the one before.
    const Case cases[] = {
        {"one", 1.0, true},
        {"zero", 0.0, false},
        {"minus one", -1.0, true},
        {"negative zero", -0.0, false},
        {"smallest subnormal", std::numeric_limits<double>::denorm_min(), true},
        {"not a number", nan, false},
        {"plus infinity", infinity, true},
        {"negative not a number", -nan, false},
        {"minus infinity", -infinity, true},
        {"zero again", 0.0, false},
    };
    gauge().install(0);
    for (const auto& c : cases) {
        host().variables().set_number(lamp_token, c.value);
        gauge().update();
        gauge().draw();
        std::uint32_t flags = lamp()->header.image_flags;
        EXPECT_EQ(flags, c.lit ? 7u : 0x40000007u) << c.name;
        EXPECT_EQ(gauge().element(lamp()).shown, c.lit) << c.name;
    }
}

// ---------------------------------------------------------------------------
// What the windows and knobs show.
// ---------------------------------------------------------------------------
TEST_F(Adf, WindowsAndKnobsShowTheHostsWords) {
    struct Case {
        const char* name;
        std::uint32_t inner, outer;
        const char* readout;
        int pictures[4];  // hundreds, tens, units, tenths
    };
    const Case cases[] = {
        {"1234.5", 0x0234, 0x0105, "1234.5", {2, 3, 4, 5}},
        {"below 1000: leading 0", 0x0350, 0x0000, "0350.0", {3, 5, 0, 0}},
        {"zero", 0, 0, "0000.0", {0, 0, 0, 0}},
        {"unshown nibbles and bits 16 to 31 ignored", 0xFFFF9876, 0xFFFF7159, "1876.9", {8, 7, 6, 9}},
        {"nibbles above 9 show blank", 0x0ABC, 0x0D0E, "    . ", {10, 11, 12, 14}},
        {"all ones", 0xFFFFFFFF, 0xFFFFFFFF, "    . ", {15, 15, 15, 15}},
        {"seven", 0x0777, 0x0007, "0777.7", {7, 7, 7, 7}},
    };
    gauge().install(0);
    for (const auto& c : cases) {
        show(c.inner, c.outer);
        EXPECT_EQ(readout(), c.readout) << c.name;
        const Window knobbed[] = {hundreds, tens, units, tenths};
        for (int i = 0; i < 4; ++i) {
            // The host holds pictures past the last at picture 9.
            int expected = c.pictures[i] > 9 ? 9 : c.pictures[i];
            EXPECT_EQ(picture(knobbed[i]), expected) << c.name << ", knob " << i;
            EXPECT_EQ(gauge().element(knob(knobbed[i])).value, c.pictures[i]) << c.name << ", knob " << i;
        }
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(gauge().element(window(i)).value, static_cast<double>(i == thousands || i == tenths ? c.outer : c.inner))
                << c.name << ": the raw word reaches window " << i;
    }
    // Picture 7 is the same image as picture 2.
    const auto& pictures = gauge().element(knob(tens)).pictures;
    ASSERT_EQ(pictures.size(), 10u);
    EXPECT_EQ(pictures[7]->pixels, pictures[2]->pixels);
    EXPECT_NE(pictures[7]->pixels, pictures[6]->pixels);
}

TEST_F(Adf, RawValueCallbackReadsTheWordUnsigned) {
    ValueCallback raw = window(tens)->source_callbacks[0];
    const std::uint32_t words[] = {0, 1, 0x1234, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    for (std::uint32_t word : words) EXPECT_EQ(call_value_callback(raw, word), static_cast<double>(word)) << word;
    EXPECT_EQ(call_value_callback(raw, 0xFFFFFFFF), 4294967295.0);

    // Each knob's callback gives its own nibble, 0 to 15.
    const std::pair<Window, int> knobbed[] = {{hundreds, 2}, {tens, 1}, {units, 0}, {tenths, 0}};
    for (auto [w, nibble] : knobbed)
        for (std::uint32_t word : {0x00000000u, 0x12345678u, 0xFEDCBA98u, 0xFFFFFFFFu})
            EXPECT_EQ(call_value_callback(knob(w)->value_callback, word), static_cast<double>((word >> 4 * nibble) & 0xF))
                << "window " << w << ", word " << word;
}

// Each window's string callback, called as the host calls it.
TEST_F(Adf, StringCallbacksWriteTheirDigitAndReturnTheirArgument) {
    gauge().install(0);
    const char* expected[] = {"2", "2", "3", "4", "4"};  // nibbles 2, 2, 1, 0, 0 of 0x1234
    for (int i = 0; i < 5; ++i) {
        double result = call_string_callback(window(i), 4660.0);
        EXPECT_TRUE(same_bits(result, 4660.0)) << "window " << i << " returned " << result;
        EXPECT_EQ(buffer_text(window(i)), expected[i]) << "window " << i;
    }

    // Doubles become words by truncation toward zero, low 32 bits kept; the
    // tens window refreshes the inner copy, which a units click then sends
    // (bits 16 to 31 cleared). Doubles with no integer value give 0.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        double value;
        const char* tens_text;
        std::uint32_t units_up_sends;
    };
    const Case cases[] = {
        {"fraction dropped", 4660.99, "3", 0x1235},
        {"2^32 + 0x1234 wraps", 4294967296.0 + 4660.0, "3", 0x1235},
        {"2^40 + 0x5678", 1099511627776.0 + 22136.0, "7", 0x5679},
        {"largest word", 4294967295.0, " ", 0xFFF0},
        {"minus one", -1.0, " ", 0xFFF0},
        {"minus a half truncates to 0", -0.5, "0", 0x0001},
        {"negative zero", -0.0, "0", 0x0001},
        {"not a number", nan, "0", 0x0001},
        {"plus infinity", infinity, "0", 0x0001},
        {"minus infinity", -infinity, "0", 0x0001},
        {"2^63", 9223372036854775808.0, "0", 0x0001},
        {"just below 2^63: low bits kept", 9223372036854774784.0, "0", 0xFC01},
        {"minus 2^63", -9223372036854775808.0, "0", 0x0001},
        {"1e300", 1e300, "0", 0x0001},
    };
    for (const auto& c : cases) {
        double result = call_string_callback(window(tens), c.value);
        EXPECT_TRUE(same_bits(result, c.value)) << c.name << ": returned " << result;
        EXPECT_EQ(buffer_text(window(tens)), c.tens_text) << c.name;
        EXPECT_EQ(click_half(units_up), (std::vector<KeyEventRecord>{{inner_event, c.units_up_sends}})) << c.name;
    }
}

// A string callback that finds no buffer in its text field writes nothing,
// but a refreshing one still takes the word into its copy.
TEST_F(Adf, StringCallbacksWithoutATextBufferWriteNothing) {
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(window(i)->text, nullptr);
        EXPECT_TRUE(same_bits(call_string_callback(window(i), 837.0), 837.0)) << "window " << i;  // 0x345
    }
    gauge().install(0);
    EXPECT_EQ(click_half(units_up), (std::vector<KeyEventRecord>{{inner_event, 0x0346}}));
    EXPECT_EQ(click_half(tenths_up), (std::vector<KeyEventRecord>{{outer_event, 0x0346}}));

    gauge().kill();  // the host takes its buffers back
    ASSERT_EQ(window(tens)->text, nullptr);
    EXPECT_TRUE(same_bits(call_string_callback(window(tens), 18.0), 18.0));
    EXPECT_TRUE(host().errors().empty());
}

// ---------------------------------------------------------------------------
// Knob halves.
// ---------------------------------------------------------------------------
struct Click {
    const char* name;
    std::uint32_t inner, outer;
    Half half;
    std::optional<KeyEventRecord> sent;
};

TEST_F(Adf, KnobHalvesStepTheirDigitAndSendTheWholeWord) {
    const Click cases[] = {
        // Standard rules, inner word.
        {"tens up", 0x0345, 0x0100, tens_up, KeyEventRecord{inner_event, 0x0355}},
        {"tens up on 9 gives 0", 0x0395, 0x0100, tens_up, KeyEventRecord{inner_event, 0x0305}},
        {"tens down", 0x0345, 0x0100, tens_down, KeyEventRecord{inner_event, 0x0335}},
        {"tens down on 0 gives 9", 0x0305, 0x0100, tens_down, KeyEventRecord{inner_event, 0x0395}},
        {"tens up on 0xC gives 0", 0x03C5, 0x0100, tens_up, KeyEventRecord{inner_event, 0x0305}},
        {"tens down on 0xC gives 0xB", 0x03C5, 0x0100, tens_down, KeyEventRecord{inner_event, 0x03B5}},
        {"units up on 9 gives 0", 0x0349, 0x0100, units_up, KeyEventRecord{inner_event, 0x0340}},
        {"units down on 0 gives 9", 0x0340, 0x0100, units_down, KeyEventRecord{inner_event, 0x0349}},
        {"units down on 0xF gives 0xE", 0x034F, 0x0100, units_down, KeyEventRecord{inner_event, 0x034E}},
        {"bits 16 to 31 cleared", 0x00011234, 0x0100, units_up, KeyEventRecord{inner_event, 0x1235}},
        {"all high bits cleared", 0xFFFF0234, 0x0100, tens_up, KeyEventRecord{inner_event, 0x0244}},
        {"unshown nibble 3 carried over", 0x5234, 0x0100, units_up, KeyEventRecord{inner_event, 0x5235}},
        // Standard rules, outer word: tenths keep the thousands and the unshown nibbles.
        {"tenths up", 0x0345, 0x4176, tenths_up, KeyEventRecord{outer_event, 0x4177}},
        {"tenths up on 9 gives 0", 0x0345, 0x0109, tenths_up, KeyEventRecord{outer_event, 0x0100}},
        {"tenths down on 0 gives 9", 0x0345, 0x0100, tenths_down, KeyEventRecord{outer_event, 0x0109}},
        {"tenths clear bits 16 to 31", 0x0345, 0x80010105, tenths_down, KeyEventRecord{outer_event, 0x0104}},
        // Hundreds, with the thousands digit from the outer copy.
        {"hundreds up, t 0", 0x0834, 0x0000, hundreds_up, KeyEventRecord{inner_event, 0x0934}},
        {"hundreds up, t 0, h 9 gives 0 not 2", 0x0934, 0x0000, hundreds_up, KeyEventRecord{inner_event, 0x0034}},
        {"hundreds up, t 0, h 6 gives 7", 0x0634, 0x0000, hundreds_up, KeyEventRecord{inner_event, 0x0734}},
        {"hundreds up, t 1, h 5", 0x0534, 0x0100, hundreds_up, KeyEventRecord{inner_event, 0x0634}},
        {"hundreds up, t 1, h 6 gives 0", 0x0634, 0x0100, hundreds_up, KeyEventRecord{inner_event, 0x0034}},
        {"hundreds up, t 1, h 9 gives 0", 0x0934, 0x0100, hundreds_up, KeyEventRecord{inner_event, 0x0034}},
        {"hundreds up, t 2, h 6 gives 7", 0x0634, 0x0200, hundreds_up, KeyEventRecord{inner_event, 0x0734}},
        {"hundreds up on 0xC gives 0", 0x0C34, 0x0000, hundreds_up, KeyEventRecord{inner_event, 0x0034}},
        {"hundreds down, t 0, h 3", 0x0334, 0x0000, hundreds_down, KeyEventRecord{inner_event, 0x0234}},
        {"hundreds down, t 0, h 2 gives 9", 0x0234, 0x0000, hundreds_down, KeyEventRecord{inner_event, 0x0934}},
        {"hundreds down, t 0, h 0 gives 9", 0x0034, 0x0000, hundreds_down, KeyEventRecord{inner_event, 0x0934}},
        {"hundreds down, t 1, h 2 gives 1", 0x0234, 0x0100, hundreds_down, KeyEventRecord{inner_event, 0x0134}},
        {"hundreds down, t 1, h 0 gives 9 not 6", 0x0034, 0x0100, hundreds_down, KeyEventRecord{inner_event, 0x0934}},
        {"hundreds down, t 2, h 2 gives 1", 0x0234, 0x0200, hundreds_down, KeyEventRecord{inner_event, 0x0134}},
        {"hundreds down on 0xC gives 0xB", 0x0C34, 0x0100, hundreds_down, KeyEventRecord{inner_event, 0x0B34}},
        {"hundreds clear bits 16 to 31", 0x00030534, 0x0100, hundreds_up, KeyEventRecord{inner_event, 0x0634}},
    };
    gauge().install(0);
    for (const auto& c : cases) {
        show(c.inner, c.outer);
        std::vector<KeyEventRecord> expected;
        if (c.sent) expected.push_back(*c.sent);
        EXPECT_EQ(click_half(c.half), expected) << c.name;
    }
}

// Both halves of the thousands knob run one toggle. Where it changes nothing
// no event is sent and the outer copy stays as it was, which a tenths click
// then shows.
TEST_F(Adf, ThousandsToggleChangesOnlyWhereTheHundredsAllow) {
    struct Case {
        const char* name;
        std::uint32_t inner, outer;
        std::optional<std::uint32_t> sent;
    };
    const Case cases[] = {
        {"t 0, h 0 gives 1", 0x0034, 0x0005, 0x0105},
        {"t 0, h 6 gives 1", 0x0634, 0x0005, 0x0105},
        {"t 0, h 7: nothing", 0x0734, 0x0005, std::nullopt},
        {"t 0, h 9: nothing", 0x0934, 0x0005, std::nullopt},
        {"t 1, h 2 gives 0", 0x0234, 0x0105, 0x0005},
        {"t 1, h 9 gives 0", 0x0934, 0x0105, 0x0005},
        {"t 1, h 1: nothing", 0x0134, 0x0105, std::nullopt},
        {"t 1, h 0: nothing", 0x0034, 0x0105, std::nullopt},
        {"t 2: nothing", 0x0534, 0x0205, std::nullopt},
        {"t 0xF: nothing", 0x0534, 0x0F05, std::nullopt},
        {"t 0, h 0xC: nothing", 0x0C34, 0x0005, std::nullopt},
        {"t 1, h 0xC gives 0", 0x0C34, 0x0105, 0x0005},
        {"tenths and unshown nibbles kept", 0x0434, 0x3097, 0x3197},
        {"bits 16 to 31 cleared", 0x0434, 0xABCD0097, 0x0197},
    };
    gauge().install(0);
    for (Half half : {thousands_left, thousands_right}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(half == thousands_left ? "left half" : "right half");
            show(c.inner, c.outer);
            std::vector<KeyEventRecord> expected;
            if (c.sent) expected.push_back({outer_event, *c.sent});
            EXPECT_EQ(click_half(half), expected) << c.name;
            std::uint32_t copy = (c.sent ? *c.sent : c.outer) & 0xFFFF;
            std::uint32_t tenths = copy & 0xF;
            std::uint32_t after = (copy & 0xFFF0) | (tenths + 1 > 9 ? 0 : tenths + 1);
            EXPECT_EQ(click_half(tenths_up), (std::vector<KeyEventRecord>{{outer_event, after}})) << c.name;
        }
    }
}

// Between two refreshes clicks build on the private copy; a refresh replaces
// it with the host's word, whether or not the host took what was sent.
TEST_F(Adf, ClicksAccumulateUntilTheNextRefresh) {
    gauge().install(0);
    EXPECT_EQ(click_half(tens_up), (std::vector<KeyEventRecord>{{inner_event, 0x0010}}))
        << "before any refresh the copy is 0";

    show(0x0124, 0x0100);
    EXPECT_EQ(click_half(units_up), (std::vector<KeyEventRecord>{{inner_event, 0x0125}}));
    host().variables().set_word(inner_token, 0x0999);  // the host does not keep 0x0125
    EXPECT_EQ(click_half(units_up), (std::vector<KeyEventRecord>{{inner_event, 0x0126}}))
        << "no refresh between: the second click builds on the first";
    host().variables().set_word(inner_token, 0x0999);  // nor 0x0126
    gauge().update();
    EXPECT_EQ(click_half(units_up), (std::vector<KeyEventRecord>{{inner_event, 0x0990}}))
        << "after a refresh the host's word counts";

    // The thousands toggle reads the hundreds from the inner copy as clicked.
    show(0x0634, 0x0000);
    EXPECT_EQ(click_half(hundreds_up), (std::vector<KeyEventRecord>{{inner_event, 0x0734}}));
    EXPECT_EQ(click_half(thousands_right), (std::vector<KeyEventRecord>{})) << "h is 7 in the copy now";
}

// The units window does not refresh the inner copy: only the hundreds and
// tens windows do.
TEST_F(Adf, UnitsWindowNeverRefreshesTheInnerCopy) {
    gauge().install(0);
    show(0x0123, 0x0100);
    EXPECT_TRUE(same_bits(call_string_callback(window(units), 0x0777), 0x0777));
    EXPECT_EQ(buffer_text(window(units)), "7");
    EXPECT_EQ(click_half(tens_up), (std::vector<KeyEventRecord>{{inner_event, 0x0133}}));

    // The thousands and tenths windows each refresh the outer copy.
    for (Window w : {thousands, tenths}) {
        SCOPED_TRACE(w);
        call_string_callback(window(w), 0x0104);
        EXPECT_EQ(click_half(tenths_up), (std::vector<KeyEventRecord>{{outer_event, 0x0105}}));
    }
    // And the hundreds window the inner one.
    call_string_callback(window(hundreds), 0x0456);
    EXPECT_EQ(click_half(units_down), (std::vector<KeyEventRecord>{{inner_event, 0x0455}}));
}

// ---------------------------------------------------------------------------
// End to end, and the button.
// ---------------------------------------------------------------------------
TEST_F(Adf, ClickOnTheTensKnobGoesAllTheWayRound) {
    gauge().install(0);
    gauge().initialize();
    show(0x0345, 0x0105);
    gauge().draw();
    ASSERT_EQ(readout(), "1345.5");
    ASSERT_EQ(picture(tens), 4);

    host().clear_trace();
    ASSERT_TRUE(host().click(gauge(), 150, 40));  // right half of the tens knob: 146 to 169, 29 to 64
    auto trace = host().trace();
    auto find = [&](host::TraceKind kind, const char* call) {
        for (std::size_t i = 0; i < trace.size(); ++i)
            if (trace[i].kind == kind && trace[i].call == call) return static_cast<int>(i);
        return -1;
    };
    int sent = find(host::TraceKind::service, "send_key_event");
    int taken = find(host::TraceKind::variable, "variable");
    int answered = find(host::TraceKind::callback, "mouse_handler");
    ASSERT_GE(sent, 0);
    ASSERT_GT(taken, sent);
    ASSERT_GT(answered, taken);
    EXPECT_EQ(trace[sent].args, (std::vector<std::uint32_t>{inner_event, 0x0355}));
    EXPECT_EQ(trace[taken].args, (std::vector<std::uint32_t>{inner_token, 0x0355}));
    EXPECT_EQ(trace[answered].detail, "1");
    EXPECT_EQ(host().variables().get(inner_token).word, 0x0355u);
    EXPECT_EQ(readout(), "1345.5") << "nothing changes on screen before the next update";

    gauge().update();
    gauge().draw();
    EXPECT_EQ(readout(), "1355.5");
    EXPECT_EQ(picture(tens), 5);
    EXPECT_EQ(picture(hundreds), 3);
    EXPECT_TRUE(gauge().element(knob(tens)).shown);
}

TEST_F(Adf, ButtonSendsItsEventThroughTheHostAlone) {
    gauge().install(0);
    show(0x0345, 0x0105);
    host().clear_trace();
    EXPECT_EQ(click_at(298 + 14, 32 + 15), (std::vector<KeyEventRecord>{{0x10136, 0}}));
    EXPECT_TRUE(host().trace_of(host::TraceKind::callback).empty()) << "no routine of the module ran";
    // The corners of the area belong to it; one pixel past does not.
    for (auto [x, y] : {std::pair{298, 32}, {325, 61}}) EXPECT_EQ(click_at(x, y).size(), 1u) << x << ", " << y;
    EXPECT_FALSE(host().click(gauge(), 326, 45));
    EXPECT_FALSE(host().click(gauge(), 310, 62));
}

}  // namespace
