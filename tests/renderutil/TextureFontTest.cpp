// The texture font: texture size and glyph packing, batching, newline and skip rules, and the
// caller's states around a draw.
#include "3dapi/TextureFont.h"
#include "DeviceTestBase.h"

#include <d3dx9math.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Texts = std::vector<std::string>;

class TextureFontTest : public UtilityDeviceTest
{
protected:
    void TearDown() override
    {
        m_pFont.reset();
        UtilityDeviceTest::TearDown();
    }

    void MakeFont(uint32_t nHeight)
    {
        m_pFont = std::make_unique<TextureFont>("Impact", nHeight, 0);
        ASSERT_EQ(m_pFont->CreateDeviceResources(m_pDevice), S_OK);
        ASSERT_EQ(m_pFont->RestoreDeviceResources(), S_OK);
    }

    // The vertices of the last batch, read back from the font's buffer (still on stream 0: the
    // font's state list does not cover the streams).
    template <class Vertex = FontVertex2D> std::vector<Vertex> LastBatch(size_t nVertices)
    {
        IDirect3DVertexBuffer9* pBuffer = nullptr;
        UINT nOffset = 0, nStride = 0;
        m_pDevice->GetStreamSource(0, &pBuffer, &nOffset, &nStride);
        EXPECT_EQ(nStride, sizeof(Vertex));
        std::vector<Vertex> vertices(nVertices);
        if (!pBuffer)
            return vertices;
        void* pData = nullptr;
        if (SUCCEEDED(pBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY)))
        {
            std::memcpy(vertices.data(), pData, nVertices * sizeof(Vertex));
            pBuffer->Unlock();
        }
        pBuffer->Release();
        return vertices;
    }

    // Widths and heights of the 10-point font at scale 1, in texels.
    float Spacing() const { return static_cast<float>(m_pFont->GetGlyphSpacing()); }
    float Width(int c) const { return (m_pFont->GetGlyphCoords(c)[2] - m_pFont->GetGlyphCoords(c)[0]) * 256.0f; }
    float Height(int c) const { return (m_pFont->GetGlyphCoords(c)[3] - m_pFont->GetGlyphCoords(c)[1]) * 256.0f; }

    // Replaces the 16x16 device with one of another back-buffer size.
    void RecreateDevice(UINT nWidth, UINT nHeight)
    {
        m_pFont.reset();
        m_pDevice->Release();
        m_pD3D->Release();
        m_pDevice = nullptr;
        m_pD3D = nullptr;
        CreateDevice(nWidth, nHeight);
    }

    // Clears to black, runs the drawing in a scene and reads the back buffer.
    template <class Draw> d3d9test::SurfaceData Render(Draw draw)
    {
        d3d9test::SurfaceData data;
        EXPECT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
        EXPECT_EQ(m_pDevice->BeginScene(), D3D_OK);
        draw();
        EXPECT_EQ(m_pDevice->EndScene(), D3D_OK);
        IDirect3DSurface9* pBackBuffer = nullptr;
        if (m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer) != D3D_OK)
            return data;
        EXPECT_TRUE(d3d9test::ReadSurface(pBackBuffer, data));
        pBackBuffer->Release();
        return data;
    }

    // Lit pixels of an "I I" rendering sorted by column (scaled by fStretch) against the text's
    // extents: the first glyph, the second, the blank between them (with a pixel of slack at each
    // side), and anything outside the text's columns or rows [nTop, nTop + height).
    struct LitColumns
    {
        int nFirst = 0, nSecond = 0, nBetween = 0, nOutside = 0;
    };
    LitColumns CountLit(const d3d9test::SurfaceData& data, float fStretch, int nTop)
    {
        SIZE one{}, oneSpace{}, all{};
        m_pFont->GetStringExtent("I", &one);
        m_pFont->GetStringExtent("I ", &oneSpace);
        m_pFont->GetStringExtent("I I", &all);
        const int nOne = static_cast<int>(static_cast<float>(one.cx) * fStretch);
        const int nOneSpace = static_cast<int>(static_cast<float>(oneSpace.cx) * fStretch);
        const int nAll = static_cast<int>(static_cast<float>(all.cx) * fStretch);
        EXPECT_LT(nOne + 1, nOneSpace - 1);
        EXPECT_LE(nAll, static_cast<int>(data.nWidth));
        LitColumns lit;
        for (UINT y = 0; y < data.nHeight; ++y)
            for (UINT x = 0; x < data.nWidth; ++x)
            {
                if (data.Pixel(x, y)[0] < 0.25f)
                    continue;
                const int ix = static_cast<int>(x), iy = static_cast<int>(y);
                if (iy < nTop || iy >= nTop + all.cy || ix >= nAll + static_cast<int>(fStretch))
                    ++lit.nOutside;
                else if (ix < nOne)
                    ++lit.nFirst;
                else if (ix >= nOneSpace)
                    ++lit.nSecond;
                else if (ix > nOne + static_cast<int>(fStretch) && ix < nOneSpace - 1)
                    ++lit.nBetween;
            }
        return lit;
    }

    Texts Draws(const char* szText, uint32_t nFlags = 0)
    {
        d3d9test::Recorder recorder(m_pDevice);
        EXPECT_EQ(m_pFont->DrawString(2.0f, 0.0f, 0xFFFFFFFF, szText, nFlags), S_OK);
        recorder.Stop();
        return recorder.Texts({"DrawPrimitive"});
    }

    std::unique_ptr<TextureFont> m_pFont;
};

TEST_F(TextureFontTest, TextureSizeByHeightAndGlyphsPackedApart)
{
    struct Case
    {
        uint32_t nHeight;
        uint32_t nSize;
    };
    // Sizes by height; 15 points of the wide stand-in face need more rows than 256 texels give,
    // so that font moves up to the next size.
    for (const Case& c : {Case{10, 256}, Case{15, 512}, Case{16, 512}, Case{31, 1024}, Case{61, 2048}})
    {
        MakeFont(c.nHeight);
        EXPECT_EQ(m_pFont->GetTextureWidth(), c.nSize) << c.nHeight;
        EXPECT_EQ(m_pFont->GetTextureHeight(), c.nSize) << c.nHeight;
        EXPECT_EQ(m_pFont->GetScale(), 1.0f);
        EXPECT_GT(m_pFont->GetGlyphSpacing(), 0u);
        if (c.nHeight > 16)
            continue;

        // Texel rectangles: inside the texture, none overlapping another.
        const float fSize = static_cast<float>(c.nSize);
        std::vector<RECT> rects;
        for (int ch = TextureFont::FIRST_CHAR; ch <= TextureFont::LAST_CHAR; ++ch)
        {
            const float* uv = m_pFont->GetGlyphCoords(ch);
            RECT r{static_cast<LONG>(std::lround(uv[0] * fSize)), static_cast<LONG>(std::lround(uv[1] * fSize)),
                   static_cast<LONG>(std::lround(uv[2] * fSize)), static_cast<LONG>(std::lround(uv[3] * fSize))};
            EXPECT_GE(r.left, 0) << ch;
            EXPECT_GE(r.top, 0) << ch;
            EXPECT_LE(r.right, static_cast<LONG>(c.nSize)) << ch;
            EXPECT_LE(r.bottom, static_cast<LONG>(c.nSize)) << ch;
            EXPECT_LT(r.left, r.right) << ch;
            EXPECT_LT(r.top, r.bottom) << ch;
            for (const RECT& other : rects)
            {
                bool bOverlap = r.left < other.right && other.left < r.right && r.top < other.bottom && other.top < r.bottom;
                EXPECT_FALSE(bOverlap) << "character " << ch;
            }
            rects.push_back(r);
        }

        // Glyph texels are white with alpha; a space has none, an "M" has some in its own cell.
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(m_pFont->GetTexture()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        auto countLit = [&](const RECT& r) {
            int n = 0;
            for (LONG y = r.top; y < r.bottom; ++y)
            {
                auto* pRow = reinterpret_cast<const uint16_t*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch);
                for (LONG x = r.left; x < r.right; ++x)
                {
                    if (pRow[x] != 0)
                    {
                        EXPECT_EQ(pRow[x] & 0x0FFF, 0x0FFF);
                        ++n;
                    }
                }
            }
            return n;
        };
        EXPECT_EQ(countLit(rects[0]), 0);
        EXPECT_GT(countLit(rects['M' - TextureFont::FIRST_CHAR]), 10);
        m_pFont->GetTexture()->UnlockRect(0);
    }
}

TEST_F(TextureFontTest, BatchesOfFiftyCharactersAndNoEmptyDraw)
{
    MakeFont(10);
    EXPECT_EQ(Draws(std::string(60, 'W').c_str()),
              (Texts{"DrawPrimitive(TRIANGLELIST, 0, 100)", "DrawPrimitive(TRIANGLELIST, 0, 20)"}));
    // Exactly one full batch, then nothing left: no draw of zero triangles.
    EXPECT_EQ(Draws(std::string(50, 'W').c_str()), (Texts{"DrawPrimitive(TRIANGLELIST, 0, 100)"}));
    EXPECT_TRUE(Draws("     ").empty());
    EXPECT_TRUE(Draws("").empty());
    // Spaces and skipped characters make no triangles.
    EXPECT_EQ(Draws("A \x01\xC8 B"), (Texts{"DrawPrimitive(TRIANGLELIST, 0, 4)"}));
}

TEST_F(TextureFontTest, NewlinesReturnToTheLineStartAndOddCharactersAreSkipped)
{
    MakeFont(10);
    const float fSpacing = static_cast<float>(m_pFont->GetGlyphSpacing());
    const float* uvA = m_pFont->GetGlyphCoords('A');
    const float* uvSpace = m_pFont->GetGlyphCoords(' ');
    const float fRow = (uvSpace[3] - uvSpace[1]) * 256.0f;
    const float fWidthA = (uvA[2] - uvA[0]) * 256.0f;

    ASSERT_EQ(m_pFont->DrawString(10.0f, 5.0f, 0xFF00FF00, "A\x7F\xE9\tB\nA", 0), S_OK);
    std::vector<FontVertex2D> v = LastBatch(18);
    // First "A": vertex 1 is its top left, at the caller's x less the spacing and half a pixel.
    EXPECT_FLOAT_EQ(v[1].x, 10.0f - fSpacing - 0.5f);
    EXPECT_FLOAT_EQ(v[1].y, 5.0f - 0.5f);
    EXPECT_FLOAT_EQ(v[1].u, uvA[0]);
    EXPECT_EQ(v[1].dwColor, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(v[2].x - v[1].x, fWidthA);
    // "B" follows "A" directly: the three characters between are skipped without advancing.
    EXPECT_FLOAT_EQ(v[7].x, v[1].x + fWidthA - 2.0f * fSpacing);
    // After the newline, the second "A" starts one row down at the line start.
    EXPECT_FLOAT_EQ(v[13].x, v[1].x);
    EXPECT_FLOAT_EQ(v[13].y, v[1].y + fRow);

    // Centred: the line start is the centred x, not the caller's.
    ASSERT_EQ(m_pFont->DrawString(2.0f, 0.0f, 0xFFFFFFFF, "AA\nA", TEXT_CENTERED_X | TEXT_CENTERED_Y), S_OK);
    v = LastBatch(18);
    const float fLine = 2.0f * (fWidthA - 2.0f * fSpacing);
    EXPECT_FLOAT_EQ(v[1].x, (16.0f - fLine) / 2.0f - fSpacing - 0.5f);
    EXPECT_FLOAT_EQ(v[1].y, (16.0f - fRow) / 2.0f - 0.5f);
    EXPECT_FLOAT_EQ(v[13].x, v[1].x);

    SIZE size{};
    ASSERT_EQ(m_pFont->GetStringExtent("", &size), S_OK);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, static_cast<LONG>(fRow));
    ASSERT_EQ(m_pFont->GetStringExtent("AA\x01\nA", &size), S_OK);
    EXPECT_EQ(size.cx, static_cast<LONG>(fLine));
    EXPECT_EQ(size.cy, static_cast<LONG>(2.0f * fRow));
    EXPECT_EQ(m_pFont->GetStringExtent(nullptr, &size), E_FAIL);
}

TEST_F(TextureFontTest, CallersStatesComeBackAfterADraw)
{
    MakeFont(10);
    // The caller's own choices for states the font changes.
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_FOGENABLE, TRUE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d3d9test::StateSnapshot before = d3d9test::CaptureState(m_pDevice);
    ASSERT_EQ(m_pFont->DrawString(2.0f, 0.0f, 0xFFFFFFFF, "Frame rate", TEXT_FILTERED), S_OK);
    d3d9test::StateSnapshot after = d3d9test::CaptureState(m_pDevice);
    // Only what the state list does not hold may differ: the vertex format and stream.
    for (const std::string& line : d3d9test::DiffState(before, after))
    {
        bool bStream = line.rfind("FVF", 0) == 0 || line.rfind("Stream", 0) == 0 || line.rfind("VertexDecl", 0) == 0;
        EXPECT_TRUE(bStream) << line;
    }

    // Without a device the font draws nothing.
    TextureFont unready("Impact", 10, 0);
    EXPECT_EQ(unready.DrawString(0, 0, 0, "x", 0), E_FAIL);
}

// "Impact" 10 drawn white on black into a 64x16 back buffer: light only where the glyphs are.
// "I I" puts two glyphs apart; the blank between them stays dark and each glyph's columns lit.
TEST_F(TextureFontTest, RenderedTextLightsPixelsOnlyWhereTheGlyphsAre)
{
    RecreateDevice(64, 16);
    MakeFont(10);
    d3d9test::SurfaceData data = Render([&] { EXPECT_EQ(m_pFont->DrawString(0.0f, 0.0f, 0xFFFFFFFF, "I I", 0), S_OK); });
    LitColumns lit = CountLit(data, 1.0f, 0);
    EXPECT_GT(lit.nFirst, 4);
    EXPECT_GT(lit.nSecond, 4);
    EXPECT_EQ(lit.nBetween, 0);
    EXPECT_EQ(lit.nOutside, 0);
}

// In viewport units one row at scale 1 fills the viewport's height, so a scale of one row over
// the height gives the screen-space layout again, at the given depth.
TEST_F(TextureFontTest, ScaledTextIsScreenTextInViewportUnits)
{
    MakeFont(10);
    const float fRow = Height(' ');
    const float s = fRow / 16.0f;
    ASSERT_EQ(m_pFont->DrawString(0.0f, 0.0f, 0xFF00FF00, "A\nAB", 0), S_OK);
    std::vector<FontVertex2D> screen = LastBatch(18);
    ASSERT_EQ(m_pFont->DrawStringScaled(-1.0f, -1.0f, 0.25f, s, s, 0xFF00FF00, "A\nAB", 0), S_OK);
    std::vector<FontVertex2D> scaled = LastBatch(18);
    for (size_t i = 0; i < 18; ++i)
    {
        EXPECT_NEAR(scaled[i].x, screen[i].x, 1e-4f) << i;
        EXPECT_NEAR(scaled[i].y, screen[i].y, 1e-4f) << i;
        EXPECT_EQ(scaled[i].z, 0.25f) << i;
        EXPECT_EQ(scaled[i].u, screen[i].u) << i;
        EXPECT_EQ(scaled[i].dwColor, 0xFF00FF00u) << i;
    }
    // Centring matches too.
    ASSERT_EQ(m_pFont->DrawString(0.0f, 0.0f, 0xFFFFFFFF, "AB", TEXT_CENTERED_X | TEXT_CENTERED_Y), S_OK);
    screen = LastBatch(12);
    ASSERT_EQ(m_pFont->DrawStringScaled(0.7f, 0.7f, 0.5f, s, s, 0xFFFFFFFF, "AB", TEXT_CENTERED_X | TEXT_CENTERED_Y), S_OK);
    scaled = LastBatch(12);
    EXPECT_NEAR(scaled[1].x, screen[1].x, 1e-4f);
    EXPECT_NEAR(scaled[1].y, screen[1].y, 1e-4f);
    EXPECT_NEAR(scaled[7].x, screen[7].x, 1e-4f);

    // Twice as wide and half as high, from the centre of the viewport: glyph widths and the
    // spacing double, heights halve, and a newline moves down half a row.
    ASSERT_EQ(m_pFont->DrawStringScaled(0.0f, 0.0f, 0.5f, 2.0f * s, 0.5f * s, 0xFFFFFFFF, "A\nA", 0), S_OK);
    scaled = LastBatch(12);
    EXPECT_FLOAT_EQ(scaled[1].x, 8.0f - 2.0f * Spacing() - 0.5f);
    EXPECT_FLOAT_EQ(scaled[1].y, 8.0f - 0.5f);
    EXPECT_FLOAT_EQ(scaled[2].x - scaled[1].x, 2.0f * Width('A'));
    EXPECT_FLOAT_EQ(scaled[0].y - scaled[1].y, 0.5f * Height('A'));
    EXPECT_FLOAT_EQ(scaled[7].x, scaled[1].x);
    EXPECT_FLOAT_EQ(scaled[7].y, scaled[1].y + 0.5f * fRow);

    // The font's drawing states stay set: blending on, no depth test for this style.
    d3d9test::StateSnapshot after = d3d9test::CaptureState(m_pDevice);
    EXPECT_EQ(after.entries["RenderState ALPHABLENDENABLE"], "TRUE");
    EXPECT_EQ(after.entries["RenderState ZENABLE"], "FALSE");
    EXPECT_EQ(after.entries["RenderState ALPHATESTENABLE"], "TRUE");
}

TEST_F(TextureFontTest, ScaledTextRenderedTwiceAsWide)
{
    RecreateDevice(64, 16);
    MakeFont(10);
    const float s = Height(' ') / 16.0f;
    d3d9test::SurfaceData data = Render(
        [&] { EXPECT_EQ(m_pFont->DrawStringScaled(-1.0f, -1.0f, 0.5f, 2.0f * s, s, 0xFFFFFFFF, "I I", 0), S_OK); });
    LitColumns lit = CountLit(data, 2.0f, 0);
    EXPECT_GT(lit.nFirst, 8);
    EXPECT_GT(lit.nSecond, 8);
    EXPECT_EQ(lit.nBetween, 0);
    EXPECT_EQ(lit.nOutside, 0);
}

TEST_F(TextureFontTest, ThreeDimensionalTextQuadsAndLines)
{
    MakeFont(10);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    {
        d3d9test::Recorder recorder(m_pDevice);
        ASSERT_EQ(m_pFont->Render3DString("A\nA", 0), S_OK);
        recorder.Stop();
        EXPECT_EQ(recorder.Texts({"DrawPrimitive"}), (Texts{"DrawPrimitive(TRIANGLELIST, 0, 4)"}));
    }
    // The caller's cull mode is back.
    DWORD dwCull = 0;
    m_pDevice->GetRenderState(D3DRS_CULLMODE, &dwCull);
    EXPECT_EQ(dwCull, static_cast<DWORD>(D3DCULL_CW));

    std::vector<FontVertex3D> v = LastBatch<FontVertex3D>(12);
    const float fUnitW = Width('A') / 10.0f, fUnitH = Height('A') / 10.0f;
    // Bottom left, top left, bottom right, top right; ten texels to the unit, facing -z.
    EXPECT_FLOAT_EQ(v[0].x, -Spacing() / 10.0f);
    EXPECT_FLOAT_EQ(v[0].y, 0.0f);
    EXPECT_FLOAT_EQ(v[1].y, fUnitH);
    EXPECT_FLOAT_EQ(v[2].x - v[0].x, fUnitW);
    EXPECT_EQ(v[0].v, m_pFont->GetGlyphCoords('A')[3]);
    EXPECT_EQ(v[1].v, m_pFont->GetGlyphCoords('A')[1]);
    for (const FontVertex3D& vertex : v)
    {
        EXPECT_EQ(vertex.z, 0.0f);
        EXPECT_EQ(vertex.nz, -1.0f);
    }
    // The second line starts at the line start, one row lower.
    EXPECT_FLOAT_EQ(v[6].x, v[0].x);
    EXPECT_FLOAT_EQ(v[6].y, -Height(' ') / 10.0f);

    // Centred on the origin by the string's extent.
    SIZE extent{};
    ASSERT_EQ(m_pFont->GetStringExtent("A\nA", &extent), S_OK);
    ASSERT_EQ(m_pFont->Render3DString("A\nA", TEXT_CENTERED_X | TEXT_CENTERED_Y), S_OK);
    v = LastBatch<FontVertex3D>(12);
    EXPECT_FLOAT_EQ(v[0].x, -0.5f * static_cast<float>(extent.cx) / 10.0f - Spacing() / 10.0f);
    EXPECT_FLOAT_EQ(v[0].y, -0.5f * static_cast<float>(extent.cy) / 10.0f);
}

// 3D text through an orthographic projection of ten pixels to the unit lands on the same columns
// as screen text, its first line's bottom on the bottom row. Seen from behind (a mirrored
// projection) it is culled unless both faces are asked for.
TEST_F(TextureFontTest, ThreeDimensionalTextRenderedFromFrontAndBehind)
{
    RecreateDevice(64, 16);
    MakeFont(10);
    D3DXMATRIX identity, projection;
    D3DXMatrixIdentity(&identity);
    m_pDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pDevice->SetTransform(D3DTS_VIEW, &identity);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DXMatrixOrthoOffCenterLH(&projection, 0.0f, 6.4f, 0.0f, 1.6f, -1.0f, 1.0f);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);

    SIZE all{};
    ASSERT_EQ(m_pFont->GetStringExtent("I I", &all), S_OK);
    d3d9test::SurfaceData data = Render([&] { EXPECT_EQ(m_pFont->Render3DString("I I", 0), S_OK); });
    LitColumns lit = CountLit(data, 1.0f, 16 - all.cy);
    EXPECT_GT(lit.nFirst, 4);
    EXPECT_GT(lit.nSecond, 4);
    EXPECT_EQ(lit.nBetween, 0);
    EXPECT_EQ(lit.nOutside, 0);

    D3DXMatrixOrthoOffCenterLH(&projection, 6.4f, 0.0f, 0.0f, 1.6f, -1.0f, 1.0f);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    auto countAll = [](const d3d9test::SurfaceData& d) {
        int n = 0;
        for (UINT y = 0; y < d.nHeight; ++y)
            for (UINT x = 0; x < d.nWidth; ++x)
                n += d.Pixel(x, y)[0] >= 0.25f ? 1 : 0;
        return n;
    };
    EXPECT_EQ(countAll(Render([&] { m_pFont->Render3DString("I I", 0); })), 0);
    EXPECT_GT(countAll(Render([&] { m_pFont->Render3DString("I I", TEXT_TWO_SIDED); })), 8);
}
}  // namespace
