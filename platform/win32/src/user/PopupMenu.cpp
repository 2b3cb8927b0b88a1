// Popup menus tracked in a modal loop: one window of class "#32768" per open level, the mouse
// and keys that move the selection, and the messages the owner sees on the way.
#include "UserState.h"

#include "../controls/Controls.h"
#include "../desktop/MenuBarBand.h"

#include <win32/gdi.h>
#include <win32/menus.h>
#include <win32/sysparams.h>

#include "core/Log.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace
{
const int kTextLeft = 20;       // the check-mark column
const int kArrowWidth = 16;     // the submenu arrow's column
const int kAccelGap = 12;       // between a label and its accelerator
const int kSeparatorHeight = 8;

struct ItemBox
{
    UINT m_nType = 0;
    UINT m_nState = 0;
    UINT m_nId = 0;
    HMENU m_hSubMenu = nullptr;
    ULONG_PTR m_nData = 0;
    std::string m_strText;
    RECT m_rc{};                // client coordinates of the level's window
};

struct Level
{
    HMENU m_hMenu = nullptr;
    HWND m_hWnd = nullptr;
    std::vector<ItemBox> m_Items;
    int m_nSel = -1;
};

struct Tracker
{
    HWND m_hOwner = nullptr;
    UINT m_nFlags = 0;
    std::vector<Level> m_Levels;   // the first popup first; the innermost one last
    bool m_bEnd = false;
    UINT m_nChosen = 0;
    POINT m_ptLastMouse{-1, -1};
};

Tracker* g_pTracker = nullptr;

bool IsSeparator(const ItemBox& item)
{
    return (item.m_nType & MFT_SEPARATOR) != 0;
}

bool IsGrayed(const ItemBox& item)
{
    return (item.m_nState & MFS_GRAYED) != 0;
}

HFONT MenuFont()
{
    return ControlFont(nullptr);
}

// WM_MENUSELECT goes to the filter hooks first; the owner gets it only when none ate it.
void SendMenuSelect(Tracker& t, WPARAM wParam, HMENU hMenu)
{
    MSG msg{};
    msg.hwnd = t.m_hOwner;
    msg.message = WM_MENUSELECT;
    msg.wParam = wParam;
    msg.lParam = reinterpret_cast<LPARAM>(hMenu);
    GetCursorPos(&msg.pt);
    if (!CallMsgFilterA(&msg, MSGF_MENU))
        SendMessageA(t.m_hOwner, WM_MENUSELECT, wParam, msg.lParam);
}

void AnnounceSelection(Tracker& t, const Level& level, bool bMouse)
{
    if (level.m_nSel < 0)
        return;
    const ItemBox& item = level.m_Items[static_cast<size_t>(level.m_nSel)];
    UINT nFlags = (item.m_nType & (MFT_OWNERDRAW | MFT_SEPARATOR)) | (item.m_nState & (MFS_GRAYED | MFS_CHECKED)) |
                  MF_HILITE | (bMouse ? MF_MOUSESELECT : 0);
    UINT nLow = item.m_nId;
    if (item.m_hSubMenu)
    {
        nFlags |= MF_POPUP;
        nLow = static_cast<UINT>(level.m_nSel);
    }
    SendMenuSelect(t, MAKEWPARAM(static_cast<WORD>(nLow), static_cast<WORD>(nFlags)), level.m_hMenu);
}

// Reads the menu's items and lays them out top to bottom; the client size comes back.
SIZE LayOut(Tracker& t, Level& level)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, MenuFont());
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    int nItemHeight = std::max<int>(tm.tmHeight + 6, 19);
    int nLabels = 0, nAccels = 0, nOwnerWidth = 0;
    std::vector<int> heights;
    int nCount = std::max(GetMenuItemCount(level.m_hMenu), 0);
    for (int i = 0; i < nCount; ++i)
    {
        char szText[256] = {};
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
        mii.dwTypeData = szText;
        mii.cch = sizeof(szText);
        GetMenuItemInfoA(level.m_hMenu, static_cast<UINT>(i), TRUE, &mii);
        ItemBox item;
        item.m_nType = mii.fType;
        item.m_nState = mii.fState;
        item.m_nId = mii.wID;
        item.m_hSubMenu = mii.hSubMenu;
        item.m_nData = mii.dwItemData;
        item.m_strText = szText;
        int nHeight = nItemHeight;
        if (item.m_nType & MFT_OWNERDRAW)
        {
            MEASUREITEMSTRUCT mis{ODT_MENU, 0, item.m_nId, 0, 0, item.m_nData};
            SendMessageA(t.m_hOwner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
            nHeight = static_cast<int>(mis.itemHeight);
            // The system widens an owner-drawn item by its check-mark column, which the owner
            // does not count.
            const int nWidth = static_cast<int>(mis.itemWidth) + GetSystemMetrics(SM_CXMENUCHECK) - 1;
            nOwnerWidth = std::max(nOwnerWidth, nWidth);
        }
        else if (IsSeparator(item))
            nHeight = kSeparatorHeight;
        else
        {
            std::string strLabel = item.m_strText.substr(0, item.m_strText.find('\t'));
            RECT rc{};
            DrawTextA(hdc, strLabel.c_str(), -1, &rc, DT_CALCRECT | DT_SINGLELINE);
            nLabels = std::max<int>(nLabels, rc.right);
            if (size_t nTab = item.m_strText.find('\t'); nTab != std::string::npos)
            {
                RECT rcAccel{};
                DrawTextA(hdc, item.m_strText.c_str() + nTab + 1, -1, &rcAccel, DT_CALCRECT | DT_SINGLELINE);
                nAccels = std::max<int>(nAccels, rcAccel.right);
            }
        }
        heights.push_back(nHeight);
        level.m_Items.push_back(std::move(item));
    }
    SelectObject(hdc, hOld);
    DeleteDC(hdc);

    int cx = std::max(kTextLeft + nLabels + (nAccels ? kAccelGap + nAccels : 0) + kArrowWidth, nOwnerWidth);
    int y = 0;
    for (size_t i = 0; i < level.m_Items.size(); ++i)
    {
        level.m_Items[i].m_rc = RECT{0, y, cx, y + heights[i]};
        y += heights[i];
    }
    return SIZE{cx, y};
}

int Clamp(int v, int nLow, int nHigh)
{
    return std::max(nLow, std::min(v, nHigh));
}

// Opens a menu as a new innermost level. With prcExclude, TPM_VERTICAL keeps the popup below or
// above that rectangle, otherwise right or left of it.
bool OpenLevel(Tracker& t, HMENU hMenu, int nIndex, POINT pt, UINT nFlags, const RECT* prcExclude)
{
    SendMessageA(t.m_hOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu), MAKELPARAM(nIndex, FALSE));
    if (t.m_bEnd || !IsMenu(hMenu))
        return false;
    Level level;
    level.m_hMenu = hMenu;
    SIZE size = LayOut(t, level);
    if (level.m_Items.empty())
        return false;
    int nFrame = GetSystemMetrics(SM_CXDLGFRAME);
    int cx = size.cx + 2 * nFrame, cy = size.cy + 2 * nFrame;
    int cxScreen = GetSystemMetrics(SM_CXSCREEN), cyScreen = GetSystemMetrics(SM_CYSCREEN);
    int x = pt.x, y = pt.y;
    if (nFlags & TPM_CENTERALIGN)
        x -= cx / 2;
    else if (nFlags & TPM_RIGHTALIGN)
        x -= cx;
    if (nFlags & TPM_VCENTERALIGN)
        y -= cy / 2;
    else if (nFlags & TPM_BOTTOMALIGN)
        y -= cy;
    if (prcExclude)
    {
        if (nFlags & TPM_VERTICAL)
        {
            if (y + cy > cyScreen)
                y = prcExclude->top - cy;
        }
        else if (x + cx > cxScreen)
            x = prcExclude->left - cx;
    }
    x = Clamp(x, 0, std::max(cxScreen - cx, 0));
    y = Clamp(y, 0, std::max(cyScreen - cy, 0));

    level.m_hWnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "#32768", "", WS_POPUP | WS_DLGFRAME, x, y,
                                   cx, cy, nullptr, nullptr, nullptr, nullptr);
    if (!level.m_hWnd)
        return false;
    t.m_Levels.push_back(std::move(level));
    SetWindowPos(t.m_Levels.back().m_hWnd, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

void InvalidateItem(const Level& level, int nIndex)
{
    if (nIndex >= 0)
        InvalidateRect(level.m_hWnd, &level.m_Items[static_cast<size_t>(nIndex)].m_rc, TRUE);
}

// Closes every level from nFirst inward.
void CloseLevelsFrom(Tracker& t, size_t nFirst)
{
    while (t.m_Levels.size() > nFirst)
    {
        DestroyWindow(t.m_Levels.back().m_hWnd);
        t.m_Levels.pop_back();
    }
}

void Select(Tracker& t, size_t nLevel, int nIndex, bool bMouse)
{
    Level& level = t.m_Levels[nLevel];
    if (level.m_nSel == nIndex)
        return;
    InvalidateItem(level, level.m_nSel);
    level.m_nSel = nIndex;
    InvalidateItem(level, nIndex);
    AnnounceSelection(t, level, bMouse);
}

// Opens the selected item's submenu beside its item, with its first item selected when asked.
void OpenSubmenu(Tracker& t, size_t nLevel, bool bSelectFirst)
{
    CloseLevelsFrom(t, nLevel + 1);
    const Level& level = t.m_Levels[nLevel];
    const ItemBox& item = level.m_Items[static_cast<size_t>(level.m_nSel)];
    if (!item.m_hSubMenu || IsGrayed(item))
        return;
    RECT rcParent{};
    GetWindowRect(level.m_hWnd, &rcParent);
    POINT pt{item.m_rc.right, item.m_rc.top};
    ClientToScreen(level.m_hWnd, &pt);
    int nFrame = GetSystemMetrics(SM_CXDLGFRAME);
    RECT rcExclude{rcParent.left, pt.y, rcParent.right - nFrame, pt.y};
    if (!OpenLevel(t, item.m_hSubMenu, level.m_nSel, POINT{rcParent.right - nFrame, pt.y - nFrame}, 0, &rcExclude))
        return;
    if (bSelectFirst)
    {
        const Level& inner = t.m_Levels.back();
        auto it = std::find_if(inner.m_Items.begin(), inner.m_Items.end(), [](const ItemBox& i) { return !IsSeparator(i); });
        if (it != inner.m_Items.end())
            Select(t, t.m_Levels.size() - 1, static_cast<int>(it - inner.m_Items.begin()), false);
    }
}

// Enter, a click or a mnemonic on an item: a submenu opens, a command ends the menu.
void Choose(Tracker& t, size_t nLevel, int nIndex, bool bMouse)
{
    if (nIndex < 0)
        return;
    Select(t, nLevel, nIndex, bMouse);
    const ItemBox& item = t.m_Levels[nLevel].m_Items[static_cast<size_t>(nIndex)];
    if (IsSeparator(item) || IsGrayed(item))
        return;
    if (item.m_hSubMenu)
    {
        OpenSubmenu(t, nLevel, !bMouse);
        return;
    }
    t.m_nChosen = item.m_nId;
    t.m_bEnd = true;
}

// The innermost level and item under a screen point; false outside every popup.
bool HitTest(const Tracker& t, POINT pt, size_t& nLevel, int& nIndex)
{
    for (size_t i = t.m_Levels.size(); i-- > 0;)
    {
        RECT rc{};
        GetWindowRect(t.m_Levels[i].m_hWnd, &rc);
        if (!PtInRect(&rc, pt))
            continue;
        nLevel = i;
        nIndex = -1;
        POINT ptClient = pt;
        ScreenToClient(t.m_Levels[i].m_hWnd, &ptClient);
        const auto& items = t.m_Levels[i].m_Items;
        for (size_t k = 0; k < items.size(); ++k)
            if (PtInRect(&items[k].m_rc, ptClient) && !IsSeparator(items[k]))
                nIndex = static_cast<int>(k);
        return true;
    }
    return false;
}

void OnMouse(Tracker& t, const MSG& msg)
{
    POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    size_t nLevel = 0;
    int nIndex = -1;
    bool bInside = HitTest(t, pt, nLevel, nIndex);
    bool bRight = (t.m_nFlags & TPM_RIGHTBUTTON) != 0;
    switch (msg.message)
    {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        if (pt.x == t.m_ptLastMouse.x && pt.y == t.m_ptLastMouse.y)
            return;
        t.m_ptLastMouse = pt;
        if (!bInside || nIndex < 0 || t.m_Levels[nLevel].m_nSel == nIndex)
            return;
        CloseLevelsFrom(t, nLevel + 1);
        Select(t, nLevel, nIndex, true);
        if (t.m_Levels[nLevel].m_Items[static_cast<size_t>(nIndex)].m_hSubMenu)
            OpenSubmenu(t, nLevel, false);
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        if (!bInside)
            t.m_bEnd = true;
        else if (nIndex >= 0 && t.m_Levels[nLevel].m_Items[static_cast<size_t>(nIndex)].m_hSubMenu)
            Choose(t, nLevel, nIndex, true);
        return;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        if (bInside)
            Choose(t, nLevel, nIndex, true);
        return;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP:
        if (bInside && bRight)
            Choose(t, nLevel, nIndex, true);
        return;
    default:
        return;
    }
}

// The next item from nFrom in direction nStep, skipping separators; -1 when there is none.
int NextItem(const Level& level, int nFrom, int nStep)
{
    int n = static_cast<int>(level.m_Items.size());
    int i = nFrom;
    for (int k = 0; k < n; ++k)
    {
        i = i < 0 ? (nStep > 0 ? 0 : n - 1) : (i + nStep + n) % n;
        if (!IsSeparator(level.m_Items[static_cast<size_t>(i)]))
            return i;
    }
    return -1;
}

// The item whose "&" mnemonic is the character, after nFrom; several matches take turns.
int FindMnemonic(const Level& level, char c, int nFrom, int& nMatches)
{
    int nFound = -1;
    nMatches = 0;
    int n = static_cast<int>(level.m_Items.size());
    for (int k = 1; k <= n; ++k)
    {
        int i = (std::max(nFrom, -1) + k + n) % n;
        const std::string& s = level.m_Items[static_cast<size_t>(i)].m_strText;
        for (size_t p = 0; p + 1 < s.size(); ++p)
        {
            if (s[p] != '&')
                continue;
            if (s[p + 1] == '&')
            {
                ++p;
                continue;
            }
            if (std::toupper(static_cast<unsigned char>(s[p + 1])) == std::toupper(static_cast<unsigned char>(c)))
            {
                if (nFound < 0)
                    nFound = i;
                ++nMatches;
            }
            break;
        }
    }
    return nFound;
}

void OnChar(Tracker& t, char c)
{
    size_t nLevel = t.m_Levels.size() - 1;
    Level& level = t.m_Levels[nLevel];
    int nMatches = 0;
    int nIndex = FindMnemonic(level, c, level.m_nSel, nMatches);
    if (nIndex >= 0)
    {
        if (nMatches == 1)
            Choose(t, nLevel, nIndex, false);
        else
            Select(t, nLevel, nIndex, false);
        return;
    }
    LRESULT r = SendMessageA(t.m_hOwner, WM_MENUCHAR, MAKEWPARAM(static_cast<BYTE>(c), MF_POPUP),
                             reinterpret_cast<LPARAM>(level.m_hMenu));
    int nItem = LOWORD(r);
    bool bValid = nItem < static_cast<int>(level.m_Items.size());
    switch (HIWORD(r))
    {
    case MNC_CLOSE: t.m_bEnd = true; break;
    case MNC_EXECUTE: if (bValid) Choose(t, nLevel, nItem, false); break;
    case MNC_SELECT: if (bValid) Select(t, nLevel, nItem, false); break;
    default: break;
    }
}

void OnKeyDown(Tracker& t, MSG& msg)
{
    size_t nLevel = t.m_Levels.size() - 1;
    Level& level = t.m_Levels[nLevel];
    switch (msg.wParam)
    {
    case VK_UP:
    case VK_DOWN:
        Select(t, nLevel, NextItem(level, level.m_nSel, msg.wParam == VK_DOWN ? 1 : -1), false);
        return;
    case VK_RIGHT:
        if (level.m_nSel >= 0 && level.m_Items[static_cast<size_t>(level.m_nSel)].m_hSubMenu)
            OpenSubmenu(t, nLevel, true);
        return;
    case VK_LEFT:
    case VK_ESCAPE:
        if (nLevel == 0)
        {
            if (msg.wParam == VK_ESCAPE)
                t.m_bEnd = true;
            return;
        }
        CloseLevelsFrom(t, nLevel);
        AnnounceSelection(t, t.m_Levels[nLevel - 1], false);
        return;
    case VK_RETURN:
        Choose(t, nLevel, level.m_nSel, false);
        return;
    case VK_MENU:
    case VK_F10:
        t.m_bEnd = true;
        return;
    default:
        TranslateMessage(&msg);
        return;
    }
}

// Takes the loop's input; other messages (timers, paints, posted ones) are dispatched.
bool OnLoopMessage(Tracker& t, MSG& msg)
{
    if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
        (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK))
    {
        OnMouse(t, msg);
        return true;
    }
    switch (msg.message)
    {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        OnKeyDown(t, msg);
        return true;
    case WM_CHAR:
    case WM_SYSCHAR:
        OnChar(t, static_cast<char>(msg.wParam));
        return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return true;
    default:
        return false;
    }
}

// Client mouse messages go to the filter hooks with the screen point in lParam.
void ToScreen(MSG& msg)
{
    if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST || msg.message == WM_MOUSEWHEEL)
        return;
    POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ClientToScreen(msg.hwnd, &pt);
    msg.lParam = MAKELPARAM(pt.x, pt.y);
}

void DrawArrow(HDC hdc, const RECT& rc, COLORREF color)
{
    HPEN hPen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ hOld = SelectObject(hdc, hPen);
    int x = rc.right - kArrowWidth / 2 - 2;
    int yMid = (rc.top + rc.bottom) / 2;
    for (int i = 0; i < 4; ++i)
    {
        MoveToEx(hdc, x + i, yMid - 3 + i, nullptr);
        LineTo(hdc, x + i, yMid + 4 - i);
    }
    SelectObject(hdc, hOld);
    DeleteObject(hPen);
}

void DrawCheck(HDC hdc, const RECT& rc, COLORREF color)
{
    HFONT hFont = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett");
    HGDIOBJ hOld = SelectObject(hdc, hFont);
    SetTextColor(hdc, color);
    RECT rcCheck{rc.left, rc.top, rc.left + kTextLeft, rc.bottom};
    DrawTextA(hdc, "a", 1, &rcCheck, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, hOld);
    DeleteObject(hFont);
}

void DrawItem(const Tracker& t, const Level& level, size_t nIndex, HDC hdc)
{
    const ItemBox& item = level.m_Items[nIndex];
    bool bSelected = level.m_nSel == static_cast<int>(nIndex);
    if (item.m_nType & MFT_OWNERDRAW)
    {
        UINT nState = (bSelected ? ODS_SELECTED : 0) | ((item.m_nState & MFS_CHECKED) ? ODS_CHECKED : 0) |
                      ((item.m_nState & MF_GRAYED) ? ODS_GRAYED : 0) | ((item.m_nState & MF_DISABLED) ? ODS_DISABLED : 0);
        DRAWITEMSTRUCT dis{ODT_MENU, 0, item.m_nId, ODA_DRAWENTIRE, nState,
                           reinterpret_cast<HWND>(level.m_hMenu), hdc, item.m_rc, item.m_nData};
        int nSaved = SaveDC(hdc);
        SendMessageA(t.m_hOwner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        RestoreDC(hdc, nSaved);
        return;
    }
    RECT rc = item.m_rc;
    if (IsSeparator(item))
    {
        FillRect(hdc, &rc, GetSysColorBrush(COLOR_MENU));
        RECT rcLine{rc.left + 1, (rc.top + rc.bottom) / 2 - 1, rc.right - 1, (rc.top + rc.bottom) / 2 + 1};
        DrawEdge(hdc, &rcLine, EDGE_ETCHED, BF_TOP);
        return;
    }
    FillRect(hdc, &rc, GetSysColorBrush(bSelected ? COLOR_HIGHLIGHT : COLOR_MENU));
    SetBkMode(hdc, TRANSPARENT);
    SelectObject(hdc, MenuFont());
    bool bGrayed = IsGrayed(item);
    COLORREF text = GetSysColor(bGrayed ? COLOR_GRAYTEXT : bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    std::string strLabel = item.m_strText.substr(0, item.m_strText.find('\t'));
    size_t nTab = item.m_strText.find('\t');
    RECT rcText{rc.left + kTextLeft, rc.top, rc.right - kArrowWidth, rc.bottom};
    auto drawText = [&](int dx, int dy, COLORREF color) {
        SetTextColor(hdc, color);
        RECT r = rcText;
        OffsetRect(&r, dx, dy);
        DrawTextA(hdc, strLabel.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (nTab != std::string::npos)
            DrawTextA(hdc, item.m_strText.c_str() + nTab + 1, -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    };
    // A grayed item not selected is embossed, as the system draws disabled text.
    if (bGrayed && !bSelected)
        drawText(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    drawText(0, 0, bGrayed && !bSelected ? GetSysColor(COLOR_BTNSHADOW) : text);
    if (item.m_nState & MFS_CHECKED)
        DrawCheck(hdc, rc, text);
    if (item.m_hSubMenu)
        DrawArrow(hdc, rc, text);
}

const Level* LevelOf(const Tracker& t, HWND hWnd)
{
    for (const Level& level : t.m_Levels)
        if (level.m_hWnd == hWnd)
            return &level;
    return nullptr;
}
}

LRESULT CALLBACK PopupMenuWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
    {
        RECT rc{};
        GetClientRect(hWnd, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_MENU));
        return 1;
    }
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hWnd, &ps);
        if (const Level* pLevel = g_pTracker ? LevelOf(*g_pTracker, hWnd) : nullptr)
            for (size_t i = 0; i < pLevel->m_Items.size(); ++i)
            {
                RECT rcCommon{};
                if (IntersectRect(&rcCommon, &pLevel->m_Items[i].m_rc, &ps.rcPaint))
                    DrawItem(*g_pTracker, *pLevel, i, hdc);
            }
        EndPaint(hWnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}

BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hWnd, LPTPMPARAMS lptpm)
{
    if (!IsMenu(hMenu) || !IsWindow(hWnd))
        return FALSE;
    if (g_pTracker)
    {
        LogWarning("TrackPopupMenuEx() - a popup menu is already open.");
        return FALSE;
    }
    Tracker tracker;
    tracker.m_hOwner = hWnd;
    tracker.m_nFlags = uFlags;
    g_pTracker = &tracker;
    // The loop ends and the popups close however the loop ends, a script running out included.
    struct Cleanup
    {
        Tracker& m_Tracker;
        ~Cleanup()
        {
            CloseLevelsFrom(m_Tracker, 0);
            g_pTracker = nullptr;
        }
    } cleanup{tracker};

    SendMessageA(hWnd, WM_ENTERMENULOOP, TRUE, 0);
    if (!OpenLevel(tracker, hMenu, 0, POINT{x, y}, uFlags, lptpm ? &lptpm->rcExclude : nullptr))
    {
        SendMessageA(hWnd, WM_EXITMENULOOP, TRUE, 0);
        return FALSE;
    }
    SetCapture(tracker.m_Levels.front().m_hWnd);

    win32::ModalLoop loop;
    loop.m_szName = "TrackPopupMenu";
    loop.m_hWnd = tracker.m_Levels.front().m_hWnd;
    loop.m_hOwner = hWnd;
    loop.m_nFilterCode = MSGF_MENU;
    loop.m_fnPrepare = ToScreen;
    loop.m_fnPreTranslate = [&tracker](MSG& msg) { return OnLoopMessage(tracker, msg); };
    win32::RunModalLoop(loop, [&tracker, hWnd]() { return tracker.m_bEnd || !IsWindow(hWnd); });

    CloseLevelsFrom(tracker, 0);
    if (IsWindow(hWnd))
    {
        SendMenuSelect(tracker, MAKEWPARAM(0, 0xFFFF), nullptr);
        SendMessageA(hWnd, WM_EXITMENULOOP, TRUE, 0);
    }
    UINT nChosen = tracker.m_nChosen;
    if (uFlags & TPM_RETURNCMD)
        return static_cast<BOOL>(nChosen);
    if (nChosen && IsWindow(hWnd))
        PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nChosen), 0), 0);
    return nChosen != 0;
}

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*)
{
    return TrackPopupMenuEx(hMenu, uFlags, x, y, hWnd, nullptr);
}

BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem)
{
    if (!lprcItem)
        return FALSE;
    if (g_pTracker)
        for (const Level& level : g_pTracker->m_Levels)
            if (level.m_hMenu == hMenu && uItem < level.m_Items.size())
            {
                *lprcItem = level.m_Items[uItem].m_rc;
                MapWindowPoints(level.m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lprcItem), 2);
                return TRUE;
            }
    // The window's own menu bar.
    if (hWnd && hMenu && GetMenu(hWnd) == hMenu)
    {
        std::vector<RECT> rects = MenuBarItemRects(hWnd);
        if (uItem >= rects.size())
            return FALSE;
        RECT rcWindow;
        GetWindowRect(hWnd, &rcWindow);
        *lprcItem = rects[uItem];
        OffsetRect(lprcItem, rcWindow.left, rcWindow.top);
        return TRUE;
    }
    return FALSE;
}

BOOL EndMenu()
{
    if (!g_pTracker)
        return FALSE;
    g_pTracker->m_bEnd = true;
    return TRUE;
}
