#pragma once
// The layer's ID3DXMesh: vertices and indices in device buffers, the per-face attribute ids
// and the attribute table in memory.
#include <d3dx9mesh.h>

#include <atomic>
#include <vector>

class MeshObject final : public ID3DXMesh
{
public:
    // Creates the device buffers; null when the arguments or the device refuse.
    static MeshObject* Create(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                              IDirect3DDevice9* device, HRESULT* result);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT DrawSubset(DWORD AttribId) override;
    DWORD GetNumFaces() override { return m_numFaces; }
    DWORD GetNumVertices() override { return m_numVertices; }
    DWORD GetFVF() override { return m_fvf; }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9 Declaration[MAX_FVF_DECL_SIZE]) override;
    DWORD GetNumBytesPerVertex() override { return m_stride; }
    DWORD GetOptions() override { return m_options; }
    HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) override;
    HRESULT CloneMeshFVF(DWORD Options, DWORD FVF, LPDIRECT3DDEVICE9 pD3DDevice, ID3DXMesh** ppCloneMesh) override;
    HRESULT GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9* ppVB) override;
    HRESULT GetIndexBuffer(LPDIRECT3DINDEXBUFFER9* ppIB) override;
    HRESULT LockVertexBuffer(DWORD Flags, LPVOID* ppData) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD Flags, LPVOID* ppData) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) override;
    HRESULT GenerateAdjacency(FLOAT Epsilon, DWORD* pAdjacency) override;
    HRESULT LockAttributeBuffer(DWORD Flags, DWORD** ppData) override;
    HRESULT UnlockAttributeBuffer() override;
    HRESULT OptimizeInplace(DWORD Flags, const DWORD* pAdjacencyIn, DWORD* pAdjacencyOut, DWORD* pFaceRemap,
                            LPD3DXBUFFER* ppVertexRemap) override;

    // Whole-mesh copies in and out, for the shapes and the optimiser. Indices are widened to
    // 32 bits here whatever the buffer holds.
    bool ReadVertices(std::vector<BYTE>& vertices);
    bool WriteVertices(const std::vector<BYTE>& vertices);
    bool ReadIndices(std::vector<DWORD>& indices);
    bool WriteIndices(const std::vector<DWORD>& indices);
    void SetAttributeTable(const std::vector<D3DXATTRIBUTERANGE>& table) { m_attributeTable = table; }
    std::vector<DWORD>& Attributes() { return m_attributes; }

private:
    MeshObject(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, DWORD stride, IDirect3DDevice9* device);
    ~MeshObject() override;
    HRESULT DrawFaces(DWORD faceStart, DWORD faceCount, DWORD vertexStart, DWORD vertexCount);
    // Replaces the buffers with ones of new sizes (same options and format).
    HRESULT Resize(DWORD numFaces, DWORD numVertices);
    HRESULT CreateBuffers();

    std::atomic<ULONG> m_refCount{1};
    DWORD m_numFaces;
    DWORD m_numVertices;
    DWORD m_options;
    DWORD m_fvf;
    DWORD m_stride;
    IDirect3DDevice9* m_device;
    IDirect3DVertexBuffer9* m_vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* m_indexBuffer = nullptr;
    std::vector<DWORD> m_attributes;
    std::vector<D3DXATTRIBUTERANGE> m_attributeTable;
};
