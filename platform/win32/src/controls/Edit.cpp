// The single-line edit control: typing, a selection kept as an anchor and a caret, scrolling to
// keep the caret in view (ES_AUTOHSCROLL; without it, text that would not fit is refused), a
// read-only mode that refuses typing, and cut, copy and paste through the program's clipboard.
// EN_CHANGE follows every change of the text, WM_SETTEXT included.
#include "Controls.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace
{
struct EditState
{
    std::string m_strText;
    size_t m_nAnchor = 0;
    size_t m_nCaret = 0;
    int m_nScroll = 0;        // pixels of text scrolled out at the left
    size_t m_nLimit = 0x7FFFFFFE;
    bool m_bFocus = false;
    bool m_bTracking = false;
    bool m_bModified = false;
    HFONT m_hFont = nullptr;
};
ControlStore<EditState> g_Edits;

const int MARGIN = 1;   // pixels between the client edge and the text

DWORD StyleOf(HWND hWnd)
{
    return static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE));
}

size_t SelStart(const EditState& s)
{
    return std::min(s.m_nAnchor, s.m_nCaret);
}
size_t SelEnd(const EditState& s)
{
    return std::max(s.m_nAnchor, s.m_nCaret);
}

// What is shown: the text, or as many asterisks under ES_PASSWORD.
std::string Shown(HWND hWnd, const EditState& s)
{
    return (StyleOf(hWnd) & ES_PASSWORD) ? std::string(s.m_strText.size(), '*') : s.m_strText;
}

// The width of the first n characters shown.
int PrefixWidth(HWND hWnd, const EditState& s, size_t n)
{
    if (!n)
        return 0;
    std::string shown = Shown(hWnd, s);
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(s.m_hFont));
    SIZE size{};
    GetTextExtentPoint32A(hdc, shown.c_str(), static_cast<int>(std::min(n, shown.size())), &size);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return size.cx;
}

int ClientWidth(HWND hWnd)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    return rc.right - rc.left;
}

// The character boundary nearest to a client x.
size_t IndexFromX(HWND hWnd, const EditState& s, int x)
{
    int nTarget = x - MARGIN + s.m_nScroll;
    int nPrevious = 0;
    for (size_t i = 1; i <= s.m_strText.size(); ++i)
    {
        int w = PrefixWidth(hWnd, s, i);
        if (w >= nTarget)
            return (nTarget - nPrevious < w - nTarget) ? i - 1 : i;
        nPrevious = w;
    }
    return s.m_strText.size();
}

void ScrollToCaret(HWND hWnd, EditState& s)
{
    int nVisible = ClientWidth(hWnd) - 2 * MARGIN;
    int x = PrefixWidth(hWnd, s, s.m_nCaret);
    if (x < s.m_nScroll)
        s.m_nScroll = x;
    else if (x - s.m_nScroll > nVisible - 1)
        s.m_nScroll = x - nVisible + 1;
    s.m_nScroll = std::max(0, s.m_nScroll);
}

void Changed(HWND hWnd, EditState& s)
{
    ScrollToCaret(hWnd, s);
    InvalidateRect(hWnd, nullptr, TRUE);
    NotifyParent(hWnd, EN_UPDATE);
    NotifyParent(hWnd, EN_CHANGE);
}

void SelectionMoved(HWND hWnd, EditState& s)
{
    ScrollToCaret(hWnd, s);
    InvalidateRect(hWnd, nullptr, TRUE);
}

// Puts text in place of the selection. Typing (bUser) is held to the limit and, without
// ES_AUTOHSCROLL, to what fits; false when nothing could go in.
bool ReplaceSelection(HWND hWnd, EditState& s, std::string text, bool bUser)
{
    DWORD nStyle = StyleOf(hWnd);
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }), text.end());
    if (nStyle & ES_UPPERCASE)
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    else if (nStyle & ES_LOWERCASE)
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    size_t nStart = SelStart(s), nEnd = SelEnd(s);
    size_t nRoom = s.m_nLimit - std::min(s.m_nLimit, s.m_strText.size() - (nEnd - nStart));
    if (text.size() > nRoom)
    {
        text.resize(nRoom);
        NotifyParent(hWnd, EN_MAXTEXT);
    }
    if (text.empty() && nStart == nEnd)
        return false;
    std::string strOld = s.m_strText;
    s.m_strText.replace(nStart, nEnd - nStart, text);
    if (bUser && !(nStyle & ES_AUTOHSCROLL) && PrefixWidth(hWnd, s, s.m_strText.size()) > ClientWidth(hWnd) - 2 * MARGIN)
    {
        s.m_strText = strOld;
        NotifyParent(hWnd, EN_MAXTEXT);
        return false;
    }
    s.m_nCaret = s.m_nAnchor = nStart + text.size();
    s.m_bModified = true;
    Changed(hWnd, s);
    return true;
}

void Copy(HWND hWnd, const EditState& s)
{
    if (SelStart(s) == SelEnd(s) || (StyleOf(hWnd) & ES_PASSWORD))
        return;
    std::string text = s.m_strText.substr(SelStart(s), SelEnd(s) - SelStart(s));
    HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!hMem)
        return;
    std::memcpy(GlobalLock(hMem), text.c_str(), text.size() + 1);
    GlobalUnlock(hMem);
    if (OpenClipboard(hWnd))
    {
        EmptyClipboard();
        SetClipboardData(CF_TEXT, hMem);
        CloseClipboard();
    }
    else
        GlobalFree(hMem);
}

void Paste(HWND hWnd, EditState& s)
{
    if (!OpenClipboard(hWnd))
        return;
    std::string text;
    if (HGLOBAL hMem = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT)))
    {
        const char* p = static_cast<const char*>(GlobalLock(hMem));
        text.assign(p, strnlen(p, GlobalSize(hMem)));
        GlobalUnlock(hMem);
    }
    CloseClipboard();
    ReplaceSelection(hWnd, s, text, true);
}

bool IsReadOnly(HWND hWnd)
{
    return (StyleOf(hWnd) & ES_READONLY) != 0;
}

void TypeChar(HWND hWnd, EditState& s, char c)
{
    switch (c)
    {
    case 1: s.m_nAnchor = 0; s.m_nCaret = s.m_strText.size(); SelectionMoved(hWnd, s); return;   // Ctrl+A
    case 3: Copy(hWnd, s); return;                                                                // Ctrl+C
    default: break;
    }
    if (IsReadOnly(hWnd))
    {
        MessageBeep(0);
        return;
    }
    switch (c)
    {
    case 0x16: Paste(hWnd, s); return;   // Ctrl+V
    case 0x18:                           // Ctrl+X
        Copy(hWnd, s);
        ReplaceSelection(hWnd, s, "", true);
        return;
    case '\b':
        if (SelStart(s) == SelEnd(s) && s.m_nCaret > 0)
            s.m_nAnchor = s.m_nCaret - 1;
        ReplaceSelection(hWnd, s, "", true);
        return;
    default: break;
    }
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127)
        return;
    if ((StyleOf(hWnd) & ES_NUMBER) && !std::isdigit(u))
    {
        MessageBeep(0);
        return;
    }
    ReplaceSelection(hWnd, s, std::string(1, c), true);
}

void KeyDown(HWND hWnd, EditState& s, WPARAM nKey)
{
    bool bShift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    size_t nCaret = s.m_nCaret;
    switch (nKey)
    {
    case VK_LEFT:
        if (!bShift && SelStart(s) != SelEnd(s))
            nCaret = SelStart(s);
        else if (nCaret > 0)
            --nCaret;
        break;
    case VK_RIGHT:
        if (!bShift && SelStart(s) != SelEnd(s))
            nCaret = SelEnd(s);
        else if (nCaret < s.m_strText.size())
            ++nCaret;
        break;
    case VK_HOME: nCaret = 0; break;
    case VK_END: nCaret = s.m_strText.size(); break;
    case VK_DELETE:
        if (IsReadOnly(hWnd))
            return;
        if (bShift)
            Copy(hWnd, s);
        if (SelStart(s) == SelEnd(s) && s.m_nCaret < s.m_strText.size())
            s.m_nAnchor = s.m_nCaret + 1;
        ReplaceSelection(hWnd, s, "", true);
        return;
    case VK_INSERT:
        if (GetKeyState(VK_CONTROL) & 0x8000)
            Copy(hWnd, s);
        else if (bShift && !IsReadOnly(hWnd))
            Paste(hWnd, s);
        return;
    default: return;
    }
    s.m_nCaret = nCaret;
    if (!bShift)
        s.m_nAnchor = nCaret;
    SelectionMoved(hWnd, s);
}

void Paint(HWND hWnd, HDC hdc, const EditState& s)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    bool bEnabled = IsWindowEnabled(hWnd);
    bool bStatic = IsReadOnly(hWnd) || !bEnabled;
    HBRUSH hBrush = ControlBrush(hWnd, hdc, bStatic ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                 bStatic ? COLOR_3DFACE : COLOR_WINDOW);
    FillRect(hdc, &rc, hBrush);
    HGDIOBJ hOldFont = SelectObject(hdc, ControlFont(s.m_hFont));
    if (!bEnabled)
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(hdc, TRANSPARENT);
    std::string shown = Shown(hWnd, s);
    int x0 = rc.left + MARGIN - s.m_nScroll;
    int y = rc.top + MARGIN;
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    RECT rcText{rc.left + MARGIN, rc.top, rc.right - MARGIN, rc.bottom};
    ExtTextOutA(hdc, x0, y, ETO_CLIPPED, &rcText, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
    bool bShowSel = s.m_bFocus || (StyleOf(hWnd) & ES_NOHIDESEL);
    size_t nStart = SelStart(s), nEnd = SelEnd(s);
    if (bShowSel && nStart != nEnd)
    {
        int xa = x0 + PrefixWidth(hWnd, s, nStart), xb = x0 + PrefixWidth(hWnd, s, nEnd);
        RECT rcSel{std::max<int>(xa, rcText.left), y, std::min<int>(xb, rcText.right), y + tm.tmHeight};
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(hdc, GetSysColor(COLOR_HIGHLIGHT));
        ExtTextOutA(hdc, xa, y, ETO_OPAQUE | ETO_CLIPPED, &rcSel, shown.c_str() + nStart,
                    static_cast<UINT>(nEnd - nStart), nullptr);
    }
    else if (s.m_bFocus)
    {
        int xc = x0 + PrefixWidth(hWnd, s, s.m_nCaret);
        if (xc >= rc.left && xc < rc.right)
        {
            RECT rcCaret{xc, y, xc + 1, y + tm.tmHeight};
            FillRect(hdc, &rcCaret, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
    }
    SelectObject(hdc, hOldFont);
}

void SetSelection(HWND hWnd, EditState& s, LPARAM nStart, LPARAM nEnd)
{
    size_t n = s.m_strText.size();
    if (nStart < 0)
    {
        s.m_nAnchor = s.m_nCaret;   // -1 only removes the selection
    }
    else
    {
        s.m_nAnchor = std::min<size_t>(static_cast<size_t>(nStart), n);
        s.m_nCaret = nEnd < 0 ? n : std::min<size_t>(static_cast<size_t>(nEnd), n);
    }
    SelectionMoved(hWnd, s);
}

LRESULT CopyText(const std::string& text, WPARAM nMax, LPARAM lParam)
{
    if (!nMax || !lParam)
        return 0;
    size_t n = std::min<size_t>(text.size(), nMax - 1);
    char* pOut = reinterpret_cast<char*>(lParam);
    std::memcpy(pOut, text.data(), n);
    pOut[n] = 0;
    return static_cast<LRESULT>(n);
}
}

LRESULT CALLBACK EditWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
    {
        EditState& s = g_Edits.Make(hWnd);
        auto* pcs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (pcs && pcs->lpszName && !IS_INTRESOURCE(pcs->lpszName))
            s.m_strText = pcs->lpszName;
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
    EditState* pState = g_Edits.Find(hWnd);
    if (!pState)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    EditState& s = *pState;
    switch (nMessage)
    {
    case WM_NCDESTROY:
        g_Edits.Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETFONT:
        s.m_hFont = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            RedrawNow(hWnd);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s.m_hFont);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: return PaintControl(hWnd, [&](HDC hdc) { Paint(hWnd, hdc, s); });
    case WM_ENABLE:
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_SETTEXT:
    {
        const char* p = lParam ? reinterpret_cast<const char*>(lParam) : "";
        s.m_strText.assign(p, std::min(std::strlen(p), s.m_nLimit));
        s.m_nAnchor = s.m_nCaret = 0;
        s.m_nScroll = 0;
        s.m_bModified = false;
        DefWindowProcA(hWnd, nMessage, wParam, reinterpret_cast<LPARAM>(s.m_strText.c_str()));
        Changed(hWnd, s);
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyText(s.m_strText, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(s.m_strText.size());
    case WM_CHAR:
        TypeChar(hWnd, s, static_cast<char>(wParam));
        return 0;
    case WM_KEYDOWN:
        KeyDown(hWnd, s, wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    {
        if (GetFocus() != hWnd)
            SetFocus(hWnd);
        if (nMessage == WM_LBUTTONDBLCLK)
        {
            // The word under the mouse.
            size_t i = IndexFromX(hWnd, s, GET_X_LPARAM(lParam));
            size_t a = i, b = i;
            while (a > 0 && !std::isspace(static_cast<unsigned char>(s.m_strText[a - 1])))
                --a;
            while (b < s.m_strText.size() && !std::isspace(static_cast<unsigned char>(s.m_strText[b])))
                ++b;
            s.m_nAnchor = a;
            s.m_nCaret = b;
            SelectionMoved(hWnd, s);
            return 0;
        }
        s.m_nCaret = IndexFromX(hWnd, s, GET_X_LPARAM(lParam));
        if (!(wParam & MK_SHIFT))
            s.m_nAnchor = s.m_nCaret;
        s.m_bTracking = true;
        SetCapture(hWnd);
        SelectionMoved(hWnd, s);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (s.m_bTracking)
        {
            s.m_nCaret = IndexFromX(hWnd, s, GET_X_LPARAM(lParam));
            SelectionMoved(hWnd, s);
        }
        return 0;
    case WM_LBUTTONUP:
        if (s.m_bTracking)
        {
            s.m_bTracking = false;
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        s.m_bTracking = false;
        return 0;
    case WM_SETFOCUS:
        s.m_bFocus = true;
        InvalidateRect(hWnd, nullptr, TRUE);
        NotifyParent(hWnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s.m_bFocus = false;
        InvalidateRect(hWnd, nullptr, TRUE);
        NotifyParent(hWnd, EN_KILLFOCUS);
        return 0;
    case EM_GETSEL:
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(SelStart(s));
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(SelEnd(s));
        return MAKELONG(std::min<size_t>(SelStart(s), 0xFFFF), std::min<size_t>(SelEnd(s), 0xFFFF));
    case EM_SETSEL:
        SetSelection(hWnd, s, static_cast<LPARAM>(static_cast<int>(wParam)), static_cast<int>(lParam));
        return 0;
    case EM_REPLACESEL:
        ReplaceSelection(hWnd, s, lParam ? reinterpret_cast<const char*>(lParam) : "", false);
        return 0;
    case EM_LIMITTEXT:
        s.m_nLimit = wParam ? static_cast<size_t>(wParam) : 0x7FFFFFFE;
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(s.m_nLimit);
    case EM_SETREADONLY:
    {
        LONG_PTR nStyle = GetWindowLongPtrA(hWnd, GWL_STYLE);
        SetWindowLongPtrA(hWnd, GWL_STYLE, wParam ? (nStyle | ES_READONLY) : (nStyle & ~ES_READONLY));
        InvalidateRect(hWnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_GETMODIFY:
        return s.m_bModified;
    case EM_SETMODIFY:
        s.m_bModified = wParam != 0;
        return 0;
    case EM_GETLINECOUNT:
        return 1;
    case EM_LINEINDEX:
    case EM_LINEFROMCHAR:
    case EM_GETFIRSTVISIBLELINE:
        return 0;
    case EM_LINELENGTH:
        return static_cast<LRESULT>(s.m_strText.size());
    case EM_GETLINE:
    {
        // The buffer's first word gives its size.
        if (!lParam)
            return 0;
        WORD nMax = 0;
        std::memcpy(&nMax, reinterpret_cast<void*>(lParam), sizeof(nMax));
        size_t n = std::min<size_t>(nMax, s.m_strText.size());
        std::memcpy(reinterpret_cast<void*>(lParam), s.m_strText.data(), n);
        return static_cast<LRESULT>(n);
    }
    case EM_POSFROMCHAR:
    {
        size_t i = std::min<size_t>(wParam, s.m_strText.size());
        return MAKELONG(MARGIN - s.m_nScroll + PrefixWidth(hWnd, s, i), MARGIN);
    }
    case EM_CHARFROMPOS:
        return static_cast<LRESULT>(IndexFromX(hWnd, s, GET_X_LPARAM(lParam)));
    case EM_SCROLLCARET:
        SelectionMoved(hWnd, s);
        return TRUE;
    case EM_CANUNDO:
    case EM_UNDO:
        return FALSE;
    case WM_COPY:
        Copy(hWnd, s);
        return 0;
    case WM_CUT:
        Copy(hWnd, s);
        if (!IsReadOnly(hWnd))
            ReplaceSelection(hWnd, s, "", false);
        return 0;
    case WM_PASTE:
        if (!IsReadOnly(hWnd))
            Paste(hWnd, s);
        return 0;
    case WM_CLEAR:
        if (!IsReadOnly(hWnd))
            ReplaceSelection(hWnd, s, "", false);
        return 0;
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}
