#pragma once
// One entry of a particle system's pool: a point that moves with a velocity and an acceleration
// (in units of 9.8 per second squared), may bounce inside the system's box, and changes its
// opacity, colour, size and acceleration linearly over its life.
#include "core/Vector3.h"

class ParticleSystem;

class Particle
{
public:
    // A dead, free entry.
    Particle();
    virtual ~Particle() = default;

    // One step of dt seconds. A particle whose age would reach its life dies (age -1) without
    // moving. Always true.
    bool Update(float dt);
    void SetSystem(ParticleSystem* pSystem) { m_pSystem = pSystem; }
    bool IsAlive() const { return m_fAge >= 0.0f; }

    float m_fAlpha = 0.0f;
    // Seconds since birth; -1 marks a dead entry.
    float m_fAge = -1.0f;
    float m_fLife = -1.0f;
    // Changes per second.
    float m_fAlphaStep = 0.0f;
    float m_fSizeStep = 1.0f;
    // The drawn triangle's legs are 20 x size long.
    float m_fSize = 1.0f;
    Vector3 m_vColor{0.3f, 0.3f, 0.3f};
    Vector3 m_vColorStep{0.0f, 0.0f, 0.0f};
    Vector3 m_vPosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vPrevPosition{0.0f, 0.0f, 0.0f};
    // Units per second.
    Vector3 m_vVelocity{0.0f, 0.0f, 0.0f};
    // The velocity changes by 9.8 x this per second.
    Vector3 m_vAccel{1.0f, 1.0f, 1.0f};
    Vector3 m_vAccelStep{1.0f, 1.0f, 1.0f};
    // Owner, not owned; set at birth.
    ParticleSystem* m_pSystem = nullptr;
};
