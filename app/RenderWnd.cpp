#include "app/RenderWnd.h"

BEGIN_MESSAGE_MAP(CRenderWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

bool CRenderWnd::Create(CWnd* pParentWnd)
{
    // Registered whenever the window layer does not have it (a reset layer forgets its classes).
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExA(nullptr, "CRenderWnd", &wc))
    {
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOWTEXT + 1);
        wc.lpszClassName = "CRenderWnd";
        if (!::RegisterClassExA(&wc))
            return false;
    }
    CRect rc(0, 0, 660, 500);
    return CreateEx(0, "CRenderWnd", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rc, pParentWnd, 0) != FALSE;
}

void CRenderWnd::GoFullscreen()
{
    if (!m_hWnd)
        return;
    m_hPreviousParent = ::GetParent(m_hWnd);
    ModifyStyle(WS_CHILD | WS_THICKFRAME, WS_POPUP);
    ::SetParent(m_hWnd, ::GetDesktopWindow());
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, FULL_SCREEN_WIDTH, FULL_SCREEN_HEIGHT, SWP_SHOWWINDOW);
}

void CRenderWnd::GoWindowed()
{
    if (!m_hWnd || !m_hPreviousParent || !::IsWindow(m_hPreviousParent))
        return;
    ModifyStyle(WS_POPUP, WS_CHILD | WS_THICKFRAME);
    ::SetParent(m_hWnd, m_hPreviousParent);
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, WINDOWED_WIDTH, WINDOWED_HEIGHT, SWP_SHOWWINDOW);
    m_hPreviousParent = nullptr;
}

// The device's frames are the window's contents: painting only validates, and the background is
// never erased over a presented frame.
void CRenderWnd::OnPaint()
{
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
}

BOOL CRenderWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}
