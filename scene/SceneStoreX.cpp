// Imports of DirectX ".x" files: the frame tree that XFile reads, walked depth first, every
// frame's mesh turned into a scene mesh with its own material, and one point light above the
// scene. The file is read whole before the scene changes, so a file that cannot be read leaves
// the scene as it was.
#include "scene/SceneStore.h"

#include "3dapi/MediaSearch.h"
#include "3dapi/TextConvert.h"
#include "3dapi/XFileFrame.h"
#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/MediaDirectory.h"
#include "scene/ParticleSystem.h"
#include "scene/RenderOptions.h"
#include "scene/SceneGeometryBlock.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
// A mesh of the file may hold at most as many corners as a scene file may.
constexpr DWORD MAX_X_TRIANGLES = MAX_FILE_VERTICES / 3;

// The vertex elements the import copies from, each -1 when the declaration has none.
struct XVertexLayout
{
    int m_nPosition = -1;
    int m_nPositionBytes = 0;
    int m_nNormal = -1;
    int m_nNormalBytes = 0;
    int m_nTexCoord = -1;
    int m_nTexCoordBytes = 0;
};

// Bytes of the float types float1 to float4; 0 for every other type.
int FloatElementBytes(BYTE nType)
{
    return nType <= D3DDECLTYPE_FLOAT4 ? 4 * (nType - D3DDECLTYPE_FLOAT1 + 1) : 0;
}

// The position, normal and texture-coordinate elements of stream 0 that lie inside a vertex of
// nVertexBytes; a later texture-coordinate element replaces an earlier one.
XVertexLayout ReadVertexLayout(const D3DVERTEXELEMENT9* pElements, DWORD nVertexBytes)
{
    XVertexLayout layout;
    for (int i = 0; i < MAX_FVF_DECL_SIZE && pElements[i].Stream != 0xFF; ++i)
    {
        const D3DVERTEXELEMENT9& e = pElements[i];
        const int nBytes = FloatElementBytes(e.Type);
        if (e.Stream != 0 || nBytes == 0 || e.Offset + static_cast<DWORD>(nBytes) > nVertexBytes)
            continue;
        if (e.Usage == D3DDECLUSAGE_POSITION)
            layout.m_nPosition = e.Offset, layout.m_nPositionBytes = nBytes;
        else if (e.Usage == D3DDECLUSAGE_NORMAL)
            layout.m_nNormal = e.Offset, layout.m_nNormalBytes = nBytes;
        else if (e.Usage == D3DDECLUSAGE_TEXCOORD)
            layout.m_nTexCoord = e.Offset, layout.m_nTexCoordBytes = nBytes;
    }
    return layout;
}

// Up to nOutFloats floats of an element (the rest of pOut stays as it was): a float4 position
// fills only x, y and z.
void CopyElement(const uint8_t* pVertex, int nOffset, int nBytes, float* pOut, int nOutFloats)
{
    if (nOffset >= 0)
        std::memcpy(pOut, pVertex + nOffset, static_cast<size_t>(std::min(nBytes, 4 * nOutFloats)));
}

// A D3DX mesh's vertex and index buffers locked for reading, unlocked when it goes.
class XMeshLock
{
public:
    explicit XMeshLock(ID3DXMesh* pMesh) : m_pMesh(pMesh)
    {
        void* pVertices = nullptr;
        void* pIndices = nullptr;
        if (SUCCEEDED(pMesh->LockVertexBuffer(D3DLOCK_READONLY, &pVertices)))
            m_pVertices = static_cast<const uint8_t*>(pVertices);
        if (SUCCEEDED(pMesh->LockIndexBuffer(D3DLOCK_READONLY, &pIndices)))
            m_pIndices = static_cast<const uint8_t*>(pIndices);
    }
    ~XMeshLock()
    {
        if (m_pVertices)
            m_pMesh->UnlockVertexBuffer();
        if (m_pIndices)
            m_pMesh->UnlockIndexBuffer();
    }
    XMeshLock(const XMeshLock&) = delete;
    XMeshLock& operator=(const XMeshLock&) = delete;

    bool IsLocked() const { return m_pVertices && m_pIndices; }
    const uint8_t* Vertices() const { return m_pVertices; }
    DWORD Index(DWORD nPosition, bool b32Bit) const
    {
        if (b32Bit)
        {
            uint32_t n;
            std::memcpy(&n, m_pIndices + 4 * static_cast<size_t>(nPosition), 4);
            return n;
        }
        uint16_t n;
        std::memcpy(&n, m_pIndices + 2 * static_cast<size_t>(nPosition), 2);
        return n;
    }

private:
    ID3DXMesh* m_pMesh;
    const uint8_t* m_pVertices = nullptr;
    const uint8_t* m_pIndices = nullptr;
};

// The mesh's corners from the D3DX mesh, each face's corners in reverse order (which reverses
// the winding). False, with a warning, when the buffers cannot be read, a face names a vertex
// past the buffer or a position is not finite.
bool CopyXVertices(ID3DXMesh* pSource, SceneMesh& mesh)
{
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    if (FAILED(pSource->GetDeclaration(elements)))
    {
        LogWarning("SceneStore::ImportXMesh() - mesh \"%s\" has no vertex declaration; it is left out.",
                   mesh.m_szName);
        return false;
    }
    const DWORD nVertexBytes = pSource->GetNumBytesPerVertex();
    const DWORD nVertices = pSource->GetNumVertices();
    const bool b32Bit = (pSource->GetOptions() & D3DXMESH_32BIT) != 0;
    const XVertexLayout layout = ReadVertexLayout(elements, nVertexBytes);
    XMeshLock lock(pSource);
    if (!lock.IsLocked())
    {
        LogWarning("SceneStore::ImportXMesh() - the buffers of mesh \"%s\" cannot be read; it is left out.",
                   mesh.m_szName);
        return false;
    }
    for (int32_t f = 0; f < mesh.m_nTriangleCount; ++f)
    {
        for (int k = 0; k < 3; ++k)
        {
            const DWORD nIndex = lock.Index(3 * static_cast<DWORD>(f) + static_cast<DWORD>(2 - k), b32Bit);
            if (nIndex >= nVertices)
            {
                LogWarning("SceneStore::ImportXMesh() - a face of mesh \"%s\" names vertex %u of %u; the mesh is "
                           "left out.",
                           mesh.m_szName, nIndex, nVertices);
                return false;
            }
            const uint8_t* pVertex = lock.Vertices() + static_cast<size_t>(nIndex) * nVertexBytes;
            MeshVertex& record = mesh.m_pVertices[3 * f + k];
            float position[3] = {}, normal[3] = {}, uv[2] = {};
            CopyElement(pVertex, layout.m_nPosition, layout.m_nPositionBytes, position, 3);
            CopyElement(pVertex, layout.m_nNormal, layout.m_nNormalBytes, normal, 3);
            CopyElement(pVertex, layout.m_nTexCoord, layout.m_nTexCoordBytes, uv, 2);
            record.vPosition = Vector3(position[0], position[1], position[2]);
            record.vNormal = Vector3(normal[0], normal[1], normal[2]);
            record.u = uv[0];
            record.v = uv[1];
            if (!IsFinite(record.vPosition))
            {
                LogWarning("SceneStore::ImportXMesh() - mesh \"%s\" is refused: a position is not a finite number.",
                           mesh.m_szName);
                return false;
            }
        }
    }
    return true;
}

// The bounding box of the corners placed by the base matrix, the offset and stored position at
// its middle and the bounding sphere; the corners themselves stay untransformed.
void SetPlacedBounds(SceneMesh& mesh)
{
    const D3DXMATRIX matBase = ToD3DX(mesh.m_matBase);
    float* b = mesh.m_fBounds;
    for (int32_t i = 0; i < mesh.m_nVertexCount; ++i)
    {
        D3DXVECTOR3 p;
        const D3DXVECTOR3 source = ToD3DX(mesh.m_pVertices[i].vPosition);
        D3DXVec3TransformCoord(&p, &source, &matBase);
        const float coordinates[3] = {p.x, p.y, p.z};
        for (int axis = 0; axis < 3; ++axis)
        {
            b[2 * axis] = std::min(b[2 * axis], coordinates[axis]);
            b[2 * axis + 1] = std::max(b[2 * axis + 1], coordinates[axis]);
        }
    }
    mesh.m_vOffset = Vector3((b[0] + b[1]) * 0.5f, (b[2] + b[3]) * 0.5f, (b[4] + b[5]) * 0.5f);
    mesh.m_vStoredPosition = mesh.m_vOffset;
    ComputeBoundingSphere(&mesh);
}
}

bool SceneStore::LoadXFile(const char* szPath, const char* szOperation, IDirect3DDevice9* pDevice, XFile& file)
{
    if (!pDevice)
    {
        LogWarning("%s - there is no device to build the meshes of \"%s\"; the scene is left as it was.", szOperation,
                   szPath ? szPath : "");
        return false;
    }
    if (!szPath || !FileExists(szPath) || FAILED(file.Load(pDevice, szPath)))
    {
        LogWarning("%s - \"%s\" is not a readable .x file; the scene is left as it was.", szOperation,
                   szPath ? szPath : "");
        return false;
    }
    return true;
}

bool SceneStore::OpenXFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    return ImportXFileAs(szPath, "SceneStore::OpenXFile()", pRenderer, pDevice, true, true);
}

bool SceneStore::MergeXFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    return ImportXFileAs(szPath, "SceneStore::MergeXFile()", pRenderer, pDevice, false, false);
}

bool SceneStore::ImportXFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    return ImportXFileAs(szPath, "SceneStore::ImportXFile()", pRenderer, pDevice, false, true);
}

bool SceneStore::ImportXFileMerge(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    return ImportXFileAs(szPath, "SceneStore::ImportXFileMerge()", pRenderer, pDevice, false, false);
}

bool SceneStore::ImportXFileAs(const char* szPath, const char* szOperation, Renderer* pRenderer,
                               IDirect3DDevice9* pDevice, bool bClear, bool bSetLightKind)
{
    SetMediaDirectory();
    XFile file;
    if (!LoadXFile(szPath, szOperation, pDevice, file))
        return false;
    if (bClear)
        Clear(pRenderer);
    ConvertXFile(file, GetSceneFolder(szPath), pRenderer, pDevice, bSetLightKind);
    return true;
}

void SceneStore::ConvertXFile(XFile& file, const std::string& strFolder, Renderer* pRenderer,
                              IDirect3DDevice9* pDevice, bool bSetLightKind)
{
    g_bSceneChanged = 1;
    ImportXFrameTree(&file, strFolder, pRenderer, pDevice);

    auto pLight = std::make_unique<SceneLight>();
    pLight->SetName("Ligth One");
    pLight->SetSecondName("");
    D3DLIGHT9& light = pLight->m_Light;
    light.Type = D3DLIGHT_POINT;
    light.Direction = {0.1f, 0.4f, 0.1f};
    light.Diffuse.r = light.Diffuse.g = light.Diffuse.b = 1.0f;
    pLight->m_vLightPosition = Vector3(0.0f, 100.0f, 0.0f);
    light.Falloff = 0.01f;
    light.Theta = light.Phi = 0.314159f;
    SetImportedLightDefaults(*pLight, pDevice);
    if (bSetLightKind)
        pLight->m_nLightKind = 2;
    AddLight(pLight.release());
}

void SceneStore::ImportXFrameTree(XFileFrame* pRoot, const std::string& strFolder, Renderer* pRenderer,
                                  IDirect3DDevice9* pDevice)
{
    if (!pRoot)
        return;
    ImportXMesh(pRoot, pRoot->m_mat, strFolder, pRenderer, pDevice);
    if (pRoot->m_pChild)
        ImportXFrame(pRoot->m_pChild, pRoot->m_mat, strFolder, pRenderer, pDevice);
}

void SceneStore::ImportXFrame(XFileFrame* pFrame, const D3DXMATRIX& matParent, const std::string& strFolder,
                              Renderer* pRenderer, IDirect3DDevice9* pDevice)
{
    // Siblings in a loop and children by recursion: the depth is bounded by the file's nesting,
    // which the file library limits, while a frame may have any number of siblings.
    for (; pFrame; pFrame = pFrame->m_pNext)
    {
        // A frame's matrix places it in its parent, as the frame tree draws it.
        D3DXMATRIX matPlaced;
        D3DXMatrixMultiply(&matPlaced, &pFrame->m_mat, &matParent);
        ImportXMesh(pFrame, matPlaced, strFolder, pRenderer, pDevice);
        if (pFrame->m_pChild)
            ImportXFrame(pFrame->m_pChild, matPlaced, strFolder, pRenderer, pDevice);
    }
}

bool SceneStore::ImportXMesh(XFileFrame* pFrame, const D3DXMATRIX& matPlaced, const std::string& strFolder,
                             Renderer* pRenderer, [[maybe_unused]] IDirect3DDevice9* pDevice)
{
    XFileMesh* pSource = pFrame ? pFrame->m_pMesh : nullptr;
    if (!pSource)
        return false;
    if (!pSource->m_pSysMemMesh)
    {
        LogWarning("SceneStore::ImportXMesh() - mesh \"%s\" could not be read; it is left out.", pSource->m_strName);
        return false;
    }
    auto pMesh = std::make_unique<SceneMesh>();
    pMesh->SetName(pSource->m_strName);
    pMesh->m_matBase = ToMatrix4(matPlaced);
    if (!std::all_of(std::begin(pMesh->m_matBase.e), std::end(pMesh->m_matBase.e),
                     [](float f) { return std::isfinite(f); }))
    {
        LogWarning("SceneStore::ImportXMesh() - mesh \"%s\" is refused: its frame matrix is not finite.",
                   pMesh->m_szName);
        return false;
    }

    const DWORD nFaces = pSource->m_pSysMemMesh->GetNumFaces();
    if (nFaces == 0 || nFaces > MAX_X_TRIANGLES)
    {
        LogWarning("SceneStore::ImportXMesh() - mesh \"%s\" has %u faces; it is left out.", pMesh->m_szName, nFaces);
        return false;
    }
    if (!pMesh->AllocateTriangles(static_cast<int32_t>(nFaces)))
    {
        LogWarning("SceneStore::ImportXMesh() - out of memory for the %u faces of mesh \"%s\".", nFaces,
                   pMesh->m_szName);
        return false;
    }
    if (!CopyXVertices(pSource->m_pSysMemMesh, *pMesh))
        return false;
    SetPlacedBounds(*pMesh);
    pMesh->m_vAngles = Vector3(0.0f, 0.0f, 0.0f);
    pMesh->m_vScaling = Vector3(1.0f, 1.0f, 1.0f);

    // A full scene refuses the mesh (AddMesh logs it) before its material is made.
    if (m_Meshes.GetCount() >= MAX_MESHES)
        return AddMesh(pMesh.release());
    auto pMaterial = MakeXMaterial(*pSource, strFolder, pRenderer);
    if (!pMaterial || m_Materials.Add(pMaterial.get()) < 0)
    {
        LogError("SceneStore::ImportXMesh() - out of memory; mesh \"%s\" is left out.", pMesh->m_szName);
        return false;
    }
    pMesh->m_pMaterial = pMaterial.release();
    g_nParticleSystems = 0;
    return AddMesh(pMesh.release());
}

std::unique_ptr<SceneMaterial> SceneStore::MakeXMaterial(const XFileMesh& source, const std::string& strFolder,
                                                         Renderer* pRenderer)
{
    auto pMaterial = std::make_unique<SceneMaterial>();
    pMaterial->SetName(source.m_strName);
    // A mesh without materials is drawn in opaque white with the same settings.
    D3DMATERIAL9& m = pMaterial->m_Material;
    if (source.m_dwNumMaterials > 0 && source.m_pMaterials)
        m = source.m_pMaterials[0];
    else
        m.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m.Power = 100.0f;
    m.Ambient.r = 0.2f;
    pMaterial->m_fBumpPower = 1.0f;
    pMaterial->m_fGlossPower = 0.0f;
    pMaterial->m_vOpacity[0] = 1.0f;
    for (int slot : {SceneMaterial::REPEAT_DIFFUSE, SceneMaterial::REPEAT_BUMP, SceneMaterial::REPEAT_GLOSS})
        pMaterial->m_fRepeatU[slot] = pMaterial->m_fRepeatV[slot] = 1.0f;
    for (int slot : {SceneMaterial::PATH_DIFFUSE, SceneMaterial::PATH_GLOSS, SceneMaterial::PATH_BUMP})
        pMaterial->m_szTexturePaths[slot][0] = 0;
    SetImportedMaterialDefaults(*pMaterial);

    int nDiffuseId = -1;
    if (source.m_dwNumMaterials > 0 && source.m_strTextureNames[0][0])
    {
        char szName[XFileMesh::kTextureNameSize];
        FromAnsiStringBytes(szName, source.m_strTextureNames[0], sizeof(szName));
        // The media search finds names relative to the working directory; one it does not find
        // keeps the name as the file gives it, which the texture load looks for beside the file
        // and in the media directory.
        char szFound[MEDIA_PATH_SIZE];
        const char* szPath = SUCCEEDED(SearchMediaFileBytes(szFound, sizeof(szFound), szName)) ? szFound : szName;
        char* szDiffuse = pMaterial->m_szTexturePaths[SceneMaterial::PATH_DIFFUSE];
        if (std::strlen(szPath) >= sizeof(pMaterial->m_szTexturePaths[0]))
            LogWarning("SceneStore::ImportXMesh() - the texture path of mesh \"%s\" is too long; it is not loaded.",
                       source.m_strName);
        else
        {
            std::snprintf(szDiffuse, sizeof(pMaterial->m_szTexturePaths[0]), "%s", szPath);
            nDiffuseId = LoadFileTexture(szDiffuse, 2, pRenderer, strFolder);
        }
    }
    pMaterial->SetTextureIds(nDiffuseId, -1, -1, -1, -1, -1);
    return pMaterial;
}
