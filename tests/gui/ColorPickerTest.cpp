// The colour pickers on the window layer: the modal picker's pictures, XOR overlays, wheel, bar
// and handle drags and clamped edits; the swatch; and the roll-up tool picker's notifications,
// its float colour, its pin and its scrolling.
#include "GuiTestKit.h"
#include "mfc_gui/ColorPickerDlg.h"
#include "mfc_gui/ColorPickerStatic.h"
#include "mfc_gui/ColorPickerToolDlg.h"
#include "mfc_gui/BaseTreeCtrl.h"
#include "scene/SceneObject.h"

#include <algorithm>

namespace
{
std::string Text(const HsbColor& c)
{
    return std::to_string(c.h) + "," + std::to_string(c.s) + "," + std::to_string(c.b);
}

// A window's whole picture.
std::vector<DWORD> Pixels(HWND hWnd)
{
    win32::Image32 image;
    win32::GetWindowImage(hWnd, image);
    return image.m_Pixels;
}

// The dialog's client pixel (x, y) as 0xRRGGBB.
uint32_t ClientPixel(CWnd& wnd, CPoint pt)
{
    CRect rcWindow;
    wnd.GetWindowRect(&rcWindow);
    wnd.ClientToScreen(&pt);
    return WindowPixel(wnd, pt.x - rcWindow.left, pt.y - rcWindow.top);
}

// Receives the tool picker's colour.
class CApplyHost : public CWnd
{
public:
    int m_nApplies = 0;
    WPARAM m_wLastColor = 0;

protected:
    afx_msg LRESULT OnApply(WPARAM wParam, LPARAM)
    {
        ++m_nApplies;
        m_wLastColor = wParam;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CApplyHost, CWnd)
    ON_MESSAGE(WM_COLORPICKER_APPLY, &CApplyHost::OnApply)
END_MESSAGE_MAP()

class ColorPickerTest : public GuiTest
{
protected:
    void TearDown() override
    {
        if (m_Picker.m_hWnd)
            m_Picker.DestroyWindow();
        GuiTest::TearDown();
    }
    void Open()
    {
        ASSERT_TRUE(m_Picker.Create(CColorPickerDlg::IDD, &Host(0, 0, 800, 600)));
        m_Picker.ShowWindow(SW_SHOW);
        m_Driver.pumpUntilIdle();
    }
    POINT OnScreen(CPoint pt)
    {
        m_Picker.ClientToScreen(&pt);
        return pt;
    }
    void Drag(CPoint ptFrom, CPoint ptTo)
    {
        // Apart in time, so that two presses at one place are not a double click.
        m_Driver.advance(1000);
        m_Driver.mouse(OnScreen(ptFrom));
        m_Driver.mouse(OnScreen(ptFrom), 0, true);
        m_Driver.mouse(OnScreen(ptTo));
        m_Driver.mouse(OnScreen(ptTo), 0, false);
        m_Driver.pumpUntilIdle();
    }

    CColorPickerDlg m_Picker{RGB(0, 240, 12), 200, nullptr};
};
}

TEST_F(ColorPickerTest, ThePicturesShowTheColoursTheMarkersPointAt)
{
    Open();
    CColorPickerPanel& panel = m_Picker.GetPanel();
    EXPECT_EQ(panel.GetHsb().h, 122);
    EXPECT_EQ(panel.GetHsb().b, 240);
    EXPECT_EQ(m_Picker.GetAlpha(), 200);
    // The wheel: red 98 pixels right of the centre (saturation 249), its ground the face colour.
    const CPoint ptCentre = panel.GetWheelCenter();
    EXPECT_EQ(ClientPixel(m_Picker, ptCentre + CSize(98, 0)), ToRgb(RgbToColorref(HsbToRgb(HsbColor{0, 249, 255}))));
    EXPECT_EQ(ClientPixel(m_Picker, ptCentre), 0xFFFFFFu);
    EXPECT_EQ(ClientPixel(m_Picker, ptCentre + CSize(-98, -98)), ToRgb(GetSysColor(COLOR_3DFACE)));
    // The bar: the colour's hue and saturation, brightest at the top, black at the bottom.
    const CRect& rcBar = panel.GetBrightBar();
    const RgbColor top = HsbToRgb(HsbColor{122, 255, static_cast<int>((rcBar.Height() - 1) * (255.0 / rcBar.Height()))});
    EXPECT_EQ(ClientPixel(m_Picker, CPoint(rcBar.left + 5, rcBar.top)), ToRgb(RgbToColorref(top)));
    EXPECT_EQ(ClientPixel(m_Picker, CPoint(rcBar.left + 5, rcBar.bottom - 1)), 0u);
    // The swatches: the old colour and the new one.
    EXPECT_EQ(ClientPixel(m_Picker, panel.GetOldSwatch().CenterPoint()), 0x00F00Cu);
    EXPECT_EQ(ClientPixel(m_Picker, panel.GetNewSwatch().CenterPoint()), 0x00F00Cu);
    // The edit fields show the values.
    EXPECT_EQ(m_Picker.GetDlgItemInt(IDC_PICKER_HUE), 122u);
    EXPECT_EQ(m_Picker.GetDlgItemInt(IDC_PICKER_GREEN), 240u);
    EXPECT_EQ(m_Picker.GetDlgItemInt(IDC_PICKER_ALPHA), 200u);
}

TEST_F(ColorPickerTest, OverlaysDrawnTwiceLeaveThePixelsAsTheyWere)
{
    Open();
    const std::vector<DWORD> before = Pixels(m_Picker.m_hWnd);
    CClientDC dc(&m_Picker);
    m_Picker.GetPanel().DrawHsbOverlay(&dc);
    EXPECT_NE(Pixels(m_Picker.m_hWnd), before);
    m_Picker.GetPanel().DrawHsbOverlay(&dc);
    EXPECT_EQ(Pixels(m_Picker.m_hWnd), before);
    // The RGB overlay also paints the new swatch, which it leaves as it was.
    m_Picker.GetPanel().DrawRgbOverlay(&dc);
    EXPECT_NE(Pixels(m_Picker.m_hWnd), before);
    m_Picker.GetPanel().DrawRgbOverlay(&dc);
    EXPECT_EQ(Pixels(m_Picker.m_hWnd), before);
}

TEST_F(ColorPickerTest, TheWheelTakesPressesUpTo100PixelsAndTheBarSetsBrightness)
{
    Open();
    CColorPickerPanel& panel = m_Picker.GetPanel();
    const CPoint ptCentre = panel.GetWheelCenter();
    // 101 pixels below the centre is outside the wheel (and the bar): nothing changes.
    Drag(ptCentre + CSize(0, 101), ptCentre + CSize(0, 101));
    EXPECT_EQ(panel.GetHsb().h, 122);
    // Exactly 100 to the left starts a drag; above and outside the wheel, saturation stays 255.
    // (With pi taken in single precision, straight up is 89.99999 degrees: hue 89.)
    Drag(ptCentre + CSize(-100, 0), ptCentre + CSize(0, -150));
    EXPECT_EQ(panel.GetHsb().h, 89);
    EXPECT_EQ(panel.GetHsb().s, 255);
    EXPECT_EQ(m_Picker.GetRed(), HsbToRgb(panel.GetHsb()).r);
    EXPECT_EQ(m_Picker.GetDlgItemInt(IDC_PICKER_HUE), 89u);
    // The bar: the bottom is black, above the top is full brightness.
    const CRect& rcBar = panel.GetBrightBar();
    Drag(CPoint(rcBar.left + 3, rcBar.bottom - 1), CPoint(rcBar.left + 3, rcBar.top - 40));
    EXPECT_EQ(panel.GetHsb().b, 255);
    Drag(CPoint(rcBar.left + 3, rcBar.bottom - 1), CPoint(rcBar.left + 3, rcBar.bottom + 40));
    EXPECT_EQ(panel.GetHsb().b, 0);
    EXPECT_EQ(m_Picker.GetColor(), RGB(0, 0, 0));
}

TEST_F(ColorPickerTest, CubeHandlesStopAtTheCentreAndTheAxisEnd)
{
    Open();
    CColorPickerPanel& panel = m_Picker.GetPanel();
    const CPoint ptRed = panel.GetAxisMarker(0).CenterPoint();
    EXPECT_EQ(m_Picker.GetRed(), 0);
    // Up beyond the end of the red axis: 255; down below the centre: 0.
    Drag(ptRed, ptRed + CSize(0, -300));
    EXPECT_EQ(m_Picker.GetRed(), 255);
    EXPECT_EQ(panel.GetHsb().h, RgbToHsb(panel.GetRgb()).h);
    Drag(panel.GetAxisMarker(0).CenterPoint(), ptRed + CSize(30, 300));
    EXPECT_EQ(m_Picker.GetRed(), 0);
    // Green (240, near the end of its 88-pixel axis) dragged 40 pixels toward the centre: about
    // 50 pixels out, green 142 or so.
    const CPoint ptGreen = panel.GetAxisMarker(1).CenterPoint();
    Drag(ptGreen, ptGreen + CSize(40, 0));
    EXPECT_GT(m_Picker.GetGreen(), 130);
    EXPECT_LT(m_Picker.GetGreen(), 155);
    EXPECT_EQ(m_Picker.GetDlgItemInt(IDC_PICKER_GREEN), static_cast<UINT>(m_Picker.GetGreen()));
}

TEST_F(ColorPickerTest, TypedValuesAreClampedAndWrittenBack)
{
    Open();
    struct Case
    {
        int nId;
        const char* szTyped;
        UINT nShown;
    } cases[] = {
        {IDC_PICKER_RED, "300", 255}, {IDC_PICKER_HUE, "360", 359}, {IDC_PICKER_SATURATION, "999", 255},
        {IDC_PICKER_BLUE, "7", 7},
    };
    for (const Case& c : cases)
    {
        m_Picker.SetDlgItemText(c.nId, c.szTyped);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(m_Picker.GetDlgItemInt(c.nId), c.nShown) << c.szTyped;
    }
    EXPECT_EQ(m_Picker.GetBlue(), 7);
    EXPECT_EQ(Text(m_Picker.GetPanel().GetHsb()), Text(RgbToHsb(m_Picker.GetPanel().GetRgb())));
    // Alpha is clamped but nothing is redrawn for it.
    m_Picker.SetDlgItemText(IDC_PICKER_ALPHA, "300");
    EXPECT_EQ(m_Picker.GetAlpha(), 255);
}

namespace
{
// A swatch whose picker "returns" at once with the given result.
class CTestSwatch : public CColorPickerStatic
{
public:
    INT_PTR m_nResult = IDCANCEL;
    int m_nRuns = 0;

protected:
    INT_PTR RunPicker(CColorPickerDlg&) override
    {
        ++m_nRuns;
        return m_nResult;
    }
};
}

TEST_F(ColorPickerTest, TheSwatchAdoptsItsChannelsOnAClickAndThePickersColourOnOk)
{
    CWnd& host = Host(0, 0, 200, 200);
    CTestSwatch swatch;
    ASSERT_TRUE(swatch.Create("", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(10, 10, 50, 40), &host, 100));
    swatch.SetColor(10, 20, 30, 255);
    swatch.SetColor(10, 20, 300, 255);   // refused whole
    swatch.SetRed(200);
    swatch.SetGreen(-1);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(swatch.GetColor(), RGB(0, 0, 0));   // painted only after a click
    EXPECT_EQ(WindowPixel(swatch, 5, 5), 0u);
    const POINT ptSwatch{30, 25};
    m_Driver.mouse(ptSwatch, 0, true);
    m_Driver.mouse(ptSwatch, 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(swatch.m_nRuns, 0);   // the picker is off
    EXPECT_EQ(swatch.GetColor(), RGB(200, 20, 30));
    swatch.Invalidate();
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(swatch, 5, 5), 0xC8141Eu);
    EXPECT_NE(WindowPixel(swatch, 38, 5), 0xC8141Eu);   // the right 4 pixels are left alone
    // With the picker: Cancel keeps the values, OK takes the picker's (here the same colour).
    swatch.EnablePicker(TRUE);
    swatch.SetRed(100);
    m_Driver.advance(1000);
    m_Driver.mouse(ptSwatch, 0, true);
    m_Driver.mouse(ptSwatch, 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(swatch.m_nRuns, 1);
    EXPECT_EQ(swatch.GetRed(), 100);
    swatch.m_nResult = IDOK;
    m_Driver.advance(1000);
    m_Driver.mouse(ptSwatch, 0, true);
    m_Driver.mouse(ptSwatch, 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(swatch.GetColor(), RGB(100, 20, 30));
    EXPECT_EQ(WindowPixel(swatch, 5, 5), 0x64141Eu);
    swatch.DestroyWindow();
}

namespace
{
class ToolPickerTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        const char* szClass = AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        ASSERT_TRUE(m_Owner.CreateEx(0, szClass, "Owner", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr));
        for (int i = 0; i < 5; ++i)
        {
            std::vector<DWORD> pixels(64, 0x204080u + static_cast<DWORD>(i));
            m_hPictures[i] = CreateBitmap(8, 8, 1, 32, pixels.data());
        }
    }
    void TearDown() override
    {
        if (m_Tool.m_hWnd)
            m_Tool.DestroyWindow();
        m_Owner.DestroyWindow();
        for (HBITMAP h : m_hPictures)
            DeleteObject(h);
        GuiTest::TearDown();
    }
    void Open(bool bPictures = true)
    {
        if (bPictures)
        {
            ASSERT_TRUE(m_Tool.SetBitmaps(m_hPictures[0], m_hPictures[1], m_hPictures[2], m_hPictures[3], m_hPictures[4]));
        }
        ASSERT_TRUE(m_Tool.Create(CColorPickerToolDlg::IDD, &m_Owner));
        m_Tool.ShowWindow(SW_SHOW);
        m_Driver.pumpUntilIdle();
    }
    POINT OnScreen(CPoint pt)
    {
        m_Tool.ClientToScreen(&pt);
        return pt;
    }
    // Three steps in the wheel, each to a new colour: the press 20 pixels right of the centre and
    // moves to 30 and 40.
    void DragInWheel()
    {
        const CPoint ptCentre = m_Tool.GetPanel().GetWheelCenter();
        m_Driver.mouse(OnScreen(ptCentre + CSize(20, 0)));
        m_Driver.mouse(OnScreen(ptCentre + CSize(20, 0)), 0, true);
        m_Driver.mouse(OnScreen(ptCentre + CSize(30, 0)));
        m_Driver.mouse(OnScreen(ptCentre + CSize(40, 0)));
        m_Driver.mouse(OnScreen(ptCentre + CSize(40, 0)), 0, false);
        m_Driver.pumpUntilIdle();
    }
    void ClickPin()
    {
        RECT rc{};
        GetRgnBox(m_Tool.GetCaptionButtons().GetButton(0).hRgn, &rc);
        const POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        m_Driver.advance(1000);
        m_Driver.mouse(pt);
        m_Driver.mouse(pt, 0, true);
        m_Driver.mouse(pt, 0, false);
        m_Driver.pumpUntilIdle();
    }
    CRect WindowRect()
    {
        CRect rc;
        m_Tool.GetWindowRect(&rc);
        return rc;
    }

    CApplyHost m_Owner;
    CColorPickerToolDlg m_Tool{RGB(0, 0, 0), 255, nullptr};
    HBITMAP m_hPictures[5] = {};
    float m_Bound[4] = {0.2f, 0.4f, 0.6f, 1.0f};
};
}

TEST_F(ToolPickerTest, FloatColoursAreTruncatedAndClampedAndReadBack)
{
    Open();
    EXPECT_TRUE(m_Tool.SetColor(1.0f, 0.5f, 0.0f, 1.0f));
    EXPECT_EQ(m_Tool.GetRed(), 255);
    EXPECT_EQ(m_Tool.GetGreen(), 127);
    EXPECT_EQ(m_Tool.GetBlue(), 0);
    EXPECT_EQ(m_Tool.GetAlpha(), 255);
    EXPECT_EQ(m_Tool.GetDlgItemInt(IDC_PICKER_GREEN), 127u);
    float r = 0, g = 0, b = 0, a = 0;
    EXPECT_TRUE(m_Tool.GetColor(&r, &g, &b, &a));
    EXPECT_FLOAT_EQ(r, 1.0f);
    EXPECT_NEAR(g, 0.498f, 0.0005f);
    EXPECT_FLOAT_EQ(b, 0.0f);
    EXPECT_FLOAT_EQ(a, 1.0f);
    // Out of range: clamped.
    m_Tool.SetColor(1.5f, -0.2f, 0.5f, 2.0f);
    EXPECT_EQ(m_Tool.GetRed(), 255);
    EXPECT_EQ(m_Tool.GetGreen(), 0);
    EXPECT_EQ(m_Tool.GetBlue(), 127);
    EXPECT_EQ(m_Tool.GetAlpha(), 255);
    EXPECT_EQ(m_Tool.GetPanel().GetOldRgb().b, 127);
}

TEST_F(ToolPickerTest, EachDragStepAppliesOnceAndTypedValuesWaitForApply)
{
    Open();
    EXPECT_FALSE(m_Tool.Apply());   // nothing bound yet
    m_Tool.m_pBoundColor = m_Bound;
    m_Tool.SetColor(m_Bound[0], m_Bound[1], m_Bound[2], m_Bound[3]);
    EXPECT_EQ(m_Tool.IsDlgButtonChecked(CColorPickerToolDlg::IDC_AUTO_CHANGE), 1u);
    DragInWheel();
    const CPoint ptCentre = m_Tool.GetPanel().GetWheelCenter();
    EXPECT_EQ(m_Owner.m_nApplies, 3);
    EXPECT_EQ(m_Owner.m_wLastColor, reinterpret_cast<WPARAM>(m_Bound));
    EXPECT_EQ(m_Tool.GetPanel().GetHsb().h, 0);
    // Typing sends nothing; Apply sends one.
    m_Tool.SetDlgItemText(IDC_PICKER_RED, "12");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Tool.GetRed(), 12);
    EXPECT_EQ(m_Owner.m_nApplies, 3);
    m_Tool.SendMessage(WM_COMMAND, MAKEWPARAM(CColorPickerToolDlg::IDC_APPLY, BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_Tool.GetDlgItem(CColorPickerToolDlg::IDC_APPLY)->m_hWnd));
    EXPECT_EQ(m_Owner.m_nApplies, 4);
    // "Auto Change" off: drags send nothing.
    m_Tool.CheckDlgButton(CColorPickerToolDlg::IDC_AUTO_CHANGE, 0);
    m_Tool.SendMessage(WM_COMMAND, MAKEWPARAM(CColorPickerToolDlg::IDC_AUTO_CHANGE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_Tool.GetDlgItem(CColorPickerToolDlg::IDC_AUTO_CHANGE)->m_hWnd));
    m_Driver.mouse(OnScreen(ptCentre + CSize(0, -20)), 0, true);
    m_Driver.mouse(OnScreen(ptCentre + CSize(0, -30)));
    m_Driver.mouse(OnScreen(ptCentre + CSize(0, -30)), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Owner.m_nApplies, 4);
    EXPECT_EQ(m_Tool.GetPanel().GetHsb().h, 89);
}

TEST_F(ToolPickerTest, ThePinRollsUpAndBackToTheExactPlacement)
{
    Open();
    ASSERT_EQ(m_Tool.GetCaptionButtons().GetButtonCount(), 1);
    m_Tool.MoveWindow(120, 80, 300, 400);
    m_Driver.pumpUntilIdle();
    const CRect rcOpen = WindowRect();
    ClickPin();
    EXPECT_FALSE(m_Tool.IsLockedOpen());
    EXPECT_EQ(WindowRect().Height(), GetSystemMetrics(SM_CYSMSIZE));
    EXPECT_EQ(WindowRect().TopLeft(), rcOpen.TopLeft());
    // Moved while rolled up, then pinned open again: the placement it had.
    m_Tool.SetWindowPos(nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowRect().TopLeft(), CPoint(200, 150));
    ClickPin();
    EXPECT_TRUE(m_Tool.IsLockedOpen());
    EXPECT_EQ(WindowRect(), rcOpen);
}

TEST_F(ToolPickerTest, WithoutPicturesThereIsNoPinAndOneError)
{
    ClearLogLines();
    EXPECT_FALSE(m_Tool.SetBitmaps(m_hPictures[0], nullptr, m_hPictures[2], m_hPictures[3], m_hPictures[4]));
    Open(false);
    EXPECT_EQ(m_Tool.GetCaptionButtons().GetButtonCount(), 0);
    int nErrors = 0;
    for (const LogLine& line : GetLogLines())
        nErrors += line.m_strText.find("CBaseToolDlg::CBaseToolDlg() - The bitmaps are null.") != std::string::npos;
    EXPECT_EQ(nErrors, 1);
    // The picker works without its pin.
    m_Tool.SetColor(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(m_Tool.GetPanel().GetHsb().h, 240);
}

TEST_F(ToolPickerTest, ScrollRangesFollowTheHiddenExtentInWholeSteps)
{
    Open();
    const CRect rcFull = WindowRect();
    struct Case
    {
        int dx, dy;
        int nHMax, nVMax;
        bool bGrip;
    } cases[] = {
        // A bar a case shows takes its band from the client area the next case measures, so
        // the case without bars comes first.
        {-7, -7, 0, 0, true},    // less than a step: no bars, the grip stays
        {-12, 0, 1, 0, false},   // 12 / 8: the last 4 pixels cannot be scrolled into view
        {30, 40, 0, 0, true},    // larger: no bars
        {-70, -20, 8, 2, false},
    };
    for (const Case& c : cases)
    {
        m_Tool.MoveWindow(rcFull.left, rcFull.top, rcFull.Width() + c.dx, rcFull.Height() + c.dy);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(m_Tool.GetHScrollMax(), c.nHMax) << c.dx << "," << c.dy;
        EXPECT_EQ(m_Tool.GetVScrollMax(), c.nVMax) << c.dx << "," << c.dy;
        EXPECT_EQ(m_Tool.GetSizeGrip().IsWindowVisible() != FALSE, c.bGrip) << c.dx << "," << c.dy;
    }
    // A vertical page is the whole hidden height; a horizontal page 8 steps, clamped.
    CRect rcApply;
    m_Tool.GetDlgItem(CColorPickerToolDlg::IDC_APPLY)->GetWindowRect(&rcApply);
    m_Tool.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(m_Tool.GetVScrollPos(), 2);
    m_Tool.SendMessage(WM_HSCROLL, SB_LINERIGHT);
    m_Tool.SendMessage(WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_EQ(m_Tool.GetHScrollPos(), 8);
    m_Tool.SendMessage(WM_HSCROLL, SB_PAGELEFT);
    EXPECT_EQ(m_Tool.GetHScrollPos(), 0);
    m_Tool.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5));
    EXPECT_EQ(m_Tool.GetHScrollPos(), 5);
    EXPECT_EQ(GetScrollPos(m_Tool.m_hWnd, SB_HORZ), 5);
    // The content moved with the scroll; a resize puts it back at the origin.
    CRect rcMoved;
    m_Tool.GetDlgItem(CColorPickerToolDlg::IDC_APPLY)->GetWindowRect(&rcMoved);
    EXPECT_EQ(rcMoved.TopLeft(), rcApply.TopLeft() - CSize(40, 16));
    m_Tool.MoveWindow(rcFull.left, rcFull.top, rcFull.Width() + 1, rcFull.Height() - 20);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Tool.GetHScrollPos(), 0);
    EXPECT_EQ(m_Tool.GetVScrollPos(), 0);
    m_Tool.GetDlgItem(CColorPickerToolDlg::IDC_APPLY)->GetWindowRect(&rcMoved);
    EXPECT_EQ(rcMoved.TopLeft(), rcApply.TopLeft());
}

namespace
{
// A property tree that counts the colours the picker applies to it.
class CCountingTree : public CBaseTreeCtrl
{
public:
    int m_nApplies = 0;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_nApplies += message == WM_COLORPICKER_APPLY;
        return CBaseTreeCtrl::DefWindowProc(message, wParam, lParam);
    }
};
}

TEST_F(ToolPickerTest, TheTreesColourItemTakesEachAppliedColourAndOnlyThat)
{
    Open();
    CCountingTree tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES, CRect(600, 400, 890, 690), &m_Owner, 1000));
    float colours[3][4] = {{9, 9, 9, 9}, {0.2f, 0.4f, 0.6f, 1.0f}, {7, 7, 7, 7}};
    HTREEITEM hRoot = tree.InsertItem("Light List");
    HTREEITEM hColor = tree.InsertColorItem(colours[1], "Diffuse Color", &m_Tool, hRoot);
    ASSERT_NE(hColor, nullptr);
    EXPECT_EQ(tree.GetItemText(hColor), "Diffuse Color");
    tree.Expand(hRoot, TVE_EXPAND);
    tree.SelectItem(hColor);
    EXPECT_EQ(tree.GetSelectedType(), TREE_ITEM_COLOR);
    CRect rc;
    ASSERT_TRUE(tree.GetItemRect(hColor, &rc, TRUE));
    tree.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(rc.CenterPoint().x, rc.CenterPoint().y));
    // The picker shows the item's colour and sends its changes to the tree.
    EXPECT_EQ(m_Tool.GetRed(), 51);
    EXPECT_EQ(m_Tool.GetGreen(), 102);
    EXPECT_EQ(m_Tool.GetBlue(), 153);
    EXPECT_EQ(m_Tool.m_pBoundColor, colours[1]);
    EXPECT_EQ(m_Tool.m_pOwnerWnd, &tree);
    EXPECT_EQ(tree.m_nApplies, 0);   // opening changes nothing

    auto expectPickerColour = [&] {
        float r, g, b, a;
        m_Tool.GetColor(&r, &g, &b, &a);
        EXPECT_EQ(colours[1][0], r);
        EXPECT_EQ(colours[1][1], g);
        EXPECT_EQ(colours[1][2], b);
        EXPECT_EQ(colours[1][3], a);
    };
    DragInWheel();
    EXPECT_EQ(tree.m_nApplies, 3);
    EXPECT_EQ(m_Owner.m_nApplies, 0);
    expectPickerColour();
    EXPECT_NE(colours[1][0], 0.2f);

    // A typed value waits for Apply.
    const float fRedBefore = colours[1][0];
    m_Tool.SetDlgItemText(IDC_PICKER_RED, "12");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(tree.m_nApplies, 3);
    EXPECT_EQ(colours[1][0], fRedBefore);
    m_Tool.SendMessage(WM_COMMAND, MAKEWPARAM(CColorPickerToolDlg::IDC_APPLY, BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_Tool.GetDlgItem(CColorPickerToolDlg::IDC_APPLY)->m_hWnd));
    EXPECT_EQ(tree.m_nApplies, 4);
    EXPECT_FLOAT_EQ(colours[1][0], 12 / 255.0f);
    expectPickerColour();
    // The colours beside the bound one are never written; the label stays.
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(colours[0][i], 9.0f);
        EXPECT_EQ(colours[2][i], 7.0f);
    }
    EXPECT_EQ(tree.GetItemText(hColor), "Diffuse Color");
    // An apply without a picker is refused with the warning and writes nothing.
    ClearLogLines();
    tree.SendMessage(WM_COLORPICKER_APPLY, reinterpret_cast<WPARAM>(colours[0]), 0);
    EXPECT_EQ(colours[0][0], 9.0f);
    ASSERT_FALSE(GetLogLines().empty());
    EXPECT_NE(GetLogLines().back().m_strText.find("The color picker tool dialog is null"), std::string::npos);
    tree.DestroyWindow();
}

TEST_F(ToolPickerTest, AColourItemWithoutAPickerWarnsAndKeepsItsColour)
{
    CCountingTree tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 290, 290), &m_Owner, 1000));
    float colour[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    HTREEITEM hColor = tree.InsertColorItem(colour, "Red", nullptr, TVI_ROOT);
    ClearLogLines();
    tree.SelectItem(hColor);
    EXPECT_EQ(tree.EditColorItem(hColor), 1);
    EXPECT_EQ(colour[0], 0.1f);
    ASSERT_FALSE(GetLogLines().empty());
    EXPECT_NE(GetLogLines().back().m_strText.find("CBaseTreeCtrlColor::UpdateValueFromPointer() - The color picker is null"),
              std::string::npos);
    tree.DestroyWindow();
}
