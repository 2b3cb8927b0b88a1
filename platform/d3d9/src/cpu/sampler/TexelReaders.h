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
    bits = (half & 0x7C00u) == 0x7C00u ? magnitude | 0x7F800000u : bits;
    bits |= (uint32_t)(half & 0x8000u) << 16;
    std::memcpy(&value, &bits, 4);
    return value;
}

inline const BYTE* TexelAddress(const TexelImage& image, int x, int y, int z, size_t nSize)
{
    return image.pBits + (size_t)z * image.nSlicePitch + (size_t)y * image.nRowPitch + (size_t)x * nSize;
}

// Each reader loads a texel's bytes as Raw (Load) and turns them into component c (Component)
// for c below COMPONENTS; the others read 1. Batches load every lane first and convert
// afterwards, in loops the compiler can vectorise.

// N halves or floats in r, g, b, a order; missing components read 1.
template <typename Channel, int N>
struct ReadChannels
{
    static constexpr int COMPONENTS = N;
    static constexpr bool HALVES = sizeof(Channel) == 2;   // batches convert them as one run
    struct Raw
    {
        Channel values[N];
    };
    static Raw Load(const TexelImage& image, int x, int y, int z)
    {
        Raw raw;
        std::memcpy(raw.values, TexelAddress(image, x, y, z, sizeof(Channel) * N), sizeof(raw.values));
        return raw;
    }
    static float Component(const Raw& raw, int c)
    {
        if constexpr (sizeof(Channel) == 2)
            return HalfBitsToFloat(raw.values[c]);
        else
            return raw.values[c];
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
    static constexpr int COMPONENTS = bAlpha ? 4 : 3;
    using Raw = uint32_t;
    static Raw Load(const TexelImage& image, int x, int y, int z)
    {
        Raw raw;
        std::memcpy(&raw, TexelAddress(image, x, y, z, 4), 4);
        return raw;
    }
    static float Component(Raw raw, int c)
    {
        constexpr int shifts[4] = {16, 8, 0, 24};
        return UNORM_BYTES.values[(raw >> shifts[c]) & 0xFF];
    }
};

// A16B16G16R16: red first, each divided by 65535.
struct ReadUnorm16x4
{
    static constexpr int COMPONENTS = 4;
    struct Raw
    {
        uint16_t values[4];
    };
    static Raw Load(const TexelImage& image, int x, int y, int z)
    {
        Raw raw;
        std::memcpy(raw.values, TexelAddress(image, x, y, z, 8), 8);
        return raw;
    }
    static float Component(const Raw& raw, int c) { return (float)raw.values[c] / 65535.0f; }
};

struct ReadAnyFormat
{
    static constexpr int COMPONENTS = 4;
    struct Raw
    {
        float values[4];
    };
    static Raw Load(const TexelImage& image, int x, int y, int z)
    {
        Raw raw;
        ReadStorageTexel(*image.pStorage, (UINT)x, (UINT)y, (UINT)z, raw.values);
        return raw;
    }
    static float Component(const Raw& raw, int c) { return raw.values[c]; }
};
