#include "scene/NamedEntryTable.h"

#include "core/Log.h"

#include <cstring>
#include <strings.h>

namespace
{
void CopyOut(const NamedEntry& entry, int32_t* pValue1, int32_t* pValue2, NamedEntryObject** ppObject,
             int32_t* pValue3)
{
    *pValue1 = entry.m_nValue1;
    *pValue2 = entry.m_nValue2;
    *ppObject = entry.m_pObject;
    *pValue3 = entry.m_nValue3;
}
}

NamedEntryTable::~NamedEntryTable()
{
    Clear();
}

bool NamedEntryTable::Add(const char* szName, int32_t nValue1, int32_t nValue2, NamedEntryObject* pObject,
                          int32_t nValue3)
{
    const char* szText = szName ? szName : "";
    size_t nLength = std::strlen(szText);
    char* pszName = new char[nLength + 1];
    std::memcpy(pszName, szText, nLength + 1);
    NamedEntry* pEntry = new NamedEntry{pszName, pObject, nValue1, nValue2, nValue3};
    if (m_Entries.Add(pEntry) < 0)
    {
        LogError("NamedEntryTable::Add() - the table cannot grow; entry \"%s\" dropped.", szText);
        delete[] pszName;
        delete pObject;
        delete pEntry;
        return false;
    }
    return true;
}

bool NamedEntryTable::Find(const char* szName, int32_t* pValue1, int32_t* pValue2, NamedEntryObject** ppObject,
                           int32_t* pValue3) const
{
    int nCount = m_Entries.GetCount();
    if (nCount == 0)
        return false;
    const char* szText = szName ? szName : "";
    for (int i = 0; i < nCount; ++i)
    {
        if (strcasecmp(m_Entries[i]->m_pszName, szText) == 0)
        {
            CopyOut(*m_Entries[i], pValue1, pValue2, ppObject, pValue3);
            return true;
        }
    }
    CopyOut(*m_Entries[0], pValue1, pValue2, ppObject, pValue3);
    return false;
}

void NamedEntryTable::Clear()
{
    for (int i = 0; i < m_Entries.GetCount(); ++i)
    {
        NamedEntry* pEntry = m_Entries[i];
        delete[] pEntry->m_pszName;
        delete pEntry->m_pObject;
        delete pEntry;
    }
    m_Entries.Clear();
}
