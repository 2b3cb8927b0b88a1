// The first pass of the earlier shadow-ray tracer: per pixel the nearest surface's world
// position (w marks a surface) into G-buffer target 0, and the per-axis reciprocals of the vector
// from it to the first light into target 1.
#include "app/RenderApp.h"
#include "scene/SceneLight.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

namespace
{
constexpr int PRIMARY_VERTEX_PROGRAM = 41;
constexpr int PRIMARY_PIXEL_PROGRAM = 100;
// The w the position target holds where a surface was drawn; the cleared 0 marks none.
constexpr float SURFACE_MARK = 1.0f;
}

void RenderApp::RenderPrimarySurface()
{
    BindTextureTarget(m_pDevice, 0, g_pGBufferTargets[0]);
    BindTextureTarget(m_pDevice, 1, g_pGBufferTargets[1]);
    m_pDevice->SetRenderTarget(2, nullptr);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    // Depth too: the nearest surface must win over what an earlier pass left in the buffer.
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_pRenderer->SelectVertexShader(m_VertexShaders[PRIMARY_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[PRIMARY_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    const SceneLight* pLight =
        m_Scene.m_Lights.GetCount() > 0 ? static_cast<const SceneLight*>(m_Scene.m_Lights.Get(0)) : nullptr;
    const Vector3& vEye = m_Scene.m_Camera.m_vEyePosition;
    const float eye[4] = {vEye.x, vEye.y, vEye.z, 1.0f};
    const float mark[4] = {SURFACE_MARK, 0.001f, 0.0f, 1.0f};
    const float light[4] = {pLight ? pLight->m_vLightPosition.x : 0.0f, pLight ? pLight->m_vLightPosition.y : 0.0f,
                            pLight ? pLight->m_vLightPosition.z : 0.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(1, eye, 1);
    for (uint32_t i = 0; i < m_Scene.m_Meshes.GetCount(); ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(i));
        // A mesh the user hid stays out as in the live G-buffer.
        if (!pMesh || !pMesh->m_bVisible)
            continue;
        SetTracerMeshConstants(*pMesh);
        m_pDevice->SetPixelShaderConstantF(0, mark, 1);
        m_pDevice->SetPixelShaderConstantF(4, light, 1);
        DrawTracerMesh(*pMesh);
    }
    UnbindTargets(m_pDevice);
}
