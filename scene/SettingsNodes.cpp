#include "scene/SettingsNodes.h"

ImageSettings::ImageSettings()
{
    CopySceneName(m_szImagePath, "Images/Default.bmp");
}

ImageSettings::~ImageSettings() = default;

RenderSettings::RenderSettings() = default;

RenderSettings::~RenderSettings() = default;

EnvironmentSettings::EnvironmentSettings()
{
    CopySceneName(m_szEnvironmentPath, "Media/envdef.dds");
}

EnvironmentSettings::~EnvironmentSettings() = default;
