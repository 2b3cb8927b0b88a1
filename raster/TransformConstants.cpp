// RenderApp's transform constants and frustum planes: the per-mesh transform every mesh vertex
// program expects, and the six planes of the current view with their tests.
#include "app/RenderApp.h"
#include "raster/FrustumPlanes.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMesh.h"

void RenderApp::SetTransformConstants(const SceneMesh* pMesh)
{
    if (!pMesh || !m_pDevice)
        return;
    D3DXMATRIX world = ToD3DX(pMesh->m_matWorld), view = ToD3DX(g_matView), projection = ToD3DX(g_matProjection);
    D3DXMATRIX worldView, wvp, transposed;
    D3DXMatrixMultiply(&worldView, &world, &view);
    D3DXMatrixMultiply(&wvp, &worldView, &projection);
    D3DXMatrixTranspose(&transposed, &wvp);
    // The mesh programs subtract c0 from each position, keeping w = 1.
    const float centre[4] = {pMesh->m_vOffset.x, pMesh->m_vOffset.y, pMesh->m_vOffset.z, 0.0f};
    m_pDevice->SetVertexShaderConstantF(0, centre, 1);
    m_pDevice->SetVertexShaderConstantF(4, &transposed._11, 4);
}

void RenderApp::SetDepthPassColour()
{
    if (!m_pDevice)
        return;
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(0, black, 1);
}

void RenderApp::BuildFrustumPlanes()
{
    BuildFrustumPlanesFrom(ToD3DX(g_matProjection), ToD3DX(g_matView));
}

void RenderApp::BuildFrustumPlanesFrom(D3DXMATRIX first, D3DXMATRIX second)
{
    D3DXMATRIX m;
    D3DXMatrixMultiply(&m, &second, &first);
    ExtractFrustumPlanes(m, g_FrustumPlanes);
}

bool RenderApp::IsPointInFrustumPlanes(float x, float y, float z) const
{
    return IsPointInPlanes(g_FrustumPlanes, x, y, z);
}

bool RenderApp::IsSphereInFrustumPlanes(float x, float y, float z, float fRadius) const
{
    return IsSphereInPlanes(g_FrustumPlanes, x, y, z, fRadius);
}

bool RenderApp::IsCubeInFrustumPlanes(float x, float y, float z, float fHalfSize) const
{
    return IsCubeInPlanes(g_FrustumPlanes, x, y, z, fHalfSize);
}
