// The two dials, loaded by the host: their records word by word, their life
// through the host's services, and their needle values.
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

struct Point {
    int x, y;
    double value;
};

// What each dial declares, and the arithmetic of its needle.
struct Dial {
    const char* module;
    const char* name;
    std::uint32_t nominal_size;
    std::uint32_t token;
    int pivot_x, pivot_y, origin_x, origin_y;
    std::uint32_t failure_key, failure_action;
    std::uint32_t help_id;
    std::vector<Point> scale;
    double factor, offset, top;  // shown = clamp(v * factor + offset, 0, top)
    std::vector<std::uint32_t> bound_at_initialize;  // module-level tokens
};

const Dial airspeed = {MODULE_AIRSPEED_GAUGE, "Tovik.Barrik.airspeed", 311, 0x3D, 151, 148, 29, 9, 6, 2, 0xA003,
                       {{123, 266, 0}, {30, 152, 100}, {85, 51, 150}, {150, 33, 200}, {217, 55, 250},
                        {260, 109, 300}, {235, 236, 400}, {174, 268, 450}},
                       1.85, 0.0, 450.0, {}};
const Dial radtemp = {MODULE_RADTEMP_GAUGE, "Tovik_Barrik.radtemp.1", 303, 0x92, 151, 252, 0, 5, 2, 2, 0,
                      {{65, 68, 0}, {151, 50, 80}, {236, 68, 160}},
                      0.1, 40.0, 160.0, {0x80, 0x88}};

void PrintTo(const Dial& dial, std::ostream* out) { *out << dial.name; }

// The needle value in strict double arithmetic: the product, then the sum,
// the upper bound tested first.
double expected_value(const Dial& dial, double v) {
    double x = v * dial.factor + dial.offset;
    if (x > dial.top) return dial.top;
    if (x < 0.0 || std::isnan(x)) return 0.0;
    return x;
}

class DialTest : public test::LoadedGauge, public ::testing::WithParamInterface<Dial> {
protected:
    void SetUp() override { load(GetParam().module); }

    const Dial& dial() { return GetParam(); }
    GaugeHeader* header() { return gauge().header(); }
    ElementHeader* background() { return gauge().root(); }
    NeedleElement* needle() { return reinterpret_cast<NeedleElement*>(background()->next_elements[0]); }

    double shown_value(double variable) {
        host().variables().set_number(dial().token, variable);
        gauge().update();
        return gauge().element(needle()).value;
    }
};

TEST_P(DialTest, ExportsAndHeaderHoldTheirDeclaredWords) {
    expect_exports_and_header(dial().name, dial().nominal_size);
}

TEST_P(DialTest, ElementsHoldTheirDeclaredWords) {
    ElementHeader* root = background();
    EXPECT_TRUE(record_matches("background", root,
                               ExpectedWords(80).at(4, 0x1000).at(32, header()).at(40, root->next_elements).at(48, 1)));
    EXPECT_TRUE(record_matches("background children", root->next_elements, ExpectedWords(8).at(0, needle())));

    NeedleElement* n = needle();
    ASSERT_TRUE(module().image().contains(reinterpret_cast<void*>(n->value_callback)));
    const auto& scale = dial().scale;
    EXPECT_TRUE(record_matches("needle", n,
                               ExpectedWords(224)
                                   .at(0, 1)
                                   .at(4, 0x2000)
                                   .at(8, dial().pivot_x)
                                   .at(12, dial().pivot_y)
                                   .at(24, dial().origin_x)
                                   .at(28, dial().origin_y)
                                   .at(32, header())
                                   .at(44, n->header.failure_list)
                                   .at(48, 3)
                                   .at(60, dial().token)
                                   .at(88, reinterpret_cast<void*>(n->value_callback))
                                   .at(104, scale[0].x)
                                   .at(108, scale[0].y)
                                   .at(112, n->scale)
                                   .at(116, scale.size())));
    EXPECT_TRUE(record_matches("failure list", n->header.failure_list,
                               ExpectedWords(24).at(0, dial().failure_key).at(4, dial().failure_action)));

    ExpectedWords points(scale.size() * 24);
    for (std::size_t i = 0; i < scale.size(); ++i)
        points.at(24 * i, scale[i].x).at(24 * i + 4, scale[i].y).at_double(24 * i + 8, scale[i].value);
    EXPECT_TRUE(record_matches("scale", n->scale, points));
}

TEST_P(DialTest, MouseListHasNoArea) {
    gauge().install(0);
    MouseRect* list = gauge().mouse_list();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(gauge().mouse_records(), 3u);
    auto bare = [](std::uint32_t kind, std::uint32_t help) {
        return ExpectedWords(44).at(0, kind).at(20, 0xFFFFFFFF).at(24, help);
    };
    EXPECT_TRUE(record_matches("group start", &list[0], bare(1, dial().help_id)));
    EXPECT_TRUE(record_matches("group end", &list[1], bare(3, 0)));
    EXPECT_TRUE(record_matches("list end", &list[2], bare(0, 0)));
    EXPECT_FALSE(host().click(gauge(), dial().pivot_x, dial().pivot_y)) << "no area takes a click";
}

// Each routine's services, in order, with the arguments as passed on.
TEST_P(DialTest, RoutinesForwardToTheHostServicesInOrder) {
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

        std::vector<host::TraceEntry> initialize;
        for (std::uint32_t token : dial().bound_at_initialize) {
            // The binding names the module's own variable and its token.
            initialize.push_back(service("init_module_var", {0, token}));
        }
        initialize.push_back(service("initialize_elements", {word_of(root)}));

        struct Step {
            const char* name;
            void (*run)(host::Gauge&, std::uint32_t);
            std::vector<host::TraceEntry> expected;
        };
        const Step steps[] = {
            {"initialize", [](host::Gauge& g, std::uint32_t) { g.initialize(); }, initialize},
            {"initialize again", [](host::Gauge& g, std::uint32_t) { g.initialize(); }, initialize},
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
            auto seen = services();
            // Module-level variables lie in the module: check each address,
            // then compare the calls without it.
            for (auto& entry : seen) {
                if (entry.call != "init_module_var") continue;
                EXPECT_TRUE(module().image().contains(reinterpret_cast<void*>(entry.args[0]), sizeof(ModuleVar)));
                entry.args[0] = 0;
            }
            EXPECT_EQ(seen, step.expected) << step.name;
        }
        EXPECT_FALSE(gauge().mouse_registered());
        EXPECT_FALSE(gauge().installed());
    }
}

TEST_P(DialTest, ModuleRoutinesCallNothing) {
    module().module_start();
    module().module_stop();
    EXPECT_TRUE(services().empty());
}

// The callback under the host's 53-bit precision gives exactly what strict
// double arithmetic gives (the tests themselves are built for SSE2).
TEST_P(DialTest, NeedleValueMatchesStrictDoubleArithmeticOverASweep) {
    ValueCallback callback = needle()->value_callback;
    double span = dial().top / dial().factor;
    ModuleVar var{};
    int mismatches = 0;
    std::uint64_t bits = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        double v;
        if (i < 10000) {
            v = -0.6 * span + i * (1.8 * span / 10000.0);  // through the whole dial and past both ends
        } else {
            bits = bits * 6364136223846793005ull + 1442695040888963407ull;
            v = (static_cast<double>(bits >> 11) / 9007199254740992.0 * 2.0 - 0.5) * span;
        }
        double expected = expected_value(dial(), v);
        var.value.number = v;
        double result = -1.0;
        ASSERT_TRUE(host().call_module(module(), "needle value", [&] { result = callback(&var); }));
        if (std::memcmp(&result, &expected, sizeof result) != 0 && ++mismatches <= 5)
            ADD_FAILURE() << "value " << v << ": expected " << expected << ", callback gave " << result;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_P(DialTest, NeedlePointsAtTheMarkOfItsValueAndMovesMonotonically) {
    gauge().install(0);
    const auto& scale = dial().scale;
    for (const auto& point : scale) {
        double mark = host::direction_from(dial().pivot_x, dial().pivot_y, point.x, point.y);
        host().variables().set_number(dial().token, (point.value - dial().offset) / dial().factor);
        gauge().update();
        double angle = gauge().element(needle()).needle_angle;
        EXPECT_NEAR(std::remainder(angle - mark, 360.0), 0.0, 1e-6) << "mark " << point.value;
    }
    // Clockwise, a little at a time, all the way from the first mark to the last.
    double previous = 0.0, travelled = 0.0;
    for (int i = 0; i <= 1000; ++i) {
        double shown = dial().top * i / 1000.0;
        host().variables().set_number(dial().token, (shown - dial().offset) / dial().factor);
        gauge().update();
        double angle = gauge().element(needle()).needle_angle;
        if (i > 0) {
            double step = std::remainder(angle - previous, 360.0);
            EXPECT_GE(step, 0.0) << "at " << shown;
            travelled += step;
        }
        previous = angle;
    }
    double first = host::direction_from(dial().pivot_x, dial().pivot_y, scale.front().x, scale.front().y);
    double last = host::direction_from(dial().pivot_x, dial().pivot_y, scale.back().x, scale.back().y);
    EXPECT_NEAR(travelled, std::fmod(last - first + 360.0, 360.0), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Dials, DialTest, ::testing::Values(airspeed, radtemp),
                         [](const ::testing::TestParamInfo<Dial>& info) {
                             return std::string(info.param.token == 0x3D ? "airspeed" : "radtemp");
                         });

// ---------------------------------------------------------------------------
// Each dial's own cases.
// ---------------------------------------------------------------------------
struct ValueCase {
    const char* name;
    double variable;
    double shown;
};

const double infinity = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

class DialValues : public DialTest {
protected:
    void check(const std::vector<ValueCase>& cases) {
        gauge().install(0);
        for (const auto& c : cases) {
            double shown = shown_value(c.variable);
            EXPECT_EQ(shown, c.shown) << c.name;
        }
    }
};

TEST_P(DialValues, AsListed) {
    if (dial().token == 0x3D) {
        check({
            {"zero", 0.0, 0.0},
            {"100", 100.0, 185.0},
            {"200", 200.0, 370.0},
            {"243, just below the stop", 243.0, 449.55},
            {"250, above the stop", 250.0, 450.0},
            {"negative", -1.0, 0.0},
            {"negative zero", -0.0, 0.0},
            {"very negative", -1e300, 0.0},
            {"not a number", nan, 0.0},
            {"plus infinity", infinity, 450.0},
            {"minus infinity", -infinity, 0.0},
        });
    } else {
        check({
            {"zero gives 40", 0.0, 40.0},
            {"400", 400.0, 80.0},
            {"1200", 1200.0, 160.0},
            {"1250, above the stop", 1250.0, 160.0},
            {"-400", -400.0, 0.0},
            {"-500, below the stop", -500.0, 0.0},
            {"not a number", nan, 0.0},
            {"plus infinity", infinity, 160.0},
            {"minus infinity", -infinity, 0.0},
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Dials, DialValues, ::testing::Values(airspeed, radtemp),
                         [](const ::testing::TestParamInfo<Dial>& info) {
                             return std::string(info.param.token == 0x3D ? "airspeed" : "radtemp");
                         });

}  // namespace
