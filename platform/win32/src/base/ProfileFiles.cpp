// Initialisation files: "[Section]" lines, "Key=Value" lines, ';' comments; names compare without
// regard to case and the first occurrence wins.
#include <win32/paths.h>
#include <win32/winbase.h>

#include "core/FileIO.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace
{
struct ProfileEntry
{
    std::string m_strSection;
    std::string m_strKey;     // empty for the section line itself
    std::string m_strValue;
};

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<ProfileEntry> ReadProfile(LPCSTR lpFileName)
{
    std::vector<ProfileEntry> entries;
    std::vector<uint8_t> bytes;
    if (!lpFileName || !ReadWholeFile(lpFileName, bytes))
        return entries;
    std::string text(bytes.begin(), bytes.end()), section;
    bool bInSection = false;
    size_t pos = 0;
    while (pos < text.size())
    {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[')
        {
            size_t close = line.find(']');
            section = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            bInSection = true;
            entries.push_back({section, std::string(), std::string()});
            continue;
        }
        size_t eq = line.find('=');
        if (!bInSection || eq == std::string::npos || eq == 0)
            continue;
        std::string value = Trim(line.substr(eq + 1));
        // A value in matching quotes loses them.
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        entries.push_back({section, Trim(line.substr(0, eq)), value});
    }
    return entries;
}

// Copies a list of names, each ending in a zero, the list ending in a second zero; a list that
// does not fit is cut short, still ending in two zeros, and the result is nSize - 2 as on Windows.
DWORD CopyList(const std::vector<std::string>& names, LPSTR lpOut, DWORD nSize)
{
    if (nSize < 2)
    {
        if (nSize == 1)
            lpOut[0] = 0;
        return 0;
    }
    std::string list;
    for (const std::string& n : names)
        list += n + '\0';
    bool bFits = list.size() + 1 <= nSize;
    size_t n = bFits ? list.size() : nSize - 2;
    std::memcpy(lpOut, list.data(), n);
    lpOut[n] = 0;
    lpOut[n + 1 < nSize ? n + 1 : n] = 0;
    return bFits ? static_cast<DWORD>(list.size()) : nSize - 2;
}

// A name seen before (in any case) is listed once.
void AddName(std::vector<std::string>& names, const std::string& name)
{
    if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return strcasecmp(n.c_str(), name.c_str()) == 0; }))
        names.push_back(name);
}

DWORD CopyText(const std::string& text, LPSTR lpOut, DWORD nSize)
{
    if (nSize == 0)
        return 0;
    size_t n = std::min<size_t>(text.size(), nSize - 1);
    std::memcpy(lpOut, text.data(), n);
    lpOut[n] = 0;
    return static_cast<DWORD>(n);
}
}

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName)
{
    if (!lpReturnedString)
        return 0;
    std::vector<ProfileEntry> entries = ReadProfile(lpFileName);
    std::vector<std::string> names;
    if (!lpAppName)
    {
        for (const ProfileEntry& e : entries)
            if (e.m_strKey.empty())
                AddName(names, e.m_strSection);
        return CopyList(names, lpReturnedString, nSize);
    }
    if (!lpKeyName)
    {
        for (const ProfileEntry& e : entries)
            if (!e.m_strKey.empty() && strcasecmp(e.m_strSection.c_str(), lpAppName) == 0)
                AddName(names, e.m_strKey);
        return CopyList(names, lpReturnedString, nSize);
    }
    for (const ProfileEntry& e : entries)
        if (!e.m_strKey.empty() && strcasecmp(e.m_strSection.c_str(), lpAppName) == 0 &&
            strcasecmp(e.m_strKey.c_str(), lpKeyName) == 0)
            return CopyText(e.m_strValue, lpReturnedString, nSize);
    // The default loses its trailing blanks.
    std::string def = lpDefault ? lpDefault : "";
    def.erase(def.find_last_not_of(' ') + 1);
    return CopyText(def, lpReturnedString, nSize);
}

UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName)
{
    char szValue[64];
    if (!GetPrivateProfileStringA(lpAppName, lpKeyName, "", szValue, sizeof(szValue), lpFileName))
        return static_cast<UINT>(nDefault);
    // Leading digits count; a value with none is 0, as on Windows.
    return static_cast<UINT>(std::strtol(szValue, nullptr, 10));
}
