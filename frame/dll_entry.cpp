// The library entry of a module that keeps nothing from Windows. A module
// that needs its instance handle defines module_dll_entry itself, and this
// object is then not linked in.
#include <windows.h>

extern "C" BOOL WINAPI module_dll_entry(HINSTANCE, DWORD, LPVOID) { return TRUE; }
