// The move/size loop. The window keeps the capture while the loop takes the mouse and the keys
// for itself; every other message is dispatched as usual. Each cursor move proposes the starting
// rectangle changed by the cursor's travel, in screen coordinates (child windows included); the
// window may change the proposal in WM_MOVING or WM_SIZING, and the result is applied at once.
#include "SizeMoveLoop.h"

#include "UserState.h"

#include <algorithm>

namespace
{
// Which sides of the rectangle follow the cursor, by WMSZ_ edge (index 0 unused).
struct MovingSides
{
    bool m_bLeft;
    bool m_bTop;
    bool m_bRight;
    bool m_bBottom;
};
const MovingSides SIZING_SIDES[] = {
    {false, false, false, false},
    {true, false, false, false},   // WMSZ_LEFT
    {false, false, true, false},   // WMSZ_RIGHT
    {false, true, false, false},   // WMSZ_TOP
    {true, true, false, false},    // WMSZ_TOPLEFT
    {false, true, true, false},    // WMSZ_TOPRIGHT
    {false, false, false, true},   // WMSZ_BOTTOM
    {true, false, false, true},    // WMSZ_BOTTOMLEFT
    {false, false, true, true},    // WMSZ_BOTTOMRIGHT
};

bool IsKeyMessage(UINT nMessage)
{
    return nMessage >= WM_KEYFIRST && nMessage <= WM_KEYLAST;
}

bool IsMouseMessage(UINT nMessage)
{
    return (nMessage >= WM_MOUSEFIRST && nMessage <= WM_MOUSELAST) ||
           (nMessage >= WM_NCMOUSEMOVE && nMessage <= WM_NCMBUTTONDBLCLK);
}

// The loop follows a drag of the left button: it is down now, or its release is still queued.
bool LeftButtonHeld()
{
    const UserState& state = User();
    if (state.m_AsyncKeyState[VK_LBUTTON] & 0x80)
        return true;
    for (const InputEvent& event : state.m_Input)
        if (!event.m_bKey && event.m_nMessage == WM_LBUTTONUP)
            return true;
    return false;
}

class SizeMoveTracker
{
public:
    SizeMoveTracker(HWND hWnd, UINT nEdge, POINT ptStart) : m_hWnd(hWnd), m_nEdge(nEdge), m_ptStart(ptStart), m_ptLast(ptStart)
    {
        GetWindowRect(hWnd, &m_rcStart);
    }

    bool Done() const { return m_bDone || !IsWindow(m_hWnd) || GetCapture() != m_hWnd; }

    // True when the loop used the message.
    bool Take(const MSG& msg)
    {
        if (IsMouseMessage(msg.message))
        {
            bool bUp = msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP;
            if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE || bUp)
                Track(msg.pt);
            m_bDone = m_bDone || bUp;
            return true;
        }
        if (!IsKeyMessage(msg.message))
            return false;
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
        {
            if (msg.wParam == VK_ESCAPE)
            {
                Apply(m_rcStart);
                m_bDone = true;
            }
            else if (msg.wParam == VK_RETURN)
                m_bDone = true;
        }
        return true;
    }

private:
    // A child window's cursor cannot leave its parent's client area (right and bottom excluded).
    POINT Confine(POINT pt) const
    {
        const Window* pWnd = FindWindowObject(m_hWnd);
        const Window* pParent = pWnd ? FindWindowObject(pWnd->m_hParent) : nullptr;
        if (!pParent || !(pWnd->m_nStyle & WS_CHILD))
            return pt;
        POINT origin = ClientOriginOnScreen(pParent);
        LONG cx = pParent->m_rcClient.right - pParent->m_rcClient.left;
        LONG cy = pParent->m_rcClient.bottom - pParent->m_rcClient.top;
        pt.x = std::clamp<LONG>(pt.x, origin.x, origin.x + std::max<LONG>(cx - 1, 0));
        pt.y = std::clamp<LONG>(pt.y, origin.y, origin.y + std::max<LONG>(cy - 1, 0));
        return pt;
    }

    void Track(POINT ptCursor)
    {
        POINT pt = Confine(ptCursor);
        // The window's handler reads the cursor (GetCursorPos) to place itself.
        User().m_ptCursor = pt;
        if (pt.x == m_ptLast.x && pt.y == m_ptLast.y)
            return;
        m_ptLast = pt;
        LONG dx = pt.x - m_ptStart.x, dy = pt.y - m_ptStart.y;
        RECT rc = m_rcStart;
        if (m_nEdge == 0)
        {
            OffsetRect(&rc, dx, dy);
            SendMessageA(m_hWnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&rc));
        }
        else
        {
            // A side dragged past the opposite one stops there: the size never goes negative.
            const MovingSides& sides = SIZING_SIDES[m_nEdge];
            if (sides.m_bLeft)
                rc.left = std::min(rc.left + dx, rc.right);
            if (sides.m_bRight)
                rc.right = std::max(rc.right + dx, rc.left);
            if (sides.m_bTop)
                rc.top = std::min(rc.top + dy, rc.bottom);
            if (sides.m_bBottom)
                rc.bottom = std::max(rc.bottom + dy, rc.top);
            SendMessageA(m_hWnd, WM_SIZING, m_nEdge, reinterpret_cast<LPARAM>(&rc));
        }
        Apply(rc);
    }

    // Places the window at a screen rectangle.
    void Apply(const RECT& rcScreen)
    {
        const Window* pWnd = FindWindowObject(m_hWnd);
        if (!pWnd)
            return;
        POINT origin{0, 0};
        if (const Window* pParent = FindWindowObject(pWnd->m_hParent))
            origin = ClientOriginOnScreen(pParent);
        UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE | (m_nEdge == 0 ? SWP_NOSIZE : 0);
        SetWindowPos(m_hWnd, nullptr, rcScreen.left - origin.x, rcScreen.top - origin.y, rcScreen.right - rcScreen.left,
                     rcScreen.bottom - rcScreen.top, nFlags);
    }

    HWND m_hWnd;
    UINT m_nEdge;   // 0 moves, a WMSZ_ edge sizes
    POINT m_ptStart;
    POINT m_ptLast;
    RECT m_rcStart{};
    bool m_bDone = false;
};
}

void RunSizeMoveLoop(HWND hWnd, WPARAM nCommand, POINT ptStart)
{
    bool bSize = (nCommand & 0xFFF0) == SC_SIZE;
    UINT nEdge = bSize ? static_cast<UINT>(nCommand & 0x000F) : 0;
    // Only a mouse drag moves or sizes: not the keyboard, nor a press sent without the button
    // held; a maximised window stays where it is.
    if ((bSize && (nEdge < WMSZ_LEFT || nEdge > WMSZ_BOTTOMRIGHT)) || !IsWindowVisible(hWnd) || IsZoomed(hWnd) ||
        !LeftButtonHeld())
        return;
    SizeMoveTracker tracker(hWnd, nEdge, ptStart);
    SendMessageA(hWnd, WM_ENTERSIZEMOVE, 0, 0);
    if (!IsWindow(hWnd))
        return;
    SetCapture(hWnd);
    win32::ModalLoop loop;
    loop.m_szName = bSize ? "SizeLoop" : "MoveLoop";
    loop.m_hWnd = hWnd;
    loop.m_nFilterCode = bSize ? MSGF_SIZE : MSGF_MOVE;
    loop.m_fnPreTranslate = [&tracker](const MSG& msg) { return tracker.Take(msg); };
    win32::RunModalLoop(loop, [&tracker] { return tracker.Done(); });
    if (GetCapture() == hWnd)
        ReleaseCapture();
    if (IsWindow(hWnd))
        SendMessageA(hWnd, WM_EXITSIZEMOVE, 0, 0);
}
