#include "ColorPickerPictures.h"

#include "mfc_gui/ColorMath.h"
#include "mfc_gui/Dib.h"

#include <cmath>
#include <cstring>

namespace
{
const COLORREF GROUND = RGB(0xC0, 0xC0, 0xC0);

std::vector<uint8_t> FileOf(const CDib& dib)
{
    size_t nSize = 0;
    std::unique_ptr<BYTE[]> pBytes = dib.BmpBytes(nSize);
    return pBytes ? std::vector<uint8_t>(pBytes.get(), pBytes.get() + nSize) : std::vector<uint8_t>();
}
}

std::vector<uint8_t> MakeRgbCubeBitmapFile()
{
    CDib dib;
    if (!dib.Create(190, 190, 24))
        return {};
    dib.Fill(GROUND);
    const double cx = 102, cy = 108;
    // The axes from the black corner, one per channel.
    const double axes[3][2] = {{0, 9 - cy}, {23 - cx, 147 - cy}, {181 - cx, 147 - cy}};
    for (int y = 0; y < 190; ++y)
        for (int x = 0; x < 190; ++x)
        {
            // The point as a u + b v on each face (red-green, green-blue, blue-red).
            for (int nFace = 0; nFace < 3; ++nFace)
            {
                const int i = nFace, j = (nFace + 1) % 3;
                const double ux = axes[i][0], uy = axes[i][1], vx = axes[j][0], vy = axes[j][1];
                const double det = ux * vy - uy * vx;
                const double px = x + 0.5 - cx, py = y + 0.5 - cy;
                const double a = (px * vy - py * vx) / det, b = (ux * py - uy * px) / det;
                if (a < 0.0 || b < 0.0 || a > 1.0 || b > 1.0)
                    continue;
                int channels[3] = {0, 0, 0};
                channels[i] = static_cast<int>(a * 255.0 + 0.5);
                channels[j] = static_cast<int>(b * 255.0 + 0.5);
                dib.SetPixel24(x, y, RGB(channels[0], channels[1], channels[2]));
                break;
            }
        }
    return FileOf(dib);
}

std::vector<uint8_t> MakeHsbWheelBitmapFile()
{
    CDib dib;
    if (!dib.Create(202, 201, 24))
        return {};
    dib.Fill(GROUND);
    for (int y = 0; y < 201; ++y)
        for (int x = 0; x < 202; ++x)
        {
            const int nDistance = Distance(x, y, 100, 100);
            if (nDistance > 100)
                continue;
            int nHue = static_cast<int>(Angle(x, y, 100, 100) * 180.0 / M_PI);
            if (nHue < 0)
                nHue += 360;
            const RgbColor rgb = HsbToRgb(HsbColor{nHue % 360, nDistance * 255 / 100, 255});
            dib.SetPixel24(x, y, RgbToColorref(rgb));
        }
    return FileOf(dib);
}
