// What the renderer draws, measured from its pixels: needles on their scale
// marks, radio windows and knob pictures, the ADF lamp.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "canvas.h"
#include "panel_host.h"
#include "renderer.h"

namespace {

constexpr double pi = 3.14159265358979323846;

class Rendered : public ::testing::Test {
protected:
    void load(const char* path) {
        host_ = std::make_unique<host::PanelHost>();
        gauge_ = &host_->load(path).gauge();
        gauge_->module().module_start();
        gauge_->install(0);
        gauge_->initialize();
    }
    void cycle() {
        gauge_->update();
        gauge_->generate(0);
        gauge_->draw();
    }
    void TearDown() override {
        if (!host_) return;
        gauge_->kill();
        for (const auto& error : host_->errors()) ADD_FAILURE() << error;
    }
    const host::ElementState& first_of_kind(std::uint32_t kind) const {
        for (const auto& state : gauge_->elements())
            if (state.kind == kind) return state;
        throw std::logic_error("no element of that kind");
    }
    std::unique_ptr<host::Canvas> picture() const {
        host::GaugeSize size = host::gauge_size(*gauge_);
        auto canvas = std::make_unique<host::Canvas>(size.width, size.height);
        host::render_gauge(*gauge_, *canvas);
        return canvas;
    }

    std::unique_ptr<host::PanelHost> host_;
    host::Gauge* gauge_ = nullptr;
};

// The direction the drawn needle points, seen from its pivot: the mean of
// the needle pixels in the outer half of its reach.
double measured_direction(const host::Gauge& gauge, const host::ElementState& needle_state) {
    host::GaugeSize size = host::gauge_size(gauge);
    host::Canvas canvas(size.width, size.height);
    host::render_element(gauge, needle_state, canvas);
    const ElementHeader& header = *needle_state.record;
    double reach = 0;
    std::vector<std::pair<double, double>> points;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.at(x, y)) {
                double dx = x - header.position_x, dy = y - header.position_y;
                points.emplace_back(dx, dy);
                reach = std::max(reach, std::hypot(dx, dy));
            }
    double sx = 0, sy = 0;
    for (auto [dx, dy] : points)
        if (std::hypot(dx, dy) > reach * 0.5) sx += dx, sy += dy;
    double degrees = std::atan2(sx, -sy) * 180.0 / pi;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

double angle_between(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

struct DialCase {
    const char* name;
    const char* module;
    std::uint32_t token;
    double (*token_for)(double shown);  // the variable value that shows `shown`
};

const DialCase dials[] = {
    {"airspeed", MODULE_AIRSPEED_GAUGE, 0x3D, [](double shown) { return shown / 1.85; }},
    {"radtemp", MODULE_RADTEMP_GAUGE, 0x92, [](double shown) { return (shown - 40.0) * 10.0; }},
};

class NeedleOnScale : public Rendered, public ::testing::WithParamInterface<DialCase> {};

TEST_P(NeedleOnScale, PointsAtEveryMarkAndMovesOneWayBetweenThem) {
    const DialCase& dial = GetParam();
    load(dial.module);
    const host::ElementState& state = first_of_kind(element_needle);
    const auto& needle = reinterpret_cast<const NeedleElement&>(*state.record);
    double previous = -1;
    double travelled = 0, marks_apart = 0;
    for (std::uint32_t i = 0; i < needle.scale_count; ++i) {
        const NonlinearityPoint& mark = needle.scale[i];
        host_->variables().set_number(dial.token, dial.token_for(mark.scale_value));
        cycle();
        double expected = host::direction_from(needle.header.position_x, needle.header.position_y, mark.point_x,
                                               mark.point_y);
        double seen = measured_direction(*gauge_, state);
        EXPECT_LT(angle_between(seen, expected), 1.0)
            << dial.name << " at " << mark.scale_value << ": the mark is at " << expected << " degrees, the needle drawn at "
            << seen;
        if (i == 0) {
            previous = seen;
            continue;
        }
        // Five values between this mark and the one before: each step turns
        // clockwise, never back.
        const NonlinearityPoint& before = needle.scale[i - 1];
        marks_apart += std::remainder(
            expected - host::direction_from(needle.header.position_x, needle.header.position_y, before.point_x,
                                            before.point_y),
            360.0);
        double last = previous;
        for (int step = 1; step <= 5; ++step) {
            double value = before.scale_value + (mark.scale_value - before.scale_value) * step / 6.0;
            host_->variables().set_number(dial.token, dial.token_for(value));
            cycle();
            double now = measured_direction(*gauge_, state);
            double turn = std::remainder(now - last, 360.0);
            EXPECT_GE(turn, -0.5) << dial.name << " at " << value << ": turned back from " << last << " to " << now;
            travelled += turn;
            last = now;
        }
        travelled += std::remainder(seen - last, 360.0);
        EXPECT_GE(std::remainder(seen - last, 360.0), -0.5) << dial.name << " at " << mark.scale_value;
        previous = seen;
    }
    EXPECT_NEAR(travelled, marks_apart, 2.0) << dial.name << ": the needle's whole travel against the marks'";
}

INSTANTIATE_TEST_SUITE_P(Dials, NeedleOnScale, ::testing::ValuesIn(dials),
                         [](const auto& info) { return std::string(info.param.name); });

// Every digit window shows its box colour and its text colour, and every
// knob shows the picture of the digit under it.
struct RadioCase {
    const char* name;
    const char* module;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> words;
};

class RadioWindows : public Rendered, public ::testing::WithParamInterface<RadioCase> {};

TEST_P(RadioWindows, ShowBoxAndTextColoursAndTheKnobPicturesOfTheDigits) {
    const RadioCase& radio = GetParam();
    load(radio.module);
    for (auto [token, word] : radio.words) host_->variables().set_word(token, word);
    cycle();
    auto canvas = picture();
    int windows = 0, knobs = 0;
    for (const auto& state : gauge_->elements()) {
        const ElementHeader& header = *state.record;
        if (state.kind == element_string) {
            ++windows;
            const auto& text = reinterpret_cast<const StringElement&>(header);
            std::uint32_t box = host::from_colorref(text.background_colour);
            std::uint32_t ink = host::from_colorref(text.text_colour);
            // On the whole picture, and drawn alone: then nothing but the
            // two colours, and none outside the box.
            auto alone = std::make_unique<host::Canvas>(canvas->width(), canvas->height());
            host::render_element(*gauge_, state, *alone);
            int box_pixels = 0, ink_pixels = 0, other = 0, outside = 0, on_picture = 0;
            for (int y = 0; y < alone->height(); ++y)
                for (int x = 0; x < alone->width(); ++x) {
                    int bx = x - header.position_x, by = y - header.position_y;
                    bool in_box = bx >= 0 && by >= 0 && bx < text.box_width && by < text.box_height;
                    std::uint32_t colour = alone->at(x, y);
                    if (!in_box) {
                        if (colour) ++outside;
                        continue;
                    }
                    if (colour == box) ++box_pixels;
                    else if (colour == ink) ++ink_pixels;
                    else ++other;
                    if (canvas->at(x, y) == ink) ++on_picture;
                }
            EXPECT_EQ(outside, 0) << "window at x " << header.position_x << ": drawn outside its box";
            EXPECT_GT(on_picture, 20) << "window at x " << header.position_x << ": no text on the picture";
            EXPECT_GT(box_pixels, text.box_width * text.box_height / 3) << "window at x " << header.position_x;
            EXPECT_GT(ink_pixels, 20) << "window at x " << header.position_x << " showing \"" << state.text << "\"";
            EXPECT_EQ(other, 0) << "window at x " << header.position_x << ": colours other than box and text";
            EXPECT_FALSE(state.text.empty());
        }
        if (state.kind == element_icon) {
            ++knobs;
            ASSERT_LT(static_cast<std::size_t>(state.picture), state.pictures.size());
            EXPECT_EQ(state.picture, static_cast<int>(state.value)) << "knob at x " << header.position_x;
            const host::ImageRecord& image = *state.pictures[state.picture];
            int left = header.position_x - header.origin_x, top = header.position_y - header.origin_y;
            int wrong = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    if (image.opaque(x, y) && canvas->at(left + x, top + y) != image.at(x, y)) ++wrong;
            EXPECT_EQ(wrong, 0) << "knob at x " << header.position_x << " should show picture " << state.picture;
        }
    }
    EXPECT_EQ(windows, 5);
    EXPECT_GE(knobs, 4);
}

INSTANTIATE_TEST_SUITE_P(
    Radios, RadioWindows,
    ::testing::Values(RadioCase{"adf", MODULE_ADF_GAUGE, {{0x10, 0x0345}, {0x12, 0x0017}}},
                      RadioCase{"adf_nines", MODULE_ADF_GAUGE, {{0x10, 0x0999}, {0x12, 0x0019}}},
                      RadioCase{"com", MODULE_COM_GAUGE, {{0x17, 0x2270}}},
                      RadioCase{"com_other", MODULE_COM_GAUGE, {{0x17, 0x1895}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Rendered, TheAdfLampIsDrawnOnlyWhileItsVariableIsNotZero) {
    load(MODULE_ADF_GAUGE);
    const host::ElementState* lamp = nullptr;
    for (const auto& state : gauge_->elements())
        if (state.kind == element_static_image && state.parent >= 0) lamp = &state;
    ASSERT_NE(lamp, nullptr);
    const host::ImageRecord& image = *lamp->pictures.front();
    int left = lamp->record->position_x, top = lamp->record->position_y;
    auto lit_pixels = [&] {
        auto canvas = picture();
        int same = 0, opaque = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (image.opaque(x, y)) {
                    ++opaque;
                    if (canvas->at(left + x, top + y) == image.at(x, y)) ++same;
                }
        return std::pair{same, opaque};
    };
    for (double lamp_value : {0.0, 1.0, 0.0, 0.5}) {
        host_->variables().set_number(0x15, lamp_value);
        cycle();
        auto [same, opaque] = lit_pixels();
        if (lamp_value != 0.0) {
            EXPECT_EQ(same, opaque) << "lamp " << lamp_value << ": the lit lamp is not all drawn";
            EXPECT_TRUE(lamp->shown);
        } else {
            EXPECT_LT(same, opaque / 2) << "lamp 0: the lit lamp is drawn";
            EXPECT_FALSE(lamp->shown);
        }
    }
}

TEST_F(Rendered, TheSwitchLeverShowsTheOtherPictureAfterAClick) {
    load(MODULE_SWITCH_GAUGE);
    cycle();
    const host::ElementState& lever = first_of_kind(element_icon);
    int before = lever.picture;
    auto first = picture();
    ASSERT_TRUE(host_->click(*gauge_, 5, 5));
    cycle();
    EXPECT_NE(lever.picture, before);
    auto second = picture();
    const host::ImageRecord& image = *lever.pictures[lever.picture];
    int left = lever.record->position_x - lever.record->origin_x, top = lever.record->position_y - lever.record->origin_y;
    int wrong = 0, changed = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            if (image.opaque(x, y) && second->at(left + x, top + y) != image.at(x, y)) ++wrong;
            if (first->at(left + x, top + y) != second->at(left + x, top + y)) ++changed;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(changed, 0);
}

TEST_F(Rendered, StringWindowsUseTheDeclaredFaceOrItsMetricStandIn) {
    load(MODULE_COM_GAUGE);
    const auto& text = reinterpret_cast<const StringElement&>(*first_of_kind(element_string).record);
    std::string face = host::font_face_used(text);
    EXPECT_TRUE(face == "Courier New" || face == "Liberation Mono") << "GDI uses " << face;
    std::cout << "[ info ] string windows drawn in " << face << "\n";
}

}  // namespace
