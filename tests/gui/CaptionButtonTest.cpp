// Caption buttons on a tool window: slot geometry (reserved slots, insertion), the
// pictures drawn with their transparent colour, clicks only for a press and release on the same
// button, the held state reset when a held button goes, and regions that follow the window.
#include "GuiTestKit.h"
#include "mfc_gui/CaptionButtonManager.h"


namespace
{
const COLORREF MAGENTA = RGB(255, 0, 255);

// Records the manager's messages.
class CCaptionHost : public CWnd
{
public:
    std::vector<UINT> m_Clicks;
    int m_nClientMoves = 0;
    int m_nNcMoves = 0;

protected:
    afx_msg LRESULT OnClicked(WPARAM wParam, LPARAM)
    {
        m_Clicks.push_back(static_cast<UINT>(wParam));
        return 0;
    }
    afx_msg LRESULT OnClientMove(WPARAM, LPARAM)
    {
        ++m_nClientMoves;
        return 0;
    }
    afx_msg LRESULT OnNcMove(WPARAM, LPARAM)
    {
        ++m_nNcMoves;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCaptionHost, CWnd)
    ON_MESSAGE(WM_CAPTIONBUTTON_CLICKED, &CCaptionHost::OnClicked)
    ON_MESSAGE(WM_CAPTIONBUTTON_CLIENTMOVE, &CCaptionHost::OnClientMove)
    ON_MESSAGE(WM_CAPTIONBUTTON_NCMOVE, &CCaptionHost::OnNcMove)
END_MESSAGE_MAP()

// An 8 x 8 picture of one colour with a magenta (transparent) top-left pixel.
HBITMAP Picture(DWORD nColor)
{
    std::vector<DWORD> pixels(64, nColor);
    pixels[0] = 0xFF00FF;
    return CreateBitmap(8, 8, 1, 32, pixels.data());
}

class CaptionButtonTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_hNormal = Picture(0x0000C0);
        m_hPressed = Picture(0xC00000);
        m_hOverlay = Picture(0x00C000);
    }
    void TearDown() override
    {
        if (m_Window.m_hWnd)
            m_Window.DestroyWindow();
        for (HBITMAP h : {m_hNormal, m_hPressed, m_hOverlay})
            DeleteObject(h);
        GuiTest::TearDown();
    }
    void Open()
    {
        const char* szClass = AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1));
        ASSERT_TRUE(m_Window.CreateEx(WS_EX_TOOLWINDOW, szClass, "Tool", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                      100, 100, 200, 150, nullptr, nullptr));
        m_Manager.Attach(m_Window.m_hWnd);
        m_Manager.SetReservedButtonCount(1);
        m_Manager.SetTransparentColor(MAGENTA);
        m_Manager.SetHeldOverlay(m_hOverlay);
        m_Driver.pumpUntilIdle();
    }
    POINT Centre(int nIndex) const
    {
        RECT rc{};
        GetRgnBox(m_Manager.GetButton(nIndex).hRgn, &rc);
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    void Press(POINT pt)
    {
        m_Driver.mouse(pt);
        m_Driver.mouse(pt, 0, true);
        m_Driver.pumpUntilIdle();
    }
    void Release(POINT pt)
    {
        m_Driver.mouse(pt);
        m_Driver.mouse(pt, 0, false);
        m_Driver.pumpUntilIdle();
    }

    CCaptionHost m_Window;
    CCaptionButtonManager m_Manager;
    HBITMAP m_hNormal = nullptr, m_hPressed = nullptr, m_hOverlay = nullptr;
};
}

TEST_F(CaptionButtonTest, SlotsSitLeftOfTheReservedButtonsAndAboveTheMenu)
{
    Open();
    ASSERT_TRUE(m_Manager.AddButton(1, m_hPressed, m_hNormal, "Pin"));
    EXPECT_FALSE(m_Manager.AddButton(1, m_hPressed, m_hNormal, "Again"));
    // Tool window, no thick frame: small buttons of 12 x 15 and a frame of 3.
    RECT rc{};
    GetRgnBox(m_Manager.GetButton(0).hRgn, &rc);
    EXPECT_EQ(rc.right, 300 - 3 - 12);
    EXPECT_EQ(rc.left, 300 - 3 - 24);
    EXPECT_EQ(rc.top, 103);
    EXPECT_EQ(rc.bottom, 118);
    EXPECT_EQ(m_Manager.GetButtonRect(2, true), CRect(rc.left - 103, rc.top - 103 - 16, rc.right - 103, rc.bottom - 103 - 16));

    // Inserted at 0 the new button is rightmost and the others move one slot left.
    ASSERT_TRUE(m_Manager.AddButton(2, nullptr, m_hNormal, "Two"));
    ASSERT_TRUE(m_Manager.AddButton(3, m_hPressed, m_hNormal, "Three", 0));
    EXPECT_FALSE(m_Manager.AddButton(4, m_hPressed, m_hNormal, "Far", 9));
    const UINT order[3] = {3, 1, 2};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(m_Manager.GetButton(i).id, order[i]);
        GetRgnBox(m_Manager.GetButton(i).hRgn, &rc);
        EXPECT_EQ(rc.right, 300 - 3 - 12 * (i + 1)) << i;
    }
    EXPECT_EQ(m_Manager.GetButton(1).hbmPressed, m_hPressed);
    EXPECT_EQ(m_Manager.GetButton(2).hbmPressed, m_hNormal);   // a missing pressed picture is the normal one

    // The picture is drawn a quarter of the size difference into its slot; its magenta pixel
    // leaves the caption showing.
    GetRgnBox(m_Manager.GetButton(0).hRgn, &rc);
    const int x = (18 - 8) / 2 / 2 + rc.left - 100, y = (18 - 8) / 2 / 2 + rc.top - 100;
    EXPECT_EQ(WindowPixel(m_Window, x + 1, y + 1), 0x0000C0u);
    EXPECT_NE(WindowPixel(m_Window, x, y), 0xFF00FFu);

    // Moving the window moves every region.
    m_Window.SetWindowPos(nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetRgnBox(m_Manager.GetButton(0).hRgn, &rc);
    EXPECT_EQ(rc.right, 500 - 3 - 12);
    EXPECT_EQ(rc.top, 253);
}

TEST_F(CaptionButtonTest, OnlyAPressAndReleaseOnTheSameButtonClicks)
{
    Open();
    ASSERT_TRUE(m_Manager.AddButton(7, m_hPressed, m_hNormal, "Pin"));
    ASSERT_TRUE(m_Manager.AddButton(8, m_hPressed, m_hNormal, "Other"));
    // In and out again: a click.
    Press(Centre(0));
    EXPECT_EQ(m_Manager.GetHeldButton(), 0);
    EXPECT_EQ(CWnd::GetCapture(), &m_Window);
    Release(Centre(0));
    EXPECT_EQ(m_Window.m_Clicks, std::vector<UINT>{7});
    EXPECT_EQ(m_Manager.GetHeldButton(), -1);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    // Released outside, or over the other button: none, and the held state ends.
    Press(Centre(0));
    Release(POINT{150, 200});
    Press(Centre(0));
    Release(Centre(1));
    EXPECT_EQ(m_Window.m_Clicks, std::vector<UINT>{7});
    EXPECT_EQ(m_Manager.GetHeldButton(), -1);
    // A press away from the buttons is the window's own (its move loop; nothing held).
    m_Driver.mouse(POINT{150, 108});
    m_Driver.mouse(POINT{150, 108}, 0, true);
    m_Driver.mouse(POINT{150, 108}, 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Manager.GetHeldButton(), -1);
    EXPECT_EQ(m_Window.m_Clicks, std::vector<UINT>{7});
    // A client move with nothing held reports and draws nothing.
    const int nMoves = m_Window.m_nClientMoves;
    m_Driver.mouse(POINT{150, 180});
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Window.m_nClientMoves, nMoves + 1);
    EXPECT_EQ(m_Manager.GetHotButton(), -1);
}

TEST_F(CaptionButtonTest, AButtonRemovedWhileHeldEndsTheHoldAndClicksNothing)
{
    Open();
    ASSERT_TRUE(m_Manager.AddButton(7, m_hPressed, m_hNormal, "Pin"));
    ASSERT_TRUE(m_Manager.AddButton(8, m_hPressed, m_hNormal, "Other"));
    const POINT ptSeven = Centre(0);
    Press(Centre(1));
    EXPECT_EQ(m_Manager.GetHeldButton(), 1);
    m_Manager.RemoveButton(8);
    EXPECT_EQ(m_Manager.GetButtonCount(), 1);
    EXPECT_EQ(m_Manager.GetHeldButton(), -1);
    Release(ptSeven);
    EXPECT_TRUE(m_Window.m_Clicks.empty());
    // A later press on the remaining button works as before.
    Press(ptSeven);
    Release(ptSeven);
    EXPECT_EQ(m_Window.m_Clicks, std::vector<UINT>{7});
    // Changing a button keeps its slot under its new id.
    EXPECT_TRUE(m_Manager.SetButton(7, 9, m_hPressed, m_hNormal, "Nine"));
    EXPECT_FALSE(m_Manager.SetButton(7, 10, m_hPressed, m_hNormal, "Gone"));
    Press(ptSeven);
    Release(ptSeven);
    EXPECT_EQ(m_Window.m_Clicks, (std::vector<UINT>{7, 9}));
}

TEST_F(CaptionButtonTest, DestroyingTheWindowDetachesTheManager)
{
    Open();
    ASSERT_TRUE(m_Manager.AddButton(1, m_hPressed, m_hNormal, "Pin"));
    HWND hTip = m_Manager.GetToolTip();
    ASSERT_NE(hTip, nullptr);
    m_Window.DestroyWindow();
    EXPECT_EQ(m_Manager.GetToolTip(), nullptr);
    EXPECT_FALSE(IsWindow(hTip));
}

TEST(CaptionDrawingTest, TransparentBitmapsAndIconsBecomeCaptionPictures)
{
    win32::Driver driver;
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hCanvas = CreateBitmap(8, 8, 1, 32, std::vector<DWORD>(64, 0x102030).data());
    HGDIOBJ hOld = SelectObject(hdc, hCanvas);
    HBITMAP hPicture = Picture(0x0000C0);
    DrawTransparentBitmap(hdc, hPicture, 0, 0, MAGENTA);
    EXPECT_EQ(GetPixel(hdc, 0, 0), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(GetPixel(hdc, 1, 0), RGB(0, 0, 0xC0));
    // The canvas colours are left as they were.
    EXPECT_EQ(GetBkColor(hdc), RGB(255, 255, 255));
    // Combined over the canvas's own colour: the canvas vanishes, the picture shows whole.
    SelectObject(hdc, hOld);
    HBITMAP hCombined = CombineBitmaps(hCanvas, hPicture, RGB(0x10, 0x20, 0x30));
    SelectObject(hdc, hCombined);
    EXPECT_EQ(GetPixel(hdc, 0, 0), MAGENTA);
    EXPECT_EQ(GetPixel(hdc, 5, 5), RGB(0, 0, 0xC0));
    EXPECT_EQ(CombineBitmaps(nullptr, hPicture, 0), nullptr);
    // An icon over the colour: its transparent pixels (black in its colour image) take it.
    std::vector<DWORD> colours(16 * 16, 0x00FF00);
    colours[0] = 0;
    std::vector<WORD> mask(16, 0);
    mask[0] = 0x0080;
    ICONINFO info{TRUE, 0, 0, CreateBitmap(16, 16, 1, 1, mask.data()), CreateBitmap(16, 16, 1, 32, colours.data())};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    HBITMAP hIconBitmap = IconToBitmap(hIcon, MAGENTA);
    SelectObject(hdc, hIconBitmap);
    EXPECT_EQ(GetPixel(hdc, 0, 0), MAGENTA);
    EXPECT_EQ(GetPixel(hdc, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(IconToBitmap(nullptr, 0), nullptr);
    SelectObject(hdc, hOld);
    for (HBITMAP h : {hCanvas, hPicture, hCombined, hIconBitmap})
        DeleteObject(h);
    DestroyIcon(hIcon);
    DeleteDC(hdc);
}
