#pragma once
// A material of the scene: the Direct3D material record followed by the program's own
// parameters (reflection, opacity, refraction, seven texture maps with their repeat factors and
// renderer texture ids). Materials never receive a type code. The constructor sets white diffuse
// and specular colour, unit opacity, powers and repeats, and the map flags; the scene readers
// and the property tree fill the rest, which starts at zero (texture ids at -1, none).
#include "scene/SceneObject.h"

#include <d3d9.h>

#include <cstdint>
#include <cstring>

class SceneMaterial : public SceneObject
{
public:
    // Slots of m_szTexturePaths.
    enum TexturePath
    {
        PATH_DIFFUSE = 0,
        PATH_GLOSS = 1,
        PATH_BUMP = 2,
        TEXTURE_PATH_COUNT = 7,
    };
    // Slots of m_fRepeatU and m_fRepeatV.
    enum RepeatSlot
    {
        REPEAT_DIFFUSE = 0,
        REPEAT_BUMP = 1,
        REPEAT_GLOSS = 2,
    };
    // Slots of m_nTextureIds.
    enum TextureSlot
    {
        TEXTURE_DIFFUSE = 0,
        TEXTURE_BUMP = 1,
        TEXTURE_CUBE = 2,
        TEXTURE_GLOSS = 3,
    };

    SceneMaterial();
    ~SceneMaterial() override;
    // The scene-object fields, then every member in order; the "Detach Material" command copies
    // a mesh's material under a new name with it.
    SceneMaterial& operator=(const SceneMaterial& other) = default;

    // Entries 1, 2, 6 and 7 of m_nMaterialOptions hold floats.
    float GetOptionFloat(int nIndex) const
    {
        float f;
        std::memcpy(&f, &m_nMaterialOptions[nIndex], sizeof(f));
        return f;
    }
    void SetOptionFloat(int nIndex, float f) { std::memcpy(&m_nMaterialOptions[nIndex], &f, sizeof(f)); }

    // Stores six renderer texture ids in slots 0 to 5 of m_nTextureIds, in the order given (the
    // scene readers pass diffuse, bump, -1 for the cube slot, gloss, -1, -1), and sets entry 2 of
    // m_nMaterialIds to 5.
    void SetTextureIds(int nId0, int nId1, int nId2, int nId3, int nId4, int nId5);

    // Diffuse r, g, b; Ambient r ("Ambient Power"); Specular r, g, b; Power (1000 to 250000).
    D3DMATERIAL9 m_Material{};
    // Reflection colour r, g, b and a fourth value.
    float m_vReflectionColor[4] = {};
    // Opacity, then three further values.
    float m_vOpacity[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    // Refraction index, then three values.
    float m_vRefraction[4] = {};
    float m_vMaterialValues[4] = {};
    // 100 to 25000, and 1000 to 250000.
    float m_fBumpPower = 1.0f;
    float m_fGlossPower = 1.0f;
    char m_szTexturePaths[TEXTURE_PATH_COUNT][SCENE_NAME_SIZE] = {};
    float m_fRepeatV[8] = {1.0f};
    float m_fRepeatU[8] = {1.0f};
    // A factor of the lighting constants; the lighting pass caps it at 1.
    float m_fMaterialFactor = 1.0f;
    float m_fMaterialValue1 = 0.0f;
    float m_fMaterialValue2 = 0.0f;
    // Entries 4 and 5 start at 1; 1 and 2 are floats read by the layer passes, 6 and 7 floats
    // read by the per-light passes; 0, 3, 4 and 5 are only stored by the scene files.
    int32_t m_nMaterialOptions[8] = {0, 0, 0, 0, 1, 1, 0, 0};
    // Byte 1: the environment pass uses the material's own cube texture.
    uint8_t m_bMaterialFlags[4] = {};
    uint8_t m_bMapFlags[12] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    int32_t m_nTextureIds[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    // Entry 0 is read by the renderers.
    int32_t m_nMaterialIds[5] = {-1, -1, 0, 0, 0};
    uint8_t m_bMaterialByte = 0;
    int32_t m_nMaterialValues[6] = {};
    uint8_t m_bMaterialByte2 = 0;
    // The mesh is drawn in the transparent pass.
    uint8_t m_bAlphaTransparency = 0;
    int32_t m_nMaterialValue = 1;
    // Read by the photon tracer's reflection and refraction passes.
    float m_vTracerColor[3] = {};
};
