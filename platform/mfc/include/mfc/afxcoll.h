#pragma once
// The collection the toolkit uses: a growable array of UINT.
#include <mfc/afxobj.h>

#include <vector>

class CUIntArray : public CObject
{
    DECLARE_DYNAMIC(CUIntArray)
public:
    CUIntArray() = default;
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_Items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_Items.empty(); }
    // Grows with zeros or shrinks to nNewSize (a negative size empties it).
    void SetSize(INT_PTR nNewSize);
    INT_PTR Add(UINT nElement);
    // The element at nIndex; 0 for an index outside the array.
    UINT GetAt(INT_PTR nIndex) const;
    void SetAt(INT_PTR nIndex, UINT nElement);
    // Sets the element, growing the array as needed.
    void SetAtGrow(INT_PTR nIndex, UINT nElement);
    void InsertAt(INT_PTR nIndex, UINT nElement, INT_PTR nCount = 1);
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);
    void RemoveAll() { m_Items.clear(); }
    UINT operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    UINT* GetData() { return m_Items.data(); }

private:
    std::vector<UINT> m_Items;
};
