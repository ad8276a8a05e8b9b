// The control side of the tests' stand-in dsound.dll. The tests find these
// routines with GetProcAddress in the dsound.dll the process loaded: if they
// are missing, Wine's own DirectSound was loaded instead.
//
// Every call the stand-in receives becomes one line of its log, in order:
//   <call> <object> <argument>=<value> ... -> <result> [<more results>]
// Objects are named "device#N" and "buffer#N" in the order they were made,
// addresses are written 0x%08X, NULL as NULL, results DS_OK or 0x%08X.
// The tests add lines of their own (platform calls they intercept, host
// services) with stand_in_note, so that one log holds the whole order.
#pragma once

#include <windows.h>

extern "C" {

struct StandInObject {
    LONG references;      // 0 once released
    DWORD size;           // buffers: dwBufferBytes
    DWORD position;       // buffers: the play position
    BOOL playing;         // buffers: Play was called and Stop was not
    BOOL looping;         // buffers: the latest Play had DSBPLAY_LOOPING
    const void* format;   // buffers: lpwfxFormat as handed over
    DWORD flags;          // buffers: dwFlags
};

// Forgets every object, log line and setting.
typedef void(__cdecl* StandInReset)();
// Settings, all 0 after a reset:
//   "<Call>.result"            the HRESULT that call returns from now on
//                              (any IDirectSound, IDirectSoundBuffer call or
//                              DirectSoundCreate); 0 is DS_OK
//   "DirectSoundCreate.output" on failure: 0 writes NULL, 1 leaves the
//                              output as it was
//   "CreateSoundBuffer.output" on failure: 0 writes NULL, 1 writes an
//                              address nothing lives at
//   "Lock.split"               bytes in the first region of a Lock; the
//                              rest goes to a second region. 0: one region
// Returns 0 for a setting it does not know.
typedef int(__cdecl* StandInConfigure)(const char* setting, LONG value);
typedef void(__cdecl* StandInNote)(const char* line);
typedef DWORD(__cdecl* StandInLogSize)();
typedef const char*(__cdecl* StandInLogLine)(DWORD index);
// The state of the object of that name; 0 when there is none.
typedef int(__cdecl* StandInObjectState)(const char* name, StandInObject* state);
// Copies up to `size` bytes of a buffer's samples; returns the buffer's size.
typedef DWORD(__cdecl* StandInBufferBytes)(const char* name, void* out, DWORD size);
// Moves a playing buffer's position on, as playing that far would.
typedef int(__cdecl* StandInAdvance)(const char* name, DWORD position);

}  // extern "C"
