// The photon surface programs of direct photons on the program bench, each against its formula
// in C++: the point light's light vector and energy, the spot light's falloff table, the jittered
// hit position with a constant noise texture, and the translucent route (stay or refract with
// the ratio 1/sqrt(n)) for opacities 1.0, 0.999 and 0.
#include "SurfaceProgramBench.h"

#include <cmath>

using namespace surface_bench;

TEST(PhotonSurfaceProgram, PointLightPhotonKeepsItsLightVectorAndOpacityScaledColour)
{
    Bench bench;
    SetRow(bench.c[1], 2, 1, 0.5f, 1);
    SetRow(bench.c[14], 0, 0, 0.75f, 0.25f);
    SetRow(bench.c[29], 0.8f, 0.6f, 0.4f, 1);
    const V3 toLight[4] = {{3, 4, 0}, {-1, 0, 0}, {0.2f, -5, 1}, {0, 0, 7}};
    for (int p = 0; p < 4; ++p)
        bench.SetT(5, p, toLight[p]);
    const PixelQuadOutput out = bench.Run(746);
    for (int p = 0; p < 4; ++p)
    {
        ExpectPacked(out.oC[0][p], Normalize(toLight[p]), "ray");
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(out.oC[1][p][i], bench.c[29][i] * 0.75f);
    }
}

TEST(PhotonSurfaceProgram, SpotFalloffIsZeroOutsideHalfPhiAndOneInsideHalfTheta)
{
    Bench bench;
    const float fTheta = 30.0f, fPhi = 60.0f, fDegree = 3.14159265f / 180.0f;
    const float cosTheta = std::cos(fTheta * fDegree / 2), cosPhi = std::cos(fPhi * fDegree / 2);
    SetRow(bench.c[1], 2, 1, 0.5f, 1);
    SetRow(bench.c[14], 0, 0, 1, 0);
    SetRow(bench.c[15], 0, 0, 1, 0);   // the light shines along +z
    SetRow(bench.c[19], cosTheta, cosPhi, 1 / (cosTheta - cosPhi), 1);
    SetRow(bench.c[29], 1, 0.5f, 0.25f, 1);
    // Angles from the axis: inside half Theta, between, at the middle, outside half Phi.
    const float angles[4] = {10, 22.5f, 20, 40};
    for (int p = 0; p < 4; ++p)
    {
        const float a = angles[p] * fDegree;
        // The surface-to-light vector points back against the beam.
        bench.SetT(5, p, {-std::sin(a) * 3, 0, -std::cos(a) * 3});
    }
    const PixelQuadOutput out = bench.Run(774);
    for (int p = 0; p < 4; ++p)
    {
        const float ca = std::cos(angles[p] * fDegree);
        const float f = std::min(1.0f, std::max(0.0f, (ca - cosPhi) / (cosTheta - cosPhi)));
        if (angles[p] <= fTheta / 2)
        {
            EXPECT_EQ(f, 1.0f);
        }
        if (angles[p] >= fPhi / 2)
        {
            EXPECT_EQ(f, 0.0f);
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(out.oC[1][p][i], f * bench.c[29][i], 1e-5f) << angles[p];
    }
}

TEST(PhotonSurfaceProgram, HitPositionMovesByTheNoiseJitterOfItsFormula)
{
    Bench bench;
    TestTexture noise;
    noise.texels = {0.8f, 0.25f, 0.5f, 1.0f};
    bench.sampler.SetTexture(3, &noise);
    const float fExtent[3] = {0.012f, 0.02f, 0.004f};
    SetRow(bench.c[1], 2, 1, 1, 0.5f);
    SetRow(bench.c[16], fExtent[0], fExtent[1], fExtent[2], 47.33f);
    const V3 position = {1.5f, -2.0f, 3.25f};
    bench.SetAllT(0, position);
    bench.SetAllT(5, {2, 3, 1});
    const PixelQuadOutput out = bench.Run(720);
    const float p[3] = {position.x, position.y, position.z};
    for (int i = 0; i < 3; ++i)
    {
        const float w = 2 * noise.texels[static_cast<size_t>(i)] - 1;
        const float v = w * 0.5f + w;
        EXPECT_NEAR(out.oC[0][0][i], p[i] + v * fExtent[i], 1e-6f) << i;
        EXPECT_LE(std::fabs(out.oC[0][0][i] - p[i]), 1.5f * fExtent[i] + 1e-6f);
    }
}

TEST(PhotonSurfaceProgram, TranslucentSurfaceKeepsOrRefractsByOpacity)
{
    const float n = 1.5f;
    const V3 normal = {0, 0, 1};
    const V3 toLight[4] = {{1, 0, 2}, {0, -1, 3}, {0.3f, 0.4f, 1}, {0, 0, 1}};
    const V3 positions[4] = {{0.1f, 0.2f, 0.05f}, {1.3f, 0.7f, 0.2f}, {2.1f, 0.15f, 0.3f}, {0.45f, 0.33f, 0.1f}};
    struct Case
    {
        float fOpacity;
        bool bAllRefract;
    } cases[] = {{1.0f, false}, {0.999f, false}, {0.0f, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.fOpacity);
        Bench bench;
        TestTexture bump;
        bump.texels = {0.5f, 0.5f, 1.0f, 1.0f};   // the flat tangent-space normal
        bench.sampler.SetTexture(1, &bump);
        SetRow(bench.c[1], 2, 1, 0.5f, 1);
        SetRow(bench.c[11], 0, 0, 1 - c.fOpacity, 0);
        SetRow(bench.c[13], 0, 0, 1, 0.5f);
        SetRow(bench.c[14], 1 / std::sqrt(n), -1 / n, c.fOpacity, 1 - c.fOpacity);
        SetRow(bench.c[29], 0.9f, 0.7f, 0.5f, 1);
        bench.SetAllT(1, {0.5f, 0.5f, 0.5f}, 0.5f);
        bench.SetAllT(2, {1, 0, 0});
        bench.SetAllT(3, {0, 1, 0});
        bench.SetAllT(4, normal);
        for (int p = 0; p < 4; ++p)
        {
            bench.SetT(0, p, positions[p]);
            bench.SetT(5, p, toLight[p]);
        }
        const PixelQuadOutput out = bench.Run(767);
        for (int p = 0; p < 4; ++p)
        {
            const V3 lv = Normalize(toLight[p]);
            const float cosine = Dot(normal, lv), ratio = 1 / std::sqrt(n);
            const float k = 1 - (1 - cosine * cosine) / n;
            const V3 refracted = Normalize((ratio * cosine - std::sqrt(k)) * normal + (-ratio) * lv);
            // Snell's law for the ratio 1/sqrt(n): sin of the refracted angle = ratio x sin of the
            // incident one, on the far side of the surface.
            EXPECT_NEAR(std::sqrt(1 - refracted.z * refracted.z), ratio * std::sqrt(1 - cosine * cosine), 1e-5f);
            EXPECT_LT(refracted.z, 0.0f);
            const float fSum = positions[p].x + positions[p].y + positions[p].z;
            const bool bStays = (fSum - std::floor(fSum)) - (1 - c.fOpacity) >= 0;
            if (c.bAllRefract)
            {
                EXPECT_FALSE(bStays);
            }
            if (c.fOpacity == 1.0f)
            {
                EXPECT_TRUE(bStays);
            }
            ExpectPacked(out.oC[0][p], bStays ? lv : -1.0f * refracted, bStays ? "stays" : "refracted");
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(out.oC[1][p][i], bench.c[29][i]);
        }
    }
}
