// A device cursor made from an icon or a cursor handle: its pixels, hot spot and watermark, and
// that everything made on the way is released.
#include "3dapi/D3DUtil.h"
#include "DeviceTestBase.h"

#include <win32/gdi.h>
#include <win32/icons.h>
#include <win32/testing.h>
#include <win32/winbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
class CursorFromIconTest : public UtilityDeviceTest
{
protected:
    void TearDown() override
    {
        d3d9test::SetPitchPadding(0);
        UtilityDeviceTest::TearDown();
    }

    // The surface's A8R8G8B8 pixels, top row first.
    std::vector<DWORD> CursorPixels(HCURSOR hCursor, bool bWatermark, POINT* pHotSpot, UINT* pWidth, UINT* pHeight)
    {
        IDirect3DSurface9* pSurface = nullptr;
        EXPECT_EQ(CreateCursorSurface(m_pDevice, hCursor, bWatermark, &pSurface, pHotSpot), S_OK);
        if (!pSurface)
            return {};
        D3DSURFACE_DESC desc{};
        pSurface->GetDesc(&desc);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(desc.Pool, D3DPOOL_SCRATCH);
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
        pSurface->Release();
        *pWidth = data.nWidth;
        *pHeight = data.nHeight;
        std::vector<DWORD> pixels(data.bytes.size() / 4);
        std::memcpy(pixels.data(), data.bytes.data(), pixels.size() * 4);
        return pixels;
    }

    static DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

    win32::Driver m_Driver;
};

TEST_F(CursorFromIconTest, ColourIconsAreOpaqueWhereTheMaskIsClear)
{
    // 3x2 colour image; the mask hides the middle of the top row and the right of the bottom row.
    const DWORD colours[6] = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x123456};
    const BYTE mask[4] = {0x40, 0, 0x20, 0};
    HBITMAP hColor = CreateBitmap(3, 2, 1, 32, colours);
    HBITMAP hMask = CreateBitmap(3, 2, 1, 1, mask);
    ICONINFO made{TRUE, 0, 0, hMask, hColor};
    HICON hIcon = CreateIconIndirect(&made);
    DeleteObject(hColor);
    DeleteObject(hMask);
    ASSERT_NE(hIcon, nullptr);

    // Surface rows padded past four bytes a pixel must not shift the image.
    d3d9test::SetPitchPadding(12);
    POINT hot{};
    UINT nWidth = 0, nHeight = 0;
    std::vector<DWORD> pixels = CursorPixels(hIcon, false, &hot, &nWidth, &nHeight);
    EXPECT_EQ(nWidth, 3u);
    EXPECT_EQ(nHeight, 2u);
    EXPECT_EQ(pixels, (std::vector<DWORD>{0xFF102030, 0, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0}));
    // An icon's hot spot is its centre.
    EXPECT_EQ(hot.x, 1);
    EXPECT_EQ(hot.y, 1);
    DestroyIcon(hIcon);
}

// A monochrome 32x32 cursor has a 32x64 mask: the cursor surface is 32x32, white or black where
// the AND plane is clear, transparent where it is set.
TEST_F(CursorFromIconTest, MonochromeCursorsTakeHalfTheMask)
{
    BYTE andPlane[32 * 4] = {}, xorPlane[32 * 4] = {};
    auto setBit = [](BYTE* pPlane, int x, int y) { pPlane[y * 4 + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8)); };
    std::vector<DWORD> expected(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
        {
            const bool bTransparent = (x + y) % 3 == 0, bWhite = x < y;
            if (bTransparent)
                setBit(andPlane, x, y);
            if (bWhite)
                setBit(xorPlane, x, y);
            expected[static_cast<size_t>(y) * 32 + x] = bTransparent ? 0 : bWhite ? 0xFFFFFFFF : 0xFF000000;
        }
    HCURSOR hCursor = CreateCursor(nullptr, 5, 7, 32, 32, andPlane, xorPlane);
    ASSERT_NE(hCursor, nullptr);
    POINT hot{};
    UINT nWidth = 0, nHeight = 0;
    EXPECT_EQ(CursorPixels(hCursor, false, &hot, &nWidth, &nHeight), expected);
    EXPECT_EQ(nWidth, 32u);
    EXPECT_EQ(nHeight, 32u);
    EXPECT_EQ(hot.x, 5);
    EXPECT_EQ(hot.y, 7);

    // The watermark greys the pattern's set bits in the top-left 12x5 corner, over the image.
    const WORD rows[5] = {0xccc0, 0xa2a0, 0xa4a0, 0xa2a0, 0xccc0};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x)
            if (rows[y] & (0x8000 >> x))
                expected[static_cast<size_t>(y) * 32 + x] |= 0xFF808080;
    EXPECT_EQ(CursorPixels(hCursor, true, &hot, &nWidth, &nHeight), expected);
    DestroyCursor(hCursor);
}

TEST_F(CursorFromIconTest, TheDeviceGetsTheHotSpotAndNothingIsLeftBehind)
{
    const BYTE andPlane[4] = {0x80, 0, 0, 0}, xorPlane[4] = {};
    HCURSOR hCursor = CreateCursor(nullptr, 1, 0, 2, 2, andPlane, xorPlane);
    ASSERT_NE(hCursor, nullptr);
    const DWORD nGdi = GdiObjects();
    const DWORD nIcons = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    {
        d3d9test::Recorder recorder(m_pDevice);
        EXPECT_EQ(SetCursorFromIcon(m_pDevice, hCursor, false), S_OK);
        recorder.Stop();
        std::vector<std::string> calls = recorder.Texts({"SetCursorProperties"});
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].rfind("SetCursorProperties(1, 0, Surface#", 0), 0u) << calls[0];
    }
    // The handle's bitmap copies and the DCs are gone; the cursor itself stays the caller's.
    EXPECT_EQ(GdiObjects(), nGdi);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), nIcons);

    // Failures: the device's code, or E_FAIL for a handle that is no cursor; nothing leaks
    // (the fixture checks that no device object is left).
    d3d9test::FailNext(m_pDevice, "CreateOffscreenPlainSurface");
    EXPECT_EQ(SetCursorFromIcon(m_pDevice, hCursor, false), D3DERR_INVALIDCALL);
    d3d9test::FailNext(m_pDevice, "SetCursorProperties");
    EXPECT_EQ(SetCursorFromIcon(m_pDevice, hCursor, true), D3DERR_INVALIDCALL);
    EXPECT_EQ(GdiObjects(), nGdi);
    DestroyCursor(hCursor);
    EXPECT_EQ(SetCursorFromIcon(m_pDevice, hCursor, false), E_FAIL);
    EXPECT_EQ(GdiObjects(), nGdi);
}
}  // namespace
