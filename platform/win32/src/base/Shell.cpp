#include <win32/shellapi.h>
#include <win32/paths.h>

#include "core/Log.h"

#include <cctype>
#include <cstring>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

namespace
{
win32::SpawnFunction g_Spawn;
std::vector<pid_t> g_Children;

// Children are collected on later calls, so opened viewers do not linger as zombies.
void ReapChildren()
{
    for (size_t i = 0; i < g_Children.size();)
    {
        if (waitpid(g_Children[i], nullptr, WNOHANG) != 0)
            g_Children.erase(g_Children.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

bool SpawnProcess(const std::vector<std::string>& args)
{
    ReapChildren();
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    g_Children.push_back(pid);
    return true;
}

// "http://…", "mailto:…": a scheme of two or more letters before the colon (one letter is a drive).
bool IsUrl(const char* szName)
{
    const char* p = szName;
    while (std::isalpha(static_cast<unsigned char>(*p)) || *p == '+' || *p == '-' || *p == '.')
        ++p;
    return *p == ':' && p - szName >= 2;
}

HINSTANCE ShellResult(INT_PTR n)
{
    return reinterpret_cast<HINSTANCE>(n);
}
}

namespace win32
{
void SetSpawnFunction(SpawnFunction fn)
{
    g_Spawn = std::move(fn);
}
}

HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR, INT)
{
    if (!lpFile || !*lpFile)
        return ShellResult(SE_ERR_FNF);
    if (lpOperation && *lpOperation && strcasecmp(lpOperation, "open") != 0)
    {
        LogWarning("ShellExecuteA() - operation \"%s\" is not supported.", lpOperation);
        return ShellResult(SE_ERR_NOASSOC);
    }
    std::string target = lpFile;
    if (!IsUrl(lpFile))
    {
        target = win32::MapPath(lpFile, false);
        struct stat st{};
        if (target.empty() || stat(target.c_str(), &st) != 0)
        {
            LogWarning("ShellExecuteA() - %s was not found.", lpFile);
            return ShellResult(SE_ERR_FNF);
        }
    }
    std::vector<std::string> args = {"xdg-open", target};
    bool bStarted = g_Spawn ? g_Spawn(args) : SpawnProcess(args);
    if (!bStarted)
    {
        LogWarning("ShellExecuteA() - cannot start xdg-open for %s.", lpFile);
        return ShellResult(SE_ERR_NOASSOC);
    }
    // Above 32 means success.
    return ShellResult(42);
}
