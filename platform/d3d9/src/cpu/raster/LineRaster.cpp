#include "cpu/raster/LineRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
constexpr int64_t HALF_PIXEL = SUBPIXELS / 2;

int64_t SnapToSubpixels(float f)
{
    return (int64_t)std::llround((double)f * SUBPIXELS);
}

int64_t FloorDiv(int64_t a, int64_t b)   // b > 0
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Whether point p (1/256 pixel units) lies in the diamond of pixel c, edges settled as the
// (−ε, −ε²) shift settles them.
bool InDiamond(const int64_t p[2], const int64_t c[2])
{
    const int64_t dx = p[0] - c[0] * SUBPIXELS, dy = p[1] - c[1] * SUBPIXELS;
    const int64_t d = std::abs(dx) + std::abs(dy);
    return d < HALF_PIXEL || (d == HALF_PIXEL && (dx > 0 || (dx == 0 && dy > 0)));
}

// The pixel whose diamond holds p; false when p lies between diamonds.
bool DiamondOf(const int64_t p[2], int64_t out[2])
{
    const int64_t ix = FloorDiv(p[0], SUBPIXELS), iy = FloorDiv(p[1], SUBPIXELS);
    for (int64_t y = iy; y <= iy + 1; ++y)
        for (int64_t x = ix; x <= ix + 1; ++x)
        {
            const int64_t c[2] = {x, y};
            if (InDiamond(p, c))
            {
                out[0] = x, out[1] = y;
                return true;
            }
        }
    return false;
}
}

void AppendLinePixels(float x0, float y0, float x1, float y1, const RECT& scissor, std::vector<LinePixel>& pixels)
{
    const int64_t p0[2] = {SnapToSubpixels(x0), SnapToSubpixels(y0)};
    const int64_t p1[2] = {SnapToSubpixels(x1), SnapToSubpixels(y1)};
    const int64_t d[2] = {p1[0] - p0[0], p1[1] - p0[1]};
    // Along the major axis a the line crosses the diagonal of one diamond per pixel; the other
    // axis b gives which one.
    const int a = std::abs(d[0]) >= std::abs(d[1]) ? 0 : 1, b = 1 - a;
    if (d[a] == 0)
        return;
    auto Emit = [&](const int64_t pixel[2], double t) {
        if (pixel[0] < scissor.left || pixel[0] >= scissor.right || pixel[1] < scissor.top || pixel[1] >= scissor.bottom)
            return;
        pixels.push_back({(int)pixel[0], (int)pixel[1], (float)std::clamp(t, 0.0, 1.0)});
    };
    int64_t start[2], end[2];
    const bool bStart = DiamondOf(p0, start), bEnd = DiamondOf(p1, end);
    const bool bStartExits = bStart && !(bEnd && start[0] == end[0] && start[1] == end[1]);
    if (bStartExits)
        Emit(start, 0.0);
    // Diagonals k·256 in [min, max) of the major coordinate are crossed. The minor coordinate
    // there is (N / D) in 1/256 units; a crossing exactly between two pixels goes to the larger
    // minor coordinate only for an x-major line of positive slope (the shifted line passes
    // above the corner).
    const int64_t nDenominator = std::abs(d[a]);
    const int64_t nSign = d[a] > 0 ? 1 : -1;
    const bool bTieUp = a == 0 && (d[0] > 0) == (d[1] > 0) && d[1] != 0;
    const int64_t nFirst = FloorDiv(std::min(p0[a], p1[a]) + SUBPIXELS - 1, SUBPIXELS);
    const int64_t nLast = FloorDiv(std::max(p0[a], p1[a]) - 1, SUBPIXELS);
    const int64_t nCount = nLast - nFirst + 1;
    for (int64_t n = 0; n < nCount; ++n)
    {
        const int64_t k = d[a] > 0 ? nFirst + n : nLast - n;   // from the start towards the end
        const int64_t nNumerator = p0[b] * nDenominator + (k * SUBPIXELS - p0[a]) * d[b] * nSign;
        const int64_t nShifted = nNumerator + HALF_PIXEL * nDenominator;
        int64_t j = FloorDiv(nShifted, SUBPIXELS * nDenominator);
        if (!bTieUp && nShifted % (SUBPIXELS * nDenominator) == 0)
            --j;
        int64_t pixel[2];
        pixel[a] = k, pixel[b] = j;
        const bool bIsStart = bStartExits && pixel[0] == start[0] && pixel[1] == start[1];
        const bool bIsEnd = bEnd && pixel[0] == end[0] && pixel[1] == end[1];
        if (!bIsStart && !bIsEnd)
            Emit(pixel, (double)(k * SUBPIXELS - p0[a]) / (double)d[a]);
    }
}
