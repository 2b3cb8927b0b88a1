#pragma once
// Small Direct3D helpers: material and light records from a colour or a direction, a texture
// from a file with fixed options, the view of one cube-map face, an arc-ball rotation from the
// cursor, a device cursor from an icon, and the text name of a surface format.
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

// The icon's or cursor's image as an A8R8G8B8 surface in the scratch pool, with its hot spot:
// opaque where the mask is clear, fully transparent elsewhere; a monochrome cursor's mask holds
// the AND mask above the image, so the surface is half the mask's height. The watermark marks
// the top-left 12x5 pixels with a grey pattern. E_FAIL when the handle's images cannot be read,
// the device's code when the surface cannot be made or locked.
HRESULT CreateCursorSurface(IDirect3DDevice9* pDevice, HCURSOR hCursor, bool bAddWatermark,
                            IDirect3DSurface9** ppSurface, POINT* pHotSpot);
// That surface as the device's cursor: 0, E_FAIL, or the device's failure code. Everything made
// on the way is released.
HRESULT SetCursorFromIcon(IDirect3DDevice9* pDevice, HCURSOR hCursor, bool bAddWatermark);

// "D3DFMT_A8R8G8B8", or "A8R8G8B8" without the prefix; "Unknown format" for other values.
const char* D3DFormatName(D3DFORMAT nFormat, bool bWithPrefix);

// out = the orthonormal rotation nearest in spirit to in: a = normalised first column,
// c = normalise(a x second column), b = normalise(c x a); columns a, b, c, last row (0, 0, 0, 1).
void OrthonormalizeMatrix(D3DXMATRIX* pOut, const D3DXMATRIX* pIn);
