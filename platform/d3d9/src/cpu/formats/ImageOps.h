#pragma once
// Whole-rectangle operations on images: fills for Clear and copies for StretchRect.
#include "cpu/formats/ImageStorage.h"

// Fills the rectangle (clipped to the image) with a colour converted once to the image's format.
void FillColor(ImageStorage& image, const RECT& rect, const float rgba[4]);
// Fills depth and/or stencil in the rectangle (clipped to the image). The stencil value is
// stored as its low 8 bits.
void FillDepthStencil(ImageStorage& image, const RECT& rect, bool bDepth, float fDepth, bool bStencil, DWORD nStencil);
// Copies one rectangle to another. Same size and format copies the bytes; otherwise each
// destination pixel centre maps into the source and is read as float RGBA, nearest texel for
// POINT and NONE, bilinear for LINEAR, and converted to the destination format.
void StretchImage(const ImageStorage& source, const RECT& sourceRect, ImageStorage& dest, const RECT& destRect,
                  D3DTEXTUREFILTERTYPE filter);
