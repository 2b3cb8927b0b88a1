#include "3dapi/SampleReadme.h"

#include "morvyn/morvyn.h"

#include <win32/modules.h>
#include <win32/paths.h>
#include <win32/registry.h>
#include <win32/shellapi.h>
#include <win32/user.h>

#include <string>

namespace
{
const char SDK_KEY[] = "Software\\Microsoft\\DirectX SDK";
const char SDK_SAMPLES_VALUE[] = "DX9SDK Samples Path";
const char README[] = "readme.txt";

typedef HINSTANCE(WINAPI* ShellExecuteProc)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// The SDK's samples folder, or empty when the SDK is not registered.
std::string SdkSamplesPath()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SDK_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return std::string();
    char szPath[MAX_PATH] = {};
    DWORD nType = 0;
    DWORD nBytes = sizeof(szPath);
    LSTATUS nStatus = RegQueryValueExA(hKey, SDK_SAMPLES_VALUE, nullptr, &nType, reinterpret_cast<LPBYTE>(szPath), &nBytes);
    RegCloseKey(hKey);
    szPath[MAX_PATH - 1] = 0;
    return nStatus == ERROR_SUCCESS && nType == REG_SZ ? std::string(szPath) : std::string();
}

// The folder part of a path ("" when it has none); either separator counts.
std::string FolderOf(const std::string& path)
{
    size_t nSlash = path.find_last_of("\\/");
    return nSlash == std::string::npos ? std::string() : path.substr(0, nSlash);
}

// The readme to open, or empty: the named sample's copy in the SDK, then the program's own
// folder tree: <parent>\<program name>\, the program's folder, its parent, its grandparent.
std::string FindReadme(const char* szSampleName)
{
    if (szSampleName)
    {
        std::string sdk = SdkSamplesPath();
        if (!sdk.empty())
        {
            std::string candidate = sdk + "\\C++\\" + szSampleName + "\\" + README;
            if (IsReadableFile(candidate.c_str()))
                return candidate;
        }
    }
    char szModule[MAX_PATH] = {};
    DWORD nLength = GetModuleFileNameA(nullptr, szModule, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return std::string();
    std::string module = szModule;
    std::string folder = FolderOf(module);
    std::string name = module.substr(folder.size() + (folder.size() < module.size() ? 1 : 0));
    name = name.substr(0, name.find_last_of('.'));
    std::string parent = FolderOf(folder);
    std::string grandparent = FolderOf(parent);
    const std::string candidates[] = {parent + "\\" + name + "\\" + README, folder + "\\" + README,
                                      parent + "\\" + README, grandparent + "\\" + README};
    for (const std::string& candidate : candidates)
        if (IsReadableFile(candidate.c_str()))
            return candidate;
    return std::string();
}

// The shell's "open" verb, as the shell library offers it; true when the handler started.
bool OpenWithShell(const std::string& path)
{
    HMODULE hShell = LoadLibraryA("shell32.dll");
    if (!hShell)
        return false;
    auto pfnShellExecute = reinterpret_cast<ShellExecuteProc>(GetProcAddress(hShell, "ShellExecuteA"));
    bool bOpened = false;
    if (pfnShellExecute)
    {
        // Results above 32 mean success.
        INT_PTR nResult = reinterpret_cast<INT_PTR>(pfnShellExecute(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        bOpened = nResult > 32;
    }
    FreeLibrary(hShell);
    return bOpened;
}
}

void OpenSampleReadme(HWND hOwner, const char* szSampleName)
{
    std::string readme = FindReadme(szSampleName);
    if (!readme.empty() && OpenWithShell(readme))
        return;
    MessageBoxA(hOwner, "Could not find readme.txt", "DirectX SDK Sample", MB_OK | MB_ICONWARNING);
}
