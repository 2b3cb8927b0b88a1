#pragma once
// From a draw command to screen-space primitives: the vertex numbers each primitive reads
// (lists, strips, fans, indexed or not), the vertex stage over the range they span, clipping
// and the viewport transform.
#include "cpu/raster/Rasterizer.h"
#include "device/Backend.h"
#include "device/DeviceState.h"

class WorkerPool;

// Fills job.vertices and job.primitives. False when the draw reads past its vertex or index data.
bool AssemblePrimitives(const DeviceState& state, const DrawCommand& command, const VertexProgram& program,
                        WorkerPool& pool, RasterJob& job);
