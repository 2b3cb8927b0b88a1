#include <win32/paths.h>

#include "core/Log.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <strings.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
win32::PathConfig g_Config;
bool g_bConfigured = false;
bool g_bReportedDrive = false;

// Names below D that live elsewhere: the view's settings file belongs to the user's config.
struct Redirect
{
    const char* m_szName;
    std::string win32::PathConfig::*m_pDir;
};
const Redirect REDIRECTS[] = {
    {"settings.dat", &win32::PathConfig::m_strConfigDir},
};

bool Exists(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string HomeDir()
{
    const char* szHome = std::getenv("HOME");
    return szHome && *szHome ? szHome : "/";
}

std::string XdgDir(const char* szVariable, const char* szFallback)
{
    const char* szValue = std::getenv(szVariable);
    if (szValue && *szValue == '/')
        return szValue;
    return HomeDir() + szFallback;
}

std::string CurrentDir()
{
    std::vector<char> buf(4096);
    if (!getcwd(buf.data(), buf.size()))
        return "/";
    return buf.data();
}

std::string ExecutableDir()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? CurrentDir() : exe.parent_path().string();
}

// "/a/./b//c/../d" -> "/a/b/d"; the path must be absolute.
std::string Normalize(const std::string& path)
{
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= path.size())
    {
        size_t end = path.find('/', i);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(i, end - i);
        if (part == "..")
        {
            if (!parts.empty())
                parts.pop_back();
        }
        else if (!part.empty() && part != ".")
            parts.push_back(part);
        i = end + 1;
    }
    std::string out;
    for (const std::string& part : parts)
        out += "/" + part;
    return out.empty() ? "/" : out;
}

// The path relative to dir when path lies below it ("" for dir itself); false otherwise.
bool Below(const std::string& path, const std::string& dir, std::string& rel)
{
    if (dir.empty())
        return false;
    if (path == dir)
    {
        rel.clear();
        return true;
    }
    std::string prefix = dir == "/" ? dir : dir + "/";
    if (path.compare(0, prefix.size(), prefix) != 0)
        return false;
    rel = path.substr(prefix.size());
    return true;
}

bool StartsWithNoCase(const std::string& s, const char* szPrefix)
{
    return strncasecmp(s.c_str(), szPrefix, std::strlen(szPrefix)) == 0;
}

// When the exact name is missing, each component is matched without regard to case, the first
// match in sorted order winning; components past the first unmatched one stay as given.
std::string MatchCase(const std::string& path)
{
    if (Exists(path))
        return path;
    std::string out;
    size_t i = 1;
    while (i <= path.size())
    {
        size_t end = path.find('/', i);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(i, end - i);
        std::string dir = out.empty() ? "/" : out;
        std::string exact = out + "/" + part;
        if (!Exists(exact))
        {
            std::vector<std::string> names;
            if (DIR* d = opendir(dir.c_str()))
            {
                while (dirent* e = readdir(d))
                    if (strcasecmp(e->d_name, part.c_str()) == 0)
                        names.push_back(e->d_name);
                closedir(d);
            }
            if (names.empty())
                return exact + path.substr(end);
            std::sort(names.begin(), names.end());
            exact = out + "/" + names.front();
        }
        out = exact;
        i = end + 1;
    }
    return out.empty() ? "/" : out;
}

const Redirect* FindRedirect(const std::string& rel)
{
    for (const Redirect& r : REDIRECTS)
        if (strcasecmp(rel.c_str(), r.m_szName) == 0)
            return &r;
    return nullptr;
}

void CreateParent(const std::string& path)
{
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
}

// A name below D: redirected names go to their own folder; writes go to U; reads try U first.
std::string MapBelowData(const win32::PathConfig& config, const std::string& rel, bool bWrite)
{
    if (const Redirect* r = FindRedirect(rel))
    {
        std::string target = MatchCase(config.*(r->m_pDir) + "/" + r->m_szName);
        if (bWrite)
            CreateParent(target);
        return target;
    }
    std::string user = MatchCase(Normalize(config.m_strUserDir + "/" + rel));
    if (bWrite)
    {
        CreateParent(user);
        return user;
    }
    if (Exists(user))
        return user;
    return MatchCase(Normalize(config.m_strDataDir + "/" + rel));
}

std::string MapAbsolute(const win32::PathConfig& config, const std::string& path, bool bWrite)
{
    std::string rel;
    if (Below(path, config.m_strDataDir, rel) || Below(path, config.m_strExeDir, rel))
        return MapBelowData(config, rel, bWrite);
    return MatchCase(path);
}
}

namespace win32
{
PathConfig DefaultPathConfig()
{
    PathConfig config;
    config.m_strExeDir = ExecutableDir();
    const char* szData = std::getenv("QUENLARIS_DATA_DIR");
    std::string share = Normalize(config.m_strExeDir + "/../share/quenlaris");
    if (szData && *szData)
        config.m_strDataDir = Normalize(*szData == '/' ? szData : CurrentDir() + "/" + szData);
    else if (IsDirectory(share))
        config.m_strDataDir = share;
    else
        config.m_strDataDir = config.m_strExeDir;
    config.m_strUserDir = XdgDir("XDG_DATA_HOME", "/.local/share") + "/quenlaris";
    config.m_strConfigDir = XdgDir("XDG_CONFIG_HOME", "/.config") + "/quenlaris";

    // The desktop is XDG_DESKTOP_DIR from user-dirs.dirs, else the home directory.
    config.m_strDesktopDir = HomeDir();
    std::ifstream dirs(XdgDir("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs");
    std::string line;
    while (std::getline(dirs, line))
    {
        const char* szKey = "XDG_DESKTOP_DIR=\"";
        if (line.rfind(szKey, 0) != 0 || line.back() != '"')
            continue;
        std::string value = line.substr(std::strlen(szKey), line.size() - std::strlen(szKey) - 1);
        if (value.rfind("$HOME", 0) == 0)
            value = HomeDir() + value.substr(5);
        if (!value.empty() && value[0] == '/' && IsDirectory(value))
            config.m_strDesktopDir = value;
    }
    return config;
}

void SetPathConfig(const PathConfig& config)
{
    g_Config = config;
    g_bConfigured = true;
    g_bReportedDrive = false;
}

const PathConfig& GetPathConfig()
{
    if (!g_bConfigured)
        SetPathConfig(DefaultPathConfig());
    return g_Config;
}

std::string MapPath(const char* szName, bool bWrite)
{
    if (!szName || !*szName)
        return std::string();
    const PathConfig& config = GetPathConfig();
    std::string name = szName;
    // "\Images\x" names the root of the current drive, and the program runs in its own folder.
    bool bDriveRoot = name[0] == '\\' && (name.size() < 2 || name[1] != '\\');
    std::replace(name.begin(), name.end(), '\\', '/');

    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
    {
        if (!StartsWithNoCase(name, "C:/Quenlaris") ||
            (name.size() > 12 && name[12] != '/'))
        {
            if (!g_bReportedDrive)
                LogWarning("MapPath() - %s is on a drive this system does not have; not found.", szName);
            g_bReportedDrive = true;
            return std::string();
        }
        return MapBelowData(config, Normalize("/" + name.substr(12)).substr(1), bWrite);
    }
    if (name[0] == '/' && !bDriveRoot)
        return MapAbsolute(config, Normalize(name), bWrite);

    std::string local = Normalize(CurrentDir() + "/" + name);
    std::string mapped = MapAbsolute(config, local, bWrite);
    if (bWrite || Exists(mapped) || bDriveRoot)
        return mapped;
    // A relative name that the working directory does not have is looked for in D.
    std::string data = MapBelowData(config, Normalize("/" + name).substr(1), false);
    return Exists(data) ? data : mapped;
}
}

BOOL SHGetSpecialFolderPathA(HWND, LPSTR pszPath, int csidl, BOOL fCreate)
{
    if (!pszPath || (csidl != CSIDL_DESKTOPDIRECTORY && csidl != CSIDL_DESKTOP))
        return FALSE;
    const std::string& dir = win32::GetPathConfig().m_strDesktopDir;
    if (dir.size() >= MAX_PATH)
        return FALSE;
    if (fCreate)
        CreateParent(dir + "/");
    std::memcpy(pszPath, dir.c_str(), dir.size() + 1);
    return TRUE;
}

namespace
{
// Copies text into a Win32-style buffer: the length copied, or the size needed (with its zero)
// when the buffer is too small.
DWORD CopyOut(const std::string& text, LPSTR lpBuffer, DWORD nSize)
{
    if (!lpBuffer || nSize <= text.size())
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}
}

DWORD GetModuleFileNameA(HMODULE, LPSTR lpFilename, DWORD nSize)
{
    std::error_code ec;
    std::string exe = fs::read_symlink("/proc/self/exe", ec).string();
    if (ec || !lpFilename || nSize == 0)
        return 0;
    // As on Windows: a short buffer gets the truncated name, zero-terminated, and nSize back.
    size_t n = std::min<size_t>(exe.size(), nSize - 1);
    std::memcpy(lpFilename, exe.c_str(), n);
    lpFilename[n] = 0;
    return n < exe.size() ? nSize : static_cast<DWORD>(n);
}

HMODULE GetModuleHandleA(LPCSTR lpModuleName)
{
    // One module: the program itself, at the conventional image base.
    return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    return CopyOut(CurrentDir(), lpBuffer, nBufferLength);
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName)
{
    if (!lpPathName)
        return FALSE;
    std::string path = win32::MapPath(lpPathName, false);
    return !path.empty() && chdir(path.c_str()) == 0;
}
