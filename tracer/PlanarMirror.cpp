// RenderApp's planar mirror: the scene reflected in a flat mesh's plane, seen through a given
// view and projection, so that a later pass finds pixel by pixel what the mirror shows: the
// world positions normalised to the scene box (target kind 0, g_pMirrorTarget) or the surface
// data of the G-buffer (any other kind, photon targets 0 to 3).
#include "app/RenderApp.h"
#include "app/FrameGlobals.h"
#include "scene/D3DXBridge.h"
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

// The plane through the mirror's first three vertices in world space; false when they span none.
bool FindMirrorPlane(const SceneMesh& mirror, D3DXPLANE& plane)
{
    if (!mirror.m_pVertices || mirror.m_nVertexCount < 3)
        return false;
    // The stored positions go through the mesh's own transform (centre offset taken off, then
    // the world matrix), as the mesh program places them, so a moved mirror reflects where it is.
    const D3DXMATRIX world = ToD3DX(mirror.m_matWorld);
    D3DXVECTOR3 corners[3];
    for (int i = 0; i < 3; ++i)
    {
        const Vector3 p = mirror.m_pVertices[i].vPosition - mirror.m_vOffset;
        const D3DXVECTOR3 local(p.x, p.y, p.z);
        D3DXVec3TransformCoord(&corners[i], &local, &world);
    }
    D3DXPlaneFromPoints(&plane, &corners[0], &corners[1], &corners[2]);
    return plane.a != 0.0f || plane.b != 0.0f || plane.c != 0.0f;
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
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(
        m_PixelShaders[nTargetKind == 0 ? NORMALISED_POSITION_PIXEL_PROGRAM : SURFACE_DATA_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    if (nTargetKind == 0)
        SetNormalisedPositionConstants(m_pDevice);

    D3DXMATRIX reflection;
    if (FindMirrorPlane(*pMirror, g_MirrorPlane))
    {
        D3DXMatrixReflect(&reflection, &g_MirrorPlane);
        g_matViewProjection = ToMatrix4(reflection);
        const D3DXMATRIX reflectedView = reflection * *pView;
        const uint32_t nMeshes = m_Scene.m_Meshes.GetCount();
        for (uint32_t i = 0; i < nMeshes; ++i)
        {
            const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(i));
            if (!pMesh || !pMesh->m_bVisible)
                continue;
            // Only what lies in front of the mirror is reflected: the side its first triangle's
            // winding faces away from.
            const D3DXVECTOR4 vCentre(pMesh->m_vOffset.x, pMesh->m_vOffset.y, pMesh->m_vOffset.z, 1.0f);
            if (!(D3DXPlaneDot(&g_MirrorPlane, &vCentre) < 0.0f))
                continue;
            if (nTargetKind != 0)
                SetGBufferMeshConstants(*pMesh);
            SetTracerMeshConstants(*pMesh, reflectedView, *pProjection);
            DrawTracerMesh(*pMesh);
        }
    }

    pMirror->m_bVisible = bKeptVisible;
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    UnbindTargets(m_pDevice);
    UnbindTracerTextures(m_pDevice, m_pRenderer);
}
