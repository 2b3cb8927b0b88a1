#pragma once
// Fixed-function vertex processing as a generated vertex program: positions through world,
// view and projection (pre-transformed positions pass through), per-vertex lighting from
// directional, point and spot lights (no specular), material colours from the material or the
// vertex colours, texture coordinates passed on. The program depends only on the key; the
// matrices, material and light values are its constants, refilled every draw.
#include "device/Backend.h"
#include "device/DeviceState.h"

#include <cstdint>
#include <vector>

// Registers of the generated program's constant file it reads.
constexpr unsigned FIXED_VERTEX_CONSTANTS = 16 + 6 * MAX_LIGHTS;

// Where a lit colour of the material comes from.
enum FixedColorSource : uint8_t
{
    FIXED_FROM_MATERIAL,
    FIXED_FROM_DIFFUSE,    // the vertex's first colour
    FIXED_FROM_SPECULAR,   // the vertex's second colour
};

// Everything the program's instructions depend on. Compared bytewise: keep it free of padding.
struct FixedVertexKey
{
    uint8_t bPretransformed = 0;
    uint8_t bLighting = 0;
    uint8_t bNormal = 0;
    uint8_t bDiffuse = 0;
    uint8_t diffuseSource = FIXED_FROM_MATERIAL;
    uint8_t ambientSource = FIXED_FROM_MATERIAL;
    uint8_t emissiveSource = FIXED_FROM_MATERIAL;
    uint8_t nLights = 0;
    uint8_t lightTypes[MAX_LIGHTS] = {};   // D3DLIGHTTYPE of each enabled light, in index order
};

FixedVertexKey MakeFixedVertexKey(const DeviceState& state, const DrawResources& resources);
// The program's token stream for a key.
void WriteFixedVertexProgram(const FixedVertexKey& key, std::vector<DWORD>& tokens);
// The constants the key's program reads, from the device state (4 floats per register,
// FIXED_VERTEX_CONSTANTS registers).
void FillFixedVertexConstants(const FixedVertexKey& key, const DeviceState& state, const DrawResources& resources,
                              float constants[][4]);
