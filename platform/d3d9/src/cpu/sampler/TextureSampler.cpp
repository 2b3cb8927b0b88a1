#include "cpu/sampler/TextureSampler.h"

#include "core/Log.h"
#include <d3d9/bytecode.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace
{
bool IsLinear(DWORD nFilter)
{
    return nFilter != D3DTEXF_POINT && nFilter != D3DTEXF_NONE;
}

// An 8-bit colour texture this small (per face, level 0) is sampled from a float copy, kept
// until its contents change: each of the four texels a bilinear read takes is then one load
// instead of four conversions. Solid colours (1 × 1) and small light cubes are the common case.
constexpr UINT SMALL_DECODED_TEXELS = 256;

bool SamplesDecoded(const ImageStorage& image)
{
    const D3DFORMAT format = image.pFormat->format;
    return image.pFormat->kind == FormatKind::Compressed ||
           ((format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) &&
            image.nWidth * image.nHeight * image.nDepth <= SMALL_DECODED_TEXELS);
}

// bDecoded: the stage reads float copies (SamplesDecoded of its first image).
TexelImage ViewOf(ImageStorage& image, bool bDecoded)
{
    TexelImage view;
    view.pStorage = &image;
    view.size[0] = (int)image.nWidth;
    view.size[1] = (int)image.nHeight;
    view.size[2] = (int)image.nDepth;
    if (bDecoded)
    {
        view.pBits = reinterpret_cast<const BYTE*>(DecodedTexels(image));
        view.nRowPitch = (size_t)image.nWidth * 16;
        view.nSlicePitch = view.nRowPitch * image.nHeight;
    }
    else
    {
        view.pBits = image.bytes.data();
        view.nRowPitch = image.nRowPitch;
        view.nSlicePitch = image.nSlicePitch;
    }
    return view;
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
        SamplerStage& stage = m_stages[i];
        // A sampler kept from draw to draw keeps the storage of its image list.
        std::vector<TexelImage> kept = std::move(stage.images);
        kept.clear();
        stage = SamplerStage();
        stage.images = std::move(kept);
        const SamplerImages& images = resources.samplers[i];
        if (images.images.empty())
            continue;
        stage.nLevels = images.nLevels;
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
        const bool bMipmapped = stage.nMipFilter != D3DTEXF_NONE && stage.nFirstLevel + 1 < images.nLevels;
        stage.bLodMatters = bMipmapped || IsLinear(stage.nMagFilter) != IsLinear(stage.nMinFilter);
        stage.bDecoded = SamplesDecoded(*images.images[0]);
        stage.pfnSample = ChooseStageSampling(*images.images[0]->pFormat, stage.bDecoded);
        stage.images.reserve(images.images.size());
        for (ImageStorage* pImage : images.images)
            stage.images.push_back(ViewOf(*pImage, stage.bDecoded));
    }
}

void TextureSampler::Substitute(const ImageStorage& live, ImageStorage& copy)
{
    for (SamplerStage& stage : m_stages)
        for (TexelImage& image : stage.images)
            if (image.pStorage == &live)
                image = ViewOf(copy, stage.bDecoded);
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
    const SamplerStage& stage = m_stages[nStage];
    stage.pfnSample(stage, coord, pBias, nLanes, out);
}
