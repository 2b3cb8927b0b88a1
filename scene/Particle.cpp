#include "scene/Particle.h"

#include "scene/ParticleSystem.h"

namespace
{
// The box the particles bounce in: a floor at -7 with a ceiling at 7, walls at +-21 in x and z.
constexpr float FLOOR_Y = -7.0f;
constexpr float CEILING_Y = 7.0f;
constexpr float WALL = 21.0f;
// A particle falling slower than this onto the floor comes to rest on it.
constexpr float REST_SPEED = -5.0f;
constexpr float GRAVITY = 9.8f;

// The coordinate returns to where it was and its velocity turns back, keeping the given share.
void Reflect(float& fPosition, float fPrevPosition, float& fVelocity, float fBounceFactor)
{
    fPosition = fPrevPosition;
    fVelocity = -fVelocity * fBounceFactor;
}

void Bounce(Particle& p, float fFactor)
{
    if (p.m_vPosition.y < FLOOR_Y)
    {
        if (p.m_vVelocity.y > REST_SPEED)
        {
            p.m_vPosition.y = FLOOR_Y;
            p.m_vVelocity.y = 0.0f;
        }
        else
        {
            Reflect(p.m_vPosition.y, p.m_vPrevPosition.y, p.m_vVelocity.y, fFactor);
        }
    }
    if (p.m_vPosition.y > CEILING_Y)
        Reflect(p.m_vPosition.y, p.m_vPrevPosition.y, p.m_vVelocity.y, fFactor);
    // Each wall tested on its own, in this order, on the position as the earlier tests left it.
    if (p.m_vPosition.x < -WALL)
        Reflect(p.m_vPosition.x, p.m_vPrevPosition.x, p.m_vVelocity.x, fFactor);
    if (p.m_vPosition.x > WALL)
        Reflect(p.m_vPosition.x, p.m_vPrevPosition.x, p.m_vVelocity.x, fFactor);
    if (p.m_vPosition.z < -WALL)
        Reflect(p.m_vPosition.z, p.m_vPrevPosition.z, p.m_vVelocity.z, fFactor);
    if (p.m_vPosition.z > WALL)
        Reflect(p.m_vPosition.z, p.m_vPrevPosition.z, p.m_vVelocity.z, fFactor);
}
}

Particle::Particle() = default;

bool Particle::Update(float dt)
{
    if (m_fAge + dt >= m_fLife)
    {
        m_fAge = -1.0f;
        return true;
    }
    m_fAge += dt;
    m_vPrevPosition = m_vPosition;
    m_vPosition += dt * m_vVelocity;
    if (m_pSystem && m_pSystem->GetBounce())
        Bounce(*this, m_pSystem->m_fBounceFactor);

    m_vVelocity += (dt * GRAVITY) * m_vAccel;
    m_fAlpha += dt * m_fAlphaStep;
    m_vColor += dt * m_vColorStep;
    m_fSize += dt * m_fSizeStep;
    m_vAccel += dt * m_vAccelStep;
    return true;
}
