// Owner-drawn menu items through ON_WM_MEASUREITEM and ON_WM_DRAWITEM, and CImageList.
#include "MfcTestKit.h"

#include <mfc/afxcmn.h>

namespace
{
class COwnerWnd : public CWnd
{
public:
    std::vector<std::string> m_Events;

protected:
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS)
    {
        m_Events.push_back("measure " + std::to_string(nIDCtl) + " " + std::to_string(lpMIS->itemID));
        lpMIS->itemWidth = 90;
        lpMIS->itemHeight = 24 + static_cast<UINT>(lpMIS->itemData);
    }
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS)
    {
        EXPECT_EQ(lpDIS->CtlType, static_cast<UINT>(ODT_MENU));
        m_Events.push_back("draw " + std::to_string(nIDCtl) + " " + std::to_string(lpDIS->itemID) + " " +
                           std::to_string(lpDIS->rcItem.bottom - lpDIS->rcItem.top));
        CDC* pDC = CDC::FromHandle(lpDIS->hDC);
        pDC->FillSolidRect(&lpDIS->rcItem, RGB(0, 0, 255));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerWnd, CWnd)
    ON_WM_MEASUREITEM()
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

// A 32-bit DIB section of one row of colours (0xAARRGGBB) owned by a CBitmap.
void MakeRow(CBitmap& bitmap, const std::vector<uint32_t>& pixels)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), static_cast<LONG>(pixels.size()), -1, 1, 32, BI_RGB, 0,
                                     0, 0, 0, 0};
    void* pvBits = nullptr;
    HBITMAP hbm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0);
    ASSERT_NE(hbm, nullptr);
    std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(pvBits));
    bitmap.Attach(hbm);
}
}

TEST_F(MfcTest, OwnerDrawnMenuItemsAreMeasuredThenDrawnAtTheirMeasuredHeight)
{
    COwnerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100),
                             nullptr, 0));
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_OWNERDRAW, 401, reinterpret_cast<const char*>(0));
    popup.AppendMenu(MF_OWNERDRAW, 402, reinterpret_cast<const char*>(6));
    m_Driver.at(10, [&] { m_Driver.key(VK_ESCAPE); });   // once the popup has painted
    EXPECT_FALSE(popup.TrackPopupMenu(TPM_LEFTALIGN, 20, 20, &wnd));
    ASSERT_GE(wnd.m_Events.size(), 4u);
    // Menu items arrive with control id 0.
    EXPECT_EQ(std::vector<std::string>(wnd.m_Events.begin(), wnd.m_Events.begin() + 4),
              (std::vector<std::string>{"measure 0 401", "measure 0 402", "draw 0 401 24", "draw 0 402 30"}));
    wnd.DestroyWindow();
}

TEST_F(MfcTest, ImageListOwnsItsListAndDrawsWithTheMaskColour)
{
    HIMAGELIST hKept = nullptr, hOwned = nullptr;
    {
        CImageList images;
        ASSERT_TRUE(images.Create(2, 1, ILC_COLOR24 | ILC_MASK, 2, 1));
        EXPECT_FALSE(images.Create(2, 1, ILC_COLOR24, 1, 1));   // it already holds one
        CBitmap strip;
        MakeRow(strip, {0xC0C0C0, 0xFF0000, 0x00FF00, 0xC0C0C0});
        EXPECT_EQ(images.Add(&strip, RGB(192, 192, 192)), 0);
        EXPECT_EQ(images.GetImageCount(), 2);
        EXPECT_EQ(images.Add(nullptr, RGB(0, 0, 0)), -1);

        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        CBitmap canvas;
        MakeRow(canvas, {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF});
        CBitmap* pOld = dc.SelectObject(&canvas);
        EXPECT_TRUE(images.Draw(&dc, 0, CPoint(0, 0), ILD_NORMAL));
        EXPECT_TRUE(images.Draw(&dc, 1, CPoint(2, 0), ILD_NORMAL));
        EXPECT_FALSE(images.Draw(&dc, 2, CPoint(0, 0), ILD_NORMAL));
        const COLORREF expected[4] = {RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dc.GetPixel(x, 0), expected[x]) << x;
        dc.SelectObject(pOld);

        // A detached list outlives the object; the attached one goes with it.
        hKept = images.Detach();
        EXPECT_EQ(images.GetSafeHandle(), nullptr);
        ASSERT_TRUE(images.Create(4, 4, ILC_COLOR32, 1, 1));
        EXPECT_FALSE(images.Attach(hKept));
        hOwned = images.GetSafeHandle();
    }
    EXPECT_FALSE(ImageList_Destroy(hOwned));
    EXPECT_EQ(ImageList_GetImageCount(hKept), 2);
    EXPECT_TRUE(ImageList_Destroy(hKept));
}
