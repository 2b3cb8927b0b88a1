// The two older directional vertex setters, which no pass calls: the directional constants with
// the camera registers replaced by a camera that looks at the middle of the scene from the
// light's side, and a register of further shadow terms.
#include "app/RenderApp.h"
#include "raster/LightConstants.h"
#include "scene/SceneLight.h"
#include "scene/SceneMesh.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace
{
// c25 of the first form; the second has 1/65535 for the depth unit and no gravity term.
constexpr float FIRST_DEPTH_UNIT = 1.0f / 2048.0f;
constexpr float SECOND_DEPTH_UNIT = 1.0f / 65535.0f;
constexpr float GRAVITY = -9.81f;

void SetOlderDirectionalConstants(RenderApp& app, const SceneMesh* pMesh, const SceneLight* pLight, int nLightIndex,
                                  float fDepthUnit, float fGravity)
{
    if (!pMesh || !pLight || !app.m_pDevice)
        return;
    ConstantTable table;
    const LightFrame frame = CurrentLightFrame(app.m_Scene);
    BuildDirectionalVertexConstants(*pMesh, *pLight, frame, app.m_matShadowTexture, false, table);

    const D3DXVECTOR3 middle = app.MeanMeshCentre();
    D3DXVECTOR3 direction(pLight->m_Light.Direction.x, pLight->m_Light.Direction.y, pLight->m_Light.Direction.z);
    if (D3DXVec3Length(&direction) > 0.0f)
        D3DXVec3Normalize(&direction, &direction);
    else
        direction = D3DXVECTOR3(0, 0, 1);
    // A light past the table stands at the middle itself.
    const float fDistance =
        nLightIndex >= 0 && nLightIndex < (int)std::size(app.m_fShadowRange) ? app.m_fShadowRange[nLightIndex] : 0.0f;
    const D3DXVECTOR3 eye = middle - direction * fDistance;
    // Looking along the light rather than at the middle gives the same view and stays defined
    // while the distance is 0 (no shadow pass has run); a vertical light takes +z as up.
    const D3DXVECTOR3 at = eye + direction;
    const D3DXVECTOR3 up = std::fabs(direction.y) > 0.999f ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0);
    D3DXMATRIX view, viewProjection;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixMultiply(&viewProjection, &view, &frame.projection);
    table.SetTransposed(20, viewProjection);
    table.Set(25, fDepthUnit, fGravity, fDistance, 1.0f);
    UploadConstants(app.m_pDevice, false, table);
}
}

D3DXVECTOR3 RenderApp::MeanMeshCentre() const
{
    D3DXVECTOR3 sum(0, 0, 0);
    int nCount = 0;
    const int nMeshes = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
    for (int i = 0; i < nMeshes; ++i)
        if (const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i)))
        {
            sum += MeshWorldCentre(*pMesh);
            ++nCount;
        }
    return nCount ? sum / (float)nCount : sum;
}

void RenderApp::SetDirectionalVertexConstantsOld(const SceneMesh* pMesh, const SceneLight* pLight, int nLightIndex)
{
    SetOlderDirectionalConstants(*this, pMesh, pLight, nLightIndex, FIRST_DEPTH_UNIT, GRAVITY);
}

void RenderApp::SetDirectionalVertexConstantsOld2(const SceneMesh* pMesh, const SceneLight* pLight, int nLightIndex)
{
    SetOlderDirectionalConstants(*this, pMesh, pLight, nLightIndex, SECOND_DEPTH_UNIT, 0.0f);
}
