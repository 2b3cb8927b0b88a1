#pragma once
// The triangle corner textures of the earlier tracer variant: texel (t mod S, t div S) of texture
// j holds corner j of triangle t in world space (S = g_nTriangleTextureSize).
#include <d3d9.h>

extern IDirect3DTexture9* g_pTriangleVertexTextures[3];
