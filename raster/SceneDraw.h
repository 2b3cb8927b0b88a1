#pragma once
// What the scene passes (the main pass and the forward pass) share: the mesh predicates, program
// selection with its one-time report of a missing program, and the mesh draws with and without
// an occlusion query; and what the passes that draw into cube faces share: the face views and
// the camera they put back.
#include "morvyn/morvyn.h"

#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>

class RenderApp;
class SceneMaterial;
class SceneMesh;

// Bytes of one mesh vertex in a mesh's vertex buffer.
constexpr UINT MESH_VERTEX_STRIDE = 64;

// The material's opacity is exactly 1.
bool IsOpaque(const SceneMesh& mesh);
// The mesh runs its path or spins.
bool IsMoving(const SceneMesh& mesh);
// Some component of the material's reflection colour is non-zero.
bool IsReflective(const SceneMaterial& material);
// Some axis of the bounding box is thinner than half a unit.
bool IsFlat(const SceneMesh& mesh);

// Selects and applies the vertex program and the pixel program (-1: none) by program id; false,
// with one logged error per program naming szPass, when one of them failed to load, and the
// caller skips its draw.
bool SelectScenePrograms(RenderApp& app, int nVertexId, int nPixelId, const char* szPass);

// The whole mesh as one triangle list from the stream already set.
void DrawSceneMesh(IDirect3DDevice9* pDevice, const SceneMesh& mesh);
// Sets the mesh's stream and transform constants and draws it inside the application's
// occlusion query; nEntry = the samples that passed. Without queries the mesh is drawn and
// counts as visible (1).
void QueryDrawMesh(RenderApp& app, const SceneMesh& mesh, uint32_t& nEntry);

// The view from eye through cube face nFace, in the order of the Direct3D cube faces.
D3DXMATRIX CubeFaceView(const D3DXVECTOR3& eye, int nFace);

// The camera position, view and projection, put back exactly when it goes.
class KeptCamera
{
public:
    explicit KeptCamera(Vector3& vPosition) : m_vPosition(vPosition), m_vKept(vPosition), m_matView(g_matView),
                                              m_matProjection(g_matProjection)
    {
    }
    ~KeptCamera()
    {
        g_matView = m_matView;
        g_matProjection = m_matProjection;
        m_vPosition = m_vKept;
    }
    KeptCamera(const KeptCamera&) = delete;
    KeptCamera& operator=(const KeptCamera&) = delete;

private:
    Vector3& m_vPosition;
    const Vector3 m_vKept;
    const Matrix4 m_matView;
    const Matrix4 m_matProjection;
};
