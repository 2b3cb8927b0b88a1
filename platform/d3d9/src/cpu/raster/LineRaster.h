#pragma once
// Which pixels a line lights: Direct3D's diamond-exit rule. Each pixel owns the diamond
// |x − i| + |y − j| < ½ around its centre (i, j); the line lights the pixel when it leaves that
// diamond, so a line lights the pixel its start lies in, never the one its end lies in, and
// lines joined end to start light their shared pixel once. Endpoints snap to 1/256 pixel and
// the test is exact. Points on a diamond's edge, and a line through a diamond's corner, are
// settled as if the line were moved by (−ε, −ε²): an edge point belongs to the diamond when it
// lies right of the centre, or straight below it.
#include "cpu/raster/TileShading.h"

#include <vector>

// Appends the pixels the line from (x0, y0) to (x1, y1) lights inside the scissor rectangle,
// each with its position t (0 at the start, 1 at the end) for interpolation.
void AppendLinePixels(float x0, float y0, float x1, float y1, const RECT& scissor, std::vector<LinePixel>& pixels);
