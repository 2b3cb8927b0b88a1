#pragma once
// Meshes built in the tests: a cube of side s from the origin and a tetrahedron, both wound so
// that (b - a) x (c - a) points out of the solid, with outward normals.
#include "scene/SceneMesh.h"

#include <vector>

struct FixtureTriangle
{
    Vector3 a, b, c;
    Vector3 vNormal;
};

inline void FillMesh(SceneMesh& mesh, const std::vector<FixtureTriangle>& triangles)
{
    mesh.AllocateTriangles(static_cast<int32_t>(triangles.size()));
    for (size_t t = 0; t < triangles.size(); ++t)
    {
        const Vector3* corners[3] = {&triangles[t].a, &triangles[t].b, &triangles[t].c};
        for (int k = 0; k < 3; ++k)
        {
            MeshVertex& vertex = mesh.m_pVertices[t * 3 + k];
            vertex.vPosition = *corners[k];
            vertex.vNormal = triangles[t].vNormal;
            // Planar mapping onto the two axes the face spans.
            bool bAlongX = triangles[t].vNormal.x != 0.0f;
            vertex.u = bAlongX ? corners[k]->z : corners[k]->x;
            vertex.v = triangles[t].vNormal.y != 0.0f ? corners[k]->z : corners[k]->y;
        }
    }
    for (const FixtureTriangle& triangle : triangles)
    {
        for (const Vector3* p : {&triangle.a, &triangle.b, &triangle.c})
        {
            const float coords[3] = {p->x, p->y, p->z};
            for (int axis = 0; axis < 3; ++axis)
            {
                mesh.m_fBounds[axis * 2] = std::min(mesh.m_fBounds[axis * 2], coords[axis]);
                mesh.m_fBounds[axis * 2 + 1] = std::max(mesh.m_fBounds[axis * 2 + 1], coords[axis]);
            }
        }
    }
}

inline std::vector<FixtureTriangle> CubeTriangles(float s)
{
    struct Face
    {
        Vector3 p[4];
        Vector3 n;
    };
    const Face faces[6] = {
        {{{s, 0, 0}, {s, s, 0}, {s, s, s}, {s, 0, s}}, {1, 0, 0}},
        {{{0, 0, 0}, {0, 0, s}, {0, s, s}, {0, s, 0}}, {-1, 0, 0}},
        {{{0, s, 0}, {0, s, s}, {s, s, s}, {s, s, 0}}, {0, 1, 0}},
        {{{0, 0, 0}, {s, 0, 0}, {s, 0, s}, {0, 0, s}}, {0, -1, 0}},
        {{{0, 0, s}, {s, 0, s}, {s, s, s}, {0, s, s}}, {0, 0, 1}},
        {{{0, 0, 0}, {0, s, 0}, {s, s, 0}, {s, 0, 0}}, {0, 0, -1}},
    };
    std::vector<FixtureTriangle> triangles;
    for (const Face& face : faces)
    {
        triangles.push_back({face.p[0], face.p[1], face.p[2], face.n});
        triangles.push_back({face.p[0], face.p[2], face.p[3], face.n});
    }
    return triangles;
}

inline std::vector<FixtureTriangle> TetrahedronTriangles()
{
    const Vector3 a(0, 0, 0), b(1, 0, 0), c(0, 1, 0), d(0, 0, 1);
    const float k = 0.57735027f;  // 1 / sqrt(3)
    return {{a, c, b, {0, 0, -1}}, {a, b, d, {0, -1, 0}}, {a, d, c, {-1, 0, 0}}, {b, c, d, {k, k, k}}};
}
