// The layer's ID3DXMesh: creation, buffers, locks, drawing and cloning.
#include "MeshObject.h"

#include "FvfLayout.h"

#include <algorithm>
#include <cstring>

namespace
{

// Pool and usage of one buffer from the mesh options, given that buffer's option bits.
struct BufferPlacement
{
    D3DPOOL pool;
    DWORD usage;
};

BufferPlacement PlacementOf(DWORD options, DWORD systemMem, DWORD managed, DWORD writeOnly, DWORD dynamic)
{
    BufferPlacement p{D3DPOOL_DEFAULT, 0};
    if (options & systemMem)
        p.pool = D3DPOOL_SYSTEMMEM;
    else if (options & managed)
        p.pool = D3DPOOL_MANAGED;
    if (options & writeOnly)
        p.usage |= D3DUSAGE_WRITEONLY;
    if (options & dynamic)
        p.usage |= D3DUSAGE_DYNAMIC;
    return p;
}

DWORD IndexSize(DWORD options) { return (options & D3DXMESH_32BIT) ? 4 : 2; }

} // namespace

MeshObject::MeshObject(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, DWORD stride,
                       IDirect3DDevice9* device)
    : m_numFaces(numFaces), m_numVertices(numVertices), m_options(options), m_fvf(fvf), m_stride(stride),
      m_device(device), m_attributes(numFaces, 0)
{
    m_device->AddRef();
}

MeshObject::~MeshObject()
{
    if (m_vertexBuffer)
        m_vertexBuffer->Release();
    if (m_indexBuffer)
        m_indexBuffer->Release();
    m_device->Release();
}

MeshObject* MeshObject::Create(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                               IDirect3DDevice9* device, HRESULT* result)
{
    const DWORD stride = D3DXGetFVFVertexSize(fvf);
    // 16-bit indices address at most 65535 vertices (0xFFFF is kept free as in D3DX).
    const DWORD maxVertices = (options & D3DXMESH_32BIT) ? 0xFFFFFFFEu : 0xFFFFu;
    if (!device || numFaces == 0 || numVertices == 0 || stride == 0 || numVertices > maxVertices ||
        numFaces > 0x7FFFFFFFu / 3 / IndexSize(options) || (uint64_t)numVertices * stride > 0x7FFFFFFFu)
    {
        *result = D3DERR_INVALIDCALL;
        return nullptr;
    }
    MeshObject* mesh = new MeshObject(numFaces, numVertices, options, fvf, stride, device);
    *result = mesh->CreateBuffers();
    if (FAILED(*result))
    {
        mesh->Release();
        return nullptr;
    }
    return mesh;
}

HRESULT MeshObject::CreateBuffers()
{
    const BufferPlacement vb = PlacementOf(m_options, D3DXMESH_VB_SYSTEMMEM, D3DXMESH_VB_MANAGED,
                                           D3DXMESH_VB_WRITEONLY, D3DXMESH_VB_DYNAMIC);
    const BufferPlacement ib = PlacementOf(m_options, D3DXMESH_IB_SYSTEMMEM, D3DXMESH_IB_MANAGED,
                                           D3DXMESH_IB_WRITEONLY, D3DXMESH_IB_DYNAMIC);
    HRESULT hr = m_device->CreateVertexBuffer(m_numVertices * m_stride, vb.usage, m_fvf, vb.pool,
                                              &m_vertexBuffer, nullptr);
    if (FAILED(hr))
        return hr;
    const D3DFORMAT indexFormat = (m_options & D3DXMESH_32BIT) ? D3DFMT_INDEX32 : D3DFMT_INDEX16;
    return m_device->CreateIndexBuffer(m_numFaces * 3 * IndexSize(m_options), ib.usage, indexFormat, ib.pool,
                                       &m_indexBuffer, nullptr);
}

HRESULT MeshObject::Resize(DWORD numFaces, DWORD numVertices)
{
    IDirect3DVertexBuffer9* oldVertices = m_vertexBuffer;
    IDirect3DIndexBuffer9* oldIndices = m_indexBuffer;
    const DWORD oldFaces = m_numFaces, oldVertexCount = m_numVertices;
    m_vertexBuffer = nullptr;
    m_indexBuffer = nullptr;
    m_numFaces = numFaces;
    m_numVertices = numVertices;
    const HRESULT hr = CreateBuffers();
    if (FAILED(hr))
    {
        // Keep the mesh as it was.
        if (m_vertexBuffer)
            m_vertexBuffer->Release();
        if (m_indexBuffer)
            m_indexBuffer->Release();
        m_vertexBuffer = oldVertices;
        m_indexBuffer = oldIndices;
        m_numFaces = oldFaces;
        m_numVertices = oldVertexCount;
        return hr;
    }
    oldVertices->Release();
    oldIndices->Release();
    return D3D_OK;
}

HRESULT MeshObject::QueryInterface(REFIID riid, void** ppvObject)
{
    if (!ppvObject)
        return E_INVALIDARG;
    if (riid == IID_IUnknown)
    {
        AddRef();
        *ppvObject = static_cast<IUnknown*>(this);
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG MeshObject::AddRef() { return ++m_refCount; }

ULONG MeshObject::Release()
{
    const ULONG count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

HRESULT MeshObject::DrawFaces(DWORD faceStart, DWORD faceCount, DWORD vertexStart, DWORD vertexCount)
{
    return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vertexStart, vertexCount, faceStart * 3, faceCount);
}

HRESULT MeshObject::DrawSubset(DWORD AttribId)
{
    HRESULT hr = m_device->SetFVF(m_fvf);
    if (SUCCEEDED(hr))
        hr = m_device->SetStreamSource(0, m_vertexBuffer, 0, m_stride);
    if (SUCCEEDED(hr))
        hr = m_device->SetIndices(m_indexBuffer);
    if (FAILED(hr))
        return hr;

    if (!m_attributeTable.empty())
    {
        for (const D3DXATTRIBUTERANGE& range : m_attributeTable)
            if (range.AttribId == AttribId && range.FaceCount > 0)
            {
                hr = DrawFaces(range.FaceStart, range.FaceCount, range.VertexStart, range.VertexCount);
                if (FAILED(hr))
                    return hr;
            }
        return D3D_OK;
    }
    // No table: draw each run of consecutive faces of that subset over the whole vertex range.
    for (DWORD face = 0; face < m_numFaces;)
    {
        if (m_attributes[face] != AttribId)
        {
            ++face;
            continue;
        }
        DWORD end = face;
        while (end < m_numFaces && m_attributes[end] == AttribId)
            ++end;
        hr = DrawFaces(face, end - face, 0, m_numVertices);
        if (FAILED(hr))
            return hr;
        face = end;
    }
    return D3D_OK;
}

HRESULT MeshObject::GetDeclaration(D3DVERTEXELEMENT9 Declaration[MAX_FVF_DECL_SIZE])
{
    return D3DXDeclaratorFromFVF(m_fvf, Declaration);
}

HRESULT MeshObject::GetDevice(LPDIRECT3DDEVICE9* ppDevice)
{
    if (!ppDevice)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

HRESULT MeshObject::GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9* ppVB)
{
    if (!ppVB)
        return D3DERR_INVALIDCALL;
    m_vertexBuffer->AddRef();
    *ppVB = m_vertexBuffer;
    return D3D_OK;
}

HRESULT MeshObject::GetIndexBuffer(LPDIRECT3DINDEXBUFFER9* ppIB)
{
    if (!ppIB)
        return D3DERR_INVALIDCALL;
    m_indexBuffer->AddRef();
    *ppIB = m_indexBuffer;
    return D3D_OK;
}

HRESULT MeshObject::LockVertexBuffer(DWORD Flags, LPVOID* ppData)
{
    return m_vertexBuffer->Lock(0, 0, ppData, Flags);
}

HRESULT MeshObject::UnlockVertexBuffer() { return m_vertexBuffer->Unlock(); }

HRESULT MeshObject::LockIndexBuffer(DWORD Flags, LPVOID* ppData)
{
    return m_indexBuffer->Lock(0, 0, ppData, Flags);
}

HRESULT MeshObject::UnlockIndexBuffer() { return m_indexBuffer->Unlock(); }

HRESULT MeshObject::LockAttributeBuffer(DWORD, DWORD** ppData)
{
    if (!ppData)
        return D3DERR_INVALIDCALL;
    // Written attributes invalidate the table until the next ATTRSORT.
    m_attributeTable.clear();
    *ppData = m_attributes.data();
    return D3D_OK;
}

HRESULT MeshObject::UnlockAttributeBuffer() { return D3D_OK; }

HRESULT MeshObject::GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize)
{
    if (pAttribTable)
        std::copy(m_attributeTable.begin(), m_attributeTable.end(), pAttribTable);
    if (pAttribTableSize)
        *pAttribTableSize = (DWORD)m_attributeTable.size();
    return D3D_OK;
}

bool MeshObject::ReadVertices(std::vector<BYTE>& vertices)
{
    void* data = nullptr;
    if (FAILED(LockVertexBuffer(D3DLOCK_READONLY, &data)))
        return false;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    vertices.assign(bytes, bytes + (size_t)m_numVertices * m_stride);
    UnlockVertexBuffer();
    return true;
}

bool MeshObject::WriteVertices(const std::vector<BYTE>& vertices)
{
    void* data = nullptr;
    if (vertices.size() != (size_t)m_numVertices * m_stride || FAILED(LockVertexBuffer(0, &data)))
        return false;
    std::memcpy(data, vertices.data(), vertices.size());
    UnlockVertexBuffer();
    return true;
}

bool MeshObject::ReadIndices(std::vector<DWORD>& indices)
{
    void* data = nullptr;
    if (FAILED(LockIndexBuffer(D3DLOCK_READONLY, &data)))
        return false;
    const size_t count = (size_t)m_numFaces * 3;
    indices.resize(count);
    if (m_options & D3DXMESH_32BIT)
        std::memcpy(indices.data(), data, count * 4);
    else
        for (size_t i = 0; i < count; ++i)
            indices[i] = static_cast<const WORD*>(data)[i];
    UnlockIndexBuffer();
    return true;
}

bool MeshObject::WriteIndices(const std::vector<DWORD>& indices)
{
    void* data = nullptr;
    if (indices.size() != (size_t)m_numFaces * 3 || FAILED(LockIndexBuffer(0, &data)))
        return false;
    if (m_options & D3DXMESH_32BIT)
        std::memcpy(data, indices.data(), indices.size() * 4);
    else
        for (size_t i = 0; i < indices.size(); ++i)
            static_cast<WORD*>(data)[i] = (WORD)indices[i];
    UnlockIndexBuffer();
    return true;
}

HRESULT MeshObject::CloneMeshFVF(DWORD Options, DWORD FVF, LPDIRECT3DDEVICE9 pD3DDevice, ID3DXMesh** ppCloneMesh)
{
    if (!ppCloneMesh || !pD3DDevice)
        return D3DERR_INVALIDCALL;
    *ppCloneMesh = nullptr;
    HRESULT hr;
    MeshObject* clone = Create(m_numFaces, m_numVertices, Options, FVF, pD3DDevice, &hr);
    if (!clone)
        return hr;

    D3DVERTEXELEMENT9 from[MAX_FVF_DECL_SIZE], to[MAX_FVF_DECL_SIZE];
    GetDeclaration(from);
    clone->GetDeclaration(to);
    std::vector<BYTE> source, target((size_t)m_numVertices * clone->m_stride, 0);
    std::vector<DWORD> indices;
    if (!ReadVertices(source) || !ReadIndices(indices))
    {
        clone->Release();
        return D3DERR_INVALIDCALL;
    }
    // Copy every element both formats have, with the same meaning and type.
    for (const D3DVERTEXELEMENT9* t = to; t->Stream != 0xFF; ++t)
        for (const D3DVERTEXELEMENT9* f = from; f->Stream != 0xFF; ++f)
        {
            if (f->Usage != t->Usage || f->UsageIndex != t->UsageIndex || f->Type != t->Type)
                continue;
            const UINT size = FvfElementSize(f->Type);
            for (DWORD v = 0; v < m_numVertices; ++v)
                std::memcpy(&target[(size_t)v * clone->m_stride + t->Offset], &source[(size_t)v * m_stride + f->Offset],
                            size);
        }
    if (!clone->WriteVertices(target) || !clone->WriteIndices(indices))
    {
        clone->Release();
        return D3DERR_INVALIDCALL;
    }
    clone->m_attributes = m_attributes;
    clone->m_attributeTable = m_attributeTable;
    *ppCloneMesh = clone;
    return D3D_OK;
}
