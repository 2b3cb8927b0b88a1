// The lights' shadow maps: a distance pass (point and spot lights, into cube faces) and a depth
// pass (directional lights, near or far layer) that write per pixel the value, the object id and
// the diffuse map's alpha; the drivers place the viewer at the light for each face. No live pass
// calls them. A light's shadow target is made the first time a driver draws for it; a light whose
// target cannot be made is skipped rather than drawn into the back buffer.
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

#include <algorithm>
#include <cmath>

namespace
{
enum
{
    VS_DISTANCE = 1,   // 901
    VS_DEPTH = 8,      // 908
    VS_CLIP_DEPTH = 16 // 916
};
constexpr int PS_SHADOW_MAP = 2;   // 602
constexpr float SHADOW_DEPTH_SCALE = 65535.0f;
constexpr char PASS_NAME[] = "RenderShadowMaps";
// Texels per side of a light's shadow cube (point and spot lights) and 2D map (directional).
constexpr int SHADOW_CUBE_SIZE = 128;
constexpr int SHADOW_MAP_SIZE = 256;
// The radius of the sphere around the post-projective view volume [-1, 1] x [-1, 1] x [0, 1]
// about its middle (0, 0, 0.5), which the directional light's frustum takes in.
constexpr float VOLUME_RADIUS = 1.5f;
// A light whose point at infinity projects with a w below this stays at infinity; it is placed
// this far from the volume's middle.
constexpr float PROJECTED_AT_INFINITY = 1e-4f;
constexpr float LIGHT_AT_INFINITY = 1000.0f;
// The widest field of view of the directional light's frustum, in radians (160 degrees).
constexpr float WIDEST_VIEW = 2.7925268f;

// The mesh casts a shadow map for light i: its shadow flag is set and no shadow volume stands in.
bool CastsShadowMap(const SceneMesh& mesh, int i)
{
    return mesh.m_nLightFlags[i] != 1 && mesh.m_bCastsShadow[i] != 0;
}

// True when the light has its shadow target (a float cube or 2D map), making it on first use;
// a target that cannot be made is reported once and the light keeps -1.
bool EnsureShadowTarget(Renderer& renderer, int32_t& nId, bool bCube)
{
    if (nId >= 0)
        return true;
    const int nSize = bCube ? SHADOW_CUBE_SIZE : SHADOW_MAP_SIZE;
    nId = renderer.CreateRenderTarget(nSize, nSize, false, bCube, RENDER_TARGET_A32B32G32R32F);
    if (nId >= 0)
        return true;
    nId = -1;
    static bool s_bReported = false;
    if (!s_bReported)
        LogWarning("RenderApp::%s() - a light's shadow target could not be made; its shadow map is not drawn.",
                   PASS_NAME);
    s_bReported = true;
    return false;
}

// Binds the target unless it is bound already; false when it cannot be.
bool BindShadowTarget(Renderer& renderer, int nId)
{
    return renderer.GetCurrentRenderTarget() == nId || renderer.BindRenderTarget(0, nId);
}
}

void RenderApp::SetShadowPassConstants(const SceneMesh* pMesh, int)
{
    if (!pMesh)
        return;
    ConstantTable table;
    // Nothing is divided by a depth scale no driver has set.
    table.Set(2, 1.0f, 1.0f, g_fShadowDepthScale > 0.0f ? 1.0f / g_fShadowDepthScale : 0.0f, 1.0f);
    const Vector3& eye = m_Scene.m_Camera.m_RigidBody.m_vPosition;
    table.Set(3, eye.x, eye.y, eye.z, 1.0f);
    const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld), view = ToD3DX(g_matView), projection = ToD3DX(g_matProjection);
    D3DXMATRIX worldView, wvp;
    D3DXMatrixMultiply(&worldView, &world, &view);
    D3DXMatrixMultiply(&wvp, &worldView, &projection);
    table.SetTransposed(4, wvp);
    table.SetTransposed(8, world);
    table.SetTransposed(16, worldView);
    table.Set(14, pMesh->m_vOffset.x, pMesh->m_vOffset.y, pMesh->m_vOffset.z, 0.0f);
    if (const SceneMaterial* pMaterial = pMesh->m_pMaterial)
        table.Set(15, pMaterial->m_fRepeatU[0], pMaterial->m_fRepeatV[0], pMaterial->m_fRepeatU[1],
                  pMaterial->m_fRepeatV[1]);
    UploadConstants(m_pDevice, false, table);
}

void RenderApp::SetObjectIdConstant(int nMeshIndex)
{
    if (!m_pDevice)
        return;
    const float id[4] = {0.0f, (float)(nMeshIndex + 1) / 65535.0f, 0.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(1, id, 1);
}

void RenderApp::RenderShadowDistancePass(int nLight)
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer || nLight < 0 || nLight >= SceneMesh::LIGHT_SLOTS)
        return;
    const int nMeshes = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
    // After the first frame a face is redrawn only when a moving mesh shows in it.
    if (!g_bSceneChanged)
    {
        int nTested = 0, nHidden = 0;
        for (int j = 0; j < nMeshes; ++j)
        {
            SceneMesh* pMesh = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)j));
            if (!pMesh || !IsMoving(*pMesh) || !pMesh->m_bVisible)
                continue;
            if (nTested++ == 0)
            {
                if (!SelectScenePrograms(*this, VS_DEPTH, -1, PASS_NAME))
                    return;
                m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
            }
            uint32_t nSamples = 0;
            if (IsSphereInFrustum(pMesh))
                QueryDrawMesh(*this, *pMesh, nSamples);
            nHidden += nSamples == 0 ? 1 : 0;
        }
        if (nTested > 0 && nTested == nHidden)
            return;
    }
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    if (!SelectScenePrograms(*this, VS_DISTANCE, PS_SHADOW_MAP, PASS_NAME))
        return;
    pRenderer->SelectTextures(-1, -1, -1, -1, -1, -1);
    pRenderer->ApplyState();
    for (int j = 0; j < nMeshes; ++j)
    {
        SceneMesh* pMesh = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)j));
        if (!pMesh || !pMesh->m_pMaterial || !CastsShadowMap(*pMesh, nLight) || !IsSphereInFrustum(pMesh))
            continue;
        pRenderer->BindTexture(0, pMesh->m_pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE]);
        SetShadowPassConstants(pMesh, nLight);
        SetObjectIdConstant(j);
        m_pDevice->SetStreamSource(0, pMesh->m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
        DrawSceneMesh(m_pDevice, *pMesh);
    }
}

void RenderApp::RenderShadowDepthPass(int nLight)
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer || nLight < 0 || nLight >= SceneMesh::LIGHT_SLOTS)
        return;
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    // The far layer keeps the farthest surfaces.
    const bool bFar = m_bShadowFarLayer != 0;
    m_pDevice->SetRenderState(D3DRS_ZFUNC, bFar ? D3DCMP_GREATEREQUAL : D3DCMP_LESSEQUAL);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, bFar ? D3DCULL_CCW : D3DCULL_CW);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, bFar ? 0.0f : 1.0f, 0);
    if (SelectScenePrograms(*this, VS_CLIP_DEPTH, PS_SHADOW_MAP, PASS_NAME))
    {
        pRenderer->SelectTextures(-1, -1, -1, -1, -1, -1);
        pRenderer->ApplyState();
        const D3DXMATRIX view = ToD3DX(g_matView);
        const int nMeshes = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
        for (int j = 0; j < nMeshes; ++j)
        {
            SceneMesh* pMesh = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)j));
            if (!pMesh || !CastsShadowMap(*pMesh, nLight))
                continue;
            // Meshes wholly behind the viewer are left out.
            const D3DXVECTOR3 origin = MeshWorldCentre(*pMesh);
            const float fDepth = origin.x * view._13 + origin.y * view._23 + origin.z * view._33 + view._43;
            if (fDepth + pMesh->m_fBoundingRadius <= 0.0f)
                continue;
            SetShadowPassConstants(pMesh, nLight);
            SetObjectIdConstant(j);
            m_pDevice->SetStreamSource(0, pMesh->m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
            DrawSceneMesh(m_pDevice, *pMesh);
        }
    }
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
}

bool RenderApp::BuildDirectionalShadowView(int nLight, const D3DXMATRIX& keptView)
{
    const SceneLight* pLight = static_cast<const SceneLight*>(m_Scene.m_Lights.Get((uint32_t)nLight));
    if (!pLight)
        return false;
    D3DXVECTOR3 d(pLight->m_Light.Direction.x, pLight->m_Light.Direction.y, pLight->m_Light.Direction.z);
    D3DXVec3Normalize(&d, &d);
    // The depth range of the shadow-casting meshes seen from the camera.
    const Vector3& camera = m_Scene.m_Camera.m_RigidBody.m_vPosition;
    float n = 0.0f, f = 0.0f;
    bool bAny = false;
    for (uint32_t j = 0; j < m_Scene.m_Meshes.GetCount(); ++j)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(j));
        if (!pMesh || !pMesh->m_bCastsShadow[nLight])
            continue;
        const D3DXVECTOR3 centre = MeshWorldCentre(*pMesh);
        const D3DXVECTOR3 offset(centre.x - camera.x, centre.y - camera.y, centre.z - camera.z);
        const float fDistance = D3DXVec3Length(&offset);
        n = bAny ? std::min(n, fDistance - pMesh->m_fSphereRadius) : fDistance - pMesh->m_fSphereRadius;
        f = bAny ? std::max(f, fDistance + pMesh->m_fSphereRadius) : fDistance + pMesh->m_fSphereRadius;
        bAny = true;
    }
    // Nothing casts a shadow: there is no range to fit the map to.
    if (!bAny)
        return false;
    f = std::min(f, 4000.0f);
    n = std::max(n, m_Scene.m_Camera.m_fFrontClip);
    // The eye moves back by e, more when the light comes towards the viewer.
    const float c = d.x * keptView._13 + d.y * keptView._23 + d.z * keptView._33;
    float e;
    if (c > 0.0f)
    {
        n += 20.0f * std::fabs(c);
        e = 1.0f;
    }
    else
    {
        e = 20.0f * std::fabs(c) + 5.0f;
        n += e;
        e *= 2.0f;
    }
    // A small scene lit from behind would get its near plane past the far one.
    n = std::min(n, 0.5f * (f + e));
    D3DXMATRIX viewBack = keptView;
    viewBack._43 += e;
    const float fFov = 2.0f * std::atan(std::tan(m_Scene.m_Camera.m_fFov / 2.0f) * f / (f + e));
    D3DXMATRIX projectionBack, m;
    D3DXMatrixPerspectiveFovLH(&projectionBack, fFov, m_Scene.m_Camera.m_fAspect, n, f + e);
    D3DXMatrixMultiply(&m, &viewBack, &projectionBack);

    // The light as seen in the camera's post-projective space, where the view volume is the box
    // [-1, 1] x [-1, 1] x [0, 1]: its point at infinity (-d, 0) carried through m. A light behind
    // the viewer comes out reversed there: it is taken from the opposite side, and the map keeps
    // the far layer. A light across the view stays at infinity: it is placed far out in the
    // direction it comes from.
    D3DXVECTOR4 q;
    const D3DXVECTOR4 towardsLight(-d.x, -d.y, -d.z, 0.0f);
    D3DXVec4Transform(&q, &towardsLight, &m);
    m_bShadowFarLayer = q.w < 0.0f ? 1 : 0;
    if (m_bShadowFarLayer)
        q = -q;
    const D3DXVECTOR3 middle(0, 0, 0.5f);
    D3DXVECTOR3 p;
    if (q.w > PROJECTED_AT_INFINITY)
        p = D3DXVECTOR3(q.x / q.w, q.y / q.w, q.z / q.w);
    else
    {
        D3DXVECTOR3 away(q.x, q.y, q.z);
        D3DXVec3Normalize(&away, &away);
        p = middle + away * LIGHT_AT_INFINITY;
    }
    // The light looks at the volume's middle and takes in its sphere; from close by (or inside)
    // one frustum sees only part of it: the field of view stops at WIDEST_VIEW.
    D3DXVECTOR3 toLight = p - middle;
    const float fDistance = std::max(D3DXVec3Length(&toLight), 1e-3f);
    // The up vector must not lie along the line of sight.
    D3DXVECTOR3 up = m_bShadowFarLayer ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 0, -1);
    if (std::fabs(toLight.z) > 0.9f * fDistance)
        up = D3DXVECTOR3(0, 1, 0);
    const float fHalfAngle = std::asin(std::min(VOLUME_RADIUS / fDistance, std::sin(WIDEST_VIEW / 2.0f)));
    D3DXMATRIX lightView, lightProjection, shadowProjection, scale, texture;
    D3DXMatrixLookAtLH(&lightView, &p, &middle, &up);
    D3DXMatrixPerspectiveFovLH(&lightProjection, 2.0f * fHalfAngle, 1.0f, std::max(fDistance - VOLUME_RADIUS, 0.01f),
                               fDistance + VOLUME_RADIUS);
    g_fShadowDepthScale = SHADOW_DEPTH_SCALE;
    D3DXMatrixMultiply(&shadowProjection, &projectionBack, &lightView);
    D3DXMatrixMultiply(&shadowProjection, &shadowProjection, &lightProjection);
    m_matShadowProjection = shadowProjection;
    g_matProjection = ToMatrix4(shadowProjection);
    g_matView = ToMatrix4(viewBack);
    D3DXMatrixIdentity(&scale);
    scale._33 = 1.0f / SHADOW_DEPTH_SCALE;
    D3DXMatrixMultiply(&texture, &viewBack, &scale);
    D3DXMatrixMultiply(&m_matShadowTexture, &texture, &shadowProjection);
    return true;
}

void RenderApp::RenderShadowMaps()
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer)
        return;
    Vector3& vCamera = m_Scene.m_Camera.m_RigidBody.m_vPosition;
    const D3DXMATRIX keptView = ToD3DX(g_matView);
    {
        KeptCamera kept(vCamera);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 0.01f, 30000.0f);
        g_matProjection = ToMatrix4(projection);
        const int nLights = std::min((int)m_Scene.m_Lights.GetCount(), SceneMesh::LIGHT_SLOTS);
        for (int i = 0; i < nLights; ++i)
        {
            SceneLight* pLight = static_cast<SceneLight*>(m_Scene.m_Lights.Get((uint32_t)i));
            if (!pLight || !pLight->m_bEnabled || pLight->m_Light.Type == D3DLIGHT_SPOT)
                continue;
            if (pLight->m_Light.Type == D3DLIGHT_DIRECTIONAL)
            {
                if (EnsureShadowTarget(*pRenderer, pLight->m_nTextureId2, false) &&
                    BuildDirectionalShadowView(i, keptView) && BindShadowTarget(*pRenderer, pLight->m_nTextureId2))
                    RenderShadowDepthPass(i);
                continue;
            }
            if (!EnsureShadowTarget(*pRenderer, pLight->m_nTextureId, true))
                continue;
            const Vector3& position = pLight->m_vLightPosition;
            vCamera = position;
            float fRange = 0.0f;
            for (uint32_t j = 0; j < m_Scene.m_Meshes.GetCount(); ++j)
                if (const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(j)))
                {
                    const D3DXVECTOR3 centre = MeshWorldCentre(*pMesh);
                    const D3DXVECTOR3 offset(centre.x - position.x, centre.y - position.y, centre.z - position.z);
                    fRange = std::max(fRange, D3DXVec3Length(&offset) + pMesh->m_fSphereRadius);
                }
            m_fShadowRange[i] = fRange;
            g_fShadowDepthScale = SHADOW_DEPTH_SCALE;
            if (!BindShadowTarget(*pRenderer, pLight->m_nTextureId))
                continue;
            for (int f = 0; f < 6; ++f)
            {
                if (!g_bSceneChanged && pLight->m_nLightOptions[f] == 0)
                    continue;
                g_matView = ToMatrix4(CubeFaceView(ToD3DX(position), f));
                pRenderer->SelectCubeFace(pLight->m_nTextureId, f);
                RenderShadowDistancePass(i);
            }
        }
        pRenderer->BindRenderTarget(0, -1);
    }
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
}

void RenderApp::RenderSpotShadowFaces()
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer)
        return;
    Vector3& vCamera = m_Scene.m_Camera.m_RigidBody.m_vPosition;
    KeptCamera kept(vCamera);
    int nSpot = 0;
    const int nLights = std::min((int)m_Scene.m_Lights.GetCount(), SceneMesh::LIGHT_SLOTS);
    for (int i = 0; i < nLights; ++i)
    {
        SceneLight* pLight = static_cast<SceneLight*>(m_Scene.m_Lights.Get((uint32_t)i));
        if (!pLight || pLight->m_Light.Type != D3DLIGHT_SPOT)
            continue;
        const int k = nSpot++;
        // A cube has six faces: spot lights past the sixth have none of their own.
        if (!pLight->m_bEnabled || k >= 6 || !EnsureShadowTarget(*pRenderer, pLight->m_nTextureId, true))
            continue;
        const Vector3& position = pLight->m_vLightPosition;
        vCamera = position;
        D3DXMATRIX projection, view;
        D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 0.1f, 30000.0f);
        g_matProjection = ToMatrix4(projection);
        const D3DXVECTOR3 eye = ToD3DX(position);
        const D3DXVECTOR3 at(eye.x + pLight->m_Light.Direction.x, eye.y + pLight->m_Light.Direction.y,
                             eye.z + pLight->m_Light.Direction.z);
        const D3DXVECTOR3 up = k == 2 ? D3DXVECTOR3(0, 0, -1) : (k == 3 ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0));
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        g_matView = ToMatrix4(view);
        if (!BindShadowTarget(*pRenderer, pLight->m_nTextureId))
            continue;
        pRenderer->SelectCubeFace(pLight->m_nTextureId, k);
        g_fShadowDepthScale = SHADOW_DEPTH_SCALE;
        RenderShadowDistancePass(i);
    }
    pRenderer->BindRenderTarget(0, -1);
}
