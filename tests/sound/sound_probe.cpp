// A test-only DLL around the resource sound player: the objects of the
// module's own sound library, linked unchanged, with each operation exported
// under a C name. Loading it afresh gives the player the empty state a
// freshly loaded module starts with. sound_probe.def names the exports.
#include "resource_sound.h"
#include "wave_image.h"

extern "C" {

int __cdecl probe_load_resource_sound(HWND window, const char* module_file_name, const char* resource_name) {
    return load_resource_sound(window, module_file_name, resource_name);
}

int __cdecl probe_play_sound_slot(int slot, int looping) { return play_sound_slot(slot, looping); }

void __cdecl probe_release_sound_slot(int slot) { release_sound_slot(slot); }

int __cdecl probe_find_free_sound_slot() { return find_free_sound_slot(); }

int __cdecl probe_find_wave_resource(HMODULE module, const char* resource_name, LPWAVEFORMATEX* format,
                                     const void** data, DWORD* data_size) {
    return find_wave_resource(module, resource_name, format, data, data_size);
}

int __cdecl probe_fill_sound_buffer(IDirectSoundBuffer* buffer, const void* data, DWORD size) {
    return fill_sound_buffer(buffer, data, size);
}

int __cdecl probe_parse_wave_image(const void* image, uint32_t image_size, const void** format, const void** data,
                                   uint32_t* data_size) {
    return parse_wave_image(image, image_size, format, data, data_size);
}

}  // extern "C"
