#include "tracer/VisibleMeshes.h"

#include "app/RenderApp.h"
#include "scene/SceneMesh.h"

#include <algorithm>

std::vector<SceneMesh*> VisibleMeshes(RenderApp& app)
{
    std::vector<SceneMesh*> meshes;
    const int nMeshes = std::min<int>(static_cast<int>(app.m_Scene.m_Meshes.GetCount()), RenderApp::MAX_MESHES);
    for (int i = 0; i < nMeshes; ++i)
    {
        SceneMesh* pMesh = static_cast<SceneMesh*>(app.m_Scene.m_Meshes.Get(static_cast<uint32_t>(i)));
        if (pMesh && app.m_Visibility[static_cast<size_t>(i)] != 0)
            meshes.push_back(pMesh);
    }
    return meshes;
}
