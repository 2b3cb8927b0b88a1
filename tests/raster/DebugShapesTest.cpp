// The debug shapes of a mesh: the bounds as wireframe spheres (their draws and fill state in the
// call recorder, and the pixels where the sphere's meridians meet), and the cylinders drawn with
// the six cube-face views as world transforms under the square 90-degree projection.
#include "ScenePassFixture.h"

#include "scene/D3DXBridge.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
class DebugShapesTest : public ScenePassTest
{
protected:
    // The calls of a debug drawing, in order.
    std::vector<std::string> Record(void (RenderApp::*pDraw)(const SceneMesh*), const SceneMesh* pMesh)
    {
        d3d9test::Recorder recorder(m_pDevice);
        m_pDevice->BeginScene();
        (m_pApp.get()->*pDraw)(pMesh);
        m_pDevice->EndScene();
        recorder.Stop();
        return recorder.Texts();
    }

    static bool StartsWith(const std::string& strText, const char* szStart) { return strText.rfind(szStart, 0) == 0; }

    // The 16 values of a recorded "SetTransform(KIND, {...})".
    static std::vector<float> Matrix(const std::string& strText)
    {
        std::vector<float> values;
        const char* p = strText.c_str() + strText.find('{') + 1;
        for (char* pEnd = nullptr; values.size() < 16; p = pEnd)
            values.push_back(std::strtof(p, &pEnd));
        return values;
    }

    static void ExpectMatrix(const std::vector<float>& got, const float want[16])
    {
        for (int k = 0; k < 16; ++k)
            EXPECT_NEAR(got[(size_t)k], want[k], 1e-4f * (1.0f + std::fabs(want[k]))) << "element " << k;
    }
};
}

TEST_F(DebugShapesTest, BoundsAreNineWireframeSpheresWhoseMeridiansMeetAtTheNearPoleAndTheCorners)
{
    SceneMesh* pMesh = AddQuad(1.0f, 0.5f, 0.0f, 4.0f, 4.0f, AddMaterial());
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    const std::vector<std::string> calls = Record(&RenderApp::DrawBoundsDebug, pMesh);
    int nDraws = 0, nFirstDraw = -1, nLastDraw = -1, nWireframe = -1, nSolid = -1;
    for (int i = 0; i < (int)calls.size(); ++i)
    {
        if (StartsWith(calls[(size_t)i], "DrawIndexedPrimitive"))
        {
            ++nDraws;
            nLastDraw = i;
            if (nFirstDraw < 0)
                nFirstDraw = i;
        }
        else if (calls[(size_t)i] == "SetRenderState(FILLMODE, WIREFRAME)")
            nWireframe = i;
        else if (calls[(size_t)i] == "SetRenderState(FILLMODE, SOLID)")
            nSolid = i;
    }
    EXPECT_EQ(nDraws, 9);
    EXPECT_TRUE(nWireframe >= 0 && nWireframe < nFirstDraw);
    EXPECT_GT(nSolid, nLastDraw);

    // Every meridian passes through both poles, which lie along z: the near pole of the bounding
    // sphere and the tiny corner spheres' centres are on their lines. The quad's box corners are
    // (1 +- 2, 0.5 +- 2, 0).
    const d3d9test::SurfaceData data = ReadTarget();
    D3DXMATRIX viewProjection;
    const D3DXMATRIX view = ToD3DX(g_matView), projection = ToD3DX(g_matProjection);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    auto litNear = [&](const D3DXVECTOR3& point) {
        D3DXVECTOR3 clip;
        D3DXVec3TransformCoord(&clip, &point, &viewProjection);
        const float px = (clip.x + 1) / 2 * SIZE, py = (1 - clip.y) / 2 * SIZE;
        for (int y = (int)std::floor(py - 0.5f); y <= (int)std::floor(py + 0.5f); ++y)
            for (int x = (int)std::floor(px - 0.5f); x <= (int)std::floor(px + 0.5f); ++x)
                if (Pixel(data, (UINT)x, (UINT)y)[0] > 0.5f)
                    return true;
        return false;
    };
    const D3DXVECTOR3 points[] = {{1.0f, 0.5f, -pMesh->m_fSphereRadius}, {3, 2.5f, 0}, {-1, 2.5f, 0}, {3, -1.5f, 0}, {-1, -1.5f, 0}};
    for (const D3DXVECTOR3& point : points)
        EXPECT_TRUE(litNear(point)) << point.x << ", " << point.y;
    // Wireframe: far fewer pixels than the solid sphere would cover, and none far outside it.
    const float fRadiusPixels = pMesh->m_fSphereRadius / 10.0f / std::tan(D3DX_PI / 8.0f) * SIZE / 2;
    EXPECT_LT(LitPixels(data), (int)(D3DX_PI * fRadiusPixels * fRadiusPixels / 3));
    EXPECT_LE(Pixel(data, 2, 60)[0], 0.5f);
}

TEST_F(DebugShapesTest, CylindersTakeTheSixFaceViewsFromTheMeshAsWorldTransforms)
{
    SceneMesh* pMesh = AddQuad(2.0f, -1.0f, 3.0f, 1.0f, 1.0f, AddMaterial());
    const std::vector<std::string> calls = Record(&RenderApp::DrawFaceCylinders, pMesh);
    std::vector<std::vector<float>> worlds;
    std::vector<float> projection;
    std::vector<float> pendingWorld;
    for (const std::string& strText : calls)
    {
        if (StartsWith(strText, "SetTransform(PROJECTION"))
        {
            EXPECT_TRUE(worlds.empty()) << "the projection comes before the draws";
            projection = Matrix(strText);
        }
        else if (StartsWith(strText, "SetTransform(WORLD"))
            pendingWorld = Matrix(strText);
        else if (StartsWith(strText, "DrawIndexedPrimitive") && !pendingWorld.empty())
        {
            // A cylinder draws as one subset: one draw per face.
            worlds.push_back(pendingWorld);
            pendingWorld.clear();
        }
    }
    ASSERT_EQ(worlds.size(), 6u);
    ASSERT_EQ(projection.size(), 16u);
    const float n = 0.1f, f = 500.0f;
    const float wantProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, f / (f - n), 1, 0, 0, -n * f / (f - n), 0};
    ExpectMatrix(projection, wantProjection);

    // Look direction and up of the faces, in the order of the cube faces.
    const float faces[6][6] = {{1, 0, 0, 0, 1, 0},  {-1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, -1},
                               {0, -1, 0, 0, 0, 1}, {0, 0, 1, 0, 1, 0},  {0, 0, -1, 0, 1, 0}};
    const float eye[3] = {2.0f, -1.0f, 3.0f};
    for (int k = 0; k < 6; ++k)
    {
        SCOPED_TRACE("face " + std::to_string(k));
        const float* z = faces[k];
        const float* up = faces[k] + 3;
        // x = up x z, y = z x x; for these axis pairs both are already unit.
        const float x[3] = {up[1] * z[2] - up[2] * z[1], up[2] * z[0] - up[0] * z[2], up[0] * z[1] - up[1] * z[0]};
        const float y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
        auto dot = [&](const float* a) { return a[0] * eye[0] + a[1] * eye[1] + a[2] * eye[2]; };
        const float want[16] = {x[0], y[0], z[0], 0, x[1],    y[1],    z[1],    0,
                                x[2], y[2], z[2], 0, -dot(x), -dot(y), -dot(z), 1};
        ExpectMatrix(worlds[(size_t)k], want);
    }
}
