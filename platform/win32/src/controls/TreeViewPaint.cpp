// The tree view's drawing: dotted lines joining items to their parents and siblings, a boxed plus
// or minus on items with children, and the labels, the selected one highlighted (in the system's
// highlight colours while the tree has the focus, in the face colour under TVS_SHOWSELALWAYS).
#include "TreeView.h"

#include <win32/gdi.h>

namespace
{
// Dotted lines are 50% grey on every other pixel, aligned to the client origin.
const COLORREF LINE_COLOR = RGB(128, 128, 128);
const int BUTTON_SIZE = 9;

void DottedHorizontal(HDC hdc, int x0, int x1, int y)
{
    for (int x = x0 + ((x0 + y) & 1); x < x1; x += 2)
        SetPixel(hdc, x, y, LINE_COLOR);
}

void DottedVertical(HDC hdc, int x, int y0, int y1)
{
    for (int y = y0 + ((x + y0) & 1); y < y1; y += 2)
        SetPixel(hdc, x, y, LINE_COLOR);
}

// A 9 x 9 box centred on (cx, cy) with a minus, and a plus while collapsed.
void DrawButton(HDC hdc, int cx, int cy, bool bExpanded)
{
    RECT rc{cx - BUTTON_SIZE / 2, cy - BUTTON_SIZE / 2, cx + BUTTON_SIZE / 2 + 1, cy + BUTTON_SIZE / 2 + 1};
    win32::FillSolidRect(hdc, rc, GetSysColor(COLOR_WINDOW));
    HBRUSH hFrame = CreateSolidBrush(LINE_COLOR);
    FrameRect(hdc, &rc, hFrame);
    DeleteObject(hFrame);
    COLORREF crSign = GetSysColor(COLOR_WINDOWTEXT);
    win32::FillSolidRect(hdc, RECT{cx - 2, cy, cx + 3, cy + 1}, crSign);
    if (!bExpanded)
        win32::FillSolidRect(hdc, RECT{cx, cy - 2, cx + 1, cy + 3}, crSign);
}

// Whether an item is followed by a sibling (its vertical line runs on below it).
bool HasNextSibling(const TreeItem* pItem, const std::vector<std::unique_ptr<TreeItem>>& roots)
{
    const auto& siblings = pItem->m_pParent ? pItem->m_pParent->m_Children : roots;
    return !siblings.empty() && siblings.back().get() != pItem;
}
}

void TreeView::Paint(HDC hdc)
{
    RECT rcClient;
    GetClientRect(m_hWnd, &rcClient);
    win32::FillSolidRect(hdc, rcClient, BackColor());
    DWORD nStyle = Style();
    bool bLines = (nStyle & TVS_HASLINES) != 0;
    bool bButtons = (nStyle & TVS_HASBUTTONS) != 0;
    bool bRootColumn = LabelLeft(0) > 0;
    bool bFocused = GetFocus() == m_hWnd;
    int nHeight = ItemHeight();
    HGDIOBJ hOldFont = SelectObject(hdc, Font());
    SetBkMode(hdc, TRANSPARENT);

    std::vector<TreeRow> rows = Rows();
    for (size_t i = static_cast<size_t>(m_nTopRow); i < rows.size(); ++i)
    {
        int y = (static_cast<int>(i) - m_nTopRow) * nHeight;
        if (y >= rcClient.bottom)
            break;
        const TreeItem* pItem = rows[i].m_pItem;
        int nLevel = rows[i].m_nLevel;
        int nLabel = LabelLeft(nLevel) - m_nScrollX;
        int cy = y + nHeight / 2;
        // The item's own column is the indent just left of its label.
        bool bOwnColumn = nLabel + m_nScrollX >= m_nIndent;
        int cx = nLabel - m_nIndent + m_nIndent / 2;
        if (bLines && bOwnColumn)
        {
            // Up to the row above (a parent or a previous sibling), across to the label, and on
            // down when a sibling follows; root items join only other root items.
            bool bAbove = pItem->m_pParent || (bRootColumn && m_Roots.front().get() != pItem);
            DottedVertical(hdc, cx, bAbove ? y : cy, HasNextSibling(pItem, m_Roots) ? y + nHeight : cy + 1);
            DottedHorizontal(hdc, cx, nLabel, cy);
            // The lines of ancestors that have siblings still to come pass through this row.
            int nColumn = cx;
            for (const TreeItem* p = pItem->m_pParent; p; p = p->m_pParent)
            {
                nColumn -= m_nIndent;
                if (nColumn >= 0 && HasNextSibling(p, m_Roots) && (p->m_pParent || bRootColumn))
                    DottedVertical(hdc, nColumn, y, y + nHeight);
            }
        }
        if (bButtons && bOwnColumn && pItem->HasChildren())
            DrawButton(hdc, cx, cy, pItem->IsExpanded());

        RECT rcLabel{nLabel, y, nLabel + LabelWidth(pItem->m_strText), y + nHeight};
        bool bSelected = pItem->m_hItem == m_hSelected || (pItem->m_nState & TVIS_DROPHILITED);
        COLORREF crText = TextColor();
        if (bSelected && (bFocused || pItem->m_hItem == m_hDropHilite))
        {
            win32::FillSolidRect(hdc, rcLabel, GetSysColor(COLOR_HIGHLIGHT));
            crText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        }
        else if (bSelected && (nStyle & TVS_SHOWSELALWAYS))
            win32::FillSolidRect(hdc, rcLabel, GetSysColor(COLOR_BTNFACE));
        SetTextColor(hdc, crText);
        RECT rcText{rcLabel.left + 2, rcLabel.top, rcLabel.right, rcLabel.bottom};
        DrawTextA(hdc, pItem->m_strText.c_str(), -1, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (bSelected && bFocused)
            DrawFocusRect(hdc, &rcLabel);
    }
    SelectObject(hdc, hOldFont);
}
