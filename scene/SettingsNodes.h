#pragma once
// The three settings nodes every scene store holds, so that the property tree can point at the
// output-image and environment options of the scene. Only ImageSettings is read at run time:
// the photon tracer takes the output-size preset from m_nImageFormat and writes the size it
// chose into m_nOutputWidth and m_nOutputHeight. The constructors leave the type code unset;
// the property tree stamps 31 on the image node and 32 on the environment node.
#include "scene/SceneNode.h"
#include "scene/SceneObject.h"

#include <cstdint>

class ImageSettings : public SceneNode, public SceneObject
{
public:
    ImageSettings();
    ~ImageSettings() override;

    uint8_t m_bImageFlag = 0;
    int32_t m_nImageValue = 2;
    // Index of the output-size preset of the traced image.
    int32_t m_nImageFormat = 1;
    // Size of the traced image in pixels.
    int32_t m_nOutputWidth = 640;
    int32_t m_nOutputHeight = 480;
    // The node's own output path; the traced image goes to the path the property tree edits.
    char m_szImagePath[SCENE_NAME_SIZE];
};

// Sixteen rendering values kept with the scene; nothing reads or changes them after construction.
class RenderSettings : public SceneNode, public SceneObject
{
public:
    RenderSettings();
    ~RenderSettings() override;

    int32_t m_nRenderValue1 = 25;
    int32_t m_nRenderValue2 = 32;
    int32_t m_nRenderValue3 = 32;
    int32_t m_nRenderValue4 = 8;
    int32_t m_nRenderValue5 = 128;
    float m_fRenderValue6 = 1.0f;
    int32_t m_nRenderValue7 = 32;
    float m_fRenderValue8 = 1.0f;
    int32_t m_nRenderValue9 = 500;
    int32_t m_nRenderValue10 = 2;
    int32_t m_nRenderValue11 = 1;
    int32_t m_nRenderValue12 = 1;
    int32_t m_nRenderValue13 = 1;
    int32_t m_nRenderValue14 = 1;
    float m_fRenderValue15 = 0.1f;
    float m_fRenderValue16 = 2.0f;
};

// The environment options of the scene; the renderers take their background cube texture from
// a separate path that the property tree edits, so nothing reads these members.
class EnvironmentSettings : public SceneNode, public SceneObject
{
public:
    EnvironmentSettings();
    ~EnvironmentSettings() override;

    char m_szEnvironmentPath[SCENE_NAME_SIZE];
    int32_t m_EnvironmentValues[4] = {};
    uint8_t m_bEnvironmentFlag1 = 0;
    uint8_t m_bEnvironmentFlag2 = 0;
};
