#pragma once
// Dynamic libraries: the system loads only two by name, "comctl32.dll" (to ask its version) and
// "shell32.dll" (for ShellExecuteA); both are built into the layer.
#include <win32/types.h>

// Untyped, so callers cast it to the real signature without a warning.
typedef void(WINAPI* FARPROC)();

struct DLLVERSIONINFO
{
    DWORD cbSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformID;
};
typedef HRESULT(CALLBACK* DLLGETVERSIONPROC)(DLLVERSIONINFO*);
#define DLLVER_PLATFORM_NT 0x00000002

HMODULE LoadLibraryA(LPCSTR lpLibFileName);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
