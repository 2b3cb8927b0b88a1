#include "core/SettingsFile.h"

#include "core/FileIO.h"
#include "core/Log.h"
#include "core/Tokenizer.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>

namespace
{
// A NUL-terminated malloc copy of n bytes, or null when memory runs out.
char* CopyText(const char* pText, size_t n)
{
    char* p = static_cast<char*>(std::malloc(n + 1));
    if (!p)
        return nullptr;
    std::memcpy(p, pText, n);
    p[n] = '\0';
    return p;
}

// The end of the token starting at nPos, with the tokenizer's rules and IsIdentifierChar as
// the word test: a number runs over digits and full stops, a word over word bytes and digits,
// anything else is one byte.
size_t TokenEnd(const std::vector<uint8_t>& text, size_t nPos)
{
    char c = static_cast<char>(text[nPos]);
    size_t nEnd = nPos + 1;
    if (IsDigitChar(c))
    {
        while (nEnd < text.size() && (IsDigitChar(static_cast<char>(text[nEnd])) || text[nEnd] == '.'))
            ++nEnd;
    }
    else if (IsIdentifierChar(c))
    {
        while (nEnd < text.size() && (IsIdentifierChar(static_cast<char>(text[nEnd])) ||
                                      IsDigitChar(static_cast<char>(text[nEnd]))))
            ++nEnd;
    }
    return nEnd;
}

size_t SkipSpaces(const std::vector<uint8_t>& text, size_t nPos)
{
    while (nPos < text.size() && IsSpaceChar(static_cast<char>(text[nPos])))
        ++nPos;
    return nPos;
}
}

void SettingsFile::RemoveAll()
{
    for (int i = m_Entries.GetCount() - 1; i >= 0; --i)
    {
        std::free(m_Entries[i].m_szName);
        std::free(m_Entries[i].m_szValue);
    }
    m_Entries.Reset();
}

bool SettingsFile::Append(const char* pName, size_t nNameLength, const char* pValue, size_t nValueLength)
{
    if (nNameLength > UINT32_MAX || nValueLength > UINT32_MAX)
        return false;
    SettingsEntry entry = {CopyText(pName, nNameLength), static_cast<uint32_t>(nNameLength),
                           CopyText(pValue, nValueLength), static_cast<uint32_t>(nValueLength)};
    if (!entry.m_szName || !entry.m_szValue || m_Entries.Add(entry) < 0)
    {
        std::free(entry.m_szName);
        std::free(entry.m_szValue);
        return false;
    }
    return true;
}

bool SettingsFile::Load(const char* szPath)
{
    RemoveAll();
    std::vector<uint8_t> text;
    if (!ReadWholeFile(szPath, text))
        return false;
    const char* pText = reinterpret_cast<const char*>(text.data());
    size_t nPos = SkipSpaces(text, 0);
    while (nPos < text.size())
    {
        size_t nNameEnd = TokenEnd(text, nPos);
        size_t nNameStart = nPos;
        // Tokens up to the "=" are skipped; a ";" byte never lies inside a token, nor does "=".
        size_t nEquals = nNameEnd;
        while (nEquals < text.size() && text[nEquals] != '=')
            ++nEquals;
        size_t nValueStart = nEquals < text.size() ? SkipSpaces(text, nEquals + 1) : text.size();
        size_t nSemicolon = nValueStart;
        while (nSemicolon < text.size() && text[nSemicolon] != ';')
            ++nSemicolon;
        size_t nValueEnd = nSemicolon;
        while (nValueEnd > nValueStart && IsSpaceChar(static_cast<char>(text[nValueEnd - 1])))
            --nValueEnd;
        if (!Append(pText + nNameStart, nNameEnd - nNameStart, pText + nValueStart, nValueEnd - nValueStart))
        {
            LogError("SettingsFile::Load() - Out of memory reading %s.", szPath);
            return false;
        }
        nPos = SkipSpaces(text, nSemicolon < text.size() ? nSemicolon + 1 : text.size());
    }
    return true;
}

bool SettingsFile::Save(const char* szPath) const
{
    std::vector<uint8_t> data;
    auto append = [&data](const char* p, size_t n) { data.insert(data.end(), p, p + n); };
    for (int i = 0; i < m_Entries.GetCount(); ++i)
    {
        const SettingsEntry& entry = m_Entries[i];
        append(entry.m_szName, entry.m_nNameLength);
        append(" = ", 3);
        append(entry.m_szValue, entry.m_nValueLength);
        append(";\r\n", 3);
    }
    if (!WriteFileAtomic(szPath, data))
    {
        LogWarning("SettingsFile::Save() - Cannot write %s.", szPath);
        return false;
    }
    return true;
}

bool SettingsFile::Find(const char* szName, int& nIndex) const
{
    if (!szName)
        return false;
    for (int i = 0; i < m_Entries.GetCount(); ++i)
    {
        if (strcasecmp(m_Entries[i].m_szName, szName) == 0)
        {
            nIndex = i;
            return true;
        }
    }
    return false;
}

bool SettingsFile::Remove(const char* szName)
{
    int nIndex;
    if (!Find(szName, nIndex))
        return false;
    std::free(m_Entries[nIndex].m_szName);
    std::free(m_Entries[nIndex].m_szValue);
    m_Entries.RemoveFast(nIndex);
    return true;
}

bool SettingsFile::GetBool(const char* szName, bool& bValue) const
{
    int nValue;
    if (!GetInt(szName, nValue))
        return false;
    bValue = nValue != 0;
    return true;
}

bool SettingsFile::GetInt(const char* szName, int& nValue) const
{
    const char* szValue = GetString(szName);
    if (!szValue)
        return false;
    long nLong = std::strtol(szValue, nullptr, 10);
    if (nLong > INT_MAX)
        nLong = INT_MAX;
    if (nLong < INT_MIN)
        nLong = INT_MIN;
    nValue = static_cast<int>(nLong);
    return true;
}

const char* SettingsFile::GetString(const char* szName) const
{
    int nIndex;
    return Find(szName, nIndex) ? m_Entries[nIndex].m_szValue : nullptr;
}

bool SettingsFile::SetBool(const char* szName, bool bValue)
{
    return SetString(szName, bValue ? "1" : "0");
}

bool SettingsFile::SetInt(const char* szName, int nValue)
{
    char szText[16];
    std::snprintf(szText, sizeof(szText), "%d", nValue);
    return SetString(szName, szText);
}

bool SettingsFile::SetString(const char* szName, const char* szValue)
{
    if (!szName)
        return false;
    if (!szValue)
        szValue = "";
    size_t nLength = std::strlen(szValue);
    int nIndex;
    if (!Find(szName, nIndex))
        return Append(szName, std::strlen(szName), szValue, nLength);
    if (nLength > UINT32_MAX)
        return false;
    char* szCopy = CopyText(szValue, nLength);
    if (!szCopy)
        return false;
    std::free(m_Entries[nIndex].m_szValue);
    m_Entries[nIndex].m_szValue = szCopy;
    m_Entries[nIndex].m_nValueLength = static_cast<uint32_t>(nLength);
    return true;
}
