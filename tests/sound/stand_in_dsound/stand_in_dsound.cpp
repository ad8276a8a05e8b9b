// A stand-in for dsound.dll that plays nothing and records everything.
//
// Shaped like Wine's dlls/dsound: one struct per COM object embedding its
// interface, an impl_from_ function back from the interface to the object,
// one static vtable per object kind. Every method writes one log line with
// its arguments, then checks its state and arguments, and returns what the
// test asked for (DS_OK unless a "<Call>.result" setting says otherwise).
#define CINTERFACE
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "stand_in_dsound.h"

namespace {

struct direct_sound {
    IDirectSound IDirectSound_iface;
    LONG ref;
    std::string name;
};

struct sound_buffer {
    IDirectSoundBuffer IDirectSoundBuffer_iface;
    LONG ref;
    std::string name;
    DWORD flags;
    DWORD size;
    const void* format;
    std::vector<unsigned char> samples;
    DWORD position;
    bool playing;
    bool looping;
    // What the latest Lock handed out; each region is followed by a guard
    // that shows a write past its end.
    bool locked;
    std::vector<unsigned char> first_region;
    std::vector<unsigned char> second_region;
    DWORD first_bytes;
    DWORD second_bytes;
};

constexpr std::size_t guard_bytes = 16;
constexpr unsigned char guard_value = 0xCD;

struct StandIn {
    std::vector<std::string> log;
    std::map<std::string, LONG> settings;
    std::vector<direct_sound*> devices;
    std::vector<sound_buffer*> buffers;
};

StandIn stand_in;

LONG setting(const std::string& name) {
    auto found = stand_in.settings.find(name);
    return found == stand_in.settings.end() ? 0 : found->second;
}

HRESULT result_of(const char* call) { return static_cast<HRESULT>(setting(std::string(call) + ".result")); }

std::string address(const void* pointer) {
    if (!pointer) return "NULL";
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(pointer)));
    return text;
}

std::string number(unsigned long value) { return std::to_string(value); }

std::string flags_text(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

std::string result_text(HRESULT result) {
    if (result == DS_OK) return "DS_OK";
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

void record(const std::string& line) { stand_in.log.push_back(line); }

// A call on an object that has been released to zero shows in its name.
std::string object_name(const std::string& name, LONG ref) { return ref > 0 ? name : name + "(released)"; }

// ---------------------------------------------------------------------------
// IDirectSoundBuffer
// ---------------------------------------------------------------------------
inline sound_buffer* impl_from_IDirectSoundBuffer(IDirectSoundBuffer* iface) {
    return CONTAINING_RECORD(iface, sound_buffer, IDirectSoundBuffer_iface);
}

std::string buffer_name(sound_buffer* This) { return object_name(This->name, This->ref); }

HRESULT WINAPI sound_buffer_QueryInterface(IDirectSoundBuffer* iface, REFIID, void** object) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    record("QueryInterface " + buffer_name(This) + " -> E_NOINTERFACE");
    if (object) *object = nullptr;
    return E_NOINTERFACE;
}

ULONG WINAPI sound_buffer_AddRef(IDirectSoundBuffer* iface) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    std::string name = buffer_name(This);
    ULONG ref = static_cast<ULONG>(++This->ref);
    record("AddRef " + name + " -> " + number(ref));
    return ref;
}

ULONG WINAPI sound_buffer_Release(IDirectSoundBuffer* iface) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    std::string name = buffer_name(This);
    if (This->ref <= 0) {
        record("Release " + name + " -> 0");
        return 0;
    }
    ULONG ref = static_cast<ULONG>(--This->ref);
    if (!ref) This->playing = false;
    record("Release " + name + " -> " + number(ref));
    return ref;
}

HRESULT WINAPI sound_buffer_GetCaps(IDirectSoundBuffer* iface, LPDSBCAPS caps) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("GetCaps");
    record("GetCaps " + buffer_name(This) + " caps=" + address(caps) + " -> " + result_text(result));
    if (FAILED(result)) return result;
    if (!caps || caps->dwSize < sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    caps->dwFlags = This->flags;
    caps->dwBufferBytes = This->size;
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return result;
}

HRESULT WINAPI sound_buffer_GetCurrentPosition(IDirectSoundBuffer* iface, LPDWORD play, LPDWORD write) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("GetCurrentPosition");
    record("GetCurrentPosition " + buffer_name(This) + " -> " + result_text(result) + " " + number(This->position));
    if (FAILED(result)) return result;
    if (play) *play = This->position;
    if (write) *write = This->position;
    return result;
}

HRESULT WINAPI sound_buffer_GetFormat(IDirectSoundBuffer* iface, LPWAVEFORMATEX, DWORD, LPDWORD) {
    record("GetFormat " + buffer_name(impl_from_IDirectSoundBuffer(iface)) + " -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT WINAPI sound_buffer_GetVolume(IDirectSoundBuffer* iface, LPLONG) {
    record("GetVolume " + buffer_name(impl_from_IDirectSoundBuffer(iface)) + " -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT WINAPI sound_buffer_GetPan(IDirectSoundBuffer* iface, LPLONG) {
    record("GetPan " + buffer_name(impl_from_IDirectSoundBuffer(iface)) + " -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT WINAPI sound_buffer_GetFrequency(IDirectSoundBuffer* iface, LPDWORD) {
    record("GetFrequency " + buffer_name(impl_from_IDirectSoundBuffer(iface)) + " -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT WINAPI sound_buffer_GetStatus(IDirectSoundBuffer* iface, LPDWORD status) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("GetStatus");
    record("GetStatus " + buffer_name(This) + " -> " + result_text(result));
    if (FAILED(result)) return result;
    if (!status) return DSERR_INVALIDPARAM;
    *status = (This->playing ? DSBSTATUS_PLAYING : 0) | (This->playing && This->looping ? DSBSTATUS_LOOPING : 0);
    return result;
}

HRESULT WINAPI sound_buffer_Initialize(IDirectSoundBuffer* iface, LPDIRECTSOUND, LPCDSBUFFERDESC) {
    record("Initialize " + buffer_name(impl_from_IDirectSoundBuffer(iface)) + " -> DSERR_ALREADYINITIALIZED");
    return DSERR_ALREADYINITIALIZED;
}

HRESULT WINAPI sound_buffer_Lock(IDirectSoundBuffer* iface, DWORD offset, DWORD bytes, LPVOID* first,
                                 LPDWORD first_bytes, LPVOID* second, LPDWORD second_bytes, DWORD flags) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    std::string line = "Lock " + buffer_name(This) + " offset=" + number(offset) + " bytes=" + number(bytes) +
                       " flags=" + flags_text(flags);
    HRESULT result = result_of("Lock");
    if (SUCCEEDED(result) && (!first || !first_bytes || offset > This->size || bytes > This->size - offset ||
                              flags || This->locked))
        result = DSERR_INVALIDPARAM;
    if (FAILED(result)) {
        // The outputs are left as they were: nothing may be read from them.
        record(line + " -> " + result_text(result));
        return result;
    }
    DWORD split = static_cast<DWORD>(setting("Lock.split"));
    DWORD head = split && split < bytes && second && second_bytes ? split : bytes;
    This->first_bytes = head;
    This->second_bytes = bytes - head;
    This->first_region.assign(This->first_bytes + guard_bytes, guard_value);
    This->second_region.assign(This->second_bytes + guard_bytes, guard_value);
    This->locked = true;
    *first = This->first_region.data();
    *first_bytes = This->first_bytes;
    if (second) *second = This->second_bytes ? This->second_region.data() : nullptr;
    if (second_bytes) *second_bytes = This->second_bytes;
    record(line + " -> " + result_text(result) + " first=" + number(This->first_bytes) +
           " second=" + number(This->second_bytes));
    return result;
}

HRESULT WINAPI sound_buffer_Play(IDirectSoundBuffer* iface, DWORD reserved, DWORD priority, DWORD flags) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("Play");
    record("Play " + buffer_name(This) + " reserved=" + number(reserved) + " priority=" + number(priority) +
           " flags=" + flags_text(flags) + " -> " + result_text(result));
    if (FAILED(result)) return result;
    This->playing = true;
    This->looping = (flags & DSBPLAY_LOOPING) != 0;
    return result;
}

HRESULT WINAPI sound_buffer_SetCurrentPosition(IDirectSoundBuffer* iface, DWORD position) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("SetCurrentPosition");
    record("SetCurrentPosition " + buffer_name(This) + " position=" + number(position) + " -> " + result_text(result));
    if (FAILED(result)) return result;
    if (position >= This->size && This->size) return DSERR_INVALIDPARAM;
    This->position = position;
    return result;
}

HRESULT WINAPI sound_buffer_SetFormat(IDirectSoundBuffer* iface, LPCWAVEFORMATEX) {
    record("SetFormat " + buffer_name(impl_from_IDirectSoundBuffer(iface)) + " -> DSERR_INVALIDCALL");
    return DSERR_INVALIDCALL;
}

HRESULT WINAPI sound_buffer_SetVolume(IDirectSoundBuffer* iface, LONG volume) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("SetVolume");
    record("SetVolume " + buffer_name(This) + " volume=" + std::to_string(volume) + " -> " + result_text(result));
    return result;
}

HRESULT WINAPI sound_buffer_SetPan(IDirectSoundBuffer* iface, LONG pan) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("SetPan");
    record("SetPan " + buffer_name(This) + " pan=" + std::to_string(pan) + " -> " + result_text(result));
    return result;
}

HRESULT WINAPI sound_buffer_SetFrequency(IDirectSoundBuffer* iface, DWORD frequency) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("SetFrequency");
    record("SetFrequency " + buffer_name(This) + " frequency=" + number(frequency) + " -> " + result_text(result));
    return result;
}

HRESULT WINAPI sound_buffer_Stop(IDirectSoundBuffer* iface) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("Stop");
    record("Stop " + buffer_name(This) + " -> " + result_text(result));
    if (SUCCEEDED(result)) This->playing = false;
    return result;
}

HRESULT WINAPI sound_buffer_Unlock(IDirectSoundBuffer* iface, LPVOID first, DWORD first_bytes, LPVOID second,
                                   DWORD second_bytes) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    std::string line = "Unlock " + buffer_name(This);
    if (!This->locked) {
        record(line + " regions=not-locked -> " + result_text(DSERR_INVALIDPARAM));
        return DSERR_INVALIDPARAM;
    }
    void* handed_second = This->second_bytes ? This->second_region.data() : nullptr;
    bool as_locked = first == This->first_region.data() && first_bytes == This->first_bytes &&
                     second == handed_second && second_bytes == This->second_bytes;
    line += as_locked ? " regions=as-locked"
                      : " regions=" + address(first) + "," + number(first_bytes) + "," + address(second) + "," +
                            number(second_bytes);
    bool intact = true;
    for (std::size_t i = This->first_bytes; i < This->first_region.size(); ++i)
        intact = intact && This->first_region[i] == guard_value;
    for (std::size_t i = This->second_bytes; i < This->second_region.size(); ++i)
        intact = intact && This->second_region[i] == guard_value;
    line += intact ? " guards=intact" : " guards=overwritten";
    // The regions always cover the buffer from offset 0 (the only Lock the
    // stand-in grants a static buffer).
    std::memcpy(This->samples.data(), This->first_region.data(), This->first_bytes);
    std::memcpy(This->samples.data() + This->first_bytes, This->second_region.data(), This->second_bytes);
    This->locked = false;
    HRESULT result = result_of("Unlock");
    record(line + " -> " + result_text(result));
    return result;
}

HRESULT WINAPI sound_buffer_Restore(IDirectSoundBuffer* iface) {
    sound_buffer* This = impl_from_IDirectSoundBuffer(iface);
    HRESULT result = result_of("Restore");
    record("Restore " + buffer_name(This) + " -> " + result_text(result));
    return result;
}

const IDirectSoundBufferVtbl sound_buffer_vtbl = {
    sound_buffer_QueryInterface,
    sound_buffer_AddRef,
    sound_buffer_Release,
    sound_buffer_GetCaps,
    sound_buffer_GetCurrentPosition,
    sound_buffer_GetFormat,
    sound_buffer_GetVolume,
    sound_buffer_GetPan,
    sound_buffer_GetFrequency,
    sound_buffer_GetStatus,
    sound_buffer_Initialize,
    sound_buffer_Lock,
    sound_buffer_Play,
    sound_buffer_SetCurrentPosition,
    sound_buffer_SetFormat,
    sound_buffer_SetVolume,
    sound_buffer_SetPan,
    sound_buffer_SetFrequency,
    sound_buffer_Stop,
    sound_buffer_Unlock,
    sound_buffer_Restore,
};

// ---------------------------------------------------------------------------
// IDirectSound
// ---------------------------------------------------------------------------
inline direct_sound* impl_from_IDirectSound(IDirectSound* iface) {
    return CONTAINING_RECORD(iface, direct_sound, IDirectSound_iface);
}

std::string device_name(direct_sound* This) { return object_name(This->name, This->ref); }

HRESULT WINAPI direct_sound_QueryInterface(IDirectSound* iface, REFIID, void** object) {
    record("QueryInterface " + device_name(impl_from_IDirectSound(iface)) + " -> E_NOINTERFACE");
    if (object) *object = nullptr;
    return E_NOINTERFACE;
}

ULONG WINAPI direct_sound_AddRef(IDirectSound* iface) {
    direct_sound* This = impl_from_IDirectSound(iface);
    std::string name = device_name(This);
    ULONG ref = static_cast<ULONG>(++This->ref);
    record("AddRef " + name + " -> " + number(ref));
    return ref;
}

ULONG WINAPI direct_sound_Release(IDirectSound* iface) {
    direct_sound* This = impl_from_IDirectSound(iface);
    std::string name = device_name(This);
    if (This->ref <= 0) {
        record("Release " + name + " -> 0");
        return 0;
    }
    ULONG ref = static_cast<ULONG>(--This->ref);
    record("Release " + name + " -> " + number(ref));
    return ref;
}

// An address where no object lives, written by a failing CreateSoundBuffer
// when the test asks for it: a caller that keeps it faults on its first use.
IDirectSoundBuffer* const junk_buffer = reinterpret_cast<IDirectSoundBuffer*>(0x00000BAD);

HRESULT WINAPI direct_sound_CreateSoundBuffer(IDirectSound* iface, LPCDSBUFFERDESC description,
                                              LPLPDIRECTSOUNDBUFFER out, IUnknown* outer) {
    direct_sound* This = impl_from_IDirectSound(iface);
    std::string line = "CreateSoundBuffer " + device_name(This);
    if (description) {
        line += " size=" + number(description->dwSize) + " flags=" + flags_text(description->dwFlags) +
                " bytes=" + number(description->dwBufferBytes) + " reserved=" + number(description->dwReserved) +
                " format=" + address(description->lpwfxFormat);
    } else {
        line += " description=NULL";
    }
    line += " out=" + address(out) + " outer=" + address(outer);
    HRESULT result = result_of("CreateSoundBuffer");
    if (SUCCEEDED(result) &&
        (!description || !out || outer ||
         (description->dwSize != sizeof(DSBUFFERDESC1) && description->dwSize != sizeof(DSBUFFERDESC)) ||
         (description->dwFlags & DSBCAPS_PRIMARYBUFFER) || !description->lpwfxFormat))
        result = DSERR_INVALIDPARAM;
    if (FAILED(result)) {
        if (out) *out = setting("CreateSoundBuffer.output") ? junk_buffer : nullptr;
        record(line + " -> " + result_text(result));
        return result;
    }
    auto* buffer = new sound_buffer{};
    buffer->IDirectSoundBuffer_iface.lpVtbl = const_cast<IDirectSoundBufferVtbl*>(&sound_buffer_vtbl);
    buffer->ref = 1;
    buffer->name = "buffer#" + std::to_string(stand_in.buffers.size() + 1);
    buffer->flags = description->dwFlags;
    buffer->size = description->dwBufferBytes;
    buffer->format = description->lpwfxFormat;
    buffer->samples.assign(buffer->size, 0);
    stand_in.buffers.push_back(buffer);
    *out = &buffer->IDirectSoundBuffer_iface;
    record(line + " -> " + result_text(result) + " " + buffer->name);
    return result;
}

HRESULT WINAPI direct_sound_GetCaps(IDirectSound* iface, LPDSCAPS) {
    record("GetCaps " + device_name(impl_from_IDirectSound(iface)) + " -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT WINAPI direct_sound_DuplicateSoundBuffer(IDirectSound* iface, LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) {
    record("DuplicateSoundBuffer " + device_name(impl_from_IDirectSound(iface)) + " -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT WINAPI direct_sound_SetCooperativeLevel(IDirectSound* iface, HWND window, DWORD level) {
    direct_sound* This = impl_from_IDirectSound(iface);
    HRESULT result = result_of("SetCooperativeLevel");
    record("SetCooperativeLevel " + device_name(This) + " window=" + address(window) + " level=" + number(level) +
           " -> " + result_text(result));
    return result;
}

HRESULT WINAPI direct_sound_Compact(IDirectSound* iface) {
    record("Compact " + device_name(impl_from_IDirectSound(iface)) + " -> DS_OK");
    return DS_OK;
}

HRESULT WINAPI direct_sound_GetSpeakerConfig(IDirectSound* iface, LPDWORD) {
    record("GetSpeakerConfig " + device_name(impl_from_IDirectSound(iface)) + " -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT WINAPI direct_sound_SetSpeakerConfig(IDirectSound* iface, DWORD config) {
    direct_sound* This = impl_from_IDirectSound(iface);
    HRESULT result = result_of("SetSpeakerConfig");
    record("SetSpeakerConfig " + device_name(This) + " config=" + number(config) + " -> " + result_text(result));
    return result;
}

HRESULT WINAPI direct_sound_Initialize(IDirectSound* iface, LPCGUID) {
    record("Initialize " + device_name(impl_from_IDirectSound(iface)) + " -> DSERR_ALREADYINITIALIZED");
    return DSERR_ALREADYINITIALIZED;
}

const IDirectSoundVtbl direct_sound_vtbl = {
    direct_sound_QueryInterface,
    direct_sound_AddRef,
    direct_sound_Release,
    direct_sound_CreateSoundBuffer,
    direct_sound_GetCaps,
    direct_sound_DuplicateSoundBuffer,
    direct_sound_SetCooperativeLevel,
    direct_sound_Compact,
    direct_sound_GetSpeakerConfig,
    direct_sound_SetSpeakerConfig,
    direct_sound_Initialize,
};

}  // namespace

// ---------------------------------------------------------------------------
// The export a module imports.
// ---------------------------------------------------------------------------
extern "C" HRESULT WINAPI DirectSoundCreate(LPCGUID guid, LPDIRECTSOUND* out, LPUNKNOWN outer) {
    std::string line = "DirectSoundCreate guid=" + address(guid) + " out=" + address(out) + " outer=" + address(outer);
    HRESULT result = result_of("DirectSoundCreate");
    if (SUCCEEDED(result) && (!out || outer)) result = DSERR_INVALIDPARAM;
    if (FAILED(result)) {
        if (out && !setting("DirectSoundCreate.output")) *out = nullptr;
        record(line + " -> " + result_text(result));
        return result;
    }
    auto* device = new direct_sound{};
    device->IDirectSound_iface.lpVtbl = const_cast<IDirectSoundVtbl*>(&direct_sound_vtbl);
    device->ref = 1;
    device->name = "device#" + std::to_string(stand_in.devices.size() + 1);
    stand_in.devices.push_back(device);
    *out = &device->IDirectSound_iface;
    record(line + " -> " + result_text(result) + " " + device->name);
    return result;
}

// ---------------------------------------------------------------------------
// Control, for the tests.
// ---------------------------------------------------------------------------
extern "C" {

void __cdecl stand_in_reset() {
    for (direct_sound* device : stand_in.devices) delete device;
    for (sound_buffer* buffer : stand_in.buffers) delete buffer;
    stand_in = StandIn{};
}

int __cdecl stand_in_configure(const char* setting_name, LONG value) {
    static const char* const known[] = {"DirectSoundCreate.output", "CreateSoundBuffer.output", "Lock.split"};
    std::string name = setting_name ? setting_name : "";
    bool valid = name.size() > 7 && name.compare(name.size() - 7, 7, ".result") == 0;
    for (const char* k : known) valid = valid || name == k;
    if (!valid) return 0;
    stand_in.settings[name] = value;
    return 1;
}

void __cdecl stand_in_note(const char* line) { record(line ? line : ""); }

DWORD __cdecl stand_in_log_size() { return static_cast<DWORD>(stand_in.log.size()); }

const char* __cdecl stand_in_log_line(DWORD index) {
    return index < stand_in.log.size() ? stand_in.log[index].c_str() : nullptr;
}

int __cdecl stand_in_object(const char* name, StandInObject* state) {
    if (!name || !state) return 0;
    for (direct_sound* device : stand_in.devices) {
        if (device->name != name) continue;
        *state = StandInObject{};
        state->references = device->ref;
        return 1;
    }
    for (sound_buffer* buffer : stand_in.buffers) {
        if (buffer->name != name) continue;
        state->references = buffer->ref;
        state->size = buffer->size;
        state->position = buffer->position;
        state->playing = buffer->playing;
        state->looping = buffer->looping;
        state->format = buffer->format;
        state->flags = buffer->flags;
        return 1;
    }
    return 0;
}

DWORD __cdecl stand_in_buffer_bytes(const char* name, void* out, DWORD size) {
    for (sound_buffer* buffer : stand_in.buffers) {
        if (!name || buffer->name != name) continue;
        if (out) std::memcpy(out, buffer->samples.data(), size < buffer->size ? size : buffer->size);
        return buffer->size;
    }
    return 0;
}

int __cdecl stand_in_advance(const char* name, DWORD position) {
    for (sound_buffer* buffer : stand_in.buffers) {
        if (!name || buffer->name != name || !buffer->playing) continue;
        buffer->position = position < buffer->size ? position : buffer->size - 1;
        return 1;
    }
    return 0;
}

}  // extern "C"
