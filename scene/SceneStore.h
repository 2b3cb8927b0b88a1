#pragma once
// One scene: its meshes, lights, materials and texture records, its camera and its three
// settings nodes. The scene readers fill it and the writers store it back.
//
// The store owns everything its four lists hold: Clear deletes the meshes, the texture records
// (destroying their renderer textures) and the lights (releasing their cube textures); the
// materials survive Clear so that a scene opened again reuses them by name, and go with the store.
#include "scene/PointerArray.h"
#include "scene/SceneCamera.h"
#include "scene/SceneObject.h"
#include "scene/SettingsNodes.h"

#include <d3d9.h>
#include <d3dx9math.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ByteReader;
class L3DS;
class Renderer;
struct MvnMaterialRecord;
class L3DSLight;
class SceneLight;
class SceneMaterial;
class SceneMesh;
class XFile;
class XFileFrame;
class XFileMesh;

// The store's record of a texture loaded through the renderer; its name is the file name it was
// loaded by.
class SceneTexture : public SceneObject
{
public:
    SceneTexture() = default;
    ~SceneTexture() override;

    int32_t m_nValue = 0;
    // The renderer's texture id, -1 when the load failed.
    int32_t m_nTextureId = -1;
    // The renderer's load flags: the same file loaded as a normal map and as a colour texture
    // gives two different textures.
    int32_t m_nLoadFlags = 0;
};

class SceneStore
{
public:
    // The renderers keep per-mesh and per-light tables of these sizes.
    static constexpr uint32_t MAX_MESHES = 2000;
    static constexpr uint32_t MAX_LIGHTS = 32;

    SceneStore();
    ~SceneStore();
    SceneStore(const SceneStore&) = delete;
    SceneStore& operator=(const SceneStore&) = delete;

    // Each takes the object in every case: past the table size it is deleted with a logged error
    // and false is returned.
    bool AddMesh(SceneMesh* pMesh);
    bool AddLight(SceneLight* pLight);
    // Appends a record of a texture loaded under that name and those flags; the new record.
    SceneTexture* AddTexture(const char* szName, int nLoadFlags, int nTextureId);

    // Deletes the meshes, the texture records (their textures destroyed through the renderer,
    // which may be null when it has gone) and the lights; the materials stay. Returns true.
    bool Clear(Renderer* pRenderer);

    // First entries whose name equals the text exactly (case-sensitive).
    SceneMaterial* FindMaterialByName(const char* szName) const;
    // The id of the first record of that name loaded with those flags, -1 when there is none.
    int FindTextureId(const char* szName, int nLoadFlags) const;
    int FindTextureValue(const char* szName) const;

    // A regular file that can be opened for reading (directories are not).
    static bool FileExists(const char* szPath);
    // Shortens a path buffer in place to its file name. '\' and '/' both separate, so paths
    // written on either system resolve; "NONE", a bare name and a path whose only separator is
    // its first character stay as they are.
    static void StripDirectory(char* szPath);

    // ---- ".mvn" scene files, the rendering core's own format. Texture names in a file are looked
    // for in the file's folder; every light gets the media directory's cube map.
    // Reads the whole file, then clears the scene and loads the file into it. A file that cannot
    // be read shows "cannot open file", leaves the scene as it was and gives false. A record that
    // is cut short or fails its checks is dropped with a warning and ends the read; the records
    // before it stay loaded.
    bool OpenMvnFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    // Loads the file into the store as it is, without clearing it; false when it cannot be read.
    bool ReadMvn(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    // ReadMvn that logs each record and asks ("Replace", Yes/No/Cancel) before a mesh takes the
    // place of one of the same name: the first Yes replaces that mesh (which is deleted), and a
    // mesh whose name is taken but not replaced is dropped.
    bool ReadMvnLogged(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    // Writes the store to a temporary file and renames it over the target; false, with "cannot
    // open file" and the old file intact, when that fails.
    bool SaveMvnFile(const char* szPath);

    // Texture items of the property tree need no reload: the renderer keeps the textures.
    void ReloadTextures(Renderer*) {}

    // ---- ".qnl" scene files (SceneStoreQnl.cpp). Every entry point sets the media directory.
    // Open reads the whole file before it clears the scene: a file that cannot be read shows
    // "cannot open file", returns false and leaves the scene as it was. Records are decoded
    // completely before they change the scene; a record cut short or failing its checks is
    // dropped with a warning and ends the read, the records before it staying loaded. After a
    // read g_bSceneChanged is set.
    bool OpenQnlFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    // The same without clearing: meshes and lights are appended, a material of a name already
    // listed is overwritten, and the camera and the render options keep their values.
    bool MergeQnlFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    // Written to a temporary file beside the target and renamed over it: false, with the old
    // file intact, when the file cannot be created or written.
    bool SaveQnlFile(const char* szPath);

    // ---- Shared by the scene-file readers and writers (SceneFileCommon.cpp).
    // The whole of a scene file; false, after the "cannot open file" message box and a warning
    // naming szOperation ("SceneStore::OpenQnlFile()"), for a missing file, a directory or a
    // read error, and for a file that pfnIsScene refuses (one whose first record is not whole, or
    // that holds none: an empty file, a file of another kind), so that nothing is cleared for it.
    static bool ReadSceneFile(const char* szPath, const char* szOperation, std::vector<uint8_t>& data,
                              bool (*pfnIsScene)(const std::vector<uint8_t>&));
    // The bytes through a temporary file renamed over the target; false, after the message box
    // and a warning, when the file cannot be created or written.
    static bool WriteSceneFile(const char* szPath, const char* szOperation, const std::vector<uint8_t>& data);
    // The folder of a scene file's path with its trailing separator ("" for a bare name).
    static std::string GetSceneFolder(const char* szPath);
    // The renderer's id of a texture that a scene file names (after StripDirectory): the record
    // of that name and those load flags when there is one, else the texture loaded and recorded
    // under that name (id -1 when the load fails; a null renderer loads nothing). A bare file
    // name is looked for in the scene file's folder, then in the media directory; a name with a
    // folder is used as it stands.
    int LoadFileTexture(const char* szName, int nLoadFlags, Renderer* pRenderer, const std::string& strSceneFolder);
    // The cube texture every loaded light uses, the media directory's "Cubemap_blanc.dds", into
    // the light's cube-map path and its cube texture (none without a device or the file).
    static void LoadLightCubeMap(SceneLight& light, IDirect3DDevice9* pDevice);
    // The diffuse, bump and gloss maps of a material through LoadFileTexture, with the media
    // directory's white image for a path that names none, into its texture ids.
    void LoadMaterialTextures(SceneMaterial& material, Renderer* pRenderer, const std::string& strSceneFolder);

    // ---- Imports of 3D Studio files (SceneStore3ds.cpp). The file is read whole before the
    // scene changes: a file that cannot be read or is no 3DS file gives false with a warning and
    // leaves the scene as it was. Every mesh becomes a scene mesh with its own material, every
    // light a point or spot light, and the first camera sets the scene camera.
    bool Open3dsFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    bool Import3dsFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);

    // ---- Imports of DirectX ".x" files (SceneStoreX.cpp). The frame tree is read whole before
    // the scene changes: a file that cannot be read, or no device to build its meshes on, gives
    // false with a warning and leaves the scene as it was. Every frame's mesh becomes a scene
    // mesh placed by the frame's matrix, with a material of its own named after it (white for a
    // mesh without materials); a mesh that cannot be read or fails its checks is left out with a
    // warning. One point light "Ligth One" is added above the scene.
    // Open clears the scene once the file is read; Merge adds to it as ImportXFileMerge does.
    bool OpenXFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    bool MergeXFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    bool ImportXFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    // The same, except that the added light keeps the default light kind.
    bool ImportXFileMerge(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    // The root's mesh, then the frames below it. strFolder is the ".x" file's folder, where a
    // texture name that the media search does not find is looked for.
    void ImportXFrameTree(XFileFrame* pRoot, const std::string& strFolder, Renderer* pRenderer,
                          IDirect3DDevice9* pDevice);
    // Depth first: the frame's mesh, its child subtree, then its next sibling's subtree. Each
    // frame is placed by its own matrix times matParent, the placement of the frame above it.
    void ImportXFrame(XFileFrame* pFrame, const D3DXMATRIX& matParent, const std::string& strFolder,
                      Renderer* pRenderer, IDirect3DDevice9* pDevice);
    // The frame's mesh appended as a scene mesh whose base matrix is matPlaced; false when the
    // frame has none or the mesh is left out.
    bool ImportXMesh(XFileFrame* pFrame, const D3DXMATRIX& matPlaced, const std::string& strFolder,
                     Renderer* pRenderer, IDirect3DDevice9* pDevice);

    // The logged ".mvn" reader (ReadMvnLogged) on the file without clearing the scene.
    bool MergeMvnFileLogged(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);

    PointerArray m_Meshes;
    PointerArray m_Lights;
    PointerArray m_Materials;
    PointerArray m_Textures;
    SceneCamera m_Camera;
    ImageSettings m_ImageSettings;
    RenderSettings m_RenderSettings;
    EnvironmentSettings m_EnvironmentSettings;
    // The ".qnl" readers add the lights they read only while this is 1.
    uint8_t m_bAddLights = 1;

private:
    // The ".qnl" records after their tags (SceneStoreQnl.cpp); false ends the read.
    bool ReadQnl(const std::vector<uint8_t>& data, const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice,
                 bool bMerge);
    bool ReadQnlSceneInfo(ByteReader& reader, bool bMerge);
    bool ReadQnlGeometry(ByteReader& reader, Renderer* pRenderer, const std::string& strSceneFolder);
    bool ReadQnlLight(ByteReader& reader, IDirect3DDevice9* pDevice);
    bool ReadQnlCamera(ByteReader& reader, bool bMerge);
    // Whether the first record of a ".qnl" or ".mvn" file is one its reader knows, and whole.
    static bool IsQnlScene(const std::vector<uint8_t>& data);
    static bool IsMvnScene(const std::vector<uint8_t>& data);

    void DeleteMeshes();
    void DeleteTextures(Renderer* pRenderer);
    void DeleteLights();
    SceneTexture* FindTexture(const char* szName) const;

    // ".mvn" reading (SceneStoreMvn.cpp).
    struct MvnReadContext;
    bool ReadMvnFile(const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice, bool bLogged);
    void ReadMvnRecords(ByteReader& reader, const MvnReadContext& context);
    bool ReadMvnGeometry(ByteReader& reader, const MvnReadContext& context);
    bool ReadMvnLight(ByteReader& reader, const MvnReadContext& context);
    SceneMaterial* ApplyMvnMaterial(const char* szName, const MvnMaterialRecord& record,
                                    const MvnReadContext& context);
    void PlaceLoggedMesh(SceneMesh* pMesh);

    // 3DS conversion (SceneStore3ds.cpp).
    bool Load3ds(const char* szPath, const char* szOperation, L3DS& reader);
    void Convert3ds(L3DS& reader, const char* szPath, Renderer* pRenderer, IDirect3DDevice9* pDevice);
    void Convert3dsCamera(L3DS& reader);
    bool Convert3dsMesh(L3DS& reader, uint32_t nIndex, Renderer* pRenderer, const std::string& strSceneFolder);
    void Convert3dsLight(const L3DSLight& source, IDirect3DDevice9* pDevice);

    // Settings every imported material and light gets (SceneStore3ds.cpp): the material's
    // options, refraction and flags; the light's halo, lens flare, range, attenuation and cube map.
    static void SetImportedMaterialDefaults(SceneMaterial& material);
    static void SetImportedLightDefaults(SceneLight& light, IDirect3DDevice9* pDevice);

    // ".x" conversion (SceneStoreX.cpp).
    static bool LoadXFile(const char* szPath, const char* szOperation, IDirect3DDevice9* pDevice, XFile& file);
    // The four ".x" entry points: read, clear when told, convert.
    bool ImportXFileAs(const char* szPath, const char* szOperation, Renderer* pRenderer, IDirect3DDevice9* pDevice,
                       bool bClear, bool bSetLightKind);
    void ConvertXFile(XFile& file, const std::string& strFolder, Renderer* pRenderer, IDirect3DDevice9* pDevice,
                      bool bSetLightKind);
    std::unique_ptr<SceneMaterial> MakeXMaterial(const XFileMesh& source, const std::string& strFolder,
                                                 Renderer* pRenderer);
};
