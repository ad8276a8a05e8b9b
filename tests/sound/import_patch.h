// Redirecting one function a loaded module imports, by rewriting the
// module's import address table: the module's code runs unchanged and calls
// the replacement. The patch lasts as long as the module stays loaded.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace sound_test {

// Returns the address the module imported before, or nullptr when it does
// not import `function` from `dll` by name.
inline void* patch_import(HMODULE module, const char* dll, const char* function, void* replacement) {
    auto base = reinterpret_cast<std::uint8_t*>(module);
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return nullptr;
    for (auto descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         descriptor->Name; ++descriptor) {
        if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) continue;
        DWORD names_rva = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + names_rva);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL32(names->u1.Ordinal)) continue;
            auto by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
            DWORD old_protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old_protection);
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(replacement));
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old_protection, &old_protection);
            return original;
        }
    }
    return nullptr;
}

}  // namespace sound_test
