// The tree view control: inserting, navigating and deleting items (with the rule that moves the
// selection off a deleted item), expansion, item rectangles and hit testing, and the
// notifications the mouse and keys send to the parent.
#include "WindowTestKit.h"

#include <win32/commctrl.h>
#include <win32/gdi.h>

#include <cstring>
#include <map>

namespace
{
struct Notice
{
    UINT m_nCode;
    UINT m_nAction;
    HTREEITEM m_hOld;
    HTREEITEM m_hNew;
    HTREEITEM m_hSelectedThen;   // TVM_GETNEXTITEM(TVGN_CARET) while the parent handles it
};

class TreeViewTest : public WindowTest
{
protected:
    HWND m_hParent = nullptr;
    HWND m_hTree = nullptr;
    std::vector<Notice> m_Notices;
    HTREEITEM m_hRoot{}, m_hA{}, m_hA1{}, m_hA2{}, m_hB{}, m_hC{};

    void SetUp() override
    {
        WindowTest::SetUp();
        CurrentHandler() = [this](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
            if (h != m_hParent || m != WM_NOTIFY)
                return std::nullopt;
            const auto* pHdr = reinterpret_cast<const NMHDR*>(l);
            EXPECT_EQ(pHdr->hwndFrom, m_hTree);
            EXPECT_EQ(pHdr->idFrom, 1000u);
            EXPECT_EQ(w, 1000u);
            Notice n{pHdr->code, 0, nullptr, nullptr, Next(TVGN_CARET, nullptr)};
            if (pHdr->code == TVN_SELCHANGING || pHdr->code == TVN_SELCHANGED || pHdr->code == TVN_DELETEITEM ||
                pHdr->code == TVN_ITEMEXPANDING || pHdr->code == TVN_ITEMEXPANDED)
            {
                const auto* pNm = reinterpret_cast<const NMTREEVIEWA*>(l);
                n.m_nAction = pNm->action;
                n.m_hOld = pNm->itemOld.hItem;
                n.m_hNew = pNm->itemNew.hItem;
            }
            m_Notices.push_back(n);
            return 0;
        };
        BuildTree();
    }

    void BuildTree()
    {
        m_hParent = Create("Parent", WS_POPUP | WS_VISIBLE, 100, 100, 300, 250);
        m_hTree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                  10, 10, 200, 150, m_hParent, reinterpret_cast<HMENU>(1000), nullptr, nullptr);
        ASSERT_NE(m_hTree, nullptr);
        // Root { A { A1, A2 }, B, C }
        m_hRoot = Insert("Root", TVI_ROOT);
        m_hA = Insert("A", m_hRoot);
        m_hB = Insert("B", m_hRoot);
        m_hC = Insert("C", m_hRoot);
        m_hA1 = Insert("A1", m_hA);
        m_hA2 = Insert("A2", m_hA);
        m_Driver.pumpUntilIdle();
    }

    HTREEITEM Insert(const char* szText, HTREEITEM hParent, HTREEITEM hAfter = TVI_LAST)
    {
        TVINSERTSTRUCTA tvis{};
        tvis.hParent = hParent;
        tvis.hInsertAfter = hAfter;
        tvis.item.mask = TVIF_TEXT | TVIF_PARAM;
        tvis.item.pszText = const_cast<char*>(szText);
        tvis.item.lParam = static_cast<LPARAM>(szText[0]);
        return reinterpret_cast<HTREEITEM>(SendMessageA(m_hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tvis)));
    }
    HTREEITEM Next(UINT nCode, HTREEITEM hItem) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessageA(m_hTree, TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    std::string Text(HTREEITEM hItem) const
    {
        char sz[64] = "?";
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = sz;
        item.cchTextMax = sizeof(sz);
        return SendMessageA(m_hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? sz : "(none)";
    }
    bool Select(HTREEITEM hItem) { return SendMessageA(m_hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hItem)) != 0; }
    bool Expand(HTREEITEM hItem, UINT nAction = TVE_EXPAND)
    {
        return SendMessageA(m_hTree, TVM_EXPAND, nAction, reinterpret_cast<LPARAM>(hItem)) != 0;
    }
    bool ItemRect(HTREEITEM hItem, RECT& rc, bool bTextOnly = true)
    {
        std::memcpy(&rc, &hItem, sizeof(hItem));   // the item goes in where the rectangle comes out
        return SendMessageA(m_hTree, TVM_GETITEMRECT, bTextOnly, reinterpret_cast<LPARAM>(&rc)) != 0;
    }
    HTREEITEM Hit(POINT pt, UINT& nFlags)
    {
        TVHITTESTINFO info{pt, 0, nullptr};
        auto h = reinterpret_cast<HTREEITEM>(SendMessageA(m_hTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
        nFlags = info.flags;
        return h;
    }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> out;
        for (const Notice& n : m_Notices)
            out.push_back(n.m_nCode);
        return out;
    }
    POINT ScreenPoint(int x, int y) const
    {
        POINT pt{x, y};
        ClientToScreen(m_hTree, &pt);
        return pt;
    }
    void Click(POINT ptClient, int nButton = 0)
    {
        POINT pt = ScreenPoint(ptClient.x, ptClient.y);
        m_Driver.mouse(pt, nButton, true);
        m_Driver.mouse(pt, nButton, false);
        m_Driver.pumpUntilIdle();
    }
};

TEST_F(TreeViewTest, InsertAndNavigate)
{
    EXPECT_EQ(SendMessageA(m_hTree, TVM_GETCOUNT, 0, 0), 6);
    // Sorted and first insertion among A1, A2.
    HTREEITEM hA0 = Insert("a0", m_hA, TVI_FIRST);
    HTREEITEM hA15 = Insert("a15", m_hA, TVI_SORT);
    HTREEITEM hA3 = Insert("A3", m_hA, m_hA2);
    EXPECT_EQ(Insert("x", m_hA, m_hB), nullptr);   // not a child of A
    EXPECT_EQ(Insert("x", reinterpret_cast<HTREEITEM>(0x7777), TVI_LAST), nullptr);
    std::vector<std::string> children;
    for (HTREEITEM h = Next(TVGN_CHILD, m_hA); h; h = Next(TVGN_NEXT, h))
        children.push_back(Text(h));
    EXPECT_EQ(children, (std::vector<std::string>{"a0", "A1", "a15", "A2", "A3"}));
    (void)hA0, (void)hA15, (void)hA3;

    // Only expanded items are visible.
    struct Case
    {
        UINT m_nCode;
        HTREEITEM m_hFrom;
        HTREEITEM m_hExpected;
    };
    const Case collapsed[] = {
        {TVGN_ROOT, nullptr, m_hRoot}, {TVGN_CHILD, nullptr, m_hRoot},   {TVGN_CHILD, TVI_ROOT, m_hRoot},
        {TVGN_CHILD, m_hRoot, m_hA},   {TVGN_NEXT, m_hA, m_hB},          {TVGN_PREVIOUS, m_hA, nullptr},
        {TVGN_PREVIOUS, m_hC, m_hB},   {TVGN_NEXT, m_hC, nullptr},       {TVGN_PARENT, m_hA1, m_hA},
        {TVGN_PARENT, m_hRoot, nullptr}, {TVGN_NEXTVISIBLE, m_hRoot, nullptr}, {TVGN_FIRSTVISIBLE, nullptr, m_hRoot},
        {TVGN_LASTVISIBLE, nullptr, m_hRoot}, {TVGN_NEXTVISIBLE, m_hA, nullptr}, {TVGN_CARET, nullptr, nullptr},
    };
    for (const Case& c : collapsed)
        EXPECT_EQ(Next(c.m_nCode, c.m_hFrom), c.m_hExpected) << c.m_nCode << " from " << Text(c.m_hFrom);
    EXPECT_TRUE(Expand(m_hRoot));
    EXPECT_FALSE(Expand(m_hRoot));    // already open
    EXPECT_FALSE(Expand(m_hB));       // nothing to open
    const Case expanded[] = {
        {TVGN_NEXTVISIBLE, m_hRoot, m_hA}, {TVGN_NEXTVISIBLE, m_hA, m_hB},      {TVGN_PREVIOUSVISIBLE, m_hB, m_hA},
        {TVGN_LASTVISIBLE, nullptr, m_hC}, {TVGN_PREVIOUSVISIBLE, m_hRoot, nullptr},
    };
    for (const Case& c : expanded)
        EXPECT_EQ(Next(c.m_nCode, c.m_hFrom), c.m_hExpected) << c.m_nCode << " from " << Text(c.m_hFrom);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}));
    EXPECT_EQ(m_Notices[0].m_nAction, static_cast<UINT>(TVE_EXPAND));
    EXPECT_EQ(m_Notices[0].m_hNew, m_hRoot);
    EXPECT_EQ(SendMessageA(m_hTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(m_hRoot), TVIS_EXPANDED), TVIS_EXPANDED);

    // Item data and text round-trip; a stale handle fails.
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_TEXT;
    item.hItem = m_hB;
    item.lParam = 4242;
    item.pszText = const_cast<char*>("Bee");
    EXPECT_TRUE(SendMessageA(m_hTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    TVITEMA got{};
    got.mask = TVIF_PARAM;
    got.hItem = m_hB;
    EXPECT_TRUE(SendMessageA(m_hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&got)));
    EXPECT_EQ(got.lParam, 4242);
    EXPECT_EQ(Text(m_hB), "Bee");
    EXPECT_TRUE(SendMessageA(m_hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(m_hB)));
    EXPECT_EQ(Text(m_hB), "(none)");
    EXPECT_FALSE(SendMessageA(m_hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(m_hB)));
    EXPECT_EQ(Next(TVGN_NEXT, m_hA), m_hC);
}

TEST_F(TreeViewTest, DeletingTheSelectionMovesItToNextSiblingElseParentElsePreviousSibling)
{
    struct Case
    {
        const char* m_szSelect;
        const char* m_szDelete;
        const char* m_szAfter;   // the new selection, "" for none
        int m_nDeleted;          // TVN_DELETEITEM count
    };
    const Case cases[] = {
        {"A1", "A1", "A2", 1},     // next sibling
        {"A2", "A2", "A", 1},      // no next sibling: the parent
        {"R2", "R2", "Root", 1},   // last at the root, where there is no parent: the previous sibling
        {"A1", "A", "B", 3},       // a selection inside the deleted branch moves off the branch
        {"A2", "B", "A2", 1},      // another item: the selection stays, without notifications
        {"Root", "Root", "R2", 6},
    };
    for (const Case& c : cases)
    {
        DestroyWindow(m_hParent);
        BuildTree();
        HTREEITEM hR2 = Insert("R2", TVI_ROOT);
        std::map<std::string, HTREEITEM> items{{"Root", m_hRoot}, {"A", m_hA}, {"A1", m_hA1}, {"A2", m_hA2},
                                               {"B", m_hB},       {"C", m_hC}, {"R2", hR2}};
        ASSERT_TRUE(Select(items[c.m_szSelect]));
        m_Notices.clear();
        EXPECT_TRUE(SendMessageA(m_hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(items[c.m_szDelete])));
        HTREEITEM hExpected = *c.m_szAfter ? items[c.m_szAfter] : nullptr;
        EXPECT_EQ(Next(TVGN_CARET, nullptr), hExpected) << c.m_szDelete;
        std::vector<UINT> expected;
        if (std::string(c.m_szSelect) != c.m_szAfter)
            expected = {TVN_SELCHANGING, TVN_SELCHANGED};
        expected.insert(expected.end(), static_cast<size_t>(c.m_nDeleted), TVN_DELETEITEM);
        EXPECT_EQ(Codes(), expected) << c.m_szDelete;
        if (expected.size() > 2 && expected[0] == TVN_SELCHANGING)
        {
            // The selection moves while the deleted item still exists; the parent sees the new one.
            EXPECT_EQ(m_Notices[1].m_hOld, items[c.m_szSelect]);
            EXPECT_EQ(m_Notices[1].m_hNew, hExpected);
            EXPECT_EQ(m_Notices[1].m_hSelectedThen, hExpected);
            EXPECT_EQ(m_Notices[1].m_nAction, static_cast<UINT>(TVC_UNKNOWN));
        }
        if (hExpected)
        {
            EXPECT_EQ(SendMessageA(m_hTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(hExpected), TVIS_SELECTED),
                      TVIS_SELECTED);
        }
        EXPECT_EQ(SendMessageA(m_hTree, TVM_GETCOUNT, 0, 0), 7 - c.m_nDeleted);
    }

    // Deleting everything clears the selection once, without visiting other items.
    Select(m_hB);
    m_Notices.clear();
    EXPECT_TRUE(SendMessageA(m_hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
    ASSERT_GE(m_Notices.size(), 2u);
    EXPECT_EQ(m_Notices[1].m_nCode, TVN_SELCHANGED);
    EXPECT_EQ(m_Notices[1].m_hNew, nullptr);
    std::vector<UINT> codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), TVN_SELCHANGED), 1);
    EXPECT_EQ(SendMessageA(m_hTree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Next(TVGN_CARET, nullptr), nullptr);
}

TEST_F(TreeViewTest, ItemRectangleAndHitTestTellTheLabelFromBesideIt)
{
    Expand(m_hRoot);
    int nHeight = static_cast<int>(SendMessageA(m_hTree, TVM_GETITEMHEIGHT, 0, 0));
    int nIndent = static_cast<int>(SendMessageA(m_hTree, TVM_GETINDENT, 0, 0));
    ASSERT_GT(nHeight, 0);
    EXPECT_EQ(nIndent, 19);
    // The label's width is the text's, measured here in the tree's font, plus 2 pixels each side.
    HDC hdc = GetDC(m_hTree);
    SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32A(hdc, "A", 1, &size);
    ReleaseDC(m_hTree, hdc);
    RECT rc;
    ASSERT_TRUE(ItemRect(m_hA, rc));
    // A is the second line, one level in, after the root's own button column.
    EXPECT_EQ(rc.left, 2 * nIndent);
    EXPECT_EQ(rc.top, nHeight);
    EXPECT_EQ(rc.right, 2 * nIndent + size.cx + 4);
    EXPECT_EQ(rc.bottom, 2 * nHeight);
    RECT rcRow;
    ASSERT_TRUE(ItemRect(m_hA, rcRow, false));
    EXPECT_EQ(rcRow.left, 0);
    EXPECT_EQ(rcRow.right, 200);
    EXPECT_FALSE(ItemRect(m_hA1, rc));   // inside the collapsed A

    struct Case
    {
        POINT m_pt;
        HTREEITEM m_hItem;
        UINT m_nFlags;
    };
    int yA = nHeight + nHeight / 2;
    const Case cases[] = {
        {{2 * nIndent + 1, yA}, m_hA, TVHT_ONITEMLABEL},
        {{2 * nIndent + size.cx + 3, yA}, m_hA, TVHT_ONITEMLABEL},
        {{2 * nIndent + size.cx + 4, yA}, m_hA, TVHT_ONITEMRIGHT},   // just beside the label
        {{190, yA}, m_hA, TVHT_ONITEMRIGHT},
        {{nIndent + 9, yA}, m_hA, TVHT_ONITEMBUTTON},                  // A has children
        {{nIndent + 9, 2 * nHeight + 2}, m_hB, TVHT_ONITEMINDENT},     // B has none
        {{4, yA}, m_hA, TVHT_ONITEMINDENT},
        {{9, nHeight / 2}, m_hRoot, TVHT_ONITEMBUTTON},
        {{30, 4 * nHeight + 1}, nullptr, TVHT_NOWHERE},                 // below the last item
        {{30, -1}, nullptr, TVHT_ABOVE},
        {{200, yA}, nullptr, TVHT_TORIGHT},
    };
    for (const Case& c : cases)
    {
        UINT nFlags = 0;
        EXPECT_EQ(Hit(c.m_pt, nFlags), c.m_hItem) << c.m_pt.x << "," << c.m_pt.y;
        EXPECT_EQ(nFlags, c.m_nFlags) << c.m_pt.x << "," << c.m_pt.y;
    }

    // Any WM_HSCROLL scrolls the tree, whoever sent it, once its labels are wider than it is.
    HTREEITEM hLong = Insert("A rather long label that runs well past the right edge of the tree", m_hRoot);
    ASSERT_NE(hLong, nullptr);
    SendMessageA(m_hTree, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), reinterpret_cast<LPARAM>(m_hParent));
    ASSERT_TRUE(ItemRect(m_hA, rc));
    EXPECT_EQ(rc.left, 2 * nIndent - 30);
    SendMessageA(m_hTree, WM_HSCROLL, SB_LEFT, 0);
    ASSERT_TRUE(ItemRect(m_hA, rc));
    EXPECT_EQ(rc.left, 2 * nIndent);
}

TEST_F(TreeViewTest, MouseAndKeysSelectAndExpandWithTheirNotifications)
{
    Expand(m_hRoot);
    m_Notices.clear();
    int nHeight = static_cast<int>(SendMessageA(m_hTree, TVM_GETITEMHEIGHT, 0, 0));
    int yA = nHeight + nHeight / 2, yB = 2 * nHeight + nHeight / 2;
    // A click on a label selects by mouse; beside it nothing is selected.
    Click({40, yB});
    EXPECT_EQ(Next(TVGN_CARET, nullptr), m_hB);
    EXPECT_EQ(GetFocus(), m_hTree);
    ASSERT_GE(m_Notices.size(), 2u);
    auto changed = std::find_if(m_Notices.begin(), m_Notices.end(), [](const Notice& n) { return n.m_nCode == TVN_SELCHANGED; });
    ASSERT_NE(changed, m_Notices.end());
    EXPECT_EQ(changed->m_nAction, static_cast<UINT>(TVC_BYMOUSE));
    EXPECT_EQ(changed->m_hNew, m_hB);
    EXPECT_EQ(changed->m_hSelectedThen, m_hB);
    EXPECT_EQ(Codes().back(), NM_CLICK);
    Click({150, yA});
    EXPECT_EQ(Next(TVGN_CARET, nullptr), m_hB);

    // The button opens A; a double click on a label toggles it.
    Click({19 + 9, yA});
    EXPECT_EQ(Next(TVGN_NEXTVISIBLE, m_hA), m_hA1);
    m_Driver.advance(1000);
    POINT ptLabel = ScreenPoint(40, yA);
    for (int i = 0; i < 2; ++i)
    {
        m_Driver.mouse(ptLabel, 0, true);
        m_Driver.mouse(ptLabel, 0, false);
    }
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Next(TVGN_NEXTVISIBLE, m_hA), m_hB);
    std::vector<UINT> codes = Codes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), NM_DBLCLK), codes.end());

    // Collapsing hides A1, so a selection on it moves up to A.
    Expand(m_hA);
    Select(m_hA1);
    Expand(m_hA, TVE_COLLAPSE);
    EXPECT_EQ(Next(TVGN_CARET, nullptr), m_hA);

    // Keys walk the visible items; Right opens, Left closes and then climbs.
    struct KeyCase
    {
        BYTE m_nKey;
        HTREEITEM m_hSelected;
    };
    const KeyCase keys[] = {{VK_DOWN, m_hB}, {VK_UP, m_hA}, {VK_RIGHT, m_hA}, {VK_RIGHT, m_hA1}, {VK_LEFT, m_hA},
                            {VK_LEFT, m_hA}, {VK_LEFT, m_hRoot}, {VK_END, m_hC}, {VK_HOME, m_hRoot}};
    for (const KeyCase& k : keys)
    {
        m_Notices.clear();
        m_Driver.key(k.m_nKey);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(Text(Next(TVGN_CARET, nullptr)), Text(k.m_hSelected)) << int(k.m_nKey);
        EXPECT_EQ(m_Notices.front().m_nCode, TVN_KEYDOWN);
    }
    EXPECT_EQ(Next(TVGN_NEXTVISIBLE, m_hA), m_hB);   // the second Left closed A

    // The right button waits for its release, then reports NM_RCLICK; the selection stays.
    m_Notices.clear();
    POINT ptB = ScreenPoint(40, yB);
    m_Driver.mouse(ptB, 1, true);
    m_Driver.at(50, [&] { m_Driver.mouse(ptB, 1, false); });
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Codes().back(), NM_RCLICK);
    EXPECT_EQ(Next(TVGN_CARET, nullptr), m_hRoot);
    EXPECT_EQ(GetCapture(), nullptr);

    // A parent refusing TVN_SELCHANGING keeps the selection.
    CurrentHandler() = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == TVN_SELCHANGING)
            return TRUE;
        return std::nullopt;
    };
    EXPECT_FALSE(Select(m_hC));
    EXPECT_EQ(Next(TVGN_CARET, nullptr), m_hRoot);
}
}
