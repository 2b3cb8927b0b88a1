#pragma once
// The spot-light cone's constants: sixteen nested open shells of growing aperture along the
// beam, each pixel adding the camera's fog colour by the length of the view ray inside the
// layer's cone.
#include "raster/LightConstants.h"

class SceneCamera;
class SceneLight;

constexpr int SPOT_CONE_LAYERS = 16;

// Only a spot light (type 2) whose enable value and cone flag are both 1 has a cone.
bool HasSpotCone(const SceneLight& light);

// One layer's shell and constants.
struct SpotConeLayer
{
    float fLength;       // 0.2 x Range
    float fFarRadius;    // the shell's radius at its far end
    ConstantTable vertex;
};

// Layer i (0 .. 15) of the light's cone. The falloff Phi is a full angle in degrees: the beam's
// half-angle is Phi / 2, the far radius of layer i is tan(Phi / 2) x length x (i + 1) / 16 and
// its cone has the half-angle (i + 1) / 16 of the beam's. The shell stands with its narrow end
// at the light, along the light's direction. False for a light without a direction.
bool BuildSpotConeLayer(const SceneLight& light, int i, const LightFrame& frame, SpotConeLayer& layer);
// Pixel c0 to c6 of program 670 from the camera's fog settings.
void BuildSpotConePixelConstants(const SceneCamera& camera, ConstantTable& pixel);
