// The earlier forms of the scene pass on one small scene: an opaque box, an opaque flat quad and
// a transparent flat quad under a point, a spot and a directional light. Each form's draws, with
// the programs and blending each was made with as the device's call recorder saw them, against
// the order the form is written to draw in; and each form lights the scene. Also the meshes'
// collision sweep, which sits beside them.
#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "scene/RenderOptions.h"

#include <map>
#include <string>
#include <vector>

namespace
{
class ScenePassVariantsTest : public ScenePassTest
{
protected:
    void SetUp() override
    {
        ScenePassTest::SetUp();
        m_pApp->m_Scene.m_Camera.m_fBackClip = 100.0f;
        AddBox(Vector3(-1.5f, 0, 0), 1.0f, AddMaterial());
        AddQuad(1.5f, 0, 1, 2, 2, AddMaterial(), true);
        AddQuad(0, 2.5f, -1, 2, 1, AddMaterial(0.5f), true);
        AddLight(D3DLIGHT_POINT, 0, 0, -5);
        SceneLight* pSpot = AddLight(D3DLIGHT_SPOT, 0, 0, -6);
        pSpot->m_Light.Theta = 80.0f;
        pSpot->m_Light.Phi = 120.0f;
        AddLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
        g_nLayerPasses = 1;
        MapPrograms();
    }

    // The device's shader objects ("PixelShader#12") of the programs, by resource id.
    void MapPrograms()
    {
        Renderer& renderer = *m_pApp->GetRenderer();
        for (int nId = 0; nId < RenderApp::PIXEL_SHADER_COUNT; ++nId)
            if (m_pApp->m_PixelShaders[nId] >= 0)
            {
                d3d9test::Recorder recorder(m_pDevice);
                renderer.SelectPixelShader(m_pApp->m_PixelShaders[nId]);
                renderer.ApplyShaders();
                for (const std::string& strText : recorder.Texts({"SetPixelShader"}))
                    m_Names[Argument(strText)] = std::to_string(600 + nId);
            }
        for (int nId = 0; nId < RenderApp::VERTEX_SHADER_COUNT; ++nId)
            if (m_pApp->m_VertexShaders[nId] >= 0)
            {
                d3d9test::Recorder recorder(m_pDevice);
                renderer.SelectVertexShader(m_pApp->m_VertexShaders[nId]);
                renderer.ApplyShaders();
                for (const std::string& strText : recorder.Texts({"SetVertexShader"}))
                    m_Names[Argument(strText)] = std::to_string(900 + nId);
            }
        m_Names["NULL"] = "-";
    }

    static std::string Argument(const std::string& strText)
    {
        const size_t nOpen = strText.find('('), nClose = strText.rfind(')');
        return strText.substr(nOpen + 1, nClose - nOpen - 1);
    }

    // Each draw of the pass as "vertex/pixel source/dest" from the calls it made.
    std::vector<std::string> RecordDraws(void (RenderApp::*pPass)())
    {
        d3d9test::Recorder recorder(m_pDevice);
        m_pDevice->BeginScene();
        (m_pApp.get()->*pPass)();
        m_pDevice->EndScene();
        recorder.Stop();
        std::string strVertex = "?", strPixel = "?", strSource = "?", strDest = "?";
        std::vector<std::string> draws;
        for (const std::string& strText : recorder.Texts())
        {
            const std::string strArgument = Argument(strText);
            if (strText.rfind("SetVertexShader(", 0) == 0)
                strVertex = m_Names.count(strArgument) ? m_Names[strArgument] : strArgument;
            else if (strText.rfind("SetPixelShader(", 0) == 0)
                strPixel = m_Names.count(strArgument) ? m_Names[strArgument] : strArgument;
            else if (strText.rfind("SetRenderState(SRCBLEND, ", 0) == 0)
                strSource = strArgument.substr(10);
            else if (strText.rfind("SetRenderState(DESTBLEND, ", 0) == 0)
                strDest = strArgument.substr(11);
            else if (strText.rfind("DrawPrimitive", 0) == 0)
                draws.push_back(strVertex + "/" + strPixel + " " + strSource + "/" + strDest);
        }
        return draws;
    }

    std::map<std::string, std::string> m_Names;
};

// n copies of the draws.
std::vector<std::string> Times(int n, const std::vector<std::string>& draws)
{
    std::vector<std::string> all;
    for (int k = 0; k < n; ++k)
        all.insert(all.end(), draws.begin(), draws.end());
    return all;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const std::vector<std::string>& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
}

TEST_F(ScenePassVariantsTest, EachFormDrawsInItsOrderWithItsProgramsAndBlending)
{
    const std::vector<std::string> depth = Times(2, {"908/- ZERO/ZERO"});
    // The transparent flat quad, back faces then front faces, each light adding.
    const std::vector<std::string> transparent =
        Times(2, {"910/658 ONE/ONE", "910/659 ONE/ONE", "915/662 ONE/ONE"});
    // The shadow volumes after each light: no volume buffer, the three shown meshes darkened.
    const std::vector<std::string> darkening = Times(3, Times(3, {"919/665 ZERO/SRCALPHA"}));
    struct Case
    {
        const char* szName;
        void (RenderApp::*pPass)();
        bool bFarLayer;
        std::vector<std::string> draws;
    };
    const Case cases[] = {
        {"planes", &RenderApp::RenderScenePlanes, false,
         Join({depth,
               {"900/653 ONE/ONE", "900/659 ONE/ONE", "914/661 ONE/ONE", "910/658 ONE/ONE", "910/659 ONE/ONE",
                "915/662 ONE/ONE"},
               transparent})},
        {"planes in a cube face, far layer", &RenderApp::RenderScenePlanesCube, true,
         Join({depth,
               {"900/653 ONE/ONE", "900/659 ONE/ONE", "914/603 ONE/ONE", "910/658 ONE/ONE", "910/659 ONE/ONE",
                "915/662 ONE/ONE"},
               transparent})},
        {"lights simple", &RenderApp::RenderLightsSimple, false,
         Times(3, {"900/653 ONE/ONE", "900/659 ONE/ONE", "900/653 ONE/ONE"})},
        {"sorted", &RenderApp::RenderSceneSorted, false,
         Join({depth,
               {"900/653 SRCALPHA/INVSRCALPHA", "900/659 SRCALPHA/INVSRCALPHA", "914/661 SRCALPHA/INVSRCALPHA",
                "910/658 SRCALPHA/INVSRCALPHA", "910/659 SRCALPHA/INVSRCALPHA", "915/662 SRCALPHA/INVSRCALPHA"},
               transparent, darkening})},
        {"shadowed", &RenderApp::RenderSceneShadowed, false,
         Join({depth,
               Times(2, {"900/600 SRCALPHA/INVSRCALPHA", "900/650 SRCALPHA/INVSRCALPHA",
                         "900/600 SRCALPHA/INVSRCALPHA"}),
               Times(2, {"912/647 ZERO/SRCALPHA", "912/651 ZERO/SRCALPHA", "912/647 ZERO/SRCALPHA"})})},
        {"radiosity", &RenderApp::RenderSceneRadiosity, false,
         Join({depth,
               {"907/639 SRCALPHA/ONE", "900/668 SRCALPHA/INVSRCALPHA", "900/659 SRCALPHA/INVSRCALPHA",
                "914/661 SRCALPHA/INVSRCALPHA", "907/639 SRCALPHA/ONE", "910/643 SRCALPHA/INVSRCALPHA",
                "910/643 SRCALPHA/INVSRCALPHA", "910/643 SRCALPHA/INVSRCALPHA"},
               transparent, darkening})},
        {"reduced", &RenderApp::RenderSceneReduced, false,
         Join({depth,
               {"907/639 SRCALPHA/ONE", "900/653 ONE/ONE", "900/659 ONE/ONE", "907/639 SRCALPHA/ONE",
                "910/653 ONE/ONE", "910/659 ONE/ONE"}})},
    };
    for (const Case& test : cases)
    {
        m_pApp->m_bShadowFarLayer = test.bFarLayer ? 1 : 0;
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        EXPECT_EQ(RecordDraws(test.pPass), test.draws) << test.szName;
        EXPECT_GT(LitPixels(ReadTarget()), 100) << test.szName;
    }
}

TEST_F(ScenePassVariantsTest, PlaneCullingLeavesOutMeshesBehindTheViewer)
{
    // A fourth mesh behind the camera: the plane-culled form does not even query it.
    AddQuad(0, 0, -20, 2, 2, AddMaterial(), true);
    for (void (RenderApp::*pPass)() : {&RenderApp::RenderScenePlanes, &RenderApp::RenderSceneSorted})
    {
        const bool bPlanes = pPass == &RenderApp::RenderScenePlanes;
        d3d9test::ResetStats(m_pDevice);
        m_pDevice->BeginScene();
        (m_pApp.get()->*pPass)();
        m_pDevice->EndScene();
        EXPECT_EQ(d3d9test::Stats(m_pDevice).nQueries, bPlanes ? 2u : 3u) << (bPlanes ? "planes" : "sorted");
        EXPECT_EQ(m_pApp->m_Visibility[3], 0u);
    }
}

TEST_F(ScenePassVariantsTest, CollideMeshesMeetsOnlyTheOtherMeshesWithTheCollisionFlag)
{
    // Two boxes on [0, 2]^3, one with the collision flag, and a box 1.6 wide stopping 0.2 short
    // of their min-x face, moving towards them at 1 unit per second. The fixture's meshes are
    // far away and carry no flag.
    SceneMesh* pOthers[2] = {new SceneMesh(), new SceneMesh()};
    for (SceneMesh* pOther : pOthers)
    {
        pOther->m_vOffset = Vector3(1, 1, 1);
        pOther->m_fBoundingRadius = 2.0f;
        for (int i = 0; i < 8; ++i)
            pOther->m_vWorldBoxCorners[i] =
                Vector3((i & 1) ? 2.0f : 0.0f, (i & 2) ? 2.0f : 0.0f, (i & 4) ? 2.0f : 0.0f);
        pOther->m_pBodyState->vPosition = pOther->m_vOffset;
        m_pApp->m_Scene.AddMesh(pOther);
    }
    pOthers[0]->m_bMeshByte5 = 1;
    SceneMesh* pSelf = new SceneMesh();
    pSelf->m_vOffset = Vector3(-1.2f, 1, 1);
    pSelf->m_fBoundingRadius = 2.0f;
    for (int i = 0; i < 8; ++i)
        pSelf->m_vWorldBoxCorners[i] = Vector3((i & 1) ? -0.2f : -1.8f, (i & 2) ? 1.8f : 0.2f, (i & 4) ? 1.8f : 0.2f);
    pSelf->m_pNextBodyState->vPosition = pSelf->m_vOffset;
    pSelf->m_pNextBodyState->vVelocity = Vector3(1, 0, 0);
    pSelf->m_bMeshByte5 = 1;   // itself is never met
    m_pApp->m_Scene.AddMesh(pSelf);

    EXPECT_EQ(m_pApp->CollideMeshes(pSelf, 0.1f), 0);
    EXPECT_GT(pOthers[0]->m_pBodyState->vVelocity.x, 0.0f) << "the flagged box is pushed along +x";
    EXPECT_LT(pSelf->m_pNextBodyState->vVelocity.x, 1.0f) << "the moving box is slowed";
    EXPECT_EQ(pOthers[1]->m_pBodyState->vVelocity, Vector3(0, 0, 0)) << "the box without the flag";
    EXPECT_EQ(pSelf->m_pBodyState->vVelocity, Vector3(0, 0, 0));
}
