// The format module: half-float rounding, UNORM quantisation, missing channels, memory order,
// DXT decoding, and sizes and pitches.
#include "cpu/formats/Formats.h"
#include "cpu/formats/Half.h"
#include "cpu/formats/HalfRuns.h"
#include "cpu/formats/PixelRuns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
uint32_t Bits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

struct HalfCase
{
    float value;
    uint16_t expected;
};

// Expected bits from the IEEE binary16 definition (round to nearest, ties to even).
const HalfCase g_HalfCases[] = {
    {1.0f, 0x3C00},
    {2049.0f, 0x6800},              // tie between 2048 and 2050: even mantissa wins
    {2051.0f, 0x6802},              // tie between 2050 and 2052: even mantissa wins
    {1.0f / 3.0f, 0x3555},
    {65504.0f, 0x7BFF},             // largest finite half
    {65519.0f, 0x7BFF},             // just below the rounding point to infinity
    {65520.0f, 0x7C00},             // rounds to infinity
    {std::ldexp(1.0f, -24), 0x0001}, // smallest subnormal
    {std::ldexp(1.0f, -25), 0x0000}, // tie between 0 and the smallest subnormal: even is 0
    {std::ldexp(3.0f, -25), 0x0002}, // tie between 1 and 2 subnormal steps: even is 2
    {6.1e-5f, 0x03FF},              // largest subnormal region
    {-0.0f, 0x8000},
    {-2.0f, 0xC000},
    {std::numeric_limits<float>::infinity(), 0x7C00},
    {33.0f / 255.0f, 0x3024},
    {0.1f, 0x2E66},
};

TEST(HalfTest, RoundsToNearestEven)
{
    for (const HalfCase& c : g_HalfCases)
        EXPECT_EQ(FloatToHalf(c.value), c.expected) << c.value;
}

TEST(HalfTest, NanStaysNanAndEveryHalfRoundTrips)
{
    const uint16_t nan = FloatToHalf(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(nan & 0x7C00, 0x7C00);
    EXPECT_NE(nan & 0x03FF, 0);
    EXPECT_TRUE(std::isnan(HalfToFloat(0x7E00)));
    for (uint32_t half = 0; half < 0x10000; ++half)
    {
        if ((half & 0x7C00) == 0x7C00 && (half & 0x3FF))
            continue;  // NaNs: checked above
        EXPECT_EQ(FloatToHalf(HalfToFloat(static_cast<uint16_t>(half))), half) << half;
    }
    EXPECT_EQ(Bits(HalfToFloat(0x0001)), Bits(std::ldexp(1.0f, -24)));
}

// Runs convert with the single-value bits on both paths (the processor's conversions where it has
// them, the portable loops otherwise): every half, and floats around every half, half-way between
// neighbours (the ties), NaNs with payloads, subnormals and a sweep of all bit patterns. Odd
// lengths leave a tail after the groups of eight.
TEST(HalfTest, RunsConvertAsSingleValuesOnBothPaths)
{
    std::vector<uint16_t> halves(0x10000 + 3);
    for (size_t i = 0; i < halves.size(); ++i)
        halves[i] = static_cast<uint16_t>(i * 40503u);   // every pattern, shuffled
    std::vector<uint32_t> patterns = {0x7F800001u, 0x7FC00000u, 0xFFBFFFFFu, 0x7F802000u, 0x00000001u,
                                      0x807FFFFFu, 0x33000000u, 0x477FF000u, 0x477FEFFFu};
    for (uint32_t h = 0; h < 0x7C00; ++h)
    {
        const uint32_t bits = Bits(HalfToFloat(static_cast<uint16_t>(h)));
        const uint32_t next = Bits(HalfToFloat(static_cast<uint16_t>(h + 1)));
        for (uint32_t sign : {0u, 0x80000000u})
            for (uint32_t b : {bits - 1, bits, bits + 1, bits + (next - bits) / 2, bits + (next - bits) / 2 + 1})
                patterns.push_back(sign | b);
    }
    for (uint64_t b = 0; b < 0x100000000ull; b += 4099)
        patterns.push_back(static_cast<uint32_t>(b));
    std::vector<float> floats(patterns.size());
    std::memcpy(floats.data(), patterns.data(), patterns.size() * 4);

    const bool bKept = HalfRunsUseInstructions();
    for (bool bInstructions : {false, true})
    {
        SetHalfRunInstructions(bInstructions);
        std::vector<float> widened(halves.size());
        HalfRunToFloats(halves.data(), halves.size(), widened.data());
        for (size_t i = 0; i < halves.size(); ++i)
            ASSERT_EQ(Bits(widened[i]), Bits(HalfToFloat(halves[i]))) << std::hex << halves[i] << " " << bInstructions;
        std::vector<uint16_t> narrowed(floats.size());
        FloatRunToHalves(floats.data(), floats.size(), narrowed.data());
        for (size_t i = 0; i < floats.size(); ++i)
            ASSERT_EQ(narrowed[i], FloatToHalf(floats[i])) << std::hex << patterns[i] << " " << bInstructions;
    }
    SetHalfRunInstructions(bKept);
}

struct EncodeCase
{
    D3DFORMAT format;
    float rgba[4];
    BYTE expected[8];
};

// Memory order and quantisation floor(v·(2ᵇ−1) + 0.5), with saturation (NaN → 0).
const EncodeCase g_EncodeCases[] = {
    {D3DFMT_A8R8G8B8, {0.5f, 1.5f, -1.0f, 1.0f}, {0x00, 0xFF, 0x80, 0xFF}},  // memory order B, G, R, A
    {D3DFMT_A8R8G8B8, {NAN, 0.0f, 1.0f / 255.0f, 0.4f}, {0x01, 0x00, 0x00, 0x66}},
    {D3DFMT_X8R8G8B8, {0.0f, 0.0f, 0.0f, 0.0f}, {0x00, 0x00, 0x00, 0xFF}},  // X stores all ones
    {D3DFMT_R5G6B5, {1.0f, 0.5f, 0.0f, 0.0f}, {0x00, 0xFC}},                // r 31, g 32, b 0
    {D3DFMT_A4R4G4B4, {1.0f / 15.0f, 0.0f, 1.0f, 0.5f}, {0x0F, 0x81}},       // a 8, r 1, g 0, b 15
    {D3DFMT_L8, {0.2f, 0.9f, 0.9f, 0.9f}, {0x33}},                          // luminance from red
    {D3DFMT_G16R16, {0.5f, 1.0f, 0.0f, 0.0f}, {0x00, 0x80, 0xFF, 0xFF}},     // 32767.5 + 0.5 → 32768
    {D3DFMT_A16B16G16R16, {0.0f, 1.0f, 2.0f, 33.0f / 255.0f}, {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x21, 0x21}},
    {D3DFMT_R16F, {2049.0f, 5.0f, 5.0f, 5.0f}, {0x00, 0x68}},
    {D3DFMT_G16R16F, {1.0f, -2.0f, 0.0f, 0.0f}, {0x00, 0x3C, 0x00, 0xC0}},
};

TEST(FormatTest, EncodesInMemoryOrderWithRounding)
{
    for (const EncodeCase& c : g_EncodeCases)
    {
        const FormatInfo* pInfo = FindFormat(c.format);
        ASSERT_NE(pInfo, nullptr);
        BYTE bytes[16] = {};
        EncodePixel(*pInfo, c.rgba, bytes);
        for (UINT i = 0; i < pInfo->bytesPerBlock; ++i)
            EXPECT_EQ(bytes[i], c.expected[i]) << pInfo->name << " byte " << i;
    }
}

struct DecodeCase
{
    D3DFORMAT format;
    BYTE bytes[8];
    float expected[4];
};

// UNORM reads n/(2ᵇ−1); missing channels read 1.
const DecodeCase g_DecodeCases[] = {
    {D3DFMT_A8R8G8B8, {0x00, 0x33, 0xFF, 0x80}, {1.0f, 0.2f, 0.0f, 128.0f / 255.0f}},
    {D3DFMT_X8R8G8B8, {0x00, 0x00, 0x00, 0x00}, {0.0f, 0.0f, 0.0f, 1.0f}},
    {D3DFMT_L8, {0x33}, {0.2f, 0.2f, 0.2f, 1.0f}},
    {D3DFMT_R5G6B5, {0x00, 0xF8}, {1.0f, 0.0f, 0.0f, 1.0f}},
    {D3DFMT_A4R4G4B4, {0x00, 0x10}, {0.0f, 0.0f, 0.0f, 1.0f / 15.0f}},
    {D3DFMT_G16R16, {0xFF, 0xFF, 0x00, 0x00}, {1.0f, 0.0f, 1.0f, 1.0f}},
    {D3DFMT_R16F, {0x00, 0xC0}, {-2.0f, 1.0f, 1.0f, 1.0f}},
    {D3DFMT_G16R16F, {0x00, 0x3C, 0x00, 0x38}, {1.0f, 0.5f, 1.0f, 1.0f}},
    {D3DFMT_R32F, {0x00, 0x00, 0x20, 0x41}, {10.0f, 1.0f, 1.0f, 1.0f}},
};

TEST(FormatTest, DecodesWithMissingChannelsAsOne)
{
    for (const DecodeCase& c : g_DecodeCases)
    {
        const FormatInfo* pInfo = FindFormat(c.format);
        ASSERT_NE(pInfo, nullptr);
        float rgba[4];
        DecodePixel(*pInfo, c.bytes, rgba);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(rgba[i], c.expected[i]) << pInfo->name << " channel " << i;
    }
}

// A DXT colour block: end points c0, c1 (565) and 2-bit indices 0, 1, 2, 3 along the first row.
void ColorBlock(BYTE* block, uint16_t c0, uint16_t c1)
{
    block[0] = static_cast<BYTE>(c0);
    block[1] = static_cast<BYTE>(c0 >> 8);
    block[2] = static_cast<BYTE>(c1);
    block[3] = static_cast<BYTE>(c1 >> 8);
    block[4] = 0xE4;  // texels 0..3 use indices 0, 1, 2, 3
    block[5] = block[6] = block[7] = 0;
}

TEST(FormatTest, DecodesDxt1InBothModes)
{
    const FormatInfo& dxt1 = *FindFormat(D3DFMT_DXT1);
    float texels[16][4];
    BYTE block[8];
    // c0 (red) > c1 (blue): four colours, the mixes at 2/3 and 1/3.
    ColorBlock(block, 0xF800, 0x001F);
    DecodeBlock(dxt1, block, texels);
    EXPECT_FLOAT_EQ(texels[2][0], 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(texels[2][2], 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(texels[3][0], 1.0f / 3.0f);
    EXPECT_EQ(texels[3][3], 1.0f);
    // c0 <= c1: the half mix and transparent black.
    ColorBlock(block, 0x001F, 0xF800);
    DecodeBlock(dxt1, block, texels);
    EXPECT_FLOAT_EQ(texels[2][0], 0.5f);
    EXPECT_FLOAT_EQ(texels[2][2], 0.5f);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(texels[3][c], 0.0f);
}

TEST(FormatTest, DecodesDxt3AndDxt5Alpha)
{
    BYTE block[16] = {};
    ColorBlock(block + 8, 0x001F, 0xF800);  // always four-colour mode in DXT3/5
    float texels[16][4];

    block[0] = 0x1F;  // texel 0 alpha 15, texel 1 alpha 1
    DecodeBlock(*FindFormat(D3DFMT_DXT3), block, texels);
    EXPECT_EQ(texels[0][3], 1.0f);
    EXPECT_FLOAT_EQ(texels[1][3], 1.0f / 15.0f);
    EXPECT_FLOAT_EQ(texels[2][0], 1.0f / 3.0f);  // 2/3·c0 + 1/3·c1 with c0 blue, c1 red

    // DXT5, a0 > a1: eight steps; indices 0, 1, 2 for texels 0, 1, 2.
    BYTE dxt5[16] = {255, 0};
    dxt5[2] = static_cast<BYTE>(0 | (1 << 3) | (2 << 6));
    ColorBlock(dxt5 + 8, 0, 0);
    DecodeBlock(*FindFormat(D3DFMT_DXT5), dxt5, texels);
    EXPECT_EQ(texels[0][3], 1.0f);
    EXPECT_EQ(texels[1][3], 0.0f);
    EXPECT_FLOAT_EQ(texels[2][3], 6.0f / 7.0f);
    // a0 <= a1: six steps plus 0 and 1 at indices 6 and 7 (texels 0 and 1).
    dxt5[0] = 0;
    dxt5[1] = 255;
    dxt5[2] = static_cast<BYTE>(6 | (7 << 3) | (2 << 6));
    DecodeBlock(*FindFormat(D3DFMT_DXT5), dxt5, texels);
    EXPECT_EQ(texels[0][3], 0.0f);
    EXPECT_EQ(texels[1][3], 1.0f);
    EXPECT_FLOAT_EQ(texels[2][3], 1.0f / 5.0f);
}

// Runs of pixels convert exactly as pixel-by-pixel conversion does, for every colour format:
// rounding ties, saturation, NaN, values past the half range, missing and padding channels.
TEST(FormatTest, PixelRunsMatchSinglePixels)
{
    const float values[] = {0.5f, 1.5f, -1.0f, NAN, 1.0f / 255.0f, 0.4f, 2049.0f, 65520.0f, -0.0f,
                            1e-6f, 127.5f / 255.0f, 1.0f, 0.0f, 0.99999f, -INFINITY, 33.0f / 255.0f};
    constexpr unsigned N = 13;
    float rgba[4][N];
    for (int c = 0; c < 4; ++c)
        for (unsigned i = 0; i < N; ++i)
            rgba[c][i] = values[(i * 5 + (unsigned)c * 3) % 16];
    const float* const source[4] = {rgba[0], rgba[1], rgba[2], rgba[3]};
    const D3DFORMAT formats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,   D3DFMT_A4R4G4B4,
                                 D3DFMT_G16R16,   D3DFMT_A16B16G16R16, D3DFMT_L8, D3DFMT_R16F,
                                 D3DFMT_G16R16F,  D3DFMT_A16B16G16R16F, D3DFMT_R32F, D3DFMT_G32R32F,
                                 D3DFMT_A32B32G32R32F};
    for (D3DFORMAT format : formats)
    {
        const FormatInfo& info = *FindFormat(format);
        const size_t size = info.bytesPerBlock;
        BYTE run[N * 16], single[N * 16];
        EncodePixelRun(info, source, N, run);
        for (unsigned i = 0; i < N; ++i)
        {
            const float pixel[4] = {rgba[0][i], rgba[1][i], rgba[2][i], rgba[3][i]};
            EncodePixel(info, pixel, single + i * size);
        }
        EXPECT_EQ(std::memcmp(run, single, N * size), 0) << info.name;

        // Decoding arbitrary bytes, NaN patterns included.
        for (unsigned i = 0; i < N * size; ++i)
            run[i] = static_cast<BYTE>(i * 37 + 11);
        float decoded[4][N];
        float* const target[4] = {decoded[0], decoded[1], decoded[2], decoded[3]};
        DecodePixelRun(info, run, N, target);
        for (unsigned i = 0; i < N; ++i)
        {
            float pixel[4];
            DecodePixel(info, run + i * size, pixel);
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(Bits(decoded[c][i]), Bits(pixel[c])) << info.name << " pixel " << i << " channel " << c;
        }
    }
}

struct SizeCase
{
    D3DFORMAT format;
    UINT width, height;
    UINT packedRow, pitch, rows;
};

// Packed rows, pitch (rounded up to 16 bytes) and rows of blocks.
const SizeCase g_SizeCases[] = {
    {D3DFMT_A8R8G8B8, 3, 3, 12, 16, 3},
    {D3DFMT_L8, 5, 2, 5, 16, 2},
    {D3DFMT_R5G6B5, 8, 1, 16, 16, 1},
    {D3DFMT_R16F, 9, 1, 18, 32, 1},
    {D3DFMT_A16B16G16R16F, 640, 480, 5120, 5120, 480},
    {D3DFMT_A32B32G32R32F, 3, 1, 48, 48, 1},
    {D3DFMT_DXT1, 1, 1, 8, 16, 1},
    {D3DFMT_DXT1, 2, 2, 8, 16, 1},
    {D3DFMT_DXT1, 5, 3, 16, 16, 1},
    {D3DFMT_DXT3, 2, 2, 16, 16, 1},
    {D3DFMT_DXT5, 5, 3, 32, 32, 1},
    {D3DFMT_DXT5, 12, 12, 48, 48, 3},
};

TEST(FormatTest, SizesAndPitches)
{
    for (const SizeCase& c : g_SizeCases)
    {
        const FormatInfo& info = *FindFormat(c.format);
        EXPECT_EQ(PackedRowBytes(info, c.width), c.packedRow) << info.name << " " << c.width;
        EXPECT_EQ(RowPitch(info, c.width), c.pitch) << info.name << " " << c.width;
        EXPECT_EQ(BlockRows(info, c.height), c.rows) << info.name << " " << c.height;
    }
}
}  // namespace
