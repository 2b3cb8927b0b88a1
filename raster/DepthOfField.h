#pragma once
// The depth-of-field composite's constants: the scene, rendered into the scene texture, is drawn
// again over every visible mesh with nine jittered lookups per pass, the jitter growing with the
// pixel's distance from the sharp band between the near and far depths.
#include "raster/LightConstants.h"

class SceneCamera;

constexpr int MIN_DOF_QUALITY = 1;
constexpr int MAX_DOF_QUALITY = 24;

// The camera's pass count, kept in 1..24: the jitter table holds nine entries for each of 24
// passes.
int DepthOfFieldPasses(const SceneCamera& camera);
// Pixel c0 to c10 of pass k: the tap weight 1 / (9 Q), the band and dispersion, and jitter
// entries 247 - 9k to 255 - 9k.
void BuildDepthOfFieldPassConstants(const SceneCamera& camera, int k, const D3DXVECTOR4* pJitter,
                                    ConstantTable& pixel);
// Vertex c0, c1, c4 to c11 of one mesh.
void BuildDepthOfFieldMeshConstants(const SceneMesh& mesh, const SceneCamera& camera, const LightFrame& frame,
                                    ConstantTable& vertex);
