// The sprite object holds its device and answers device loss and reset.
#include "TestDevice.h"

#include <d3d9/testing.h>
#include <d3dx9core.h>

namespace
{

TEST(D3DXSprite, CreateNotifyAndRelease)
{
    TestDevice device;
    ASSERT_NE(device.get(), nullptr);
    ID3DXSprite* sprite = nullptr;
    EXPECT_EQ(D3DXCreateSprite(nullptr, &sprite), D3DERR_INVALIDCALL);
    ASSERT_EQ(D3DXCreateSprite(device.get(), &sprite), D3D_OK);
    EXPECT_EQ(sprite->OnLostDevice(), D3D_OK);
    EXPECT_EQ(sprite->OnResetDevice(), D3D_OK);
    IDirect3DDevice9* held = nullptr;
    ASSERT_EQ(sprite->GetDevice(&held), D3D_OK);
    EXPECT_EQ(held, device.get());
    held->Release();
    EXPECT_EQ(sprite->Release(), 0u);
}

} // namespace
