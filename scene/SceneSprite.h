#pragma once
// A 2D sprite item of the rendering core: a D3DX sprite object with its texture id and its
// placement (matrix, scale, centre, offset, rotation). Nothing in the program creates one yet.
#include "core/Matrix4.h"
#include "scene/SceneObject.h"

#include <d3dx9core.h>
#include <d3dx9math.h>

#include <cstdint>

class SceneSprite : public SceneObject
{
public:
    SceneSprite();
    // Releases the sprite object the item created.
    ~SceneSprite() override;

    // Creates the sprite object on the device (releasing one made before); the D3DX result.
    HRESULT CreateSprite(IDirect3DDevice9* pDevice);
    bool Update() { return true; }
    void SetTransform(Matrix4 matTransform) { m_matSprite = matTransform; }
    // Pass device loss and reset on to the sprite object, when there is one.
    void OnLostDevice();
    void OnResetDevice();

    int32_t m_nSpriteValue0 = 0;
    int32_t m_nSpriteValue1 = 1;
    ID3DXSprite* m_pSprite = nullptr;
    // Renderer texture id; -1 for none.
    int32_t m_nTextureId = -1;
    int32_t m_nSpriteValue2 = 0;
    int32_t m_nSpriteValue3 = 0;
    int32_t m_nSpriteValue4 = 1;
    int32_t m_nSpriteValue5 = 1;
    Matrix4 m_matSprite;
    D3DXVECTOR2 m_vSpriteScale{1.0f, 1.0f};
    D3DXVECTOR2 m_vSpriteCenter{0.0f, 0.0f};
    D3DXVECTOR2 m_vSpriteOffset{0.0f, 0.0f};
    // Radians.
    float m_fSpriteRotation = 0.0f;
};
