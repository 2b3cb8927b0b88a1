#pragma once
// Block decompression of one DXT1, DXT3 or DXT5 level.
#include <cstddef>
#include <cstdint>

// Decodes the ((w + 3) >> 2) x ((h + 3) >> 2) blocks at pBlocks into w x h pixels of
// nBytesPerPixel (3: red, green, blue; 4: and alpha) at pOut, rows top to bottom. Pixels of a
// block that fall outside the level are not written.
void DecodeDXTBlocks(const uint8_t* pBlocks, int32_t w, int32_t h, int nFormat, uint8_t* pOut, int nBytesPerPixel);
