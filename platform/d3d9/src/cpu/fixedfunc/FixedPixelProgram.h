#pragma once
// The fixed-function texture stages as a generated pixel program: each enabled stage combines
// its arguments (TEXTURE, DIFFUSE, CURRENT, TFACTOR, SPECULAR, with COMPLEMENT and
// ALPHAREPLICATE) by its colour and alpha operations, saturating each result; a stage whose
// colour operation is DISABLE ends the cascade. TEXTURE of a stage without a texture reads
// (1, 1, 1, 1). The alpha test runs afterwards in the merger.
#include "device/Backend.h"
#include "device/DeviceState.h"

#include <cstdint>
#include <vector>

constexpr unsigned FIXED_PIXEL_CONSTANTS = 3;

struct FixedStageKey
{
    uint8_t colorOp = 0, alphaOp = 0;
    uint8_t colorArgs[3] = {}, alphaArgs[3] = {};   // ARG0, ARG1, ARG2
    uint8_t nTexcoord = 0;
    uint8_t nTextureType = 0;   // D3DRESOURCETYPE of the bound texture, 0 without one
};

// Everything the program's instructions depend on. Compared bytewise: keep it free of padding.
struct FixedPixelKey
{
    uint8_t nStages = 0;
    FixedStageKey stages[STAGE_COUNT];
};

FixedPixelKey MakeFixedPixelKey(const DeviceState& state, const DrawResources& resources);
void WriteFixedPixelProgram(const FixedPixelKey& key, std::vector<DWORD>& tokens);
// The constants the program reads (4 floats per register, FIXED_PIXEL_CONSTANTS registers).
void FillFixedPixelConstants(const DeviceState& state, float constants[][4]);
