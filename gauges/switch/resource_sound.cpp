#include "resource_sound.h"

#include <string.h>

#include "wave_image.h"

namespace {

// A slot holds its buffer from the load that made it until it is released;
// a released slot holds nothing and is never handed out again.
struct SoundSlot {
    IDirectSoundBuffer* buffer;
    bool released;
};

// All zero when the module is loaded.
SoundSlot sound_slots[sound_slot_count];
// Raised by every load that returns an index; while it is 0 or less the
// free-slot search starts the table afresh.
int sound_load_count;
// The device object of the latest load. Device objects are never released:
// the buffers each one made stay with it.
IDirectSound* sound_device;

constexpr DWORD sound_buffer_flags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                     DSBCAPS_GETCURRENTPOSITION2;  // 0x100e2
static_assert(sound_buffer_flags == 0x100e2, "static buffer with frequency, pan and volume control");
static_assert(sizeof(DSBUFFERDESC1) == 20, "the buffer description DirectSound 3 knows");

SoundSlot* slot_at(int slot) {
    if (slot < 1 || slot > sound_slot_count) return 0;
    return &sound_slots[slot - 1];
}

}  // namespace

int find_free_sound_slot() {
    if (sound_load_count <= 0) {
        // Nothing is released here: before the first load there is nothing.
        for (SoundSlot& slot : sound_slots) slot = SoundSlot{};
        return 1;
    }
    for (int i = 0; i < sound_slot_count; ++i)
        if (!sound_slots[i].buffer && !sound_slots[i].released) return i + 1;
    return 0;
}

int find_wave_resource(HMODULE module, const char* resource_name, LPWAVEFORMATEX* format, const void** data,
                       DWORD* data_size) {
    HRSRC found = FindResourceA(module, resource_name, "WAV");
    if (!found) return 0;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return 0;
    // Never unlocked or freed: DirectSound keeps the format's address, and
    // the resource lives as long as the module.
    const void* image = LockResource(loaded);
    if (!image) return 0;
    DWORD image_size = SizeofResource(module, found);

    const void* format_body = 0;
    uint32_t size = 0;
    int found_all = parse_wave_image(image, image_size, format ? &format_body : 0, data, data_size ? &size : 0);
    // DirectSound reads the format in place and never writes it.
    if (format) *format = static_cast<LPWAVEFORMATEX>(const_cast<void*>(format_body));
    if (data_size) *data_size = size;
    return found_all;
}

int fill_sound_buffer(IDirectSoundBuffer* buffer, const void* data, DWORD size) {
    if (!buffer || !data || !size) return 0;
    void* first = 0;
    DWORD first_bytes = 0;
    void* second = 0;
    DWORD second_bytes = 0;
    if (FAILED(buffer->Lock(0, size, &first, &first_bytes, &second, &second_bytes, 0))) return 0;
    const unsigned char* samples = static_cast<const unsigned char*>(data);
    memcpy(first, samples, first_bytes);
    if (second_bytes) memcpy(second, samples + first_bytes, second_bytes);
    buffer->Unlock(first, first_bytes, second, second_bytes);
    return 1;
}

int load_resource_sound(HWND window, const char* module_file_name, const char* resource_name) {
    int index = find_free_sound_slot();
    if (!index) return 0;
    SoundSlot& slot = sound_slots[index - 1];

    // A DirectSoundCreate that fails may leave its output as it was: the
    // previous load's device must not stand in for the missing one.
    sound_device = 0;
    DirectSoundCreate(0, &sound_device, 0);
    if (!sound_device) return 0;
    sound_device->SetCooperativeLevel(window, DSSCL_NORMAL);

    HMODULE module = GetModuleHandleA(module_file_name);
    DSBUFFERDESC1 description = {};
    const void* samples = 0;
    if (!find_wave_resource(module, resource_name, &description.lpwfxFormat, &samples, &description.dwBufferBytes)) {
        // A silent sound: the index is handed out, the slot stays empty.
        ++sound_load_count;
        return index;
    }

    description.dwSize = sizeof description;
    description.dwFlags = sound_buffer_flags;
    if (FAILED(sound_device->CreateSoundBuffer(reinterpret_cast<LPCDSBUFFERDESC>(&description), &slot.buffer, 0))) {
        slot.buffer = 0;
        return 0;
    }
    if (!fill_sound_buffer(slot.buffer, samples, description.dwBufferBytes)) {
        slot.buffer->Release();
        slot.buffer = 0;
        return 0;
    }
    sound_device->SetSpeakerConfig(DSSPEAKER_STEREO);

    ++sound_load_count;
    return index;
}

int play_sound_slot(int slot, int looping) {
    SoundSlot* entry = slot_at(slot);
    if (!entry || !entry->buffer) return 0;
    // Every play starts at the beginning, also while the sound still plays.
    entry->buffer->SetCurrentPosition(0);
    HRESULT result = entry->buffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0);
    return result == DS_OK ? 1 : 0;
}

void release_sound_slot(int slot) {
    SoundSlot* entry = slot_at(slot);
    if (!entry || !entry->buffer) return;
    entry->buffer->Release();
    entry->buffer = 0;
    entry->released = true;
}
