// Stand-ins for the Windows functions the resource sound player and the
// switch import from kernel32 and user32. Each records its call in the
// stand-in DirectSound's log, so that one log shows the whole order, then
// does what the real function does unless the test has asked otherwise.
//
// One set of hooks is active at a time; attach() patches a loaded module's
// imports to it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "call_log.h"
#include "import_patch.h"
#include "stand_in.h"

namespace sound_test {

struct PlatformHooks {
    // GetActiveWindow returns this, so that the test sees where it goes.
    HWND active_window = reinterpret_cast<HWND>(0x00012340);
    // GetModuleFileNameA fills the whole buffer with 'x' and no zero, as
    // Windows XP does with a name that does not fit.
    bool unterminated_file_name = false;
    bool find_fails = false;
    bool load_fails = false;
    bool lock_fails = false;
    // When set, LockResource returns these bytes and SizeofResource their
    // size, in place of the module's resource.
    const void* image = nullptr;
    DWORD image_size = 0;

    // What the hooks saw last.
    std::string module_handle_name;
    HMODULE file_name_module = nullptr;

    static PlatformHooks*& active() {
        static PlatformHooks* hooks = nullptr;
        return hooks;
    }

    // Patches every import of the module that has a hook here; returns the
    // number patched.
    int attach(HMODULE module) {
        active() = this;
        int patched = 0;
        auto patch = [&](const char* dll, const char* function, void* hook, auto& original) {
            void* previous = patch_import(module, dll, function, hook);
            if (!previous) return;
            // A second module patched keeps the first one's real function.
            if (!original) original = reinterpret_cast<std::remove_reference_t<decltype(original)>>(previous);
            ++patched;
        };
        patch("user32.dll", "GetActiveWindow", reinterpret_cast<void*>(&hook_GetActiveWindow), real().get_active_window);
        patch("kernel32.dll", "GetModuleFileNameA", reinterpret_cast<void*>(&hook_GetModuleFileNameA),
              real().get_module_file_name);
        patch("kernel32.dll", "GetModuleHandleA", reinterpret_cast<void*>(&hook_GetModuleHandleA),
              real().get_module_handle);
        patch("kernel32.dll", "FindResourceA", reinterpret_cast<void*>(&hook_FindResourceA), real().find_resource);
        patch("kernel32.dll", "LoadResource", reinterpret_cast<void*>(&hook_LoadResource), real().load_resource);
        patch("kernel32.dll", "LockResource", reinterpret_cast<void*>(&hook_LockResource), real().lock_resource);
        patch("kernel32.dll", "SizeofResource", reinterpret_cast<void*>(&hook_SizeofResource), real().sizeof_resource);
        return patched;
    }

    ~PlatformHooks() {
        if (active() == this) active() = nullptr;
    }

private:
    struct Real {
        HWND(WINAPI* get_active_window)() = nullptr;
        DWORD(WINAPI* get_module_file_name)(HMODULE, LPSTR, DWORD) = nullptr;
        HMODULE(WINAPI* get_module_handle)(LPCSTR) = nullptr;
        HRSRC(WINAPI* find_resource)(HMODULE, LPCSTR, LPCSTR) = nullptr;
        HGLOBAL(WINAPI* load_resource)(HMODULE, HRSRC) = nullptr;
        LPVOID(WINAPI* lock_resource)(HGLOBAL) = nullptr;
        DWORD(WINAPI* sizeof_resource)(HMODULE, HRSRC) = nullptr;
    };
    static Real& real() {
        static Real functions;
        return functions;
    }
    static PlatformHooks& hooks() { return *active(); }
    static void note(const std::string& line) { StandIn::get().note(line); }
    static std::string text(LPCSTR name) {
        if (!name) return "NULL";
        if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
        return name;
    }

    static HWND WINAPI hook_GetActiveWindow() {
        note("GetActiveWindow -> " + hex_address(hooks().active_window));
        return hooks().active_window;
    }

    static DWORD WINAPI hook_GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size) {
        hooks().file_name_module = module;
        DWORD result;
        if (hooks().unterminated_file_name) {
            for (DWORD i = 0; i < size; ++i) name[i] = 'x';
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            result = size;
        } else {
            result = real().get_module_file_name(module, name, size);
        }
        note("GetModuleFileNameA module=" + hex_address(module) + " size=" + std::to_string(size) + " -> " +
             std::to_string(result));
        return result;
    }

    static HMODULE WINAPI hook_GetModuleHandleA(LPCSTR name) {
        hooks().module_handle_name = name ? name : "";
        HMODULE result = real().get_module_handle(name);
        note("GetModuleHandleA name=" + text(name) + " -> " + hex_address(result));
        return result;
    }

    static HRSRC WINAPI hook_FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
        HRSRC result = hooks().find_fails ? nullptr : real().find_resource(module, name, type);
        note("FindResourceA module=" + hex_address(module) + " name=" + text(name) + " type=" + text(type) + " -> " +
             hex_address(result));
        return result;
    }

    static HGLOBAL WINAPI hook_LoadResource(HMODULE module, HRSRC resource) {
        HGLOBAL result = hooks().load_fails ? nullptr : real().load_resource(module, resource);
        note("LoadResource module=" + hex_address(module) + " resource=" + hex_address(resource) + " -> " +
             hex_address(result));
        return result;
    }

    static LPVOID WINAPI hook_LockResource(HGLOBAL loaded) {
        LPVOID result = hooks().lock_fails ? nullptr
                        : hooks().image    ? const_cast<void*>(hooks().image)
                                           : real().lock_resource(loaded);
        note("LockResource loaded=" + hex_address(loaded) + " -> " + hex_address(result));
        return result;
    }

    static DWORD WINAPI hook_SizeofResource(HMODULE module, HRSRC resource) {
        DWORD result = hooks().image ? hooks().image_size : real().sizeof_resource(module, resource);
        note("SizeofResource module=" + hex_address(module) + " resource=" + hex_address(resource) + " -> " +
             std::to_string(result));
        return result;
    }
};

}  // namespace sound_test
