// ID3DXMesh: vertex formats, drawing subsets, cloning, normals, bounds and in-place optimisation.
#include "MathTestUtil.h"
#include "TestDevice.h"

#include <d3d9/testing.h>
#include <d3dx9shape.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{

TEST(D3DXFvf, VertexSizes)
{
    struct Case
    {
        DWORD fvf;
        UINT size;
    };
    const Case cases[] = {
        {0x42, 16},  // XYZ | DIFFUSE
        {0x12, 24},  // XYZ | NORMAL
        {0x112, 32}, // XYZ | NORMAL | TEX1
        {0x144, 28}, // XYZRHW | DIFFUSE | TEX1
        {D3DFVF_XYZW, 16},
        {D3DFVF_XYZ | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0), 24},
        {D3DFVF_XYZ | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE1(1), 24},
        {D3DFVF_XYZB4 | D3DFVF_LASTBETA_UBYTE4 | D3DFVF_NORMAL, 40},
        {D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_SPECULAR, 20},
    };
    for (const Case& c : cases)
        EXPECT_EQ(D3DXGetFVFVertexSize(c.fvf), c.size) << std::hex << c.fvf;
}

TEST(D3DXFvf, DeclarationFromFvf)
{
    D3DVERTEXELEMENT9 decl[MAX_FVF_DECL_SIZE];
    ASSERT_EQ(D3DXDeclaratorFromFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1, decl), D3D_OK);
    struct Expected
    {
        WORD offset;
        BYTE type, usage, usageIndex;
    };
    const Expected expected[] = {
        {0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0},
        {16, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0},
        {20, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1},
        {24, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0},
    };
    for (size_t i = 0; i < 4; ++i)
    {
        EXPECT_EQ(decl[i].Stream, 0);
        EXPECT_EQ(decl[i].Offset, expected[i].offset);
        EXPECT_EQ(decl[i].Type, expected[i].type);
        EXPECT_EQ(decl[i].Usage, expected[i].usage);
        EXPECT_EQ(decl[i].UsageIndex, expected[i].usageIndex);
    }
    EXPECT_EQ(decl[4].Stream, 0xFF);
    EXPECT_EQ(decl[4].Type, D3DDECLTYPE_UNUSED);
}

// A mesh of two unit quads side by side at z = 0.5: faces 0-1 cover x in [-1, 0] (subset 1),
// faces 2-3 cover [0, 1] (subset 0); vertex 8 is used by no face.
ID3DXMesh* MakeTwoQuads(IDirect3DDevice9* device, DWORD options)
{
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXCreateMeshFVF(4, 9, options, D3DFVF_XYZ, device, &mesh)))
        return nullptr;
    const D3DXVECTOR3 positions[9] = {{-1, -1, 0.5f}, {-1, 1, 0.5f}, {0, 1, 0.5f}, {0, -1, 0.5f}, {0, -1, 0.5f},
                                      {0, 1, 0.5f},   {1, 1, 0.5f},  {1, -1, 0.5f}, {7, 7, 7}};
    const WORD indices[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
    const DWORD attributes[4] = {1, 1, 0, 0};
    void* p = nullptr;
    mesh->LockVertexBuffer(0, &p);
    std::memcpy(p, positions, sizeof(positions));
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(0, &p);
    std::memcpy(p, indices, sizeof(indices));
    mesh->UnlockIndexBuffer();
    DWORD* a = nullptr;
    mesh->LockAttributeBuffer(0, &a);
    std::memcpy(a, attributes, sizeof(attributes));
    mesh->UnlockAttributeBuffer();
    return mesh;
}

// The draw calls DrawSubset makes, as the device's recorder writes them.
std::vector<std::string> DrawCalls(IDirect3DDevice9* device, ID3DXMesh* mesh, DWORD subset)
{
    d3d9test::Recorder recorder(device);
    mesh->DrawSubset(subset);
    recorder.Stop();
    return recorder.Texts({"DrawIndexedPrimitive"});
}

TEST(D3DXMesh, DrawSubsetDrawsOnlyThatSubset)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    ID3DXMesh* mesh = MakeTwoQuads(device.get(), D3DXMESH_MANAGED);
    ASSERT_NE(mesh, nullptr);
    using Calls = std::vector<std::string>;
    // The mesh sets its own vertex format, whatever was set before.
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    DrawCalls(device.get(), mesh, 0);
    DWORD fvf = 0;
    device->GetFVF(&fvf);
    EXPECT_EQ(fvf, (DWORD)D3DFVF_XYZ);
    // Without an attribute table each run of the subset's faces is drawn over all vertices.
    EXPECT_EQ(DrawCalls(device.get(), mesh, 1), (Calls{"DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 9, 0, 2)"}));
    EXPECT_EQ(DrawCalls(device.get(), mesh, 0), (Calls{"DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 9, 6, 2)"}));
    EXPECT_EQ(DrawCalls(device.get(), mesh, 5), Calls{});
    // With the table that sorting builds, only the vertices each subset uses.
    ASSERT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(DrawCalls(device.get(), mesh, 0), (Calls{"DrawIndexedPrimitive(TRIANGLELIST, 0, 4, 4, 0, 2)"}));
    EXPECT_EQ(DrawCalls(device.get(), mesh, 1), (Calls{"DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 4, 6, 2)"}));
    mesh->Release();
}

TEST(D3DXMesh, OptimizeSortsAndCompacts)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    ID3DXMesh* mesh = MakeTwoQuads(device.get(), D3DXMESH_SYSTEMMEM);
    ASSERT_NE(mesh, nullptr);
    std::vector<DWORD> adjacencyIn(12), adjacencyOut(12);
    ASSERT_EQ(mesh->GenerateAdjacency(0.0f, adjacencyIn.data()), D3D_OK);
    // Faces 0|1 and 2|3 share a diagonal; 1 and 2 share the middle edge (vertices 2,3 = 5,4).
    EXPECT_EQ(adjacencyIn[3 * 1 + 1], 2u);

    DWORD faceRemap[4];
    LPD3DXBUFFER vertexRemap = nullptr;
    ASSERT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE,
                                    adjacencyIn.data(), adjacencyOut.data(), faceRemap, &vertexRemap),
              D3D_OK);
    // Subset 0's faces come first, each subset keeping its order.
    const DWORD expectedFaces[4] = {2, 3, 0, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(faceRemap[i], expectedFaces[i]);
    // The unused vertex is gone; the rest are numbered in order of first use.
    EXPECT_EQ(mesh->GetNumVertices(), 8u);
    ASSERT_NE(vertexRemap, nullptr);
    const DWORD expectedVertices[8] = {4, 5, 6, 7, 0, 1, 2, 3};
    EXPECT_EQ(vertexRemap->GetBufferSize(), sizeof(expectedVertices));
    EXPECT_EQ(std::memcmp(vertexRemap->GetBufferPointer(), expectedVertices, sizeof(expectedVertices)), 0);
    vertexRemap->Release();

    D3DXATTRIBUTERANGE table[2];
    DWORD tableSize = 0;
    mesh->GetAttributeTable(nullptr, &tableSize);
    ASSERT_EQ(tableSize, 2u);
    mesh->GetAttributeTable(table, &tableSize);
    EXPECT_EQ(table[0].AttribId, 0u);
    EXPECT_EQ(table[0].FaceStart, 0u);
    EXPECT_EQ(table[0].FaceCount, 2u);
    EXPECT_EQ(table[0].VertexStart, 0u);
    EXPECT_EQ(table[0].VertexCount, 4u);
    EXPECT_EQ(table[1].AttribId, 1u);
    EXPECT_EQ(table[1].FaceStart, 2u);
    EXPECT_EQ(table[1].VertexStart, 4u);
    EXPECT_EQ(table[1].VertexCount, 4u);

    // Positions follow their vertices; adjacency follows its faces (old 1 - old 2 is now 3 - 0).
    void* p = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &p), D3D_OK);
    ExpectVectorNear(static_cast<D3DXVECTOR3*>(p)[0], D3DXVECTOR3(0, -1, 0.5f));
    ExpectVectorNear(static_cast<D3DXVECTOR3*>(p)[6], D3DXVECTOR3(0, 1, 0.5f));
    mesh->UnlockVertexBuffer();
    EXPECT_EQ(adjacencyOut[3 * 3 + 1], 0u);
    mesh->Release();
}

TEST(D3DXMesh, CloneChangesTheFormatAndKeepsSharedElements)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    ID3DXMesh* sphere = nullptr;
    ASSERT_EQ(D3DXCreateSphere(device.get(), 2, 6, 4, &sphere, nullptr), D3D_OK);
    ID3DXMesh* clone = nullptr;
    ASSERT_EQ(sphere->CloneMeshFVF(D3DXMESH_SYSTEMMEM, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, device.get(), &clone),
              D3D_OK);
    EXPECT_EQ(clone->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(clone->GetOptions(), (DWORD)D3DXMESH_SYSTEMMEM);
    EXPECT_EQ(clone->GetNumFaces(), sphere->GetNumFaces());

    void *from = nullptr, *to = nullptr;
    ASSERT_EQ(sphere->LockVertexBuffer(D3DLOCK_READONLY, &from), D3D_OK);
    ASSERT_EQ(clone->LockVertexBuffer(D3DLOCK_READONLY, &to), D3D_OK);
    for (DWORD v = 0; v < sphere->GetNumVertices(); ++v)
    {
        const float* a = static_cast<const float*>(from) + 6 * v;
        const float* b = static_cast<const float*>(to) + 8 * v;
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(a[i], b[i]);
        EXPECT_EQ(b[6], 0.0f);
        EXPECT_EQ(b[7], 0.0f);
    }
    clone->UnlockVertexBuffer();
    sphere->UnlockVertexBuffer();
    clone->Release();
    sphere->Release();
}

TEST(D3DXMesh, ComputeNormalsRestoresShapeNormals)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateBox(device.get(), 1, 2, 3, &box, nullptr), D3D_OK);
    std::vector<float> original(6 * 24);
    void* p = nullptr;
    ASSERT_EQ(box->LockVertexBuffer(0, &p), D3D_OK);
    std::memcpy(original.data(), p, original.size() * sizeof(float));
    for (int v = 0; v < 24; ++v)
        std::memset(static_cast<float*>(p) + 6 * v + 3, 0, 3 * sizeof(float));
    box->UnlockVertexBuffer();

    // Each box vertex belongs to one face only, so the face normal comes back exactly.
    ASSERT_EQ(D3DXComputeNormals(box, nullptr), D3D_OK);
    ASSERT_EQ(box->LockVertexBuffer(D3DLOCK_READONLY, &p), D3D_OK);
    for (int i = 0; i < 6 * 24; ++i)
        EXPECT_NEAR(static_cast<float*>(p)[i], original[i], 1e-6f);
    box->UnlockVertexBuffer();
    box->Release();

    // A mesh without normals cannot get them.
    ID3DXMesh* bare = MakeTwoQuads(device.get(), D3DXMESH_MANAGED);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(D3DXComputeNormals(bare, nullptr), D3DERR_INVALIDCALL);
    bare->Release();
}

TEST(D3DXMesh, BoundingSphereAndBox)
{
    // Positions every 16 bytes: a corner of a tetrahedron and the three axis points.
    const float data[4][4] = {{0, 0, 0, 99}, {2, 0, 0, 99}, {0, 2, 0, 99}, {0, 0, 2, 99}};
    const D3DXVECTOR3* first = reinterpret_cast<const D3DXVECTOR3*>(data[0]);
    D3DXVECTOR3 centre, low, high;
    float radius = 0;
    ASSERT_EQ(D3DXComputeBoundingSphere(first, 4, 16, &centre, &radius), D3D_OK);
    ExpectVectorNear(centre, D3DXVECTOR3(0.5f, 0.5f, 0.5f));
    EXPECT_NEAR(radius, std::sqrt(2.75f), 1e-6f); // |(1.5, -0.5, -0.5)|
    ASSERT_EQ(D3DXComputeBoundingBox(first, 4, 16, &low, &high), D3D_OK);
    ExpectVectorNear(low, D3DXVECTOR3(0, 0, 0));
    ExpectVectorNear(high, D3DXVECTOR3(2, 2, 2));
    EXPECT_EQ(D3DXComputeBoundingSphere(first, 0, 16, &centre, &radius), D3DERR_INVALIDCALL);
}

} // namespace

namespace
{

TEST(D3DXMesh, ReleaseFreesEveryDeviceObject)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    const size_t before = d3d9test::LiveObjects().size();
    ID3DXMesh *sphere = nullptr, *clone = nullptr;
    ASSERT_EQ(D3DXCreateSphere(device.get(), 1, 8, 8, &sphere, nullptr), D3D_OK);
    ASSERT_EQ(sphere->CloneMeshFVF(D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT, D3DFVF_XYZ, device.get(), &clone), D3D_OK);
    // Compacting welds nothing here but replaces the buffers when vertices go unused.
    ID3DXMesh* quads = MakeTwoQuads(device.get(), D3DXMESH_MANAGED);
    ASSERT_NE(quads, nullptr);
    ASSERT_EQ(quads->OptimizeInplace(D3DXMESHOPT_COMPACT, nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(quads->GetNumVertices(), 8u);
    EXPECT_GT(d3d9test::LiveObjects().size(), before);
    quads->Release();
    clone->Release();
    EXPECT_EQ(sphere->Release(), 0u);
    EXPECT_EQ(d3d9test::LiveObjects().size(), before);
}

} // namespace
