#include "3dapi/GrowableArray.h"

#include <cstdlib>
#include <cstring>
#include <limits>

GrowableArray::GrowableArray(int32_t nKind, int32_t nElementSize)
    : m_nKind(nKind),
      // Pointers are 8 bytes on this platform, not the 4 of the 32-bit original.
      m_nElementSize(nKind == HOLDS_REFERENCES ? static_cast<int32_t>(sizeof(void*)) : (nElementSize > 0 ? nElementSize : 0))
{
}

GrowableArray::~GrowableArray()
{
    std::free(m_pData);
}

HRESULT GrowableArray::Add(const void* pItem)
{
    if (m_nElementSize == 0)
        return E_FAIL;
    if (!pItem && !HoldsReferences())
        return E_INVALIDARG;
    if (!m_pData || m_nCount == m_nCapacity)
    {
        if (m_nCapacity > std::numeric_limits<uint32_t>::max() / 2)
            return E_OUTOFMEMORY;
        const uint32_t nNewCapacity = m_nCapacity == 0 ? FIRST_CAPACITY : m_nCapacity * 2;
        const size_t nElement = static_cast<size_t>(m_nElementSize);
        if (nNewCapacity > std::numeric_limits<size_t>::max() / nElement)
            return E_OUTOFMEMORY;
        auto* pNewData = static_cast<BYTE*>(std::malloc(nNewCapacity * nElement));
        if (!pNewData)
            return E_OUTOFMEMORY;
        if (m_pData)
            std::memcpy(pNewData, m_pData, m_nCount * nElement);
        std::free(m_pData);
        m_pData = pNewData;
        m_nCapacity = nNewCapacity;
    }
    if (HoldsReferences())
        std::memcpy(Element(m_nCount), &pItem, sizeof(pItem));
    else
        std::memcpy(Element(m_nCount), pItem, static_cast<size_t>(m_nElementSize));
    ++m_nCount;
    return S_OK;
}

void GrowableArray::Remove(int nIndex)
{
    if (nIndex < 0 || static_cast<uint32_t>(nIndex) >= m_nCount)
        return;
    const uint32_t nAfter = m_nCount - 1 - static_cast<uint32_t>(nIndex);
    std::memmove(Element(static_cast<uint32_t>(nIndex)), Element(static_cast<uint32_t>(nIndex) + 1),
                 static_cast<size_t>(nAfter) * static_cast<size_t>(m_nElementSize));
    --m_nCount;
}

void* GrowableArray::Get(int nIndex) const
{
    if (nIndex < 0 || static_cast<uint32_t>(nIndex) >= m_nCount)
        return nullptr;
    BYTE* pElement = Element(static_cast<uint32_t>(nIndex));
    if (!HoldsReferences())
        return pElement;
    void* pStored = nullptr;
    std::memcpy(&pStored, pElement, sizeof(pStored));
    return pStored;
}

bool GrowableArray::Contains(const void* pItem) const
{
    if (!pItem && !HoldsReferences())
        return false;
    for (uint32_t i = 0; i < m_nCount; ++i)
    {
        if (HoldsReferences() ? Get(static_cast<int>(i)) == pItem
                              : std::memcmp(Element(i), pItem, static_cast<size_t>(m_nElementSize)) == 0)
            return true;
    }
    return false;
}
