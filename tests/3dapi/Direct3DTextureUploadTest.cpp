// Images uploaded into device textures: widened RGB8, padded pitches, DXT block rows, partial
// chains, tinted mips, and the failures that must leave nothing behind.
#include "RendererDeviceFixture.h"

#include "core/Log.h"

namespace
{
class Direct3DTextureUpload : public RendererDeviceTest
{
protected:
    void SetUp() override
    {
        RendererDeviceTest::SetUp();
        m_pRenderer->SetColorMipMaps(false);
    }
};

TEST_F(Direct3DTextureUpload, RGB8IsWidenedIntoX8R8G8B8RowByRowThroughAPaddedPitch)
{
    d3d9test::SetPitchPadding(12);
    // 3 x 3 texels in the Direct3D byte order (blue, green, red), each byte distinct.
    int nId = m_pRenderer->AddTexture(MakeImage(RGB8, 3, 3, false, [](size_t i) { return uint8_t(10 + i); }), 0);
    ASSERT_EQ(nId, 0);
    D3DFORMAT nFormat = D3DFMT_UNKNOWN;
    std::vector<BYTE> bytes = ReadLevel(nId, 0, &nFormat);
    EXPECT_EQ(nFormat, D3DFMT_X8R8G8B8);
    std::vector<BYTE> expected;
    for (int i = 0; i < 9; ++i)
        expected.insert(expected.end(), {BYTE(10 + 3 * i), BYTE(11 + 3 * i), BYTE(12 + 3 * i), 255});
    EXPECT_EQ(bytes, expected);
    // The widening is done on the entry's own image.
    EXPECT_EQ(m_pRenderer->GetTextureEntry(nId)->m_pImages[0]->GetFormat(), RGBA8);
}

TEST_F(Direct3DTextureUpload, DXT1BlockRowsSurviveAPaddedPitch)
{
    d3d9test::SetPitchPadding(20);
    // 12 x 12 texels: 3 x 3 blocks of 8 bytes.
    int nId = m_pRenderer->AddTexture(MakeImage(DXT1, 12, 12, false, [](size_t i) { return uint8_t(i * 7 + 1); }), 0);
    ASSERT_GE(nId, 0);
    D3DFORMAT nFormat = D3DFMT_UNKNOWN;
    std::vector<BYTE> bytes = ReadLevel(nId, 0, &nFormat);
    EXPECT_EQ(nFormat, D3DFMT_DXT1);
    ASSERT_EQ(bytes.size(), 72u);
    for (size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(bytes[i], uint8_t(i * 7 + 1)) << "byte " << i;
}

TEST_F(Direct3DTextureUpload, TheDeviceTextureHasTheImagesLevelsAndEveryOneIsFilled)
{
    struct Case
    {
        int nFormat;
        bool bFullChain;
        UINT nLevels;
    };
    const Case cases[] = {{RGBA8, false, 1}, {RGBA8, true, 4}, {I8, true, 4}, {RGB565, false, 1}, {DXT5, true, 4}};
    for (const Case& c : cases)
    {
        int nId = m_pRenderer->AddTexture(MakeImage(c.nFormat, 8, 8, c.bFullChain, [](size_t i) { return uint8_t(i); }), 0);
        ASSERT_GE(nId, 0) << c.nFormat;
        const TextureEntry* pEntry = m_pRenderer->GetTextureEntry(nId);
        EXPECT_EQ(pEntry->m_pDeviceTexture->GetLevelCount(), c.nLevels) << c.nFormat;
        const PixelImage* pImage = pEntry->m_pImages[0];
        for (UINT nLevel = 0; nLevel < c.nLevels; ++nLevel)
        {
            std::vector<BYTE> bytes = ReadLevel(nId, nLevel);
            const uint8_t* pPixels = pImage->GetLevelPixels(static_cast<int>(nLevel));
            EXPECT_EQ(bytes, std::vector<BYTE>(pPixels, pPixels + pImage->GetLevelsSize(nLevel, 1)))
                << "format " << c.nFormat << " level " << nLevel;
        }
        m_pRenderer->DestroyTexture(nId);
    }
}

TEST_F(Direct3DTextureUpload, ColorMipMapsTintTheImageAndTheDeviceLevels)
{
    m_pRenderer->SetColorMipMaps(true);
    int nId = m_pRenderer->AddTexture(MakeImage(RGBA8, 4, 4, true, [](size_t) { return 0xFF; }), 0);
    ASSERT_GE(nId, 0);
    // Level 0 keeps its colour; levels 1 and 2 are masked with the first two tint colours, which
    // lie in byte order (first byte kept, then second byte kept), alpha untouched.
    const BYTE levelBytes[3][4] = {{255, 255, 255, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}};
    for (UINT nLevel = 0; nLevel < 3; ++nLevel)
    {
        std::vector<BYTE> bytes = ReadLevel(nId, nLevel);
        ASSERT_EQ(bytes.size(), size_t(16 >> (2 * nLevel)) * 4) << nLevel;
        for (size_t i = 0; i < bytes.size(); ++i)
            EXPECT_EQ(bytes[i], levelBytes[nLevel][i % 4]) << "level " << nLevel << " byte " << i;
    }
    const PixelImage* pImage = m_pRenderer->GetTextureEntry(nId)->m_pImages[0];
    EXPECT_EQ(pImage->GetLevelPixels(1)[1], 0);
    EXPECT_EQ(pImage->GetLevelPixels(2)[0], 0);
}

TEST_F(Direct3DTextureUpload, ImagesWithoutADeviceFormatOrATextureGiveNoIdAndLeaveNothing)
{
    SetLogEcho(false);
    EXPECT_EQ(m_pRenderer->AddTexture(MakeImage(RGBA32F, 2, 2, false, [](size_t) { return 0; }), 0), -1);
    d3d9test::FailNext(m_pDevice, "CreateTexture");
    EXPECT_EQ(m_pRenderer->AddTexture(MakeImage(RGBA8, 2, 2, false, [](size_t) { return 0; }), 0), -1);
    SetLogEcho(true);
    EXPECT_EQ(m_pRenderer->GetTextureCount(), 0);
    for (const d3d9test::LiveObject& object : d3d9test::LiveObjects())
        EXPECT_NE(object.strKind, "Texture");
}

TEST_F(Direct3DTextureUpload, CubeEntriesUploadEveryFace)
{
    TextureEntry entry{};
    entry.m_nType = TEXTURE_CUBE;
    for (int nFace = 0; nFace < 6; ++nFace)
        entry.m_pImages[nFace] = MakeImage(RGBA8, 2, 2, false, [nFace](size_t) { return uint8_t(40 * nFace); });
    m_pRenderer->CreateDeviceTexture(entry);
    ASSERT_NE(entry.m_pDeviceTexture, nullptr);
    ASSERT_TRUE(m_pRenderer->UploadTexture(entry));
    auto* pCube = static_cast<IDirect3DCubeTexture9*>(entry.m_pDeviceTexture);
    for (int nFace = 0; nFace < 6; ++nFace)
    {
        IDirect3DSurface9* pSurface = nullptr;
        ASSERT_EQ(pCube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(nFace), 0, &pSurface), D3D_OK);
        d3d9test::SurfaceData data;
        ASSERT_TRUE(d3d9test::ReadSurface(pSurface, data));
        pSurface->Release();
        EXPECT_EQ(data.bytes, std::vector<BYTE>(16, BYTE(40 * nFace))) << "face " << nFace;
    }
    EXPECT_GE(m_pRenderer->StoreTexture(entry), 0);
}

TEST_F(Direct3DTextureUpload, ACubeFaceOfAnotherSizeIsRefused)
{
    TextureEntry entry{};
    entry.m_nType = TEXTURE_CUBE;
    for (int nFace = 0; nFace < 6; ++nFace)
        entry.m_pImages[nFace] = MakeImage(RGBA8, nFace == 4 ? 4 : 2, nFace == 4 ? 4 : 2, false, [](size_t) { return 0; });
    m_pRenderer->CreateDeviceTexture(entry);
    SetLogEcho(false);
    EXPECT_FALSE(m_pRenderer->UploadTexture(entry));
    SetLogEcho(true);
    m_pRenderer->ReleaseDeviceTexture(entry);
    for (PixelImage* pImage : entry.m_pImages)
        delete pImage;
}
}  // namespace
