// List boxes and combo boxes: sorted filling, selection by mouse and keys with their
// notifications, and a combo box's dropped list.
#include "ControlTestKit.h"

namespace
{
class ListControlsTest : public ControlTest
{
protected:
    std::vector<std::string> Items(HWND hWnd, UINT nCount, UINT nGetText)
    {
        std::vector<std::string> out;
        LRESULT n = SendMessageA(hWnd, nCount, 0, 0);
        for (LRESULT i = 0; i < n; ++i)
        {
            char text[64];
            SendMessageA(hWnd, nGetText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            out.push_back(text);
        }
        return out;
    }
    void Add(HWND hWnd, UINT nAdd, std::initializer_list<const char*> items)
    {
        for (const char* sz : items)
            SendMessageA(hWnd, nAdd, 0, reinterpret_cast<LPARAM>(sz));
    }
    // The centre of a list item, in the list's client area.
    POINT ItemPoint(HWND hList, int nIndex)
    {
        RECT rc;
        SendMessageA(hList, LB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&rc));
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
};

TEST_F(ListControlsTest, ListBoxSortsIgnoringCaseAndFinds)
{
    HWND hList = Make(WC_LISTBOXA, "", LBS_NOTIFY | LBS_SORT | WS_VSCROLL, 60, 10, 10, 150, 60, WS_EX_CLIENTEDGE);
    Add(hList, LB_ADDSTRING, {"delta", "Alpha", "charlie", "bravo", "alpha"});
    EXPECT_EQ(Items(hList, LB_GETCOUNT, LB_GETTEXT), (std::vector<std::string>{"Alpha", "alpha", "bravo", "charlie", "delta"}));
    EXPECT_EQ(SendMessageA(hList, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("CH")), 3);
    EXPECT_EQ(SendMessageA(hList, LB_FINDSTRINGEXACT, 3, reinterpret_cast<LPARAM>("ALPHA")), 0);
    EXPECT_EQ(SendMessageA(hList, LB_FINDSTRING, 0, reinterpret_cast<LPARAM>("zz")), LB_ERR);
    EXPECT_EQ(SendMessageA(hList, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(hList, LB_SETCURSEL, 9, 0), LB_ERR);
    SendMessageA(hList, LB_SETCURSEL, 3, 0);
    SendMessageA(hList, LB_SETITEMDATA, 4, 1234);
    // Deleting an item before the selection keeps the same item selected.
    EXPECT_EQ(SendMessageA(hList, LB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(SendMessageA(hList, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(hList, LB_GETITEMDATA, 3, 0), 1234);
    EXPECT_EQ(SendMessageA(hList, LB_GETTEXTLEN, 2, 0), 7);
    // Setting the selection from the program sends nothing.
    EXPECT_TRUE(TakeCommands({LBN_SELCHANGE}).empty());
    // An unsorted list keeps the order items came in; LB_INSERTSTRING places them.
    HWND hPlain = Make(WC_LISTBOXA, "", 0, 61, 200, 10, 150, 60);
    Add(hPlain, LB_ADDSTRING, {"b", "a"});
    SendMessageA(hPlain, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("c"));
    EXPECT_EQ(Items(hPlain, LB_GETCOUNT, LB_GETTEXT), (std::vector<std::string>{"b", "c", "a"}));
}

TEST_F(ListControlsTest, ListBoxMouseAndKeysNotify)
{
    HWND hList = Make(WC_LISTBOXA, "", LBS_NOTIFY, 60, 10, 10, 150, 40);
    Add(hList, LB_ADDSTRING, {"one", "two", "three", "four", "five", "six"});
    POINT pt = ItemPoint(hList, 1);
    Click(hList, pt.x, pt.y);
    EXPECT_EQ(SendMessageA(hList, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(GetFocus(), hList);
    EXPECT_EQ(TakeCommands({LBN_SELCHANGE, LBN_DBLCLK}), (std::vector<Notification>{{60, LBN_SELCHANGE}}));
    // The keys move the selection, scrolling to keep it in view.
    m_Driver.key(VK_DOWN);
    m_Driver.key(VK_DOWN);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(SendMessageA(hList, LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(TakeCommands({LBN_SELCHANGE}).size(), 2u);
    int nRows = 40 / static_cast<int>(SendMessageA(hList, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(SendMessageA(hList, LB_GETTOPINDEX, 0, 0), 3 - nRows + 1);
    m_Driver.key(VK_END);
    m_Driver.type("t");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(SendMessageA(hList, LB_GETCURSEL, 0, 0), 1);   // the next item starting with "t", from the end around
    m_Driver.key(VK_HOME);
    m_Driver.key(VK_UP);   // already at the top: nothing changes
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(TakeCommands({LBN_SELCHANGE}).size(), 3u);
    // A double click on an item.
    SendMessageA(hList, LB_SETTOPINDEX, 0, 0);
    m_Driver.advance(1000);
    pt = ItemPoint(hList, 0);
    Click(hList, pt.x, pt.y, true);
    EXPECT_EQ(TakeCommands({LBN_DBLCLK}), (std::vector<Notification>{{60, LBN_DBLCLK}}));
}

const char* const LIGHT_TYPES[] = {"Spot", "Point", "Surface", "Directionnal", nullptr};
const win32::DialogItemTemplate COMBO_ITEMS[] = {
    {WC_COMBOBOXA, "", 1018, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 0, 7, 17,
     83, 60, LIGHT_TYPES},
    {WC_COMBOBOXA, "", 1020, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL, 0, 7, 42, 83,
     60, LIGHT_TYPES},
};
const win32::DialogTemplate COMBO_DIALOG{WS_CHILD | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 152, 62, "", "MS Sans Serif", 8,
                                         COMBO_ITEMS, 2};

TEST_F(ListControlsTest, ComboBoxFromInitDataDropsAndChooses)
{
    HWND hDlg = CreateDialogIndirectParamA(nullptr, &COMBO_DIALOG, m_hParent, nullptr, 0);
    ASSERT_NE(hDlg, nullptr);
    m_Driver.pumpUntilIdle();
    HWND hCombo = GetDlgItem(hDlg, 1018);
    EXPECT_EQ(Items(hCombo, CB_GETCOUNT, CB_GETLBTEXT),
              (std::vector<std::string>{"Directionnal", "Point", "Spot", "Surface"}));
    EXPECT_EQ(SendMessageA(hCombo, CB_GETCURSEL, 0, 0), CB_ERR);
    // The field is one line high; the dropped list keeps the template's height.
    RECT rc;
    GetWindowRect(hCombo, &rc);
    EXPECT_LT(rc.bottom - rc.top, 30);
    // Record what the dialog hears through its parent-notification path.
    std::vector<Notification> heard;
    SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&heard));
    auto proc = [](HWND h, UINT m, WPARAM w, LPARAM) -> INT_PTR {
        if (m == WM_COMMAND)
            if (auto* p = reinterpret_cast<std::vector<Notification>*>(GetWindowLongPtrA(h, DWLP_USER)))
                p->push_back({LOWORD(w), HIWORD(w)});
        return FALSE;
    };
    SetWindowLongPtrA(hDlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(static_cast<DLGPROC>(proc)));

    Click(hCombo, 10, 5);
    EXPECT_EQ(SendMessageA(hCombo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    HWND hList = m_Driver.find("class:ComboLBox");
    ASSERT_NE(hList, nullptr);
    EXPECT_TRUE(IsWindowVisible(hList));
    POINT pt = ItemPoint(hList, 2);
    m_Driver.mouse(At(hList, pt.x, pt.y));
    Click(hList, pt.x, pt.y);
    EXPECT_EQ(SendMessageA(hCombo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_FALSE(IsWindowVisible(hList));
    EXPECT_EQ(SendMessageA(hCombo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Text(hCombo), "Spot");
    EXPECT_EQ(heard, (std::vector<Notification>{{1018, CBN_SETFOCUS}, {1018, CBN_DROPDOWN}, {1018, CBN_SELCHANGE},
                                                {1018, CBN_SELENDOK}, {1018, CBN_CLOSEUP}}));
    heard.clear();
    // Keys: Down moves the selection while closed; F4 drops, Esc closes keeping the selection.
    m_Driver.key(VK_DOWN);
    m_Driver.key(VK_F4);
    m_Driver.key(VK_DOWN);
    m_Driver.key(VK_ESCAPE);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(SendMessageA(hCombo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(heard, (std::vector<Notification>{{1018, CBN_SELCHANGE}, {1018, CBN_DROPDOWN}, {1018, CBN_SELENDCANCEL},
                                                {1018, CBN_CLOSEUP}}));
    // A press outside the dropped list closes it.
    Click(hCombo, 10, 5);
    Click(hDlg, 200, 90);
    EXPECT_EQ(SendMessageA(hCombo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(GetCapture(), nullptr);

    // The drop-down's text lives in its edit, where typing tells the parent.
    HWND hEditCombo = GetDlgItem(hDlg, 1020);
    SendMessageA(hEditCombo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Text(hEditCombo), "Point");
    heard.clear();
    SetFocus(hEditCombo);
    m_Driver.type("x");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hEditCombo), "x");   // the text was selected, so typing replaced it
    EXPECT_NE(std::find(heard.begin(), heard.end(), Notification{1020, CBN_EDITCHANGE}), heard.end());
    DestroyWindow(hDlg);
    EXPECT_EQ(m_Driver.find("class:ComboLBox"), nullptr);
}
}
