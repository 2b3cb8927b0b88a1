#include "cpu/sampler/TextureSampler.h"

#include "core/Log.h"
#include <d3d9/bytecode.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace
{
// u·size snapped to 1/256 texel (nearest) so that u = i/size lands exactly on texel i.
float SnapTexels(float fTexels)
{
    return std::nearbyint(fTexels * 256.0f) / 256.0f;
}

// Wraps or clamps integer texel index i into [0, n); -1 for a border texel.
int Address(DWORD nMode, int i, int n)
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
        int m = i % n;
        return m < 0 ? m + n : m;
    }
    }
}

void Fetch(const ImageStorage& image, int x, int y, int z, const float border[4], float out[4])
{
    if (x < 0 || y < 0 || z < 0)
    {
        std::memcpy(out, border, 16);
        return;
    }
    ReadStorageTexel(image, (UINT)x, (UINT)y, (UINT)z, out);
}

bool IsLinear(DWORD nFilter)
{
    return nFilter != D3DTEXF_POINT && nFilter != D3DTEXF_NONE;
}

std::atomic<bool> g_bMismatchReported{false};
}

UINT CubeFace(const float dir[3], float& u, float& v)
{
    const float ax = std::fabs(dir[0]), ay = std::fabs(dir[1]), az = std::fabs(dir[2]);
    UINT nFace;
    float sc, tc, ma;
    if (ax >= ay && ax >= az)
    {
        nFace = dir[0] >= 0.0f ? 0 : 1;
        sc = dir[0] >= 0.0f ? -dir[2] : dir[2];
        tc = -dir[1];
        ma = ax;
    }
    else if (ay >= az)
    {
        nFace = dir[1] >= 0.0f ? 2 : 3;
        sc = dir[0];
        tc = dir[1] >= 0.0f ? dir[2] : -dir[2];
        ma = ay;
    }
    else
    {
        nFace = dir[2] >= 0.0f ? 4 : 5;
        sc = dir[2] >= 0.0f ? dir[0] : -dir[0];
        tc = -dir[1];
        ma = az;
    }
    if (ma == 0.0f)
        ma = 1.0f;
    u = (sc / ma + 1.0f) * 0.5f;
    v = (tc / ma + 1.0f) * 0.5f;
    return nFace;
}

void TextureSampler::Configure(const DeviceState& state, const DrawResources& resources, const DWORD* pProgramTypes)
{
    for (unsigned i = 0; i < 16; ++i)
    {
        Stage& stage = m_stages[i];
        stage = Stage();
        const SamplerImages& images = resources.samplers[i];
        if (images.images.empty())
            continue;
        stage.pImages = &images;
        const DWORD* s = state.samplerStates[i];
        stage.address[0] = s[D3DSAMP_ADDRESSU];
        stage.address[1] = s[D3DSAMP_ADDRESSV];
        stage.address[2] = s[D3DSAMP_ADDRESSW];
        stage.nMagFilter = s[D3DSAMP_MAGFILTER];
        stage.nMinFilter = s[D3DSAMP_MINFILTER];
        stage.nMipFilter = s[D3DSAMP_MIPFILTER];
        std::memcpy(&stage.fLodBias, &s[D3DSAMP_MIPMAPLODBIAS], 4);
        stage.nFirstLevel = std::min<UINT>(s[D3DSAMP_MAXMIPLEVEL], images.nLevels - 1);
        ColorToFloat(s[D3DSAMP_BORDERCOLOR], stage.border);
        stage.lookup = images.nType == D3DRTYPE_CUBETEXTURE ? Lookup::Cube
                       : images.nType == D3DRTYPE_VOLUMETEXTURE ? Lookup::Volume
                                                                : Lookup::Plane;
        const DWORD nDeclared = pProgramTypes ? pProgramTypes[i] : 0;
        const bool bMismatch = (nDeclared == D3DSTT_2D && stage.lookup != Lookup::Plane) ||
                               (nDeclared == D3DSTT_CUBE && stage.lookup != Lookup::Cube) ||
                               (nDeclared == D3DSTT_VOLUME && stage.lookup != Lookup::Volume);
        if (bMismatch)
        {
            if (!g_bMismatchReported.exchange(true))
                LogWarning("TextureSampler::Configure() - sampler %u is declared with another dimension than its "
                           "texture; reading face +X or the 2D image.",
                           i);
            stage.lookup = Lookup::Plane;
        }
    }
}

void TextureSampler::SampleLevel(const Stage& stage, const ImageStorage& image, DWORD nFilter, const float coord[3],
                                 bool bClampAll, float out[4]) const
{
    const int nSizes[3] = {(int)image.nWidth, (int)image.nHeight, (int)image.nDepth};
    const int nAxes = stage.lookup == Lookup::Volume ? 3 : 2;
    int i0[3] = {0, 0, 0}, i1[3] = {0, 0, 0};
    float frac[3] = {0, 0, 0};
    for (int a = 0; a < nAxes; ++a)
    {
        const DWORD nMode = bClampAll ? (DWORD)D3DTADDRESS_CLAMP : stage.address[a];
        float fTexels = SnapTexels(coord[a] * (float)nSizes[a]);
        if (IsLinear(nFilter))
        {
            fTexels -= 0.5f;
            const float fFloor = std::floor(fTexels);
            frac[a] = fTexels - fFloor;
            i0[a] = Address(nMode, (int)fFloor, nSizes[a]);
            i1[a] = Address(nMode, (int)fFloor + 1, nSizes[a]);
        }
        else
            i0[a] = i1[a] = Address(nMode, (int)std::floor(fTexels), nSizes[a]);
    }
    if (!IsLinear(nFilter))
    {
        Fetch(image, i0[0], i0[1], i0[2], stage.border, out);
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
        Fetch(image, idx[0], idx[1], idx[2], stage.border, texel);
        for (int c = 0; c < 4; ++c)
            sum[c] += weight * texel[c];
    }
    std::memcpy(out, sum, 16);
}

void TextureSampler::SampleLane(const Stage& stage, UINT nFace, const float coord[3], float fLod, float out[4]) const
{
    const SamplerImages& images = *stage.pImages;
    const bool bCube = stage.lookup == Lookup::Cube;
    const DWORD nFilter = fLod <= 0.0f ? stage.nMagFilter : stage.nMinFilter;
    UINT nLevel0 = 0, nLevel1 = 0;
    float fBlend = 0.0f;
    const float fLevel = std::max(0.0f, fLod);
    const UINT nLast = images.nLevels - 1;
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
    const UINT nBase = nFace * images.nLevels;
    SampleLevel(stage, *images.images[nBase + nLevel0], nFilter, coord, bCube, out);
    if (fBlend > 0.0f)
    {
        float second[4];
        SampleLevel(stage, *images.images[nBase + nLevel1], nFilter, coord, bCube, second);
        for (int c = 0; c < 4; ++c)
            out[c] = out[c] + fBlend * (second[c] - out[c]);
    }
}

void TextureSampler::SampleQuads(unsigned nStage, const float* const coord[3], const float* pBias, unsigned nLanes,
                                 float* const out[4])
{
    if (!IsBound(nStage))
    {
        for (unsigned i = 0; i < nLanes; ++i)
            out[0][i] = out[1][i] = out[2][i] = 0.0f, out[3][i] = 1.0f;
        return;
    }
    const Stage& stage = m_stages[nStage];
    const ImageStorage& level0 = *stage.pImages->images[0];
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
        // Coarse derivatives: x from the top pair, y from the left pair, in texels of level 0.
        const float W = (float)level0.nWidth, H = (float)level0.nHeight;
        const float dxu = (lanes[1][0] - lanes[0][0]) * W, dxv = (lanes[1][1] - lanes[0][1]) * H;
        const float dyu = (lanes[2][0] - lanes[0][0]) * W, dyv = (lanes[2][1] - lanes[0][1]) * H;
        const float fScale = std::max(dxu * dxu + dxv * dxv, dyu * dyu + dyv * dyv);
        const float fBaseLod = (fScale > 0.0f ? 0.5f * std::log2(fScale) : -1000.0f) + stage.fLodBias;
        for (unsigned k = 0; k < 4; ++k)
        {
            const unsigned i = q + k;
            float texel[4];
            SampleLane(stage, faces[k], lanes[k], fBaseLod + (pBias ? pBias[i] : 0.0f), texel);
            for (int c = 0; c < 4; ++c)
                out[c][i] = texel[c];
        }
    }
}
