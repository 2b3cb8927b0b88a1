#include "raster/BackgroundBox.h"

#include "3dapi/Renderer.h"
#include "app/RenderApp.h"
#include "core/Log.h"
#include "scene/PointerArray.h"
#include "scene/SceneLight.h"

#include <d3dx9mesh.h>
#include <d3dx9shape.h>

#include <algorithm>
#include <cmath>

Vector3 g_vSceneMin{0.0f, 0.0f, 0.0f};
Vector3 g_vSceneMax{0.0f, 0.0f, 0.0f};
IDirect3DCubeTexture9* g_pCubeTarget = nullptr;

namespace
{
// Pixel programs of the three modes, by shader id (resource - 600); the vertex program's id.
constexpr int BOX_PIXEL_PROGRAMS[3] = {171, 170, 169};
constexpr int BOX_VERTEX_PROGRAM = 53;
constexpr int ENVIRONMENT_STAGE = 2;
constexpr int NOISE_STAGE = 3;

Vector3 Centre(const Vector3& vMin, const Vector3& vMax)
{
    return Vector3((vMin.x + vMax.x) * 0.5f, (vMin.y + vMax.y) * 0.5f, (vMin.z + vMax.z) * 0.5f);
}
}

float BackgroundBoxSide(int nMode, const Vector3& vSceneMin, const Vector3& vSceneMax, const PointerArray& lights)
{
    if (nMode == BACKGROUND_CAMERA)
    {
        float fSide = std::max({vSceneMax.x - vSceneMin.x, vSceneMax.y - vSceneMin.y, vSceneMax.z - vSceneMin.z});
        return 1.5f * fSide;
    }
    // The light views only need the box to enclose every light: each distance that reaches past
    // the current half side makes the side 2.1 times that distance, so later lights are tested
    // against the grown box.
    const Vector3 m = Centre(vSceneMin, vSceneMax);
    float fSide = 1.1f;
    for (uint32_t i = 0; i < lights.GetCount(); ++i)
    {
        const SceneLight* pLight = static_cast<const SceneLight*>(lights.Get(i));
        if (!pLight || pLight->m_bEnabled == 0)
            continue;
        const float distances[3] = {std::fabs(pLight->m_vLightPosition.x - m.x),
                                    std::fabs(pLight->m_vLightPosition.y - m.y),
                                    std::fabs(pLight->m_vLightPosition.z - m.z)};
        for (float d : distances)
        {
            if (d > fSide / 2.0f)
                fSide = 2.1f * d;
        }
    }
    return fSide;
}

void BuildBackgroundBoxConstants(const Vector3& vEye, const D3DXMATRIX& view, const D3DXMATRIX& projection,
                                 const Vector3& vSceneMin, const Vector3& vSceneMax, ConstantTable& vertex,
                                 ConstantTable& pixel)
{
    const Vector3 m = Centre(vSceneMin, vSceneMax);
    pixel.Set(0, m.x, m.y, m.z, 1.0f);
    pixel.Set(1, 2.0f, 1.0f, 1.0f, 0.5f);
    pixel.Set(8, 0.5f, 0.5f, 0.5f, 1.0f);
    pixel.Set(16, 0.0f, 0.0f, 49.12f, 1.0f);
    // w is the noise's share of the bent normal: 0, so the light modes reflect off the plain wall.
    pixel.Set(19, 1.0f, 1.0f, 0.1f, 0.0f);
    pixel.Set(23, vSceneMax.x - vSceneMin.x, vSceneMax.y - vSceneMin.y, vSceneMax.z - vSceneMin.z, 1.0f);
    pixel.Set(24, vSceneMin.x, vSceneMin.y, vSceneMin.z, 1.0f);

    D3DXMATRIX world, viewProjection, worldViewProjection;
    D3DXMatrixTranslation(&world, m.x, m.y, m.z);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    D3DXMatrixMultiply(&worldViewProjection, &world, &viewProjection);
    vertex.Set(2, vEye.x, vEye.y, vEye.z, 1.0f);
    vertex.SetTransposed(4, worldViewProjection);
    vertex.SetTransposed(8, world);
    vertex.SetTransposed(12, viewProjection);
}

void RenderApp::DrawBackgroundBox(const Vector3& vEye, const D3DXMATRIX& matView, const D3DXMATRIX& matProjection,
                                  int nMode)
{
    IDirect3DDevice9* pDevice = m_pDevice;
    if (!pDevice || !m_pRenderer)
        return;
    const float fSide = BackgroundBoxSide(nMode, g_vSceneMin, g_vSceneMax, m_Scene.m_Lights);
    ID3DXMesh* pBox = nullptr;
    if (FAILED(D3DXCreateBox(pDevice, fSide, fSide, fSide, &pBox, nullptr)))
    {
        LogError("RenderApp::DrawBackgroundBox() - the box of side %g could not be created.", fSide);
        return;
    }
    const bool bKnownMode = nMode >= BACKGROUND_CAMERA && nMode <= BACKGROUND_CUBE_POSITION;
    if (m_VertexShaders[BOX_VERTEX_PROGRAM] < 0 || (bKnownMode && m_PixelShaders[BOX_PIXEL_PROGRAMS[nMode]] < 0))
    {
        LogError("RenderApp::DrawBackgroundBox() - a program of mode %d is missing.", nMode);
        pBox->Release();
        return;
    }

    pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    // The inside of the box faces the viewer.
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    // The box is the background: the target's depths (a previous frame's, in the camera view)
    // must not cut holes in it, and it leaves no depth of its own.
    pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    IDirect3DVertexDeclaration9* pDeclaration = nullptr;
    if (SUCCEEDED(pBox->GetDeclaration(elements)))
        pDevice->CreateVertexDeclaration(elements, &pDeclaration);
    pDevice->SetVertexDeclaration(pDeclaration);
    pDevice->SetSamplerState(ENVIRONMENT_STAGE, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    pDevice->SetSamplerState(ENVIRONMENT_STAGE, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    pDevice->SetSamplerState(ENVIRONMENT_STAGE, D3DSAMP_ADDRESSW, D3DTADDRESS_MIRROR);
    pDevice->SetSamplerState(NOISE_STAGE, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    pDevice->SetSamplerState(NOISE_STAGE, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);

    m_pRenderer->SelectVertexShader(m_VertexShaders[BOX_VERTEX_PROGRAM]);
    // Stage 2 is set on the device directly: the renderer's record of it is reset first, so that
    // the next pass that binds a texture there through the renderer really sets it.
    m_pRenderer->BindTexture(ENVIRONMENT_STAGE, -1);
    if (bKnownMode)
    {
        if (nMode != BACKGROUND_CAMERA)
            m_pRenderer->BindTexture(NOISE_STAGE, g_nNoiseTexture);
        IDirect3DBaseTexture9* pCube =
            nMode == BACKGROUND_CUBE_POSITION ? g_pCubeTarget : g_pEnvironmentCubeTexture;
        pDevice->SetTexture(ENVIRONMENT_STAGE, pCube);
        m_pRenderer->SelectPixelShader(m_PixelShaders[BOX_PIXEL_PROGRAMS[nMode]]);
    }
    m_pRenderer->ApplyShaders();

    ConstantTable vertex, pixel;
    BuildBackgroundBoxConstants(vEye, matView, matProjection, g_vSceneMin, g_vSceneMax, vertex, pixel);
    UploadConstants(pDevice, true, pixel);
    UploadConstants(pDevice, false, vertex);

    pBox->DrawSubset(0);
    pBox->Release();
    if (pDeclaration)
        pDeclaration->Release();

    pDevice->SetTexture(ENVIRONMENT_STAGE, nullptr);
    pDevice->SetVertexDeclaration(m_pMeshDecl);
    pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}
