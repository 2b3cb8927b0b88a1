#include "scene/SceneLight.h"

SceneLight::SceneLight()
{
    SetType(TREE_ITEM_LIGHT);
}

SceneLight::~SceneLight() = default;
