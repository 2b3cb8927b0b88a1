#pragma once
// Runs of consecutive pixels of one uncompressed colour format to and from float RGBA held as
// four component arrays. They give the same bits as DecodePixel and EncodePixel pixel by pixel,
// but loop over the pixels inside each channel so the compiler can vectorise the conversion;
// the output merger converts a tile row at a time with them.
#include "cpu/formats/Formats.h"

// rgba[c][i] receives component c of pixel i of the run.
void DecodePixelRun(const FormatInfo& info, const BYTE* pixels, unsigned nCount, float* const rgba[4]);
// Pixel i of the run (bytesPerBlock bytes each, packed) from rgba[c][i].
void EncodePixelRun(const FormatInfo& info, const float* const rgba[4], unsigned nCount, BYTE* pixels);
