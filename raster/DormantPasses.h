#pragma once
// What the passes no frame calls keep between calls: the float targets of the matrix-product
// timing and its last result, and the sphere around the near part of the view.
#include <d3d9.h>
#include <d3dx9math.h>

// Side in texels of the timing targets.
constexpr int TIMING_TARGET_SIZE = 512;
constexpr int TIMING_TEXTURE_COUNT = 8;   // rows of A (0-3) and of B (4-7)
constexpr int TIMING_SURFACE_COUNT = 4;   // rows of A x B

// A32B32G32R32F, one level, render-target usage.
extern IDirect3DTexture9* g_pTimingTextures[TIMING_TEXTURE_COUNT];
// A32B32G32R32F lockable render targets, no multisampling.
extern IDirect3DSurface9* g_pTimingSurfaces[TIMING_SURFACE_COUNT];
// Seconds of render clock the last timing run's draws took.
extern float g_fTimingResult;
// Set by RenderApp::ComputeViewSlabSphere; nothing reads them.
extern D3DXVECTOR3 g_vViewSlabCentre;
extern float g_fViewSlabRadius;
