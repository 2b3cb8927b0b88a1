#include "mfc_gui/ToolBarResource.h"

#include <win32/resources.h>

bool ReadToolBarResource(UINT nId, ToolBarResource& toolbar)
{
    const ResourceEntry* pEntry = FindResourceEntry("TOOLBAR", static_cast<int>(nId));
    if (!pEntry || pEntry->m_nSize < 8)
        return false;
    const auto* p = static_cast<const BYTE*>(pEntry->m_pData);
    auto word = [p](size_t i) { return static_cast<UINT>(p[i * 2] | p[i * 2 + 1] << 8); };
    const UINT nCount = word(3);
    if (word(0) != 1 || pEntry->m_nSize < (4 + static_cast<size_t>(nCount)) * 2)
        return false;
    toolbar.m_nWidth = static_cast<int>(word(1));
    toolbar.m_nHeight = static_cast<int>(word(2));
    toolbar.m_Ids.clear();
    for (UINT i = 0; i < nCount; ++i)
        toolbar.m_Ids.push_back(word(4 + i));
    return true;
}
