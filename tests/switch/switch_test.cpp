// Vantle2 through the host: its records word by word, its routines with the
// click's load and release in their places, and the switch's clicks, with
// the stand-in DirectSound recording every sound call.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "record_words.h"
#include "switch_on_stand_in.h"

namespace {

using sound_test::hex_address;
using sound_test::joined;
using sound_test::load_calls;
using sound_test::log_matches;
using sound_test::play_calls;
using test::ExpectedWords;
using test::record_matches;
using test::word_of;

constexpr std::uint32_t toggle_event = 0x10173;

class Vantle2 : public sound_test::SwitchOnStandIn {
protected:
    GaugeHeader* header() { return gauge().header(); }
    ElementHeader* background() { return gauge().root(); }

    // A click in the middle of the switch; false when no area took it.
    bool click() { return host().click(gauge(), 10, 13); }

    std::vector<std::string> click_calls(const std::string& buffer) {
        return joined({{"service send_key_event"}, play_calls(buffer)});
    }
    std::vector<std::string> silent_click_calls() { return {"service send_key_event"}; }

    std::vector<std::string> kill_calls(const std::string& released_buffer) {
        std::vector<std::string> lines;
        if (!released_buffer.empty()) lines.push_back("Release " + released_buffer + " -> 0");
        lines.push_back("service unregister_mouse_rects");
        lines.push_back("service kill_elements");
        return lines;
    }

    // What a silent install does: the device is made, the resource not used.
    std::vector<std::string> silent_install_prefix(int device) {
        auto c = click_load(device);
        return joined({install_prefix(), sound_test::device_calls(c),
                       {"GetModuleHandleA name=" + click_sound.file_name + " -> " + hex_address(module().handle())}});
    }
};

// ---------------------------------------------------------------------------
// Records.
// ---------------------------------------------------------------------------
TEST_F(Vantle2, ExportsAndHeaderHoldTheirDeclaredWords) {
    expect_exports_and_header("Vantle2", 100);
}

TEST_F(Vantle2, ElementsHoldTheirDeclaredWords) {
    ElementHeader* root = background();
    EXPECT_TRUE(record_matches("switch_background", root,
                               ExpectedWords(80).at(4, 0x1000).at(32, header()).at(40, root->next_elements).at(48, 5)));
    EXPECT_TRUE(record_matches("background children", root->next_elements, ExpectedWords(8).at(0, lever())));
    EXPECT_TRUE(record_matches("switch_lever", lever(),
                               ExpectedWords(136).at(0, 4).at(4, 0x2000).at(32, header()).at(48, 7).at(112, 2)))
        << "token 0, value 0.0, no value callback";
}

TEST_F(Vantle2, MouseListIsOneAreaOverTheWholeSwitch) {
    gauge().install(0);
    MouseRect* list = gauge().mouse_list();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(gauge().mouse_records(), 4u);
    auto bare = [](std::uint32_t kind) { return ExpectedWords(44).at(0, kind).at(20, 0xFFFFFFFF); };
    EXPECT_TRUE(record_matches("group start", &list[0], bare(1)));
    ASSERT_TRUE(module().image().contains(reinterpret_cast<void*>(list[1].handler)));
    EXPECT_TRUE(record_matches("area", &list[1],
                               ExpectedWords(44)
                                   .at(0, 2)
                                   .at(12, 20)
                                   .at(16, 26)
                                   .at(20, 5)
                                   .at(28, 0x20000000)
                                   .at(36, reinterpret_cast<void*>(list[1].handler))));
    EXPECT_TRUE(record_matches("group end", &list[2], bare(3)));
    EXPECT_TRUE(record_matches("list end", &list[3], bare(0)));

    struct Point {
        int x, y;
        bool inside;
    };
    const Point points[] = {{0, 0, true},    {19, 0, true},   {0, 25, true},  {19, 25, true}, {10, 13, true},
                            {20, 0, false},  {0, 26, false},  {-1, 5, false}, {5, -1, false}, {20, 26, false}};
    int flips = 0;
    for (const Point& p : points) {
        double before = lever_value();
        EXPECT_EQ(host().click(gauge(), p.x, p.y), p.inside) << "(" << p.x << ", " << p.y << ")";
        EXPECT_EQ(lever_value() != before, p.inside) << "(" << p.x << ", " << p.y << ")";
        flips += p.inside;
    }
    EXPECT_EQ(host().key_events().size(), static_cast<std::size_t>(flips)) << "one event per click inside";
}

// ---------------------------------------------------------------------------
// Routines.
// ---------------------------------------------------------------------------
TEST_F(Vantle2, InstallLoadsTheClickAfterTheStandardSteps) {
    const std::uint32_t host_value = 0x12345678;
    host().clear_trace();
    auto calls = calls_of([&] { gauge().install(host_value); });
    EXPECT_TRUE(log_matches(joined({install_prefix(), load_calls(click_load(1))}), calls));

    MouseRect* list = gauge().mouse_list();
    std::uint32_t slot = reinterpret_cast<StaticImageElement*>(background())->image_slots[0];
    EXPECT_EQ(services(), (std::vector<host::TraceEntry>{
                              test::service("install_elements", {word_of(background()), host_value}),
                              test::service("install_mouse_rects", {word_of(list), word_of(header()), slot + 4}),
                              test::service("register_mouse_rects", {word_of(list), word_of(header())}),
                          }));
    EXPECT_EQ(hooks.file_name_module, module().handle()) << "the module's own instance handle";
    EXPECT_EQ(hooks.module_handle_name, click_sound.file_name);
    EXPECT_EQ(stand_in().samples("buffer#1"), std::vector<std::uint8_t>(click_sound.bytes + 58, click_sound.bytes + 75))
        << "the click's 17 samples";
}

TEST_F(Vantle2, KillReleasesTheClickBeforeTheStandardSteps) {
    gauge().install(0);
    MouseRect* list = gauge().mouse_list();
    host().clear_trace();
    auto calls = calls_of([&] { gauge().kill(); });
    EXPECT_TRUE(log_matches(kill_calls("buffer#1"), calls));
    EXPECT_EQ(services(), (std::vector<host::TraceEntry>{
                              test::service("unregister_mouse_rects", {word_of(list), word_of(header())}),
                              test::service("kill_elements", {word_of(background())}),
                          }));
    EXPECT_EQ(stand_in().object("device#1")->references, 1) << "device objects are never released";
}

TEST_F(Vantle2, OtherRoutinesOnlyForward) {
    gauge().install(7);
    struct Step {
        const char* name;
        void (*run)(host::Gauge&);
        std::vector<host::TraceEntry> host_side;
        const char* service;
    };
    std::uint32_t root = word_of(background());
    const Step steps[] = {
        {"query", [](host::Gauge& g) { g.query(); }, {test::service("query_elements", {root})}, "query_elements"},
        {"initialize", [](host::Gauge& g) { g.initialize(); }, {test::service("initialize_elements", {root})},
         "initialize_elements"},
        {"update", [](host::Gauge& g) { g.update(); }, {test::service("update_elements", {root})}, "update_elements"},
        {"generate", [](host::Gauge& g) { g.generate(9); }, {test::service("generate_elements", {root, 9})},
         "generate_elements"},
        {"draw", [](host::Gauge& g) { g.draw(); }, {test::service("plot_elements", {root})}, "plot_elements"},
    };
    for (const Step& step : steps) {
        host().clear_trace();
        auto calls = calls_of([&] { step.run(gauge()); });
        EXPECT_TRUE(log_matches({std::string("service ") + step.service}, calls)) << step.name;
        EXPECT_EQ(services(), step.host_side) << step.name;
    }
    auto calls = calls_of([&] {
        module().module_start();
        module().module_stop();
    });
    EXPECT_TRUE(log_matches({}, calls)) << "module_start and module_stop";
}

// ---------------------------------------------------------------------------
// Clicks.
// ---------------------------------------------------------------------------
TEST_F(Vantle2, ClicksFlipTheLeverSendTheEventAndPlayTheClick) {
    gauge().install(0);
    EXPECT_EQ(shown_lever_bitmap(), 0x2000u) << "lever down when loaded";
    struct Click {
        double value;
        std::uint32_t bitmap;
    };
    const Click clicks[] = {{1.0, 0x2003}, {0.0, 0x2000}, {1.0, 0x2003}, {0.0, 0x2000}};
    int n = 0;
    for (const Click& expected : clicks) {
        SCOPED_TRACE("click " + std::to_string(++n));
        host().clear_trace();
        auto calls = calls_of([&] { ASSERT_TRUE(click()); });
        EXPECT_TRUE(log_matches(click_calls("buffer#1"), calls));
        EXPECT_TRUE(record_matches("lever value", &lever()->source.value, ExpectedWords(8).at_double(0, expected.value)));
        EXPECT_EQ(shown_lever_bitmap(), expected.bitmap);
        EXPECT_EQ(host().key_events().back(), (host::KeyEventRecord{toggle_event, 0}));
        auto handled = host().trace_of(host::TraceKind::callback);
        ASSERT_FALSE(handled.empty());
        EXPECT_EQ(handled.front().call, "mouse_handler");
        EXPECT_EQ(handled.front().detail, "1") << "the handler returns 1";
    }
    EXPECT_EQ(host().key_events().size(), 4u);
}

TEST_F(Vantle2, AClickWhileTheClickSoundsStartsItAgain) {
    gauge().install(0);
    ASSERT_TRUE(click());
    ASSERT_TRUE(stand_in().advance("buffer#1", 9)) << "the click is still playing";
    auto calls = calls_of([&] { ASSERT_TRUE(click()); });
    EXPECT_TRUE(log_matches(click_calls("buffer#1"), calls)) << "rewound to 0 before Play";
    auto state = stand_in().object("buffer#1");
    EXPECT_EQ(state->position, 0u);
    EXPECT_TRUE(state->playing);
    EXPECT_FALSE(state->looping);
}

TEST_F(Vantle2, KillAndInstallAgainKeepTheLeverAndPlayFromANewSlot) {
    gauge().install(0);
    ASSERT_TRUE(click());
    gauge().kill();
    auto calls = calls_of([&] { gauge().install(0); });
    EXPECT_TRUE(log_matches(joined({install_prefix(), load_calls(click_load(2))}), calls));
    EXPECT_EQ(lever_value(), 1.0);
    EXPECT_EQ(shown_lever_bitmap(), 0x2003u) << "still up";

    calls = calls_of([&] { ASSERT_TRUE(click()); });
    EXPECT_TRUE(log_matches(click_calls("buffer#2"), calls));
    EXPECT_EQ(shown_lever_bitmap(), 0x2000u);
    EXPECT_EQ(stand_in().object("buffer#1")->references, 0);
    EXPECT_EQ(stand_in().object("device#1")->references, 1);
    EXPECT_EQ(stand_in().object("device#2")->references, 1);
}

// The switch never depends on its sound: each way the click can be missing
// or unusable.
struct MissingClick {
    const char* name;
    int failing_step;  // 1 FindResourceA, 2 LoadResource, 3 LockResource, 4 the walk
};

void PrintTo(const MissingClick& row, std::ostream* out) { *out << row.name; }

class Vantle2WithoutItsClick : public Vantle2, public ::testing::WithParamInterface<MissingClick> {};

TEST_P(Vantle2WithoutItsClick, FlipsAndSendsItsEventInSilence) {
    const std::vector<std::uint8_t> not_riff = {'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    int step = GetParam().failing_step;
    hooks.find_fails = step == 1;
    hooks.load_fails = step == 2;
    hooks.lock_fails = step == 3;
    if (step == 4) {
        hooks.image = not_riff.data();
        hooks.image_size = static_cast<DWORD>(not_riff.size());
    }
    std::vector<std::string> expected = silent_install_prefix(1);
    std::string module_word = hex_address(module().handle()), resource = hex_address(click_sound.resource);
    expected.push_back("FindResourceA module=" + module_word + " name=KLICK type=WAV -> " +
                       (step == 1 ? "NULL" : resource));
    if (step >= 2) expected.push_back("LoadResource module=" + module_word + " resource=" + resource +
                                      (step == 2 ? " -> NULL" : " -> *"));
    if (step >= 3) expected.push_back(std::string("LockResource loaded=* -> ") +
                                      (step == 3 ? "NULL" : hex_address(not_riff.data())));
    if (step == 4) expected.push_back("SizeofResource module=" + module_word + " resource=" + resource + " -> 12");
    EXPECT_TRUE(log_matches(expected, calls_of([&] { gauge().install(0); })));

    for (double value : {1.0, 0.0}) {
        EXPECT_TRUE(log_matches(silent_click_calls(), calls_of([&] { ASSERT_TRUE(click()); })));
        EXPECT_EQ(lever_value(), value);
        EXPECT_EQ(host().key_events().back(), (host::KeyEventRecord{toggle_event, 0}));
    }
    EXPECT_TRUE(log_matches(kill_calls(""), calls_of([&] { gauge().kill(); })));
    EXPECT_EQ(stand_in().object("device#1")->references, 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, Vantle2WithoutItsClick,
                         ::testing::Values(MissingClick{"FindResourceA_gives_NULL", 1},
                                           MissingClick{"LoadResource_gives_NULL", 2},
                                           MissingClick{"LockResource_gives_NULL", 3},
                                           MissingClick{"the_resource_is_not_a_RIFF_image", 4}),
                         [](const ::testing::TestParamInfo<MissingClick>& info) { return std::string(info.param.name); });

// Released slots are not handed out again: 32 installs whose click loaded,
// then silence, while the switch goes on working.
TEST_F(Vantle2, ThirtyThreeInstallAndKillCycles) {
    for (int cycle = 1; cycle <= 33; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        std::string buffer = "buffer#" + std::to_string(cycle);
        bool sounds = cycle <= 32;
        auto calls = calls_of([&] { gauge().install(0); });
        EXPECT_TRUE(log_matches(sounds ? joined({install_prefix(), load_calls(click_load(cycle))}) : install_prefix(),
                                calls));
        calls = calls_of([&] { ASSERT_TRUE(click()); });
        EXPECT_TRUE(log_matches(sounds ? click_calls(buffer) : silent_click_calls(), calls));
        EXPECT_EQ(lever_value(), cycle % 2 ? 1.0 : 0.0);
        calls = calls_of([&] { gauge().kill(); });
        EXPECT_TRUE(log_matches(kill_calls(sounds ? buffer : ""), calls));
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(host().key_events().size(), 33u);
    EXPECT_FALSE(stand_in().object("device#33")) << "no device object once no slot is free";
}

// Installed twice before a kill (left open by the gauge's design): the later
// install's click is the one played and released; a second kill releases
// nothing more, rather than releasing the same buffer twice.
TEST_F(Vantle2, ASecondInstallBeforeAKillReleasesItsBufferOnce) {
    gauge().install(0);
    auto calls = calls_of([&] { gauge().install(0); });
    EXPECT_TRUE(log_matches(joined({install_prefix(), load_calls(click_load(2))}), calls));
    calls = calls_of([&] { ASSERT_TRUE(click()); });
    EXPECT_TRUE(log_matches(click_calls("buffer#2"), calls));
    calls = calls_of([&] { gauge().kill(); });
    EXPECT_TRUE(log_matches(kill_calls("buffer#2"), calls));
    gauge().install(0);
    calls = calls_of([&] {
        gauge().kill();
        gauge().kill();
    });
    EXPECT_TRUE(log_matches(joined({kill_calls("buffer#3"), kill_calls("")}), calls));
    EXPECT_EQ(stand_in().object("buffer#1")->references, 1) << "the first install's buffer stays with its device";
    EXPECT_EQ(stand_in().object("buffer#2")->references, 0);
    EXPECT_EQ(stand_in().object("buffer#3")->references, 0);
}

// ---------------------------------------------------------------------------
// The DLL entry and the module's file name.
// ---------------------------------------------------------------------------
TEST_F(Vantle2, DllEntryStoresTheHandleItIsGivenForEveryReason) {
    auto base = reinterpret_cast<const std::uint8_t*>(module().handle());
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto entry = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>(
        const_cast<std::uint8_t*>(base + nt->OptionalHeader.AddressOfEntryPoint));
    struct Call {
        DWORD reason;
        HMODULE handle;
    };
    const Call calls[] = {
        {DLL_THREAD_ATTACH, GetModuleHandleA(nullptr)},
        {DLL_THREAD_DETACH, GetModuleHandleA("kernel32.dll")},
        {DLL_PROCESS_DETACH, GetModuleHandleA("dsound.dll")},
        {DLL_PROCESS_ATTACH, module().handle()},
    };
    for (const Call& call : calls) {
        SCOPED_TRACE("reason " + std::to_string(call.reason));
        BOOL result = FALSE;
        ASSERT_TRUE(host().call_module(module(), "DLL entry", [&] { result = entry(call.handle, call.reason, nullptr); }));
        EXPECT_EQ(result, TRUE);
        gauge().install(0);
        EXPECT_EQ(hooks.file_name_module, call.handle) << "the install asks for the file of the handle stored last";
        gauge().kill();
    }
    EXPECT_EQ(stand_in().samples("buffer#1").size(), 17u) << "with its own handle back, the click loads";
}

// Windows XP cuts a name that does not fit short without its zero.
TEST_F(Vantle2, AModuleFileNameThatDoesNotFitIsStillTerminated) {
    hooks.unterminated_file_name = true;
    gauge().install(0);
    EXPECT_EQ(hooks.module_handle_name, std::string(254, 'x'));
    ASSERT_TRUE(click());
    EXPECT_EQ(lever_value(), 1.0);
    gauge().kill();
}

// The same, with a file whose real path is longer than the name's room.
TEST_F(Vantle2, AModuleUnderALongPathIsASilentSwitch) {
    char here[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, here, sizeof here - 1);
    std::string folder = here;
    folder = folder.substr(0, folder.rfind('\\')) + "\\long-path-";
    const std::size_t length = 258;
    std::size_t fill = length - folder.size() - std::strlen("\\Vantle2.gau");
    ASSERT_LT(folder.size() + 20, length) << folder;
    folder += std::string(fill, 'n');
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "\\Vantle2.gau";
    ASSERT_EQ(path.size(), length);
    ASSERT_TRUE(CopyFileA(click_sound.file_name.c_str(), path.c_str(), FALSE)) << GetLastError();

    host::Module& distant = host().load(path);
    ASSERT_NE(distant.handle(), module().handle());
    sound_test::PlatformHooks distant_hooks;
    ASSERT_EQ(distant_hooks.attach(distant.handle()), 7);
    host::Gauge& distant_gauge = distant.gauge();
    distant_gauge.install(0);
    char full[MAX_PATH + 10] = {};
    GetModuleFileNameA(distant.handle(), full, sizeof full - 1);
    EXPECT_EQ(distant_hooks.module_handle_name, std::string(full).substr(0, 254));
    ASSERT_TRUE(host().click(distant_gauge, 5, 5));
    EXPECT_EQ(reinterpret_cast<IconElement*>(distant_gauge.root()->next_elements[0])->source.value.number, 1.0);
    distant_gauge.kill();
}

}  // namespace
