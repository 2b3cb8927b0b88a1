// Drawing icons (through their mask, stretched, over a flicker-free brush), DrawState's normal
// and disabled looks, and the cursor the window under the mouse chooses with WM_SETCURSOR.
#include "WindowTestKit.h"

#include <win32/cursor.h>
#include <win32/drawicon.h>
#include <win32/gdi.h>
#include <win32/icons.h>
#include <win32/messages.h>
#include <win32/user.h>

namespace
{
const COLORREF GROUND = RGB(10, 120, 200);

// A 4 x 2 colour icon: (0, 0) transparent, (1, 0) black, (2, 0) white, the rest red.
HICON MakeIcon()
{
    const DWORD colours[8] = {0x000000, 0x000000, 0xFFFFFF, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000};
    const WORD maskRows[2] = {0x0080, 0x0000};   // bit 7 of the first row: x = 0
    HBITMAP hColor = CreateBitmap(4, 2, 1, 32, colours);
    HBITMAP hMask = CreateBitmap(4, 2, 1, 1, maskRows);
    ICONINFO info{TRUE, 0, 0, hMask, hColor};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hColor);
    DeleteObject(hMask);
    return hIcon;
}

// A memory DC over a w x h image filled with the ground colour.
class Canvas
{
public:
    Canvas(int w, int h) : m_hdc(CreateCompatibleDC(nullptr)), m_hbm(CreateBitmap(w, h, 1, 32, nullptr))
    {
        m_hOld = SelectObject(m_hdc, m_hbm);
        HBRUSH hBrush = CreateSolidBrush(GROUND);
        RECT rc{0, 0, w, h};
        FillRect(m_hdc, &rc, hBrush);
        DeleteObject(hBrush);
    }
    ~Canvas()
    {
        SelectObject(m_hdc, m_hOld);
        DeleteDC(m_hdc);
        DeleteObject(m_hbm);
    }
    COLORREF At(int x, int y) const { return GetPixel(m_hdc, x, y); }
    HDC m_hdc;

private:
    HBITMAP m_hbm;
    HGDIOBJ m_hOld;
};
}

TEST(IconDrawingTest, IconsDrawThroughTheirMaskAtAnySize)
{
    win32::Driver driver;
    HICON hIcon = MakeIcon();
    ASSERT_NE(hIcon, nullptr);
    {
        Canvas canvas(8, 4);
        ASSERT_TRUE(DrawIcon(canvas.m_hdc, 1, 1, hIcon));
        EXPECT_EQ(canvas.At(1, 1), GROUND);   // transparent
        EXPECT_EQ(canvas.At(2, 1), RGB(0, 0, 0));
        EXPECT_EQ(canvas.At(3, 1), RGB(255, 255, 255));
        EXPECT_EQ(canvas.At(4, 2), RGB(255, 0, 0));
        EXPECT_EQ(canvas.At(5, 1), GROUND);   // beyond the icon
    }
    {
        // Twice the size: each icon pixel covers 2 x 2; the transparent one shows the ground.
        Canvas canvas(8, 4);
        ASSERT_TRUE(DrawIconEx(canvas.m_hdc, 0, 0, hIcon, 8, 4, 0, nullptr, DI_NORMAL));
        EXPECT_EQ(canvas.At(1, 1), GROUND);
        EXPECT_EQ(canvas.At(2, 0), RGB(0, 0, 0));
        EXPECT_EQ(canvas.At(3, 1), RGB(0, 0, 0));
        EXPECT_EQ(canvas.At(7, 3), RGB(255, 0, 0));
    }
    {
        // Over a brush: the transparent pixel takes the brush, not the ground.
        Canvas canvas(8, 4);
        HBRUSH hBrush = CreateSolidBrush(RGB(0, 255, 0));
        ASSERT_TRUE(DrawIconEx(canvas.m_hdc, 0, 0, hIcon, 0, 0, 0, hBrush, DI_NORMAL));
        DeleteObject(hBrush);
        EXPECT_EQ(canvas.At(0, 0), RGB(0, 255, 0));
        EXPECT_EQ(canvas.At(3, 0), RGB(255, 0, 0));
        EXPECT_EQ(canvas.At(4, 0), GROUND);
    }
    EXPECT_FALSE(DrawIcon(nullptr, 0, 0, hIcon));
    DestroyIcon(hIcon);
    Canvas canvas(2, 2);
    EXPECT_FALSE(DrawIcon(canvas.m_hdc, 0, 0, hIcon));   // a destroyed icon
}

TEST(IconDrawingTest, DisabledStateEmbossesWhatIsNotWhite)
{
    win32::Driver driver;
    HICON hIcon = MakeIcon();
    const COLORREF crLight = GetSysColor(COLOR_3DHILIGHT), crShadow = GetSysColor(COLOR_3DSHADOW);
    {
        Canvas normal(8, 4), drawn(8, 4);
        ASSERT_TRUE(DrawStateA(normal.m_hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, 1, 1, 0, 0,
                               DST_ICON | DSS_NORMAL));
        DrawIcon(drawn.m_hdc, 1, 1, hIcon);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(normal.At(x, y), drawn.At(x, y)) << x << "," << y;
    }
    Canvas canvas(8, 4);
    ASSERT_TRUE(DrawStateA(canvas.m_hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, 1, 1, 0, 0,
                           DST_ICON | DSS_DISABLED));
    // Icon pixel (i, j) is at (1 + i, 1 + j); its highlight at (2 + i, 2 + j).
    EXPECT_EQ(canvas.At(1, 1), GROUND);    // transparent: no shape
    EXPECT_EQ(canvas.At(2, 1), crShadow);  // black
    EXPECT_EQ(canvas.At(3, 1), GROUND);    // white: no shape
    EXPECT_EQ(canvas.At(4, 1), crShadow);  // red
    EXPECT_EQ(canvas.At(3, 2), crShadow);  // the shadow covers the black pixel's highlight
    EXPECT_EQ(canvas.At(5, 2), crLight);   // the highlights stick out right and below
    EXPECT_EQ(canvas.At(2, 3), crLight);
    EXPECT_EQ(canvas.At(5, 3), crLight);
    EXPECT_EQ(canvas.At(1, 3), GROUND);
    EXPECT_FALSE(DrawStateA(canvas.m_hdc, nullptr, nullptr, 0, 0, 0, 0, 0, 0, DST_ICON));
    DestroyIcon(hIcon);
}

class CursorTest : public WindowTest
{
};

TEST_F(CursorTest, TheWindowUnderAnUncapturedMouseChoosesTheCursor)
{
    const BYTE andPlane[4] = {}, xorPlane[4] = {};
    HCURSOR hClassCursor = CreateCursor(nullptr, 0, 0, 16, 2, andPlane, xorPlane);
    HCURSOR hParentCursor = CreateCursor(nullptr, 1, 1, 16, 2, andPlane, xorPlane);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RecordingProc;
    wc.hCursor = hClassCursor;
    wc.lpszClassName = "CursorWnd";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND hTop = Create("Top", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    HWND hChild = CreateWindowExA(0, "CursorWnd", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, hTop, nullptr, nullptr,
                                  nullptr);
    bool bParentChooses = false;
    CurrentHandler() = [&](HWND hWnd, UINT nMessage, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (nMessage == WM_SETCURSOR && hWnd == hTop && bParentChooses)
        {
            SetCursor(hParentCursor);
            return TRUE;
        }
        return std::nullopt;
    };
    SetCursor(nullptr);

    // Over the child: its class cursor, chosen before the move arrives, with the hit code and
    // the mouse message.
    MessageLog().clear();
    m_Driver.mouse(POINT{130, 130});
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(GetCursor(), hClassCursor);
    const std::vector<UINT> childMessages = MessagesOf(hChild, {WM_SETCURSOR, WM_MOUSEMOVE});
    ASSERT_GE(childMessages.size(), 2u);
    EXPECT_EQ(childMessages[0], static_cast<UINT>(WM_SETCURSOR));
    EXPECT_EQ(childMessages[1], static_cast<UINT>(WM_MOUSEMOVE));
    for (const LoggedMessage& m : MessageLog())
        if (m.m_nMessage == WM_SETCURSOR && m.m_hWnd == hChild)
        {
            EXPECT_EQ(m.m_wParam, reinterpret_cast<WPARAM>(hChild));
            EXPECT_EQ(m.m_lParam, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        }

    // A parent that answers TRUE decides for its child.
    bParentChooses = true;
    m_Driver.mouse(POINT{131, 130});
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(GetCursor(), hParentCursor);

    // A captured mouse brings no WM_SETCURSOR.
    bParentChooses = false;
    SetCapture(hChild);
    SetCursor(nullptr);
    MessageLog().clear();
    m_Driver.mouse(POINT{150, 150});
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(MessagesOf(nullptr, {WM_SETCURSOR}).empty());
    EXPECT_EQ(GetCursor(), nullptr);
    ReleaseCapture();

    DestroyWindow(hTop);
    DestroyCursor(hClassCursor);
    DestroyCursor(hParentCursor);
}
