#pragma once
// D3DX 9 sprite object, declared from the public documentation as far as the system uses it:
// the scene's sprite item creates one and forwards device loss and reset to it. Nothing draws
// through it, so it holds no device resources and both notifications have nothing to do.
#include <d3d9.h>

struct ID3DXSprite : IUnknown
{
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXSprite* LPD3DXSPRITE;

HRESULT D3DXCreateSprite(LPDIRECT3DDEVICE9 pDevice, LPD3DXSPRITE* ppSprite);
