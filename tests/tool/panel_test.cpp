// Panel files: where gauges go, how clicks reach them, and the errors a
// panel file the host cannot use gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "panel.h"
#include "panel_file.h"
#include "renderer.h"

namespace {

std::filesystem::path module_folder() { return std::filesystem::path(MODULE_AIRSPEED_GAUGE).parent_path(); }

// The radio and switch modules are built in folders of their own: a
// panel's gauges folder holding all of them is made here.
std::filesystem::path gauges_folder() {
    static bool made = false;
    std::filesystem::path folder = "tool_test_gauges";
    if (made) return folder;
    made = true;
    std::filesystem::create_directories(folder);
    for (const char* module : {MODULE_AIRSPEED_GAUGE, MODULE_RADTEMP_GAUGE, MODULE_ADF_GAUGE, MODULE_COM_GAUGE,
                               MODULE_SWITCH_GAUGE}) {
        std::filesystem::path copy = folder / std::filesystem::path(module).filename();
        std::filesystem::remove(copy);
        std::filesystem::copy_file(module, copy);
    }
    return folder;
}

TEST(PanelFile, PlacesEachGaugeWhereItsLineSays) {
    host::PanelFile file = host::parse_panel_file(
        "[Window Titles]\nwindow00=Main\n\n[Window00]\nbackground_color=10,20,30\nsize_mm=500,400\n"
        "gauge00=Tovik.Vessa.com, 40, 300\ngauge01=Vantle2, 420, 20  ; the switch\n"
        "gauge02=Tovik.Vessa.adf, 10, 10, 175\n[Window01]\ngauge00=Tovik.Barrik.airspeed, 0, 0\n",
        "test.cfg");
    host::PanelHost host;
    host::Panel panel(host);
    panel.load(file, gauges_folder());
    panel.start();
    panel.cycle();
    host::Canvas canvas(panel.width(), panel.height());
    panel.draw(canvas);
    ASSERT_EQ(panel.gauges().size(), 3u) << "only the first window's gauges";
    EXPECT_EQ(canvas.width(), 500);
    EXPECT_EQ(canvas.height(), 400);
    EXPECT_EQ(canvas.at(0, 399), 0x0A141Eu) << "the background colour where no gauge is";
    // Each gauge's own picture appears at its place, wherever it is opaque;
    // the third is drawn at half its width.
    for (auto& placed : panel.gauges()) {
        const host::Canvas& own = *placed.frame;
        int wrong = 0, compared = 0;
        for (int y = 0; y < placed.height; ++y)
            for (int x = 0; x < placed.width; ++x) {
                std::uint32_t colour = own.at(x * own.width() / placed.width, y * own.height() / placed.height);
                if (!colour) continue;
                ++compared;
                if (canvas.at(placed.x + x, placed.y + y) != colour) ++wrong;
            }
        EXPECT_GT(compared, 0) << placed.label;
        EXPECT_EQ(wrong, 0) << placed.label << " at " << placed.x << "," << placed.y;
    }
    EXPECT_EQ(panel.gauges()[2].width, 175);
    EXPECT_EQ(panel.gauges()[2].height, 45);

    // A click in panel pixels reaches the gauge there, in its own pixels.
    host.clear_trace();
    EXPECT_TRUE(panel.click(425, 25));
    ASSERT_EQ(host.key_events().size(), 1u);
    EXPECT_EQ(host.key_events().back().event_id, 0x10173u);
    EXPECT_FALSE(panel.click(300, 200)) << "no gauge there";
    // The ADF button (298, 32, 28, 30 on the gauge) at half size.
    EXPECT_TRUE(panel.click(10 + 156, 10 + 20));
    EXPECT_EQ(host.key_events().back().event_id, 0x10136u);
    panel.stop();
    for (const auto& error : host.errors()) ADD_FAILURE() << error;
}

struct BadPanel {
    const char* name;
    const char* text;
    const char* message;  // a part of the error
};

const BadPanel bad_panels[] = {
    {"no_window", "[Window Titles]\nwindow00=Main\n", "no [Window00]"},
    {"no_gauges", "[Window00]\nsize_mm=10,10\n", "places no gauge"},
    {"too_few_fields", "[Window00]\ngauge00=Vantle2, 10\n", "test.cfg:2: gauge00 must be"},
    {"x_not_a_number", "[Window00]\ngauge00=Vantle2, ten, 10\n", "gauge00 x \"ten\" is not a whole number"},
    {"width_zero", "[Window00]\ngauge00=Vantle2, 1, 1, 0\n", "gauge00 width 0 is outside"},
    {"twice", "[Window00]\ngauge00=Vantle2, 1, 1\ngauge00=Vantle2, 2, 2\n", "test.cfg:3: gauge00 is given twice"},
    {"a_path", "[Window00]\ngauge00=../Vantle2, 1, 1\n", "is a path"},
    {"colour", "[Window00]\nbackground_color=1,2\ngauge00=Vantle2, 1, 1\n", "background_color must be"},
    {"colour_range", "[Window00]\nbackground_color=1,2,300\ngauge00=Vantle2, 1, 1\n", "outside 0 to 255"},
    {"size", "[Window00]\nsize_mm=640\ngauge00=Vantle2, 1, 1\n", "size_mm must be"},
    {"section", "[Window00\ngauge00=Vantle2, 1, 1\n", "test.cfg:1: a section name must end"},
    {"not_key_value", "[Window00]\ngauge00 Vantle2\n", "not a key=value line"},
};

class BadPanelFile : public ::testing::TestWithParam<BadPanel> {};

TEST_P(BadPanelFile, IsAClearError) {
    try {
        host::parse_panel_file(GetParam().text, "test.cfg");
        FAIL() << "accepted";
    } catch (const host::PanelFileError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << "expected \"" << GetParam().message << "\" in: " << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(PanelFile, BadPanelFile, ::testing::ValuesIn(bad_panels),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PanelFile, ModulesAndBitmapsThatAreNotThereAreClearErrors) {
    host::PanelHost host;
    {
        host::Panel panel(host);
        host::PanelFile file = host::parse_panel_file("[Window00]\ngauge07=Nothing.Here, 1, 1\n", "x/test.cfg");
        try {
            panel.load(file, module_folder());
            FAIL() << "accepted";
        } catch (const host::PanelFileError& error) {
            EXPECT_NE(std::string(error.what()).find("x/test.cfg:2: gauge07: no Nothing.Here.gau in"), std::string::npos)
                << error.what();
        }
    }
    {
        host::Panel panel(host);
        host::PanelFile file = host::parse_panel_file("[Window00]\nfile=missing.bmp\ngauge00=Vantle2, 1, 1\n", "test.cfg");
        EXPECT_THROW(panel.load(file, gauges_folder()), host::PanelFileError);
    }
    {
        host::Panel panel(host);
        host::PanelFile file = host::parse_panel_file(
            "[Window00]\ngauge00=Vantle2, 1, 1\ngauge01=Vantle2, 40, 1\n", "test.cfg");
        EXPECT_THROW(panel.load(file, gauges_folder()), host::ModuleRejected) << "one module twice on a panel";
    }
}

}  // namespace
