#pragma once
// Small BMP files built from bytes, and the hostile variants of one that a BMP reader must
// refuse: a wrong signature, bad sizes, depths and compression, a short header, and data cut
// short. Shared by the image tests and the fuzz seeds.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace hostile_bmp
{
inline void Put(std::vector<uint8_t>& data, size_t nAt, uint32_t nValue, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        data[nAt + static_cast<size_t>(i)] = static_cast<uint8_t>(nValue >> (8 * i));
}

// A bottom-up BMP of the given depth: a colour table of N entries (i, 2i, 3i) and every pixel
// byte (i * 37 + 11) mod 256, rows padded to 4 bytes.
inline std::vector<uint8_t> MakeBmp(int nWidth, int nHeight, int nBits)
{
    const int nColors = nBits == 1 ? 2 : nBits == 4 ? 16 : nBits == 8 ? 256 : 0;
    const size_t nStride = ((static_cast<size_t>(nWidth) * static_cast<size_t>(nBits) + 31) / 32) * 4;
    const size_t nOffset = 54 + 4 * static_cast<size_t>(nColors);
    std::vector<uint8_t> data(nOffset + nStride * static_cast<size_t>(nHeight), 0);
    Put(data, 0, 0x4D42, 2);
    Put(data, 2, static_cast<uint32_t>(data.size()), 4);
    Put(data, 10, static_cast<uint32_t>(nOffset), 4);
    Put(data, 14, 40, 4);
    Put(data, 18, static_cast<uint32_t>(nWidth), 4);
    Put(data, 22, static_cast<uint32_t>(nHeight), 4);
    Put(data, 26, 1, 2);
    Put(data, 28, static_cast<uint32_t>(nBits), 2);
    for (int i = 0; i < nColors; ++i)
        Put(data, 54 + 4 * static_cast<size_t>(i), static_cast<uint32_t>((3 * i % 256) | (2 * i % 256) << 8 | (i % 256) << 16), 4);
    for (size_t i = nOffset; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>((i * 37 + 11) % 256);
    return data;
}

struct Variant
{
    std::string m_strName;
    std::vector<uint8_t> m_Bytes;
};

// The hostile variants of a 2 x 2, 8-bit BMP.
inline std::vector<Variant> Variants()
{
    const std::vector<uint8_t> good = MakeBmp(2, 2, 8);
    std::vector<Variant> out;
    auto patch = [&](const char* szName, size_t nAt, uint32_t nValue, int nBytes) {
        Variant v{szName, good};
        Put(v.m_Bytes, nAt, nValue, nBytes);
        out.push_back(v);
    };
    patch("signature BA", 0, 0x4142, 2);
    patch("width 0", 18, 0, 4);
    patch("width -2", 18, static_cast<uint32_t>(-2), 4);
    patch("height 0", 22, 0, 4);
    patch("height -2 (top-down)", 22, static_cast<uint32_t>(-2), 4);
    patch("width 40000", 18, 40000, 4);
    patch("huge area", 18, 30000, 4);   // with the next line's height: 30000 x 30000 pixels
    Put(out.back().m_Bytes, 22, 30000, 4);
    patch("depth 0", 28, 0, 2);
    patch("depth 7", 28, 7, 2);
    patch("depth 16", 28, 16, 2);
    patch("depth 32", 28, 32, 2);
    patch("run-length compression", 30, 1, 4);
    patch("header size 12", 14, 12, 4);
    patch("header size beyond the file", 14, 0x7FFFFFFF, 4);
    patch("pixel offset beyond the file", 10, 0x10000, 4);
    patch("pixel offset leaves too little", 10, static_cast<uint32_t>(good.size() - 7), 4);
    // Cut at every record boundary and inside each record.
    for (size_t nLength : {size_t(0), size_t(1), size_t(13), size_t(14), size_t(30), size_t(53), size_t(54),
                           size_t(54 + 500), size_t(54 + 1024), good.size() - 1})
        out.push_back(Variant{"cut at " + std::to_string(nLength),
                              std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(nLength))});
    return out;
}
}
