#pragma once
// The window toolkit's pictures, drawn from code: the splash picture (bitmap 125), the menu icons
// of toolbar 128 (bitmap 128) and the default skin: two bitmaps per tool-window button ("<name>
// on.bmp" and "<name> off.bmp", transparent colour RGB 93, 93, 93) and one background per window
// ("<window> Bkgnd.bmp").
#include <cstdint>
#include <string>
#include <vector>

// 512 x 384, 8 bits with a 256-entry palette.
std::vector<uint8_t> MakeSplashBitmapFile();
// Eight 16 x 16 icons side by side, 32 bits with alpha, in the order of toolbar 128's buttons
// (new, open, save, cut, copy, paste, print, about).
std::vector<uint8_t> MakeMenuIconsBitmapFile();
// The program's icon (icon 129): 32 x 32, 32 bits with alpha, as ".ico" data.
std::vector<uint8_t> MakeProgramIconFile();
// Writes the default skin's bitmaps into the folder (which must exist); false, with a message on
// standard error, when one cannot be written.
bool WriteSkinFolder(const std::string& strFolder);
