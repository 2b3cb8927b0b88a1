// The file dialog's rules: filters, listing, typed names, the default extension and the checks
// made before a path is returned.
#include <win32/commdlg.h>
#include <win32/paths.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{
std::vector<std::string> SplitPatterns(const std::string& text)
{
    std::vector<std::string> patterns;
    size_t nStart = 0;
    while (nStart <= text.size())
    {
        size_t nEnd = text.find(';', nStart);
        if (nEnd == std::string::npos)
            nEnd = text.size();
        std::string pattern = text.substr(nStart, nEnd - nStart);
        pattern.erase(0, pattern.find_first_not_of(' '));
        pattern.erase(pattern.find_last_not_of(' ') + 1);
        if (!pattern.empty())
            patterns.push_back(pattern);
        nStart = nEnd + 1;
    }
    return patterns;
}

// Pairs from a list of fields; an empty description ends it.
std::vector<win32::FileFilter> PairUp(const std::vector<std::string>& fields)
{
    std::vector<win32::FileFilter> filters;
    for (size_t i = 0; i < fields.size(); i += 2)
    {
        if (fields[i].empty())
            break;
        std::string patterns = i + 1 < fields.size() ? fields[i + 1] : std::string();
        filters.push_back({fields[i], SplitPatterns(patterns)});
    }
    if (filters.empty())
        filters.push_back({"All Files (*.*)", {"*.*"}});
    return filters;
}

bool Match(const char* szName, const char* szPattern)
{
    // Iterative wildcard match with one backtracking point for the last '*'.
    const char* pStar = nullptr;
    const char* pResume = nullptr;
    while (*szName)
    {
        if (*szPattern == '*')
        {
            pStar = szPattern++;
            pResume = szName;
        }
        else if (*szPattern == '?' ||
                 std::tolower(static_cast<unsigned char>(*szPattern)) == std::tolower(static_cast<unsigned char>(*szName)))
        {
            ++szPattern;
            ++szName;
        }
        else if (pStar)
        {
            szPattern = pStar + 1;
            szName = ++pResume;
        }
        else
            return false;
    }
    while (*szPattern == '*')
        ++szPattern;
    return *szPattern == 0;
}

bool LessNoCase(const win32::FolderEntry& a, const win32::FolderEntry& b)
{
    int n = strcasecmp(a.m_strName.c_str(), b.m_strName.c_str());
    return n != 0 ? n < 0 : a.m_strName < b.m_strName;
}

bool IsFolder(const std::string& strPath)
{
    struct stat st{};
    return stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& strPath)
{
    struct stat st{};
    return stat(strPath.c_str(), &st) == 0;
}

std::string FileNameOf(const std::string& strPath)
{
    size_t n = strPath.find_last_of('/');
    return n == std::string::npos ? strPath : strPath.substr(n + 1);
}

std::string FolderOf(const std::string& strPath)
{
    size_t n = strPath.find_last_of('/');
    return n == std::string::npos || n == 0 ? std::string("/") : strPath.substr(0, n);
}
}

namespace win32
{
std::vector<FileFilter> ParseFileFilter(const char* szFilter)
{
    std::vector<std::string> fields;
    // The list ends at an empty field (an empty description, or the closing double NUL).
    for (const char* p = szFilter; p && *p; p += std::strlen(p) + 1)
        fields.emplace_back(p);
    return PairUp(fields);
}

std::vector<FileFilter> ParseBarFilter(const char* szFilter)
{
    std::vector<std::string> fields;
    std::string text = szFilter ? szFilter : "";
    size_t nStart = 0;
    while (nStart < text.size())
    {
        size_t nEnd = text.find('|', nStart);
        if (nEnd == std::string::npos)
            nEnd = text.size();
        fields.push_back(text.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return PairUp(fields);
}

bool MatchesFilePattern(const std::string& strName, const std::string& strPattern)
{
    if (strPattern == "*.*" || strPattern == "*")
        return true;
    return Match(strName.c_str(), strPattern.c_str());
}

std::vector<FolderEntry> ListFolder(const std::string& strFolder, const std::vector<std::string>& patterns, bool bHidden)
{
    std::vector<FolderEntry> folders, files;
    std::error_code ec;
    for (fs::directory_iterator it(strFolder, ec), end; !ec && it != end; it.increment(ec))
    {
        std::string name = it->path().filename().string();
        if (!bHidden && !name.empty() && name[0] == '.')
            continue;
        std::error_code ecType;
        if (it->is_directory(ecType))
            folders.push_back({name, true});
        else if (std::any_of(patterns.begin(), patterns.end(),
                             [&](const std::string& p) { return MatchesFilePattern(name, p); }))
            files.push_back({name, false});
    }
    std::sort(folders.begin(), folders.end(), LessNoCase);
    std::sort(files.begin(), files.end(), LessNoCase);
    std::vector<FolderEntry> entries;
    if (fs::path(strFolder).lexically_normal() != fs::path("/"))
        entries.push_back({"..", true});
    entries.insert(entries.end(), folders.begin(), folders.end());
    entries.insert(entries.end(), files.begin(), files.end());
    return entries;
}

std::string ResolveTypedName(const std::string& strFolder, const std::string& strTyped, bool bSave)
{
    std::string typed = strTyped;
    typed.erase(0, typed.find_first_not_of(' '));
    typed.erase(typed.find_last_not_of(' ') + 1);
    if (typed.empty() || typed.find('\0') != std::string::npos)
        return std::string();
    std::string path;
    if (typed.size() >= 2 && std::isalpha(static_cast<unsigned char>(typed[0])) && typed[1] == ':')
    {
        // A Windows path: only the program's own folder has a place on Linux.
        path = MapPath(typed.c_str(), bSave);
        if (path.empty())
            return std::string();
    }
    else
    {
        std::replace(typed.begin(), typed.end(), '\\', '/');
        path = typed[0] == '/' ? typed : strFolder + "/" + typed;
    }
    std::string normal = fs::path(path).lexically_normal().string();
    // "a/b/" names the folder b: the trailing separator goes.
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

std::string AddDefaultExtension(const std::string& strPath, const char* szDefExt)
{
    if (!szDefExt || !*szDefExt)
        return strPath;
    std::string name = FileNameOf(strPath);
    if (name.find('.') != std::string::npos)
        return strPath;
    return strPath + "." + (szDefExt[0] == '.' ? szDefExt + 1 : szDefExt);
}

FileChoice CheckChosenFile(const std::string& strPath, DWORD nFlags, bool bSave)
{
    if (strPath.empty() || strPath[0] != '/')
        return FileChoice::Invalid;
    std::string name = FileNameOf(strPath);
    if (name.find_first_of("*?") != std::string::npos)
        return FileChoice::Wildcard;
    if (IsFolder(strPath))
        return FileChoice::Folder;
    if (name.empty())
        return FileChoice::Invalid;
    bool bExists = Exists(strPath);
    if ((nFlags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !IsFolder(FolderOf(strPath)))
        return FileChoice::PathMissing;
    if ((nFlags & OFN_FILEMUSTEXIST) && !bExists)
        return FileChoice::FileMissing;
    if (bSave && bExists && (nFlags & OFN_OVERWRITEPROMPT))
        return FileChoice::AskOverwrite;
    return FileChoice::Accept;
}
}
