// Mesh creation and the helpers over vertex positions: normals and bounding volumes.
#include "MeshObject.h"

#include <cmath>
#include <cstring>

HRESULT D3DXCreateMeshFVF(DWORD NumFaces, DWORD NumVertices, DWORD Options, DWORD FVF,
                          LPDIRECT3DDEVICE9 pD3DDevice, LPD3DXMESH* ppMesh)
{
    if (!ppMesh)
        return D3DERR_INVALIDCALL;
    HRESULT hr;
    *ppMesh = MeshObject::Create(NumFaces, NumVertices, Options, FVF, pD3DDevice, &hr);
    return hr;
}

HRESULT D3DXComputeNormals(LPD3DXBASEMESH pMesh, const DWORD*)
{
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    if (!pMesh || FAILED(pMesh->GetDeclaration(declaration)))
        return D3DERR_INVALIDCALL;
    int normalOffset = -1;
    for (const D3DVERTEXELEMENT9* e = declaration; e->Stream != 0xFF; ++e)
        if (e->Usage == D3DDECLUSAGE_NORMAL && e->UsageIndex == 0 && e->Type == D3DDECLTYPE_FLOAT3)
            normalOffset = e->Offset;
    // Positions lead the vertex; without a normal there is nothing to write.
    if (normalOffset < 0 || declaration[0].Usage != D3DDECLUSAGE_POSITION)
        return D3DERR_INVALIDCALL;

    const DWORD stride = pMesh->GetNumBytesPerVertex(), numVertices = pMesh->GetNumVertices();
    const DWORD numFaces = pMesh->GetNumFaces();
    const bool wide = (pMesh->GetOptions() & D3DXMESH_32BIT) != 0;
    void* indexData = nullptr;
    void* vertexData = nullptr;
    if (FAILED(pMesh->LockIndexBuffer(D3DLOCK_READONLY, &indexData)))
        return D3DERR_INVALIDCALL;
    if (FAILED(pMesh->LockVertexBuffer(0, &vertexData)))
    {
        pMesh->UnlockIndexBuffer();
        return D3DERR_INVALIDCALL;
    }
    auto index = [&](DWORD i) -> DWORD {
        return wide ? static_cast<const DWORD*>(indexData)[i] : static_cast<const WORD*>(indexData)[i];
    };
    BYTE* bytes = static_cast<BYTE*>(vertexData);
    auto position = [&](DWORD v) {
        D3DXVECTOR3 p;
        std::memcpy(&p, bytes + (size_t)v * stride, sizeof(p));
        return p;
    };

    std::vector<D3DXVECTOR3> sums(numVertices, D3DXVECTOR3(0, 0, 0));
    HRESULT hr = D3D_OK;
    for (DWORD f = 0; f < numFaces && SUCCEEDED(hr); ++f)
    {
        const DWORD a = index(3 * f), b = index(3 * f + 1), c = index(3 * f + 2);
        if (a >= numVertices || b >= numVertices || c >= numVertices)
        {
            hr = D3DERR_INVALIDCALL;
            break;
        }
        // Clockwise front faces: (b - a) x (c - a) points out of the front.
        const D3DXVECTOR3 e1 = position(b) - position(a), e2 = position(c) - position(a);
        D3DXVECTOR3 n;
        D3DXVec3Cross(&n, &e1, &e2);
        D3DXVec3Normalize(&n, &n);
        sums[a] += n;
        sums[b] += n;
        sums[c] += n;
    }
    if (SUCCEEDED(hr))
        for (DWORD v = 0; v < numVertices; ++v)
        {
            D3DXVec3Normalize(&sums[v], &sums[v]);
            std::memcpy(bytes + (size_t)v * stride + normalOffset, &sums[v], sizeof(D3DXVECTOR3));
        }
    pMesh->UnlockVertexBuffer();
    pMesh->UnlockIndexBuffer();
    return hr;
}

namespace
{

D3DXVECTOR3 PositionAt(const D3DXVECTOR3* first, DWORD stride, DWORD i)
{
    D3DXVECTOR3 p;
    std::memcpy(&p, reinterpret_cast<const BYTE*>(first) + (size_t)i * stride, sizeof(p));
    return p;
}

} // namespace

HRESULT D3DXComputeBoundingSphere(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                                  D3DXVECTOR3* pCenter, FLOAT* pRadius)
{
    if (!pFirstPosition || !pCenter || !pRadius || NumVertices == 0 || dwStride < sizeof(D3DXVECTOR3))
        return D3DERR_INVALIDCALL;
    // The centroid is summed in double so that large meshes do not drift.
    double sum[3] = {0, 0, 0};
    for (DWORD i = 0; i < NumVertices; ++i)
    {
        const D3DXVECTOR3 p = PositionAt(pFirstPosition, dwStride, i);
        sum[0] += p.x;
        sum[1] += p.y;
        sum[2] += p.z;
    }
    const D3DXVECTOR3 centre((FLOAT)(sum[0] / NumVertices), (FLOAT)(sum[1] / NumVertices),
                             (FLOAT)(sum[2] / NumVertices));
    FLOAT radiusSq = 0.0f;
    for (DWORD i = 0; i < NumVertices; ++i)
    {
        const D3DXVECTOR3 d = PositionAt(pFirstPosition, dwStride, i) - centre;
        radiusSq = std::max(radiusSq, D3DXVec3LengthSq(&d));
    }
    *pCenter = centre;
    *pRadius = std::sqrt(radiusSq);
    return D3D_OK;
}

HRESULT D3DXComputeBoundingBox(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                               D3DXVECTOR3* pMin, D3DXVECTOR3* pMax)
{
    if (!pFirstPosition || !pMin || !pMax || NumVertices == 0 || dwStride < sizeof(D3DXVECTOR3))
        return D3DERR_INVALIDCALL;
    D3DXVECTOR3 low = PositionAt(pFirstPosition, dwStride, 0), high = low;
    for (DWORD i = 1; i < NumVertices; ++i)
    {
        const D3DXVECTOR3 p = PositionAt(pFirstPosition, dwStride, i);
        D3DXVec3Minimize(&low, &low, &p);
        D3DXVec3Maximize(&high, &high, &p);
    }
    *pMin = low;
    *pMax = high;
    return D3D_OK;
}
