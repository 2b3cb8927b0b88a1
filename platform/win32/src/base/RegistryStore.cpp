#include "RegistryStore.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <cstdio>
#include <strings.h>
#include <sys/stat.h>

namespace
{
const char* const FILE_HEADER = "; Quenlaris settings: one section per registry key\n";

void AppendQuoted(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text)
    {
        switch (c)
        {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F)
            {
                char hex[8];
                std::snprintf(hex, sizeof(hex), "\\x%02x", c);
                out += hex;
            }
            else
                out += static_cast<char>(c);
        }
    }
    out += '"';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at line[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(const std::string& line, size_t& pos, std::string& text)
{
    if (pos >= line.size() || line[pos] != '"')
        return false;
    ++pos;
    text.clear();
    while (pos < line.size())
    {
        char c = line[pos++];
        if (c == '"')
            return true;
        if (c != '\\')
        {
            text += c;
            continue;
        }
        if (pos >= line.size())
            return false;
        char e = line[pos++];
        switch (e)
        {
        case '"': text += '"'; break;
        case '\\': text += '\\'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case 't': text += '\t'; break;
        case 'x':
        {
            int hi = pos < line.size() ? HexDigit(line[pos]) : -1;
            int lo = pos + 1 < line.size() ? HexDigit(line[pos + 1]) : -1;
            if (hi < 0 || lo < 0)
                return false;
            text += static_cast<char>(hi * 16 + lo);
            pos += 2;
            break;
        }
        default: return false;
        }
    }
    return false;
}

bool ParseDword(const std::string& s, std::vector<uint8_t>& data)
{
    if (s.size() != 8)
        return false;
    uint32_t v = 0;
    for (char c : s)
    {
        int d = HexDigit(c);
        if (d < 0)
            return false;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
    return true;
}

bool ParseHex(const std::string& s, std::vector<uint8_t>& data)
{
    data.clear();
    size_t i = 0;
    while (i < s.size())
    {
        if (i + 2 > s.size())
            return false;
        int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        data.push_back(static_cast<uint8_t>(hi * 16 + lo));
        i += 2;
        if (i < s.size() && s[i++] != ',')
            return false;
        if (i == s.size() && s.back() == ',')
            return false;
    }
    return true;
}

// One value line: "name"=..., or @=... for the unnamed value.
bool ParseValueLine(const std::string& line, RegistryValue& value)
{
    size_t pos = 0;
    if (line[0] == '@')
    {
        value.m_strName.clear();
        pos = 1;
    }
    else if (!ReadQuoted(line, pos, value.m_strName))
        return false;
    if (pos >= line.size() || line[pos] != '=')
        return false;
    ++pos;
    if (pos < line.size() && line[pos] == '"')
    {
        std::string text;
        if (!ReadQuoted(line, pos, text) || pos != line.size() || text.find('\0') != std::string::npos)
            return false;
        value.m_nType = REG_SZ;
        value.m_Data.assign(text.begin(), text.end());
        return true;
    }
    std::string rest = line.substr(pos);
    if (rest.rfind("dword:", 0) == 0)
    {
        value.m_nType = REG_DWORD;
        return ParseDword(rest.substr(6), value.m_Data);
    }
    if (rest.rfind("hex:", 0) == 0)
    {
        value.m_nType = REG_BINARY;
        return ParseHex(rest.substr(4), value.m_Data);
    }
    return false;
}
}

RegistryValue* RegistryKey::FindValue(const char* szName)
{
    std::string name = szName ? szName : "";
    for (RegistryValue& v : m_Values)
        if (RegistryStore::SameName(v.m_strName, name))
            return &v;
    return nullptr;
}

std::string RegistryStore::NormalizePath(const std::string& strPath)
{
    std::string out;
    size_t i = 0;
    while (i < strPath.size())
    {
        size_t end = strPath.find('\\', i);
        if (end == std::string::npos)
            end = strPath.size();
        if (end > i)
        {
            if (!out.empty())
                out += '\\';
            out.append(strPath, i, end - i);
        }
        i = end + 1;
    }
    return out;
}

bool RegistryStore::SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

void RegistryStore::Clear()
{
    m_Keys.clear();
}

RegistryKey* RegistryStore::FindKey(const std::string& strPath)
{
    for (RegistryKey& k : m_Keys)
        if (SameName(k.m_strPath, strPath))
            return &k;
    return nullptr;
}

bool RegistryStore::KeyExists(const std::string& strPath)
{
    for (const RegistryKey& k : m_Keys)
        if (k.m_strPath.size() >= strPath.size() && strncasecmp(k.m_strPath.c_str(), strPath.c_str(), strPath.size()) == 0
            && (k.m_strPath.size() == strPath.size() || k.m_strPath[strPath.size()] == '\\'))
            return true;
    return false;
}

RegistryKey& RegistryStore::CreateKey(const std::string& strPath, bool& bCreated)
{
    bCreated = false;
    if (RegistryKey* pKey = FindKey(strPath))
        return *pKey;
    bCreated = !KeyExists(strPath);
    m_Keys.push_back(RegistryKey{strPath, {}});
    return m_Keys.back();
}

void RegistryStore::Parse(const std::string& strText, const char* szSource)
{
    RegistryKey* pKey = nullptr;
    size_t pos = 0;
    int nLine = 0;
    while (pos < strText.size())
    {
        size_t end = strText.find('\n', pos);
        if (end == std::string::npos)
            end = strText.size();
        std::string line = strText.substr(pos, end - pos);
        pos = end + 1;
        ++nLine;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        bool bGood = false;
        if (line[0] == '[')
        {
            std::string path = line.size() > 2 && line.back() == ']' ? NormalizePath(line.substr(1, line.size() - 2)) : "";
            if (!path.empty())
            {
                bool bCreated;
                pKey = &CreateKey(path, bCreated);
                bGood = true;
            }
            else
                pKey = nullptr;   // values below a broken section header have no home
        }
        else if (pKey)
        {
            RegistryValue value;
            if (ParseValueLine(line, value))
            {
                bGood = true;
                if (RegistryValue* pOld = pKey->FindValue(value.m_strName.c_str()))
                    *pOld = std::move(value);
                else
                    pKey->m_Values.push_back(std::move(value));
            }
        }
        if (!bGood)
            LogWarning("RegistryStore::Load() - line %d of %s is damaged; skipped.", nLine, szSource);
    }
}

std::string RegistryStore::Format() const
{
    std::string out = FILE_HEADER;
    for (const RegistryKey& k : m_Keys)
    {
        out += '[';
        out += k.m_strPath;
        out += "]\n";
        for (const RegistryValue& v : k.m_Values)
        {
            if (v.m_strName.empty())
                out += '@';
            else
                AppendQuoted(out, v.m_strName);
            out += '=';
            char buf[16];
            switch (v.m_nType)
            {
            case REG_DWORD:
                std::snprintf(buf, sizeof(buf), "dword:%08x",
                              static_cast<unsigned>(v.m_Data[0] | v.m_Data[1] << 8 | v.m_Data[2] << 16 |
                                                    static_cast<uint32_t>(v.m_Data[3]) << 24));
                out += buf;
                break;
            case REG_SZ:
                AppendQuoted(out, std::string(v.m_Data.begin(), v.m_Data.end()));
                break;
            default:
                out += "hex:";
                for (size_t i = 0; i < v.m_Data.size(); ++i)
                {
                    std::snprintf(buf, sizeof(buf), i ? ",%02x" : "%02x", v.m_Data[i]);
                    out += buf;
                }
            }
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

bool RegistryStore::Load(const std::string& strFile)
{
    Clear();
    struct stat st{};
    if (stat(strFile.c_str(), &st) != 0)
        return true;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(strFile.c_str(), bytes))
    {
        LogWarning("RegistryStore::Load() - cannot read %s.", strFile.c_str());
        return false;
    }
    Parse(std::string(bytes.begin(), bytes.end()), strFile.c_str());
    return true;
}

bool RegistryStore::Save(const std::string& strFile) const
{
    std::string text = Format();
    return WriteFileAtomic(strFile.c_str(), text.data(), text.size());
}
