// The only file that sees Xlib. The desktop image is a 32-bit ZPixmap in the server's
// little-endian TrueColor layout (blue in the low byte), which is the layer's pixel form, so
// frames go to the server as they are; only the rows that changed are sent.
#include <win32/clock.h>
#include <win32/layer.h>
#include <win32/present.h>
#include <win32/x11.h>

#include <core/Log.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <sys/select.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

namespace
{
// X keysyms to virtual-key codes. Letters and digits map to their upper-case ASCII codes.
struct KeyMapping
{
    KeySym m_Sym;
    BYTE m_nVk;
};
const KeyMapping kKeyTable[] = {
    {XK_Return, 13},   {XK_KP_Enter, 13}, {XK_Escape, 27},    {XK_Tab, 9},       {XK_space, 32},
    {XK_BackSpace, 8}, {XK_Delete, 46},   {XK_Insert, 45},    {XK_Home, 36},     {XK_End, 35},
    {XK_Prior, 33},    {XK_Next, 34},     {XK_Left, 37},      {XK_Up, 38},       {XK_Right, 39},
    {XK_Down, 40},     {XK_Shift_L, 16},  {XK_Shift_R, 16},   {XK_Control_L, 17}, {XK_Control_R, 17},
    {XK_Alt_L, 18},    {XK_Alt_R, 18},    {XK_Meta_L, 18},    {XK_Pause, 19},    {XK_Caps_Lock, 20},
};

BYTE VirtualKeyFromSym(KeySym sym)
{
    if (sym >= XK_a && sym <= XK_z)
        return static_cast<BYTE>('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z)
        return static_cast<BYTE>(sym);
    if (sym >= XK_0 && sym <= XK_9)
        return static_cast<BYTE>(sym);
    if (sym >= XK_F1 && sym <= XK_F12)
        return static_cast<BYTE>(112 + (sym - XK_F1));   // VK_F1 is 112
    for (const KeyMapping& m : kKeyTable)
        if (m.m_Sym == sym)
            return m.m_nVk;
    return 0;
}

class X11Presenter : public win32::Presenter
{
public:
    bool Open()
    {
        m_pDisplay = XOpenDisplay(nullptr);
        if (!m_pDisplay)
        {
            LogWarning("StartX11Presenter() - cannot open the X display.");
            return false;
        }
        int nScreen = DefaultScreen(m_pDisplay);
        m_cx = GetSystemMetrics(SM_CXSCREEN);
        m_cy = GetSystemMetrics(SM_CYSCREEN);
        Visual* pVisual = DefaultVisual(m_pDisplay, nScreen);
        int nDepth = DefaultDepth(m_pDisplay, nScreen);
        if (nDepth < 24 || pVisual->red_mask != 0xFF0000 || pVisual->blue_mask != 0xFF)
        {
            LogWarning("StartX11Presenter() - the display is not 24-bit true colour.");
            Close();
            return false;
        }
        m_Window = XCreateSimpleWindow(m_pDisplay, RootWindow(m_pDisplay, nScreen), 0, 0, static_cast<unsigned>(m_cx),
                                       static_cast<unsigned>(m_cy), 0, BlackPixel(m_pDisplay, nScreen),
                                       BlackPixel(m_pDisplay, nScreen));
        XStoreName(m_pDisplay, m_Window, "Quenlaris");
        XSelectInput(m_pDisplay, m_Window,
                     KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                         FocusChangeMask | ExposureMask | StructureNotifyMask);
        m_DeleteAtom = XInternAtom(m_pDisplay, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(m_pDisplay, m_Window, &m_DeleteAtom, 1);
        m_Gc = XCreateGC(m_pDisplay, m_Window, 0, nullptr);
        m_Pixels.assign(static_cast<size_t>(m_cx) * m_cy, 0);
        m_pImage = XCreateImage(m_pDisplay, pVisual, static_cast<unsigned>(nDepth), ZPixmap, 0,
                                reinterpret_cast<char*>(m_Pixels.data()), static_cast<unsigned>(m_cx),
                                static_cast<unsigned>(m_cy), 32, m_cx * 4);
        XMapWindow(m_pDisplay, m_Window);
        // Wait until the window is mapped, so the first frame is not lost.
        for (XEvent event;;)
        {
            XWindowEvent(m_pDisplay, m_Window, StructureNotifyMask, &event);
            if (event.type == MapNotify)
                break;
        }
        return true;
    }

    void Close()
    {
        if (!m_pDisplay)
            return;
        if (m_pImage)
        {
            m_pImage->data = nullptr;   // the pixels belong to m_Pixels
            XDestroyImage(m_pImage);
            m_pImage = nullptr;
        }
        if (m_Window)
        {
            XFreeGC(m_pDisplay, m_Gc);
            XDestroyWindow(m_pDisplay, m_Window);
            m_Window = 0;
        }
        XCloseDisplay(m_pDisplay);
        m_pDisplay = nullptr;
    }

    void Show(const win32::Image32& desktop) override
    {
        if (!m_pDisplay || desktop.m_nWidth != static_cast<UINT>(m_cx) || desktop.m_nHeight != static_cast<UINT>(m_cy))
            return;
        // The band of rows that changed since the last frame.
        int nTop = -1;
        int nBottom = -1;
        for (int y = 0; y < m_cy; ++y)
        {
            const DWORD* pNew = desktop.m_Pixels.data() + static_cast<size_t>(y) * m_cx;
            uint32_t* pOld = m_Pixels.data() + static_cast<size_t>(y) * m_cx;
            if (!std::equal(pNew, pNew + m_cx, pOld))
            {
                std::copy(pNew, pNew + m_cx, pOld);
                nTop = nTop < 0 ? y : nTop;
                nBottom = y + 1;
            }
        }
        if (nTop >= 0)
            Put(nTop, nBottom);
    }

    // Turns pending events into input; true when any arrived.
    bool Pump()
    {
        bool bAny = false;
        while (m_pDisplay && XPending(m_pDisplay))
        {
            XEvent event;
            XNextEvent(m_pDisplay, &event);
            bAny = true;
            Handle(event);
        }
        return bAny;
    }

    // The layer's wait: show the desktop, then sleep until an X event or the next timer.
    bool Wait()
    {
        win32::RefreshPresenter();
        for (;;)
        {
            if (Pump())
                return true;
            int64_t nDue = win32::NextTimerDue();
            int64_t nNow = win32::ClockNow();
            if (nDue != INT64_MAX && nDue <= nNow)
                return true;
            int nFd = ConnectionNumber(m_pDisplay);
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(nFd, &fds);
            timeval tv{};
            timeval* pTimeout = nullptr;
            if (nDue != INT64_MAX)
            {
                int64_t nWait = (nDue - nNow + 999) / 1000;   // microseconds, rounded up
                tv.tv_sec = static_cast<time_t>(nWait / 1000000);
                tv.tv_usec = static_cast<suseconds_t>(nWait % 1000000);
                pTimeout = &tv;
            }
            if (select(nFd + 1, &fds, nullptr, nullptr, pTimeout) == 0)
                return true;   // the timer fell due
        }
    }

    Window WindowId() const { return m_Window; }

private:
    void Put(int nTop, int nBottom)
    {
        XPutImage(m_pDisplay, m_Window, m_Gc, m_pImage, 0, nTop, 0, nTop, static_cast<unsigned>(m_cx),
                  static_cast<unsigned>(nBottom - nTop));
        // Wait for the server to take the frame: a shown frame is on screen for any client
        // that looks (screenshot tools, the smoke test), and frames never queue up unseen.
        XSync(m_pDisplay, False);
    }

    void Key(BYTE nVk, bool bDown)
    {
        if (bDown)
            m_Held.insert(nVk);
        else
            m_Held.erase(nVk);
        win32::InjectKey(nVk, bDown);
    }

    void Handle(const XEvent& event)
    {
        switch (event.type)
        {
        case KeyPress:
        case KeyRelease:
        {
            XKeyEvent key = event.xkey;
            if (BYTE nVk = VirtualKeyFromSym(XLookupKeysym(&key, 0)))
                Key(nVk, event.type == KeyPress);
            break;
        }
        case ButtonPress:
        case ButtonRelease:
        {
            // X buttons 1, 3, 2 are left, right, middle; 4 and 5 (the wheel) are not used.
            static const int kButtons[4] = {-1, 0, 2, 1};
            unsigned nButton = event.xbutton.button;
            if (nButton >= 1 && nButton <= 3)
                win32::InjectMouseButton(kButtons[nButton], event.type == ButtonPress,
                                         POINT{event.xbutton.x, event.xbutton.y});
            break;
        }
        case MotionNotify:
            win32::InjectMouseMove(POINT{event.xmotion.x, event.xmotion.y});
            break;
        case FocusOut:
        {
            // Keys held when the focus leaves would never see their release.
            std::set<BYTE> held = m_Held;
            for (BYTE nVk : held)
                Key(nVk, false);
            break;
        }
        case Expose:
            Put(0, m_cy);
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == m_DeleteAtom)
                if (HWND hMain = win32::GetMainWindow())
                    PostMessageA(hMain, WM_CLOSE, 0, 0);
            break;
        default:
            break;
        }
    }

    Display* m_pDisplay = nullptr;
    Window m_Window = 0;
    GC m_Gc{};
    XImage* m_pImage = nullptr;
    Atom m_DeleteAtom = 0;
    int m_cx = 0;
    int m_cy = 0;
    std::vector<uint32_t> m_Pixels;
    std::set<BYTE> m_Held;
};

X11Presenter* g_pX11 = nullptr;
}

namespace win32
{
bool StartX11Presenter()
{
    if (g_pX11)
        return true;
    auto* pPresenter = new X11Presenter;
    if (!pPresenter->Open())
    {
        delete pPresenter;
        return false;
    }
    g_pX11 = pPresenter;
    SetPresenter(g_pX11);
    SetWaitHandler([](const WaitRequest&) { return g_pX11 && g_pX11->Wait(); });
    RefreshPresenter();
    return true;
}

void StopX11Presenter()
{
    if (!g_pX11)
        return;
    SetWaitHandler(nullptr);
    SetPresenter(nullptr);
    g_pX11->Close();
    delete g_pX11;
    g_pX11 = nullptr;
}

unsigned long X11PresenterWindow() { return g_pX11 ? g_pX11->WindowId() : 0; }

bool PumpX11Events()
{
    if (!g_pX11)
        return false;
    g_pX11->Pump();
    return true;
}
}
