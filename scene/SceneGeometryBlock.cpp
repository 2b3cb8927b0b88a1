#include "scene/SceneGeometryBlock.h"

#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMesh.h"
#include "scene/SceneRecords.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// Why a geometry block's counts are refused, or null when they are sound.
const char* CheckCounts(int32_t nVertices, int32_t nTriangles, size_t nBytesLeft)
{
    if (nTriangles <= 0)
        return "it has no triangles";
    if (static_cast<int64_t>(nVertices) != 3 * static_cast<int64_t>(nTriangles))
        return "its vertex count is not three per triangle";
    if (nVertices > MAX_FILE_VERTICES)
        return "it has too many vertices";
    if (static_cast<uint64_t>(nVertices) > nBytesLeft / FILE_VERTEX_SIZE)
        return "its vertices run past the end of the file";
    return nullptr;
}

void GrowBounds(float* pBounds, const Vector3& v)
{
    const float coordinates[3] = {v.x, v.y, v.z};
    for (int axis = 0; axis < 3; ++axis)
    {
        // The two tests are independent: the first vertex sets both ends of each axis.
        if (coordinates[axis] < pBounds[axis * 2])
            pBounds[axis * 2] = coordinates[axis];
        if (coordinates[axis] > pBounds[axis * 2 + 1])
            pBounds[axis * 2 + 1] = coordinates[axis];
    }
}

void DropVertices(SceneMesh& mesh)
{
    delete[] mesh.m_pVertices;
    mesh.m_pVertices = nullptr;
    mesh.m_nVertexCount = 0;
    mesh.m_nTriangleCount = 0;
}

// The mesh's vertices as the renderer has them: the vertex buffer (the buffer edits change only
// it) when it can be read, else the vertex array.
std::vector<MeshVertex> CurrentVertices(SceneMesh& mesh)
{
    const size_t nVertices = static_cast<size_t>(std::max(mesh.m_nTriangleCount, 0)) * 3;
    std::vector<MeshVertex> vertices(nVertices, MeshVertex{});
    D3DVERTEXBUFFER_DESC desc{};
    void* pData = nullptr;
    if (mesh.m_pVertexBuffer && SUCCEEDED(mesh.m_pVertexBuffer->GetDesc(&desc)) &&
        desc.Size / sizeof(MeshVertex) >= nVertices &&
        SUCCEEDED(mesh.m_pVertexBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY)))
    {
        std::copy_n(static_cast<const MeshVertex*>(pData), nVertices, vertices.begin());
        mesh.m_pVertexBuffer->Unlock();
    }
    else if (mesh.m_pVertices && mesh.m_nVertexCount >= 0 && static_cast<size_t>(mesh.m_nVertexCount) >= nVertices)
    {
        std::copy_n(mesh.m_pVertices, nVertices, vertices.begin());
    }
    else if (nVertices)
    {
        LogWarning("SceneStore::WriteGeometry() - mesh \"%s\" has neither a readable vertex buffer nor its vertices; "
                   "its triangles are written as zeros.",
                   mesh.m_szName);
    }
    return vertices;
}
}

bool ReadVertexBlock(ByteReader& reader, SceneMesh& mesh)
{
    int32_t nVertices = 0, nTriangles = 0;
    if (!reader.ReadI32(nVertices) || !reader.ReadI32(nTriangles))
    {
        LogWarning("SceneStore::ReadGeometry() - mesh \"%s\" is cut short.", mesh.m_szName);
        return false;
    }
    if (const char* szReason = CheckCounts(nVertices, nTriangles, reader.GetRemaining()))
    {
        LogWarning("SceneStore::ReadGeometry() - mesh \"%s\" (%d vertices, %d triangles) is refused: %s.",
                   mesh.m_szName, nVertices, nTriangles, szReason);
        return false;
    }
    if (!mesh.AllocateTriangles(nTriangles))
    {
        LogWarning("SceneStore::ReadGeometry() - out of memory for the %d triangles of mesh \"%s\".", nTriangles,
                   mesh.m_szName);
        return false;
    }
    for (int32_t i = 0; i < nVertices; ++i)
    {
        MeshVertex& vertex = mesh.m_pVertices[i];
        // The counts were checked against the bytes left, so these reads cannot run out.
        ReadVector3(reader, vertex.vPosition);
        ReadVector3(reader, vertex.vNormal);
        reader.ReadF32(vertex.u);
        reader.ReadF32(vertex.v);
        if (!IsFinite(vertex.vPosition))
        {
            LogWarning("SceneStore::ReadGeometry() - mesh \"%s\" is refused: vertex %d has a position that is not a "
                       "finite number.",
                       mesh.m_szName, i);
            DropVertices(mesh);
            return false;
        }
    }
    SetMeshBounds(mesh);
    return true;
}

void SetMeshBounds(SceneMesh& mesh)
{
    for (int32_t i = 0; i < mesh.m_nVertexCount; ++i)
        GrowBounds(mesh.m_fBounds, mesh.m_pVertices[i].vPosition);
    const float* b = mesh.m_fBounds;
    mesh.m_vOffset = Vector3((b[0] + b[1]) * 0.5f, (b[2] + b[3]) * 0.5f, (b[4] + b[5]) * 0.5f);
    mesh.m_matBase.SetIdentity();
    ComputeBoundingSphere(&mesh);
}

bool CanSaveMesh(const SceneMesh& mesh, const char* szOperation)
{
    if (mesh.m_nTriangleCount > 0)
        return true;
    LogWarning("%s - mesh \"%s\" has no triangles; it is not saved.", szOperation, mesh.m_szName);
    return false;
}

void WriteVertexBlock(ByteWriter& writer, SceneMesh& mesh)
{
    const int32_t nTriangles = std::max(mesh.m_nTriangleCount, 0);
    writer.WriteI32(nTriangles * 3);
    writer.WriteI32(nTriangles);
    const float fWidth = mesh.m_fTextureWidth;
    const float fHeight = mesh.m_fTextureHeight;
    for (const MeshVertex& vertex : CurrentVertices(mesh))
    {
        WriteVector3(writer, vertex.vPosition);
        WriteVector3(writer, vertex.vNormal);
        writer.WriteF32(vertex.u / fWidth);
        writer.WriteF32(vertex.v / fHeight);
    }
}

SceneMesh* ComputeBoundingSphere(SceneMesh* pMesh)
{
    const float* b = pMesh->m_fBounds;
    float fExtent = std::max({b[1] - b[0], b[3] - b[2], b[5] - b[4]});
    pMesh->m_vSphereCentre = pMesh->m_vOffset;
    pMesh->m_fSphereRadius = std::sqrt(3.0f) * fExtent / 2.0f;
    return pMesh;
}
