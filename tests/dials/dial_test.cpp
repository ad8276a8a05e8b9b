// Tovik.Barrik.airspeed, loaded by the host: its records word by word, its
// life through the host's services, and its needle value.
#include <cmath>
#include <cstring>
#include <limits>

#include "host_fixture.h"
#include "record_words.h"

namespace {

using test::ExpectedWords;
using test::record_matches;
using test::service;
using test::word_of;

class Airspeed : public test::LoadedGauge {
protected:
    void SetUp() override { load(MODULE_AIRSPEED_GAUGE); }

    GaugeHeader* header() { return gauge().header(); }
    ElementHeader* background() { return gauge().root(); }
    NeedleElement* needle() { return reinterpret_cast<NeedleElement*>(background()->next_elements[0]); }

    // The mouse list, as the gauge hands it to the host at install.
    MouseRect* installed_mouse_list() {
        gauge().install(0);
        return gauge().mouse_list();
    }

    double shown_value(double variable) {
        host().variables().set_number(token_airspeed, variable);
        gauge().update();
        return gauge().element(needle()).value;
    }
};

TEST_F(Airspeed, ExportsAndHeaderHoldTheirDeclaredWords) {
    ModuleLinkage* linkage = module().linkage();
    ASSERT_NE(linkage->module_start, nullptr);
    ASSERT_NE(linkage->module_stop, nullptr);
    EXPECT_TRUE(record_matches("Linkage", linkage,
                               ExpectedWords(32)
                                   .at(0, 0x13)
                                   .at(4, reinterpret_cast<void*>(linkage->module_start))
                                   .at(8, reinterpret_cast<void*>(linkage->module_stop))
                                   .at(24, header())));
    EXPECT_TRUE(record_matches("ImportTable", module().import_table(),
                               ExpectedWords(16).at(0, 0x0F).at(4, &host().services())));

    ExpectedWords expected(88);
    expected.at(0, 0x262).at(4, header()->gauge_name).at(8, header()->element_list);
    const void* routines[] = {
        reinterpret_cast<void*>(header()->gauge_query),      reinterpret_cast<void*>(header()->gauge_install),
        reinterpret_cast<void*>(header()->gauge_initialize), reinterpret_cast<void*>(header()->gauge_update),
        reinterpret_cast<void*>(header()->gauge_generate),   reinterpret_cast<void*>(header()->gauge_draw),
        reinterpret_cast<void*>(header()->gauge_kill)};
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(module().image().contains(routines[i])) << "routine word " << 3 + i;
        expected.at(12 + 4 * i, routines[i]);
    }
    expected.at(44, 311);
    EXPECT_TRUE(record_matches("GaugeHeader", header(), expected));
    EXPECT_STREQ(header()->gauge_name, "Tovik.Barrik.airspeed");
    EXPECT_TRUE(record_matches("element_list", header()->element_list,
                               ExpectedWords(8).at(0, background())));
}

TEST_F(Airspeed, ElementsHoldTheirDeclaredWords) {
    ElementHeader* root = background();
    EXPECT_TRUE(record_matches("airspeed_background", root,
                               ExpectedWords(80)
                                   .at(4, 0x1000)
                                   .at(32, header())
                                   .at(40, root->next_elements)
                                   .at(48, 1)));
    EXPECT_TRUE(record_matches("background children", root->next_elements, ExpectedWords(8).at(0, needle())));

    NeedleElement* n = needle();
    ASSERT_TRUE(module().image().contains(reinterpret_cast<void*>(n->value_callback)));
    EXPECT_TRUE(record_matches("airspeed_needle", n,
                               ExpectedWords(224)
                                   .at(0, 1)
                                   .at(4, 0x2000)
                                   .at(8, 151)
                                   .at(12, 148)
                                   .at(24, 29)
                                   .at(28, 9)
                                   .at(32, header())
                                   .at(44, n->header.failure_list)
                                   .at(48, 3)
                                   .at(60, 0x3D)
                                   .at(88, reinterpret_cast<void*>(n->value_callback))
                                   .at(104, 123)
                                   .at(108, 266)
                                   .at(112, n->scale)
                                   .at(116, 8)));
    EXPECT_TRUE(record_matches("airspeed_failures", n->header.failure_list, ExpectedWords(24).at(0, 6).at(4, 2)));

    struct Point {
        int x, y;
        double value;
    };
    const Point points[] = {{123, 266, 0},   {30, 152, 100},  {85, 51, 150},   {150, 33, 200},
                            {217, 55, 250},  {260, 109, 300}, {235, 236, 400}, {174, 268, 450}};
    ExpectedWords scale(8 * 24);
    for (int i = 0; i < 8; ++i)
        scale.at(24 * i, points[i].x).at(24 * i + 4, points[i].y).at_double(24 * i + 8, points[i].value);
    EXPECT_TRUE(record_matches("airspeed_scale", n->scale, scale));
}

TEST_F(Airspeed, MouseListCarriesOnlyTheHelpNumber) {
    MouseRect* list = installed_mouse_list();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(gauge().mouse_records(), 3u);
    auto bare = [](std::uint32_t kind, std::uint32_t help) {
        return ExpectedWords(44).at(0, kind).at(20, 0xFFFFFFFF).at(24, help);
    };
    EXPECT_TRUE(record_matches("group start", &list[0], bare(1, 0xA003)));
    EXPECT_TRUE(record_matches("group end", &list[1], bare(3, 0)));
    EXPECT_TRUE(record_matches("list end", &list[2], bare(0, 0)));
    EXPECT_FALSE(host().click(gauge(), 151, 148)) << "no area takes a click";
}

// Each routine's services, in order, with the arguments as passed on.
TEST_F(Airspeed, RoutinesForwardToTheHostServicesInOrder) {
    const std::uint32_t host_values[] = {0, 1, 0x80000000, 0xFFFFFFFF, 0x12345678};
    ElementHeader* root = background();
    for (std::uint32_t value : host_values) {
        SCOPED_TRACE(value);
        host().clear_trace();
        gauge().install(value);
        MouseRect* list = gauge().mouse_list();
        ASSERT_NE(list, nullptr);
        std::uint32_t slot = reinterpret_cast<StaticImageElement*>(root)->image_slots[0];
        EXPECT_EQ(slot, word_of(gauge().element(root).pictures.at(0).get())) << "the host's image record";
        EXPECT_EQ(services(), (std::vector<host::TraceEntry>{
                                  service("install_elements", {word_of(root), value}),
                                  service("install_mouse_rects", {word_of(list), word_of(header()), slot + 4}),
                                  service("register_mouse_rects", {word_of(list), word_of(header())}),
                              }));
        EXPECT_TRUE(gauge().mouse_registered());

        struct Step {
            const char* name;
            void (*run)(host::Gauge&, std::uint32_t);
            std::vector<host::TraceEntry> expected;
        };
        const Step steps[] = {
            {"initialize", [](host::Gauge& g, std::uint32_t) { g.initialize(); },
             {service("initialize_elements", {word_of(root)})}},
            {"update", [](host::Gauge& g, std::uint32_t) { g.update(); }, {service("update_elements", {word_of(root)})}},
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
        EXPECT_FALSE(gauge().mouse_registered());
        EXPECT_FALSE(gauge().installed());
    }
}

TEST_F(Airspeed, ModuleRoutinesCallNothing) {
    module().module_start();
    module().module_stop();
    EXPECT_TRUE(services().empty());
}

TEST_F(Airspeed, NeedleValueIsKilometresPerHourHeldWithinTheDial) {
    const double infinity = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        double variable;
        double shown;
    };
    const Case cases[] = {
        {"zero", 0.0, 0.0},
        {"100 knots' worth", 100.0, 185.0},
        {"200", 200.0, 370.0},
        {"243 just below the stop", 243.0, 243.0 * 1.85},
        {"250 above the stop", 250.0, 450.0},
        {"negative", -1.0, 0.0},
        {"negative zero", -0.0, 0.0},
        {"very negative", -1e300, 0.0},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), 0.0},
        {"plus infinity", infinity, 450.0},
        {"minus infinity", -infinity, 0.0},
    };
    gauge().install(0);
    for (const auto& c : cases) {
        double shown = shown_value(c.variable);
        EXPECT_EQ(shown, c.shown) << c.name;
        EXPECT_FALSE(std::signbit(shown)) << c.name << ": no negative zero";
    }
    EXPECT_EQ(shown_value(243.0), 449.55) << "243 shows 449.55";
}

// The callback under the host's 53-bit precision gives exactly what strict
// double arithmetic gives (these tests are built for SSE2 arithmetic).
TEST_F(Airspeed, NeedleValueMatchesStrictDoubleArithmeticOverASweep) {
    ValueCallback callback = needle()->value_callback;
    ModuleVar var{};
    int mismatches = 0;
    std::uint64_t bits = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        double v;
        if (i < 10000) {
            v = -20.0 + i * 0.02813;  // through the whole dial and past both ends
        } else {
            bits = bits * 6364136223846793005ull + 1442695040888963407ull;
            v = static_cast<double>(bits >> 11) / 9007199254740992.0 * 300.0 - 25.0;
        }
        double x = v * 1.85;
        double expected = x > 450.0 ? 450.0 : (x < 0.0 || std::isnan(x)) ? 0.0 : x;
        var.value.number = v;
        double result = -1.0;
        ASSERT_TRUE(host().call_module(module(), "needle value", [&] { result = callback(&var); }));
        if (std::memcmp(&result, &expected, sizeof result) != 0 && ++mismatches <= 5)
            ADD_FAILURE() << "value " << v << ": expected " << expected << ", callback gave " << result;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(Airspeed, NeedlePointsAtTheMarkOfItsValue) {
    gauge().install(0);
    const NonlinearityPoint* scale = needle()->scale;
    for (std::uint32_t i = 0; i < needle()->scale_count; ++i) {
        double mark = host::direction_from(151, 148, scale[i].point_x, scale[i].point_y);
        shown_value(scale[i].scale_value / 1.85);
        double angle = gauge().element(needle()).needle_angle;
        EXPECT_NEAR(std::remainder(angle - mark, 360.0), 0.0, 1e-6) << "mark " << scale[i].scale_value;
    }
    // Between 150 and 200 km/h the needle crosses straight up, clockwise.
    shown_value(175.0 / 1.85);
    double between = gauge().element(needle()).needle_angle;
    EXPECT_TRUE(between > 326.0 || between < 1.0) << between;
}

}  // namespace
