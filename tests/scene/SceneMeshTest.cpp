#include "MeshFixtures.h"
#include "MeshTestDevice.h"

#include "core/Log.h"
#include "morvyn/morvyn.h"
#include "scene/SceneMesh.h"

#include <d3dx9math.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
// The vertex buffer's contents as the device holds them.
template <typename Vertex>
std::vector<Vertex> ReadBuffer(IDirect3DVertexBuffer9* pBuffer)
{
    std::vector<Vertex> vertices;
    D3DVERTEXBUFFER_DESC desc = {};
    if (!pBuffer || FAILED(pBuffer->GetDesc(&desc)))
        return vertices;
    void* pData = nullptr;
    if (FAILED(pBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY)))
        return vertices;
    const auto* pVertices = static_cast<const Vertex*>(pData);
    vertices.assign(pVertices, pVertices + desc.Size / sizeof(Vertex));
    pBuffer->Unlock();
    return vertices;
}

Vector3 Transform(const Matrix4& m, const Vector3& v)
{
    D3DXMATRIX matrix;
    std::memcpy(static_cast<void*>(&matrix), m.e, sizeof(m.e));
    D3DXVECTOR3 vIn(v.x, v.y, v.z), vOut;
    D3DXVec3TransformCoord(&vOut, &vIn, &matrix);
    return Vector3(vOut.x, vOut.y, vOut.z);
}

void ExpectNear(const Vector3& actual, const Vector3& expected, float fTolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, fTolerance);
    EXPECT_NEAR(actual.y, expected.y, fTolerance);
    EXPECT_NEAR(actual.z, expected.z, fTolerance);
}
}

TEST(SceneMeshTest, NewMeshIsVisibleStillUnitScaledAndEmpty)
{
    SceneMesh mesh;
    EXPECT_EQ(mesh.m_nType, TREE_ITEM_MESH);
    EXPECT_EQ(mesh.m_bVisible, 1);
    EXPECT_EQ(mesh.m_bAutoSpin, 0);
    EXPECT_EQ(mesh.m_vScaling, Vector3(1, 1, 1));
    const float emptyBox[6] = {1.0e10f, -1.0e10f, 1.0e10f, -1.0e10f, 1.0e10f, -1.0e10f};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(mesh.m_fBounds[i], emptyBox[i]) << i;
    EXPECT_EQ(mesh.m_fTextureWidth, 1.0f);
    EXPECT_EQ(mesh.m_fTextureHeight, 1.0f);
    for (int i = 0; i < SceneMesh::LIGHT_SLOTS; ++i)
    {
        EXPECT_EQ(mesh.m_nLightFlags[i], 1);
        EXPECT_EQ(mesh.m_bLitBy[i], 1);
        EXPECT_EQ(mesh.m_bCastsShadow[i], 1);
    }
    EXPECT_STREQ(mesh.m_szPathFile, "NONE");
    EXPECT_FLOAT_EQ(mesh.m_fBoundingRadius, 0.1f);
    EXPECT_EQ(mesh.m_pBodyState, &mesh.m_BodyStates[0]);
    EXPECT_EQ(mesh.m_pNextBodyState, &mesh.m_BodyStates[1]);
    EXPECT_EQ(mesh.m_BodyStates[1].matInverseInertia.e[0], 1.0f);
    EXPECT_EQ(mesh.m_BodyStates[1].matInverseInertia.e[1], 0.0f);
    EXPECT_EQ(mesh.m_pVertexBuffer, nullptr);
}

TEST(SceneMeshTest, AutoSpinAddsThousandthsOfARadianPerCall)
{
    SceneMesh mesh;
    mesh.m_matBase.SetIdentity();
    mesh.m_nSpinSpeed[1] = 10;
    mesh.UpdateWorldMatrix();
    EXPECT_EQ(mesh.m_vAngles.y, 0.0f) << "no spin while AutoSpin is off";
    mesh.m_bAutoSpin = 1;
    // The speeds the tree edits do not drive the spin.
    mesh.m_fSpinSpeed[1] = 5.0f;
    for (int i = 1; i <= 3; ++i)
    {
        mesh.UpdateWorldMatrix();
        EXPECT_NEAR(mesh.m_vAngles.y, 0.01f * static_cast<float>(i), 1e-6f);
    }
    EXPECT_EQ(mesh.m_vAngles.x, 0.0f);
    EXPECT_EQ(mesh.m_vAngles.z, 0.0f);
    // The world matrix turns about y by the accumulated angle.
    ExpectNear(Transform(mesh.m_matWorld, Vector3(1, 0, 0)), Vector3(std::cos(0.03f), 0, -std::sin(0.03f)));
}

TEST(SceneMeshTest, WorldMatrixScalesRotatesThenOffsetsThenAppliesTheBase)
{
    SceneMesh mesh;
    mesh.m_matBase.SetIdentity();
    mesh.m_vScaling = Vector3(2, 2, 2);
    mesh.m_vOffset = Vector3(1, 0, 0);
    mesh.UpdateWorldMatrix();
    ExpectNear(Transform(mesh.m_matWorld, Vector3(0, 0, 0)), Vector3(1, 0, 0));
    ExpectNear(Transform(mesh.m_matWorld, Vector3(1, 0, 0)), Vector3(3, 0, 0));

    // A quarter turn about z, then the base's translation (its fourth row) on top.
    mesh.m_vAngles = Vector3(0, 0, static_cast<float>(M_PI / 2));
    mesh.m_matBase.e[12] = 10.0f;
    mesh.UpdateWorldMatrix();
    ExpectNear(Transform(mesh.m_matWorld, Vector3(1, 0, 0)), Vector3(11, 2, 0));
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(mesh.m_matWorldCopy.e[i], mesh.m_matWorld.e[i]);
        EXPECT_EQ(mesh.m_matWorldCopy2.e[i], mesh.m_matWorld.e[i]);
    }
}

TEST(SceneMeshTest, RelativePlacementFollowsTheParent)
{
    SceneMesh parent, child;
    parent.m_matBase.SetIdentity();
    parent.m_vOffset = Vector3(5, 0, 0);
    parent.UpdateWorldMatrix();
    child.m_vOffset = Vector3(6, 1, 0);
    child.m_nSpinSpeed[2] = 7;
    child.UpdateWorldMatrixRelative(&parent);
    EXPECT_EQ(child.m_nSpinSpeed[2], 0);
    EXPECT_EQ(child.m_vOffset, Vector3(6, 1, 0));
    ExpectNear(Transform(child.m_matWorld, Vector3(0, 0, 0)), Vector3(6, 1, 0));
}

TEST(SceneMeshTest, BoxUploadsItsVerticesBoxLinesAndRepairsAStrayNormal)
{
    MeshTestDevice device;
    ASSERT_NE(device.Get(), nullptr);
    SceneMesh mesh;
    FillMesh(mesh, CubeTriangles(6.0f));
    // Vertex 0 is the cube corner (6, 0, 0); its stored normal is lost.
    mesh.m_pVertices[0].vNormal = Vector3(0, 0, 0);
    mesh.m_vOffset = Vector3(1, 2, 3);
    ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);

    // The repaired normal is the mean of the faces around (6, 0, 0): it points out of that corner.
    const Vector3 vRepaired = mesh.m_pVertices[0].vNormal;
    EXPECT_NEAR(Length(vRepaired), 1.0f, 1e-5f);
    EXPECT_GT(vRepaired.x, 0.0f);
    EXPECT_LT(vRepaired.y, 0.0f);
    EXPECT_LT(vRepaired.z, 0.0f);
    // Valid normals stay as read.
    const std::vector<FixtureTriangle> cube = CubeTriangles(6.0f);
    for (int32_t i = 1; i < mesh.m_nVertexCount; ++i)
        EXPECT_EQ(mesh.m_pVertices[i].vNormal, cube[i / 3].vNormal) << i;

    // Tangent space of the top face (u along x, v along z).
    const MeshVertex& top = mesh.m_pVertices[4 * 3];
    ExpectNear(top.vTangent, Vector3(1, 0, 0), 1e-4f);
    EXPECT_NEAR(std::fabs(top.vBinormal.z), 1.0f, 1e-4f);

    // The device buffer holds the vertex array as repaired.
    std::vector<MeshVertex> uploaded = ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer);
    ASSERT_EQ(uploaded.size(), 36u);
    EXPECT_EQ(std::memcmp(uploaded.data(), mesh.m_pVertices, 36 * sizeof(MeshVertex)), 0);

    EXPECT_FLOAT_EQ(mesh.m_fBoundingRadius, 3.0f);
    D3DVERTEXBUFFER_DESC desc = {};
    ASSERT_EQ(mesh.m_pBoxBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 384u);
    EXPECT_EQ(desc.FVF, 0x42u);
    std::vector<BoxLineVertex> lines = ReadBuffer<BoxLineVertex>(mesh.m_pBoxBuffer);
    ASSERT_EQ(lines.size(), 24u);
    // Line vertex 1 is corner 1 (max x, min y, min z), vertex 23 corner 7 (all max), less the offset.
    EXPECT_EQ(lines[1].vPosition, Vector3(5, -2, -3));
    EXPECT_EQ(lines[23].vPosition, Vector3(5, 4, 3));
    EXPECT_EQ(lines[1].dwColor, 0xFFFFFFFFu);
    // The rigid body moved by the offset.
    EXPECT_EQ(mesh.m_RigidBody.m_vPosition, Vector3(1, 2, 3));
}

TEST(SceneMeshTest, BoundingRadiusIsHalfTheLargestMaximumCoordinate)
{
    MeshTestDevice device;
    SceneMesh mesh;
    FillMesh(mesh, TetrahedronTriangles());
    const float bounds[6] = {-1, 3, -2, 2, 0, 5};
    std::copy(bounds, bounds + 6, mesh.m_fBounds);
    mesh.m_vOffset = Vector3(0.5f, 0, 1);
    ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);
    EXPECT_FLOAT_EQ(mesh.m_fBoundingRadius, 2.5f);
    EXPECT_EQ(mesh.m_vBoxCorners[5], Vector3(2.5f, -2, 4));
    EXPECT_EQ(mesh.m_vBoxCorners[0], Vector3(-1.5f, -2, -1));
}

TEST(SceneMeshTest, CreateVertexBuffersRefusesAnEmptyMeshAndReportsAFailedBuffer)
{
    MeshTestDevice device;
    SetLogEcho(false);
    SceneMesh empty;
    EXPECT_EQ(empty.CreateVertexBuffers(device.Get()), D3DERR_INVALIDCALL);
    SceneMesh mesh;
    FillMesh(mesh, TetrahedronTriangles());
    d3d9test::FailNext(device.Get(), "CreateVertexBuffer");
    EXPECT_EQ(mesh.CreateVertexBuffers(device.Get()), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh.m_pVertexBuffer, nullptr);
    EXPECT_EQ(mesh.m_fBoundingRadius, 0.1f) << "nothing after a failed buffer";
    bool bLogged = false;
    for (const auto& line : GetLogLines())
        bLogged |= line.m_strText.find("FAIL CREATE VERTEX BUFFER") != std::string::npos;
    EXPECT_TRUE(bLogged);
    SetLogEcho(true);
}

TEST(SceneMeshTest, BufferEditsChangeTheDeviceCopyOnly)
{
    MeshTestDevice device;
    SceneMesh mesh;
    FillMesh(mesh, CubeTriangles(6.0f));
    ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);
    const std::vector<MeshVertex> original = ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer);

    EXPECT_EQ(mesh.FlipNormals(), D3D_OK);
    std::vector<MeshVertex> flipped = ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer);
    EXPECT_EQ(flipped[7].vNormal, -original[7].vNormal);
    EXPECT_EQ(mesh.m_pVertices[7].vNormal, original[7].vNormal) << "the vertex array is not edited";
    EXPECT_EQ(mesh.FlipNormals(), D3D_OK);
    EXPECT_EQ(std::memcmp(ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer).data(), original.data(), 36 * 64), 0);

    mesh.m_fTextureWidth = 512.0f;
    mesh.m_fTextureHeight = 256.0f;
    EXPECT_EQ(mesh.NormalizeTexCoords(), D3D_OK);
    EXPECT_FLOAT_EQ(ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer)[2].u, original[2].u / 512.0f);
    EXPECT_EQ(mesh.DenormalizeTexCoords(), D3D_OK);
    std::vector<MeshVertex> restored = ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer);
    for (size_t i = 0; i < restored.size(); ++i)
    {
        EXPECT_NEAR(restored[i].u, original[i].u, 1e-5f);
        EXPECT_NEAR(restored[i].v, original[i].v, 1e-5f);
    }

    EXPECT_EQ(mesh.SetTextureSize(1024.0f, 128.0f), D3D_OK);
    EXPECT_FLOAT_EQ(ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer)[2].u, original[2].u * 2.0f);
    EXPECT_FLOAT_EQ(ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer)[2].v, original[2].v / 2.0f);
    EXPECT_EQ(mesh.m_fTextureWidth, 1024.0f);

    EXPECT_EQ(mesh.ScaleVertices(2, 1, 0.5f), D3D_OK);
    EXPECT_EQ(mesh.TranslateVertices(1, 1, 1), D3D_OK);
    EXPECT_EQ(ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer)[2].vPosition,
              Vector3(original[2].vPosition.x * 2 + 1, original[2].vPosition.y + 1, original[2].vPosition.z * 0.5f + 1));
    EXPECT_EQ(mesh.VisitVertices(0, 0), D3D_OK);
}

TEST(SceneMeshTest, GeneratedTexCoordsSpanTheBoxAndAFlatAxisGivesZero)
{
    MeshTestDevice device;
    SceneMesh mesh;
    // One triangle spanning x 0..10 and z -5..5 (y constant).
    FillMesh(mesh, {{{0, 1, -5}, {10, 1, 5}, {10, 1, -5}, {0, 1, 0}}});
    ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);
    ASSERT_EQ(mesh.GenerateTexCoords(), D3D_OK);
    std::vector<MeshVertex> vertices = ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer);
    EXPECT_EQ(vertices[0].u, 0.0f);
    EXPECT_EQ(vertices[0].v, 0.0f);
    EXPECT_EQ(vertices[1].u, 1.0f);
    EXPECT_EQ(vertices[1].v, 1.0f);
    EXPECT_EQ(vertices[2].v, 0.0f);

    // A wall in the yz plane has no extent in x.
    SceneMesh wall;
    FillMesh(wall, {{{2, 0, 0}, {2, 4, 0}, {2, 0, 4}, {1, 0, 0}}});
    ASSERT_EQ(wall.CreateVertexBuffers(device.Get()), D3D_OK);
    ASSERT_EQ(wall.GenerateTexCoords(), D3D_OK);
    vertices = ReadBuffer<MeshVertex>(wall.m_pVertexBuffer);
    EXPECT_EQ(vertices[2].u, 0.0f);
    EXPECT_EQ(vertices[2].v, 1.0f);
}

TEST(SceneMeshTest, EditsWithoutABufferOrWithAFailedLockChangeNothing)
{
    MeshTestDevice device;
    SceneMesh mesh;
    EXPECT_EQ(mesh.FlipNormals(), D3DERR_INVALIDCALL);
    FillMesh(mesh, TetrahedronTriangles());
    ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);
    const std::vector<MeshVertex> before = ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer);
    d3d9test::FailNext(device.Get(), "Lock");
    EXPECT_EQ(mesh.TranslateVertices(1, 1, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(std::memcmp(ReadBuffer<MeshVertex>(mesh.m_pVertexBuffer).data(), before.data(), before.size() * 64), 0);
}

TEST(SceneMeshTest, SmoothNormals32AveragesTheFacesAtEachPosition)
{
    MeshTestDevice device;
    SceneMesh mesh;
    // Two 32-byte triangles sharing corner (0, 0, 0): one in the xy plane, one in the xz plane,
    // wound so that (b - c) x (a - c) gives +z and +y.
    struct Vertex32
    {
        Vector3 p, n;
        float u, v;
    };
    const Vertex32 vertices[6] = {{{0, 0, 0}, {}, 0, 0}, {{0, 1, 0}, {}, 0, 0}, {{1, 0, 0}, {}, 0, 0},
                                  {{0, 0, 0}, {}, 0, 0}, {{1, 0, 0}, {}, 0, 0}, {{0, 0, 1}, {}, 0, 0}};
    ASSERT_EQ(device.Get()->CreateVertexBuffer(sizeof(vertices), 0, 0, D3DPOOL_DEFAULT, &mesh.m_pVertexBuffer, nullptr),
              D3D_OK);
    void* pData = nullptr;
    ASSERT_EQ(mesh.m_pVertexBuffer->Lock(0, 0, &pData, 0), D3D_OK);
    std::memcpy(pData, vertices, sizeof(vertices));
    mesh.m_pVertexBuffer->Unlock();
    mesh.m_nVertexCount = 6;
    ASSERT_EQ(mesh.SmoothNormals32(), D3D_OK);
    std::vector<Vertex32> result = ReadBuffer<Vertex32>(mesh.m_pVertexBuffer);
    const float h = std::sqrt(0.5f);
    ExpectNear(result[0].n, Vector3(0, h, h));
    ExpectNear(result[1].n, Vector3(0, 0, 1));
    ExpectNear(result[5].n, Vector3(0, 1, 0));
}

TEST(SceneMeshTest, DrawBoundsPlacesTheBoxByTheWorldMatrixAndDrawsTwelveLines)
{
    MeshTestDevice device;
    SceneMesh mesh;
    FillMesh(mesh, CubeTriangles(2.0f));
    ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);
    mesh.m_matBase.SetIdentity();
    mesh.m_vOffset = Vector3(10, 0, 0);
    mesh.UpdateWorldMatrix();
    SetMorvynDevice(device.Get());
    d3d9test::Recorder recorder(device.Get());
    EXPECT_EQ(mesh.DrawBounds(), 0);
    recorder.Stop();
    SetMorvynDevice(nullptr);
    // Corner 7 (2, 2, 2) moved by the offset.
    EXPECT_EQ(mesh.m_vWorldBoxCorners[7], Vector3(12, 2, 2));
    std::vector<BoxLineVertex> lines = ReadBuffer<BoxLineVertex>(mesh.m_pBoxBuffer);
    EXPECT_EQ(lines[23].vPosition, Vector3(12, 2, 2));
    std::vector<std::string> draws = recorder.Texts({"DrawPrimitive", "SetFVF"});
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[1].rfind("DrawPrimitive(", 0), 0u) << draws[1];
    EXPECT_NE(draws[1].find("12"), std::string::npos) << draws[1];
}
