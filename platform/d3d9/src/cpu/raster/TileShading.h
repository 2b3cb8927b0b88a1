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

// A worker's batch of pixel quads waiting for the shading: the quads of up to SHADER_LANES / 4
// covered 2×2 quads, from any primitives and tiles of one draw, packed into the lanes the shading
// reads (each quad keeps its four lanes, so derivatives are unchanged). Each piece is one
// primitive's quads in one tile. Depth and stencil effects of the early tests happen as a piece
// is added and colours are merged piece by piece in the same order, so batching changes no
// result: the shading never reads what the merger writes.
struct QuadBatch
{
    static constexpr unsigned QUADS = TILE_LANES / 4;
    struct Piece
    {
        const Setup* pSetup;
        int tx, ty;              // the tile's top-left pixel
        uint64_t nMask;          // the pixels to merge (bit dy·8 + dx)
        uint16_t nTileQuads;     // the tile's quads the piece brings (bit q: quad q of the tile)
        uint8_t nFirstQuad;      // its first quad in the batch
    };
    TileLanes lanes;             // packed: batch quad k in lanes 4k .. 4k+3
    Piece pieces[QUADS];
    unsigned nPieces = 0;
    unsigned nQuads = 0;
    // A piece's shading results in tile order, for the merger.
    float colors[4][4][TILE_LANES];
    float depth[TILE_LANES];
    uint8_t kill[TILE_LANES];
};

class TileRunner
{
public:
    TileRunner(const RasterJob& job, const std::vector<LinePixel>& linePixels);

    // Adds the quads of one primitive inside rect to the batch, shading and merging the batch
    // whenever it fills; adds the pixels shaded and those merged to counts.
    void Run(const Setup& s, const RECT& rect, QuadBatch& batch, unsigned nWorker, RasterCounts& counts) const;
    // Shades and merges what the batch holds.
    void Flush(QuadBatch& batch, unsigned nWorker, RasterCounts& counts) const;

private:
    // Covered pixels (bit dy·8 + dx) of the tile at (tx, ty) inside [x0, x1) × [y0, y1), and the screen-space
    // weights of vertices 1 and 2 at every lane's pixel centre (outside lanes too, for
    // derivatives).
    uint64_t Coverage(const Setup& s, int tx, int ty, int x0, int y0, int x1, int y1, double* b1, double* b2) const;
    // Depth and the early tests for the covered pixels nMask, then the varyings of the quads that
    // remain, into the batch.
    void AddTile(const Setup& s, int tx, int ty, uint64_t nMask, const double* b1, const double* b2,
                 QuadBatch& batch, unsigned nWorker, RasterCounts& counts) const;

    const RasterJob& m_job;
    const std::vector<LinePixel>& m_linePixels;
    uint64_t m_nVaryings;
    unsigned m_nColors;
    // Depth and stencil run before the shading when it cannot change their outcome (no kills,
    // no depth output, no alpha test on its colour), so hidden pixels are not shaded.
    bool m_bEarlyTests;
    // Nothing the shading computes can change a stored byte (the early tests decide coverage and
    // the merger ignores the colours), so it is not run and no varyings are interpolated.
    bool m_bSkipShading;
};
