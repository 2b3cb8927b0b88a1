#pragma once
// One slot of the renderer's texture table: the device texture and the images it was made from.
// The slot index is the texture id that scene objects, materials and passes keep; a slot is in
// use while its device texture is non-null.
#include <d3d9.h>

#include <cstdint>

class PixelImage;
class VolumeImage;
class RenderTarget;

enum TextureType : int32_t
{
    TEXTURE_2D = 0,      // one PixelImage
    TEXTURE_CUBE = 1,    // six PixelImages, faces +X, -X, +Y, -Y, +Z, -Z
    TEXTURE_VOLUME = 2,  // one VolumeImage
};

// Bits callers pass when loading or adding a texture.
enum TextureFlags : int32_t
{
    TEXTURE_HEIGHT_MAP = 1,    // grey height map turned into a normal map with its own chain
    TEXTURE_NO_MIPMAPS = 2,    // only the procedural builders honour it
    TEXTURE_USER_FLAG = 4,     // copied into the entry's flag byte
    TEXTURE_MIP_ALPHA = 8,     // alpha falls with the mip level
    TEXTURE_FILTER_16 = 16,    // filter choice: the highest of these four bits wins
    TEXTURE_FILTER_32 = 32,
    TEXTURE_FILTER_64 = 64,
    TEXTURE_FILTER_128 = 128,
    TEXTURE_CLAMP_S = 256,
    TEXTURE_CLAMP_T = 512,
    TEXTURE_CLAMP_R = 1024,
};

// A plain record: the table copies it byte for byte, and the renderer releases what it points to
// before a slot is reused.
struct TextureEntry
{
    IDirect3DBaseTexture9* m_pDeviceTexture;  // null: the slot is free
    int32_t m_nType;                          // TextureType
    PixelImage* m_pImages[6];                 // image 0 for 2D, all six for a cube
    VolumeImage* m_pVolume;                   // the image of a volume entry
    RenderTarget* m_pRenderTarget;            // the surfaces of a render-target entry
    int32_t m_nFilter;                        // 0, 16, 32, 64 or 128 from the flags
    int32_t m_nAnisotropy;                    // 1, or the device's maximum when anisotropic
    bool m_bClampS;
    bool m_bClampT;
    bool m_bClampR;
    bool m_bFlag;                             // flag bit 4
    bool m_bRenderTarget;
};
