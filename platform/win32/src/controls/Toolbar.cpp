// The toolbar: a row of buttons, each an image from the toolbar's image lists and an optional
// text from its string pool. A click (press and release over the same button) sends WM_COMMAND
// with the button's command id to the window the toolbar was created for (or the one
// TB_SETPARENT names), so a toolbar moved into a rebar still reports to its frame. Painting asks
// that window through NM_CUSTOMDRAW first, at the stages its answers request.
#include "Controls.h"

#include <win32/gdi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// Geometry in pixels.
const SIZE DEFAULT_BUTTON = {24, 22};
const SIZE DEFAULT_BITMAP = {16, 15};
const int TEXT_PAD = 6;          // left and right of a button's text
const int IMAGE_TEXT_GAP = 4;    // between image and text in a list-style button
const int SEPARATOR_WIDTH = 8;

// The hot button of a flat toolbar follows the mouse; this timer notices when the mouse has
// left the toolbar, since no message says so.
const UINT_PTR HOT_TIMER = 0x7B01;
const UINT HOT_PERIOD_MS = 100;

struct Button
{
    TBBUTTON m_Data{};
    std::string m_strText;   // a text given by pointer; otherwise the pool's string
};

class Toolbar
{
public:
    void Attach(HWND hWnd, HWND hNotify)
    {
        m_hWnd = hWnd;
        m_hNotify = hNotify;
    }
    LRESULT Handle(UINT nMessage, WPARAM wParam, LPARAM lParam);

private:
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    int Count() const { return static_cast<int>(m_Buttons.size()); }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
    int IndexOf(WPARAM nId) const
    {
        for (int i = 0; i < Count(); ++i)
            if (m_Buttons[static_cast<size_t>(i)].m_Data.idCommand == static_cast<int>(nId))
                return i;
        return -1;
    }
    bool IsSeparator(int i) const { return (m_Buttons[static_cast<size_t>(i)].m_Data.fsStyle & TBSTYLE_SEP) != 0; }
    BYTE& State(int i) { return m_Buttons[static_cast<size_t>(i)].m_Data.fsState; }
    BYTE State(int i) const { return m_Buttons[static_cast<size_t>(i)].m_Data.fsState; }
    // A button that can be hot, pressed or chosen.
    bool Usable(int i) const
    {
        return Valid(i) && !IsSeparator(i) && (State(i) & TBSTATE_ENABLED) && !(State(i) & TBSTATE_HIDDEN);
    }
    const std::string& Text(int i) const;

    SIZE TextSize(const std::string& str) const;
    // Places every button from the left, all of one height; hidden buttons take no room.
    void Layout();
    int HitTest(POINT pt) const;
    int UsableAt(POINT pt) const
    {
        int i = HitTest(pt);
        return Usable(i) ? i : -1;
    }
    void Redraw() { InvalidateRect(m_hWnd, nullptr, TRUE); }
    int SetHot(int i, bool bFromMouse);
    void StepHot(int nDirection);
    void Click(int i);

    LRESULT CustomDraw(DWORD nStage, HDC hdc, const RECT& rc, int i, NMTBCUSTOMDRAW& cd);
    void Paint(HDC hdc);
    void DrawButton(HDC hdc, int i, const NMTBCUSTOMDRAW& cd);

    LRESULT AddButtons(int nIndex, int nCount, const TBBUTTON* pButtons);
    LRESULT AddStrings(WPARAM hInstance, LPARAM lParam);
    LRESULT ById(UINT nMessage, WPARAM nId, LPARAM lParam);

    HWND m_hWnd = nullptr;
    HWND m_hNotify = nullptr;
    HWND m_hToolTips = nullptr;
    HFONT m_hFont = nullptr;
    std::vector<Button> m_Buttons;
    std::vector<RECT> m_Rects;
    std::vector<std::string> m_Strings;
    SIZE m_sizeButton = DEFAULT_BUTTON;
    SIZE m_sizeBitmap = DEFAULT_BITMAP;
    HIMAGELIST m_hImages = nullptr;
    HIMAGELIST m_hHotImages = nullptr;
    HIMAGELIST m_hDisabledImages = nullptr;
    int m_nIndent = 0;
    DWORD m_dwExStyle = 0;
    int m_nHot = -1;
    int m_nPressed = -1;   // the button held down by the mouse
};

ControlStore<Toolbar>& Toolbars()
{
    static ControlStore<Toolbar> s_Store;
    return s_Store;
}

const std::string& Toolbar::Text(int i) const
{
    static const std::string s_strNone;
    const Button& b = m_Buttons[static_cast<size_t>(i)];
    if (!b.m_strText.empty())
        return b.m_strText;
    INT_PTR n = b.m_Data.iString;
    return n >= 0 && n < static_cast<INT_PTR>(m_Strings.size()) ? m_Strings[static_cast<size_t>(n)] : s_strNone;
}

SIZE Toolbar::TextSize(const std::string& str) const
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(m_hFont));
    RECT rc{0, 0, 0, 0};
    DrawTextA(hdc, str.c_str(), -1, &rc, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

void Toolbar::Layout()
{
    bool bList = (Style() & TBSTYLE_LIST) != 0;
    std::vector<SIZE> sizes(m_Buttons.size());
    LONG cyRow = m_sizeButton.cy;
    for (int i = 0; i < Count(); ++i)
    {
        SIZE& size = sizes[static_cast<size_t>(i)];
        size = m_sizeButton;
        const std::string& str = Text(i);
        if (IsSeparator(i) || str.empty())
            continue;
        SIZE text = TextSize(str);
        if (bList)
        {
            // Text right of the image; a 1-pixel bitmap size means the buttons show no images.
            int cxImage = m_sizeBitmap.cx > 1 ? m_sizeBitmap.cx + IMAGE_TEXT_GAP : 0;
            size.cx = TEXT_PAD + cxImage + text.cx + TEXT_PAD;
            size.cy = std::max<LONG>(m_sizeButton.cy, text.cy + TEXT_PAD);
        }
        else
        {
            size.cx = std::max<LONG>(m_sizeButton.cx, text.cx + 2 * TEXT_PAD);
            size.cy = m_sizeButton.cy + text.cy;
        }
        cyRow = std::max(cyRow, size.cy);
    }
    m_Rects.assign(m_Buttons.size(), RECT{});
    int x = m_nIndent;
    for (int i = 0; i < Count(); ++i)
    {
        if (State(i) & TBSTATE_HIDDEN)
        {
            m_Rects[static_cast<size_t>(i)] = RECT{x, 0, x, cyRow};
            continue;
        }
        int cx = IsSeparator(i) ? (m_Buttons[static_cast<size_t>(i)].m_Data.iBitmap > 0
                                       ? m_Buttons[static_cast<size_t>(i)].m_Data.iBitmap
                                       : SEPARATOR_WIDTH)
                                : sizes[static_cast<size_t>(i)].cx;
        m_Rects[static_cast<size_t>(i)] = RECT{x, 0, x + cx, cyRow};
        x += cx;
    }
}

int Toolbar::HitTest(POINT pt) const
{
    for (int i = 0; i < Count(); ++i)
    {
        const RECT& rc = m_Rects[static_cast<size_t>(i)];
        if (pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom)
            return IsSeparator(i) ? -1 - i : i;
    }
    return -1 - Count();
}

int Toolbar::SetHot(int i, bool bFromMouse)
{
    int nOld = m_nHot;
    m_nHot = Valid(i) ? i : -1;
    if (m_nHot != nOld)
        Redraw();
    if (m_nHot >= 0 && bFromMouse)
        SetTimer(m_hWnd, HOT_TIMER, HOT_PERIOD_MS, nullptr);
    else
        KillTimer(m_hWnd, HOT_TIMER);
    return nOld;
}

void Toolbar::StepHot(int nDirection)
{
    if (Count() == 0)
        return;
    int i = m_nHot;
    for (int nTried = 0; nTried < Count(); ++nTried)
    {
        i = i < 0 ? (nDirection > 0 ? 0 : Count() - 1) : (i + nDirection + Count()) % Count();
        if (Usable(i))
        {
            SetHot(i, false);
            return;
        }
    }
}

void Toolbar::Click(int i)
{
    TBBUTTON& b = m_Buttons[static_cast<size_t>(i)].m_Data;
    if (b.fsStyle & TBSTYLE_CHECK)
    {
        if (b.fsStyle & TBSTYLE_GROUP)
        {
            // A check group: the neighbours of the same group let go of their check.
            for (int j = i - 1; j >= 0 && (m_Buttons[static_cast<size_t>(j)].m_Data.fsStyle & TBSTYLE_GROUP); --j)
                State(j) &= static_cast<BYTE>(~TBSTATE_CHECKED);
            for (int j = i + 1; j < Count() && (m_Buttons[static_cast<size_t>(j)].m_Data.fsStyle & TBSTYLE_GROUP); ++j)
                State(j) &= static_cast<BYTE>(~TBSTATE_CHECKED);
            b.fsState |= TBSTATE_CHECKED;
        }
        else
            b.fsState ^= TBSTATE_CHECKED;
    }
    Redraw();
    if (m_hNotify)
        SendMessageA(m_hNotify, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(b.idCommand), BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT Toolbar::CustomDraw(DWORD nStage, HDC hdc, const RECT& rc, int i, NMTBCUSTOMDRAW& cd)
{
    cd.nmcd.dwDrawStage = nStage;
    cd.nmcd.hdc = hdc;
    cd.nmcd.rc = rc;
    cd.nmcd.dwItemSpec = 0;
    cd.nmcd.uItemState = 0;
    cd.nmcd.lItemlParam = 0;
    if (i >= 0)
    {
        const TBBUTTON& b = m_Buttons[static_cast<size_t>(i)].m_Data;
        cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(b.idCommand);
        cd.nmcd.lItemlParam = static_cast<LPARAM>(b.dwData);
        UINT n = 0;
        if (b.fsState & TBSTATE_PRESSED)
            n |= CDIS_SELECTED;
        if (b.fsState & TBSTATE_CHECKED)
            n |= CDIS_CHECKED;
        if (!(b.fsState & TBSTATE_ENABLED))
            n |= CDIS_DISABLED;
        if (b.fsState & TBSTATE_INDETERMINATE)
            n |= CDIS_INDETERMINATE;
        if (i == m_nHot)
            n |= CDIS_HOT;
        cd.nmcd.uItemState = n;
    }
    return NotifyParentNm(m_hWnd, NM_CUSTOMDRAW, &cd.nmcd.hdr, m_hNotify);
}

void Toolbar::Paint(HDC hdc)
{
    RECT rcClient;
    GetClientRect(m_hWnd, &rcClient);
    FillRect(hdc, &rcClient, GetSysColorBrush(COLOR_3DFACE));
    HGDIOBJ hOldFont = SelectObject(hdc, ControlFont(m_hFont));
    SetBkMode(hdc, TRANSPARENT);

    NMTBCUSTOMDRAW cd{};
    LRESULT nAsk = CustomDraw(CDDS_PREPAINT, hdc, rcClient, -1, cd);
    if (!(nAsk & CDRF_SKIPDEFAULT))
        for (int i = 0; i < Count(); ++i)
        {
            if (State(i) & TBSTATE_HIDDEN)
                continue;
            if (IsSeparator(i))
            {
                DrawButton(hdc, i, cd);   // separators are never custom drawn
                continue;
            }
            // Each item starts from the default colours; the owner may change them.
            cd = NMTBCUSTOMDRAW{};
            cd.clrText = GetSysColor(COLOR_BTNTEXT);
            cd.clrBtnFace = GetSysColor(COLOR_3DFACE);
            cd.clrBtnHighlight = GetSysColor(COLOR_3DHILIGHT);
            cd.clrTextHighlight = GetSysColor(COLOR_HIGHLIGHTTEXT);
            cd.clrHighlightHotTrack = GetSysColor(COLOR_HIGHLIGHT);
            cd.nStringBkMode = TRANSPARENT;
            const RECT rc = m_Rects[static_cast<size_t>(i)];
            LRESULT nItem = CDRF_DODEFAULT;
            if (nAsk & CDRF_NOTIFYITEMDRAW)
                nItem = CustomDraw(CDDS_ITEMPREPAINT, hdc, rc, i, cd);
            if (!(nItem & CDRF_SKIPDEFAULT))
                DrawButton(hdc, i, cd);
            if (nItem & CDRF_NOTIFYPOSTPAINT)
                CustomDraw(CDDS_ITEMPOSTPAINT, hdc, rc, i, cd);
        }
    if (nAsk & CDRF_NOTIFYPOSTPAINT)
        CustomDraw(CDDS_POSTPAINT, hdc, rcClient, -1, cd);
    SelectObject(hdc, hOldFont);
}

void Toolbar::DrawButton(HDC hdc, int i, const NMTBCUSTOMDRAW& cd)
{
    RECT rc = m_Rects[static_cast<size_t>(i)];
    const TBBUTTON& b = m_Buttons[static_cast<size_t>(i)].m_Data;
    if (IsSeparator(i))
    {
        // An etched upright line in the middle of a flat toolbar's separator.
        if (Style() & TBSTYLE_FLAT)
        {
            RECT rcLine{(rc.left + rc.right) / 2 - 1, rc.top + 2, (rc.left + rc.right) / 2 + 1, rc.bottom - 2};
            DrawEdge(hdc, &rcLine, EDGE_ETCHED, BF_LEFT);
        }
        return;
    }
    bool bEnabled = (b.fsState & TBSTATE_ENABLED) != 0;
    bool bDown = (b.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED)) != 0;
    bool bHot = i == m_nHot && bEnabled;
    if (Style() & TBSTYLE_FLAT)
    {
        if (bDown)
            DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_RECT);
        else if (bHot)
            DrawEdge(hdc, &rc, BDR_RAISEDINNER, BF_RECT);
    }
    else
        DrawEdge(hdc, &rc, bDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (bDown)
        OffsetRect(&rc, 1, 1);

    bool bList = (Style() & TBSTYLE_LIST) != 0;
    const std::string& str = Text(i);
    HIMAGELIST hList = !bEnabled && m_hDisabledImages ? m_hDisabledImages : bHot && m_hHotImages ? m_hHotImages : m_hImages;
    RECT rcText = rc;
    if (hList && m_sizeBitmap.cx > 1 && b.iBitmap >= 0)
    {
        int x = bList && !str.empty() ? rc.left + TEXT_PAD : (rc.left + rc.right - m_sizeBitmap.cx) / 2;
        int y = bList || str.empty() ? (rc.top + rc.bottom - m_sizeBitmap.cy) / 2 : rc.top + 3;
        ImageList_Draw(hList, b.iBitmap, hdc, x, y, ILD_NORMAL);
        if (bList)
            rcText.left = x + m_sizeBitmap.cx + IMAGE_TEXT_GAP - TEXT_PAD;
        else
            rcText.top = y + m_sizeBitmap.cy;
    }
    if (str.empty())
        return;
    UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER | ((b.fsStyle & BTNS_NOPREFIX) ? DT_NOPREFIX : 0);
    if (!bEnabled)
    {
        // Embossed: a highlight copy one pixel down and right, the shadow over it.
        RECT rcLight = rcText;
        OffsetRect(&rcLight, 1, 1);
        SetTextColor(hdc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextA(hdc, str.c_str(), -1, &rcLight, nFormat);
        SetTextColor(hdc, GetSysColor(COLOR_3DSHADOW));
    }
    else
        SetTextColor(hdc, cd.clrText);
    DrawTextA(hdc, str.c_str(), -1, &rcText, nFormat);
}

LRESULT Toolbar::AddButtons(int nIndex, int nCount, const TBBUTTON* pButtons)
{
    if (!pButtons || nCount < 0)
        return FALSE;
    nIndex = std::clamp(nIndex, 0, Count());
    std::vector<Button> added;
    for (int k = 0; k < nCount; ++k)
    {
        Button b;
        b.m_Data = pButtons[k];
        // A value past the pool that is no resource id points to the button's own text.
        INT_PTR n = b.m_Data.iString;
        if (n >= static_cast<INT_PTR>(m_Strings.size()) && !IS_INTRESOURCE(n))
            b.m_strText = reinterpret_cast<const char*>(n);
        added.push_back(std::move(b));
    }
    m_Buttons.insert(m_Buttons.begin() + nIndex, added.begin(), added.end());
    if (m_nHot >= nIndex)
        m_nHot = -1;
    if (m_nPressed >= nIndex)
        m_nPressed = -1;
    Layout();
    Redraw();
    return TRUE;
}

LRESULT Toolbar::AddStrings(WPARAM hInstance, LPARAM lParam)
{
    // Strings from a resource are not kept; only a caller's list is.
    if (hInstance || !lParam)
        return -1;
    LRESULT nFirst = static_cast<LRESULT>(m_Strings.size());
    for (const char* p = reinterpret_cast<const char*>(lParam); *p; p += std::strlen(p) + 1)
        m_Strings.emplace_back(p);
    Layout();
    return nFirst;
}

LRESULT Toolbar::ById(UINT nMessage, WPARAM nId, LPARAM lParam)
{
    int i = IndexOf(nId);
    if (i < 0)
        return nMessage == TB_GETSTATE ? -1 : FALSE;
    struct Flag
    {
        UINT m_nSet, m_nIs;
        BYTE m_nState;
        bool m_bInverse;   // the state flag is set when the argument is false
    };
    static const Flag FLAGS[] = {
        {TB_ENABLEBUTTON, TB_ISBUTTONENABLED, TBSTATE_ENABLED, false}, {TB_CHECKBUTTON, TB_ISBUTTONCHECKED, TBSTATE_CHECKED, false},
        {TB_PRESSBUTTON, TB_ISBUTTONPRESSED, TBSTATE_PRESSED, false}, {TB_HIDEBUTTON, TB_ISBUTTONHIDDEN, TBSTATE_HIDDEN, false}};
    for (const Flag& f : FLAGS)
    {
        if (nMessage == f.m_nIs)
            return (State(i) & f.m_nState) != 0;
        if (nMessage == f.m_nSet)
        {
            BYTE nOld = State(i);
            if (LOWORD(lParam))
                State(i) |= f.m_nState;
            else
                State(i) &= static_cast<BYTE>(~f.m_nState);
            if (State(i) != nOld)
            {
                if (f.m_nState == TBSTATE_HIDDEN)
                    Layout();
                Redraw();
            }
            return TRUE;
        }
    }
    switch (nMessage)
    {
    case TB_SETSTATE:
        State(i) = static_cast<BYTE>(LOWORD(lParam));
        Layout();
        Redraw();
        return TRUE;
    case TB_GETSTATE: return State(i);
    case TB_GETRECT:
        if (lParam)
            *reinterpret_cast<RECT*>(lParam) = m_Rects[static_cast<size_t>(i)];
        return TRUE;
    case TB_GETBUTTONTEXTA:
    {
        const std::string& str = Text(i);
        if (lParam)
            std::memcpy(reinterpret_cast<char*>(lParam), str.c_str(), str.size() + 1);
        return static_cast<LRESULT>(str.size());
    }
    default: return FALSE;
    }
}

LRESULT Toolbar::Handle(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case TB_ENABLEBUTTON:
    case TB_CHECKBUTTON:
    case TB_PRESSBUTTON:
    case TB_HIDEBUTTON:
    case TB_ISBUTTONENABLED:
    case TB_ISBUTTONCHECKED:
    case TB_ISBUTTONPRESSED:
    case TB_ISBUTTONHIDDEN:
    case TB_SETSTATE:
    case TB_GETSTATE:
    case TB_GETRECT:
    case TB_GETBUTTONTEXTA: return ById(nMessage, wParam, lParam);
    case TB_ADDBUTTONSA: return AddButtons(Count(), static_cast<int>(wParam), reinterpret_cast<const TBBUTTON*>(lParam));
    case TB_INSERTBUTTONA: return AddButtons(static_cast<int>(wParam), 1, reinterpret_cast<const TBBUTTON*>(lParam));
    case TB_DELETEBUTTON:
    {
        int i = static_cast<int>(wParam);
        if (!Valid(i))
            return FALSE;
        m_Buttons.erase(m_Buttons.begin() + i);
        if (m_nHot >= i)
            SetHot(-1, false);
        if (m_nPressed >= i)
            m_nPressed = -1;
        Layout();
        Redraw();
        return TRUE;
    }
    case TB_GETBUTTON:
        if (!Valid(static_cast<int>(wParam)) || !lParam)
            return FALSE;
        *reinterpret_cast<TBBUTTON*>(lParam) = m_Buttons[wParam].m_Data;
        return TRUE;
    case TB_BUTTONCOUNT: return Count();
    case TB_COMMANDTOINDEX: return IndexOf(wParam);
    case TB_ADDSTRINGA: return AddStrings(wParam, lParam);
    case TB_GETITEMRECT:
        if (!Valid(static_cast<int>(wParam)) || !lParam)
            return FALSE;
        *reinterpret_cast<RECT*>(lParam) = m_Rects[wParam];
        return TRUE;
    case TB_BUTTONSTRUCTSIZE: return 0;
    case TB_SETBUTTONSIZE:
    case TB_SETBITMAPSIZE:
    {
        SIZE size{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        if (size.cx <= 0 || size.cy <= 0)
            return FALSE;
        (nMessage == TB_SETBUTTONSIZE ? m_sizeButton : m_sizeBitmap) = size;
        Layout();
        Redraw();
        return TRUE;
    }
    case TB_GETBUTTONSIZE: return MAKELONG(m_sizeButton.cx, m_sizeButton.cy);
    case TB_AUTOSIZE:
    {
        // Along the top of the parent, as tall as the buttons, unless told to keep its size.
        if (Style() & CCS_NORESIZE)
            return 0;
        LONG cy = m_Rects.empty() ? m_sizeButton.cy : m_Rects.front().bottom;
        RECT rcParent{};
        GetClientRect(GetParent(m_hWnd), &rcParent);
        UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE | ((Style() & CCS_NOPARENTALIGN) ? SWP_NOMOVE : 0);
        SetWindowPos(m_hWnd, nullptr, 0, 0, rcParent.right, cy, nFlags);
        return 0;
    }
    case TB_GETTOOLTIPS: return reinterpret_cast<LRESULT>(m_hToolTips);
    case TB_SETTOOLTIPS: m_hToolTips = reinterpret_cast<HWND>(wParam); return 0;
    case TB_SETPARENT:
    {
        HWND hOld = m_hNotify;
        m_hNotify = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(hOld);
    }
    case TB_SETINDENT: m_nIndent = static_cast<int>(wParam); Layout(); Redraw(); return TRUE;
    case TB_SETIMAGELIST:
    case TB_SETHOTIMAGELIST:
    case TB_SETDISABLEDIMAGELIST:
    {
        HIMAGELIST& h = nMessage == TB_SETIMAGELIST ? m_hImages : nMessage == TB_SETHOTIMAGELIST ? m_hHotImages : m_hDisabledImages;
        HIMAGELIST hOld = h;
        h = reinterpret_cast<HIMAGELIST>(lParam);
        Redraw();
        return reinterpret_cast<LRESULT>(hOld);
    }
    case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(m_hImages);
    case TB_GETHOTIMAGELIST: return reinterpret_cast<LRESULT>(m_hHotImages);
    case TB_GETDISABLEDIMAGELIST: return reinterpret_cast<LRESULT>(m_hDisabledImages);
    case TB_HITTEST:
        return lParam ? HitTest(*reinterpret_cast<const POINT*>(lParam)) : -1;
    case TB_GETHOTITEM: return m_nHot;
    case TB_SETHOTITEM: return SetHot(static_cast<int>(wParam), false);
    case TB_SETEXTENDEDSTYLE:
    {
        DWORD dwOld = m_dwExStyle;
        m_dwExStyle = static_cast<DWORD>(lParam);
        return dwOld;
    }
    case TB_GETEXTENDEDSTYLE: return m_dwExStyle;
    case WM_SETFONT:
        m_hFont = reinterpret_cast<HFONT>(wParam);
        Layout();
        if (LOWORD(lParam))
            Redraw();
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_MOUSEMOVE:
    {
        POINT pt{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        if (m_nPressed >= 0)
        {
            // The held button looks pressed only while the mouse is over it.
            BYTE nOld = State(m_nPressed);
            if (HitTest(pt) == m_nPressed)
                State(m_nPressed) |= TBSTATE_PRESSED;
            else
                State(m_nPressed) &= static_cast<BYTE>(~TBSTATE_PRESSED);
            if (State(m_nPressed) != nOld)
                Redraw();
        }
        else if (Style() & TBSTYLE_FLAT)
        {
            int i = UsableAt(pt);
            if (i != m_nHot)
                SetHot(i, true);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    {
        int i = UsableAt(POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
        if (i < 0)
            return 0;
        m_nPressed = i;
        State(i) |= TBSTATE_PRESSED;
        SetCapture(m_hWnd);
        Redraw();
        return 0;
    }
    case WM_LBUTTONUP:
    {
        if (m_nPressed < 0)
            return 0;
        int i = m_nPressed;
        m_nPressed = -1;
        bool bOver = (State(i) & TBSTATE_PRESSED) != 0;
        State(i) &= static_cast<BYTE>(~TBSTATE_PRESSED);
        ReleaseCapture();
        Redraw();
        if (bOver)
            Click(i);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (m_nPressed >= 0 && reinterpret_cast<HWND>(lParam) != m_hWnd)
        {
            State(m_nPressed) &= static_cast<BYTE>(~TBSTATE_PRESSED);
            m_nPressed = -1;
            Redraw();
        }
        return 0;
    case WM_TIMER:
        if (wParam == HOT_TIMER)
        {
            POINT pt{};
            GetCursorPos(&pt);
            if (WindowFromPoint(pt) != m_hWnd)
                SetHot(-1, false);
            return 0;
        }
        return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_LEFT || wParam == VK_RIGHT)
            StepHot(wParam == VK_RIGHT ? 1 : -1);
        return 0;
    case WM_ENABLE: Redraw(); return 0;
    case WM_ERASEBKGND: return TRUE;   // the paint covers the whole client area
    case WM_PAINT: return PaintControl(m_hWnd, [&](HDC hdc) { Paint(hdc); });
    default: return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    }
}
}

LRESULT CALLBACK ToolbarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
    {
        const auto* pcs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        Toolbars().Make(hWnd).Attach(hWnd, pcs ? pcs->hwndParent : nullptr);
    }
    Toolbar* pToolbar = Toolbars().Find(hWnd);
    if (nMessage == WM_NCDESTROY)
    {
        Toolbars().Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
    return pToolbar ? pToolbar->Handle(nMessage, wParam, lParam) : DefWindowProcA(hWnd, nMessage, wParam, lParam);
}
