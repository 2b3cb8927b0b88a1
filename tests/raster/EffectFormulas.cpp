#include "EffectFormulas.h"

#include <algorithm>

namespace
{
F4 Xyz(F4 a, float w) { return {a.x, a.y, a.z, w}; }
float Grey(F4 texel, const Constants& c) { return Dot3(texel, c[2]); }
}

VertexResult DepthOfFieldVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r;
    F4 p = v.position - c[0];
    r.position = Transform(p, &c[4]);
    r.t[0] = r.position;
    r.t[1] = Transform(p, &c[8]) * c[1].x;
    return r;
}

float DepthOfFieldDispersion(float z, const Constants& c)
{
    const float w = c[0].x, fNear = c[1].x, D = c[1].z;
    // A far depth at or below 0 and a depth of 0 are taken as a tiny positive value.
    const float fFar = std::max(c[1].y, 0.0001f);
    float f = z >= fFar ? (1.0f - w) * (z - fFar) / fFar * D : 0.0f;
    float g = (fNear / std::max(z, 0.0001f) - 1.0f) * D * (z < fNear ? 1.0f : w);
    return f + g;
}

F4 DepthOfFieldColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    const F4 t0 = in.t[0];
    const float u = (t0.x / t0.w + 1.0f) * 0.5f, v = (1.0f - t0.y / t0.w) * 0.5f;
    const float s = DepthOfFieldDispersion(t0.z, c);
    F4 first = tex.Sample(1, in.t[1]) * s;
    F4 taps[9];
    const float firstScale[3] = {first.x, first.y, first.z};
    for (int i = 0; i < 3; ++i)
        taps[i] = {u + firstScale[i] * c[2 + i].x, v + firstScale[i] * c[2 + i].y, 0, 0};
    F4 second = tex.Sample(1, taps[0]) * s;
    const float secondScale[3] = {second.x, second.y, second.z};
    for (int i = 0; i < 6; ++i)
        taps[3 + i] = {u + secondScale[i % 3] * c[5 + i].x, v + secondScale[i % 3] * c[5 + i].y, 0, 0};
    F4 sum{};
    for (const F4& tap : taps)
        sum = sum + tex.Sample(0, tap);
    return sum * c[0].x;
}

VertexResult FogVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r;
    F4 p = v.position - c[2];
    r.position = Transform(p, &c[4]);
    F4 view = Transform(p, &c[8]), world = Transform(p, &c[12]);
    F4 L = Normalize3(c[1] - world);
    r.t[0] = {L.x, L.y, view.z, view.w};
    r.t[1] = world;
    r.t[2] = view;
    return r;
}

float FogNoise(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 a{in.t[0].x * c[0].x, in.t[0].y * c[0].x, 0, 0};
    float n = 0.0f;
    const float scales[4] = {1.0f, 2.0f, 8.0f, 64.0f}, weights[4] = {1.0f, 0.5f, 0.25f, 0.125f};
    for (int k = 0; k < 4; ++k)
        n += weights[k] * Grey(tex.Sample(0, a * scales[k]), c);
    return Saturate(n);
}

F4 FogColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    const float n = FogNoise(in, c, tex);
    const float h = c[0].w * n, yc = c[5].y, yp = in.t[1].y;
    const bool bCameraBelow = yc < h, bPointBelow = yp < h;
    float fShare = 0.0f;
    if (bCameraBelow && bPointBelow)
        fShare = 1.0f;
    else if (bCameraBelow != bPointBelow)
    {
        const float f = (yc - h) / (yc - yp);
        fShare = bCameraBelow ? f : 1.0f - f;
    }
    const float d = in.t[2].z * fShare * c[0].y;
    const float t = 1.0f / std::pow(c[0].z, (n * d) * (n * d));
    return Xyz(c[1], t);
}

VertexResult HaloVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r;
    r.position = Transform(v.position, &c[4]);
    F4 q = Transform(v.position, &c[8]), o = Transform(c[1], &c[8]);
    float dx = o.x - q.x, dy = o.y - q.y;
    float rho = std::sqrt(std::max(dx * dx + dy * dy, 1e-6f));
    r.t[0] = {dx / rho, dy / rho, (c[0].y - rho) * c[0].z, 0.0f};
    return r;
}

F4 HaloColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    float g = Grey(tex.Sample(0, in.t[0]), c);
    return Saturate(c[1] * in.t[0].z) * g;
}

VertexResult LensFlareVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r;
    r.t[3] = Transform(c[1], &c[12]);
    r.position = Transform(v.position, &c[4]);
    F4 world = Transform(v.position, &c[8]);
    r.t[0] = v.normal;
    r.t[1] = c[2] - world;
    r.t[2] = c[1] - world;
    return r;
}

F4 LensFlareColour(const ProgramInputs& in, const Constants& c, float& fDepth)
{
    F4 N = Normalize3(in.t[0]), L = Normalize3(in.t[2]), V = Normalize3(in.t[1]);
    F4 R = L - N * (2.0f * Dot3(L, N));
    float s = Saturate(Dot3(V, R));
    F4 glint = c[2] * (std::pow(s, c[0].x) * c[0].y);
    float ring = Saturate(1.0f - std::pow(s, 5.0f)) * std::pow(s, 10.0f);
    fDepth = in.t[3].z / in.t[3].w;
    return glint + F4{c[0].w, c[0].w, ring, ring};
}

VertexResult SpotConeVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r;
    r.position = Transform(v.position, &c[4]);
    F4 p = Transform(v.position, &c[16]);
    F4 e = Transform(c[3], &c[20]);
    F4 d = p - e;
    const float k = c[2].x;
    float qa = d.x * d.x + d.y * d.y - k * d.z * d.z;
    float qb = 2.0f * (d.x * p.x + d.y * p.y - k * d.z * p.z);
    float qc = p.x * p.x + p.y * p.y - k * p.z * p.z;
    float root = std::sqrt(std::max(qb * qb - 4.0f * qa * qc, 0.0f));
    float t1 = (root - qb) / (2.0f * qa), t2 = (-root - qb) / (2.0f * qa);
    float t = std::max(t1, 0.0f) + std::max(t2, 0.0f);
    F4 shell{p.x, p.y, p.z, 1.0f}, exit{p.x + t * d.x, p.y + t * d.y, p.z + t * d.z, 1.0f};
    r.t[1] = Transform(shell, &c[12]);
    r.t[2] = Transform(exit, &c[12]);
    r.t[0] = Normalize3(c[1] - r.t[1]);
    return r;
}

F4 SpotConeColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    float n = FogNoise(in, c, tex);
    float d = Length3(in.t[2] - in.t[1]);
    float x = n * d * c[0].y;
    return Xyz(c[1], 1.0f / std::pow(c[0].z, x * x));
}
