#pragma once
// D3DX 9 meshes, declared from the public documentation: indexed triangle lists in device
// buffers with a per-face attribute (subset) id, and the helpers that work on their vertices.
#include <d3d9.h>
#include <d3dx9math.h>
#include <d3dx9shader.h>
#include <dxfile.h>

// Creation options: where the buffers live and how wide the indices are.
#define D3DXMESH_32BIT 0x001
#define D3DXMESH_DONOTCLIP 0x002
#define D3DXMESH_POINTS 0x004
#define D3DXMESH_RTPATCHES 0x008
#define D3DXMESH_NPATCHES 0x4000
#define D3DXMESH_VB_SYSTEMMEM 0x010
#define D3DXMESH_VB_MANAGED 0x020
#define D3DXMESH_VB_WRITEONLY 0x040
#define D3DXMESH_VB_DYNAMIC 0x080
#define D3DXMESH_VB_SOFTWAREPROCESSING 0x8000
#define D3DXMESH_IB_SYSTEMMEM 0x100
#define D3DXMESH_IB_MANAGED 0x200
#define D3DXMESH_IB_WRITEONLY 0x400
#define D3DXMESH_IB_DYNAMIC 0x800
#define D3DXMESH_IB_SOFTWAREPROCESSING 0x10000
#define D3DXMESH_VB_SHARE 0x1000
#define D3DXMESH_USEHWONLY 0x2000
#define D3DXMESH_SYSTEMMEM 0x110
#define D3DXMESH_MANAGED 0x220
#define D3DXMESH_WRITEONLY 0x440
#define D3DXMESH_DYNAMIC 0x880
#define D3DXMESH_SOFTWAREPROCESSING 0x18000

// OptimizeInplace flags.
#define D3DXMESHOPT_DEVICEINDEPENDENT 0x00400000
#define D3DXMESHOPT_COMPACT 0x01000000
#define D3DXMESHOPT_ATTRSORT 0x02000000
#define D3DXMESHOPT_VERTEXCACHE 0x04000000
#define D3DXMESHOPT_STRIPREORDER 0x08000000
#define D3DXMESHOPT_IGNOREVERTS 0x10000000
#define D3DXMESHOPT_DONOTSPLIT 0x20000000

// The declaration array GetDeclaration fills: up to MAXD3DDECLLENGTH elements and the end mark.
#define MAX_FVF_DECL_SIZE (MAXD3DDECLLENGTH + 1)

// Mesh loading results (facility 0x876).
#define D3DXERR_INVALIDMESH MAKE_HRESULT(1, 0x876, 2900)
#define D3DXERR_INVALIDDATA MAKE_HRESULT(1, 0x876, 2904)
#define D3DXERR_LOADEDMESHHASNODATA MAKE_HRESULT(1, 0x876, 2905)

// Adjacency entry of a face edge with no neighbour.
#define UNUSED32 0xffffffff

// Faces [FaceStart, FaceStart + FaceCount) use subset AttribId and only the vertices
// [VertexStart, VertexStart + VertexCount).
struct D3DXATTRIBUTERANGE
{
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};
typedef D3DXATTRIBUTERANGE* LPD3DXATTRIBUTERANGE;

// One material of a loaded mesh and its texture file name (NULL when it has none).
struct D3DXMATERIAL
{
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;
};
typedef D3DXMATERIAL* LPD3DXMATERIAL;

struct ID3DXMesh;

struct ID3DXBaseMesh : IUnknown
{
    // Sets the mesh's vertex format, stream 0 and indices on the device, then draws the faces of
    // that subset as triangle lists.
    virtual HRESULT DrawSubset(DWORD AttribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9 Declaration[MAX_FVF_DECL_SIZE]) = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
    // A copy with another vertex format: elements the two formats share are copied, new ones
    // are zero.
    virtual HRESULT CloneMeshFVF(DWORD Options, DWORD FVF, LPDIRECT3DDEVICE9 pD3DDevice,
                                 ID3DXMesh** ppCloneMesh) = 0;
    virtual HRESULT GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9* ppVB) = 0;
    virtual HRESULT GetIndexBuffer(LPDIRECT3DINDEXBUFFER9* ppIB) = 0;
    virtual HRESULT LockVertexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    // With a NULL table only the entry count is returned.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) = 0;
    // Three entries per face: the face across each edge (0-1, 1-2, 2-0), or UNUSED32. Vertices
    // closer than Epsilon count as one.
    virtual HRESULT GenerateAdjacency(FLOAT Epsilon, DWORD* pAdjacency) = 0;
};

struct ID3DXMesh : ID3DXBaseMesh
{
    virtual HRESULT LockAttributeBuffer(DWORD Flags, DWORD** ppData) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
    // ATTRSORT groups the faces by subset (keeping their order within one) and builds the
    // attribute table; COMPACT drops vertices no face uses; VERTEXCACHE is accepted and leaves
    // the order (the software device has no post-transform cache to favour). pFaceRemap gets the
    // old index of each new face, ppVertexRemap the old index of each new vertex.
    virtual HRESULT OptimizeInplace(DWORD Flags, const DWORD* pAdjacencyIn, DWORD* pAdjacencyOut,
                                    DWORD* pFaceRemap, LPD3DXBUFFER* ppVertexRemap) = 0;
};
typedef ID3DXBaseMesh* LPD3DXBASEMESH;
typedef ID3DXMesh* LPD3DXMESH;

HRESULT D3DXCreateMeshFVF(DWORD NumFaces, DWORD NumVertices, DWORD Options, DWORD FVF,
                          LPDIRECT3DDEVICE9 pD3DDevice, LPD3DXMESH* ppMesh);

// Byte size of one vertex of a flexible vertex format.
UINT D3DXGetFVFVertexSize(DWORD FVF);
// The declaration equivalent to a flexible vertex format, ended by D3DDECL_END().
HRESULT D3DXDeclaratorFromFVF(DWORD FVF, D3DVERTEXELEMENT9 pDeclarator[MAX_FVF_DECL_SIZE]);

// Each vertex normal becomes the normalised sum of the unit normals of the faces that use it.
// The mesh must have normals. pAdjacency is not needed: faces share normals through indices.
HRESULT D3DXComputeNormals(LPD3DXBASEMESH pMesh, const DWORD* pAdjacency);
// The centroid of the positions and the largest distance from it.
HRESULT D3DXComputeBoundingSphere(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                                  D3DXVECTOR3* pCenter, FLOAT* pRadius);
HRESULT D3DXComputeBoundingBox(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                               D3DXVECTOR3* pMin, D3DXVECTOR3* pMax);

// ".x" meshes. A Mesh data object gives one mesh: its polygons split into triangle fans, a vertex
// for each distinct (position, normal) pair when the mesh has normals, the texture coordinates
// of the positions, and one subset per material of its material list (a mesh without a list
// gets one white material). The format is D3DFVF_XYZ, with D3DFVF_NORMAL and D3DFVF_TEX1 when
// the file gives them. The materials buffer holds NumMaterials D3DXMATERIAL records followed by
// their texture names, to which the records point (NULL when a material has none). The
// adjacency buffer holds three entries per face. ppEffectInstances is not supported and is set
// to NULL. A file whose counts or indices do not fit its data is refused (D3DXERR_INVALIDDATA)
// with a logged warning.
HRESULT D3DXLoadMeshFromXof(LPDIRECTXFILEDATA pXofObjMesh, DWORD Options, LPDIRECT3DDEVICE9 pD3DDevice,
                            LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                            DWORD* pNumMaterials, LPD3DXMESH* ppMesh);
// Every mesh of a file, top-level or inside frames (moved by the frames' transform matrices),
// joined into one mesh, their materials one after another.
HRESULT D3DXLoadMeshFromXA(LPCSTR pFilename, DWORD Options, LPDIRECT3DDEVICE9 pD3DDevice, LPD3DXBUFFER* ppAdjacency,
                           LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials,
                           LPD3DXMESH* ppMesh);
