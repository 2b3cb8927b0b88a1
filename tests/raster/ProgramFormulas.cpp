// The lighting model of the scene programs in plain C++ (see ProgramFormulas.h).
#include "ProgramFormulas.h"

#include <algorithm>

F4 TextureModel::Sample(int nStage, F4 coord) const
{
    const Stage& stage = stages[nStage];
    if (!stage.bBound)
        return {0, 0, 0, 1};
    if (stage.bCube)
    {
        // The face of the major axis.
        float ax = std::fabs(coord.x), ay = std::fabs(coord.y), az = std::fabs(coord.z);
        if (ax >= ay && ax >= az)
            return stage.faces[coord.x >= 0 ? 0 : 1];
        if (ay >= az)
            return stage.faces[coord.y >= 0 ? 2 : 3];
        return stage.faces[coord.z >= 0 ? 4 : 5];
    }
    // Point sampling, wrapped: texel floor(u W).
    auto index = [](float f, unsigned n) {
        long i = (long)std::floor(f * (float)n);
        return (unsigned)(((i % (long)n) + (long)n) % (long)n);
    };
    return stage.texels[index(coord.y, stage.nHeight) * stage.nWidth + index(coord.x, stage.nWidth)];
}

namespace
{
F4 Rgb(F4 a, float w) { return {a.x, a.y, a.z, w}; }

// The bump normal: the texel at (t0.w, t0.z) mapped to -1..1, scaled by the bump power and
// added to (0, 0, 1).
F4 BumpNormal(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 texel = tex.Sample(1, {in.t[0].w, in.t[0].z, 0, 0});
    F4 n = texel * 2.0f - F4{1, 1, 1, 1};
    return Normalize3(n * c[13].w + c[13]);
}

struct Terms
{
    F4 Ln, Vn;
    float fLightDotNormal;  // N . Ln, unclamped
    float fSpecular;        // saturate(Vn . Rl)
    float fDiffuse;         // saturate(N . Ln)
};

Terms LightTerms(const ProgramInputs& in, F4 N)
{
    Terms terms;
    terms.Ln = Normalize3(in.t[3]);
    terms.Vn = Normalize3(in.t[1]);
    terms.fLightDotNormal = Dot3(N, terms.Ln);
    F4 Rl = N * (2.0f * terms.fLightDotNormal) - terms.Ln;
    terms.fSpecular = Saturate(Dot3(terms.Vn, Rl));
    terms.fDiffuse = Saturate(terms.fLightDotNormal);
    return terms;
}

F4 Specular(float fSpecular, F4 gloss, const Constants& c)
{
    return gloss * c[12] * c[11] * std::pow(fSpecular, c[10].x);
}

float Attenuation(float d, const Constants& c) { return 1.0f / (c[6].x + c[6].y * d + c[6].z * d * d); }

float EyeDistanceAlpha(const ProgramInputs& in, const Constants& c) { return 0.01f * Length3(in.t[5] - c[17]); }

F4 Shaded(F4 D, float fDiffuse, F4 Sp, F4 C, F4 E, const Constants& c)
{
    return Saturate((D * c[2] * fDiffuse + Sp) * C + E) + D * c[3].y;
}

// Screen position ((x / w + 1) / 2, (1 - y / w) / 2).
F4 ScreenPosition(F4 p) { return {(p.x / p.w + 1.0f) * 0.5f, (1.0f - p.y / p.w) * 0.5f, 0, 0}; }

// A jittered tap: lit (c20.y) unless the depth difference times the object test is negative.
float ObjectTap(const TextureModel& tex, F4 q, float fReference, const Constants& c)
{
    F4 texel = tex.Sample(3, q);
    float fDifference = fReference - texel.x;
    float fOther = -(c[22].x - texel.y) * (c[22].x - texel.y);
    return fDifference * fOther >= 0.0f ? c[20].y : c[20].x;
}

// Four taps from base, moved by c23 n.x, c24 n.y, c25 n.z and c26 times the last factor.
float FourTaps(const TextureModel& tex, F4 base, F4 noise, F4 lastFactor, float fReference, const Constants& c)
{
    F4 q1 = base + c[23] * noise.x;
    F4 q2 = q1 + c[24] * noise.y;
    F4 q3 = q2 + c[25] * noise.z;
    F4 q4 = q3 + c[26] * lastFactor;
    return (ObjectTap(tex, q1, fReference, c) + ObjectTap(tex, q2, fReference, c) + ObjectTap(tex, q3, fReference, c) +
            ObjectTap(tex, q4, fReference, c)) *
           c[20].z;
}

F4 Noise(const TextureModel& tex, F4 p, const Constants& c) { return tex.Sample(5, p * c[22].y) * c[20].w; }
}

F4 PointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 N = BumpNormal(in, c, tex);
    F4 G = tex.Sample(4, in.t[7]);
    F4 E = tex.Sample(2, N * c[7].y + in.t[2]) * c[4] * G;
    Terms terms = LightTerms(in, N);
    F4 C = c[9] * tex.Sample(6, in.t[6]) * Attenuation(in.t[4].y, c);
    return Rgb(Shaded(D, terms.fDiffuse, Specular(terms.fSpecular, G, c), C, E, c), EyeDistanceAlpha(in, c));
}

F4 SpotLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 N = BumpNormal(in, c, tex);
    F4 G = tex.Sample(4, in.t[7]);
    F4 E = tex.Sample(2, Normalize3(N * c[7].y + in.t[2])) * c[4] * G;
    Terms terms = LightTerms(in, N);
    F4 toPoint = -in.t[6];
    float fCone = Saturate((Dot3(c[15], toPoint) - c[19].y) * c[19].z);
    F4 framed{Dot3(toPoint, c[16]), Dot3(toPoint, c[17]), Dot3(toPoint, c[18]), 0};
    F4 C = c[9] * tex.Sample(6, framed) * fCone;
    return Rgb(Shaded(D, terms.fDiffuse, Specular(terms.fSpecular, G, c), C, E, c), c[14].x);
}

F4 CubeFacePointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 N = BumpNormal(in, c, tex);
    F4 E = tex.Sample(2, in.t[2]) * c[4];
    Terms terms = LightTerms(in, N);
    F4 C = c[9] * tex.Sample(6, in.t[6]);
    F4 colour = Shaded(D, terms.fDiffuse, Specular(terms.fSpecular, F4{1, 1, 1, 1}, c), C, E, c);
    F4 noise = Noise(tex, in.t[6], c);
    F4 texel = tex.Sample(3, -in.t[6] + c[23] * noise.x);
    float fDifference = (in.t[4].x - texel.x) * (terms.fLightDotNormal >= 0.0f ? -c[20].x : c[20].x);
    float fShadow = fDifference >= 0.0f ? c[20].y : c[20].x;
    return Rgb(colour * fShadow, c[14].x);
}

F4 DirectionalLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 N = BumpNormal(in, c, tex);
    F4 G = tex.Sample(4, in.t[7]);
    F4 E = tex.Sample(2, N * c[7].y + in.t[2]) * c[4] * G;
    Terms terms = LightTerms(in, N);
    F4 C = c[9] * tex.Sample(6, in.t[4]);
    F4 colour = Shaded(D, terms.fDiffuse, Specular(terms.fSpecular, G, c), C, E, c);
    F4 noise = Noise(tex, in.t[5], c);
    float fShadow = FourTaps(tex, ScreenPosition(in.t[6]), noise, noise, in.t[6].z, c);
    return Rgb(colour * fShadow, D.w);
}

F4 WaveDirectionalLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    // Four waves: phase k = (c28_k, c29_k) . (t0.w, t0.z) + time c31.z x c23_k; each tilts the
    // normal along its direction by its height c30_k times cos(phase), cos x taken as 1 - x^2 / 2.
    const float u = in.t[0].w, v = in.t[0].z;
    const float dirU[4] = {c[28].x, c[28].y, c[28].z, c[28].w};
    const float dirV[4] = {c[29].x, c[29].y, c[29].z, c[29].w};
    const float offset[4] = {c[23].x, c[23].y, c[23].z, c[23].w};
    const float height[4] = {c[30].x, c[30].y, c[30].z, c[30].w};
    F4 bent{0, 0, 1, 0};
    for (int k = 0; k < 4; ++k)
    {
        float fPhase = dirU[k] * u + dirV[k] * v + c[31].z * offset[k];
        float fTilt = height[k] * (1.0f - fPhase * fPhase * 0.5f);
        bent.x += fTilt * dirU[k];
        bent.y += fTilt * dirV[k];
    }
    F4 N = Normalize3(bent);
    F4 D = tex.Sample(0, in.t[0]);
    F4 E = tex.Sample(2, N * c[7].y + in.t[2]) * c[4];
    Terms terms = LightTerms(in, N);
    F4 C = c[9] * tex.Sample(6, in.t[4]);
    F4 colour = Shaded(D, terms.fDiffuse, Specular(terms.fSpecular, F4{1, 1, 1, 1}, c), C, E, c);
    F4 noise = Noise(tex, in.t[5], c);
    F4 q1 = F4{(in.t[4].x + 1.0f) * 0.5f, (1.0f - in.t[4].y) * 0.5f, 0, 0} + c[23] * noise.x;
    F4 q2 = q1 + c[24] * noise.y;
    F4 q3 = q2 + c[25] * noise.z;
    F4 q4 = q3 + c[26] * noise;
    float fShadow = 0.0f;
    for (F4 q : {q1, q2, q3, q4})
    {
        bool bFacesAway = Dot3(N, -terms.Ln) >= 0.0f;
        bool bNearer = in.t[4].z - tex.Sample(3, q).x < 0.0f;
        fShadow += (bFacesAway || !bNearer ? c[20].y : c[20].x) * c[20].z;
    }
    return Rgb(colour * fShadow, c[14].x);
}

namespace
{
F4 FlatColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex, F4 lightTexel, F4 shadowBase,
              F4 noisePoint)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 N = BumpNormal(in, c, tex);
    F4 G = tex.Sample(4, in.t[7]);
    F4 mirror = Saturate(ScreenPosition(in.t[2]) + F4{N.x, N.y, 0, 0} * c[7].w);
    F4 E = tex.Sample(2, mirror) * c[4] * G;
    Terms terms = LightTerms(in, N);
    F4 C = c[9] * lightTexel * Attenuation(in.t[4].y, c);
    F4 colour = Shaded(D, terms.fDiffuse, Specular(terms.fSpecular, G, c), C, E, c);
    F4 noise = Noise(tex, noisePoint, c);
    float fShadow = FourTaps(tex, shadowBase, noise, F4{noise.x, noise.x, noise.x, noise.x}, in.t[4].x, c);
    return Rgb(colour * fShadow, D.w * (c[3].y + 1.0f) * fShadow);
}
}

F4 FlatPointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    return FlatColour(in, c, tex, tex.Sample(6, in.t[6]), -in.t[6], in.t[6]);
}

F4 FlatDirectionalLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    return FlatColour(in, c, tex, tex.Sample(6, in.t[4]), -in.t[4], in.t[5]);
}

F4 FlatReflectionPointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 N = BumpNormal(in, c, tex);
    F4 G = tex.Sample(4, in.t[7]);
    F4 mirror = Saturate(ScreenPosition(in.t[2]) + F4{N.x, N.y, 0, 0} * c[7].w);
    F4 E = tex.Sample(2, mirror) * c[4] * G;
    Terms terms = LightTerms(in, N);
    F4 C = c[9] * tex.Sample(6, in.t[6]) * Attenuation(in.t[4].y, c);
    return Rgb(Shaded(D, terms.fDiffuse, Specular(terms.fSpecular, G, c), C, E, c), EyeDistanceAlpha(in, c));
}

namespace
{
// The point light's colour times the mean of four taps in the shadow cube from -t6.
F4 ShadowedPointLight(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 colour = PointLightColour(in, c, tex);
    F4 noise = Noise(tex, in.t[6], c);
    return colour * FourTaps(tex, -in.t[6], noise, F4{noise.x, noise.x, noise.x, noise.x}, in.t[4].x, c);
}
}

F4 ShadowedPointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    return Rgb(ShadowedPointLight(in, c, tex), c[14].x);
}

F4 ShadowedPointLightEyeColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    return Rgb(ShadowedPointLight(in, c, tex), EyeDistanceAlpha(in, c));
}

F4 RefractionBackColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 N = BumpNormal(in, c, tex);
    F4 G = tex.Sample(4, in.t[7]);
    // Lit from behind: the normal reversed in both terms.
    F4 Ln = Normalize3(in.t[3]), Vn = Normalize3(in.t[1]);
    F4 Rl = N * (2.0f * Dot3(Ln, N)) - Ln;
    float fSpecular = Saturate(-Dot3(Vn, Rl));
    float fDiffuse = Saturate(-Dot3(N, Ln));
    F4 lit = (D * c[3].y + D * c[2] * fDiffuse) * c[14].x;
    return Rgb(lit + Specular(fSpecular, G, c) * tex.Sample(6, in.t[6]), EyeDistanceAlpha(in, c));
}

F4 RefractionFrontColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 D = tex.Sample(0, in.t[0]);
    F4 N = BumpNormal(in, c, tex);
    F4 G = tex.Sample(4, in.t[7]);
    Terms terms = LightTerms(in, N);
    F4 lit = D * c[3].y + D * c[2] * terms.fDiffuse;
    F4 refracted = tex.Sample(2, Normalize3(N * c[7].y + in.t[5]));
    F4 E = tex.Sample(2, Normalize3(N * c[7].y + in.t[2])) * c[4] * G;
    F4 colour = lit * c[14].x + refracted * (1.0f - c[14].x) + Specular(terms.fSpecular, G, c) * tex.Sample(6, in.t[6]) + E;
    return Rgb(colour, EyeDistanceAlpha(in, c));
}

F4 LayerColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex)
{
    F4 n = tex.Sample(1, in.t[5]) * 2.0f - F4{1, 1, 1, 1};
    F4 N = Normalize3(n * c[0].z + F4{0, 0, 1, 0});
    F4 j = tex.Sample(5, in.t[1]) * c[0].w;
    F4 j2 = tex.Sample(5, N) * c[0].w;
    const float jitter[6] = {j.x, j.y, j.z, j2.x, j2.y, j2.z};
    F4 sum{};
    for (int k = 0; k < 6; ++k)
    {
        F4 d = c[6 + k] * jitter[k] + N;
        F4 world{Dot3(d, in.t[2]), Dot3(d, in.t[3]), Dot3(d, in.t[4]), 0};
        sum = sum + tex.Sample(2, world) * c[6 + k].w;
    }
    return Rgb(Saturate(tex.Sample(0, in.t[0]) * sum * c[1].z), c[1].x);
}

namespace
{
struct Frame
{
    F4 p, world, T, B, N;
};

Frame MeshFrame(const MeshVertexInputs& v, F4 centre, const Constants& c)
{
    Frame f;
    f.p = v.position - centre;
    f.world = Transform(f.p, &c[8]);
    f.T = {Dot3(v.tangent, c[8]), Dot3(v.tangent, c[9]), Dot3(v.tangent, c[10]), 0};
    f.B = {Dot3(v.binormal, c[8]), Dot3(v.binormal, c[9]), Dot3(v.binormal, c[10]), 0};
    f.N = {Dot3(v.normal, c[8]), Dot3(v.normal, c[9]), Dot3(v.normal, c[10]), 0};
    return f;
}

F4 InFrame(F4 a, const Frame& f) { return {Dot3(a, f.T), Dot3(a, f.B), Dot3(a, f.N), 0}; }

// The direction from the sphere centre c12 (radius sqrt(c1.z)) to where the view vector,
// reflected about the normal taken as a point, leaves the sphere from the world position.
F4 SphereReflection(const MeshVertexInputs& v, const Frame& f, const Constants& c)
{
    F4 Vn = Normalize3(c[2] - f.world);
    F4 normalPoint{v.normal.x, v.normal.y, v.normal.z, 1};
    F4 n = Normalize3(Transform(normalPoint, &c[8]) - c[12]);
    F4 R = n * (2.0f * Dot3(n, Vn)) - Vn;
    F4 q = f.world - c[12];
    double b = Dot3(R, q), a = Dot3(R, R), cc = (double)Dot3(q, q) - c[1].z;
    double D = b * b - a * cc;
    double s = D / std::sqrt(std::fabs(D));
    double u1 = (s - b) / a, u2 = (-s - b) / a;
    double t = (u1 >= 0 ? u1 : 0) + (u2 >= 0 ? u2 : 0);
    return Normalize3(R * (float)t + q);
}

void Common(VertexResult& r, const MeshVertexInputs& v, const Frame& f, const Constants& c)
{
    r.position = Transform(f.p, &c[4]);
    r.t[0] = {v.uv.x * c[15].x, v.uv.y * c[15].y, v.uv.y * c[15].z, v.uv.x * c[15].w};
    r.t[1] = InFrame(c[2] - f.world, f);
    r.t[5] = {f.world.x * c[13].x, f.world.y * c[13].x, f.world.z * c[13].x, f.world.w};
    r.t[7] = {v.uv.x * c[16].x, v.uv.y * c[16].y, 0, 0};
}

void PointLightTerms(VertexResult& r, const Frame& f, const Constants& c)
{
    F4 L = c[3] - f.world;
    float d = Length3(L);
    r.t[3] = InFrame(L, f);
    r.t[4] = {d * c[1].x, d, d, d};
    F4 unit = L * (1.0f / d);
    r.t[6] = {unit.x, unit.y, unit.z, 0};
}
}

VertexResult PointLightVertex(const MeshVertexInputs& v, const Constants& c)
{
    Frame f = MeshFrame(v, c[14], c);
    VertexResult r;
    Common(r, v, f, c);
    PointLightTerms(r, f, c);
    r.t[2] = SphereReflection(v, f, c);
    return r;
}

VertexResult FlatPointLightVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r = PointLightVertex(v, c);
    r.t[2] = r.position;
    return r;
}

VertexResult RefractionVertex(const MeshVertexInputs& v, const Constants& c)
{
    VertexResult r = PointLightVertex(v, c);
    Frame f = MeshFrame(v, c[14], c);
    F4 Vn = Normalize3(c[2] - f.world);
    F4 normalPoint{v.normal.x, v.normal.y, v.normal.z, 1};
    F4 n = Normalize3(Transform(normalPoint, &c[8]) - c[12]);
    float eta = c[17].x;
    float cosine = Dot3(Vn, n);
    float k = 1.0f - eta * eta * (1.0f - cosine * cosine);
    float s = k / std::sqrt(std::fabs(k));
    F4 t5 = -Vn * eta + n * (eta * cosine - s);
    r.t[5] = {t5.x, t5.y, t5.z, 0};
    return r;
}

VertexResult DirectionalVertex(const MeshVertexInputs& v, const Constants& c)
{
    Frame f = MeshFrame(v, c[14], c);
    VertexResult r;
    Common(r, v, f, c);
    r.t[2] = SphereReflection(v, f, c);
    r.t[3] = InFrame(c[3], f);
    r.t[4] = Transform(f.world, &c[20]);
    r.t[6] = Transform(f.world, &c[25]);
    return r;
}

VertexResult FlatDirectionalVertex(const MeshVertexInputs& v, const Constants& c)
{
    Frame f = MeshFrame(v, c[14], c);
    VertexResult r;
    Common(r, v, f, c);
    r.t[2] = r.position;
    F4 V = c[2] - f.world;
    r.t[1] = {Dot3(V, v.tangent), Dot3(V, v.binormal), Dot3(V, v.normal), 0};
    r.t[3] = InFrame(c[3], f);
    r.t[4] = Transform(f.world, &c[20]);
    r.t[4].z *= c[1].x;
    r.t[6] = Transform(f.world, &c[25]);
    return r;
}

VertexResult LayerVertex(const MeshVertexInputs& v, const Constants& c)
{
    Frame f = MeshFrame(v, c[0], c);
    VertexResult r;
    r.position = Transform(f.p, &c[4]);
    r.t[0] = v.uv * c[15];
    r.t[1] = f.p;
    r.t[2] = {f.T.x, f.B.x, f.N.x, 0};
    r.t[3] = {f.T.y, f.B.y, f.N.y, 0};
    r.t[4] = {f.T.z, f.B.z, f.N.z, 0};
    r.t[5] = {v.uv.x * c[15].z, v.uv.y * c[15].w, 0, 0};
    return r;
}
