#pragma once
// The frame tree of an ".x" file: named frames with a transform relative to their parent, at
// most one mesh each, a first child and a next sibling; and XFile, the root frame that reads a
// file through the DirectX file library.
#include "3dapi/XFileMesh.h"

#include <d3dx9.h>

class XFileFrame
{
public:
    explicit XFileFrame(const char* szName = "CD3DFile_Frame");
    // Deletes the child and the next sibling (so the whole subtree below and beside), not the
    // mesh: DestroyAll frees the meshes.
    virtual ~XFileFrame();
    XFileFrame(const XFileFrame&) = delete;
    XFileFrame& operator=(const XFileFrame&) = delete;

    void SetMatrix(const D3DXMATRIX* pMatrix) { m_mat = *pMatrix; }
    // The callback for this frame's mesh, then the child subtree, then the sibling subtree.
    bool ForEachMesh(bool (*pCallback)(XFileMesh*, void*), void* pContext);
    // First match without regard to case, in the same order; null when none.
    XFileMesh* FindMeshByName(const char* szName);
    XFileFrame* FindFrameByName(const char* szName);
    HRESULT DestroyAll();
    HRESULT RestoreDeviceResources(IDirect3DDevice9* pDevice);
    HRESULT ReleaseDeviceResources();
    // Draws the mesh with world = m_mat x parent (the device's world transform without one),
    // then the children under that world, then the siblings under the parent's.
    HRESULT Render(IDirect3DDevice9* pDevice, bool bDrawOpaqueSubsets = true, bool bDrawAlphaSubsets = true,
                   const D3DXMATRIX* pmatWorldMatrix = nullptr);

    char m_strName[512];
    D3DXMATRIX m_mat;
    XFileMesh* m_pMesh;
    XFileFrame* m_pNext;
    XFileFrame* m_pChild;
};

class XFile : public XFileFrame
{
public:
    XFile();
    // Frees the whole tree with its meshes (DestroyAll).
    ~XFile() override;

    // Reads a file (found through the media search) into the tree below this root. E_FAIL when
    // the library cannot start or a top-level object cannot be read; what was read before stays.
    HRESULT Load(IDirect3DDevice9* pDevice, const char* szFileName);
    // The same from a resource of the program's own module.
    HRESULT LoadFromResource(IDirect3DDevice9* pDevice, const char* szResource, const char* szType);
    // Draws the root's children: opaque subsets, then translucent ones with alpha blending.
    HRESULT Render(IDirect3DDevice9* pDevice, const D3DXMATRIX* pmatWorldMatrix = nullptr);

private:
    HRESULT LoadFrom(IDirect3DDevice9* pDevice, void* pSource, DXFILELOADOPTIONS dwOptions, const char* szWhat);
    HRESULT ReadFrame(IDirect3DDevice9* pDevice, IDirectXFileData* pFileData, XFileFrame* pParentFrame);
    HRESULT ReadMesh(IDirect3DDevice9* pDevice, IDirectXFileData* pFileData, XFileFrame* pParentFrame);
};

// The standard template block registered before every load.
extern const char* const g_XFileTemplates;
extern const DWORD g_dwXFileTemplateBytes;
