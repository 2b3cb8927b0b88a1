#pragma once
// Setup and coverage of triangles, lines and points in screen space, and the tile loop that
// runs the pixel shading and the merger over the covered pixels. Vertices snap to 1/256 pixel;
// integer edge functions with the top-left rule decide coverage at pixel centres (integer
// coordinates). Draws of more than a few thousand pixels are split over the workers by square
// bins of the screen: each bin runs the primitives that touch it in submission order, so no
// pixel is shared and the result is the same for any number of workers.
#include "cpu/merger/OutputMerger.h"
#include "cpu/pool/ScratchVector.h"
#include "cpu/raster/PixelShading.h"

#include <cstdint>
#include <memory>
#include <vector>

class WorkerPool;

struct ScreenVertex
{
    float x, y, z;  // pixels; depth
    float q;        // 1/w, for perspective-correct varyings
    const float* varyings;  // VARYING_COUNT values, left where the vertex stage put them
};

enum class PrimitiveKind : uint8_t
{
    Triangle,
    Line,
    Point,
};

struct Primitive
{
    PrimitiveKind kind;
    UINT v[3];          // screen vertices (lines use two, points one)
    UINT nFlatVertex;   // vertex whose colours a FLAT primitive takes
};

struct RasterJob
{
    ScratchVector<ScreenVertex> vertices;
    std::vector<Primitive> primitives;
    RECT scissor{};             // viewport within the target
    DWORD nCullMode = D3DCULL_CCW;
    bool bFlat = false;
    bool bWireframe = false;
    PixelShading* pShading = nullptr;
    const OutputMerger* pMerger = nullptr;
};

// What the rasteriser keeps from draw to draw (set-up primitives, bins, tile lanes), so that a
// steady stream of draws allocates nothing.
class RasterScratch
{
public:
    RasterScratch();
    ~RasterScratch();
    RasterScratch(const RasterScratch&) = delete;
    RasterScratch& operator=(const RasterScratch&) = delete;

    struct Storage;
    Storage& Get() { return *m_pStorage; }

private:
    std::unique_ptr<Storage> m_pStorage;
};

// Fragments of a draw: those the pixel stage ran for, and those that passed the merger's
// depth and stencil tests.
struct RasterCounts
{
    uint64_t nShaded = 0;
    uint64_t nPassed = 0;

    RasterCounts& operator+=(const RasterCounts& other)
    {
        nShaded += other.nShaded;
        nPassed += other.nPassed;
        return *this;
    }
};

// Draws the job's primitives.
RasterCounts Rasterize(const RasterJob& job, WorkerPool& pool, bool bMayUseWorkers, RasterScratch& scratch);
