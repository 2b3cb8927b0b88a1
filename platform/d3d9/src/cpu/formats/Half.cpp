#include "cpu/formats/Half.h"

#include <cstring>

uint16_t FloatToHalf(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    const uint16_t sign = static_cast<uint16_t>((bits >> 16) & 0x8000u);
    const uint32_t exponent = (bits >> 23) & 0xFFu;
    uint32_t mantissa = bits & 0x7FFFFFu;

    if (exponent == 0xFF)  // infinity or NaN; a NaN keeps a non-zero, quiet mantissa
        return static_cast<uint16_t>(sign | 0x7C00u | (mantissa ? 0x200u | (mantissa >> 13) : 0u));

    // Half exponent bias is 15, float's 127.
    const int halfExponent = static_cast<int>(exponent) - 127 + 15;
    if (halfExponent >= 31)
        return static_cast<uint16_t>(sign | 0x7C00u);

    uint32_t shift;
    uint32_t base;
    if (halfExponent <= 0)
    {
        // Subnormal half (or zero): the implicit leading one joins the mantissa, which is then
        // shifted by the exponent deficit as well.
        if (halfExponent < -10)
            return sign;
        mantissa |= 0x800000u;
        shift = static_cast<uint32_t>(14 - halfExponent);
        base = 0;
    }
    else
    {
        shift = 13;
        base = static_cast<uint32_t>(halfExponent) << 10;
    }
    const uint32_t kept = mantissa >> shift;
    const uint32_t rest = mantissa & ((1u << shift) - 1u);
    const uint32_t halfway = 1u << (shift - 1);
    uint32_t result = base + kept;
    // Round to nearest, ties to even. A carry out of the mantissa correctly bumps the exponent
    // (up to infinity at 65520).
    if (rest > halfway || (rest == halfway && (kept & 1u)))
        ++result;
    return static_cast<uint16_t>(sign | result);
}

float HalfToFloat(uint16_t half)
{
    const uint32_t sign = static_cast<uint32_t>(half & 0x8000u) << 16;
    const uint32_t exponent = (half >> 10) & 0x1Fu;
    uint32_t mantissa = half & 0x3FFu;
    uint32_t bits;
    if (exponent == 0x1F)
        bits = sign | 0x7F800000u | (mantissa << 13);
    else if (exponent != 0)
        bits = sign | ((exponent - 15 + 127) << 23) | (mantissa << 13);
    else if (mantissa == 0)
        bits = sign;
    else
    {
        // Subnormal half: normalise into a float.
        int e = -1;
        do
        {
            ++e;
            mantissa <<= 1;
        } while ((mantissa & 0x400u) == 0);
        bits = sign | (static_cast<uint32_t>(127 - 15 - e) << 23) | ((mantissa & 0x3FFu) << 13);
    }
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}
