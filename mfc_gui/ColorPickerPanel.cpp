#include "mfc_gui/ColorPickerPanel.h"

#include <win32/commctrl.h>

#include <algorithm>
#include <vector>

namespace
{
const double PI_SINGLE = static_cast<double>(3.1415927f);
const COLORREF PICTURE_GROUND = RGB(0xC0, 0xC0, 0xC0);

struct Field
{
    int nId;
    int nMax;
};
// The seven edit fields in the order their spin buttons are set.
const Field FIELDS[] = {
    {IDC_PICKER_RED, 255},        {IDC_PICKER_GREEN, 255},      {IDC_PICKER_BLUE, 255}, {IDC_PICKER_HUE, 360},
    {IDC_PICKER_SATURATION, 255}, {IDC_PICKER_BRIGHTNESS, 255}, {IDC_PICKER_ALPHA, 255},
};

// A square of 10 x 10 around the point.
CRect SquareAround(CPoint pt)
{
    return CRect(pt.x - 5, pt.y - 5, pt.x + 5, pt.y + 5);
}

CRect ClientRectOf(CWnd* pDialog, int nId)
{
    CRect rc;
    CWnd* pItem = pDialog->GetDlgItem(nId);
    if (!pItem)
        return rc;
    pItem->GetWindowRect(&rc);
    pDialog->ScreenToClient(&rc);
    return rc;
}
}

CColorPickerPanel::CColorPickerPanel(COLORREF color, int nAlpha)
    : m_rgb(ColorrefToRgb(color)), m_rgbOld(m_rgb), m_nAlpha(nAlpha)
{
    m_hsb = RgbToHsb(m_rgb);
}

int& CColorPickerPanel::Channel(int nAxis)
{
    return nAxis == 0 ? m_rgb.r : nAxis == 1 ? m_rgb.g : m_rgb.b;
}

// ---- Lay-out

bool CColorPickerPanel::PrepareBitmap(UINT nId, CBitmap& bitmap, CSize& size)
{
    bitmap.DeleteObject();
    size = CSize(0, 0);
    HBITMAP hBitmap = static_cast<HBITMAP>(LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nId), IMAGE_BITMAP, 0, 0,
                                                      LR_DEFAULTCOLOR));
    if (!hBitmap)
        return false;
    bitmap.Attach(hBitmap);
    BITMAP bm{};
    bitmap.GetObject(sizeof(bm), &bm);
    size = CSize(bm.bmWidth, bm.bmHeight);
    // The pictures' grey ground becomes the face colour.
    const COLORREF crFace = GetSysColor(COLOR_3DFACE);
    CBitmap* pOld = m_dcMem.SelectObject(&bitmap);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            if (m_dcMem.GetPixel(x, y) == PICTURE_GROUND)
                m_dcMem.SetPixel(x, y, crFace);
    m_dcMem.SelectObject(pOld);
    return true;
}

void CColorPickerPanel::PreparePictures()
{
    PrepareBitmap(IDB_PICKER_HSB_WHEEL, m_bmpHsbWheel, m_sizeHsbWheel);
    if (m_bCube)
        PrepareBitmap(IDB_PICKER_RGB_CUBE, m_bmpRgbCube, m_sizeRgbCube);
}

bool CColorPickerPanel::Init(CWnd* pDialog, bool bCube)
{
    m_pDialog = pDialog;
    m_bCube = bCube;
    m_rcRgbFrame = bCube ? ClientRectOf(pDialog, IDC_PICKER_RGB_FRAME) : CRect();
    m_rcHsbFrame = ClientRectOf(pDialog, IDC_PICKER_HSB_FRAME);
    m_rcOldSwatch = ClientRectOf(pDialog, IDC_PICKER_OLD_SWATCH);
    m_rcNewSwatch = ClientRectOf(pDialog, IDC_PICKER_NEW_SWATCH);
    m_dcMem.CreateCompatibleDC(nullptr);

    const bool bWheel = PrepareBitmap(IDB_PICKER_HSB_WHEEL, m_bmpHsbWheel, m_sizeHsbWheel);
    m_rcHsbFrame.DeflateRect(5, 5);
    m_rcHsbFrame.top += 20;
    m_rcHsbFrame.left += 10;
    m_ptWheelCenter = m_rcHsbFrame.TopLeft() + CSize(100, 100);
    const int nLeft = m_rcHsbFrame.left + m_sizeHsbWheel.cx;
    m_rcBrightBar = CRect(nLeft + 20, m_rcHsbFrame.top, nLeft + 40, m_rcHsbFrame.top + m_sizeHsbWheel.cy);
    // Without its picture the bar has no height and stays empty.
    if (m_rcBrightBar.Height() > 0 && m_dibBrightness.Create(m_rcBrightBar.Width(), m_rcBrightBar.Height(), 8))
        for (int y = 0; y < m_dibBrightness.GetHeight(); ++y)
            std::fill_n(m_dibBrightness.GetRow(y), m_dibBrightness.GetWidth(), static_cast<BYTE>(std::min(y, 255)));
    UpdateHsbMarkers();
    UpdateBrightnessPalette();

    if (bCube)
    {
        PrepareBitmap(IDB_PICKER_RGB_CUBE, m_bmpRgbCube, m_sizeRgbCube);
        m_rcRgbFrame.DeflateRect(5, 5);
        m_rcRgbFrame.top += 10;
        m_rcRgbFrame.left -= 3;
        const CSize corner(m_rcRgbFrame.left, m_rcRgbFrame.top);
        m_ptCubeCenter += corner;
        for (CPoint& pt : m_ptAxisEnd)
            pt += corner;
    }
    for (int i = 0; i < 3; ++i)
    {
        m_nAxisLength[i] = Distance(m_ptCubeCenter.x, m_ptCubeCenter.y, m_ptAxisEnd[i].x, m_ptAxisEnd[i].y);
        LineEq& line = m_lineAxis[i];
        line.x = m_ptCubeCenter.x;
        line.y = m_ptCubeCenter.y;
        line.m = Slope(m_ptAxisEnd[i].x, m_ptAxisEnd[i].y, m_ptCubeCenter.x, m_ptCubeCenter.y);
        line.c = Intercept(line);
    }
    UpdateBox();
    for (const Field& field : FIELDS)
        ::SendDlgItemMessageA(pDialog->m_hWnd, field.nId + 1, UDM_SETRANGE32, 0, field.nMax);
    SetSpinPositions();
    m_bInitialized = true;
    return bWheel;
}

void CColorPickerPanel::SetColor(const RgbColor& rgb, int nAlpha)
{
    m_rgb = RgbColor{std::clamp(rgb.r, 0, 255), std::clamp(rgb.g, 0, 255), std::clamp(rgb.b, 0, 255)};
    m_nAlpha = std::clamp(nAlpha, 0, 255);
    m_rgbOld = m_rgb;
    m_hsb = RgbToHsb(m_rgb);
    m_bRgbDragging = false;
    m_nHsbTrack = 0;
    m_bRefreshing = true;
    UpdateBox();
    UpdateHsbMarkers();
    UpdateBrightnessPalette();
    if (m_pDialog)
        SetSpinPositions();
    m_bRefreshing = false;
}

// ---- Markers, handles and the box

void CColorPickerPanel::UpdateHsbMarkers()
{
    m_rcWheelMarker = SquareAround(PolarToPoint(m_hsb.h, m_hsb.s, m_ptWheelCenter.x, m_ptWheelCenter.y));
    const int y = m_rcBrightBar.bottom - static_cast<int>(m_rcBrightBar.Height() * m_hsb.b / 255.0);
    m_rcBrightMarker = CRect(m_rcBrightBar.left - 2, y - 4, m_rcBrightBar.right + 2, y + 4);
}

void CColorPickerPanel::UpdateBrightnessPalette()
{
    const int nHeight = m_dibBrightness.GetHeight();
    if (nHeight <= 0)
        return;
    // The top row is the brightest.
    const double step = 255.0 / nHeight;
    std::vector<BYTE> rgb(3 * 256, 0);
    for (int k = 0; k < std::min(nHeight, 256); ++k)
    {
        const RgbColor c = HsbToRgb(HsbColor{m_hsb.h, m_hsb.s, static_cast<int>((nHeight - 1 - k) * step)});
        rgb[3 * k] = static_cast<BYTE>(c.r);
        rgb[3 * k + 1] = static_cast<BYTE>(c.g);
        rgb[3 * k + 2] = static_cast<BYTE>(c.b);
    }
    m_dibBrightness.SetPaletteRGB(rgb.data());
}

void CColorPickerPanel::UpdateHandles()
{
    for (int i = 0; i < 3; ++i)
    {
        const CPoint pt = PointAlongLine(m_ptCubeCenter.x, m_ptCubeCenter.y, m_ptAxisEnd[i].x, m_ptAxisEnd[i].y,
                                         Channel(i) * m_nAxisLength[i] / 255, m_nAxisLength[i]);
        m_rcAxisMarker[i] = SquareAround(pt);
    }
}

void CColorPickerPanel::UpdateBox()
{
    UpdateHandles();
    CPoint* P = m_ptBox;
    P[0] = m_ptCubeCenter;
    const int nBoxIndex[3] = {1, 3, 7};   // the red, green and blue handle points
    for (int i = 0; i < 3; ++i)
        P[nBoxIndex[i]] = PointAlongLine(m_ptCubeCenter.x, m_ptCubeCenter.y, m_ptAxisEnd[i].x, m_ptAxisEnd[i].y,
                                         static_cast<int>(Channel(i) * m_nAxisLength[i] / 255.0), m_nAxisLength[i]);
    // The line through a point parallel to an axis.
    auto through = [this](CPoint pt, int nAxis) {
        LineEq line{static_cast<double>(pt.x), static_cast<double>(pt.y), m_lineAxis[nAxis].m, 0};
        line.c = Intercept(line);
        return line;
    };
    P[2] = Intersect(through(P[1], 1), through(P[3], 0));
    P[4] = Intersect(through(P[3], 2), through(P[7], 1));
    P[6] = Intersect(through(P[1], 2), through(P[7], 0));
    P[5] = Intersect(through(P[4], 0), through(P[2], 2));
}

void CColorPickerPanel::SetSpinPositions()
{
    const int values[7] = {m_rgb.r, m_rgb.g, m_rgb.b, m_hsb.h, m_hsb.s, m_hsb.b, m_nAlpha};
    for (int i = 0; i < 7; ++i)
        ::SendDlgItemMessageA(m_pDialog->m_hWnd, FIELDS[i].nId + 1, UDM_SETPOS32, 0, values[i]);
}

// ---- Drawing

void CColorPickerPanel::DrawRgbOverlay(CDC* pDC)
{
    if (!m_bCube)
    {
        PaintSwatch(pDC, m_rcNewSwatch, RgbToColorref(m_rgb));
        return;
    }
    UpdateHandles();
    const int nOldRop = pDC->SetROP2(R2_XORPEN);
    CGdiObject* pOldBrush = pDC->SelectStockObject(HOLLOW_BRUSH);
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* pOldPen = pDC->SelectObject(&pen);
    for (const CRect& rc : m_rcAxisMarker)
        pDC->Rectangle(&rc);
    pDC->SelectStockObject(WHITE_PEN);
    const CPoint* P = m_ptBox;
    const int chains[3][6] = {{1, 2, 3, 4, 5, 2}, {5, 6, 7, 4, -1, -1}, {1, 6, -1, -1, -1, -1}};
    for (const auto& chain : chains)
    {
        pDC->MoveTo(P[chain[0]]);
        for (int i = 1; i < 6 && chain[i] >= 0; ++i)
            pDC->LineTo(P[chain[i]]);
    }
    pDC->SelectObject(pOldPen);
    pDC->SelectObject(pOldBrush);
    pDC->SetROP2(nOldRop);
    PaintSwatch(pDC, m_rcNewSwatch, RgbToColorref(m_rgb));
}

void CColorPickerPanel::DrawHsbOverlay(CDC* pDC)
{
    if (m_rcWheelMarker.Width() == 0)
        return;
    const int nOldRop = pDC->SetROP2(R2_XORPEN);
    CGdiObject* pOldBrush = pDC->SelectStockObject(HOLLOW_BRUSH);
    CGdiObject* pOldPen = pDC->SelectStockObject(WHITE_PEN);
    pDC->Rectangle(&m_rcWheelMarker);
    CPen pen(PS_SOLID, 2, RGB(255, 255, 255));
    pDC->SelectObject(&pen);
    pDC->Rectangle(&m_rcBrightMarker);
    pDC->SelectObject(pOldPen);
    pDC->SelectObject(pOldBrush);
    pDC->SetROP2(nOldRop);
}

void CColorPickerPanel::PaintSwatch(CDC* pDC, const CRect& rc, COLORREF color)
{
    if (rc.IsRectEmpty())
        return;
    CRect rcFrame = rc;
    pDC->FillSolidRect(&rcFrame, color);
    pDC->Draw3dRect(&rcFrame, RGB(0, 0, 0), RGB(0, 0, 0));
    rcFrame.DeflateRect(1, 1);
    pDC->Draw3dRect(&rcFrame, RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
}

void CColorPickerPanel::PaintRgbPanel(CDC* pDC)
{
    if (!m_bCube)
    {
        DrawRgbOverlay(pDC);
        return;
    }
    if (!m_bmpRgbCube.m_hObject)
        return;
    CBitmap* pOld = m_dcMem.SelectObject(&m_bmpRgbCube);
    pDC->BitBlt(m_rcRgbFrame.left, m_rcRgbFrame.top, m_sizeRgbCube.cx, m_sizeRgbCube.cy, &m_dcMem, 0, 0, SRCCOPY);
    m_dcMem.SelectObject(pOld);
    DrawRgbOverlay(pDC);
}

void CColorPickerPanel::PaintHsbPanel(CDC* pDC)
{
    if (!m_bmpHsbWheel.m_hObject)
        return;
    CBitmap* pOld = m_dcMem.SelectObject(&m_bmpHsbWheel);
    pDC->BitBlt(m_rcHsbFrame.left, m_rcHsbFrame.top, m_sizeHsbWheel.cx, m_sizeHsbWheel.cy, &m_dcMem, 0, 0, SRCCOPY);
    m_dcMem.SelectObject(pOld);
    m_dibBrightness.Draw(pDC->m_hDC, m_rcBrightBar.left, m_rcBrightBar.top, m_rcBrightBar.Width(),
                         m_rcBrightBar.Height(), 0, 0);
    DrawHsbOverlay(pDC);
}

void CColorPickerPanel::Paint(CDC* pDC)
{
    PaintSwatch(pDC, m_rcOldSwatch, RgbToColorref(m_rgbOld));
    PaintHsbPanel(pDC);
    PaintRgbPanel(pDC);
}

void CColorPickerPanel::XorRgbOverlay()
{
    CClientDC dc(m_pDialog);
    if (m_bCube)
        DrawRgbOverlay(&dc);
}

void CColorPickerPanel::XorHsbOverlay()
{
    CClientDC dc(m_pDialog);
    DrawHsbOverlay(&dc);
}

void CColorPickerPanel::RepaintRgb()
{
    CClientDC dc(m_pDialog);
    PaintRgbPanel(&dc);
}

void CColorPickerPanel::RepaintHsb()
{
    CClientDC dc(m_pDialog);
    PaintHsbPanel(&dc);
}

void CColorPickerPanel::RefreshAll()
{
    if (!m_bInitialized || m_bRefreshing)
        return;
    XorRgbOverlay();
    XorHsbOverlay();
    m_bRefreshing = true;
    UpdateBox();
    UpdateHsbMarkers();
    UpdateBrightnessPalette();
    RepaintRgb();
    RepaintHsb();
    SetSpinPositions();
    m_bRefreshing = false;
}

// ---- The mouse

bool CColorPickerPanel::OnLButtonDown(CPoint point)
{
    if (m_rcHsbFrame.PtInRect(point))
    {
        m_bRgbDragging = false;
        if (Distance(point.x, point.y, m_ptWheelCenter.x, m_ptWheelCenter.y) <= 100 && m_sizeHsbWheel.cx > 0)
            m_nHsbTrack = 1;
        else if (m_rcBrightBar.PtInRect(point))
            m_nHsbTrack = 2;
        else
            m_nHsbTrack = 0;
        if (m_nHsbTrack == 0)
            return false;
        m_pDialog->SetCapture();
        TrackHsb(point);
        return true;
    }
    if (!m_bCube || !m_rcRgbFrame.PtInRect(point))
        return false;
    m_nHsbTrack = 0;
    for (int i = 0; i < 3; ++i)
        if (m_rcAxisMarker[i].PtInRect(point))
        {
            m_pDialog->SetCapture();
            m_bRgbDragging = true;
            m_nRgbAxis = i;
            return true;
        }
    return false;
}

void CColorPickerPanel::OnLButtonUp()
{
    if (CWnd::GetCapture() == m_pDialog)
        ReleaseCapture();
    m_bRgbDragging = false;
    m_nHsbTrack = 0;
}

int CColorPickerPanel::OnMouseMove(CPoint point)
{
    if (CWnd::GetCapture() != m_pDialog)
        return 0;
    if (m_nHsbTrack != 0)
    {
        TrackHsb(point);
        return HSB_STEP;
    }
    if (m_bRgbDragging)
    {
        MoveHandle(point);
        return CUBE_STEP;
    }
    return 0;
}

void CColorPickerPanel::TrackHsb(CPoint point)
{
    if (m_nHsbTrack == 1)
    {
        XorHsbOverlay();
        int nHue = static_cast<int>(Angle(point.x, point.y, m_ptWheelCenter.x, m_ptWheelCenter.y) * 180.0 / PI_SINGLE);
        if (nHue < 0)
            nHue += 360;
        m_hsb.h = std::min(nHue, 359);
        m_hsb.s = std::min(static_cast<int>(Distance(point.x, point.y, m_ptWheelCenter.x, m_ptWheelCenter.y) * 255.0 / 100.0), 255);
        UpdateBrightnessPalette();
        UpdateHsbMarkers();
        m_pDialog->InvalidateRect(&m_rcBrightBar, FALSE);
        XorHsbOverlay();
    }
    else if (m_nHsbTrack == 2 && m_rcBrightBar.Height() > 0)
    {
        const double v = std::clamp((m_rcBrightBar.bottom - point.y) * 255.0 / m_rcBrightBar.Height(), 0.0, 255.0);
        XorHsbOverlay();
        m_hsb.b = static_cast<int>(v);
        UpdateHsbMarkers();
        XorHsbOverlay();
    }
    m_rgb = HsbToRgb(m_hsb);
    SetSpinPositions();
    XorRgbOverlay();
    UpdateBox();
    RepaintRgb();
}

void CColorPickerPanel::MoveHandle(CPoint point)
{
    const int i = m_nRgbAxis;
    CPoint pt = point;
    if (i == 0)
    {
        pt.y = std::min(pt.y, m_ptCubeCenter.y);
        pt.x = m_ptCubeCenter.x;
    }
    else
    {
        pt.x = i == 1 ? std::min(pt.x, m_ptCubeCenter.x) : std::max(pt.x, m_ptCubeCenter.x);
        pt.y = m_rcAxisMarker[i].top + 5;
    }
    const int nLength = std::max(m_nAxisLength[i], 1);
    const int d = std::min(Distance(pt.x, pt.y, m_ptCubeCenter.x, m_ptCubeCenter.y), nLength);
    XorRgbOverlay();
    Channel(i) = static_cast<int>(static_cast<double>(d) / nLength * 255.0);
    UpdateBox();
    XorRgbOverlay();
    m_hsb = RgbToHsb(m_rgb);
    SetSpinPositions();
    XorHsbOverlay();
    UpdateHsbMarkers();
    UpdateBrightnessPalette();
    m_pDialog->InvalidateRect(&m_rcBrightBar, FALSE);
    RepaintHsb();
}

// ---- The edit fields

void CColorPickerPanel::OnEditChange(int nId)
{
    if (!m_bInitialized || !m_pDialog)
        return;
    const int nValue = static_cast<int>(::GetDlgItemInt(m_pDialog->m_hWnd, nId, nullptr, TRUE));
    // The comparison comes before the clamp, so an out-of-range value refreshes and is written
    // back in range.
    int* pRgb = nId == IDC_PICKER_RED ? &m_rgb.r : nId == IDC_PICKER_GREEN ? &m_rgb.g : nId == IDC_PICKER_BLUE ? &m_rgb.b : nullptr;
    int* pHsb = nId == IDC_PICKER_HUE ? &m_hsb.h : nId == IDC_PICKER_SATURATION ? &m_hsb.s
                                                 : nId == IDC_PICKER_BRIGHTNESS ? &m_hsb.b : nullptr;
    if (nId == IDC_PICKER_ALPHA)
        m_nAlpha = std::clamp(nValue, 0, 255);
    else if (pRgb && nValue != *pRgb)
    {
        *pRgb = std::clamp(nValue, 0, 255);
        m_hsb = RgbToHsb(m_rgb);
        RefreshAll();
    }
    else if (pHsb && nValue != *pHsb)
    {
        *pHsb = std::clamp(nValue, 0, nId == IDC_PICKER_HUE ? 359 : 255);
        m_rgb = HsbToRgb(m_hsb);
        RefreshAll();
    }
}
