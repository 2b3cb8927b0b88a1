// One window under a real X server: the presenter maps a desktop-sized window, a presented
// frame is read back from the server, and an X key event becomes layer input.
#include <win32/gdi.h>
#include <win32/present.h>
#include <win32/testing.h>
#include <win32/x11.h>

// gtest before Xlib, whose macros (None, Bool) would break gtest's templates.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace
{
unsigned long ServerPixel(Display* pDisplay, Window window, int x, int y)
{
    XImage* pImage = XGetImage(pDisplay, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!pImage)
        return ~0ul;
    unsigned long v = XGetPixel(pImage, 0, 0) & 0xFFFFFF;
    XDestroyImage(pImage);
    return v;
}

TEST(X11Smoke, PresentedFrameReachesTheServer)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display";
    win32::Driver driver;
    ASSERT_TRUE(win32::StartX11Presenter());
    Display* pDisplay = XOpenDisplay(nullptr);
    ASSERT_NE(pDisplay, nullptr);
    Window window = static_cast<Window>(win32::X11PresenterWindow());
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(pDisplay, window, &attributes));
    EXPECT_EQ(attributes.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(attributes.height, GetSystemMetrics(SM_CYSCREEN));

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "SmokeWnd";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND hWnd = CreateWindowExA(0, "SmokeWnd", "smoke", WS_POPUP | WS_VISIBLE, 100, 80, 64, 48, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    driver.pumpUntilIdle();
    const DWORD orange = 0x00FF8000;
    ASSERT_TRUE(win32::PresentToWindow(hWnd, 1, 1, &orange));
    XSync(pDisplay, False);
    EXPECT_EQ(ServerPixel(pDisplay, window, 110, 90), 0xFF8000ul);
    EXPECT_EQ(ServerPixel(pDisplay, window, 163, 127), 0xFF8000ul);
    EXPECT_EQ(ServerPixel(pDisplay, window, 5, 5), 0x3A6EA5ul);   // COLOR_DESKTOP

    // A key pressed in the X window reaches the layer's key state.
    XEvent event{};
    event.xkey.type = KeyPress;
    event.xkey.display = pDisplay;
    event.xkey.window = window;
    event.xkey.root = DefaultRootWindow(pDisplay);
    event.xkey.keycode = XKeysymToKeycode(pDisplay, XK_q);
    event.xkey.same_screen = True;
    XSendEvent(pDisplay, window, True, KeyPressMask, &event);
    XSync(pDisplay, False);
    for (int i = 0; i < 100 && !(GetAsyncKeyState('Q') & 0x8000); ++i)
        win32::PumpX11Events();
    EXPECT_TRUE(GetAsyncKeyState('Q') & 0x8000);

    XCloseDisplay(pDisplay);
    win32::StopX11Presenter();
    EXPECT_EQ(win32::X11PresenterWindow(), 0ul);
}
}
