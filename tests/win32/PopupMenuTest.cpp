#include "GoldenKit.h"
#include "WindowTestKit.h"

#include <win32/controls.h>
#include <win32/menus.h>
#include <win32/sysparams.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// "&Open" 101, a separator, "&Recent" (a submenu: "&One" 201, "&Two" 202), "E&xit\tAlt+F4" 103
// and a grayed "&Gone" 104.
struct SampleMenu
{
    HMENU m_hMenu = CreatePopupMenu();
    HMENU m_hRecent = CreatePopupMenu();
    SampleMenu()
    {
        AppendMenuA(m_hRecent, MF_STRING, 201, "&One");
        AppendMenuA(m_hRecent, MF_STRING, 202, "&Two");
        AppendMenuA(m_hMenu, MF_STRING, 101, "&Open");
        AppendMenuA(m_hMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(m_hRecent), "&Recent");
        AppendMenuA(m_hMenu, MF_STRING | MF_CHECKED, 103, "E&xit\tAlt+F4");
        AppendMenuA(m_hMenu, MF_STRING | MF_GRAYED, 104, "&Gone");
    }
    ~SampleMenu() { DestroyMenu(m_hMenu); }
};

std::vector<LoggedMessage> g_Filtered;
bool g_bEatEscape = false;
bool g_bCancelOnTwo = false;
bool g_bEatMenuSelect = false;
HWND g_hCancelTarget = nullptr;

LRESULT CALLBACK RecordingFilter(int nCode, WPARAM wParam, LPARAM lParam)
{
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (nCode == MSGF_MENU)
    {
        g_Filtered.push_back({pMsg->hwnd, pMsg->message, pMsg->wParam, pMsg->lParam});
        if (g_bEatEscape && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
            return 1;
        if (g_bEatMenuSelect && pMsg->message == WM_MENUSELECT && LOWORD(pMsg->wParam) != 202)
            return 1;
        // The way a menu bar switches popups: it cancels the open one from inside its filter.
        if (g_bCancelOnTwo && pMsg->message == WM_MENUSELECT && LOWORD(pMsg->wParam) == 202)
        {
            SendMessageA(g_hCancelTarget, WM_CANCELMODE, 0, 0);
            return 1;
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}
}

class PopupMenuTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        g_Filtered.clear();
        g_bEatEscape = g_bCancelOnTwo = g_bEatMenuSelect = false;
        m_hOwner = Create("Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
        ASSERT_NE(m_hOwner, nullptr);
        MessageLog().clear();
    }

    // The open levels, outermost first.
    static std::vector<HWND> Popups()
    {
        std::vector<HWND> out;
        for (HWND h : win32::GetTopLevelWindows())
        {
            char szClass[16] = {};
            GetClassNameA(h, szClass, sizeof(szClass));
            if (std::strcmp(szClass, "#32768") == 0 && IsWindowVisible(h))
                out.insert(out.begin(), h);
        }
        return out;
    }

    // The screen centre of item nIndex of an open popup.
    static POINT ItemCentre(HMENU hMenu, int nIndex)
    {
        RECT rc{};
        EXPECT_TRUE(GetMenuItemRect(nullptr, hMenu, static_cast<UINT>(nIndex), &rc));
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }

    // The WM_COMMAND ids the owner received once the loop's posted messages were dispatched.
    std::vector<WPARAM> Commands()
    {
        m_Driver.pumpUntilIdle();
        std::vector<WPARAM> ids;
        for (const LoggedMessage& m : MessageLog())
            if (m.m_hWnd == m_hOwner && m.m_nMessage == WM_COMMAND)
                ids.push_back(LOWORD(m.m_wParam));
        return ids;
    }

    HWND m_hOwner = nullptr;
};

TEST_F(PopupMenuTest, KeysSelectSkipSeparatorsAndChooseThroughTheOwnersCommand)
{
    struct Case
    {
        std::vector<BYTE> m_Keys;
        BOOL m_bResult;
        std::vector<WPARAM> m_Commands;
    };
    const Case cases[] = {
        {{VK_DOWN, VK_RETURN}, TRUE, {101}},
        {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, TRUE, {103}},       // the separator is skipped
        {{VK_UP, VK_UP, VK_RETURN}, TRUE, {103}},                    // Up wraps to the last items
        {{'X'}, TRUE, {103}},                                        // a mnemonic chooses at once
        {{VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}, TRUE, {202}},   // into the submenu
        {{'R', 'T'}, TRUE, {202}},                                   // a mnemonic opens a submenu
        {{'G', VK_ESCAPE}, FALSE, {}},                               // grayed items are not chosen
        {{'R', VK_LEFT, VK_ESCAPE}, FALSE, {}},
    };
    for (const Case& c : cases)
    {
        SampleMenu m;
        MessageLog().clear();
        for (BYTE nKey : c.m_Keys)
            m_Driver.key(nKey);
        EXPECT_EQ(TrackPopupMenu(m.m_hMenu, 0, 150, 150, 0, m_hOwner, nullptr), c.m_bResult);
        EXPECT_EQ(Commands(), c.m_Commands);
        EXPECT_TRUE(Popups().empty());
    }
}

TEST_F(PopupMenuTest, ReturnCommandGivesTheIdAndPostsNothing)
{
    SampleMenu m;
    m_Driver.key(VK_DOWN);
    m_Driver.key(VK_RETURN);
    EXPECT_EQ(TrackPopupMenuEx(m.m_hMenu, TPM_RETURNCMD, 150, 150, m_hOwner, nullptr), 101);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(PopupMenuTest, NestedSubmenuOpensBesideItsItemAndLeftClosesOnlyIt)
{
    SampleMenu m;
    std::vector<size_t> levels;
    m_Driver.key('R');
    m_Driver.at(10, [&] { levels.push_back(Popups().size()); m_Driver.key(VK_LEFT); });
    m_Driver.at(20, [&] {
        levels.push_back(Popups().size());
        m_Driver.key(VK_RIGHT);
    });
    m_Driver.at(30, [&] {
        std::vector<HWND> popups = Popups();
        levels.push_back(popups.size());
        if (popups.size() == 2)
        {
            RECT rcOuter, rcInner;
            GetWindowRect(popups[0], &rcOuter);
            GetWindowRect(popups[1], &rcInner);
            EXPECT_GT(rcInner.left, (rcOuter.left + rcOuter.right) / 2);
            EXPECT_GT(rcInner.top, rcOuter.top);
        }
        m_Driver.key(VK_RETURN);
    });
    EXPECT_TRUE(TrackPopupMenu(m.m_hMenu, 0, 150, 150, 0, m_hOwner, nullptr));
    EXPECT_EQ(levels, (std::vector<size_t>{2, 1, 2}));
    EXPECT_EQ(Commands(), std::vector<WPARAM>{201});
}

TEST_F(PopupMenuTest, MouseHoverOpensASubmenuAndAReleaseChooses)
{
    SampleMenu m;
    m_Driver.at(10, [&] { m_Driver.mouse(ItemCentre(m.m_hMenu, 2)); });
    m_Driver.at(20, [&] {
        EXPECT_EQ(Popups().size(), 2u);
        POINT pt = ItemCentre(m.m_hRecent, 1);
        m_Driver.mouse(pt);
        m_Driver.mouse(pt, 0, true);
        m_Driver.mouse(pt, 0, false);
    });
    EXPECT_TRUE(TrackPopupMenu(m.m_hMenu, 0, 150, 150, 0, m_hOwner, nullptr));
    EXPECT_EQ(Commands(), std::vector<WPARAM>{202});
    // The selection was announced with the submenu's position and MF_POPUP, then the command.
    std::vector<WPARAM> selected;
    for (const LoggedMessage& msg : MessageLog())
        if (msg.m_hWnd == m_hOwner && msg.m_nMessage == WM_MENUSELECT)
            selected.push_back(msg.m_wParam);
    EXPECT_EQ(selected, (std::vector<WPARAM>{MAKEWPARAM(2, MF_POPUP | MF_HILITE | MF_MOUSESELECT),
                                             MAKEWPARAM(202, MF_HILITE | MF_MOUSESELECT), MAKEWPARAM(0, 0xFFFF)}));
}

TEST_F(PopupMenuTest, AClickOutsideClosesTheMenuAndIsEaten)
{
    SampleMenu m;
    HWND hOther = Create("Other", WS_POPUP | WS_VISIBLE, 600, 600, 100, 100);
    MessageLog().clear();
    m_Driver.at(10, [&] {
        m_Driver.mouse(POINT{650, 650}, 0, true);
        m_Driver.mouse(POINT{650, 650}, 0, false);
    });
    EXPECT_FALSE(TrackPopupMenu(m.m_hMenu, 0, 150, 150, 0, m_hOwner, nullptr));
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(MessagesOf(hOther, {WM_LBUTTONDOWN}).empty());
    EXPECT_TRUE(Commands().empty());
}

TEST_F(PopupMenuTest, OwnerHearsInitMeasureDrawAndCloseInOrder)
{
    HMENU hMenu = CreatePopupMenu();
    AppendMenuA(hMenu, MF_OWNERDRAW, 301, reinterpret_cast<LPCSTR>(0x1234));
    AppendMenuA(hMenu, MF_OWNERDRAW | MF_CHECKED, 302, reinterpret_cast<LPCSTR>(0x5678));
    std::vector<std::string> events;
    std::vector<int> widths;
    CurrentHandler() = [&](HWND, UINT nMessage, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (nMessage == WM_INITMENUPOPUP)
            events.push_back(reinterpret_cast<HMENU>(wParam) == hMenu ? "init" : "init?");
        if (nMessage == WM_MEASUREITEM)
        {
            auto* p = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            events.push_back("measure " + std::to_string(p->itemID) + " " + std::to_string(p->itemData));
            p->itemWidth = 80;
            p->itemHeight = 20;
            return TRUE;
        }
        if (nMessage == WM_DRAWITEM)
        {
            auto* p = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            events.push_back("draw " + std::to_string(p->itemID) + " " + std::to_string(p->itemState) + " " +
                             std::to_string(p->rcItem.top) + "-" + std::to_string(p->rcItem.bottom));
            EXPECT_EQ(p->CtlType, static_cast<UINT>(ODT_MENU));
            EXPECT_EQ(p->hwndItem, reinterpret_cast<HWND>(hMenu));
            widths.push_back(p->rcItem.right - p->rcItem.left);
            return TRUE;
        }
        if (nMessage == WM_MENUSELECT)
            events.push_back("select " + std::to_string(HIWORD(wParam)));
        return std::nullopt;
    };
    m_Driver.at(10, [&] { m_Driver.key(VK_DOWN); });
    m_Driver.at(20, [&] { m_Driver.key(VK_ESCAPE); });
    EXPECT_FALSE(TrackPopupMenu(hMenu, 0, 150, 150, 0, m_hOwner, nullptr));
    // A repaint may draw the unchanged item again; only its first drawing matters here.
    auto itFirst = std::find(events.begin(), events.end(), "draw 302 " + std::to_string(ODS_CHECKED) + " 20-40");
    if (itFirst != events.end())
        events.erase(std::remove(itFirst + 1, events.end(), *itFirst), events.end());
    EXPECT_EQ(events, (std::vector<std::string>{
                          "init", "measure 301 4660", "measure 302 22136", "draw 301 0 0-20",
                          "draw 302 " + std::to_string(ODS_CHECKED) + " 20-40",
                          "select " + std::to_string(MF_OWNERDRAW | MF_HILITE), "draw 301 1 0-20",
                          "select 65535"}));
    // Each item is as wide as measured plus the check-mark column the owner does not count.
    ASSERT_FALSE(widths.empty());
    for (int nWidth : widths)
        EXPECT_EQ(nWidth, 80 + GetSystemMetrics(SM_CXMENUCHECK) - 1);
    DestroyMenu(hMenu);
}

TEST_F(PopupMenuTest, FilterHookSeesScreenPointsCanEatKeysAndEndTheMenu)
{
    SampleMenu m;
    HHOOK hHook = SetWindowsHookExA(WH_MSGFILTER, RecordingFilter, nullptr, 0);
    g_bEatEscape = true;
    g_bCancelOnTwo = true;
    g_bEatMenuSelect = true;
    g_hCancelTarget = m_hOwner;
    POINT ptOpen{};
    m_Driver.key(VK_ESCAPE);   // eaten: the menu stays open
    m_Driver.at(10, [&] {
        EXPECT_EQ(Popups().size(), 1u);
        ptOpen = ItemCentre(m.m_hMenu, 0);
        m_Driver.mouse(ptOpen);
        m_Driver.key('R');
        m_Driver.key(VK_DOWN);   // selects "&Two": the filter cancels from there
    });
    EXPECT_FALSE(TrackPopupMenu(m.m_hMenu, 0, 150, 150, 0, m_hOwner, nullptr));
    UnhookWindowsHookEx(hHook);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(Popups().empty());

    bool bMove = false, bEscape = false, bSelectFirst = false, bClosing = false;
    for (const LoggedMessage& f : g_Filtered)
    {
        if (f.m_nMessage == WM_MOUSEMOVE)
            bMove |= GET_X_LPARAM(f.m_lParam) == ptOpen.x && GET_Y_LPARAM(f.m_lParam) == ptOpen.y;
        bEscape |= f.m_nMessage == WM_KEYDOWN && f.m_wParam == VK_ESCAPE;
        bSelectFirst |= f.m_nMessage == WM_MENUSELECT && f.m_wParam == MAKEWPARAM(201, MF_HILITE) &&
                        f.m_lParam == reinterpret_cast<LPARAM>(m.m_hRecent);
        bClosing |= f.m_nMessage == WM_MENUSELECT && HIWORD(f.m_wParam) == 0xFFFF;
    }
    EXPECT_TRUE(bClosing);
    EXPECT_TRUE(bMove);
    EXPECT_TRUE(bEscape);
    EXPECT_TRUE(bSelectFirst);
    // The filter ate every selection, the closing one included, so the owner saw none.
    EXPECT_TRUE(MessagesOf(m_hOwner, {WM_MENUSELECT}).empty());
}

TEST_F(PopupMenuTest, VerticalPopupOpensAboveAnExclusionItDoesNotFitBelow)
{
    SampleMenu m;
    RECT rcPopup{};
    TPMPARAMS params{sizeof(TPMPARAMS), RECT{500, 990, 560, 1010}};
    m_Driver.at(10, [&] {
        GetWindowRect(Popups().front(), &rcPopup);
        m_Driver.key(VK_ESCAPE);
    });
    TrackPopupMenuEx(m.m_hMenu, TPM_VERTICAL, 500, 1010, m_hOwner, &params);
    EXPECT_EQ(rcPopup.bottom, 990);
    EXPECT_EQ(rcPopup.left, 500);
}

TEST_F(PopupMenuTest, PopupMatchesItsGolden)
{
    SampleMenu m;
    int nDiffering = 0;
    m_Driver.key('R');
    m_Driver.at(10, [&] {
        nDiffering = CompareWithGolden(Popups().front(), "popup_menu");
        m_Driver.key(VK_ESCAPE);
        m_Driver.key(VK_ESCAPE);
    });
    TrackPopupMenu(m.m_hMenu, 0, 20, 20, 0, m_hOwner, nullptr);
    if (nDiffering < 0)
        GTEST_SKIP() << "the DejaVu font files differ from the ones the golden was drawn with";
    EXPECT_EQ(nDiffering, 0);
}
