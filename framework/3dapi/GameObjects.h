#pragma once
// The game sample's three kinds of rigid bodies: the bullet a ship fires, the enemy of one of the
// profile's enemy types, and the player ship; and the rules that apply when they touch.
#include "3dapi/DisplayObject3D.h"
#include "3dapi/Profile.h"

#include <d3d9.h>

class BulletObject : public DisplayObject3D
{
public:
    // Drawn in white until a material is given.
    BulletObject();
    // Flies until its lifetime drops below 0, then is finished.
    HRESULT Integrate(float fDeltaTime) override;
    HRESULT Render(float fOffsetX, float fOffsetZ, int* pFaces) override;
    HRESULT ComputeForces(float fDeltaTime) override;
    // Once only: takes the settings' mass, lifetime and model and starts at the velocity. The
    // Init result: a failure when the settings have no model.
    virtual HRESULT Fire(BulletSettings* pSettings, const D3DXVECTOR3* pPosition, const D3DXMATRIX* pOrientation,
                         const D3DXVECTOR3* pVelocity);

    BulletSettings* m_pSettings = nullptr;
    float m_fLifetime = 0.0f;
    D3DMATERIAL9 m_Material;
    BYTE m_bFired = 0;
};

class EnemyObject : public DisplayObject3D
{
public:
    EnemyObject();
    HRESULT Render(float fOffsetX, float fOffsetZ, int* pFaces) override;
    // Mass and health from the profile's enemy type at the index.
    HRESULT Init(int nTypeIndex, const D3DXVECTOR3* pPosition, const D3DXMATRIX* pOrientation,
                 DisplayModel* pModel) override;
    // Countdowns, the death animation, and random turns and thrusts for "MoveRandom" types.
    HRESULT ComputeForces(float fDeltaTime) override;

    float m_fMoveCountdown = 0.0f;
    float m_fThrustCountdown = 0.0f;
    float m_fTurnCountdown = 0.0f;
    float m_fInvulnerableCountdown = 0.0f;
    float m_fHitAnimationCountdown = 0.0f;
    float m_fDeathCountdown = 0.0f;
    BYTE m_bDying = 0;
    float m_fTurnDirection = 0.0f;
};

class ShipObject : public DisplayObject3D
{
public:
    ShipObject();
    // Fires whenever the recharge time has run out, then exchanges the states.
    HRESULT EndStep(float fDeltaTime) override;
    // Draws nothing (the view is the ship's).
    HRESULT Render(float fOffsetX, float fOffsetZ, int* pFaces) override;
    HRESULT Init(int nTypeIndex, const D3DXVECTOR3* pPosition, const D3DXMATRIX* pOrientation,
                 DisplayModel* pModel) override;
    // Constant thrust, a slow turn and a pitch that sinks to -pi/2.
    HRESULT ComputeForces(float fDeltaTime) override;
    // A bullet ahead of the ship, registered with the rendering core; none when the bullet
    // settings have no model.
    HRESULT Fire();

    float m_fFireCountdown = 0.0f;
    float m_fShield = 0.0f;
    float m_fPitch = 0.0f;
    float m_fYaw = 0.0f;
};

// What a touch of a corner of A on a face of B does before the contact impulse: a bullet is
// spent on an enemy (and hurts it when its invulnerability has run out); an enemy touching the
// ship costs the ship shield and the enemy its health.
void ApplyCollisionRules(DisplayObject3D* pA, DisplayObject3D* pB);
