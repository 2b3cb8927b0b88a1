#pragma once
// A particle emitter with a fixed pool of 500 particles. Its emitter point follows a fixed orbit;
// it gives birth to particles at a rate, steps them, and writes every live particle as one
// triangle into the vertices of a scene mesh, whose vertex buffer it then refills. Eight numbered
// presets and a default set give its parameters.
#include "scene/Particle.h"

#include "core/Vector3.h"

#include <cstdint>

class SceneMesh;
struct IDirect3DDevice9;

// One column of the parameter table. The colour range is the same in all three channels, the
// accelerations are in units of 9.8.
struct ParticleParameters
{
    uint32_t nEmitRate;
    float fLifeMin, fLifeRange;
    float fAlphaStart, fAlphaEnd, fAlphaRange;
    float fSizeStart, fSizeEnd, fSizeRange;
    float fSpeedMin, fSpeedRange;
    Vector3 vAccelStart, vAccelEnd;
    Vector3 vColorStart, vColorEnd;
    float fColorRange;
    float fBounceFactor;
    bool bBounce;
};

class ParticleSystem
{
public:
    static constexpr int POOL_SIZE = 500;
    static constexpr unsigned PRESET_COUNT = 8;

    ParticleSystem();
    virtual ~ParticleSystem() = default;

    // The mesh whose triangles carry the particles (not owned). Its triangle count, up to 500,
    // limits the pool; without a mesh no particle is born.
    void SetMesh(SceneMesh* pMesh) { m_pMesh = pMesh; }
    // Starts the system's clock at the application time, loads the default parameters and has
    // the mesh create its particle vertex buffer (whose result is not needed: nothing here
    // draws from it).
    void Init(IDirect3DDevice9* pDevice);
    // One step at the application time: the orbit, ageing and births, then every live particle
    // written as one triangle into the mesh's vertex array, the triangles after them collapsed
    // to the origin, and the mesh's vertex buffer refilled from the array.
    void Update();
    // Presets 1 to 8; any other number changes nothing.
    void SetPreset(unsigned nPreset);
    // The part of Update that needs neither the clock nor the mesh: time, orbit, ageing and
    // births at the time fNow with the pool limited to nPool particles.
    void Step(float fNow, int nPool);
    bool GetBounce() const { return m_bBounce; }

    SceneMesh* m_pMesh = nullptr;
    // Application time of the previous Init or Update, seconds.
    float m_fLastTime = 0.0f;
    bool m_bBounce = false;
    float m_fLifeMin = 0.0f, m_fLifeRange = 0.0f;
    float m_fAlphaStart = 0.0f, m_fAlphaEnd = 0.0f, m_fAlphaRange = 0.0f;
    float m_fSizeStart = 0.0f, m_fSizeEnd = 0.0f, m_fSizeRange = 0.0f;
    float m_fSpeedMin = 0.0f;
    float m_fAccelRange = 0.0f;
    float m_fSpeedRange = 0.0f;
    // Share of the speed component a bounce keeps.
    float m_fBounceFactor = 0.0f;
    bool m_bEmit = true;
    // Particles are born at the emitter's position of the previous update.
    Vector3 m_vPrevPosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vPosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vAccelStart{0.0f, 0.0f, 0.0f}, m_vAccelEnd{0.0f, 0.0f, 0.0f};
    Vector3 m_vColorStart{0.0f, 0.0f, 0.0f}, m_vColorEnd{0.0f, 0.0f, 0.0f}, m_vColorRange{0.0f, 0.0f, 0.0f};
    // Births per second.
    uint32_t m_nEmitRate = 0;
    // Particles alive at the start of the last update.
    uint32_t m_nLive = 0;
    Particle m_Particles[POOL_SIZE];
    // Fraction of a birth carried to the next update.
    float m_fEmitCarry = 0.0f;
    // Multiplier of the elevation angle's rate.
    float m_fOrbitSpeed = 0.8f;

private:
    void LoadParameters(const ParticleParameters& parameters);
    void LoadDefaultParameters();
    void Birth(Particle& particle);
    int GetPoolLimit() const;
    void WriteTriangles(int nPool);
};

// The emitter's orbit angles in degrees, shared by every system and advanced by each update.
extern float g_fEmitterAzimuth;
extern float g_fEmitterElevation;

constexpr int MAX_PARTICLE_SYSTEMS = 32;
extern ParticleSystem g_ParticleSystems[MAX_PARTICLE_SYSTEMS];
// Systems in use; the frame driver initialises this many.
extern int g_nParticleSystems;
