// The particle system on a mesh: Init's clock, defaults and particle buffer; Update's triangles
// and the refill of the mesh's vertex buffer.
#include "scene/ParticleSystem.h"

#include "3dapi/RenderTimer.h"
#include "core/CoreHooks.h"
#include "MeshFixtures.h"
#include "MeshTestDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace
{
constexpr int64_t FREQUENCY = 1000000;   // microsecond ticks

class ParticleMeshTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetClockSource({[this] { return m_nNow; }, FREQUENCY});
        ResetRenderTimer();
        RenderTimerCommand(TimerStart);
        g_fEmitterAzimuth = 0.0f;
        g_fEmitterElevation = 180.0f;
        m_pSystem = std::make_unique<ParticleSystem>();
    }
    void TearDown() override
    {
        SetClockSource({});
        ResetRenderTimer();
    }

    int64_t m_nNow = 3 * FREQUENCY;
    std::unique_ptr<ParticleSystem> m_pSystem;
};

// A live particle that does not move in a step of 0 s.
void MakeAlive(Particle& p, ParticleSystem* pSystem, const Vector3& vPosition, const Vector3& vVelocity, float fSize)
{
    p.SetSystem(pSystem);
    p.m_fAge = 0.0f;
    p.m_fLife = 100.0f;
    p.m_fSize = fSize;
    p.m_vPosition = vPosition;
    p.m_vVelocity = vVelocity;
}

// The corner turned into the basis of a camera looking along the velocity with y up: the
// transposed view matrix sends a point to x c.x + y c.y + z c.z.
Vector3 Turn(const Vector3& c, const Vector3& vVelocity)
{
    Vector3 z = Normalized(vVelocity);
    Vector3 x = Normalized(Cross(Vector3(0, 1, 0), z));
    Vector3 y = Cross(z, x);
    return c.x * x + c.y * y + c.z * z;
}

void ExpectNear(const Vector3& a, const Vector3& b, const char* szWhat)
{
    EXPECT_NEAR(a.x, b.x, 1e-4) << szWhat;
    EXPECT_NEAR(a.y, b.y, 1e-4) << szWhat;
    EXPECT_NEAR(a.z, b.z, 1e-4) << szWhat;
}
}

TEST_F(ParticleMeshTest, InitStartsTheClockLoadsDefaultsAndMakesTheBuffer)
{
    MeshTestDevice device;
    SceneMesh mesh;
    mesh.AllocateTriangles(100);
    m_nNow += 2 * FREQUENCY;
    m_pSystem->SetMesh(&mesh);
    m_pSystem->Init(device.Get());

    EXPECT_NEAR(m_pSystem->m_fLastTime, 2.0f, 1e-5);
    ASSERT_NE(mesh.m_pParticleBuffer, nullptr);
    D3DVERTEXBUFFER_DESC desc = {};
    ASSERT_EQ(mesh.m_pParticleBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 8400u);

    // The default column of the parameter table.
    const ParticleSystem& s = *m_pSystem;
    EXPECT_EQ(s.m_nEmitRate, 20u);
    const float values[] = {s.m_fLifeMin, s.m_fLifeRange, s.m_fAlphaStart, s.m_fAlphaEnd, s.m_fAlphaRange,
                            s.m_fSizeStart, s.m_fSizeEnd, s.m_fSizeRange, s.m_fSpeedMin, s.m_fSpeedRange,
                            s.m_fBounceFactor, s.m_fAccelRange};
    const float expected[] = {0.6f, 0.1f, 0.92f, 0.14f, 0.14f, 1.04f, 1.08f, 0.04f, 3.0f, 12.0f, 0.3f, 0.0f};
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(values[i], expected[i]) << "value " << i;
    EXPECT_EQ(s.m_vAccelStart, Vector3(0, 0, 0));
    EXPECT_EQ(s.m_vAccelEnd, Vector3(0, 0, 0));
    EXPECT_EQ(s.m_vColorStart, Vector3(0.48f, 0.42f, 0.1f));
    EXPECT_EQ(s.m_vColorEnd, Vector3(0.04f, 0.22f, 0.81f));
    EXPECT_EQ(s.m_vColorRange, Vector3(0.15f, 0.15f, 0.15f));
    EXPECT_TRUE(s.m_bBounce);
}

// Four triangles, particles 0 and 2 alive, particle 5 alive past the pool's end: the first two
// triangles carry the live particles, the other two collapse to the origin, and the vertex
// buffer holds the array's bytes afterwards.
TEST_F(ParticleMeshTest, UpdateWritesLiveParticlesAsTriangles)
{
    MeshTestDevice device;
    SceneMesh mesh;
    FillMesh(mesh, TetrahedronTriangles());
    ASSERT_EQ(mesh.CreateVertexBuffers(device.Get()), D3D_OK);
    ParticleSystem& s = *m_pSystem;
    s.SetMesh(&mesh);
    s.Init(device.Get());
    s.m_bEmit = false;

    const Vector3 vFirst(1, 2, 3), vFirstVelocity(0, 0, 4);
    const Vector3 vSecond(-2, 0.5f, 1), vSecondVelocity(3, -1, 2);
    MakeAlive(s.m_Particles[0], &s, vFirst, vFirstVelocity, 0.5f);
    MakeAlive(s.m_Particles[2], &s, vSecond, vSecondVelocity, 0.1f);
    MakeAlive(s.m_Particles[5], &s, Vector3(9, 9, 9), Vector3(1, 0, 0), 1.0f);
    s.Update();   // the clock has not moved: a step of 0 s

    EXPECT_EQ(s.m_nLive, 2u);
    EXPECT_EQ(s.m_Particles[5].m_fAge, 0.0f) << "past the pool: not aged";
    const MeshVertex* v = mesh.m_pVertices;
    // Looking along +z the basis is the identity: the first triangle stays where it is.
    ExpectNear(v[0].vPosition, vFirst, "first, corner 0");
    ExpectNear(v[1].vPosition, vFirst + Vector3(0, 10, 0), "first, corner 1");
    ExpectNear(v[2].vPosition, vFirst + Vector3(10, 0, 0), "first, corner 2");
    ExpectNear(v[3].vPosition, Turn(vSecond, vSecondVelocity), "second, corner 0");
    ExpectNear(v[4].vPosition, Turn(vSecond + Vector3(0, 2, 0), vSecondVelocity), "second, corner 1");
    ExpectNear(v[5].vPosition, Turn(vSecond + Vector3(2, 0, 0), vSecondVelocity), "second, corner 2");
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_EQ(v[k].vNormal, vFirstVelocity);
        EXPECT_EQ(v[3 + k].vNormal, vSecondVelocity);
    }
    for (int k = 6; k < 12; ++k)
        EXPECT_EQ(v[k].vPosition, Vector3(0, 0, 0)) << "vertex " << k;

    void* pData = nullptr;
    ASSERT_EQ(mesh.m_pVertexBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(std::memcmp(pData, mesh.m_pVertices, 12 * sizeof(MeshVertex)), 0);
    mesh.m_pVertexBuffer->Unlock();

    // The particle dies once its life is spent; all four triangles collapse.
    s.m_Particles[0].m_fLife = 0.5f;
    s.m_Particles[2].m_fLife = 0.5f;
    m_nNow += FREQUENCY;
    s.Update();
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(v[k].vPosition, Vector3(0, 0, 0)) << "vertex " << k;
}

TEST_F(ParticleMeshTest, WithoutAMeshNothingIsBorn)
{
    ParticleSystem& s = *m_pSystem;
    s.Init(nullptr);
    m_nNow += FREQUENCY;
    s.Update();
    EXPECT_EQ(s.m_nLive, 0u);
    EXPECT_FLOAT_EQ(g_fEmitterAzimuth, 25.0f) << "the orbit still moves";
    for (const Particle& p : s.m_Particles)
        EXPECT_FALSE(p.IsAlive());
}
