// The program: the window layer on an X display (or headless under a script), the device
// layer presenting into its windows, and the application object's start-up, loop and exit.
//   quenlaris [scene.qnl | scene.mvn]
// Without a display it starts itself again under a virtual X server when xvfb-run is
// installed; QUENLARIS_SCRIPT=<file> runs a script headless (the test driver).
#include "app/MainMenu.h"
#include "app/RenderApp.h"

#include <d3d9/present.h>
#include <mfc/afxres.h>
#include <win32/install.h>
#include <win32/layer.h>
#include <win32/paths.h>
#include <win32/resources.h>
#include <win32/testing.h>
#include <win32/x11.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
const char DOCUMENT_STRING[] = "Quenlaris\n\nQuenlaris";
const char APP_TITLE[] = "Quenlaris";
const ResourceEntry STRING_RESOURCES[] = {
    {"STRING", 128, DOCUMENT_STRING, sizeof(DOCUMENT_STRING)},
    {"STRING", AFX_IDS_APP_TITLE, APP_TITLE, sizeof(APP_TITLE)},
};
// Set in the environment of the run under the virtual X server, so it is tried only once.
const char XVFB_MARK[] = "QUENLARIS_UNDER_XVFB";

bool IsScripted()
{
    const char* szScript = std::getenv("QUENLARIS_SCRIPT");
    return szScript && *szScript;
}

bool HasDisplay()
{
    const char* szDisplay = std::getenv("DISPLAY");
    return szDisplay && *szDisplay;
}

// Starts the program again under xvfb-run; returns only when that could not be done.
void RestartUnderXvfb(int argc, char** argv)
{
    if (std::getenv(XVFB_MARK) || access("/usr/bin/xvfb-run", X_OK) != 0)
        return;
    std::fprintf(stderr, "quenlaris: no X display; running under a virtual X server (xvfb-run), where the window "
                         "is not visible.\n");
    setenv(XVFB_MARK, "1", 1);
    std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                               const_cast<char*>("-screen 0 1280x1024x24")};
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execv("/usr/bin/xvfb-run", args.data());
    std::perror("quenlaris: xvfb-run");
}

// The program's own folder is the data folder (as it started in its own folder); a file named
// on the command line is made absolute first, so it still names the same file.
std::vector<std::string> PrepareArguments(int argc, char** argv)
{
    std::vector<std::string> args(argv, argv + argc);
    for (size_t i = 1; i < args.size(); ++i)
        if (!args[i].empty() && args[i][0] != '-')
        {
            std::error_code error;
            std::filesystem::path absolute = std::filesystem::absolute(args[i], error);
            if (!error)
                args[i] = absolute.string();
        }
    const std::string& strDataDir = win32::GetPathConfig().m_strDataDir;
    if (!strDataDir.empty() && chdir(strDataDir.c_str()) != 0)
        std::fprintf(stderr, "quenlaris: cannot change to the data folder %s.\n", strDataDir.c_str());
    return args;
}

int RunApplication(std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    // The application object lives in this frame, not in static storage, so that it is gone
    // before the window and device layers' own statics, whatever order those are destroyed in.
    RenderApp application;
    return AfxWinMain(static_cast<int>(args.size()), argv.data());
}
}

int main(int argc, char** argv)
{
    const bool bScripted = IsScripted();
    if (!bScripted && !HasDisplay())
    {
        RestartUnderXvfb(argc, argv);
        std::fprintf(stderr, "quenlaris: no X display (DISPLAY is not set) and no xvfb-run; start it on a desktop "
                             "session or install the xvfb package.\n");
        return 1;
    }
    RegisterResourceTable(STRING_RESOURCES, sizeof(STRING_RESOURCES) / sizeof(STRING_RESOURCES[0]));
    RegisterMainMenuResources();
    if (!win32::Install())
        return 2;
    if (!bScripted)
    {
        if (!win32::StartX11Presenter())
        {
            std::fprintf(stderr, "quenlaris: the X display %s cannot be opened.\n", std::getenv("DISPLAY"));
            return 1;
        }
        // The idle loop renders while the queue is empty; X input is taken on each of its turns.
        win32::SetIdleTurnHandler([] { win32::PumpX11Events(); });
    }
    SetD3D9Presenter(&GetWindowPresenter());
    std::vector<std::string> args = PrepareArguments(argc, argv);
    int nResult = win32::RunProgram([&args] { return RunApplication(args); });
    SetD3D9Presenter(nullptr);
    if (!bScripted)
    {
        win32::SetIdleTurnHandler(nullptr);
        win32::StopX11Presenter();
    }
    return nResult;
}
