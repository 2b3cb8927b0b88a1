// The rebar: bands in rows, each a gripper, an optional title and a child window that the band
// sizes. Its height follows its bands; RBN_HEIGHTCHANGE tells the parent when it changes.
#include "BarLayout.h"
#include "Controls.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// Pixels around a band's child: above and below it, and the gripper's column.
const int CHILD_MARGIN_Y = 2;
const int GRIPPER_AREA = 8;      // 2 before the gripper, 3 of ridge, 3 after
const int HEADER_MARGIN = 2;     // before the title or the child when there is no gripper
const int TITLE_MARGIN = 4;
const int BORDER = 2;            // RBS_BANDBORDERS: the etched line between bands and rows

struct Band
{
    UINT m_nStyle = 0;
    COLORREF m_clrFore = CLR_DEFAULT;
    COLORREF m_clrBack = CLR_DEFAULT;
    std::string m_strText;
    int m_nImage = -1;
    HWND m_hChild = nullptr;
    UINT m_cxMinChild = 0;
    UINT m_cyMinChild = 0;
    UINT m_cx = 0;
    HBITMAP m_hbmBack = nullptr;
    UINT m_nId = 0;
    UINT m_cyChild = 0;
    UINT m_cyMaxChild = 0;
    UINT m_cyIntegral = 0;
    UINT m_cxIdeal = 0;
    LPARAM m_lParam = 0;
    UINT m_cxHeader = 0;
    bool m_bHeaderSet = false;   // RBBIM_HEADERSIZE was given
    // From the last layout.
    RECT m_rc{};
    int m_nRow = 0;
    int m_nHeader = 0;
};

struct ReBar
{
    std::vector<Band> m_Bands;
    HWND m_hNotify = nullptr;    // RB_SETPARENT; the parent when null
    HIMAGELIST m_hImageList = nullptr;
    COLORREF m_clrBack = CLR_DEFAULT;
    COLORREF m_clrText = CLR_DEFAULT;
    HFONT m_hFont = nullptr;
    std::vector<int> m_RowHeights;
    int m_nHeight = 0;
    bool m_bInLayout = false;
};

ControlStore<ReBar>& Bars()
{
    static ControlStore<ReBar> s_Bars;
    return s_Bars;
}

HWND NotifyWindow(HWND hWnd, const ReBar& bar)
{
    return bar.m_hNotify ? bar.m_hNotify : GetParent(hWnd);
}

bool Visible(const Band& band)
{
    return !(band.m_nStyle & RBBS_HIDDEN);
}

int TextWidth(const ReBar& bar, const std::string& text)
{
    if (text.empty())
        return 0;
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(bar.m_hFont));
    SIZE size{};
    GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return size.cx;
}

bool HasGripper(const ReBar& bar, const Band& band)
{
    if (band.m_nStyle & RBBS_GRIPPERALWAYS)
        return true;
    if (band.m_nStyle & (RBBS_NOGRIPPER | RBBS_FIXEDSIZE))
        return false;
    return std::count_if(bar.m_Bands.begin(), bar.m_Bands.end(), Visible) > 1;
}

int HeaderWidth(const ReBar& bar, const Band& band)
{
    if (band.m_bHeaderSet)
        return static_cast<int>(band.m_cxHeader);
    int n = HasGripper(bar, band) ? GRIPPER_AREA : HEADER_MARGIN;
    if (!band.m_strText.empty() && !(band.m_nStyle & RBBS_HIDETITLE))
        n += TextWidth(bar, band.m_strText) + TITLE_MARGIN;
    return n;
}

int ChildHeight(const Band& band)
{
    int cy = static_cast<int>(band.m_cyMinChild);
    if ((band.m_nStyle & RBBS_VARIABLEHEIGHT) && band.m_cyChild > band.m_cyMinChild)
        cy = static_cast<int>(band.m_cyMaxChild ? std::min(band.m_cyChild, band.m_cyMaxChild) : band.m_cyChild);
    return cy;
}

// Places the bands, sizes their children and works out the bar's height.
void LayOut(HWND hWnd, ReBar& bar)
{
    bool bBorders = (GetWindowLongPtrA(hWnd, GWL_STYLE) & RBS_BANDBORDERS) != 0;
    bool bVarHeight = (GetWindowLongPtrA(hWnd, GWL_STYLE) & RBS_VARHEIGHT) != 0;
    RECT rcClient{};
    GetClientRect(hWnd, &rcClient);

    // Rows: a new one at every RBBS_BREAK after the first visible band.
    std::vector<std::vector<size_t>> rows;
    for (size_t i = 0; i < bar.m_Bands.size(); ++i)
    {
        Band& band = bar.m_Bands[i];
        if (!Visible(band))
            continue;
        if (rows.empty() || (band.m_nStyle & RBBS_BREAK))
            rows.emplace_back();
        rows.back().push_back(i);
        band.m_nHeader = HeaderWidth(bar, band);
    }
    bar.m_RowHeights.clear();
    int nTallest = 0;
    for (const auto& row : rows)
    {
        int cy = 0;
        for (size_t i : row)
            cy = std::max(cy, ChildHeight(bar.m_Bands[i]) + 2 * CHILD_MARGIN_Y);
        bar.m_RowHeights.push_back(cy);
        nTallest = std::max(nTallest, cy);
    }
    if (!bVarHeight)
        std::fill(bar.m_RowHeights.begin(), bar.m_RowHeights.end(), nTallest);

    int y = 0;
    for (size_t r = 0; r < rows.size(); ++r)
    {
        if (r > 0 && bBorders)
            y += BORDER;
        int x = 0;
        for (size_t k = 0; k < rows[r].size(); ++k)
        {
            Band& band = bar.m_Bands[rows[r][k]];
            if (k > 0 && bBorders)
                x += BORDER;
            int cxMin = band.m_nHeader + static_cast<int>(band.m_cxMinChild);
            // The last band of a row takes what is left of it.
            int cx = k + 1 == rows[r].size() ? std::max(cxMin, static_cast<int>(rcClient.right) - x)
                                             : std::max(cxMin, static_cast<int>(band.m_cx));
            band.m_rc = RECT{x, y, x + cx, y + bar.m_RowHeights[r]};
            band.m_nRow = static_cast<int>(r);
            x += cx;
        }
        y += bar.m_RowHeights[r];
    }
    bar.m_nHeight = y;

    for (Band& band : bar.m_Bands)
    {
        if (!IsWindow(band.m_hChild))
            continue;
        if (!Visible(band))
        {
            ShowWindow(band.m_hChild, SW_HIDE);
            continue;
        }
        int cy = band.m_rc.bottom - band.m_rc.top - 2 * CHILD_MARGIN_Y;
        SetWindowPos(band.m_hChild, nullptr, band.m_rc.left + band.m_nHeader, band.m_rc.top + CHILD_MARGIN_Y,
                     std::max(0, static_cast<int>(band.m_rc.right - band.m_rc.left) - band.m_nHeader), cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

// Lays the bands out again; when the bar's height changed, the bar fits itself to it (unless
// CCS_NORESIZE) and the parent hears RBN_HEIGHTCHANGE.
void Update(HWND hWnd, ReBar& bar)
{
    if (bar.m_bInLayout)
        return;
    bar.m_bInLayout = true;
    int nOld = bar.m_nHeight;
    LayOut(hWnd, bar);
    // Fitting the bar may change its width, whose WM_SIZE arrives while this layout runs.
    AlignBarToParent(hWnd, bar.m_nHeight, true);
    LayOut(hWnd, bar);
    bar.m_bInLayout = false;
    if (ReBar* pBar = Bars().Find(hWnd); pBar && pBar->m_nHeight != nOld)
        NotifyParentNm(hWnd, RBN_HEIGHTCHANGE, nullptr, NotifyWindow(hWnd, *pBar));
    InvalidateRect(hWnd, nullptr, TRUE);
}

void TakeChild(HWND hWnd, Band& band, HWND hChild)
{
    if (band.m_hChild == hChild)
        return;
    if (IsWindow(band.m_hChild))
        ShowWindow(band.m_hChild, SW_HIDE);
    band.m_hChild = hChild;
    if (!IsWindow(hChild))
        return;
    SetParent(hChild, hWnd);
    // Without a child size the band keeps the child's own height.
    if (!band.m_cyMinChild)
    {
        RECT rc{};
        GetWindowRect(hChild, &rc);
        band.m_cyMinChild = static_cast<UINT>(rc.bottom - rc.top);
    }
}

void ApplyBandInfo(HWND hWnd, Band& band, const REBARBANDINFOA& info)
{
    UINT nMask = info.fMask;
    if (nMask & RBBIM_STYLE)
        band.m_nStyle = info.fStyle;
    if (nMask & RBBIM_COLORS)
    {
        band.m_clrFore = info.clrFore;
        band.m_clrBack = info.clrBack;
    }
    if (nMask & RBBIM_TEXT)
        band.m_strText = info.lpText ? info.lpText : "";
    if (nMask & RBBIM_IMAGE)
        band.m_nImage = info.iImage;
    if (nMask & RBBIM_CHILDSIZE)
    {
        band.m_cxMinChild = info.cxMinChild;
        band.m_cyMinChild = info.cyMinChild;
        band.m_cyChild = info.cyChild;
        band.m_cyMaxChild = info.cyMaxChild;
        band.m_cyIntegral = info.cyIntegral;
    }
    if (nMask & RBBIM_CHILD)
        TakeChild(hWnd, band, info.hwndChild);
    if (nMask & RBBIM_SIZE)
        band.m_cx = info.cx;
    if (nMask & RBBIM_BACKGROUND)
        band.m_hbmBack = info.hbmBack;
    if (nMask & RBBIM_ID)
        band.m_nId = info.wID;
    if (nMask & RBBIM_IDEALSIZE)
        band.m_cxIdeal = info.cxIdeal;
    if (nMask & RBBIM_LPARAM)
        band.m_lParam = info.lParam;
    if (nMask & RBBIM_HEADERSIZE)
    {
        band.m_cxHeader = info.cxHeader;
        band.m_bHeaderSet = true;
    }
}

void ReadBandInfo(const Band& band, REBARBANDINFOA& info)
{
    UINT nMask = info.fMask;
    if (nMask & RBBIM_STYLE)
        info.fStyle = band.m_nStyle;
    if (nMask & RBBIM_COLORS)
    {
        info.clrFore = band.m_clrFore;
        info.clrBack = band.m_clrBack;
    }
    if ((nMask & RBBIM_TEXT) && info.lpText && info.cch > 0)
    {
        size_t n = std::min<size_t>(band.m_strText.size(), info.cch - 1);
        std::memcpy(info.lpText, band.m_strText.data(), n);
        info.lpText[n] = 0;
    }
    if (nMask & RBBIM_IMAGE)
        info.iImage = band.m_nImage;
    if (nMask & RBBIM_CHILD)
        info.hwndChild = band.m_hChild;
    if (nMask & RBBIM_CHILDSIZE)
    {
        info.cxMinChild = band.m_cxMinChild;
        info.cyMinChild = band.m_cyMinChild;
        info.cyChild = band.m_cyChild;
        info.cyMaxChild = band.m_cyMaxChild;
        info.cyIntegral = band.m_cyIntegral;
    }
    if (nMask & RBBIM_SIZE)
        info.cx = static_cast<UINT>(band.m_rc.right - band.m_rc.left);
    if (nMask & RBBIM_BACKGROUND)
        info.hbmBack = band.m_hbmBack;
    if (nMask & RBBIM_ID)
        info.wID = band.m_nId;
    if (nMask & RBBIM_IDEALSIZE)
        info.cxIdeal = band.m_cxIdeal;
    if (nMask & RBBIM_LPARAM)
        info.lParam = band.m_lParam;
    if (nMask & RBBIM_HEADERSIZE)
        info.cxHeader = static_cast<UINT>(band.m_nHeader);
}

COLORREF OrDefault(COLORREF c, int nSysColor)
{
    return c == CLR_DEFAULT || c == CLR_NONE ? GetSysColor(nSysColor) : c;
}

void Paint(HWND hWnd, const ReBar& bar)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    RECT rcClient{};
    GetClientRect(hWnd, &rcClient);
    win32::FillSolidRect(hdc, rcClient, OrDefault(bar.m_clrBack, COLOR_3DFACE));
    bool bBorders = (GetWindowLongPtrA(hWnd, GWL_STYLE) & RBS_BANDBORDERS) != 0;
    HGDIOBJ hOldFont = SelectObject(hdc, ControlFont(bar.m_hFont));
    SetBkMode(hdc, TRANSPARENT);
    int nLastRow = -1;
    for (const Band& band : bar.m_Bands)
    {
        if (!Visible(band))
            continue;
        RECT rc = band.m_rc;
        if (band.m_clrBack != CLR_DEFAULT)
            win32::FillSolidRect(hdc, rc, band.m_clrBack);
        if (bBorders && band.m_nRow != nLastRow && band.m_nRow > 0)
        {
            RECT rcLine{0, rc.top - BORDER, rcClient.right, rc.top};
            DrawEdge(hdc, &rcLine, EDGE_ETCHED, BF_TOP);
        }
        else if (bBorders && band.m_nRow == nLastRow)
        {
            RECT rcLine{rc.left - BORDER, rc.top, rc.left, rc.bottom};
            DrawEdge(hdc, &rcLine, EDGE_ETCHED, BF_LEFT);
        }
        nLastRow = band.m_nRow;
        int x = rc.left + HEADER_MARGIN;
        if (HasGripper(bar, band))
        {
            RECT rcGrip{rc.left + 2, rc.top + 2, rc.left + 5, rc.bottom - 2};
            DrawEdge(hdc, &rcGrip, BDR_RAISEDINNER, BF_RECT);
            x = rc.left + GRIPPER_AREA;
        }
        if (!band.m_strText.empty() && !(band.m_nStyle & RBBS_HIDETITLE))
        {
            SetTextColor(hdc, OrDefault(band.m_clrFore != CLR_DEFAULT ? band.m_clrFore : bar.m_clrText, COLOR_BTNTEXT));
            RECT rcText{x, rc.top, rc.left + band.m_nHeader, rc.bottom};
            DrawTextA(hdc, band.m_strText.c_str(), -1, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    SelectObject(hdc, hOldFont);
    EndPaint(hWnd, &ps);
}

Band* BandAt(ReBar& bar, WPARAM nIndex)
{
    return nIndex < bar.m_Bands.size() ? &bar.m_Bands[nIndex] : nullptr;
}
}

LRESULT CALLBACK ReBarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        Bars().Make(hWnd);
    ReBar* pBar = Bars().Find(hWnd);
    if (!pBar)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    ReBar& bar = *pBar;
    switch (nMessage)
    {
    case WM_NCDESTROY:
        Bars().Drop(hWnd);
        break;
    case WM_CREATE:
    case WM_SIZE:
        Update(hWnd, bar);
        return 0;
    case WM_PAINT:
        Paint(hWnd, bar);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        bar.m_hFont = reinterpret_cast<HFONT>(wParam);
        Update(hWnd, bar);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(bar.m_hFont);
    case WM_COMMAND:
    case WM_NOTIFY:
        // The bands' children talk to the rebar's parent.
        return SendMessageA(NotifyWindow(hWnd, bar), nMessage, wParam, lParam);
    case RB_INSERTBANDA:
    {
        const auto* pInfo = reinterpret_cast<const REBARBANDINFOA*>(lParam);
        if (!pInfo)
            return FALSE;
        size_t nIndex = static_cast<int>(wParam) < 0 ? bar.m_Bands.size() : std::min<size_t>(wParam, bar.m_Bands.size());
        bar.m_Bands.insert(bar.m_Bands.begin() + static_cast<std::ptrdiff_t>(nIndex), Band());
        ApplyBandInfo(hWnd, bar.m_Bands[nIndex], *pInfo);
        Update(hWnd, bar);
        return TRUE;
    }
    case RB_DELETEBAND:
    {
        Band* pBand = BandAt(bar, wParam);
        if (!pBand)
            return FALSE;
        if (IsWindow(pBand->m_hChild))
            ShowWindow(pBand->m_hChild, SW_HIDE);
        bar.m_Bands.erase(bar.m_Bands.begin() + static_cast<std::ptrdiff_t>(wParam));
        Update(hWnd, bar);
        return TRUE;
    }
    case RB_SETBANDINFOA:
    case RB_GETBANDINFOA:
    {
        Band* pBand = BandAt(bar, wParam);
        auto* pInfo = reinterpret_cast<REBARBANDINFOA*>(lParam);
        if (!pBand || !pInfo)
            return FALSE;
        if (nMessage == RB_GETBANDINFOA)
        {
            ReadBandInfo(*pBand, *pInfo);
            return TRUE;
        }
        ApplyBandInfo(hWnd, *pBand, *pInfo);
        Update(hWnd, bar);
        return TRUE;
    }
    case RB_SHOWBAND:
    {
        Band* pBand = BandAt(bar, wParam);
        if (!pBand)
            return FALSE;
        pBand->m_nStyle = lParam ? pBand->m_nStyle & ~RBBS_HIDDEN : pBand->m_nStyle | RBBS_HIDDEN;
        Update(hWnd, bar);
        return TRUE;
    }
    case RB_SETBARINFO:
    case RB_GETBARINFO:
    {
        auto* pInfo = reinterpret_cast<REBARINFO*>(lParam);
        if (!pInfo)
            return FALSE;
        if (pInfo->fMask & RBIM_IMAGELIST)
        {
            if (nMessage == RB_SETBARINFO)
                bar.m_hImageList = pInfo->himl;
            else
                pInfo->himl = bar.m_hImageList;
        }
        return TRUE;
    }
    case RB_SETPARENT:
    {
        HWND hOld = NotifyWindow(hWnd, bar);
        bar.m_hNotify = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(hOld);
    }
    case RB_GETRECT:
    case RB_GETBANDBORDERS:
    {
        const Band* pBand = BandAt(bar, wParam);
        auto* pRect = reinterpret_cast<RECT*>(lParam);
        if (!pBand || !pRect)
            return FALSE;
        // Borders: the header on the left, the child's margins above and below.
        *pRect = nMessage == RB_GETRECT ? pBand->m_rc : RECT{pBand->m_nHeader, CHILD_MARGIN_Y, 0, CHILD_MARGIN_Y};
        return TRUE;
    }
    case RB_GETBANDCOUNT:
        return static_cast<LRESULT>(bar.m_Bands.size());
    case RB_GETROWCOUNT:
        return static_cast<LRESULT>(bar.m_RowHeights.size());
    case RB_GETROWHEIGHT:
    {
        const Band* pBand = BandAt(bar, wParam);
        return pBand && Visible(*pBand) ? bar.m_RowHeights[static_cast<size_t>(pBand->m_nRow)] : 0;
    }
    case RB_GETBARHEIGHT:
        return bar.m_nHeight;
    case RB_IDTOINDEX:
        for (size_t i = 0; i < bar.m_Bands.size(); ++i)
            if (bar.m_Bands[i].m_nId == wParam)
                return static_cast<LRESULT>(i);
        return -1;
    case RB_SETBKCOLOR:
    case RB_SETTEXTCOLOR:
    {
        COLORREF& c = nMessage == RB_SETBKCOLOR ? bar.m_clrBack : bar.m_clrText;
        COLORREF old = c;
        c = static_cast<COLORREF>(lParam);
        InvalidateRect(hWnd, nullptr, TRUE);
        return old;
    }
    case RB_GETBKCOLOR:
        return bar.m_clrBack;
    case RB_GETTEXTCOLOR:
        return bar.m_clrText;
    default:
        break;
    }
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}
