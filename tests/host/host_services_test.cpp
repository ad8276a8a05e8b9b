// The host playing the simulator's part: its service table, guarded calls,
// element services, clicks, and what a module does before the host has
// given it the table.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "host_fixture.h"
#include "record_words.h"

namespace {

using test::word_of;

class HostServices : public test::LoadedGauge {
protected:
    void SetUp() override {
        load(MODULE_FIXTURE_GAUGE);
        behaviour_ = reinterpret_cast<std::uint32_t*>(GetProcAddress(module().handle(), "fixture_behaviour"));
        ASSERT_NE(behaviour_, nullptr);
    }
    void TearDown() override {
        *behaviour_ = 0;
        host().clear_errors();  // the cases that provoke errors check them themselves
    }
    ElementHeader* child(int i) { return gauge().root()->next_elements[i]; }
    NeedleElement* needle() { return reinterpret_cast<NeedleElement*>(child(0)); }
    StringElement* text() { return reinterpret_cast<StringElement*>(child(1)); }
    IconElement* icon() { return reinterpret_cast<IconElement*>(child(2)); }

    std::uint32_t* behaviour_ = nullptr;
};

TEST_F(HostServices, EveryIndexOfTheTableIsFilled) {
    for (std::uint32_t i = 0; i < panel_services_count; ++i)
        EXPECT_NE(host().services().entries[i], nullptr) << "index " << i;
    EXPECT_EQ(module().import_table()[0].import_pointer, &host().services());
}

// Module code that calls an index the host does not provide, or faults, is
// stopped and reported; the host and the gauge go on.
TEST_F(HostServices, AMisbehavingCallIsStoppedAndReported) {
    struct Case {
        std::uint32_t behaviour;
        const char* message;
    };
    const Case cases[] = {
        {1, "fixture_gauge.gau: gauge_update called service index 23, which this host does not provide"},
        {2, "fixture_gauge.gau: gauge_update faulted (exception 0xC0000005"},
    };
    gauge().install(0);
    for (const auto& c : cases) {
        host().clear_errors();
        host().clear_trace();
        *behaviour_ = c.behaviour;
        gauge().update();
        ASSERT_EQ(host().errors().size(), 1u) << c.message;
        EXPECT_EQ(host().errors()[0].rfind(c.message, 0), 0u) << host().errors()[0];
        EXPECT_TRUE(services().empty()) << "the stopped routine went on";

        *behaviour_ = 0;
        host().clear_errors();
        gauge().update();
        EXPECT_TRUE(host().errors().empty()) << errors_text();
        EXPECT_EQ(services().size(), 1u) << "the next call works";
    }
}

TEST_F(HostServices, InstallLoadsTheBitmapsAndTheTextBuffer) {
    gauge().install(7);
    const auto& background = gauge().element(gauge().root());
    ASSERT_EQ(background.pictures.size(), 1u);
    EXPECT_EQ(background.pictures[0]->width, 20);
    EXPECT_EQ(background.pictures[0]->height, 26);
    EXPECT_EQ(reinterpret_cast<StaticImageElement*>(gauge().root())->image_slots[0],
              word_of(background.pictures[0].get()));
    EXPECT_EQ(gauge().element(needle()).pictures.at(0)->width, 143);
    EXPECT_EQ(gauge().element(icon()).pictures.size(), 2u);
    ASSERT_NE(text()->text, nullptr);
    EXPECT_EQ(text()->text[0], '\0');

    gauge().kill();
    EXPECT_EQ(reinterpret_cast<StaticImageElement*>(gauge().root())->image_slots[0], 0u);
    EXPECT_EQ(text()->text, nullptr);
}

TEST_F(HostServices, VariablesReachElementsInTheirTokensForm) {
    gauge().install(0);
    host().variables().set_number(0x3D, 7.25);
    host().variables().set_word(0x10, 0xFFFFFFFF);
    gauge().update();
    EXPECT_EQ(needle()->source.value.number, 7.25);
    EXPECT_EQ(gauge().element(needle()).value, 7.25);
    EXPECT_EQ(gauge().element(text()).value, 7.25) << "the first source, through its callback";

    ModuleVar word_var{.token = 0x10};
    std::memset(&word_var.value, 0xAB, 8);
    host().variables().refresh(word_var);
    EXPECT_TRUE(test::record_matches("word ModuleVar", &word_var,
                                     test::ExpectedWords(28).at(0, 0x10).at(12, 0xFFFFFFFF).at(20, 0xABABABAB).at(24, 0xABABABAB)));
}

TEST_F(HostServices, IconShowsThePictureItsOwnValueSelectsClamped) {
    gauge().install(0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        int picture;
    };
    const Case cases[] = {{0.0, 0}, {1.0, 1}, {1.9, 1}, {5.0, 1}, {-3.0, 0}, {nan, 0}};
    for (const auto& c : cases) {
        icon()->source.value.number = c.value;
        gauge().update();
        EXPECT_EQ(gauge().element(icon()).picture, c.picture) << c.value;
        EXPECT_EQ(std::memcmp(&icon()->source.value.number, &c.value, 8), 0) << "a token-0 value is the gauge's own";
    }
}

TEST_F(HostServices, TheHideBitHidesAnElementAtPlot) {
    gauge().install(0);
    needle()->header.image_flags |= image_flag_hidden;
    gauge().draw();
    EXPECT_FALSE(gauge().element(needle()).shown);
    EXPECT_TRUE(gauge().element(icon()).shown);
    needle()->header.image_flags &= ~image_flag_hidden;
    gauge().draw();
    EXPECT_TRUE(gauge().element(needle()).shown);
}

TEST_F(HostServices, ClicksReachTheAreaThatHoldsThePoint) {
    gauge().install(0);
    struct Case {
        int x, y;
        bool taken;
        bool handler;
        bool key_event;
    };
    const Case cases[] = {
        {0, 0, true, true, false},    {9, 25, true, true, false},   {10, 0, true, false, true},
        {19, 25, true, false, true},  {20, 0, false, false, false}, {5, 26, false, false, false},
        {-1, 5, false, false, false},
    };
    for (const auto& c : cases) {
        host().clear_trace();
        host().simulation().clear();
        EXPECT_EQ(host().click(gauge(), c.x, c.y), c.taken) << c.x << "," << c.y;
        EXPECT_EQ(host().trace_of(host::TraceKind::callback).size(), c.handler ? 1u : 0u) << c.x << "," << c.y;
        EXPECT_EQ(host().key_events().size(), c.key_event ? 1u : 0u) << c.x << "," << c.y;
        if (c.key_event) EXPECT_EQ(host().key_events()[0], (host::KeyEventRecord{0x10136, 0}));
    }
    gauge().kill();
    EXPECT_FALSE(host().click(gauge(), 0, 0)) << "an unregistered list takes no click";
}

// A mouse list that does not hold together is refused at install, and no
// area of it takes a click.
TEST_F(HostServices, ADefectiveMouseListIsRefusedAtInstall) {
    auto* rects = reinterpret_cast<MouseRect*>(GetProcAddress(module().handle(), "fixture_mouse_rects"));
    struct Case {
        int index;
        std::uint32_t kind;
        const char* message;
    };
    const Case cases[] = {
        {3, 7, "fixture_gauge.gau: MouseRect #3.rect_kind: 7 is not a known record kind"},
        {3, mouse_area, "fixture_gauge.gau: MouseRect #4.rect_kind: the list ends inside an open group"},
        {0, mouse_group_end, "fixture_gauge.gau: MouseRect #0.rect_kind: group end without a group start"},
    };
    for (const auto& c : cases) {
        std::uint32_t kept = rects[c.index].rect_kind;
        rects[c.index].rect_kind = c.kind;
        host().clear_errors();
        gauge().install(0);
        rects[c.index].rect_kind = kept;
        bool found = false;
        for (const auto& error : host().errors()) found = found || error == c.message;
        EXPECT_TRUE(found) << "expected: " << c.message << "\nseen:\n" << errors_text();
        EXPECT_FALSE(host().click(gauge(), 0, 0));
        gauge().kill();
    }
}

TEST(ModuleWithoutHost, RoutinesDoNothingWhileImportTableIsEmpty) {
    for (const char* path : {MODULE_FIXTURE_GAUGE, MODULE_AIRSPEED_GAUGE}) {
        SCOPED_TRACE(path);
        HMODULE module = LoadLibraryA(path);
        ASSERT_NE(module, nullptr);
        auto* imports = reinterpret_cast<ImportEntry*>(GetProcAddress(module, MAKEINTRESOURCEA(1)));
        auto* linkage = reinterpret_cast<ModuleLinkage*>(GetProcAddress(module, MAKEINTRESOURCEA(2)));
        ASSERT_TRUE(imports && linkage);
        ASSERT_EQ(imports[0].import_pointer, nullptr);
        GaugeHeader* header = linkage->gauge_table[0];
        auto* background = reinterpret_cast<StaticImageElement*>(header->element_list[0]);
        linkage->module_start();
        header->gauge_install(0x1234);
        header->gauge_initialize();
        header->gauge_update();
        header->gauge_generate(1);
        header->gauge_draw();
        header->gauge_query();
        header->gauge_kill();
        linkage->module_stop();
        EXPECT_EQ(background->image_slots[0], 0u);
        EXPECT_EQ(imports[0].import_pointer, nullptr);
        FreeLibrary(module);
    }
}

// The library entry accepts every load and every other reason Windows gives.
TEST(ModuleWithoutHost, DllEntryReturnsTrueForEveryReason) {
    for (const char* path : {MODULE_FIXTURE_GAUGE, MODULE_AIRSPEED_GAUGE, MODULE_RADTEMP_GAUGE}) {
        HMODULE module = LoadLibraryA(path);
        ASSERT_NE(module, nullptr) << path;
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(module);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(reinterpret_cast<char*>(module) + dos->e_lfanew);
        auto entry = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>(
            reinterpret_cast<char*>(module) + nt->OptionalHeader.AddressOfEntryPoint);
        for (DWORD reason : {DWORD{DLL_PROCESS_ATTACH}, DWORD{DLL_THREAD_ATTACH}, DWORD{DLL_THREAD_DETACH}, DWORD{7}})
            EXPECT_EQ(entry(module, reason, nullptr), TRUE) << path << " reason " << reason;
        FreeLibrary(module);
    }
}

}  // namespace
