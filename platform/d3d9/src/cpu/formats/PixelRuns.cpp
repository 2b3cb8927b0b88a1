#include "cpu/formats/PixelRuns.h"

#include "cpu/formats/HalfRuns.h"

#include <algorithm>
#include <bit>
#include <cstring>

// Packed pixels are little-endian words; copying them whole assumes the host agrees.
static_assert(std::endian::native == std::endian::little, "pixel words are stored little-endian");

namespace
{
constexpr unsigned CHUNK = 64;  // pixels converted per pass of the channel loops

// The component array a stored channel reads or fills (luminance: red), null for padding.
int ComponentOf(const ChannelLayout& channel)
{
    return channel.component == CHANNEL_L ? 0 : channel.component == CHANNEL_X ? -1 : channel.component;
}

template <typename Word>
void DecodeUnorm(const FormatInfo& info, const BYTE* pixels, unsigned nCount, float* const rgba[4])
{
    Word words[CHUNK];
    for (unsigned nFirst = 0; nFirst < nCount; nFirst += CHUNK)
    {
        const unsigned n = nCount - nFirst < CHUNK ? nCount - nFirst : CHUNK;
        std::memcpy(words, pixels + (size_t)nFirst * sizeof(Word), n * sizeof(Word));
        for (unsigned k = 0; k < info.channelCount; ++k)
        {
            const ChannelLayout& channel = info.channels[k];
            const int c = ComponentOf(channel);
            if (c < 0)
                continue;
            const Word mask = (Word)((uint64_t{1} << channel.bits) - 1);
            const float fMask = (float)mask;
            float* pOut = rgba[c] + nFirst;
            for (unsigned i = 0; i < n; ++i)
                pOut[i] = (float)(int32_t)((words[i] >> channel.shift) & mask) / fMask;
        }
    }
}

template <typename Word>
void EncodeUnorm(const FormatInfo& info, const float* const rgba[4], unsigned nCount, BYTE* pixels)
{
    Word words[CHUNK];
    for (unsigned nFirst = 0; nFirst < nCount; nFirst += CHUNK)
    {
        const unsigned n = nCount - nFirst < CHUNK ? nCount - nFirst : CHUNK;
        std::fill_n(words, n, Word{0});
        for (unsigned k = 0; k < info.channelCount; ++k)
        {
            const ChannelLayout& channel = info.channels[k];
            const float fMaximum = (float)((1u << channel.bits) - 1u);
            const int c = ComponentOf(channel);
            if (c < 0)
            {
                for (unsigned i = 0; i < n; ++i)
                    words[i] |= (Word)((1u << channel.bits) - 1u) << channel.shift;
                continue;
            }
            // Saturate (NaN → 0) and round to nearest, as EncodePixel does; the sum is at least
            // 0.5, so truncation is its floor.
            const float* pIn = rgba[c] + nFirst;
            for (unsigned i = 0; i < n; ++i)
            {
                const float v = pIn[i];
                const float clamped = v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
                words[i] |= (Word)(int32_t)(clamped * fMaximum + 0.5f) << channel.shift;
            }
        }
        std::memcpy(pixels + (size_t)nFirst * sizeof(Word), words, n * sizeof(Word));
    }
}

// Whether a half-float format's channels fill its pixels in order, 16 bits each with channel k at
// bit 16 k, and each names a component: its runs convert as one stream of halves.
bool PacksHalvesInOrder(const FormatInfo& info)
{
    if (info.type != ChannelType::Half || info.channelCount * 2u != info.bytesPerBlock)
        return false;
    for (unsigned k = 0; k < info.channelCount; ++k)
        if (info.channels[k].shift != 16 * k || info.channels[k].bits != 16 || ComponentOf(info.channels[k]) < 0)
            return false;
    return true;
}

void DecodePackedHalves(const FormatInfo& info, const BYTE* pixels, unsigned nCount, float* const rgba[4])
{
    const unsigned nChannels = info.channelCount;
    uint16_t halves[CHUNK * 4];
    float floats[CHUNK * 4];
    for (unsigned nFirst = 0; nFirst < nCount; nFirst += CHUNK)
    {
        const unsigned n = std::min(CHUNK, nCount - nFirst);
        std::memcpy(halves, pixels + (size_t)nFirst * info.bytesPerBlock, (size_t)n * info.bytesPerBlock);
        HalfRunToFloats(halves, (size_t)n * nChannels, floats);
        for (unsigned k = 0; k < nChannels; ++k)
        {
            float* pOut = rgba[ComponentOf(info.channels[k])] + nFirst;
            for (unsigned i = 0; i < n; ++i)
                pOut[i] = floats[i * nChannels + k];
        }
    }
}

void EncodePackedHalves(const FormatInfo& info, const float* const rgba[4], unsigned nCount, BYTE* pixels)
{
    const unsigned nChannels = info.channelCount;
    uint16_t halves[CHUNK * 4];
    float floats[CHUNK * 4];
    for (unsigned nFirst = 0; nFirst < nCount; nFirst += CHUNK)
    {
        const unsigned n = std::min(CHUNK, nCount - nFirst);
        for (unsigned k = 0; k < nChannels; ++k)
        {
            const float* pIn = rgba[ComponentOf(info.channels[k])] + nFirst;
            for (unsigned i = 0; i < n; ++i)
                floats[i * nChannels + k] = pIn[i];
        }
        FloatRunToHalves(floats, (size_t)n * nChannels, halves);
        std::memcpy(pixels + (size_t)nFirst * info.bytesPerBlock, halves, (size_t)n * info.bytesPerBlock);
    }
}

void DecodeWide(const FormatInfo& info, const BYTE* pixels, unsigned nCount, float* const rgba[4])
{
    if (PacksHalvesInOrder(info))
        return DecodePackedHalves(info, pixels, nCount, rgba);
    const size_t nStride = info.bytesPerBlock;
    for (unsigned k = 0; k < info.channelCount; ++k)
    {
        const ChannelLayout& channel = info.channels[k];
        const int c = ComponentOf(channel);
        const BYTE* pIn = pixels + channel.shift / 8;
        float* pOut = rgba[c];
        if (info.type == ChannelType::Half)
            for (unsigned nFirst = 0; nFirst < nCount; nFirst += CHUNK)
            {
                // Gathered from the pixels, then converted as one run.
                const unsigned n = std::min(CHUNK, nCount - nFirst);
                uint16_t halves[CHUNK];
                for (unsigned i = 0; i < n; ++i)
                    std::memcpy(&halves[i], pIn + (size_t)(nFirst + i) * nStride, 2);
                HalfRunToFloats(halves, n, pOut + nFirst);
            }
        else
            for (unsigned i = 0; i < nCount; ++i)
                std::memcpy(&pOut[i], pIn + i * nStride, 4);
    }
}

void EncodeWide(const FormatInfo& info, const float* const rgba[4], unsigned nCount, BYTE* pixels)
{
    if (PacksHalvesInOrder(info))
        return EncodePackedHalves(info, rgba, nCount, pixels);
    const size_t nStride = info.bytesPerBlock;
    for (unsigned k = 0; k < info.channelCount; ++k)
    {
        const ChannelLayout& channel = info.channels[k];
        const float* pIn = rgba[ComponentOf(channel)];
        BYTE* pOut = pixels + channel.shift / 8;
        if (info.type == ChannelType::Half)
            for (unsigned nFirst = 0; nFirst < nCount; nFirst += CHUNK)
            {
                // Converted as one run, then scattered to the pixels.
                const unsigned n = std::min(CHUNK, nCount - nFirst);
                uint16_t halves[CHUNK];
                FloatRunToHalves(pIn + nFirst, n, halves);
                for (unsigned i = 0; i < n; ++i)
                    std::memcpy(pOut + (size_t)(nFirst + i) * nStride, &halves[i], 2);
            }
        else
            for (unsigned i = 0; i < nCount; ++i)
                std::memcpy(pOut + i * nStride, &pIn[i], 4);
    }
}
}  // namespace

void DecodePixelRun(const FormatInfo& info, const BYTE* pixels, unsigned nCount, float* const rgba[4])
{
    for (int c = 0; c < 4; ++c)
        std::fill_n(rgba[c], nCount, 1.0f);
    if (info.type != ChannelType::Unorm)
        return DecodeWide(info, pixels, nCount, rgba);
    switch (info.bytesPerBlock)
    {
    case 1: DecodeUnorm<uint8_t>(info, pixels, nCount, rgba); break;
    case 2: DecodeUnorm<uint16_t>(info, pixels, nCount, rgba); break;
    case 4: DecodeUnorm<uint32_t>(info, pixels, nCount, rgba); break;
    default: DecodeUnorm<uint64_t>(info, pixels, nCount, rgba); break;
    }
    // Luminance fills green and blue as well.
    if (info.channelCount == 1 && info.channels[0].component == CHANNEL_L)
    {
        std::memcpy(rgba[1], rgba[0], nCount * sizeof(float));
        std::memcpy(rgba[2], rgba[0], nCount * sizeof(float));
    }
}

void EncodePixelRun(const FormatInfo& info, const float* const rgba[4], unsigned nCount, BYTE* pixels)
{
    if (info.type != ChannelType::Unorm)
        return EncodeWide(info, rgba, nCount, pixels);
    switch (info.bytesPerBlock)
    {
    case 1: EncodeUnorm<uint8_t>(info, rgba, nCount, pixels); break;
    case 2: EncodeUnorm<uint16_t>(info, rgba, nCount, pixels); break;
    case 4: EncodeUnorm<uint32_t>(info, rgba, nCount, pixels); break;
    default: EncodeUnorm<uint64_t>(info, rgba, nCount, pixels); break;
    }
}
