#pragma once
// D3DX 9 texture and surface files, declared from the public documentation. Images are read
// and written by the core image library; DDS files keep their mip chains, other files get a
// 2 x 2 box-filtered chain, and sizes are kept as they are (no rounding to powers of two).
#include <d3d9.h>

// Palettes are never used: the parameters exist for the signatures.
struct tagPALETTEENTRY;
typedef tagPALETTEENTRY PALETTEENTRY;

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE ((UINT)-3)

#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)

enum D3DXIMAGE_FILEFORMAT
{
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_HDR = 7,
    D3DXIFF_PFM = 8,
};

struct D3DXIMAGE_INFO
{
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// Width, Height, MipLevels: D3DX_DEFAULT (or 0) takes the file's; other sizes resample level 0
// bilinearly. Format D3DFMT_UNKNOWN takes the file's (8-bit RGB becomes X8R8G8B8, RGBA
// A8R8G8B8, grey L8, 5-6-5 R5G6B5, DXTn DXTn, floats R32F or A32B32G32R32F); A8R8G8B8 and
// X8R8G8B8 can be asked of any file. Pixels equal to a non-zero ColorKey (0xAARRGGBB) become
// transparent black. Filter and MipFilter are accepted; the chain is always box-filtered.
HRESULT D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                     DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                     PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture);

// An image resource (type "BITMAP", then "RCDATA") by MAKEINTRESOURCEA(id) or "#id", loaded as
// D3DXCreateTextureFromFileExA does with every setting at its default and the managed pool.
// A bitmap resource may lack the 14-byte file header. hSrcModule is not used.
HRESULT D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                       LPDIRECT3DTEXTURE9* ppTexture);

// A DDS cube map with all six faces, each with the file's mip levels, in the managed pool.
HRESULT D3DXCreateCubeTextureFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile,
                                       LPDIRECT3DCUBETEXTURE9* ppCubeTexture);

// Copies a rectangle (NULL: the whole surface) into another, converting through float RGBA at
// destination pixel centres: D3DX_FILTER_NONE copies without scaling (the part that fits),
// every other filter takes the nearest source pixel, so a same-size copy is exact. Source
// pixels equal to a non-zero ColorKey become transparent black.
HRESULT D3DXLoadSurfaceFromSurface(LPDIRECT3DSURFACE9 pDestSurface, const PALETTEENTRY* pDestPalette,
                                   const RECT* pDestRect, LPDIRECT3DSURFACE9 pSrcSurface,
                                   const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect, DWORD Filter,
                                   D3DCOLOR ColorKey);

// Saves a rectangle of a lockable surface: BMP and JPG as 24-bit colour without alpha, PNG,
// TGA and DDS with alpha.
HRESULT D3DXSaveSurfaceToFileA(LPCSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat, LPDIRECT3DSURFACE9 pSrcSurface,
                               const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect);
