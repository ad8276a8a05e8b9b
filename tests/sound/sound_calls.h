// The calls a load of the click makes, as the stand-in's log shows them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "call_log.h"

namespace sound_test {

// Where a sound resource lies, found the way the player finds it.
struct SoundResource {
    HMODULE module = nullptr;
    std::string file_name;
    HRSRC resource = nullptr;
    const unsigned char* bytes = nullptr;
    DWORD size = 0;

    static SoundResource of(HMODULE module, const char* name = "KLICK") {
        SoundResource r;
        r.module = module;
        char path[MAX_PATH] = {};
        GetModuleFileNameA(module, path, sizeof path - 1);
        r.file_name = path;
        r.resource = FindResourceA(module, name, "WAV");
        if (r.resource) {
            r.bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, r.resource)));
            r.size = SizeofResource(module, r.resource);
        }
        return r;
    }
};

// One load that reaches the resource: `device` and `buffer` are the
// stand-in's names for the objects it makes.
struct LoadCalls {
    std::string device = "device#1";
    std::string buffer = "buffer#1";
    HWND window = nullptr;
    SoundResource sound;
    // The walk's results as the test expects them.
    const void* format = nullptr;
    DWORD data_size = 0;
    DWORD first_region = 0;  // when Lock splits: bytes in the first region
    // When the test hands the player other bytes than the resource's.
    const void* locked = nullptr;
    DWORD resource_size = 0;
};

inline std::vector<std::string> device_calls(const LoadCalls& c) {
    return {
        "DirectSoundCreate guid=NULL out=* outer=NULL -> DS_OK " + c.device,
        "SetCooperativeLevel " + c.device + " window=" + hex_address(c.window) + " level=1 -> DS_OK",
    };
}

inline std::vector<std::string> resource_calls(const LoadCalls& c, const void* locked) {
    return {
        "GetModuleHandleA name=" + c.sound.file_name + " -> " + hex_address(c.sound.module),
        "FindResourceA module=" + hex_address(c.sound.module) + " name=KLICK type=WAV -> " +
            hex_address(c.sound.resource),
        "LoadResource module=" + hex_address(c.sound.module) + " resource=" + hex_address(c.sound.resource) + " -> *",
        "LockResource loaded=* -> " + hex_address(locked),
    };
}

inline std::vector<std::string> buffer_calls(const LoadCalls& c) {
    std::vector<std::string> lines = {
        "CreateSoundBuffer " + c.device + " size=20 flags=0x100E2 bytes=" + std::to_string(c.data_size) +
            " reserved=0 format=" + hex_address(c.format) + " out=* outer=NULL -> DS_OK " + c.buffer,
    };
    DWORD first = c.first_region && c.first_region < c.data_size ? c.first_region : c.data_size;
    lines.push_back("Lock " + c.buffer + " offset=0 bytes=" + std::to_string(c.data_size) + " flags=0x0 -> DS_OK first=" +
                    std::to_string(first) + " second=" + std::to_string(c.data_size - first));
    lines.push_back("Unlock " + c.buffer + " regions=as-locked guards=intact -> DS_OK");
    lines.push_back("SetSpeakerConfig " + c.device + " config=4 -> DS_OK");
    return lines;
}

// The whole of a successful load of the resource as it is.
inline std::vector<std::string> load_calls(const LoadCalls& c) {
    std::vector<std::string> lines = device_calls(c);
    for (auto& line : resource_calls(c, c.locked ? c.locked : c.sound.bytes)) lines.push_back(line);
    lines.push_back("SizeofResource module=" + hex_address(c.sound.module) + " resource=" +
                    hex_address(c.sound.resource) + " -> " +
                    std::to_string(c.locked ? c.resource_size : c.sound.size));
    for (auto& line : buffer_calls(c)) lines.push_back(line);
    return lines;
}

inline std::vector<std::string> play_calls(const std::string& buffer, const char* flags = "0x0") {
    return {
        "SetCurrentPosition " + buffer + " position=0 -> DS_OK",
        "Play " + buffer + " reserved=0 priority=0 flags=" + flags + " -> DS_OK",
    };
}

inline std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> lines;
    for (const auto& part : parts) lines.insert(lines.end(), part.begin(), part.end());
    return lines;
}

}  // namespace sound_test
