#include "scene/PointerArray.h"

#include "core/Log.h"

#include <cstring>
#include <new>

PointerArray::PointerArray()
{
    m_ppItems = NewBlock(FIRST_CAPACITY, 0);
    if (m_ppItems)
        m_nCapacity = FIRST_CAPACITY;
}

PointerArray::~PointerArray()
{
    delete[] m_ppItems;
}

void** PointerArray::NewBlock(uint32_t nSlots, uint32_t nCopy) const
{
    void** ppBlock = new (std::nothrow) void*[nSlots]();
    if (!ppBlock)
    {
        LogError("PointerArray::NewBlock() - cannot allocate %u slots.", nSlots);
        return nullptr;
    }
    if (nCopy)
        std::memcpy(ppBlock, m_ppItems, nCopy * sizeof(void*));
    return ppBlock;
}

void* PointerArray::Get(uint32_t nIndex) const
{
    return nIndex < m_nCount ? m_ppItems[nIndex] : nullptr;
}

int PointerArray::Add(void* pItem)
{
    if (m_nCapacity <= m_nCount)
    {
        void** ppBlock = NewBlock(m_nCapacity + GROWTH, m_nCount);
        if (!ppBlock)
            return -1;
        delete[] m_ppItems;
        m_ppItems = ppBlock;
        m_nCapacity += GROWTH;
    }
    m_ppItems[m_nCount++] = pItem;
    return static_cast<int>(m_nCount - 1);
}

void PointerArray::InsertAt(uint32_t nIndex, void* pItem)
{
    if (nIndex >= m_nCount)
    {
        Add(pItem);
        return;
    }
    // A new block every time, as the list has always done; it grows only when full.
    uint32_t nCapacity = m_nCapacity <= m_nCount ? m_nCapacity + GROWTH : m_nCapacity;
    void** ppBlock = NewBlock(nCapacity, nIndex);
    if (!ppBlock)
        return;
    ppBlock[nIndex] = pItem;
    std::memcpy(ppBlock + nIndex + 1, m_ppItems + nIndex, (m_nCount - nIndex) * sizeof(void*));
    delete[] m_ppItems;
    m_ppItems = ppBlock;
    m_nCapacity = nCapacity;
    ++m_nCount;
}

int PointerArray::RemoveAt(uint32_t nIndex)
{
    if (nIndex >= m_nCount)
        return 0;
    std::memmove(m_ppItems + nIndex, m_ppItems + nIndex + 1, (m_nCount - nIndex - 1) * sizeof(void*));
    --m_nCount;
    return 0;
}

void PointerArray::SetAt(uint32_t nIndex, void* pItem)
{
    if (nIndex < m_nCount)
        m_ppItems[nIndex] = pItem;
}

void PointerArray::Reset()
{
    delete[] m_ppItems;
    m_nCount = 0;
    m_ppItems = NewBlock(RESET_CAPACITY, 0);
    m_nCapacity = m_ppItems ? RESET_CAPACITY : 0;
}
