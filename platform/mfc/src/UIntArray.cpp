#include <mfc/afxcoll.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CUIntArray, CObject)

void CUIntArray::SetSize(INT_PTR nNewSize)
{
    m_Items.resize(static_cast<size_t>(std::max<INT_PTR>(nNewSize, 0)), 0);
}

INT_PTR CUIntArray::Add(UINT nElement)
{
    m_Items.push_back(nElement);
    return GetSize() - 1;
}

UINT CUIntArray::GetAt(INT_PTR nIndex) const
{
    return nIndex >= 0 && nIndex < GetSize() ? m_Items[static_cast<size_t>(nIndex)] : 0;
}

void CUIntArray::SetAt(INT_PTR nIndex, UINT nElement)
{
    if (nIndex >= 0 && nIndex < GetSize())
        m_Items[static_cast<size_t>(nIndex)] = nElement;
}

void CUIntArray::SetAtGrow(INT_PTR nIndex, UINT nElement)
{
    if (nIndex < 0)
        return;
    if (nIndex >= GetSize())
        SetSize(nIndex + 1);
    m_Items[static_cast<size_t>(nIndex)] = nElement;
}

void CUIntArray::InsertAt(INT_PTR nIndex, UINT nElement, INT_PTR nCount)
{
    if (nIndex < 0 || nCount <= 0)
        return;
    if (nIndex > GetSize())
        SetSize(nIndex);
    m_Items.insert(m_Items.begin() + nIndex, static_cast<size_t>(nCount), nElement);
}

void CUIntArray::RemoveAt(INT_PTR nIndex, INT_PTR nCount)
{
    if (nIndex < 0 || nIndex >= GetSize() || nCount <= 0)
        return;
    INT_PTR nEnd = std::min(nIndex + nCount, GetSize());
    m_Items.erase(m_Items.begin() + nIndex, m_Items.begin() + nEnd);
}
