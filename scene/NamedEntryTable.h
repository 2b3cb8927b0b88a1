#pragma once
// A table of named entries, each owning one object and carrying three values, kept in insertion
// order and looked up by name without regard to letter case.
#include "core/Array.h"

#include <cstdint>

// What an entry owns: anything the table can delete through a virtual destructor.
class NamedEntryObject
{
public:
    virtual ~NamedEntryObject() = default;
};

struct NamedEntry
{
    char* m_pszName;   // heap copy, owned
    NamedEntryObject* m_pObject;   // owned; may be null
    int32_t m_nValue1;
    int32_t m_nValue2;
    int32_t m_nValue3;
};

class NamedEntryTable
{
public:
    NamedEntryTable() = default;
    NamedEntryTable(const NamedEntryTable&) = delete;
    NamedEntryTable& operator=(const NamedEntryTable&) = delete;
    ~NamedEntryTable();

    // Appends an entry with a copy of the name (null counts as ""); the table owns pObject from
    // here on. False, with a logged error and the object deleted, when the table cannot grow.
    bool Add(const char* szName, int32_t nValue1, int32_t nValue2, NamedEntryObject* pObject, int32_t nValue3);

    // True at the first entry whose name matches, with its values in the out-parameters. A miss
    // returns false and leaves the first entry's values in them, or leaves them untouched when
    // the table is empty.
    bool Find(const char* szName, int32_t* pValue1, int32_t* pValue2, NamedEntryObject** ppObject,
              int32_t* pValue3) const;

    // Frees every name, deletes every object and entry, and empties the table.
    void Clear();

    int GetCount() const { return m_Entries.GetCount(); }

private:
    Array<NamedEntry*> m_Entries;
};
