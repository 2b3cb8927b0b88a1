// CWnd's core: the handle map, the window procedure, creation, subclassing and the dispatch of
// messages to the message map, with command routing and the reflection of notifications.
#include <mfc/afxwin.h>

#include "HandleMaps.h"
#include "NotifyLockout.h"

#include <vector>

namespace
{
HandleMap<CWnd, HWND>& WindowMap()
{
    static HandleMap<CWnd, HWND> s_Map;
    return s_Map;
}

// The object whose window CreateEx is making, attached at the window's first message.
CWnd* g_pWndInit = nullptr;

// The messages being handled, innermost last: Default() and reflection read the top one.
std::vector<MSG>& CurrentMessages()
{
    static std::vector<MSG> s_Stack;
    return s_Stack;
}

struct MessageScope
{
    MessageScope(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
    {
        CurrentMessages().push_back(MSG{hWnd, nMsg, wParam, lParam, 0, {0, 0}});
    }
    ~MessageScope() { CurrentMessages().pop_back(); }
};

void CleanWindowTemporaries()
{
    WindowMap().DeleteTemporaries([](CWnd* p) { p->m_hWnd = nullptr; });
}

struct CleanerRegistration
{
    CleanerRegistration() { RegisterTempMapCleaner(CleanWindowTemporaries); }
} g_CleanerRegistration;

bool IsMfcClass(const char* lpszClassName)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    return lpszClassName && GetClassInfoExA(nullptr, lpszClassName, &wc) && wc.lpfnWndProc == AfxWndProc;
}

bool IsCtlColor(UINT nMsg)
{
    return nMsg >= WM_CTLCOLORMSGBOX && nMsg <= WM_CTLCOLORSTATIC;
}
}

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    // A window must not outlive its object: destroying it detaches it first.
    if (m_hWnd && WindowMap().Permanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
    if (m_hWnd && WindowMap().Permanent(m_hWnd) == this)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? WindowMap().Permanent(hWnd) : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd || !::IsWindow(hWnd))
        return nullptr;
    return WindowMap().FromHandle(hWnd, [](HWND h) {
        auto p = std::make_unique<CWnd>();
        p->m_hWnd = h;
        return p;
    });
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd || WindowMap().Permanent(hWndNew))
        return FALSE;
    m_hWnd = hWndNew;
    WindowMap().SetPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd && WindowMap().Permanent(hWnd) == this)
        WindowMap().RemovePermanent(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    auto pfnOld = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    if (pfnOld != AfxWndProc)
        m_pfnSuper = pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return hWndControl && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper)
        ::SetWindowLongPtrA(m_hWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- Creation

void AfxHookWindowCreate(CWnd* pWnd)
{
    g_pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    bool bConsumed = g_pWndInit == nullptr;
    g_pWndInit = nullptr;
    return bConsumed;
}

BOOL CWnd::Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    // CW_USEDEFAULT in the rectangle asks for the default position and size.
    bool bDefault = rect.left == CW_USEDEFAULT;
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    bDefault ? CW_USEDEFAULT : rect.right - rect.left, bDefault ? CW_USEDEFAULT : rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCT cs{lpParam, AfxGetInstanceHandle(), nIDorHMenu, hWndParent, nHeight, nWidth, y, x,
                    static_cast<LONG>(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs))
    {
        PostNcDestroy();
        return FALSE;
    }
    // A class of this layer attaches the object at its first message; a control class of the
    // window layer is subclassed once it exists.
    bool bMfcClass = IsMfcClass(cs.lpszClass);
    if (bMfcClass)
        AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (bMfcClass)
    {
        if (!AfxUnhookWindowCreate())
            PostNcDestroy();   // no message ever reached the object: clean up as after a destroy
        return hWnd != nullptr;
    }
    if (!hWnd)
        return FALSE;
    return SubclassWindow(hWnd);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass && AfxEndDeferRegisterClass(AFX_WND))
        cs.lpszClass = AFX_WND;
    return TRUE;
}

void CWnd::PreSubclassWindow()
{
}

void CWnd::PostNcDestroy()
{
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

void CWnd::FinishNcDestroy()
{
    CWinThread* pThread = AfxGetApp();
    if (pThread && pThread->m_pMainWnd == this)
    {
        ::PostQuitMessage(0);
        pThread->m_pMainWnd = nullptr;
    }
    if (m_pfnSuper && reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWL_WNDPROC)) == AfxWndProc)
        ::SetWindowLongPtrA(m_hWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    PostNcDestroy();
}

// ---- The window procedure

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
    {
        if (!g_pWndInit)
            return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
        pWnd = g_pWndInit;
        g_pWndInit = nullptr;
        pWnd->Attach(hWnd);
        pWnd->PreSubclassWindow();
    }
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    MessageScope scope(hWnd, nMsg, wParam, lParam);
    LRESULT lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    // The object lets go of its window after the last message, and may delete itself then.
    if (nMsg == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd)
        pWnd->FinishNcDestroy();
    return lResult;
}

LRESULT CWnd::Default()
{
    const auto& stack = CurrentMessages();
    if (stack.empty())
        return 0;
    const MSG& msg = stack.back();
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY)
    {
        if (!lParam || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
        *pResult = lResult;
        return TRUE;
    }
    UINT nCtlColor = 0;
    if (IsCtlColor(message))
    {
        // The control's reflected handler picks the brush first; a null brush leaves it to us.
        if (ReflectLastMsg(reinterpret_cast<HWND>(lParam), &lResult) && lResult)
        {
            *pResult = lResult;
            return TRUE;
        }
        nCtlColor = message - WM_CTLCOLORMSGBOX;
        message = WM_CTLCOLOR;
    }
    else if ((message == WM_HSCROLL || message == WM_VSCROLL) && lParam)
    {
        if (ReflectLastMsg(reinterpret_cast<HWND>(lParam), &lResult))
        {
            *pResult = lResult;
            return TRUE;
        }
    }
    else if (message == WM_DRAWITEM && lParam)
    {
        // An owner-drawn control draws itself (DrawItem) before its parent is asked.
        const auto* pDIS = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (pDIS->CtlType != ODT_MENU && ReflectLastMsg(pDIS->hwndItem, &lResult))
        {
            *pResult = TRUE;
            return TRUE;
        }
    }
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(message);
    if (!pEntry)
        return FALSE;
    AFX_MSGCALL call{message, wParam, lParam, nCtlColor, nullptr, 0};
    if (!pEntry->pfn(this, call))
        return FALSE;
    *pResult = call.lResult;
    return TRUE;
}

// ---- Commands, notifications and reflection

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (!hWndCtrl)
    {
        // An accelerator (code 1) works as its menu command would, unless the command is
        // disabled now.
        if (nCode == 1)
            nCode = CN_COMMAND;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr);
        if (!state.m_bEnabled)
            return TRUE;
    }
    else
    {
        if (g_hLockoutNotifyWindow == m_hWnd)
            return TRUE;
        if (ReflectLastMsg(hWndCtrl))
            return TRUE;
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (g_hLockoutNotifyWindow == m_hWnd)
        return TRUE;
    if (ReflectLastMsg(pNMHDR->hwndFrom, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, pNMHDR};
    return OnCmdMsg(static_cast<UINT>(pNMHDR->idFrom), static_cast<int>(MAKELONG(pNMHDR->code, WM_NOTIFY)), &notify,
                    nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    const auto& stack = CurrentMessages();
    if (!pWnd || stack.empty())
        return FALSE;
    MSG msg = stack.back();
    return pWnd->OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
    {
        int nCode = HIWORD(wParam);
        if (!CCmdTarget::OnCmdMsg(0, static_cast<int>(MAKELONG(nCode, WM_REFLECT_BASE + WM_COMMAND)), nullptr, nullptr))
            return FALSE;
        if (pResult)
            *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY)
    {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify{pResult, pNMHDR};
        return CCmdTarget::OnCmdMsg(0, static_cast<int>(MAKELONG(pNMHDR->code, WM_REFLECT_BASE + WM_NOTIFY)),
                                    &notify, nullptr);
    }
    UINT nReflected = 0;
    UINT nCtlColor = 0;
    if (IsCtlColor(message))
    {
        nReflected = WM_REFLECT_BASE + WM_CTLCOLOR;
        nCtlColor = message - WM_CTLCOLORMSGBOX;
    }
    else if (message == WM_HSCROLL || message == WM_VSCROLL)
        nReflected = WM_REFLECT_BASE + message;
    else
        return FALSE;
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(nReflected);
    if (!pEntry)
        return FALSE;
    AFX_MSGCALL call{nReflected, wParam, lParam, nCtlColor, nullptr, 0};
    if (!pEntry->pfn(this, call))
        return FALSE;
    if (pResult)
        *pResult = call.lResult;
    return TRUE;
}

// ---- Pre-translation

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd))
    {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

void CWnd::DoDataExchange(CDataExchange*)
{
}
