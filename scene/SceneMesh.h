#pragma once
// A triangle mesh of the scene: its triangles as a plain vertex array (three vertices per
// triangle) kept in memory for the scene writers and the photon tracer, the same vertices in a
// Direct3D vertex buffer for drawing, its material, its placement (base matrix, offset, Euler
// angles, scale), an automatic spin, its bounding box and the per-light flags the renderers
// consult. The scene store owns meshes; the scene readers fill them.
//
// The mesh owns its vertex array and its device buffers and releases them when it is deleted.
// Its material belongs to the store's material list.
#include "core/Matrix4.h"
#include "core/Vector3.h"
#include "scene/PointerArray.h"
#include "scene/SceneNode.h"
#include "scene/SceneObject.h"

#include <d3d9.h>
#include <d3dx9math.h>

#include <cstdint>

class SceneMaterial;

// The mesh vertex, 64 bytes, the same in memory and in the vertex buffer; it matches the vertex
// declaration the application builds for meshes (position, then texture coordinates 0 to 4).
struct MeshVertex
{
    Vector3 vPosition;   // model coordinates
    float u, v;          // texture coordinate
    Vector3 vTangent;
    Vector3 vBinormal;
    Vector3 vNormal;
    // Texel address of the vertex's triangle in the photon tracer's triangle texture.
    float fTriangleU, fTriangleV;
};
static_assert(sizeof(MeshVertex) == 64, "mesh vertices are uploaded byte for byte");

// A vertex of the shadow-volume buffer: position and the normal of the face it comes from.
struct ShadowVolumeVertex
{
    Vector3 vPosition;
    Vector3 vNormal;
};
static_assert(sizeof(ShadowVolumeVertex) == 24, "shadow-volume vertices are uploaded byte for byte");

// A vertex of the bounding-box line list: position and colour, FVF D3DFVF_XYZ | D3DFVF_DIFFUSE.
struct BoxLineVertex
{
    Vector3 vPosition;
    D3DCOLOR dwColor;
};
static_assert(sizeof(BoxLineVertex) == 16, "box line vertices are uploaded byte for byte");

// Rigid-body state of a mesh for the collision response.
struct MeshBodyState
{
    Vector3 vPosition;
    Vector3 vVelocity;
    int32_t nValue;
    Vector3 vVector1;
    Vector3 vAngularVelocity;
    Matrix4 matOrientation;
    Vector3 vAngularMomentum;
    // Inverse inertia tensor in world coordinates.
    Matrix4 matInverseInertia;
    D3DXQUATERNION qRotation;
    Vector3 vVector2;
    Vector3 vVector3;
};

class SceneMesh : public SceneObject, public SceneNode
{
public:
    static constexpr int LIGHT_SLOTS = 32;
    static constexpr uint32_t BOX_LINE_VERTICES = 24;
    // Bytes of the particle buffer per triangle of the emitter mesh.
    static constexpr uint32_t PARTICLE_BYTES_PER_TRIANGLE = 84;
    // Most open edges BuildShadowVolume records; further ones only clear the shadow flags.
    static constexpr int MAX_OPEN_EDGES = 10000;

    SceneMesh();
    // Releases the three vertex buffers and the box buffer and frees the vertex array.
    ~SceneMesh() override;

    // Replaces the vertex array by a zero-filled one of nTriangles triangles and sets both
    // counts; false, with no vertices and counts 0, for a negative count or a failed allocation.
    bool AllocateTriangles(int32_t nTriangles);

    // ---- Animation.
    // Per frame: the spin (when on), then world = scale x rotation x translation(offset) x base.
    void UpdateWorldMatrix(int nUnused = 0);
    // world = rotation x translation(offset - parent's offset) x parent's world copy.
    void UpdateWorldMatrixRelative(SceneMesh* pParent);
    bool QueryState(int nUnused = 0) const;

    // ---- Vertex buffers and geometry edits.
    // Repairs normals, computes the tangent space, uploads the vertices, sets the box corners,
    // the bounding radius and the box line buffer, and moves the rigid body by the offset.
    HRESULT CreateVertexBuffers(IDirect3DDevice9* pDevice);
    // In the vertex array: a normal nearly perpendicular to the average face normal at its
    // position is replaced by that average.
    void SmoothNormals();
    // The buffer edits below lock the whole vertex buffer, edit, and return the unlock's result
    // (a failed lock's result, nothing changed, when the lock fails). The vertex array is not
    // changed by any of them.
    HRESULT FlipNormals();
    // Planar mapping over the bounding box: u from x, v from z; an axis of zero extent gives 0.
    HRESULT GenerateTexCoords();
    HRESULT NormalizeTexCoords();
    HRESULT DenormalizeTexCoords();
    HRESULT SetTextureSize(float fWidth, float fHeight);
    HRESULT ScaleVertices(float x, float y, float z);
    HRESULT TranslateVertices(float x, float y, float z);
    HRESULT VisitVertices(int nUnused1, int nUnused2);
    // Normals of a buffer of 32-byte vertices (position, normal, u, v) become the average face
    // normal at their position.
    HRESULT SmoothNormals32();

    // ---- Particle buffer, shadow volume, collision.
    HRESULT CreateParticleVertexBuffer(IDirect3DDevice9* pDevice);
    // Extrusion geometry of a closed mesh: every face plus one triangle per shared edge side.
    // An open mesh casts no shadow and gets no buffer.
    HRESULT BuildShadowVolume(IDirect3DDevice9* pDevice);
    // Draws the bounding box in red lines on the rendering core's device, placed by the world
    // matrix; the world corners are kept in m_vWorldBoxCorners. Returns 0.
    int DrawBounds();
    int Collide(SceneMesh* pOther);

    // ---- Child objects (not owned).
    int AddChild(SceneObject* pChild);
    // Removes every child whose name equals the text, ignoring case; returns the count left.
    int RemoveChild(const char* szName);
    int RemoveChildAt(uint32_t nIndex);
    bool AcceptAll() const { return true; }

    MeshVertex* GetVertices() const { return m_pVertices; }

    int32_t m_nMeshFlag = 0;
    // Spin per frame about x, y, z in thousandths of a radian.
    int32_t m_nSpinSpeed[3] = {0, 0, 0};
    int32_t m_nMeshValue1 = 0;
    int32_t m_bVisible = 1;
    int32_t m_nMeshValue2 = 0;
    int32_t m_bAutoSpin = 0;
    int32_t m_nMeshValue3 = 0;
    // The speeds the property tree edits and the files store; the spin uses m_nSpinSpeed.
    float m_fSpinSpeed[3] = {0.0f, 0.0f, 0.0f};
    uint8_t m_bWireframe = 0;
    Vector3 m_vOffset{0.0f, 0.0f, 0.0f};
    Vector3 m_vAngles{0.0f, 0.0f, 0.0f};
    Vector3 m_vScaling{1.0f, 1.0f, 1.0f};
    int32_t m_nLightFlags[LIGHT_SLOTS];
    // Entry i: light i lights this mesh.
    int32_t m_bLitBy[LIGHT_SLOTS];
    int32_t m_nMeshValue4 = 0;
    int32_t m_bCastsShadow[LIGHT_SLOTS];
    int32_t m_nShadowTriangles = 0;
    // Bounding box in model coordinates: min x, max x, min y, max y, min z, max z.
    float m_fBounds[6] = {1.0e10f, -1.0e10f, 1.0e10f, -1.0e10f, 1.0e10f, -1.0e10f};
    uint8_t m_bRenderFlag = 0;
    // Texture size by which texture coordinates are normalised.
    float m_fTextureWidth = 1.0f;
    float m_fTextureHeight = 1.0f;
    SceneMaterial* m_pMaterial = nullptr;
    Matrix4 m_matWorld{};
    // Its translation (e12, e13, e14) is the position the property tree edits.
    Matrix4 m_matBase{};
    Matrix4 m_matWorldCopy{};
    int32_t m_nGeometryKind = 4;
    int32_t m_nVertexCount = 0;
    int32_t m_nTriangleCount = 0;
    // Read by the frustum test and the lens flare.
    Matrix4 m_matWorldCopy2{};
    IDirect3DVertexBuffer9* m_pVertexBuffer = nullptr;
    IDirect3DVertexBuffer9* m_pShadowVolumeBuffer = nullptr;
    IDirect3DVertexBuffer9* m_pParticleBuffer = nullptr;
    Vector3 m_vSphereCentre{0.0f, 0.0f, 0.0f};
    float m_fSphereRadius = 0.0f;
    SceneChildListKind0 m_ChildList0;
    SceneChildListKind1 m_ChildList1;
    SceneChildListKind2 m_ChildList2;
    int32_t m_nMeshValue5 = 0;
    MeshVertex* m_pVertices = nullptr;
    // Radius of the collision test.
    float m_fBoundingRadius = 0.1f;
    float m_fMeshValue6 = 1000.0f;
    int32_t m_nMeshValue7 = 0;
    PointerArray m_Children;
    uint8_t m_bMeshByte1 = 0;
    uint8_t m_bMeshByte2 = 0;
    // A path was loaded onto the mesh.
    int32_t m_bHasPath = 0;
    int32_t m_nMeshValue8 = 1;
    char m_szPathFile[SCENE_NAME_SIZE] = "NONE";
    uint8_t m_bMeshByte3 = 0;
    int32_t m_nMeshValue9 = 0;
    int32_t m_nMeshValue10 = 0;
    // The position the ".qnl" reader keeps.
    Vector3 m_vStoredPosition{0.0f, 0.0f, 0.0f};
    // The forward pass admits a transparent mesh only while its sphere is in view.
    uint8_t m_bInFrustum = 1;
    // Bounding-box corners minus the offset; corner i takes the max of x, y, z for bits 0, 1, 2.
    Vector3 m_vBoxCorners[8] = {};
    Vector3 m_vWorldBoxCorners[8] = {};
    IDirect3DVertexBuffer9* m_pBoxBuffer = nullptr;
    // The mesh's first triangle in the photon tracer's numbering.
    int32_t m_nFirstTriangle = 0;
    uint8_t m_bMeshByte5 = 0;
    uint8_t m_bMeshByte6 = 0;
    MeshBodyState m_BodyStates[2];
    MeshBodyState* m_pBodyState = &m_BodyStates[0];
    MeshBodyState* m_pNextBodyState = &m_BodyStates[1];
    float m_fBodyMass = 10.0f;
    Matrix4 m_matBody1{};
    Matrix4 m_matBody2{};
    Matrix4 m_matBody3{};
    Vector3 m_vBodyCorners[8] = {};
    int32_t m_nBodyValue = 0;
    float m_fBodyValue1 = -10.0f;
    float m_fBodyValue2 = -0.8f;
    uint8_t m_bBodyFlags[4] = {1, 0, 1, 0};
    // Restitution of the collision response.
    float m_fRestitution = 0.4f;
    float m_fBodyValue3 = 1.0f;
    uint8_t m_bBodyFlag1 = 0;
    uint8_t m_bBodyFlag2 = 1;

private:
    // Locks the whole vertex buffer, runs fn(vertex) on every vertex and unlocks.
    template <typename Fn>
    HRESULT EditVertexBuffer(Fn fn);
    void FillBoxLines(const Vector3* pCorners);
    bool ApplyCollisionResponse(SceneMesh* pOther, const Vector3& p, const Vector3& q, const Vector3& f);
};
