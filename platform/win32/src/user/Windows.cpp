// Creation and destruction of windows, their relations and their stored values.
#include "Classes.h"
#include "UserState.h"

#include <win32/menus.h>

#include <algorithm>
#include <cstring>

namespace
{
HWND AllocateWindow(std::unique_ptr<Window> pWnd)
{
    UserState& state = User();
    size_t i = 1;
    while (i < state.m_Windows.size() && state.m_Windows[i])
        ++i;
    if (i == state.m_Windows.size())
    {
        state.m_Windows.push_back(nullptr);
        state.m_Generations.push_back(0);
    }
    if (++state.m_Generations[i] == 0)
        state.m_Generations[i] = 1;
    pWnd->m_hWnd = reinterpret_cast<HWND>(static_cast<uint64_t>(state.m_Generations[i]) << 32 | (i + 1));
    state.m_Windows[i] = std::move(pWnd);
    return state.m_Windows[i]->m_hWnd;
}

void FreeWindow(HWND hWnd)
{
    UserState& state = User();
    size_t i = (reinterpret_cast<uint64_t>(hWnd) & 0xFFFFFFFFu) - 1;
    state.m_Windows[i].reset();
    ++state.m_Generations[i];
}

// New windows go on top of their siblings; a top-level window that is not topmost goes below
// the topmost ones.
void InsertChild(Window* pParent, Window* pWnd)
{
    auto& list = pParent->m_Children;
    auto it = list.begin();
    if (pParent == DesktopObject() && !(pWnd->m_nExStyle & WS_EX_TOPMOST))
        while (it != list.end() && FindWindowObject(*it) && (FindWindowObject(*it)->m_nExStyle & WS_EX_TOPMOST))
            ++it;
    list.insert(it, pWnd->m_hWnd);
}

void RemoveChild(Window* pParent, HWND hWnd)
{
    if (pParent)
        pParent->m_Children.erase(std::remove(pParent->m_Children.begin(), pParent->m_Children.end(), hWnd),
                                  pParent->m_Children.end());
}

void SendDestroyMessages(HWND hWnd)
{
    // WM_DESTROY goes to the parent first, then down the tree.
    std::vector<HWND> tree{hWnd};
    if (Window* pWnd = FindWindowObject(hWnd))
        CollectDescendants(pWnd, tree);
    for (HWND h : tree)
        if (Window* p = FindWindowObject(h))
        {
            p->m_bDestroying = true;
            CallWindowObject(h, WM_DESTROY, 0, 0);
        }
    // WM_NCDESTROY goes to the children first; then each window is gone.
    for (auto it = tree.rbegin(); it != tree.rend(); ++it)
    {
        if (!FindWindowObject(*it))
            continue;
        CallWindowObject(*it, WM_NCDESTROY, 0, 0);
        Window* p = FindWindowObject(*it);
        if (!p)
            continue;
        ForgetWindowInput(*it);
        // A window's menu bar goes with it.
        if (!(p->m_nStyle & WS_CHILD) && p->m_hMenu)
            DestroyMenu(p->m_hMenu);
        RemoveChild(FindWindowObject(p->m_hParent), *it);
        FreeWindow(*it);
    }
}

// Where the focus and activation go when hWnd's tree goes away.
void MoveFocusAndActivationAway(Window* pWnd)
{
    UserState& state = User();
    HWND hWnd = pWnd->m_hWnd;
    auto inTree = [&](HWND h) { return h && (h == hWnd || IsChild(hWnd, h)); };
    if (inTree(state.m_hCapture))
        ReleaseCapture();
    if (inTree(state.m_hFocus))
        SetFocus(IsTopLevel(pWnd) ? nullptr : pWnd->m_hParent);
    if (IsTopLevel(pWnd) && state.m_hActive == hWnd)
        ActivateNextWindow(hWnd);
}

POINT DefaultPosition(int x, int y)
{
    return {x == CW_USEDEFAULT ? 0 : x, y == CW_USEDEFAULT ? 0 : y};
}
}

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)
{
    auto pClass = FindWindowClass(lpClassName);
    if (!pClass)
        return nullptr;
    Window* pParent = nullptr;
    Window* pOwner = nullptr;
    if (dwStyle & WS_CHILD)
    {
        pParent = FindWindowObject(hWndParent);
        if (!pParent)
            return nullptr;
    }
    else
    {
        pParent = DesktopObject();
        // The owner of a top-level window is always a top-level window.
        if (hWndParent && !(pOwner = FindWindowObject(GetAncestor(hWndParent, GA_ROOT))))
            return nullptr;
        if (pOwner == pParent)
            pOwner = nullptr;
    }

    auto pNew = std::make_unique<Window>();
    pNew->m_pClass = pClass;
    pNew->m_pfnWndProc = pClass->m_pfnWndProc;
    pNew->m_nStyle = dwStyle & ~WS_VISIBLE;
    pNew->m_nExStyle = dwExStyle;
    pNew->m_hParent = pParent->m_hWnd;
    pNew->m_hOwner = pOwner ? pOwner->m_hWnd : nullptr;
    pNew->m_hInstance = hInstance;
    if (dwStyle & WS_CHILD)
        pNew->m_nId = reinterpret_cast<UINT_PTR>(hMenu);
    else
        pNew->m_hMenu = hMenu;
    POINT pos = DefaultPosition(X, Y);
    // CW_USEDEFAULT gives a top-level window three quarters of the screen.
    int cx = nWidth == CW_USEDEFAULT ? User().m_cxScreen * 3 / 4 : nWidth;
    int cy = nWidth == CW_USEDEFAULT ? User().m_cyScreen * 3 / 4 : nHeight;
    pNew->m_rcWindow = {pos.x, pos.y, pos.x + std::max(cx, 0), pos.y + std::max(cy, 0)};
    pNew->m_rcClient = pNew->m_rcWindow;
    pNew->m_rcNormal = pNew->m_rcWindow;
    pNew->m_Extra.assign(static_cast<size_t>(pClass->m_cbWndExtra), 0);
    Window* pWnd = pNew.get();
    HWND hWnd = AllocateWindow(std::move(pNew));
    InsertChild(pParent, pWnd);

    CREATESTRUCTA cs{lpParam, hInstance, hMenu, hWndParent, cy, cx, pos.y, pos.x, static_cast<LONG>(dwStyle),
                     lpWindowName, lpClassName, dwExStyle};
    CallCreationHooks(hWnd, cs);
    if (!FindWindowObject(hWnd))
        return nullptr;
    if (!CallWindowObject(hWnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)))
    {
        SendDestroyMessages(hWnd);
        return nullptr;
    }
    if (!(pWnd = FindWindowObject(hWnd)))
        return nullptr;
    RECT rc = pWnd->m_rcWindow;
    CallWindowObject(hWnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
    if (!(pWnd = FindWindowObject(hWnd)))
        return nullptr;
    pWnd->m_rcClient = rc;
    if (CallWindowObject(hWnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1)
    {
        DestroyWindow(hWnd);
        return nullptr;
    }
    if (!(pWnd = FindWindowObject(hWnd)))
        return nullptr;
    RECT client = pWnd->m_rcClient;
    CallWindowObject(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
    CallWindowObject(hWnd, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    if ((dwStyle & WS_CHILD) && !(dwExStyle & WS_EX_NOPARENTNOTIFY) && IsWindow(hWndParent))
        CallWindowObject(hWndParent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, LOWORD(reinterpret_cast<UINT_PTR>(hMenu))),
                         reinterpret_cast<LPARAM>(hWnd));
    if ((dwStyle & WS_VISIBLE) && IsWindow(hWnd))
        ShowWindow(hWnd, (dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    return IsWindow(hWnd) ? hWnd : nullptr;
}

BOOL DestroyWindow(HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || pWnd == DesktopObject() || pWnd->m_bDestroying)
        return FALSE;
    pWnd->m_bDestroying = true;
    if (pWnd->m_nStyle & WS_VISIBLE)
        SetWindowPosInternal(hWnd, nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if ((pWnd = FindWindowObject(hWnd)))
        MoveFocusAndActivationAway(pWnd);
    if ((pWnd = FindWindowObject(hWnd)) && IsTopLevel(pWnd))
    {
        std::vector<HWND> owned;
        for (HWND h : DesktopObject()->m_Children)
            if (Window* p = FindWindowObject(h); p && p->m_hOwner == hWnd)
                owned.push_back(h);
        for (HWND h : owned)
            DestroyWindow(h);
    }
    if (!FindWindowObject(hWnd))
        return TRUE;
    SendDestroyMessages(hWnd);
    return TRUE;
}

BOOL IsWindow(HWND hWnd)
{
    return FindWindowObject(hWnd) != nullptr;
}

HWND GetDesktopWindow()
{
    return DesktopObject()->m_hWnd;
}

HWND GetParent(HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || pWnd == DesktopObject())
        return nullptr;
    if (pWnd->m_nStyle & WS_CHILD)
        return pWnd->m_hParent;
    return (pWnd->m_nStyle & WS_POPUP) ? pWnd->m_hOwner : nullptr;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent)
{
    Window* pWnd = FindWindowObject(hWndChild);
    Window* pNew = hWndNewParent ? FindWindowObject(hWndNewParent) : DesktopObject();
    if (!pWnd || !pNew || pWnd == DesktopObject() || pNew == pWnd || IsChild(hWndChild, hWndNewParent))
        return nullptr;
    HWND hOld = pWnd->m_hParent;
    RemoveChild(FindWindowObject(hOld), hWndChild);
    pWnd->m_hParent = pNew->m_hWnd;
    pWnd->m_hOwner = nullptr;
    InsertChild(pNew, pWnd);
    InvalidateRect(hWndChild, nullptr, TRUE);
    return hOld;
}

BOOL IsChild(HWND hWndParent, HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    while (pWnd && (pWnd->m_nStyle & WS_CHILD))
    {
        if (pWnd->m_hParent == hWndParent)
            return TRUE;
        pWnd = FindWindowObject(pWnd->m_hParent);
    }
    return FALSE;
}

HWND GetWindow(HWND hWnd, UINT uCmd)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return nullptr;
    if (uCmd == GW_CHILD)
        return pWnd->m_Children.empty() ? nullptr : pWnd->m_Children.front();
    if (uCmd == GW_OWNER)
        return pWnd->m_hOwner;
    Window* pParent = FindWindowObject(pWnd->m_hParent);
    if (!pParent)
        return nullptr;
    const auto& siblings = pParent->m_Children;
    auto it = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd)
    {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return it + 1 < siblings.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV: return it != siblings.begin() ? *(it - 1) : nullptr;
    default: return nullptr;
    }
}

HWND GetTopWindow(HWND hWnd)
{
    return GetWindow(hWnd ? hWnd : GetDesktopWindow(), GW_CHILD);
}

HWND GetAncestor(HWND hwnd, UINT gaFlags)
{
    Window* pWnd = FindWindowObject(hwnd);
    if (!pWnd || pWnd == DesktopObject())
        return nullptr;
    if (gaFlags == GA_PARENT)
        return pWnd->m_hParent;
    while (!IsTopLevel(pWnd))
        pWnd = FindWindowObject(pWnd->m_hParent);
    if (gaFlags == GA_ROOTOWNER)
        while (Window* pOwner = FindWindowObject(pWnd->m_hOwner))
            pWnd = pOwner;
    return pWnd->m_hWnd;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    Window* pWnd = FindWindowObject(hDlg);
    if (!pWnd)
        return nullptr;
    for (HWND h : pWnd->m_Children)
        if (Window* p = FindWindowObject(h); p && static_cast<int>(p->m_nId) == nIDDlgItem)
            return h;
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    return pWnd && (pWnd->m_nStyle & WS_CHILD) ? static_cast<int>(pWnd->m_nId) : 0;
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return 0;
    switch (nIndex)
    {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(pWnd->m_pfnWndProc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(pWnd->m_hInstance);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(GetParent(hWnd));
    case GWL_ID: return static_cast<LONG_PTR>(pWnd->m_nId);
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(pWnd->m_nStyle));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(pWnd->m_nExStyle));
    case GWL_USERDATA: return pWnd->m_nUserData;
    default: break;
    }
    if (nIndex < 0)
        return 0;
    // Extra bytes: eight when they fit, else four (the 32-bit GetWindowLong's size).
    size_t nOffset = static_cast<size_t>(nIndex);
    size_t nBytes = nOffset + 8 <= pWnd->m_Extra.size() ? 8 : nOffset + 4 <= pWnd->m_Extra.size() ? 4 : 0;
    if (!nBytes)
        return 0;
    uint64_t v = 0;
    for (size_t i = 0; i < nBytes; ++i)
        v |= static_cast<uint64_t>(pWnd->m_Extra[nOffset + i]) << (8 * i);
    return nBytes == 8 ? static_cast<LONG_PTR>(v) : static_cast<LONG_PTR>(static_cast<int32_t>(v));
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || pWnd == DesktopObject())
        return 0;
    LONG_PTR old = GetWindowLongPtrA(hWnd, nIndex);
    switch (nIndex)
    {
    case GWL_WNDPROC: pWnd->m_pfnWndProc = reinterpret_cast<WNDPROC>(dwNewLong); return old;
    case GWL_HINSTANCE: pWnd->m_hInstance = reinterpret_cast<HINSTANCE>(dwNewLong); return old;
    case GWL_HWNDPARENT:
        if (IsTopLevel(pWnd))
            pWnd->m_hOwner = reinterpret_cast<HWND>(dwNewLong);
        return old;
    case GWL_ID: pWnd->m_nId = static_cast<UINT_PTR>(dwNewLong); return old;
    case GWL_STYLE: pWnd->m_nStyle = static_cast<DWORD>(dwNewLong); return old;
    case GWL_EXSTYLE: pWnd->m_nExStyle = static_cast<DWORD>(dwNewLong); return old;
    case GWL_USERDATA: pWnd->m_nUserData = dwNewLong; return old;
    default: break;
    }
    if (nIndex < 0)
        return 0;
    size_t nOffset = static_cast<size_t>(nIndex);
    size_t nBytes = nOffset + 8 <= pWnd->m_Extra.size() ? 8 : nOffset + 4 <= pWnd->m_Extra.size() ? 4 : 0;
    for (size_t i = 0; i < nBytes; ++i)
        pWnd->m_Extra[nOffset + i] = static_cast<uint8_t>(static_cast<uint64_t>(dwNewLong) >> (8 * i));
    return old;
}

LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    return IsWindow(hWnd) && SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : ""));
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd)
{
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}
