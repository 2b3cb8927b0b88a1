#pragma once
// The textures and targets of the earlier shadow-ray tracer, made by the tracer on first use and
// released with the tracer's resources.
#include <d3d9.h>

// Per grid cell (texel (i mod G, i div G) for cell i = x + N y + N^2 z) the list-texture texel of
// its first entry.
extern IDirect3DTexture9* g_pVoxelListTexture;
// The cells' triangle lists: per entry the triangle's texel address, column -1 ending a list.
extern IDirect3DTexture9* g_pCellTriangleTexture;
// Screen-size partners of g_pCellCoordTarget (the cell records alternate between them) and the
// target of the ray-record copy.
extern IDirect3DTexture9* g_pCellCoordTarget2;
extern IDirect3DTexture9* g_pRayStateTarget;
