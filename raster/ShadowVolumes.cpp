// Stencil shadow volumes, which no live pass calls: each enabled light's volumes are counted into
// the stencil buffer (z-fail, both faces in one draw), from the light itself and from jittered
// copies of it for a soft edge, and after each count the visible meshes are darkened where the
// count left the stencil off its cleared value. The volumes of meshes seen in the planar mirror
// are counted the other way (z-pass) and darken nothing.
#include "app/RenderApp.h"
#include "3dapi/Renderer.h"
#include "core/Log.h"
#include "raster/LightConstants.h"
#include "raster/SceneDraw.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include <algorithm>

namespace
{
enum
{
    VS_SHADOW_VOLUME = 18,   // 918
    VS_DARKEN = 19           // 919
};
constexpr int PS_DARKEN = 65;   // 665
constexpr char PASS_NAME[] = "RenderShadowVolumes";
constexpr UINT SHADOW_VOLUME_STRIDE = 24;
// The stencil count starts here, so that it can go either way.
constexpr DWORD STENCIL_CLEARED = 0x80;
// Sample k of a light takes jitter entry 15 k: a light draws at most this many samples.
constexpr int JITTER_STEP = 15;
constexpr int MAX_SHADOW_SAMPLES = (JITTER_DIRECTIONS - 1) / JITTER_STEP + 1;

// Where the volumes are cast from: the position of point and spot lights, the direction of
// directional lights taken as a point.
D3DXVECTOR3 CastingPoint(const SceneLight& light)
{
    if (light.m_Light.Type == D3DLIGHT_DIRECTIONAL)
        return D3DXVECTOR3(light.m_Light.Direction.x, light.m_Light.Direction.y, light.m_Light.Direction.z);
    return ToD3DX(light.m_vLightPosition);
}

// The mesh placed by world (its own world matrix, or its mirror image).
void BuildShadowVolumeConstants(const SceneMesh& mesh, const D3DXMATRIX& world, const D3DXVECTOR3& vLight,
                                float fRange, float fBackClip, ConstantTable& table)
{
    table.Set(0, 0.0f, 0.4f, 0.0f, 1.0f);
    table.Set(1, fRange, 0.0f, fBackClip - 5.0f, 1.0f);
    table.Set(2, mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 0.0f);
    table.Set(3, vLight.x, vLight.y, vLight.z, 1.0f);
    const D3DXMATRIX view = ToD3DX(g_matView);
    D3DXMATRIX worldView;
    D3DXMatrixMultiply(&worldView, &world, &view);
    table.SetTransposed(4, ToD3DX(g_matProjection));
    table.SetTransposed(8, worldView);
    table.SetTransposed(12, view);
}

// The stencil operations of a volume's faces where the depth test fails and where it passes, for
// the clockwise and the counter-clockwise faces.
struct StencilCounting
{
    DWORD nZFail, nPass, nCcwZFail, nCcwPass;
};
// Counts where the volume lies behind the scene's surface (the camera may stand inside it).
constexpr StencilCounting Z_FAIL = {D3DSTENCILOP_DECR, D3DSTENCILOP_KEEP, D3DSTENCILOP_INCR, D3DSTENCILOP_KEEP};
// Counts where the volume lies in front of it.
constexpr StencilCounting Z_PASS = {D3DSTENCILOP_KEEP, D3DSTENCILOP_INCR, D3DSTENCILOP_KEEP, D3DSTENCILOP_DECR};

void SetStencilCountStates(IDirect3DDevice9* pDevice, const StencilCounting& counting)
{
    const DWORD STATES[][2] = {
        {D3DRS_ZENABLE, TRUE},
        {D3DRS_ZWRITEENABLE, FALSE},
        {D3DRS_STENCILENABLE, TRUE},
        {D3DRS_ZFUNC, D3DCMP_LESS},
        {D3DRS_SHADEMODE, D3DSHADE_FLAT},
        {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_STENCILZFAIL, counting.nZFail},
        {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILPASS, counting.nPass},
        {D3DRS_STENCILREF, 1},
        {D3DRS_STENCILMASK, 0xFFFFFFFF},
        {D3DRS_STENCILWRITEMASK, 0xFFFFFFFF},
        // The volumes change no colour.
        {D3DRS_ALPHABLENDENABLE, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_ZERO},
        {D3DRS_DESTBLEND, D3DBLEND_ONE},
        {D3DRS_TWOSIDEDSTENCILMODE, TRUE},
        {D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_CCW_STENCILZFAIL, counting.nCcwZFail},
        {D3DRS_CCW_STENCILFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_CCW_STENCILPASS, counting.nCcwPass},
        {D3DRS_CULLMODE, D3DCULL_NONE},
    };
    for (const DWORD* pState : STATES)
        pDevice->SetRenderState((D3DRENDERSTATETYPE)pState[0], pState[1]);
}

// The mesh's whole shadow volume from the stream already set.
void DrawShadowVolume(IDirect3DDevice9* pDevice, const SceneMesh& mesh)
{
    pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, (UINT)mesh.m_nShadowTriangles);
}
}

void RenderApp::SetShadowVolumeConstants(const SceneMesh* pMesh, int, const SceneLight* pLight)
{
    if (!m_pDevice || !pMesh || !pLight)
        return;
    ConstantTable table;
    BuildShadowVolumeConstants(*pMesh, ToD3DX(pMesh->m_matWorld), CastingPoint(*pLight), pLight->m_Light.Range,
                               m_Scene.m_Camera.m_fBackClip, table);
    UploadConstants(m_pDevice, false, table);
}

void RenderApp::SetDarkenVertexConstants(const SceneMesh* pMesh, const D3DXVECTOR3& vLight)
{
    if (!m_pDevice || !pMesh)
        return;
    ConstantTable table;
    table.Set(0, 20.0f, 0.02f, 0.0f, 1.0f);
    table.Set(1, vLight.x, vLight.y, vLight.z, 1.0f);
    table.Set(2, pMesh->m_vOffset.x, pMesh->m_vOffset.y, pMesh->m_vOffset.z, 0.0f);
    const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld), view = ToD3DX(g_matView), projection = ToD3DX(g_matProjection);
    D3DXMATRIX wvp;
    D3DXMatrixMultiply(&wvp, &world, &view);
    D3DXMatrixMultiply(&wvp, &wvp, &projection);
    table.SetTransposed(4, wvp);
    table.SetTransposed(8, world);
    UploadConstants(m_pDevice, false, table);
}

void RenderApp::SetDarkenPixelConstants(const SceneMesh* pMesh)
{
    if (!m_pDevice || !pMesh || !pMesh->m_pMaterial)
        return;
    const SceneMaterial& material = *pMesh->m_pMaterial;
    ConstantTable table;
    table.Set(0, material.m_fMaterialValue1 * DISPERSION_SCALE, material.GetOptionFloat(6) * 0.00001f,
              material.GetOptionFloat(7) * 0.000025f, 1.0f);
    table.Set(1, 0.0f, 0.0f, 0.0f, material.m_fMaterialFactor * g_fMaterialScale);
    table.Set(2, 0.3333f, 0.3333f, 0.3333f, 1.0f);
    UploadConstants(m_pDevice, true, table);
}

void RenderApp::DarkenShadowedMeshes(const D3DXVECTOR3& vLight)
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer)
        return;
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    // The target is multiplied by the program's alpha.
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
    m_pDevice->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, FALSE);
    // Shadowed where the volumes left the count off its cleared value, whichever way.
    m_pDevice->SetRenderState(D3DRS_STENCILREF, STENCIL_CLEARED);
    m_pDevice->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NOTEQUAL);
    m_pDevice->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    pRenderer->BindTexture(0, g_nNoiseTexture);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    if (SelectScenePrograms(*this, VS_DARKEN, PS_DARKEN, PASS_NAME))
    {
        const int nMeshes = std::min({(int)m_Scene.m_Meshes.GetCount(), MAX_MESHES, (int)m_Visibility.size()});
        for (int i = 0; i < nMeshes; ++i)
        {
            SceneMesh* pMesh = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i));
            if (!pMesh || !pMesh->m_pMaterial || m_Visibility[(size_t)i] == 0)
                continue;
            m_pDevice->SetStreamSource(0, pMesh->m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
            SetDarkenPixelConstants(pMesh);
            SetDarkenVertexConstants(pMesh, vLight);
            DrawSceneMesh(m_pDevice, *pMesh);
        }
    }
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
}

void RenderApp::RenderShadowVolumes()
{
    if (!m_pDevice || !GetRenderer())
        return;
    const int nLights = std::min((int)m_Scene.m_Lights.GetCount(), SceneMesh::LIGHT_SLOTS);
    const int nMeshes = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
    for (int i = 0; i < nLights; ++i)
    {
        const SceneLight* pLight = static_cast<const SceneLight*>(m_Scene.m_Lights.Get((uint32_t)i));
        if (!pLight || !pLight->m_bEnabled)
            continue;
        int nSamples = std::max(pLight->m_nShadowSamples, 0);
        if (nSamples > MAX_SHADOW_SAMPLES)
        {
            static bool s_bReported = false;
            if (!s_bReported)
                LogWarning("RenderApp::RenderShadowVolumes() - a light asks for %d shadow samples; the jitter table "
                           "gives %d, and only those are drawn.",
                           nSamples, MAX_SHADOW_SAMPLES);
            s_bReported = true;
            nSamples = MAX_SHADOW_SAMPLES;
        }
        for (int k = 0; k < nSamples; ++k)
        {
            m_pDevice->SetVertexDeclaration(m_pShadowVolumeDecl);
            if (!SelectScenePrograms(*this, VS_SHADOW_VOLUME, -1, PASS_NAME))
                break;
            SetStencilCountStates(m_pDevice, Z_FAIL);
            m_pDevice->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, STENCIL_CLEARED);
            D3DXVECTOR3 vPoint = CastingPoint(*pLight);
            if (k > 0)
            {
                const D3DXVECTOR4& jitter = m_JitterDirections[JITTER_STEP * k];
                vPoint += D3DXVECTOR3(jitter.x, jitter.y, jitter.z) * DISPERSION_SCALE;
            }
            for (int j = 0; j < nMeshes; ++j)
            {
                const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)j));
                if (!pMesh || !pMesh->m_pShadowVolumeBuffer || pMesh->m_nLightFlags[i] == 0 ||
                    pMesh->m_bCastsShadow[i] == 0)
                    continue;
                m_pDevice->SetStreamSource(0, pMesh->m_pShadowVolumeBuffer, 0, SHADOW_VOLUME_STRIDE);
                ConstantTable table;
                BuildShadowVolumeConstants(*pMesh, ToD3DX(pMesh->m_matWorld), vPoint, pLight->m_Light.Range,
                                           m_Scene.m_Camera.m_fBackClip, table);
                UploadConstants(m_pDevice, false, table);
                DrawShadowVolume(m_pDevice, *pMesh);
            }
            DarkenShadowedMeshes(vPoint);
        }
    }
    m_pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
}

void RenderApp::RenderMirroredShadowVolumes()
{
    if (!m_pDevice || !GetRenderer())
        return;
    m_pDevice->SetVertexDeclaration(m_pShadowVolumeDecl);
    if (SelectScenePrograms(*this, VS_SHADOW_VOLUME, -1, PASS_NAME))
    {
        SetStencilCountStates(m_pDevice, Z_PASS);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, STENCIL_CLEARED);
        // g_matViewProjection holds the reflection in the mirror's plane at this time.
        const D3DXMATRIX mirror = ToD3DX(g_matViewProjection);
        const int nLights = std::min((int)m_Scene.m_Lights.GetCount(), SceneMesh::LIGHT_SLOTS);
        const int nMeshes = std::min({(int)m_Scene.m_Meshes.GetCount(), MAX_MESHES, (int)m_Visibility.size()});
        for (int j = 0; j < nMeshes; ++j)
        {
            const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)j));
            if (!pMesh || !pMesh->m_pShadowVolumeBuffer || m_Visibility[(size_t)j] == 0)
                continue;
            const D3DXVECTOR3 centre = ToD3DX(pMesh->m_vOffset);
            if (D3DXPlaneDotCoord(&g_MirrorPlane, &centre) > 0.0f)
                continue;
            // The mesh and each light stand in their mirror images.
            const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
            D3DXMATRIX mirroredWorld;
            D3DXMatrixMultiply(&mirroredWorld, &world, &mirror);
            m_pDevice->SetStreamSource(0, pMesh->m_pShadowVolumeBuffer, 0, SHADOW_VOLUME_STRIDE);
            for (int i = 0; i < nLights; ++i)
            {
                const SceneLight* pLight = static_cast<const SceneLight*>(m_Scene.m_Lights.Get((uint32_t)i));
                if (!pLight || !pLight->m_bEnabled || pMesh->m_bCastsShadow[i] == 0)
                    continue;
                // A direction is mirrored as a direction.
                const D3DXVECTOR3 vPoint = CastingPoint(*pLight);
                D3DXVECTOR3 vMirrored;
                if (pLight->m_Light.Type == D3DLIGHT_DIRECTIONAL)
                    D3DXVec3TransformNormal(&vMirrored, &vPoint, &mirror);
                else
                    D3DXVec3TransformCoord(&vMirrored, &vPoint, &mirror);
                ConstantTable table;
                BuildShadowVolumeConstants(*pMesh, mirroredWorld, vMirrored, pLight->m_Light.Range,
                                           m_Scene.m_Camera.m_fBackClip, table);
                UploadConstants(m_pDevice, false, table);
                DrawShadowVolume(m_pDevice, *pMesh);
            }
        }
    }
    m_pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    m_pDevice->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
}
