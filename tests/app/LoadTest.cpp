// RenderApp::Init and Load: the media textures and their failures, the shader tables, vertex
// declarations, sampler states, occlusion query, working-directory paths and tracer parameters.
#include "AppFixture.h"

#include "3dapi/DebugDrawList.h"
#include "3dapi/Renderer.h"
#include "morvyn/morvyn.h"
#include "scene/MediaDirectory.h"
#include "scene/RenderOptions.h"

#include <win32/resources.h>

#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

namespace
{
const char PIXEL_PROGRAM[] = "ps_2_0\nmov oC0, c0\n";
const char PIXEL_BROKEN[] = "ps_2_0\nmov oC0, c0.xzy\n";   // arbitrary swizzles are not ps_2_0
const char VERTEX_PROGRAM[] = "vs_2_0\ndcl_position v0\nmov oPos, v0\n";

// Whether a shader id is among the ranges.
bool InRanges(const ShaderIdRange* pRanges, int nRanges, int nId)
{
    for (int r = 0; r < nRanges; ++r)
        if (nId >= pRanges[r].m_nFirst && nId <= pRanges[r].m_nLast)
            return true;
    return false;
}

class LoadTest : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_nTables = GetResourceTableCount();
        std::filesystem::copy(std::string(QUEN_DATA_DIR) + "/Media", m_strFolder + "/Media");
        // Every message box is answered at once and its caption and text kept.
        win32::SetAnswerSource([](const char* szKind, std::string& strValue) {
            strValue = "IDOK";
            return std::strcmp(szKind, "msgbox") == 0;
        });
        testing::internal::CaptureStderr();
    }

    void TearDown() override
    {
        testing::internal::GetCapturedStderr();
        win32::SetAnswerSource(nullptr);
        TruncateResourceTables(m_nTables);
        AppTest::TearDown();
    }

    // A program for every id of both kinds, the ids without a program in the lists included, so
    // that only the lists decide what Load asks for. Ids in skip are left out.
    void RegisterPrograms(const std::set<int>& skip = {}, int nBrokenPixelId = -1)
    {
        m_Programs.clear();
        for (int nId = 0; nId < RenderApp::PIXEL_SHADER_COUNT; ++nId)
            if (!skip.count(600 + nId))
            {
                const char* szText = nId == nBrokenPixelId ? PIXEL_BROKEN : PIXEL_PROGRAM;
                m_Programs.push_back({"PSH", 600 + nId, szText, std::strlen(szText)});
            }
        for (int nId = 0; nId < RenderApp::VERTEX_SHADER_COUNT; ++nId)
            if (!skip.count(900 + nId))
                m_Programs.push_back({"VSH", 900 + nId, VERTEX_PROGRAM, std::strlen(VERTEX_PROGRAM)});
        RegisterResourceTable(m_Programs.data(), m_Programs.size());
    }

    bool InitAndLoad()
    {
        return m_pApp->Init() && m_pApp->InitDevice(m_hWnd, 0, false, 0) && m_pApp->Load();
    }

    // The message boxes shown since the last call, as "caption: text".
    std::vector<std::string> TakeBoxes()
    {
        std::string strErr = testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
        std::vector<std::string> boxes;
        std::istringstream lines(strErr);
        for (std::string strLine; std::getline(lines, strLine);)
            if (strLine.rfind("MessageBox \"", 0) == 0)
            {
                size_t nEnd = strLine.find("\": ");
                boxes.push_back(strLine.substr(12, nEnd - 12) + ": " + strLine.substr(nEnd + 3));
            }
        return boxes;
    }

    size_t m_nTables = 0;
    std::vector<ResourceEntry> m_Programs;
};
}

TEST_F(LoadTest, ShaderTablesHoldExactlyTheListedPrograms)
{
    RegisterPrograms();
    ASSERT_TRUE(InitAndLoad());
    Renderer* pRenderer = m_pApp->GetRenderer();
    EXPECT_EQ(pRenderer->GetVertexShaderCount(), 29);
    EXPECT_EQ(pRenderer->GetPixelShaderCount(), 108);

    std::set<int> askedVertex, askedPixel;
    for (int nId = 0; nId < RenderApp::VERTEX_SHADER_COUNT; ++nId)
    {
        bool bListed = InRanges(RenderApp::VERTEX_SHADER_IDS, RenderApp::VERTEX_SHADER_RANGE_COUNT, nId);
        int nHandle = m_pApp->m_VertexShaders[nId];
        if (!bListed)
        {
            EXPECT_EQ(nHandle, -1) << "vertex id " << nId;
            continue;
        }
        ASSERT_GE(nHandle, 0) << "vertex id " << nId;
        EXPECT_EQ(pRenderer->GetVertexShaderEntry(nHandle)->m_nResourceIndex, nId);
        askedVertex.insert(nId);
    }
    for (int nId = 0; nId < RenderApp::PIXEL_SHADER_COUNT; ++nId)
    {
        bool bListed = InRanges(RenderApp::PIXEL_SHADER_IDS, RenderApp::PIXEL_SHADER_RANGE_COUNT, nId);
        int nHandle = m_pApp->m_PixelShaders[nId];
        if (!bListed)
        {
            EXPECT_EQ(nHandle, -1) << "pixel id " << nId;
            continue;
        }
        ASSERT_GE(nHandle, 0) << "pixel id " << nId;
        EXPECT_EQ(pRenderer->GetPixelShaderEntry(nHandle)->m_nResourceIndex, nId);
        askedPixel.insert(nId);
    }
    // The resource ids the catalogue lists: vertex 900, 901, 907, 908, 910, 912 to 927, 940 to
    // 943, 950 to 953; pixel 600, 602, 603, 638, 639, 643, 647 to 675, 700 to 716, 720 to 775.
    std::set<int> expectedVertex = {0, 1, 7, 8, 10, 40, 41, 42, 43, 50, 51, 52, 53};
    for (int nId = 12; nId <= 27; ++nId)
        expectedVertex.insert(nId);
    std::set<int> expectedPixel = {0, 2, 3, 38, 39, 43};
    for (int nId = 47; nId <= 75; ++nId)
        expectedPixel.insert(nId);
    for (int nId = 100; nId <= 116; ++nId)
        expectedPixel.insert(nId);
    for (int nId = 120; nId <= 175; ++nId)
        expectedPixel.insert(nId);
    EXPECT_EQ(askedVertex, expectedVertex);
    EXPECT_EQ(askedPixel, expectedPixel);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"shader program"}), 0);
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(LoadTest, AMissingOrBrokenProgramIsMinusOneWithOneErrorNamingIt)
{
    RegisterPrograms({741, 940}, 53);
    ASSERT_TRUE(InitAndLoad());
    EXPECT_EQ(m_pApp->m_PixelShaders[141], -1);
    EXPECT_EQ(m_pApp->m_VertexShaders[40], -1);
    EXPECT_EQ(m_pApp->m_PixelShaders[53], -1);
    EXPECT_GE(m_pApp->m_PixelShaders[140], 0);
    EXPECT_GE(m_pApp->m_VertexShaders[41], 0);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::Load()", "pixel shader program 141 ", "741", "missing"}), 1);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::Load()", "vertex shader program 40 ", "940", "missing"}), 1);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::Load()", "pixel shader program 53 ", "653", "assemble"}), 1);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"shader program"}), 3);
    // The broken one is also shown by the renderer's assembler box; the missing ones are not.
    std::vector<std::string> boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Pixel shader error: ", 0), 0u) << boxes[0];
}

TEST_F(LoadTest, WithoutAnyProgramLoadStillSucceeds)
{
    ASSERT_TRUE(InitAndLoad());
    for (int32_t nId : m_pApp->m_VertexShaders)
        EXPECT_EQ(nId, -1);
    for (int32_t nId : m_pApp->m_PixelShaders)
        EXPECT_EQ(nId, -1);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::Load()", "shader program", "missing"}), 29 + 108);
    EXPECT_TRUE(TakeBoxes().empty());
    EXPECT_NE(m_pApp->m_pMeshDecl, nullptr);
}

TEST_F(LoadTest, MediaFilesLoadAndEachMissingOneGivesItsMessage)
{
    struct Case
    {
        const char* szRemoved;   // below the working directory; null: nothing removed
        std::vector<std::string> boxes;
        const char* szLogged;    // the file the logged line names
        bool bCube, bNoise, bFont;
    };
    const Case cases[] = {
        {nullptr, {}, nullptr, true, true, true},
        {"Media/t.dds", {"hgfdgdfg: gsadashdas: Media/t.dds"}, "Media/t.dds", false, true, true},
        {"Media/DiffuseB.bmp",
         {"morvyn: noise texture failed: Media/DiffuseB.bmp"},
         "Media/DiffuseB.bmp",
         true,
         false,
         true},
        {"Media/font2.dds", {}, "Media/font2.dds", true, true, false},
        {"Media",
         {"hgfdgdfg: gsadashdas: Media/t.dds", "morvyn: noise texture failed: Media/DiffuseB.bmp"},
         nullptr,
         false,
         false,
         false},
    };
    RegisterPrograms();
    const std::string strMedia = m_strFolder + "/Media";
    const std::string strSaved = m_strFolder + "/saved";
    std::filesystem::copy(strMedia, strSaved);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szRemoved ? c.szRemoved : "complete media folder");
        std::filesystem::remove_all(strMedia);
        std::filesystem::copy(strSaved, strMedia);
        if (c.szRemoved)
            std::filesystem::remove_all(m_strFolder + "/" + c.szRemoved);
        ClearLogLines();
        m_pApp = std::make_unique<RenderApp>();
        ASSERT_TRUE(InitAndLoad());
        EXPECT_EQ(TakeBoxes(), c.boxes);
        if (c.szLogged)
        {
            EXPECT_EQ(CountLogLines(c.boxes.empty() ? LOG_WARNING : LOG_ERROR, {"RenderApp::Load()", c.szLogged}), 1);
        }
        EXPECT_EQ(g_pEnvironmentCubeTexture != nullptr, c.bCube);
        EXPECT_EQ(g_nNoiseTexture >= 0, c.bNoise);
        EXPECT_EQ(m_pApp->m_nFontTexture >= 0, c.bFont);
        EXPECT_NE(g_pOverlayTexture, nullptr) << "the overlay comes from the resources";
        EXPECT_GE(g_nEnvCubeTarget, 0);
    }
}

TEST_F(LoadTest, DeclarationsSamplerStatesAndQueryAreThoseOfTheTables)
{
    RegisterPrograms();
    ASSERT_TRUE(m_pApp->Init());
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    IDirect3DDevice9* pDevice = m_pApp->GetDevice();
    d3d9test::StateSnapshot before = d3d9test::CaptureState(pDevice);
    ASSERT_TRUE(m_pApp->Load());
    d3d9test::StateSnapshot after = d3d9test::CaptureState(pDevice);

    // Elements as (offset, type, usage, usage index), all in stream 0 with the default method.
    using Element = std::tuple<int, int, int, int>;
    const int F2 = D3DDECLTYPE_FLOAT2, F3 = D3DDECLTYPE_FLOAT3, F4 = D3DDECLTYPE_FLOAT4;
    const int POS = D3DDECLUSAGE_POSITION, TEX = D3DDECLUSAGE_TEXCOORD;
    struct Expected
    {
        const char* szName;
        IDirect3DVertexDeclaration9* pDeclaration;
        std::vector<Element> elements;
    };
    const Expected declarations[] = {
        {"mesh",
         m_pApp->m_pMeshDecl,
         {{0, F3, POS, 0}, {12, F2, TEX, 0}, {20, F3, TEX, 1}, {32, F3, TEX, 2}, {44, F3, TEX, 3}, {56, F2, TEX, 4}}},
        {"shadow volume", m_pApp->m_pShadowVolumeDecl, {{0, F3, POS, 0}, {12, F3, TEX, 0}}},
        {"particle",
         m_pApp->m_pParticleDecl,
         {{0, F4, POS, 0}, {16, F4, TEX, 0}, {32, F4, TEX, 1}, {48, F4, TEX, 2}, {64, F4, TEX, 3}}},
        {"screen quad", g_pQuadDeclaration, {{0, F4, POS, 0}, {16, F2, TEX, 0}}},
        {"grid point", g_pPointDecl, {{0, F2, POS, 0}, {8, F2, TEX, 0}}},
    };
    for (const Expected& expected : declarations)
    {
        ASSERT_NE(expected.pDeclaration, nullptr) << expected.szName;
        D3DVERTEXELEMENT9 elements[MAXD3DDECLLENGTH + 1] = {};
        UINT nCount = MAXD3DDECLLENGTH + 1;
        ASSERT_EQ(expected.pDeclaration->GetDeclaration(elements, &nCount), D3D_OK);
        std::vector<Element> got;
        for (UINT i = 0; i + 1 < nCount; ++i)
        {
            EXPECT_EQ(elements[i].Stream, 0) << expected.szName;
            EXPECT_EQ(elements[i].Method, D3DDECLMETHOD_DEFAULT) << expected.szName;
            got.emplace_back(elements[i].Offset, elements[i].Type, elements[i].Usage, elements[i].UsageIndex);
        }
        EXPECT_EQ(got, expected.elements) << expected.szName;
    }

    // The thirty sampler states; no other sampler state changes.
    std::map<std::string, std::string> expectedStates;
    for (int s : {0, 1, 2, 3})
    {
        expectedStates["SamplerState " + std::to_string(s) + " ADDRESSU"] = "MIRROR";
        expectedStates["SamplerState " + std::to_string(s) + " ADDRESSV"] = "MIRROR";
    }
    expectedStates["SamplerState 2 ADDRESSW"] = "MIRROR";
    for (int s : {0, 1, 2, 4, 5, 6})
    {
        expectedStates["SamplerState " + std::to_string(s) + " MINFILTER"] = "ANISOTROPIC";
        expectedStates["SamplerState " + std::to_string(s) + " MAGFILTER"] = "ANISOTROPIC";
        expectedStates["SamplerState " + std::to_string(s) + " MIPFILTER"] = s <= 2 ? "ANISOTROPIC" : "LINEAR";
    }
    expectedStates["SamplerState 3 MINFILTER"] = "LINEAR";
    expectedStates["SamplerState 3 MAGFILTER"] = "LINEAR";
    expectedStates["SamplerState 3 MIPFILTER"] = "LINEAR";
    ASSERT_EQ(expectedStates.size(), 30u);
    std::map<std::string, std::string> changed;
    for (const auto& [strName, strValue] : after.entries)
        if (strName.rfind("SamplerState ", 0) == 0 && before.entries[strName] != strValue)
            changed[strName] = strValue;
    EXPECT_EQ(changed, expectedStates);

    // The software device offers occlusion queries, and the rendering core has the device.
    EXPECT_EQ(m_pApp->m_bOcclusionQuerySupported, 1);
    EXPECT_NE(m_pApp->m_pOcclusionQuery, nullptr);
    EXPECT_EQ(GetMorvynDevice(), pDevice);
    EXPECT_NE(g_pDebugDrawList, nullptr);
}

TEST_F(LoadTest, TracerParametersAfterInitAndAfterLoad)
{
    RegisterPrograms();
    g_nDirectPhoton = 7;
    g_fDirectGaussianCoef = 9.0f;
    g_fGlobalGaussianCoef = 9.0f;
    g_nCompletedRenders = 5;
    ASSERT_TRUE(m_pApp->Init());
    EXPECT_EQ(g_pRenderApp, m_pApp.get());
    struct Value
    {
        const char* szName;
        double fActual;
        double fAfterInit;
        double fAfterLoad;
    };
    auto Values = [] {
        return std::vector<Value>{
            {"g_bDirectIllumination", double(g_bDirectIllumination), 1, 1},
            {"g_bGlobalIllumination", double(g_bGlobalIllumination), 1, 1},
            {"g_nDirectEmanateTile", double(g_nDirectEmanateTile), 3, 3},
            {"g_nGlobalEmanateTile", double(g_nGlobalEmanateTile), 1, 1},
            {"g_nDirectPhoton", double(g_nDirectPhoton), 48, 32},
            {"g_nGlobalPhoton", double(g_nGlobalPhoton), 512, 512},
            {"g_fDirectSearchRadius", double(g_fDirectSearchRadius), 1.0, 1.0},
            {"g_fGlobalSearchRadius", double(g_fGlobalSearchRadius), 1.0, 1.0},
            {"g_nPhotonBlock", double(g_nPhotonBlock), 24, 24},
            {"g_fDirectGaussianCoef", double(g_fDirectGaussianCoef), 9.0, 0.5},   // Init leaves it
            {"g_fGlobalGaussianCoef", double(g_fGlobalGaussianCoef), 9.0, 0.05},
        };
    };
    for (const Value& v : Values())
        EXPECT_NEAR(v.fActual, v.fAfterInit, 1e-6) << v.szName << " after Init";
    EXPECT_EQ(m_pApp->m_Scene2.m_bAddLights, 0);
    EXPECT_NE(m_pApp->m_pFont, nullptr);

    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    ASSERT_TRUE(m_pApp->Load());
    for (const Value& v : Values())
        EXPECT_NEAR(v.fActual, v.fAfterLoad, 1e-6) << v.szName << " after Load";
    EXPECT_EQ(g_nCompletedRenders, 0);
}

TEST_F(LoadTest, ImagePathFollowsTheWorkingDirectoryUnlessItIsTooLong)
{
    RegisterPrograms();
    ASSERT_TRUE(InitAndLoad());
    std::string strWorking = std::filesystem::current_path().string();
    EXPECT_EQ(std::string(g_szWorkingDir), strWorking);
    EXPECT_EQ(std::string(g_szImagePath), strWorking + "/Images/Default.bmp");
    EXPECT_EQ(std::string(g_szMediaDir), strWorking + "/Media/");

    // A working directory whose image path passes 255 characters: no cut path, an error, and the
    // next Load with a short directory sets both again.
    std::string strDeep = m_strFolder;
    while (strDeep.size() < 250)
        strDeep += "/abcdefghijklmnopqrstuvwxyz";
    std::filesystem::create_directories(strDeep);
    std::filesystem::copy(m_strFolder + "/Media", strDeep + "/Media");
    std::filesystem::current_path(strDeep);
    ClearLogLines();
    m_pApp = std::make_unique<RenderApp>();
    ASSERT_TRUE(InitAndLoad());
    EXPECT_EQ(g_szImagePath[0], '\0');
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::Load()", "traced image will not be saved"}), 1);

    std::filesystem::current_path(m_strFolder);
    m_pApp = std::make_unique<RenderApp>();
    ASSERT_TRUE(InitAndLoad());
    EXPECT_EQ(std::string(g_szImagePath), strWorking + "/Images/Default.bmp");
}

TEST_F(LoadTest, ADamagedOverlayBitmapGivesItsMessageAndLoadGoesOn)
{
    RegisterPrograms();
    // A later table entry of the same type and id replaces the built-in bitmap.
    static const char DAMAGED[] = "not a bitmap";
    static const ResourceEntry OVERLAY[] = {{"BITMAP", 271, DAMAGED, sizeof(DAMAGED)}};
    RegisterResourceTable(OVERLAY, 1);
    ASSERT_TRUE(InitAndLoad());
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"hgfdgdfg: gsadashdas: bitmap resource 271"});
    EXPECT_EQ(g_pOverlayTexture, nullptr);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::Load()", "overlay bitmap", "271"}), 1);
    EXPECT_NE(g_pEnvironmentCubeTexture, nullptr);
    EXPECT_GE(m_pApp->m_PixelShaders[175], 0);
}
