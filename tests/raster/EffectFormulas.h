#pragma once
// Plain C++ statements of what the finishing effects' programs compute (depth of field, fog,
// light halo, lens flare, spot-light cone), for the program tests to compare against.
#include "ProgramFormulas.h"

// Depth of field: vertex program 920 and pixel program 666 (s0 scene texture, s1 noise).
VertexResult DepthOfFieldVertex(const MeshVertexInputs& v, const Constants& c);
F4 DepthOfFieldColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);
// The dispersion of 666 at clip depth z: the far and near terms.
float DepthOfFieldDispersion(float z, const Constants& c);

// Fog: vertex program 925 and pixel program 672 (s0 noise).
VertexResult FogVertex(const MeshVertexInputs& v, const Constants& c);
F4 FogColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);

// Halo: vertex program 921 and pixel program 667 (s0 noise).
VertexResult HaloVertex(const MeshVertexInputs& v, const Constants& c);
F4 HaloColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);

// Lens flare: vertex program 924 and pixel program 671; fDepth the depth it writes.
VertexResult LensFlareVertex(const MeshVertexInputs& v, const Constants& c);
F4 LensFlareColour(const ProgramInputs& in, const Constants& c, float& fDepth);

// Spot-light cone: vertex program 923 and pixel program 670 (s0 noise).
VertexResult SpotConeVertex(const MeshVertexInputs& v, const Constants& c);
F4 SpotConeColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);

// The four-octave noise of the fog and the cone at T0.xy, frequency c0.x.
float FogNoise(const ProgramInputs& in, const Constants& c, const TextureModel& tex);
