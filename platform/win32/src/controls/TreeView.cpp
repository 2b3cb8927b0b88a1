// The tree view control: items in a tree of siblings, selection, expansion, navigation, item
// rectangles and hit testing, with the TVN_ notifications to the parent. Notifications may call
// back into the control (even delete items), so handles are looked up again after each one.
#include "TreeView.h"

#include <win32/gdi.h>
#include <win32/layer.h>
#include <win32/winbase.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace
{
ControlStore<TreeView>& Trees()
{
    static ControlStore<TreeView> s_Trees;
    return s_Trees;
}

// WM_GETDLGCODE: DLGC_WANTARROWS | DLGC_WANTCHARS, so a dialog leaves the arrows to the tree.
const LRESULT WANT_ARROWS_AND_CHARS = 0x0081;
}

TreeItem* TreeView::Find(HTREEITEM hItem) const
{
    auto it = m_Items.find(hItem);
    return it == m_Items.end() ? nullptr : it->second;
}

std::vector<std::unique_ptr<TreeItem>>& TreeView::SiblingsOf(TreeItem* pParent)
{
    return pParent ? pParent->m_Children : m_Roots;
}

int TreeView::IndexInParent(const TreeItem* pItem)
{
    auto& siblings = SiblingsOf(pItem->m_pParent);
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == pItem)
            return static_cast<int>(i);
    return -1;
}

bool TreeView::IsInSubtree(const TreeItem* pTop, HTREEITEM hItem) const
{
    for (const TreeItem* p = Find(hItem); p; p = p->m_pParent)
        if (p == pTop)
            return true;
    return false;
}

// ---- Items

HTREEITEM TreeView::Insert(const TVINSERTSTRUCTA& insert)
{
    TreeItem* pParent = nullptr;
    if (insert.hParent && insert.hParent != TVI_ROOT && !(pParent = Find(insert.hParent)))
        return nullptr;
    auto& siblings = SiblingsOf(pParent);
    size_t nAt = siblings.size();
    const TVITEMA& in = insert.item;
    std::string strText = (in.mask & TVIF_TEXT) && in.pszText && in.pszText != LPSTR_TEXTCALLBACKA ? in.pszText : "";
    if (insert.hInsertAfter == TVI_FIRST)
        nAt = 0;
    else if (insert.hInsertAfter == TVI_SORT)
    {
        // After the last sibling whose text does not sort after the new one (case ignored).
        nAt = 0;
        while (nAt < siblings.size() && lstrcmpiA(siblings[nAt]->m_strText.c_str(), strText.c_str()) <= 0)
            ++nAt;
    }
    else if (insert.hInsertAfter && insert.hInsertAfter != TVI_LAST)
    {
        TreeItem* pAfter = Find(insert.hInsertAfter);
        if (!pAfter || pAfter->m_pParent != pParent)
            return nullptr;
        nAt = static_cast<size_t>(IndexInParent(pAfter)) + 1;
    }
    auto pItem = std::make_unique<TreeItem>();
    pItem->m_hItem = reinterpret_cast<HTREEITEM>(m_nNextHandle++);
    pItem->m_pParent = pParent;
    pItem->m_strText = std::move(strText);
    if (in.mask & TVIF_IMAGE)
        pItem->m_nImage = in.iImage;
    if (in.mask & TVIF_SELECTEDIMAGE)
        pItem->m_nSelectedImage = in.iSelectedImage;
    if (in.mask & TVIF_PARAM)
        pItem->m_lParam = in.lParam;
    if (in.mask & TVIF_CHILDREN)
        pItem->m_nChildrenHint = in.cChildren;
    if (in.mask & TVIF_STATE)
        pItem->m_nState = in.state & in.stateMask & ~static_cast<UINT>(TVIS_SELECTED);
    HTREEITEM hItem = pItem->m_hItem;
    m_Items[hItem] = pItem.get();
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(nAt), std::move(pItem));
    Redraw();
    return hItem;
}

void TreeView::Forget(TreeItem* pItem)
{
    for (auto& pChild : pItem->m_Children)
        Forget(pChild.get());
    m_Items.erase(pItem->m_hItem);
    if (m_hDropHilite == pItem->m_hItem)
        m_hDropHilite = nullptr;
    if (m_hSelected == pItem->m_hItem)
        m_hSelected = nullptr;
}

bool TreeView::Delete(HTREEITEM hItem)
{
    if (!hItem || hItem == TVI_ROOT)
    {
        // Everything goes: the selection is cleared once, not moved from item to item.
        if (m_hSelected)
            Select(nullptr, TVC_UNKNOWN, true);
        while (!m_Roots.empty())
            if (!Delete(m_Roots.back()->m_hItem))
                break;
        m_nTopRow = m_nScrollX = 0;
        return true;
    }
    TreeItem* pItem = Find(hItem);
    if (!pItem)
        return false;
    if (IsInSubtree(pItem, m_hSelected))
    {
        // The selection moves to the next sibling, else the parent, else the previous sibling.
        auto& siblings = SiblingsOf(pItem->m_pParent);
        int nIndex = IndexInParent(pItem);
        HTREEITEM hNew = nullptr;
        if (nIndex + 1 < static_cast<int>(siblings.size()))
            hNew = siblings[static_cast<size_t>(nIndex) + 1]->m_hItem;
        else if (pItem->m_pParent)
            hNew = pItem->m_pParent->m_hItem;
        else if (nIndex > 0)
            hNew = siblings[static_cast<size_t>(nIndex) - 1]->m_hItem;
        Select(hNew, TVC_UNKNOWN, true);
        if (!(pItem = Find(hItem)))
            return true;
    }
    // The parent hears of every item going, deepest first, while the items still exist.
    std::vector<HTREEITEM> order;
    std::function<void(const TreeItem*)> collect = [&](const TreeItem* p) {
        for (const auto& pChild : p->m_Children)
            collect(pChild.get());
        order.push_back(p->m_hItem);
    };
    collect(pItem);
    for (HTREEITEM h : order)
    {
        NMTREEVIEWA nm{};
        FillNotifyItem(h, nm.itemOld);
        if (Find(h))
            Notify(TVN_DELETEITEM, nm);
    }
    if (!(pItem = Find(hItem)))
        return true;
    Forget(pItem);
    auto& siblings = SiblingsOf(pItem->m_pParent);
    siblings.erase(siblings.begin() + IndexInParent(pItem));
    SetTopRow(m_nTopRow);
    Redraw();
    return true;
}

bool TreeView::Expand(HTREEITEM hItem, UINT nAction)
{
    TreeItem* pItem = Find(hItem);
    if (!pItem)
        return false;
    UINT nKind = nAction & TVE_TOGGLE;
    bool bExpand = nKind == TVE_EXPAND || (nKind == TVE_TOGGLE && !pItem->IsExpanded());
    if (nKind == 0 || !pItem->HasChildren() || bExpand == pItem->IsExpanded())
        return false;
    NMTREEVIEWA nm{};
    nm.action = bExpand ? TVE_EXPAND : TVE_COLLAPSE;
    FillNotifyItem(hItem, nm.itemNew);
    if (Notify(TVN_ITEMEXPANDING, nm) || !(pItem = Find(hItem)))
        return false;
    if (bExpand)
        pItem->m_nState |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    else
    {
        pItem->m_nState &= ~static_cast<UINT>(TVIS_EXPANDED);
        if (nAction & TVE_COLLAPSERESET)
        {
            for (auto& pChild : pItem->m_Children)
                Forget(pChild.get());
            pItem->m_Children.clear();
            pItem->m_nState &= ~static_cast<UINT>(TVIS_EXPANDEDONCE);
        }
    }
    SetTopRow(m_nTopRow);
    Redraw();
    FillNotifyItem(hItem, nm.itemNew);
    Notify(TVN_ITEMEXPANDED, nm);
    // A selection hidden by the collapse moves up to the collapsed item.
    if (!bExpand && (pItem = Find(hItem)) && m_hSelected != hItem && IsInSubtree(pItem, m_hSelected))
        Select(hItem, TVC_UNKNOWN, true);
    return true;
}

bool TreeView::Select(HTREEITEM hItem, UINT nCause, bool bForce)
{
    if (hItem && !Find(hItem))
        return false;
    if (hItem == m_hSelected)
        return true;
    HTREEITEM hOld = m_hSelected;
    NMTREEVIEWA nm{};
    nm.action = nCause;
    FillNotifyItem(m_hSelected, nm.itemOld);
    FillNotifyItem(hItem, nm.itemNew);
    if (Notify(TVN_SELCHANGING, nm) && !bForce)
        return false;
    if (hItem && !Find(hItem))
        return false;
    hOld = m_hSelected;
    if (TreeItem* pOld = Find(m_hSelected))
        pOld->m_nState &= ~static_cast<UINT>(TVIS_SELECTED);
    m_hSelected = hItem;
    if (TreeItem* pNew = Find(hItem))
        pNew->m_nState |= TVIS_SELECTED;
    Redraw();
    if (hItem)
        EnsureVisible(hItem);
    FillNotifyItem(hOld, nm.itemOld);
    FillNotifyItem(hItem, nm.itemNew);
    Notify(TVN_SELCHANGED, nm);
    return true;
}

bool TreeView::EnsureVisible(HTREEITEM hItem)
{
    TreeItem* pItem = Find(hItem);
    if (!pItem)
        return false;
    std::vector<HTREEITEM> ancestors;
    for (TreeItem* p = pItem->m_pParent; p; p = p->m_pParent)
        ancestors.push_back(p->m_hItem);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        if (TreeItem* p = Find(*it); p && !p->IsExpanded())
            Expand(*it, TVE_EXPAND);
    std::vector<TreeRow> rows = Rows();
    auto row = std::find_if(rows.begin(), rows.end(), [&](const TreeRow& r) { return r.m_pItem->m_hItem == hItem; });
    if (row == rows.end())
        return false;
    int nRow = static_cast<int>(row - rows.begin());
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int nVisible = std::max(1, static_cast<int>(rc.bottom) / ItemHeight());
    if (nRow < m_nTopRow)
        SetTopRow(nRow);
    else if (nRow >= m_nTopRow + nVisible)
        SetTopRow(nRow - nVisible + 1);
    return true;
}

HTREEITEM TreeView::Next(UINT nCode, HTREEITEM hItem)
{
    TreeItem* pItem = Find(hItem);
    auto firstOf = [](const std::vector<std::unique_ptr<TreeItem>>& v) { return v.empty() ? nullptr : v.front()->m_hItem; };
    switch (nCode)
    {
    case TVGN_ROOT: return firstOf(m_Roots);
    case TVGN_CARET: return m_hSelected;
    case TVGN_DROPHILITE: return m_hDropHilite;
    case TVGN_CHILD:
        if (!hItem || hItem == TVI_ROOT)
            return firstOf(m_Roots);
        return pItem ? firstOf(pItem->m_Children) : nullptr;
    case TVGN_PARENT: return pItem && pItem->m_pParent ? pItem->m_pParent->m_hItem : nullptr;
    case TVGN_NEXT:
    case TVGN_PREVIOUS:
    {
        if (!pItem)
            return nullptr;
        auto& siblings = SiblingsOf(pItem->m_pParent);
        int nAt = IndexInParent(pItem) + (nCode == TVGN_NEXT ? 1 : -1);
        return nAt >= 0 && nAt < static_cast<int>(siblings.size()) ? siblings[static_cast<size_t>(nAt)]->m_hItem : nullptr;
    }
    default: break;
    }
    std::vector<TreeRow> rows = Rows();
    if (rows.empty())
        return nullptr;
    if (nCode == TVGN_FIRSTVISIBLE)
        return rows[static_cast<size_t>(std::min<int>(m_nTopRow, static_cast<int>(rows.size()) - 1))].m_pItem->m_hItem;
    if (nCode == TVGN_LASTVISIBLE)
        return rows.back().m_pItem->m_hItem;
    auto it = std::find_if(rows.begin(), rows.end(), [&](const TreeRow& r) { return r.m_pItem == pItem; });
    if (it == rows.end())
        return nullptr;
    if (nCode == TVGN_NEXTVISIBLE)
        return it + 1 == rows.end() ? nullptr : (it + 1)->m_pItem->m_hItem;
    if (nCode == TVGN_PREVIOUSVISIBLE)
        return it == rows.begin() ? nullptr : (it - 1)->m_pItem->m_hItem;
    return nullptr;
}

bool TreeView::GetItem(TVITEMA& item) const
{
    const TreeItem* pItem = Find(item.hItem);
    if (!pItem)
        return false;
    if ((item.mask & TVIF_TEXT) && item.pszText && item.cchTextMax > 0)
    {
        size_t n = std::min(pItem->m_strText.size(), static_cast<size_t>(item.cchTextMax - 1));
        pItem->m_strText.copy(item.pszText, n);
        item.pszText[n] = 0;
    }
    if (item.mask & TVIF_IMAGE)
        item.iImage = pItem->m_nImage;
    if (item.mask & TVIF_SELECTEDIMAGE)
        item.iSelectedImage = pItem->m_nSelectedImage;
    if (item.mask & TVIF_PARAM)
        item.lParam = pItem->m_lParam;
    if (item.mask & TVIF_STATE)
        item.state = pItem->m_nState & item.stateMask;
    if (item.mask & TVIF_CHILDREN)
        item.cChildren = pItem->HasChildren() ? 1 : 0;
    return true;
}

bool TreeView::SetItem(const TVITEMA& item)
{
    TreeItem* pItem = Find(item.hItem);
    if (!pItem)
        return false;
    if (item.mask & TVIF_TEXT)
        pItem->m_strText = item.pszText && item.pszText != LPSTR_TEXTCALLBACKA ? item.pszText : "";
    if (item.mask & TVIF_IMAGE)
        pItem->m_nImage = item.iImage;
    if (item.mask & TVIF_SELECTEDIMAGE)
        pItem->m_nSelectedImage = item.iSelectedImage;
    if (item.mask & TVIF_PARAM)
        pItem->m_lParam = item.lParam;
    if (item.mask & TVIF_CHILDREN)
        pItem->m_nChildrenHint = item.cChildren;
    if (item.mask & TVIF_STATE)
    {
        // The selection is the caret's alone: it moves with TVM_SELECTITEM.
        UINT nMask = item.stateMask & ~static_cast<UINT>(TVIS_SELECTED);
        pItem->m_nState = (pItem->m_nState & ~nMask) | (item.state & nMask);
    }
    Redraw();
    return true;
}

void TreeView::FillNotifyItem(HTREEITEM hItem, TVITEMA& out) const
{
    out = TVITEMA{};
    if (const TreeItem* pItem = Find(hItem))
    {
        out.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
        out.hItem = hItem;
        out.state = pItem->m_nState;
        out.stateMask = 0xFFFF;
        out.lParam = pItem->m_lParam;
    }
}

LRESULT TreeView::Notify(UINT nCode, NMTREEVIEWA& nm)
{
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(m_hWnd, &pt);
    nm.ptDrag = pt;
    return NotifyParentNm(m_hWnd, nCode, &nm.hdr);
}

// ---- Layout

std::vector<TreeRow> TreeView::Rows() const
{
    std::vector<TreeRow> rows;
    std::function<void(const std::vector<std::unique_ptr<TreeItem>>&, int)> walk = [&](const auto& items, int nLevel) {
        for (const auto& p : items)
        {
            rows.push_back({p.get(), nLevel});
            if (p->IsExpanded())
                walk(p->m_Children, nLevel + 1);
        }
    };
    walk(m_Roots, 0);
    return rows;
}

int TreeView::ItemHeight()
{
    if (m_nItemHeight > 0)
        return m_nItemHeight;
    // The text and a little air, rounded up to an even height so dotted lines join row to row.
    int nHeight = FontLineHeight(m_hFont) + 3;
    return nHeight + (nHeight & 1);
}

int TreeView::LabelLeft(int nLevel) const
{
    DWORD nStyle = Style();
    bool bRootColumn = (nStyle & TVS_LINESATROOT) && (nStyle & (TVS_HASLINES | TVS_HASBUTTONS));
    return (nLevel + (bRootColumn ? 1 : 0)) * m_nIndent;
}

int TreeView::TextWidth(const std::string& strText)
{
    HDC hdc = GetDC(m_hWnd);
    HGDIOBJ hOld = SelectObject(hdc, Font());
    SIZE size{};
    GetTextExtentPoint32A(hdc, strText.c_str(), static_cast<int>(strText.size()), &size);
    SelectObject(hdc, hOld);
    ReleaseDC(m_hWnd, hdc);
    return size.cx;
}

int TreeView::ContentWidth()
{
    int nWidth = 0;
    for (const TreeRow& row : Rows())
        nWidth = std::max(nWidth, LabelLeft(row.m_nLevel) + LabelWidth(row.m_pItem->m_strText));
    return nWidth;
}

COLORREF TreeView::BackColor() const
{
    return m_crBack == static_cast<COLORREF>(-1) ? GetSysColor(COLOR_WINDOW) : m_crBack;
}

COLORREF TreeView::TextColor() const
{
    return m_crText == static_cast<COLORREF>(-1) ? GetSysColor(COLOR_WINDOWTEXT) : m_crText;
}

bool TreeView::ItemRect(HTREEITEM hItem, bool bTextOnly, RECT& rc)
{
    std::vector<TreeRow> rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i)
    {
        if (rows[i].m_pItem->m_hItem != hItem)
            continue;
        int nHeight = ItemHeight();
        RECT rcClient;
        GetClientRect(m_hWnd, &rcClient);
        rc.top = (static_cast<int>(i) - m_nTopRow) * nHeight;
        rc.bottom = rc.top + nHeight;
        if (bTextOnly)
        {
            rc.left = LabelLeft(rows[i].m_nLevel) - m_nScrollX;
            rc.right = rc.left + LabelWidth(rows[i].m_pItem->m_strText);
        }
        else
        {
            rc.left = 0;
            rc.right = rcClient.right;
        }
        return true;
    }
    return false;
}

HTREEITEM TreeView::HitTest(TVHITTESTINFO& info)
{
    info.hItem = nullptr;
    RECT rcClient;
    GetClientRect(m_hWnd, &rcClient);
    POINT pt = info.pt;
    info.flags = 0;
    if (pt.x < 0)
        info.flags |= TVHT_TOLEFT;
    else if (pt.x >= rcClient.right)
        info.flags |= TVHT_TORIGHT;
    if (pt.y < 0)
        info.flags |= TVHT_ABOVE;
    else if (pt.y >= rcClient.bottom)
        info.flags |= TVHT_BELOW;
    if (info.flags)
        return nullptr;
    std::vector<TreeRow> rows = Rows();
    int nRow = m_nTopRow + pt.y / ItemHeight();
    if (nRow >= static_cast<int>(rows.size()))
    {
        info.flags = TVHT_NOWHERE;
        return nullptr;
    }
    const TreeRow& row = rows[static_cast<size_t>(nRow)];
    info.hItem = row.m_pItem->m_hItem;
    int x = pt.x + m_nScrollX;
    int nLabel = LabelLeft(row.m_nLevel);
    int nLabelRight = nLabel + LabelWidth(row.m_pItem->m_strText);
    bool bButtonColumn = nLabel >= m_nIndent && x >= nLabel - m_nIndent && x < nLabel;
    if (x >= nLabelRight)
        info.flags = TVHT_ONITEMRIGHT;
    else if (x >= nLabel)
        info.flags = TVHT_ONITEMLABEL;
    else if (bButtonColumn && (Style() & TVS_HASBUTTONS) && row.m_pItem->HasChildren())
        info.flags = TVHT_ONITEMBUTTON;
    else
        info.flags = TVHT_ONITEMINDENT;
    return info.hItem;
}

void TreeView::SetTopRow(int nRow)
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int nVisible = std::max(1, static_cast<int>(rc.bottom) / ItemHeight());
    int nMax = std::max(0, static_cast<int>(Rows().size()) - nVisible);
    int nNew = std::clamp(nRow, 0, nMax);
    if (nNew != m_nTopRow)
    {
        m_nTopRow = nNew;
        Redraw();
    }
}

void TreeView::SetScrollX(int nX)
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int nNew = std::clamp(nX, 0, std::max(0, ContentWidth() - static_cast<int>(rc.right)));
    if (nNew != m_nScrollX)
    {
        m_nScrollX = nNew;
        Redraw();
    }
}

// ---- Input

void TreeView::OnButtonDown(LPARAM lParam, bool bDouble)
{
    if (GetFocus() != m_hWnd)
        SetFocus(m_hWnd);
    TVHITTESTINFO info{POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0, nullptr};
    HTREEITEM hItem = HitTest(info);
    if (!hItem)
        return;
    if (info.flags & TVHT_ONITEMBUTTON)
    {
        Expand(hItem, TVE_TOGGLE);
        return;
    }
    bool bOnItem = (info.flags & TVHT_ONITEM) || (Style() & TVS_FULLROWSELECT);
    if (!bOnItem)
        return;
    if (!bDouble)
    {
        Select(hItem, TVC_BYMOUSE);
        return;
    }
    NMHDR hdr{};
    if (!NotifyParentNm(m_hWnd, NM_DBLCLK, &hdr))
        Expand(hItem, TVE_TOGGLE);
}

void TreeView::WaitForRightRelease()
{
    // The tree waits for the release in a loop of its own before it reports the right click.
    HWND hWnd = m_hWnd;
    SetCapture(hWnd);
    bool bReleased = false;
    win32::ModalLoop loop;
    loop.m_szName = "TreeRightClick";
    loop.m_hWnd = hWnd;
    loop.m_fnPreTranslate = [&bReleased, hWnd](const MSG& msg) {
        if (msg.hwnd != hWnd || msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST)
            return false;
        bReleased = bReleased || msg.message == WM_RBUTTONUP;
        return true;
    };
    win32::RunModalLoop(loop, [&] { return bReleased || !IsWindow(hWnd) || GetCapture() != hWnd; });
    if (GetCapture() == hWnd)
        ReleaseCapture();
    if (bReleased && IsWindow(hWnd))
    {
        NMHDR hdr{};
        NotifyParentNm(hWnd, NM_RCLICK, &hdr);
    }
}

void TreeView::OnKeyDown(WPARAM nKey)
{
    NMTVKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(nKey);
    NotifyParentNm(m_hWnd, TVN_KEYDOWN, &nm.hdr);
    std::vector<TreeRow> rows = Rows();
    if (rows.empty())
        return;
    auto it = std::find_if(rows.begin(), rows.end(), [&](const TreeRow& r) { return r.m_pItem->m_hItem == m_hSelected; });
    int nRow = it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
    int nLast = static_cast<int>(rows.size()) - 1;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int nPage = std::max(1, static_cast<int>(rc.bottom) / ItemHeight() - 1);
    int nTarget = nRow;
    TreeItem* pItem = nRow >= 0 ? rows[static_cast<size_t>(nRow)].m_pItem : nullptr;
    switch (nKey)
    {
    case VK_UP: nTarget = std::max(nRow - 1, 0); break;
    case VK_DOWN: nTarget = std::min(nRow + 1, nLast); break;
    case VK_PRIOR: nTarget = std::max(nRow - nPage, 0); break;
    case VK_NEXT: nTarget = std::min(nRow + nPage, nLast); break;
    case VK_HOME: nTarget = 0; break;
    case VK_END: nTarget = nLast; break;
    case VK_LEFT:
        // Collapse an open item, else go up to the parent.
        if (pItem && pItem->IsExpanded())
            Expand(pItem->m_hItem, TVE_COLLAPSE);
        else if (pItem && pItem->m_pParent)
            Select(pItem->m_pParent->m_hItem, TVC_BYKEYBOARD);
        return;
    case VK_RIGHT:
        // Open a closed item, else go down to its first child.
        if (pItem && pItem->HasChildren() && !pItem->IsExpanded())
            Expand(pItem->m_hItem, TVE_EXPAND);
        else if (pItem && !pItem->m_Children.empty())
            Select(pItem->m_Children.front()->m_hItem, TVC_BYKEYBOARD);
        return;
    default: return;
    }
    if (nTarget >= 0 && nTarget != nRow)
        Select(rows[static_cast<size_t>(nTarget)].m_pItem->m_hItem, TVC_BYKEYBOARD);
    else if (nRow < 0)
        Select(rows.front().m_pItem->m_hItem, TVC_BYKEYBOARD);
}

LRESULT TreeView::Handle(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case TVM_INSERTITEMA:
        return lParam ? reinterpret_cast<LRESULT>(Insert(*reinterpret_cast<const TVINSERTSTRUCTA*>(lParam))) : 0;
    case TVM_DELETEITEM: return Delete(reinterpret_cast<HTREEITEM>(lParam));
    case TVM_EXPAND: return Expand(reinterpret_cast<HTREEITEM>(lParam), static_cast<UINT>(wParam));
    case TVM_GETITEMRECT:
    {
        auto* pRect = reinterpret_cast<RECT*>(lParam);
        if (!pRect)
            return FALSE;
        // The item comes in where the rectangle goes out.
        HTREEITEM hItem = nullptr;
        std::memcpy(&hItem, pRect, sizeof(hItem));
        return ItemRect(hItem, wParam != 0, *pRect);
    }
    case TVM_GETCOUNT: return static_cast<LRESULT>(m_Items.size());
    case TVM_GETINDENT: return m_nIndent;
    case TVM_SETINDENT:
        m_nIndent = std::max(static_cast<int>(wParam), 0);
        Redraw();
        return 0;
    case TVM_GETNEXTITEM: return reinterpret_cast<LRESULT>(Next(static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam)));
    case TVM_SELECTITEM:
    {
        auto hItem = reinterpret_cast<HTREEITEM>(lParam);
        if (wParam == TVGN_CARET)
            return Select(hItem, TVC_UNKNOWN);
        if (wParam == TVGN_DROPHILITE)
        {
            if (TreeItem* pOld = Find(m_hDropHilite))
                pOld->m_nState &= ~static_cast<UINT>(TVIS_DROPHILITED);
            m_hDropHilite = Find(hItem) ? hItem : nullptr;
            if (TreeItem* pNew = Find(m_hDropHilite))
                pNew->m_nState |= TVIS_DROPHILITED;
            Redraw();
            return TRUE;
        }
        if (wParam == TVGN_FIRSTVISIBLE && EnsureVisible(hItem))
        {
            std::vector<TreeRow> rows = Rows();
            for (size_t i = 0; i < rows.size(); ++i)
                if (rows[i].m_pItem->m_hItem == hItem)
                    SetTopRow(static_cast<int>(i));
            return TRUE;
        }
        return FALSE;
    }
    case TVM_GETITEMA: return lParam && GetItem(*reinterpret_cast<TVITEMA*>(lParam));
    case TVM_SETITEMA: return lParam && SetItem(*reinterpret_cast<const TVITEMA*>(lParam));
    case TVM_GETVISIBLECOUNT:
    {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        return rc.bottom / ItemHeight();
    }
    case TVM_HITTEST:
        return lParam ? reinterpret_cast<LRESULT>(HitTest(*reinterpret_cast<TVHITTESTINFO*>(lParam))) : 0;
    case TVM_ENSUREVISIBLE: return EnsureVisible(reinterpret_cast<HTREEITEM>(lParam));
    case TVM_SETITEMHEIGHT:
    {
        int nOld = ItemHeight();
        m_nItemHeight = static_cast<int>(static_cast<SHORT>(LOWORD(wParam)));
        if (m_nItemHeight > 0 && !(Style() & TVS_NONEVENHEIGHT))
            m_nItemHeight += m_nItemHeight & 1;
        Redraw();
        return nOld;
    }
    case TVM_GETITEMHEIGHT: return ItemHeight();
    case TVM_SETBKCOLOR:
    case TVM_SETTEXTCOLOR:
    {
        COLORREF& cr = nMessage == TVM_SETBKCOLOR ? m_crBack : m_crText;
        COLORREF nOld = cr;
        cr = static_cast<COLORREF>(lParam);
        Redraw();
        return static_cast<LRESULT>(static_cast<int32_t>(nOld));
    }
    case TVM_GETBKCOLOR: return static_cast<LRESULT>(static_cast<int32_t>(m_crBack));
    case TVM_GETTEXTCOLOR: return static_cast<LRESULT>(static_cast<int32_t>(m_crText));
    case TVM_GETITEMSTATE:
    {
        const TreeItem* pItem = Find(reinterpret_cast<HTREEITEM>(wParam));
        return pItem ? static_cast<LRESULT>(pItem->m_nState & static_cast<UINT>(lParam)) : 0;
    }
    case WM_SETFONT:
        m_hFont = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            Redraw();
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_GETDLGCODE: return WANT_ARROWS_AND_CHARS;
    case WM_PAINT: return PaintControl(m_hWnd, [&](HDC hdc) { Paint(hdc); });
    case WM_ERASEBKGND: return TRUE;   // the paint covers the whole client area
    case WM_SIZE:
        SetTopRow(m_nTopRow);
        Redraw();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    {
        Redraw();
        NMHDR hdr{};
        NotifyParentNm(m_hWnd, nMessage == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS, &hdr);
        return 0;
    }
    case WM_LBUTTONDOWN:
        m_bLeftPressed = true;
        OnButtonDown(lParam, false);
        return 0;
    case WM_LBUTTONUP:
        if (m_bLeftPressed)
        {
            m_bLeftPressed = false;
            NMHDR hdr{};
            NotifyParentNm(m_hWnd, NM_CLICK, &hdr);
        }
        return 0;
    case WM_LBUTTONDBLCLK: OnButtonDown(lParam, true); return 0;
    case WM_RBUTTONDOWN:
        if (GetFocus() != m_hWnd)
            SetFocus(m_hWnd);
        WaitForRightRelease();
        return 0;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_HSCROLL:
    {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        int nMax = std::max(0, ContentWidth() - static_cast<int>(rc.right));
        SetScrollX(ScrollTarget(wParam, m_nScrollX, m_nIndent, rc.right, nMax));
        return 0;
    }
    case WM_VSCROLL:
    {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        int nPage = std::max(1, static_cast<int>(rc.bottom) / ItemHeight());
        SetTopRow(ScrollTarget(wParam, m_nTopRow, 1, nPage, static_cast<int>(Rows().size())));
        return 0;
    }
    default: return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    }
}

LRESULT CALLBACK TreeViewWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    return Trees().Dispatch(hWnd, nMessage, wParam, lParam);
}
