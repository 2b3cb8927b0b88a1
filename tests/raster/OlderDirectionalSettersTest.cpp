// The older directional vertex setters: the camera registers read back from the device against a
// camera at the middle of the meshes moved back against the light, built here by hand, and the
// rest of the registers as the live setter leaves them.
#include "ScenePassFixture.h"

#include "scene/D3DXBridge.h"

#include <cmath>

namespace
{
struct V3
{
    float x, y, z;
};
V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 Unit(V3 a)
{
    const float l = std::sqrt(Dot(a, a));
    return {a.x / l, a.y / l, a.z / l};
}

struct OlderForm
{
    void (RenderApp::*pSetter)(const SceneMesh*, const SceneLight*, int);
    float fDepthUnit, fGravity;
};

class OlderDirectionalSettersTest : public ScenePassTest
{
};
}

TEST_F(OlderDirectionalSettersTest, CameraRegistersLookFromTheLightSideAtTheMiddleOfTheMeshes)
{
    SceneMaterial* pMaterial = AddMaterial();
    SceneMesh* pMesh = AddQuad(-2, 1, 0, 2, 2, pMaterial);
    AddQuad(4, -1, 2, 2, 2, pMaterial);
    AddLight(D3DLIGHT_POINT, 0, 5, 0);
    SceneLight* pLight = AddLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    pLight->m_Light.Direction = {1, -1, 2};
    m_pApp->m_fShadowRange[1] = 7.0f;
    const V3 middle{1, 0, 1};
    const V3 d = Unit({1, -1, 2});
    const D3DXMATRIX projection = ToD3DX(g_matProjection);

    float live[26][4];
    m_pApp->SetDirectionalVertexConstants(pMesh, pLight, 1);
    m_pDevice->GetVertexShaderConstantF(0, &live[0][0], 26);

    const OlderForm forms[] = {{&RenderApp::SetDirectionalVertexConstantsOld, 1.0f / 2048.0f, -9.81f},
                               {&RenderApp::SetDirectionalVertexConstantsOld2, 1.0f / 65535.0f, 0.0f}};
    // Light index and the distance it stands back: a light past the 32-entry table stands at
    // the middle, as does one whose distance no shadow pass has set.
    const struct
    {
        int nIndex;
        float fDistance;
    } lights[] = {{1, 7.0f}, {0, 0.0f}, {40, 0.0f}};
    for (const OlderForm& form : forms)
        for (const auto& light : lights)
        {
            SCOPED_TRACE(std::to_string(form.fDepthUnit) + " light " + std::to_string(light.nIndex));
            (m_pApp.get()->*form.pSetter)(pMesh, pLight, light.nIndex);
            float c[26][4];
            m_pDevice->GetVertexShaderConstantF(0, &c[0][0], 26);
            for (int r = 0; r < 20; ++r)
                for (int k = 0; k < 4; ++k)
                    EXPECT_EQ(c[r][k], live[r][k]) << "c" << r;
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(c[24][k], live[24][k]);
            EXPECT_FLOAT_EQ(c[25][0], form.fDepthUnit);
            EXPECT_FLOAT_EQ(c[25][1], form.fGravity);
            EXPECT_FLOAT_EQ(c[25][2], light.fDistance);
            EXPECT_FLOAT_EQ(c[25][3], 1.0f);

            // The camera's frame: looking along the light, x = up x z, y = z x x.
            const V3 eye{middle.x - d.x * light.fDistance, middle.y - d.y * light.fDistance,
                         middle.z - d.z * light.fDistance};
            const V3 x = Unit(Cross({0, 1, 0}, d)), y = Cross(d, x);
            const V3 points[] = {middle, {-2, 1, 0}, {4, -1, 2}, {3, 5, -6}};
            for (const V3& p : points)
            {
                const V3 q = Sub(p, eye);
                const D3DXVECTOR4 viewPoint(Dot(q, x), Dot(q, y), Dot(q, d), 1.0f);
                D3DXVECTOR4 want;
                D3DXVec4Transform(&want, &viewPoint, &projection);
                const float got[4] = {c[20][0] * p.x + c[20][1] * p.y + c[20][2] * p.z + c[20][3],
                                      c[21][0] * p.x + c[21][1] * p.y + c[21][2] * p.z + c[21][3],
                                      c[22][0] * p.x + c[22][1] * p.y + c[22][2] * p.z + c[22][3],
                                      c[23][0] * p.x + c[23][1] * p.y + c[23][2] * p.z + c[23][3]};
                const float wanted[4] = {want.x, want.y, want.z, want.w};
                for (int k = 0; k < 4; ++k)
                    EXPECT_NEAR(got[k], wanted[k], 1e-4f * (1.0f + std::fabs(wanted[k])));
            }
        }
}
