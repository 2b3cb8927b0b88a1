#pragma once
// The fog pass's constants: ground fog below a noisy horizontal plane, each visible mesh drawn
// once more and blended towards the fog colour by the transmittance of the view ray's path
// inside the layer.
#include "raster/LightConstants.h"

class SceneCamera;
class SceneStore;

// Where the noise of the fog is looked up from: the first light's position, or the camera's
// when the scene has no light.
D3DXVECTOR3 FogLightPosition(const SceneStore& scene, const D3DXVECTOR3& vEye);

// Pixel c0 to c6 of program 672 from the camera's fog settings.
void BuildFogPixelConstants(const SceneCamera& camera, const D3DXVECTOR3& vEye, ConstantTable& pixel);
// Vertex c0 to c15 of program 925 for one mesh.
void BuildFogVertexConstants(const SceneMesh& mesh, const SceneCamera& camera, const LightFrame& frame,
                             const D3DXVECTOR3& vLight, ConstantTable& vertex);
