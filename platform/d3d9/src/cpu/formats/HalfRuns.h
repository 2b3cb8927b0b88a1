#pragma once
// Runs of IEEE binary16 values turned into floats and back, bit for bit as HalfToFloat and
// FloatToHalf do it. Where the processor converts halves itself (F16C), eight go at a time.
#include <cstddef>
#include <cstdint>

void HalfRunToFloats(const uint16_t* pHalves, size_t nCount, float* pFloats);
void FloatRunToHalves(const float* pFloats, size_t nCount, uint16_t* pHalves);

// Whether the runs use the processor's conversions. Tests switch them off to compare the two
// paths; switching them on takes effect only where the processor has them.
bool HalfRunsUseInstructions();
void SetHalfRunInstructions(bool bUse);
