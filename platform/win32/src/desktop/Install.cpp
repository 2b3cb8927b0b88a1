#include <win32/install.h>
#include <win32/testing.h>

#include "core/Log.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{
std::unique_ptr<win32::Driver> g_pProgramDriver;

// QUENLARIS_SCRIPT=<file>: the program runs that script headless.
bool StartScript(const char* szFile)
{
    std::ifstream in(szFile, std::ios::binary);
    if (!in)
    {
        LogError("win32::Install() - cannot read the script %s.", szFile);
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    g_pProgramDriver = std::make_unique<win32::Driver>(win32::Driver::Mode::Program);
    std::string error;
    if (!g_pProgramDriver->loadScript(text.str(), error))
    {
        LogError("win32::Install() - %s: %s.", szFile, error.c_str());
        g_pProgramDriver.reset();
        return false;
    }
    return true;
}
}

namespace win32
{
bool Install()
{
    InstallBase();
    const char* szScript = std::getenv("QUENLARIS_SCRIPT");
    if (szScript && *szScript)
        return StartScript(szScript);
    return true;
}

Driver* GetProgramDriver()
{
    return g_pProgramDriver.get();
}

int RunProgram(const std::function<int()>& fnMain)
{
    if (!g_pProgramDriver)
        return fnMain();
    int nResult = 0;
    try
    {
        nResult = fnMain();
    }
    catch (const ScriptExhausted& e)
    {
        std::fprintf(stderr, "script: %s\n", e.what());
        nResult = e.InModalLoop() ? 3 : 4;
    }
    if (g_pProgramDriver->answers().pending())
        g_pProgramDriver->addFailure("answers were left that no dialog took");
    if (!g_pProgramDriver->scriptDone())
        g_pProgramDriver->addFailure("the program ended before its script did");
    for (const std::string& failure : g_pProgramDriver->failures())
        std::fprintf(stderr, "script: %s\n", failure.c_str());
    if (nResult != 3 && !g_pProgramDriver->failures().empty())
        nResult = 4;
    g_pProgramDriver.reset();
    return nResult;
}
}
