// The sample room the build writes, traced through the frame driver at 64 x 48 with light blocks
// of 32: the image's invariants across the tracer's switches and the device's thread count, and
// the saved BMP at the default 640 x 480.
#include "TracerFixture.h"

#include "scene/SceneLight.h"
#include "tracer/GatherShortcuts.h"

#include <d3d9/testing.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace
{
std::vector<uint8_t> ReadFileBytes(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint32_t LittleEndian(const std::vector<uint8_t>& bytes, size_t nAt, int nBytes)
{
    uint32_t nValue = 0;
    for (int i = nBytes - 1; i >= 0; --i)
        nValue = (nValue << 8) | bytes[nAt + i];
    return nValue;
}
}

class SampleRoomTraceTest : public TracerTest
{
protected:
    void SetUp() override
    {
        TracerTest::SetUp();
        ASSERT_TRUE(InitAndLoad());
        ASSERT_TRUE(m_pApp->m_Scene.OpenQnlFile(QUEN_SAMPLE_SCENE, m_pApp->GetRenderer(), Device()));
        for (uint32_t i = 0; i < m_pApp->m_Scene.m_Meshes.GetCount(); ++i)
        {
            auto* pMesh = static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i));
            if (!pMesh->m_pVertexBuffer)
                pMesh->CreateVertexBuffers(Device());
        }
        ASSERT_EQ(m_pApp->m_Scene.m_Lights.GetCount(), 1u);
        m_strImage = m_strFolder + "/Images/Room.bmp";
        std::snprintf(g_szImagePath, IMAGE_PATH_SIZE, "%s", m_strImage.c_str());
        g_nTracedImageWidth = SCREEN_WIDTH;
        g_nTracedImageHeight = SCREEN_HEIGHT;
        g_bSceneChanged = 1;
        // Few photons keep a render short; a grid of 16 keeps the cells' runs short without many
        // cells to index.
        g_nGridSize = 16;
        g_nDirectEmanateTile = 1;
        g_nDirectPhoton = 8;
        g_nGlobalPhoton = 32;
    }

    void TearDown() override
    {
        g_bTracePhoton = 0;
        g_bDirectIllumination = 1;
        g_bGlobalIllumination = 1;
        g_nDirectEmanateTile = 3;
        g_nDirectPhoton = 32;
        g_nGlobalPhoton = 512;
        g_bBackground = 0;
        g_nTracedImageWidth = g_nTracedImageHeight = 0;
        g_nCompletedRenders = 0;
        d3d9test::SetThreadCount(Device(), 0);
        m_pApp->m_Scene.Clear(m_pApp->GetRenderer());
        TracerTest::TearDown();
    }

    // One frame of the program with Trace Photon on: a new render, saved and presented.
    void TraceFrame()
    {
        g_bTracePhoton = 1;
        g_nCompletedRenders = 0;
        m_pApp->m_fFrameStep = RenderApp::FRAME_INTERVAL;
        Device()->BeginScene();
        m_pApp->DrawFrame();
        Device()->EndScene();
        ASSERT_EQ(g_bTracedImageReady, 1);
    }

    // The output image as the render left it, blue, green, red, alpha a pixel.
    std::vector<uint8_t> Output()
    {
        IDirect3DSurface9* pSurface = nullptr;
        EXPECT_EQ(g_pOutputTexture->GetSurfaceLevel(0, &pSurface), D3D_OK);
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
        pSurface->Release();
        return data.bytes;
    }

    std::string m_strImage;
};

TEST_F(SampleRoomTraceTest, DirectAndGlobalAddUpAndTheBytesDoNotDependOnTheDeviceThreads)
{
    struct Render
    {
        const char* szName;
        int32_t bDirect, bGlobal;
        int nThreads;   // 0: the device's own choice
        std::vector<uint8_t> image, bmp;
    };
    Render renders[] = {{"both, one worker", 1, 1, 1, {}, {}},
                        {"direct only", 1, 0, 0, {}, {}},
                        {"global only", 0, 1, 0, {}, {}},
                        {"both, two workers", 1, 1, 2, {}, {}},
                        {"both, three workers", 1, 1, 3, {}, {}}};
    // At half its strength the light leaves the image's sums below saturation, where the kinds
    // add up.
    SceneLight* pLight = static_cast<SceneLight*>(m_pApp->m_Scene.m_Lights.Get(0));
    pLight->m_Light.Diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    for (Render& render : renders)
    {
        SCOPED_TRACE(render.szName);
        g_bDirectIllumination = render.bDirect;
        g_bGlobalIllumination = render.bGlobal;
        d3d9test::SetThreadCount(Device(), render.nThreads);
        TraceFrame();
        render.image = Output();
        render.bmp = ReadFileBytes(m_strImage);
        ASSERT_FALSE(render.bmp.empty());
    }
    const Render& both = renders[0];
    const Render& direct = renders[1];
    const Render& global = renders[2];

    // Each kind lights the room on its own; below saturation the two add up to the image of both
    // within the step each 8-bit image rounds by. The light's sums saturate at 1, which shows as
    // the surface's albedo (0.9 at most in this room) x 255.
    constexpr int SATURATED = 229;
    int nDirectLit = 0, nGlobalLit = 0, nCompared = 0;
    for (size_t i = 0; i < both.image.size(); i += 4)
        for (size_t c = i; c < i + 3; ++c)
        {
            nDirectLit += direct.image[c] > 0;
            nGlobalLit += global.image[c] > 0;
            const int nSum = direct.image[c] + global.image[c];
            if (nSum >= SATURATED || both.image[c] >= SATURATED)
                continue;
            ++nCompared;
            ASSERT_NEAR(both.image[c], nSum, 1) << "pixel " << i / 4 << " channel " << c - i;
        }
    const int nChannels = static_cast<int>(both.image.size() / 4 * 3);
    EXPECT_GT(nDirectLit, nChannels / 2);
    EXPECT_GT(nGlobalLit, nChannels / 3);
    EXPECT_GT(nCompared, nChannels / 2);

    // The same saved file byte for byte whatever the number of workers, and whether the render is
    // the new scene's first frame (its environment cube drawn first) or a later one.
    for (const Render& render : renders)
        if (render.bDirect && render.bGlobal)
        {
            EXPECT_EQ(render.bmp, both.bmp) << render.szName;
        }
}

// Every shortcut of the gather leaves out only work that cannot change a pixel: the image with
// each one alone, and with all of them, is the image of the full walk, byte for byte. The light is
// dimmed so that no sum saturates and hides a difference.
TEST_F(SampleRoomTraceTest, GatherShortcutsLeaveTheImageByteForByte)
{
    // Fine quads of 2 pixels a side give this small tile 32 x 24 quads instead of 16 x 16.
    constexpr int32_t FINE_QUAD_PIXELS = 2;
    struct Shortcut
    {
        const char* szName;
        void (*pSwitchOn)(GatherShortcuts&);
    };
    const Shortcut shortcuts[] = {
        {"empty pairs", [](GatherShortcuts& s) { s.bSkipEmptyPairs = true; }},
        {"unreachable triangles", [](GatherShortcuts& s) { s.bSkipUnreachableTriangles = true; }},
        {"finished triangles", [](GatherShortcuts& s) { s.bSkipFinishedTriangles = true; }},
        {"copies where the pair differs", [](GatherShortcuts& s) { s.bCopyOnlyDifferingTriangles = true; }},
        {"points of occupied cells", [](GatherShortcuts& s) { s.bIndexOccupiedCellsOnly = true; }},
        {"fine tile quads", [](GatherShortcuts& s) { s.nFineQuadPixels = FINE_QUAD_PIXELS; }},
        {"one list per pass", [](GatherShortcuts& s) { s.bDrawActiveAsOneList = true; }},
        {"run queries after stops", [](GatherShortcuts& s) { s.bQueryRunsAfterStopsOnly = true; }},
    };
    static_cast<SceneLight*>(m_pApp->m_Scene.m_Lights.Get(0))->m_Light.Diffuse = {0.3f, 0.3f, 0.3f, 1.0f};
    const GatherShortcuts kept = g_GatherShortcuts;
    auto render = [this](const GatherShortcuts& shortcuts) {
        g_GatherShortcuts = shortcuts;
        TraceFrame();
        return ReadFileBytes(m_strImage);
    };
    const GatherShortcuts none{false, false, false, false, false, 0, false, false};
    const std::vector<uint8_t> full = render(none);
    const int nPassesFull = g_nRadianceEstimatePasses;
    ASSERT_FALSE(full.empty());
    // The walk reaches photons: the image is not black.
    EXPECT_NE(std::count_if(full.begin() + 54, full.end(), [](uint8_t nByte) { return nByte > 8; }), 0);
    GatherShortcuts all = none;
    for (const Shortcut& shortcut : shortcuts)
    {
        GatherShortcuts one = none;
        shortcut.pSwitchOn(one);
        shortcut.pSwitchOn(all);
        EXPECT_TRUE(render(one) == full) << shortcut.szName;
        EXPECT_EQ(g_nRadianceEstimatePasses, nPassesFull) << shortcut.szName;
    }
    EXPECT_TRUE(render(all) == full) << "all";
    EXPECT_EQ(g_nRadianceEstimatePasses, nPassesFull) << "all";
    g_GatherShortcuts = kept;
}

// The device's fast half-float conversions and its portable ones give the same image, byte for
// byte: the gather reads and writes half-float targets at every step.
TEST_F(SampleRoomTraceTest, ProcessorConversionsLeaveTheImageByteForByte)
{
    std::vector<uint8_t> images[2];
    for (bool bProcessor : {false, true})
    {
        d3d9test::UseProcessorConversions(bProcessor);
        TraceFrame();
        images[bProcessor] = ReadFileBytes(m_strImage);
    }
    d3d9test::UseProcessorConversions(true);
    ASSERT_FALSE(images[0].empty());
    EXPECT_TRUE(images[0] == images[1]);
}

TEST_F(SampleRoomTraceTest, DefaultImageIsSavedAs640By480With24BitPixels)
{
    // The background alone keeps the full-size render short; the light is left out.
    static_cast<SceneLight*>(m_pApp->m_Scene.m_Lights.Get(0))->m_bEnabled = 0;
    g_bBackground = 1;
    g_nTracedImageWidth = g_nTracedImageHeight = 0;
    TraceFrame();
    const std::vector<uint8_t> bmp = ReadFileBytes(m_strImage);
    constexpr uint32_t W = 640, H = 480, HEADER = 54;
    ASSERT_GE(bmp.size(), HEADER);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(LittleEndian(bmp, 18, 4), W);
    EXPECT_EQ(LittleEndian(bmp, 22, 4), H);
    EXPECT_EQ(LittleEndian(bmp, 28, 2), 24u);
    EXPECT_EQ(LittleEndian(bmp, 30, 4), 0u) << "uncompressed";
    // 640 x 3 bytes a row need no padding.
    EXPECT_EQ(bmp.size(), LittleEndian(bmp, 10, 4) + W * H * 3);
    EXPECT_EQ(LittleEndian(bmp, 2, 4), bmp.size());

    // The pixels are the output image's (the file's rows bottom first).
    const std::vector<uint8_t> image = Output();
    ASSERT_EQ(image.size(), W * H * 4);
    const size_t nData = LittleEndian(bmp, 10, 4);
    int nDifferent = 0;
    for (uint32_t y = 0; y < H; ++y)
        for (uint32_t x = 0; x < W; ++x)
            for (uint32_t c = 0; c < 3; ++c)
                nDifferent += bmp[nData + ((H - 1 - y) * W + x) * 3 + c] != image[(y * W + x) * 4 + c];
    EXPECT_EQ(nDifferent, 0);
}
