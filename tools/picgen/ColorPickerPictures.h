#pragma once
// The colour pickers' pictures, drawn from the pickers' own colour maths on a light grey
// (0xC0C0C0) ground that the dialogs replace with the face colour: bitmap 154, the RGB cube seen
// along its grey diagonal, and bitmap 155, the hue and saturation wheel. Both 24 bits per pixel.
#include <cstdint>
#include <vector>

// 190 x 190: the black corner at (102, 108), the red axis up to (102, 9), green to (23, 147) and
// blue to (181, 147); each of the three faces that meet at the black corner shows its colours.
std::vector<uint8_t> MakeRgbCubeBitmapFile();
// 202 x 201: the wheel's centre at (100, 100), hue by angle counter-clockwise from the right and
// saturation by radius (255 at 100 pixels), at full brightness.
std::vector<uint8_t> MakeHsbWheelBitmapFile();
