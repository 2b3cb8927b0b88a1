#pragma once
// The visible model of a game object: an ".x" mesh (or a red unit sphere) with its face count,
// a bounding sphere, a cubic bounding box with its eight corners and a vertex buffer of the box's
// twelve edges. The display objects draw through it and take their collision bounds from it.
// Device objects come from the rendering core's device (GetMorvynDevice).
#include "3dapi/XFileMesh.h"

#include "core/Vector3.h"

#include <d3d9.h>

class DisplayModel
{
public:
    DisplayModel();
    ~DisplayModel();
    DisplayModel(const DisplayModel&) = delete;
    DisplayModel& operator=(const DisplayModel&) = delete;

    HRESULT Setup() { return S_OK; }
    // The mesh from the file, or a sphere of radius 1 with one red material when bSphere is
    // set; then the bounds, the box (a cube of half side: the largest component of the
    // maximum corner times fBoxScale) and its edge buffer.
    HRESULT Create(const char* szFileName, int bSphere, float fBoxScale);
    HRESULT RestoreDeviceResources();
    // The face count goes to *pFaces; the mesh is drawn in both passes when there is one.
    HRESULT Render(int* pFaces);
    // The box's edges in white, lighting off while they are drawn; the world transform is the
    // caller's.
    HRESULT DrawBounds();
    HRESULT ReleaseDeviceResources();
    HRESULT DestroyDeviceResources();
    void Cleanup();

    XFileMesh* m_pMesh;
    Vector3 m_vMin;
    Vector3 m_vMax;
    Vector3 m_vCenter;
    float m_fRadius;
    DWORD m_dwNumFaces;
    // Corner i takes x from m_vMax when bit 0 of i is set (else m_vMin), y by bit 1, z by bit 2.
    Vector3 m_vCorners[8];
    IDirect3DVertexBuffer9* m_pBoxVB;
};
