#include "MeshFixtures.h"
#include "MeshTestDevice.h"

#include "scene/SceneMesh.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SceneMeshVolumeTest, ClosedTetrahedronGivesFacesAndOneTrianglePerEdgeSide)
{
    MeshTestDevice device;
    SceneMesh mesh;
    FillMesh(mesh, TetrahedronTriangles());
    ASSERT_EQ(mesh.BuildShadowVolume(device.Get()), D3D_OK);
    // 4 faces and 6 edges seen from both sides: (4 + 12) triangles of 3 vertices.
    EXPECT_EQ(mesh.m_nShadowTriangles, 16);
    ASSERT_NE(mesh.m_pShadowVolumeBuffer, nullptr);
    D3DVERTEXBUFFER_DESC desc = {};
    ASSERT_EQ(mesh.m_pShadowVolumeBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 48u * sizeof(ShadowVolumeVertex));
    for (int32_t bCasts : mesh.m_bCastsShadow)
        EXPECT_EQ(bCasts, 1);

    void* pData = nullptr;
    ASSERT_EQ(mesh.m_pShadowVolumeBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY), D3D_OK);
    std::vector<ShadowVolumeVertex> vertices(static_cast<const ShadowVolumeVertex*>(pData),
                                             static_cast<const ShadowVolumeVertex*>(pData) + 48);
    mesh.m_pShadowVolumeBuffer->Unlock();
    // The first face (a, c, b) with its normal turned inwards, then its edge a-c shared with
    // face (a, d, c), run from c to a: that edge's corners carry the first face's normal, the neighbour's corner
    // at c carries the neighbour's.
    EXPECT_EQ(vertices[0].vPosition, Vector3(0, 0, 0));
    EXPECT_EQ(vertices[1].vPosition, Vector3(0, 1, 0));
    EXPECT_EQ(vertices[0].vNormal, Vector3(0, 0, 1));
    EXPECT_EQ(vertices[3].vPosition, Vector3(0, 1, 0));
    EXPECT_EQ(vertices[4].vPosition, Vector3(0, 0, 0));
    EXPECT_EQ(vertices[4].vNormal, Vector3(0, 0, 1));
    EXPECT_EQ(vertices[5].vPosition, Vector3(0, 1, 0));
    EXPECT_EQ(vertices[5].vNormal, Vector3(1, 0, 0));
}

TEST(SceneMeshVolumeTest, OpenTriangleCastsNoShadowAndGetsNoBuffer)
{
    MeshTestDevice device;
    SceneMesh mesh;
    FillMesh(mesh, {TetrahedronTriangles()[0]});
    EXPECT_EQ(mesh.BuildShadowVolume(device.Get()), D3D_OK);
    EXPECT_EQ(mesh.m_nShadowTriangles, 1);
    EXPECT_EQ(mesh.m_pShadowVolumeBuffer, nullptr);
    for (int32_t bCasts : mesh.m_bCastsShadow)
        EXPECT_EQ(bCasts, 0);
}

TEST(SceneMeshVolumeTest, ParticleBufferHoldsEightyFourBytesPerTriangle)
{
    MeshTestDevice device;
    SceneMesh mesh;
    mesh.AllocateTriangles(100);
    ASSERT_EQ(mesh.CreateParticleVertexBuffer(device.Get()), D3D_OK);
    D3DVERTEXBUFFER_DESC desc = {};
    ASSERT_EQ(mesh.m_pParticleBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 8400u);
    EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY));
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
}

TEST(SceneMeshVolumeTest, MeshReleasesEveryBufferItMade)
{
    MeshTestDevice device;
    const int nBefore = MeshTestDevice::LiveCount("VertexBuffer");
    {
        SceneMesh mesh;
        FillMesh(mesh, TetrahedronTriangles());
        ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);
        // Uploading again replaces the buffers instead of leaking them.
        ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);
        ASSERT_EQ(mesh.BuildShadowVolume(device.Get()), D3D_OK);
        ASSERT_EQ(mesh.CreateParticleVertexBuffer(device.Get()), D3D_OK);
        EXPECT_EQ(MeshTestDevice::LiveCount("VertexBuffer"), nBefore + 4);
    }
    EXPECT_EQ(MeshTestDevice::LiveCount("VertexBuffer"), nBefore);
}

namespace
{
// Two unit-mass-ten bodies: the other's world box is [0, 2]^3; this one's box is 1.6 wide and
// stops 0.2 short of the other's min-x face, moving towards it at 1 unit per second.
void PlaceTouchingBoxes(SceneMesh& self, SceneMesh& other, float fGap)
{
    other.m_vOffset = Vector3(1, 1, 1);
    other.m_fBoundingRadius = 2.0f;
    for (int i = 0; i < 8; ++i)
        other.m_vWorldBoxCorners[i] = Vector3((i & 1) ? 2.0f : 0.0f, (i & 2) ? 2.0f : 0.0f, (i & 4) ? 2.0f : 0.0f);
    self.m_vOffset = Vector3(-1 - fGap, 1, 1);
    self.m_fBoundingRadius = 2.0f;
    for (int i = 0; i < 8; ++i)
        self.m_vWorldBoxCorners[i] = Vector3((i & 1) ? -fGap : -1.6f - fGap, (i & 2) ? 1.8f : 0.2f, (i & 4) ? 1.8f : 0.2f);
    self.m_pNextBodyState->vPosition = self.m_vOffset;
    self.m_pNextBodyState->vVelocity = Vector3(1, 0, 0);
    other.m_pBodyState->vPosition = other.m_vOffset;
}
}

TEST(SceneMeshVolumeTest, CollisionPushesBothBodiesApartAndKeepsMomentum)
{
    SceneMesh self, other;
    PlaceTouchingBoxes(self, other, 0.2f);
    EXPECT_EQ(self.Collide(&other), 0);
    const MeshBodyState& s = *self.m_pNextBodyState;
    const MeshBodyState& o = *other.m_pBodyState;
    EXPECT_LT(s.vVelocity.x, 1.0f) << "this body is slowed";
    EXPECT_GT(o.vVelocity.x, 0.0f) << "the other is pushed away along +x";
    // Equal and opposite impulses: the total momentum stays 10 x (1, 0, 0).
    Vector3 vMomentum = s.vVelocity * self.m_fBodyMass + o.vVelocity * other.m_fBodyMass;
    EXPECT_NEAR(vMomentum.x, 10.0f, 1e-4f);
    EXPECT_NEAR(vMomentum.y, 0.0f, 1e-4f);
    EXPECT_NEAR(vMomentum.z, 0.0f, 1e-4f);
    // Only this body's next state and the other's current state take part.
    EXPECT_EQ(self.m_pBodyState->vVelocity, Vector3(0, 0, 0));
    EXPECT_EQ(other.m_pNextBodyState->vVelocity, Vector3(0, 0, 0));
}

TEST(SceneMeshVolumeTest, DistantOrSeparatingBodiesDoNotCollide)
{
    SceneMesh self, other;
    PlaceTouchingBoxes(self, other, 0.2f);
    self.m_vOffset = Vector3(-10, 1, 1);
    EXPECT_EQ(self.Collide(&other), 0);
    EXPECT_EQ(self.m_pNextBodyState->vVelocity, Vector3(1, 0, 0));
    EXPECT_EQ(other.m_pBodyState->vVelocity, Vector3(0, 0, 0));

    // Moving away from the face: no impulse.
    SceneMesh away, still;
    PlaceTouchingBoxes(away, still, 0.2f);
    away.m_pNextBodyState->vVelocity = Vector3(-1, 0, 0);
    away.Collide(&still);
    EXPECT_EQ(away.m_pNextBodyState->vVelocity, Vector3(-1, 0, 0));
    EXPECT_EQ(still.m_pBodyState->vVelocity, Vector3(0, 0, 0));

    // Corners farther than 0.4 from the face do not touch it.
    SceneMesh gapSelf, gapOther;
    PlaceTouchingBoxes(gapSelf, gapOther, 0.5f);
    gapSelf.Collide(&gapOther);
    EXPECT_EQ(gapSelf.m_pNextBodyState->vVelocity, Vector3(1, 0, 0));
}

TEST(SceneMeshVolumeTest, ChildrenAreOwnedByTheMeshAndRemovedByNameIgnoringCase)
{
    SceneMesh mesh;
    SceneObject a1, a2, b, a3;
    a1.SetName("a");
    a2.SetName("A");
    b.SetName("b");
    a3.SetName("a");
    EXPECT_EQ(mesh.AddChild(&a1), 0);
    EXPECT_EQ(mesh.AddChild(&a2), 1);
    EXPECT_EQ(mesh.AddChild(&b), 2);
    EXPECT_EQ(mesh.AddChild(nullptr), 3);
    EXPECT_EQ(mesh.AddChild(&a3), 4);
    EXPECT_EQ(a1.m_pOwner, &mesh);

    EXPECT_EQ(mesh.RemoveChild("nobody"), 5);
    // Adjacent matches (a, A) both go, as does the later one past the null entry.
    EXPECT_EQ(mesh.RemoveChild("a"), 2);
    EXPECT_EQ(mesh.m_Children.Get(0), &b);
    EXPECT_EQ(mesh.m_Children.Get(1), nullptr);
    EXPECT_EQ(mesh.RemoveChildAt(0), 0);
    EXPECT_EQ(mesh.m_Children.GetCount(), 1u);
    EXPECT_TRUE(mesh.AcceptAll());
}
