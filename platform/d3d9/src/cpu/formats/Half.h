#pragma once
// IEEE 754 binary16 conversions. Float to half rounds to nearest, ties to even; values past the
// largest finite half (65504) round to infinity from 65520 on; subnormals are kept and NaN stays
// NaN (quiet, sign kept). Half to float is exact.
#include <cstdint>

uint16_t FloatToHalf(float value);
float HalfToFloat(uint16_t half);
