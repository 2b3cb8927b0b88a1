#pragma once
// Media files the scene readers load, made in the tests: the light cube map.
#include "core/ByteStream.h"

#include <cstdint>
#include <vector>

// A 4 x 4 DDS cube map of A8R8G8B8 faces, one level.
inline std::vector<uint8_t> TinyCubeDds()
{
    ByteWriter w;
    w.WriteU32(0x20534444);
    for (uint32_t n : {124u, 0x1007u, 4u, 4u, 16u, 0u, 0u})
        w.WriteU32(n);
    w.WriteZeros(44);
    for (uint32_t n : {32u, 0x41u, 0u, 32u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u, 0x1008u, 0xFE00u})
        w.WriteU32(n);
    w.WriteZeros(12);
    for (int i = 0; i < 6 * 16; ++i)
        w.WriteU32(0xFF808080u);
    return w.GetBuffer();
}
