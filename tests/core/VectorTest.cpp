#include "core/Vector3.h"
#include "core/Vector4.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(FastInvSqrtTest, KnownValuesAndErrorBound)
{
    EXPECT_FLOAT_EQ(FastInvSqrt(1.0f), 0.9983072f);
    EXPECT_FLOAT_EQ(FastInvSqrt(4.0f), 0.49915358f);
    // One Newton step leaves the estimate at most about 0.18 % low across the float range.
    for (float x : {1e-6f, 0.01f, 0.5f, 2.0f, 3.0f, 25.0f, 1000.0f, 12345.678f, 1e12f})
    {
        double fExact = 1.0 / std::sqrt(static_cast<double>(x));
        double fRatio = FastInvSqrt(x) / fExact;
        EXPECT_LE(fRatio, 1.0) << x;
        EXPECT_GT(fRatio, 0.998) << x;
    }
}

TEST(VectorTest, NormalPacking)
{
    struct Case
    {
        Vector3 n;
        uint32_t nRGB;
        uint32_t nBGR;
    };
    const Case cases[] = {
        {{0, 0, 1}, 0x00FF7F7Fu, 0x007F7FFFu},
        {{0, 0, -1}, 0x00007F7Fu, 0x007F7F00u},
        {{1, 0, 0}, 0x007F7FFFu, 0x00FF7F7Fu},
        {{0, -1, 0}, 0x007F007Fu, 0x007F007Fu},
        // Shortened by the fast inverse square root to z = 0.9983072: 254, not 255.
        {{0, 0, 2}, 0x00FE7F7Fu, 0x007F7FFEu},
        // Shorter than 1: not lengthened, (0.5 + 1) * 127.5 = 191.25.
        {{0, 0, 0.5f}, 0x00BF7F7Fu, 0x007F7FBFu},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(PackNormalRGB8(c.n), c.nRGB) << c.n.x << " " << c.n.y << " " << c.n.z;
        EXPECT_EQ(PackNormalBGR8(c.n), c.nBGR) << c.n.x << " " << c.n.y << " " << c.n.z;
    }
}

TEST(VectorTest, ColourPackingTruncatesAndClamps)
{
    struct Case
    {
        float r, g, b, a;
        uint32_t nPacked;
    };
    const Case cases[] = {
        {1.0f, 0.5f, 0.0f, 1.0f, 0xFF007FFFu},
        {-0.5f, 2.0f, 0.25f, 0.0f, 0x003FFF00u},
        {0.999f, 0.01f, 100.0f, -100.0f, 0x00FF02FEu},
        {NAN, 0.0f, 0.0f, 1.0f, 0xFF000000u},
    };
    for (const Case& c : cases)
    {
        Vector4 v;
        v.Set(c.r, c.g, c.b, c.a);
        EXPECT_EQ(v.ToRGBA8(), c.nPacked) << c.r << " " << c.g << " " << c.b << " " << c.a;
    }
    EXPECT_EQ(Vector4(0.0f, 0.0f, 1.0f).ToRGBA8(), 0xFFFF0000u);
}

TEST(VectorTest, ArithmeticAndProducts)
{
    Vector3 a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(a + b, Vector3(5, -3, 9));
    EXPECT_EQ(a - b, Vector3(-3, 7, -3));
    EXPECT_EQ(-a, Vector3(-1, -2, -3));
    EXPECT_EQ(2.0f * a, Vector3(2, 4, 6));
    EXPECT_EQ(a * 2.0f, Vector3(2, 4, 6));
    EXPECT_EQ(b / 2.0f, Vector3(2, -2.5f, 3));
    EXPECT_FLOAT_EQ(Dot(a, b), 4 - 10 + 18);
    // Right-handed: x cross y = z.
    EXPECT_EQ(Cross(Vector3(1, 0, 0), Vector3(0, 1, 0)), Vector3(0, 0, 1));
    EXPECT_EQ(Cross(a, b), Vector3(2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4));
    EXPECT_FLOAT_EQ(LengthSquared(a), 14.0f);
    EXPECT_FLOAT_EQ(Length(Vector3(3, 4, 0)), 5.0f);
    EXPECT_FLOAT_EQ(Distance(a, b), std::sqrt(9.0f + 49.0f + 9.0f));

    Vector3 v = a;
    v += b;
    v -= a;
    EXPECT_EQ(v, b);
    v *= 0.5f;
    v /= 0.5f;
    EXPECT_EQ(v, b);

    Vector4 c = MakeVector4(1, 2, 3, 4), d = MakeVector4(0.5f, 0.5f, 2, -1);
    Vector4 p = c * d;
    EXPECT_EQ(p.x, 0.5f);
    EXPECT_EQ(p.w, -4.0f);
    c += d;
    EXPECT_EQ(c.z, 5.0f);
    c -= d;
    EXPECT_EQ((c / 2.0f).w, 2.0f);
    EXPECT_EQ((2.0f * c - c).y, 2.0f);
}

TEST(VectorTest, NormalizeExactAndFast)
{
    Vector3 v(3, 4, 0);
    v.Normalize();
    EXPECT_NEAR(Length(v), 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(Normalized(Vector3(0, 0, -7)).z, -1.0f);

    // The fast form is about 0.2 % short.
    Vector3 f(3, 4, 0);
    f.FastNormalize();
    EXPECT_NEAR(Length(f), 0.998f, 0.0015f);
    EXPECT_LT(Length(f), 1.0f);
    EXPECT_NEAR(Length(FastNormalized(Vector3(3, 4, 0))), 0.998f, 0.0015f);
    EXPECT_NEAR(FastLength(Vector3(3, 4, 0)), 5.0f, 0.01f);
}

TEST(VectorTest, EqualityHasNoTolerance)
{
    Vector3 a(1, 2, 3);
    Vector3 b(1, std::nextafter(2.0f, 3.0f), 3);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a == Vector3(1, 2, 3));
    EXPECT_FALSE(Vector3(NAN, 0, 0) == Vector3(NAN, 0, 0));
}
