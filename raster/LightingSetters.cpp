// RenderApp's lighting constant setters: the register tables of raster/LightConstants.h put on
// the device for one mesh and one light or layer pass, and the load-time jitter table and white
// texture they use; the forward pass's shadow setters.
#include "app/RenderApp.h"
#include "3dapi/Renderer.h"
#include "core/Log.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"
#include "raster/LightConstants.h"
#include "raster/ShadowConstants.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMesh.h"

#include <cstring>

namespace
{
// How many spot lights come before light nIndex in the scene's list.
int SpotLightsBefore(const SceneStore& scene, int nIndex)
{
    int nSpots = 0;
    for (int j = 0; j < nIndex; ++j)
    {
        const SceneLight* pLight = static_cast<const SceneLight*>(scene.m_Lights.Get(j));
        if (pLight && pLight->m_Light.Type == D3DLIGHT_SPOT)
            ++nSpots;
    }
    return nSpots;
}
}

LightFrame CurrentLightFrame(const SceneStore& scene)
{
    LightFrame frame;
    frame.view = ToD3DX(g_matView);
    frame.projection = ToD3DX(g_matProjection);
    const Vector3& eye = scene.m_Camera.m_RigidBody.m_vPosition;
    frame.eye = D3DXVECTOR3(eye.x, eye.y, eye.z);
    return frame;
}

void UploadConstants(IDirect3DDevice9* pDevice, bool bPixel, const ConstantTable& table)
{
    if (!pDevice)
        return;
    int n = 0;
    while (n < 32)
    {
        if (!(table.nWritten & (1u << n)))
        {
            ++n;
            continue;
        }
        int nEnd = n;
        while (nEnd < 32 && (table.nWritten & (1u << nEnd)))
            ++nEnd;
        if (bPixel)
            pDevice->SetPixelShaderConstantF(n, table.c[n], nEnd - n);
        else
            pDevice->SetVertexShaderConstantF(n, table.c[n], nEnd - n);
        n = nEnd;
    }
}

void RenderApp::BuildJitterDirections()
{
    FillJitterDirections(m_JitterDirections);
}

void RenderApp::CreateRasterTextures()
{
    if (!m_pRenderer)
        return;
    uint8_t* pPixels = AllocatePixels(4);
    if (!pPixels)
        return;
    std::memset(pPixels, 255, 4);
    PixelImage* pImage = new PixelImage();
    pImage->Adopt(pPixels, 1, 1, RGBA8, true, false);
    m_nWhiteTexture = m_pRenderer->AddTexture(pImage, 0);
    if (m_nWhiteTexture < 0)
        LogError("RenderApp::CreateRasterTextures() - the white texture could not be made; directional lights stay dark.");
}

void RenderApp::SetLightVertexConstants(const SceneMesh* pMesh, const SceneLight* pLight, int)
{
    if (!pMesh || !pLight)
        return;
    ConstantTable table;
    BuildLightVertexConstants(*pMesh, *pLight, CurrentLightFrame(m_Scene), table);
    UploadConstants(m_pDevice, false, table);
}

void RenderApp::SetLightPixelConstants(SceneMesh* pMesh, int nMeshIndex, const SceneLight* pLight, int nLightIndex)
{
    if (!pMesh || !pLight)
        return;
    ConstantTable table;
    // No pass of the running program renders the lights' shadow cubes.
    if (BuildLightPixelConstants(*pMesh, nMeshIndex, *pLight, SpotLightsBefore(m_Scene, nLightIndex), false,
                                 CurrentLightFrame(m_Scene), m_JitterDirections, table))
        UploadConstants(m_pDevice, true, table);
}

void RenderApp::SetDirectionalVertexConstants(const SceneMesh* pMesh, const SceneLight* pLight, int)
{
    if (!pMesh || !pLight)
        return;
    ConstantTable table;
    // No pass of the running program renders the lights' shadow maps.
    BuildDirectionalVertexConstants(*pMesh, *pLight, CurrentLightFrame(m_Scene), m_matShadowTexture, false, table);
    UploadConstants(m_pDevice, false, table);
}

void RenderApp::SetDirectionalPixelConstants(SceneMesh* pMesh, int nMeshIndex, const SceneLight* pLight, int)
{
    if (!pMesh || !pLight)
        return;
    ConstantTable table;
    if (BuildDirectionalPixelConstants(*pMesh, nMeshIndex, *pLight, false, m_JitterDirections, table))
        UploadConstants(m_pDevice, true, table);
}

void RenderApp::SetLayerVertexConstants(const SceneMesh* pMesh, int)
{
    if (!pMesh)
        return;
    ConstantTable table;
    BuildLayerVertexConstants(*pMesh, CurrentLightFrame(m_Scene), table);
    UploadConstants(m_pDevice, false, table);
}

void RenderApp::SetLayerConstants(const SceneMesh* pMesh, int nPass)
{
    if (!pMesh)
        return;
    ConstantTable table;
    if (BuildLayerPixelConstants(*pMesh, nPass, g_nLayerPasses, m_JitterDirections, table))
        UploadConstants(m_pDevice, true, table);
}

void RenderApp::SetShadowVertexConstants(const SceneMesh* pMesh, const SceneLight* pLight, int)
{
    if (!pMesh || !pLight)
        return;
    ConstantTable table;
    BuildShadowVertexConstants(*pMesh, *pLight, CurrentLightFrame(m_Scene), table);
    UploadConstants(m_pDevice, false, table);
}

void RenderApp::SetShadowPixelConstants(const SceneMesh* pMesh, int nMeshIndex, const SceneLight* pLight,
                                        int nLightIndex)
{
    if (!pMesh || !pLight)
        return;
    ConstantTable table;
    if (BuildShadowPixelConstants(*pMesh, nMeshIndex, *pLight, SpotLightsBefore(m_Scene, nLightIndex),
                                  m_JitterDirections, table))
        UploadConstants(m_pDevice, true, table);
}
