// The alpha image list: the normal, dark and grey states of each pixel against their formulas
// (written out), transparency by alpha and by the mask colour, and the refused states.
#include "GuiTestKit.h"
#include "mfc_gui/AlphaImageList.h"
#include "mfc_gui/AlphaToolBar.h"

namespace
{
const UINT STRIP_ID = 901;
const uint32_t GROUND = 0x103050;   // what transparent pixels leave

class AlphaImageListTest : public GuiTest
{
protected:
    void Register(int nBits, const std::vector<uint32_t>& pixels)
    {
        m_Bmp = MakeBmp(static_cast<int>(pixels.size()), 1, nBits, pixels);
        m_Entry = {"BITMAP", static_cast<int>(STRIP_ID), m_Bmp.data(), m_Bmp.size()};
        RegisterResourceTable(&m_Entry, 1);
    }
    // Draws image 0 in a state over the ground colour; the pixels as 0xRRGGBB.
    std::vector<uint32_t> DrawState(CAlphaImageList& list, int nState, int nWidth, BOOL* pResult = nullptr)
    {
        CClientDC dcScreen(nullptr);
        CDC dc;
        dc.CreateCompatibleDC(&dcScreen);
        CBitmap target;
        target.CreateCompatibleBitmap(&dcScreen, nWidth + 2, 3);
        CBitmap* pOld = dc.SelectObject(&target);
        dc.FillSolidRect(0, 0, nWidth + 2, 3, RGB(GROUND >> 16, GROUND >> 8 & 0xFF, GROUND & 0xFF));
        const BOOL bResult = list.Draw(&dc, 1, 1, nState, 0);
        if (pResult)
            *pResult = bResult;
        std::vector<uint32_t> pixels;
        for (int x = 0; x < nWidth; ++x)
            pixels.push_back(ToRgb(dc.GetPixel(1 + x, 1)));
        dc.SelectObject(pOld);
        return pixels;
    }

    std::vector<uint8_t> m_Bmp;
    ResourceEntry m_Entry{};
};
}

TEST_F(AlphaImageListTest, ThreeStatesOfEachPixel)
{
    // White, mid grey, red, a dark blue-green and a transparent pixel.
    Register(32, {0xFFFFFFFF, 0xFF808080, 0xFFFF0000, 0xFF204060, 0x00FFFFFF});
    CAlphaImageList list;
    ASSERT_TRUE(list.Create(5, 1, 1, 0));
    EXPECT_EQ(list.GetDepth(), 32);
    ASSERT_TRUE(list.AddBitmap(STRIP_ID));
    // Grey: 255 * sqrt(luma / 255); dark: 255 * (c / 255)^1.4, both truncated.
    EXPECT_EQ(DrawState(list, 0, 5), (std::vector<uint32_t>{0xFFFFFF, 0x808080, 0xFF0000, 0x204060, GROUND}));
    EXPECT_EQ(DrawState(list, 1, 5), (std::vector<uint32_t>{0xFFFFFF, 0x616161, 0xFF0000, 0x0D2440, GROUND}));
    EXPECT_EQ(DrawState(list, 2, 5), (std::vector<uint32_t>{0xFFFFFF, 0xB4B4B4, 0x8B8B8B, 0x797979, GROUND}));
}

TEST_F(AlphaImageListTest, TwentyFourBitBitmapsKeepTheMaskColourTransparentInEveryState)
{
    Register(24, {0xC0C0C0, 0x808080, 0xC0C0C1});
    CAlphaImageList list;
    ASSERT_TRUE(list.Create(3, 1, 1, 0));
    ASSERT_TRUE(list.AddBitmap(STRIP_ID));
    EXPECT_EQ(DrawState(list, 0, 3), (std::vector<uint32_t>{GROUND, 0x808080, 0xC0C0C1}));
    EXPECT_EQ(DrawState(list, 1, 3), (std::vector<uint32_t>{GROUND, 0x616161, 0xABABAC}));
    EXPECT_EQ(DrawState(list, 2, 3), (std::vector<uint32_t>{GROUND, 0xB4B4B4, 0xDDDDDD}));
}

TEST_F(AlphaImageListTest, RefusedStatesAndListsNotMade)
{
    Register(32, {0xFF808080});
    CAlphaImageList list;
    EXPECT_FALSE(list.AddBitmap(STRIP_ID));   // not created
    BOOL bResult = TRUE;
    EXPECT_EQ(DrawState(list, 0, 1, &bResult), (std::vector<uint32_t>{GROUND}));
    EXPECT_FALSE(bResult);
    ASSERT_TRUE(list.Create(1, 1, 1, 0));
    ASSERT_TRUE(list.AddBitmap(STRIP_ID));
    EXPECT_FALSE(list.AddBitmap(999));   // no such bitmap
    for (int nState : {3, -1})
    {
        EXPECT_EQ(DrawState(list, nState, 1, &bResult), (std::vector<uint32_t>{GROUND}));
        EXPECT_FALSE(bResult);
        EXPECT_EQ(list.GetImageList(nState), nullptr);
    }
    EXPECT_NE(list.GetImageList(2), nullptr);

    // Without alpha: 4-bit lists; the dark state draws the normal image, the grey one embossed.
    CAlphaImageList plain;
    ASSERT_TRUE(plain.Create(1, 1, 0, 0));
    EXPECT_EQ(plain.GetDepth(), 4);
    ASSERT_TRUE(plain.AddBitmap(STRIP_ID));
    EXPECT_EQ(DrawState(plain, 1, 1), DrawState(plain, 0, 1));
    EXPECT_EQ(DrawState(plain, 2, 1, &bResult), (std::vector<uint32_t>{ToRgb(GetSysColor(COLOR_BTNSHADOW))}));
    EXPECT_FALSE(bResult);
}

TEST_F(AlphaImageListTest, TheAlphaToolBarLoadsItsButtonsAndThreeLists)
{
    CAlphaToolBar bar;
    Host(0, 0, 320, 200);
    ASSERT_TRUE(bar.CreateEx(&m_Host, AFX_IDW_TOOLBAR));
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(bar.LoadToolBar(999, 1));
    ASSERT_TRUE(bar.LoadToolBar(128, 1));   // the main menu's icons: 8 buttons, 2 separators
    EXPECT_EQ(bar.GetToolBarCtrl().GetButtonCount(), 10);
    EXPECT_EQ(bar.GetItemID(1), 57601u);
    EXPECT_EQ(bar.GetItemID(3), 0u);
    EXPECT_NE(bar.SendMessage(TB_GETIMAGELIST), 0);
    EXPECT_NE(bar.SendMessage(TB_GETHOTIMAGELIST), 0);
    EXPECT_NE(bar.SendMessage(TB_GETDISABLEDIMAGELIST), 0);
    bar.DestroyWindow();
}
