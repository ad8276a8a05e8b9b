// The resource sound player: sounds stored as resources of type "WAV" in a
// module, loaded into DirectSound static buffers held in 32 numbered slots.
//
// Slots are named by their index counted from 1; index 0 names no slot. A
// slot is handed out once in the module's life: releasing its buffer leaves
// it taken, so at most 32 loads that make a buffer succeed.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

constexpr int sound_slot_count = 32;

// Loads the "WAV" resource `resource_name` of the module with that file name
// into a free slot, with `window` as DirectSound's cooperative window.
// Returns the slot's index, or 0 when no buffer was made. When the resource
// is missing or unusable it returns an index whose slot stays empty, and the
// next load is handed the same index.
int load_resource_sound(HWND window, const char* module_file_name, const char* resource_name);

// Plays the slot's sound from its start, in a loop when `looping` is not 0.
// Returns 1 when DirectSound started it, else 0.
int play_sound_slot(int slot, int looping);

// Releases the slot's buffer. The slot stays taken and plays nothing more.
void release_sound_slot(int slot);

// The steps of a load.
int find_free_sound_slot();
int find_wave_resource(HMODULE module, const char* resource_name, LPWAVEFORMATEX* format, const void** data,
                       DWORD* data_size);
int fill_sound_buffer(IDirectSoundBuffer* buffer, const void* data, DWORD size);
