// What a window draws outside its client area and how it is reached: the menu bar band (item
// rectangles, hit test, a press opening the item's popup), WM_NCPAINT limited to a region through
// the window DC, and RedrawWindow's invalidate, frame, validate and paint-now flags.
#include "WindowTestKit.h"

#include <win32/gdi.h>
#include <win32/menus.h>

namespace
{
const UINT ID_SAVE = 32807, ID_RESET = 32808;

class NonClientTest : public WindowTest
{
protected:
    // A 300 x 200 captioned window at (100, 100) with the menu "&File" (Save, Reset) and "&Tools".
    void MakeWindowWithMenu()
    {
        m_hMenu = CreateMenu();
        m_hFile = CreatePopupMenu();
        AppendMenuA(m_hFile, MF_STRING, ID_SAVE, "&Save log as...");
        AppendMenuA(m_hFile, MF_STRING, ID_RESET, "&Reset list");
        AppendMenuA(m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(m_hFile), "&File");
        AppendMenuA(m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "&Tools");
        m_hWnd = CreateWindowExA(0, "TestWnd", "Console", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                 m_hMenu, nullptr, nullptr);
        m_Driver.pumpUntilIdle();
    }
    COLORREF WindowPixel(int x, int y)
    {
        HDC hdc = GetWindowDC(m_hWnd);
        COLORREF c = GetPixel(hdc, x, y);
        ReleaseDC(m_hWnd, hdc);
        return c;
    }
    HWND m_hWnd = nullptr;
    HMENU m_hMenu = nullptr;
    HMENU m_hFile = nullptr;
    POINT m_ptFirstItem{-1, -1};
};
}

TEST_F(NonClientTest, MenuBarItemsLieBetweenCaptionAndClientAndOpenTheirPopups)
{
    MakeWindowWithMenu();
    RECT rcFile{}, rcTools{}, rcClient{};
    ASSERT_TRUE(GetMenuItemRect(m_hWnd, m_hMenu, 0, &rcFile));
    ASSERT_TRUE(GetMenuItemRect(m_hWnd, m_hMenu, 1, &rcTools));
    RECT rcNone{};
    EXPECT_FALSE(GetMenuItemRect(m_hWnd, m_hMenu, 2, &rcNone));
    EXPECT_FALSE(GetMenuItemRect(m_hWnd, m_hFile, 0, &rcNone));   // not open
    GetClientRect(m_hWnd, &rcClient);
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcClient), 2);
    // Frame 4, caption 19, menu 19: screen coordinates, the band ending where the client begins.
    EXPECT_EQ(rcFile.left, 104);
    EXPECT_EQ(rcFile.top, 100 + 4 + 19);
    EXPECT_EQ(rcFile.bottom, rcClient.top);
    EXPECT_EQ(rcFile.bottom - rcFile.top, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(rcTools.left, rcFile.right);
    EXPECT_GT(rcFile.right - rcFile.left, 16);
    POINT ptFile{(rcFile.left + rcFile.right) / 2, (rcFile.top + rcFile.bottom) / 2};
    EXPECT_EQ(SendMessageA(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(ptFile.x, ptFile.y)), HTMENU);
    // The band is drawn: menu colour around the label, text in it.
    int xFile = rcFile.left - 100, yFile = rcFile.top - 100;
    EXPECT_EQ(WindowPixel(xFile + 1, yFile + 1), GetSysColor(COLOR_MENU));
    bool bText = false;
    for (int y = yFile; y < rcFile.bottom - 100; ++y)
        for (int x = xFile; x < rcFile.right - 100; ++x)
            bText = bText || WindowPixel(x, y) == GetSysColor(COLOR_MENUTEXT);
    EXPECT_TRUE(bText);

    // A press on "File" opens its popup below the item; Down and Enter choose its first item.
    MessageLog().clear();
    m_Driver.mouse(ptFile, 0, true);
    m_Driver.at(10, [this] { m_Driver.mouse(POINT{0, 0}, 0, false); });
    m_Driver.at(20, [this] {
        RECT rcItem{};
        EXPECT_TRUE(GetMenuItemRect(m_hWnd, m_hFile, 0, &rcItem));
        m_ptFirstItem = POINT{rcItem.left, rcItem.top};
        m_Driver.key(VK_DOWN);
        m_Driver.key(VK_RETURN);
    });
    m_Driver.pumpUntilIdle();
    // The popup opened at the item's bottom-left corner; its first item lies inside its border.
    EXPECT_GE(m_ptFirstItem.y, rcFile.bottom);
    EXPECT_LT(m_ptFirstItem.y, rcFile.bottom + 8);
    EXPECT_GE(m_ptFirstItem.x, rcFile.left);
    EXPECT_LT(m_ptFirstItem.x, rcFile.left + 8);
    std::vector<UINT> seen = MessagesOf(m_hWnd, {WM_INITMENU, WM_INITMENUPOPUP, WM_COMMAND});
    EXPECT_EQ(seen, (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP, WM_COMMAND}));
    for (const LoggedMessage& m : MessageLog())
        if (m.m_hWnd == m_hWnd && m.m_nMessage == WM_COMMAND)
        {
            EXPECT_EQ(LOWORD(m.m_wParam), ID_SAVE);
        }
}

TEST_F(NonClientTest, NcPaintWithARegionRedrawsOnlyThatPart)
{
    MakeWindowWithMenu();
    // Paint the caption red through the window DC, then repaint the left half with a region in
    // screen coordinates.
    HDC hdc = GetWindowDC(m_hWnd);
    RECT rcCaption{4, 4, 296, 22};
    HBRUSH hRed = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(hdc, &rcCaption, hRed);
    DeleteObject(hRed);
    ReleaseDC(m_hWnd, hdc);
    HRGN hRgn = CreateRectRgn(100, 100, 250, 130);
    SendMessageA(m_hWnd, WM_NCPAINT, reinterpret_cast<WPARAM>(hRgn), 0);
    DeleteObject(hRgn);
    EXPECT_NE(WindowPixel(100, 12), RGB(255, 0, 0));
    EXPECT_EQ(WindowPixel(200, 12), RGB(255, 0, 0));
    // wParam 1: the whole frame.
    SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
    EXPECT_NE(WindowPixel(200, 12), RGB(255, 0, 0));
}

TEST_F(NonClientTest, RedrawWindowInvalidatesFramesValidatesAndPaintsAtOnce)
{
    HWND hParent = Create("Parent", WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 200, 150);
    HWND hChild = Create("Child", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, hParent, 5);
    m_Driver.pumpUntilIdle();
    struct Case
    {
        UINT m_nFlags;
        std::vector<UINT> m_ParentNow;   // sent during the call
        int m_nChildPaints;              // after pumping
        bool m_bParentPending;           // an update waits after the call
    };
    const Case cases[] = {
        {RDW_INVALIDATE, {}, 0, true},
        {RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE, {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}, 0, false},
        {RDW_INVALIDATE | RDW_FRAME, {WM_NCPAINT}, 0, true},
        {RDW_INVALIDATE | RDW_ALLCHILDREN, {}, 1, true},
        {RDW_VALIDATE, {}, 0, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_nFlags);
        MessageLog().clear();
        if (c.m_nFlags == RDW_VALIDATE)
            InvalidateRect(hParent, nullptr, TRUE);
        EXPECT_TRUE(RedrawWindow(hParent, nullptr, nullptr, c.m_nFlags));
        EXPECT_EQ(MessagesOf(hParent, {WM_PAINT, WM_ERASEBKGND, WM_NCPAINT}), c.m_ParentNow);
        RECT rc;
        EXPECT_EQ(GetUpdateRect(hParent, &rc, FALSE) != FALSE, c.m_bParentPending);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(MessagesOf(hChild, {WM_PAINT}).size(), static_cast<size_t>(c.m_nChildPaints));
    }
    EXPECT_FALSE(RedrawWindow(reinterpret_cast<HWND>(0x1234), nullptr, nullptr, RDW_INVALIDATE));
}
