#pragma once
// From a draw command to screen-space primitives: the vertex numbers each primitive reads
// (lists, strips, fans, indexed or not), the vertex stage over the range they span, clipping
// and the viewport transform.
#include "cpu/raster/Rasterizer.h"
#include "device/Backend.h"
#include "device/DeviceState.h"

#include <vector>

class WorkerPool;

// What assembly keeps from draw to draw, so that drawing allocates only while its largest draw
// grows.
struct AssemblyScratch
{
    std::vector<UINT> numbers;          // vertex numbers the primitives read, in order
    VertexStageResult stage;            // shaded vertices, then those clipping adds
    std::vector<uint32_t> clipCodes;    // per shaded vertex: the planes it lies outside of
    std::vector<UINT> screenOf;         // per vertex clipping added: its screen vertex, or UINT32_MAX
    std::vector<UINT> screenSources;    // per screen vertex past the shaded ones: its clip vertex
    std::vector<UINT> polygon, clipWork;
};

// Fills job.vertices and job.primitives (emptied first); the screen vertices' varyings stay in
// scratch.stage until the next draw. False when the draw reads past its vertex or index data.
bool AssemblePrimitives(const DeviceState& state, const DrawCommand& command, const VertexProgram& program,
                        WorkerPool& pool, AssemblyScratch& scratch, RasterJob& job);
