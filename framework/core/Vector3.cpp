#include "core/Vector3.h"

namespace
{
// The normal shortened to unit length when longer, each component then mapped to a byte.
void NormalBytes(Vector3 n, uint32_t& nX, uint32_t& nY, uint32_t& nZ)
{
    float s = LengthSquared(n);
    if (s > 1.0f)
        n *= FastInvSqrt(s);
    nX = TruncateToByte((n.x + 1.0f) * 127.5f);
    nY = TruncateToByte((n.y + 1.0f) * 127.5f);
    nZ = TruncateToByte((n.z + 1.0f) * 127.5f);
}
}

uint32_t PackNormalRGB8(Vector3 n)
{
    uint32_t nX, nY, nZ;
    NormalBytes(n, nX, nY, nZ);
    return nX | (nY << 8) | (nZ << 16);
}

uint32_t PackNormalBGR8(Vector3 n)
{
    uint32_t nX, nY, nZ;
    NormalBytes(n, nX, nY, nZ);
    return nZ | (nY << 8) | (nX << 16);
}
