#pragma once
// Fixed-function transform and lighting: world, view and projection, per-vertex lighting from
// directional and point lights (no specular), colours clamped to [0, 1].
#include "device/Backend.h"
#include "device/DeviceState.h"

struct FixedVertexInput
{
    const float* pPosition = nullptr;   // x, y, z, w
    const float* pNormal = nullptr;     // null when the declaration has none
    const float* pDiffuse = nullptr;    // null: white
    const float* pTexcoords[8] = {};
    bool bPretransformed = false;       // screen-space positions are never transformed or lit
};

// Lighting applies when LIGHTING is on, with a zero normal when the vertex has none.
// Output: clip-space position, t0-t7 (absent coordinates read (0, 0, 0, 1)) and the colours
// (v0 diffuse or lit colour, v1 black: no specular).
void RunFixedVertex(const DeviceState& state, const DrawResources& resources, const FixedVertexInput& input,
                    float pos[4], float varyings[40]);
