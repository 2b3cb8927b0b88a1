// The ".mvn" scene file: the rendering core's own format. The same record stream as ".qnl"
// (tag, names block, transform record, key tracks) with the core's fixed-size material and light
// records, no rendering options and no camera of ours. Files are read whole into memory, decoded
// one record at a time, and each record changes the scene only once it has been read completely.
#include "scene/SceneStore.h"

#include "3dapi/Renderer.h"
#include "3dapi/TextureEntry.h"
#include "core/ByteStream.h"
#include "core/Log.h"
#include "scene/MediaDirectory.h"
#include "scene/MvnRecords.h"
#include "scene/RenderOptions.h"
#include "scene/SceneGeometryBlock.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneRecords.h"

#include <win32/user.h>

#include <cstring>
#include <memory>
#include <vector>

struct SceneStore::MvnReadContext
{
    const char* m_szPath;
    // The scene file's folder with its trailing separator, empty for a bare file name: texture
    // names in the file are relative to it.
    std::string m_strFolder;
    Renderer* m_pRenderer;
    IDirect3DDevice9* m_pDevice;
    bool m_bLogged;
};

namespace
{
// Names block, two transform records and the core's camera record, none of which we use.
constexpr size_t MVN_CAMERA_BODY_SIZE = NAMES_BLOCK_SIZE + 2 * TRANSFORM_RECORD_SIZE + MVN_CAMERA_RECORD_SIZE;

// The records the reader knows: the name its warnings use and the line the logged reader writes
// before handling one.
struct RecordKind
{
    int32_t m_nTag;
    const char* m_szName;
    bool m_bLogAsWarning;
    const char* m_szLogLine;
};
const RecordKind RECORD_KINDS[] = {
    {SCENE_RECORD_INFO, "scene-info", true, "-------------------->ZUZUDIVEZE LOADER---->SCENE INFO"},
    {SCENE_RECORD_GEOMETRY, "geometry", false, "-------------------->ZUZUDIVEZE LOADER---->TYPE GEOMETRY\n"},
    {SCENE_RECORD_LIGHT, "light", false, "-------------------->ZUZUDIVEZE LOADER---->TYPE LIGHT\n"},
    {SCENE_RECORD_CAMERA, "camera", false, "-------------------->ZUZUDIVEZE LOADER---->TYPE CAMERA\n"},
    {SCENE_RECORD_HELPER, "helper", true, "-------------------->ZUZUDIVEZE LOADER---->HELPER"},
    {SCENE_RECORD_END, "end", true, "-------------------->ZUZUDIVEZE LOADER---->END OF FILE"},
};

const RecordKind* FindRecordKind(int32_t nTag)
{
    for (const RecordKind& kind : RECORD_KINDS)
    {
        if (kind.m_nTag == nTag)
            return &kind;
    }
    return nullptr;
}

void LogRecord(int32_t nTag)
{
    const RecordKind* pKind = FindRecordKind(nTag);
    if (pKind && pKind->m_bLogAsWarning)
        LogWarning("%s", pKind->m_szLogLine);
    else if (pKind)
        LogInfo("%s", pKind->m_szLogLine);
}

// The geometry and light records decoded after their tags, before anything of them reaches the
// scene.
bool ReadGeometryRecord(ByteReader& reader, SceneMesh& mesh, char* szMaterialName, MvnMaterialRecord& material)
{
    SceneNames names;
    TransformRecord transform;
    // The mesh transform record is the core's; the placement comes from the vertices.
    if (!ReadSceneNames(reader, names) || !ReadTransformRecord(reader, transform) ||
        !ReadSceneField(reader, szMaterialName) || !ReadMvnMaterialRecord(reader, material))
        return false;
    mesh.SetName(names.m_szName);
    mesh.SetSecondName(names.m_szSecondName);
    return ReadVertexBlock(reader, mesh);
}

bool ReadLightRecord(ByteReader& reader, SceneLight& light)
{
    SceneNames names;
    TransformRecord position, unused;
    if (!ReadSceneNames(reader, names) || !ReadTransformRecord(reader, position) ||
        !ReadTransformRecord(reader, unused) || !ReadMvnLightRecord(reader, light))
        return false;
    light.SetName(names.m_szName);
    light.SetSecondName(names.m_szSecondName);
    light.m_vLightPosition = position.m_vPosition;
    return true;
}

}

bool SceneStore::OpenMvnFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    SetMediaDirectory();
    std::vector<uint8_t> data;
    if (!ReadSceneFile(szPath, "SceneStore::OpenMvnFile()", data, &IsMvnScene))
        return false;
    Clear(pRenderer);
    ByteReader reader(data);
    ReadMvnRecords(reader, MvnReadContext{szPath, GetSceneFolder(szPath), pRenderer, pDevice, false});
    return true;
}

bool SceneStore::ReadMvn(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    std::vector<uint8_t> data;
    if (!ReadSceneFile(szPath, "SceneStore::ReadMvn()", data, &IsMvnScene))
        return false;
    ByteReader reader(data);
    ReadMvnRecords(reader, MvnReadContext{szPath, GetSceneFolder(szPath), pRenderer, pDevice, false});
    return true;
}

bool SceneStore::ReadMvnLogged(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    std::vector<uint8_t> data;
    if (!ReadSceneFile(szPath, "SceneStore::ReadMvnLogged()", data, &IsMvnScene))
        return false;
    ByteReader reader(data);
    ReadMvnRecords(reader, MvnReadContext{szPath, GetSceneFolder(szPath), pRenderer, pDevice, true});
    return true;
}

bool SceneStore::MergeMvnFileLogged(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    SetMediaDirectory();
    return ReadMvnLogged(szPath, pRenderer, pDevice);
}

bool SceneStore::IsMvnScene(const std::vector<uint8_t>& data)
{
    ByteReader reader(data);
    int32_t nTag = 0;
    while (reader.ReadI32(nTag) && nTag != SCENE_RECORD_END)
    {
        switch (nTag)
        {
        case SCENE_RECORD_INFO:
        {
            SceneNames names;
            return ReadSceneNames(reader, names);
        }
        case SCENE_RECORD_GEOMETRY:
        {
            SceneMesh mesh;
            char szMaterialName[SCENE_NAME_SIZE] = {};
            auto pMaterial = std::make_unique<MvnMaterialRecord>();
            return ReadGeometryRecord(reader, mesh, szMaterialName, *pMaterial);
        }
        case SCENE_RECORD_LIGHT:
        {
            SceneLight light;
            return ReadLightRecord(reader, light);
        }
        case SCENE_RECORD_CAMERA:
            return reader.Skip(MVN_CAMERA_BODY_SIZE);
        case SCENE_RECORD_HELPER:
            return SkipHelperRecord(reader);
        default:
            break;
        }
    }
    return false;
}

void SceneStore::ReadMvnRecords(ByteReader& reader, const MvnReadContext& context)
{
    // The frame driver sets the new scene up (triangle grid, cube maps) on its next frame.
    g_bSceneChanged = 1;
    int32_t nTag = 0;
    for (size_t nRecordStart = 0; reader.ReadI32(nTag); nRecordStart = reader.GetPosition())
    {
        if (context.m_bLogged)
            LogRecord(nTag);
        bool bRead = true;
        switch (nTag)
        {
        case SCENE_RECORD_INFO:
        {
            SceneNames names;
            bRead = ReadSceneNames(reader, names);
            break;
        }
        case SCENE_RECORD_GEOMETRY:
            bRead = ReadMvnGeometry(reader, context);
            break;
        case SCENE_RECORD_LIGHT:
            bRead = ReadMvnLight(reader, context);
            break;
        case SCENE_RECORD_CAMERA:
            bRead = reader.Skip(MVN_CAMERA_BODY_SIZE);
            break;
        case SCENE_RECORD_HELPER:
            bRead = SkipHelperRecord(reader);
            break;
        case SCENE_RECORD_END:
            // Whatever follows the end record is not part of the scene.
            return;
        default:
            // Unknown tags stand alone: the next four bytes are the next tag.
            break;
        }
        if (!bRead)
        {
            LogWarning("SceneStore::ReadMvn() - the %s record at byte %zu of \"%s\" is cut short or fails its checks; "
                       "it is dropped and the read ends.",
                       FindRecordKind(nTag)->m_szName, nRecordStart, context.m_szPath);
            return;
        }
    }
    if (!reader.IsAtEnd())
        LogWarning("SceneStore::ReadMvn() - \"%s\" ends inside a record tag at byte %zu; the read ends there.",
                   context.m_szPath, reader.GetPosition());
}

bool SceneStore::ReadMvnGeometry(ByteReader& reader, const MvnReadContext& context)
{
    char szMaterialName[SCENE_NAME_SIZE] = {};
    auto pMaterialRecord = std::make_unique<MvnMaterialRecord>();
    auto pMesh = std::make_unique<SceneMesh>();
    if (!ReadGeometryRecord(reader, *pMesh, szMaterialName, *pMaterialRecord))
        return false;

    pMesh->m_pMaterial = ApplyMvnMaterial(szMaterialName, *pMaterialRecord, context);
    if (context.m_bLogged)
        PlaceLoggedMesh(pMesh.release());
    else
        AddMesh(pMesh.release());
    return true;
}

SceneMaterial* SceneStore::ApplyMvnMaterial(const char* szName, const MvnMaterialRecord& record,
                                            const MvnReadContext& context)
{
    SceneMaterial* pMaterial = FindMaterialByName(szName);
    if (!pMaterial)
    {
        pMaterial = new SceneMaterial;
        if (m_Materials.Add(pMaterial) < 0)
        {
            LogError("SceneStore::ReadMvnMaterial() - out of memory; material \"%s\" is left out.", szName);
            delete pMaterial;
            return nullptr;
        }
    }
    pMaterial->SetName(szName);
    ApplyMvnMaterialRecord(record, *pMaterial);

    // The material keeps the paths as written; the textures are found by their file names.
    char szDiffuse[SCENE_NAME_SIZE], szGloss[SCENE_NAME_SIZE], szBump[SCENE_NAME_SIZE];
    CopySceneName(szDiffuse, record.m_szTexturePaths[SceneMaterial::PATH_DIFFUSE]);
    CopySceneName(szGloss, record.m_szTexturePaths[SceneMaterial::PATH_GLOSS]);
    CopySceneName(szBump, record.m_szTexturePaths[SceneMaterial::PATH_BUMP]);
    StripDirectory(szDiffuse);
    StripDirectory(szGloss);
    StripDirectory(szBump);
    int nDiffuse = LoadFileTexture(szDiffuse, TEXTURE_NO_MIPMAPS, context.m_pRenderer, context.m_strFolder);
    int nBump = LoadFileTexture(szBump, TEXTURE_HEIGHT_MAP, context.m_pRenderer, context.m_strFolder);
    int nGloss = LoadFileTexture(szGloss, 0, context.m_pRenderer, context.m_strFolder);
    pMaterial->SetTextureIds(nDiffuse, nBump, -1, nGloss, -1, -1);
    return pMaterial;
}

bool SceneStore::ReadMvnLight(ByteReader& reader, const MvnReadContext& context)
{
    auto pLight = std::make_unique<SceneLight>();
    if (!ReadLightRecord(reader, *pLight))
        return false;
    ApplyMvnLightValues(*pLight);

    LoadLightCubeMap(*pLight, context.m_pDevice);
    AddLight(pLight.release());
    return true;
}

void SceneStore::PlaceLoggedMesh(SceneMesh* pMesh)
{
    bool bNameTaken = false;
    for (uint32_t i = 0; i < m_Meshes.GetCount(); ++i)
    {
        auto* pOld = static_cast<SceneMesh*>(m_Meshes.Get(i));
        if (!pOld || std::strcmp(pOld->m_szName, pMesh->m_szName) != 0)
            continue;
        bNameTaken = true;
        // One new mesh takes one place only: Clear deletes every entry, so a mesh listed twice
        // would be deleted twice.
        if (MessageBoxA(nullptr, "Replace", pMesh->m_szName, MB_YESNOCANCEL) == IDYES)
        {
            m_Meshes.SetAt(i, pMesh);
            delete pOld;
            return;
        }
    }
    if (bNameTaken)
        delete pMesh;
    else
        AddMesh(pMesh);
}

bool SceneStore::SaveMvnFile(const char* szPath)
{
    ByteWriter writer;
    writer.WriteI32(SCENE_RECORD_INFO);
    WriteSceneNames(writer, SCENE_INFO_NAME, SCENE_INFO_NAME);

    const SceneMaterial noMaterial;
    for (uint32_t i = 0; i < m_Meshes.GetCount(); ++i)
    {
        auto* pMesh = static_cast<SceneMesh*>(m_Meshes.Get(i));
        if (!pMesh || !CanSaveMesh(*pMesh, "SceneStore::SaveMvnFile()"))
            continue;
        const SceneMaterial& material = pMesh->m_pMaterial ? *pMesh->m_pMaterial : noMaterial;
        writer.WriteI32(SCENE_RECORD_GEOMETRY);
        WriteSceneNames(writer, pMesh->m_szName, pMesh->m_szSecondName);
        WriteTransformRecord(writer, GetObjectTransform(*pMesh));
        WriteSceneField(writer, material.m_szName);
        WriteMvnMaterialRecord(writer, MakeMvnMaterialRecord(material));
        WriteVertexBlock(writer, *pMesh);
    }
    for (uint32_t i = 0; i < m_Lights.GetCount(); ++i)
    {
        auto* pLight = static_cast<SceneLight*>(m_Lights.Get(i));
        if (!pLight)
            continue;
        writer.WriteI32(SCENE_RECORD_LIGHT);
        WriteSceneNames(writer, pLight->m_szName, pLight->m_szSecondName);
        WriteTransformRecord(writer, GetLightTransform(*pLight));
        WriteTransformRecord(writer, GetLightTransform(*pLight));
        WriteMvnLightRecord(writer, *pLight);
    }
    writer.WriteI32(SCENE_RECORD_END);

    return WriteSceneFile(szPath, "SceneStore::SaveMvnFile()", writer.GetBuffer());
}
