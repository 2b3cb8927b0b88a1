#include "scene/LightSource.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// The falloff written out independently: sin(pi * d / (d + 700)) equals sin(pi - pi d / (d + 700)).
double Falloff(double d)
{
    return std::sin(M_PI * d / (d + 700.0));
}
}

TEST(LightSourceTest, PointLightFollowsTheFalloff)
{
    LightSource light(Vector3(10.0f, 0.0f, 0.0f), WHITE, 2.0f);
    struct Case
    {
        Vector3 vPoint;
        double dDistance;
    };
    const Case cases[] = {
        {Vector3(710.0f, 0.0f, 0.0f), 700.0},    // the peak
        {Vector3(10.0f, 350.0f, 0.0f), 350.0},   // sin(pi / 3)
        {Vector3(10.0f, 0.0f, -2100.0f), 2100.0},
        {Vector3(13.0f, 4.0f, 0.0f), 5.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(light.Evaluate(c.vPoint, 0.0f), 2.0 * Falloff(c.dDistance), 1e-5) << c.dDistance;
    EXPECT_NEAR(light.Evaluate(Vector3(710.0f, 0.0f, 0.0f), -1.0e6f), 2.0f, 1e-5) << "no fade whatever t";
    EXPECT_EQ(light.Evaluate(Vector3(10.0f, 0.0f, 0.0f), 0.0f), 0.0f) << "at the light itself";
}

TEST(LightSourceTest, SpotLightScalesByTheCosineAndFactor)
{
    LightSource light(Vector3(0.0f, 0.0f, 0.0f), WHITE, 2.0f);
    light.SetDirection(Vector3(3.0f, 0.0f, 0.0f), 0.5f, false);
    EXPECT_FLOAT_EQ(light.m_vDirection.x, 1.0f) << "stored normalised";

    struct Case
    {
        Vector3 vPoint;
        double dExpected;
    };
    const double r = 700.0 / std::sqrt(2.0);
    const Case cases[] = {
        {Vector3(700.0f, 0.0f, 0.0f), 1.0},                          // on the axis at the peak
        {Vector3(float(r), float(r), 0.0f), std::cos(M_PI / 4)},     // 45 degrees off
        {Vector3(0.0f, 0.0f, 700.0f), 0.0},                          // square to the axis
        {Vector3(-700.0f, 0.0f, 0.0f), -1.0},                        // behind: negative
        {Vector3(1400.0f, 0.0f, 0.0f), Falloff(1400.0)},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(light.Evaluate(c.vPoint, 0.0f), c.dExpected, 1e-5) << c.vPoint.x << "," << c.vPoint.y;

    light.SetDirection(Vector3(1.0f, 0.0f, 0.0f), 0.5f, true);
    EXPECT_NEAR(light.Evaluate(Vector3(-700.0f, 0.0f, 0.0f), 0.0f), 1.0, 1e-5) << "two-sided";
}

TEST(LightSourceTest, FadeInAndOut)
{
    LightSource light(Vector3(0.0f, 0.0f, 0.0f), WHITE, 2.0f);
    light.SetDirection(Vector3(1.0f, 0.0f, 0.0f), 0.5f, false);
    const Vector3 vPeak(700.0f, 0.0f, 0.0f);
    struct Case
    {
        float fFadeA, fFadeB, t;
        double dWeight;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 30000.0f, 1.0},      // 1.5 lowered to 1
        {0.0f, 0.0f, 10000.0f, 0.5},      // fading in from t = B
        {2000.0f, 4000.0f, 2000.0f, 1.0},   // A below B: fading out from t = A
        {2000.0f, 4000.0f, 6000.0f, 0.8},
        {2000.0f, 4000.0f, 12000.0f, 0.5},
        {2000.0f, 4000.0f, 32000.0f, 0.0},  // -0.5 raised to 0
    };
    for (const Case& c : cases)
    {
        light.SetFade(true, c.fFadeA);
        light.SetFade(false, c.fFadeB);
        EXPECT_NEAR(light.Evaluate(vPeak, c.t), c.dWeight, 1e-5) << c.fFadeA << " " << c.fFadeB << " " << c.t;
    }
}

TEST(LightSourceTest, ZeroDirectionGivesNothing)
{
    LightSource light(Vector3(0.0f, 0.0f, 0.0f), WHITE, 2.0f);
    light.SetDirection(Vector3(0.0f, 0.0f, 0.0f), 1.0f, false);
    float fResult = light.Evaluate(Vector3(700.0f, 0.0f, 0.0f), 0.0f);
    EXPECT_EQ(fResult, 0.0f);
}
