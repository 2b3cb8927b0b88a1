#include "core/TangentSpace.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace
{
using V3 = std::array<double, 3>;
using UV = std::array<float, 2>;

struct Corner
{
    V3 position;
    UV uv;
    V3 normal = {0.0, 0.0, 1.0};
};

NmfTriangle MakeTriangle(const Corner& a, const Corner& b, const Corner& c)
{
    NmfTriangle t;
    const Corner* corners[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i)
    {
        for (int k = 0; k < 3; ++k)
        {
            t.m_fPositions[i][k] = static_cast<float>(corners[i]->position[k]);
            t.m_fNormals[i][k] = static_cast<float>(corners[i]->normal[k]);
        }
        t.m_fTexCoords[i][0] = corners[i]->uv[0];
        t.m_fTexCoords[i][1] = corners[i]->uv[1];
    }
    return t;
}

V3 Normalized(const V3& v)
{
    double d = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / d, v[1] / d, v[2] / d};
}

void ExpectNear(const double actual[3], const V3& expected, const std::string& what)
{
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(actual[k], expected[k], 1e-9) << what << " component " << k;
}

// Tangents and binormals of every corner, and the welded vertex count.
struct Basis
{
    std::vector<TangentTriangle> triangles;
    std::vector<TangentCorner> vertices;
    std::vector<int32_t> indices;
};

Basis Compute(const std::vector<NmfTriangle>& triangles)
{
    Basis basis;
    int32_t nCount = static_cast<int32_t>(triangles.size());
    EXPECT_TRUE(ComputeTangentSpace(nCount, triangles.data(), basis.triangles));
    EXPECT_TRUE(ComputeIndexedTangentSpace(nCount, triangles.data(), basis.vertices, basis.indices));
    return basis;
}

// The unit square in the z = 0 plane as two triangles, mapped by the given texture coordinates
// of its corners (0,0), (1,0), (1,1), (0,1).
std::vector<NmfTriangle> Quad(const UV uv[4])
{
    Corner c[4] = {{{0, 0, 0}, uv[0]}, {{1, 0, 0}, uv[1]}, {{1, 1, 0}, uv[2]}, {{0, 1, 0}, uv[3]}};
    return {MakeTriangle(c[0], c[1], c[2]), MakeTriangle(c[0], c[2], c[3])};
}
}

TEST(TangentSpaceTest, TexturedQuadFollowsItsMappingAndWeldsToFourVertices)
{
    struct Case
    {
        const char* szName;
        UV uv[4];
        V3 tangent;
        V3 binormal;
    };
    const Case cases[] = {
        {"u along x, v along y", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {1, 0, 0}, {0, 1, 0}},
        {"u along y, v against x", {{1, 0}, {1, -1}, {2, -1}, {2, 0}}, {0, 1, 0}, {-1, 0, 0}},
        {"stretched: u twice over x", {{0, 0}, {2, 0}, {2, 1}, {0, 1}}, {1, 0, 0}, {0, 1, 0}},
        {"mirrored in u", {{1, 0}, {0, 0}, {0, 1}, {1, 1}}, {-1, 0, 0}, {0, 1, 0}},
    };
    for (const Case& c : cases)
    {
        Basis basis = Compute(Quad(c.uv));
        ASSERT_EQ(basis.triangles.size(), 2u) << c.szName;
        for (int t = 0; t < 2; ++t)
            for (int corner = 0; corner < 3; ++corner)
            {
                std::string what = std::string(c.szName) + " triangle " + std::to_string(t) + " corner " +
                                   std::to_string(corner);
                ExpectNear(basis.triangles[static_cast<size_t>(t)].m_dTangents[corner], c.tangent, what + " tangent");
                ExpectNear(basis.triangles[static_cast<size_t>(t)].m_dBinormals[corner], c.binormal,
                           what + " binormal");
            }
        EXPECT_EQ(basis.vertices.size(), 4u) << c.szName;
        // Corners (0,0) and (1,1) are shared by the two triangles.
        EXPECT_EQ(basis.indices, (std::vector<int32_t>{basis.indices[0], basis.indices[1], basis.indices[2],
                                                       basis.indices[0], basis.indices[2], basis.indices[5]}))
            << c.szName;
        EXPECT_EQ(basis.vertices[static_cast<size_t>(basis.indices[0])].m_nCount, 2) << c.szName;
        EXPECT_EQ(basis.vertices[static_cast<size_t>(basis.indices[1])].m_nCount, 1) << c.szName;
    }
}

TEST(TangentSpaceTest, CubeWithFlatFacesKeepsFourVerticesPerFace)
{
    // Each face: its outward normal and the directions in which u and v grow over it.
    struct Face
    {
        V3 normal, u, v;
    };
    const Face faces[] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}}, {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    };
    std::vector<NmfTriangle> triangles;
    for (const Face& f : faces)
    {
        Corner c[4];
        const UV uvs[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int i = 0; i < 4; ++i)
        {
            double su = uvs[i][0] - 0.5, sv = uvs[i][1] - 0.5;
            for (int k = 0; k < 3; ++k)
                c[i].position[k] = 0.5 * f.normal[k] + su * f.u[k] + sv * f.v[k];
            c[i].uv = uvs[i];
            c[i].normal = f.normal;
        }
        triangles.push_back(MakeTriangle(c[0], c[1], c[2]));
        triangles.push_back(MakeTriangle(c[0], c[2], c[3]));
    }
    Basis basis = Compute(triangles);
    // The eight cube corners are shared by three faces each, but their normals differ.
    EXPECT_EQ(basis.vertices.size(), 24u);
    for (size_t t = 0; t < triangles.size(); ++t)
        for (int corner = 0; corner < 3; ++corner)
        {
            std::string what = "triangle " + std::to_string(t) + " corner " + std::to_string(corner);
            ExpectNear(basis.triangles[t].m_dTangents[corner], faces[t / 2].u, what + " tangent");
            ExpectNear(basis.triangles[t].m_dBinormals[corner], faces[t / 2].v, what + " binormal");
        }
    for (const TangentCorner& vertex : basis.vertices)
        EXPECT_EQ(vertex.m_nCount, std::abs(vertex.m_dU - vertex.m_dV) < 1e-9 ? 2 : 1);
}

TEST(TangentSpaceTest, SharedCornersAverageAlikeBasesAndKeepMirroredOnesApart)
{
    // Triangle A maps u along x; triangle B shares its edge (1,0,0)-(0,1,0) with the same
    // texture coordinates there. With B's far corner at uv (1, 2), B has u = x and v = x + 2y,
    // so its tangent (constant v, growing u) is (2, -1, 0) / sqrt 5 and its binormal (0, 1, 0).
    Corner a0{{0, 0, 0}, {0, 0}}, shared1{{1, 0, 0}, {1, 0}}, shared2{{0, 1, 0}, {0, 1}};
    Corner b3{{1, 1, 0}, {1, 2}};
    Basis alike = Compute({MakeTriangle(a0, shared1, shared2), MakeTriangle(shared1, b3, shared2)});
    const V3 tangentA = {1, 0, 0};
    const V3 tangentB = Normalized({2, -1, 0});
    const V3 average = Normalized({tangentA[0] + tangentB[0], tangentA[1] + tangentB[1], 0});
    EXPECT_EQ(alike.vertices.size(), 4u);
    ExpectNear(alike.triangles[0].m_dTangents[0], tangentA, "A's own corner");
    ExpectNear(alike.triangles[1].m_dTangents[1], tangentB, "B's own corner");
    ExpectNear(alike.triangles[0].m_dTangents[1], average, "shared corner in A");
    ExpectNear(alike.triangles[0].m_dTangents[2], average, "shared corner in A");
    ExpectNear(alike.triangles[1].m_dTangents[0], average, "shared corner in B");
    ExpectNear(alike.triangles[1].m_dTangents[2], average, "shared corner in B");
    for (int corner = 0; corner < 3; ++corner)
        ExpectNear(alike.triangles[1].m_dBinormals[corner], {0, 1, 0}, "B's binormal");

    // Triangle C is A mirrored across x = 0 with the same texture coordinates, so u grows
    // towards -x: the shared corners (0,0,0) and (0,1,0) have equal position, normal and uv but
    // opposite tangents, and stay six separate vertices.
    Corner c1{{-1, 0, 0}, {1, 0}};
    Basis mirrored = Compute({MakeTriangle(a0, shared1, shared2), MakeTriangle(a0, c1, shared2)});
    EXPECT_EQ(mirrored.vertices.size(), 6u);
    for (int corner = 0; corner < 3; ++corner)
    {
        ExpectNear(mirrored.triangles[0].m_dTangents[corner], {1, 0, 0}, "A");
        ExpectNear(mirrored.triangles[1].m_dTangents[corner], {-1, 0, 0}, "mirror");
        ExpectNear(mirrored.triangles[1].m_dBinormals[corner], {0, 1, 0}, "mirror binormal");
    }

    // Continuing the mapping instead (u = -1 at x = -1) welds the shared corners.
    Corner d1{{-1, 0, 0}, {-1, 0}};
    EXPECT_EQ(Compute({MakeTriangle(a0, shared1, shared2), MakeTriangle(a0, d1, shared2)}).vertices.size(), 4u);
}

TEST(TangentSpaceTest, PositionsWithinOneTenMillionthWeld)
{
    Corner p0{{0, 0, 0}, {0, 0}}, p1{{1, 0, 0}, {1, 0}}, p2{{0, 1, 0}, {0, 1}};
    struct Case
    {
        double dOffset;
        size_t nVertices;
    };
    for (const Case& c : {Case{0.0, 3}, Case{1e-8, 3}, Case{1e-6, 4}})
    {
        Corner moved = p0;
        moved.position[0] = c.dOffset;
        Basis basis = Compute({MakeTriangle(p0, p1, p2), MakeTriangle(moved, p1, p2)});
        EXPECT_EQ(basis.vertices.size(), c.nVertices) << c.dOffset;
    }
}

TEST(TangentSpaceTest, DefaultsForMissingMappingAndForDirectionsAlongTheNormal)
{
    struct Case
    {
        const char* szName;
        UV uv[3];
        V3 normal;
        V3 tangent;
        V3 binormal;
    };
    // Corners (0,0,0), (0,1,0), (1,0,0); the mapping {0,0},{1,0},{0,1} makes u grow along y and
    // v along x.
    const Case cases[] = {
        {"u all zero, v mapped", {{0, 0}, {0, 1}, {0, 0.5f}}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
        {"tangent along the normal", {{0, 0}, {1, 0}, {0, 1}}, {0, 1, 0}, {1, 0, 0}, {1, 0, 0}},
        {"binormal along the normal", {{0, 0}, {1, 0}, {0, 1}}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"plain", {{0, 0}, {1, 0}, {0, 1}}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    };
    for (const Case& c : cases)
    {
        Corner corners[3] = {{{0, 0, 0}, c.uv[0], c.normal}, {{0, 1, 0}, c.uv[1], c.normal},
                             {{1, 0, 0}, c.uv[2], c.normal}};
        Basis basis = Compute({MakeTriangle(corners[0], corners[1], corners[2])});
        EXPECT_EQ(basis.vertices.size(), 3u) << c.szName;
        for (int corner = 0; corner < 3; ++corner)
        {
            ExpectNear(basis.triangles[0].m_dTangents[corner], c.tangent, std::string(c.szName) + " tangent");
            ExpectNear(basis.triangles[0].m_dBinormals[corner], c.binormal, std::string(c.szName) + " binormal");
        }
    }
}

TEST(TangentSpaceTest, FloatVariantMatchesAndBadArgumentsFail)
{
    const UV uv[4] = {{0, 0}, {2, 0}, {2, 3}, {0, 3}};
    std::vector<NmfTriangle> quad = Quad(uv);
    quad[1].m_fNormals[1][0] = 0.25f;
    std::vector<TangentTriangle> doubles;
    std::vector<TangentTriangleF> floats;
    ASSERT_TRUE(ComputeTangentSpace(2, quad.data(), doubles));
    ASSERT_TRUE(ComputeTangentSpaceF(2, quad.data(), floats));
    ASSERT_EQ(floats.size(), 2u);
    for (size_t t = 0; t < 2; ++t)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
            {
                EXPECT_EQ(floats[t].m_fTangents[c][k], static_cast<float>(doubles[t].m_dTangents[c][k]));
                EXPECT_EQ(floats[t].m_fBinormals[c][k], static_cast<float>(doubles[t].m_dBinormals[c][k]));
            }

    std::vector<TangentTriangle> out(1);
    std::vector<TangentCorner> vertices(1);
    std::vector<int32_t> indices(1);
    EXPECT_FALSE(ComputeTangentSpace(0, quad.data(), out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(ComputeTangentSpace(-1, quad.data(), out));
    EXPECT_FALSE(ComputeTangentSpace(2, nullptr, out));
    EXPECT_FALSE(ComputeTangentSpaceF(0, quad.data(), floats));
    EXPECT_TRUE(floats.empty());
    EXPECT_FALSE(ComputeIndexedTangentSpace(0, quad.data(), vertices, indices));
    EXPECT_TRUE(vertices.empty());
    EXPECT_TRUE(indices.empty());
}
