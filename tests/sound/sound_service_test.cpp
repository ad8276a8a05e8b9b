// The resource sound player on the stand-in DirectSound: its calls, their
// order and arguments, its failure table row by row, its slots, play and
// release, and the walk over sound images.
//
// Most groups drive the player's own objects through the probe DLL, loaded
// afresh for every test so that the player starts empty as in a freshly
// loaded module; the walk table runs there and again inside Vantle2 itself,
// fed each image in place of its click resource.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "guarded_bytes.h"
#include "switch_on_stand_in.h"
#include "wave_images.h"

namespace wave {
// Failure messages name a row of the table rather than show its bytes.
void PrintTo(const WalkCase& c, std::ostream* out) { *out << '"' << c.name << '"'; }
}  // namespace wave

namespace {

using sound_test::calls_named;
using sound_test::GuardedBytes;
using sound_test::hex_address;
using sound_test::joined;
using sound_test::log_matches;
using sound_test::play_calls;
using sound_test::StandIn;

const HWND test_window = reinterpret_cast<HWND>(0x00001234);

// The module's own click, read from its file.
const wave::Bytes& click_bytes() {
    static wave::Bytes bytes = [] {
        wave::Bytes b;
        HMODULE module = LoadLibraryExA(MODULE_SWITCH_GAUGE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) return b;
        HRSRC found = FindResourceA(module, "KLICK", "WAV");
        if (found) {
            auto data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
            b.assign(data, data + SizeofResource(module, found));
        }
        FreeLibrary(module);
        return b;
    }();
    return bytes;
}

std::string test_name(std::string name) {
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// ---------------------------------------------------------------------------
// The probe: the player's operations, with the click held by Vantle2.
// ---------------------------------------------------------------------------
class SoundProbe : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(stand_in().loaded()) << stand_in().problem();
        stand_in().reset();
        holder_ = LoadLibraryA(MODULE_SWITCH_GAUGE);
        ASSERT_NE(holder_, nullptr) << "Vantle2, which holds the click";
        click = sound_test::SoundResource::of(holder_);
        ASSERT_NE(click.bytes, nullptr);
        probe_ = LoadLibraryA(SOUND_PROBE);
        ASSERT_NE(probe_, nullptr) << SOUND_PROBE;
        auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(probe_, name)); };
        load_ = reinterpret_cast<decltype(load_)>(find("probe_load_resource_sound"));
        play_ = reinterpret_cast<decltype(play_)>(find("probe_play_sound_slot"));
        release_ = reinterpret_cast<decltype(release_)>(find("probe_release_sound_slot"));
        find_free_ = reinterpret_cast<decltype(find_free_)>(find("probe_find_free_sound_slot"));
        find_wave_ = reinterpret_cast<decltype(find_wave_)>(find("probe_find_wave_resource"));
        fill_ = reinterpret_cast<decltype(fill_)>(find("probe_fill_sound_buffer"));
        parse_ = reinterpret_cast<decltype(parse_)>(find("probe_parse_wave_image"));
        ASSERT_TRUE(load_ && play_ && release_ && find_free_ && find_wave_ && fill_ && parse_);
        ASSERT_EQ(hooks.attach(probe_), 5) << "the probe's five resource imports";
        stand_in().reset();
    }

public:
    const StandIn& stand_in() const { return StandIn::get(); }

protected:
    void TearDown() override {
        if (probe_) {
            FreeLibrary(probe_);
            EXPECT_EQ(GetModuleHandleA(SOUND_PROBE), nullptr) << "the probe is unloaded, so the next test starts empty";
        }
        if (holder_) FreeLibrary(holder_);
    }

    int load(const char* name = "KLICK") { return load_(test_window, click.file_name.c_str(), name); }
    int play(int slot, int looping = 0) { return play_(slot, looping); }
    void release(int slot) { release_(slot); }

    template <typename Step>
    std::vector<std::string> calls_of(Step&& step) {
        std::size_t first = stand_in().log_length();
        step();
        return stand_in().log_from(first);
    }

    // The n-th load of the click, made with the n-th device and buffer.
    sound_test::LoadCalls click_load(int device, int buffer) {
        sound_test::LoadCalls c;
        c.device = "device#" + std::to_string(device);
        c.buffer = "buffer#" + std::to_string(buffer);
        c.window = test_window;
        c.sound = click;
        c.format = click.bytes + 20;
        c.data_size = 17;
        return c;
    }

    bool inside_probe(const std::string& address) {
        auto base = reinterpret_cast<std::uintptr_t>(probe_);
        auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(probe_)->e_lfanew);
        std::uintptr_t value = std::strtoul(address.c_str(), nullptr, 16);
        return value >= base && value < base + nt->OptionalHeader.SizeOfImage;
    }

    sound_test::PlatformHooks hooks;
    sound_test::SoundResource click;
    HMODULE holder_ = nullptr;
    HMODULE probe_ = nullptr;
    int(__cdecl* load_)(HWND, const char*, const char*) = nullptr;
    int(__cdecl* play_)(int, int) = nullptr;
    void(__cdecl* release_)(int) = nullptr;

public:
    int(__cdecl* find_free_)() = nullptr;
    int(__cdecl* find_wave_)(HMODULE, const char*, LPWAVEFORMATEX*, const void**, DWORD*) = nullptr;
    int(__cdecl* fill_)(IDirectSoundBuffer*, const void*, DWORD) = nullptr;
    int(__cdecl* parse_)(const void*, std::uint32_t, const void**, const void**, std::uint32_t*) = nullptr;
};

// ---------------------------------------------------------------------------
// Load.
// ---------------------------------------------------------------------------
TEST_F(SoundProbe, LoadMakesItsCallsInOrderWithTheirArguments) {
    int slot = 0;
    auto calls = calls_of([&] { slot = load(); });
    EXPECT_EQ(slot, 1) << "the first load of the module's life takes slot 1";
    ASSERT_TRUE(log_matches(sound_test::load_calls(click_load(1, 1)), calls));

    std::string device_out = sound_test::field(calls[0], "out");
    std::string slot_out = sound_test::field(calls[7], "out");
    EXPECT_TRUE(inside_probe(device_out)) << "DirectSoundCreate writes the player's own device reference: " << device_out;
    EXPECT_TRUE(inside_probe(slot_out)) << "CreateSoundBuffer writes into the slot itself: " << slot_out;
    EXPECT_NE(device_out, slot_out);

    auto buffer = stand_in().object("buffer#1");
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->references, 1);
    EXPECT_EQ(buffer->size, 17u);
    EXPECT_EQ(buffer->flags, 0x100E2u);
    EXPECT_EQ(buffer->format, click.bytes + 20) << "the format is handed over in place";
    EXPECT_EQ(stand_in().samples("buffer#1"), wave::Bytes(click.bytes + 58, click.bytes + 75));
    EXPECT_EQ(stand_in().object("device#1")->references, 1);

    // Every load makes a device object of its own, at the same reference.
    calls = calls_of([&] { slot = load(); });
    EXPECT_EQ(slot, 2);
    EXPECT_TRUE(log_matches(sound_test::load_calls(click_load(2, 2)), calls));
    EXPECT_EQ(sound_test::field(calls[0], "out"), device_out);
    EXPECT_NE(sound_test::field(calls[7], "out"), slot_out) << "slot 2 is another place";
    EXPECT_EQ(stand_in().object("device#1")->references, 1) << "the overwritten device is not released";
}

// Part of the failure table: what each row returns and calls; the rows
// whose slot stays or is made empty hand the same index to the next load.
struct LoadFailure {
    const char* name;
    void (*arrange)(SoundProbe&, sound_test::PlatformHooks&);
    int result;
    // The load's calls: the ones of a successful load up to `through`
    // (counted from 1), the last of them with `last` in its place, then
    // `after`.
    std::size_t through;
    const char* last;
    std::vector<std::string> after;
};

void PrintTo(const LoadFailure& row, std::ostream* out) { *out << row.name; }

const wave::Bytes& empty_data_image() {
    static wave::Bytes image = wave::riff({wave::fmt(), wave::data({})}).bytes;
    return image;
}
const wave::Bytes& not_wave_image() {
    static wave::Bytes image = wave::riff({wave::fmt(), wave::data(wave::filled(4))}, -1, "AVI ").bytes;
    return image;
}

class SoundProbeLoadFailure : public SoundProbe, public ::testing::WithParamInterface<LoadFailure> {};

TEST_P(SoundProbeLoadFailure, ReturnsCallsAndLeavesItsSlotAsTheTableSays) {
    const LoadFailure& row = GetParam();
    row.arrange(*this, hooks);
    sound_test::LoadCalls c = click_load(1, 1);
    if (hooks.image) {
        c.locked = hooks.image;
        c.resource_size = hooks.image_size;
        c.format = static_cast<const std::uint8_t*>(hooks.image) + 20;
        c.data_size = 0;
    }
    auto success = sound_test::load_calls(c);
    std::vector<std::string> expected(success.begin(), success.begin() + row.through);
    if (*row.last) expected.back() = row.last;
    expected.insert(expected.end(), row.after.begin(), row.after.end());
    int slot = -1;
    auto calls = calls_of([&] { slot = load(); });
    EXPECT_EQ(slot, row.result);
    EXPECT_TRUE(log_matches(expected, calls));
    if (stand_in().object("device#1")) {
        EXPECT_EQ(stand_in().object("device#1")->references, 1) << "left alive";
    }

    // Afterwards, with nothing failing, the next load finds slot 1 free.
    stand_in().reset();
    hooks = sound_test::PlatformHooks{};
    hooks.attach(probe_);
    EXPECT_EQ(load(), 1) << "the slot stayed or was made empty";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SoundProbeLoadFailure,
    ::testing::Values(
        LoadFailure{"DirectSoundCreate_gives_no_device",
                    [](SoundProbe& t, sound_test::PlatformHooks&) {
                        t.stand_in().configure("DirectSoundCreate.result", DSERR_NODRIVER);
                    },
                    0, 1, "DirectSoundCreate guid=NULL out=* outer=NULL -> 0x88780078", {}},
        LoadFailure{"FindResourceA_gives_NULL",
                    [](SoundProbe&, sound_test::PlatformHooks& h) { h.find_fails = true; }, 1, 4,
                    "FindResourceA module=* name=KLICK type=WAV -> NULL", {}},
        LoadFailure{"LoadResource_gives_NULL",
                    [](SoundProbe&, sound_test::PlatformHooks& h) { h.load_fails = true; }, 1, 5,
                    "LoadResource module=* resource=* -> NULL", {}},
        LoadFailure{"LockResource_gives_NULL",
                    [](SoundProbe&, sound_test::PlatformHooks& h) { h.lock_fails = true; }, 1, 6,
                    "LockResource loaded=* -> NULL", {}},
        LoadFailure{"the_walk_fails",
                    [](SoundProbe&, sound_test::PlatformHooks& h) {
                        h.image = not_wave_image().data();
                        h.image_size = static_cast<DWORD>(not_wave_image().size());
                    },
                    1, 7, "", {}},
        LoadFailure{"CreateSoundBuffer_fails",
                    [](SoundProbe& t, sound_test::PlatformHooks&) {
                        t.stand_in().configure("CreateSoundBuffer.result", DSERR_INVALIDPARAM);
                    },
                    0, 8,
                    "CreateSoundBuffer device#1 size=20 flags=0x100E2 bytes=17 reserved=0 format=* out=* outer=NULL -> "
                    "0x80070057",
                    {}},
        LoadFailure{"CreateSoundBuffer_fails_and_leaves_junk_in_the_slot",
                    [](SoundProbe& t, sound_test::PlatformHooks&) {
                        t.stand_in().configure("CreateSoundBuffer.result", DSERR_OUTOFMEMORY);
                        t.stand_in().configure("CreateSoundBuffer.output", 1);
                    },
                    0, 8,
                    "CreateSoundBuffer device#1 size=20 flags=0x100E2 bytes=17 reserved=0 format=* out=* outer=NULL -> "
                    "0x8007000E",
                    {}},
        LoadFailure{"Lock_fails",
                    [](SoundProbe& t, sound_test::PlatformHooks&) {
                        t.stand_in().configure("Lock.result", DSERR_BUFFERLOST);
                    },
                    0, 9, "Lock buffer#1 offset=0 bytes=17 flags=0x0 -> 0x88780096", {"Release buffer#1 -> 0"}},
        LoadFailure{"the_data_size_is_0",
                    [](SoundProbe&, sound_test::PlatformHooks& h) {
                        h.image = empty_data_image().data();
                        h.image_size = static_cast<DWORD>(empty_data_image().size());
                    },
                    0, 8, "", {"Release buffer#1 -> 0"}}),
    [](const ::testing::TestParamInfo<LoadFailure>& info) { return std::string(info.param.name); });

TEST_F(SoundProbe, TheResultsThatAreNotTestedChangeNothing) {
    for (const char* call : {"SetCooperativeLevel", "Unlock", "SetSpeakerConfig"})
        ASSERT_TRUE(stand_in().configure((std::string(call) + ".result").c_str(), DSERR_GENERIC));
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(stand_in().samples("buffer#1"), wave::Bytes(click.bytes + 58, click.bytes + 75));
    ASSERT_TRUE(stand_in().configure("SetCurrentPosition.result", DSERR_GENERIC));
    EXPECT_EQ(play(1), 1) << "Play's result alone decides";
    EXPECT_TRUE(stand_in().object("buffer#1")->playing);
}

// A DirectSoundCreate that fails may leave its output as it was; the load
// must not then use the previous load's device.
TEST_F(SoundProbe, AFailedDirectSoundCreateDoesNotFallBackOnTheLastDevice) {
    ASSERT_EQ(load(), 1);
    stand_in().configure("DirectSoundCreate.result", DSERR_ALLOCATED);
    stand_in().configure("DirectSoundCreate.output", 1);
    auto calls = calls_of([&] { EXPECT_EQ(load(), 0); });
    EXPECT_TRUE(log_matches({"DirectSoundCreate guid=NULL out=* outer=NULL -> 0x8878000A"}, calls));
    stand_in().configure("DirectSoundCreate.result", DS_OK);
    EXPECT_EQ(load(), 2) << "no slot was taken";
}

// ---------------------------------------------------------------------------
// Slots.
// ---------------------------------------------------------------------------
TEST_F(SoundProbe, ThirtyTwoLoadsTakeSlotsOneToThirtyTwoAndNoMoreEver) {
    EXPECT_EQ(find_free_(), 1);
    EXPECT_EQ(find_free_(), 1) << "searching takes nothing";
    for (int i = 1; i <= 32; ++i) {
        std::string buffer = "buffer#" + std::to_string(i);
        ASSERT_EQ(load(), i);
        EXPECT_EQ(find_free_(), i < 32 ? i + 1 : 0);
    }
    auto calls = calls_of([&] { EXPECT_EQ(load(), 0); });
    EXPECT_TRUE(log_matches({}, calls)) << "no free slot: no device object is made";
    for (int i = 1; i <= 32; ++i) {
        calls = calls_of([&] { EXPECT_EQ(play(i), 1); });
        EXPECT_TRUE(log_matches(play_calls("buffer#" + std::to_string(i)), calls)) << "slot " << i;
    }
    for (int i = 1; i <= 32; ++i) release(i);
    calls = calls_of([&] { EXPECT_EQ(load(), 0); });
    EXPECT_TRUE(log_matches({}, calls)) << "released slots are not handed out again";
    for (int i = 1; i <= 32; ++i) EXPECT_EQ(stand_in().object("buffer#" + std::to_string(i))->references, 0);
}

TEST_F(SoundProbe, AMissingResourceHandsOutAnIndexWhoseSlotStaysEmpty) {
    ASSERT_EQ(load(), 1);
    EXPECT_EQ(load("NO SUCH SOUND"), 2);
    auto calls = calls_of([&] {
        EXPECT_EQ(play(2), 0);
        release(2);
    });
    EXPECT_TRUE(log_matches({}, calls)) << "a silent sound";
    calls = calls_of([&] { EXPECT_EQ(load(), 2) << "the next load gets the same index"; });
    EXPECT_TRUE(log_matches(sound_test::load_calls(click_load(3, 2)), calls));
    EXPECT_EQ(load(), 3);
}

// ---------------------------------------------------------------------------
// Play and release.
// ---------------------------------------------------------------------------
TEST_F(SoundProbe, PlayStartsFromTheBeginningOnceOrLooping) {
    ASSERT_EQ(load(), 1);
    struct Case {
        int looping;
        const char* flags;
    };
    const Case cases[] = {{0, "0x0"}, {1, "0x1"}, {2, "0x1"}, {-1, "0x1"}, {0x100, "0x1"}, {0, "0x0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE("looping flag " + std::to_string(c.looping));
        auto calls = calls_of([&] { EXPECT_EQ(play(1, c.looping), 1); });
        EXPECT_TRUE(log_matches(play_calls("buffer#1", c.flags), calls));
        EXPECT_EQ(stand_in().object("buffer#1")->looping, c.looping != 0);
    }
}

TEST_F(SoundProbe, PlayWhilePlayingRewinds) {
    ASSERT_EQ(load(), 1);
    ASSERT_EQ(play(1), 1);
    ASSERT_TRUE(stand_in().advance("buffer#1", 12));
    auto calls = calls_of([&] { EXPECT_EQ(play(1), 1); });
    EXPECT_TRUE(log_matches(play_calls("buffer#1"), calls));
    EXPECT_EQ(stand_in().object("buffer#1")->position, 0u);
    EXPECT_TRUE(stand_in().object("buffer#1")->playing);
}

TEST_F(SoundProbe, PlayReturnsOneOnlyForDS_OK) {
    ASSERT_EQ(load(), 1);
    struct Case {
        HRESULT play;
        int result;
    };
    const Case cases[] = {{DS_OK, 1}, {S_FALSE, 0}, {0x7FFFFFFF, 0}, {DSERR_BUFFERLOST, 0}, {DSERR_INVALIDCALL, 0}};
    for (const Case& c : cases) {
        stand_in().configure("Play.result", c.play);
        auto calls = calls_of([&] { EXPECT_EQ(play(1), c.result) << "Play gave " << std::hex << c.play; });
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls_named(calls, "Play").size(), 1u);
    }
}

TEST_F(SoundProbe, IndicesThatNameNoSlotPlayAndReleaseNothing) {
    ASSERT_EQ(load(), 1);
    for (int slot : {0, -1, 2, 32, 33, 1000, INT_MIN}) {
        auto calls = calls_of([&] {
            EXPECT_EQ(play(slot), 0) << slot;
            EXPECT_EQ(play(slot, 1), 0) << slot;
            release(slot);
        });
        EXPECT_TRUE(log_matches({}, calls)) << "slot index " << slot;
    }
}

// Release leaves the slot taken; a released slot plays nothing and is not
// released twice.
TEST_F(SoundProbe, ReleaseLeavesTheSlotTakenAndSilent) {
    ASSERT_EQ(load(), 1);
    auto calls = calls_of([&] { release(1); });
    EXPECT_TRUE(log_matches({"Release buffer#1 -> 0"}, calls));
    calls = calls_of([&] {
        EXPECT_EQ(play(1), 0);
        release(1);
    });
    EXPECT_TRUE(log_matches({}, calls)) << "nothing is called through the released buffer";
    EXPECT_EQ(load(), 2) << "the released slot stays taken";
}

// ---------------------------------------------------------------------------
// The fill and the resource lookup on their own.
// ---------------------------------------------------------------------------
TEST_F(SoundProbe, FillCopiesTheSamplesIntoOneOrTwoRegions) {
    IDirectSound* device = nullptr;
    ASSERT_EQ(stand_in().create_device(&device), DS_OK);
    const wave::Bytes samples = wave::filled(17, 0x31);
    auto make_buffer = [&](DWORD bytes) {
        DSBUFFERDESC1 description = {20, 0x100E2, bytes, 0,
                                     reinterpret_cast<LPWAVEFORMATEX>(const_cast<unsigned char*>(click.bytes + 20))};
        IDirectSoundBuffer* buffer = nullptr;
        device->CreateSoundBuffer(reinterpret_cast<LPCDSBUFFERDESC>(&description), &buffer, nullptr);
        return buffer;
    };

    struct Case {
        const char* name;
        LONG split;
        HRESULT lock;
        int result;
        std::vector<std::string> calls;  // after CreateSoundBuffer, with buffer#N for the buffer
    };
    const Case cases[] = {
        {"one region", 0, DS_OK, 1,
         {"Lock buffer#N offset=0 bytes=17 flags=0x0 -> DS_OK first=17 second=0",
          "Unlock buffer#N regions=as-locked guards=intact -> DS_OK"}},
        {"two regions", 5, DS_OK, 1,
         {"Lock buffer#N offset=0 bytes=17 flags=0x0 -> DS_OK first=5 second=12",
          "Unlock buffer#N regions=as-locked guards=intact -> DS_OK"}},
        {"a second region of one byte", 16, DS_OK, 1,
         {"Lock buffer#N offset=0 bytes=17 flags=0x0 -> DS_OK first=16 second=1",
          "Unlock buffer#N regions=as-locked guards=intact -> DS_OK"}},
        {"Lock fails: no Unlock, no Release", 0, DSERR_INVALIDCALL, 0,
         {"Lock buffer#N offset=0 bytes=17 flags=0x0 -> 0x88780032"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirectSoundBuffer* buffer = make_buffer(17);
        std::string name = "buffer#" + std::to_string(++n);
        stand_in().configure("Lock.split", c.split);
        stand_in().configure("Lock.result", c.lock);
        auto calls = calls_of([&] { EXPECT_EQ(fill_(buffer, samples.data(), 17), c.result); });
        std::vector<std::string> expected;
        for (std::string line : c.calls) expected.push_back(line.replace(line.find("buffer#N"), 8, name));
        EXPECT_TRUE(log_matches(expected, calls));
        if (c.result) {
            EXPECT_EQ(stand_in().samples(name), samples);
        }
        EXPECT_EQ(stand_in().object(name)->references, 1);
    }
    stand_in().configure("Lock.split", 0);
    stand_in().configure("Lock.result", DS_OK);
    IDirectSoundBuffer* buffer = make_buffer(17);
    auto calls = calls_of([&] {
        EXPECT_EQ(fill_(nullptr, samples.data(), 17), 0) << "no buffer";
        EXPECT_EQ(fill_(buffer, nullptr, 17), 0) << "no samples";
        EXPECT_EQ(fill_(buffer, samples.data(), 0), 0) << "size 0";
    });
    EXPECT_TRUE(log_matches({}, calls));
}

// The click loads from its split buffer just the same.
TEST_F(SoundProbe, LoadFillsASplitLockWhole) {
    stand_in().configure("Lock.split", 7);
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(stand_in().samples("buffer#1"), wave::Bytes(click.bytes + 58, click.bytes + 75));
    auto lock = calls_named(stand_in().log(), "Lock");
    ASSERT_EQ(lock.size(), 1u);
    EXPECT_TRUE(sound_test::line_matches("Lock buffer#1 offset=0 bytes=17 flags=0x0 -> DS_OK first=7 second=10", lock[0]));
}

TEST_F(SoundProbe, ResourceLookupFindsTheClicksFormatAndSamples) {
    LPWAVEFORMATEX format = reinterpret_cast<LPWAVEFORMATEX>(1);
    const void* data = reinterpret_cast<const void*>(1);
    DWORD size = 1;
    auto calls = calls_of([&] { EXPECT_EQ(find_wave_(holder_, "KLICK", &format, &data, &size), 1); });
    EXPECT_EQ(static_cast<const void*>(format), click.bytes + 20);
    EXPECT_EQ(data, click.bytes + 58);
    EXPECT_EQ(size, 17u);
    EXPECT_EQ(format->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format->nSamplesPerSec, 22050u);
    EXPECT_EQ(calls.size(), 4u) << "FindResourceA, LoadResource, LockResource, SizeofResource";
    EXPECT_EQ(find_wave_(holder_, "KLACK", &format, &data, &size), 0);
}

// ---------------------------------------------------------------------------
// The walk.
// ---------------------------------------------------------------------------
class Walk : public SoundProbe, public ::testing::WithParamInterface<wave::WalkCase> {};

std::vector<wave::WalkCase> walk_table() { return wave::walk_cases(click_bytes()); }

std::string walk_name(const ::testing::TestParamInfo<wave::WalkCase>& info) { return test_name(info.param.name); }

TEST_P(Walk, FindsWhatTheTableSays) {
    const wave::WalkCase& c = GetParam();
    ASSERT_FALSE(click_bytes().empty());
    GuardedBytes image(c.image);
    const void* format = reinterpret_cast<const void*>(1);
    const void* data = reinterpret_cast<const void*>(1);
    std::uint32_t size = 1;
    int found = parse_(image.data(), static_cast<std::uint32_t>(image.size()), &format, &data, &size);
    ASSERT_EQ(found, c.expected.found ? 1 : 0);
    if (!found) return;
    EXPECT_EQ(format, image.data() + c.expected.format_offset);
    EXPECT_EQ(data, image.data() + c.expected.data_offset);
    EXPECT_EQ(size, c.expected.data_size);
    EXPECT_LE(c.expected.data_offset + size, image.size());
}

INSTANTIATE_TEST_SUITE_P(Table, Walk, ::testing::ValuesIn(walk_table()), walk_name);

// Outputs that are not asked for are neither written nor waited for.
TEST_F(SoundProbe, WalkOutputsMayBeOmitted) {
    const wave::Image data_first = wave::riff({wave::data(wave::filled(5)), wave::fmt()});
    const wave::Image empty_data = wave::riff({wave::fmt(), wave::data({})});
    struct Case {
        const char* name;
        const wave::Bytes* image;
        bool format, data, size;
        int found;
    };
    const wave::Bytes& klick = click_bytes();
    const Case cases[] = {
        {"format alone, click", &klick, true, false, false, 1},
        {"format alone, data first: found at fmt", &data_first.bytes, true, false, false, 1},
        {"data alone, click", &klick, false, true, false, 1},
        {"size alone, click", &klick, false, false, true, 1},
        {"size alone, a data chunk of size 0 is found", &empty_data.bytes, false, false, true, 1},
        {"format and size, click", &klick, true, false, true, 1},
        {"nothing asked, nothing found", &klick, false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GuardedBytes image(*c.image);
        const void* format = reinterpret_cast<const void*>(1);
        const void* data = reinterpret_cast<const void*>(1);
        std::uint32_t size = 1;
        int found = parse_(image.data(), static_cast<std::uint32_t>(image.size()), c.format ? &format : nullptr,
                           c.data ? &data : nullptr, c.size ? &size : nullptr);
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(format != reinterpret_cast<const void*>(1), c.format) << "format written only when asked for";
        EXPECT_EQ(data != reinterpret_cast<const void*>(1), c.data) << "data written only when asked for";
        EXPECT_EQ(size != 1, c.size) << "size written only when asked for";
    }
}

// The same table inside Vantle2: each image stands in for its click
// resource, flush against a page nobody may read, so that any read past its
// end is a fault the host reports.
class WalkInVantle2 : public sound_test::SwitchOnStandIn, public ::testing::WithParamInterface<wave::WalkCase> {};

TEST_P(WalkInVantle2, LoadsWhatTheTableSays) {
    const wave::WalkCase& c = GetParam();
    GuardedBytes image(c.image);
    hooks.image = image.data();
    hooks.image_size = static_cast<DWORD>(image.size());
    auto calls = calls_of([&] { gauge().install(0); });
    ASSERT_TRUE(host().errors().empty()) << errors_text();
    auto created = calls_named(calls, "CreateSoundBuffer");
    bool plays = c.expected.found && c.expected.data_size > 0;
    if (!c.expected.found) {
        EXPECT_TRUE(created.empty()) << "no buffer for an image the walk fails";
    } else {
        sound_test::LoadCalls load = click_load(1);
        load.format = image.data() + c.expected.format_offset;
        load.data_size = c.expected.data_size;
        auto buffer = sound_test::buffer_calls(load);
        ASSERT_EQ(created.size(), 1u);
        EXPECT_TRUE(sound_test::line_matches(buffer[0], created[0])) << created[0];
        if (plays) {
            EXPECT_EQ(stand_in().samples("buffer#1"),
                      wave::Bytes(c.image.begin() + c.expected.data_offset,
                                  c.image.begin() + c.expected.data_offset + c.expected.data_size));
        } else {
            EXPECT_EQ(calls.back(), "Release buffer#1 -> 0") << "a buffer of no samples is released at once";
        }
    }
    calls = calls_of([&] { ASSERT_TRUE(host().click(gauge(), 3, 3)); });
    EXPECT_EQ(calls_named(calls, "Play").size(), plays ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, WalkInVantle2, ::testing::ValuesIn(walk_table()), walk_name);

}  // namespace
