#include "scene/SceneSprite.h"

SceneSprite::SceneSprite()
{
    SetType(TREE_ITEM_SPRITE);
    m_matSprite.SetIdentity();
}

SceneSprite::~SceneSprite()
{
    if (m_pSprite)
        m_pSprite->Release();
}

HRESULT SceneSprite::CreateSprite(IDirect3DDevice9* pDevice)
{
    if (m_pSprite)
    {
        m_pSprite->Release();
        m_pSprite = nullptr;
    }
    return D3DXCreateSprite(pDevice, &m_pSprite);
}

void SceneSprite::OnLostDevice()
{
    if (m_pSprite)
        m_pSprite->OnLostDevice();
}

void SceneSprite::OnResetDevice()
{
    if (m_pSprite)
        m_pSprite->OnResetDevice();
}
