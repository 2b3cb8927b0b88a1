#pragma once
// Resources by id. The build embeds the resource files (res/, tracer/shaders/) as tables of
// entries that register themselves here at start-up; FindResource/LoadResource-style lookups of
// the layer and D3DX's assembly-from-resource read them.
#include <win32/types.h>

#include <cstddef>

struct ResourceEntry
{
    const char* m_szType;   // "PSH", "VSH", "BITMAP", "DIALOG", ... compared without case
    int m_nId;
    const void* m_pData;
    size_t m_nSize;
};

// Adds a table (kept by pointer: it must live for the process). A later entry with the same
// type and id replaces an earlier one, so tests can override a resource.
void RegisterResourceTable(const ResourceEntry* pEntries, size_t nCount);
// The entry of that type and id, or null.
const ResourceEntry* FindResourceEntry(const char* szType, int nId);
// Forgets every table registered after the first nKeep (tests restore the state they found).
size_t GetResourceTableCount();
void TruncateResourceTables(size_t nKeep);

// The string table: entries of type "STRING" whose data is the text (a terminating zero is
// optional). Copies at most cchBufferMax - 1 bytes and a zero; returns the length copied, 0 when
// the string is missing.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
#define LoadString LoadStringA
