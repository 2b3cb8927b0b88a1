#include "cpu/fixedfunc/FixedVertex.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
void TransformPoint(const D3DMATRIX& m, const float v[4], float out[4])
{
    for (int c = 0; c < 4; ++c)
        out[c] = v[0] * m.m[0][c] + v[1] * m.m[1][c] + v[2] * m.m[2][c] + v[3] * m.m[3][c];
}

float Dot3(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Normalize3(float v[3])
{
    float fLength = std::sqrt(Dot3(v, v));
    if (fLength > 0.0f)
        for (int c = 0; c < 3; ++c)
            v[c] /= fLength;
}

void ColorOf(const D3DCOLORVALUE& color, float out[4])
{
    out[0] = color.r, out[1] = color.g, out[2] = color.b, out[3] = color.a;
}

// The lit colour of one vertex: ambient·(AMBIENT + Σ light ambient) + Σ diffuse·light·max(N·L, 0)
// + emissive, each light scaled by its attenuation; alpha is the diffuse alpha.
void Light(const DeviceState& state, const DrawResources& resources, const float position[4], const float normal[3],
           const float vertexDiffuse[4], float out[4])
{
    float diffuse[4], ambient[4], emissive[4], globalAmbient[4];
    ColorOf(state.material.Diffuse, diffuse);
    ColorOf(state.material.Ambient, ambient);
    ColorOf(state.material.Emissive, emissive);
    if (vertexDiffuse && state.renderStates[D3DRS_COLORVERTEX] &&
        state.renderStates[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1)
        std::memcpy(diffuse, vertexDiffuse, sizeof(diffuse));
    const DWORD nAmbient = state.renderStates[D3DRS_AMBIENT];
    globalAmbient[0] = ((nAmbient >> 16) & 0xFF) / 255.0f;
    globalAmbient[1] = ((nAmbient >> 8) & 0xFF) / 255.0f;
    globalAmbient[2] = (nAmbient & 0xFF) / 255.0f;
    float world[4], worldNormal[3];
    TransformPoint(resources.world, position, world);
    for (int c = 0; c < 3; ++c)
        worldNormal[c] = normal[0] * resources.world.m[0][c] + normal[1] * resources.world.m[1][c] +
                         normal[2] * resources.world.m[2][c];
    Normalize3(worldNormal);
    float ambientSum[3] = {globalAmbient[0], globalAmbient[1], globalAmbient[2]};
    float diffuseSum[3] = {};
    for (const LightSlot& slot : state.lights)
    {
        if (!slot.bDefined || !slot.bEnabled)
            continue;
        const D3DLIGHT9& light = slot.light;
        float toLight[3];
        float fAttenuation = 1.0f;
        if (light.Type == D3DLIGHT_DIRECTIONAL)
        {
            toLight[0] = -light.Direction.x, toLight[1] = -light.Direction.y, toLight[2] = -light.Direction.z;
        }
        else
        {
            toLight[0] = light.Position.x - world[0];
            toLight[1] = light.Position.y - world[1];
            toLight[2] = light.Position.z - world[2];
            const float fDistance = std::sqrt(Dot3(toLight, toLight));
            if (fDistance > light.Range)
                continue;
            const float fDenominator =
                light.Attenuation0 + light.Attenuation1 * fDistance + light.Attenuation2 * fDistance * fDistance;
            fAttenuation = fDenominator > 0.0f ? 1.0f / fDenominator : 1.0f;
        }
        Normalize3(toLight);
        const float fLambert = std::max(0.0f, Dot3(worldNormal, toLight)) * fAttenuation;
        ambientSum[0] += light.Ambient.r * fAttenuation;
        ambientSum[1] += light.Ambient.g * fAttenuation;
        ambientSum[2] += light.Ambient.b * fAttenuation;
        diffuseSum[0] += light.Diffuse.r * fLambert;
        diffuseSum[1] += light.Diffuse.g * fLambert;
        diffuseSum[2] += light.Diffuse.b * fLambert;
    }
    for (int c = 0; c < 3; ++c)
        out[c] = std::clamp(ambient[c] * ambientSum[c] + diffuse[c] * diffuseSum[c] + emissive[c], 0.0f, 1.0f);
    out[3] = std::clamp(diffuse[3], 0.0f, 1.0f);
}
}

void RunFixedVertex(const DeviceState& state, const DrawResources& resources, const FixedVertexInput& input,
                    float pos[4], float varyings[40])
{
    TransformPoint(resources.worldViewProjection, input.pPosition, pos);
    for (int t = 0; t < 8; ++t)
    {
        float* pOut = varyings + t * 4;
        pOut[0] = pOut[1] = pOut[2] = 0.0f;
        pOut[3] = 1.0f;
        if (input.pTexcoords[t])
            std::memcpy(pOut, input.pTexcoords[t], 16);
    }
    float* pDiffuse = varyings + 32;
    static const float s_white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const float s_noNormal[3] = {0.0f, 0.0f, 0.0f};
    if (state.renderStates[D3DRS_LIGHTING] && !input.bPretransformed)
        Light(state, resources, input.pPosition, input.pNormal ? input.pNormal : s_noNormal, input.pDiffuse, pDiffuse);
    else
        std::memcpy(pDiffuse, input.pDiffuse ? input.pDiffuse : s_white, 16);
    float* pSpecular = varyings + 36;
    pSpecular[0] = pSpecular[1] = pSpecular[2] = 0.0f;
    pSpecular[3] = 1.0f;
}
