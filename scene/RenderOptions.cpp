#include "scene/RenderOptions.h"

int32_t g_bTracePhoton = 0;
int32_t g_bReflection = 0;
int32_t g_bRefraction = 0;
int32_t g_bBackground = 0;
int32_t g_bBackgroundForGlobal = 0;
int32_t g_bForceWireframe = 0;
int32_t g_bDynamicCubeMap = 0;
int32_t g_nLayerPasses = 1;
float g_fLayerScale = 0.0f;
float g_fMaterialScale = 1.0f;
int32_t g_nCubePasses = 0;
int32_t g_bStoredOption1 = 1;
int32_t g_bStoredOption2 = 0;
int32_t g_bUseSortedPass = 1;

// Init sets 48 direct photons, Load sets 32 afterwards; the Gaussian coefficients come from Load.
int32_t g_bDirectIllumination = 1;
int32_t g_nDirectPhoton = 32;
float g_fDirectSearchRadius = 1.0f;
float g_fDirectGaussianCoef = 0.5f;
int32_t g_nDirectEmanateTile = 3;
int32_t g_bGlobalIllumination = 1;
int32_t g_nGlobalPhoton = 512;
float g_fGlobalSearchRadius = 1.0f;
float g_fGlobalGaussianCoef = 0.05f;
int32_t g_nGlobalEmanateTile = 1;
int32_t g_nPhotonBlock = 24;

int32_t g_bAntialiasing = 0;
int32_t g_nSamplingLevel = 2;
// Relative until Load prefixes the working directory.
char g_szImagePath[IMAGE_PATH_SIZE] = "Images/Default.bmp";
char g_szBackgroundPath[IMAGE_PATH_SIZE] = "Media/t.dds";

uint8_t g_bSceneChanged = 1;

// The labels are fixed texts: "70 mm" with a blank in 22 and 23, "70mm" without in 24 and 25.
const OutputSizePreset g_OutputSizePresets[OUTPUT_SIZE_PRESET_COUNT] = {
    {"Format Screen 320x240", 320, 240},
    {"Format Screen 640x480", 640, 480},
    {"Format Screen 800x600", 800, 600},
    {"Format Screen 1024x768", 1024, 768},
    {"Format Screen 1152x864", 1152, 864},
    {"Format Screen 1280x768", 1280, 768},
    {"Format Screen 1280x960", 1280, 960},
    {"Format Screen 1280x1024", 1280, 1024},
    {"Format Square 256x256", 256, 256},
    {"Format Square 512x512", 512, 512},
    {"Format Square 1024x1024", 1024, 1024},
    {"Format Square 2048x2048", 2048, 2048},
    {"Format NTSC DV 720x480", 720, 480},
    {"Format NTSC D1 720x486", 720, 486},
    {"Format PAL DV 768x576", 768, 576},
    {"Format PAL D1 720x576", 720, 576},
    {"Format HDTV High 1920x1080", 1920, 1080},
    {"Format HDTV Low 1280x720", 1280, 720},
    {"Format Slide High 4096x2732", 4096, 2732},
    {"Format Slide Low 2048x1366", 2048, 1366},
    {"Format 35 mm High 4096x3112", 4096, 3112},
    {"Format 35 mm Low 2048x1556", 2048, 1556},
    {"Format 70 mm High 4096x1862", 4096, 1862},
    {"Format 70 mm Low 1536x698", 1536, 698},
    {"Format 70mm IMax High 4096x3003", 4096, 3003},
    {"Format 70mm IMax Low 1536x1126", 1536, 1126},
};

const OutputSizePreset& GetOutputSizePreset(int nIndex)
{
    if (nIndex < 0 || nIndex >= OUTPUT_SIZE_PRESET_COUNT)
        nIndex = 1;
    return g_OutputSizePresets[nIndex];
}

int32_t ClampOption(int32_t nValue, int32_t nMin, int32_t nMax)
{
    return nValue < nMin ? nMin : (nValue > nMax ? nMax : nValue);
}
