// The tooltip control. It keeps a list of tools (a rectangle of a window, or a whole window) and
// follows the mouse through the messages relayed to it: resting on a tool starts the initial
// delay, after which the tip shows below the cursor; leaving the tool, pressing a button or the
// automatic delay hides it. All delays run on the layer clock. A timer watches the cursor while a
// tool is current, since the tool's window says nothing when the mouse leaves it.
#include "Controls.h"

#include <win32/gdi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{
const UINT DEFAULT_INITIAL_MS = 500;
const UINT_PTR SHOW_TIMER = 1;
const UINT_PTR POP_TIMER = 2;
const UINT_PTR TRACK_TIMER = 3;
const UINT TRACK_PERIOD_MS = 100;
const int CURSOR_HEIGHT = 20;   // the tip shows this far below the hot spot
const int MARGIN_X = 3;         // inside the border, around the text
const int MARGIN_Y = 1;

struct Tool
{
    TOOLINFOA m_Info{};
    std::string m_strText;
};

// The windows subclassed for TTF_SUBCLASS tools: their original procedure and the tooltips that
// watch them.
struct WatchedWindow
{
    WNDPROC m_pfnOriginal = nullptr;
    std::vector<HWND> m_Tips;
};

std::unordered_map<HWND, WatchedWindow>& Watched()
{
    static std::unordered_map<HWND, WatchedWindow> s_Map;
    return s_Map;
}

LRESULT CALLBACK WatchingProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    auto it = Watched().find(hWnd);
    if (it == Watched().end())
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    WNDPROC pfnOriginal = it->second.m_pfnOriginal;
    if (nMessage >= WM_MOUSEFIRST && nMessage <= WM_MOUSELAST)
    {
        MSG msg{hWnd, nMessage, wParam, lParam, 0, {}};
        std::vector<HWND> tips = it->second.m_Tips;   // a relay may change the list
        for (HWND hTip : tips)
            SendMessageA(hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    if (nMessage == WM_NCDESTROY)
    {
        // The window goes: its procedure is put back for its last message.
        SetWindowLongPtrA(hWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(pfnOriginal));
        Watched().erase(hWnd);
    }
    return CallWindowProcA(pfnOriginal, hWnd, nMessage, wParam, lParam);
}

void Watch(HWND hTool, HWND hTip)
{
    if (!IsWindow(hTool))
        return;
    auto it = Watched().find(hTool);
    if (it == Watched().end())
    {
        WatchedWindow w;
        w.m_pfnOriginal = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hTool, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingProc)));
        it = Watched().emplace(hTool, w).first;
    }
    if (std::find(it->second.m_Tips.begin(), it->second.m_Tips.end(), hTip) == it->second.m_Tips.end())
        it->second.m_Tips.push_back(hTip);
}

// The tooltip stops watching hTool (null: every window); a window nobody watches any more gets
// its procedure back unless another subclass was put over ours since.
void Unwatch(HWND hTool, HWND hTip)
{
    for (auto it = Watched().begin(); it != Watched().end();)
    {
        auto& tips = it->second.m_Tips;
        if (hTool && it->first != hTool)
        {
            ++it;
            continue;
        }
        tips.erase(std::remove(tips.begin(), tips.end(), hTip), tips.end());
        bool bOnTop = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(it->first, GWL_WNDPROC)) == WatchingProc;
        if (tips.empty() && bOnTop)
        {
            SetWindowLongPtrA(it->first, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.m_pfnOriginal));
            it = Watched().erase(it);
        }
        else
            ++it;
    }
}

class ToolTip
{
public:
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    LRESULT Handle(UINT nMessage, WPARAM wParam, LPARAM lParam);

private:
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    HWND ToolWindow(const Tool& t) const
    {
        return (t.m_Info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.m_Info.uId) : t.m_Info.hwnd;
    }
    int Find(const TOOLINFOA* pInfo) const
    {
        for (size_t i = 0; pInfo && i < m_Tools.size(); ++i)
            if (m_Tools[i].m_Info.hwnd == pInfo->hwnd && m_Tools[i].m_Info.uId == pInfo->uId)
                return static_cast<int>(i);
        return -1;
    }
    // The tool at a point of hWnd's client area, or -1.
    int ToolAt(HWND hWnd, POINT pt) const;
    int ToolUnderCursor() const;
    void SetText(Tool& t, const TOOLINFOA& info);
    std::string TextOf(const Tool& t);
    UINT Delay(int nWhich) const;

    void OnRelay(const MSG& msg);
    void Enter(int nTool);
    void Show();
    void Hide();
    SIZE Measure(const std::string& str) const;
    void Paint(HDC hdc);

    HWND m_hWnd = nullptr;
    HFONT m_hFont = nullptr;
    std::vector<Tool> m_Tools;
    int m_nCurrent = -1;          // the tool the mouse rests on
    bool m_bShown = false;
    bool m_bSuppressed = false;   // a click hid the tip: no tip until the mouse leaves the tool
    bool m_bActive = true;
    int m_nMaxWidth = -1;
    int m_Delays[4] = {-1, -1, -1, -1};   // TTDT_ order; -1: derived from the initial delay
    std::string m_strShown;
};

ControlStore<ToolTip>& ToolTips()
{
    static ControlStore<ToolTip> s_Store;
    return s_Store;
}

int ToolTip::ToolAt(HWND hWnd, POINT pt) const
{
    for (size_t i = 0; i < m_Tools.size(); ++i)
    {
        const Tool& t = m_Tools[i];
        if (ToolWindow(t) != hWnd)
            continue;
        RECT rc = t.m_Info.rect;
        if (t.m_Info.uFlags & TTF_IDISHWND)
            GetClientRect(hWnd, &rc);
        if (pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

int ToolTip::ToolUnderCursor() const
{
    POINT pt{};
    GetCursorPos(&pt);
    HWND hUnder = WindowFromPoint(pt);
    if (!hUnder)
        return -1;
    ScreenToClient(hUnder, &pt);
    return ToolAt(hUnder, pt);
}

void ToolTip::SetText(Tool& t, const TOOLINFOA& info)
{
    t.m_Info.lpszText = info.lpszText;
    t.m_Info.hinst = info.hinst;
    t.m_strText.clear();
    if (info.lpszText == LPSTR_TEXTCALLBACKA)
        return;
    if (IS_INTRESOURCE(info.lpszText))
    {
        char sz[256] = {};
        if (info.lpszText && LoadStringA(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), sz, sizeof(sz)) > 0)
            t.m_strText = sz;
        return;
    }
    t.m_strText = info.lpszText;
}

std::string ToolTip::TextOf(const Tool& t)
{
    if (t.m_Info.lpszText != LPSTR_TEXTCALLBACKA)
        return t.m_strText;
    NMTTDISPINFOA info{};
    info.lParam = t.m_Info.lParam;
    info.uFlags = t.m_Info.uFlags;
    info.lpszText = info.szText;
    NMHDR& h = info.hdr;
    h.hwndFrom = m_hWnd;
    h.idFrom = t.m_Info.uId;
    h.code = TTN_GETDISPINFOA;
    SendMessageA(t.m_Info.hwnd, WM_NOTIFY, h.idFrom, reinterpret_cast<LPARAM>(&info));
    if (IS_INTRESOURCE(info.lpszText))
    {
        char sz[256] = {};
        if (info.lpszText && LoadStringA(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), sz, sizeof(sz)) > 0)
            return sz;
        return std::string();
    }
    return info.lpszText;
}

UINT ToolTip::Delay(int nWhich) const
{
    if (m_Delays[nWhich] >= 0)
        return static_cast<UINT>(m_Delays[nWhich]);
    UINT nInitial = m_Delays[TTDT_INITIAL] >= 0 ? static_cast<UINT>(m_Delays[TTDT_INITIAL]) : DEFAULT_INITIAL_MS;
    // As documented: the reshow delay is a fifth of the initial one, the automatic ten times it.
    return nWhich == TTDT_AUTOPOP ? nInitial * 10 : nWhich == TTDT_RESHOW ? nInitial / 5 : nInitial;
}

void ToolTip::OnRelay(const MSG& msg)
{
    if (!m_bActive)
        return;
    switch (msg.message)
    {
    case WM_MOUSEMOVE:
    {
        POINT pt{static_cast<SHORT>(LOWORD(msg.lParam)), static_cast<SHORT>(HIWORD(msg.lParam))};
        int nTool = ToolAt(msg.hwnd, pt);
        if (nTool != m_nCurrent)
            Enter(nTool);
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (m_nCurrent >= 0)
        {
            Hide();
            KillTimer(m_hWnd, SHOW_TIMER);
            m_bSuppressed = true;
        }
        break;
    default: break;
    }
}

void ToolTip::Enter(int nTool)
{
    bool bWasShown = m_bShown;
    Hide();
    m_nCurrent = nTool;
    m_bSuppressed = false;
    KillTimer(m_hWnd, SHOW_TIMER);
    if (nTool < 0)
    {
        KillTimer(m_hWnd, TRACK_TIMER);
        return;
    }
    // Moving from one tool to the next while a tip shows brings the next one up sooner.
    SetTimer(m_hWnd, SHOW_TIMER, Delay(bWasShown ? TTDT_RESHOW : TTDT_INITIAL), nullptr);
    SetTimer(m_hWnd, TRACK_TIMER, TRACK_PERIOD_MS, nullptr);
}

SIZE ToolTip::Measure(const std::string& str) const
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(m_hFont));
    RECT rc{0, 0, m_nMaxWidth > 0 ? m_nMaxWidth : 0, 0};
    UINT nFormat = DT_CALCRECT | DT_NOPREFIX | (m_nMaxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextA(hdc, str.c_str(), -1, &rc, nFormat);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return SIZE{rc.right - rc.left + 2 * (MARGIN_X + 1), rc.bottom - rc.top + 2 * (MARGIN_Y + 1)};
}

void ToolTip::Show()
{
    if (m_nCurrent < 0 || m_bSuppressed)
        return;
    const Tool& t = m_Tools[static_cast<size_t>(m_nCurrent)];
    m_strShown = TextOf(t);
    if (m_strShown.empty())
        return;
    SIZE size = Measure(m_strShown);
    POINT pt{};
    GetCursorPos(&pt);
    int x = std::clamp<int>(pt.x, 0, std::max<int>(0, GetSystemMetrics(SM_CXSCREEN) - size.cx));
    int y = pt.y + CURSOR_HEIGHT;
    if (y + size.cy > GetSystemMetrics(SM_CYSCREEN))
        y = std::max<int>(0, pt.y - size.cy);
    m_bShown = true;
    NMHDR h{m_hWnd, t.m_Info.uId, TTN_SHOW};
    SendMessageA(t.m_Info.hwnd, WM_NOTIFY, h.idFrom, reinterpret_cast<LPARAM>(&h));
    SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(m_hWnd, nullptr, TRUE);
    SetTimer(m_hWnd, POP_TIMER, Delay(TTDT_AUTOPOP), nullptr);
}

void ToolTip::Hide()
{
    KillTimer(m_hWnd, POP_TIMER);
    if (!m_bShown)
        return;
    m_bShown = false;
    ShowWindow(m_hWnd, SW_HIDE);
    if (m_nCurrent >= 0)
    {
        const Tool& t = m_Tools[static_cast<size_t>(m_nCurrent)];
        NMHDR h{m_hWnd, t.m_Info.uId, TTN_POP};
        SendMessageA(t.m_Info.hwnd, WM_NOTIFY, h.idFrom, reinterpret_cast<LPARAM>(&h));
    }
}

void ToolTip::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(m_hFont));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_INFOTEXT));
    InflateRect(&rc, -(MARGIN_X + 1), -(MARGIN_Y + 1));
    DrawTextA(hdc, m_strShown.c_str(), -1, &rc, DT_NOPREFIX | (m_nMaxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(hdc, hOld);
}

LRESULT ToolTip::Handle(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    auto* pInfo = reinterpret_cast<TOOLINFOA*>(lParam);
    switch (nMessage)
    {
    case TTM_ADDTOOLA:
    {
        if (!pInfo || Find(pInfo) >= 0)
            return FALSE;
        Tool t;
        t.m_Info = *pInfo;
        SetText(t, *pInfo);
        m_Tools.push_back(t);
        if (pInfo->uFlags & TTF_SUBCLASS)
            Watch(ToolWindow(t), m_hWnd);
        return TRUE;
    }
    case TTM_DELTOOLA:
    {
        int i = Find(pInfo);
        if (i < 0)
            return 0;
        if (i == m_nCurrent)
            Enter(-1);
        HWND hToolWindow = ToolWindow(m_Tools[static_cast<size_t>(i)]);
        m_Tools.erase(m_Tools.begin() + i);
        if (m_nCurrent > i)
            --m_nCurrent;
        bool bStillWatched = std::any_of(m_Tools.begin(), m_Tools.end(), [&](const Tool& t) {
            return (t.m_Info.uFlags & TTF_SUBCLASS) && ToolWindow(t) == hToolWindow;
        });
        if (!bStillWatched)
            Unwatch(hToolWindow, m_hWnd);
        return 0;
    }
    case TTM_NEWTOOLRECTA:
    {
        int i = Find(pInfo);
        if (i >= 0)
            m_Tools[static_cast<size_t>(i)].m_Info.rect = pInfo->rect;
        return 0;
    }
    case TTM_UPDATETIPTEXTA:
    {
        int i = Find(pInfo);
        if (i < 0)
            return 0;
        SetText(m_Tools[static_cast<size_t>(i)], *pInfo);
        if (m_bShown && i == m_nCurrent)
        {
            // The shown tip takes the new text and size where it stands.
            m_strShown = TextOf(m_Tools[static_cast<size_t>(i)]);
            SIZE size = Measure(m_strShown);
            SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(m_hWnd, nullptr, TRUE);
        }
        return 0;
    }
    case TTM_GETTOOLINFOA:
    case TTM_GETTEXTA:
    {
        int i = Find(pInfo);
        if (i < 0)
            return FALSE;
        const Tool& t = m_Tools[static_cast<size_t>(i)];
        if (nMessage == TTM_GETTEXTA)
        {
            // wParam, when given, is the buffer's size; the text is cut to fit.
            if (pInfo->lpszText)
            {
                size_t n = wParam ? std::min<size_t>(t.m_strText.size(), wParam - 1) : t.m_strText.size();
                std::memcpy(pInfo->lpszText, t.m_strText.data(), n);
                pInfo->lpszText[n] = '\0';
            }
            return TRUE;
        }
        LPSTR lpszKeep = pInfo->lpszText;
        *pInfo = t.m_Info;
        pInfo->lpszText = lpszKeep;
        return TRUE;
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(m_Tools.size());
    case TTM_GETCURRENTTOOLA:
        if (!m_bShown)
            return FALSE;
        if (pInfo)
        {
            LPSTR lpszKeep = pInfo->lpszText;
            *pInfo = m_Tools[static_cast<size_t>(m_nCurrent)].m_Info;
            pInfo->lpszText = lpszKeep;
        }
        return TRUE;
    case TTM_RELAYEVENT:
        if (lParam)
            OnRelay(*reinterpret_cast<const MSG*>(lParam));
        return 0;
    case TTM_ACTIVATE:
        m_bActive = wParam != 0;
        if (!m_bActive)
            Enter(-1);
        return 0;
    case TTM_SETDELAYTIME:
    {
        int nMs = static_cast<SHORT>(LOWORD(lParam));
        if (wParam == TTDT_AUTOMATIC)
        {
            for (int& n : m_Delays)
                n = -1;
            m_Delays[TTDT_INITIAL] = nMs;
        }
        else if (wParam <= TTDT_INITIAL)
            m_Delays[wParam] = nMs;
        return 0;
    }
    case TTM_GETDELAYTIME: return wParam <= TTDT_INITIAL && wParam != TTDT_AUTOMATIC ? Delay(static_cast<int>(wParam)) : 0;
    case TTM_SETMAXTIPWIDTH:
    {
        int nOld = m_nMaxWidth;
        m_nMaxWidth = static_cast<int>(lParam);
        return nOld;
    }
    case TTM_GETMAXTIPWIDTH: return m_nMaxWidth;
    case TTM_POP: Hide(); return 0;
    case WM_TIMER:
        if (wParam == SHOW_TIMER)
        {
            KillTimer(m_hWnd, SHOW_TIMER);
            if (m_nCurrent >= 0 && ToolUnderCursor() == m_nCurrent)
                Show();
        }
        else if (wParam == POP_TIMER)
        {
            Hide();
            m_bSuppressed = true;
        }
        else if (wParam == TRACK_TIMER && m_nCurrent >= 0 && ToolUnderCursor() != m_nCurrent)
            Enter(-1);
        return 0;
    case WM_SETFONT: m_hFont = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_NCHITTEST: return HTTRANSPARENT;   // the mouse goes to what lies beneath the tip
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: return PaintControl(m_hWnd, [&](HDC hdc) { Paint(hdc); });
    case WM_DESTROY: Unwatch(nullptr, m_hWnd); return 0;
    default: return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    }
}
}

LRESULT CALLBACK ToolTipWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
    {
        // A tip is always a topmost tool window, whatever style it was created with.
        ToolTips().Make(hWnd).Attach(hWnd);
        SetWindowLongPtrA(hWnd, GWL_EXSTYLE, GetWindowLongPtrA(hWnd, GWL_EXSTYLE) | WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    }
    ToolTip* pTip = ToolTips().Find(hWnd);
    if (nMessage == WM_NCDESTROY)
    {
        ToolTips().Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
    return pTip ? pTip->Handle(nMessage, wParam, lParam) : DefWindowProcA(hWnd, nMessage, wParam, lParam);
}
