#include "device/DeviceState.h"

#include <cstring>

namespace
{
const DWORD g_TransformOfSlot[TRANSFORM_SLOTS] = {
    D3DTS_VIEW,     D3DTS_PROJECTION, D3DTS_TEXTURE0, D3DTS_TEXTURE1, D3DTS_TEXTURE2, D3DTS_TEXTURE3, D3DTS_TEXTURE4,
    D3DTS_TEXTURE5, D3DTS_TEXTURE6,   D3DTS_TEXTURE7, 256,            257,            258,            259,
};

const D3DMATRIX g_Identity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

template <size_t N, class T>
void CopyFlagged(const std::bitset<N>& mask, const T* from, T* to)
{
    for (size_t i = 0; i < N; ++i)
        if (mask[i])
            to[i] = from[i];
}

void CopyConstants(const ShaderConstants& from, ShaderConstants& to, const std::bitset<VS_FLOAT_CONSTANTS>& floats,
                   const std::bitset<INT_CONSTANTS>& ints, const std::bitset<BOOL_CONSTANTS>& bools)
{
    for (size_t i = 0; i < VS_FLOAT_CONSTANTS; ++i)
        if (floats[i])
            std::memcpy(to.floats[i], from.floats[i], sizeof(to.floats[i]));
    for (size_t i = 0; i < INT_CONSTANTS; ++i)
        if (ints[i])
            std::memcpy(to.ints[i], from.ints[i], sizeof(to.ints[i]));
    CopyFlagged(bools, from.bools, to.bools);
}
}  // namespace

int TransformSlot(DWORD state)
{
    for (UINT slot = 0; slot < TRANSFORM_SLOTS; ++slot)
        if (g_TransformOfSlot[slot] == state)
            return static_cast<int>(slot);
    return -1;
}

DWORD TransformOfSlot(UINT slot)
{
    return g_TransformOfSlot[slot];
}

D3DLIGHT9 DefaultLight()
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

void ResetToDefaults(DeviceState& state, bool bAutoDepthStencil, UINT nWidth, UINT nHeight)
{
    std::memset(state.renderStates, 0, sizeof(state.renderStates));
    for (const StateInfo& info : RenderStateTable())
        state.renderStates[info.nState] = info.nDefault;
    state.renderStates[D3DRS_ZENABLE] = bAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;

    std::memset(state.samplerStates, 0, sizeof(state.samplerStates));
    for (UINT sampler = 0; sampler < SAMPLER_COUNT; ++sampler)
        for (const StateInfo& info : SamplerStateTable())
            state.samplerStates[sampler][info.nState] = info.nDefault;

    std::memset(state.stageStates, 0, sizeof(state.stageStates));
    for (UINT stage = 0; stage < STAGE_COUNT; ++stage)
    {
        for (const StateInfo& info : StageStateTable())
            state.stageStates[stage][info.nState] = info.nDefault;
        state.stageStates[stage][D3DTSS_TEXCOORDINDEX] = stage;
        if (stage > 0)
            state.stageStates[stage][D3DTSS_COLOROP] = state.stageStates[stage][D3DTSS_ALPHAOP] = D3DTOP_DISABLE;
    }

    for (D3DMATRIX& matrix : state.transforms)
        matrix = g_Identity;
    state.material = D3DMATERIAL9{};
    for (LightSlot& light : state.lights)
        light = LightSlot{D3DLIGHT9{}, false, FALSE};
    std::memset(state.clipPlanes, 0, sizeof(state.clipPlanes));
    state.viewport = {0, 0, nWidth, nHeight, 0.0f, 1.0f};
    std::memset(&state.vertexConstants, 0, sizeof(state.vertexConstants));
    std::memset(&state.pixelConstants, 0, sizeof(state.pixelConstants));

    for (auto& texture : state.textures)
        texture.Reset();
    for (StreamSlot& stream : state.streams)
        stream = StreamSlot{};
    state.pIndices.Reset();
    state.pDeclaration.Reset();
    state.nFvf = 0;
    state.pVertexShader.Reset();
    state.pPixelShader.Reset();
}

void CopyMasked(const DeviceState& from, DeviceState& to, const StateMask& mask)
{
    CopyFlagged(mask.renderStates, from.renderStates, to.renderStates);
    CopyFlagged(mask.samplerStates, &from.samplerStates[0][0], &to.samplerStates[0][0]);
    CopyFlagged(mask.stageStates, &from.stageStates[0][0], &to.stageStates[0][0]);
    CopyFlagged(mask.transforms, from.transforms, to.transforms);
    if (mask.bMaterial)
        to.material = from.material;
    if (mask.bViewport)
        to.viewport = from.viewport;
    for (UINT i = 0; i < MAX_LIGHTS; ++i)
    {
        if (mask.lights[i])
        {
            to.lights[i].light = from.lights[i].light;
            to.lights[i].bDefined = from.lights[i].bDefined;
        }
        if (mask.lightEnables[i])
        {
            // Enabling a light the target never had gives it the default light.
            if (!to.lights[i].bDefined)
            {
                to.lights[i].light = DefaultLight();
                to.lights[i].bDefined = true;
            }
            to.lights[i].bEnabled = from.lights[i].bEnabled;
        }
    }
    for (UINT i = 0; i < MAX_CLIP_PLANES; ++i)
        if (mask.clipPlanes[i])
            std::memcpy(to.clipPlanes[i], from.clipPlanes[i], sizeof(to.clipPlanes[i]));
    CopyConstants(from.vertexConstants, to.vertexConstants, mask.vertexFloats, mask.vertexInts, mask.vertexBools);
    CopyConstants(from.pixelConstants, to.pixelConstants, mask.pixelFloats, mask.pixelInts, mask.pixelBools);
    CopyFlagged(mask.textures, from.textures, to.textures);
    CopyFlagged(mask.streams, from.streams, to.streams);
    if (mask.bIndices)
        to.pIndices = from.pIndices;
    if (mask.bDeclaration)
    {
        to.pDeclaration = from.pDeclaration;
        to.nFvf = from.nFvf;
    }
    if (mask.bVertexShader)
        to.pVertexShader = from.pVertexShader;
    if (mask.bPixelShader)
        to.pPixelShader = from.pPixelShader;
}
