#pragma once
// What runs per pixel between the rasteriser and the merger: a pixel program or the
// fixed-function texture stages. The rasteriser fills the varyings of one 8×8 tile as 64 lanes
// in quad order; the shading fills colours, depth and kill flags for the same lanes.
#include "cpu/shader/ShaderPlan.h"
#include "cpu/vertex/VertexStage.h"

#include <cstdint>

constexpr unsigned TILE_SIZE = 8;
constexpr unsigned TILE_LANES = TILE_SIZE * TILE_SIZE;

struct TileLanes
{
    float varyings[VARYING_COUNT][TILE_LANES];
    float colors[4][4][TILE_LANES];     // oC0-oC3, component, lane
    float depth[TILE_LANES];            // interpolated; replaced where the shading writes depth
    uint8_t kill[TILE_LANES];
};

// Lane of pixel (dx, dy) inside a tile: quads in row order, each quad top-left, top-right,
// bottom-left, bottom-right.
constexpr unsigned TileLane(unsigned dx, unsigned dy)
{
    return ((dy / 2) * (TILE_SIZE / 2) + dx / 2) * 4 + (dy & 1) * 2 + (dx & 1);
}

// Masks over a tile's pixels have bit dy * TILE_SIZE + dx for pixel (dx, dy), so each byte is
// one row; this table gives the lane of each such pixel.
struct TilePixelLanes
{
    uint8_t lanes[TILE_LANES];
    constexpr TilePixelLanes() : lanes()
    {
        for (unsigned p = 0; p < TILE_LANES; ++p)
            lanes[p] = (uint8_t)TileLane(p % TILE_SIZE, p / TILE_SIZE);
    }
};
inline constexpr TilePixelLanes TILE_PIXEL_LANES;

class PixelShading
{
public:
    virtual ~PixelShading() = default;
    // Prepares per-worker scratch for that many workers.
    virtual void Prepare(unsigned nWorkers) = 0;
    // Which varyings Shade reads (bit i: varying i).
    virtual uint64_t VaryingsRead() const = 0;
    // Which of oC0-oC3 it writes (bit n: target n).
    virtual unsigned ColorsWritten() const = 0;
    // Whether Shade can change which pixels pass the depth test: it kills pixels or writes depth.
    virtual bool ChangesCoverage() const = 0;
    virtual void Shade(TileLanes& lanes, unsigned nWorker) = 0;
};
