#pragma once
// Which photon surface program a light-view pass draws a mesh with, and the flatness of a mesh
// that decides between its object cube map and a planar mirror image. Photon kinds: 0 direct,
// 1 global, 2 refraction path, 3 reflection path.

enum PhotonPass : int
{
    PHOTON_RAY_PASS = 0,          // light vector and energy (the first ray pass of a spot light)
    PHOTON_SECOND_RAY_PASS = 1,   // spot lights, global photons: the ray pass again over the visible meshes
    PHOTON_POSITION_PASS = 2,     // where the photon is stored
};

class SceneMaterial;
class SceneMesh;

// The mesh's material, or the default material for a mesh without one.
const SceneMaterial& MaterialOf(const SceneMesh& mesh);

// The material's opacity is exactly 1 (a mesh without a material is opaque).
bool IsOpaqueMesh(const SceneMesh& mesh);

// The pixel program of a mesh in a pass. bOpaque: the material's opacity is exactly 1.
// nFlatAxis: 0 for a mesh that gets an object cube map, 1 to 3 for a planar mirror (read only
// where the pass has a mirror route).
int SelectPhotonSurfaceProgram(PhotonPass nPass, bool bSpot, int nKind, bool bOpaque, int nFlatAxis);

// The extent below which a mesh's box counts as flat in a pass (0 for a pass with no mirror
// route: translucent meshes of kinds 0, 2 and 3 always take the cube route).
float FlatnessThreshold(PhotonPass nPass, bool bSpot, int nKind);

// 0 when no extent of the box (min x, max x, min y, max y, min z, max z) lies below the
// threshold, otherwise the last axis (1 x, 2 y, 3 z) that does.
int FlatnessAxis(const float bounds[6], float fThreshold);
