#include "scene/ParticleSystem.h"

#include "core/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
constexpr float FRAME = 1.0f / 30.0f;
// Draws per birth: life, alpha, 3 colours, 3 colour ends, size, 3 accelerations, theta, phi, speed.
constexpr int DRAWS_PER_BIRTH = 15;

// The orbit angles are shared by every system; each test starts them where the program does,
// and from a known point of the generator.
class ParticleSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_fEmitterAzimuth = 0.0f;
        g_fEmitterElevation = 180.0f;
        SeedRandom(1);
        m_pSystem = std::make_unique<ParticleSystem>();
    }

    int CountAlive(int nFrom = 0, int nTo = ParticleSystem::POOL_SIZE) const
    {
        int n = 0;
        for (int i = nFrom; i < nTo; ++i)
            n += m_pSystem->m_Particles[i].IsAlive() ? 1 : 0;
        return n;
    }

    // A 500-particle system is large; the heap keeps it off the test's stack.
    std::unique_ptr<ParticleSystem> m_pSystem;
};
}

TEST_F(ParticleSystemTest, NewSystemAndParticle)
{
    ParticleSystem& s = *m_pSystem;
    EXPECT_TRUE(s.m_bEmit);
    EXPECT_EQ(s.m_fEmitCarry, 0.0f);
    EXPECT_FLOAT_EQ(s.m_fOrbitSpeed, 0.8f);
    EXPECT_EQ(s.m_pMesh, nullptr);
    EXPECT_EQ(s.m_nEmitRate, 0u);
    const Particle& p = s.m_Particles[499];
    EXPECT_FALSE(p.IsAlive());
    EXPECT_EQ(p.m_fLife, -1.0f);
    EXPECT_EQ(p.m_fSize, 1.0f);
    EXPECT_EQ(p.m_fSizeStep, 1.0f);
    EXPECT_FLOAT_EQ(p.m_vColor.y, 0.3f);
    EXPECT_EQ(p.m_vAccel, Vector3(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(p.m_vAccelStep, Vector3(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(g_nParticleSystems, 0);
}

// The parameter table row by row, as the presets are documented, so a value put in the wrong
// column shows up.
TEST_F(ParticleSystemTest, PresetsLoadTheirColumn)
{
    struct Row
    {
        const char* szField;
        float ParticleSystem::*pField;
        float fValues[8];
    };
    const Row rows[] = {
        {"m_fLifeMin", &ParticleSystem::m_fLifeMin, {1.05f, 0.6f, 6.3f, 9.25f, 2.5f, 2.85f, 1.65f, 1.65f}},
        {"m_fLifeRange", &ParticleSystem::m_fLifeRange, {2.7f, 0.1f, 0.75f, 0.4f, 1.5f, 0.4f, 2.1f, 2.1f}},
        {"m_fAlphaStart", &ParticleSystem::m_fAlphaStart, {0.49f, 0.92f, 0.96f, 0.02f, 0.33f, 0.02f, 0.97f, 0.97f}},
        {"m_fAlphaEnd", &ParticleSystem::m_fAlphaEnd, {0.03f, 0.14f, 0.03f, 0.66f, 0.99f, 0.94f, 0.98f, 0.98f}},
        {"m_fAlphaRange", &ParticleSystem::m_fAlphaRange, {0.23f, 0.14f, 0.23f, 0.14f, 0.14f, 0.01f, 0.01f, 0.01f}},
        {"m_fSizeStart", &ParticleSystem::m_fSizeStart, {1.52f, 0.12f, 0.9f, 0.1f, 0.32f, 0.1f, 1.2f, 1.2f}},
        {"m_fSizeEnd", &ParticleSystem::m_fSizeEnd, {3.96f, 0.56f, 1.98f, 1.0f, 1.88f, 0.42f, 1.4f, 1.4f}},
        {"m_fSizeRange", &ParticleSystem::m_fSizeRange, {0.04f, 0.04f, 0.46f, 0.28f, 0.36f, 0.1f, 0.04f, 0.04f}},
        {"m_fSpeedMin", &ParticleSystem::m_fSpeedMin, {24.75f, 2.25f, 9.75f, 3.25f, 3.5f, 12.75f, 24.25f, 24.25f}},
        {"m_fSpeedRange", &ParticleSystem::m_fSpeedRange, {22.5f, 12.0f, 13.0f, 3.75f, 23.75f, 0.0f, 0.0f, 0.0f}},
        {"m_fBounceFactor", &ParticleSystem::m_fBounceFactor, {0.68f, 0.1f, 0.29f, 0.14f, 0.14f, 0.69f, 0.3f, 1.3f}},
    };
    struct VectorRow
    {
        const char* szField;
        Vector3 ParticleSystem::*pField;
        Vector3 vValues[8];
    };
    const VectorRow vectorRows[] = {
        {"m_vAccelStart", &ParticleSystem::m_vAccelStart,
         {{0.02f, 0, 0.02f}, {0, 0, 0}, {0, -0.08f, 0}, {0, -1.44f, 0}, {0, 0.12f, 0}, {0, 0.04f, 0}, {0, 0.28f, 0},
          {0, 0.28f, 0}}},
        {"m_vAccelEnd", &ParticleSystem::m_vAccelEnd,
         {{0.01f, -0.01f, 0.01f}, {0, 0, 0}, {0, 0.12f, 0}, {0, -1.44f, 0}, {0, -0.12f, 0}, {0, 0.44f, 0},
          {0, -0.2f, 0}, {0, -0.2f, 0}}},
        {"m_vColorStart", &ParticleSystem::m_vColorStart,
         {{0.91f, 0.51f, 0.2f}, {0.48f, 0.42f, 0.1f}, {0.06f, 0.05f, 0.18f}, {0.81f, 0.82f, 0.83f},
          {0.52f, 0.34f, 0.53f}, {0.44f, 0.38f, 0.76f}, {0.7f, 0.94f, 0.94f}, {0.7f, 0.94f, 0.94f}}},
        {"m_vColorEnd", &ParticleSystem::m_vColorEnd,
         {{0.76f, 0.96f, 0.96f}, {0.04f, 0.22f, 0.81f}, {0.52f, 0.29f, 0.04f}, {0.82f, 0.83f, 0.83f},
          {0.52f, 0.34f, 0.52f}, {0.51f, 0.68f, 0.96f}, {0.21f, 0.04f, 0.67f}, {0.21f, 0.04f, 0.67f}}},
    };
    const uint32_t emitRates[8] = {960, 130, 140, 80, 5, 125, 940, 140};
    const float colorRanges[8] = {0.15f, 0.15f, 0.13f, 0.24f, 0.96f, 0.14f, 0.01f, 0.1f};
    const bool bounces[8] = {true, true, true, false, false, false, false, true};

    ParticleSystem& s = *m_pSystem;
    for (unsigned nPreset = 1; nPreset <= 8; ++nPreset)
    {
        int c = static_cast<int>(nPreset) - 1;
        s.SetPreset(nPreset);
        for (const Row& row : rows)
            EXPECT_EQ(s.*row.pField, row.fValues[c]) << row.szField << " preset " << nPreset;
        for (const VectorRow& row : vectorRows)
            EXPECT_EQ(s.*row.pField, row.vValues[c]) << row.szField << " preset " << nPreset;
        EXPECT_EQ(s.m_nEmitRate, emitRates[c]) << nPreset;
        EXPECT_EQ(s.m_vColorRange, Vector3(colorRanges[c], colorRanges[c], colorRanges[c])) << nPreset;
        EXPECT_EQ(s.m_bBounce, bounces[c]) << nPreset;
        EXPECT_EQ(s.m_fAccelRange, 0.0f) << nPreset;

        // Numbers outside 1 to 8 leave this column in place.
        for (unsigned nOther : {0u, 9u, 1000u})
        {
            s.SetPreset(nOther);
            EXPECT_EQ(s.m_nEmitRate, emitRates[c]) << nOther;
            EXPECT_EQ(s.m_fLifeMin, rows[0].fValues[c]) << nOther;
        }
    }
}

TEST_F(ParticleSystemTest, FiveBirthsPerSecondIsOneEverySixthUpdate)
{
    ParticleSystem& s = *m_pSystem;
    s.SetPreset(5);   // 5 per second, lives of at least 2.5 s
    std::vector<int> birthUpdates;
    int nAlive = 0;
    for (int nUpdate = 1; nUpdate <= 60; ++nUpdate)
    {
        // Every step exactly 1/30 s: times of a float clock (k / 30) differ by a little more or
        // less than that, which moves a birth by an update now and then.
        s.m_fLastTime = 0.0f;
        s.Step(FRAME, ParticleSystem::POOL_SIZE);
        int nNow = CountAlive();
        ASSERT_LE(nNow - nAlive, 1) << nUpdate;
        if (nNow > nAlive)
            birthUpdates.push_back(nUpdate);
        nAlive = nNow;
        EXPECT_GE(s.m_fEmitCarry, 0.0f);
        EXPECT_LT(s.m_fEmitCarry, 1.0f);
    }
    EXPECT_EQ(birthUpdates, (std::vector<int>{6, 12, 18, 24, 30, 36, 42, 48, 54, 60}));
}

TEST_F(ParticleSystemTest, NoBirthsWithEmitOff)
{
    ParticleSystem& s = *m_pSystem;
    s.SetPreset(1);
    s.m_bEmit = false;
    for (int nUpdate = 1; nUpdate <= 10; ++nUpdate)
    {
        s.Step(static_cast<float>(nUpdate) * FRAME, ParticleSystem::POOL_SIZE);
        EXPECT_EQ(s.m_fEmitCarry, 0.0f);
    }
    EXPECT_EQ(CountAlive(), 0);
}

// A pool of ten (a ten-triangle mesh): births that would fill it are skipped and their fraction
// dropped; entries past the tenth are never used; births resume once particles have died.
TEST_F(ParticleSystemTest, SmallPoolSkipsBirthsThatWouldFillIt)
{
    ParticleSystem& s = *m_pSystem;
    s.SetPreset(2);   // 130 per second: 4.33 per update; lives 0.6 to 0.7 s
    const int nPool = 10;
    s.Step(FRAME, nPool);
    EXPECT_EQ(CountAlive(), 4);
    s.Step(2 * FRAME, nPool);
    EXPECT_EQ(CountAlive(), 8);
    s.Step(3 * FRAME, nPool);   // 8 live + 4 or 5 due reaches 10: none born
    EXPECT_EQ(CountAlive(), 8);
    EXPECT_EQ(s.m_fEmitCarry, 0.0f);
    EXPECT_EQ(s.m_nLive, 8u);

    // After 0.75 s every particle of the first two updates has died and the pool refills.
    bool bRefilled = false;
    for (int nUpdate = 4; nUpdate <= 40; ++nUpdate)
    {
        s.Step(static_cast<float>(nUpdate) * FRAME, nPool);
        ASSERT_LT(CountAlive(), nPool) << nUpdate;
        if (nUpdate > 25 && CountAlive() > 0)
            bRefilled = true;
    }
    EXPECT_TRUE(bRefilled);
    EXPECT_EQ(CountAlive(nPool, ParticleSystem::POOL_SIZE), 0);

    // A rate too high for the pool never gives birth at all.
    ParticleSystem& fast = g_ParticleSystems[0];
    fast.SetPreset(1);   // 32 per update
    fast.m_fLastTime = 0.0f;
    for (int nUpdate = 1; nUpdate <= 5; ++nUpdate)
        fast.Step(static_cast<float>(nUpdate) * FRAME, nPool);
    for (const Particle& p : fast.m_Particles)
        EXPECT_FALSE(p.IsAlive());
}

TEST_F(ParticleSystemTest, OrbitAndBirthPlace)
{
    ParticleSystem& s = *m_pSystem;
    s.SetPreset(5);
    s.m_vPrevPosition = Vector3(1.0f, 2.0f, 3.0f);
    s.Step(1.0f, ParticleSystem::POOL_SIZE);   // dt = 1 s: five births

    EXPECT_FLOAT_EQ(g_fEmitterAzimuth, 25.0f);
    EXPECT_FLOAT_EQ(g_fEmitterElevation, 180.0f + 35.0f * 0.8f);
    double a = 25.0 * 0.01745, e = 208.0 * 0.01745;
    EXPECT_NEAR(s.m_vPosition.x, 5.0 * std::cos(a), 1e-5);
    EXPECT_NEAR(s.m_vPosition.y, 2.0 * std::sin(e), 1e-5);
    EXPECT_NEAR(s.m_vPosition.z, 5.0 * std::sin(a) * std::sin(e), 1e-5);
    EXPECT_EQ(s.m_vPrevPosition, s.m_vPosition);

    ASSERT_EQ(CountAlive(), 5);
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ(s.m_Particles[i].m_vPosition, Vector3(1.0f, 2.0f, 3.0f)) << "born where the emitter was";
        EXPECT_EQ(s.m_Particles[i].m_pSystem, &s);
    }

    // Past 359 degrees the elevation restarts at 0 with a new rate of 1 + r.
    g_fEmitterElevation = 358.0f;
    s.m_bEmit = false;
    const int top = RAND_MAX_VALUE;
    QueueRandomValues(&top, 1);
    s.Step(2.0f, ParticleSystem::POOL_SIZE);
    EXPECT_EQ(g_fEmitterElevation, 0.0f);
    EXPECT_EQ(s.m_fOrbitSpeed, 2.0f);
}

// Births with every draw 0 and with every draw at its top, against the parameter table.
TEST_F(ParticleSystemTest, BirthDrawsAndClamps)
{
    struct Case
    {
        unsigned nPreset;
        int nDraw;
        float fLife, fAlpha, fSize, fSpeed, fAccelY;
        Vector3 vColor, vDirection;
    };
    const Case cases[] = {
        // Preset 4, all draws 0: acceleration -1.44 x 9.8 clamped to -4.9; straight up.
        {4, 0, 9.25f, 0.02f, 0.1f, 3.25f, -4.9f, {0.81f, 0.82f, 0.83f}, {0.0f, 1.0f, 0.0f}},
        // Preset 1, all draws at the top: speed 47.25 clamped to 25, colour clamped to 1, and
        // theta = 2 pi, phi = pi: straight down.
        {1, RAND_MAX_VALUE, 3.75f, 0.72f, 1.56f, 25.0f, 0.0f, {1.0f, 0.66f, 0.35f}, {0.0f, -1.0f, 0.0f}},
    };
    for (const Case& c : cases)
    {
        SetUp();
        ParticleSystem& s = *m_pSystem;
        s.SetPreset(c.nPreset);
        s.m_nEmitRate = 1;
        std::vector<int> draws(DRAWS_PER_BIRTH, c.nDraw);
        QueueRandomValues(draws.data(), DRAWS_PER_BIRTH);
        s.Step(1.0f, ParticleSystem::POOL_SIZE);
        ASSERT_EQ(CountAlive(), 1) << c.nPreset;
        const Particle& p = s.m_Particles[0];
        // Ageing runs before births: the newborn has age 0.
        EXPECT_EQ(p.m_fAge, 0.0f);
        EXPECT_NEAR(p.m_fLife, c.fLife, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_fAlpha, c.fAlpha, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_fAlphaStep, (s.m_fAlphaEnd - c.fAlpha) / c.fLife, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_fSize, c.fSize, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_fSizeStep, (s.m_fSizeEnd - c.fSize) / c.fLife, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_vAccel.y, c.fAccelY, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_vAccelStep.y, (9.8 * s.m_vAccelEnd.y - c.fAccelY) / c.fLife, 1e-4) << c.nPreset;
        EXPECT_NEAR(p.m_vColor.x, c.vColor.x, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_vColor.y, c.vColor.y, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_vColor.z, c.vColor.z, 1e-5) << c.nPreset;
        // The end colour, with its own draw, is not clamped.
        float fRange = s.m_vColorRange.x * static_cast<float>(c.nDraw) / RAND_MAX_VALUE;
        EXPECT_NEAR(p.m_vColorStep.x, (s.m_vColorEnd.x + fRange - c.vColor.x) / c.fLife, 1e-5) << c.nPreset;
        EXPECT_NEAR(p.m_vVelocity.x, c.vDirection.x * c.fSpeed, 1e-3) << c.nPreset;
        EXPECT_NEAR(p.m_vVelocity.y, c.vDirection.y * c.fSpeed, 1e-3) << c.nPreset;
        EXPECT_NEAR(p.m_vVelocity.z, c.vDirection.z * c.fSpeed, 1e-3) << c.nPreset;
    }
}
