#pragma once
// The forward pass's soft shadow: the tap modes with their programs and weights, and the shader
// constants of its shadow programs for one mesh and one light, as register tables that the
// RenderApp setters upload.
#include "raster/LightConstants.h"

class SceneLight;
class SceneMesh;

// One tap mode: the pixel programs (shader ids) for point and spot lights and the weight of a tap.
struct ShadowTapMode
{
    int nPointProgram;
    int nSpotProgram;
    float fTapWeight;
};
// Tap mode 1 (four taps, the only one set), 2 (eight) and 3 (eleven).
const ShadowTapMode& GetShadowTapMode(int nMode);
// The mode the shadow pass uses: 1 from start-up; a value outside 1..3 reads as 1.
extern int32_t g_nShadowTapMode;

// The shadow programs' own spot frame table: -x, +x, +y (up +z), +y (up -z), +z, -z.
extern const SpotFaceTable SHADOW_SPOT_FACES;

// c0 (0, 0.5, 1, 2), c1 (1/65535, 0.5, 10, 1), c2 the mesh's centre offset, c3 the light's
// position, c4-c7 world x view x projection and c8-c11 world, transposed.
void BuildShadowVertexConstants(const SceneMesh& mesh, const SceneLight& light, const LightFrame& frame,
                                ConstantTable& table);
// c0 (shadow level, 1, tap weight, dispersion), c1 (shadow level, penumbra terms, 2), c3 the
// object id, c5-c20 jitter entries 200 to 215; spot lights also c23 (direction, 0.7) and c24-c27
// their frame (nSpotIndex: spot lights before this one). A light without a shadow cube gets the
// shadow level 1, so that its taps never darken. False, writing nothing, without a material.
bool BuildShadowPixelConstants(const SceneMesh& mesh, int nMeshIndex, const SceneLight& light, int nSpotIndex,
                               const D3DXVECTOR4* pJitter, ConstantTable& table);
