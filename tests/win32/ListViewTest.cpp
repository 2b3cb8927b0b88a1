// The list view in its report view: columns, items and subitems, the selection and focus with
// their change notifications (and a refusal), clicks, keys and the header, scrolling an item into
// view, hit testing, and the drawing of the header, icons and the selected row.
#include "ControlTestKit.h"

#include <win32/commctrl.h>
#include <win32/gdi.h>

#include <cstring>
#include <string>

namespace
{
struct ListNotice
{
    UINT m_nCode;
    int m_nItem;
    int m_nSubItem;
    UINT m_nNewState;
    UINT m_nOldState;
    LPARAM m_lParam;
};

class ListViewTest : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        CurrentHandler() = [this](HWND h, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
            if (h != m_hParent || m != WM_NOTIFY)
                return std::nullopt;
            const auto* pHdr = reinterpret_cast<const NMHDR*>(l);
            if (pHdr->hwndFrom != m_hList || pHdr->code == NM_SETFOCUS || pHdr->code == NM_KILLFOCUS ||
                pHdr->code == LVN_KEYDOWN)
                return std::nullopt;
            const auto* pNm = reinterpret_cast<const NMLISTVIEW*>(l);
            m_Notices.push_back({pHdr->code, pNm->iItem, pNm->iSubItem, pNm->uNewState, pNm->uOldState, pNm->lParam});
            return pHdr->code == LVN_ITEMCHANGING && pNm->iItem == m_nRefused ? 1 : 0;
        };
    }

    // A report list 300 x 200 with the columns "Type" 40, "Message" 150 (subitem 1), "Date" 100.
    HWND MakeList(DWORD nStyle = 0)
    {
        m_hList = Make(WC_LISTVIEWA, "", LVS_REPORT | WS_BORDER | nStyle, 1111, 10, 10, 300, 200);
        const struct
        {
            const char* m_szText;
            int m_nWidth;
        } columns[] = {{"Type", 40}, {"Message", 150}, {"Date", 100}};
        for (int i = 0; i < 3; ++i)
        {
            LVCOLUMNA c{LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM, 0, columns[i].m_nWidth, const_cast<char*>(columns[i].m_szText), 0, i};
            EXPECT_EQ(SendMessageA(m_hList, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c)), i);
        }
        return m_hList;
    }
    int Insert(int nItem, const char* szText, LPARAM lParam = 0, int nImage = 0)
    {
        LVITEMA item{LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE, nItem, 0, 0, 0, const_cast<char*>(szText), 0, nImage, lParam, 0};
        return static_cast<int>(SendMessageA(m_hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    void SetText(int nItem, int nSubItem, const char* szText)
    {
        LVITEMA item{};
        item.iSubItem = nSubItem;
        item.pszText = const_cast<char*>(szText);
        EXPECT_TRUE(SendMessageA(m_hList, LVM_SETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
    }
    std::string GetText(int nItem, int nSubItem, int nBuffer = 64)
    {
        std::string str(static_cast<size_t>(nBuffer), '#');
        LVITEMA item{};
        item.iSubItem = nSubItem;
        item.pszText = str.data();
        item.cchTextMax = nBuffer;
        LRESULT n = SendMessageA(m_hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(static_cast<size_t>(n), std::strlen(str.c_str()));
        return str.c_str();
    }
    UINT State(int nItem)
    {
        return static_cast<UINT>(SendMessageA(m_hList, LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), LVIS_SELECTED | LVIS_FOCUSED));
    }
    std::vector<int> Selected()
    {
        std::vector<int> out;
        for (int i = -1; (i = static_cast<int>(SendMessageA(m_hList, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;)
            out.push_back(i);
        return out;
    }
    RECT ItemRect(int nItem, int nCode)
    {
        RECT rc{nCode, 0, 0, 0};
        EXPECT_TRUE(SendMessageA(m_hList, LVM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&rc)));
        return rc;
    }
    // The centre of an item's label.
    POINT LabelCentre(int nItem)
    {
        RECT rc = ItemRect(nItem, LVIR_LABEL);
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    std::vector<UINT> TakeCodes()
    {
        std::vector<UINT> out;
        for (const ListNotice& n : m_Notices)
            out.push_back(n.m_nCode);
        m_Notices.clear();
        return out;
    }

    HWND m_hList = nullptr;
    std::vector<ListNotice> m_Notices;
    int m_nRefused = -1;
};
}

TEST_F(ListViewTest, ItemsHoldTextsPerSubitemDataAndImage)
{
    MakeList();
    EXPECT_EQ(Insert(0, "b", 20), 0);
    EXPECT_EQ(Insert(99, "c", 30), 1);   // past the end: appended
    EXPECT_EQ(Insert(0, "a", 10), 0);
    EXPECT_EQ(Insert(-1, "x"), -1);
    EXPECT_EQ(SendMessageA(m_hList, LVM_GETITEMCOUNT, 0, 0), 3);
    SetText(0, 1, "first message");
    SetText(0, 2, "2026-12-11 10:00:00");
    SetText(2, 2, "late");

    const struct
    {
        int m_nItem, m_nSubItem;
        const char* m_szText;
    } texts[] = {{0, 0, "a"}, {0, 1, "first message"}, {0, 2, "2026-12-11 10:00:00"}, {1, 0, "b"},
                 {1, 1, ""},  {2, 1, ""},              {2, 2, "late"},               {2, 7, ""}};
    for (const auto& t : texts)
        EXPECT_EQ(GetText(t.m_nItem, t.m_nSubItem), t.m_szText) << t.m_nItem << "/" << t.m_nSubItem;
    EXPECT_EQ(GetText(0, 1, 6), "first");   // cut to the buffer, with its zero

    LVITEMA item{LVIF_PARAM | LVIF_IMAGE, 2, 0, 0, 0, nullptr, 0, -5, 0, 0};
    ASSERT_TRUE(SendMessageA(m_hList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 30);
    EXPECT_EQ(item.iImage, 0);
    item.iItem = 5;
    EXPECT_FALSE(SendMessageA(m_hList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));

    char szHeading[16] = {};
    LVCOLUMNA column{LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM, 0, 0, szHeading, sizeof(szHeading), 0};
    ASSERT_TRUE(SendMessageA(m_hList, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(szHeading, "Message");
    EXPECT_EQ(column.cx, 150);
    EXPECT_EQ(column.iSubItem, 1);
    EXPECT_EQ(SendMessageA(m_hList, LVM_GETCOLUMNWIDTH, 2, 0), 100);

    // Deleting one item tells the parent with its data; deleting all tells it once, then per
    // item unless it answers nonzero.
    m_Notices.clear();
    EXPECT_TRUE(SendMessageA(m_hList, LVM_DELETEITEM, 1, 0));
    ASSERT_EQ(m_Notices.size(), 1u);
    EXPECT_EQ(m_Notices[0].m_nCode, LVN_DELETEITEM);
    EXPECT_EQ(m_Notices[0].m_lParam, 20);
    EXPECT_EQ(GetText(1, 2), "late");
    m_Notices.clear();
    EXPECT_TRUE(SendMessageA(m_hList, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(TakeCodes(), (std::vector<UINT>{LVN_DELETEALLITEMS, LVN_DELETEITEM, LVN_DELETEITEM}));
    EXPECT_EQ(SendMessageA(m_hList, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_FALSE(SendMessageA(m_hList, LVM_DELETEITEM, 0, 0));
}

TEST_F(ListViewTest, ClicksAndKeysMoveTheSelectionWithNotifications)
{
    MakeList();
    for (int i = 0; i < 4; ++i)
        Insert(i, "item", 100 + i);
    m_Notices.clear();

    POINT pt = LabelCentre(1);
    Click(m_hList, pt.x, pt.y);
    EXPECT_EQ(State(1), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(GetFocus(), m_hList);
    ASSERT_EQ(m_Notices.size(), 3u);
    EXPECT_EQ(m_Notices[0].m_nCode, LVN_ITEMCHANGING);
    EXPECT_EQ(m_Notices[0].m_nNewState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(m_Notices[0].m_nOldState, 0u);
    EXPECT_EQ(m_Notices[1].m_nCode, LVN_ITEMCHANGED);
    EXPECT_EQ(m_Notices[1].m_lParam, 101);
    EXPECT_EQ(m_Notices[2].m_nCode, NM_CLICK);
    EXPECT_EQ(m_Notices[2].m_nItem, 1);
    m_Notices.clear();

    // A plain click elsewhere moves both; Ctrl adds to the selection; Down moves it alone.
    pt = LabelCentre(3);
    Click(m_hList, pt.x, pt.y);
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_EQ(State(1), 0u);
    m_Driver.key(VK_CONTROL, true);
    pt = LabelCentre(0);
    Click(m_hList, pt.x, pt.y);
    m_Driver.key(VK_CONTROL, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Selected(), (std::vector<int>{0, 3}));
    EXPECT_EQ(SendMessageA(m_hList, LVM_GETSELECTEDCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(m_hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
    m_Driver.key(VK_DOWN);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Selected(), std::vector<int>{1});
    m_Driver.key(VK_END);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Selected(), std::vector<int>{3});
    m_Driver.key(VK_HOME);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Selected(), std::vector<int>{0});

    // The parent refuses item 2: the selection stays where it was.
    m_nRefused = 2;
    m_Driver.key(VK_DOWN);
    m_Driver.key(VK_DOWN);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(State(2), 0u);
    m_nRefused = -1;
    m_Notices.clear();

    // Double click activates; a right click keeps a selected item and reports the release; a
    // header click reports its column; a press below the items clears the selection.
    pt = LabelCentre(3);
    Click(m_hList, pt.x, pt.y, true);
    std::vector<UINT> codes = TakeCodes();
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes[codes.size() - 2], NM_DBLCLK);
    EXPECT_EQ(codes.back(), LVN_ITEMACTIVATE);
    m_Driver.mouse(At(m_hList, pt.x, pt.y), 1, true);
    m_Driver.mouse(At(m_hList, pt.x, pt.y), 1, false);
    m_Driver.pumpUntilIdle();
    ASSERT_EQ(m_Notices.size(), 1u);
    EXPECT_EQ(m_Notices[0].m_nCode, NM_RCLICK);
    EXPECT_EQ(m_Notices[0].m_nItem, 3);
    m_Notices.clear();
    Click(m_hList, 60, 5);   // the "Message" button
    ASSERT_EQ(m_Notices.size(), 1u);
    EXPECT_EQ(m_Notices[0].m_nCode, LVN_COLUMNCLICK);
    EXPECT_EQ(m_Notices[0].m_nSubItem, 1);
    Click(m_hList, 20, 180);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(ListViewTest, SingleSelectionKeepsOneItem)
{
    MakeList(LVS_SINGLESEL);
    for (int i = 0; i < 3; ++i)
        Insert(i, "item");
    LVITEMA state{};
    state.state = state.stateMask = LVIS_SELECTED;
    SendMessageA(m_hList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    SendMessageA(m_hList, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(Selected(), std::vector<int>{2});
    m_Driver.key(VK_CONTROL, true);
    POINT pt = LabelCentre(1);
    Click(m_hList, pt.x, pt.y);
    m_Driver.key(VK_CONTROL, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Selected(), std::vector<int>{1});
    // Every item at once: -1.
    state.state = 0;
    EXPECT_TRUE(SendMessageA(m_hList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state)));
    EXPECT_TRUE(Selected().empty());
}

TEST_F(ListViewTest, EnsureVisibleScrollsByRowsAndHitTestsFollow)
{
    MakeList();
    for (int i = 0; i < 40; ++i)
        Insert(i, "row");
    int nPage = static_cast<int>(SendMessageA(m_hList, LVM_GETCOUNTPERPAGE, 0, 0));
    RECT rc0 = ItemRect(0, LVIR_BOUNDS);
    int nRow = rc0.bottom - rc0.top;
    RECT rcClient;
    GetClientRect(m_hList, &rcClient);
    EXPECT_EQ(nPage, (rcClient.bottom - rc0.top) / nRow);
    EXPECT_EQ(rc0.right - rc0.left, 290);   // the three columns

    struct Case
    {
        int m_nItem;
        BOOL m_bPartial;
        int m_nTop;
    };
    const Case cases[] = {{39, FALSE, 40 - nPage}, {0, FALSE, 0}, {nPage, FALSE, 1}, {nPage, TRUE, 1}, {2, TRUE, 1}};
    for (const Case& c : cases)
    {
        EXPECT_TRUE(SendMessageA(m_hList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(c.m_nItem), c.m_bPartial));
        EXPECT_EQ(SendMessageA(m_hList, LVM_GETTOPINDEX, 0, 0), c.m_nTop) << c.m_nItem;
    }
    // With the list scrolled one row, the first row shown is item 1.
    LVHITTESTINFO info{{20, rc0.top + 2}, 0, -1, 0};
    EXPECT_EQ(SendMessageA(m_hList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(info.flags, static_cast<UINT>(LVHT_ONITEMLABEL));
    // Past the first column only a subitem hit test finds the item.
    info = LVHITTESTINFO{{250, rc0.top + 2}, 0, -1, 0};
    EXPECT_EQ(SendMessageA(m_hList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), -1);
    EXPECT_EQ(SendMessageA(m_hList, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(info.iSubItem, 2);
    info = LVHITTESTINFO{{20, 2}, 0, -1, 0};   // the header
    EXPECT_EQ(SendMessageA(m_hList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), -1);
    // Scroll requests move by rows and stop at the ends.
    SendMessageA(m_hList, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessageA(m_hList, LVM_GETTOPINDEX, 0, 0), 40 - nPage);
    SendMessageA(m_hList, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageA(m_hList, LVM_GETTOPINDEX, 0, 0), 40 - nPage);
    SendMessageA(m_hList, WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(SendMessageA(m_hList, LVM_GETTOPINDEX, 0, 0), 40 - 2 * nPage);
}

TEST_F(ListViewTest, DrawsHeaderIconsAndTheSelectedLabel)
{
    MakeList(LVS_SHOWSELALWAYS);
    // A 16 x 16 list with one solid blue image.
    HIMAGELIST himl = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
    std::vector<DWORD> blue(16 * 16, 0x0000FF);
    HBITMAP hbm = CreateBitmap(16, 16, 1, 32, blue.data());
    ASSERT_EQ(ImageList_Add(himl, hbm, nullptr), 0);
    DeleteObject(hbm);
    EXPECT_EQ(SendMessageA(m_hList, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(himl)), 0);
    Insert(0, "one");
    Insert(1, "two");
    LVITEMA state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(m_hList, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    SetFocus(m_hList);
    m_Driver.pumpUntilIdle();

    auto pixel = [&](int x, int y) {
        HDC hdc = GetDC(m_hList);
        COLORREF c = GetPixel(hdc, x, y);
        ReleaseDC(m_hList, hdc);
        return c;
    };
    RECT rcIcon = ItemRect(1, LVIR_ICON);
    RECT rcSelect = ItemRect(1, LVIR_SELECTBOUNDS);
    RECT rcRow0 = ItemRect(0, LVIR_BOUNDS);
    EXPECT_EQ(rcRow0.bottom - rcRow0.top, 17);   // the 16-pixel icon and a line
    EXPECT_EQ(rcSelect.left, rcIcon.right);
    EXPECT_EQ(rcSelect.right, 40);               // the label's column only
    EXPECT_EQ(pixel(20, 3), GetSysColor(COLOR_3DFACE));                                // header button
    EXPECT_EQ(pixel(rcIcon.left + 8, rcIcon.top + 8), RGB(0, 0, 255));                // icon
    EXPECT_EQ(pixel(rcSelect.right - 2, rcSelect.top + 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(pixel(rcSelect.right + 3, rcSelect.top + 1), GetSysColor(COLOR_WINDOW));   // "Message" column
    EXPECT_EQ(pixel(rcSelect.right - 2, rcRow0.top + 1), GetSysColor(COLOR_WINDOW));     // row 0 not selected
    // Without the focus the selection shows in the face colour; full-row selection spans the row.
    SetFocus(m_hParent);
    SendMessageA(m_hList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(pixel(200, rcSelect.top + 1), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(ItemRect(1, LVIR_SELECTBOUNDS).right, 290);
}
