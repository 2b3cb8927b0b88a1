#include <win32/resources.h>

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <utility>
#include <vector>

namespace
{
std::vector<std::pair<const ResourceEntry*, size_t>>& Tables()
{
    static std::vector<std::pair<const ResourceEntry*, size_t>> s_Tables;
    return s_Tables;
}
}

void RegisterResourceTable(const ResourceEntry* pEntries, size_t nCount)
{
    if (pEntries && nCount)
        Tables().emplace_back(pEntries, nCount);
}

const ResourceEntry* FindResourceEntry(const char* szType, int nId)
{
    if (!szType)
        return nullptr;
    const auto& tables = Tables();
    for (auto it = tables.rbegin(); it != tables.rend(); ++it)
        for (size_t i = 0; i < it->second; ++i)
        {
            const ResourceEntry& e = it->first[i];
            if (e.m_nId == nId && e.m_szType && strcasecmp(e.m_szType, szType) == 0)
                return &e;
        }
    return nullptr;
}

size_t GetResourceTableCount()
{
    return Tables().size();
}

void TruncateResourceTables(size_t nKeep)
{
    if (nKeep < Tables().size())
        Tables().resize(nKeep);
}

int LoadStringA(HINSTANCE, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax <= 0)
        return 0;
    lpBuffer[0] = 0;
    const ResourceEntry* pEntry = FindResourceEntry("STRING", static_cast<int>(uID));
    if (!pEntry || !pEntry->m_pData)
        return 0;
    const char* pText = static_cast<const char*>(pEntry->m_pData);
    size_t n = 0;
    while (n < pEntry->m_nSize && pText[n])
        ++n;
    n = std::min(n, static_cast<size_t>(cchBufferMax - 1));
    std::memcpy(lpBuffer, pText, n);
    lpBuffer[n] = 0;
    return static_cast<int>(n);
}
