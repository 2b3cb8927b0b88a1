#include <win32/resources.h>

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
