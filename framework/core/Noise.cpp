#include "core/Noise.h"

#include "core/Random.h"

#include <cmath>
#include <utility>

namespace
{
constexpr int B = NOISE_TABLE_SIZE;
constexpr int LATTICE_MASK = 0xFF;

NoiseTables g_NoiseTables;

// ((rand mod 2B) - B) / B: a value in [-1, 1).
float DrawGradientComponent()
{
    return static_cast<float>((Random() % (2 * B)) - B) / B;
}

float SmoothStep(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

float Lerp(float s, float u, float v)
{
    return u + s * (v - u);
}

// One axis of the lattice set-up: the two masked lattice coordinates around x and the offsets
// of x from them.
struct LatticeAxis
{
    int b0, b1;
    float r0, r1;

    explicit LatticeAxis(float x)
    {
        // The offset keeps t positive for the usual texture coordinates, so truncation floors.
        float t = x + static_cast<float>(B);
        // Past 2^24 every float is a whole number, so reducing by the 256-unit period is exact
        // and keeps the conversion below in range; NaN becomes the lattice point 0.
        if (!(std::fabs(t) < 16777216.0f))
            t = std::isnan(t) ? 0.0f : std::fmod(t, 256.0f);
        int n = static_cast<int>(t);
        b0 = n & LATTICE_MASK;
        b1 = (b0 + 1) & LATTICE_MASK;
        r0 = t - static_cast<float>(n);
        r1 = r0 - 1.0f;
    }
};
}

float Bias(float t, float b)
{
    return std::pow(t, std::log(b) / std::log(0.5f));
}

float Gain(float t, float g)
{
    if (t < 0.001f)
        return 0.0f;
    if (t > 0.999f)
        return 1.0f;
    float p = std::log(1.0f - g) / std::log(0.5f);
    if (t < 0.5f)
        return std::pow(2.0f * t, p) / 2.0f;
    return 1.0f - std::pow(2.0f * (1.0f - t), p) / 2.0f;
}

void Normalize2(float v[2])
{
    float fLengthSquared = v[0] * v[0] + v[1] * v[1];
    if (fLengthSquared == 0.0f)
        return;
    float fInv = 1.0f / std::sqrt(fLengthSquared);
    v[0] *= fInv;
    v[1] *= fInv;
}

void Normalize3(float v[3])
{
    float fLengthSquared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (fLengthSquared == 0.0f)
        return;
    float fInv = 1.0f / std::sqrt(fLengthSquared);
    v[0] *= fInv;
    v[1] *= fInv;
    v[2] *= fInv;
}

void InitNoise()
{
    NoiseTables& t = g_NoiseTables;
    for (int i = 0; i < B; ++i)
    {
        t.permutation[i] = i;
        t.gradients1[i] = DrawGradientComponent();
        // A zero gradient cannot be given a direction: draw it again.
        do
        {
            for (float& c : t.gradients2[i])
                c = DrawGradientComponent();
        } while (t.gradients2[i][0] == 0.0f && t.gradients2[i][1] == 0.0f);
        Normalize2(t.gradients2[i]);
        do
        {
            for (float& c : t.gradients3[i])
                c = DrawGradientComponent();
        } while (t.gradients3[i][0] == 0.0f && t.gradients3[i][1] == 0.0f && t.gradients3[i][2] == 0.0f);
        Normalize3(t.gradients3[i]);
    }
    for (int i = B - 1; i > 0; --i)
        std::swap(t.permutation[i], t.permutation[Random() % B]);
    for (int i = 0; i < B + 2; ++i)
    {
        t.permutation[B + i] = t.permutation[i];
        t.gradients1[B + i] = t.gradients1[i];
        for (int k = 0; k < 2; ++k)
            t.gradients2[B + i][k] = t.gradients2[i][k];
        for (int k = 0; k < 3; ++k)
            t.gradients3[B + i][k] = t.gradients3[i][k];
    }
}

const NoiseTables& GetNoiseTables()
{
    return g_NoiseTables;
}

float Noise1(float x)
{
    const NoiseTables& t = g_NoiseTables;
    LatticeAxis ax(x);
    float s = SmoothStep(ax.r0);
    float u = ax.r0 * t.gradients1[t.permutation[ax.b0]];
    float v = ax.r1 * t.gradients1[t.permutation[ax.b1]];
    return Lerp(s, u, v);
}

float Noise2(float x, float y)
{
    const NoiseTables& t = g_NoiseTables;
    LatticeAxis ax(x), ay(y);
    int i = t.permutation[ax.b0];
    int j = t.permutation[ax.b1];
    int b00 = t.permutation[i + ay.b0];
    int b10 = t.permutation[j + ay.b0];
    int b01 = t.permutation[i + ay.b1];
    int b11 = t.permutation[j + ay.b1];
    float sx = SmoothStep(ax.r0);
    float sy = SmoothStep(ay.r0);
    auto dot = [&](int n, float rx, float ry) { return t.gradients2[n][0] * rx + t.gradients2[n][1] * ry; };
    float a = Lerp(sx, dot(b00, ax.r0, ay.r0), dot(b10, ax.r1, ay.r0));
    float b = Lerp(sx, dot(b01, ax.r0, ay.r1), dot(b11, ax.r1, ay.r1));
    return Lerp(sy, a, b);
}

float Noise3(float x, float y, float z)
{
    const NoiseTables& t = g_NoiseTables;
    LatticeAxis ax(x), ay(y), az(z);
    int i = t.permutation[ax.b0];
    int j = t.permutation[ax.b1];
    int b00 = t.permutation[i + ay.b0];
    int b10 = t.permutation[j + ay.b0];
    int b01 = t.permutation[i + ay.b1];
    int b11 = t.permutation[j + ay.b1];
    float sx = SmoothStep(ax.r0);
    float sy = SmoothStep(ay.r0);
    float sz = SmoothStep(az.r0);
    auto dot = [&](int n, float rx, float ry, float rz)
    { return t.gradients3[n][0] * rx + t.gradients3[n][1] * ry + t.gradients3[n][2] * rz; };
    // One face of the cell at the given z lattice coordinate and offset.
    auto face = [&](int bz, float rz)
    {
        float a = Lerp(sx, dot(b00 + bz, ax.r0, ay.r0, rz), dot(b10 + bz, ax.r1, ay.r0, rz));
        float b = Lerp(sx, dot(b01 + bz, ax.r0, ay.r1, rz), dot(b11 + bz, ax.r1, ay.r1, rz));
        return Lerp(sy, a, b);
    };
    return Lerp(sz, face(az.b0, az.r0), face(az.b1, az.r1));
}

float Turbulence(float x, float y, float z, float fFrequency)
{
    float fSum = 0.0f;
    float f = fFrequency;
    do
    {
        fSum += std::fabs(Noise3(x * f, y * f, z * f)) / f;
        f *= 0.5f;
    } while (f >= 1.0f);
    return fSum;
}
