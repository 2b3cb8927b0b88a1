// What the ".qnl" and ".mvn" readers and writers share beyond the record codec: reading and
// writing whole files with the user told of a failure, and the textures and cube maps that the
// files name.
#include "scene/SceneStore.h"

#include "3dapi/Renderer.h"
#include "core/FileIO.h"
#include "core/Log.h"
#include "scene/MediaDirectory.h"
#include "scene/SceneLight.h"

#include <d3dx9tex.h>
#include <win32/user.h>

#include <cstring>

namespace
{
// The message the user sees when a scene file cannot be read or written.
void ShowFileError()
{
    MessageBoxA(nullptr, "cannot open file", "Morvyn 1.0", MB_OK);
}

bool HasFolder(const char* szName)
{
    return std::strchr(szName, '/') || std::strchr(szName, '\\');
}

const char LIGHT_CUBE_MAP[] = "Cubemap_blanc.dds";
}

bool SceneStore::ReadSceneFile(const char* szPath, const char* szOperation, std::vector<uint8_t>& data,
                               bool (*pfnIsScene)(const std::vector<uint8_t>&))
{
    if (!szPath || !ReadWholeFile(szPath, data))
        LogWarning("%s - cannot open \"%s\"; the scene is left as it was.", szOperation, szPath ? szPath : "");
    else if (!pfnIsScene(data))
        LogWarning("%s - \"%s\" does not begin with a whole scene record: it is empty, cut short or not a scene "
                   "file. The scene is left as it was.",
                   szOperation, szPath);
    else
        return true;
    ShowFileError();
    return false;
}

bool SceneStore::WriteSceneFile(const char* szPath, const char* szOperation, const std::vector<uint8_t>& data)
{
    if (szPath && WriteFileAtomic(szPath, data))
        return true;
    LogWarning("%s - cannot write \"%s\"; any earlier file of that name is left as it was.", szOperation,
               szPath ? szPath : "");
    ShowFileError();
    return false;
}

std::string SceneStore::GetSceneFolder(const char* szPath)
{
    if (!szPath)
        return std::string();
    std::string strPath = szPath;
    size_t nSeparator = strPath.find_last_of("/\\");
    return nSeparator == std::string::npos ? std::string() : strPath.substr(0, nSeparator + 1);
}

int SceneStore::LoadFileTexture(const char* szName, int nLoadFlags, Renderer* pRenderer,
                                const std::string& strSceneFolder)
{
    int nId = FindTextureId(szName, nLoadFlags);
    if (nId >= 0)
        return nId;
    if (pRenderer)
    {
        std::string strPath = szName;
        if (!HasFolder(szName))
        {
            // Beside the scene first; files from older versions name textures of the media
            // directory by their full path, which the reader has cut to the bare name.
            strPath = strSceneFolder + szName;
            char szMediaPath[MEDIA_PATH_SIZE];
            if (!FileExists(strPath.c_str()) && g_szMediaDir[0] && BuildMediaPath(szName, szMediaPath) &&
                FileExists(szMediaPath))
                strPath = szMediaPath;
        }
        nId = pRenderer->LoadTexture(strPath.c_str(), nLoadFlags);
    }
    AddTexture(szName, nLoadFlags, nId);
    return nId;
}

void SceneStore::LoadLightCubeMap(SceneLight& light, IDirect3DDevice9* pDevice)
{
    light.m_nTextureId = -1;
    if (light.m_pCubeTexture)
        light.m_pCubeTexture->Release();
    light.m_pCubeTexture = nullptr;
    if (!BuildMediaPath(LIGHT_CUBE_MAP, light.m_szCubeMapPath) || !pDevice)
        return;
    if (FAILED(D3DXCreateCubeTextureFromFileA(pDevice, light.m_szCubeMapPath, &light.m_pCubeTexture)))
        light.m_pCubeTexture = nullptr;
}
