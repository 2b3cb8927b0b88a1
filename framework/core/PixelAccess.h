#pragma once
// Reading and writing the multi-byte values inside pixel buffers: 16-bit words little-endian
// (the memory order of RGB565 surfaces and DXT blocks), floats through memcpy so that no
// alignment is assumed.
#include <cstdint>
#include <cstring>

inline uint16_t LoadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline void StoreU16(uint8_t* p, uint16_t n)
{
    p[0] = static_cast<uint8_t>(n);
    p[1] = static_cast<uint8_t>(n >> 8);
}

inline uint32_t LoadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

inline void StoreU32(uint8_t* p, uint32_t n)
{
    StoreU16(p, static_cast<uint16_t>(n));
    StoreU16(p + 2, static_cast<uint16_t>(n >> 16));
}

inline float LoadF32(const uint8_t* p)
{
    float f;
    std::memcpy(&f, p, sizeof(f));
    return f;
}

inline void StoreF32(uint8_t* p, float f)
{
    std::memcpy(p, &f, sizeof(f));
}
