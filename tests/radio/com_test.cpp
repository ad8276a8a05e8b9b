// Tovik.Vessa.com, loaded by the host: its records word by word, its
// routines' services, the windows and knobs it shows for the COM word, and
// the words its knob halves send.
#include <cmath>
#include <limits>

#include "radio_support.h"

namespace {

using host::KeyEventRecord;
using radio_test::same_bits;
using test::ExpectedWords;
using test::record_matches;
using test::service;
using test::word_of;

constexpr std::uint32_t com_token = 0x17, module_var_token = 0x1D;
constexpr std::uint32_t com_event = 0x100AB;

// Windows left to right: the fixed 1, then nibbles 3 to 0.
enum Window { one, tens, units, tenths, hundredths };

// Left edges of the knob halves, left half then right half.
enum Half : int {
    tens_down = 71,
    tens_up = 97,
    units_down = 121,
    units_up = 146,
    tenths_down = 169,
    tenths_up = 195,
    hundredths_left = 219,
    hundredths_right = 245,
};

class Com : public radio_test::Radio {
protected:
    void SetUp() override { load(MODULE_COM_GAUGE); }

    GaugeHeader* header() { return gauge().header(); }

    void show(std::uint32_t word) {
        host().variables().set_word(com_token, word);
        gauge().update();
    }

    std::string readout() {
        return text(one) + text(tens) + text(units) + "." + text(tenths) + text(hundredths);
    }
};

// ---------------------------------------------------------------------------
// Declared records.
// ---------------------------------------------------------------------------
TEST_F(Com, ExportsAndHeaderHoldTheirDeclaredWords) {
    expect_exports_and_header("Tovik.Vessa.com", 350);
}

TEST_F(Com, ElementsHoldTheirDeclaredWords) {
    ElementHeader* root = background();
    EXPECT_TRUE(record_matches("background", root,
                               ExpectedWords(80).at(4, 0x1000).at(32, header()).at(40, root->next_elements).at(48, 1)));
    ExpectedWords list(24);
    for (int i = 0; i < 5; ++i) list.at(4 * i, children()[i]);
    EXPECT_TRUE(record_matches("background children", children(), list));

    FailureRecord* failures = window(one)->header.failure_list;
    EXPECT_TRUE(record_matches("failure list", failures, ExpectedWords(36).at(0, 1).at(12, 9)));

    const void* raw = reinterpret_cast<void*>(window(one)->source_callbacks[0]);
    EXPECT_TRUE(module().image().contains(raw));
    struct Digit {
        const char* name;
        int window_x;
        int knob_x;  // 0: no knob picture
    };
    const Digit digits[] = {
        {"fixed one", 37, 0}, {"tens", 88, 82}, {"units", 137, 131}, {"tenths", 186, 180}, {"hundredths", 236, 230},
    };
    std::vector<const void*> string_callbacks, digit_callbacks;
    for (int i = 0; i < 5; ++i) {
        const Digit& d = digits[i];
        StringElement* w = window(i);
        const void* string_callback = reinterpret_cast<void*>(w->string_callback);
        EXPECT_TRUE(module().image().contains(string_callback)) << d.name;
        for (const void* other : string_callbacks) EXPECT_NE(string_callback, other) << d.name << ": its own callback";
        string_callbacks.push_back(string_callback);
        EXPECT_TRUE(record_matches(d.name, w,
                                   radio_test::digit_window_words(d.window_x, com_token, header(),
                                                                  w->header.next_elements, failures, raw,
                                                                  string_callback)));
        if (!d.knob_x) {
            EXPECT_EQ(w->header.next_elements, nullptr) << d.name;
            continue;
        }
        ASSERT_NE(w->header.next_elements, nullptr) << d.name;
        EXPECT_TRUE(record_matches(d.name, w->header.next_elements, ExpectedWords(8).at(0, knob(i))));
        const void* digit_callback = reinterpret_cast<void*>(knob(i)->value_callback);
        EXPECT_TRUE(module().image().contains(digit_callback)) << d.name;
        for (const void* other : digit_callbacks) EXPECT_NE(digit_callback, other) << d.name << ": its own nibble";
        digit_callbacks.push_back(digit_callback);
        EXPECT_TRUE(record_matches(d.name, knob(i),
                                   radio_test::knob_picture_words(d.knob_x, com_token, header(), failures, digit_callback)));
    }
}

TEST_F(Com, MouseListHoldsEightKnobHalves) {
    gauge().install(0);
    MouseRect* list = mouse_list();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(gauge().mouse_records(), 11u);
    EXPECT_TRUE(record_matches("group start", &list[0], radio_test::bare_mouse_record(1, 0xA701)));
    const int halves[] = {tens_down,   tens_up,   units_down,      units_up,
                          tenths_down, tenths_up, hundredths_left, hundredths_right};
    for (int i = 0; i < 8; ++i) {
        const MouseRect& rect = list[1 + i];
        const void* handler = reinterpret_cast<void*>(rect.handler);
        EXPECT_TRUE(module().image().contains(handler)) << "half at " << halves[i];
        EXPECT_TRUE(record_matches("knob half", &rect,
                                   radio_test::knob_half_words(halves[i], i % 2 ? 1 : 2, 0xA701, handler)))
            << "half at " << halves[i];
    }
    // Halves with different rules have different handlers.
    for (int i = 1; i < 7; ++i)
        for (int j = 0; j < i; ++j) EXPECT_NE(list[1 + i].handler, list[1 + j].handler) << i << " and " << j;
    EXPECT_TRUE(record_matches("group end", &list[9], radio_test::bare_mouse_record(3, 0)));
    EXPECT_TRUE(record_matches("list end", &list[10], radio_test::bare_mouse_record(0, 0)));
    EXPECT_FALSE(host().click(gauge(), 40, 45)) << "the fixed 1 has no knob halves";
}

// ---------------------------------------------------------------------------
// Routines.
// ---------------------------------------------------------------------------
TEST_F(Com, RoutinesBindAndReadVariable0x1DBeforeTheStandardBody) {
    ElementHeader* root = background();
    const std::uint32_t host_values[] = {0, 0x80000000, 0xFFFFFFFF};
    for (std::uint32_t value : host_values) {
        SCOPED_TRACE(value);
        host().clear_trace();
        gauge().install(value);
        auto installed = services();
        ASSERT_EQ(installed.size(), 4u);
        ASSERT_EQ(installed[0].call, "init_module_var");
        std::uint32_t var = installed[0].args.at(0);
        EXPECT_TRUE(module().image().contains(static_cast<std::uintptr_t>(var), sizeof(ModuleVar)));
        MouseRect* list = mouse_list();
        std::uint32_t slot = reinterpret_cast<StaticImageElement*>(root)->image_slots[0];
        EXPECT_EQ(installed, (std::vector<host::TraceEntry>{
                                 service("init_module_var", {var, module_var_token}),
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
             {service("read_module_var", {var, module_var_token}), service("update_elements", {word_of(root)})}},
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
}

// ---------------------------------------------------------------------------
// What the windows and knobs show.
// ---------------------------------------------------------------------------
TEST_F(Com, WindowsShowAFixedOneAndTheFourDigits) {
    struct Case {
        const char* name;
        std::uint32_t word;
        const char* readout;
        int pictures[4];  // tens, units, tenths, hundredths
    };
    const Case cases[] = {
        {"112.34", 0x1234, "112.34", {1, 2, 3, 4}},
        {"123.45", 0x2345, "123.45", {2, 3, 4, 5}},
        {"zero", 0, "100.00", {0, 0, 0, 0}},
        {"bits 16 to 31 ignored", 0xABCD3890, "138.90", {3, 8, 9, 0}},
        {"nibbles above 9 show blank", 0xA1FC, "1 1.  ", {10, 1, 15, 12}},
        {"all ones", 0xFFFFFFFF, "1  .  ", {15, 15, 15, 15}},
    };
    gauge().install(0);
    for (const auto& c : cases) {
        show(c.word);
        EXPECT_EQ(readout(), c.readout) << c.name;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(gauge().element(knob(tens + i)).value, c.pictures[i]) << c.name << ", knob " << i;
            EXPECT_EQ(picture(tens + i), c.pictures[i] > 9 ? 9 : c.pictures[i]) << c.name << ", knob " << i;
        }
    }
    // The hundredths knob shows picture 0 or 5, one image.
    const auto& pictures = gauge().element(knob(hundredths)).pictures;
    ASSERT_EQ(pictures.size(), 10u);
    EXPECT_EQ(pictures[0]->pixels, pictures[5]->pixels);
}

TEST_F(Com, StringCallbacksWriteTheirDigitAndReturnTheirArgument) {
    gauge().install(0);
    const char* expected[] = {"1", "1", "2", "3", "4"};  // 0x1234: the fixed 1, nibbles 3 to 0
    for (int i = 0; i < 5; ++i) {
        double result = call_string_callback(window(i), 4660.0);
        EXPECT_TRUE(same_bits(result, 4660.0)) << "window " << i << " returned " << result;
        EXPECT_EQ(buffer_text(window(i)), expected[i]) << "window " << i;
    }
    // The fixed one writes "1" whatever it is given, and returns it.
    const double values[] = {0.0, -0.0, 4294967295.0, 39321.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()};
    for (double value : values) {
        EXPECT_TRUE(same_bits(call_string_callback(window(one), value), value)) << value;
        EXPECT_EQ(buffer_text(window(one)), "1") << value;
    }
}

// Only the fixed-one window refreshes the COM copy, even without a buffer.
TEST_F(Com, OnlyTheFixedOneRefreshesTheCopy) {
    EXPECT_EQ(window(one)->text, nullptr);
    EXPECT_TRUE(same_bits(call_string_callback(window(one), 0x2345), 0x2345)) << "no buffer yet: writes nothing";
    gauge().install(0);
    EXPECT_EQ(click_half(units_up), (std::vector<KeyEventRecord>{{com_event, 0x2445}}));

    show(0x1234);
    for (Window w : {tens, units, tenths, hundredths}) {
        SCOPED_TRACE(w);
        call_string_callback(window(w), 0x3999);
        EXPECT_EQ(click_half(tenths_up), (std::vector<KeyEventRecord>{{com_event, 0x1244}}));
        show(0x1234);  // the host took 0x1244; back to 0x1234
    }
    call_string_callback(window(one), 0x3999);
    EXPECT_EQ(click_half(tenths_up), (std::vector<KeyEventRecord>{{com_event, 0x3909}}));
}

// ---------------------------------------------------------------------------
// Knob halves.
// ---------------------------------------------------------------------------
TEST_F(Com, KnobHalvesStepTheirDigitAndSendTheWholeWord) {
    struct Case {
        const char* name;
        std::uint32_t word;
        Half half;
        std::uint32_t sent;
    };
    const Case cases[] = {
        {"tens up 1 to 2", 0x1234, tens_up, 0x2234},
        {"tens up 3 to 1", 0x3234, tens_up, 0x1234},
        {"tens up 0 to 1", 0x0234, tens_up, 0x1234},
        {"tens up 5 to 1", 0x5234, tens_up, 0x1234},
        {"tens up 0xF to 1", 0xF234, tens_up, 0x1234},
        {"tens down 3 to 2", 0x3234, tens_down, 0x2234},
        {"tens down 1 to 3", 0x1234, tens_down, 0x3234},
        {"tens down 0 to 3", 0x0234, tens_down, 0x3234},
        {"tens down 5 to 4", 0x5234, tens_down, 0x4234},
        {"tens down 0xF to 0xE", 0xF234, tens_down, 0xE234},
        {"tens keep nibbles 0 to 2, clear bits 16 to 31", 0xFFFF2987, tens_up, 0x3987},
        {"units up: 123.45 to 124.45", 0x2345, units_up, 0x2445},
        {"units up 9 to 0", 0x2945, units_up, 0x2045},
        {"units down 0 to 9", 0x2045, units_down, 0x2945},
        {"units down 0xC to 0xB", 0x2C45, units_down, 0x2B45},
        {"tenths up 9 to 0", 0x2395, tenths_up, 0x2305},
        {"tenths down 0 to 9", 0x2305, tenths_down, 0x2395},
        {"tenths clear bits 16 to 31", 0x00012345, tenths_down, 0x2335},
        {"hundredths left 0 to 5", 0x2340, hundredths_left, 0x2345},
        {"hundredths right 0 to 5", 0x2340, hundredths_right, 0x2345},
        {"hundredths left 5 to 0", 0x2345, hundredths_left, 0x2340},
        {"hundredths right 5 to 0", 0x2345, hundredths_right, 0x2340},
        {"hundredths left 2 to 0", 0x2342, hundredths_left, 0x2340},
        {"hundredths right 2 to 0", 0x2342, hundredths_right, 0x2340},
        {"hundredths right 0xF to 0", 0x234F, hundredths_right, 0x2340},
        {"hundredths clear bits 16 to 31", 0x80002340, hundredths_left, 0x2345},
    };
    gauge().install(0);
    for (const auto& c : cases) {
        show(c.word);
        EXPECT_EQ(click_half(c.half), (std::vector<KeyEventRecord>{{com_event, c.sent}})) << c.name;
    }
}

TEST_F(Com, ClicksAccumulateUntilTheNextRefresh) {
    gauge().install(0);
    EXPECT_EQ(click_half(tens_up), (std::vector<KeyEventRecord>{{com_event, 0x1000}}))
        << "before any refresh the copy is 0";
    show(0x1250);
    EXPECT_EQ(click_half(tens_up), (std::vector<KeyEventRecord>{{com_event, 0x2250}}));
    EXPECT_EQ(click_half(tens_up), (std::vector<KeyEventRecord>{{com_event, 0x3250}}));
    EXPECT_EQ(click_half(tens_up), (std::vector<KeyEventRecord>{{com_event, 0x1250}}));
    host().variables().set_word(com_token, 0x3405);  // the host had its own idea
    gauge().update();
    EXPECT_EQ(readout(), "134.05");
    EXPECT_EQ(click_half(hundredths_right), (std::vector<KeyEventRecord>{{com_event, 0x3400}}));
}

TEST_F(Com, ClickOnTheUnitsKnobGoesAllTheWayRound) {
    gauge().install(0);
    show(0x2345);
    gauge().draw();
    ASSERT_EQ(readout(), "123.45");
    ASSERT_TRUE(host().click(gauge(), 160, 50));  // right half of the units knob: 146 to 169
    EXPECT_EQ(host().key_events(), (std::vector<KeyEventRecord>{{com_event, 0x2445}}));
    EXPECT_EQ(host().variables().get(com_token).word, 0x2445u);
    gauge().update();
    gauge().draw();
    EXPECT_EQ(readout(), "124.45");
    EXPECT_EQ(picture(units), 4);
}

}  // namespace
