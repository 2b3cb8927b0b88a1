#include "TestSampler.h"

#include <cmath>
#include <cstring>

namespace
{
// fp16 to float for every bit pattern, built once.
struct HalfTable
{
    float values[65536];
    HalfTable()
    {
        for (uint32_t h = 0; h < 65536; ++h)
        {
            uint32_t sign = (h & 0x8000u) << 16, exponent = (h >> 10) & 0x1F, mantissa = h & 0x3FF;
            uint32_t bits;
            if (exponent == 0x1F)
                bits = sign | 0x7F800000u | (mantissa << 13);
            else if (exponent)
                bits = sign | ((exponent + 112) << 23) | (mantissa << 13);
            else
            {
                float f = std::ldexp((float)mantissa, -24);
                std::memcpy(&bits, &f, 4);
                bits |= sign;
            }
            std::memcpy(&values[h], &bits, 4);
        }
    }
};
const HalfTable& Halfs()
{
    static const HalfTable s_Table;
    return s_Table;
}

int Address(int n, int nSize, bool bClamp)
{
    if (bClamp)
        return n < 0 ? 0 : n >= nSize ? nSize - 1 : n;
    n %= nSize;
    return n < 0 ? n + nSize : n;
}

// Texel coordinate snapped to 1/256 texel, rounding to nearest.
float Snap(float x) { return std::nearbyint(x * 256.0f) / 256.0f; }

void Fetch(const TestTexture& t, int x, int y, float rgba[4])
{
    size_t n = ((size_t)Address(y, (int)t.nHeight, t.bClamp) * t.nWidth + Address(x, (int)t.nWidth, t.bClamp)) * 4;
    if (t.halfs.empty())
        for (int c = 0; c < 4; ++c)
            rgba[c] = t.texels[n + c];
    else
    {
        const float* pTable = Halfs().values;
        for (int c = 0; c < 4; ++c)
            rgba[c] = pTable[t.halfs[n + c]];
    }
}

void Sample2D(const TestTexture& t, float u, float v, float rgba[4])
{
    if (!(u == u) || !(v == v))
        u = v = 0.0f;
    if (!t.bLinear)
    {
        Fetch(t, (int)std::floor(Snap(u * (float)t.nWidth)), (int)std::floor(Snap(v * (float)t.nHeight)), rgba);
        return;
    }
    float x = Snap(u * (float)t.nWidth) - 0.5f, y = Snap(v * (float)t.nHeight) - 0.5f;
    float x0 = std::floor(x), y0 = std::floor(y);
    float fx = x - x0, fy = y - y0;
    float a[4], b[4], c[4], d[4];
    Fetch(t, (int)x0, (int)y0, a);
    Fetch(t, (int)x0 + 1, (int)y0, b);
    Fetch(t, (int)x0, (int)y0 + 1, c);
    Fetch(t, (int)x0 + 1, (int)y0 + 1, d);
    for (int k = 0; k < 4; ++k)
    {
        float top = a[k] + (b[k] - a[k]) * fx;
        float bottom = c[k] + (d[k] - c[k]) * fx;
        rgba[k] = top + (bottom - top) * fy;
    }
}

// Nearest integer (ties to even) of x; |x| limited to 2^22, beyond which coordinates are far
// outside any test texture anyway. NaN reads as 0.
inline float RoundLimited(float x)
{
    x = x == x ? (x < -4194303.0f ? -4194303.0f : x > 4194303.0f ? 4194303.0f : x) : 0.0f;
    return (x + 12582912.0f) - 12582912.0f;
}

inline int AddressFast(int n, int nSize, bool bClamp)
{
    if (bClamp)
        return n < 0 ? 0 : n >= nSize ? nSize - 1 : n;
    if ((nSize & (nSize - 1)) == 0)
        return n & (nSize - 1);
    n %= nSize;
    return n < 0 ? n + nSize : n;
}

// Texel index of each lane along one axis: floor(u size) after snapping u size to 1/256
// texel, that is the nearest multiple of 1/256 shifted right by 8 bits, then addressed.
void TexelIndices(const float* u, unsigned nLanes, int nSize, bool bClamp, int32_t* pIndex)
{
    const float fScale = (float)nSize * 256.0f;
    for (unsigned i = 0; i < nLanes; ++i)
        pIndex[i] = (int32_t)RoundLimited(u[i] * fScale) >> 8;
    if (bClamp)
        for (unsigned i = 0; i < nLanes; ++i)
            pIndex[i] = pIndex[i] < 0 ? 0 : pIndex[i] >= nSize ? nSize - 1 : pIndex[i];
    else if ((nSize & (nSize - 1)) == 0)
        for (unsigned i = 0; i < nLanes; ++i)
            pIndex[i] &= nSize - 1;
    else
        for (unsigned i = 0; i < nLanes; ++i)
            pIndex[i] = AddressFast(pIndex[i], nSize, false);
}

// Point sampling of a 2D texture, the common case of the tracer's passes.
void SamplePoint(const TestTexture& t, const float* u, const float* v, unsigned nLanes, float* const out[4])
{
    int32_t x[64], y[64];
    for (unsigned nFirst = 0; nFirst < nLanes; nFirst += 64)
    {
        unsigned n = nLanes - nFirst < 64 ? nLanes - nFirst : 64;
        TexelIndices(u + nFirst, n, (int)t.nWidth, t.bClamp, x);
        TexelIndices(v + nFirst, n, (int)t.nHeight, t.bClamp, y);
        float* r = out[0] + nFirst;
        float* g = out[1] + nFirst;
        float* b = out[2] + nFirst;
        float* a = out[3] + nFirst;
        if (t.halfs.empty())
        {
            const float* pTexels = t.texels.data();
            for (unsigned i = 0; i < n; ++i)
            {
                const float* p = pTexels + ((size_t)y[i] * t.nWidth + x[i]) * 4;
                r[i] = p[0], g[i] = p[1], b[i] = p[2], a[i] = p[3];
            }
            continue;
        }
        const float* pTable = Halfs().values;
        const uint16_t* pHalfs = t.halfs.data();
        for (unsigned i = 0; i < n; ++i)
        {
            const uint16_t* p = pHalfs + ((size_t)y[i] * t.nWidth + x[i]) * 4;
            r[i] = pTable[p[0]], g[i] = pTable[p[1]], b[i] = pTable[p[2]], a[i] = pTable[p[3]];
        }
    }
}

// Face and face coordinates of a direction, by its major axis.
void CubeFace(float x, float y, float z, int& nFace, float& u, float& v)
{
    float ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    float sc, tc, ma;
    if (ax >= ay && ax >= az)
    {
        nFace = x >= 0 ? 0 : 1;
        sc = x >= 0 ? -z : z;
        tc = -y;
        ma = ax;
    }
    else if (ay >= az)
    {
        nFace = y >= 0 ? 2 : 3;
        sc = x;
        tc = y >= 0 ? z : -z;
        ma = ay;
    }
    else
    {
        nFace = z >= 0 ? 4 : 5;
        sc = z >= 0 ? x : -x;
        tc = -y;
        ma = az;
    }
    u = ma > 0 ? (sc / ma + 1.0f) * 0.5f : 0.5f;
    v = ma > 0 ? (tc / ma + 1.0f) * 0.5f : 0.5f;
}
}

void TestSampler::SetTexture(unsigned nStage, const TestTexture* pTexture)
{
    m_stages[nStage] = Stage();
    m_stages[nStage].pFaces[0] = pTexture;
}

void TestSampler::SetCube(unsigned nStage, const TestTexture* const pFaces[6])
{
    m_stages[nStage].bCube = true;
    for (int f = 0; f < 6; ++f)
        m_stages[nStage].pFaces[f] = pFaces[f];
}

void TestSampler::SampleQuads(unsigned nStage, const float* const coord[3], const float*, unsigned nLanes,
                              float* const out[4])
{
    const Stage& stage = m_stages[nStage & 15];
    if (!stage.bCube && stage.pFaces[0] && !stage.pFaces[0]->bLinear)
    {
        SamplePoint(*stage.pFaces[0], coord[0], coord[1], nLanes, out);
        return;
    }
    for (unsigned i = 0; i < nLanes; ++i)
    {
        float rgba[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        if (stage.bCube)
        {
            int nFace;
            float u, v;
            CubeFace(coord[0][i], coord[1][i], coord[2][i], nFace, u, v);
            if (stage.pFaces[nFace])
                Sample2D(*stage.pFaces[nFace], u, v, rgba);
        }
        else if (stage.pFaces[0])
            Sample2D(*stage.pFaces[0], coord[0][i], coord[1][i], rgba);
        for (int c = 0; c < 4; ++c)
            out[c][i] = rgba[c];
    }
}
