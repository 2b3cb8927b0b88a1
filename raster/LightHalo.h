#pragma once
// The light halo's constants: an additive sphere of radius R around the light whose pixels fade
// from white at the centre to nothing at R / 2 from it in the view plane.
#include "raster/LightConstants.h"

class SceneLight;

// The halo is drawn for an enabled light (enable value 1) with its halo on and a size above 0:
// a sphere of no size has no 1 / R.
bool HasLightHalo(const SceneLight& light);
// Vertex c0, c1, c4 to c11 of program 921 and pixel c1, c2 of program 667.
void BuildHaloConstants(const SceneLight& light, const LightFrame& frame, ConstantTable& vertex, ConstantTable& pixel);
