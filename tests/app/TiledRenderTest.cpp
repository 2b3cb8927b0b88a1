// The tiled high-resolution render: its tiles join into the picture a single render of the whole
// size draws, the projection comes back unchanged, and the file appears whole or not at all.
#include "app/RenderApp.h"
#include "core/FileIO.h"
#include "core/Log.h"
#include "core/PixelImage.h"

#include <d3d9/testing.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
const UINT WIDTH = 16, HEIGHT = 12;

struct ColouredVertex
{
    float x, y, z;
    D3DCOLOR colour;
};

// Overlapping triangles at several depths (the nearest wins), crossing the tile borders of every
// factor tested; corners off any pixel centre so that the edges fall the same way in every tile.
const ColouredVertex TRIANGLES[] = {
    {-3.1f, -2.3f, 8.0f, 0xFFFF0000}, {0.37f, 2.9f, 8.0f, 0xFFFF0000},  {2.6f, -1.7f, 8.0f, 0xFFFF0000},
    {-1.9f, 1.3f, 5.0f, 0xFF00FF00},  {1.1f, 0.2f, 5.0f, 0xFF00FF00},   {-0.6f, -2.2f, 5.0f, 0xFF00FF00},
    {0.15f, 1.9f, 9.5f, 0xFF2040C0},  {3.3f, 1.6f, 4.0f, 0xFF2040C0},   {1.4f, -2.8f, 6.5f, 0xFF2040C0},
    {-2.7f, 2.2f, 7.0f, 0xFFFFFF80},  {-0.8f, 2.4f, 7.0f, 0xFFFFFF80},  {-2.2f, -0.9f, 3.0f, 0xFFFFFF80},
};

class TiledRenderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quen-tiled-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_strFolder = pattern;
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(m_pD3D, nullptr);
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(WIDTH, HEIGHT, D3DFMT_X8R8G8B8, D3DFMT_D24S8);
        ASSERT_EQ(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                       &m_pDevice),
                  D3D_OK);
        // A 60-degree view, 4:3 like the back buffer.
        g_matProjection.SetPerspective(1.0471976f, 0.75f, 1.0f, 100.0f);
        m_matProjection = g_matProjection;
        SetLogEcho(false);
        ClearLogLines();
    }

    void TearDown() override
    {
        SetLogEcho(true);
        if (m_pDevice)
            m_pDevice->Release();
        if (m_pD3D)
            m_pD3D->Release();
        std::error_code ignored;
        std::filesystem::remove_all(m_strFolder, ignored);
        auto live = d3d9test::LiveObjects();
        EXPECT_TRUE(live.empty()) << "first survivor: " << live.front().strKind;
    }

    // The scene through g_matProjection into the bound targets.
    void Draw()
    {
        ++m_nDraws;
        m_pDevice->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(g_matProjection.e));
        m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_pDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF103050, 1.0f, 0);
        m_pDevice->BeginScene();
        m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, std::size(TRIANGLES) / 3, TRIANGLES, sizeof(ColouredVertex));
        m_pDevice->EndScene();
    }

    // The whole a x a picture drawn at once with the unchanged projection, as 8-bit R, G, B rows.
    std::vector<uint8_t> SingleRender(int a)
    {
        IDirect3DSurface9 *pTarget = nullptr, *pDepth = nullptr, *pBack = nullptr, *pBackDepth = nullptr;
        m_pDevice->CreateRenderTarget(WIDTH * a, HEIGHT * a, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &pTarget,
                                      nullptr);
        m_pDevice->CreateDepthStencilSurface(WIDTH * a, HEIGHT * a, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                             &pDepth, nullptr);
        m_pDevice->GetRenderTarget(0, &pBack);
        m_pDevice->GetDepthStencilSurface(&pBackDepth);
        m_pDevice->SetRenderTarget(0, pTarget);
        m_pDevice->SetDepthStencilSurface(pDepth);
        Draw();
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pTarget, data));
        m_pDevice->SetRenderTarget(0, pBack);
        m_pDevice->SetDepthStencilSurface(pBackDepth);
        for (IDirect3DSurface9* p : {pTarget, pDepth, pBack, pBackDepth})
            p->Release();
        std::vector<uint8_t> rgb;
        for (size_t i = 0; i < data.rgba.size(); ++i)
            if (i % 4 != 3)
                rgb.push_back(static_cast<uint8_t>(data.rgba[i] * 255.0f + 0.5f));
        return rgb;
    }

    HRESULT RenderTiled(const std::string& strPath, int a)
    {
        return RenderApp::RenderTiledHighResolution(strPath.c_str(), m_pDevice, a, [this] { Draw(); });
    }

    bool ProjectionRestored() const
    {
        return std::memcmp(g_matProjection.e, m_matProjection.e, sizeof(m_matProjection.e)) == 0;
    }

    static int CountWarnings(const char* szText)
    {
        int n = 0;
        for (const LogLine& line : GetLogLines())
            n += line.m_nType == LOG_WARNING && line.m_strText == szText;
        return n;
    }

    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_strFolder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    std::string m_strFolder;
    Matrix4 m_matProjection;
    int m_nDraws = 0;
};
}

TEST_F(TiledRenderTest, TilesJoinIntoTheSingleRenderOfTheWholeSize)
{
    for (int a : {1, 2, 3})
    {
        SCOPED_TRACE("factor " + std::to_string(a));
        const std::string strPath = m_strFolder + "/tiled" + std::to_string(a) + ".bmp";
        m_nDraws = 0;
        ClearLogLines();
        ASSERT_EQ(RenderTiled(strPath, a), D3D_OK);
        EXPECT_EQ(m_nDraws, a * a);
        EXPECT_EQ(CountWarnings("LOAD SURF FROM SURF"), a * a);
        EXPECT_TRUE(ProjectionRestored());

        PixelImage image;
        ASSERT_TRUE(image.LoadBMP(strPath.c_str(), true, false));
        ASSERT_EQ(image.width, static_cast<int32_t>(WIDTH) * a);
        ASSERT_EQ(image.height, static_cast<int32_t>(HEIGHT) * a);
        ASSERT_EQ(image.GetFormat(), RGB8);
        const std::vector<uint8_t> expected = SingleRender(a);
        ASSERT_EQ(expected.size(), static_cast<size_t>(image.width) * image.height * 3);
        int nDifferent = 0, nColours = 0;
        for (size_t p = 0; p < expected.size(); p += 3)
        {
            nDifferent += std::memcmp(&expected[p], &image.pixels[p], 3) != 0;
            nColours += std::memcmp(&expected[p], &expected[0], 3) != 0;
        }
        EXPECT_EQ(nDifferent, 0);
        // The picture is not one colour: the triangles cover a good part of it.
        EXPECT_GT(nColours, image.width * image.height / 4);
    }
}

TEST_F(TiledRenderTest, FileIsReplacedWholeOrLeftAlone)
{
    const std::string strPath = m_strFolder + "/picture.bmp";
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    ASSERT_TRUE(WriteFileAtomic(strPath.c_str(), old));

    // The back buffer of the second tile cannot be taken: no picture with a hole is written.
    m_nDraws = 0;
    bool bFailed = false;
    HRESULT hr = RenderApp::RenderTiledHighResolution(strPath.c_str(), m_pDevice, 2, [&] {
        Draw();
        if (m_nDraws == 2 && !bFailed)
        {
            d3d9test::FailNext(m_pDevice, "GetBackBuffer");
            bFailed = true;
        }
    });
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(m_nDraws, 2);
    EXPECT_EQ(CountWarnings("fail get backbuffer"), 1);
    EXPECT_TRUE(ProjectionRestored());
    std::vector<uint8_t> content;
    ASSERT_TRUE(ReadWholeFile(strPath.c_str(), content));
    EXPECT_EQ(content, old);

    // A whole render replaces the file, and nothing else is left beside it.
    ASSERT_EQ(RenderTiled(strPath, 2), D3D_OK);
    ASSERT_TRUE(ReadWholeFile(strPath.c_str(), content));
    EXPECT_EQ(content.size(), 54u + 2 * HEIGHT * 2 * WIDTH * 3);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"picture.bmp"});

    // A folder that does not exist, or no tiles at all: an error and no file.
    EXPECT_TRUE(FAILED(RenderTiled(m_strFolder + "/missing/picture.bmp", 2)));
    m_nDraws = 0;
    EXPECT_EQ(RenderTiled(m_strFolder + "/none.bmp", 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_nDraws, 0);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"picture.bmp"});
    EXPECT_TRUE(ProjectionRestored());
}
