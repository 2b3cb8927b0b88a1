#include "mfc_gui/ColorMath.h"

#include <algorithm>
#include <cmath>

namespace
{
// The single-precision pi the pickers' angles use.
const double PI_SINGLE = static_cast<double>(3.1415927f);
}

HsbColor RgbToHsb(const RgbColor& rgb)
{
    const int nMax = std::max({rgb.r, rgb.g, rgb.b});
    const int nMin = std::min({rgb.r, rgb.g, rgb.b});
    const double delta = nMax - nMin;
    HsbColor hsb;
    hsb.b = nMax;
    if (delta == 0.0)
        return hsb;
    hsb.s = static_cast<int>(delta / nMax * 255.0);
    // Ties go to red, then green.
    double h = 0.0;
    if (rgb.r == nMax)
        h = (rgb.g - rgb.b) / delta;
    else if (rgb.g == nMax)
        h = (rgb.b - rgb.r) / delta + 2.0;
    else
        h = (rgb.r - rgb.g) / delta + 4.0;
    h *= 60.0;
    if (h < 0.0)
        h += 360.0;
    if (h == 360.0)
        h = 0.0;
    hsb.h = static_cast<int>(h);
    return hsb;
}

RgbColor HsbToRgb(const HsbColor& hsb)
{
    const double V = hsb.b, D = hsb.s * V / 255.0, m = V - D, H = hsb.h;
    double r = V, g = m, b = m;
    if (hsb.h <= 60)
        g = m + H / 60.0 * D;
    else if (hsb.h < 120)
    {
        r = m - (H / 60.0 - 2.0) * D;
        g = V;
    }
    else if (hsb.h < 180)
    {
        r = m;
        g = V;
        b = m + (H / 60.0 - 2.0) * D;
    }
    else if (hsb.h < 240)
    {
        r = m;
        g = m - (H / 60.0 - 4.0) * D;
        b = V;
    }
    else if (hsb.h <= 300)
    {
        r = m + (H / 60.0 - 4.0) * D;
        b = V;
    }
    else
        b = m - (H - 360.0) / 60.0 * D;
    return RgbColor{static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)};
}

COLORREF RgbToColorref(const RgbColor& rgb)
{
    return RGB(rgb.r & 0xFF, rgb.g & 0xFF, rgb.b & 0xFF);
}

RgbColor ColorrefToRgb(COLORREF color)
{
    return RgbColor{GetRValue(color), GetGValue(color), GetBValue(color)};
}

int Distance(int x1, int y1, int x2, int y2)
{
    const double dx = x1 - x2, dy = y1 - y2;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

double Angle(int x, int y, int cx, int cy)
{
    if (x == cx && y == cy)
        return 0.0;
    return std::atan2(static_cast<double>(cy - y), static_cast<double>(x - cx));
}

CPoint PolarToPoint(int nHue, int nSaturation, int cx, int cy)
{
    const double a = nHue * PI_SINGLE / 180.0;
    const double r = nSaturation * 100.0 / 255.0;
    return CPoint(cx + static_cast<int>(std::cos(a) * r), cy - static_cast<int>(std::sin(a) * r));
}

double Slope(int x1, int y1, int x2, int y2)
{
    if (x2 == x1)
        return LineEq::VERTICAL_SLOPE;
    return static_cast<double>(y2 - y1) / static_cast<double>(x2 - x1);
}

double Intercept(const LineEq& line)
{
    if (line.m == LineEq::VERTICAL_SLOPE)
        return line.y;
    return line.y - line.m * line.x;
}

CPoint Intersect(const LineEq& l1, const LineEq& l2)
{
    if (l1.m == l2.m)
        return CPoint(0, 0);
    double x = 0, y = 0;
    if (l1.m == LineEq::VERTICAL_SLOPE)
    {
        x = l1.x;
        y = l2.m * x + l2.c;
    }
    else if (l2.m == LineEq::VERTICAL_SLOPE)
    {
        x = l2.x;
        y = l1.m * x + l1.c;
    }
    else
    {
        y = (l1.c * l2.m - l2.c * l1.m) / (l2.m - l1.m);
        x = (y - l1.c) / l1.m;
    }
    return CPoint(static_cast<int>(x), static_cast<int>(y));
}

CPoint PointAlongLine(int x1, int y1, int x2, int y2, int d, int nLimit)
{
    // Worked with y upward.
    y1 = -y1;
    y2 = -y2;
    auto outside = [&](int x, int y) { return Distance(x, y, x1, y1) > nLimit || Distance(x, y, x2, y2) > nLimit; };
    int x = x1, y = y1 + d;
    if (x1 == x2)
    {
        if (outside(x, y))
            y = y1 - d;
        return CPoint(x, -y);
    }
    const double m = static_cast<double>(y2 - y1) / (x2 - x1), c = y1 - m * x1;
    const double b = 2.0 * x1, q = static_cast<double>(x1) * x1 - static_cast<double>(d) * d / (m * m + 1.0);
    const double root = std::sqrt(std::max(0.0, b * b - 4.0 * q));
    double fx = (b + root) / 2.0;
    x = static_cast<int>(fx);
    y = static_cast<int>(m * fx + c);
    if (outside(x, y))
    {
        fx = (b - root) / 2.0;
        x = static_cast<int>(fx);
        y = static_cast<int>(m * fx + c);
    }
    return CPoint(x, -y);
}
