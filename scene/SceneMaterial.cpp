#include "scene/SceneMaterial.h"

SceneMaterial::SceneMaterial()
{
    m_Material.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    m_Material.Specular = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
}

SceneMaterial::~SceneMaterial() = default;

void SceneMaterial::SetTextureIds(int nId0, int nId1, int nId2, int nId3, int nId4, int nId5)
{
    const int ids[6] = {nId0, nId1, nId2, nId3, nId4, nId5};
    for (int i = 0; i < 6; ++i)
        m_nTextureIds[i] = ids[i];
    m_nMaterialIds[2] = 5;
}
