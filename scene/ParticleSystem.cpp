#include "scene/ParticleSystem.h"

#include "core/Random.h"

#include <cmath>

float g_fEmitterAzimuth = 0.0f;
float g_fEmitterElevation = 180.0f;

ParticleSystem g_ParticleSystems[MAX_PARTICLE_SYSTEMS];
int g_nParticleSystems = 0;

namespace
{
constexpr float GRAVITY = 9.8f;
constexpr float DEGREES_TO_RADIANS = 0.01745f;
constexpr float PI = 3.14159f;
// Orbit rates in degrees per second and radii of the emitter's path.
constexpr float AZIMUTH_RATE = 25.0f;
constexpr float ELEVATION_RATE = 35.0f;
constexpr float ORBIT_RADIUS = 5.0f;
constexpr float ORBIT_HEIGHT = 2.0f;

// Column 0 is the default set that Init loads; columns 1 to 8 are the presets.
const ParticleParameters PARAMETER_SETS[ParticleSystem::PRESET_COUNT + 1] = {
    {20, 0.6f, 0.1f, 0.92f, 0.14f, 0.14f, 1.04f, 1.08f, 0.04f, 3.0f, 12.0f, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f},
     {0.48f, 0.42f, 0.1f}, {0.04f, 0.22f, 0.81f}, 0.15f, 0.3f, true},
    {960, 1.05f, 2.7f, 0.49f, 0.03f, 0.23f, 1.52f, 3.96f, 0.04f, 24.75f, 22.5f, {0.02f, 0.0f, 0.02f},
     {0.01f, -0.01f, 0.01f}, {0.91f, 0.51f, 0.2f}, {0.76f, 0.96f, 0.96f}, 0.15f, 0.68f, true},
    {130, 0.6f, 0.1f, 0.92f, 0.14f, 0.14f, 0.12f, 0.56f, 0.04f, 2.25f, 12.0f, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f},
     {0.48f, 0.42f, 0.1f}, {0.04f, 0.22f, 0.81f}, 0.15f, 0.1f, true},
    {140, 6.3f, 0.75f, 0.96f, 0.03f, 0.23f, 0.9f, 1.98f, 0.46f, 9.75f, 13.0f, {0.0f, -0.08f, 0.0f},
     {0.0f, 0.12f, 0.0f}, {0.06f, 0.05f, 0.18f}, {0.52f, 0.29f, 0.04f}, 0.13f, 0.29f, true},
    {80, 9.25f, 0.4f, 0.02f, 0.66f, 0.14f, 0.1f, 1.0f, 0.28f, 3.25f, 3.75f, {0.0f, -1.44f, 0.0f},
     {0.0f, -1.44f, 0.0f}, {0.81f, 0.82f, 0.83f}, {0.82f, 0.83f, 0.83f}, 0.24f, 0.14f, false},
    {5, 2.5f, 1.5f, 0.33f, 0.99f, 0.14f, 0.32f, 1.88f, 0.36f, 3.5f, 23.75f, {0.0f, 0.12f, 0.0f},
     {0.0f, -0.12f, 0.0f}, {0.52f, 0.34f, 0.53f}, {0.52f, 0.34f, 0.52f}, 0.96f, 0.14f, false},
    {125, 2.85f, 0.4f, 0.02f, 0.94f, 0.01f, 0.1f, 0.42f, 0.1f, 12.75f, 0.0f, {0.0f, 0.04f, 0.0f},
     {0.0f, 0.44f, 0.0f}, {0.44f, 0.38f, 0.76f}, {0.51f, 0.68f, 0.96f}, 0.14f, 0.69f, false},
    {940, 1.65f, 2.1f, 0.97f, 0.98f, 0.01f, 1.2f, 1.4f, 0.04f, 24.25f, 0.0f, {0.0f, 0.28f, 0.0f},
     {0.0f, -0.2f, 0.0f}, {0.7f, 0.94f, 0.94f}, {0.21f, 0.04f, 0.67f}, 0.01f, 0.3f, false},
    {140, 1.65f, 2.1f, 0.97f, 0.98f, 0.01f, 1.2f, 1.4f, 0.04f, 24.25f, 0.0f, {0.0f, 0.28f, 0.0f},
     {0.0f, -0.2f, 0.0f}, {0.7f, 0.94f, 0.94f}, {0.21f, 0.04f, 0.67f}, 0.1f, 1.3f, true},
};

// A fresh draw from 0 to 1 inclusive.
float Draw()
{
    return static_cast<float>(Random()) / static_cast<float>(RAND_MAX_VALUE);
}

// Below lo gives lo, otherwise not below hi gives hi.
float Clamp(float f, float fLow, float fHigh)
{
    if (f < fLow)
        return fLow;
    if (!(f < fHigh))
        return fHigh;
    return f;
}

float Vector3::*const AXES[3] = {&Vector3::x, &Vector3::y, &Vector3::z};
}

ParticleSystem::ParticleSystem() = default;

void ParticleSystem::LoadParameters(const ParticleParameters& p)
{
    m_nEmitRate = p.nEmitRate;
    m_fLifeMin = p.fLifeMin;
    m_fLifeRange = p.fLifeRange;
    m_fAlphaStart = p.fAlphaStart;
    m_fAlphaEnd = p.fAlphaEnd;
    m_fAlphaRange = p.fAlphaRange;
    m_fSizeStart = p.fSizeStart;
    m_fSizeEnd = p.fSizeEnd;
    m_fSizeRange = p.fSizeRange;
    m_fSpeedMin = p.fSpeedMin;
    m_fSpeedRange = p.fSpeedRange;
    m_fAccelRange = 0.0f;
    m_vAccelStart = p.vAccelStart;
    m_vAccelEnd = p.vAccelEnd;
    m_vColorStart = p.vColorStart;
    m_vColorEnd = p.vColorEnd;
    m_vColorRange = Vector3(p.fColorRange, p.fColorRange, p.fColorRange);
    m_fBounceFactor = p.fBounceFactor;
    m_bBounce = p.bBounce;
}

void ParticleSystem::LoadDefaultParameters()
{
    LoadParameters(PARAMETER_SETS[0]);
}

void ParticleSystem::SetPreset(unsigned nPreset)
{
    if (nPreset >= 1 && nPreset <= PRESET_COUNT)
        LoadParameters(PARAMETER_SETS[nPreset]);
}

void ParticleSystem::Step(float fNow, int nPool)
{
    float dt = fNow - m_fLastTime;
    m_fLastTime = fNow;

    g_fEmitterAzimuth += AZIMUTH_RATE * dt;
    g_fEmitterElevation += ELEVATION_RATE * dt * m_fOrbitSpeed;
    if (g_fEmitterAzimuth > 359.0f)
        g_fEmitterAzimuth = 0.0f;
    if (g_fEmitterElevation > 359.0f)
    {
        m_fOrbitSpeed = 1.0f + Draw();
        g_fEmitterElevation = 0.0f;
    }
    float fAzimuth = g_fEmitterAzimuth * DEGREES_TO_RADIANS;
    float fElevation = g_fEmitterElevation * DEGREES_TO_RADIANS;
    m_vPosition = Vector3(ORBIT_RADIUS * std::cos(fAzimuth), ORBIT_HEIGHT * std::sin(fElevation),
                          ORBIT_RADIUS * std::sin(fAzimuth) * std::sin(fElevation));

    // Those alive at the start of the step are counted, those that die in it included.
    int n = nPool < 0 ? 0 : (nPool > POOL_SIZE ? POOL_SIZE : nPool);
    m_nLive = 0;
    for (int i = 0; i < n; ++i)
    {
        if (m_Particles[i].IsAlive())
        {
            m_Particles[i].Update(dt);
            ++m_nLive;
        }
    }

    // Births due now, the fraction carried over. When they would fill the pool none is born
    // and the fraction is dropped; a clock that ran backwards gives none either.
    float fDue = static_cast<float>(m_nEmitRate) * dt + m_fEmitCarry;
    float fRoom = static_cast<float>(static_cast<uint32_t>(n) - m_nLive);
    int nBirths = 0;
    if (!m_bEmit || !(fDue < fRoom) || !(fDue > 0.0f))
    {
        m_fEmitCarry = 0.0f;
    }
    else
    {
        nBirths = static_cast<int>(fDue);
        m_fEmitCarry = fDue - static_cast<float>(nBirths);
    }
    for (int i = 0; i < n && nBirths > 0; ++i)
    {
        if (!m_Particles[i].IsAlive())
        {
            Birth(m_Particles[i]);
            --nBirths;
        }
    }
    m_vPrevPosition = m_vPosition;
}

// The random draws come in a fixed order, so a seeded generator gives the same particles.
void ParticleSystem::Birth(Particle& p)
{
    p.m_fAge = 0.0f;
    p.m_fLife = Clamp(m_fLifeMin + Draw() * m_fLifeRange, 0.1f, 15.0f);
    p.m_fAlpha = Clamp(m_fAlphaStart + Draw() * m_fAlphaRange, 0.0f, 1.0f);
    p.m_fAlphaStep = (m_fAlphaEnd - p.m_fAlpha) / p.m_fLife;
    for (float Vector3::*axis : AXES)
        p.m_vColor.*axis = Clamp(m_vColorStart.*axis + Draw() * m_vColorRange.*axis, 0.0f, 1.0f);
    for (float Vector3::*axis : AXES)
        p.m_vColorStep.*axis = (m_vColorEnd.*axis + Draw() * m_vColorRange.*axis - p.m_vColor.*axis) / p.m_fLife;
    p.m_fSize = Clamp(m_fSizeStart + Draw() * m_fSizeRange, 0.1f, 4.0f);
    p.m_fSizeStep = (m_fSizeEnd - p.m_fSize) / p.m_fLife;
    for (float Vector3::*axis : AXES)
    {
        p.m_vAccel.*axis = Clamp(GRAVITY * m_vAccelStart.*axis + GRAVITY * Draw() * m_fAccelRange, -4.9f, 4.9f);
        p.m_vAccelStep.*axis = (GRAVITY * m_vAccelEnd.*axis - p.m_vAccel.*axis) / p.m_fLife;
    }
    p.m_vPosition = m_vPrevPosition;
    p.m_vPrevPosition = m_vPrevPosition;
    float fTheta = Draw() * PI * 2.0f;
    float fPhi = Draw() * PI;
    Vector3 vDirection(std::cos(fTheta) * std::sin(fPhi), std::cos(fPhi), std::sin(fTheta) * std::sin(fPhi));
    float fSpeed = Clamp(m_fSpeedMin + Draw() * m_fSpeedRange, 0.0f, 25.0f);
    p.m_vVelocity = vDirection * fSpeed;
    p.SetSystem(this);
}
