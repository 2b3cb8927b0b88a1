// RenderApp's planar mirror: the scene reflected in a flat mesh's plane, seen through a given
// view and projection, so that a later pass finds pixel by pixel what the mirror shows: the
// world positions normalised to the scene box (target kind 0, g_pMirrorTarget) or the surface
// data of the G-buffer (any other kind, photon targets 0 to 3).
#include "app/RenderApp.h"
#include "app/FrameGlobals.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneLight.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <d3dx9math.h>

D3DXPLANE g_MirrorPlane(0.0f, 0.0f, 0.0f, 0.0f);

namespace
{
constexpr int MESH_VERTEX_PROGRAM = 52;
constexpr int SURFACE_DATA_PIXEL_PROGRAM = 128;
constexpr int NORMALISED_POSITION_PIXEL_PROGRAM = 162;
constexpr uint32_t MIRROR_SURFACE_TARGETS = 4;

// The plane through triangle t of the mirror in world space; false when its corners span none.
bool FindMirrorPlane(const SceneMesh& mirror, int32_t t, D3DXPLANE& plane, D3DXVECTOR3 corners[3])
{
    if (!mirror.m_pVertices || t < 0 || 3 * t + 3 > mirror.m_nVertexCount)
        return false;
    // The stored positions go through the mesh's own transform (centre offset taken off, then
    // the world matrix), as the mesh program places them, so a moved mirror reflects where it is.
    const D3DXMATRIX world = ToD3DX(mirror.m_matWorld);
    for (int i = 0; i < 3; ++i)
    {
        const Vector3 p = mirror.m_pVertices[3 * t + i].vPosition - mirror.m_vOffset;
        const D3DXVECTOR3 local(p.x, p.y, p.z);
        D3DXVec3TransformCoord(&corners[i], &local, &world);
    }
    D3DXPlaneFromPoints(&plane, &corners[0], &corners[1], &corners[2]);
    return plane.a != 0.0f || plane.b != 0.0f || plane.c != 0.0f;
}

// The plane through a, b and the eye e, facing the side where the triangle's third corner c lies.
D3DXPLANE PyramidSide(const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c, const D3DXVECTOR3& e)
{
    D3DXPLANE plane;
    D3DXPlaneFromPoints(&plane, &a, &b, &e);
    if (D3DXPlaneDotCoord(&plane, &c) < 0.0f)
        plane = D3DXPLANE(-plane.a, -plane.b, -plane.c, -plane.d);
    return plane;
}
}

void RenderApp::BeginMirrorImage(int nTargetKind)
{
    if (nTargetKind == 0)
    {
        BindTextureTarget(m_pDevice, 0, g_pMirrorTarget);
        UnbindTargets(m_pDevice);
    }
    else
    {
        for (uint32_t t = 0; t < MIRROR_SURFACE_TARGETS; ++t)
            BindTextureTarget(m_pDevice, t, g_pPhotonTargets[t]);
    }
    m_pDevice->SetDepthStencilSurface(g_pAuxDepthStencil);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(
        m_PixelShaders[nTargetKind == 0 ? NORMALISED_POSITION_PIXEL_PROGRAM : SURFACE_DATA_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    if (nTargetKind == 0)
        SetNormalisedPositionConstants(m_pDevice);
}

void RenderApp::DrawReflectedMeshes(const D3DXMATRIX& view, const D3DXMATRIX& projection, int nTargetKind,
                                    bool bOnPlaneDrawn)
{
    D3DXMATRIX reflection;
    D3DXMatrixReflect(&reflection, &g_MirrorPlane);
    g_matViewProjection = ToMatrix4(reflection);
    const D3DXMATRIX reflectedView = reflection * view;
    const uint32_t nMeshes = m_Scene.m_Meshes.GetCount();
    for (uint32_t i = 0; i < nMeshes; ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(i));
        if (!pMesh || !pMesh->m_bVisible)
            continue;
        // Only what lies in front of the mirror is reflected: the side its triangle's winding
        // faces away from. The centre is taken where the world matrix places it, as the plane is.
        const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
        const D3DXVECTOR4 vCentre(world._41, world._42, world._43, 1.0f);
        const float fSide = D3DXPlaneDot(&g_MirrorPlane, &vCentre);
        if (bOnPlaneDrawn ? fSide > 0.0f : !(fSide < 0.0f))
            continue;
        if (nTargetKind != 0)
            SetGBufferMeshConstants(*pMesh);
        SetTracerMeshConstants(*pMesh, reflectedView, projection);
        DrawTracerMesh(*pMesh);
    }
}

void RenderApp::RenderPlanarMirror(SceneMesh* pMirror, const D3DXMATRIX* pView, const D3DXMATRIX* pProjection,
                                   int nTargetKind)
{
    if (!m_pDevice || !m_pRenderer || !pMirror || !pView || !pProjection)
        return;
    // The mirror does not show itself; the user's own "Visible" flag comes back afterwards.
    const int32_t bKeptVisible = pMirror->m_bVisible;
    pMirror->m_bVisible = 0;
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    UnbindTracerTextures(m_pDevice, m_pRenderer);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    BeginMirrorImage(nTargetKind);
    D3DXVECTOR3 corners[3];
    if (FindMirrorPlane(*pMirror, 0, g_MirrorPlane, corners))
        DrawReflectedMeshes(*pView, *pProjection, nTargetKind, false);

    pMirror->m_bVisible = bKeptVisible;
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    UnbindTargets(m_pDevice);
    UnbindTracerTextures(m_pDevice, m_pRenderer);
}

void RenderApp::RenderPlanarMirrorClipped(SceneMesh* pMirror, const D3DXMATRIX* pView, const D3DXMATRIX* pProjection,
                                          int nTargetKind)
{
    if (!m_pDevice || !m_pRenderer || !pMirror || !pView || !pProjection)
        return;
    // Each triangle's image is clipped to the pyramid from the light through it; with no light
    // switched on there is nothing to clip to, and the image stays clear.
    const SceneLight* pLight = FindFirstEnabledLight();
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pRenderer->BindTexture(2, -1);
    m_pDevice->SetTexture(2, nullptr);
    // The reflection turns every triangle's winding round: culling clockwise keeps the faces
    // that face the mirror, as the unreflected scene keeps those that face the eye.
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    const int32_t bKeptVisible = pMirror->m_bVisible;
    pMirror->m_bVisible = 0;
    BeginMirrorImage(nTargetKind);

    // This device clips a programmable pipeline's output in clip space: a world-space plane P
    // becomes P x transpose(inverse(view x projection)) of the reflected scene's view.
    D3DXMATRIX viewProjection = *pView * *pProjection, toClip;
    const bool bInvertible = D3DXMatrixInverse(&toClip, nullptr, &viewProjection) != nullptr;
    D3DXMatrixTranspose(&toClip, &toClip);
    const int32_t nTriangles = pMirror->m_nVertexCount / 3;
    for (int32_t t = 0; pLight && bInvertible && t < nTriangles; ++t)
    {
        D3DXVECTOR3 q[3];
        if (!FindMirrorPlane(*pMirror, t, g_MirrorPlane, q))
            continue;
        const D3DXVECTOR3 e(pLight->m_vLightPosition.x, pLight->m_vLightPosition.y, pLight->m_vLightPosition.z);
        for (int k = 0; k < 3; ++k)
        {
            const D3DXPLANE side = PyramidSide(q[k], q[(k + 1) % 3], q[(k + 2) % 3], e);
            const D3DXVECTOR4 vSide(side.a, side.b, side.c, side.d);
            D3DXVECTOR4 vClip;
            D3DXVec4Transform(&vClip, &vSide, &toClip);
            m_pDevice->SetClipPlane(static_cast<DWORD>(k), &vClip.x);
        }
        m_pDevice->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0 | D3DCLIPPLANE1 | D3DCLIPPLANE2);
        DrawReflectedMeshes(*pView, *pProjection, nTargetKind, true);
    }

    m_pDevice->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    pMirror->m_bVisible = bKeptVisible;
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    UnbindTargets(m_pDevice);
}
