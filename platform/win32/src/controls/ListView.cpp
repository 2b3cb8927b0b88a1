// The list view control: items with subitems, columns, selection and focus, scrolling a row at a
// time, and the notifications the mouse and keys send to the parent.
#include "ListView.h"

#include <win32/gdi.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
ControlStore<ListView>& Lists()
{
    static ControlStore<ListView> s_Lists;
    return s_Lists;
}

// WM_GETDLGCODE: DLGC_WANTARROWS | DLGC_WANTCHARS, so a dialog leaves the arrows to the list.
const LRESULT WANT_ARROWS_AND_CHARS = 0x0081;

void CopyText(const std::string& str, LPSTR pszOut, int cchMax)
{
    if (!pszOut || cchMax <= 0)
        return;
    size_t n = std::min(str.size(), static_cast<size_t>(cchMax - 1));
    std::memcpy(pszOut, str.data(), n);
    pszOut[n] = 0;
}

std::string TextOf(LPCSTR psz)
{
    return psz && psz != reinterpret_cast<LPCSTR>(-1) ? psz : "";
}
}

const std::string& ListRow::Text(int nSubItem) const
{
    static const std::string s_Empty;
    return nSubItem >= 0 && nSubItem < static_cast<int>(m_Texts.size()) ? m_Texts[static_cast<size_t>(nSubItem)] : s_Empty;
}

// ---- Layout

int ListView::HeaderHeight()
{
    return (Style() & LVS_NOCOLUMNHEADER) ? 0 : FontLineHeight(m_hFont) + 6;
}

int ListView::RowHeight()
{
    return std::max(FontLineHeight(m_hFont) + 2, static_cast<int>(SmallIconSize().cy) + 1);
}

int ListView::RowsPerPage()
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    return std::max(1, (static_cast<int>(rc.bottom) - HeaderHeight()) / RowHeight());
}

int ListView::ColumnLeft(int nColumn) const
{
    int x = -m_nScrollX;
    for (int i = 0; i < nColumn && i < static_cast<int>(m_Columns.size()); ++i)
        x += m_Columns[static_cast<size_t>(i)].m_nWidth;
    return x;
}

int ListView::ContentWidth() const
{
    return ColumnLeft(static_cast<int>(m_Columns.size())) + m_nScrollX;
}

SIZE ListView::SmallIconSize() const
{
    int cx = 0, cy = 0;
    if (!ImageList_GetIconSize(m_hImages[LVSIL_SMALL], &cx, &cy))
        return SIZE{0, 0};
    return SIZE{cx, cy};
}

int ListView::TextWidth(const std::string& strText)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, Font());
    SIZE size{};
    GetTextExtentPoint32A(hdc, strText.c_str(), static_cast<int>(strText.size()), &size);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return size.cx;
}

bool ListView::ItemRect(int nItem, int nCode, RECT& rc)
{
    if (!Valid(nItem))
        return false;
    int nTop = RowTop(nItem);
    int nLeft = ColumnLeft(0);
    int nFirstWidth = m_Columns.empty() ? 0 : m_Columns[0].m_nWidth;
    int nIcon = static_cast<int>(SmallIconSize().cx);
    int nLabelLeft = nLeft + (nIcon ? nIcon + 2 : 0);
    switch (nCode)
    {
    case LVIR_ICON: rc = RECT{nLeft, nTop, nLeft + (nIcon ? nIcon + 2 : 0), nTop + RowHeight()}; break;
    case LVIR_LABEL: rc = RECT{nLabelLeft, nTop, nLeft + nFirstWidth, nTop + RowHeight()}; break;
    case LVIR_SELECTBOUNDS:
        rc = RECT{nLabelLeft, nTop, (m_nExStyle & LVS_EX_FULLROWSELECT) ? nLeft + ContentWidth() : nLeft + nFirstWidth,
                  nTop + RowHeight()};
        break;
    case LVIR_BOUNDS: rc = RECT{nLeft, nTop, nLeft + ContentWidth(), nTop + RowHeight()}; break;
    default: return false;
    }
    return true;
}

// ---- Items

int ListView::InsertItem(const LVITEMA& item)
{
    if (item.iSubItem != 0 || item.iItem < 0)
        return -1;
    int nItem = std::min(item.iItem, static_cast<int>(m_Rows.size()));
    ListRow row;
    row.m_Texts.emplace_back((item.mask & LVIF_TEXT) ? TextOf(item.pszText) : std::string());
    if (item.mask & LVIF_IMAGE)
        row.m_nImage = item.iImage;
    if (item.mask & LVIF_PARAM)
        row.m_lParam = item.lParam;
    UINT nState = (item.mask & LVIF_STATE) ? item.state & item.stateMask : 0;
    m_Rows.insert(m_Rows.begin() + nItem, std::move(row));
    NotifyItem(LVN_INSERTITEM, nItem);
    if (nState)
        SetState(nItem, nState, nState);
    UpdateScrollBars();
    Redraw();
    return nItem;
}

bool ListView::SetItem(const LVITEMA& item)
{
    if (!Valid(item.iItem) || item.iSubItem < 0)
        return false;
    ListRow& row = m_Rows[static_cast<size_t>(item.iItem)];
    if (item.mask & LVIF_TEXT)
    {
        if (row.m_Texts.size() <= static_cast<size_t>(item.iSubItem))
            row.m_Texts.resize(static_cast<size_t>(item.iSubItem) + 1);
        row.m_Texts[static_cast<size_t>(item.iSubItem)] = TextOf(item.pszText);
    }
    // The image, data and state belong to the item, not to its subitems.
    if (item.iSubItem == 0)
    {
        if (item.mask & LVIF_IMAGE)
            row.m_nImage = item.iImage;
        if (item.mask & LVIF_PARAM)
            row.m_lParam = item.lParam;
        if ((item.mask & LVIF_STATE) && !SetState(item.iItem, item.state, item.stateMask))
            return false;
    }
    Redraw();
    return true;
}

bool ListView::GetItem(LVITEMA& item) const
{
    if (!Valid(item.iItem))
        return false;
    const ListRow& row = m_Rows[static_cast<size_t>(item.iItem)];
    if (item.mask & LVIF_TEXT)
        CopyText(row.Text(item.iSubItem), item.pszText, item.cchTextMax);
    if (item.mask & LVIF_IMAGE)
        item.iImage = row.m_nImage;
    if (item.mask & LVIF_PARAM)
        item.lParam = row.m_lParam;
    if (item.mask & LVIF_STATE)
        item.state = row.m_nState & item.stateMask;
    return true;
}

bool ListView::DeleteItem(int nItem)
{
    if (!Valid(nItem))
        return false;
    NotifyItem(LVN_DELETEITEM, nItem);
    m_Rows.erase(m_Rows.begin() + nItem);
    SetTopRow(m_nTopRow);
    UpdateScrollBars();
    Redraw();
    return true;
}

bool ListView::DeleteAll()
{
    if (!NotifyItem(LVN_DELETEALLITEMS, -1))
        for (int i = 0; i < static_cast<int>(m_Rows.size()); ++i)
            NotifyItem(LVN_DELETEITEM, i);
    m_Rows.clear();
    m_nTopRow = 0;
    UpdateScrollBars();
    Redraw();
    return true;
}

bool ListView::SetState(int nItem, UINT nState, UINT nMask)
{
    if (nItem == -1)
    {
        bool bAll = true;
        for (int i = 0; i < static_cast<int>(m_Rows.size()); ++i)
            bAll = SetState(i, nState, nMask) && bAll;
        return bAll;
    }
    if (!Valid(nItem))
        return false;
    UINT nOld = m_Rows[static_cast<size_t>(nItem)].m_nState;
    UINT nNew = (nOld & ~nMask) | (nState & nMask);
    if (nNew == nOld)
        return true;
    if (NotifyItem(LVN_ITEMCHANGING, nItem, 0, nNew, nOld, LVIF_STATE))
        return false;
    // One focused item; under LVS_SINGLESEL one selected item.
    UINT nOthers = (nNew & ~nOld) & (LVIS_FOCUSED | ((Style() & LVS_SINGLESEL) ? LVIS_SELECTED : 0));
    if (nOthers)
        for (int i = 0; i < static_cast<int>(m_Rows.size()); ++i)
            if (i != nItem && (m_Rows[static_cast<size_t>(i)].m_nState & nOthers))
                SetState(i, 0, nOthers);
    if (!Valid(nItem))   // the parent deleted it while answering
        return false;
    m_Rows[static_cast<size_t>(nItem)].m_nState = nNew;
    NotifyItem(LVN_ITEMCHANGED, nItem, 0, nNew, nOld, LVIF_STATE);
    Redraw();
    return true;
}

int ListView::NextItem(int nStart, UINT nFlags) const
{
    UINT nWanted = nFlags & (LVNI_FOCUSED | LVNI_SELECTED);
    int nStep = (nFlags & LVNI_ABOVE) ? -1 : 1;
    int nCount = static_cast<int>(m_Rows.size());
    for (int i = nStart < 0 ? (nStep > 0 ? 0 : -1) : nStart + nStep; i >= 0 && i < nCount; i += nStep)
        if ((m_Rows[static_cast<size_t>(i)].m_nState & nWanted) == nWanted)
            return i;
    return -1;
}

// ---- Columns

int ListView::InsertColumn(int nColumn, const LVCOLUMNA& column)
{
    if (nColumn < 0)
        return -1;
    int nAt = std::min(nColumn, static_cast<int>(m_Columns.size()));
    ListColumn c;
    c.m_nSubItem = nAt;
    m_Columns.insert(m_Columns.begin() + nAt, c);
    SetColumn(nAt, column);
    return nAt;
}

bool ListView::SetColumn(int nColumn, const LVCOLUMNA& column)
{
    if (nColumn < 0 || nColumn >= static_cast<int>(m_Columns.size()))
        return false;
    ListColumn& c = m_Columns[static_cast<size_t>(nColumn)];
    if (column.mask & LVCF_FMT)
        c.m_nFormat = column.fmt;
    if (column.mask & LVCF_WIDTH)
        c.m_nWidth = std::max(0, column.cx);
    if (column.mask & LVCF_TEXT)
        c.m_strText = TextOf(column.pszText);
    if (column.mask & LVCF_SUBITEM)
        c.m_nSubItem = std::max(0, column.iSubItem);
    UpdateScrollBars();
    Redraw();
    return true;
}

bool ListView::GetColumn(int nColumn, LVCOLUMNA& column) const
{
    if (nColumn < 0 || nColumn >= static_cast<int>(m_Columns.size()))
        return false;
    const ListColumn& c = m_Columns[static_cast<size_t>(nColumn)];
    if (column.mask & LVCF_FMT)
        column.fmt = c.m_nFormat;
    if (column.mask & LVCF_WIDTH)
        column.cx = c.m_nWidth;
    if (column.mask & LVCF_TEXT)
        CopyText(c.m_strText, column.pszText, column.cchTextMax);
    if (column.mask & LVCF_SUBITEM)
        column.iSubItem = c.m_nSubItem;
    return true;
}

// ---- Hit testing and scrolling

int ListView::HitTest(LVHITTESTINFO& info, bool bSubItem)
{
    info.iItem = -1;
    info.iSubItem = 0;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    POINT pt = info.pt;
    if (pt.y < HeaderHeight() || pt.x < 0 || pt.x >= rc.right || pt.y >= rc.bottom)
    {
        info.flags = pt.y < 0 ? LVHT_ABOVE : pt.y >= rc.bottom ? LVHT_BELOW : pt.x < 0 ? LVHT_TOLEFT
                     : pt.x >= rc.right                        ? LVHT_TORIGHT
                                                               : LVHT_NOWHERE;
        return -1;
    }
    int nRow = m_nTopRow + (pt.y - HeaderHeight()) / RowHeight();
    int x = pt.x + m_nScrollX;
    if (!Valid(nRow) || x >= ContentWidth())
    {
        info.flags = LVHT_NOWHERE;
        return -1;
    }
    int nIcon = static_cast<int>(SmallIconSize().cx);
    info.flags = nIcon && x < nIcon + 2 ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
    // A point past the first column is on the item only with full-row selection or when the
    // subitems are asked for.
    if (!m_Columns.empty() && x >= m_Columns[0].m_nWidth && !bSubItem && !(m_nExStyle & LVS_EX_FULLROWSELECT))
    {
        info.flags = LVHT_NOWHERE;
        return -1;
    }
    for (int c = 0, nLeft = 0; c < static_cast<int>(m_Columns.size()); nLeft += m_Columns[static_cast<size_t>(c)].m_nWidth, ++c)
        if (x >= nLeft && x < nLeft + m_Columns[static_cast<size_t>(c)].m_nWidth)
            info.iSubItem = bSubItem ? c : 0;
    info.iItem = nRow;
    return nRow;
}

void ListView::SetTopRow(int nRow)
{
    int nMax = std::max(0, static_cast<int>(m_Rows.size()) - RowsPerPage());
    int nNew = std::clamp(nRow, 0, nMax);
    if (nNew != m_nTopRow)
    {
        m_nTopRow = nNew;
        UpdateScrollBars();
        Redraw();
    }
}

void ListView::SetScrollX(int nX)
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int nNew = std::clamp(nX, 0, std::max(0, ContentWidth() - static_cast<int>(rc.right)));
    if (nNew != m_nScrollX)
    {
        m_nScrollX = nNew;
        UpdateScrollBars();
        Redraw();
    }
}

void ListView::UpdateScrollBars()
{
    if (Style() & LVS_NOSCROLL)
        return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, static_cast<int>(m_Rows.size()) - 1,
                  static_cast<UINT>(RowsPerPage()), m_nTopRow, 0};
    SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    si = SCROLLINFO{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, ContentWidth() - 1, static_cast<UINT>(rc.right), m_nScrollX, 0};
    SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
}

bool ListView::EnsureVisible(int nItem, bool bPartialOk)
{
    if (!Valid(nItem))
        return false;
    int nPage = RowsPerPage();
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int nVisible = (static_cast<int>(rc.bottom) - HeaderHeight() + RowHeight() - 1) / RowHeight();
    if (nItem < m_nTopRow)
        SetTopRow(nItem);
    else if (nItem >= m_nTopRow + (bPartialOk ? nVisible : nPage))
        SetTopRow(nItem - nPage + 1);
    return true;
}

// ---- Mouse and keys

void ListView::ChooseItem(int nItem, bool bToggle)
{
    if (!Valid(nItem))
        return;
    if (bToggle && !(Style() & LVS_SINGLESEL))
    {
        UINT nSelected = m_Rows[static_cast<size_t>(nItem)].m_nState & LVIS_SELECTED;
        SetState(nItem, LVIS_FOCUSED | (nSelected ^ LVIS_SELECTED), LVIS_FOCUSED | LVIS_SELECTED);
        return;
    }
    for (int i = 0; i < static_cast<int>(m_Rows.size()); ++i)
        if (i != nItem && (m_Rows[static_cast<size_t>(i)].m_nState & LVIS_SELECTED))
            SetState(i, 0, LVIS_SELECTED);
    SetState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(nItem, false);
}

void ListView::OnButtonDown(LPARAM lParam, bool bDouble, bool bRight)
{
    if (GetFocus() != m_hWnd)
        SetFocus(m_hWnd);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (pt.y < HeaderHeight())
    {
        // A press on a column button: LVN_COLUMNCLICK on the release.
        if (!bRight && !(Style() & LVS_NOSORTHEADER))
            for (int c = 0; c < static_cast<int>(m_Columns.size()); ++c)
                if (pt.x >= ColumnLeft(c) && pt.x < ColumnLeft(c + 1))
                {
                    m_nPressedColumn = c;
                    SetCapture(m_hWnd);
                    Redraw();
                }
        return;
    }
    LVHITTESTINFO info{pt, 0, -1, 0};
    int nItem = HitTest(info, true);
    if (nItem >= 0)
    {
        if (!bRight || !(m_Rows[static_cast<size_t>(nItem)].m_nState & LVIS_SELECTED))
            ChooseItem(nItem, !bRight && (GetKeyState(VK_CONTROL) & 0x8000));
    }
    else if (!(GetKeyState(VK_CONTROL) & 0x8000))
        SetState(-1, 0, LVIS_SELECTED);   // a press on no item clears the selection
    if (bRight)
        m_bRightPressed = true;
    else
    {
        NotifyActivate(bDouble ? NM_DBLCLK : NM_CLICK, nItem, info.iSubItem, pt);
        if (bDouble && nItem >= 0)
            NotifyActivate(LVN_ITEMACTIVATE, nItem, info.iSubItem, pt);
    }
}

void ListView::OnKeyDown(WPARAM nKey)
{
    NMLVKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(nKey);
    NotifyParentNm(m_hWnd, LVN_KEYDOWN, &nm.hdr);
    int nCount = static_cast<int>(m_Rows.size());
    if (nCount == 0)
        return;
    int nFocused = NextItem(-1, LVNI_FOCUSED);
    int nTarget = -1;
    switch (nKey)
    {
    case VK_UP: nTarget = nFocused < 0 ? 0 : nFocused - 1; break;
    case VK_DOWN: nTarget = nFocused + 1; break;
    case VK_PRIOR: nTarget = nFocused - RowsPerPage(); break;
    case VK_NEXT: nTarget = nFocused + RowsPerPage(); break;
    case VK_HOME: nTarget = 0; break;
    case VK_END: nTarget = nCount - 1; break;
    case VK_RETURN:
        if (nFocused >= 0)
            NotifyActivate(LVN_ITEMACTIVATE, nFocused, 0, POINT{});
        NotifyParentNm(m_hWnd, NM_RETURN);
        return;
    default: return;
    }
    ChooseItem(std::clamp(nTarget, 0, nCount - 1), false);
}

LRESULT ListView::NotifyItem(UINT nCode, int nItem, int nSubItem, UINT nNew, UINT nOld, UINT nChanged)
{
    NMLISTVIEW nm{};
    nm.iItem = nItem;
    nm.iSubItem = nSubItem;
    nm.uNewState = nNew;
    nm.uOldState = nOld;
    nm.uChanged = nChanged;
    nm.lParam = Valid(nItem) ? m_Rows[static_cast<size_t>(nItem)].m_lParam : 0;
    return NotifyParentNm(m_hWnd, nCode, &nm.hdr);
}

LRESULT ListView::NotifyActivate(UINT nCode, int nItem, int nSubItem, POINT pt)
{
    NMITEMACTIVATE nm{};
    nm.iItem = nItem;
    nm.iSubItem = nSubItem;
    nm.ptAction = pt;
    nm.lParam = Valid(nItem) ? m_Rows[static_cast<size_t>(nItem)].m_lParam : 0;
    if (Valid(nItem))
        nm.uNewState = nm.uOldState = m_Rows[static_cast<size_t>(nItem)].m_nState;
    return NotifyParentNm(m_hWnd, nCode, &nm.hdr);
}

// ---- Messages

LRESULT ListView::Handle(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    auto* pItem = reinterpret_cast<LVITEMA*>(lParam);
    auto* pColumn = reinterpret_cast<LVCOLUMNA*>(lParam);
    int nItem = static_cast<int>(wParam);
    switch (nMessage)
    {
    case LVM_GETITEMCOUNT: return static_cast<LRESULT>(m_Rows.size());
    case LVM_INSERTITEMA: return pItem ? InsertItem(*pItem) : -1;
    case LVM_SETITEMA: return pItem && SetItem(*pItem);
    case LVM_GETITEMA: return pItem && GetItem(*pItem);
    case LVM_DELETEITEM: return DeleteItem(nItem);
    case LVM_DELETEALLITEMS: return DeleteAll();
    case LVM_SETITEMTEXTA:
    {
        if (!pItem)
            return FALSE;
        LVITEMA item = *pItem;
        item.mask = LVIF_TEXT;
        item.iItem = nItem;
        return SetItem(item);
    }
    case LVM_GETITEMTEXTA:
    {
        if (!pItem || !Valid(nItem))
            return 0;
        CopyText(m_Rows[static_cast<size_t>(nItem)].Text(pItem->iSubItem), pItem->pszText, pItem->cchTextMax);
        return pItem->pszText ? static_cast<LRESULT>(std::strlen(pItem->pszText)) : 0;
    }
    case LVM_SETITEMSTATE: return pItem && SetState(nItem, pItem->state, pItem->stateMask);
    case LVM_GETITEMSTATE: return Valid(nItem) ? m_Rows[static_cast<size_t>(nItem)].m_nState & static_cast<UINT>(lParam) : 0;
    case LVM_GETNEXTITEM: return NextItem(nItem, static_cast<UINT>(lParam));
    case LVM_GETSELECTEDCOUNT:
        return std::count_if(m_Rows.begin(), m_Rows.end(), [](const ListRow& r) { return (r.m_nState & LVIS_SELECTED) != 0; });
    case LVM_INSERTCOLUMNA: return pColumn ? InsertColumn(nItem, *pColumn) : -1;
    case LVM_SETCOLUMNA: return pColumn && SetColumn(nItem, *pColumn);
    case LVM_GETCOLUMNA: return pColumn && GetColumn(nItem, *pColumn);
    case LVM_DELETECOLUMN:
        if (nItem < 0 || nItem >= static_cast<int>(m_Columns.size()))
            return FALSE;
        m_Columns.erase(m_Columns.begin() + nItem);
        UpdateScrollBars();
        Redraw();
        return TRUE;
    case LVM_GETCOLUMNWIDTH:
        return nItem >= 0 && nItem < static_cast<int>(m_Columns.size()) ? m_Columns[static_cast<size_t>(nItem)].m_nWidth : 0;
    case LVM_SETCOLUMNWIDTH:
    {
        if (nItem < 0 || nItem >= static_cast<int>(m_Columns.size()))
            return FALSE;
        int cx = static_cast<int>(static_cast<SHORT>(LOWORD(lParam)));
        if (cx == LVSCW_AUTOSIZE || cx == LVSCW_AUTOSIZE_USEHEADER)
        {
            // The widest text of the column (and its heading), with the margins the drawing uses.
            const ListColumn& c = m_Columns[static_cast<size_t>(nItem)];
            cx = cx == LVSCW_AUTOSIZE_USEHEADER ? TextWidth(c.m_strText) + 12 : 0;
            for (const ListRow& r : m_Rows)
                cx = std::max(cx, TextWidth(r.Text(c.m_nSubItem)) + 12 + (nItem == 0 ? static_cast<int>(SmallIconSize().cx) : 0));
        }
        LVCOLUMNA column{LVCF_WIDTH, 0, cx, nullptr, 0, 0};
        return SetColumn(nItem, column);
    }
    case LVM_SETIMAGELIST:
    {
        if (wParam > LVSIL_STATE)
            return 0;
        HIMAGELIST hOld = m_hImages[wParam];
        m_hImages[wParam] = reinterpret_cast<HIMAGELIST>(lParam);
        SetTopRow(m_nTopRow);
        UpdateScrollBars();
        Redraw();
        return reinterpret_cast<LRESULT>(hOld);
    }
    case LVM_GETIMAGELIST: return wParam <= LVSIL_STATE ? reinterpret_cast<LRESULT>(m_hImages[wParam]) : 0;
    case LVM_GETITEMRECT:
    {
        auto* prc = reinterpret_cast<RECT*>(lParam);
        return prc && ItemRect(nItem, prc->left, *prc);
    }
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST:
        return lParam ? HitTest(*reinterpret_cast<LVHITTESTINFO*>(lParam), nMessage == LVM_SUBITEMHITTEST) : -1;
    case LVM_ENSUREVISIBLE: return EnsureVisible(nItem, lParam != 0);
    case LVM_SCROLL:
        SetScrollX(m_nScrollX + static_cast<int>(wParam));
        SetTopRow(m_nTopRow + static_cast<int>(lParam) / RowHeight());
        return TRUE;
    case LVM_GETTOPINDEX: return m_nTopRow;
    case LVM_GETCOUNTPERPAGE: return RowsPerPage();
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
    {
        DWORD nOld = m_nExStyle;
        DWORD nMask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
        m_nExStyle = (m_nExStyle & ~nMask) | (static_cast<DWORD>(lParam) & nMask);
        Redraw();
        return nOld;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return m_nExStyle;
    case LVM_SETBKCOLOR:
    case LVM_SETTEXTCOLOR:
        (nMessage == LVM_SETBKCOLOR ? m_crBack : m_crText) = static_cast<COLORREF>(lParam);
        Redraw();
        return TRUE;
    case LVM_GETBKCOLOR: return BackColor();
    case LVM_GETTEXTCOLOR: return TextColor();
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
        SetScrollX(m_nScrollX);
        UpdateScrollBars();
        Redraw();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Redraw();
        NotifyParentNm(m_hWnd, nMessage == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN: OnButtonDown(lParam, false, false); return 0;
    case WM_LBUTTONDBLCLK: OnButtonDown(lParam, true, false); return 0;
    case WM_LBUTTONUP:
        if (m_nPressedColumn >= 0)
        {
            int nColumn = m_nPressedColumn;
            m_nPressedColumn = -1;
            if (GetCapture() == m_hWnd)
                ReleaseCapture();
            Redraw();
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (pt.y >= 0 && pt.y < HeaderHeight() && pt.x >= ColumnLeft(nColumn) && pt.x < ColumnLeft(nColumn + 1))
                NotifyItem(LVN_COLUMNCLICK, -1, nColumn);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != m_hWnd && m_nPressedColumn >= 0)
        {
            m_nPressedColumn = -1;
            Redraw();
        }
        return 0;
    case WM_RBUTTONDOWN: OnButtonDown(lParam, false, true); return 0;
    case WM_RBUTTONUP:
        if (m_bRightPressed)
        {
            m_bRightPressed = false;
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            LVHITTESTINFO info{pt, 0, -1, 0};
            NotifyActivate(NM_RCLICK, HitTest(info, true), info.iSubItem, pt);
        }
        return 0;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_VSCROLL: SetTopRow(ScrollTarget(wParam, m_nTopRow, 1, RowsPerPage(), static_cast<int>(m_Rows.size()))); return 0;
    case WM_HSCROLL:
    {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        SetScrollX(ScrollTarget(wParam, m_nScrollX, 8, rc.right, ContentWidth()));
        return 0;
    }
    case WM_MOUSEWHEEL:
        SetTopRow(m_nTopRow - 3 * static_cast<SHORT>(HIWORD(wParam)) / 120);   // three rows a notch
        return 0;
    case WM_DESTROY:
        // The list owns its image lists unless they are shared.
        if (!(Style() & LVS_SHAREIMAGELISTS))
            for (HIMAGELIST& h : m_hImages)
                if (h)
                    ImageList_Destroy(std::exchange(h, nullptr));
        return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    default: return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    }
}

LRESULT CALLBACK ListViewWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    return Lists().Dispatch(hWnd, nMessage, wParam, lParam);
}
