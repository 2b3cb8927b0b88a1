// The meshes on the far side of the last mirror plane (their centre not in front of
// g_MirrorPlane), drawn with the point-light programs into the bound target after a clear; the
// caller has set the programs' constants.
#include "app/RenderApp.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

namespace
{
constexpr int POINT_LIGHT_VERTEX_PROGRAM = 0;
constexpr int POINT_LIGHT_PIXEL_PROGRAM = 53;
}

void RenderApp::DrawMeshesBehindPlane()
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pRenderer->SelectVertexShader(m_VertexShaders[POINT_LIGHT_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[POINT_LIGHT_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    for (uint32_t i = 0; i < m_Scene.m_Meshes.GetCount(); ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(i));
        // A mesh the user hid stays hidden here as in every other pass.
        if (!pMesh || !pMesh->m_bVisible)
            continue;
        const D3DXVECTOR4 vCentre(pMesh->m_vOffset.x, pMesh->m_vOffset.y, pMesh->m_vOffset.z, 1.0f);
        if (D3DXPlaneDot(&g_MirrorPlane, &vCentre) > 0.0f)
            continue;
        DrawTracerMesh(*pMesh);
    }
}
