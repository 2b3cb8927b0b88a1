#pragma once
// Tiny image files assembled field by field, so that the tests own every byte they read.
#include "core/ByteStream.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct TgaSpec
{
    uint16_t width = 2, height = 2;
    uint8_t depth = 24;
    uint8_t imageType = 2;
    uint8_t descriptor = 0;
    Bytes id;
    uint8_t mapType = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntryBits = 0;
    Bytes map;
    Bytes pixels;
};

inline Bytes MakeTga(const TgaSpec& s)
{
    ByteWriter w;
    w.WriteU8(static_cast<uint8_t>(s.id.size()));
    w.WriteU8(s.mapType);
    w.WriteU8(s.imageType);
    w.WriteU16(0);
    w.WriteU16(s.mapLength);
    w.WriteU8(s.mapEntryBits);
    w.WriteU32(0);
    w.WriteU16(s.width);
    w.WriteU16(s.height);
    w.WriteU8(s.depth);
    w.WriteU8(s.descriptor);
    w.WriteBytes(s.id.data(), s.id.size());
    w.WriteBytes(s.map.data(), s.map.size());
    w.WriteBytes(s.pixels.data(), s.pixels.size());
    return w.GetBuffer();
}

struct BmpSpec
{
    int32_t width = 2, height = 2;
    uint16_t bitCount = 24;
    uint32_t infoSize = 40;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    Bytes palette;   // 4 bytes an entry
    Bytes rows;      // padded, as stored
};

inline Bytes MakeBmp(const BmpSpec& s)
{
    uint32_t nOffset = 14 + s.infoSize + static_cast<uint32_t>(s.palette.size());
    ByteWriter w;
    w.WriteU16(0x4D42);
    w.WriteU32(nOffset + static_cast<uint32_t>(s.rows.size()));
    w.WriteU32(0);
    w.WriteU32(nOffset);
    w.WriteU32(s.infoSize);
    w.WriteI32(s.width);
    w.WriteI32(s.height);
    w.WriteU16(1);
    w.WriteU16(s.bitCount);
    w.WriteU32(s.compression);
    w.WriteU32(static_cast<uint32_t>(s.rows.size()));
    w.WriteU32(2835);
    w.WriteU32(2835);
    w.WriteU32(s.coloursUsed);
    w.WriteU32(0);
    w.WriteZeros(s.infoSize - 40);
    w.WriteBytes(s.palette.data(), s.palette.size());
    w.WriteBytes(s.rows.data(), s.rows.size());
    return w.GetBuffer();
}

struct PcxSpec
{
    uint16_t width = 2, height = 2;
    uint8_t planes = 3;
    uint16_t bytesPerLine = 2;
    Bytes encoded;
    Bytes palette;   // 768 bytes for one plane, written after the marker 12
};

inline Bytes MakePcx(const PcxSpec& s)
{
    ByteWriter w;
    w.WriteU8(10);
    w.WriteU8(5);
    w.WriteU8(1);
    w.WriteU8(8);
    w.WriteU32(0);
    w.WriteU16(static_cast<uint16_t>(s.width - 1));
    w.WriteU16(static_cast<uint16_t>(s.height - 1));
    w.WriteU16(72);
    w.WriteU16(72);
    w.WriteZeros(48);
    w.WriteU8(0);
    w.WriteU8(s.planes);
    w.WriteU16(s.bytesPerLine);
    w.WriteU16(1);
    w.WriteZeros(58);
    w.WriteBytes(s.encoded.data(), s.encoded.size());
    if (!s.palette.empty())
    {
        w.WriteU8(12);
        w.WriteBytes(s.palette.data(), s.palette.size());
    }
    return w.GetBuffer();
}

struct DdsSpec
{
    uint32_t width = 2, height = 2;
    uint32_t mipCount = 0;
    std::string fourCC;      // empty: uncompressed
    uint32_t bitCount = 32;
    Bytes data;
};

inline Bytes MakeDds(const DdsSpec& s)
{
    ByteWriter w;
    w.WriteBytes("DDS ", 4);
    w.WriteU32(124);
    w.WriteU32(0x000A1007);
    w.WriteU32(s.height);
    w.WriteU32(s.width);
    w.WriteU32(0);
    w.WriteU32(0);
    w.WriteU32(s.mipCount);
    w.WriteZeros(44);
    w.WriteU32(32);
    w.WriteU32(s.fourCC.empty() ? 0x40 : 0x04);
    std::string fourCC = s.fourCC.empty() ? std::string(4, '\0') : s.fourCC;
    w.WriteBytes(fourCC.data(), 4);
    w.WriteU32(s.bitCount);
    w.WriteZeros(16 + 4 + 16);
    w.WriteBytes(s.data.data(), s.data.size());
    return w.GetBuffer();
}

// PNG: chunks with their CRC, the image data in stored (uncompressed) deflate blocks.
inline uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < n; ++i)
    {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void WriteU32BE(Bytes& out, uint32_t n)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(n >> (8 * i)));
}

inline void AppendPngChunk(Bytes& out, const char* szType, const Bytes& data)
{
    WriteU32BE(out, static_cast<uint32_t>(data.size()));
    Bytes typed(szType, szType + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    WriteU32BE(out, Crc32(typed.data(), typed.size()));
}

// A zlib stream holding the bytes in stored blocks, with its Adler-32 check.
inline Bytes StoredZlib(const Bytes& raw)
{
    Bytes out = {0x78, 0x01};
    size_t nPos = 0;
    do
    {
        size_t n = std::min<size_t>(raw.size() - nPos, 65535);
        bool bFinal = nPos + n == raw.size();
        out.push_back(bFinal ? 1 : 0);
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<long>(nPos), raw.begin() + static_cast<long>(nPos + n));
        nPos += n;
    } while (nPos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw)
    {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    WriteU32BE(out, (b << 16) | a);
    return out;
}

struct PngSpec
{
    uint32_t width = 1, height = 1;
    uint8_t bitDepth = 8;
    uint8_t colourType = 2;
    uint8_t interlace = 0;   // 1: Adam7, the scanlines given pass by pass
    std::vector<std::pair<std::string, Bytes>> chunks;   // between IHDR and IDAT
    Bytes scanlines;                                      // each row led by its filter byte
};

inline Bytes MakePng(const PngSpec& s)
{
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    WriteU32BE(header, s.width);
    WriteU32BE(header, s.height);
    header.insert(header.end(), {s.bitDepth, s.colourType, 0, 0, s.interlace});
    AppendPngChunk(out, "IHDR", header);
    for (const auto& chunk : s.chunks)
        AppendPngChunk(out, chunk.first.c_str(), chunk.second);
    AppendPngChunk(out, "IDAT", StoredZlib(s.scanlines));
    AppendPngChunk(out, "IEND", {});
    return out;
}
