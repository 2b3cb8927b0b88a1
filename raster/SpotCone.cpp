// RenderApp::DrawSpotCone: the visible beam of a spot light of the camera view.
#include "raster/SpotCone.h"

#include "3dapi/Renderer.h"
#include "app/RenderApp.h"
#include "raster/EffectPasses.h"
#include "scene/SceneLight.h"

#include <d3dx9mesh.h>
#include <d3dx9shape.h>

#include <algorithm>
#include <cmath>

namespace
{
constexpr float EULER = 2.71828f;
// Past a right angle the beam has no finite radius.
constexpr float MAX_HALF_ANGLE = 89.0f * D3DX_PI / 180.0f;
}

bool HasSpotCone(const SceneLight& light)
{
    return light.m_Light.Type == D3DLIGHT_SPOT && light.m_bEnabled == 1 && light.m_bCone == 1;
}

bool BuildSpotConeLayer(const SceneLight& light, int i, const LightFrame& frame, SpotConeLayer& layer)
{
    D3DXVECTOR3 direction(light.m_Light.Direction.x, light.m_Light.Direction.y, light.m_Light.Direction.z);
    if (D3DXVec3Length(&direction) <= 0.0f)
        return false;
    D3DXVec3Normalize(&direction, &direction);
    const float fHalfAngle = std::clamp(light.m_Light.Phi * D3DX_PI / 360.0f, 0.0f, MAX_HALF_ANGLE);
    const float fShare = (float)(i + 1) / (float)SPOT_CONE_LAYERS;
    layer.fLength = 0.2f * light.m_Light.Range;
    layer.fFarRadius = std::tan(fHalfAngle) * layer.fLength * fShare;
    const float fSlope = std::tan(fHalfAngle * fShare);

    // Light frame: apex at the light, z along the beam. The shell (centred on its own origin,
    // along z) moves half its length forward into it.
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f), up = LookAtUpVector(direction);
    D3DXMATRIX lookAt, orientation, placement, lightFrame, worldToLight, shell, world, worldView, wvp;
    D3DXMatrixLookAtLH(&lookAt, &origin, &direction, &up);
    D3DXMatrixTranspose(&orientation, &lookAt);
    D3DXMatrixTranslation(&placement, light.m_vLightPosition.x, light.m_vLightPosition.y, light.m_vLightPosition.z);
    D3DXMatrixMultiply(&lightFrame, &orientation, &placement);
    D3DXMatrixInverse(&worldToLight, nullptr, &lightFrame);
    D3DXMatrixTranslation(&shell, 0.0f, 0.0f, layer.fLength * 0.5f);
    D3DXMatrixMultiply(&world, &shell, &lightFrame);
    D3DXMatrixMultiply(&worldView, &world, &frame.view);
    D3DXMatrixMultiply(&wvp, &worldView, &frame.projection);

    ConstantTable& vertex = layer.vertex;
    vertex = ConstantTable();
    vertex.Set(1, light.m_vLightPosition.x, light.m_vLightPosition.y, light.m_vLightPosition.z, 1.0f);
    vertex.Set(2, fSlope * fSlope, 4.0f, 2.0f, 1.0f);
    vertex.Set(3, frame.eye.x, frame.eye.y, frame.eye.z, 1.0f);
    vertex.SetTransposed(4, wvp);
    vertex.SetTransposed(12, lightFrame);
    vertex.SetTransposed(16, shell);
    vertex.SetTransposed(20, worldToLight);
    return true;
}

void BuildSpotConePixelConstants(const SceneCamera& camera, ConstantTable& pixel)
{
    pixel.Set(0, camera.m_fFogScale, camera.m_fFogDensity * 0.001f, EULER, camera.m_fFogZ);
    pixel.Set(1, camera.m_vFogColor[0], camera.m_vFogColor[1], camera.m_vFogColor[2], 1.0f);
    pixel.Set(2, 0.33333f, 0.33333f, 0.33333f, 1.0f);
    pixel.Set(3, 0.5f, 0.25f, 0.125f, 1.0f);
    pixel.Set(4, 2.0f, 4.0f, 8.0f, 1.0f);
    pixel.Set(6, 0.0f, 1.0f, 1.0f, 1.0f);
}

void RenderApp::DrawSpotCone(SceneLight* pLight)
{
    if (!pLight || !HasSpotCone(*pLight) || !m_pDevice || !m_pRenderer)
        return;
    if (!SelectEffectPrograms(*this, "DrawSpotCone", VS_SPOT_CONE, PS_SPOT_CONE))
        return;
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVSRCALPHA);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    BindNoiseStage(m_pDevice, *m_pRenderer);
    ConstantTable pixel;
    BuildSpotConePixelConstants(m_Scene.m_Camera, pixel);
    UploadConstants(m_pDevice, true, pixel);

    const LightFrame frame = CurrentLightFrame(m_Scene);
    for (int i = 0; i < SPOT_CONE_LAYERS; ++i)
    {
        SpotConeLayer layer;
        if (!BuildSpotConeLayer(*pLight, i, frame, layer))
            break;
        ID3DXMesh* pShell = nullptr;
        // A shell that cannot be made ends the cone; the states are put back all the same.
        if (FAILED(D3DXCreateCylinder(m_pDevice, 1.0f, layer.fFarRadius, layer.fLength, 64, 10, &pShell, nullptr)))
            break;
        IDirect3DVertexDeclaration9* pDeclaration = SetShapeDeclaration(m_pDevice, pShell);
        UploadConstants(m_pDevice, false, layer.vertex);
        if (pDeclaration)
        {
            pShell->DrawSubset(0);
            pDeclaration->Release();
        }
        pShell->Release();
    }
    EndLightEffect(m_pDevice, m_pMeshDecl);
}
