#pragma once
// From an image of the core library to device textures: the format each image format becomes
// and the copy of one mip level into a locked rectangle.
#include <d3d9.h>

class PixelImage;

// The device format for the image (D3DFMT_UNKNOWN asks for the image's own), converting the
// image when A8R8G8B8 or X8R8G8B8 is asked of another format. D3DFMT_UNKNOWN when the image
// format has no device format.
D3DFORMAT PrepareImageFormat(PixelImage& image, D3DFORMAT requested);
// Copies level nLevel of the image, stored as format, into rows nPitch bytes apart. With a
// non-zero colour key (0xAARRGGBB) an A8R8G8B8 pixel equal to it becomes transparent black.
void CopyImageLevel(const PixelImage& image, int nLevel, D3DFORMAT format, BYTE* pDest, INT nPitch,
                    D3DCOLOR colorKey);
