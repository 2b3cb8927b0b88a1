// RenderApp's mesh ordering and view culling: the front-to-back order of the scene's meshes and
// the bounding-sphere test against the current view.
#include "app/RenderApp.h"
#include "raster/LightConstants.h"
#include "raster/MeshOrder.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMesh.h"

#include <algorithm>

void RenderApp::SortMeshesFrontToBack()
{
    int nCount = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
    Vector3 centres[MAX_MESHES];
    for (int i = 0; i < nCount; ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(i));
        centres[i] = pMesh ? pMesh->m_vOffset : Vector3(0.0f, 0.0f, 0.0f);
    }
    if ((int)m_MeshOrder.size() < MAX_MESHES)
        m_MeshOrder.resize(MAX_MESHES);
    SortByViewDepth(centres, nCount, ToD3DX(g_matView), m_MeshOrder.data());
}

void RenderApp::QuickSortByDepth(int lo, int hi, float* pKeys, int32_t* pIndexes)
{
    ::QuickSortByDepth(lo, hi, pKeys, pIndexes);
}

bool RenderApp::IsSphereInFrustum(const SceneMesh* pMesh) const
{
    if (!pMesh)
        return false;
    D3DXVECTOR3 centre = MeshWorldCentre(*pMesh);
    return IsSphereInViewCone(Vector3(centre.x, centre.y, centre.z), pMesh->m_fSphereRadius, ToD3DX(g_matView),
                              ToD3DX(g_matProjection));
}
