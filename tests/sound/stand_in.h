// The tests' side of the stand-in dsound.dll: found in the process, reset,
// configured, and its log read back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <mmsystem.h>
#include <dsound.h>

#include "stand_in_dsound/stand_in_dsound.h"

namespace sound_test {

class StandIn {
public:
    // The stand-in as this process loaded it, beside the test program.
    static StandIn& get() {
        static StandIn stand_in;
        return stand_in;
    }

    bool loaded() const { return reset_ != nullptr; }
    // Why the stand-in is not there, when it is not.
    const std::string& problem() const { return problem_; }

    void reset() const { reset_(); }
    bool configure(const char* setting, LONG value) const { return configure_(setting, value) != 0; }
    void note(const std::string& line) const { note_(line.c_str()); }

    std::vector<std::string> log() const {
        std::vector<std::string> lines;
        for (DWORD i = 0, n = log_size_(); i < n; ++i) lines.push_back(log_line_(i));
        return lines;
    }

    // Lines of the log from `first` on.
    std::vector<std::string> log_from(std::size_t first) const {
        auto lines = log();
        return first < lines.size() ? std::vector<std::string>(lines.begin() + first, lines.end())
                                    : std::vector<std::string>{};
    }
    std::size_t log_length() const { return log_size_(); }

    std::optional<StandInObject> object(const std::string& name) const {
        StandInObject state{};
        if (!object_(name.c_str(), &state)) return std::nullopt;
        return state;
    }

    std::vector<std::uint8_t> samples(const std::string& name) const {
        DWORD size = buffer_bytes_(name.c_str(), nullptr, 0);
        std::vector<std::uint8_t> bytes(size);
        if (size) buffer_bytes_(name.c_str(), bytes.data(), size);
        return bytes;
    }

    bool advance(const std::string& name, DWORD position) const { return advance_(name.c_str(), position) != 0; }

    // A device object of the stand-in's, for tests that call the player's
    // steps on a buffer of their own.
    HRESULT create_device(IDirectSound** device) const { return create_(nullptr, device, nullptr); }

private:
    StandIn() {
        module_ = LoadLibraryA("dsound.dll");
        if (!module_) {
            problem_ = "dsound.dll could not be loaded (error " + std::to_string(GetLastError()) + ")";
            return;
        }
        auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module_, name)); };
        if (!find("stand_in_reset")) {
            char path[MAX_PATH] = {};
            GetModuleFileNameA(module_, path, sizeof path - 1);
            problem_ = std::string("the dsound.dll loaded is not the stand-in but ") + path +
                       "; the stand-in lies beside the test program and WINEDLLOVERRIDES must hold dsound=n";
            return;
        }
        configure_ = reinterpret_cast<StandInConfigure>(find("stand_in_configure"));
        note_ = reinterpret_cast<StandInNote>(find("stand_in_note"));
        log_size_ = reinterpret_cast<StandInLogSize>(find("stand_in_log_size"));
        log_line_ = reinterpret_cast<StandInLogLine>(find("stand_in_log_line"));
        object_ = reinterpret_cast<StandInObjectState>(find("stand_in_object"));
        buffer_bytes_ = reinterpret_cast<StandInBufferBytes>(find("stand_in_buffer_bytes"));
        advance_ = reinterpret_cast<StandInAdvance>(find("stand_in_advance"));
        create_ = reinterpret_cast<decltype(create_)>(find("DirectSoundCreate"));
        reset_ = reinterpret_cast<StandInReset>(find("stand_in_reset"));
    }

    HMODULE module_ = nullptr;
    std::string problem_;
    StandInReset reset_ = nullptr;
    StandInConfigure configure_ = nullptr;
    StandInNote note_ = nullptr;
    StandInLogSize log_size_ = nullptr;
    StandInLogLine log_line_ = nullptr;
    StandInObjectState object_ = nullptr;
    StandInBufferBytes buffer_bytes_ = nullptr;
    StandInAdvance advance_ = nullptr;
    HRESULT(WINAPI* create_)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN) = nullptr;
};

}  // namespace sound_test
