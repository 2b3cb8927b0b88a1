#pragma once
// The rendering options and the photon tracer's parameters: process-wide values that every pass
// reads when it runs, that the property tree edits in place, and part of which travel with a
// ".qnl" scene (its render-options block). Each starts at its effective start-up value, the one
// the application's Load leaves (Load runs after Init and wins where both set a value).
//
// Also here: the output-size presets of the traced image, the valid ranges of the options that
// index tables or drive loops (the scene readers clamp file values to them), and the flag that
// tells the frame driver a new scene has to be set up (triangle grid, cube map).
//
// Flags are 32-bit ints, 0 meaning off. Some passes compare a flag with 1, others test it for
// non-zero, so anything that stores a flag stores 0 or 1.
#include <cstdint>

// ---- Render options.
extern int32_t g_bTracePhoton;        // run the photon tracer at the end of the main pass
extern int32_t g_bReflection;         // reflective materials and the tracer's reflection path
extern int32_t g_bRefraction;         // refractive materials and the tracer's refraction path
extern int32_t g_bBackground;         // background box behind the scene; traced light added over it
extern int32_t g_bBackgroundForGlobal; // background box in the light-view photon targets too
extern int32_t g_bForceWireframe;     // main pass in wireframe
extern int32_t g_bDynamicCubeMap;     // environment cube re-rendered every frame
extern int32_t g_nLayerPasses;        // extra layer passes per mesh in the main pass
extern float g_fLayerScale;           // factor of a material parameter in the layer constants
extern float g_fMaterialScale;        // factor of a material parameter in the light constants
extern int32_t g_nCubePasses;         // pass count of the older environment-cube driver
extern int32_t g_bStoredOption1;      // kept with the scene's options; nothing else reads it
extern int32_t g_bStoredOption2;      // kept with the scene's options; nothing else reads it
extern int32_t g_bUseSortedPass;      // main scene pass (1) rather than the forward pass (0)

// ---- Photon tracer parameters (never stored in scene files).
extern int32_t g_bDirectIllumination; // compared with 1
extern int32_t g_nDirectPhoton;
extern float g_fDirectSearchRadius;
extern float g_fDirectGaussianCoef;
extern int32_t g_nDirectEmanateTile;  // the direct light-pass/trace pair runs this squared per light and tile
extern int32_t g_bGlobalIllumination; // compared with 1
extern int32_t g_nGlobalPhoton;
extern float g_fGlobalSearchRadius;
extern float g_fGlobalGaussianCoef;
extern int32_t g_nGlobalEmanateTile;
extern int32_t g_nPhotonBlock;

// ---- Image parameters. The preset index itself is ImageSettings::m_nImageFormat of the scene.
extern int32_t g_bAntialiasing;       // supersample: Sampling Level x Sampling Level tiles, box-filtered
extern int32_t g_nSamplingLevel;
constexpr int IMAGE_PATH_SIZE = 256;
// Where the traced image is saved as a BMP; Load puts the working directory in front.
extern char g_szImagePath[IMAGE_PATH_SIZE];
// The background box's cube-map file.
extern char g_szBackgroundPath[IMAGE_PATH_SIZE];

// ---- Scene change: 1 from start-up and after every open, merge or mesh removal; the frame
// driver does the new scene's set-up on its next frame with a mesh and clears it.
extern uint8_t g_bSceneChanged;

// ---- Output-size presets of the traced image, indexed by ImageSettings::m_nImageFormat.
struct OutputSizePreset
{
    const char* m_szLabel;   // the text the property tree and the image-format dialog show
    int32_t m_nWidth;
    int32_t m_nHeight;
};
constexpr int OUTPUT_SIZE_PRESET_COUNT = 26;
extern const OutputSizePreset g_OutputSizePresets[OUTPUT_SIZE_PRESET_COUNT];
// The preset of an index; an index outside the table gives preset 1 (640 x 480).
const OutputSizePreset& GetOutputSizePreset(int nIndex);

// ---- Ranges of values that index tables or count loops.
// Depth-of-field quality and blur as the property tree offers them.
constexpr int32_t DOF_QUALITY_MIN = 1;
constexpr int32_t DOF_QUALITY_MAX = 24;
constexpr int32_t DOF_BLUR_MIN = 0;
constexpr int32_t DOF_BLUR_MAX = 100;
// The layer passes take nine jitter entries from 9 x (25 - L + k): L may not pass 25.
constexpr int32_t LAYER_PASSES_MAX = 25;

int32_t ClampOption(int32_t nValue, int32_t nMin, int32_t nMax);
