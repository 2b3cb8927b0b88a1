// The per-pixel path's shortcuts must not show: depth and stencil tested before the shading
// only when the shading cannot change their outcome, texels read by format-specialised code,
// compressed textures decoded once and again after every change.
#include "DrawFixture.h"

#include <cpu/formats/Formats.h>
#include <cpu/sampler/TextureSampler.h>

#include <algorithm>
#include <cmath>

namespace
{
// Red in the top half at depth 0.2, then three full-screen quads behind and in front of it:
// plain (hidden pixels are neither counted nor written), with texkill on the left half and with
// an alpha test on the left half (killed and alpha-failed pixels write neither depth nor
// colour and are not counted).
TEST_F(DrawTest, HiddenKilledAndAlphaFailedPixelsLeaveTargetsAlone)
{
    DrawRect(0, 0, 16, 8, 0xFFFF0000, 0.2f);
    IDirect3DPixelShader9* pPlain = PixelShader(
        "ps_2_0\n"
        "mov oC0, c0\n");
    IDirect3DPixelShader9* pKill = PixelShader(
        "ps_2_0\n"
        "dcl t0.xy\n"
        "def c1, -0.5, 0, 0, 0\n"
        "add r0, t0.x, c1.x\n"
        "texkill r0\n"
        "mov oC0, c0\n");
    // Alpha u·255: 127.5 rounds to 128 at pixel 8, which fails ALPHAREF 135; pixel 9 passes.
    IDirect3DPixelShader9* pAlpha = PixelShader(
        "ps_2_0\n"
        "dcl t0.xy\n"
        "mov r0, c0\n"
        "mov r0.w, t0.x\n"
        "mov oC0, r0\n");
    const float green[4] = {0, 1, 0, 1}, blue[4] = {0, 0, 1, 1}, white[4] = {1, 1, 1, 1};
    m_pDevice->SetPixelShader(pPlain);
    m_pDevice->SetPixelShaderConstantF(0, green, 1);
    EXPECT_EQ(CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 0.5f); }), 128u);
    m_pDevice->SetPixelShader(pKill);
    m_pDevice->SetPixelShaderConstantF(0, blue, 1);
    EXPECT_EQ(CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 0.4f); }), 64u);
    m_pDevice->SetPixelShader(pAlpha);
    m_pDevice->SetPixelShaderConstantF(0, white, 1);
    m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    m_pDevice->SetRenderState(D3DRS_ALPHAREF, 135);
    EXPECT_EQ(CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 0.3f); }), 56u);
    m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);

    const auto data = ReadBackBuffer();
    IDirect3DSurface9* pDepth = nullptr;
    m_pDevice->GetDepthStencilSurface(&pDepth);
    std::vector<float> depth;
    d3d9test::ReadDepth(pDepth, depth);
    pDepth->Release();
    struct Expected
    {
        UINT x, y;
        int r, g, b;
        float fDepth;
    };
    const Expected expected[] = {
        {3, 3, 255, 0, 0, 0.2f},   {12, 3, 255, 0, 0, 0.2f},   // in front of everything drawn later
        {3, 12, 0, 255, 0, 0.5f},  {8, 12, 0, 0, 255, 0.4f},   // killed, then alpha 128 failed
        {7, 12, 0, 255, 0, 0.5f},  {9, 12, 255, 255, 255, 0.3f},
    };
    for (const Expected& e : expected)
    {
        EXPECT_EQ(Channel(data, e.x, e.y, 0), e.r) << e.x << "," << e.y;
        EXPECT_EQ(Channel(data, e.x, e.y, 1), e.g) << e.x << "," << e.y;
        EXPECT_EQ(Channel(data, e.x, e.y, 2), e.b) << e.x << "," << e.y;
        EXPECT_EQ(depth[e.y * 16 + e.x], e.fDepth) << e.x << "," << e.y;
    }
    m_pDevice->SetPixelShader(nullptr);
    pPlain->Release();
    pKill->Release();
    pAlpha->Release();
}

// One DXT1 block of a single 565 colour, written through a lock.
void FillBlock(IDirect3DTexture9* pTexture, uint16_t color)
{
    D3DLOCKED_RECT locked;
    ASSERT_EQ(pTexture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const BYTE block[8] = {(BYTE)color, (BYTE)(color >> 8), (BYTE)color, (BYTE)(color >> 8), 0, 0, 0, 0};
    std::memcpy(locked.pBits, block, sizeof(block));
    pTexture->UnlockRect(0);
}

TEST_F(DrawTest, CompressedTextureChangedByALockIsSampledAnew)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &pTexture, nullptr), D3D_OK);
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    const struct
    {
        uint16_t color;
        int r, g, b;
    } cases[] = {{0xF800, 255, 0, 0}, {0x001F, 0, 0, 255}, {0x07E0, 0, 255, 0}};
    for (const auto& c : cases)
    {
        FillBlock(pTexture, c.color);
        DrawRect(0, 0, 16, 16, 0xFFFFFFFF);
        const auto data = ReadBackBuffer();
        EXPECT_EQ(Channel(data, 5, 9, 0), c.r) << std::hex << c.color;
        EXPECT_EQ(Channel(data, 5, 9, 1), c.g) << std::hex << c.color;
        EXPECT_EQ(Channel(data, 5, 9, 2), c.b) << std::hex << c.color;
    }
    m_pDevice->SetTexture(0, nullptr);
    pTexture->Release();
}

// A small A8R8G8B8 texture is sampled from a float copy: a lock that changes it, and a draw
// into it as a render target, must both show in the next read.
TEST_F(DrawTest, SmallColourTextureChangedByALockOrADrawIsSampledAnew)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(2, 2, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &pTexture,
                                       nullptr),
              D3D_OK);
    IDirect3DSurface9* pLevel = nullptr;
    ASSERT_EQ(pTexture->GetSurfaceLevel(0, &pLevel), D3D_OK);
    IDirect3DSurface9* pBackBuffer = nullptr;
    m_pDevice->GetRenderTarget(0, &pBackBuffer);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    auto sampled = [&](int c) {
        m_pDevice->SetTexture(0, pTexture);
        DrawRect(0, 0, 16, 16, 0xFFFFFFFF);
        m_pDevice->SetTexture(0, nullptr);
        return Channel(ReadBackBuffer(), 5, 9, c);
    };
    for (const D3DCOLOR color : {0xFFFF0000u, 0xFF00FF00u})
    {
        m_pDevice->SetRenderTarget(0, pLevel);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0);
        m_pDevice->SetRenderTarget(0, pBackBuffer);
        EXPECT_EQ(sampled(0), color == 0xFFFF0000u ? 255 : 0) << std::hex << color;
        EXPECT_EQ(sampled(1), color == 0xFFFF0000u ? 0 : 255) << std::hex << color;
    }
    m_pDevice->SetRenderTarget(0, pLevel);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    DrawRect(0, 0, 2, 2, 0xFF0000FF);
    m_pDevice->SetRenderTarget(0, pBackBuffer);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    EXPECT_EQ(sampled(2), 255);
    EXPECT_EQ(sampled(1), 0);
    pBackBuffer->Release();
    pLevel->Release();
    pTexture->Release();
}

// Every sampled format reads what the generic texel reader reads: point at texel centres,
// wrapped from outside [0, 1], and bilinear halfway between two texels. Images of 3×2 texels
// (not a power of two) and 4×4 (DXT1, one block).
TEST(SamplerFormatTest, EveryFormatReadsAsTheGenericReader)
{
    const D3DFORMAT formats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,     D3DFMT_A4R4G4B4,
                                 D3DFMT_G16R16,   D3DFMT_A16B16G16R16, D3DFMT_L8,     D3DFMT_R16F,
                                 D3DFMT_G16R16F,  D3DFMT_A16B16G16R16F, D3DFMT_R32F,  D3DFMT_G32R32F,
                                 D3DFMT_A32B32G32R32F, D3DFMT_DXT1};
    for (D3DFORMAT format : formats)
    {
        const FormatInfo& info = *FindFormat(format);
        const bool bBlock = info.kind == FormatKind::Compressed;
        const UINT W = bBlock ? 4 : 3, H = bBlock ? 4 : 2;
        std::shared_ptr<ImageStorage> pImage = CreateImageStorage(info, W, H);
        if (bBlock)
        {
            const BYTE block[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x1B, 0x4E, 0xB1};  // red, blue, mixed indices
            std::memcpy(pImage->Row(0), block, 8);
        }
        else
            for (UINT y = 0; y < H; ++y)
                for (UINT x = 0; x < W; ++x)
                {
                    const float k = (float)(y * W + x);
                    const float rgba[4] = {0.1f * k, 1.0f - 0.15f * k, 0.05f * k * k, 0.2f + 0.1f * k};
                    EncodePixel(info, rgba, pImage->Row(y) + x * info.bytesPerBlock);
                }
        DrawResources resources;
        resources.samplers[0].nType = D3DRTYPE_TEXTURE;
        resources.samplers[0].nLevels = 1;
        resources.samplers[0].images = {pImage.get()};
        DeviceState state{};
        state.samplerStates[0][D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        state.samplerStates[0][D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        for (DWORD nFilter : {D3DTEXF_POINT, D3DTEXF_LINEAR})
        {
            state.samplerStates[0][D3DSAMP_MAGFILTER] = state.samplerStates[0][D3DSAMP_MINFILTER] = nFilter;
            TextureSampler sampler;
            sampler.Configure(state, resources, nullptr);
            float u[64], v[64], w[64] = {}, out[4][64];
            for (unsigned i = 0; i < 64; ++i)
            {
                const int x = (int)(i % W), y = (int)((i / W) % H), wrap = (int)(i % 3) - 1;
                // Point: texel centres; linear: halfway between texel x and x + 1 on row y.
                u[i] = ((float)x + (nFilter == D3DTEXF_POINT ? 0.5f : 1.0f)) / (float)W + (float)wrap;
                v[i] = ((float)y + 0.5f) / (float)H - (float)wrap;
            }
            const float* const coord[3] = {u, v, w};
            float* const result[4] = {out[0], out[1], out[2], out[3]};
            sampler.SampleQuads(0, coord, nullptr, 64, result);
            for (unsigned i = 0; i < 64; ++i)
            {
                const UINT x = i % W, y = (i / W) % H;
                float a[4], b[4];
                ReadStorageTexel(*pImage, x, y, 0, a);
                ReadStorageTexel(*pImage, (x + 1) % W, y, 0, b);
                for (int c = 0; c < 4; ++c)
                {
                    const float expected = nFilter == D3DTEXF_POINT ? a[c] : 0.5f * a[c] + 0.5f * b[c];
                    EXPECT_FLOAT_EQ(out[c][i], expected) << info.name << " filter " << nFilter << " lane " << i;
                }
            }
        }
    }
}
}

namespace
{
// A texture of nFaces faces of nLevels levels, side nSize at level 0, every texel a different
// colour.
std::vector<std::shared_ptr<ImageStorage>> MakeFaces(UINT nFaces, UINT nLevels, UINT nSize)
{
    const FormatInfo& info = *FindFormat(D3DFMT_A8R8G8B8);
    std::vector<std::shared_ptr<ImageStorage>> images;
    for (UINT face = 0; face < nFaces; ++face)
        for (UINT level = 0; level < nLevels; ++level)
        {
            const UINT n = std::max(1u, nSize >> level);
            images.push_back(CreateImageStorage(info, n, n));
            for (UINT y = 0; y < n; ++y)
                for (UINT x = 0; x < n; ++x)
                {
                    const BYTE texel[4] = {(BYTE)(x * 61 + face * 17), (BYTE)(y * 83 + 7), (BYTE)(face * 40 + x * y),
                                           (BYTE)(200 - face * 9 - x)};
                    std::memcpy(images.back()->Row(y) + x * 4, texel, 4);
                }
        }
    return images;
}

// 64 lanes, each quad's four lanes at one point, so that the derivatives are zero and a
// mipmapped stage reads level 0 with the magnification filter.
void QuadCoordinates(bool bCube, float (*coord)[64])
{
    for (unsigned q = 0; q < 16; ++q)
        for (unsigned k = 0; k < 4; ++k)
        {
            const float t = (float)q;
            if (bCube)
            {
                // Axes, edges, corners and points between them, some far off the unit sphere.
                coord[0][q * 4 + k] = std::sin(t * 1.7f) * (q % 4 == 0 ? 0.0f : 3.0f);
                coord[1][q * 4 + k] = std::cos(t * 2.3f) * (q % 5 == 0 ? 1.0f : 0.25f);
                coord[2][q * 4 + k] = q % 3 == 0 ? -1.0f : std::sin(t * 0.9f + 0.4f);
            }
            else
            {
                coord[0][q * 4 + k] = -1.3f + t * 0.21f;
                coord[1][q * 4 + k] = 0.77f - t * 0.37f;
                coord[2][q * 4 + k] = 0.0f;
            }
        }
}
}

// The batched reads (2D and cube, whose level of detail cannot matter) give the same bits as
// the lane-by-lane path, which a stage takes when it is mipmapped: the same images filtered
// both ways, for 1×1 textures (a solid colour: each lane reads its texel exactly, whatever the
// filter and the weights would be), 4×4 ones (read
// from float copies) and 32×32 ones (read as bytes), every address mode and both filters.
TEST(SamplerFormatTest, BatchedReadsMatchTheLanePathBitForBit)
{
    for (const bool bCube : {false, true})
        for (const UINT nSize : {1u, 4u})
            for (const DWORD nAddress : {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP})
                for (const DWORD nFilter : {D3DTEXF_POINT, D3DTEXF_LINEAR})
                {
                    const UINT nFaces = bCube ? 6 : 1;
                    // Level 0 alone, and level 0 above a 1 × 1 level 1 (a 1 × 1 texture stands
                    // above nothing: there the lane path is chosen by mixing the filters).
                    const UINT nLevels = nSize > 1 ? 2 : 1;
                    const auto single = MakeFaces(nFaces, 1, nSize);
                    const auto mipmapped = MakeFaces(nFaces, nLevels, nSize);
                    DrawResources resources;
                    for (unsigned s = 0; s < 2; ++s)
                    {
                        SamplerImages& images = resources.samplers[s];
                        images.nType = bCube ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE;
                        images.nLevels = s == 0 ? 1 : nLevels;
                        for (const auto& pImage : s == 0 ? single : mipmapped)
                            images.images.push_back(pImage.get());
                    }
                    DeviceState state{};
                    for (unsigned s = 0; s < 2; ++s)
                    {
                        DWORD* pStates = state.samplerStates[s];
                        pStates[D3DSAMP_ADDRESSU] = pStates[D3DSAMP_ADDRESSV] = nAddress;
                        pStates[D3DSAMP_MAGFILTER] = pStates[D3DSAMP_MINFILTER] = nFilter;
                    }
                    state.samplerStates[1][D3DSAMP_MIPFILTER] = D3DTEXF_LINEAR;
                    if (nLevels == 1)
                        state.samplerStates[1][D3DSAMP_MINFILTER] =
                            nFilter == D3DTEXF_POINT ? D3DTEXF_LINEAR : D3DTEXF_POINT;
                    TextureSampler sampler;
                    sampler.Configure(state, resources, nullptr);
                    float coord[3][64], batched[4][64], lanes[4][64];
                    QuadCoordinates(bCube, coord);
                    const float* const coords[3] = {coord[0], coord[1], coord[2]};
                    float* const batchedOut[4] = {batched[0], batched[1], batched[2], batched[3]};
                    float* const lanesOut[4] = {lanes[0], lanes[1], lanes[2], lanes[3]};
                    sampler.SampleQuads(0, coords, nullptr, 64, batchedOut);
                    sampler.SampleQuads(1, coords, nullptr, 64, lanesOut);
                    EXPECT_EQ(std::memcmp(batched, lanes, sizeof(lanes)), 0)
                        << (bCube ? "cube " : "2D ") << nSize << " address " << nAddress << " filter " << nFilter;
                    for (unsigned i = 0; i < 64 && nSize == 1; ++i)
                    {
                        const float dir[3] = {coord[0][i], coord[1][i], coord[2][i]};
                        float u, v;
                        const BYTE* texel = single[bCube ? CubeFace(dir, u, v) : 0]->Row(0);   // B, G, R, A
                        const float expected[4] = {texel[2] / 255.0f, texel[1] / 255.0f, texel[0] / 255.0f,
                                                   texel[3] / 255.0f};
                        for (int c = 0; c < 4; ++c)
                            EXPECT_EQ(batched[c][i], expected[c]) << "lane " << i << " filter " << nFilter;
                    }
                }
}
