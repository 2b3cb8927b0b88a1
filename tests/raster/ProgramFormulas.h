#pragma once
// Plain C++ statements of what each scene lighting program computes, written from the lighting
// model rather than from the programs, for the program tests to compare against.
#include <array>
#include <cmath>
#include <vector>

struct F4
{
    float x = 0, y = 0, z = 0, w = 0;
};
using Constants = std::array<F4, 32>;

struct ProgramInputs
{
    F4 t[8];
};

struct MeshVertexInputs
{
    F4 position{0, 0, 0, 1};
    F4 uv{0, 0, 0, 1};
    F4 tangent{1, 0, 0, 1};
    F4 binormal{0, 1, 0, 1};
    F4 normal{0, 0, 1, 1};
};

inline F4 operator+(F4 a, F4 b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
inline F4 operator-(F4 a, F4 b) { return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
inline F4 operator*(F4 a, F4 b) { return {a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w}; }
inline F4 operator*(F4 a, float s) { return {a.x * s, a.y * s, a.z * s, a.w * s}; }
inline F4 operator-(F4 a) { return {-a.x, -a.y, -a.z, -a.w}; }
inline float Dot3(F4 a, F4 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float Dot4(F4 a, F4 b) { return Dot3(a, b) + a.w * b.w; }
inline float Length3(F4 a) { return std::sqrt(Dot3(a, a)); }
inline F4 Normalize3(F4 a)
{
    float f = 1.0f / Length3(a);
    return {a.x * f, a.y * f, a.z * f, 0.0f};
}
inline float Saturate(float f) { return f < 0.0f ? 0.0f : (f > 1.0f ? 1.0f : f); }
inline F4 Saturate(F4 a) { return {Saturate(a.x), Saturate(a.y), Saturate(a.z), Saturate(a.w)}; }
// The row vector p through the transposed matrix held in four registers: (p.r0, p.r1, p.r2, p.r3).
inline F4 Transform(F4 p, const F4* pRows) { return {Dot4(p, pRows[0]), Dot4(p, pRows[1]), Dot4(p, pRows[2]), Dot4(p, pRows[3])}; }

// What the programs sample, stage by stage: point-sampled, wrapped 2D textures or cubes of
// one-texel faces; an unbound stage reads (0, 0, 0, 1).
struct TextureModel
{
    struct Stage
    {
        bool bBound = false;
        bool bCube = false;
        unsigned nWidth = 1, nHeight = 1;
        std::vector<F4> texels;
        F4 faces[6];
    };
    Stage stages[8];

    F4 Sample(int nStage, F4 coord) const;
};

// The light pixel programs. inputs.t are the interpolators, c the pixel constants.
F4 PointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);          // 653
F4 SpotLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);           // 659
F4 CubeFacePointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);  // 660
F4 DirectionalLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);    // 661
F4 WaveDirectionalLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);// 663
F4 FlatPointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);      // 658
F4 FlatDirectionalLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);// 662
F4 FlatReflectionPointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);  // 652
F4 ShadowedPointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);  // 668
F4 ShadowedPointLightEyeColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);  // 674
F4 RefractionBackColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);      // 649
F4 RefractionFrontColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);     // 648
F4 LayerColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);               // 639

// The light vertex programs' outputs for one vertex, by interpolator (and the clip position).
struct VertexResult
{
    F4 position;
    F4 t[8];
};
VertexResult PointLightVertex(const MeshVertexInputs& v, const Constants& c);        // 900
VertexResult FlatPointLightVertex(const MeshVertexInputs& v, const Constants& c);    // 910
VertexResult RefractionVertex(const MeshVertexInputs& v, const Constants& c);        // 913
VertexResult DirectionalVertex(const MeshVertexInputs& v, const Constants& c);       // 914
VertexResult FlatDirectionalVertex(const MeshVertexInputs& v, const Constants& c);   // 915
VertexResult LayerVertex(const MeshVertexInputs& v, const Constants& c);             // 907
