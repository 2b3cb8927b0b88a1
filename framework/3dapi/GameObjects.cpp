#include "3dapi/GameObjects.h"

#include "3dapi/D3DUtil.h"
#include "3dapi/DisplayModel.h"
#include "core/Log.h"
#include "morvyn/morvyn.h"

#include <algorithm>
#include <new>

namespace
{
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.14159265f;

// World = orientation x translation by the position moved by the offsets.
void SetWorld(IDirect3DDevice9* pDevice, const D3DXMATRIX& matOrientation, const D3DXMATRIX& matPlace)
{
    D3DXMATRIX matWorld;
    D3DXMatrixMultiply(&matWorld, &matOrientation, &matPlace);
    pDevice->SetTransform(D3DTS_WORLD, &matWorld);
}
}

BulletObject::BulletObject() : DisplayObject3D(DISPLAY_OBJECT_BULLET)
{
    MakeMaterial(m_Material, 1.0f, 1.0f, 1.0f, 1.0f);
}

HRESULT BulletObject::Integrate(float dt)
{
    m_fLifetime -= dt;
    if (m_fLifetime < 0.0f)
        m_bActive = 0;
    return DisplayObject3D::Integrate(dt);
}

HRESULT BulletObject::ComputeForces(float)
{
    return S_OK;
}

HRESULT BulletObject::Fire(BulletSettings* pSettings, const D3DXVECTOR3* pPosition, const D3DXMATRIX* pOrientation,
                           const D3DXVECTOR3* pVelocity)
{
    if (m_bFired)
        return S_OK;
    m_pSettings = pSettings;
    m_pState->vVelocity = *pVelocity;
    m_fMass = pSettings->Mass;
    // Positive: the bullet slowly speeds up.
    m_fLinearFactor = 0.1f;
    m_fLifetime = pSettings->ExpireCountdown;
    m_bGravity = 0;
    m_bFired = 1;
    return Init(0, pPosition, pOrientation, pSettings->m_pModel);
}

HRESULT BulletObject::Render(float fOffsetX, float fOffsetZ, int* pFaces)
{
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    if (!pDevice || !m_pSettings)
        return S_OK;
    const D3DXVECTOR3& p = m_pNextState->vPosition;
    pDevice->SetRenderState(D3DRS_AMBIENT, m_pSettings->AmbientLight);
    pDevice->SetTexture(0, nullptr);
    pDevice->SetMaterial(&m_Material);
    D3DXMATRIX matPlace;
    D3DXMatrixTranslation(&matPlace, p.x + fOffsetX, p.y, p.z + fOffsetZ);
    SetWorld(pDevice, m_pNextState->matOrientation, matPlace);
    if (m_pSettings->m_pModel)
        m_pSettings->m_pModel->Render(pFaces);
    return S_OK;
}

EnemyObject::EnemyObject() : DisplayObject3D(DISPLAY_OBJECT_ENEMY) {}

HRESULT EnemyObject::Init(int nTypeIndex, const D3DXVECTOR3* pPosition, const D3DXMATRIX* pOrientation,
                          DisplayModel* pModel)
{
    const EnemyType* pType = g_Profile.GetEnemyType(nTypeIndex);
    if (!pType)
    {
        LogError("EnemyObject::Init() - the profile has no enemy type %d.", nTypeIndex);
        return E_INVALIDARG;
    }
    m_fMass = pType->Mass;
    m_fHealth = pType->MaxHealth;
    return DisplayObject3D::Init(nTypeIndex, pPosition, pOrientation, pModel);
}

HRESULT EnemyObject::ComputeForces(float dt)
{
    const EnemyType* pType = g_Profile.GetEnemyType(m_nTypeIndex);
    m_fInvulnerableCountdown -= dt;
    m_fHitAnimationCountdown -= dt;
    if (m_bDying)
    {
        m_fDeathCountdown -= dt;
        if (m_fDeathCountdown < 0.0f)
            m_bActive = 0;
    }
    else if (m_fHealth <= 0.0f)
    {
        // The enemy stops where it is and plays its death.
        m_bDying = 1;
        m_fDeathCountdown = pType ? pType->DeathAnimationCountdown : 0.0f;
        m_bMoving = 0;
    }
    const D3DXVECTOR3 vUp(0.0f, 1.0f, 0.0f);
    D3DXVECTOR3 vY;
    D3DXVec3TransformNormal(&vY, &vUp, &m_pState->matOrientation);
    m_pNextState->vForce = m_pNextState->vTorque = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    if (!pType || pType->MovementType != 2)
        return S_OK;

    m_fMoveCountdown -= dt;
    m_fThrustCountdown -= dt;
    m_fTurnCountdown -= dt;
    if (m_fMoveCountdown < 0.0f)
    {
        m_fMoveCountdown = pType->MoveRandomCountdown;
        m_fThrustCountdown = pType->ThrustCountdown;
        m_fTurnCountdown = pType->TurnCountdown;
        m_fTurnDirection = RandomFloat(-1.0f, 1.0f);
    }
    if (m_fTurnCountdown > 0.0f)
        m_pNextState->vTorque += m_fTurnDirection * vY * 1000.0f;
    // A push of 3000 along the body's -x axis.
    if (m_fThrustCountdown > 0.0f)
        m_pNextState->vForce -= D3DXVECTOR3(0.3f * 10000.0f, 0.0f, 0.0f);
    return S_OK;
}

HRESULT EnemyObject::Render(float fOffsetX, float fOffsetZ, int* pFaces)
{
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    const EnemyType* pType = g_Profile.GetEnemyType(m_nTypeIndex);
    if (!pDevice || !pType)
        return S_OK;
    const D3DXVECTOR3& p = m_pNextState->vPosition;
    pDevice->SetRenderState(D3DRS_AMBIENT, pType->EnemyAmbientLight);
    pDevice->SetTexture(0, nullptr);
    XFileMesh* pMesh = pType->m_pModel ? pType->m_pModel->m_pMesh : nullptr;
    if (pMesh && pMesh->m_dwNumMaterials > 0)
    {
        // The alive colour goes to the second material, or to the only one.
        DWORD nMaterial = std::min<DWORD>(1, pMesh->m_dwNumMaterials - 1);
        MakeMaterial(pMesh->m_pMaterials[nMaterial], pType->AliveColor[0], pType->AliveColor[1], pType->AliveColor[2],
                     pType->AliveColor[3]);
    }
    D3DXMATRIX matPlace;
    D3DXMatrixTranslation(&matPlace, p.x + fOffsetX, p.y, p.z + fOffsetZ);
    if (m_fDeathCountdown > 0.0f && pType->DeathAnimationCountdown > 0.0f)
    {
        // The dying enemy swells to six times its size and shakes.
        float f = (pType->DeathAnimationCountdown - m_fDeathCountdown) / pType->DeathAnimationCountdown;
        float s = f * 5.0f + 1.0f;
        D3DXMATRIX matScale, matShake;
        D3DXMatrixScaling(&matScale, s, s, s);
        D3DXMatrixMultiply(&matPlace, &matScale, &matPlace);
        float r1 = RandomFloat(-1.0f, 1.0f), r2 = RandomFloat(-1.0f, 1.0f), r3 = RandomFloat(-1.0f, 1.0f);
        D3DXMatrixTranslation(&matShake, 0.3f * r1, 0.3f * r2, 0.3f * r3);
        D3DXMatrixMultiply(&matPlace, &matShake, &matPlace);
    }
    SetWorld(pDevice, m_pNextState->matOrientation, matPlace);
    if (pType->m_pModel)
        pType->m_pModel->Render(pFaces);
    return S_OK;
}

ShipObject::ShipObject() : DisplayObject3D(DISPLAY_OBJECT_SHIP) {}

HRESULT ShipObject::Init(int nTypeIndex, const D3DXVECTOR3* pPosition, const D3DXMATRIX* pOrientation,
                         DisplayModel* pModel)
{
    m_fMass = g_Profile.m_Ship.Mass;
    m_bGravity = 1;
    m_fGravityScale = 15.0f;
    m_fAngularFactor = -10.0f;
    m_fFireCountdown = m_fPitch = m_fYaw = 0.0f;
    m_fShield = g_Profile.m_Ship.MaxShield;
    return DisplayObject3D::Init(nTypeIndex, pPosition, pOrientation, pModel);
}

HRESULT ShipObject::ComputeForces(float dt)
{
    const float fAccel = g_Profile.m_Ship.AccelFactor;
    m_pNextState->vForce += D3DXVECTOR3(0.0f, 0.0f, 1.0f) * 0.1f * fAccel;
    m_pNextState->vForce += D3DXVECTOR3(1.0f, 0.0f, 0.0f) * 0.01f * fAccel;
    m_fYaw += 5.0f * 0.01f * dt;
    m_fPitch = std::clamp(m_fPitch - 5.0f * 0.01f * dt, -kHalfPi, kHalfPi);
    D3DXMatrixRotationYawPitchRoll(&m_pState->matOrientation, m_fYaw, m_fPitch, 0.0f);
    return S_OK;
}

HRESULT ShipObject::EndStep(float dt)
{
    m_fFireCountdown -= dt;
    if (m_fFireCountdown <= 0.0f)
    {
        Fire();
        m_fFireCountdown = g_Profile.m_Bullet.RechargeTime;
    }
    return DisplayObject3D::EndStep(dt);
}

HRESULT ShipObject::Render(float, float, int* pFaces)
{
    *pFaces = 0;
    return S_OK;
}

HRESULT ShipObject::Fire()
{
    BulletSettings& settings = g_Profile.m_Bullet;
    const D3DXVECTOR3 vForward(0.0f, 0.0f, 1.0f);
    D3DXVECTOR3 d;
    D3DXVec3TransformNormal(&d, &vForward, &m_pState->matOrientation);
    BulletObject* pBullet = new (std::nothrow) BulletObject;
    if (pBullet)
    {
        D3DXMATRIX matOrientation;
        D3DXMatrixRotationYawPitchRoll(&matOrientation, RandomFloat(-kPi, kPi), RandomFloat(-kPi, kPi),
                                       RandomFloat(-kPi, kPi));
        const D3DXVECTOR3& v = m_pState->vVelocity;
        float c = D3DXVec3Dot(&v, &d);
        D3DXVECTOR3 vPosition = m_pState->vPosition + d * (c / 10.0f + 1.0f);
        D3DXVECTOR3 vVelocity = D3DXVECTOR3(v.x, 0.0f, v.z) + d * settings.Speed;
        // Without a bullet model there is nothing to fly: no bullet is made.
        if (FAILED(pBullet->Fire(&settings, &vPosition, &matOrientation, &vVelocity)))
            delete pBullet;
        else
        {
            pBullet->CreateDeviceResources();
            pBullet->RestoreDeviceResources();
            RegisterDisplayObject(pBullet);
        }
    }
    m_fFireCountdown = settings.RechargeTime;
    return S_OK;
}

void ApplyCollisionRules(DisplayObject3D* pA, DisplayObject3D* pB)
{
    if (pB->m_nType != DISPLAY_OBJECT_ENEMY)
        return;
    auto* pEnemy = static_cast<EnemyObject*>(pB);
    const EnemyType* pType = g_Profile.GetEnemyType(pEnemy->m_nTypeIndex);
    if (pA->m_nType == DISPLAY_OBJECT_BULLET && pA->m_bActive)
    {
        auto* pBullet = static_cast<BulletObject*>(pA);
        pBullet->m_bActive = 0;
        if (pEnemy->m_fInvulnerableCountdown < 0.0f)
        {
            pEnemy->m_fHealth -= pBullet->m_pSettings ? pBullet->m_pSettings->Damage : 0.0f;
            pEnemy->m_fInvulnerableCountdown = pType ? pType->InvulnerableCountdown : 0.0f;
            pEnemy->m_fHitAnimationCountdown = pType ? pType->HitAnimationCountdown : 0.0f;
        }
    }
    else if (pA->m_nType == DISPLAY_OBJECT_SHIP && pEnemy->m_fHealth > 0.0f)
    {
        static_cast<ShipObject*>(pA)->m_fShield -= pType ? pType->Damage : 0.0f;
        pEnemy->m_fHealth = 0.0f;
    }
}
