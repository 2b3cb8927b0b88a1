// The rich edit control: typing, caret and selection by keys and mouse, scrolling by lines, the
// EM_ messages over its document, and EN_MSGFILTER, EN_CHANGE and EN_SELCHANGE to the parent.
#include "Controls.h"
#include "RichText.h"

#include <algorithm>
#include <cstring>

namespace
{
const int MARGIN = 2;                      // between the client edge and the text
const size_t DEFAULT_LIMIT = 32767;
const size_t ZERO_LIMIT = 64000;           // what a limit of 0 means
const int WHEEL_LINES = 3;

struct RichEdit
{
    RichText m_Text;
    size_t m_nAnchor = 0;
    size_t m_nCaret = 0;
    // An empty selection's format for what is typed next, set by EM_SETCHARFORMAT; dropped when
    // the caret moves.
    bool m_bTypingFormat = false;
    uint16_t m_nTypingFormat = 0;
    DWORD m_nEventMask = 0;
    size_t m_nLimit = DEFAULT_LIMIT;
    size_t m_nFirstLine = 0;
    int m_nScrollX = 0;                    // single-line: pixels scrolled to the left
    COLORREF m_clrBack = 0;
    bool m_bSysBack = true;
    HFONT m_hFont = nullptr;
    bool m_bLayoutValid = false;
    bool m_bDragging = false;

    size_t SelMin() const { return std::min(m_nAnchor, m_nCaret); }
    size_t SelMax() const { return std::max(m_nAnchor, m_nCaret); }
};

ControlStore<RichEdit>& Edits()
{
    static ControlStore<RichEdit> s_Edits;
    return s_Edits;
}

LONG_PTR Style(HWND hWnd)
{
    return GetWindowLongPtrA(hWnd, GWL_STYLE);
}

bool IsMultiLine(HWND hWnd)
{
    return (Style(hWnd) & ES_MULTILINE) != 0;
}

RECT TextArea(HWND hWnd)
{
    RECT rc{};
    GetClientRect(hWnd, &rc);
    InflateRect(&rc, -MARGIN, 0);
    rc.top += 1;
    rc.right = std::max(rc.left, rc.right);
    return rc;
}

// A memory DC for measuring; the document selects its own fonts.
struct MeasureDC
{
    HDC m_hdc = CreateCompatibleDC(nullptr);
    ~MeasureDC() { DeleteDC(m_hdc); }
};

void EnsureLayout(HWND hWnd, RichEdit& edit)
{
    if (edit.m_bLayoutValid)
        return;
    // Multi-line text wraps at the control's width unless it scrolls sideways.
    bool bWrap = IsMultiLine(hWnd) && !(Style(hWnd) & (WS_HSCROLL | ES_AUTOHSCROLL));
    RECT rc = TextArea(hWnd);
    MeasureDC dc;
    edit.m_Text.LayOut(dc.m_hdc, bWrap ? std::max<int>(1, rc.right - rc.left) : 0);
    edit.m_bLayoutValid = true;
}

size_t VisibleLines(HWND hWnd, RichEdit& edit)
{
    EnsureLayout(hWnd, edit);
    RECT rc = TextArea(hWnd);
    const auto& lines = edit.m_Text.Lines();
    size_t n = 0;
    for (size_t i = edit.m_nFirstLine; i < lines.size(); ++i, ++n)
        if (lines[i].m_nTop + lines[i].m_nHeight - lines[edit.m_nFirstLine].m_nTop > rc.bottom - rc.top)
            break;
    return std::max<size_t>(n, 1);
}

void ScrollCaretIntoView(HWND hWnd, RichEdit& edit)
{
    EnsureLayout(hWnd, edit);
    if (IsMultiLine(hWnd))
    {
        size_t nLine = edit.m_Text.LineFromChar(edit.m_nCaret);
        if (nLine < edit.m_nFirstLine)
            edit.m_nFirstLine = nLine;
        size_t nVisible = VisibleLines(hWnd, edit);
        if (nLine >= edit.m_nFirstLine + nVisible)
            edit.m_nFirstLine = nLine + 1 - nVisible;
        return;
    }
    MeasureDC dc;
    RECT rc = TextArea(hWnd);
    int x = edit.m_Text.XFromChar(dc.m_hdc, edit.m_nCaret);
    int cx = rc.right - rc.left;
    if (x < edit.m_nScrollX)
        edit.m_nScrollX = std::max(0, x - cx / 4);
    else if (x >= edit.m_nScrollX + cx)
        edit.m_nScrollX = x - cx + 1;
}

void Changed(HWND hWnd, RichEdit& edit)
{
    edit.m_bLayoutValid = false;
    InvalidateRect(hWnd, nullptr, TRUE);
    if (edit.m_nEventMask & ENM_CHANGE)
        NotifyParent(hWnd, EN_CHANGE);
}

// Moves the selection; EN_SELCHANGE when it changed and the parent asked for it.
void Select(HWND hWnd, RichEdit& edit, size_t nAnchor, size_t nCaret)
{
    size_t nSize = edit.m_Text.Size();
    nAnchor = std::min(nAnchor, nSize);
    nCaret = std::min(nCaret, nSize);
    if (nAnchor == edit.m_nAnchor && nCaret == edit.m_nCaret)
        return;
    edit.m_nAnchor = nAnchor;
    edit.m_nCaret = nCaret;
    edit.m_bTypingFormat = false;
    ScrollCaretIntoView(hWnd, edit);
    InvalidateRect(hWnd, nullptr, TRUE);
    if (edit.m_nEventMask & ENM_SELCHANGE)
    {
        SELCHANGE sc{};
        sc.chrg = CHARRANGE{static_cast<LONG>(edit.SelMin()), static_cast<LONG>(edit.SelMax())};
        sc.seltyp = edit.SelMin() == edit.SelMax() ? SEL_EMPTY : SEL_TEXT;
        NotifyParentNm(hWnd, EN_SELCHANGE, &sc.nmhdr);
    }
}

// What typing at the selection writes in: the format set for it, else the format of the
// character before the selection (the first character at the start).
uint16_t TypingFormat(const RichEdit& edit)
{
    if (edit.m_bTypingFormat)
        return edit.m_nTypingFormat;
    size_t nStart = edit.SelMin();
    return edit.m_Text.FormatAt(nStart > 0 ? nStart - 1 : 0);
}

void ReplaceSelection(HWND hWnd, RichEdit& edit, const std::string& text)
{
    size_t nStart = edit.SelMin();
    edit.m_Text.Replace(nStart, edit.SelMax(), text, TypingFormat(edit));
    edit.m_nAnchor = edit.m_nCaret = nStart + text.size();
    edit.m_bTypingFormat = false;
    Changed(hWnd, edit);
    ScrollCaretIntoView(hWnd, edit);
}

size_t PrevChar(const RichEdit& edit, size_t nPos)
{
    const std::string& s = edit.m_Text.Text();
    if (nPos == 0)
        return 0;
    if (nPos >= 2 && s[nPos - 2] == '\r' && s[nPos - 1] == '\n')
        return nPos - 2;
    --nPos;
    while (nPos > 0 && (static_cast<unsigned char>(s[nPos]) & 0xC0) == 0x80)
        --nPos;
    return nPos;
}

size_t NextChar(const RichEdit& edit, size_t nPos)
{
    const std::string& s = edit.m_Text.Text();
    if (nPos >= s.size())
        return s.size();
    if (size_t nBreak = edit.m_Text.BreakLength(nPos))
        return nPos + nBreak;
    ++nPos;
    while (nPos < s.size() && (static_cast<unsigned char>(s[nPos]) & 0xC0) == 0x80)
        ++nPos;
    return nPos;
}

// Ctrl+Left/Right: to the start of the previous or next word.
size_t WordStep(const RichEdit& edit, size_t nPos, bool bForward)
{
    const std::string& s = edit.m_Text.Text();
    auto blank = [&](size_t i) { return s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'; };
    if (bForward)
    {
        while (nPos < s.size() && !blank(nPos))
            ++nPos;
        while (nPos < s.size() && blank(nPos))
            ++nPos;
        return nPos;
    }
    while (nPos > 0 && blank(nPos - 1))
        --nPos;
    while (nPos > 0 && !blank(nPos - 1))
        --nPos;
    return nPos;
}

size_t PosFromPoint(HWND hWnd, RichEdit& edit, POINT pt)
{
    EnsureLayout(hWnd, edit);
    RECT rc = TextArea(hWnd);
    const auto& lines = edit.m_Text.Lines();
    size_t nLine = edit.m_nFirstLine;
    int y = pt.y - rc.top + lines[edit.m_nFirstLine].m_nTop;
    while (nLine + 1 < lines.size() && y >= lines[nLine].m_nTop + lines[nLine].m_nHeight)
        ++nLine;
    // Above the text (a drag leaving the top) means the line before the first in view.
    if (pt.y < rc.top && edit.m_nFirstLine > 0)
        nLine = edit.m_nFirstLine - 1;
    MeasureDC dc;
    return edit.m_Text.CharFromX(dc.m_hdc, nLine, pt.x - rc.left + edit.m_nScrollX);
}

// The caret moved to another line: the position nearest the same x there.
size_t LineStep(HWND hWnd, RichEdit& edit, long nLines)
{
    EnsureLayout(hWnd, edit);
    MeasureDC dc;
    const auto& lines = edit.m_Text.Lines();
    long nLine = static_cast<long>(edit.m_Text.LineFromChar(edit.m_nCaret)) + nLines;
    nLine = std::clamp<long>(nLine, 0, static_cast<long>(lines.size()) - 1);
    return edit.m_Text.CharFromX(dc.m_hdc, static_cast<size_t>(nLine), edit.m_Text.XFromChar(dc.m_hdc, edit.m_nCaret));
}

void OnKeyDown(HWND hWnd, RichEdit& edit, WPARAM nKey)
{
    bool bShift = GetKeyState(VK_SHIFT) < 0, bCtrl = GetKeyState(VK_CONTROL) < 0;
    bool bReadOnly = (Style(hWnd) & ES_READONLY) != 0;
    size_t nCaret = edit.m_nCaret;
    EnsureLayout(hWnd, edit);
    const RichLine& line = edit.m_Text.Lines()[edit.m_Text.LineFromChar(nCaret)];
    switch (nKey)
    {
    case VK_LEFT:
        nCaret = !bShift && edit.SelMin() != edit.SelMax() ? edit.SelMin()
                 : bCtrl                                   ? WordStep(edit, nCaret, false)
                                                           : PrevChar(edit, nCaret);
        break;
    case VK_RIGHT:
        nCaret = !bShift && edit.SelMin() != edit.SelMax() ? edit.SelMax()
                 : bCtrl                                   ? WordStep(edit, nCaret, true)
                                                           : NextChar(edit, nCaret);
        break;
    case VK_UP:
    case VK_DOWN:
        if (!IsMultiLine(hWnd))
            return;
        nCaret = LineStep(hWnd, edit, nKey == VK_UP ? -1 : 1);
        break;
    case VK_PRIOR:
    case VK_NEXT:
        if (!IsMultiLine(hWnd))
            return;
        nCaret = LineStep(hWnd, edit, static_cast<long>(VisibleLines(hWnd, edit)) * (nKey == VK_PRIOR ? -1 : 1));
        break;
    case VK_HOME: nCaret = bCtrl ? 0 : line.m_nStart; break;
    case VK_END: nCaret = bCtrl ? edit.m_Text.Size() : line.m_nStart + line.m_nLength; break;
    case VK_DELETE:
        if (bReadOnly)
            return;
        if (edit.SelMin() == edit.SelMax())
            edit.m_nCaret = NextChar(edit, edit.m_nCaret);
        if (edit.SelMin() != edit.SelMax())
            ReplaceSelection(hWnd, edit, std::string());
        return;
    case 'A':
        if (bCtrl)
            Select(hWnd, edit, 0, edit.m_Text.Size());
        return;
    default: return;
    }
    Select(hWnd, edit, bShift ? edit.m_nAnchor : nCaret, nCaret);
}

void OnChar(HWND hWnd, RichEdit& edit, WPARAM nChar)
{
    if (Style(hWnd) & ES_READONLY)
        return;
    std::string text;
    if (nChar == '\b')
    {
        if (edit.SelMin() == edit.SelMax())
            edit.m_nAnchor = PrevChar(edit, edit.m_nCaret);
        if (edit.SelMin() != edit.SelMax())
            ReplaceSelection(hWnd, edit, std::string());
        return;
    }
    if (nChar == '\r' || nChar == '\t')
    {
        if (!IsMultiLine(hWnd))
            return;
        text = nChar == '\r' ? "\r\n" : "\t";
    }
    else if (nChar < ' ' || nChar == 0x7F || nChar > 0xFF)
        return;
    else
        text = std::string(1, static_cast<char>(nChar));
    if (edit.m_Text.Size() - (edit.SelMax() - edit.SelMin()) + text.size() > edit.m_nLimit)
        return;
    ReplaceSelection(hWnd, edit, text);
}

void Paint(HWND hWnd, RichEdit& edit)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    RECT rcClient{};
    GetClientRect(hWnd, &rcClient);
    win32::FillSolidRect(hdc, rcClient, edit.m_bSysBack ? GetSysColor(COLOR_WINDOW) : edit.m_clrBack);
    EnsureLayout(hWnd, edit);
    RECT rc = TextArea(hWnd);
    IntersectClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
    bool bFocused = GetFocus() == hWnd;
    bool bShowSel = bFocused || (Style(hWnd) & ES_NOHIDESEL);
    size_t nSelStart = bShowSel ? edit.SelMin() : 0, nSelEnd = bShowSel ? edit.SelMax() : 0;
    const auto& lines = edit.m_Text.Lines();
    int nTop = lines[edit.m_nFirstLine].m_nTop;
    for (size_t i = edit.m_nFirstLine; i < lines.size(); ++i)
    {
        int y = rc.top + lines[i].m_nTop - nTop;
        if (y >= rc.bottom)
            break;
        edit.m_Text.DrawLine(hdc, i, rc.left - edit.m_nScrollX, y, nSelStart, nSelEnd);
    }
    if (bFocused)
    {
        // The caret: a one-pixel bar as tall as its line.
        size_t nLine = edit.m_Text.LineFromChar(edit.m_nCaret);
        int x = rc.left - edit.m_nScrollX + edit.m_Text.XFromChar(hdc, edit.m_nCaret);
        int y = rc.top + lines[nLine].m_nTop - nTop;
        if (nLine >= edit.m_nFirstLine)
            win32::FillSolidRect(hdc, RECT{x, y, x + 1, y + lines[nLine].m_nHeight}, GetSysColor(COLOR_WINDOWTEXT));
    }
    EndPaint(hWnd, &ps);
}

// WM_SETFONT: the font becomes the default character format.
void TakeFont(RichEdit& edit, HFONT hFont)
{
    edit.m_hFont = hFont;
    LOGFONTA lf{};
    if (!GetObjectA(ControlFont(hFont), sizeof(lf), &lf))
        return;
    CHARFORMATA cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_CHARSET;
    cf.dwEffects = (lf.lfWeight >= FW_BOLD ? CFE_BOLD : 0) | (lf.lfItalic ? CFE_ITALIC : 0);
    // Twips from the character height in pixels at 96 DPI.
    cf.yHeight = std::abs(lf.lfHeight) * 15;
    cf.bCharSet = lf.lfCharSet;
    std::memcpy(cf.szFaceName, lf.lfFaceName, strnlen(lf.lfFaceName, sizeof(cf.szFaceName) - 1));
    edit.m_Text.SetDefault(cf);
}

size_t CopyOut(const std::string& text, size_t nStart, size_t nEnd, char* pOut)
{
    if (!pOut)
        return 0;
    nEnd = std::min(nEnd, text.size());
    nStart = std::min(nStart, nEnd);
    std::memcpy(pOut, text.data() + nStart, nEnd - nStart);
    pOut[nEnd - nStart] = 0;
    return nEnd - nStart;
}

bool IsKeyMessage(UINT nMessage)
{
    return nMessage >= WM_KEYDOWN && nMessage <= WM_SYSCHAR;
}

bool IsMouseMessage(UINT nMessage)
{
    return nMessage >= WM_MOUSEFIRST && nMessage <= WM_MOUSELAST;
}

LRESULT HandleMessage(HWND hWnd, RichEdit& edit, UINT nMessage, WPARAM wParam, LPARAM lParam);
}

LRESULT CALLBACK RichEditWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        Edits().Make(hWnd);
    RichEdit* pEdit = Edits().Find(hWnd);
    if (!pEdit)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    // The parent sees keys (and mouse messages) first when it asked to; it may change them or
    // drop them, and may destroy the control while it looks.
    if ((IsKeyMessage(nMessage) && (pEdit->m_nEventMask & ENM_KEYEVENTS)) ||
        (IsMouseMessage(nMessage) && (pEdit->m_nEventMask & ENM_MOUSEEVENTS)))
    {
        MSGFILTER filter{};
        filter.msg = nMessage;
        filter.wParam = wParam;
        filter.lParam = lParam;
        if (NotifyParentNm(hWnd, EN_MSGFILTER, &filter.nmhdr))
            return 0;
        if (!(pEdit = Edits().Find(hWnd)))
            return 0;
        nMessage = filter.msg;
        wParam = filter.wParam;
        lParam = filter.lParam;
    }
    return HandleMessage(hWnd, *pEdit, nMessage, wParam, lParam);
}

namespace
{
LRESULT HandleMessage(HWND hWnd, RichEdit& edit, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case WM_NCDESTROY:
        Edits().Drop(hWnd);
        break;
    case WM_CREATE:
    {
        const auto* pcs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (pcs && pcs->lpszName && !IS_INTRESOURCE(pcs->lpszName))
            edit.m_Text.Replace(0, 0, pcs->lpszName, 0);
        return 0;
    }
    case WM_SETTEXT:
        edit.m_Text.Replace(0, edit.m_Text.Size(), lParam ? reinterpret_cast<LPCSTR>(lParam) : "", 0);
        edit.m_nAnchor = edit.m_nCaret = 0;
        edit.m_nFirstLine = 0;
        edit.m_nScrollX = 0;
        edit.m_bTypingFormat = false;
        Changed(hWnd, edit);
        return TRUE;
    case WM_GETTEXT:
        if (!wParam || !lParam)
            return 0;
        return static_cast<LRESULT>(CopyOut(edit.m_Text.Text(), 0, wParam - 1, reinterpret_cast<char*>(lParam)));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(edit.m_Text.Size());
    case WM_SETFONT:
        TakeFont(edit, reinterpret_cast<HFONT>(wParam));
        edit.m_bLayoutValid = false;
        if (LOWORD(lParam))
            InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(edit.m_hFont);
    case WM_SIZE:
        edit.m_bLayoutValid = false;
        EnsureLayout(hWnd, edit);
        edit.m_nFirstLine = std::min(edit.m_nFirstLine, edit.m_Text.Lines().size() - 1);
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_PAINT:
        Paint(hWnd, edit);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hWnd, nullptr, TRUE);
        NotifyParent(hWnd, nMessage == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(hWnd, edit, wParam);
        return 0;
    case WM_CHAR:
        OnChar(hWnd, edit, wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    {
        SetFocus(hWnd);
        size_t nPos = PosFromPoint(hWnd, edit, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        Select(hWnd, edit, (wParam & MK_SHIFT) ? edit.m_nAnchor : nPos, nPos);
        SetCapture(hWnd);
        edit.m_bDragging = true;
        return 0;
    }
    case WM_MOUSEMOVE:
        if (edit.m_bDragging && (wParam & MK_LBUTTON))
            Select(hWnd, edit, edit.m_nAnchor,
                   PosFromPoint(hWnd, edit, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
        return 0;
    case WM_LBUTTONUP:
        if (edit.m_bDragging && GetCapture() == hWnd)
            ReleaseCapture();
        edit.m_bDragging = false;
        return 0;
    case WM_CAPTURECHANGED:
        edit.m_bDragging = false;
        return 0;
    case WM_MOUSEWHEEL:
        return SendMessageA(hWnd, EM_LINESCROLL, 0, -static_cast<SHORT>(HIWORD(wParam)) / 120 * WHEEL_LINES);
    case EM_LINESCROLL:
    {
        if (!IsMultiLine(hWnd))
            return FALSE;
        EnsureLayout(hWnd, edit);
        long nLast = static_cast<long>(edit.m_Text.Lines().size()) - 1;
        edit.m_nFirstLine = static_cast<size_t>(std::clamp<long>(static_cast<long>(edit.m_nFirstLine) + lParam, 0, nLast));
        InvalidateRect(hWnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_SCROLLCARET:
        ScrollCaretIntoView(hWnd, edit);
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case EM_GETLINECOUNT:
        EnsureLayout(hWnd, edit);
        return static_cast<LRESULT>(edit.m_Text.Lines().size());
    case EM_GETFIRSTVISIBLELINE:
        if (IsMultiLine(hWnd))
            return static_cast<LRESULT>(edit.m_nFirstLine);
        else
        {
            MeasureDC dc;
            EnsureLayout(hWnd, edit);
            return static_cast<LRESULT>(edit.m_Text.CharFromX(dc.m_hdc, 0, edit.m_nScrollX));
        }
    case EM_LINEINDEX:
    {
        EnsureLayout(hWnd, edit);
        const auto& lines = edit.m_Text.Lines();
        size_t nLine = static_cast<int>(wParam) < 0 ? edit.m_Text.LineFromChar(edit.m_nCaret) : wParam;
        return nLine < lines.size() ? static_cast<LRESULT>(lines[nLine].m_nStart) : -1;
    }
    case EM_LINELENGTH:
    {
        EnsureLayout(hWnd, edit);
        size_t nPos = static_cast<int>(wParam) < 0 ? edit.m_nCaret : wParam;
        return static_cast<LRESULT>(edit.m_Text.Lines()[edit.m_Text.LineFromChar(nPos)].m_nLength);
    }
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR:
    {
        EnsureLayout(hWnd, edit);
        LPARAM nPos = nMessage == EM_LINEFROMCHAR ? static_cast<int>(wParam) : lParam;
        return static_cast<LRESULT>(edit.m_Text.LineFromChar(nPos < 0 ? edit.m_nCaret : static_cast<size_t>(nPos)));
    }
    case EM_GETLINE:
    {
        EnsureLayout(hWnd, edit);
        auto* pBuffer = reinterpret_cast<char*>(lParam);
        const auto& lines = edit.m_Text.Lines();
        if (!pBuffer || wParam >= lines.size())
            return 0;
        // The buffer's first word holds its size; no terminating zero is written.
        WORD nRoom = 0;
        std::memcpy(&nRoom, pBuffer, sizeof(nRoom));
        size_t n = std::min<size_t>(nRoom, lines[wParam].m_nLength);
        std::memcpy(pBuffer, edit.m_Text.Text().data() + lines[wParam].m_nStart, n);
        return static_cast<LRESULT>(n);
    }
    case EM_SETSEL:
    case EM_EXSETSEL:
    {
        long nStart = static_cast<int>(wParam), nEnd = static_cast<int>(lParam);
        if (nMessage == EM_EXSETSEL)
        {
            const auto* pRange = reinterpret_cast<const CHARRANGE*>(lParam);
            if (!pRange)
                return 0;
            nStart = pRange->cpMin;
            nEnd = pRange->cpMax;
        }
        long nSize = static_cast<long>(edit.m_Text.Size());
        if (nStart < 0)   // no selection; the caret stays
            Select(hWnd, edit, edit.m_nCaret, edit.m_nCaret);
        else
            Select(hWnd, edit, static_cast<size_t>(std::min(nStart, nSize)),
                   static_cast<size_t>(nEnd < 0 ? nSize : std::min(nEnd, nSize)));
        return static_cast<LRESULT>(edit.m_nCaret);
    }
    case EM_GETSEL:
    {
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(edit.SelMin());
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(edit.SelMax());
        return edit.SelMax() > 0xFFFF ? -1 : MAKELRESULT(edit.SelMin(), edit.SelMax());
    }
    case EM_EXGETSEL:
        if (auto* pRange = reinterpret_cast<CHARRANGE*>(lParam))
            *pRange = CHARRANGE{static_cast<LONG>(edit.SelMin()), static_cast<LONG>(edit.SelMax())};
        return 0;
    case EM_GETSELTEXT:
        return static_cast<LRESULT>(CopyOut(edit.m_Text.Text(), edit.SelMin(), edit.SelMax(), reinterpret_cast<char*>(lParam)));
    case EM_GETTEXTRANGE:
    {
        const auto* pRange = reinterpret_cast<const TEXTRANGEA*>(lParam);
        if (!pRange || pRange->chrg.cpMin < 0)
            return 0;
        size_t nEnd = pRange->chrg.cpMax < 0 ? edit.m_Text.Size() : static_cast<size_t>(pRange->chrg.cpMax);
        return static_cast<LRESULT>(CopyOut(edit.m_Text.Text(), static_cast<size_t>(pRange->chrg.cpMin), nEnd,
                                            pRange->lpstrText));
    }
    case EM_REPLACESEL:
        ReplaceSelection(hWnd, edit, lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
        return 0;
    case EM_SETREADONLY:
        SetWindowLongPtrA(hWnd, GWL_STYLE, wParam ? Style(hWnd) | ES_READONLY : Style(hWnd) & ~ES_READONLY);
        return TRUE;
    case EM_LIMITTEXT:
    case EM_EXLIMITTEXT:
    {
        size_t n = nMessage == EM_LIMITTEXT ? wParam : static_cast<size_t>(lParam);
        edit.m_nLimit = n ? n : ZERO_LIMIT;
        return 0;
    }
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(edit.m_nLimit);
    case EM_SETEVENTMASK:
    {
        DWORD nOld = edit.m_nEventMask;
        edit.m_nEventMask = static_cast<DWORD>(lParam);
        return nOld;
    }
    case EM_GETEVENTMASK:
        return edit.m_nEventMask;
    case EM_SETBKGNDCOLOR:
    {
        COLORREF old = edit.m_bSysBack ? GetSysColor(COLOR_WINDOW) : edit.m_clrBack;
        edit.m_bSysBack = wParam != 0;
        edit.m_clrBack = static_cast<COLORREF>(lParam);
        InvalidateRect(hWnd, nullptr, TRUE);
        return old;
    }
    case EM_SETCHARFORMAT:
    {
        const auto* pcf = reinterpret_cast<const CHARFORMATA*>(lParam);
        if (!pcf)
            return FALSE;
        if (wParam & SCF_ALL)
            edit.m_Text.ApplyFormat(0, edit.m_Text.Size(), *pcf);
        else if ((wParam & SCF_SELECTION) && edit.SelMin() == edit.SelMax())
        {
            edit.m_nTypingFormat = edit.m_Text.MergedIndex(TypingFormat(edit), *pcf);
            edit.m_bTypingFormat = true;
            return TRUE;
        }
        else if (wParam & SCF_SELECTION)
            edit.m_Text.ApplyFormat(edit.SelMin(), edit.SelMax(), *pcf);
        else
            edit.m_Text.SetDefault(*pcf);
        edit.m_bLayoutValid = false;
        InvalidateRect(hWnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_GETCHARFORMAT:
    {
        auto* pcf = reinterpret_cast<CHARFORMATA*>(lParam);
        if (!pcf)
            return 0;
        if (!(wParam & SCF_SELECTION))
            edit.m_Text.Format(0).Fill(*pcf);
        else if (edit.SelMin() == edit.SelMax())
            edit.m_Text.Format(TypingFormat(edit)).Fill(*pcf);
        else
            edit.m_Text.RangeFormat(edit.SelMin(), edit.SelMax(), *pcf);
        return pcf->dwMask;
    }
    default:
        break;
    }
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}
}
