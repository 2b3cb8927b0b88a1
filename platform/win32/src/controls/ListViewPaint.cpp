// The list view's drawing: the header row as raised column buttons (the pressed one sunken),
// then each row's small icon, label and subitem texts in their columns. The selected label (the
// whole row under LVS_EX_FULLROWSELECT) takes the highlight colours while the list has the focus,
// the face colour under LVS_SHOWSELALWAYS otherwise; the focused item gets a focus rectangle.
#include "ListView.h"

#include <win32/gdi.h>

#include <algorithm>

namespace
{
UINT AlignOf(int nFormat)
{
    switch (nFormat & LVCFMT_JUSTIFYMASK)
    {
    case LVCFMT_RIGHT: return DT_RIGHT;
    case LVCFMT_CENTER: return DT_CENTER;
    default: return DT_LEFT;
    }
}

const UINT TEXT_FLAGS = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
}

void ListView::Paint(HDC hdc)
{
    RECT rcClient;
    GetClientRect(m_hWnd, &rcClient);
    win32::FillSolidRect(hdc, rcClient, BackColor());
    HGDIOBJ hOldFont = SelectObject(hdc, Font());
    SetBkMode(hdc, TRANSPARENT);
    int nColumns = static_cast<int>(m_Columns.size());

    int nHeader = HeaderHeight();
    for (int c = 0; c < nColumns && nHeader > 0; ++c)
    {
        const ListColumn& col = m_Columns[static_cast<size_t>(c)];
        RECT rc{ColumnLeft(c), 0, ColumnLeft(c + 1), nHeader};
        win32::FillSolidRect(hdc, rc, GetSysColor(COLOR_3DFACE));
        DrawEdge(hdc, &rc, c == m_nPressedColumn ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
        RECT rcText{rc.left + 6, rc.top, rc.right - 6, rc.bottom};
        DrawTextA(hdc, col.m_strText.c_str(), -1, &rcText, AlignOf(col.m_nFormat) | TEXT_FLAGS);
    }
    if (nHeader > 0 && ColumnLeft(nColumns) < rcClient.right)
    {
        // The header runs on as one empty button past the last column.
        RECT rc{ColumnLeft(nColumns), 0, rcClient.right, nHeader};
        win32::FillSolidRect(hdc, rc, GetSysColor(COLOR_3DFACE));
        DrawEdge(hdc, &rc, EDGE_RAISED, BF_RECT);
    }
    IntersectClipRect(hdc, 0, nHeader, rcClient.right, rcClient.bottom);

    bool bFocused = GetFocus() == m_hWnd;
    SIZE icon = SmallIconSize();
    int nIcon = icon.cx;
    for (int i = m_nTopRow; i < static_cast<int>(m_Rows.size()); ++i)
    {
        int y = RowTop(i);
        if (y >= rcClient.bottom)
            break;
        const ListRow& row = m_Rows[static_cast<size_t>(i)];
        RECT rcSelect{};
        ItemRect(i, LVIR_SELECTBOUNDS, rcSelect);
        bool bSelected = (row.m_nState & (LVIS_SELECTED | LVIS_DROPHILITED)) != 0;
        bool bHighlight = bSelected && (bFocused || (row.m_nState & LVIS_DROPHILITED));
        if (bHighlight)
            win32::FillSolidRect(hdc, rcSelect, GetSysColor(COLOR_HIGHLIGHT));
        else if (bSelected && (Style() & LVS_SHOWSELALWAYS))
            win32::FillSolidRect(hdc, rcSelect, GetSysColor(COLOR_3DFACE));
        if (nIcon && m_hImages[LVSIL_SMALL] && nColumns > 0)
            ImageList_Draw(m_hImages[LVSIL_SMALL], row.m_nImage, hdc, ColumnLeft(0) + 1, y + (RowHeight() - icon.cy) / 2,
                           ILD_TRANSPARENT);
        for (int c = 0; c < nColumns; ++c)
        {
            const ListColumn& col = m_Columns[static_cast<size_t>(c)];
            bool bInSelection = bHighlight && (c == 0 || (m_nExStyle & LVS_EX_FULLROWSELECT));
            SetTextColor(hdc, bInSelection ? GetSysColor(COLOR_HIGHLIGHTTEXT) : TextColor());
            // The label sits 2 pixels past the icon; subitems 6 pixels into their column.
            int nLeft = c == 0 ? ColumnLeft(0) + (nIcon ? nIcon + 2 : 0) + 2 : ColumnLeft(c) + 6;
            RECT rcText{nLeft, y, ColumnLeft(c + 1) - 6, y + RowHeight()};
            DrawTextA(hdc, row.Text(col.m_nSubItem).c_str(), -1, &rcText, AlignOf(col.m_nFormat) | TEXT_FLAGS);
        }
        if (bFocused && (row.m_nState & LVIS_FOCUSED))
            DrawFocusRect(hdc, &rcSelect);
    }
    SelectClipRgn(hdc, nullptr);
    SelectObject(hdc, hOldFont);
}
