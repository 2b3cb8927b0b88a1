#pragma once
// The shader constants of the lighting passes for one mesh and one light, computed as register
// tables that the RenderApp setters upload: point and spot, directional, and layer constants,
// vertex and pixel, and the jitter directions they draw on.
#include <d3d9.h>
#include <d3dx9math.h>

#include <cstdint>

class SceneLight;
class SceneMesh;
class SceneStore;

// Register values c0 ... c31 and which of them a setter wrote.
struct ConstantTable
{
    float c[32][4] = {};
    uint32_t nWritten = 0;   // bit n: register n

    void Set(int nRegister, float x, float y, float z, float w);
    // Four registers from nFirst: the rows of the transposed matrix (its columns).
    void SetTransposed(int nFirst, const D3DXMATRIX& m);
};

// Puts the written registers of a table on the device as pixel or vertex constants, each run of
// consecutive registers in one call.
void UploadConstants(IDirect3DDevice9* pDevice, bool bPixel, const ConstantTable& table);

// What the constants take from the frame.
struct LightFrame
{
    D3DXMATRIX view;
    D3DXMATRIX projection;
    D3DXVECTOR3 eye;   // the scene camera's position
};
// g_matView, g_matProjection and the scene camera's position.
LightFrame CurrentLightFrame(const SceneStore& scene);

constexpr int JITTER_DIRECTIONS = 256;
// The first of the four jitter entries the shadow taps use.
constexpr int SHADOW_TAP_JITTER = 200;
// The most layer passes the jitter table feeds (nine entries per pass).
constexpr int MAX_LAYER_PASSES = 25;

// Entry 32 p + a (p 0..7, a 0..31), with theta = p pi / 16 and phi = a pi / 16:
// (cos theta cos phi, cos theta sin phi, sin theta, (sin theta + 1) / 2), unit directions of the
// upper hemisphere with a weight growing from 0.5 at the horizon.
void FillJitterDirections(D3DXVECTOR4 table[JITTER_DIRECTIONS]);

// The up vector of a look-at along the unit direction: (0, 1, 0), or (0, 0, 1) for a direction
// within 0.999 of straight up or down, where the first has no defined rotation.
D3DXVECTOR3 LookAtUpVector(const D3DXVECTOR3& vDirection);

// Where M2 of a spot frame looks for spot lights 0 to 5, and its up vector: (at, up) by row.
using SpotFaceTable = float[6][6];
// The lighting passes' table: +x, -x, +y (up -z), -y (up +z), +z, -z.
extern const SpotFaceTable LIGHTING_SPOT_FACES;

// The spot frame of the n-th spot light: transpose(M1 x M2), M1 looking along the light's
// direction and M2 turning that axis to face n of a cube (n 0 to 5, as the table says; from 6
// on the light's own direction again). A direction straight up or down takes (0, 0, 1) as its up
// vector.
void BuildSpotFrame(const D3DXVECTOR3& vDirection, int nSpotIndex, D3DXMATRIX& frame,
                    const SpotFaceTable& faces = LIGHTING_SPOT_FACES);

// Scales the materials' dispersion and the jitter radius of the shadow volumes; it stays 1.
constexpr float DISPERSION_SCALE = 1.0f;

// The shadow pass's depth scale; 0 until that pass runs.
extern float g_fShadowDepthScale;

void BuildLightVertexConstants(const SceneMesh& mesh, const SceneLight& light, const LightFrame& frame,
                               ConstantTable& table);
// bShadowMap: the light's shadow map holds a rendered view; without one shadowTexture is not
// used and the shadow-map position is the world position itself.
void BuildDirectionalVertexConstants(const SceneMesh& mesh, const SceneLight& light, const LightFrame& frame,
                                     const D3DXMATRIX& shadowTexture, bool bShadowMap, ConstantTable& table);
// nSpotIndex: how many spot lights come before this one in the light list. bShadowCube: the
// light's shadow cube holds a rendered view; without one the shadow level is 1, so the taps of
// the cube-face and flat programs never darken. Caps the material's shadow level at 1 and
// stores it back. False, writing nothing, when the mesh has no material.
bool BuildLightPixelConstants(SceneMesh& mesh, int nMeshIndex, const SceneLight& light, int nSpotIndex,
                              bool bShadowCube, const LightFrame& frame, const D3DXVECTOR4* pJitter,
                              ConstantTable& table);
// Without a rendered shadow map the shadow level is 1, so the taps never darken.
bool BuildDirectionalPixelConstants(SceneMesh& mesh, int nMeshIndex, const SceneLight& light, bool bShadowMap,
                                    const D3DXVECTOR4* pJitter, ConstantTable& table);
void BuildLayerVertexConstants(const SceneMesh& mesh, const LightFrame& frame, ConstantTable& table);
// Pass k of nPasses (clamped to 0..MAX_LAYER_PASSES).
bool BuildLayerPixelConstants(const SceneMesh& mesh, int nPass, int nPasses, const D3DXVECTOR4* pJitter,
                              ConstantTable& table);

// The mesh's world position: the translation of its world matrix, where its bounding sphere is
// centred now (the sphere of the scene files stays where the mesh was loaded).
D3DXVECTOR3 MeshWorldCentre(const SceneMesh& mesh);
