// The bullet, enemy and ship kinds with the profile's settings, their collision rules, and a
// bullet meeting an enemy's face through Collide with the momentum of the pair kept.
#include "3dapi/DisplayModel.h"
#include "3dapi/GameObjects.h"
#include "core/FileIO.h"
#include "core/Log.h"
#include "morvyn/morvyn.h"

#include <gtest/gtest.h>

namespace
{
void MakeBox(DisplayModel& model, float h, float fRadius)
{
    model.m_vMin = Vector3(-h, -h, -h);
    model.m_vMax = Vector3(h, h, h);
    for (int i = 0; i < 8; ++i)
        model.m_vCorners[i] = Vector3(i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h);
    model.m_fRadius = fRadius;
}

class GameObjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetLogEcho(false);
        // The profile's defaults: one enemy type (MaxHealth 100, Mass 5, Damage 10, MoveRandom).
        std::string dir = testing::TempDir();
        ASSERT_TRUE(WriteFileAtomic((dir + "theme1.ini").c_str(), "", 0));
        ASSERT_TRUE(WriteFileAtomic((dir + "game_profile.ini").c_str(), "", 0));
        g_Profile.Load((dir + "game_profile.ini").c_str());
        ASSERT_NE(g_Profile.GetEnemyType(0), nullptr);
        MakeBox(m_EnemyBox, 1.0f, 1.8f);
        MakeBox(m_BulletBox, 0.25f, 0.45f);
        g_Profile.m_Bullet.m_pModel = &m_BulletBox;
        D3DXMatrixIdentity(&m_matIdentity);
    }
    void TearDown() override
    {
        // Bullets the ship fired: out of the list and deleted.
        while (g_pDisplayObjects)
        {
            DisplayObject* pObject = g_pDisplayObjects;
            UnregisterDisplayObject(pObject);
            delete pObject;
        }
        g_Profile.m_Bullet.m_pModel = nullptr;
        SetLogEcho(true);
    }

    DisplayModel m_EnemyBox;
    DisplayModel m_BulletBox;
    D3DXMATRIX m_matIdentity;
};

TEST_F(GameObjectTest, BulletFiresOnceAndFliesUntilItsLifetimeIsBelowZero)
{
    BulletObject bullet;
    BulletSettings settings = g_Profile.m_Bullet;
    settings.ExpireCountdown = 0.5f;
    D3DXVECTOR3 vPosition(0, 50, 0), vVelocity(0, 0, 3);
    ASSERT_EQ(bullet.Fire(&settings, &vPosition, &m_matIdentity, &vVelocity), S_OK);
    EXPECT_EQ(bullet.m_fMass, settings.Mass);
    EXPECT_EQ(bullet.m_bGravity, 0);
    D3DXVECTOR3 vOther(9, 9, 9);
    EXPECT_EQ(bullet.Fire(&settings, &vOther, &m_matIdentity, &vOther), S_OK);
    EXPECT_EQ(bullet.m_pState->vPosition.x, 0.0f);
    EXPECT_EQ(bullet.m_pState->vVelocity.z, 3.0f);

    bullet.Integrate(0.25f);
    bullet.Integrate(0.25f);   // lifetime exactly 0: one more step
    EXPECT_EQ(bullet.m_bActive, 1);
    bullet.Integrate(0.25f);
    EXPECT_EQ(bullet.m_bActive, 0);
}

TEST_F(GameObjectTest, ShipFiresAtItsFirstStepThenEveryRechargeTime)
{
    g_Profile.m_Bullet.RechargeTime = 1.0f;
    ShipObject ship;
    D3DXVECTOR3 vPosition(0, 60, 0);
    ASSERT_EQ(ship.Init(0, &vPosition, &m_matIdentity, &m_EnemyBox), S_OK);
    EXPECT_EQ(ship.m_fShield, g_Profile.m_Ship.MaxShield);
    const int32_t nBefore = g_nDisplayObjects;
    std::vector<int32_t> counts;
    for (int nStep = 0; nStep < 9; ++nStep)
    {
        ship.EndStep(0.25f);
        counts.push_back(g_nDisplayObjects - nBefore);
    }
    EXPECT_EQ(counts, (std::vector<int32_t>{1, 1, 1, 1, 2, 2, 2, 2, 3}));
    // The bullet starts ahead of the ship along its z axis.
    auto* pBullet = static_cast<BulletObject*>(g_pDisplayObjects);
    EXPECT_EQ(pBullet->m_nType, DISPLAY_OBJECT_BULLET);
    EXPECT_NEAR(pBullet->m_pState->vPosition.z, ship.m_pState->vPosition.z + 1.0f, 1e-4f);

    // Without a bullet model no bullet is made.
    g_Profile.m_Bullet.m_pModel = nullptr;
    const int32_t nNow = g_nDisplayObjects;
    ship.Fire();
    EXPECT_EQ(g_nDisplayObjects, nNow);
}

TEST_F(GameObjectTest, ShipPitchSinksToMinusHalfPiAndStays)
{
    ShipObject ship;
    D3DXVECTOR3 vPosition(0, 60, 0);
    ASSERT_EQ(ship.Init(0, &vPosition, &m_matIdentity, &m_EnemyBox), S_OK);
    for (int nStep = 0; nStep < 100; ++nStep)
        ship.ComputeForces(0.5f);
    EXPECT_FLOAT_EQ(ship.m_fPitch, -1.5707964f);
    EXPECT_NEAR(ship.m_fYaw, 0.05f * 50.0f, 1e-4f);
    D3DXMATRIX expected;
    D3DXMatrixRotationYawPitchRoll(&expected, ship.m_fYaw, ship.m_fPitch, 0.0f);
    EXPECT_FLOAT_EQ(ship.m_pState->matOrientation._32, expected._32);
}

TEST_F(GameObjectTest, EnemyHitToZeroHealthDiesInPlace)
{
    g_Profile.GetEnemyType(0)->MaxHealth = 10.0f;
    EnemyObject enemy;
    D3DXVECTOR3 vPosition(0, 40, 0);
    ASSERT_EQ(enemy.Init(0, &vPosition, &m_matIdentity, &m_EnemyBox), S_OK);
    EXPECT_EQ(enemy.m_fHealth, 10.0f);
    BulletObject bullet;
    D3DXVECTOR3 vVelocity(0, 0, 1);
    ASSERT_EQ(bullet.Fire(&g_Profile.m_Bullet, &vPosition, &m_matIdentity, &vVelocity), S_OK);

    // Invulnerability not yet run out: the bullet is spent, the enemy unhurt.
    ApplyCollisionRules(&bullet, &enemy);
    EXPECT_EQ(bullet.m_bActive, 0);
    EXPECT_EQ(enemy.m_fHealth, 10.0f);

    BulletObject second;
    ASSERT_EQ(second.Fire(&g_Profile.m_Bullet, &vPosition, &m_matIdentity, &vVelocity), S_OK);
    enemy.m_fInvulnerableCountdown = -0.1f;
    ApplyCollisionRules(&second, &enemy);
    EXPECT_EQ(enemy.m_fHealth, 0.0f);
    EXPECT_EQ(enemy.m_fHitAnimationCountdown, g_Profile.GetEnemyType(0)->HitAnimationCountdown);

    enemy.ComputeForces(0.1f);
    EXPECT_EQ(enemy.m_bDying, 1);
    EXPECT_EQ(enemy.m_bMoving, 0);
    for (int nStep = 0; nStep < 9; ++nStep)
        enemy.ComputeForces(0.1f);
    EXPECT_EQ(enemy.m_bActive, 1);
    enemy.ComputeForces(0.11f);
    EXPECT_EQ(enemy.m_bActive, 0);
}

TEST_F(GameObjectTest, EnemyTouchingTheShipCostsShieldOnce)
{
    ShipObject ship;
    EnemyObject enemy;
    D3DXVECTOR3 vPosition(0, 40, 0);
    ASSERT_EQ(ship.Init(0, &vPosition, &m_matIdentity, &m_EnemyBox), S_OK);
    ASSERT_EQ(enemy.Init(0, &vPosition, &m_matIdentity, &m_EnemyBox), S_OK);
    ApplyCollisionRules(&ship, &enemy);
    EXPECT_EQ(ship.m_fShield, g_Profile.m_Ship.MaxShield - g_Profile.GetEnemyType(0)->Damage);
    EXPECT_EQ(enemy.m_fHealth, 0.0f);
    ApplyCollisionRules(&ship, &enemy);
    EXPECT_EQ(ship.m_fShield, g_Profile.m_Ship.MaxShield - g_Profile.GetEnemyType(0)->Damage);
}

TEST_F(GameObjectTest, OnlyRandomMoversPushThemselves)
{
    EnemyObject enemy;
    D3DXVECTOR3 vPosition(0, 40, 0);
    ASSERT_EQ(enemy.Init(0, &vPosition, &m_matIdentity, &m_EnemyBox), S_OK);
    enemy.ComputeForces(0.01f);
    EXPECT_EQ(enemy.m_pNextState->vForce.x, -3000.0f);
    EXPECT_NEAR(std::fabs(enemy.m_pNextState->vTorque.y), std::fabs(enemy.m_fTurnDirection) * 1000.0f, 1e-3f);
    g_Profile.GetEnemyType(0)->MovementType = 1;
    enemy.ComputeForces(0.01f);
    EXPECT_EQ(enemy.m_pNextState->vForce.x, 0.0f);
    EXPECT_EQ(enemy.m_pNextState->vTorque.y, 0.0f);
}

TEST_F(GameObjectTest, BulletMeetingAnEnemyFaceIsSpentAndPushesItWithMomentumKept)
{
    g_Profile.GetEnemyType(0)->MovementType = 1;
    EnemyObject enemy;
    BulletObject bullet;
    D3DXVECTOR3 vEnemy(0, 40, 0), vBullet(0.1f, 40.2f, -1.3f), vVelocity(0, 0, 6);
    ASSERT_EQ(enemy.Init(0, &vEnemy, &m_matIdentity, &m_EnemyBox), S_OK);
    ASSERT_EQ(bullet.Fire(&g_Profile.m_Bullet, &vBullet, &m_matIdentity, &vVelocity), S_OK);
    enemy.m_bGravity = 0;
    enemy.Integrate(0.0f);
    bullet.Integrate(0.0f);
    enemy.m_fInvulnerableCountdown = -1.0f;
    auto Momentum = [&] {
        return bullet.m_fMass * bullet.m_pNextState->vVelocity + enemy.m_fMass * enemy.m_pState->vVelocity;
    };
    const D3DXVECTOR3 vBefore = Momentum();

    // The bullet's +z corners sit 0.05 in front of the enemy's -z face.
    bullet.Collide(0, &enemy);
    EXPECT_EQ(bullet.m_bActive, 0);
    EXPECT_EQ(enemy.m_fHealth, 100.0f - g_Profile.m_Bullet.Damage);
    const D3DXVECTOR3 vAfter = Momentum();
    EXPECT_NEAR(vAfter.x, vBefore.x, 1e-3f);
    EXPECT_NEAR(vAfter.y, vBefore.y, 1e-3f);
    EXPECT_NEAR(vAfter.z, vBefore.z, 1e-3f);
    EXPECT_LT(bullet.m_pNextState->vVelocity.z, 0.0f);
    EXPECT_GT(enemy.m_pState->vVelocity.z, 0.0f);
}

TEST_F(GameObjectTest, NoCollisionWithTheShipOrBeyondTheRadii)
{
    ShipObject ship;
    BulletObject bullet;
    D3DXVECTOR3 vShip(0, 40, 0), vBullet(0, 40, -1.3f), vVelocity(0, 0, 6);
    ASSERT_EQ(ship.Init(0, &vShip, &m_matIdentity, &m_EnemyBox), S_OK);
    ASSERT_EQ(bullet.Fire(&g_Profile.m_Bullet, &vBullet, &m_matIdentity, &vVelocity), S_OK);
    ship.Integrate(0.0f);
    bullet.Integrate(0.0f);
    bullet.Collide(0, &ship);
    EXPECT_EQ(bullet.m_bActive, 1);
    EXPECT_EQ(bullet.m_pNextState->vVelocity.z, 6.0f);

    // Radii adding up exactly to the distance: no contact.
    EnemyObject enemy;
    ASSERT_EQ(enemy.Init(0, &vShip, &m_matIdentity, &m_EnemyBox), S_OK);
    enemy.Integrate(0.0f);
    m_EnemyBox.m_fRadius = 1.3f - m_BulletBox.m_fRadius;
    bullet.Collide(0, &enemy);
    EXPECT_EQ(bullet.m_bActive, 1);
}
}
