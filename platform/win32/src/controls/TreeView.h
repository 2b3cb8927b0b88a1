#pragma once
// The tree view's items and state, shared by its message handling (TreeView.cpp) and its
// drawing (TreeViewPaint.cpp).
#include "Controls.h"

#include <string>
#include <vector>

struct TreeItem
{
    HTREEITEM m_hItem = nullptr;
    TreeItem* m_pParent = nullptr;   // null for items at the root
    std::vector<std::unique_ptr<TreeItem>> m_Children;
    std::string m_strText;
    UINT m_nState = 0;                // TVIS_
    int m_nImage = 0;
    int m_nSelectedImage = 0;
    int m_nChildrenHint = -2;         // TVIF_CHILDREN as given; -2: count the children
    LPARAM m_lParam = 0;

    bool HasChildren() const { return m_nChildrenHint == -2 ? !m_Children.empty() : m_nChildrenHint != 0; }
    bool IsExpanded() const { return (m_nState & TVIS_EXPANDED) != 0; }
};

// One line of the tree as shown: the item and its depth (0 at the root).
struct TreeRow
{
    TreeItem* m_pItem;
    int m_nLevel;
};

class TreeView
{
public:
    void Attach(HWND hWnd) { m_hWnd = hWnd; }

    LRESULT Handle(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void Paint(HDC hdc);

    // ---- Items
    HTREEITEM Insert(const TVINSERTSTRUCTA& insert);
    bool Delete(HTREEITEM hItem);
    bool Expand(HTREEITEM hItem, UINT nAction);
    // Moves the selection (null clears it) with TVN_SELCHANGING and TVN_SELCHANGED; a forced
    // change ignores a refusal.
    bool Select(HTREEITEM hItem, UINT nCause, bool bForce = false);
    HTREEITEM Next(UINT nCode, HTREEITEM hItem);
    bool GetItem(TVITEMA& item) const;
    bool SetItem(const TVITEMA& item);
    bool ItemRect(HTREEITEM hItem, bool bTextOnly, RECT& rc);
    HTREEITEM HitTest(TVHITTESTINFO& info);
    bool EnsureVisible(HTREEITEM hItem);

    // ---- Layout (client pixels)
    std::vector<TreeRow> Rows() const;   // the items whose ancestors are all expanded, in order
    int ItemHeight();
    int Indent() const { return m_nIndent; }
    // Left edge of an item's label (before horizontal scrolling) at a depth.
    int LabelLeft(int nLevel) const;
    // The label is the text with a 2-pixel margin each side.
    int LabelWidth(const std::string& strText) { return TextWidth(strText) + 4; }
    int TextWidth(const std::string& strText);
    HFONT Font() const { return ControlFont(m_hFont); }
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    HWND Window() const { return m_hWnd; }
    int TopRow() const { return m_nTopRow; }
    int ScrollX() const { return m_nScrollX; }
    HTREEITEM Selection() const { return m_hSelected; }
    HTREEITEM DropHighlight() const { return m_hDropHilite; }
    COLORREF BackColor() const;
    COLORREF TextColor() const;

private:
    TreeItem* Find(HTREEITEM hItem) const;
    std::vector<std::unique_ptr<TreeItem>>& SiblingsOf(TreeItem* pParent);
    int IndexInParent(const TreeItem* pItem);
    bool IsInSubtree(const TreeItem* pTop, HTREEITEM hItem) const;
    void Forget(TreeItem* pItem);
    void FillNotifyItem(HTREEITEM hItem, TVITEMA& out) const;
    LRESULT Notify(UINT nCode, NMTREEVIEWA& nm);
    void SetTopRow(int nRow);
    void SetScrollX(int nX);
    int ContentWidth();
    void OnKeyDown(WPARAM nKey);
    void OnButtonDown(LPARAM lParam, bool bDouble);
    void WaitForRightRelease();
    void Redraw() { InvalidateRect(m_hWnd, nullptr, TRUE); }

    HWND m_hWnd = nullptr;
    std::vector<std::unique_ptr<TreeItem>> m_Roots;
    std::unordered_map<HTREEITEM, TreeItem*> m_Items;
    ULONG_PTR m_nNextHandle = 1;
    HTREEITEM m_hSelected = nullptr;
    HTREEITEM m_hDropHilite = nullptr;
    HFONT m_hFont = nullptr;
    int m_nItemHeight = 0;   // 0: from the font
    int m_nIndent = 19;
    int m_nTopRow = 0;
    int m_nScrollX = 0;
    COLORREF m_crBack = static_cast<COLORREF>(-1);   // -1: the system colour
    COLORREF m_crText = static_cast<COLORREF>(-1);
    bool m_bLeftPressed = false;
};
