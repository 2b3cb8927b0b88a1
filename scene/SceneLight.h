#pragma once
// A light of the scene: the Direct3D light record followed by the program's own rendering
// parameters (halo, lens flare, spot-light cone, cube texture). The scene readers, the importers
// and the property tree's "Add Light" fill it; the constructor sets only the option values,
// the enabled flag and the type code, and starts everything else at zero (texture ids at -1,
// none).
#include "core/Matrix4.h"
#include "core/Vector3.h"
#include "scene/SceneObject.h"

#include <d3d9.h>

#include <cstdint>

class SceneLight : public SceneObject
{
public:
    SceneLight();
    // The cube texture is not released here: the scene store that made it releases it.
    ~SceneLight() override;

    // Type 1 point, 2 spot, 3 directional; diffuse colour, direction, range, attenuation,
    // hot spot (Theta) and falloff (Phi) as the property tree shows them.
    D3DLIGHT9 m_Light{};
    int32_t m_bHalo = 0;
    float m_fHaloValue1 = 0.0f;
    float m_fHaloSize = 0.0f;
    float m_fHaloValue2 = 0.0f;
    float m_fHaloPower = 0.0f;
    int32_t m_bLensFlare = 0;
    int32_t m_bLensFlareRing = 0;
    // Number of flare elements, 0 to 100.
    int32_t m_nLensCount = 0;
    float m_fLensFlareSize = 0.0f;
    float m_fLensFlareDensity = 0.0f;
    // The scene readers set 1; the scene files carry only its low byte.
    int32_t m_bLightFlag = 0;
    char m_szCubeMapPath[SCENE_NAME_SIZE] = {};
    Vector3 m_vLightPosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vLightVector1{0.0f, 0.0f, 0.0f};
    Vector3 m_vLightVector2{0.0f, 0.0f, 0.0f};
    int32_t m_nLightOptions[6] = {1, 1, 1, 1, 1, 1};
    // The light takes part in rendering.
    int32_t m_bEnabled = 1;
    // Renderer texture ids that the lighting passes bind to stage 3.
    int32_t m_nTextureId = -1;
    int32_t m_nTextureId2 = -1;
    Matrix4 m_matLight1{};
    Matrix4 m_matLight2{};
    // Made from m_szCubeMapPath by the scene readers; bound to stage 6 by the lighting pass.
    IDirect3DCubeTexture9* m_pCubeTexture = nullptr;
    int32_t m_nLightKind = 0;
    // Spot-light cone: on, quality 0 to 100, dust density, noise scale.
    int32_t m_bCone = 0;
    int32_t m_nConeQuality = 0;
    float m_fDustDensity = 0.0f;
    float m_fNoiseScale = 0.0f;
    // Shadow-volume samples: 1 draws from the light itself, more add jittered copies of it for
    // a soft edge, 0 none. Not stored by the scene files.
    int32_t m_nShadowSamples = 1;
};
