#pragma once
// Opening documents and web pages with the desktop's own handler: ShellExecuteA starts xdg-open
// with the argument vector {"xdg-open", target}, never through a shell, so no character of a
// name can run a command.
#include <win32/types.h>

#include <functional>
#include <string>
#include <vector>

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_NOASSOC 31

HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        INT nShowCmd);

namespace win32
{
// Starts a program with this argument vector; true when it started. The default uses
// posix_spawnp; tests put a fake in its place. Null restores the default.
using SpawnFunction = std::function<bool(const std::vector<std::string>& args)>;
void SetSpawnFunction(SpawnFunction fn);
}
