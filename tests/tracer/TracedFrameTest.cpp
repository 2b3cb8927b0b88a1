// The traced frame end to end on a lit box on a floor, 64 x 48 with light blocks of 16: the
// invariants that tie the image to its light (no light is black, a red light has no green or
// blue, two equal lights give twice one, half the light half the image, direct diffuse light
// never above albedo x light colour), the shadow behind the box, the same bytes whatever the
// device's thread count, antialiasing that writes every pixel, the saved BMP and its folder, the
// kept image presented on later frames, a render refused when a program is missing, and no
// render binding a program that no pass binds.
#include "LitSceneFixture.h"

#include "morvyn/morvyn.h"

#include <d3d9/testing.h>

#include <algorithm>
#include <fstream>
#include <sys/stat.h>

namespace
{
using litscene::ALBEDO;
constexpr float FLOOR_HALF = 7.0f;
}

class TracedFrameTest : public LitSceneTest
{
protected:
    void SetUp() override
    {
        LitSceneTest::SetUp();
        // The floor with a wall behind it (so that the grid's cells are cubes), and a box of
        // side 2 standing on the floor at the middle.
        const float f = FLOOR_HALF;
        std::vector<Face> faces = {{{-f, 0, -f}, {-f, 0, f}, {f, 0, f}, {f, 0, -f}, {0, 1, 0}},
                                   {{-f, 0, f}, {-f, 2 * f, f}, {f, 2 * f, f}, {f, 0, f}, {0, 0, -1}}};
        AddMeshOf(faces);
        faces = {{{-1, 2, -1}, {-1, 2, 1}, {1, 2, 1}, {1, 2, -1}, {0, 1, 0}},
                 {{1, 0, -1}, {1, 2, -1}, {1, 2, 1}, {1, 0, 1}, {1, 0, 0}},
                 {{-1, 0, 1}, {-1, 2, 1}, {-1, 2, -1}, {-1, 0, -1}, {-1, 0, 0}},
                 {{-1, 0, -1}, {-1, 2, -1}, {1, 2, -1}, {1, 0, -1}, {0, 0, -1}},
                 {{1, 0, 1}, {1, 2, 1}, {-1, 2, 1}, {-1, 0, 1}, {0, 0, 1}}};
        AddMeshOf(faces);
        LookFrom({0.0f, 9.0f, -10.0f}, {0.0f, 0.0f, -1.0f}, 1.1f);
        m_pApp->BuildTriangleGrid();
        ASSERT_EQ(g_bGridBuilt, 1);
    }

    // The pixel where a world point shows.
    void Project(const D3DXVECTOR3& vPoint, int& x, int& y) const
    {
        D3DXVECTOR3 vClip;
        D3DXVec3TransformCoord(&vClip, &vPoint, &m_matViewProjection);
        x = static_cast<int>(std::lround((vClip.x + 1) / 2 * g_nTracedImageWidth));
        y = static_cast<int>(std::lround((1 - vClip.y) / 2 * g_nTracedImageHeight));
    }

    // Mean red of the 3 x 3 pixels around a world point.
    float MeanRed(const Image& image, const D3DXVECTOR3& vPoint) const
    {
        int x = 0, y = 0;
        Project(vPoint, x, y);
        EXPECT_TRUE(x >= 1 && y >= 1 && x < image.nWidth - 1 && y < image.nHeight - 1) << x << " " << y;
        float fSum = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                fSum += image.At(x + dx, y + dy)[2];
        return fSum / 9;
    }
};

TEST_F(TracedFrameTest, ImageFollowsItsLights)
{
    // No light: black, exactly.
    const Image dark = TraceImage();
    ASSERT_EQ(dark.nWidth, g_nTracedImageWidth);
    ASSERT_EQ(dark.nHeight, g_nTracedImageHeight);
    for (size_t i = 0; i < dark.bgra.size(); i += 4)
        ASSERT_EQ(dark.bgra[i] | dark.bgra[i + 1] | dark.bgra[i + 2], 0) << i / 4;

    // A red light: no green or blue anywhere; red within albedo x light colour (the count may
    // pass N by the last pair's weights, at most 2) and on much of the floor; the floor behind
    // the box, away from the light, darker than open floor at the same distance and angle.
    const D3DXVECTOR3 vLight(2.5f, 3.0f, 0.0f);
    SceneLight* pLight = AddLight(vLight, {0.5f, 0.0f, 0.0f, 1.0f});
    const Image one = TraceImage();
    EXPECT_GT(g_nRadianceEstimatePasses, 0);
    const double fBound = 255.0 * ALBEDO[0] * 0.5 * (g_nDirectPhoton + 2.0) / g_nDirectPhoton;
    int nLit = 0;
    for (size_t i = 0; i < one.bgra.size(); i += 4)
    {
        ASSERT_EQ(one.bgra[i], 0) << i / 4;
        ASSERT_EQ(one.bgra[i + 1], 0) << i / 4;
        ASSERT_LE(one.bgra[i + 2], std::ceil(fBound)) << i / 4;
        nLit += one.bgra[i + 2] > 0;
    }
    EXPECT_GT(nLit, g_nTracedImageWidth * g_nTracedImageHeight / 3);
    const float fShadow = MeanRed(one, {-3.0f, 0.0f, 0.0f});
    const float fOpen = MeanRed(one, {2.5f, 0.0f, -5.5f});
    EXPECT_GT(fOpen, 20.0f);
    EXPECT_LT(fShadow, 0.5f * fOpen);

    // Half the light: half the image, within a step of the bytes.
    pLight->m_Light.Diffuse = {0.25f, 0.0f, 0.0f, 1.0f};
    const Image half = TraceImage();
    for (size_t i = 0; i < one.bgra.size(); i += 4)
        ASSERT_NEAR(half.bgra[i + 2], one.bgra[i + 2] / 2.0, 1.01) << i / 4;

    // Two equal lights in the same place: twice one, the image of the light of twice the colour.
    SceneLight* pSecond = AddLight(vLight, {0.25f, 0.0f, 0.0f, 1.0f});
    const Image two = TraceImage();
    for (size_t i = 0; i < one.bgra.size(); i += 4)
        ASSERT_NEAR(two.bgra[i + 2], one.bgra[i + 2], 1.01) << i / 4;

    // A disabled light, and a direct-illumination flag of 2, leave the light out.
    pSecond->m_bEnabled = 0;
    g_bDirectIllumination = 2;
    EXPECT_EQ(TraceImage().bgra, dark.bgra);
}

TEST_F(TracedFrameTest, SameBytesWhateverTheDeviceThreads)
{
    AddLight({2.5f, 3.0f, 0.0f}, {0.6f, 0.5f, 0.4f, 1.0f});
    d3d9test::SetThreadCount(Device(), 1);
    const Image single = TraceImage();
    d3d9test::SetThreadCount(Device(), 3);
    const Image three = TraceImage();
    d3d9test::SetThreadCount(Device(), 0);
    EXPECT_EQ(single.bgra, three.bgra);
    EXPECT_NE(single.bgra, std::vector<uint8_t>(single.bgra.size(), 0));
}

TEST_F(TracedFrameTest, BackgroundImageIsSavedAsABmpAndPresentedOnLaterFrames)
{
    // Without lights the image is the background box: cheap, and different in every part.
    g_bBackground = 1;
    g_nTracedImageWidth = SCREEN_WIDTH;
    g_nTracedImageHeight = SCREEN_HEIGHT;
    ASSERT_FALSE(std::filesystem::exists(m_strFolder + "/Images"));
    const Image image = TraceImage();
    ASSERT_EQ(g_bTracedImageReady, 1);
    PixelImage saved;
    ASSERT_TRUE(saved.LoadBMP(m_strImage.c_str(), false, false));
    EXPECT_EQ(saved.width, static_cast<int32_t>(SCREEN_WIDTH));
    EXPECT_EQ(saved.height, static_cast<int32_t>(SCREEN_HEIGHT));
    ASSERT_EQ(saved.format, RGB8);
    int nDifferent = 0;
    for (int32_t i = 0; i < saved.width * saved.height; ++i)
        for (int c = 0; c < 3; ++c)
            nDifferent += saved.pixels[i * 3 + c] != image.bgra[static_cast<size_t>(i) * 4 + c];
    EXPECT_EQ(nDifferent, 0);
    EXPECT_EQ(CountLogLines(LOG_WARNING, {"RenderApp::RenderGlobalIllumination()", "Traced.bmp"}), 1);

    // A later frame draws the kept image over whatever the frame held, without rendering anew.
    IDirect3DSurface9* pBackBuffer = nullptr;
    Device()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    Device()->SetRenderTarget(0, pBackBuffer);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(9, 99, 199), 1.0f, 0);
    const int32_t nRenders = g_nCompletedRenders;
    Device()->BeginScene();
    m_pApp->RunPhotonTracer();
    Device()->EndScene();
    EXPECT_EQ(g_nCompletedRenders, nRenders);
    d3d9test::SurfaceData shown;
    ASSERT_TRUE(d3d9test::ReadSurface(pBackBuffer, shown));
    pBackBuffer->Release();
    EXPECT_EQ(shown.bytes, image.bgra);
}

TEST_F(TracedFrameTest, AntialiasingWritesEveryPixelOfTheImage)
{
    g_bBackground = 1;
    const Image plain = TraceImage();
    // Level 3 divides neither side: the blocks of the tiles still cover the image exactly.
    g_bAntialiasing = 1;
    g_nSamplingLevel = 3;
    d3d9test::SetPitchPadding(12);
    const Image smooth = TraceImage();
    d3d9test::SetPitchPadding(0);
    ASSERT_EQ(smooth.bgra.size(), plain.bgra.size());
    double fError = 0;
    for (size_t i = 0; i < plain.bgra.size(); i += 4)
    {
        ASSERT_NE(smooth.bgra[i] | smooth.bgra[i + 1] | smooth.bgra[i + 2], 0) << "pixel " << i / 4;
        for (int c = 0; c < 3; ++c)
            fError += std::fabs(smooth.bgra[i + c] - plain.bgra[i + c]);
    }
    // The background varies slowly: the filtered image stays close to the plain one.
    EXPECT_LT(fError / (plain.bgra.size() / 4 * 3), 12.0);
}

TEST_F(TracedFrameTest, ImageThatCannotBeSavedIsAnErrorTheUserSeesAndLosesNothing)
{
    int nBoxes = 0;
    win32::SetAnswerSource([&nBoxes](const char* szKind, std::string& strValue) {
        strValue = "IDOK";
        nBoxes += std::strcmp(szKind, "msgbox") == 0;
        return std::strcmp(szKind, "msgbox") == 0;
    });
    // The background alone, at the back buffer's size so that the shown frame is the image.
    g_bBackground = 1;
    g_nTracedImageWidth = SCREEN_WIDTH;
    g_nTracedImageHeight = SCREEN_HEIGHT;
    struct Case
    {
        const char* szName;
        const char* szBlocker;   // below the case's folder: a file, or a folder holding a file
        bool bFolder;
        const char* szImage;
    };
    const Case cases[] = {
        // A file where the image's folder should be: the folder cannot be made.
        {"file in place of the folder", "Images", false, "Images/Traced.bmp"},
        // A folder in place of the image: the file cannot replace it.
        {"folder in place of the image", "Images/Traced.bmp", true, "Images/Traced.bmp"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        const std::string strCase = m_strFolder + "/" + std::to_string(&c - cases);
        const std::string strBlocker = strCase + "/" + c.szBlocker;
        std::filesystem::create_directories(std::filesystem::path(strBlocker).parent_path());
        if (c.bFolder)
        {
            std::filesystem::create_directories(strBlocker);
            std::ofstream(strBlocker + "/kept.txt") << "kept";
        }
        else
            std::ofstream(strBlocker) << "kept";
        std::snprintf(g_szImagePath, IMAGE_PATH_SIZE, "%s/%s", strCase.c_str(), c.szImage);
        nBoxes = 0;
        ClearLogLines();
        const Image image = TraceImage();
        EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::SaveTracedImage()", c.szImage}), 1);
        EXPECT_EQ(nBoxes, 1);

        // What stood in the way is untouched, and no part-written file is left beside it.
        std::ifstream kept(c.bFolder ? strBlocker + "/kept.txt" : strBlocker);
        std::string strKept;
        kept >> strKept;
        EXPECT_EQ(strKept, "kept");
        int nEntries = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(strCase))
            nEntries += entry.is_regular_file();
        EXPECT_EQ(nEntries, 1);

        // The image is kept and shown on the later frames all the same.
        ASSERT_EQ(g_bTracedImageReady, 1);
        IDirect3DSurface9* pBackBuffer = nullptr;
        Device()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
        Device()->SetRenderTarget(0, pBackBuffer);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(9, 99, 199), 1.0f, 0);
        Device()->BeginScene();
        m_pApp->RunPhotonTracer();
        Device()->EndScene();
        d3d9test::SurfaceData shown;
        EXPECT_TRUE(d3d9test::ReadSurface(pBackBuffer, shown));
        pBackBuffer->Release();
        EXPECT_EQ(shown.bytes, image.bgra);
    }
}

TEST_F(TracedFrameTest, MissingProgramRefusesTheRenderWhileTheSceneStillDraws)
{
    AddLight({2.5f, 3.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f});
    m_pApp->m_PixelShaders[123] = -1;
    IDirect3DSurface9* pBackBuffer = nullptr;
    Device()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    auto frame = [&](int32_t bTrace) {
        g_bTracePhoton = bTrace;
        // The frame driver draws once a frame interval has passed.
        m_pApp->m_fFrameStep = RenderApp::FRAME_INTERVAL;
        Device()->BeginScene();
        m_pApp->DrawFrame();
        Device()->EndScene();
        EXPECT_TRUE(m_pApp->m_bFrameDrawn);
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pBackBuffer, data));
        return data;
    };
    frame(0);
    const d3d9test::SurfaceData raster = frame(0);
    ClearLogLines();
    const d3d9test::SurfaceData refused = frame(1);
    const d3d9test::SurfaceData again = frame(1);
    pBackBuffer->Release();
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"pixel program 123 (resource 723)"}), 1);
    EXPECT_EQ(g_bTracedImageReady, 0);
    EXPECT_FALSE(std::filesystem::exists(m_strImage));
    // The frame below the overlay's lines is the one drawn without tracing.
    const size_t nRow = SCREEN_WIDTH * 4;
    ASSERT_EQ(raster.bytes.size(), refused.bytes.size());
    const size_t nFrom = nRow * (SCREEN_HEIGHT / 2);
    EXPECT_TRUE(std::equal(raster.bytes.begin() + nFrom, raster.bytes.end(), refused.bytes.begin() + nFrom));
    EXPECT_TRUE(std::equal(raster.bytes.begin() + nFrom, raster.bytes.end(), again.bytes.begin() + nFrom));
}


TEST_F(TracedFrameTest, NoProgramThatNoPassBindsIsBoundByARender)
{
    AddLight({2.5f, 3.0f, 0.0f}, {0.6f, 0.5f, 0.4f, 1.0f});
    const int UNBOUND_PIXEL[] = {101, 102, 104, 107, 121, 125, 126, 127, 136, 137, 143, 150, 151, 172, 173};
    const int UNBOUND_VERTEX = 50;
    const Renderer& renderer = *m_pApp->GetRenderer();
    IDirect3DDevice9* pDevice = Device();
    d3d9test::Recorder recorder(pDevice);
    // Each of them bound once first, so that the recorder names its object; then the device's
    // own programs again.
    IDirect3DPixelShader9* pKeptPixel = nullptr;
    IDirect3DVertexShader9* pKeptVertex = nullptr;
    pDevice->GetPixelShader(&pKeptPixel);
    pDevice->GetVertexShader(&pKeptVertex);
    for (int nId : UNBOUND_PIXEL)
        pDevice->SetPixelShader(static_cast<IDirect3DPixelShader9*>(
            renderer.GetPixelShaderEntry(m_pApp->m_PixelShaders[nId])->m_pDeviceShader));
    pDevice->SetVertexShader(static_cast<IDirect3DVertexShader9*>(
        renderer.GetVertexShaderEntry(m_pApp->m_VertexShaders[UNBOUND_VERTEX])->m_pDeviceShader));
    pDevice->SetPixelShader(pKeptPixel);
    pDevice->SetVertexShader(pKeptVertex);
    for (IUnknown* pKept : {static_cast<IUnknown*>(pKeptPixel), static_cast<IUnknown*>(pKeptVertex)})
        if (pKept)
            pKept->Release();
    const size_t nNamed = std::size(UNBOUND_PIXEL) + 1;
    Trace();
    recorder.Stop();
    const std::vector<d3d9test::RecordedCall> calls = recorder.Calls();
    std::vector<std::string> unbound;
    for (size_t i = 0; i < calls.size() && unbound.size() < nNamed; ++i)
        if (calls[i].strMethod == "SetPixelShader" || calls[i].strMethod == "SetVertexShader")
            unbound.push_back(calls[i].strArguments);
    ASSERT_EQ(unbound.size(), nNamed);
    int nBinds = 0;
    size_t nSeen = 0;
    for (const d3d9test::RecordedCall& call : calls)
    {
        if (call.strMethod != "SetPixelShader" && call.strMethod != "SetVertexShader")
            continue;
        if (++nSeen <= nNamed + 2)
            continue;
        ++nBinds;
        EXPECT_EQ(std::count(unbound.begin(), unbound.end(), call.strArguments), 0) << call.strText;
    }
    EXPECT_GT(nBinds, 10);
    EXPECT_EQ(g_bTracedImageReady, 1);
}
