// The forward pass's and the background box's programs in plain C++ (see ForwardFormulas.h).
#include "ForwardFormulas.h"

namespace
{
F4 Rgb(F4 a, float w) { return {a.x, a.y, a.z, w}; }

// The bump texel at (t0.w, t0.z) mapped to -1..1, scaled by the bump power, added to (0, 0, 1).
F4 BumpedNormal(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 n = tex.Sample(1, {in.t[0].w, in.t[0].z, 0, 0}) * 2.0f - F4{1, 1, 1, 1};
    return Normalize3(n * c[13].w + c[13]);
}

// Diffuse, gloss-weighted specular and ambient under light colour C with reflection E.
F4 Lit(const ProgramInputs& in, const Constants& c, const TextureModel& tex, F4 N, F4 C, F4 E)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 G = tex.Sample(4, in.t[7]);
    F4 Ln = Normalize3(in.t[3]), Vn = Normalize3(in.t[1]);
    float fLightDotNormal = Dot3(N, Ln);
    F4 Rl = N * (2.0f * fLightDotNormal) - Ln;
    F4 Sp = G * c[12] * c[11] * std::pow(Saturate(Dot3(Vn, Rl)), c[10].x);
    F4 colour = Saturate((D * c[2] * Saturate(fLightDotNormal) + Sp) * C + E * G) + D * c[3].y;
    return Rgb(colour, c[14].x);
}

float Attenuation(const ProgramInputs& in, const Constants& c)
{
    float d = in.t[4].y;
    return 1.0f / (c[6].x + c[6].y * d + c[6].z * d * d);
}

float Component(F4 a, int n) { return n == 0 ? a.x : n == 1 ? a.y : n == 2 ? a.z : a.w; }
}

F4 ForwardPointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 N = BumpedNormal(in, c, tex);
    F4 E = tex.Sample(2, Normalize3(N * c[7].y + in.t[2])) * c[4];
    F4 C = c[9] * tex.Sample(6, in.t[6]) * Attenuation(in, c);
    return Lit(in, c, tex, N, C, E);
}

F4 ForwardSpotLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 N = BumpedNormal(in, c, tex);
    F4 E = tex.Sample(2, N * c[7].y + in.t[2]) * c[4];
    F4 toPoint = -in.t[6];
    F4 framed{Dot3(toPoint, c[16]), Dot3(toPoint, c[17]), Dot3(toPoint, c[18]), 0};
    F4 C = c[9] * tex.Sample(6, framed) * Attenuation(in, c);
    return Lit(in, c, tex, N, C, E);
}

F4 ForwardFlatLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 N = BumpedNormal(in, c, tex);
    F4 p = in.t[2];
    F4 screen{(p.x / p.w + 1.0f) * 0.5f + N.x * c[7].w, (1.0f - p.y / p.w) * 0.5f + N.y * c[7].w, 0, 0};
    F4 E = tex.Sample(2, screen) * c[4];
    F4 C = c[9] * tex.Sample(6, in.t[6]) * Attenuation(in, c);
    return Lit(in, c, tex, N, C, E);
}

F4 SoftShadow(const ProgramInputs& in, const Constants& c, const TextureModel& tex, int nTaps, bool bSpot)
{
    F4 q = in.t[2];
    if (bSpot)
        q = {Dot3(q, c[24]), Dot3(q, c[25]), Dot3(q, c[26]), 0};
    F4 noise = tex.Sample(5, in.t[1]) * c[0].w;
    float fDifferences = 0.0f, fFactors = 0.0f;
    for (int nTap = 0; nTap < nTaps; ++nTap)
    {
        if (nTap > 0)
        {
            // Jitter k walks on from the previous tap, scaled by component k mod 4 of noise read
            // k / 4; each read after the first is taken where the walk has reached.
            int k = nTap - 1;
            if (k > 0 && k % 4 == 0)
                noise = tex.Sample(5, q) * c[0].w;
            q = q + c[5 + k] * Component(noise, k % 4);
        }
        F4 texel = tex.Sample(3, q);
        float fDifference = in.t[0].x - texel.x;
        float fObject = -(c[3].x - texel.y) * (c[3].x - texel.y);
        fDifferences += fDifference;
        fFactors += fDifference * fObject >= 0.0f ? 1.0f : c[0].x;
    }
    float m = fDifferences * c[0].z, s = fFactors * c[0].z;
    if (bSpot && Dot3(c[23], in.t[2]) < c[23].w)
        s = 1.0f;
    float fPenumbra = 1.0f / (1.0f + c[1].y * m + c[1].z * m * m);
    float f = 1.0f - Saturate(1.0f - s) * fPenumbra;
    return {f, f, f, f};
}

VertexResult ShadowVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r;
    F4 p = v.position - c[2];
    r.position = Transform(p, &c[4]);
    F4 w = Transform(p, &c[8]);
    F4 L = c[3] - w;
    float d = Length3(L);
    F4 away = F4{-L.x / d, -L.y / d, -L.z / d, 0};
    r.t[0] = {d * c[1].x, d, d, d};
    r.t[1] = away * c[1].z;
    r.t[2] = {away.x, away.y, away.z, -1.0f};
    return r;
}

VertexResult BackgroundVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r;
    r.position = Transform(v.position, &c[4]);
    r.t[0] = Transform(v.position, &c[8]);
    r.t[1] = v.position;
    r.t[2] = c[2] - r.t[0];
    return r;
}

F4 BackgroundColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    return tex.Sample(2, Normalize3(in.t[0] - c[0]));
}

namespace
{
F4 Reflected(F4 N, F4 V) { return N * (2.0f * Dot3(N, V)) - V; }

// A noise texel mapped to -1..1 by c1.
F4 SignedNoise(const TextureModel& tex, F4 coord, const Constants& c)
{
    return tex.Sample(3, coord) * c[1].x - F4{c[1].y, c[1].y, c[1].y, c[1].y};
}
}

void BackgroundPhotons(const ProgramInputs& in, const Constants& c, const TextureModel& tex, F4& direction, F4& energy)
{
    F4 N = Normalize3(c[0] - in.t[0]);
    energy = tex.Sample(2, -N) * c[29];
    F4 a = in.t[2] * c[16].z;
    F4 n = SignedNoise(tex, a * c[1].x, c) * c[8].x + SignedNoise(tex, a, c);
    F4 bent = N + n * c[19].w;
    F4 R = Normalize3(Reflected(bent, Normalize3(in.t[2])));
    direction = {(c[1].y - R.x) * c[1].z, (c[1].y - R.y) * c[1].z, (c[1].y - R.z) * c[1].z, c[1].y};
}

F4 BackgroundCubePosition(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 N = Normalize3(c[0] - in.t[0]);
    F4 R = Normalize3(Reflected(N, Normalize3(in.t[2])));
    F4 D = Normalize3(R + SignedNoise(tex, in.t[2] * c[16].z, c) * c[19].w);
    return tex.Sample(2, D) * c[23] + c[24];
}
