#pragma once
// The pictures the program loads at start-up, drawn from code: the media folder's background cube
// map, noise texture, glyph-grid font texture, white fallback texture and light cube map, and the
// 640 x 480 overlay bitmap of the resources.
#include <cstdint>
#include <string>
#include <vector>

// Writes "t.dds", "DiffuseB.bmp", "font2.dds", "white.jpg" and "Cubemap_blanc.dds" into the
// folder (which must exist). False, with a message on standard error, when one cannot be made.
bool WriteMediaFolder(const std::string& strFolder);

// The overlay bitmap as a BMP file: 640 x 480, 8 bits with a 256-entry palette, all black, so
// that adding it over the traced image leaves that image unchanged.
std::vector<uint8_t> MakeOverlayBitmapFile();

// A C++ source that registers the program's picture resources (bitmaps 271, 125 and 128,
// icon 129) at start-up.
bool WritePictureResourceTable(const std::string& strPath);
