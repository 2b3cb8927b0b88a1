#include <win32/modules.h>
#include <win32/shellapi.h>

#include <cstring>
#include <strings.h>

namespace
{
// The common controls report version 6.0, the one whose features the system checks for.
HRESULT CALLBACK CommonControlsVersion(DLLVERSIONINFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    pInfo->dwMajorVersion = 6;
    pInfo->dwMinorVersion = 0;
    pInfo->dwBuildNumber = 0;
    pInfo->dwPlatformID = DLLVER_PLATFORM_NT;
    return S_OK;
}

struct Export
{
    const char* m_szName;
    FARPROC m_pfn;
};
struct Module
{
    const char* m_szName;
    Export m_Exports[2];
};
const Module MODULES[] = {
    {"comctl32.dll", {{"DllGetVersion", reinterpret_cast<FARPROC>(CommonControlsVersion)}, {nullptr, nullptr}}},
    {"shell32.dll",
     {{"ShellExecuteA", reinterpret_cast<FARPROC>(ShellExecuteA)},
      {"DllGetVersion", reinterpret_cast<FARPROC>(CommonControlsVersion)}}},
};

const Module* FromHandle(HMODULE hModule)
{
    for (const Module& m : MODULES)
        if (reinterpret_cast<HMODULE>(const_cast<Module*>(&m)) == hModule)
            return &m;
    return nullptr;
}
}

HMODULE LoadLibraryA(LPCSTR lpLibFileName)
{
    if (!lpLibFileName)
        return nullptr;
    // "COMCTL32.DLL", "comctl32" and a full path all name the same library.
    const char* szBase = std::strrchr(lpLibFileName, '\\');
    szBase = szBase ? szBase + 1 : lpLibFileName;
    for (const Module& m : MODULES)
    {
        size_t nStem = std::strlen(m.m_szName) - 4;
        if (strcasecmp(szBase, m.m_szName) == 0 || (std::strlen(szBase) == nStem && strncasecmp(szBase, m.m_szName, nStem) == 0))
            return reinterpret_cast<HMODULE>(const_cast<Module*>(&m));
    }
    return nullptr;
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    const Module* pModule = FromHandle(hModule);
    if (!pModule || !lpProcName)
        return nullptr;
    for (const Export& e : pModule->m_Exports)
        if (e.m_szName && std::strcmp(e.m_szName, lpProcName) == 0)
            return e.m_pfn;
    return nullptr;
}

BOOL FreeLibrary(HMODULE hLibModule)
{
    return FromHandle(hLibModule) != nullptr;
}
