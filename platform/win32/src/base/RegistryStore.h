#pragma once
// The registry's keys and values in memory, and their text file: a section "[ROOT\Key\Path]" per
// key and one line per value, "name"=dword:0000000c, "name"="text" or "name"=hex:01,02 (the
// unnamed value is @). Names compare without regard to case; values keep insertion order.
#include <win32/registry.h>

#include <cstdint>
#include <string>
#include <vector>

struct RegistryValue
{
    std::string m_strName;
    DWORD m_nType = 0;
    std::vector<uint8_t> m_Data;   // REG_SZ: the text without its terminating zero
};

struct RegistryKey
{
    std::string m_strPath;          // "HKEY_LOCAL_MACHINE\SOFTWARE\Oskel", as first created
    std::vector<RegistryValue> m_Values;

    RegistryValue* FindValue(const char* szName);
};

class RegistryStore
{
public:
    // "a\\b\" and "A\B" are the same key: components are joined by one backslash.
    static std::string NormalizePath(const std::string& strPath);
    static bool SameName(const std::string& a, const std::string& b);

    void Clear();
    RegistryKey* FindKey(const std::string& strPath);
    // True for a stored key and for every ancestor of one.
    bool KeyExists(const std::string& strPath);
    RegistryKey& CreateKey(const std::string& strPath, bool& bCreated);

    // Reads the text; a damaged line is skipped with a warning naming szSource and the line.
    void Parse(const std::string& strText, const char* szSource);
    std::string Format() const;

    // A missing file is an empty registry; Save writes a temporary file and renames it.
    bool Load(const std::string& strFile);
    bool Save(const std::string& strFile) const;

private:
    std::vector<RegistryKey> m_Keys;
};
