// The paint cycle, window DCs, the compositor, PresentToWindow and the window snapshot golden.
#include "GoldenKit.h"
#include "WindowTestKit.h"

#include <core/PixelImage.h>
#include <win32/gdi.h>
#include <win32/present.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <fstream>
#include <iterator>
#include <sstream>

namespace
{
constexpr DWORD kDesktopPixel = 0x3A6EA5;   // COLOR_DESKTOP (58, 110, 165)

class PaintTest : public WindowTest
{
protected:
    DWORD DesktopPixel(int x, int y)
    {
        win32::Image32 image;
        EXPECT_TRUE(win32::GetDesktopImage(image));
        return image.m_Pixels[static_cast<size_t>(y) * image.m_nWidth + x] & 0xFFFFFF;
    }
    POINT ClientOnScreen(HWND hWnd, int x, int y)
    {
        POINT pt{x, y};
        ClientToScreen(hWnd, &pt);
        return pt;
    }
};

// Fills the client area with a colour on every WM_PAINT.
std::optional<LRESULT> PaintSolid(HWND hWnd, UINT nMessage, COLORREF color)
{
    if (nMessage != WM_PAINT)
        return std::nullopt;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    HBRUSH hBrush = CreateSolidBrush(color);
    FillRect(hdc, &ps.rcPaint, hBrush);
    DeleteObject(hBrush);
    EndPaint(hWnd, &ps);
    return 0;
}

TEST_F(PaintTest, TwoInvalidationsGiveOnePaintParentFirst)
{
    HWND hParent = Create("parent", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80);
    HWND hChild = Create("child", WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, hParent, 1);
    m_Driver.pumpUntilIdle();
    MessageLog().clear();
    InvalidateRect(hParent, nullptr, TRUE);
    InvalidateRect(hParent, nullptr, FALSE);
    m_Driver.pumpUntilIdle();
    std::vector<std::pair<HWND, UINT>> seen;
    for (const LoggedMessage& m : MessageLog())
        if (m.m_nMessage == WM_PAINT || m.m_nMessage == WM_ERASEBKGND)
            seen.emplace_back(m.m_hWnd, m.m_nMessage);
    const std::vector<std::pair<HWND, UINT>> expected = {
        {hParent, WM_PAINT}, {hParent, WM_ERASEBKGND}, {hChild, WM_PAINT}, {hChild, WM_ERASEBKGND}};
    EXPECT_EQ(seen, expected);
    // Validated: nothing more to paint.
    MessageLog().clear();
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(MessagesOf(nullptr, {WM_PAINT}).empty());
}

TEST_F(PaintTest, PaintedPixelsReachTheComposedDesktop)
{
    CurrentHandler() = [](HWND h, UINT m, WPARAM, LPARAM) { return PaintSolid(h, m, RGB(200, 10, 20)); };
    HWND hWnd = Create("solid", WS_POPUP | WS_VISIBLE, 40, 30, 50, 20);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(DesktopPixel(40, 30), 0xC80A14u);
    EXPECT_EQ(DesktopPixel(89, 49), 0xC80A14u);
    EXPECT_EQ(DesktopPixel(90, 30), kDesktopPixel);
    EXPECT_EQ(DesktopPixel(39, 30), kDesktopPixel);
    // Moving the window moves its pixels, with no repaint needed.
    CurrentHandler() = nullptr;
    SetWindowPos(hWnd, nullptr, 100, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
    EXPECT_EQ(DesktopPixel(40, 30), kDesktopPixel);
    EXPECT_EQ(DesktopPixel(100, 30), 0xC80A14u);
}

TEST_F(PaintTest, ClientDcClipsChildrenOnlyUnderClipChildren)
{
    for (DWORD nClip : {DWORD{0}, DWORD{WS_CLIPCHILDREN}})
    {
        HWND hParent = Create("parent", WS_POPUP | WS_VISIBLE | nClip, 0, 0, 40, 40);
        Create("child", WS_CHILD | WS_VISIBLE, 10, 10, 10, 10, hParent, 1);
        m_Driver.pumpUntilIdle();
        RECT rc{0, 0, 40, 40};
        // The window DC never clips children: white everywhere first.
        HDC hdc = GetWindowDC(hParent);
        FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(hParent, hdc);
        hdc = GetDC(hParent);
        FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(hParent, hdc);
        // The child's area stays untouched only when the parent clips its children.
        EXPECT_EQ(DesktopPixel(15, 15), nClip ? 0xFFFFFFu : 0u);
        EXPECT_EQ(DesktopPixel(5, 5), 0u);
        DestroyWindow(hParent);
    }
}

TEST_F(PaintTest, PresentStretchesIntoTheClientAreaAndSparesSiblingsAbove)
{
    HWND hParent = Create("frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
    HWND hRender = Create("render", WS_CHILD | WS_VISIBLE, 0, 0, 80, 60, hParent, 1);
    HWND hTool = Create("tool", WS_CHILD | WS_VISIBLE, 60, 40, 30, 30, hParent, 2);
    SetWindowPos(hTool, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_Driver.pumpUntilIdle();
    int nBefore = win32::HeadlessImageCount();
    // 2x2 frame: red, green / blue, white, stretched to 80x60.
    const DWORD frame[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    ASSERT_TRUE(win32::PresentToWindow(hRender, 2, 2, frame));
    EXPECT_EQ(DesktopPixel(0, 0), 0xFF0000u);
    EXPECT_EQ(DesktopPixel(39, 29), 0xFF0000u);
    EXPECT_EQ(DesktopPixel(40, 0), 0x00FF00u);
    EXPECT_EQ(DesktopPixel(0, 30), 0x0000FFu);
    EXPECT_EQ(DesktopPixel(59, 59), 0xFFFFFFu);
    // Under the tool window the frame does not land.
    EXPECT_NE(DesktopPixel(70, 50), 0xFFFFFFu);
    // The headless presenter was shown the new desktop.
    EXPECT_EQ(win32::HeadlessImageCount(), nBefore + 1);
    const win32::Image32& shown = win32::HeadlessLastImage();
    EXPECT_EQ(shown.m_Pixels[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_FALSE(win32::PresentToWindow(reinterpret_cast<HWND>(0x12345), 2, 2, frame));
}

TEST_F(PaintTest, ScriptSnapshotsGoBelowTheSnapshotFolder)
{
    char szDir[] = "/tmp/quen_snaps_XXXXXX";
    ASSERT_NE(mkdtemp(szDir), nullptr);
    setenv("QUENLARIS_SNAPSHOT_DIR", szDir, 1);
    CurrentHandler() = [](HWND h, UINT m, WPARAM, LPARAM) { return PaintSolid(h, m, RGB(0, 128, 0)); };
    Create("top", WS_POPUP | WS_VISIBLE, 10, 10, 30, 20);
    m_Driver.pumpUntilIdle();
    std::string strError;
    ASSERT_TRUE(m_Driver.loadScript("snapshot desktop desk.png\nsnapshot title:top win.png\nsnapshot #99 none.png\n", strError))
        << strError;
    m_Driver.advance(1);
    m_Driver.pumpUntilIdle();
    unsetenv("QUENLARIS_SNAPSHOT_DIR");
    PixelImage desk;
    PixelImage win;
    ASSERT_TRUE(desk.LoadPNG((std::string(szDir) + "/desk.png").c_str(), false, false));
    ASSERT_TRUE(win.LoadPNG((std::string(szDir) + "/win.png").c_str(), false, false));
    EXPECT_EQ(desk.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(win.width, 30);
    EXPECT_EQ(win.height, 20);
    EXPECT_EQ(win.pixels[1], 128);   // green, in blue-green-red order
    ASSERT_EQ(m_Driver.failures().size(), 1u);
    EXPECT_NE(m_Driver.failures()[0].find("no snapshot written"), std::string::npos);
    std::remove((std::string(szDir) + "/desk.png").c_str());
    std::remove((std::string(szDir) + "/win.png").c_str());
    rmdir(szDir);
}

// ---- The golden snapshot: a captioned window with a few shapes.
std::optional<LRESULT> PaintShapes(HWND hWnd, UINT nMessage)
{
    if (nMessage != WM_PAINT)
        return std::nullopt;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    RECT rc{4, 4, 40, 24};
    DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT);
    SelectObject(hdc, GetStockObject(BLACK_PEN));
    MoveToEx(hdc, 50, 4, nullptr);
    LineTo(hdc, 80, 24);
    win32::Draw3dRect(hdc, 84, 4, 20, 20, RGB(255, 0, 0), RGB(0, 0, 255));
    EndPaint(hWnd, &ps);
    return 0;
}

TEST_F(PaintTest, CaptionedWindowMatchesItsGolden)
{
    const std::string strGolden = std::string(QUEN_TEST_DATA_DIR) + "/captioned_window.png";
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    wc.lpszClassName = "GoldenWnd";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    CurrentHandler() = [](HWND h, UINT m, WPARAM, LPARAM) { return PaintShapes(h, m); };
    HWND hWnd = CreateWindowExA(0, "GoldenWnd", "Golden", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 20, 20, 120, 60,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    m_Driver.pumpUntilIdle();
    int nDiffering = CompareWithGolden(hWnd, "captioned_window");
    if (nDiffering < 0)
        GTEST_SKIP() << "the DejaVu font files differ from the ones the golden was drawn with";
    EXPECT_EQ(nDiffering, 0);
    PixelImage golden;
    ASSERT_TRUE(golden.LoadPNG(strGolden.c_str(), false, false));
    ASSERT_EQ(golden.width, 120);
    ASSERT_EQ(golden.height, 60);
    // The snapshot writer round-trips through the same PNG reader.
    char szTemp[] = "/tmp/quen_snapshot_XXXXXX";
    int fd = mkstemp(szTemp);
    ASSERT_GE(fd, 0);
    close(fd);
    std::string strOut = std::string(szTemp) + ".png";
    ASSERT_TRUE(win32::SaveSnapshot(hWnd, strOut.c_str()));
    PixelImage again;
    ASSERT_TRUE(again.LoadPNG(strOut.c_str(), false, false));
    EXPECT_EQ(std::memcmp(again.pixels, golden.pixels, 120 * 60 * 3), 0);
    std::remove(strOut.c_str());
    std::remove(szTemp);
}
}
