#pragma once
// Four points of one bumped surface on the program bench, the cube that the curved-mesh programs
// look up (one normalised position per face, one face empty), and the C++ formulas of their
// rays: mirror, refraction with the ratio 1/sqrt(n), the exit through a bounding sphere.
#include "SurfaceProgramBench.h"

#include <algorithm>
#include <cmath>

namespace surface_bench
{
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float Length(V3 a) { return std::sqrt(Dot(a, a)); }

// The scene box of the decoded positions.
inline const V3 SCENE_MIN = {-3.0f, -2.0f, -1.0f};
inline const V3 SCENE_EXTENT = {8.0f, 6.0f, 4.0f};
// Where an environment image shows nothing (w 0): past the box on every axis.
inline const V3 NO_PHOTON = {6.0f, 5.0f, 4.0f};
// One texel per cube face, each a different normalised position.
inline V3 FaceTexel(int f) { return {0.1f + 0.15f * f, 0.9f - 0.1f * f, 0.2f + 0.05f * f}; }
inline V3 Decode(V3 s) { return {s.x * SCENE_EXTENT.x + SCENE_MIN.x, s.y * SCENE_EXTENT.y + SCENE_MIN.y, s.z * SCENE_EXTENT.z + SCENE_MIN.z}; }

// The cube face that shows nothing.
inline constexpr int EMPTY_FACE = 3;

// The face a direction looks up: its major axis, +x, -x, +y, -y, +z, -z.
inline int CubeFace(V3 d)
{
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    if (ax >= ay && ax >= az)
        return d.x >= 0 ? 0 : 1;
    if (ay >= az)
        return d.y >= 0 ? 2 : 3;
    return d.z >= 0 ? 4 : 5;
}

inline V3 Mirror(V3 n, V3 lv) { return 2 * Dot(n, lv) * n - lv; }
// The refraction of the incoming direction -lv with the ratio 1/sqrt(n).
inline V3 Refract(V3 normal, V3 lv, float n)
{
    const float c = Dot(normal, lv), ratio = 1 / std::sqrt(n);
    const float k = 1 - (1 - c * c) / n;
    return (ratio * c - std::sqrt(std::fabs(k))) * normal - ratio * lv;
}
// Where a ray from p along the unit u leaves the sphere (centre, r^2), relative to the centre.
inline V3 SphereExit(V3 p, V3 u, V3 centre, float r2)
{
    const V3 q = p - centre;
    const float b = Dot(u, q), s = std::sqrt(std::fabs(b * b - (Dot(q, q) - r2)));
    return q + (std::max(s - b, 0.0f) + std::max(-s - b, 0.0f)) * u;
}

// Four surface points of one material with their own positions and light vectors, a tilted
// tangent frame and a bump texel that leans the normal.
struct Surface
{
    const float fBumpPower = 0.5f;
    const V3 bumpTexel = {0.6f, 0.45f, 1.0f};
    // Tangent, binormal and normal in world space.
    const V3 frame[3] = {{0.96f, 0.0f, -0.28f}, {0.0f, 1.0f, 0.0f}, {0.28f, 0.0f, 0.96f}};
    const V3 positions[4] = {{0.1f, 0.2f, 0.05f}, {1.3f, 0.7f, 0.2f}, {2.1f, 0.15f, 0.3f}, {0.45f, 0.33f, 0.1f}};
    const V3 toLight[4] = {{1, 0, 2}, {0, -1, 3}, {-2.0f, 0.4f, 1}, {0.3f, 0.2f, 4}};
    TestTexture bump, noise, diffuse;
    TestTexture faces[6];
    // A cube that shows nothing in any direction.
    bool bEmptyCube = false;

    // Bump on stage 1, noise on stage 3, diffuse map on stage 0, the cube on stage 2; the
    // surface's inputs t0 to t5.
    void Prepare(Bench& bench, V3 noiseTexel)
    {
        bump.texels = {bumpTexel.x, bumpTexel.y, bumpTexel.z, 1.0f};
        noise.texels = {noiseTexel.x, noiseTexel.y, noiseTexel.z, 1.0f};
        diffuse.texels = {0.9f, 0.5f, 0.25f, 1.0f};
        const TestTexture* pFaces[6];
        for (int f = 0; f < 6; ++f)
        {
            const V3 v = FaceTexel(f);
            faces[f].texels = {v.x, v.y, v.z, f == EMPTY_FACE || bEmptyCube ? 0.0f : 1.0f};
            pFaces[f] = &faces[f];
        }
        bench.sampler.SetTexture(0, &diffuse);
        bench.sampler.SetTexture(1, &bump);
        bench.sampler.SetCube(2, pFaces);
        bench.sampler.SetTexture(3, &noise);
        SetRow(bench.c[8], 0.5f, 0.5f, 0.5f, 1);
        SetRow(bench.c[13], 0, 0, 1, fBumpPower);
        SetRow(bench.c[20], NO_PHOTON.x, NO_PHOTON.y, NO_PHOTON.z, 0);
        SetRow(bench.c[23], SCENE_EXTENT.x, SCENE_EXTENT.y, SCENE_EXTENT.z, 1);
        SetRow(bench.c[24], SCENE_MIN.x, SCENE_MIN.y, SCENE_MIN.z, 1);
        SetRow(bench.c[29], 0.8f, 0.6f, 0.4f, 1);
        bench.SetAllT(1, {0.25f, 0.5f, 0.5f}, 0.25f);
        bench.SetAllT(2, {frame[0].x, frame[1].x, frame[2].x});
        bench.SetAllT(3, {frame[0].y, frame[1].y, frame[2].y});
        bench.SetAllT(4, {frame[0].z, frame[1].z, frame[2].z});
        for (int p = 0; p < 4; ++p)
        {
            bench.SetT(0, p, positions[p]);
            bench.SetT(5, p, toLight[p]);
        }
    }
    // The bumped world normal, optionally with an offset added to the tangent-space normal.
    V3 Normal(V3 offset = {0, 0, 0}) const
    {
        const V3 n = fBumpPower * V3{2 * bumpTexel.x - 1, 2 * bumpTexel.y - 1, 2 * bumpTexel.z - 1} + V3{0, 0, 1} + offset;
        // t2, t3, t4: the rows of the frame whose columns are the tangent, binormal and normal.
        const V3 t2 = {frame[0].x, frame[1].x, frame[2].x}, t3 = {frame[0].y, frame[1].y, frame[2].y},
                 t4 = {frame[0].z, frame[1].z, frame[2].z};
        return Normalize({Dot(t2, n), Dot(t3, n), Dot(t4, n)});
    }
    V3 LightVector(int p) const { return Normalize(toLight[p]); }
    V3 Energy(const Bench& bench, float fScale) const
    {
        return {diffuse.texels[0] * bench.c[2][0] * bench.c[29][0] * fScale,
                diffuse.texels[1] * bench.c[2][1] * bench.c[29][1] * fScale,
                diffuse.texels[2] * bench.c[2][2] * bench.c[29][2] * fScale};
    }
};

inline V3 Rgb(const float* pColour) { return {pColour[0], pColour[1], pColour[2]}; }

inline void ExpectNear(V3 actual, V3 expected, float fTolerance, const char* szWhat)
{
    EXPECT_NEAR(actual.x, expected.x, fTolerance) << szWhat;
    EXPECT_NEAR(actual.y, expected.y, fTolerance) << szWhat;
    EXPECT_NEAR(actual.z, expected.z, fTolerance) << szWhat;
}
}
