#include "scene/Particle.h"
#include "scene/ParticleSystem.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
// A live particle owned by the system, with no acceleration so a step moves it by velocity x dt.
Particle MakeParticle(ParticleSystem* pSystem, const Vector3& vPosition, const Vector3& vVelocity)
{
    Particle p;
    p.SetSystem(pSystem);
    p.m_fAge = 0.0f;
    p.m_fLife = 100.0f;
    p.m_vAccel = Vector3(0.0f, 0.0f, 0.0f);
    p.m_vAccelStep = Vector3(0.0f, 0.0f, 0.0f);
    p.m_vPosition = vPosition;
    p.m_vVelocity = vVelocity;
    return p;
}
}

// The floor at y = -7, the ceiling at 7 and the walls at +-21, with a bounce factor of 0.5.
TEST(ParticleTest, BouncesInsideTheBox)
{
    auto pSystem = std::make_unique<ParticleSystem>();
    pSystem->m_bBounce = true;
    pSystem->m_fBounceFactor = 0.5f;
    struct Case
    {
        const char* szWhat;
        Vector3 vPosition, vVelocity;
        Vector3 vExpectedPosition, vExpectedVelocity;
    };
    const Case cases[] = {
        {"slow onto the floor: rests", {1, -6.9f, 2}, {1, -3, 0}, {1.1f, -7, 2}, {1, 0, 0}},
        {"fast onto the floor: bounces", {1, -6.5f, 2}, {0, -10, 0}, {1, -6.5f, 2}, {0, 5, 0}},
        {"ceiling", {0, 6.9f, 0}, {0, 2, 0}, {0, 6.9f, 0}, {0, -1, 0}},
        {"wall at -21 in x", {-20.9f, 0, 0}, {-2, 0, 0}, {-20.9f, 0, 0}, {1, 0, 0}},
        {"wall at 21 in x", {20.9f, 0, 0}, {2, 0, 0}, {20.9f, 0, 0}, {-1, 0, 0}},
        {"wall at -21 in z", {0, 0, -20.9f}, {0, 0, -4}, {0, 0, -20.9f}, {0, 0, 2}},
        {"wall at 21 in z", {0, 0, 20.9f}, {0, 0, 4}, {0, 0, 20.9f}, {0, 0, -2}},
        {"corner: x and z both", {20.9f, 0, 20.9f}, {2, 0, 2}, {20.9f, 0, 20.9f}, {-1, 0, -1}},
        {"inside: free flight", {0, 0, 0}, {3, -4, 5}, {0.3f, -0.4f, 0.5f}, {3, -4, 5}},
    };
    for (const Case& c : cases)
    {
        Particle p = MakeParticle(pSystem.get(), c.vPosition, c.vVelocity);
        EXPECT_TRUE(p.Update(0.1f));
        EXPECT_NEAR(p.m_vPosition.x, c.vExpectedPosition.x, 1e-5) << c.szWhat;
        EXPECT_NEAR(p.m_vPosition.y, c.vExpectedPosition.y, 1e-5) << c.szWhat;
        EXPECT_NEAR(p.m_vPosition.z, c.vExpectedPosition.z, 1e-5) << c.szWhat;
        EXPECT_NEAR(p.m_vVelocity.x, c.vExpectedVelocity.x, 1e-5) << c.szWhat;
        EXPECT_NEAR(p.m_vVelocity.y, c.vExpectedVelocity.y, 1e-5) << c.szWhat;
        EXPECT_NEAR(p.m_vVelocity.z, c.vExpectedVelocity.z, 1e-5) << c.szWhat;
        EXPECT_EQ(p.m_vPrevPosition, c.vPosition) << c.szWhat;
    }

    // Without the bounce flag the particle falls through the floor.
    pSystem->m_bBounce = false;
    Particle p = MakeParticle(pSystem.get(), Vector3(0, -6.5f, 0), Vector3(0, -10, 0));
    p.Update(0.1f);
    EXPECT_NEAR(p.m_vPosition.y, -7.5f, 1e-5);
    EXPECT_EQ(p.m_vVelocity.y, -10.0f);
}

TEST(ParticleTest, LinearChangesOverLife)
{
    auto pSystem = std::make_unique<ParticleSystem>();
    Particle p = MakeParticle(pSystem.get(), Vector3(0, 0, 0), Vector3(1, 0, 0));
    p.m_fAlpha = 0.5f;
    p.m_fAlphaStep = -0.25f;
    p.m_fSize = 2.0f;
    p.m_fSizeStep = 1.0f;
    p.m_vColor = Vector3(0.2f, 0.4f, 0.6f);
    p.m_vColorStep = Vector3(1.0f, -1.0f, 0.0f);
    p.m_vAccel = Vector3(0.0f, -1.0f, 0.0f);
    p.m_vAccelStep = Vector3(0.0f, 2.0f, 0.0f);
    p.Update(0.5f);
    EXPECT_FLOAT_EQ(p.m_fAge, 0.5f);
    EXPECT_FLOAT_EQ(p.m_fAlpha, 0.375f);
    EXPECT_FLOAT_EQ(p.m_fSize, 2.5f);
    EXPECT_FLOAT_EQ(p.m_vColor.x, 0.7f);
    EXPECT_FLOAT_EQ(p.m_vColor.y, -0.1f);
    EXPECT_FLOAT_EQ(p.m_vColor.z, 0.6f);
    // The velocity takes the acceleration from before its own change: -1 x 9.8 x 0.5.
    EXPECT_FLOAT_EQ(p.m_vVelocity.y, -4.9f);
    EXPECT_FLOAT_EQ(p.m_vAccel.y, 0.0f);
    EXPECT_FLOAT_EQ(p.m_vPosition.x, 0.5f);
}

TEST(ParticleTest, DiesWithoutMovingWhenItsLifeEnds)
{
    auto pSystem = std::make_unique<ParticleSystem>();
    Particle p = MakeParticle(pSystem.get(), Vector3(1, 2, 3), Vector3(5, 5, 5));
    p.m_fAge = 0.9f;
    p.m_fLife = 1.0f;
    p.m_fAlpha = 0.5f;
    EXPECT_TRUE(p.Update(0.1f));   // 0.9 + 0.1 reaches the life
    EXPECT_EQ(p.m_fAge, -1.0f);
    EXPECT_FALSE(p.IsAlive());
    EXPECT_EQ(p.m_vPosition, Vector3(1, 2, 3));
    EXPECT_EQ(p.m_vVelocity, Vector3(5, 5, 5));
    EXPECT_EQ(p.m_fAlpha, 0.5f);
}
