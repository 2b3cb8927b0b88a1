#pragma once
// Small Direct3D helpers: material and light records from a colour or a direction, a texture
// from a file with fixed options, the view of one cube-map face, an arc-ball rotation from the
// cursor, and the text name of a surface format.
#include <d3d9.h>
#include <d3dx9math.h>

// Zeroes the record; diffuse and ambient become (r, g, b, a).
void MakeMaterial(D3DMATERIAL9& material, float r, float g, float b, float a);
// Zeroes the record; the type, a white diffuse colour (alpha 0), the direction (x, y, z)
// normalised (a zero vector stays zero), the position (x, y, z) and a range of 1000.
void MakeLight(D3DLIGHT9& light, D3DLIGHTTYPE nType, float x, float y, float z);

// The file at its own size with a full mip chain, in the managed pool, linear filtering; the
// loader's result.
HRESULT LoadTextureFile(IDirect3DDevice9* pDevice, const char* szFile, IDirect3DTexture9** ppTexture, D3DFORMAT nFormat);

// The left-handed view from the origin along face nFace of a cube map (0 +x, 1 -x, 2 +y, 3 -y,
// 4 +z, 5 -z) with that face's up vector; the identity for any other face.
D3DXMATRIX GetCubeFaceViewMatrix(DWORD nFace);

// The rotation that takes the point (0, 0, r) of an arc-ball of radius r to the cursor's point,
// the client area of hWnd spanning -1 to 1 (y downwards); the identity at the centre.
D3DXQUATERNION RotationFromCursor(HWND hWnd, float fRadius);

// "D3DFMT_A8R8G8B8", or "A8R8G8B8" without the prefix; "Unknown format" for other values.
const char* D3DFormatName(D3DFORMAT nFormat, bool bWithPrefix);
