#pragma once
// Procedural-texture helpers: the bias and gain curves, gradient (lattice) noise in one, two and
// three dimensions over random gradient tables, and turbulence.
//
// The tables are process-wide and zero until InitNoise fills them (the noise is then 0
// everywhere). Lattice coordinates are masked with 255, so the noise repeats every 256 units
// along each axis.

constexpr int NOISE_TABLE_SIZE = 4096;
// Entries B to 2B + 1 repeat entries 0 to B + 1, so an index up to 2B + 1 needs no wrap.
constexpr int NOISE_TABLE_ENTRIES = NOISE_TABLE_SIZE * 2 + 2;

struct NoiseTables
{
    int permutation[NOISE_TABLE_ENTRIES];
    float gradients1[NOISE_TABLE_ENTRIES];
    float gradients2[NOISE_TABLE_ENTRIES][2];
    float gradients3[NOISE_TABLE_ENTRIES][3];
};

// t raised to log(b) / log(0.5): Bias(0.5, b) = b, Bias(t, 0.5) = t.
float Bias(float t, float b);
// S-shaped remap of 0..1; 0 below 0.001 and 1 above 0.999.
float Gain(float t, float g);

// Draws new tables from the project's random generator (core/Random.h), so a given seed gives
// the same noise on every machine. A 2D or 3D gradient drawn as all zeros is drawn again.
void InitNoise();
const NoiseTables& GetNoiseTables();

// Gradient noise, 0 at every lattice point, roughly within -1..1.
float Noise1(float x);
float Noise2(float x, float y);
float Noise3(float x, float y, float z);
// Sum of |Noise3| / f over the octaves f = frequency, frequency / 2, ... while f >= 1; the first
// octave is always taken, even for a frequency below 1.
float Turbulence(float x, float y, float z, float fFrequency);

// Scale to unit length in place; a zero vector is left as it is.
void Normalize2(float v[2]);
void Normalize3(float v[3]);
