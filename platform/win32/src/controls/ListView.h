#pragma once
// The list view's rows, columns and state, shared by its message handling (ListView.cpp) and its
// drawing (ListViewPaint.cpp). Every view is laid out as the report view: a header row of column
// buttons, then one row per item, its subitems in the columns.
#include "Controls.h"

#include <string>
#include <vector>

struct ListRow
{
    std::vector<std::string> m_Texts;   // by subitem; missing ones are empty
    int m_nImage = 0;
    UINT m_nState = 0;                  // LVIS_
    LPARAM m_lParam = 0;

    const std::string& Text(int nSubItem) const;
};

struct ListColumn
{
    int m_nFormat = LVCFMT_LEFT;
    int m_nWidth = 0;
    std::string m_strText;
    int m_nSubItem = 0;
};

class ListView
{
public:
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    LRESULT Handle(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void Paint(HDC hdc);

    // ---- Layout (client pixels)
    int HeaderHeight();
    int RowHeight();
    // Rows fully shown below the header (at least one).
    int RowsPerPage();
    // The top of a row, scrolled.
    int RowTop(int nRow) { return HeaderHeight() + (nRow - m_nTopRow) * RowHeight(); }
    // Left edge of a column, scrolled.
    int ColumnLeft(int nColumn) const;
    int ContentWidth() const;
    // The small image list's image size; 0 x 0 without one.
    SIZE SmallIconSize() const;
    HFONT Font() const { return ControlFont(m_hFont); }
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    bool ItemRect(int nItem, int nCode, RECT& rc);
    const std::vector<ListRow>& Rows() const { return m_Rows; }
    const std::vector<ListColumn>& Columns() const { return m_Columns; }
    HIMAGELIST SmallImages() const { return m_hImages[LVSIL_SMALL]; }
    DWORD ExStyle() const { return m_nExStyle; }
    int TopRow() const { return m_nTopRow; }
    int ScrollX() const { return m_nScrollX; }
    int PressedColumn() const { return m_nPressedColumn; }
    COLORREF BackColor() const { return m_crBack == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : m_crBack; }
    COLORREF TextColor() const { return m_crText == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : m_crText; }
    HWND Window() const { return m_hWnd; }

private:
    bool Valid(int nItem) const { return nItem >= 0 && nItem < static_cast<int>(m_Rows.size()); }
    int InsertItem(const LVITEMA& item);
    bool SetItem(const LVITEMA& item);
    bool GetItem(LVITEMA& item) const;
    bool DeleteItem(int nItem);
    bool DeleteAll();
    // Changes the state bits of stateMask; LVN_ITEMCHANGING can refuse. Only one item keeps the
    // focus, and under LVS_SINGLESEL only one the selection.
    bool SetState(int nItem, UINT nState, UINT nMask);
    int NextItem(int nStart, UINT nFlags) const;
    int InsertColumn(int nColumn, const LVCOLUMNA& column);
    bool SetColumn(int nColumn, const LVCOLUMNA& column);
    bool GetColumn(int nColumn, LVCOLUMNA& column) const;
    int HitTest(LVHITTESTINFO& info, bool bSubItem);
    bool EnsureVisible(int nItem, bool bPartialOk);
    void SetTopRow(int nRow);
    void SetScrollX(int nX);
    void UpdateScrollBars();
    int TextWidth(const std::string& strText);
    // Selects and focuses one item alone (a plain click or arrow key), or toggles it (Ctrl).
    void ChooseItem(int nItem, bool bToggle);
    void OnButtonDown(LPARAM lParam, bool bDouble, bool bRight);
    void OnKeyDown(WPARAM nKey);
    LRESULT NotifyItem(UINT nCode, int nItem, int nSubItem = 0, UINT nNew = 0, UINT nOld = 0, UINT nChanged = 0);
    LRESULT NotifyActivate(UINT nCode, int nItem, int nSubItem, POINT pt);
    void Redraw() { InvalidateRect(m_hWnd, nullptr, TRUE); }

    HWND m_hWnd = nullptr;
    std::vector<ListRow> m_Rows;
    std::vector<ListColumn> m_Columns;
    HIMAGELIST m_hImages[3] = {};
    HFONT m_hFont = nullptr;
    DWORD m_nExStyle = 0;
    COLORREF m_crBack = CLR_DEFAULT;
    COLORREF m_crText = CLR_DEFAULT;
    int m_nTopRow = 0;
    int m_nScrollX = 0;
    int m_nPressedColumn = -1;
    bool m_bRightPressed = false;
};
