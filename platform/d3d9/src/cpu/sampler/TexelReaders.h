#pragma once
// Texel reads specialised by format: each turns texel (x, y, z) of a TexelImage into float RGBA
// with the same bits as DecodePixel, with the layout known at compile time. Formats without
// one go through ReadStorageTexel.
#include "cpu/sampler/SamplerStage.h"

#include <cstdint>
#include <cstring>

// IEEE binary16 to float, exact for every pattern: the exponent and mantissa bits moved into
// place and scaled by 2^112 (the difference of the exponent biases, exact for subnormals too),
// infinities and NaNs given float's all-ones exponent.
inline float HalfBitsToFloat(uint16_t half)
{
    const uint32_t magnitude = (uint32_t)(half & 0x7FFFu) << 13;
    float value;
    std::memcpy(&value, &magnitude, 4);
    value *= 0x1p112f;
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    if ((half & 0x7C00u) == 0x7C00u)
        bits = magnitude | 0x7F800000u;
    bits |= (uint32_t)(half & 0x8000u) << 16;
    std::memcpy(&value, &bits, 4);
    return value;
}

inline const BYTE* TexelAddress(const TexelImage& image, int x, int y, int z, size_t nSize)
{
    return image.pBits + (size_t)z * image.nSlicePitch + (size_t)y * image.nRowPitch + (size_t)x * nSize;
}

// N halves or floats in r, g, b, a order; missing components read 1.
template <typename Channel, int N>
struct ReadChannels
{
    static void Read(const TexelImage& image, int x, int y, int z, float out[4])
    {
        const BYTE* p = TexelAddress(image, x, y, z, sizeof(Channel) * N);
        Channel values[N];
        std::memcpy(values, p, sizeof(values));
        for (int c = 0; c < 4; ++c)
        {
            if (c >= N)
                out[c] = 1.0f;
            else if constexpr (sizeof(Channel) == 2)
                out[c] = HalfBitsToFloat(values[c]);
            else
                out[c] = values[c];
        }
    }
};

// Bytes divided by 255, as DecodePixel computes them.
struct UnormByteTable
{
    float values[256];
    constexpr UnormByteTable() : values()
    {
        for (int i = 0; i < 256; ++i)
            values[i] = (float)i / 255.0f;
    }
};
inline constexpr UnormByteTable UNORM_BYTES;

// A8R8G8B8 (bAlpha) and X8R8G8B8: blue in the lowest byte.
template <bool bAlpha>
struct ReadArgb8
{
    static void Read(const TexelImage& image, int x, int y, int z, float out[4])
    {
        const BYTE* p = TexelAddress(image, x, y, z, 4);
        out[0] = UNORM_BYTES.values[p[2]];
        out[1] = UNORM_BYTES.values[p[1]];
        out[2] = UNORM_BYTES.values[p[0]];
        out[3] = bAlpha ? UNORM_BYTES.values[p[3]] : 1.0f;
    }
};

// A16B16G16R16: red first, each divided by 65535.
struct ReadUnorm16x4
{
    static void Read(const TexelImage& image, int x, int y, int z, float out[4])
    {
        uint16_t values[4];
        std::memcpy(values, TexelAddress(image, x, y, z, 8), 8);
        for (int c = 0; c < 4; ++c)
            out[c] = (float)values[c] / 65535.0f;
    }
};

struct ReadAnyFormat
{
    static void Read(const TexelImage& image, int x, int y, int z, float out[4])
    {
        ReadStorageTexel(*image.pStorage, (UINT)x, (UINT)y, (UINT)z, out);
    }
};
