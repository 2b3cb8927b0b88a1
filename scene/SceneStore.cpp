#include "scene/SceneStore.h"

#include "3dapi/Renderer.h"
#include "core/CoreHooks.h"
#include "core/Log.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <cstring>
#include <sys/stat.h>

namespace
{
// The first object of the list whose name equals the text, or null.
template <typename T>
T* FindByName(const PointerArray& list, const char* szName)
{
    if (!szName)
        return nullptr;
    for (uint32_t i = 0; i < list.GetCount(); ++i)
    {
        auto* pObject = static_cast<T*>(list.Get(i));
        if (pObject && std::strcmp(pObject->m_szName, szName) == 0)
            return pObject;
    }
    return nullptr;
}

void DeleteLight(SceneLight* pLight)
{
    // The light's cube texture was made by the scene reader for this store.
    if (pLight->m_pCubeTexture)
        pLight->m_pCubeTexture->Release();
    pLight->m_pCubeTexture = nullptr;
    delete pLight;
}
}

SceneTexture::~SceneTexture() = default;

SceneStore::SceneStore()
{
    m_bAddLights = 1;
}

SceneStore::~SceneStore()
{
    // The renderer releases its own textures when it goes; only the records are freed here.
    DeleteMeshes();
    DeleteTextures(nullptr);
    DeleteLights();
    for (uint32_t i = 0; i < m_Materials.GetCount(); ++i)
        delete static_cast<SceneMaterial*>(m_Materials.Get(i));
}

bool SceneStore::AddMesh(SceneMesh* pMesh)
{
    if (m_Meshes.GetCount() >= MAX_MESHES)
    {
        LogError("SceneStore::AddMesh() - the scene already has %u meshes; mesh \"%s\" is left out.", MAX_MESHES,
                 pMesh ? pMesh->m_szName : "");
        delete pMesh;
        return false;
    }
    if (m_Meshes.Add(pMesh) < 0)
    {
        LogError("SceneStore::AddMesh() - out of memory; mesh \"%s\" is left out.", pMesh ? pMesh->m_szName : "");
        delete pMesh;
        return false;
    }
    return true;
}

bool SceneStore::AddLight(SceneLight* pLight)
{
    bool bAdded = false;
    if (m_Lights.GetCount() >= MAX_LIGHTS)
        LogError("SceneStore::AddLight() - the scene already has %u lights; light \"%s\" is left out.", MAX_LIGHTS,
                 pLight ? pLight->m_szName : "");
    else if (m_Lights.Add(pLight) < 0)
        LogError("SceneStore::AddLight() - out of memory; light \"%s\" is left out.", pLight ? pLight->m_szName : "");
    else
        bAdded = true;
    if (!bAdded && pLight)
        DeleteLight(pLight);
    return bAdded;
}

SceneTexture* SceneStore::AddTexture(const char* szName, int nLoadFlags, int nTextureId)
{
    auto* pTexture = new SceneTexture;
    pTexture->SetName(szName);
    pTexture->m_nLoadFlags = nLoadFlags;
    pTexture->m_nTextureId = nTextureId;
    if (m_Textures.Add(pTexture) < 0)
    {
        LogError("SceneStore::AddTexture() - out of memory; texture \"%s\" is not recorded.", pTexture->m_szName);
        delete pTexture;
        return nullptr;
    }
    return pTexture;
}

bool SceneStore::Clear(Renderer* pRenderer)
{
    DeleteMeshes();
    DeleteTextures(pRenderer);
    DeleteLights();
    return true;
}

void SceneStore::DeleteMeshes()
{
    for (uint32_t i = 0; i < m_Meshes.GetCount(); ++i)
        delete static_cast<SceneMesh*>(m_Meshes.Get(i));
    m_Meshes.Reset();
}

void SceneStore::DeleteTextures(Renderer* pRenderer)
{
    for (uint32_t i = 0; i < m_Textures.GetCount(); ++i)
    {
        auto* pTexture = static_cast<SceneTexture*>(m_Textures.Get(i));
        if (!pTexture)
            continue;
        if (pRenderer)
            pRenderer->DestroyTexture(pTexture->m_nTextureId);
        delete pTexture;
    }
    m_Textures.Reset();
}

void SceneStore::DeleteLights()
{
    for (uint32_t i = 0; i < m_Lights.GetCount(); ++i)
    {
        if (auto* pLight = static_cast<SceneLight*>(m_Lights.Get(i)))
            DeleteLight(pLight);
    }
    m_Lights.Reset();
}

SceneMaterial* SceneStore::FindMaterialByName(const char* szName) const
{
    return FindByName<SceneMaterial>(m_Materials, szName);
}

int SceneStore::FindTextureId(const char* szName, int nLoadFlags) const
{
    if (!szName)
        return -1;
    for (uint32_t i = 0; i < m_Textures.GetCount(); ++i)
    {
        auto* pTexture = static_cast<SceneTexture*>(m_Textures.Get(i));
        if (pTexture && pTexture->m_nLoadFlags == nLoadFlags && std::strcmp(pTexture->m_szName, szName) == 0)
            return pTexture->m_nTextureId;
    }
    return -1;
}

int SceneStore::FindTextureValue(const char* szName) const
{
    SceneTexture* pTexture = FindByName<SceneTexture>(m_Textures, szName);
    return pTexture ? pTexture->m_nValue : 0;
}

bool SceneStore::FileExists(const char* szPath)
{
    if (!szPath || !*szPath)
        return false;
    std::string strPath = MapFilePath(szPath, false);
    struct stat info;
    return stat(strPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void SceneStore::StripDirectory(char* szPath)
{
    if (!szPath || std::strcmp(szPath, "NONE") == 0)
        return;
    size_t nLength = strnlen(szPath, SCENE_NAME_SIZE - 1);
    // A separator in the first position does not count: "\name" stays as it is.
    for (size_t i = nLength; i-- > 1;)
    {
        if (szPath[i] == '\\' || szPath[i] == '/')
        {
            std::memmove(szPath, szPath + i + 1, nLength - i);
            szPath[nLength - i - 1] = '\0';
            return;
        }
    }
}
