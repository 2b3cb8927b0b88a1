// The bitmap button on a host window: its states drawn from the default skin, check mode, auto
// repeat on the layer clock, double clicks, and a missing skin bitmap.
#include "../win32/GoldenKit.h"
#include "GuiTestKit.h"
#include "mfc_gui/BtnST.h"

#include <win32/cursor.h>

#include <functional>

namespace
{
const COLORREF SKIN_TRANSPARENT = RGB(93, 93, 93);
const COLORREF HOST_COLOR = RGB(40, 120, 60);
const UINT BUTTON_ID = 1015;

// Records each BN_CLICKED with the button's check state as its handler sees it.
class CClickHost : public CWnd
{
public:
    CBtnST* m_pButton = nullptr;
    std::vector<int> m_Checks;

protected:
    afx_msg void OnButtonClicked() { m_Checks.push_back(m_pButton ? m_pButton->GetCheck() : -1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickHost, CWnd)
    ON_BN_CLICKED(BUTTON_ID, &CClickHost::OnButtonClicked)
END_MESSAGE_MAP()

std::string SkinFile(const std::string& strName)
{
    return std::string(QUEN_DATA_DIR) + "/skins/default/" + strName;
}

class BtnSTTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_hBrush = CreateSolidBrush(HOST_COLOR);
        const char* szClass = AfxRegisterWndClass(0, nullptr, m_hBrush);
        ASSERT_TRUE(m_Parent.CreateEx(0, szClass, "Skinned", WS_POPUP | WS_VISIBLE, 50, 50, 200, 120, nullptr, nullptr));
        m_Parent.m_pButton = &m_Button;
        // The tool windows live in the active main window, and have painted before their skin
        // is loaded.
        m_Parent.SetActiveWindow();
        m_Driver.pumpUntilIdle();
    }
    void TearDown() override
    {
        m_Parent.DestroyWindow();
        DeleteObject(m_hBrush);
        GuiTest::TearDown();
    }
    // The skin's Play button at (20, 20) in the parent, 71 x 39 like its bitmaps.
    void MakeButton(DWORD nStyle, bool bSkinned)
    {
        ASSERT_TRUE(m_Button.Create("Play", WS_CHILD | WS_VISIBLE | nStyle, CRect(20, 20, 91, 59), &m_Parent, BUTTON_ID));
        if (bSkinned)
        {
            m_Button.SetWindowText("");
            m_Button.SetDrawTransparent(TRUE);
            EXPECT_EQ(m_Button.SetBitmapsFromFiles(SkinFile("Play on.bmp").c_str(), SKIN_TRANSPARENT,
                                                   SkinFile("Play off.bmp").c_str(), SKIN_TRANSPARENT),
                      0u);
            m_Button.SetDrawBorder(FALSE);
        }
        m_Driver.pumpUntilIdle();
    }
    POINT Centre() const
    {
        CRect rc;
        m_Button.GetWindowRect(&rc);
        return {rc.CenterPoint().x, rc.CenterPoint().y};
    }
    void Click()
    {
        m_Driver.mouse(Centre(), 0, true);
        m_Driver.mouse(Centre(), 0, false);
        m_Driver.pumpUntilIdle();
    }
    // The skin bitmap's own pixel (0xRRGGBB).
    static uint32_t SkinPixel(const char* szName, int x, int y)
    {
        HBITMAP hBitmap = static_cast<HBITMAP>(LoadImageA(nullptr, SkinFile(szName).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        HDC hdc = CreateCompatibleDC(nullptr);
        HGDIOBJ hOld = SelectObject(hdc, hBitmap);
        const COLORREF c = GetPixel(hdc, x, y);
        SelectObject(hdc, hOld);
        DeleteDC(hdc);
        DeleteObject(hBitmap);
        return ToRgb(c);
    }

    CClickHost m_Parent;
    CBtnST m_Button;
    HBRUSH m_hBrush = nullptr;
};
}

TEST_F(BtnSTTest, StatesAreDrawnFromTheSkinOverTheParentsBackground)
{
    MakeButton(BS_PUSHBUTTON, true);
    // Out: the off bitmap; its transparent corners show the parent.
    EXPECT_EQ(WindowPixel(m_Button, 35, 30), SkinPixel("Play off.bmp", 35, 30));
    EXPECT_EQ(WindowPixel(m_Button, 0, 0), ToRgb(HOST_COLOR));
    int nDiffering = CompareWithGolden(m_Button, "btnst_out");
    // Hover: the on bitmap, no border (the skin turned it off).
    m_Driver.mouse(Centre());
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 30), SkinPixel("Play on.bmp", 35, 30));
    EXPECT_EQ(WindowPixel(m_Button, 0, 0), ToRgb(HOST_COLOR));
    nDiffering += std::max(0, CompareWithGolden(m_Button, "btnst_hover"));
    // The mouse gone: out again, and the capture is given back.
    m_Driver.mouse(POINT{300, 300});
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 30), SkinPixel("Play off.bmp", 35, 30));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    // Disabled: the bitmap is drawn as it is, and hovering does nothing.
    m_Button.EnableWindow(FALSE);
    m_Driver.mouse(Centre());
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 30), SkinPixel("Play off.bmp", 35, 30));
    if (nDiffering < 0)
        GTEST_SKIP() << "the golden was drawn with other fonts";
    EXPECT_EQ(nDiffering, 0);
}

TEST_F(BtnSTTest, APressedPushButtonShowsTheInBitmapMovedByOnePixel)
{
    MakeButton(BS_PUSHBUTTON, true);
    m_Driver.mouse(Centre());
    m_Driver.mouse(Centre(), 0, true);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 36, 31), SkinPixel("Play on.bmp", 35, 30));
    int nDiffering = CompareWithGolden(m_Button, "btnst_pressed");
    m_Driver.mouse(Centre(), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Parent.m_Checks.size(), 1u);
    if (nDiffering < 0)
        GTEST_SKIP() << "the golden was drawn with other fonts";
    EXPECT_EQ(nDiffering, 0);
}

TEST_F(BtnSTTest, CheckModeFlipsBeforeTheParentsHandler)
{
    MakeButton(BS_AUTOCHECKBOX, true);
    Click();
    Click();
    Click();
    EXPECT_EQ(m_Parent.m_Checks, (std::vector<int>{1, 0, 1}));
    // Checked, with the mouse gone, it keeps the in bitmap (a check box does not hover).
    m_Driver.mouse(POINT{300, 300});
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 30), SkinPixel("Play on.bmp", 35, 30));
    int nDiffering = CompareWithGolden(m_Button, "btnst_checked");
    m_Button.SetCheck(0);
    EXPECT_EQ(WindowPixel(m_Button, 35, 30), SkinPixel("Play off.bmp", 35, 30));
    m_Driver.mouse(Centre());
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 30), SkinPixel("Play off.bmp", 35, 30));
    // A double click counts as two clicks.
    m_Driver.mouse(Centre(), 0, true);
    m_Driver.mouse(Centre(), 0, false);
    m_Driver.mouse(Centre(), 0, true);
    m_Driver.mouse(Centre(), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Parent.m_Checks, (std::vector<int>{1, 0, 1, 1, 0}));
    // A plain push button has no check state.
    CBtnST push;
    ASSERT_TRUE(push.Create("Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(100, 20, 150, 40), &m_Parent, 2));
    push.SetCheck(1);
    EXPECT_EQ(push.GetCheck(), 0);
    EXPECT_EQ(push.SetColor(4, RGB(1, 2, 3)), 3u);
    if (nDiffering < 0)
        GTEST_SKIP() << "the golden was drawn with other fonts";
    EXPECT_EQ(nDiffering, 0);
}

TEST_F(BtnSTTest, AutoRepeatClicksEveryPeriodWhileHeld)
{
    MakeButton(BS_PUSHBUTTON, true);
    m_Button.SetAutoRepeat(TRUE, 100);
    // Held from 0 to 450 ms: clicks at 0, 100, 200, 300 and 400; the fifth flip leaves the toggle
    // at 0, so one more goes out.
    m_Driver.mouse(Centre(), 0, true);
    m_Driver.at(450, [this] { m_Driver.mouse(Centre(), 0, false); });
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Parent.m_Checks.size(), 6u);
    EXPECT_GE(m_Driver.now(), 450);
    // The mouse is still over the button, which takes the capture to track its hover.
    EXPECT_EQ(CWnd::GetCapture(), &m_Button);
    m_Driver.mouse(POINT{400, 400});
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(BtnSTTest, AMissingBitmapKeepsTheCaptionAndTheClicks)
{
    MakeButton(BS_PUSHBUTTON, false);
    EXPECT_EQ(m_Button.SetBitmapsFromFiles(SkinFile("Nothing on.bmp").c_str(), SKIN_TRANSPARENT,
                                           SkinFile("Nothing off.bmp").c_str(), SKIN_TRANSPARENT),
              0u);
    m_Driver.pumpUntilIdle();
    int nDiffering = CompareWithGolden(m_Button, "btnst_caption");
    Click();
    EXPECT_EQ(m_Parent.m_Checks.size(), 1u);
    if (nDiffering < 0)
        GTEST_SKIP() << "the golden was drawn with other fonts";
    EXPECT_EQ(nDiffering, 0);
}

// A solid 16 x 16 colour icon (0x00RRGGBB pixels) with nothing transparent.
static HICON SolidIcon(DWORD nColor)
{
    const std::vector<DWORD> colours(16 * 16, nColor);
    const std::vector<WORD> mask(16, 0);
    HBITMAP hColor = CreateBitmap(16, 16, 1, 32, colours.data());
    HBITMAP hMask = CreateBitmap(16, 16, 1, 1, mask.data());
    ICONINFO info{TRUE, 0, 0, hMask, hColor};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hColor);
    DeleteObject(hMask);
    return hIcon;
}

TEST_F(BtnSTTest, IconsShowInAndOutAndGreyWhileDisabledAndTheButtonSetsItsCursor)
{
    MakeButton(BS_PUSHBUTTON, false);
    m_Button.SetWindowText("");
    const DWORD nIn = 0xC01010, nOut = 0x1010C0;
    EXPECT_EQ(m_Button.SetIcon(SolidIcon(nIn), SolidIcon(nOut)), 0u);
    const BYTE planes[32] = {};
    HCURSOR hHand = CreateCursor(nullptr, 0, 0, 16, 16, planes, planes);
    EXPECT_TRUE(m_Button.SetBtnCursor(hHand));
    m_Driver.pumpUntilIdle();
    // The 16 x 16 icon (its size from its centre) is centred in the 71 x 39 button.
    EXPECT_EQ(WindowPixel(m_Button, 27, 11), nOut);
    EXPECT_EQ(WindowPixel(m_Button, 42, 26), nOut);
    EXPECT_NE(WindowPixel(m_Button, 26, 11), nOut);
    EXPECT_NE(WindowPixel(m_Button, 43, 26), nOut);
    // Hovered: the in icon, and the button's own cursor.
    SetCursor(nullptr);
    m_Driver.mouse(Centre());
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 19), nIn);
    EXPECT_EQ(GetCursor(), hHand);
    m_Driver.mouse(POINT{300, 300});
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 19), nOut);
    // Disabled: the icon's shape in the shadow colour, its highlight one pixel right and below.
    m_Button.EnableWindow(FALSE);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 19), ToRgb(GetSysColor(COLOR_3DSHADOW)));
    EXPECT_EQ(WindowPixel(m_Button, 43, 27), ToRgb(GetSysColor(COLOR_3DHILIGHT)));
    // No cursor of its own: the class's choice again; a missing resource is reported.
    EXPECT_TRUE(m_Button.SetBtnCursor(0));
    EXPECT_FALSE(m_Button.SetBtnCursor(9999));
    // Bitmaps replace the icons.
    m_Button.EnableWindow(TRUE);
    EXPECT_EQ(m_Button.SetBitmapsFromFiles(SkinFile("Play on.bmp").c_str(), SKIN_TRANSPARENT, nullptr, 0), 0u);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(WindowPixel(m_Button, 35, 30), SkinPixel("Play on.bmp", 35, 30));
}

TEST_F(BtnSTTest, TheTooltipShowsAfterItsDelayAndFollowsNewText)
{
    MakeButton(BS_PUSHBUTTON, true);
    m_Button.SetTooltipText(static_cast<const char*>(nullptr));
    EXPECT_EQ(m_Button.GetTooltip()->m_hWnd, nullptr);
    m_Button.SetTooltipText("Play the camera path");
    m_Button.SetTooltipText("Play the path");
    ASSERT_NE(m_Button.GetTooltip()->m_hWnd, nullptr);
    EXPECT_EQ(m_Button.GetTooltip()->GetToolCount(), 1);
    CString strText;
    m_Button.GetTooltip()->GetText(strText, &m_Button, 1);
    EXPECT_EQ(std::string(strText), "Play the path");

    // The button relays its mouse messages; the tip shows after 500 ms on the layer clock.
    const POINT ptCentre = Centre();
    m_Driver.mouse(ptCentre);
    MSG msg{};
    msg.hwnd = m_Button.m_hWnd;
    msg.message = WM_MOUSEMOVE;
    CPoint ptClient = ptCentre;
    m_Button.ScreenToClient(&ptClient);
    msg.lParam = MAKELPARAM(ptClient.x, ptClient.y);
    m_Button.PreTranslateMessage(&msg);
    m_Driver.advance(499);
    m_Driver.pumpUntilIdle();
    EXPECT_FALSE(m_Button.GetTooltip()->IsWindowVisible());
    m_Driver.advance(1);
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(m_Button.GetTooltip()->IsWindowVisible());
}
