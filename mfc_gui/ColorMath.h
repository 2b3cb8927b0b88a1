#pragma once
// The colour pickers' maths: RGB to hue, saturation and brightness and back (whole numbers, so
// a round trip may move a channel a little), and the plane geometry of their handles in screen
// coordinates (y downward). Conversions from double to int truncate toward zero.
#include <mfc/afxwin.h>

struct RgbColor
{
    int r = 0, g = 0, b = 0;   // 0 to 255
};

struct HsbColor
{
    int h = 0;   // degrees 0 to 359, counter-clockwise from the right
    int s = 0;   // 0 to 255
    int b = 0;   // 0 to 255
};

// y = m x + c through (x, y); a vertical line has the slope VERTICAL_SLOPE and c = y.
struct LineEq
{
    static constexpr double VERTICAL_SLOPE = 1000000.0;
    double x = 0, y = 0, m = 0, c = 0;
};

HsbColor RgbToHsb(const RgbColor& rgb);
RgbColor HsbToRgb(const HsbColor& hsb);
// r | g << 8 | b << 16, the low byte of each.
COLORREF RgbToColorref(const RgbColor& rgb);
RgbColor ColorrefToRgb(COLORREF color);

int Distance(int x1, int y1, int x2, int y2);
// The point's angle around the centre with y upward, in (-pi, pi]; 0 at the centre.
double Angle(int x, int y, int cx, int cy);
// Hue as the angle and saturation as the radius (255 is 100 pixels) around the centre.
CPoint PolarToPoint(int nHue, int nSaturation, int cx, int cy);
double Slope(int x1, int y1, int x2, int y2);
double Intercept(const LineEq& line);
// Parallel lines give (0, 0).
CPoint Intersect(const LineEq& line1, const LineEq& line2);
// The point d from P1 on the line through P1 and P2, on the root whose distances to both ends
// stay within nLimit (the segment's length): inside the segment for 0 <= d <= its length.
CPoint PointAlongLine(int x1, int y1, int x2, int y2, int d, int nLimit);
