// The pickers' colour maths against the values worked out by hand: RGB to HSB and back (with
// the ties, the wrap at 360 and the whole-degree round trip), and the handles' geometry.
#include "mfc_gui/ColorMath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
std::string Text(const HsbColor& c) { return std::to_string(c.h) + "," + std::to_string(c.s) + "," + std::to_string(c.b); }
std::string Text(const RgbColor& c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); }
}

TEST(ColorMathTest, RgbToHsbAndBack)
{
    struct Case
    {
        RgbColor rgb;
        const char* szHsb;
    } toHsb[] = {
        {{255, 255, 0}, "60,255,255"},  {{0, 0, 0}, "0,0,0"},       {{128, 128, 128}, "0,0,128"},
        {{255, 0, 1}, "359,255,255"},   // -1/255 x 60 + 360 = 359.76, truncated
        {{0, 240, 12}, "122,255,240"},  {{255, 0, 255}, "300,255,255"}, {{0, 255, 255}, "180,255,255"},
        {{255, 255, 255}, "0,0,255"},   {{100, 50, 50}, "0,127,100"},
    };
    for (const Case& c : toHsb)
        EXPECT_EQ(Text(RgbToHsb(c.rgb)), c.szHsb) << Text(c.rgb);
    struct Back
    {
        HsbColor hsb;
        const char* szRgb;
    } toRgb[] = {
        {{0, 255, 255}, "255,0,0"},   {{120, 255, 255}, "0,255,0"},  {{360, 255, 255}, "255,0,0"},
        {{240, 255, 255}, "0,0,255"}, {{122, 255, 240}, "0,240,7"},  // the whole-degree hue loses blue
        {{45, 0, 90}, "90,90,90"},    {{90, 255, 200}, "100,200,0"}, {{330, 255, 255}, "255,0,127"},
    };
    for (const Back& c : toRgb)
        EXPECT_EQ(Text(HsbToRgb(c.hsb)), c.szRgb) << Text(c.hsb);
    // Fully saturated, full brightness hues on whole multiples of 60 survive the round trip.
    for (const RgbColor& rgb : {RgbColor{255, 0, 0}, RgbColor{255, 255, 0}, RgbColor{0, 255, 0}, RgbColor{0, 255, 255},
                                RgbColor{0, 0, 255}, RgbColor{255, 0, 255}, RgbColor{77, 77, 77}})
        EXPECT_EQ(Text(HsbToRgb(RgbToHsb(rgb))), Text(rgb));
    EXPECT_EQ(RgbToColorref(RgbColor{1, 2, 3}), 0x030201u);
    EXPECT_EQ(Text(ColorrefToRgb(0x030201u)), "1,2,3");
}

TEST(ColorMathTest, HandleGeometry)
{
    EXPECT_EQ(Distance(0, 0, 3, 4), 5);
    EXPECT_EQ(Distance(0, 0, 1, 1), 1);   // 1.41 truncated
    EXPECT_DOUBLE_EQ(Angle(110, 100, 100, 100), 0.0);
    EXPECT_NEAR(Angle(100, 90, 100, 100), M_PI / 2, 1e-12);   // above the centre on the screen
    EXPECT_NEAR(Angle(90, 100, 100, 100), M_PI, 1e-12);
    EXPECT_DOUBLE_EQ(Angle(100, 100, 100, 100), 0.0);
    EXPECT_EQ(PolarToPoint(0, 255, 100, 100), CPoint(200, 100));
    // With pi in single precision, sin 90 and -cos 180 fall just short of 1 and truncate down.
    EXPECT_EQ(PolarToPoint(90, 255, 100, 100), CPoint(100, 1));
    EXPECT_EQ(PolarToPoint(180, 51, 100, 100), CPoint(81, 100));
    EXPECT_EQ(PolarToPoint(45, 255, 0, 0), CPoint(70, -70));
    EXPECT_DOUBLE_EQ(Slope(1, 1, 3, 5), 2.0);
    EXPECT_DOUBLE_EQ(Slope(4, 1, 4, 9), LineEq::VERTICAL_SLOPE);

    LineEq rising{0, 0, 1, 0}, falling{0, 10, -1, 10}, vertical{3, 0, LineEq::VERTICAL_SLOPE, 0}, steep{0, 1, 2, 1};
    EXPECT_DOUBLE_EQ(Intercept(falling), 10.0);
    EXPECT_DOUBLE_EQ(Intercept(LineEq{2, 7, 2, 0}), 3.0);
    EXPECT_EQ(Intersect(rising, falling), CPoint(5, 5));
    EXPECT_EQ(Intersect(vertical, steep), CPoint(3, 7));
    EXPECT_EQ(Intersect(steep, vertical), CPoint(3, 7));
    EXPECT_EQ(Intersect(rising, LineEq{0, 4, 1, 4}), CPoint(0, 0));   // parallel

    // Along the red axis of the cube picture (straight up) and along diagonals either way.
    EXPECT_EQ(PointAlongLine(102, 108, 102, 9, 50, 99), CPoint(102, 58));
    EXPECT_EQ(PointAlongLine(102, 108, 102, 207, 50, 99), CPoint(102, 158));
    EXPECT_EQ(PointAlongLine(0, 0, 30, 40, 25, 50), CPoint(15, 20));
    EXPECT_EQ(PointAlongLine(0, 0, -30, 40, 25, 50), CPoint(-15, 20));
    EXPECT_EQ(PointAlongLine(0, 0, 30, 40, 0, 50), CPoint(0, 0));
    EXPECT_EQ(PointAlongLine(0, 0, 30, 40, 50, 50), CPoint(30, 40));
}
