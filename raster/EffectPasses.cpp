#include "raster/EffectPasses.h"

#include "3dapi/Renderer.h"
#include "app/RenderApp.h"
#include "core/Log.h"
#include "scene/SceneMesh.h"

#include <d3dx9mesh.h>

bool SelectEffectPrograms(RenderApp& app, const char* szOperation, int nVertexId, int nPixelId)
{
    static bool s_bVertexReported[RenderApp::VERTEX_SHADER_COUNT] = {};
    static bool s_bPixelReported[RenderApp::PIXEL_SHADER_COUNT] = {};
    Renderer* pRenderer = app.GetRenderer();
    if (!pRenderer)
        return false;
    const int nVertex = app.m_VertexShaders[nVertexId], nPixel = app.m_PixelShaders[nPixelId];
    if (nVertex < 0 && !s_bVertexReported[nVertexId])
    {
        LogError("RenderApp::%s() - vertex program %d is missing; nothing is drawn.", szOperation,
                 RenderApp::VERTEX_RESOURCE_BASE + nVertexId);
        s_bVertexReported[nVertexId] = true;
    }
    if (nPixel < 0 && !s_bPixelReported[nPixelId])
    {
        LogError("RenderApp::%s() - pixel program %d is missing; nothing is drawn.", szOperation,
                 RenderApp::PIXEL_RESOURCE_BASE + nPixelId);
        s_bPixelReported[nPixelId] = true;
    }
    if (nVertex < 0 || nPixel < 0)
        return false;
    pRenderer->SelectPixelShader(nPixel);
    pRenderer->SelectVertexShader(nVertex);
    pRenderer->ApplyShaders();
    return true;
}

void BindNoiseStage(IDirect3DDevice9* pDevice, Renderer& renderer)
{
    pDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    pDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    renderer.BindTexture(0, g_nNoiseTexture);
}

void DrawEffectMesh(IDirect3DDevice9* pDevice, const SceneMesh& mesh)
{
    pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, EFFECT_MESH_STRIDE);
    pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, (UINT)mesh.m_nTriangleCount);
}

IDirect3DVertexDeclaration9* SetShapeDeclaration(IDirect3DDevice9* pDevice, ID3DXMesh* pShape)
{
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    IDirect3DVertexDeclaration9* pDeclaration = nullptr;
    if (FAILED(pShape->GetDeclaration(elements)) || FAILED(pDevice->CreateVertexDeclaration(elements, &pDeclaration)))
        return nullptr;
    pDevice->SetVertexDeclaration(pDeclaration);
    return pDeclaration;
}

void EndLightEffect(IDirect3DDevice9* pDevice, IDirect3DVertexDeclaration9* pMeshDecl)
{
    pDevice->SetVertexDeclaration(pMeshDecl);
    pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}
