#include "core/Noise.h"

#include "core/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(NoiseTest, BiasAndGainCurves)
{
    struct Case
    {
        float t, b;
        float fBias;
    };
    const Case bias[] = {{0.3f, 0.5f, 0.3f}, {0.8f, 0.5f, 0.8f}, {0.5f, 0.2f, 0.2f}, {0.5f, 0.9f, 0.9f}, {0.25f, 0.25f, 0.0625f}};
    for (const Case& c : bias)
        EXPECT_NEAR(Bias(c.t, c.b), c.fBias, 1e-6f) << c.t << " " << c.b;

    for (float g : {0.1f, 0.5f, 0.9f})
    {
        EXPECT_EQ(Gain(0.0005f, g), 0.0f);
        EXPECT_EQ(Gain(0.9995f, g), 1.0f);
        EXPECT_NEAR(Gain(0.5f, g), 0.5f, 1e-6f);
        // Symmetric about the middle.
        EXPECT_NEAR(Gain(0.2f, g) + Gain(0.8f, g), 1.0f, 1e-6f);
    }
    EXPECT_NEAR(Gain(0.3f, 0.5f), 0.3f, 1e-6f);
    // g = 0.75: exponent 2, so 0.25 maps to (0.5^2) / 2.
    EXPECT_NEAR(Gain(0.25f, 0.75f), 0.125f, 1e-6f);
}

TEST(NoiseTest, TablesHoldUnitGradientsAndAPermutation)
{
    SeedRandom(1);
    InitNoise();
    const NoiseTables& t = GetNoiseTables();
    std::vector<int> seen(NOISE_TABLE_SIZE, 0);
    for (int i = 0; i < NOISE_TABLE_SIZE; ++i)
    {
        ASSERT_GE(t.permutation[i], 0);
        ASSERT_LT(t.permutation[i], NOISE_TABLE_SIZE);
        ++seen[t.permutation[i]];
        EXPECT_NEAR(std::hypot(t.gradients2[i][0], t.gradients2[i][1]), 1.0f, 1e-5f);
        float f3 = std::sqrt(t.gradients3[i][0] * t.gradients3[i][0] + t.gradients3[i][1] * t.gradients3[i][1] +
                             t.gradients3[i][2] * t.gradients3[i][2]);
        EXPECT_NEAR(f3, 1.0f, 1e-5f);
        EXPECT_GE(t.gradients1[i], -1.0f);
        EXPECT_LT(t.gradients1[i], 1.0f);
    }
    for (int n : seen)
        EXPECT_EQ(n, 1);
    for (int i = 0; i < NOISE_TABLE_SIZE + 2; ++i)
    {
        EXPECT_EQ(t.permutation[NOISE_TABLE_SIZE + i], t.permutation[i]);
        EXPECT_EQ(t.gradients1[NOISE_TABLE_SIZE + i], t.gradients1[i]);
        EXPECT_EQ(t.gradients3[NOISE_TABLE_SIZE + i][2], t.gradients3[i][2]);
    }
    // The shuffle moved something.
    int nFixed = 0;
    for (int i = 0; i < NOISE_TABLE_SIZE; ++i)
        nFixed += t.permutation[i] == i;
    EXPECT_LT(nFixed, 100);
}

TEST(NoiseTest, ZeroGradientDrawIsDrawnAgain)
{
    // A draw of 4096 gives the component 0. Entry 0 draws: the 1D gradient, then two 2D
    // components (both zero, so drawn again), then three 3D components (all zero, drawn again).
    const int draws[] = {
        5000,                     // 1D gradient
        4096, 4096,               // 2D: zero
        4096 + 200, 4096 - 100,   // 2D again: direction (2, -1)
        4096, 4096, 4096,         // 3D: zero
        4096 + 300, 4096, 4096 + 400, // 3D again: direction (3, 0, 4)
    };
    SeedRandom(1);
    QueueRandomValues(draws, static_cast<int>(sizeof(draws) / sizeof(draws[0])));
    InitNoise();
    const NoiseTables& t = GetNoiseTables();
    EXPECT_FLOAT_EQ(t.gradients1[0], 904.0f / 4096.0f);
    EXPECT_NEAR(t.gradients2[0][0], 2.0f / std::sqrt(5.0f), 1e-6f);
    EXPECT_NEAR(t.gradients2[0][1], -1.0f / std::sqrt(5.0f), 1e-6f);
    EXPECT_NEAR(t.gradients3[0][0], 0.6f, 1e-6f);
    EXPECT_EQ(t.gradients3[0][1], 0.0f);
    EXPECT_NEAR(t.gradients3[0][2], 0.8f, 1e-6f);

    float zero[3] = {0, 0, 0};
    Normalize3(zero);
    EXPECT_EQ(zero[0], 0.0f);
    Normalize2(zero);
    EXPECT_EQ(zero[1], 0.0f);
}

TEST(NoiseTest, LatticeZerosPeriodAndSlope)
{
    SeedRandom(1);
    InitNoise();
    const NoiseTables& t = GetNoiseTables();
    float fLargest = 0.0f;
    for (int i = -3; i < 40; ++i)
    {
        float x = static_cast<float>(i);
        EXPECT_EQ(Noise1(x), 0.0f);
        EXPECT_EQ(Noise2(x, 7.0f), 0.0f);
        EXPECT_EQ(Noise3(x, -2.0f, 13.0f), 0.0f);
        // Eighths, so that moving by whole periods loses no bits next to the lattice offset of 4096.
        float fx = x + 0.375f, fy = 0.625f * x, fz = 5.25f - x;
        EXPECT_FLOAT_EQ(Noise1(fx), Noise1(fx + 256.0f));
        EXPECT_FLOAT_EQ(Noise2(fx, fy), Noise2(fx + 256.0f, fy - 256.0f));
        EXPECT_FLOAT_EQ(Noise3(fx, fy, fz), Noise3(fx, fy + 256.0f, fz + 512.0f));
        for (float v : {Noise1(fx), Noise2(fx, fy), Noise3(fx, fy, fz)})
        {
            EXPECT_LE(std::fabs(v), 1.5f);
            fLargest = std::max(fLargest, std::fabs(v));
        }
        // Next to lattice point k the 1D noise rises along its gradient (a step of 1/256 is
        // exact beside the offset of 4096; the smooth step bends it by about 3 h).
        if (i >= 0)
        {
            const float h = 1.0f / 256.0f;
            float g = t.gradients1[t.permutation[i & 255]];
            EXPECT_NEAR(Noise1(x + h) / h, g, 0.03f) << i;
        }
    }
    EXPECT_GT(fLargest, 0.1f);
}

TEST(NoiseTest, TurbulenceSumsOctaves)
{
    SeedRandom(3);
    InitNoise();
    const float x = 1.3f, y = -2.7f, z = 4.1f;
    float fExpected = 0.0f;
    for (float f : {8.0f, 4.0f, 2.0f, 1.0f})
        fExpected += std::fabs(Noise3(x * f, y * f, z * f)) / f;
    EXPECT_FLOAT_EQ(Turbulence(x, y, z, 8.0f), fExpected);
    EXPECT_FLOAT_EQ(Turbulence(x, y, z, 0.5f), std::fabs(Noise3(x * 0.5f, y * 0.5f, z * 0.5f)) / 0.5f);
    EXPECT_GT(Turbulence(x, y, z, 8.0f), 0.0f);
}

TEST(NoiseTest, HugeAndInvalidCoordinatesStayInTheTables)
{
    SeedRandom(1);
    InitNoise();
    EXPECT_TRUE(std::isfinite(Noise3(1e30f, -1e30f, 3e20f)));
    EXPECT_TRUE(std::isfinite(Noise2(NAN, 2.5f)));
    EXPECT_TRUE(std::isfinite(Noise1(-1e9f)));
}
