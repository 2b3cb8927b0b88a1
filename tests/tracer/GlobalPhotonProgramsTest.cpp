// The photon surface programs of global photons and of photons passed on through translucent
// meshes, and the normalised-position program of the cube and mirror images, on the program
// bench against their formulas in C++: reflections scattered by the noise or kept as mirror
// bounces by the position hash, the flat reflection's shaken normal, refraction with the ratio
// 1/sqrt(n) (Snell), the exit through the bounding sphere into the object cube map, the
// reflect-or-refract route of translucent meshes, and the planar mirror look-up at the pixel's
// own position.
#include "SurfacePoints.h"

#include <algorithm>
#include <cmath>

using namespace surface_bench;

namespace
{
V3 Landed(int nFace) { return nFace == EMPTY_FACE ? NO_PHOTON : Decode(FaceTexel(nFace)); }

float Hash(V3 p) { const float s = p.x + p.y + p.z; return s - std::floor(s); }

// The stored vector of a bounced photon: (-d + 1) / 2.
V3 UnpackReversed(const float* pColour) { return {1 - 2 * pColour[0], 1 - 2 * pColour[1], 1 - 2 * pColour[2]}; }
}

TEST(GlobalPhotonProgram, OpaqueReflectionIsAMirrorBounceBelowTheReflectionWeightAndScatteredAbove)
{
    Bench bench;
    Surface surface;
    const V3 noiseTexel = {0.8f, 0.3f, 0.6f};
    surface.Prepare(bench, noiseTexel);
    const float fWeight = 0.5f;
    SetRow(bench.c[1], 2, 1, 0.5f, 1);
    SetRow(bench.c[2], 0.5f, 1.0f, 0.75f, 1);
    SetRow(bench.c[11], 1, fWeight, 0, 1);
    SetRow(bench.c[16], 0, 0, 47.32f, 1);
    SetRow(bench.c[19], 0.7f, 1, 0.15f, 0.3f);
    const PixelQuadOutput out = bench.Run(747);
    const V3 v = {2 * noiseTexel.x - 1, 2 * noiseTexel.y - 1, 2 * noiseTexel.z - 1};
    int nMirror = 0;
    for (int p = 0; p < 4; ++p)
    {
        const bool bMirror = Hash(surface.positions[p]) < fWeight;
        nMirror += bMirror;
        const V3 m = Mirror(surface.Normal(), surface.LightVector(p));
        const V3 d = Normalize(bMirror ? m : m + 0.3f * v);
        ExpectNear(UnpackReversed(out.oC[0][p]), d, 2e-5f, bMirror ? "mirror" : "scattered");
        ExpectNear(Rgb(out.oC[1][p]), surface.Energy(bench, 1), 1e-5f, "energy");
    }
    // Both routes are taken by this quad.
    EXPECT_EQ(nMirror, 2);
}

TEST(GlobalPhotonProgram, FlatReflectionShakesTheTangentNormalByTheNoise)
{
    Bench bench;
    Surface surface;
    const V3 noiseTexel = {0.2f, 0.7f, 0.5f};
    surface.Prepare(bench, noiseTexel);
    SetRow(bench.c[1], 2, 1, 0.5f, 1);
    SetRow(bench.c[2], 1, 0.5f, 0.5f, 1);
    SetRow(bench.c[11], 0.9f, 0.7f, 0, 1);
    SetRow(bench.c[16], 0, 0, 21.32f, 1);
    SetRow(bench.c[19], 0.7f, 1, 0.15f, 0.3f);
    const PixelQuadOutput out = bench.Run(748);
    const V3 offset = 0.3f * V3{2 * noiseTexel.x - 1, 2 * noiseTexel.y - 1, 2 * noiseTexel.z - 1};
    for (int p = 0; p < 4; ++p)
    {
        const V3 d = Normalize(Mirror(surface.Normal(offset), surface.LightVector(p)));
        ExpectNear(UnpackReversed(out.oC[0][p]), d, 2e-5f, "reflected");
        ExpectNear(Rgb(out.oC[1][p]), surface.Energy(bench, 0.9f), 1e-5f, "energy");
    }
}

TEST(GlobalPhotonProgram, RefractionFollowsSnellWithTheRatioOneOverRootN)
{
    for (const float n : {1.5f, 2.25f})
    {
        SCOPED_TRACE(n);
        Bench bench;
        Surface surface;
        surface.Prepare(bench, {0.5f, 0.5f, 0.5f});
        const float fOpacity = 0.25f;
        SetRow(bench.c[1], 2, 1, 0.5f, 1);
        SetRow(bench.c[11], 1, 0.5f, 1 - fOpacity, 1);
        SetRow(bench.c[14], 1 / std::sqrt(n), -1 / n, fOpacity, 1 - fOpacity);
        // Not read by the program: the energy's formula below has no diffuse colour factor.
        SetRow(bench.c[2], 1, 1, 1, 1);
        const PixelQuadOutput out = bench.Run(749);
        const V3 normal = surface.Normal();
        for (int p = 0; p < 4; ++p)
        {
            const V3 lv = surface.LightVector(p);
            const V3 t = Refract(normal, lv, n);
            // The stored vector is T itself, (T + 1) / 2.
            const V3 stored = {2 * out.oC[0][p][0] - 1, 2 * out.oC[0][p][1] - 1, 2 * out.oC[0][p][2] - 1};
            ExpectNear(stored, t, 2e-5f, "refracted");
            // Snell: sin of the refracted angle = sin of the incident one / sqrt(n), on the far side.
            EXPECT_NEAR(Length(Cross(stored, normal)) / Length(stored), Length(Cross(lv, normal)) / std::sqrt(n), 1e-4f);
            EXPECT_LT(Dot(stored, normal), 0.0f);
            // The transmitted share of the light: diffuse x c11.x x colour x (1 - o).
            ExpectNear(Rgb(out.oC[1][p]), surface.Energy(bench, 1 - fOpacity), 1e-5f, "energy");
        }
    }
}

TEST(GlobalPhotonProgram, TranslucentMeshPassesPhotonsOnThroughItsSphereIntoTheCubeMap)
{
    const float n = 1.5f;
    const V3 centre = {1.0f, 0.3f, 0.15f};
    const float r2 = 2.5f;
    // Opacity 1: every photon stays; 0: every photon passes on; between: the hash decides.
    for (const float fOpacity : {1.0f, 0.5f, 0.0f})
    {
        SCOPED_TRACE(fOpacity);
        Bench bench;
        Surface surface;
        surface.Prepare(bench, {0.5f, 0.5f, 0.5f});
        SetRow(bench.c[1], 2, 1, 1, 0.5f);
        SetRow(bench.c[11], 0, 0, 1 - fOpacity, 0);
        SetRow(bench.c[14], 1 / std::sqrt(n), -1 / n, fOpacity, 1 - fOpacity);
        SetRow(bench.c[18], centre.x, centre.y, centre.z, 0);
        SetRow(bench.c[22], 0, 0, 0, r2);
        const PixelQuadOutput out = bench.Run(768);
        int nStayed = 0;
        for (int p = 0; p < 4; ++p)
        {
            const bool bStays = Hash(surface.positions[p]) - (1 - fOpacity) >= 0;
            nStayed += bStays;
            const V3 u = Normalize(Refract(surface.Normal(), surface.LightVector(p), n));
            const V3 landed = Landed(CubeFace(SphereExit(surface.positions[p], u, centre, r2)));
            ExpectNear(Rgb(out.oC[0][p]), bStays ? surface.positions[p] : landed, 1e-4f, bStays ? "stays" : "passed on");
        }
        EXPECT_EQ(nStayed, fOpacity == 1.0f ? 4 : fOpacity == 0.0f ? 0 : 2);
    }
    // Passed on into a cube that shows nothing, every photon is lost.
    Bench bench;
    Surface surface;
    surface.bEmptyCube = true;
    surface.Prepare(bench, {0.5f, 0.5f, 0.5f});
    SetRow(bench.c[1], 2, 1, 1, 0.5f);
    SetRow(bench.c[11], 0, 0, 1, 0);
    SetRow(bench.c[14], 1 / std::sqrt(n), -1 / n, 0, 1);
    SetRow(bench.c[18], centre.x, centre.y, centre.z, 0);
    SetRow(bench.c[22], 0, 0, 0, r2);
    const PixelQuadOutput out = bench.Run(768);
    for (int p = 0; p < 4; ++p)
        ExpectNear(Rgb(out.oC[0][p]), NO_PHOTON, 1e-6f, "lost");
}

TEST(GlobalPhotonProgram, TranslucentCurvedMeshReflectsOrRefractsByTheNoise)
{
    const float n = 1.5f;
    // The noise's first channel 0.8 gives v.x = 0.6: reflected when 1 - o <= 0.6.
    struct Case
    {
        float fOpacity;
        bool bReflected;
        bool bEmptyCube;
    } cases[] = {{0.5f, true, false}, {0.2f, false, false}, {0.2f, false, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.fOpacity);
        Bench bench;
        Surface surface;
        const V3 noiseTexel = {0.8f, 0.1f, 0.35f};
        surface.bEmptyCube = c.bEmptyCube;
        surface.Prepare(bench, noiseTexel);
        SetRow(bench.c[1], 2, 1, 0.5f, 1);
        SetRow(bench.c[11], 1, 0.5f, 1 - c.fOpacity, 1);
        SetRow(bench.c[14], 1 / std::sqrt(n), -1 / n, c.fOpacity, 1 - c.fOpacity);
        SetRow(bench.c[16], 0, 0, 49.12f, 1);
        SetRow(bench.c[19], 0.7f, 1, 0.15f, 0.3f);
        const PixelQuadOutput out = bench.Run(742);
        const V3 v = {2 * noiseTexel.x - 1, 2 * noiseTexel.y - 1, 2 * noiseTexel.z - 1};
        for (int p = 0; p < 4; ++p)
        {
            const V3 normal = surface.Normal(), lv = surface.LightVector(p);
            const V3 d = c.bReflected ? Mirror(normal, lv) + 0.3f * v : Refract(normal, lv, n);
            ExpectNear(Rgb(out.oC[0][p]), c.bEmptyCube ? NO_PHOTON : Landed(CubeFace(d)), 1e-4f, "landed");
        }
    }
}

TEST(GlobalPhotonProgram, OpaqueCurvedMeshLooksUpTheCubeTowardsItsSphereExit)
{
    // A sphere around the origin with the points near its rim, so that the exit point's face
    // differs from the reflected direction's for some of them.
    const float r2 = 4.0f;
    for (const float fWeight : {0.0f, 1.0f})
    {
        SCOPED_TRACE(fWeight);
        Bench bench;
        Surface surface;
        const V3 noiseTexel = {0.9f, 0.2f, 0.1f};
        surface.Prepare(bench, noiseTexel);
        const V3 rim[4] = {{0.0f, -1.9f, 0.0f}, {1.8f, 0.3f, 0.2f}, {-0.5f, 1.7f, 0.6f}, {0.2f, 0.1f, -1.8f}};
        for (int p = 0; p < 4; ++p)
            bench.SetT(0, p, rim[p]);
        SetRow(bench.c[1], 2, 1, 0.5f, 1);
        SetRow(bench.c[11], 1, fWeight, 0, 1);
        SetRow(bench.c[16], 0, 0, 49.12f, 1);
        SetRow(bench.c[18], 0, 0, 0, 0);
        SetRow(bench.c[19], 0.7f, 1, 0.2f, 0.3f);
        SetRow(bench.c[22], 0, 0, 0, r2);
        const PixelQuadOutput out = bench.Run(732);
        int nExitFaceDiffers = 0;
        for (int p = 0; p < 4; ++p)
        {
            const V3 u = Normalize(Mirror(surface.Normal(), surface.LightVector(p)));
            const V3 e = Normalize(SphereExit(rim[p], u, {0, 0, 0}, r2));
            nExitFaceDiffers += CubeFace(e) != CubeFace(u);
            // The noise stays in [0, 1] and is left out when the hash falls below the weight.
            const bool bScattered = Hash(rim[p]) >= fWeight;
            const V3 d = bScattered ? e + 0.3f * noiseTexel : e;
            ExpectNear(Rgb(out.oC[0][p]), Landed(CubeFace(d)), 1e-4f, "landed");
        }
        EXPECT_GT(nExitFaceDiffers, 0);
    }
}

TEST(GlobalPhotonProgram, FlatMeshReadsTheMirrorImageAtItsOwnPixel)
{
    Bench bench;
    TestTexture mirror;
    mirror.nWidth = mirror.nHeight = 4;
    // Texel 6 shows nothing.
    for (int i = 0; i < 16; ++i)
        mirror.texels.insert(mirror.texels.end(), {0.05f * i, 1 - 0.05f * i, 0.03f * i, i == 6 ? 0.0f : 1.0f});
    bench.sampler.SetTexture(2, &mirror);
    SetRow(bench.c[8], 0.5f, 0.5f, 0.5f, 1);
    SetRow(bench.c[13], 0, 0, 1, 0);
    SetRow(bench.c[20], NO_PHOTON.x, NO_PHOTON.y, NO_PHOTON.z, 0);
    SetRow(bench.c[23], SCENE_EXTENT.x, SCENE_EXTENT.y, SCENE_EXTENT.z, 1);
    SetRow(bench.c[24], SCENE_MIN.x, SCENE_MIN.y, SCENE_MIN.z, 1);
    // Pixels at the centres of mirror texels (x, y), in clip space with different w.
    const int texels[4][2] = {{0, 0}, {3, 1}, {2, 1}, {2, 3}};
    const float w[4] = {1.0f, 2.5f, 0.5f, 7.0f};
    for (int p = 0; p < 4; ++p)
    {
        const float sx = 2 * (texels[p][0] + 0.5f) / 4 - 1, sy = 1 - 2 * (texels[p][1] + 0.5f) / 4;
        bench.SetT(6, p, {sx * w[p], sy * w[p], 0.3f * w[p]}, w[p]);
    }
    const PixelQuadOutput out = bench.Run(738);
    for (int p = 0; p < 4; ++p)
    {
        const float* s = &mirror.texels[static_cast<size_t>(4 * (texels[p][1] * 4 + texels[p][0]))];
        ExpectNear(Rgb(out.oC[0][p]), s[3] == 0.0f ? NO_PHOTON : Decode({s[0], s[1], s[2]}), 1e-4f, "mirror");
    }
}

TEST(GlobalPhotonProgram, NormalisedPositionMapsTheSceneBoxOntoTheUnitCube)
{
    Bench bench;
    SetRow(bench.c[1], 1 / SCENE_EXTENT.x, 1 / SCENE_EXTENT.y, 1 / SCENE_EXTENT.z, 1);
    SetRow(bench.c[2], SCENE_MIN.x, SCENE_MIN.y, SCENE_MIN.z, 1);
    const V3 points[4] = {SCENE_MIN, SCENE_MIN + SCENE_EXTENT, {0, 0, 0}, {1.5f, -0.5f, 2.0f}};
    for (int p = 0; p < 4; ++p)
        bench.SetT(0, p, points[p]);
    const PixelQuadOutput out = bench.Run(762);
    for (int p = 0; p < 4; ++p)
    {
        const V3 q = points[p] - SCENE_MIN;
        ExpectNear(Rgb(out.oC[0][p]), {q.x / SCENE_EXTENT.x, q.y / SCENE_EXTENT.y, q.z / SCENE_EXTENT.z}, 1e-6f,
                   "normalised");
        EXPECT_EQ(out.oC[0][p][3], 1.0f);
        // Decoding gives the point back.
        ExpectNear(Decode(Rgb(out.oC[0][p])), points[p], 1e-5f, "decoded");
    }
}
