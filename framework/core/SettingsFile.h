#pragma once
// A small store of named text values, read from and written to a text file of lines
// 'name = value;'. Values are kept as text and read back as a truth value, an int or a text.
// Names are compared without regard to case; the first entry of a name is the one found.
//
// File: one line per entry, in entry order: the name, " = ", the value and ";" CR LF; an empty
// store writes an empty file. Reading is lenient: a name is the next token (a word, a number or
// a single other byte), the reader then looks for the next "=" (across line ends if need be)
// and the value is the text from there to the next ";" (or the end), blanks trimmed at both
// ends. So a value round-trips unless it holds a ";" or starts or ends with blanks, and a name
// round-trips when it is a single word.
#include "core/Array.h"

#include <cstdint>

struct SettingsEntry
{
    char* m_szName;
    uint32_t m_nNameLength;
    char* m_szValue;
    uint32_t m_nValueLength;
};

class SettingsFile
{
public:
    SettingsFile() = default;
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;
    ~SettingsFile() { RemoveAll(); }

    void RemoveAll();
    // Empties the store, then reads the file; false when it cannot be read.
    bool Load(const char* szPath);
    // Written to a temporary file and renamed over the target; false when that fails.
    bool Save(const char* szPath) const;

    // Index of the first entry of that name; false (index untouched) when there is none.
    bool Find(const char* szName, int& nIndex) const;
    // Removes the entry; the last entry takes its place. False when the name is missing.
    bool Remove(const char* szName);

    // The getters leave the output untouched and return false (null) for a missing name.
    bool GetBool(const char* szName, bool& bValue) const;
    // The value's leading decimal number, as atoi reads it, clamped to the int range.
    bool GetInt(const char* szName, int& nValue) const;
    const char* GetString(const char* szName) const;

    // Each changes the first entry of that name or appends a new one; false when memory runs out.
    bool SetBool(const char* szName, bool bValue);
    bool SetInt(const char* szName, int nValue);
    bool SetString(const char* szName, const char* szValue);

    int GetCount() const { return m_Entries.GetCount(); }
    const SettingsEntry& GetEntry(int nIndex) const { return m_Entries[nIndex]; }

private:
    bool Append(const char* pName, size_t nNameLength, const char* pValue, size_t nValueLength);

    Array<SettingsEntry> m_Entries;
};
