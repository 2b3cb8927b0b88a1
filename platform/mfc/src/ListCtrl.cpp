// CListCtrl's members that do more than send one message: columns and items from their parts,
// item texts and data, and the selected-item positions.
#include <mfc/afxcmn.h>

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

namespace
{
LVITEMA MakeItem(UINT nMask, int nItem, int nSubItem, const char* lpszItem, int nImage, UINT nState, UINT nStateMask,
                 LPARAM lParam)
{
    LVITEMA item{};
    item.mask = nMask;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.pszText = const_cast<char*>(lpszItem);
    item.iImage = nImage;
    item.state = nState;
    item.stateMask = nStateMask;
    item.lParam = lParam;
    return item;
}
}

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListCtrl::InsertColumn(int nCol, const char* lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.fmt = nFormat;
    column.pszText = const_cast<char*>(lpszColumnHeading);
    if (nWidth != -1)
    {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1)
    {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, const char* lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam)
{
    LVITEMA item = MakeItem(nMask, nItem, 0, lpszItem, nImage, nState, nStateMask, lParam);
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int nItem, const char* lpszItem)
{
    return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int nItem, const char* lpszItem, int nImage)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, const char* lpszItem, int nImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    LVITEMA item = MakeItem(nMask, nItem, nSubItem, lpszItem, nImage, nState, nStateMask, lParam);
    return SetItem(&item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // Asks with a growing buffer until the text fits with room to spare.
    for (int nLen = 256;; nLen *= 2)
    {
        CString str;
        int nGot = GetItemText(nItem, nSubItem, str.GetBuffer(nLen), nLen);
        str.ReleaseBuffer();
        if (nGot < nLen - 1)
            return str;
    }
}

int CListCtrl::GetItemText(int nItem, int nSubItem, char* lpszText, int nLen) const
{
    if (!lpszText || nLen <= 0)
        return 0;
    lpszText[0] = 0;
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = lpszText;
    item.cchTextMax = nLen;
    return static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* lpszText)
{
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<char*>(lpszText);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    return SetItem(nItem, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(dwData));
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMA item{};
    item.state = nState;
    item.stateMask = nMask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    return reinterpret_cast<POSITION>(static_cast<INT_PTR>(GetNextItem(-1, LVNI_SELECTED) + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const
{
    int nItem = static_cast<int>(reinterpret_cast<INT_PTR>(pos)) - 1;
    pos = reinterpret_cast<POSITION>(static_cast<INT_PTR>(GetNextItem(nItem, LVNI_SELECTED) + 1));
    return nItem;
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    if (!lpRect)
        return FALSE;
    lpRect->left = static_cast<LONG>(nCode);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    LVHITTESTINFO info{};
    info.pt = pt;
    int nItem = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return nItem;
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    HIMAGELIST hNew = pImageList ? pImageList->GetSafeHandle() : nullptr;
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(nImageListType), reinterpret_cast<LPARAM>(hNew))));
}
