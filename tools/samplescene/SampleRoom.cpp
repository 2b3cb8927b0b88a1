#include "SampleRoom.h"

#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneObject.h"

#include <d3d9.h>

#include <cstring>

namespace
{
struct Quad
{
    Vector3 a, b, c, d;   // corners in order around the face
};

// Front faces follow the device's rule: (b - a) x (c - a) points along the normal.
void AddQuad(MeshVertex*& pVertex, const Quad& quad, const Vector3& vNormal)
{
    const Vector3 corners[6] = {quad.a, quad.b, quad.c, quad.a, quad.c, quad.d};
    const float uv[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 6; ++i, ++pVertex)
    {
        *pVertex = MeshVertex{};
        pVertex->vPosition = corners[i];
        pVertex->vNormal = vNormal;
        pVertex->u = uv[i][0];
        pVertex->v = uv[i][1];
    }
}

// The corners of the face of normal n (a unit axis) of the box [lo, hi], in order around it.
Quad BoxFace(const Vector3& lo, const Vector3& hi, const Vector3& n)
{
    auto P = [&](int x, int y, int z) { return Vector3(x ? hi.x : lo.x, y ? hi.y : lo.y, z ? hi.z : lo.z); };
    if (n.x > 0)
        return {P(1, 0, 0), P(1, 1, 0), P(1, 1, 1), P(1, 0, 1)};
    if (n.x < 0)
        return {P(0, 0, 1), P(0, 1, 1), P(0, 1, 0), P(0, 0, 0)};
    if (n.y > 0)
        return {P(0, 1, 0), P(0, 1, 1), P(1, 1, 1), P(1, 1, 0)};
    if (n.y < 0)
        return {P(0, 0, 1), P(0, 0, 0), P(1, 0, 0), P(1, 0, 1)};
    if (n.z > 0)
        return {P(1, 0, 1), P(1, 1, 1), P(0, 1, 1), P(0, 0, 1)};
    return {P(0, 0, 0), P(0, 1, 0), P(1, 1, 0), P(1, 0, 0)};
}

// Keeps (b - a) x (c - a) along n, whatever BoxFace's order gives.
Quad Wound(const Quad& quad, const Vector3& n)
{
    Vector3 vCross = Cross(quad.b - quad.a, quad.c - quad.a);
    return Dot(vCross, n) >= 0.0f ? quad : Quad{quad.a, quad.d, quad.c, quad.b};
}

SceneMaterial* MakeMaterial(SceneStore& store, const char* szName, float r, float g, float b)
{
    auto* pMaterial = new SceneMaterial;
    pMaterial->SetName(szName);
    pMaterial->m_Material.Diffuse = {r, g, b, 1.0f};
    pMaterial->m_Material.Ambient = {0.1f, 0.1f, 0.1f, 1.0f};
    pMaterial->m_Material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    pMaterial->m_Material.Power = 1000.0f;
    // No maps: the readers load the media folder's white texture in their place.
    for (char* szPath : pMaterial->m_szTexturePaths)
        std::strcpy(szPath, "NONE");
    if (store.m_Materials.Add(pMaterial) < 0)
    {
        delete pMaterial;
        return nullptr;
    }
    return pMaterial;
}

bool AddMesh(SceneStore& store, const char* szName, SceneMaterial* pMaterial, const Quad* pQuads,
             const Vector3* pNormals, int nQuads)
{
    auto* pMesh = new SceneMesh;
    pMesh->SetName(szName);
    pMesh->SetType(TREE_ITEM_MESH);
    if (!pMaterial || !pMesh->AllocateTriangles(nQuads * 2))
    {
        delete pMesh;
        return false;
    }
    MeshVertex* pVertex = pMesh->m_pVertices;
    for (int i = 0; i < nQuads; ++i)
        AddQuad(pVertex, Wound(pQuads[i], pNormals[i]), pNormals[i]);
    pMesh->m_pMaterial = pMaterial;
    pMesh->m_matBase.SetIdentity();
    return store.AddMesh(pMesh);
}
}

bool BuildSampleRoom(SceneStore& store)
{
    const float s = SAMPLE_ROOM_HALF_SIDE;
    SceneMaterial* pWhite = MakeMaterial(store, "White", 0.9f, 0.9f, 0.9f);
    SceneMaterial* pRed = MakeMaterial(store, "Red", 0.9f, 0.1f, 0.1f);
    SceneMaterial* pGreen = MakeMaterial(store, "Green", 0.1f, 0.9f, 0.1f);

    // The room's faces are the inside of the cube [-s, s]^3: each normal points to the centre.
    const Vector3 lo(-s, -s, -s), hi(s, s, s);
    struct Face
    {
        const char* szName;
        Vector3 vNormal;
        SceneMaterial* pMaterial;
    };
    const Face faces[] = {
        {"Floor", Vector3(0, 1, 0), pWhite},      {"Ceiling", Vector3(0, -1, 0), pWhite},
        {"LeftWall", Vector3(1, 0, 0), pRed},     {"RightWall", Vector3(-1, 0, 0), pGreen},
        {"BackWall", Vector3(0, 0, -1), pWhite},  {"FrontWall", Vector3(0, 0, 1), pWhite},
    };
    bool bOk = true;
    for (const Face& face : faces)
    {
        // The wall at -normal of the cube, seen from inside.
        Quad quad = BoxFace(lo, hi, face.vNormal * -1.0f);
        bOk = AddMesh(store, face.szName, face.pMaterial, &quad, &face.vNormal, 1) && bOk;
    }

    // The box: 3 on a side, standing on the floor in the right back quarter.
    const Vector3 boxLo(0.5f, -s, 0.5f), boxHi(3.5f, -s + 3.0f, 3.5f);
    const Vector3 normals[6] = {Vector3(1, 0, 0),  Vector3(-1, 0, 0), Vector3(0, 1, 0),
                                Vector3(0, -1, 0), Vector3(0, 0, 1),  Vector3(0, 0, -1)};
    Quad boxQuads[6];
    for (int i = 0; i < 6; ++i)
        boxQuads[i] = BoxFace(boxLo, boxHi, normals[i]);
    bOk = AddMesh(store, "Box", pWhite, boxQuads, normals, 6) && bOk;

    auto* pLight = new SceneLight;
    pLight->SetName("Light");
    pLight->SetType(TREE_ITEM_LIGHT);
    pLight->m_Light.Type = D3DLIGHT_POINT;
    pLight->m_Light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    pLight->m_Light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    pLight->m_Light.Position = {0.0f, 3.0f, 0.0f};
    pLight->m_Light.Range = 100000.0f;
    pLight->m_Light.Attenuation0 = 1.0f;
    pLight->m_vLightPosition = Vector3(0.0f, 3.0f, 0.0f);
    pLight->m_bLightFlag = 1;
    bOk = store.AddLight(pLight) && bOk;

    // The camera stands near the front wall at eye height and looks along +z (its identity
    // orientation), with a field of view wide enough to show both coloured walls.
    SceneCamera& camera = store.m_Camera;
    camera.m_fFov = 1.2f;
    camera.m_fFrontClip = 0.1f;
    camera.m_fBackClip = 100.0f;
    camera.m_RigidBody.m_vPosition = Vector3(0.0f, 0.0f, -4.5f);
    camera.m_RigidBody.m_qOrientation = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    camera.m_vEyePosition = camera.m_RigidBody.m_vPosition;
    return bOk;
}
