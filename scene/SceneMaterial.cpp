#include "scene/SceneMaterial.h"

SceneMaterial::SceneMaterial()
{
    m_Material.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    m_Material.Specular = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
}

SceneMaterial::~SceneMaterial() = default;
