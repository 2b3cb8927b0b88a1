#pragma once
// The background box: a cube around the scene, textured from a cube map, that stands for the
// environment behind everything else. RenderApp::DrawBackgroundBox draws it in the camera view
// (before the main pass) and, for the photon tracer, into a light's targets; its size rule and
// shader constants are computed here without the device.
#include "core/Vector3.h"
#include "raster/LightConstants.h"

#include <d3d9.h>
#include <d3dx9math.h>

class PointerArray;

enum BackgroundBoxMode : int
{
    BACKGROUND_CAMERA = 0,         // the environment cube seen from the scene centre (program 771)
    BACKGROUND_PHOTON_ENERGY = 1,  // reflected direction and energy into a light's two targets (770)
    BACKGROUND_CUBE_POSITION = 2,  // the object cube map's positions back in the scene box (769)
};

// The scene box as the triangle grid build grows it; the background box is centred on it.
extern Vector3 g_vSceneMin;
extern Vector3 g_vSceneMax;
// The object cube map's 256 x 256 target, whose texels hold positions normalised to the scene
// box; made and filled by the photon tracer, null until then.
extern IDirect3DCubeTexture9* g_pCubeTarget;

// The box's side. Camera mode: 1.5 x the scene box's largest extent. The light modes start from
// 1.1 and grow, light by light in list order (enabled lights only) and axis by axis, to 2.1 x
// any centre-to-light distance that exceeds half the current side.
float BackgroundBoxSide(int nMode, const Vector3& vSceneMin, const Vector3& vSceneMax, const PointerArray& lights);

// The vertex constants (c2 eye, c4-c7 world x view x projection, c8-c11 world, c12-c15 view x
// projection, all transposed; world = translation to the scene centre) and the pixel constants
// (c0 centre, c1, c8, c16, c19, c23 extent, c24 minimum) of the box's programs.
void BuildBackgroundBoxConstants(const Vector3& vEye, const D3DXMATRIX& view, const D3DXMATRIX& projection,
                                 const Vector3& vSceneMin, const Vector3& vSceneMax, ConstantTable& vertex,
                                 ConstantTable& pixel);
