#include "cpu/formats/Formats.h"

#include "cpu/formats/Half.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>

namespace
{
constexpr ChannelType U = ChannelType::Unorm;
constexpr ChannelType H = ChannelType::Half;
constexpr ChannelType F = ChannelType::Float;
constexpr FormatKind C = FormatKind::Color;

// Memory layouts from the public format definitions: packed formats name their channels from the
// most significant bit down, so A8R8G8B8 keeps blue in the lowest byte; the 16-bit-per-channel
// and float formats name them the other way round and keep red first.
const FormatInfo g_Formats[] = {
    {D3DFMT_A8R8G8B8, "A8R8G8B8", C, 4, 1, true, false, 0, U, 4,
     {{CHANNEL_B, 0, 8}, {CHANNEL_G, 8, 8}, {CHANNEL_R, 16, 8}, {CHANNEL_A, 24, 8}}},
    {D3DFMT_X8R8G8B8, "X8R8G8B8", C, 4, 1, true, false, 0, U, 4,
     {{CHANNEL_B, 0, 8}, {CHANNEL_G, 8, 8}, {CHANNEL_R, 16, 8}, {CHANNEL_X, 24, 8}}},
    {D3DFMT_R5G6B5, "R5G6B5", C, 2, 1, true, false, 0, U, 3,
     {{CHANNEL_B, 0, 5}, {CHANNEL_G, 5, 6}, {CHANNEL_R, 11, 5}}},
    {D3DFMT_A4R4G4B4, "A4R4G4B4", C, 2, 1, true, false, 0, U, 4,
     {{CHANNEL_B, 0, 4}, {CHANNEL_G, 4, 4}, {CHANNEL_R, 8, 4}, {CHANNEL_A, 12, 4}}},
    {D3DFMT_G16R16, "G16R16", C, 4, 1, true, false, 0, U, 2, {{CHANNEL_R, 0, 16}, {CHANNEL_G, 16, 16}}},
    {D3DFMT_A16B16G16R16, "A16B16G16R16", C, 8, 1, true, false, 0, U, 4,
     {{CHANNEL_R, 0, 16}, {CHANNEL_G, 16, 16}, {CHANNEL_B, 32, 16}, {CHANNEL_A, 48, 16}}},
    {D3DFMT_L8, "L8", C, 1, 1, false, false, 0, U, 1, {{CHANNEL_L, 0, 8}}},
    {D3DFMT_DXT1, "DXT1", FormatKind::Compressed, 8, 4, false, false, 0, U, 0, {}},
    {D3DFMT_DXT3, "DXT3", FormatKind::Compressed, 16, 4, false, false, 0, U, 0, {}},
    {D3DFMT_DXT5, "DXT5", FormatKind::Compressed, 16, 4, false, false, 0, U, 0, {}},
    {D3DFMT_D24S8, "D24S8", FormatKind::Depth, 4, 1, false, true, 24, F, 0, {}},
    {D3DFMT_D24X8, "D24X8", FormatKind::Depth, 4, 1, false, false, 24, F, 0, {}},
    {D3DFMT_D16, "D16", FormatKind::Depth, 2, 1, false, false, 16, F, 0, {}},
    {D3DFMT_R16F, "R16F", C, 2, 1, true, false, 0, H, 1, {{CHANNEL_R, 0, 16}}},
    {D3DFMT_G16R16F, "G16R16F", C, 4, 1, true, false, 0, H, 2, {{CHANNEL_R, 0, 16}, {CHANNEL_G, 16, 16}}},
    {D3DFMT_A16B16G16R16F, "A16B16G16R16F", C, 8, 1, true, false, 0, H, 4,
     {{CHANNEL_R, 0, 16}, {CHANNEL_G, 16, 16}, {CHANNEL_B, 32, 16}, {CHANNEL_A, 48, 16}}},
    {D3DFMT_R32F, "R32F", C, 4, 1, true, false, 0, F, 1, {{CHANNEL_R, 0, 32}}},
    {D3DFMT_G32R32F, "G32R32F", C, 8, 1, true, false, 0, F, 2, {{CHANNEL_R, 0, 32}, {CHANNEL_G, 32, 32}}},
    {D3DFMT_A32B32G32R32F, "A32B32G32R32F", C, 16, 1, true, false, 0, F, 4,
     {{CHANNEL_R, 0, 32}, {CHANNEL_G, 32, 32}, {CHANNEL_B, 64, 32}, {CHANNEL_A, 96, 32}}},
};

std::atomic<UINT> g_nExtraRowPadding{0};

uint64_t LoadWord(const BYTE* pixel, UINT bytes)
{
    uint64_t word = 0;
    for (UINT i = 0; i < bytes; ++i)
        word |= static_cast<uint64_t>(pixel[i]) << (8 * i);
    return word;
}

void StoreWord(BYTE* pixel, UINT bytes, uint64_t word)
{
    for (UINT i = 0; i < bytes; ++i)
        pixel[i] = static_cast<BYTE>(word >> (8 * i));
}

// Saturate (NaN → 0) and round to nearest: floor(v·(2ᵇ−1) + 0.5).
uint32_t QuantizeUnorm(float value, UINT bits)
{
    const float clamped = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;  // NaN fails both tests
    const float maximum = static_cast<float>((1u << bits) - 1u);
    return static_cast<uint32_t>(std::floor(clamped * maximum + 0.5f));
}

void DecodeColor565(uint16_t packed, float rgb[3])
{
    rgb[0] = static_cast<float>((packed >> 11) & 31) / 31.0f;
    rgb[1] = static_cast<float>((packed >> 5) & 63) / 63.0f;
    rgb[2] = static_cast<float>(packed & 31) / 31.0f;
}

// The colour half of every DXT block: two 565 end points and 2-bit indices. fourColours forces
// the four-colour mode (DXT3 and DXT5 always use it).
void DecodeColorBlock(const BYTE* block, bool fourColours, float texels[16][4])
{
    const uint16_t c0 = static_cast<uint16_t>(block[0] | (block[1] << 8));
    const uint16_t c1 = static_cast<uint16_t>(block[2] | (block[3] << 8));
    float palette[4][4];
    DecodeColor565(c0, palette[0]);
    DecodeColor565(c1, palette[1]);
    palette[0][3] = palette[1][3] = 1.0f;
    const bool opaque = fourColours || c0 > c1;
    for (int c = 0; c < 3; ++c)
    {
        if (opaque)
        {
            palette[2][c] = (2.0f * palette[0][c] + palette[1][c]) / 3.0f;
            palette[3][c] = (palette[0][c] + 2.0f * palette[1][c]) / 3.0f;
        }
        else
        {
            palette[2][c] = (palette[0][c] + palette[1][c]) / 2.0f;
            palette[3][c] = 0.0f;
        }
    }
    palette[2][3] = 1.0f;
    palette[3][3] = opaque ? 1.0f : 0.0f;
    const uint32_t indices = LoadWord(block + 4, 4);
    for (int i = 0; i < 16; ++i)
        std::memcpy(texels[i], palette[(indices >> (2 * i)) & 3], sizeof(float) * 4);
}

void DecodeExplicitAlpha(const BYTE* block, float texels[16][4])
{
    const uint64_t alpha = LoadWord(block, 8);
    for (int i = 0; i < 16; ++i)
        texels[i][3] = static_cast<float>((alpha >> (4 * i)) & 15) / 15.0f;
}

void DecodeInterpolatedAlpha(const BYTE* block, float texels[16][4])
{
    const float a0 = block[0] / 255.0f;
    const float a1 = block[1] / 255.0f;
    float palette[8] = {a0, a1};
    if (block[0] > block[1])
    {
        for (int i = 1; i < 7; ++i)
            palette[i + 1] = (static_cast<float>(7 - i) * a0 + static_cast<float>(i) * a1) / 7.0f;
    }
    else
    {
        for (int i = 1; i < 5; ++i)
            palette[i + 1] = (static_cast<float>(5 - i) * a0 + static_cast<float>(i) * a1) / 5.0f;
        palette[6] = 0.0f;
        palette[7] = 1.0f;
    }
    const uint64_t indices = LoadWord(block + 2, 6);
    for (int i = 0; i < 16; ++i)
        texels[i][3] = palette[(indices >> (3 * i)) & 7];
}
}  // namespace

const FormatInfo* FindFormat(D3DFORMAT format)
{
    for (const FormatInfo& info : g_Formats)
        if (info.format == format)
            return &info;
    return nullptr;
}

const char* FormatName(D3DFORMAT format)
{
    const FormatInfo* pInfo = FindFormat(format);
    return pInfo ? pInfo->name : "UNKNOWN";
}

UINT PackedRowBytes(const FormatInfo& info, UINT width)
{
    return (width + info.blockSize - 1) / info.blockSize * info.bytesPerBlock;
}

UINT BlockRows(const FormatInfo& info, UINT height)
{
    return (height + info.blockSize - 1) / info.blockSize;
}

UINT RowPitch(const FormatInfo& info, UINT width)
{
    return (PackedRowBytes(info, width) + 15u) / 16u * 16u + g_nExtraRowPadding.load();
}

void SetExtraRowPadding(UINT bytes)
{
    g_nExtraRowPadding.store(bytes);
}

UINT GetExtraRowPadding()
{
    return g_nExtraRowPadding.load();
}

void DecodePixel(const FormatInfo& info, const BYTE* pixel, float rgba[4])
{
    rgba[0] = rgba[1] = rgba[2] = rgba[3] = 1.0f;
    const uint64_t word = info.type == ChannelType::Unorm ? LoadWord(pixel, info.bytesPerBlock) : 0;
    for (UINT i = 0; i < info.channelCount; ++i)
    {
        const ChannelLayout& channel = info.channels[i];
        if (channel.component == CHANNEL_X)
            continue;
        float value;
        if (info.type == ChannelType::Unorm)
        {
            const uint64_t mask = (uint64_t{1} << channel.bits) - 1;
            value = static_cast<float>((word >> channel.shift) & mask) / static_cast<float>(mask);
        }
        else if (info.type == ChannelType::Half)
        {
            uint16_t half;
            std::memcpy(&half, pixel + channel.shift / 8, 2);
            value = HalfToFloat(half);
        }
        else
            std::memcpy(&value, pixel + channel.shift / 8, 4);
        if (channel.component == CHANNEL_L)
            rgba[0] = rgba[1] = rgba[2] = value;
        else
            rgba[channel.component] = value;
    }
}

void EncodePixel(const FormatInfo& info, const float rgba[4], BYTE* pixel)
{
    uint64_t word = 0;
    for (UINT i = 0; i < info.channelCount; ++i)
    {
        const ChannelLayout& channel = info.channels[i];
        const float value = channel.component == CHANNEL_L ? rgba[0]
                            : channel.component == CHANNEL_X ? 1.0f
                                                              : rgba[channel.component];
        if (info.type == ChannelType::Unorm)
            word |= static_cast<uint64_t>(QuantizeUnorm(value, channel.bits)) << channel.shift;
        else if (info.type == ChannelType::Half)
        {
            const uint16_t half = FloatToHalf(value);
            std::memcpy(pixel + channel.shift / 8, &half, 2);
        }
        else
            std::memcpy(pixel + channel.shift / 8, &value, 4);
    }
    if (info.type == ChannelType::Unorm)
        StoreWord(pixel, info.bytesPerBlock, word);
}

void DecodeBlock(const FormatInfo& info, const BYTE* block, float texels[16][4])
{
    switch (info.format)
    {
    case D3DFMT_DXT1:
        DecodeColorBlock(block, false, texels);
        break;
    case D3DFMT_DXT3:
        DecodeColorBlock(block + 8, true, texels);
        DecodeExplicitAlpha(block, texels);
        break;
    case D3DFMT_DXT5:
        DecodeColorBlock(block + 8, true, texels);
        DecodeInterpolatedAlpha(block, texels);
        break;
    default:
        for (int i = 0; i < 16; ++i)
            texels[i][0] = texels[i][1] = texels[i][2] = texels[i][3] = 0.0f;
        break;
    }
}

void ReadTexel(const FormatInfo& info, const BYTE* bits, UINT pitch, UINT x, UINT y, float rgba[4])
{
    if (info.kind == FormatKind::Compressed)
    {
        float texels[16][4];
        DecodeBlock(info, bits + static_cast<size_t>(y / 4) * pitch + (x / 4) * info.bytesPerBlock, texels);
        std::memcpy(rgba, texels[(y % 4) * 4 + (x % 4)], sizeof(float) * 4);
        return;
    }
    DecodePixel(info, bits + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * info.bytesPerBlock, rgba);
}

void ColorToFloat(D3DCOLOR color, float rgba[4])
{
    rgba[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(color & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>(color >> 24) / 255.0f;
}
