// Procedural textures: values at chosen texels against their formulas worked out here, the
// device textures holding the same bytes, the side checks, and cube and volume entries that
// keep their slots.
#include "RendererDeviceFixture.h"

#include "core/Log.h"
#include "core/Random.h"
#include "core/Vector3.h"
#include "core/VolumeImage.h"

#include <algorithm>
#include <cmath>

namespace
{
class ProceduralTextureTest : public RendererDeviceTest
{
protected:
    const PixelImage* Image(int nId, int nFace = 0)
    {
        const TextureEntry* pEntry = m_pRenderer->GetTextureEntry(nId);
        return pEntry ? pEntry->m_pImages[nFace] : nullptr;
    }
    const VolumeImage* Volume(int nId)
    {
        const TextureEntry* pEntry = m_pRenderer->GetTextureEntry(nId);
        return pEntry ? pEntry->m_pVolume : nullptr;
    }
    static uint8_t Byte(float f) { return static_cast<uint8_t>(std::clamp(f, 0.0f, 255.0f)); }
};

TEST(PackSignedUnit, MapsMinusOneToOneOntoTheByteRange)
{
    const struct
    {
        float x;
        int32_t nExpected;
    } kCases[] = {{-1.0f, 0}, {0.0f, 127}, {1.0f, 255}, {0.5f, 191}, {-0.5f, 63}};
    for (const auto& c : kCases)
        EXPECT_EQ(PackSignedUnit(c.x), c.nExpected) << c.x;
}

TEST_F(ProceduralTextureTest, FalloffFollowsTheDistanceFromTheCentre)
{
    int nId = m_pRenderer->CreateFalloffTexture(3, 0);
    ASSERT_GE(nId, 0);
    const PixelImage* pImage = Image(nId);
    ASSERT_NE(pImage, nullptr);
    EXPECT_GT(pImage->mipCount, 1);
    const uint8_t* p = pImage->pixels;
    EXPECT_EQ(p[4], 255);   // centre
    EXPECT_EQ(p[1], 0);     // middle of an edge
    EXPECT_EQ(p[0], 0);     // corner
    EXPECT_EQ(p[8], 0);

    nId = m_pRenderer->CreateFalloffTexture(6, TEXTURE_NO_MIPMAPS);
    ASSERT_GE(nId, 0);
    pImage = Image(nId);
    EXPECT_EQ(pImage->mipCount, 1);
    const float h = 2.5f;
    for (auto [x, y] : {std::pair{2, 2}, {0, 3}, {4, 1}, {5, 5}})
        EXPECT_EQ(pImage->pixels[y * 6 + x], Byte(255.0f * std::max(0.0f, 1.0f - std::hypot(x - h, y - h) / h)))
            << x << ", " << y;

    // The device texture holds the same bytes.
    auto* pTexture = static_cast<IDirect3DTexture9*>(m_pRenderer->GetTextureEntry(nId)->m_pDeviceTexture);
    IDirect3DSurface9* pSurface = nullptr;
    ASSERT_EQ(pTexture->GetSurfaceLevel(0, &pSurface), D3D_OK);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pSurface, data));
    pSurface->Release();
    EXPECT_EQ(data.bytes, std::vector<BYTE>(pImage->pixels, pImage->pixels + 36));
}

TEST_F(ProceduralTextureTest, SidesTooSmallForTheFormulasAreRefused)
{
    SetLogEcho(false);
    for (int n : {-1, 0, 1, 2})
    {
        EXPECT_EQ(m_pRenderer->CreateFalloffTexture(n, 0), -1) << n;
        EXPECT_EQ(m_pRenderer->CreateNormalizationCubeTexture(n), -1) << n;
        EXPECT_EQ(m_pRenderer->CreateAttenuationVolume(n, 0), -1) << n;
    }
    SetLogEcho(true);
    EXPECT_GE(m_pRenderer->CreateFalloffTexture(3, 0), 0);
}

TEST_F(ProceduralTextureTest, NoiseBytesRepeatTheirNeighboursWithWrapping)
{
    const unsigned nState = GetRandomState();
    SeedRandom(7);
    std::vector<uint8_t> draws(16);
    for (uint8_t& d : draws)
        d = static_cast<uint8_t>(Random() & 0xFF);
    SeedRandom(7);
    int nId = m_pRenderer->CreateNoiseTexture(4, TEXTURE_NO_MIPMAPS);
    SeedRandom(nState);
    ASSERT_GE(nId, 0);
    const uint8_t* p = Image(nId)->pixels;
    auto Draw = [&](int x, int y) { return draws[(y % 4) * 4 + x % 4]; };
    for (auto [x, y] : {std::pair{0, 0}, {1, 2}, {3, 1}, {3, 3}})
    {
        const uint8_t* pTexel = p + (y * 4 + x) * 4;
        EXPECT_EQ(pTexel[0], Draw(x, y));
        EXPECT_EQ(pTexel[1], Draw(x + 1, y));
        EXPECT_EQ(pTexel[2], Draw(x, y + 1));
        EXPECT_EQ(pTexel[3], Draw(x + 1, y + 1));
    }
}

TEST_F(ProceduralTextureTest, NormalizationCubeHoldsTheDirectionThroughEachTexel)
{
    const int n = 4;
    int nId = m_pRenderer->CreateNormalizationCubeTexture(n);
    ASSERT_GE(nId, 0);
    const float h = 1.5f;
    auto Packed = [](Vector3 d) {
        d.FastNormalize();
        return std::array<int, 3>{PackSignedUnit(d.x), PackSignedUnit(d.y), PackSignedUnit(d.z)};
    };
    for (int nFace = 0; nFace < 6; ++nFace)
        for (auto [c, r] : {std::pair{0, 0}, {3, 1}, {2, 3}})
        {
            Vector3 d = nFace < 2 ? Vector3(h, h - r, h - c) : nFace < 4 ? Vector3(c - h, h, r - h) : Vector3(c - h, h - r, h);
            if (nFace == 3)
                d = Vector3(d.x, -d.y, -d.z);
            else if (nFace & 1)
                d = Vector3(-d.x, d.y, -d.z);
            std::array<int, 3> expected = Packed(d);
            // Faces are widened to RGBA8 for the device; the first three bytes stay.
            const uint8_t* pTexel = Image(nId, nFace)->pixels + (r * n + c) * 4;
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(pTexel[i], expected[i]) << "face " << nFace << " texel " << c << ", " << r;
        }

    // The cube keeps its slot when another texture is added.
    int nOther = m_pRenderer->CreateFalloffTexture(3, 0);
    EXPECT_NE(nOther, nId);
    ASSERT_NE(m_pRenderer->GetTextureEntry(nId)->m_pDeviceTexture, nullptr);
    EXPECT_EQ(m_pRenderer->GetTextureEntry(nId)->m_pDeviceTexture->GetType(), D3DRTYPE_CUBETEXTURE);
}

TEST_F(ProceduralTextureTest, LoadCubeTextureRefusesWhenAFaceCannotBeRead)
{
    SetLogEcho(false);
    std::string missing = testing::TempDir() + "no-such-face.png";
    EXPECT_EQ(m_pRenderer->LoadCubeTexture(missing.c_str(), missing.c_str(), missing.c_str(), missing.c_str(),
                                           missing.c_str(), missing.c_str()),
              -1);
    SetLogEcho(true);
}

TEST_F(ProceduralTextureTest, VolumesFollowTheirFormulasAndReachTheDevice)
{
    const int n = 5;
    const float h = 2.0f;
    auto Voxel = [](const VolumeImage* pVolume, int x, int y, int z, int nByte = 0) {
        int nSide = pVolume->width;
        return pVolume->pixels[((static_cast<size_t>(z) * nSide + y) * nSide + x) * pVolume->bytesPerVoxel + nByte];
    };

    int nAttenuation = m_pRenderer->CreateAttenuationVolume(n, 0);
    int nDistance = m_pRenderer->CreateDistanceVolume(n, 0);
    int nDepth = m_pRenderer->CreateSphereDepthVolume(n, TEXTURE_NO_MIPMAPS);
    int nNormal = m_pRenderer->CreateNormalizationVolume(n, 0);
    for (int nId : {nAttenuation, nDistance, nDepth, nNormal})
    {
        ASSERT_GE(nId, 0);
        const TextureEntry* pEntry = m_pRenderer->GetTextureEntry(nId);
        EXPECT_TRUE(pEntry->m_bClampS && pEntry->m_bClampT && pEntry->m_bClampR);
        ASSERT_NE(pEntry->m_pDeviceTexture, nullptr);
        EXPECT_EQ(pEntry->m_pDeviceTexture->GetType(), D3DRTYPE_VOLUMETEXTURE);
    }

    const VolumeImage* pAttenuation = Volume(nAttenuation);
    EXPECT_EQ(Voxel(pAttenuation, 2, 2, 2), 255);
    EXPECT_EQ(Voxel(pAttenuation, 0, 0, 0), 0);
    float fLength = FastLength(Vector3(h - 1, h - 2, h - 4));
    EXPECT_EQ(Voxel(pAttenuation, 1, 2, 4), Byte(255.0f * std::max(0.0f, 1.0f - fLength / h)));

    const VolumeImage* pDistance = Volume(nDistance);
    EXPECT_EQ(Voxel(pDistance, 2, 2, 2), 0);
    EXPECT_EQ(Voxel(pDistance, 4, 0, 4), 255);
    EXPECT_EQ(Voxel(pDistance, 1, 2, 4), Byte(255.0f * std::min(1.0f, fLength / h)));

    // Along the axis through the centre, e = 1: the depth left in front of z.
    const VolumeImage* pDepth = Volume(nDepth);
    const int kDepthAlongAxis[5] = {255, Byte(255 * 0.75f), Byte(255 * 0.5f), Byte(255 * 0.25f), 0};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(Voxel(pDepth, 2, 2, k), kDepthAlongAxis[k]) << k;
    EXPECT_EQ(Voxel(pDepth, 0, 0, 1), 0);   // outside the sphere: e = 0

    const VolumeImage* pNormal = Volume(nNormal);
    const int kCentre[4] = {127, 127, 127, 255};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Voxel(pNormal, 2, 2, 2, i), kCentre[i]) << i;
    Vector3 v(3 - h, 1 - h, 2 - h);
    float q = LengthSquared(v), k = FastInvSqrt(q), a = std::max(0.0f, 1.0f - q * k / h);
    const int nByteX = m_pRenderer->GetRgbOrder() ? 0 : 2;
    EXPECT_EQ(Voxel(pNormal, 3, 1, 2, nByteX), PackSignedUnit(v.x * a * k));
    EXPECT_EQ(Voxel(pNormal, 3, 1, 2, 1), PackSignedUnit(v.y * a * k));
    EXPECT_EQ(Voxel(pNormal, 3, 1, 2, 3), PackSignedUnit(a));

    // The device volume's first level holds the volume's bytes.
    auto* pTexture = static_cast<IDirect3DVolumeTexture9*>(m_pRenderer->GetTextureEntry(nDepth)->m_pDeviceTexture);
    D3DLOCKED_BOX box{};
    ASSERT_EQ(pTexture->LockBox(0, &box, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (int z = 0; z < n; ++z)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                ASSERT_EQ(static_cast<uint8_t*>(box.pBits)[z * box.SlicePitch + y * box.RowPitch + x],
                          Voxel(pDepth, x, y, z));
    pTexture->UnlockBox(0);
}

TEST_F(ProceduralTextureTest, NoiseVolumeKeepsItsFlags)
{
    int nId = m_pRenderer->CreateNoiseVolume(4, TEXTURE_NO_MIPMAPS);
    ASSERT_GE(nId, 0);
    const TextureEntry* pEntry = m_pRenderer->GetTextureEntry(nId);
    EXPECT_FALSE(pEntry->m_bClampS || pEntry->m_bClampT || pEntry->m_bClampR);
    const VolumeImage* pVolume = pEntry->m_pVolume;
    ASSERT_NE(pVolume, nullptr);
    EXPECT_EQ(pVolume->mipCount, 1);
    // Byte 1 of the last voxel of a row is byte 0 of the first voxel of that row.
    const uint8_t* p = pVolume->pixels + ((2 * 4 + 1) * 4 + 3) * 4;
    EXPECT_EQ(p[1], pVolume->pixels[((2 * 4 + 1) * 4 + 0) * 4]);
}
}
