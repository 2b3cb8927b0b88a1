// Box, sphere and cylinder meshes: counts, sizes, normals, winding and topology.
#include "MathTestUtil.h"
#include "TestDevice.h"

#include <d3dx9shape.h>

#include <cmath>
#include <vector>

namespace
{

struct Vertex
{
    D3DXVECTOR3 position, normal;
};

struct ShapeData
{
    std::vector<Vertex> vertices;
    std::vector<WORD> indices;
};

ShapeData ReadShape(ID3DXMesh* mesh)
{
    ShapeData data;
    void* p = nullptr;
    EXPECT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &p), D3D_OK);
    data.vertices.assign(static_cast<Vertex*>(p), static_cast<Vertex*>(p) + mesh->GetNumVertices());
    mesh->UnlockVertexBuffer();
    EXPECT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &p), D3D_OK);
    data.indices.assign(static_cast<WORD*>(p), static_cast<WORD*>(p) + 3 * mesh->GetNumFaces());
    mesh->UnlockIndexBuffer();
    return data;
}

// (b - a) x (c - a) of each face, which for a clockwise front face points out of the front.
D3DXVECTOR3 FaceNormal(const ShapeData& s, size_t face)
{
    const D3DXVECTOR3& a = s.vertices[s.indices[3 * face]].position;
    const D3DXVECTOR3 e1 = s.vertices[s.indices[3 * face + 1]].position - a;
    const D3DXVECTOR3 e2 = s.vertices[s.indices[3 * face + 2]].position - a;
    D3DXVECTOR3 n;
    return *D3DXVec3Cross(&n, &e1, &e2);
}

D3DXVECTOR3 FaceCentre(const ShapeData& s, size_t face)
{
    return (s.vertices[s.indices[3 * face]].position + s.vertices[s.indices[3 * face + 1]].position +
            s.vertices[s.indices[3 * face + 2]].position) / 3.0f;
}

int CountOpenEdges(ID3DXMesh* mesh)
{
    std::vector<DWORD> adjacency(3 * mesh->GetNumFaces());
    EXPECT_EQ(mesh->GenerateAdjacency(0.0f, adjacency.data()), D3D_OK);
    int open = 0;
    for (DWORD a : adjacency)
        open += a == UNUSED32;
    return open;
}

void ExpectShapeFormat(ID3DXMesh* mesh)
{
    EXPECT_EQ(mesh->GetFVF(), (DWORD)(D3DFVF_XYZ | D3DFVF_NORMAL));
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 24u);
    EXPECT_EQ(mesh->GetOptions() & D3DXMESH_32BIT, 0u);
    D3DVERTEXELEMENT9 decl[MAX_FVF_DECL_SIZE];
    ASSERT_EQ(mesh->GetDeclaration(decl), D3D_OK);
    EXPECT_EQ(decl[0].Usage, D3DDECLUSAGE_POSITION);
    EXPECT_EQ(decl[0].Type, D3DDECLTYPE_FLOAT3);
    EXPECT_EQ(decl[0].Offset, 0);
    EXPECT_EQ(decl[1].Usage, D3DDECLUSAGE_NORMAL);
    EXPECT_EQ(decl[1].Type, D3DDECLTYPE_FLOAT3);
    EXPECT_EQ(decl[1].Offset, 12);
    EXPECT_EQ(decl[2].Stream, 0xFF);
    DWORD tableSize = 0;
    mesh->GetAttributeTable(nullptr, &tableSize);
    EXPECT_EQ(tableSize, 1u);
}

TEST(D3DXShapes, SphereCountsRadiusAndNormals)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    struct Case
    {
        float radius;
        UINT slices, stacks;
    };
    for (const Case& c : {Case{1, 8, 8}, Case{2.5f, 32, 24}, Case{0.5f, 32, 32}, Case{1, 16, 16}})
    {
        SCOPED_TRACE(c.slices * 100 + c.stacks);
        ID3DXMesh* mesh = nullptr;
        ASSERT_EQ(D3DXCreateSphere(device.get(), c.radius, c.slices, c.stacks, &mesh, nullptr), D3D_OK);
        EXPECT_EQ(mesh->GetNumVertices(), c.slices * (c.stacks - 1) + 2);
        EXPECT_EQ(mesh->GetNumFaces(), 2 * c.slices * (c.stacks - 1));
        ExpectShapeFormat(mesh);
        EXPECT_EQ(CountOpenEdges(mesh), 0); // closed

        const ShapeData s = ReadShape(mesh);
        for (const Vertex& v : s.vertices)
        {
            EXPECT_NEAR(D3DXVec3Length(&v.position), c.radius, 1e-5f);
            ExpectVectorNear(v.normal, v.position / c.radius);
        }
        // Pole +z first, then the first ring from +x towards +y, pole -z last.
        ExpectVectorNear(s.vertices.front().position, D3DXVECTOR3(0, 0, c.radius));
        ExpectVectorNear(s.vertices.back().position, D3DXVECTOR3(0, 0, -c.radius));
        const float theta = D3DX_PI / c.stacks;
        ExpectVectorNear(s.vertices[1].position,
                         D3DXVECTOR3(c.radius * std::sin(theta), 0, c.radius * std::cos(theta)));
        EXPECT_GT(s.vertices[2].position.y, 0.0f);
        // Every face turns its front outwards.
        for (size_t f = 0; f < s.indices.size() / 3; ++f)
        {
            const D3DXVECTOR3 n = FaceNormal(s, f), centre = FaceCentre(s, f);
            EXPECT_GT(D3DXVec3Dot(&n, &centre), 0.0f) << "face " << f;
        }
        mesh->Release();
    }
}

TEST(D3DXShapes, BoxFacesAndExtents)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateBox(device.get(), 2, 4, 6, &mesh, nullptr), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 24u);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    ExpectShapeFormat(mesh);
    EXPECT_EQ(CountOpenEdges(mesh), 0); // corners weld at epsilon 0

    const ShapeData s = ReadShape(mesh);
    const D3DXVECTOR3 half(1, 2, 3);
    int normalsPerAxis[6] = {};
    for (const Vertex& v : s.vertices)
    {
        EXPECT_NEAR(std::fabs(v.position.x), half.x, 1e-6f);
        EXPECT_NEAR(std::fabs(v.position.y), half.y, 1e-6f);
        EXPECT_NEAR(std::fabs(v.position.z), half.z, 1e-6f);
        EXPECT_FLOAT_EQ(D3DXVec3Length(&v.normal), 1.0f);
        // The normal is the axis of the face the vertex lies on, pointing away from the centre.
        const float along = D3DXVec3Dot(&v.normal, &v.position);
        const float axisHalf = std::fabs(v.normal.x) * half.x + std::fabs(v.normal.y) * half.y +
                               std::fabs(v.normal.z) * half.z;
        EXPECT_FLOAT_EQ(along, axisHalf);
        const int axis = v.normal.x != 0 ? 0 : v.normal.y != 0 ? 1 : 2;
        const float sign = v.normal.x + v.normal.y + v.normal.z;
        normalsPerAxis[2 * axis + (sign < 0)]++;
    }
    for (int count : normalsPerAxis)
        EXPECT_EQ(count, 4);
    for (size_t f = 0; f < 12; ++f)
    {
        D3DXVECTOR3 n = FaceNormal(s, f);
        D3DXVec3Normalize(&n, &n);
        ExpectVectorNear(n, s.vertices[s.indices[3 * f]].normal);
    }
    mesh->Release();

    // A zero size is a valid, flat box.
    ASSERT_EQ(D3DXCreateBox(device.get(), 0, 0, 0, &mesh, nullptr), D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    mesh->Release();
}

TEST(D3DXShapes, CylinderIsAnOpenConeWall)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    const float r1 = 1, r2 = 2, length = 10;
    const UINT slices = 64, stacks = 10;
    ID3DXMesh* mesh = nullptr;
    LPD3DXBUFFER adjacency = nullptr;
    ASSERT_EQ(D3DXCreateCylinder(device.get(), r1, r2, length, slices, stacks, &mesh, &adjacency), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), slices * (stacks + 1));
    EXPECT_EQ(mesh->GetNumFaces(), 2 * slices * stacks);
    ExpectShapeFormat(mesh);
    // Open at both ends: the two end rings are edges with no neighbour.
    ASSERT_NE(adjacency, nullptr);
    EXPECT_EQ(adjacency->GetBufferSize(), 3 * mesh->GetNumFaces() * sizeof(DWORD));
    int open = 0;
    for (DWORD i = 0; i < 3 * mesh->GetNumFaces(); ++i)
        open += static_cast<DWORD*>(adjacency->GetBufferPointer())[i] == UNUSED32;
    EXPECT_EQ(open, (int)(2 * slices));
    adjacency->Release();

    const ShapeData s = ReadShape(mesh);
    // The wall's outward normal (L cos φ, L sin φ, r1 - r2) / |…|: radial part 10/√101, z -1/√101.
    const float radial = length / std::sqrt(length * length + 1), lean = (r1 - r2) / std::sqrt(length * length + 1);
    for (UINT ring = 0; ring <= stacks; ++ring)
        for (UINT slice = 0; slice < slices; ++slice)
        {
            const Vertex& v = s.vertices[ring * slices + slice];
            const float z = -length / 2 + length * ring / stacks;
            EXPECT_NEAR(v.position.z, z, 1e-5f);
            EXPECT_NEAR(std::hypot(v.position.x, v.position.y), r1 + (r2 - r1) * ring / stacks, 1e-5f);
            EXPECT_NEAR(std::hypot(v.normal.x, v.normal.y), radial, 1e-5f);
            EXPECT_NEAR(v.normal.z, lean, 1e-5f);
            EXPECT_GT(v.normal.x * v.position.x + v.normal.y * v.position.y, 0.0f);
        }
    for (size_t f = 0; f < s.indices.size() / 3; ++f)
    {
        const D3DXVECTOR3 n = FaceNormal(s, f), c = FaceCentre(s, f);
        EXPECT_GT(n.x * c.x + n.y * c.y, 0.0f) << "face " << f;
    }
    mesh->Release();
}

TEST(D3DXShapes, RefusedSizesAndCounts)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXCreateBox(device.get(), -1, 1, 1, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(device.get(), -0.5f, 8, 8, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(device.get(), 1, 2, 8, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(device.get(), 1, 8, 1, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateCylinder(device.get(), -1, 1, 1, 8, 1, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateCylinder(device.get(), 1, 1, -1, 8, 1, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateCylinder(device.get(), 1, 1, 1, 8, 0, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateBox(nullptr, 1, 1, 1, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);

    // Radius 0 is accepted: every position at the centre, the normals still unit.
    ASSERT_EQ(D3DXCreateSphere(device.get(), 0, 8, 4, &mesh, nullptr), D3D_OK);
    const ShapeData s = ReadShape(mesh);
    for (const Vertex& v : s.vertices)
    {
        EXPECT_TRUE(v.position == D3DXVECTOR3(0, 0, 0));
        EXPECT_NEAR(D3DXVec3Length(&v.normal), 1.0f, 1e-6f);
    }
    mesh->Release();
}

} // namespace
