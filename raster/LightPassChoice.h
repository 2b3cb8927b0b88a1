#pragma once
// The programs of the scene passes' light passes: their ids, and which vertex and pixel program,
// constant setters and shadow texture a mesh's pass for one light uses, by the mesh's pass
// (opaque, transparent back faces, transparent front faces) and view.
class SceneLight;
class SceneMesh;

namespace LightPrograms
{
// Program ids (resource id - 900 for vertex programs, - 600 for pixel programs).
enum VertexProgram
{
    VS_LIGHT = 0,            // 900: point and spot lights
    VS_LAYER = 7,            // 907
    VS_DEPTH = 8,            // 908: position only
    VS_FLAT_LIGHT = 10,      // 910
    VS_REFRACTION = 13,      // 913
    VS_DIRECTIONAL = 14,     // 914
    VS_FLAT_DIRECTIONAL = 15 // 915
};
enum PixelProgram
{
    PS_NONE = -1,
    PS_SHADOW_FAR_LAYER = 3,   // 603
    PS_LAYER = 39,             // 639
    PS_REFRACTION_FRONT = 48,  // 648
    PS_REFRACTION_BACK = 49,   // 649
    PS_POINT = 53,             // 653
    PS_FLAT_POINT = 58,        // 658
    PS_SPOT = 59,              // 659
    PS_CUBE_FACE_POINT = 60,   // 660
    PS_DIRECTIONAL = 61,       // 661
    PS_FLAT_DIRECTIONAL = 62,  // 662
    PS_WAVE_DIRECTIONAL = 63   // 663
};

constexpr int VIEW_CAMERA = 0;
constexpr int VIEW_CUBE_FACE = 1;

// What one light pass of a mesh uses.
struct LightPassChoice
{
    int nVertexProgram = -1;
    int nPixelProgram = PS_NONE;
    bool bDirectionalConstants = false;   // the directional setters (after the point ones for transparent meshes)
    bool bShadowCube = true;              // stage 3 takes the shadow cube, else the shadow map
};

enum class MeshPass
{
    OPAQUE,
    TRANSPARENT_BACK,    // the first transparent pass
    TRANSPARENT_FRONT    // the second
};

// The main pass's choice; nMode 0 the camera view, 1 a cube face.
LightPassChoice ChooseLightPass(const SceneMesh& mesh, const SceneLight& light, MeshPass nPass, int nMode,
                                bool bShadowFarLayer);
}
