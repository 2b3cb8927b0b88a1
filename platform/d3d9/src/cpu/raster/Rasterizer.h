#pragma once
// Setup and coverage of triangles, lines and points in screen space, and the tile loop that
// runs the pixel shading and the merger over the covered pixels. Vertices snap to 1/256 pixel;
// integer edge functions with the top-left rule decide coverage at pixel centres (integer
// coordinates). Large draws are split over the workers by 64×64 bins: each bin runs every
// primitive in submission order, so no pixel is shared and the result is the same for any
// number of workers.
#include "cpu/merger/OutputMerger.h"
#include "cpu/raster/PixelShading.h"

#include <cstdint>
#include <vector>

class WorkerPool;

struct ScreenVertex
{
    float x, y, z;  // pixels; depth
    float q;        // 1/w, for perspective-correct varyings
    float varyings[VARYING_COUNT];
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
    std::vector<ScreenVertex> vertices;
    std::vector<Primitive> primitives;
    RECT scissor{};             // viewport within the target
    DWORD nCullMode = D3DCULL_CCW;
    bool bFlat = false;
    bool bWireframe = false;
    PixelShading* pShading = nullptr;
    const OutputMerger* pMerger = nullptr;
};

// Draws the job's primitives; returns the number of fragments that passed the merger's tests.
uint64_t Rasterize(const RasterJob& job, WorkerPool& pool, bool bMayUseWorkers);
