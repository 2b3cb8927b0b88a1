#pragma once
// Everything a draw depends on, as one value: render, sampler and stage states, transforms,
// material, lights, clip planes, viewport, shader constants and the bound objects. The device
// keeps one; a state block keeps one plus the mask of what it recorded; the test hook compares
// two of them. Bound objects are held by internal references.
#include "device/ObjectBase.h"
#include "device/StateTables.h"
#include "device/VertexDeclaration.h"

#include <bitset>

constexpr UINT MAX_RENDER_TARGETS = 4;
constexpr UINT MAX_LIGHTS = 32;
constexpr UINT MAX_CLIP_PLANES = 6;
constexpr UINT VS_FLOAT_CONSTANTS = 256;
constexpr UINT PS_FLOAT_CONSTANTS = 32;
constexpr UINT INT_CONSTANTS = 16;
constexpr UINT BOOL_CONSTANTS = 16;

// Transform slots the device keeps: VIEW, PROJECTION, TEXTURE0–7, WORLD0–3.
constexpr UINT TRANSFORM_SLOTS = 14;
// The slot of a transform, or -1 for one the device does not keep.
int TransformSlot(DWORD state);
// The transform of a slot (inverse of TransformSlot).
DWORD TransformOfSlot(UINT slot);

struct LightSlot
{
    D3DLIGHT9 light;
    bool bDefined;
    BOOL bEnabled;
};

struct StreamSlot
{
    BoundRef<IDirect3DVertexBuffer9> pBuffer;
    UINT nOffset = 0;
    UINT nStride = 0;
};

struct ShaderConstants
{
    float floats[VS_FLOAT_CONSTANTS][4];
    int ints[INT_CONSTANTS][4];
    BOOL bools[BOOL_CONSTANTS];
};

struct DeviceState
{
    DWORD renderStates[RENDER_STATE_SLOTS];
    DWORD samplerStates[SAMPLER_COUNT][SAMPLER_STATE_SLOTS];
    DWORD stageStates[STAGE_COUNT][STAGE_STATE_SLOTS];
    D3DMATRIX transforms[TRANSFORM_SLOTS];
    D3DMATERIAL9 material;
    LightSlot lights[MAX_LIGHTS];
    float clipPlanes[MAX_CLIP_PLANES][4];
    D3DVIEWPORT9 viewport;
    ShaderConstants vertexConstants;
    ShaderConstants pixelConstants;  // only the first PS_FLOAT_CONSTANTS floats are addressable

    BoundRef<IDirect3DBaseTexture9> textures[SAMPLER_COUNT];
    StreamSlot streams[MAX_STREAMS];
    BoundRef<IDirect3DIndexBuffer9> pIndices;
    // The declaration and the FVF share one slot: SetFVF binds the device's declaration for
    // that code and sets nFvf; SetVertexDeclaration sets nFvf to the declaration's own code (0
    // for an explicit one).
    BoundRef<IDirect3DVertexDeclaration9> pDeclaration;
    DWORD nFvf = 0;
    BoundRef<IDirect3DVertexShader9> pVertexShader;
    BoundRef<IDirect3DPixelShader9> pPixelShader;

    // Not part of state blocks.
    BoundRef<IDirect3DSurface9> renderTargets[MAX_RENDER_TARGETS];
    BoundRef<IDirect3DSurface9> pDepthStencil;
};

// Which entries of a DeviceState a state block recorded.
struct StateMask
{
    std::bitset<RENDER_STATE_SLOTS> renderStates;
    std::bitset<SAMPLER_COUNT * SAMPLER_STATE_SLOTS> samplerStates;
    std::bitset<STAGE_COUNT * STAGE_STATE_SLOTS> stageStates;
    std::bitset<TRANSFORM_SLOTS> transforms;
    bool bMaterial = false;
    bool bViewport = false;
    std::bitset<MAX_LIGHTS> lights;
    std::bitset<MAX_LIGHTS> lightEnables;
    std::bitset<MAX_CLIP_PLANES> clipPlanes;
    std::bitset<VS_FLOAT_CONSTANTS> vertexFloats;
    std::bitset<INT_CONSTANTS> vertexInts;
    std::bitset<BOOL_CONSTANTS> vertexBools;
    std::bitset<VS_FLOAT_CONSTANTS> pixelFloats;
    std::bitset<INT_CONSTANTS> pixelInts;
    std::bitset<BOOL_CONSTANTS> pixelBools;
    std::bitset<SAMPLER_COUNT> textures;
    std::bitset<MAX_STREAMS> streams;
    bool bIndices = false;
    bool bDeclaration = false;
    bool bVertexShader = false;
    bool bPixelShader = false;
};

// The documented defaults; ZENABLE is TRUE when the device has an auto depth-stencil surface,
// and the viewport covers the back buffer.
void ResetToDefaults(DeviceState& state, bool bAutoDepthStencil, UINT nWidth, UINT nHeight);

// Copies the entries of mask from one state to another (state block Capture and Apply).
void CopyMasked(const DeviceState& from, DeviceState& to, const StateMask& mask);

// The light the device uses for LightEnable on an index never given to SetLight: white
// directional light along +z.
D3DLIGHT9 DefaultLight();
