#include "cpu/fixedfunc/FixedVertexProgram.h"

#include "cpu/fixedfunc/ShaderTokens.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// Input registers, found by usage in the declaration; an absent one reads (0, 0, 0, 1).
constexpr DWORD IN_POSITION = 0, IN_NORMAL = 1, IN_DIFFUSE = 2, IN_SPECULAR = 3, IN_TEXCOORD = 4;

// Constant registers.
constexpr DWORD C_WORLD_VIEW_PROJECTION = 0;   // columns, for m4x4
constexpr DWORD C_WORLD = 4;                   // columns
constexpr DWORD C_MATERIAL_DIFFUSE = 8, C_MATERIAL_AMBIENT = 9, C_MATERIAL_EMISSIVE = 10;
constexpr DWORD C_GLOBAL_AMBIENT = 11;
constexpr DWORD C_NUMBERS = 12;                // (0, 1, largest reciprocal length, 0)
constexpr DWORD C_LIGHTS = 16;
constexpr DWORD LIGHT_REGISTERS = 6;
// Per light: its position (point, spot) or the direction towards it (directional); diffuse;
// ambient; (a0, a1, a2, range); the spot axis reversed, pointing from the lit point back at the
// light's aim; (cos φ/2, 1/(cos θ/2 − cos φ/2), falloff, 0).
constexpr DWORD L_POSITION = 0, L_DIFFUSE = 1, L_AMBIENT = 2, L_ATTENUATION = 3, L_AXIS = 4, L_CONE = 5;

// A zero-length normal or light vector keeps length zero instead of becoming NaN.
constexpr float LARGEST_RECIPROCAL_LENGTH = 1e30f;

// Temporaries.
constexpr DWORD R_WORLD = 0, R_NORMAL = 1, R_AMBIENT = 2, R_DIFFUSE = 3, R_TO_LIGHT = 4, R_LIGHT = 5, R_LAMBERT = 6,
                R_COLOR = 7;

DWORD Temp(DWORD n, DWORD dwMask = 0xF) { return TokenDst(D3DSPR_TEMP, n, dwMask); }
DWORD ReadTemp(DWORD n, const char* szSwizzle = "xyzw") { return TokenSrc(D3DSPR_TEMP, n, szSwizzle); }
DWORD Const(DWORD n, const char* szSwizzle = "xyzw") { return TokenSrc(D3DSPR_CONST, n, szSwizzle); }
DWORD Input(DWORD n) { return TokenSrc(D3DSPR_INPUT, n); }
constexpr DWORD XYZ = 0x7, X = 0x1, Y = 0x2, Z = 0x4, W = 0x8;

// The source a lit colour reads.
DWORD ColorSource(uint8_t source, DWORD dwMaterialRegister)
{
    switch (source)
    {
    case FIXED_FROM_DIFFUSE: return Input(IN_DIFFUSE);
    case FIXED_FROM_SPECULAR: return Input(IN_SPECULAR);
    default: return Const(dwMaterialRegister);
    }
}

// One light's contribution: its ambient, scaled by attenuation and spot factor, goes into
// R_AMBIENT; its diffuse, scaled also by max(N·L, 0), into R_DIFFUSE.
void WriteLight(ShaderTokenWriter& w, const FixedVertexKey& key, DWORD nLight)
{
    const DWORD c = C_LIGHTS + nLight * LIGHT_REGISTERS;
    const DWORD dwType = key.lightTypes[nLight];
    if (dwType == D3DLIGHT_DIRECTIONAL)
    {
        w.Op(D3DSIO_ADD, Temp(R_AMBIENT, XYZ), {ReadTemp(R_AMBIENT), Const(c + L_AMBIENT)});
        if (key.bNormal)
        {
            w.Op(D3DSIO_DP3, Temp(R_LAMBERT, X), {ReadTemp(R_NORMAL), Const(c + L_POSITION)});
            w.Op(D3DSIO_MAX, Temp(R_LAMBERT, X), {ReadTemp(R_LAMBERT, "x"), Const(C_NUMBERS, "x")});
            w.Op(D3DSIO_MAD, Temp(R_DIFFUSE, XYZ), {Const(c + L_DIFFUSE), ReadTemp(R_LAMBERT, "x"), ReadTemp(R_DIFFUSE)});
        }
        return;
    }
    // R_TO_LIGHT: unit vector to the light, w the squared distance; R_LIGHT.y the distance,
    // R_LIGHT.w the light's scale.
    w.Op(D3DSIO_SUB, Temp(R_TO_LIGHT, XYZ), {Const(c + L_POSITION), ReadTemp(R_WORLD)});
    w.Op(D3DSIO_DP3, Temp(R_TO_LIGHT, W), {ReadTemp(R_TO_LIGHT), ReadTemp(R_TO_LIGHT)});
    w.Op(D3DSIO_RSQ, Temp(R_LIGHT, X), {ReadTemp(R_TO_LIGHT, "w")});
    w.Op(D3DSIO_MIN, Temp(R_LIGHT, X), {ReadTemp(R_LIGHT, "x"), Const(C_NUMBERS, "z")});
    w.Op(D3DSIO_MUL, Temp(R_TO_LIGHT, XYZ), {ReadTemp(R_TO_LIGHT), ReadTemp(R_LIGHT, "x")});
    w.Op(D3DSIO_RCP, Temp(R_LIGHT, Y), {ReadTemp(R_LIGHT, "x")});
    // Attenuation 1/(a0 + a1 d + a2 d²), 1 where the denominator is not positive, 0 past the range.
    const DWORD dwAttenuation = c + L_ATTENUATION;
    w.Op(D3DSIO_MAD, Temp(R_LIGHT, Z), {Const(dwAttenuation, "y"), ReadTemp(R_LIGHT, "y"), Const(dwAttenuation, "x")});
    w.Op(D3DSIO_MAD, Temp(R_LIGHT, Z), {Const(dwAttenuation, "z"), ReadTemp(R_TO_LIGHT, "w"), ReadTemp(R_LIGHT, "z")});
    w.Op(D3DSIO_RCP, Temp(R_LIGHT, W), {ReadTemp(R_LIGHT, "z")});
    w.Op(D3DSIO_CMP, Temp(R_LIGHT, W),
         {TokenSrc(D3DSPR_TEMP, R_LIGHT, "z", true), Const(C_NUMBERS, "y"), ReadTemp(R_LIGHT, "w")});
    w.Op(D3DSIO_SGE, Temp(R_LIGHT, Z), {Const(dwAttenuation, "w"), ReadTemp(R_LIGHT, "y")});
    w.Op(D3DSIO_MUL, Temp(R_LIGHT, W), {ReadTemp(R_LIGHT, "w"), ReadTemp(R_LIGHT, "z")});
    if (dwType == D3DLIGHT_SPOT)
    {
        // rho = cos of the angle between the spot axis and the light-to-point direction;
        // factor 1 inside θ/2, 0 outside φ/2, ((rho − cos φ/2)/(cos θ/2 − cos φ/2))^falloff between.
        const DWORD dwCone = c + L_CONE;
        w.Op(D3DSIO_DP3, Temp(R_LIGHT, X), {ReadTemp(R_TO_LIGHT), Const(c + L_AXIS)});
        w.Op(D3DSIO_SUB, Temp(R_LIGHT, Z), {ReadTemp(R_LIGHT, "x"), Const(dwCone, "x")});
        w.Op(D3DSIO_MUL, TokenDst(D3DSPR_TEMP, R_LIGHT, Z, true), {ReadTemp(R_LIGHT, "z"), Const(dwCone, "y")});
        w.Op(D3DSIO_POW, Temp(R_LIGHT, Z), {ReadTemp(R_LIGHT, "z"), Const(dwCone, "z")});
        w.Op(D3DSIO_SLT, Temp(R_LIGHT, X), {Const(dwCone, "x"), ReadTemp(R_LIGHT, "x")});
        w.Op(D3DSIO_MUL, Temp(R_LIGHT, Z), {ReadTemp(R_LIGHT, "z"), ReadTemp(R_LIGHT, "x")});
        w.Op(D3DSIO_MUL, Temp(R_LIGHT, W), {ReadTemp(R_LIGHT, "w"), ReadTemp(R_LIGHT, "z")});
    }
    w.Op(D3DSIO_MAD, Temp(R_AMBIENT, XYZ), {Const(c + L_AMBIENT), ReadTemp(R_LIGHT, "w"), ReadTemp(R_AMBIENT)});
    if (key.bNormal)
    {
        w.Op(D3DSIO_DP3, Temp(R_LAMBERT, X), {ReadTemp(R_NORMAL), ReadTemp(R_TO_LIGHT)});
        w.Op(D3DSIO_MAX, Temp(R_LAMBERT, X), {ReadTemp(R_LAMBERT, "x"), Const(C_NUMBERS, "x")});
        w.Op(D3DSIO_MUL, Temp(R_LAMBERT, X), {ReadTemp(R_LAMBERT, "x"), ReadTemp(R_LIGHT, "w")});
        w.Op(D3DSIO_MAD, Temp(R_DIFFUSE, XYZ), {Const(c + L_DIFFUSE), ReadTemp(R_LAMBERT, "x"), ReadTemp(R_DIFFUSE)});
    }
}

// The lit colour: ambient·(AMBIENT + Σ light ambient) + diffuse·Σ light diffuse + emissive,
// clamped to [0, 1]; alpha is the diffuse alpha.
void WriteLighting(ShaderTokenWriter& w, const FixedVertexKey& key)
{
    w.Op(D3DSIO_M4x4, Temp(R_WORLD, XYZ), {Input(IN_POSITION), Const(C_WORLD)});
    if (key.bNormal)
    {
        w.Op(D3DSIO_M3x3, Temp(R_NORMAL, XYZ), {Input(IN_NORMAL), Const(C_WORLD)});
        w.Op(D3DSIO_DP3, Temp(R_NORMAL, W), {ReadTemp(R_NORMAL), ReadTemp(R_NORMAL)});
        w.Op(D3DSIO_RSQ, Temp(R_NORMAL, W), {ReadTemp(R_NORMAL, "w")});
        w.Op(D3DSIO_MIN, Temp(R_NORMAL, W), {ReadTemp(R_NORMAL, "w"), Const(C_NUMBERS, "z")});
        w.Op(D3DSIO_MUL, Temp(R_NORMAL, XYZ), {ReadTemp(R_NORMAL), ReadTemp(R_NORMAL, "w")});
        w.Op(D3DSIO_MOV, Temp(R_DIFFUSE, XYZ), {Const(C_NUMBERS, "x")});
    }
    w.Op(D3DSIO_MOV, Temp(R_AMBIENT, XYZ), {Const(C_GLOBAL_AMBIENT)});
    for (DWORD i = 0; i < key.nLights; ++i)
        WriteLight(w, key, i);
    const DWORD dwDiffuse = ColorSource(key.diffuseSource, C_MATERIAL_DIFFUSE);
    w.Op(D3DSIO_MUL, Temp(R_COLOR, XYZ), {ColorSource(key.ambientSource, C_MATERIAL_AMBIENT), ReadTemp(R_AMBIENT)});
    if (key.bNormal)
        w.Op(D3DSIO_MAD, Temp(R_COLOR, XYZ), {dwDiffuse, ReadTemp(R_DIFFUSE), ReadTemp(R_COLOR)});
    w.Op(D3DSIO_ADD, TokenDst(D3DSPR_ATTROUT, 0, XYZ, true),
         {ReadTemp(R_COLOR), ColorSource(key.emissiveSource, C_MATERIAL_EMISSIVE)});
    w.Op(D3DSIO_MOV, TokenDst(D3DSPR_ATTROUT, 0, W, true), {TokenSwizzle(dwDiffuse, "w")});
}

void Columns(const D3DMATRIX& m, float out[][4])
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[c][r] = m.m[r][c];
}

void SetColor(const D3DCOLORVALUE& color, float out[4])
{
    out[0] = color.r, out[1] = color.g, out[2] = color.b, out[3] = color.a;
}

void SetUnit(float x, float y, float z, float fScale, float out[4])
{
    const float fLength = std::sqrt(x * x + y * y + z * z);
    const float f = fLength > 0.0f ? fScale / fLength : 0.0f;
    out[0] = x * f, out[1] = y * f, out[2] = z * f, out[3] = 0.0f;
}

uint8_t Source(DWORD dwState, bool bColorVertex, const FixedVertexKey& key, bool bSpecular)
{
    if (!bColorVertex)
        return FIXED_FROM_MATERIAL;
    if (dwState == D3DMCS_COLOR1 && key.bDiffuse)
        return FIXED_FROM_DIFFUSE;
    if (dwState == D3DMCS_COLOR2 && bSpecular)
        return FIXED_FROM_SPECULAR;
    return FIXED_FROM_MATERIAL;
}

bool HasElement(const DrawResources& resources, BYTE usage, BYTE index)
{
    for (const D3DVERTEXELEMENT9& element : *resources.pElements)
        if (element.Stream == 0 && element.Usage == usage && element.UsageIndex == index)
            return true;
    return false;
}
}

FixedVertexKey MakeFixedVertexKey(const DeviceState& state, const DrawResources& resources)
{
    FixedVertexKey key;
    key.bPretransformed = HasElement(resources, D3DDECLUSAGE_POSITIONT, 0);
    key.bDiffuse = HasElement(resources, D3DDECLUSAGE_COLOR, 0);
    key.bLighting = state.renderStates[D3DRS_LIGHTING] && !key.bPretransformed;
    if (!key.bLighting)
        return key;
    key.bNormal = HasElement(resources, D3DDECLUSAGE_NORMAL, 0);
    const bool bSpecular = HasElement(resources, D3DDECLUSAGE_COLOR, 1);
    const bool bColorVertex = state.renderStates[D3DRS_COLORVERTEX] != 0;
    key.diffuseSource = Source(state.renderStates[D3DRS_DIFFUSEMATERIALSOURCE], bColorVertex, key, bSpecular);
    key.ambientSource = Source(state.renderStates[D3DRS_AMBIENTMATERIALSOURCE], bColorVertex, key, bSpecular);
    key.emissiveSource = Source(state.renderStates[D3DRS_EMISSIVEMATERIALSOURCE], bColorVertex, key, bSpecular);
    for (const LightSlot& slot : state.lights)
        if (slot.bDefined && slot.bEnabled)
            key.lightTypes[key.nLights++] = (uint8_t)slot.light.Type;
    return key;
}

void WriteFixedVertexProgram(const FixedVertexKey& key, std::vector<DWORD>& tokens)
{
    ShaderTokenWriter w(tokens, D3DVS_VERSION(2, 0));
    w.Dcl(key.bPretransformed ? D3DDECLUSAGE_POSITIONT : D3DDECLUSAGE_POSITION, TokenDst(D3DSPR_INPUT, IN_POSITION));
    w.Dcl(D3DDECLUSAGE_NORMAL, TokenDst(D3DSPR_INPUT, IN_NORMAL));
    w.Dcl(D3DDECLUSAGE_COLOR, TokenDst(D3DSPR_INPUT, IN_DIFFUSE));
    w.Dcl(D3DDECLUSAGE_COLOR | (1u << D3DSP_DCL_USAGEINDEX_SHIFT), TokenDst(D3DSPR_INPUT, IN_SPECULAR));
    for (DWORD t = 0; t < 8; ++t)
        w.Dcl(D3DDECLUSAGE_TEXCOORD | (t << D3DSP_DCL_USAGEINDEX_SHIFT), TokenDst(D3DSPR_INPUT, IN_TEXCOORD + t));
    const DWORD dwPosition = TokenDst(D3DSPR_RASTOUT, D3DSRO_POSITION);
    if (key.bPretransformed)
        w.Op(D3DSIO_MOV, dwPosition, {Input(IN_POSITION)});   // screen x, y, z and 1/w as given
    else
        w.Op(D3DSIO_M4x4, dwPosition, {Input(IN_POSITION), Const(C_WORLD_VIEW_PROJECTION)});
    if (key.bLighting)
        WriteLighting(w, key);
    else
        // Without DIFFUSE a vertex is white.
        w.Op(D3DSIO_MOV, TokenDst(D3DSPR_ATTROUT, 0), {key.bDiffuse ? Input(IN_DIFFUSE) : Const(C_NUMBERS, "y")});
    // No specular: the second colour is black.
    w.Op(D3DSIO_MOV, TokenDst(D3DSPR_ATTROUT, 1), {Const(C_NUMBERS, "xxxy")});
    for (DWORD t = 0; t < 8; ++t)
        w.Op(D3DSIO_MOV, TokenDst(D3DSPR_TEXCRDOUT, t), {Input(IN_TEXCOORD + t)});
    w.End();
}

void FillFixedVertexConstants(const FixedVertexKey& key, const DeviceState& state, const DrawResources& resources,
                              float constants[][4])
{
    float* pNumbers = constants[C_NUMBERS];
    pNumbers[0] = 0.0f, pNumbers[1] = 1.0f, pNumbers[2] = LARGEST_RECIPROCAL_LENGTH, pNumbers[3] = 0.0f;
    if (key.bPretransformed)
        return;
    Columns(resources.worldViewProjection, &constants[C_WORLD_VIEW_PROJECTION]);
    if (!key.bLighting)
        return;
    Columns(resources.world, &constants[C_WORLD]);
    SetColor(state.material.Diffuse, constants[C_MATERIAL_DIFFUSE]);
    SetColor(state.material.Ambient, constants[C_MATERIAL_AMBIENT]);
    SetColor(state.material.Emissive, constants[C_MATERIAL_EMISSIVE]);
    const DWORD nAmbient = state.renderStates[D3DRS_AMBIENT];
    float* pGlobal = constants[C_GLOBAL_AMBIENT];
    pGlobal[0] = ((nAmbient >> 16) & 0xFF) / 255.0f;
    pGlobal[1] = ((nAmbient >> 8) & 0xFF) / 255.0f;
    pGlobal[2] = (nAmbient & 0xFF) / 255.0f;
    pGlobal[3] = 0.0f;
    DWORD nLight = 0;
    for (const LightSlot& slot : state.lights)
    {
        if (!slot.bDefined || !slot.bEnabled || nLight >= key.nLights)
            continue;
        const D3DLIGHT9& light = slot.light;
        float(*c)[4] = &constants[C_LIGHTS + nLight++ * LIGHT_REGISTERS];
        if (light.Type == D3DLIGHT_DIRECTIONAL)
            SetUnit(light.Direction.x, light.Direction.y, light.Direction.z, -1.0f, c[L_POSITION]);
        else
        {
            c[L_POSITION][0] = light.Position.x, c[L_POSITION][1] = light.Position.y;
            c[L_POSITION][2] = light.Position.z, c[L_POSITION][3] = 1.0f;
        }
        SetColor(light.Diffuse, c[L_DIFFUSE]);
        SetColor(light.Ambient, c[L_AMBIENT]);
        c[L_ATTENUATION][0] = light.Attenuation0, c[L_ATTENUATION][1] = light.Attenuation1;
        c[L_ATTENUATION][2] = light.Attenuation2, c[L_ATTENUATION][3] = light.Range;
        SetUnit(light.Direction.x, light.Direction.y, light.Direction.z, -1.0f, c[L_AXIS]);
        const float fCosInner = std::cos(light.Theta * 0.5f), fCosOuter = std::cos(light.Phi * 0.5f);
        // θ = φ leaves no penumbra: the factor steps from 0 to 1 at the cone's edge.
        c[L_CONE][0] = fCosOuter;
        c[L_CONE][1] = fCosInner > fCosOuter ? 1.0f / (fCosInner - fCosOuter) : LARGEST_RECIPROCAL_LENGTH;
        c[L_CONE][2] = light.Falloff;
        c[L_CONE][3] = 0.0f;
    }
}
