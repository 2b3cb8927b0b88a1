// Mesh reordering and adjacency: OptimizeInplace and GenerateAdjacency.
#include "MeshObject.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <unordered_map>

namespace
{

// Union-find over vertex indices, so that vertices within epsilon of each other share one
// representative.
struct VertexWelder
{
    std::vector<DWORD> parent;

    explicit VertexWelder(DWORD count) : parent(count) { std::iota(parent.begin(), parent.end(), 0u); }

    DWORD Find(DWORD v)
    {
        while (parent[v] != v)
        {
            parent[v] = parent[parent[v]];
            v = parent[v];
        }
        return v;
    }

    void Join(DWORD a, DWORD b)
    {
        a = Find(a);
        b = Find(b);
        if (a != b)
            parent[std::max(a, b)] = std::min(a, b);
    }
};

} // namespace

HRESULT MeshObject::GenerateAdjacency(FLOAT Epsilon, DWORD* pAdjacency)
{
    std::vector<BYTE> vertices;
    std::vector<DWORD> indices;
    if (!pAdjacency || Epsilon < 0.0f || !ReadVertices(vertices) || !ReadIndices(indices))
        return D3DERR_INVALIDCALL;

    // Positions lead every vertex (FVF order); sort by x and compare neighbours within epsilon.
    auto position = [&](DWORD v) {
        D3DXVECTOR3 p;
        std::memcpy(&p, &vertices[(size_t)v * m_stride], sizeof(p));
        return p;
    };
    std::vector<DWORD> byX(m_numVertices);
    std::iota(byX.begin(), byX.end(), 0u);
    std::sort(byX.begin(), byX.end(), [&](DWORD a, DWORD b) { return position(a).x < position(b).x; });
    VertexWelder welder(m_numVertices);
    for (size_t i = 0; i < byX.size(); ++i)
    {
        const D3DXVECTOR3 p = position(byX[i]);
        for (size_t j = i + 1; j < byX.size(); ++j)
        {
            const D3DXVECTOR3 q = position(byX[j]);
            if (q.x - p.x > Epsilon)
                break;
            if (std::fabs(q.y - p.y) <= Epsilon && std::fabs(q.z - p.z) <= Epsilon)
                welder.Join(byX[i], byX[j]);
        }
    }

    // Each directed edge a->b of a face meets the face that holds b->a.
    auto key = [](DWORD a, DWORD b) { return ((uint64_t)a << 32) | b; };
    std::unordered_map<uint64_t, DWORD> edgeOwner;
    for (DWORD f = 0; f < m_numFaces; ++f)
        for (int k = 0; k < 3; ++k)
            edgeOwner.emplace(key(welder.Find(indices[3 * f + k]), welder.Find(indices[3 * f + (k + 1) % 3])), f);
    for (DWORD f = 0; f < m_numFaces; ++f)
        for (int k = 0; k < 3; ++k)
        {
            const auto it =
                edgeOwner.find(key(welder.Find(indices[3 * f + (k + 1) % 3]), welder.Find(indices[3 * f + k])));
            pAdjacency[3 * f + k] = (it != edgeOwner.end() && it->second != f) ? it->second : UNUSED32;
        }
    return D3D_OK;
}

HRESULT MeshObject::OptimizeInplace(DWORD Flags, const DWORD* pAdjacencyIn, DWORD* pAdjacencyOut,
                                    DWORD* pFaceRemap, LPD3DXBUFFER* ppVertexRemap)
{
    std::vector<BYTE> vertices;
    std::vector<DWORD> indices;
    if (!ReadVertices(vertices) || !ReadIndices(indices))
        return D3DERR_INVALIDCALL;
    for (DWORD index : indices)
        if (index >= m_numVertices)
            return D3DERR_INVALIDCALL;

    // New face i is old face faceOrder[i].
    std::vector<DWORD> faceOrder(m_numFaces);
    std::iota(faceOrder.begin(), faceOrder.end(), 0u);
    if (Flags & D3DXMESHOPT_ATTRSORT)
        std::stable_sort(faceOrder.begin(), faceOrder.end(),
                         [this](DWORD a, DWORD b) { return m_attributes[a] < m_attributes[b]; });

    // New vertex i is old vertex vertexOrder[i]; COMPACT keeps the used ones in order of first use.
    std::vector<DWORD> vertexOrder;
    std::vector<DWORD> newIndexOf(m_numVertices, UNUSED32);
    if (Flags & D3DXMESHOPT_COMPACT)
    {
        for (DWORD f : faceOrder)
            for (int k = 0; k < 3; ++k)
            {
                const DWORD old = indices[3 * f + k];
                if (newIndexOf[old] == UNUSED32)
                {
                    newIndexOf[old] = (DWORD)vertexOrder.size();
                    vertexOrder.push_back(old);
                }
            }
    }
    else
    {
        vertexOrder.resize(m_numVertices);
        std::iota(vertexOrder.begin(), vertexOrder.end(), 0u);
        newIndexOf = vertexOrder;
    }

    std::vector<DWORD> newIndices(indices.size()), newAttributes(m_numFaces);
    for (DWORD i = 0; i < m_numFaces; ++i)
    {
        for (int k = 0; k < 3; ++k)
            newIndices[3 * i + k] = newIndexOf[indices[3 * faceOrder[i] + k]];
        newAttributes[i] = m_attributes[faceOrder[i]];
    }
    std::vector<BYTE> newVertices(vertexOrder.size() * m_stride);
    for (size_t v = 0; v < vertexOrder.size(); ++v)
        std::memcpy(&newVertices[v * m_stride], &vertices[(size_t)vertexOrder[v] * m_stride], m_stride);

    LPD3DXBUFFER vertexRemap = nullptr;
    if (ppVertexRemap)
    {
        const HRESULT hr = D3DXCreateBuffer((DWORD)(vertexOrder.size() * sizeof(DWORD)), &vertexRemap);
        if (FAILED(hr))
            return hr;
        std::memcpy(vertexRemap->GetBufferPointer(), vertexOrder.data(), vertexOrder.size() * sizeof(DWORD));
    }
    if ((DWORD)vertexOrder.size() != m_numVertices)
    {
        const HRESULT hr = Resize(m_numFaces, (DWORD)vertexOrder.size());
        if (FAILED(hr))
        {
            if (vertexRemap)
                vertexRemap->Release();
            return hr;
        }
    }
    if (!WriteVertices(newVertices) || !WriteIndices(newIndices))
    {
        if (vertexRemap)
            vertexRemap->Release();
        return D3DERR_INVALIDCALL;
    }
    m_attributes = newAttributes;

    // The table lists each run of one subset with the span of vertices its faces use.
    m_attributeTable.clear();
    if (Flags & D3DXMESHOPT_ATTRSORT)
        for (DWORD f = 0; f < m_numFaces;)
        {
            DWORD end = f, low = UNUSED32, high = 0;
            for (; end < m_numFaces && m_attributes[end] == m_attributes[f]; ++end)
                for (int k = 0; k < 3; ++k)
                {
                    low = std::min(low, newIndices[3 * end + k]);
                    high = std::max(high, newIndices[3 * end + k]);
                }
            m_attributeTable.push_back({m_attributes[f], f, end - f, low, high - low + 1});
            f = end;
        }

    if (pFaceRemap)
        std::copy(faceOrder.begin(), faceOrder.end(), pFaceRemap);
    if (pAdjacencyOut)
    {
        if (pAdjacencyIn)
        {
            std::vector<DWORD> newFaceOf(m_numFaces);
            for (DWORD i = 0; i < m_numFaces; ++i)
                newFaceOf[faceOrder[i]] = i;
            std::vector<DWORD> adjacency(3 * (size_t)m_numFaces);
            for (DWORD i = 0; i < m_numFaces; ++i)
                for (int k = 0; k < 3; ++k)
                {
                    const DWORD old = pAdjacencyIn[3 * faceOrder[i] + k];
                    adjacency[3 * i + k] = old < m_numFaces ? newFaceOf[old] : UNUSED32;
                }
            std::copy(adjacency.begin(), adjacency.end(), pAdjacencyOut);
        }
        else
            GenerateAdjacency(0.0f, pAdjacencyOut);
    }
    if (ppVertexRemap)
        *ppVertexRemap = vertexRemap;
    return D3D_OK;
}
