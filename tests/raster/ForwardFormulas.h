#pragma once
// Plain C++ statements of what the forward pass's programs and the background box's programs
// compute, for the program tests to compare against (the scene lighting model itself is in
// ProgramFormulas.h).
#include "ProgramFormulas.h"

// Forward pass light programs.
F4 ForwardPointLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);  // 600
F4 ForwardSpotLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);   // 650
F4 ForwardFlatLightColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);   // 643

// The soft shadow factor of the forward pass with nTaps taps (4, 8 or 11), for a point light
// or through the spot frame with the cone test (654, 656, 655, 657, 647, 651).
F4 SoftShadow(const ProgramInputs& in, const Constants& c, const TextureModel& tex, int nTaps, bool bSpot);

// The shadow vertex program (912) for one vertex.
VertexResult ShadowVertex(const MeshVertexInputs& v, const Constants& c);

// The background box: its vertex program (953) and pixel programs 771 (camera), 770 (photon
// direction and energy, two targets) and 769 (object cube position).
VertexResult BackgroundVertex(const MeshVertexInputs& v, const Constants& c);
F4 BackgroundColour(const ProgramInputs& in, const Constants& c, const TextureModel& tex);
void BackgroundPhotons(const ProgramInputs& in, const Constants& c, const TextureModel& tex, F4& direction, F4& energy);
F4 BackgroundCubePosition(const ProgramInputs& in, const Constants& c, const TextureModel& tex);
