// Sampling routines, instantiated once per texel layout so the texel read is inlined. Two
// paths give the same bits: lane by lane with derivatives and levels (cubes, volumes, mipmaps,
// filters that differ between magnification and minification), and whole batches at once for
// 2D reads whose level of detail cannot matter, the tracer's common case.
#include "cpu/VectorClones.h"
#include "cpu/formats/HalfRuns.h"
#include "cpu/sampler/TexelReaders.h"

#include <d3d9types.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

UINT CubeFace(const float dir[3], float& u, float& v);

namespace
{
constexpr float EXACT_LIMIT = 0x1p22f;      // below it, x + 1.5·2^23 rounds x to an integer exactly
constexpr float ROUNDING_BIAS = 0x1.8p23f;
constexpr unsigned BATCH = 64;

// std::nearbyint under the default rounding mode (ties to even), sign of zero included.
inline float RoundToEven(float x)
{
    if (!(std::fabs(x) < EXACT_LIMIT))
        return std::nearbyint(x);
    return std::copysign((x + ROUNDING_BIAS) - ROUNDING_BIAS, x);
}

// std::floor, sign of zero included.
inline float Floor(float x)
{
    if (!(std::fabs(x) < EXACT_LIMIT))
        return std::floor(x);
    const float f = (float)(int)x;
    return std::copysign(f > x ? f - 1.0f : f, x);
}

// u·size snapped to 1/256 texel (nearest) so that u = i/size lands exactly on texel i.
inline float SnapTexels(float fTexels)
{
    return RoundToEven(fTexels * 256.0f) / 256.0f;
}

// Wraps or clamps integer texel index i into [0, n); -1 for a border texel.
inline int Address(DWORD nMode, int i, int n)
{
    switch (nMode)
    {
    case D3DTADDRESS_MIRROR:
    {
        int m = i % (2 * n);
        if (m < 0)
            m += 2 * n;
        return m < n ? m : 2 * n - 1 - m;
    }
    case D3DTADDRESS_CLAMP: return std::clamp(i, 0, n - 1);
    case D3DTADDRESS_BORDER: return i < 0 || i >= n ? -1 : i;
    case D3DTADDRESS_MIRRORONCE: return std::clamp(i < 0 ? -i - 1 : i, 0, n - 1);
    default:
    {
        if ((n & (n - 1)) == 0)
            return i & (n - 1);
        int m = i % n;
        return m < 0 ? m + n : m;
    }
    }
}

inline bool IsLinear(DWORD nFilter)
{
    return nFilter != D3DTEXF_POINT && nFilter != D3DTEXF_NONE;
}

template <class Reader>
inline void Fetch(const TexelImage& image, int x, int y, int z, const float border[4], float out[4])
{
    if (x < 0 || y < 0 || z < 0)
    {
        std::memcpy(out, border, 16);
        return;
    }
    const typename Reader::Raw raw = Reader::Load(image, x, y, z);
    for (int c = 0; c < 4; ++c)
        out[c] = c < Reader::COMPONENTS ? Reader::Component(raw, c) : 1.0f;
}

// An image of a single texel that no lane can read as border: filtering it gives that texel
// wherever it is read, exactly (the weights sum to 1), so it is read without weights.
inline bool IsOneTexel(const TexelImage& image, int nAxes, const DWORD address[3], bool bClampAll)
{
    for (int a = 0; a < nAxes; ++a)
        if (image.size[a] != 1 || (!bClampAll && address[a] == D3DTADDRESS_BORDER))
            return false;
    return true;
}

template <class Reader>
void SampleLevel(const SamplerStage& stage, const TexelImage& image, DWORD nFilter, const float coord[3],
                 bool bClampAll, float out[4])
{
    const int nAxes = stage.lookup == Lookup::Volume ? 3 : 2;
    int i0[3] = {0, 0, 0}, i1[3] = {0, 0, 0};
    float frac[3] = {0, 0, 0};
    const bool bLinear = IsLinear(nFilter);
    for (int a = 0; a < nAxes; ++a)
    {
        const DWORD nMode = bClampAll ? (DWORD)D3DTADDRESS_CLAMP : stage.address[a];
        const int n = image.size[a];
        float fTexels = SnapTexels(coord[a] * (float)n);
        if (bLinear)
        {
            fTexels -= 0.5f;
            const float fFloor = Floor(fTexels);
            frac[a] = fTexels - fFloor;
            i0[a] = Address(nMode, (int)fFloor, n);
            i1[a] = Address(nMode, (int)fFloor + 1, n);
        }
        else
            i0[a] = i1[a] = Address(nMode, (int)Floor(fTexels), n);
    }
    if (!bLinear || IsOneTexel(image, nAxes, stage.address, bClampAll))
    {
        Fetch<Reader>(image, i0[0], i0[1], i0[2], stage.border, out);
        return;
    }
    float sum[4] = {0, 0, 0, 0};
    const int nCorners = nAxes == 3 ? 8 : 4;
    for (int k = 0; k < nCorners; ++k)
    {
        float weight = 1.0f;
        int idx[3];
        for (int a = 0; a < 3; ++a)
        {
            const bool bHigh = (k >> a) & 1;
            idx[a] = bHigh ? i1[a] : i0[a];
            if (a < nAxes)
                weight *= bHigh ? frac[a] : 1.0f - frac[a];
        }
        if (weight == 0.0f)
            continue;
        float texel[4];
        Fetch<Reader>(image, idx[0], idx[1], idx[2], stage.border, texel);
        for (int c = 0; c < 4; ++c)
            sum[c] += weight * texel[c];
    }
    std::memcpy(out, sum, 16);
}

template <class Reader>
void SampleLane(const SamplerStage& stage, UINT nFace, const float coord[3], float fLod, float out[4])
{
    const bool bCube = stage.lookup == Lookup::Cube;
    const DWORD nFilter = fLod <= 0.0f ? stage.nMagFilter : stage.nMinFilter;
    UINT nLevel0 = 0, nLevel1 = 0;
    float fBlend = 0.0f;
    const float fLevel = std::max(0.0f, fLod);
    const UINT nLast = stage.nLevels - 1;
    auto Level = [&](float f) { return std::clamp<UINT>((UINT)std::min(f, 64.0f), stage.nFirstLevel, nLast); };
    if (stage.nMipFilter == D3DTEXF_NONE)
        nLevel0 = nLevel1 = stage.nFirstLevel;
    else if (stage.nMipFilter == D3DTEXF_POINT)
        nLevel0 = nLevel1 = Level(std::floor(fLevel + 0.5f));
    else  // LINEAR, and any other value, which acts as LINEAR
    {
        nLevel0 = Level(std::floor(fLevel));
        nLevel1 = Level(std::floor(fLevel) + 1.0f);
        fBlend = nLevel1 == nLevel0 ? 0.0f : fLevel - std::floor(fLevel);
    }
    const UINT nBase = nFace * stage.nLevels;
    SampleLevel<Reader>(stage, stage.images[nBase + nLevel0], nFilter, coord, bCube, out);
    if (fBlend > 0.0f)
    {
        float second[4];
        SampleLevel<Reader>(stage, stage.images[nBase + nLevel1], nFilter, coord, bCube, second);
        for (int c = 0; c < 4; ++c)
            out[c] = out[c] + fBlend * (second[c] - out[c]);
    }
}

template <class Reader>
void SampleByLane(const SamplerStage& stage, const float* const coord[3], const float* pBias, unsigned nLanes,
                  float* const out[4])
{
    const TexelImage& level0 = stage.images[0];
    for (unsigned q = 0; q < nLanes; q += 4)
    {
        // Face coordinates of the four lanes; the derivatives come from them.
        float lanes[4][3];
        UINT faces[4] = {0, 0, 0, 0};
        for (unsigned k = 0; k < 4; ++k)
        {
            const unsigned i = q + k;
            if (stage.lookup == Lookup::Cube)
            {
                const float dir[3] = {coord[0][i], coord[1][i], coord[2][i]};
                faces[k] = CubeFace(dir, lanes[k][0], lanes[k][1]);
                lanes[k][2] = 0.0f;
            }
            else
                for (int a = 0; a < 3; ++a)
                    lanes[k][a] = coord[a][i];
        }
        float fBaseLod = 0.0f;
        if (stage.bLodMatters)
        {
            // Coarse derivatives: x from the top pair, y from the left pair, in texels of level 0.
            const float W = (float)level0.size[0], H = (float)level0.size[1];
            const float dxu = (lanes[1][0] - lanes[0][0]) * W, dxv = (lanes[1][1] - lanes[0][1]) * H;
            const float dyu = (lanes[2][0] - lanes[0][0]) * W, dyv = (lanes[2][1] - lanes[0][1]) * H;
            const float fScale = std::max(dxu * dxu + dxv * dxv, dyu * dyu + dyv * dyv);
            fBaseLod = (fScale > 0.0f ? 0.5f * std::log2(fScale) : -1000.0f) + stage.fLodBias;
        }
        for (unsigned k = 0; k < 4; ++k)
        {
            const unsigned i = q + k;
            float texel[4];
            SampleLane<Reader>(stage, faces[k], lanes[k], fBaseLod + (pBias ? pBias[i] : 0.0f), texel);
            for (int c = 0; c < 4; ++c)
                out[c][i] = texel[c];
        }
    }
}

// Address() over a batch, the mode's branch taken once. For a power of two n, i mod n and
// i mod 2n are masks (for negative i too, in two's complement).
VECTOR_CLONES void AddressLanes(DWORD nMode, int n, unsigned nLanes, int* idx)
{
    const bool bWrap = nMode != D3DTADDRESS_MIRROR && nMode != D3DTADDRESS_CLAMP && nMode != D3DTADDRESS_BORDER &&
                       nMode != D3DTADDRESS_MIRRORONCE;
    const bool bPowerOfTwo = (n & (n - 1)) == 0;
    if (bWrap && bPowerOfTwo)
        for (unsigned i = 0; i < nLanes; ++i)
            idx[i] &= n - 1;
    else if (nMode == D3DTADDRESS_MIRROR && bPowerOfTwo)
        for (unsigned i = 0; i < nLanes; ++i)
        {
            const int m = idx[i] & (2 * n - 1);
            idx[i] = m < n ? m : 2 * n - 1 - m;
        }
    else if (nMode == D3DTADDRESS_CLAMP)
        for (unsigned i = 0; i < nLanes; ++i)
            idx[i] = idx[i] < 0 ? 0 : idx[i] > n - 1 ? n - 1 : idx[i];
    else
        for (unsigned i = 0; i < nLanes; ++i)
            idx[i] = Address(nMode, idx[i], n);
}

// Texel indices of a batch along one axis. For a point read floor(snap(u·n)) is the rounded
// u·n·256 shifted right by 8 bits; for a linear read the lower index and the fraction come
// from the same integer less 128 (half a texel). Lanes beyond the exact range take the lane
// path's arithmetic.
template <bool bLinear>
VECTOR_CLONES void AxisIndices(const float* u, unsigned nLanes, int n, DWORD nMode, int* i0, int* i1, float* frac)
{
    const float fScale = (float)n * 256.0f;
    int nInexact = 0;
    for (unsigned i = 0; i < nLanes; ++i)
    {
        const float x = u[i] * fScale;
        const int bLaneExact = std::fabs(x) < EXACT_LIMIT;
        nInexact |= bLaneExact ^ 1;
        const float r = bLaneExact ? x : 0.0f;
        const int k = (int)((r + ROUNDING_BIAS) - ROUNDING_BIAS) - (bLinear ? 128 : 0);
        i0[i] = k >> 8;
        if (bLinear)
            frac[i] = (float)(k & 255) / 256.0f;
    }
    if (nInexact)
        for (unsigned i = 0; i < nLanes; ++i)
        {
            float fTexels = SnapTexels(u[i] * (float)n);
            if (bLinear)
            {
                fTexels -= 0.5f;
                const float fFloor = Floor(fTexels);
                frac[i] = fTexels - fFloor;
                i0[i] = (int)fFloor;
            }
            else
                i0[i] = (int)Floor(fTexels);
        }
    if (bLinear)
    {
        for (unsigned i = 0; i < nLanes; ++i)
            i1[i] = i0[i] + 1;
        AddressLanes(nMode, n, nLanes, i1);
    }
    AddressLanes(nMode, n, nLanes, i0);
}

// The image a batch reads: one for every lane of a 2D read, the face of each lane for a cube.
struct PlaneImages
{
    const TexelImage& image;
    const TexelImage& operator()(unsigned) const { return image; }
};

struct FaceImages
{
    const TexelImage* const* pLaneImages;
    const TexelImage& operator()(unsigned i) const { return *pLaneImages[i]; }
};

// Whether a reader's texels are halves only (ReadChannels of binary16).
template <class Reader>
constexpr bool ReadsHalves()
{
    if constexpr (requires { Reader::HALVES; })
        return Reader::HALVES;
    else
        return false;
}

// The texels at (x[i], y[i]) of a batch as float components, border texels where an index is
// -1 (only with BORDER addressing, bMayBorder).
template <class Reader, class Images>
void FetchLanes(const SamplerStage& stage, const Images& imageOf, const int* x, const int* y, unsigned nLanes,
                bool bMayBorder, float (*texels)[BATCH])
{
    typename Reader::Raw raw[BATCH];
    bool bBorder[BATCH];
    if (bMayBorder)
        for (unsigned i = 0; i < nLanes; ++i)
        {
            bBorder[i] = x[i] < 0 || y[i] < 0;
            raw[i] = Reader::Load(imageOf(i), bBorder[i] ? 0 : x[i], bBorder[i] ? 0 : y[i], 0);
        }
    else
        for (unsigned i = 0; i < nLanes; ++i)
            raw[i] = Reader::Load(imageOf(i), x[i], y[i], 0);
    if constexpr (ReadsHalves<Reader>())
    {
        // The texels' halves lie one after another: converted as one run, then split by component.
        constexpr int N = Reader::COMPONENTS;
        static_assert(sizeof(typename Reader::Raw) == N * sizeof(uint16_t), "a texel is its halves");
        float widened[BATCH * N];
        HalfRunToFloats(raw[0].values, (size_t)nLanes * N, widened);
        for (int c = 0; c < N; ++c)
            for (unsigned i = 0; i < nLanes; ++i)
                texels[c][i] = widened[i * N + c];
    }
    else
        for (int c = 0; c < Reader::COMPONENTS; ++c)
            for (unsigned i = 0; i < nLanes; ++i)
                texels[c][i] = Reader::Component(raw[i], c);
    for (int c = Reader::COMPONENTS; c < 4; ++c)
        std::fill_n(texels[c], nLanes, 1.0f);
    if (bMayBorder)
        for (int c = 0; c < 4; ++c)
            for (unsigned i = 0; i < nLanes; ++i)
                texels[c][i] = bBorder[i] ? stage.border[c] : texels[c][i];
}

// Filters a batch whose lanes all read images of one size (one image, or the faces of a cube
// level) with one filter, in the lane path's arithmetic: u and v in coord[0] and coord[1].
template <class Reader, class Images>
VECTOR_CLONES void FilterBatch(const SamplerStage& stage, const Images& imageOf, const int size[2], const DWORD address[2],
                 DWORD nFilter, const float* const coord[2], unsigned nLanes, float* const out[4])
{
    const bool bLinear = IsLinear(nFilter);
    const bool bMayBorder = address[0] == D3DTADDRESS_BORDER || address[1] == D3DTADDRESS_BORDER;
    int x0[BATCH], x1[BATCH], y0[BATCH], y1[BATCH];
    float fx[BATCH], fy[BATCH];
    float texels[4][BATCH];
    if (!bLinear)
    {
        AxisIndices<false>(coord[0], nLanes, size[0], address[0], x0, nullptr, nullptr);
        AxisIndices<false>(coord[1], nLanes, size[1], address[1], y0, nullptr, nullptr);
        FetchLanes<Reader>(stage, imageOf, x0, y0, nLanes, bMayBorder, texels);
        for (int c = 0; c < 4; ++c)
            std::memcpy(out[c], texels[c], nLanes * sizeof(float));
        return;
    }
    // Images of a single texel (a solid colour, the common 1 × 1 material texture) give each
    // lane its image's texel; a single image is read once for every lane.
    if (IsOneTexel(imageOf(0), 2, address, false))
    {
        const unsigned nReads = std::is_same_v<Images, PlaneImages> ? 1 : nLanes;
        const int zero[BATCH] = {};
        FetchLanes<Reader>(stage, imageOf, zero, zero, nReads, false, texels);
        for (int c = 0; c < 4; ++c)
        {
            if (nReads == 1)
                std::fill_n(out[c], nLanes, texels[c][0]);
            else
                std::memcpy(out[c], texels[c], nLanes * sizeof(float));
        }
        return;
    }
    AxisIndices<true>(coord[0], nLanes, size[0], address[0], x0, x1, fx);
    AxisIndices<true>(coord[1], nLanes, size[1], address[1], y0, y1, fy);
    float sum[4][BATCH] = {};
    for (int k = 0; k < 4; ++k)
    {
        // Corners in the lane path's order, zero weights skipped as there.
        float weight[BATCH];
        for (unsigned i = 0; i < nLanes; ++i)
            weight[i] = (k & 1 ? fx[i] : 1.0f - fx[i]) * (k & 2 ? fy[i] : 1.0f - fy[i]);
        FetchLanes<Reader>(stage, imageOf, k & 1 ? x1 : x0, k & 2 ? y1 : y0, nLanes, bMayBorder, texels);
        for (int c = 0; c < 4; ++c)
            for (unsigned i = 0; i < nLanes; ++i)
                sum[c][i] = weight[i] == 0.0f ? sum[c][i] : sum[c][i] + weight[i] * texels[c][i];
    }
    for (int c = 0; c < 4; ++c)
        std::memcpy(out[c], sum[c], nLanes * sizeof(float));
}

// 2D reads with one filter on one level for the whole batch.
template <class Reader>
void SamplePlaneBatch(const SamplerStage& stage, const float* const coord[3], unsigned nLanes, float* const out[4])
{
    const TexelImage& image = stage.images[stage.nFirstLevel];
    FilterBatch<Reader>(stage, PlaneImages{image}, image.size, stage.address, stage.nMagFilter, coord, nLanes, out);
}

// CubeFace for a batch of directions, the same arithmetic with selects in place of branches so
// that it runs as vector code.
VECTOR_CLONES void CubeFaces(const float* const coord[3], unsigned nLanes, int* faces, float* u, float* v)
{
    for (unsigned i = 0; i < nLanes; ++i)
    {
        const float x = coord[0][i], y = coord[1][i], z = coord[2][i];
        const float ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
        const bool bX = ax >= ay && ax >= az, bY = !bX && ay >= az;
        const int nFace = bX ? (x >= 0.0f ? 0 : 1) : bY ? (y >= 0.0f ? 2 : 3) : (z >= 0.0f ? 4 : 5);
        const float sc = bX ? (x >= 0.0f ? -z : z) : bY ? x : (z >= 0.0f ? x : -x);
        const float tc = bY ? (y >= 0.0f ? z : -z) : -y;
        float ma = bX ? ax : bY ? ay : az;
        ma = ma == 0.0f ? 1.0f : ma;
        faces[i] = nFace;
        u[i] = (sc / ma + 1.0f) * 0.5f;
        v[i] = (tc / ma + 1.0f) * 0.5f;
    }
}

// Cube reads whose level of detail cannot matter: each lane's face and face coordinates, then
// the faces' level filtered as one batch, clamped at the face edges as the lane path does.
template <class Reader>
void SampleCubeBatch(const SamplerStage& stage, const float* const coord[3], unsigned nLanes, float* const out[4])
{
    float u[BATCH], v[BATCH];
    int faces[BATCH];
    CubeFaces(coord, nLanes, faces, u, v);
    const TexelImage* laneImages[BATCH];
    for (unsigned i = 0; i < nLanes; ++i)
        laneImages[i] = &stage.images[faces[i] * stage.nLevels + stage.nFirstLevel];
    const float* const faceCoord[2] = {u, v};
    const DWORD clamp[2] = {D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP};
    FilterBatch<Reader>(stage, FaceImages{laneImages}, laneImages[0]->size, clamp, stage.nMagFilter, faceCoord,
                        nLanes, out);
}

template <class Reader>
void Sample(const SamplerStage& stage, const float* const coord[3], const float* pBias, unsigned nLanes,
            float* const out[4])
{
    if (stage.lookup == Lookup::Volume || stage.bLodMatters)
        return SampleByLane<Reader>(stage, coord, pBias, nLanes, out);
    for (unsigned nFirst = 0; nFirst < nLanes; nFirst += BATCH)
    {
        const unsigned n = std::min(BATCH, nLanes - nFirst);
        const float* const batchCoord[3] = {coord[0] + nFirst, coord[1] + nFirst, coord[2] + nFirst};
        float* const batchOut[4] = {out[0] + nFirst, out[1] + nFirst, out[2] + nFirst, out[3] + nFirst};
        if (stage.lookup == Lookup::Cube)
            SampleCubeBatch<Reader>(stage, batchCoord, n, batchOut);
        else
            SamplePlaneBatch<Reader>(stage, batchCoord, n, batchOut);
    }
}
}  // namespace

StageSampleFn ChooseStageSampling(const FormatInfo& format, bool bDecoded)
{
    if (bDecoded)
        return Sample<ReadChannels<float, 4>>;   // read from the float copy
    switch (format.format)
    {
    case D3DFMT_A8R8G8B8: return Sample<ReadArgb8<true>>;
    case D3DFMT_X8R8G8B8: return Sample<ReadArgb8<false>>;
    case D3DFMT_A16B16G16R16: return Sample<ReadUnorm16x4>;
    case D3DFMT_R16F: return Sample<ReadChannels<uint16_t, 1>>;
    case D3DFMT_G16R16F: return Sample<ReadChannels<uint16_t, 2>>;
    case D3DFMT_A16B16G16R16F: return Sample<ReadChannels<uint16_t, 4>>;
    case D3DFMT_R32F: return Sample<ReadChannels<float, 1>>;
    case D3DFMT_G32R32F: return Sample<ReadChannels<float, 2>>;
    case D3DFMT_A32B32G32R32F: return Sample<ReadChannels<float, 4>>;
    default: return Sample<ReadAnyFormat>;
    }
}
