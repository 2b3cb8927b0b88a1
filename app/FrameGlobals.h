#pragma once
// Process-wide state that the application creates or sets and the passes of both renderers read:
// the frame's matrices, the resources made once at load time, and the counters the statistics
// overlay prints. Render options and tracer parameters are in scene/RenderOptions.h, the working
// and media directories in scene/MediaDirectory.h.
#include "core/Matrix4.h"
#include "morvyn/morvyn.h"
#include "scene/PathFile.h"

#include <d3d9.h>

#include <cstdint>
#include <vector>

class RenderApp;

// The application object, published by RenderApp::Init.
extern RenderApp* g_pRenderApp;

// The frame's camera matrices, set by the frame driver before the passes; a pass that replaces
// one while it draws says so. g_matView and g_matProjection belong to the rendering core
// (morvyn/morvyn.h); scene/D3DXBridge.h converts them to D3DXMATRIX.
extern Matrix4 g_matViewProjection;

// Faces drawn in the current frame: reset by the frame driver, counted by the passes.
extern int32_t g_nVisibleFaces;

// ---- Frame driver: the render surface window's mode and camera-path recording.
// Whether the render surface window covers the desktop (it follows g_bFullScreenRequest).
extern uint8_t g_bRenderWndFullScreen;
// Camera-path recording is running; its keys (one per drawn frame) and their total time. A new
// recording starts an empty list, so each saved file holds that recording alone.
extern uint8_t g_bRecordingPath;
extern float g_fPathTime;
extern std::vector<PathKey> g_PathKeys;
// The camera-path file dialogs' default extension and filter ('|'-separated, as MFC's dialog
// takes it).
constexpr const char* CAMERA_PATH_EXTENSION = "pth";
constexpr const char* CAMERA_PATH_FILTER = "Path file (*.pth)|*.pth|Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";

// ---- Made by RenderApp::Load and kept until the device is released.
// The background box's cube texture ("Media/t.dds").
extern IDirect3DCubeTexture9* g_pEnvironmentCubeTexture;
// The 640 x 480 overlay bitmap of the program's resources (bitmap 271).
extern IDirect3DTexture9* g_pOverlayTexture;
// Renderer texture id of the noise image "Media/DiffuseB.bmp"; -1 when it did not load.
extern int32_t g_nNoiseTexture;
// Renderer id of the 128 x 128 environment cube render target; -1 until made.
extern int32_t g_nEnvCubeTarget;
// Renderer id of the dynamic environment cube's own target, made like the first; -1 until made.
extern int32_t g_nEnvCubeTarget2;
// The 24-byte screen-quad vertex (POSITION float4, TEXCOORD0 float2).
extern IDirect3DVertexDeclaration9* g_pQuadDeclaration;
// The 16-byte grid-point vertex (POSITION float2, TEXCOORD0 float2).
extern IDirect3DVertexDeclaration9* g_pPointDecl;

// ---- Editing and scene state the main window watches.
// Set when the property tree must be rebuilt (a mesh removed, a material detached).
extern int32_t g_bRebuildTree;
// Available texture memory in bytes, recorded after a scene is opened.
extern int32_t g_nAvailableTextureMem;
// Renderer id of the image the load-image commands loaded last; -1 before any.
extern int32_t g_nLoadedImageTexture;

// ---- Photon tracer statistics: maintained by the tracer, printed by the overlay.
// Finished traced renders; Load sets 0.
extern int32_t g_nCompletedRenders;
// Photons accumulated since start-up; one render can add more than a 32-bit count holds.
extern int64_t g_nAccumulatedPhotons;
extern int32_t g_nRadianceEstimatePasses;
