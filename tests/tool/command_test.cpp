// The panelhost commands, run in process: outputs, errors and exit codes,
// and check on a corpus of modules with one fault each.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "commands.h"

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome panelhost(std::vector<std::string> arguments) {
    std::ostringstream out, err;
    int status = host::cli::run_panelhost(arguments, out, err);
    return {status, out.str(), err.str()};
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Width and height from a PNG file's header.
std::pair<int, int> png_size(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    if (!file || header[1] != 'P' || header[2] != 'N' || header[3] != 'G') return {0, 0};
    auto word = [&](int at) { return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]; };
    return {word(16), word(20)};
}

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    const char* message;  // in the error output
};

const UsageCase usage_cases[] = {
    {"nothing", {}, 2, "usage: panelhost COMMAND"},
    {"unknown_command", {"draw"}, 2, "unknown command \"draw\""},
    {"unknown_option", {"render", MODULE_AIRSPEED_GAUGE, "--colour", "-o", "x.png"}, 2, "unknown option --colour"},
    {"render_without_output", {"render", MODULE_AIRSPEED_GAUGE}, 2, "-o OUT.png"},
    {"render_two_modules", {"render", MODULE_AIRSPEED_GAUGE, MODULE_RADTEMP_GAUGE, "-o", "x.png"}, 2, "name one"},
    {"bad_set", {"render", MODULE_AIRSPEED_GAUGE, "--set", "0x3D", "-o", "x.png"}, 2, "TOKEN=VALUE"},
    {"bad_token", {"render", MODULE_AIRSPEED_GAUGE, "--set", "0xZZ=1", "-o", "x.png"}, 2, "is not a token"},
    {"word_from_text", {"render", MODULE_COM_GAUGE, "--set", "0x17=1.5", "-o", "x.png"}, 2, "holds a 32-bit word"},
    {"number_from_text", {"render", MODULE_AIRSPEED_GAUGE, "--set", "0x3D=fast", "-o", "x.png"}, 2, "not one"},
    {"bad_click", {"render", MODULE_AIRSPEED_GAUGE, "--click", "4", "-o", "x.png"}, 2, "X,Y"},
    {"zero_frames", {"render", MODULE_AIRSPEED_GAUGE, "--frames", "0", "-o", "x.png"}, 2, "--frames must be"},
    {"option_of_another_command", {"check", "--frames", "3", MODULE_AIRSPEED_GAUGE}, 2, "takes no --frames"},
    {"check_nothing", {"check"}, 2, "at least one module"},
    {"sweep_without_var", {"sweep", MODULE_AIRSPEED_GAUGE, "-o", "x.png"}, 2, "needs --var"},
    {"panel_of_a_module", {"panel", MODULE_AIRSPEED_GAUGE, "-o", "x.png"}, 2, "panel takes a panel file"},
    {"bench_click", {"bench", MODULE_AIRSPEED_GAUGE, "--click", "1,1"}, 2, "no --click"},
    {"missing_module", {"render", "no_such.gau", "-o", "x.png"}, 1, "no such file"},
    {"missing_panel", {"panel", "no_such.cfg", "-o", "x.png"}, 1, "cannot read the panel file"},
};

class CommandLine : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CommandLine, FailsWithAClearMessage) {
    Outcome run = panelhost(GetParam().arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_TRUE(has(run.err, GetParam().message)) << "expected \"" << GetParam().message << "\" in: " << run.err;
    EXPECT_FALSE(std::filesystem::exists("x.png"));
}

INSTANTIATE_TEST_SUITE_P(Errors, CommandLine, ::testing::ValuesIn(usage_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Commands, EveryCommandHasHelp) {
    for (const char* command : {"check", "render", "trace", "sweep", "panel", "bench"}) {
        Outcome run = panelhost({command, "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_TRUE(has(run.out, std::string("usage: panelhost ") + command)) << run.out;
    }
}

TEST(Check, ReportsTheRecordsOfEverySoundModule) {
    Outcome run = panelhost({"check", MODULE_AIRSPEED_GAUGE, MODULE_RADTEMP_GAUGE, MODULE_ADF_GAUGE, MODULE_COM_GAUGE,
                         MODULE_SWITCH_GAUGE});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    for (const char* part : {"gauge: Tovik.Barrik.airspeed", "nominal_size: 311", "gauge: Vantle2", "size: 20, 26",
                             "kind: NeedleElement", "mark: 123, 266", "kind: StringElement", "font_name: Courier New",
                             "help_id: 0xA709", "event_id: 0x10136", "type: WAV", "name: KLICK",
                             "ProductName: Open Panel Gauges", "filled: the host's PanelServices",
                             "USER32.dll!wsprintfA"})
        EXPECT_TRUE(has(run.out, part)) << "expected \"" << part << "\"";
}

TEST(Check, WritesOneJsonObjectPerModule) {
    Outcome run = panelhost({"check", "--json", MODULE_SWITCH_GAUGE, MODULE_ADF_GAUGE});
    EXPECT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_EQ(line.front(), '{');
        EXPECT_EQ(line.back(), '}');
        EXPECT_TRUE(has(line, "\"sound\":true")) << line;
        EXPECT_TRUE(has(line, "\"defects\":[]")) << line;
    }
    EXPECT_EQ(count, 2);
}

// A truncated copy of a real module, made here.
std::string truncated_module() {
    std::ifstream in(MODULE_FIXTURE_GAUGE, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string path = "truncated_gauge.gau";
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 3));
    return path;
}

struct MalformedCase {
    const char* name;
    std::string module;
    const char* record_and_field;  // as the defect names them
};

TEST(Check, NamesTheRecordAndFieldOfEveryMalformedModuleAndGoesOn) {
    const MalformedCase cases[] = {
        {"truncated", truncated_module(), "file.path"},
        {"linkage_id", MODULE_MALFORMED_LINKAGE_ID, "Linkage.linkage_id"},
        {"cycle", MODULE_MALFORMED_CYCLE, "next_elements"},
        {"endless list", MODULE_MALFORMED_ENDLESS, "next_elements"},
        {"outside", MODULE_MALFORMED_OUTSIDE, "element_list"},
        {"unknown kind", MODULE_MALFORMED_KIND, "element_kind"},
    };
    for (const auto& malformed : cases) {
        Outcome run = panelhost({"check", malformed.module});
        EXPECT_EQ(run.status, 1) << malformed.name;
        EXPECT_TRUE(has(run.out, malformed.record_and_field))
            << malformed.name << ": expected " << malformed.record_and_field << " in:\n" << run.out;
        EXPECT_TRUE(has(run.out, "result: DEFECTIVE")) << malformed.name;
        Outcome json = panelhost({"check", "--json", malformed.module});
        EXPECT_EQ(json.status, 1) << malformed.name;
        EXPECT_TRUE(has(json.out, "\"sound\":false")) << json.out;
        // render refuses it the same way.
        Outcome render = panelhost({"render", malformed.module, "-o", "malformed.png"});
        EXPECT_EQ(render.status, 1) << malformed.name << render.err;
        EXPECT_TRUE(has(render.err, "refuses the module")) << render.err;
    }
    // One bad module among good ones: all are reported, the status is 1.
    Outcome mixed = panelhost({"check", MODULE_MALFORMED_KIND, MODULE_SWITCH_GAUGE});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_TRUE(has(mixed.out, "gauge: Vantle2")) << mixed.out;
}

TEST(Render, WritesThePictureAtTheGaugesSize) {
    std::filesystem::remove("airspeed.png");
    Outcome run = panelhost({"render", MODULE_AIRSPEED_GAUGE, "--set", "0x3D=100", "--frames", "3", "-o", "airspeed.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(png_size("airspeed.png"), std::make_pair(303, 306));
    Outcome areas = panelhost({"render", MODULE_ADF_GAUGE, "--areas", "-o", "adf_areas.png"});
    EXPECT_EQ(areas.status, 0) << areas.err;
    auto [width, height] = png_size("adf_areas.png");
    EXPECT_GE(width, 350);
    EXPECT_EQ(height, 90 + 11 * 12 + 6) << "the picture and a legend line for each of the 11 areas";
    Outcome miss = panelhost({"render", MODULE_AIRSPEED_GAUGE, "--click", "5,5", "-o", "airspeed.png"});
    EXPECT_EQ(miss.status, 0);
    EXPECT_TRUE(has(miss.err, "the click at 5,5 hit no mouse area")) << miss.err;
}

TEST(Trace, PrintsServicesCallbacksKeyEventsAndVariablesAsJsonLines) {
    Outcome run = panelhost({"trace", MODULE_COM_GAUGE, "--set", "0x17=0x2270", "--click", "83,40"});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* part : {"{\"kind\":\"variable\",\"call\":\"variable\",\"args\":[\"0x17\",\"0x2270\"]",
                             "\"call\":\"gauge_install\"", "\"call\":\"install_elements\"",
                             "\"kind\":\"callback\",\"call\":\"value_callback\"", "\"call\":\"string_callback\"",
                             "\"call\":\"mouse_handler\"", "\"kind\":\"key_event\",\"call\":\"key_event\",\"args\":[\"0x100AB\"",
                             "\"call\":\"gauge_kill\""})
        EXPECT_TRUE(has(run.out, part)) << "expected " << part;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) EXPECT_TRUE(line.front() == '{' && line.back() == '}') << line;
}

TEST(Sweep, PutsEveryFrameOnOneSheet) {
    Outcome run = panelhost({"sweep", MODULE_SWITCH_GAUGE, "--var", "0x3D", "--from", "0", "--to", "100", "--steps", "5",
                         "-o", "sweep.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    // Three columns, two rows of 20 x 26 frames with their labels.
    EXPECT_EQ(png_size("sweep.png"), std::make_pair(6 + 3 * (20 + 6), 6 + 2 * (26 + 16 + 6)));
    Outcome words = panelhost({"sweep", MODULE_COM_GAUGE, "--var", "0x17", "--from", "-1", "--to", "5", "--steps", "2",
                           "-o", "sweep.png"});
    EXPECT_EQ(words.status, 2) << "a word cannot be negative";
}

TEST(Bench, PrintsTimesPerGaugeThePanelAndTheCopy) {
    std::filesystem::path folder = std::filesystem::path(MODULE_ADF_GAUGE).parent_path();
    std::string panel = "bench_panel.cfg";
    std::ofstream(panel) << "[Window00]\ngauge00=Tovik.Vessa.adf, 0, 0\ngauge01=Tovik.Vessa.com, 0, 100\n";
    Outcome run = panelhost({"bench", panel, "--gauges", folder.string(), "--frames", "20"});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* part : {"panel 350 x 190, 20 frames; one frame buffer copy (266000 bytes)", "Tovik.Vessa.adf",
                             "Tovik.Vessa.com", "whole panel"})
        EXPECT_TRUE(has(run.out, part)) << "expected \"" << part << "\" in:\n" << run.out;
}

}  // namespace
