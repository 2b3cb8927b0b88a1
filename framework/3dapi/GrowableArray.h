#pragma once
// The sample framework's growable array of plain records: either values copied in by size, or
// references (pointers) stored as they are. Storage is one malloc block that doubles when full,
// starting at 16 elements.
#include <win32/types.h>

#include <cstdint>

class GrowableArray
{
public:
    enum Kind : int32_t
    {
        HOLDS_VALUES = 0,
        HOLDS_REFERENCES = 1,
    };
    static constexpr uint32_t FIRST_CAPACITY = 16;

    // A reference array stores pointers, whatever element size is given.
    GrowableArray(int32_t nKind, int32_t nElementSize);
    ~GrowableArray();
    GrowableArray(const GrowableArray&) = delete;
    GrowableArray& operator=(const GrowableArray&) = delete;

    // Appends the pointer itself (references) or nElementSize bytes read from it (values).
    // E_FAIL for an array of 0-byte elements, E_INVALIDARG for a null value to copy,
    // E_OUTOFMEMORY when the block cannot grow.
    HRESULT Add(const void* pItem);
    // Later elements move down by one; an index outside the array changes nothing.
    void Remove(int nIndex);
    // The stored pointer (references) or the element's address (values); null outside the array.
    void* Get(int nIndex) const;
    // References compare pointers, values compare their bytes.
    bool Contains(const void* pItem) const;

    uint32_t GetCount() const { return m_nCount; }
    uint32_t GetCapacity() const { return m_nCapacity; }
    int32_t GetElementSize() const { return m_nElementSize; }

private:
    BYTE* Element(uint32_t nIndex) const { return m_pData + static_cast<size_t>(nIndex) * static_cast<size_t>(m_nElementSize); }
    bool HoldsReferences() const { return m_nKind == HOLDS_REFERENCES; }

    int32_t m_nKind;
    BYTE* m_pData = nullptr;
    int32_t m_nElementSize;
    uint32_t m_nCount = 0;
    uint32_t m_nCapacity = 0;
};
