#include "raster/SceneDraw.h"

#include "app/RenderApp.h"
#include "3dapi/Renderer.h"
#include "core/Log.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <cmath>

bool IsOpaque(const SceneMesh& mesh)
{
    return mesh.m_pMaterial && mesh.m_pMaterial->m_vOpacity[0] == 1.0f;
}

bool IsMoving(const SceneMesh& mesh)
{
    return mesh.m_bPathPlaying != 0 || mesh.m_bAutoSpin == 1;
}

bool IsReflective(const SceneMaterial& material)
{
    return material.m_vReflectionColor[0] != 0.0f || material.m_vReflectionColor[1] != 0.0f ||
           material.m_vReflectionColor[2] != 0.0f;
}

bool IsFlat(const SceneMesh& mesh)
{
    const float* b = mesh.m_fBounds;
    return std::fabs(b[1] - b[0]) < 0.5f || std::fabs(b[3] - b[2]) < 0.5f || std::fabs(b[5] - b[4]) < 0.5f;
}

bool SelectScenePrograms(RenderApp& app, int nVertexId, int nPixelId, const char* szPass)
{
    static bool s_bVertexReported[RenderApp::VERTEX_SHADER_COUNT] = {};
    static bool s_bPixelReported[RenderApp::PIXEL_SHADER_COUNT] = {};
    Renderer* pRenderer = app.GetRenderer();
    if (!pRenderer)
        return false;
    int nVertex = app.m_VertexShaders[nVertexId];
    int nPixel = nPixelId < 0 ? -1 : app.m_PixelShaders[nPixelId];
    if (nVertex < 0 || (nPixelId >= 0 && nPixel < 0))
    {
        bool& bReported = nVertex < 0 ? s_bVertexReported[nVertexId] : s_bPixelReported[nPixelId];
        if (!bReported)
            LogError("RenderApp::%s() - %s program %d is missing; its draws are skipped.", szPass,
                     nVertex < 0 ? "vertex" : "pixel", nVertex < 0 ? 900 + nVertexId : 600 + nPixelId);
        bReported = true;
        return false;
    }
    pRenderer->SelectPixelShader(nPixel);
    pRenderer->SelectVertexShader(nVertex);
    pRenderer->ApplyShaders();
    return true;
}

void DrawSceneMesh(IDirect3DDevice9* pDevice, const SceneMesh& mesh)
{
    pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, (UINT)mesh.m_nTriangleCount);
}

void QueryDrawMesh(RenderApp& app, const SceneMesh& mesh, uint32_t& nEntry)
{
    IDirect3DDevice9* pDevice = app.m_pDevice;
    pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
    app.SetTransformConstants(&mesh);
    IDirect3DQuery9* pQuery = app.m_bOcclusionQuerySupported ? app.m_pOcclusionQuery : nullptr;
    if (!pQuery)
    {
        DrawSceneMesh(pDevice, mesh);
        nEntry = 1;
        return;
    }
    pQuery->Issue(D3DISSUE_BEGIN);
    DrawSceneMesh(pDevice, mesh);
    pQuery->Issue(D3DISSUE_END);
    DWORD nSamples = 0;
    HRESULT hr;
    while ((hr = pQuery->GetData(&nSamples, sizeof(nSamples), D3DGETDATA_FLUSH)) == S_FALSE)
    {
    }
    nEntry = hr == S_OK ? nSamples : 0;
}

D3DXMATRIX CubeFaceView(const D3DXVECTOR3& eye, int nFace)
{
    // Look direction and up vector of each face.
    static const float FACES[6][6] = {{1, 0, 0, 0, 1, 0},  {-1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, -1},
                                      {0, -1, 0, 0, 0, 1}, {0, 0, 1, 0, 1, 0},  {0, 0, -1, 0, 1, 0}};
    const float* f = FACES[nFace];
    D3DXVECTOR3 at(eye.x + f[0], eye.y + f[1], eye.z + f[2]), up(f[3], f[4], f[5]);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    return view;
}
