#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The module's start-up is its static initialisation, which the C runtime
// runs before this; attach, detach and thread notifications need nothing more.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
