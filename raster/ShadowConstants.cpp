#include "raster/ShadowConstants.h"

#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

int32_t g_nShadowTapMode = 1;

const SpotFaceTable SHADOW_SPOT_FACES = {{-1, 0, 0, 0, 1, 0}, {1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 1},
                                         {0, 1, 0, 0, 0, -1}, {0, 0, 1, 0, 1, 0}, {0, 0, -1, 0, 1, 0}};

namespace
{
constexpr float UNIT_16 = 1.0f / 65535.0f;
// The spot cone of the shadow programs: cos of the angle inside which points are shadowed.
constexpr float SHADOW_CONE_COSINE = 0.7f;
constexpr int SHADOW_JITTER_REGISTERS = 16;

const ShadowTapMode TAP_MODES[3] = {{54, 56, 0.25f}, {55, 57, 0.125f}, {47, 51, 1.0f / 11.0f}};
}

const ShadowTapMode& GetShadowTapMode(int nMode)
{
    return TAP_MODES[nMode >= 1 && nMode <= 3 ? nMode - 1 : 0];
}

void BuildShadowVertexConstants(const SceneMesh& mesh, const SceneLight& light, const LightFrame& frame,
                                ConstantTable& table)
{
    table.Set(0, 0.0f, 0.5f, 1.0f, 2.0f);
    table.Set(1, UNIT_16, 0.5f, 10.0f, 1.0f);
    table.Set(2, mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 0.0f);
    const Vector3& p = light.m_vLightPosition;
    table.Set(3, p.x, p.y, p.z, 1.0f);
    D3DXMATRIX world = ToD3DX(mesh.m_matWorld), worldView, wvp;
    D3DXMatrixMultiply(&worldView, &world, &frame.view);
    D3DXMatrixMultiply(&wvp, &worldView, &frame.projection);
    table.SetTransposed(4, wvp);
    table.SetTransposed(8, world);
}

bool BuildShadowPixelConstants(const SceneMesh& mesh, int nMeshIndex, const SceneLight& light, int nSpotIndex,
                               const D3DXVECTOR4* pJitter, ConstantTable& table)
{
    if (!mesh.m_pMaterial)
        return false;
    const SceneMaterial& material = *mesh.m_pMaterial;
    // Nothing fills the lights' shadow cubes yet: an unbound cube reads depth 0 everywhere, which
    // would shadow every point.
    const float fLevel = light.m_nTextureId >= 0 ? g_fMaterialScale * material.m_fMaterialFactor : 1.0f;
    table.Set(0, fLevel, 1.0f, GetShadowTapMode(g_nShadowTapMode).fTapWeight,
              DISPERSION_SCALE * material.m_fMaterialValue1 * 0.1f);
    table.Set(1, fLevel, material.GetOptionFloat(6) * 0.01f, material.GetOptionFloat(7) * 10.0f, 2.0f);
    table.Set(3, (float)(nMeshIndex + 1) * UNIT_16, 0.0f, 0.0f, 2.0f);
    for (int k = 0; k < SHADOW_JITTER_REGISTERS; ++k)
    {
        const D3DXVECTOR4& j = pJitter[SHADOW_TAP_JITTER + k];
        table.Set(5 + k, j.x, j.y, j.z, j.w);
    }
    if (light.m_Light.Type == D3DLIGHT_SPOT)
    {
        D3DXVECTOR3 direction(light.m_Light.Direction.x, light.m_Light.Direction.y, light.m_Light.Direction.z), unit;
        D3DXVec3Normalize(&unit, &direction);
        table.Set(23, unit.x, unit.y, unit.z, SHADOW_CONE_COSINE);
        D3DXMATRIX spotFrame;
        BuildSpotFrame(unit, nSpotIndex, spotFrame, SHADOW_SPOT_FACES);
        for (int i = 0; i < 4; ++i)
            table.Set(24 + i, spotFrame(i, 0), spotFrame(i, 1), spotFrame(i, 2), spotFrame(i, 3));
    }
    return true;
}
