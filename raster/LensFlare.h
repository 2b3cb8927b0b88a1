#pragma once
// The lens flare's constants: a row of small glassy spheres along the viewing axis from the eye,
// each adding the light's glint and a faint ring, depth-tested at the depth of the light.
#include "raster/LightConstants.h"

class SceneCamera;
class SceneLight;

// The flare is drawn for an enabled light (enable value 1) with its flare on that lies in front
// of the eye.
bool HasLensFlare(const SceneLight& light, const LightFrame& frame);
// The flare spheres' projection: the camera's field of view and aspect, near plane 0.1 and its
// back clipping distance.
D3DXMATRIX LensFlareProjection(const SceneCamera& camera);
// Vertex c1, c2 and pixel c0, c1: the same for every sphere.
void BuildLensFlareConstants(const SceneLight& light, const LightFrame& frame, ConstantTable& vertex,
                             ConstantTable& pixel);
// Vertex c4 to c15 and pixel c2 of sphere i. The light's depth (c12-c15) is taken with the
// frame's own projection, the one the depth buffer was written with; the spheres are drawn
// with the flare projection.
void BuildLensFlareSphereConstants(int i, const LightFrame& frame, const D3DXMATRIX& flareProjection,
                                   ConstantTable& vertex, ConstantTable& pixel);
