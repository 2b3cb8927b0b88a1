// ".qnl" scene files: open, merge and save. A file is a stream of records, each opened by an
// int32 tag (SceneRecords.h): scene info with the render options, one geometry record per mesh,
// one record per light, the camera, the end. The blocks themselves are in QnlBlocks.cpp.
#include "scene/SceneStore.h"

#include "3dapi/TextureEntry.h"
#include "core/ByteStream.h"
#include "core/Log.h"
#include "scene/MediaDirectory.h"
#include "scene/ParticleSystem.h"
#include "scene/SceneGeometryBlock.h"
#include "scene/QnlBlocks.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneRecords.h"

#include <memory>

namespace
{
// Load flags of the three maps a material loads: the diffuse map without a mip chain of its own
// making, the bump map turned from heights into normals, the gloss map as it is.
constexpr int DIFFUSE_LOAD_FLAGS = TEXTURE_NO_MIPMAPS;
constexpr int BUMP_LOAD_FLAGS = TEXTURE_HEIGHT_MAP;
constexpr int GLOSS_LOAD_FLAGS = 0;

// Paths shorter than this ("", "NONE") name no texture: the media directory's plain white
// image is loaded in their place, while the material keeps the path as it was.
constexpr size_t MIN_TEXTURE_PATH = 5;
const char FALLBACK_TEXTURE[] = "white.jpg";

// Names of the records that can fail, by tag, for the warning that ends a read.
const char* const RECORD_NAMES[] = {"scene info", "", "geometry", "light", "camera", "end", "helper"};

const char* RecordName(int32_t nTag)
{
    return nTag >= 0 && nTag <= SCENE_RECORD_HELPER ? RECORD_NAMES[nTag] : "";
}

// The records decoded after their tags, before anything of them reaches the scene.
bool ReadSceneInfoRecord(ByteReader& reader, QnlRenderOptions& options)
{
    SceneNames names;
    return ReadSceneNames(reader, names) && ReadRenderOptionsBlock(reader, options);
}

bool ReadGeometryRecord(ByteReader& reader, SceneMesh& mesh, QnlMaterialBlock& material)
{
    SceneNames names;
    TransformRecord transform;
    if (!ReadSceneNames(reader, names))
        return false;
    mesh.SetName(names.m_szName);
    mesh.SetSecondName(names.m_szSecondName);
    // The mesh is placed by its vertices; the transform record is not used.
    return ReadTransformRecord(reader, transform) && ReadQnlMaterialBlock(reader, material) &&
           ReadQnlGeometryBlock(reader, mesh);
}

bool ReadLightRecord(ByteReader& reader, SceneLight& light)
{
    SceneNames names;
    TransformRecord first, second;
    if (!ReadSceneNames(reader, names) || !ReadTransformRecord(reader, first) || !ReadTransformRecord(reader, second))
        return false;
    light.SetName(names.m_szName);
    light.SetSecondName(names.m_szSecondName);
    // The block's own position follows and wins over the first transform's.
    light.m_vLightPosition = first.m_vPosition;
    return ReadQnlLightBlock(reader, light);
}
}

bool SceneStore::OpenQnlFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    SetMediaDirectory();
    std::vector<uint8_t> data;
    if (!ReadSceneFile(szPath, "SceneStore::OpenQnlFile()", data, &IsQnlScene))
        return false;
    Clear(pRenderer);
    ReadQnl(data, szPath, pRenderer, pDevice, false);
    g_bSceneChanged = 1;
    return true;
}

bool SceneStore::MergeQnlFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    SetMediaDirectory();
    std::vector<uint8_t> data;
    if (!ReadSceneFile(szPath, "SceneStore::MergeQnlFile()", data, &IsQnlScene))
        return false;
    ReadQnl(data, szPath, pRenderer, pDevice, true);
    g_bSceneChanged = 1;
    return true;
}

bool SceneStore::SaveQnlFile(const char* szPath)
{
    SetMediaDirectory();
    ByteWriter writer;
    writer.WriteI32(SCENE_RECORD_INFO);
    WriteSceneNames(writer, SCENE_INFO_NAME, SCENE_INFO_NAME);
    WriteRenderOptionsBlock(writer);
    for (uint32_t i = 0; i < m_Meshes.GetCount(); ++i)
    {
        auto* pMesh = static_cast<SceneMesh*>(m_Meshes.Get(i));
        if (!pMesh || !CanSaveMesh(*pMesh, "SceneStore::SaveQnlFile()"))
            continue;
        writer.WriteI32(SCENE_RECORD_GEOMETRY);
        WriteSceneNames(writer, pMesh->m_szName, pMesh->m_szSecondName);
        WriteTransformRecord(writer, GetObjectTransform(*pMesh));
        WriteQnlMaterialBlock(writer, pMesh->m_pMaterial);
        WriteQnlGeometryBlock(writer, *pMesh);
    }
    for (uint32_t i = 0; i < m_Lights.GetCount(); ++i)
    {
        auto* pLight = static_cast<SceneLight*>(m_Lights.Get(i));
        if (!pLight)
            continue;
        writer.WriteI32(SCENE_RECORD_LIGHT);
        WriteSceneNames(writer, pLight->m_szName, pLight->m_szSecondName);
        const TransformRecord transform = GetLightTransform(*pLight);
        WriteTransformRecord(writer, transform);
        WriteTransformRecord(writer, transform);
        WriteQnlLightBlock(writer, *pLight);
    }
    writer.WriteI32(SCENE_RECORD_CAMERA);
    WriteQnlCameraBlock(writer, m_Camera);
    writer.WriteI32(SCENE_RECORD_END);
    return WriteSceneFile(szPath, "SceneStore::SaveQnlFile()", writer.GetBuffer());
}

bool SceneStore::IsQnlScene(const std::vector<uint8_t>& data)
{
    ByteReader reader(data);
    int32_t nTag = 0;
    while (reader.ReadI32(nTag) && nTag != SCENE_RECORD_END)
    {
        switch (nTag)
        {
        case SCENE_RECORD_INFO:
        {
            QnlRenderOptions options;
            return ReadSceneInfoRecord(reader, options);
        }
        case SCENE_RECORD_GEOMETRY:
        {
            SceneMesh mesh;
            QnlMaterialBlock material;
            return ReadGeometryRecord(reader, mesh, material);
        }
        case SCENE_RECORD_LIGHT:
        {
            SceneLight light;
            return ReadLightRecord(reader, light);
        }
        case SCENE_RECORD_CAMERA:
        {
            QnlCameraBlock camera;
            return ReadQnlCameraBlock(reader, camera);
        }
        case SCENE_RECORD_HELPER:
            return SkipHelperRecord(reader);
        default:
            break;
        }
    }
    return false;
}

bool SceneStore::ReadQnl(const std::vector<uint8_t>& data, const char* szPath, Renderer* pRenderer,
                         IDirect3DDevice9* pDevice, bool bMerge)
{
    const std::string strSceneFolder = GetSceneFolder(szPath);
    ByteReader reader(data);
    int32_t nTag = 0;
    // The end of the file ends the read at the next tag, as an end record does.
    while (reader.ReadI32(nTag) && nTag != SCENE_RECORD_END)
    {
        const size_t nRecordStart = reader.GetPosition() - sizeof(nTag);
        bool bOk = true;
        switch (nTag)
        {
        case SCENE_RECORD_INFO:
            bOk = ReadQnlSceneInfo(reader, bMerge);
            break;
        case SCENE_RECORD_GEOMETRY:
            bOk = ReadQnlGeometry(reader, pRenderer, strSceneFolder);
            break;
        case SCENE_RECORD_LIGHT:
            bOk = ReadQnlLight(reader, pDevice);
            break;
        case SCENE_RECORD_CAMERA:
            bOk = ReadQnlCamera(reader, bMerge);
            break;
        case SCENE_RECORD_HELPER:
            bOk = SkipHelperRecord(reader);
            break;
        default:
            // Tag 1 and unknown tags stand alone: the next four bytes are the next tag.
            break;
        }
        if (!bOk)
        {
            LogWarning("SceneStore::ReadQnl() - \"%s\": the %s record at byte %zu is cut short or damaged; it is "
                       "dropped and the read ends there.",
                       szPath, RecordName(nTag), nRecordStart);
            return false;
        }
    }
    if (nTag != SCENE_RECORD_END && !reader.IsAtEnd())
        LogWarning("SceneStore::ReadQnl() - \"%s\" ends inside a record tag at byte %zu; the read ends there.", szPath,
                   reader.GetPosition());
    return true;
}

bool SceneStore::ReadQnlSceneInfo(ByteReader& reader, bool bMerge)
{
    QnlRenderOptions options;
    if (!ReadSceneInfoRecord(reader, options))
        return false;
    if (!bMerge)
        ApplyRenderOptions(options);
    return true;
}

bool SceneStore::ReadQnlGeometry(ByteReader& reader, Renderer* pRenderer, const std::string& strSceneFolder)
{
    auto pMesh = std::make_unique<SceneMesh>();
    QnlMaterialBlock material;
    if (!ReadGeometryRecord(reader, *pMesh, material))
        return false;

    // The record is whole: from here on it changes the scene. Materials are shared by name.
    SceneMaterial* pMaterial = FindMaterialByName(material.m_szName);
    if (!pMaterial)
    {
        pMaterial = new SceneMaterial;
        pMaterial->SetName(material.m_szName);
        if (m_Materials.Add(pMaterial) < 0)
        {
            delete pMaterial;
            LogError("SceneStore::ReadQnl() - out of memory; mesh \"%s\" is left out.", pMesh->m_szName);
            return true;
        }
    }
    ApplyQnlMaterialBlock(material, *pMaterial);
    LoadMaterialTextures(*pMaterial, pRenderer, strSceneFolder);

    pMesh->m_pMaterial = pMaterial;
    pMaterial->m_nMaterialIds[0] = -1;
    pMaterial->m_bMaterialFlags[1] = 1;
    pMaterial->m_bMaterialFlags[2] = 0;
    // Loading a mesh switches the particle systems off.
    g_nParticleSystems = 0;
    AddMesh(pMesh.release());
    return true;
}

void SceneStore::LoadMaterialTextures(SceneMaterial& material, Renderer* pRenderer, const std::string& strSceneFolder)
{
    int nIds[3];
    const int flags[3] = {DIFFUSE_LOAD_FLAGS, BUMP_LOAD_FLAGS, GLOSS_LOAD_FLAGS};
    const int paths[3] = {SceneMaterial::PATH_DIFFUSE, SceneMaterial::PATH_BUMP, SceneMaterial::PATH_GLOSS};
    for (int i = 0; i < 3; ++i)
    {
        const char* szPath = material.m_szTexturePaths[paths[i]];
        char szFallback[MEDIA_PATH_SIZE];
        if (strnlen(szPath, MIN_TEXTURE_PATH) < MIN_TEXTURE_PATH)
            szPath = BuildMediaPath(FALLBACK_TEXTURE, szFallback) ? szFallback : nullptr;
        nIds[i] = szPath ? LoadFileTexture(szPath, flags[i], pRenderer, strSceneFolder) : -1;
    }
    material.SetTextureIds(nIds[0], nIds[1], -1, nIds[2], -1, -1);
}

bool SceneStore::ReadQnlLight(ByteReader& reader, IDirect3DDevice9* pDevice)
{
    auto pLight = std::make_unique<SceneLight>();
    if (!ReadLightRecord(reader, *pLight))
        return false;
    if (!m_bAddLights)
        return true;
    LoadLightCubeMap(*pLight, pDevice);
    AddLight(pLight.release());
    return true;
}

bool SceneStore::ReadQnlCamera(ByteReader& reader, bool bMerge)
{
    QnlCameraBlock camera;
    if (!ReadQnlCameraBlock(reader, camera))
        return false;
    if (!bMerge)
        ApplyQnlCameraBlock(camera, m_Camera);
    return true;
}
