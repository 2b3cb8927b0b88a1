#include "app/SceneAccess.h"

#include "app/RenderApp.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <cstring>

namespace
{
SceneStore* GetScene()
{
    return g_pRenderApp ? &g_pRenderApp->m_Scene : nullptr;
}
}

void ClearMeshSelection()
{
    if (SceneStore* pScene = GetScene())
        for (uint32_t i = 0; i < pScene->m_Meshes.GetCount(); ++i)
            static_cast<SceneMesh*>(pScene->m_Meshes.Get(i))->m_nMeshFlag = 0;
}

void AddMaterial(SceneMaterial* pMaterial)
{
    if (SceneStore* pScene = GetScene())
        pScene->m_Materials.Add(pMaterial);
}

int LoadSceneTexture(const char* szPath, int nFlags)
{
    SceneStore* pScene = GetScene();
    if (!pScene || !szPath)
        return -1;
    return pScene->LoadFileTexture(szPath, nFlags, g_pRenderApp->GetRenderer(), std::string());
}

SceneMaterial* FindMaterial(const char* szName)
{
    SceneStore* pScene = GetScene();
    return pScene && szName ? pScene->FindMaterialByName(szName) : nullptr;
}

// Every equal entry goes, neighbours included (the index does not move on after a removal), and
// the mesh, which the store owned, is deleted once.
void RemoveMesh(SceneMesh* pMesh)
{
    SceneStore* pScene = GetScene();
    if (!pScene || !pMesh)
        return;
    bool bRemoved = false;
    for (uint32_t i = 0; i < pScene->m_Meshes.GetCount();)
    {
        if (pScene->m_Meshes.Get(i) == pMesh)
        {
            pScene->m_Meshes.RemoveAt(i);
            bRemoved = true;
        }
        else
            ++i;
    }
    if (!bRemoved)
        return;
    delete pMesh;
    g_bRebuildTree = 1;
    g_bSceneChanged = 1;
}

int GetTextureIdByName(const char* szName, int nFlags)
{
    SceneStore* pScene = GetScene();
    return pScene && szName ? pScene->FindTextureId(szName, nFlags) : -1;
}

void StripTexturePath(char* szPath)
{
    if (szPath)
        SceneStore::StripDirectory(szPath);
}

bool SceneFileExists(const char* szName)
{
    return szName && SceneStore::FileExists(szName);
}

bool HasMpgFile(char* szName)
{
    if (!szName)
        return false;
    size_t nLength = std::strlen(szName);
    if (nLength < 3)
        return false;
    std::memcpy(szName + nLength - 3, "mpg", 3);
    return SceneFileExists(szName);
}
