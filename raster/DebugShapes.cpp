// Debug drawings of one mesh that no pass calls: its bounds as wireframe spheres, and a
// cylinder along each cube face's view from it.
#include "app/RenderApp.h"
#include "raster/LightConstants.h"
#include "raster/SceneDraw.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMesh.h"

namespace
{
constexpr UINT BOUNDS_SLICES = 4, BOUNDS_STACKS = 4;
constexpr float CORNER_SPHERE_SCALE = 0.1f;
constexpr float CYLINDER_RADIUS1 = 1.0f, CYLINDER_RADIUS2 = 100.0f, CYLINDER_LENGTH = 500.0f;
constexpr UINT CYLINDER_SLICES = 6, CYLINDER_STACKS = 6;
constexpr float CYLINDER_NEAR = 0.1f, CYLINDER_FAR = 500.0f;

// The mesh's rotation (the upper rows of its world matrix) placed at a point.
D3DXMATRIX RotationAt(const D3DXMATRIX& world, const D3DXVECTOR3& at)
{
    D3DXMATRIX placed = world;
    placed._41 = at.x;
    placed._42 = at.y;
    placed._43 = at.z;
    return placed;
}

// Fixed-function drawing of untextured, unlit shapes.
void SelectFixedFunction(IDirect3DDevice9* pDevice)
{
    pDevice->SetVertexShader(nullptr);
    pDevice->SetPixelShader(nullptr);
    pDevice->SetTexture(0, nullptr);
    pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
}
}

void RenderApp::DrawBoundsDebug(const SceneMesh* pMesh)
{
    if (!pMesh || !m_pDevice)
        return;
    ID3DXMesh* pBounds = nullptr;
    ID3DXMesh* pCorner = nullptr;
    if (FAILED(D3DXCreateSphere(m_pDevice, pMesh->m_fSphereRadius, BOUNDS_SLICES, BOUNDS_STACKS, &pBounds, nullptr)) ||
        FAILED(D3DXCreateSphere(m_pDevice, pMesh->m_fSphereRadius * CORNER_SPHERE_SCALE, BOUNDS_SLICES, BOUNDS_STACKS,
                                &pCorner, nullptr)))
    {
        if (pBounds)
            pBounds->Release();
        return;
    }
    SelectFixedFunction(m_pDevice);
    const D3DXMATRIX view = ToD3DX(g_matView), projection = ToD3DX(g_matProjection);
    m_pDevice->SetTransform(D3DTS_VIEW, &view);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    m_pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);

    const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
    D3DXMATRIX placed = RotationAt(world, MeshWorldCentre(*pMesh));
    m_pDevice->SetTransform(D3DTS_WORLD, &placed);
    pBounds->DrawSubset(0);
    for (const Vector3& corner : pMesh->m_vBoxCorners)
    {
        const D3DXVECTOR3 local = ToD3DX(corner);
        D3DXVECTOR3 at;
        D3DXVec3TransformCoord(&at, &local, &world);
        placed = RotationAt(world, at);
        m_pDevice->SetTransform(D3DTS_WORLD, &placed);
        pCorner->DrawSubset(0);
    }
    m_pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    pCorner->Release();
    pBounds->Release();
}

void RenderApp::DrawFaceCylinders(const SceneMesh* pMesh)
{
    if (!pMesh || !m_pDevice)
        return;
    ID3DXMesh* pCylinder = nullptr;
    if (FAILED(D3DXCreateCylinder(m_pDevice, CYLINDER_RADIUS1, CYLINDER_RADIUS2, CYLINDER_LENGTH, CYLINDER_SLICES,
                                  CYLINDER_STACKS, &pCylinder, nullptr)))
        return;
    SelectFixedFunction(m_pDevice);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2.0f, 1.0f, CYLINDER_NEAR, CYLINDER_FAR);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    const D3DXVECTOR3 eye = MeshWorldCentre(*pMesh);
    for (int f = 0; f < 6; ++f)
    {
        const D3DXMATRIX faceView = CubeFaceView(eye, f);
        m_pDevice->SetTransform(D3DTS_WORLD, &faceView);
        pCylinder->DrawSubset(0);
    }
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    pCylinder->Release();
}
