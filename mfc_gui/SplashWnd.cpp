#include "mfc_gui/SplashWnd.h"

namespace
{
BOOL g_bSplashEnabled = FALSE;
CSplashWnd* g_pSplashWnd = nullptr;
}

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

void CSplashWnd::Enable(BOOL bEnable)
{
    g_bSplashEnabled = bEnable;
}

CSplashWnd* CSplashWnd::GetActive()
{
    return g_pSplashWnd;
}

void CSplashWnd::Show(CWnd* pParentWnd)
{
    if (!g_bSplashEnabled || g_pSplashWnd)
        return;
    g_pSplashWnd = new CSplashWnd;
    if (g_pSplashWnd->Create(pParentWnd))
        g_pSplashWnd->UpdateWindow();
    else
        delete g_pSplashWnd;
}

BOOL CSplashWnd::FilterAppMessage(const MSG* pMsg)
{
    if (!g_pSplashWnd || !pMsg)
        return FALSE;
    switch (pMsg->message)
    {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        g_pSplashWnd->Hide();
        return TRUE;
    default:
        return FALSE;
    }
}

CSplashWnd::~CSplashWnd()
{
    if (g_pSplashWnd == this)
        g_pSplashWnd = nullptr;
}

void CSplashWnd::PostNcDestroy()
{
    delete this;
}

BOOL CSplashWnd::Create(CWnd* pParentWnd)
{
    if (!m_bitmap.LoadBitmap(IDB_SPLASH))
        return FALSE;
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    const char* szClass = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    return CreateEx(0, szClass, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, bm.bmWidth, bm.bmHeight,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

void CSplashWnd::Hide()
{
    DestroyWindow();
    if (CWnd* pMainWnd = AfxGetMainWnd())
        pMainWnd->UpdateWindow();
}

int CSplashWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CenterWindow();
    SetTimer(IDT_HIDE, SHOW_TIME_MS, nullptr);
    return 0;
}

void CSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    CDC dcImage;
    if (!dcImage.CreateCompatibleDC(&dc))
        return;
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    CBitmap* pOld = dcImage.SelectObject(&m_bitmap);
    dc.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &dcImage, 0, 0, SRCCOPY);
    dcImage.SelectObject(pOld);
}

void CSplashWnd::OnTimer(UINT_PTR)
{
    Hide();
}
