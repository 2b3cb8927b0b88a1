#pragma once
// What the two colour picker dialogs share: the hue and saturation wheel with its brightness bar,
// the optional RGB cube with a handle on each axis and the wireframe box of the three values, the
// seven edit fields with their spin buttons, and the old and new colour swatches. The panel lays
// itself out on its dialog from the controls below, paints, follows the mouse and the edit
// fields, and keeps the colour in RGB and HSB at once.
//
// The handles, markers and box are drawn with XOR, so drawing them again removes them.
#include "mfc_gui/ColorMath.h"
#include "mfc_gui/Dib.h"

#include <mfc/afxwin.h>

// Controls of the picker templates.
enum
{
    IDC_PICKER_RGB_FRAME = 1364,
    IDC_PICKER_HSB_FRAME = 1365,
    IDC_PICKER_RED = 1366,
    IDC_PICKER_GREEN = 1368,
    IDC_PICKER_BLUE = 1370,
    IDC_PICKER_OLD_SWATCH = 1372,
    IDC_PICKER_NEW_SWATCH = 1373,
    IDC_PICKER_HUE = 1374,
    IDC_PICKER_SATURATION = 1376,
    IDC_PICKER_BRIGHTNESS = 1378,
    IDC_PICKER_ALPHA = 1380,
    // Each edit's spin button has the edit's id + 1.
};

// Pictures of the pickers, 24 bits on a light grey (0xC0C0C0) ground.
enum
{
    IDB_PICKER_RGB_CUBE = 154,
    IDB_PICKER_HSB_WHEEL = 155,
};

class CColorPickerPanel
{
public:
    CColorPickerPanel(COLORREF color, int nAlpha);

    // Lays the panel out on the dialog: the cube only when bCube; returns false when the wheel
    // picture is missing (the wheel and bar are then not shown).
    bool Init(CWnd* pDialog, bool bCube);
    // Loads the pictures again with the current face colour for their ground.
    void PreparePictures();
    void Paint(CDC* pDC);

    // The mouse in the dialog's client coordinates. A press in the wheel, the bar or on a cube
    // handle starts a drag; OnMouseMove returns HSB_STEP after a wheel or bar step, CUBE_STEP
    // after a handle step, 0 otherwise.
    enum
    {
        HSB_STEP = 1,
        CUBE_STEP = 2,
    };
    bool OnLButtonDown(CPoint point);
    void OnLButtonUp();
    int OnMouseMove(CPoint point);
    // EN_CHANGE of an edit field: typed values are clamped into range.
    void OnEditChange(int nId);

    // A new colour, given and shown as the old one too; the channels are clamped to 0 to 255.
    void SetColor(const RgbColor& rgb, int nAlpha);
    const RgbColor& GetRgb() const { return m_rgb; }
    const HsbColor& GetHsb() const { return m_hsb; }
    const RgbColor& GetOldRgb() const { return m_rgbOld; }
    int GetAlpha() const { return m_nAlpha; }
    void SetAlpha(int nAlpha) { m_nAlpha = nAlpha; }
    bool IsInitialized() const { return m_bInitialized; }

    // Geometry, for the dialogs' tests.
    CPoint GetWheelCenter() const { return m_ptWheelCenter; }
    const CRect& GetBrightBar() const { return m_rcBrightBar; }
    const CRect& GetWheelMarker() const { return m_rcWheelMarker; }
    const CRect& GetBrightMarker() const { return m_rcBrightMarker; }
    const CRect& GetAxisMarker(int nAxis) const { return m_rcAxisMarker[nAxis]; }
    const CRect& GetNewSwatch() const { return m_rcNewSwatch; }
    const CRect& GetOldSwatch() const { return m_rcOldSwatch; }
    CPoint GetBoxCorner(int i) const { return m_ptBox[i]; }
    void DrawRgbOverlay(CDC* pDC);
    void DrawHsbOverlay(CDC* pDC);

private:
    bool PrepareBitmap(UINT nId, CBitmap& bitmap, CSize& size);
    void UpdateHsbMarkers();
    void UpdateBrightnessPalette();
    void UpdateHandles();
    void UpdateBox();
    void SetSpinPositions();
    void RefreshAll();
    void PaintRgbPanel(CDC* pDC);
    void PaintHsbPanel(CDC* pDC);
    static void PaintSwatch(CDC* pDC, const CRect& rc, COLORREF color);
    void TrackHsb(CPoint point);
    void MoveHandle(CPoint point);
    // Draws, or removes, an overlay on the dialog now.
    void XorRgbOverlay();
    void XorHsbOverlay();
    void RepaintRgb();
    void RepaintHsb();
    int& Channel(int nAxis);

    CWnd* m_pDialog = nullptr;
    bool m_bCube = true;
    CBitmap m_bmpRgbCube;
    CBitmap m_bmpHsbWheel;
    CDC m_dcMem;
    CPoint m_ptWheelCenter;
    CDib m_dibBrightness;
    CSize m_sizeRgbCube;
    CSize m_sizeHsbWheel;
    int m_nHsbTrack = 0;   // 0 nothing, 1 the wheel marker, 2 the brightness bar
    CRect m_rcWheelMarker;
    CRect m_rcBrightMarker;
    CRect m_rcBrightBar;
    HsbColor m_hsb;
    RgbColor m_rgb;
    RgbColor m_rgbOld;
    CPoint m_ptCubeCenter{102, 108};
    CPoint m_ptAxisEnd[3] = {{102, 9}, {23, 147}, {181, 147}};   // red, green, blue
    CRect m_rcAxisMarker[3];
    CPoint m_ptBox[8];
    bool m_bRgbDragging = false;
    int m_nRgbAxis = 0;
    int m_nAxisLength[3] = {};
    LineEq m_lineAxis[3];
    int m_nAlpha = 255;
    CRect m_rcRgbFrame;
    CRect m_rcHsbFrame;
    CRect m_rcOldSwatch;
    CRect m_rcNewSwatch;
    bool m_bInitialized = false;
    bool m_bRefreshing = false;
};
