#pragma once
// Where the program's Windows-style names live on Linux. MapPath is the one mapping, applied once
// when a file is opened: it turns "Media\t.dds" or "C:\Quenlaris\settings.dat" into a real path.
//
// D, the data folder: QUENLARIS_DATA_DIR, else <exe>/../share/quenlaris when it exists, else the
// executable's folder. The program directory "C:\Quenlaris\" and the executable's folder both
// stand for D. U, the user's data folder: $XDG_DATA_HOME/quenlaris. Writes below D go to the same
// relative path below U; reads below D look in U first. "settings.dat" lives in the per-user
// config folder $XDG_CONFIG_HOME/quenlaris.
#include <win32/types.h>

#include <string>

namespace win32
{
struct PathConfig
{
    std::string m_strDataDir;      // D
    std::string m_strUserDir;      // U
    std::string m_strConfigDir;    // per-user settings
    std::string m_strExeDir;       // the executable's folder
    std::string m_strDesktopDir;   // screenshots
};

// The folders as the environment gives them (see above).
PathConfig DefaultPathConfig();
void SetPathConfig(const PathConfig& config);
const PathConfig& GetPathConfig();

// The real path for a name the program uses, for reading or for writing. Names with a drive
// letter other than C:\Quenlaris give an empty path (not found).
std::string MapPath(const char* szName, bool bWrite);
}

#define CSIDL_DESKTOP 0x0000
#define CSIDL_DESKTOPDIRECTORY 0x0010

BOOL SHGetSpecialFolderPathA(HWND hwnd, LPSTR pszPath, int csidl, BOOL fCreate);
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
HMODULE GetModuleHandleA(LPCSTR lpModuleName);
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
BOOL SetCurrentDirectoryA(LPCSTR lpPathName);
