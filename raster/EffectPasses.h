#pragma once
// What the finishing effects (depth of field, fog, light halo, lens flare, spot-light cone)
// share: their programs' check, the noise stage, a mesh draw, the declaration of a D3DX shape
// and the states the light effects leave behind.
#include <d3d9.h>

class Renderer;
class RenderApp;
class SceneMesh;
struct ID3DXMesh;

// Vertex program ids (resource - 900) and pixel program ids (resource - 600) of the effects.
enum EffectProgram
{
    VS_DEPTH_OF_FIELD = 20,
    VS_HALO = 21,
    VS_SPOT_CONE = 23,
    VS_LENS_FLARE = 24,
    VS_FOG = 25,
    PS_DEPTH_OF_FIELD = 66,
    PS_HALO = 67,
    PS_SPOT_CONE = 70,
    PS_LENS_FLARE = 71,
    PS_FOG = 72
};

// The vertex size of the scene's meshes.
constexpr UINT EFFECT_MESH_STRIDE = 64;

// Selects and applies the two programs; false, with one logged error per missing program over
// the run, when either did not load: the caller then draws nothing and changes no state.
bool SelectEffectPrograms(RenderApp& app, const char* szOperation, int nVertexId, int nPixelId);

// Stage 0 = the noise texture (through the renderer), mirrored in u and v.
void BindNoiseStage(IDirect3DDevice9* pDevice, Renderer& renderer);

// The mesh's triangles from its vertex buffer, as a list.
void DrawEffectMesh(IDirect3DDevice9* pDevice, const SceneMesh& mesh);

// A declaration made from the shape's own, set on the device; null (and nothing set) when it
// cannot be made. The caller releases it.
IDirect3DVertexDeclaration9* SetShapeDeclaration(IDirect3DDevice9* pDevice, ID3DXMesh* pShape);

// After a halo, flare or cone: the mesh declaration back, solid fill, depth writes on, blending
// off, no culling.
void EndLightEffect(IDirect3DDevice9* pDevice, IDirect3DVertexDeclaration9* pMeshDecl);
