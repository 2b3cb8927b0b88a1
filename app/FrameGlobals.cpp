#include "app/FrameGlobals.h"

RenderApp* g_pRenderApp = nullptr;

Matrix4 g_matViewProjection = [] {
    Matrix4 m;
    m.SetIdentity();
    return m;
}();

int32_t g_nVisibleFaces = 0;

IDirect3DCubeTexture9* g_pEnvironmentCubeTexture = nullptr;
IDirect3DTexture9* g_pOverlayTexture = nullptr;
int32_t g_nNoiseTexture = -1;
int32_t g_nEnvCubeTarget = -1;
int32_t g_nEnvCubeTarget2 = -1;
IDirect3DVertexDeclaration9* g_pQuadDeclaration = nullptr;
IDirect3DVertexDeclaration9* g_pPointDecl = nullptr;

int32_t g_bRebuildTree = 0;
int32_t g_nAvailableTextureMem = 0;
int32_t g_nLoadedImageTexture = -1;

int32_t g_nCompletedRenders = 0;
int64_t g_nAccumulatedPhotons = 0;
int32_t g_nRadianceEstimatePasses = 0;
