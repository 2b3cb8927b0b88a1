#pragma once
// One mesh of an ".x" file: a D3DX mesh in system memory (kept across device resets) and its
// device copy, with the materials of its subsets and their texture file names. Loaded from a
// whole file (every mesh in it joined) or from one Mesh data object of a file being read.
#include <d3dx9.h>

#include <cstdint>

class XFileMesh
{
public:
    // The texture-name table: names of the first 20 materials, each cut to 255 characters.
    static constexpr int kMaxTextureNames = 20;
    static constexpr int kTextureNameSize = 256;

    // Callers without a name pass "CD3DFile_Mesh"; at most 511 characters are kept.
    explicit XFileMesh(const char* szName = "CD3DFile_Mesh");
    virtual ~XFileMesh();
    XFileMesh(const XFileMesh&) = delete;
    XFileMesh& operator=(const XFileMesh&) = delete;

    // The whole file (found through the media search) as one mesh, optimised; materials copied,
    // and a texture table of null entries. The loader's failure is returned.
    HRESULT CreateFromFile(IDirect3DDevice9* pDevice, const char* szFileName);
    // One Mesh data object; materials copied with their texture names, no texture table.
    HRESULT CreateFromData(IDirect3DDevice9* pDevice, IDirectXFileData* pFileData);
    // Both meshes cloned to another vertex format, normals recomputed.
    HRESULT SetVertexFormat(IDirect3DDevice9* pDevice, DWORD dwFVF);
    // The device copy from the system-memory mesh.
    HRESULT RestoreDeviceResources(IDirect3DDevice9* pDevice);
    HRESULT ReleaseDeviceResources();
    // Releases everything: meshes, textures, materials; the count drops to 0.
    HRESULT Destroy();
    // Draws the opaque subsets (diffuse alpha not below 1) and/or the translucent ones (alpha
    // not exactly 1) of the device copy; E_FAIL without it.
    HRESULT Render(IDirect3DDevice9* pDevice, bool bDrawOpaqueSubsets = true, bool bDrawAlphaSubsets = true);

    char m_strName[512];
    ID3DXMesh* m_pSysMemMesh;
    ID3DXMesh* m_pLocalMesh;
    DWORD m_dwNumMaterials;
    char m_strTextureNames[kMaxTextureNames][kTextureNameSize];
    D3DMATERIAL9* m_pMaterials;
    IDirect3DBaseTexture9** m_pTextures;
    bool m_bUseMaterials;

private:
    // Optimises the loaded mesh with the adjacency and keeps the materials; releases both buffers.
    HRESULT FinishLoad(ID3DXBuffer* pAdjacency, ID3DXBuffer* pMaterials, bool bTextureTable);
};
