// Vantle2 on Wine's own DirectSound. The tests' HOME holds an .asoundrc
// whose default ALSA device writes everything played to a file of raw
// 16-bit stereo samples at 48,000 frames per second (over ALSA's null
// device), so that the click can be found in what came out.
//
// Where the machine gives DirectSound no device, or the sound does not reach
// that file, the test says so and skips.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "panel_host.h"

namespace {

constexpr int capture_rate = 48000;
constexpr int capture_channels = 2;

std::vector<std::int16_t> read_capture() {
    std::ifstream in(SOUND_CAPTURE_FILE, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Runs of non-zero samples, with less than `gap` frames of silence inside.
struct Burst {
    std::size_t first_frame = 0;
    std::size_t last_frame = 0;
    std::size_t non_zero = 0;
};

std::vector<Burst> bursts_of(const std::vector<std::int16_t>& samples, std::size_t gap) {
    std::vector<Burst> bursts;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!samples[i]) continue;
        std::size_t frame = i / capture_channels;
        if (bursts.empty() || frame - bursts.back().last_frame > gap) bursts.push_back({frame, frame, 0});
        bursts.back().last_frame = frame;
        ++bursts.back().non_zero;
    }
    return bursts;
}

// A buffer of silence of the test's own, played in a loop so that Wine's
// mixer keeps writing to the device, and what the click left in the file
// device's buffer reaches the file.
struct KeepAlive {
    IDirectSound* device = nullptr;
    IDirectSoundBuffer* silence = nullptr;

    HRESULT start() {
        HRESULT result = DirectSoundCreate(nullptr, &device, nullptr);
        if (FAILED(result)) return result;
        device->SetCooperativeLevel(GetDesktopWindow(), DSSCL_NORMAL);
        WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 48000, 48000 * 4, 4, 16, 0};
        DSBUFFERDESC description = {sizeof description, DSBCAPS_GETCURRENTPOSITION2, 48000 * 4, 0, &format, {}};
        result = device->CreateSoundBuffer(&description, &silence, nullptr);
        if (FAILED(result)) return result;
        void* region = nullptr;
        DWORD bytes = 0;
        if (SUCCEEDED(silence->Lock(0, 0, &region, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
            std::memset(region, 0, bytes);
            silence->Unlock(region, bytes, nullptr, 0);
        }
        return silence->Play(0, 0, DSBPLAY_LOOPING);
    }
    ~KeepAlive() {
        if (silence) {
            silence->Stop();
            silence->Release();
        }
        if (device) device->Release();
    }
};

TEST(WineDirectSound, EachClickThroughTheHostComesOutOnce) {
    DeleteFileA(SOUND_CAPTURE_FILE);
    KeepAlive keep_alive;
    HRESULT started = keep_alive.start();
    if (FAILED(started)) {
        GTEST_SKIP() << "Wine's DirectSound has no device here (0x" << std::hex << started
                     << "): the file device of the tests' .asoundrc was not taken up";
    }

    auto host = std::make_unique<host::PanelHost>();
    host::Module& module = host->load(MODULE_SWITCH_GAUGE);
    host::Gauge& gauge = module.gauge();
    gauge.install(0);
    Sleep(500);
    ASSERT_TRUE(host->click(gauge, 10, 13));
    Sleep(400);
    ASSERT_TRUE(host->click(gauge, 10, 13));
    Sleep(1500);
    gauge.kill();
    EXPECT_TRUE(host->errors().empty()) << host->errors().front();
    EXPECT_EQ(host->key_events().size(), 2u);

    auto samples = read_capture();
    if (samples.empty()) {
        GTEST_SKIP() << "DirectSound played, but nothing reached " << SOUND_CAPTURE_FILE
                     << ": Wine's sound went to another device than the tests' ALSA file device";
    }
    std::size_t frames = samples.size() / capture_channels;
    auto bursts = bursts_of(samples, capture_rate / 20);  // 50 ms of silence ends a burst
    std::printf("captured %zu frames (%.2f s); %zu bursts of sound\n", frames, double(frames) / capture_rate,
                bursts.size());
    for (const Burst& b : bursts)
        std::printf("  at %.3f s: %zu non-zero samples over %zu frames\n", double(b.first_frame) / capture_rate,
                    b.non_zero, b.last_frame - b.first_frame + 1);
    ASSERT_EQ(bursts.size(), 2u) << "one click sound for each of the two clicks";
    for (const Burst& b : bursts) {
        // 17 samples at 22,050 per second are 37 frames at 48,000; the
        // resampler's filter widens that a little.
        EXPECT_GE(b.non_zero, 16u) << "the click's 16 samples that are not silence";
        EXPECT_LT(b.last_frame - b.first_frame, static_cast<std::size_t>(capture_rate / 50))
            << "under 20 ms: the click plays once, it does not loop";
    }
    EXPECT_GT(bursts[1].first_frame - bursts[0].last_frame, static_cast<std::size_t>(capture_rate / 10))
        << "the clicks came out as far apart as they were made";
}

}  // namespace
