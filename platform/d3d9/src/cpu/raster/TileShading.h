#pragma once
// The per-pixel half of rasterisation: coverage of one set-up primitive inside 8×8 tiles,
// interpolation of depth and varyings at the pixel centres, the pixel shading and the merger.
// The rasteriser sets primitives up and decides which worker runs which part of the screen.
#include "cpu/raster/Rasterizer.h"

#include <cstdint>
#include <vector>

constexpr int SUBPIXELS = 256;  // vertices snap to 1/256 pixel

struct LinePixel
{
    int x, y;
    float t;
};

// A primitive ready for coverage: edge functions E_i(p) = A_i·px + B_i·py + C_i in 1/256 pixel
// units, non-negative inside once the top-left bias is added; E_i/area is the weight of vertex i.
struct Setup
{
    PrimitiveKind kind;
    int64_t A[3], B[3], C[3];
    int64_t bias[3];
    double fInvArea = 0.0;
    int x0, y0, x1, y1;                     // covered pixel bounds, end exclusive
    const ScreenVertex* v[3];
    const ScreenVertex* pFlat;
    bool bBackFace = false;
    bool bPerspective = false;
    size_t nFirstPixel = 0, nPixels = 0;   // lines: their pixels in the line pixel list
};

class TileRunner
{
public:
    TileRunner(const RasterJob& job, const std::vector<LinePixel>& linePixels);

    // Runs one primitive over the part of it inside rect.
    RasterCounts Run(const Setup& s, const RECT& rect, TileLanes& lanes, unsigned nWorker) const;

private:
    // Covered pixels (bit dy·8 + dx) of the tile at (tx, ty) inside [x0, x1) × [y0, y1), and the screen-space
    // weights of vertices 1 and 2 at every lane's pixel centre (outside lanes too, for
    // derivatives).
    uint64_t Coverage(const Setup& s, int tx, int ty, int x0, int y0, int x1, int y1, double* b1, double* b2) const;
    // Depth, varyings, shading and merger for the covered pixels nMask; adds the pixels shaded
    // (covered ones that survived the early tests) and those that passed to counts.
    void ShadeTile(const Setup& s, int tx, int ty, uint64_t nMask, const double* b1, const double* b2,
                   TileLanes& lanes, unsigned nWorker, RasterCounts& counts) const;

    const RasterJob& m_job;
    const std::vector<LinePixel>& m_linePixels;
    uint64_t m_nVaryings;
    unsigned m_nColors;
    // Depth and stencil run before the shading when it cannot change their outcome (no kills,
    // no depth output, no alpha test on its colour), so hidden pixels are not shaded.
    bool m_bEarlyTests;
};
