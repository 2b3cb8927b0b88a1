#include "raster/BackgroundBox.h"

#include "scene/PointerArray.h"
#include "scene/SceneLight.h"

#include <algorithm>
#include <cmath>

Vector3 g_vSceneMin{0.0f, 0.0f, 0.0f};
Vector3 g_vSceneMax{0.0f, 0.0f, 0.0f};
IDirect3DCubeTexture9* g_pCubeTarget = nullptr;

namespace
{
Vector3 Centre(const Vector3& vMin, const Vector3& vMax)
{
    return Vector3((vMin.x + vMax.x) * 0.5f, (vMin.y + vMax.y) * 0.5f, (vMin.z + vMax.z) * 0.5f);
}
}

float BackgroundBoxSide(int nMode, const Vector3& vSceneMin, const Vector3& vSceneMax, const PointerArray& lights)
{
    if (nMode == BACKGROUND_CAMERA)
    {
        float fSide = std::max({vSceneMax.x - vSceneMin.x, vSceneMax.y - vSceneMin.y, vSceneMax.z - vSceneMin.z});
        return 1.5f * fSide;
    }
    // The light views only need the box to enclose every light: each distance that reaches past
    // the current half side makes the side 2.1 times that distance, so later lights are tested
    // against the grown box.
    const Vector3 m = Centre(vSceneMin, vSceneMax);
    float fSide = 1.1f;
    for (uint32_t i = 0; i < lights.GetCount(); ++i)
    {
        const SceneLight* pLight = static_cast<const SceneLight*>(lights.Get(i));
        if (!pLight || pLight->m_bEnabled == 0)
            continue;
        const float distances[3] = {std::fabs(pLight->m_vLightPosition.x - m.x),
                                    std::fabs(pLight->m_vLightPosition.y - m.y),
                                    std::fabs(pLight->m_vLightPosition.z - m.z)};
        for (float d : distances)
        {
            if (d > fSide / 2.0f)
                fSide = 2.1f * d;
        }
    }
    return fSide;
}

void BuildBackgroundBoxConstants(const Vector3& vEye, const D3DXMATRIX& view, const D3DXMATRIX& projection,
                                 const Vector3& vSceneMin, const Vector3& vSceneMax, ConstantTable& vertex,
                                 ConstantTable& pixel)
{
    const Vector3 m = Centre(vSceneMin, vSceneMax);
    pixel.Set(0, m.x, m.y, m.z, 1.0f);
    pixel.Set(1, 2.0f, 1.0f, 1.0f, 0.5f);
    pixel.Set(8, 0.5f, 0.5f, 0.5f, 1.0f);
    pixel.Set(16, 0.0f, 0.0f, 49.12f, 1.0f);
    // w is the noise's share of the bent normal: 0, so the light modes reflect off the plain wall.
    pixel.Set(19, 1.0f, 1.0f, 0.1f, 0.0f);
    pixel.Set(23, vSceneMax.x - vSceneMin.x, vSceneMax.y - vSceneMin.y, vSceneMax.z - vSceneMin.z, 1.0f);
    pixel.Set(24, vSceneMin.x, vSceneMin.y, vSceneMin.z, 1.0f);

    D3DXMATRIX world, viewProjection, worldViewProjection;
    D3DXMatrixTranslation(&world, m.x, m.y, m.z);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    D3DXMatrixMultiply(&worldViewProjection, &world, &viewProjection);
    vertex.Set(2, vEye.x, vEye.y, vEye.z, 1.0f);
    vertex.SetTransposed(4, worldViewProjection);
    vertex.SetTransposed(8, world);
    vertex.SetTransposed(12, viewProjection);
}
