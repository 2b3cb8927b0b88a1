#include "scene/SceneSprite.h"

#include <d3d9.h>
#include <d3d9/testing.h>

#include <gtest/gtest.h>

namespace
{
// A small software device, released with the test.
class SpriteDevice
{
public:
    SpriteDevice()
    {
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        if (!m_pD3D)
            return;
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(16, 16, D3DFMT_X8R8G8B8);
        m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_pDevice);
    }
    ~SpriteDevice()
    {
        if (m_pDevice)
            m_pDevice->Release();
        if (m_pD3D)
            m_pD3D->Release();
    }
    IDirect3DDevice9* Get() const { return m_pDevice; }

private:
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
};
}

TEST(SceneSpriteTest, Defaults)
{
    SceneSprite sprite;
    const int values[] = {sprite.m_nType,         sprite.m_nSpriteValue0, sprite.m_nSpriteValue1, sprite.m_nTextureId,
                          sprite.m_nSpriteValue2, sprite.m_nSpriteValue3, sprite.m_nSpriteValue4, sprite.m_nSpriteValue5};
    const int expected[] = {30, 0, 1, -1, 0, 0, 1, 1};
    for (size_t i = 0; i < sizeof(values) / sizeof(values[0]); ++i)
        EXPECT_EQ(values[i], expected[i]) << i;
    EXPECT_EQ(sprite.m_pSprite, nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(sprite.m_matSprite.e[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    EXPECT_EQ(sprite.m_vSpriteScale, D3DXVECTOR2(1.0f, 1.0f));
    EXPECT_EQ(sprite.m_vSpriteCenter, D3DXVECTOR2(0.0f, 0.0f));
    EXPECT_EQ(sprite.m_vSpriteOffset, D3DXVECTOR2(0.0f, 0.0f));
    EXPECT_EQ(sprite.m_fSpriteRotation, 0.0f);
    EXPECT_TRUE(sprite.Update());
    // Without a sprite object, device notifications do nothing.
    sprite.OnLostDevice();
    sprite.OnResetDevice();
}

TEST(SceneSpriteTest, CreatesItsSpriteOnTheDeviceAndPassesNotificationsOn)
{
    SpriteDevice device;
    ASSERT_NE(device.Get(), nullptr);
    SceneSprite sprite;
    EXPECT_EQ(sprite.CreateSprite(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite.m_pSprite, nullptr);
    ASSERT_EQ(sprite.CreateSprite(device.Get()), D3D_OK);
    ASSERT_NE(sprite.m_pSprite, nullptr);
    IDirect3DDevice9* pHeld = nullptr;
    ASSERT_EQ(sprite.m_pSprite->GetDevice(&pHeld), D3D_OK);
    EXPECT_EQ(pHeld, device.Get());
    pHeld->Release();
    sprite.OnLostDevice();
    sprite.OnResetDevice();
    // A second creation replaces the first object.
    ASSERT_EQ(sprite.CreateSprite(device.Get()), D3D_OK);

    Matrix4 m;
    m.SetIdentity();
    m.e[12] = 4.0f;
    sprite.SetTransform(m);
    EXPECT_EQ(sprite.m_matSprite.e[12], 4.0f);
}
