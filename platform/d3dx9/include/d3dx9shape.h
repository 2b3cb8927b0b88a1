#pragma once
// D3DX 9 shapes, declared from the public documentation. Each is a managed mesh of FVF
// D3DFVF_XYZ | D3DFVF_NORMAL (position then normal, 24 bytes) with 16-bit indices and one
// subset 0, centred on the origin, with outward unit normals and faces clockwise seen from
// outside. Negative sizes or too few slices or stacks give D3DERR_INVALIDCALL; zero sizes are
// accepted. ppAdjacency, when given, receives three DWORDs per face (GenerateAdjacency(0)).
#include <d3dx9mesh.h>

// Half-extents Width/2, Height/2, Depth/2 along x, y, z; four vertices per face, 24 in all.
HRESULT D3DXCreateBox(LPDIRECT3DDEVICE9 pDevice, FLOAT Width, FLOAT Height, FLOAT Depth, LPD3DXMESH* ppMesh,
                      LPD3DXBUFFER* ppAdjacency);

// Axis z: the +z pole, then Stacks - 1 rings of Slices vertices each running from +x towards
// +y, then the -z pole. At least 3 slices and 2 stacks.
HRESULT D3DXCreateSphere(LPDIRECT3DDEVICE9 pDevice, FLOAT Radius, UINT Slices, UINT Stacks, LPD3DXMESH* ppMesh,
                         LPD3DXBUFFER* ppAdjacency);

// Axis z, Radius1 at z = -Length/2 and Radius2 at +Length/2; open at both ends: Stacks + 1
// rings of Slices vertices from -z to +z. At least 3 slices and 1 stack.
HRESULT D3DXCreateCylinder(LPDIRECT3DDEVICE9 pDevice, FLOAT Radius1, FLOAT Radius2, FLOAT Length, UINT Slices,
                           UINT Stacks, LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency);
