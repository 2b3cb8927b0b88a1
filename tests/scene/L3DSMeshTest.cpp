// Geometry of the 3DS mesh: normals with splitting by smoothing group, texture space, the local
// matrix, and the guarded setters of the model classes.
#include "scene/L3DSModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// A unit cube of 8 shared corners and 12 faces, wound outwards; side s (two faces) gets
// masks[s].
L3DSMesh BuildCube(const uint32_t masks[6])
{
    L3DSMesh mesh;
    mesh.SetVertexArraySize(8);
    for (uint32_t i = 0; i < 8; ++i)
        mesh.SetVertex({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1), 1.0f}, i);
    const uint16_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    mesh.SetTriangleArraySize(12);
    for (uint32_t s = 0; s < 6; ++s)
    {
        const uint16_t* q = sides[s];
        L3DSFace f;
        f.nSmoothingGroups = masks[s];
        f.a = q[0], f.b = q[1], f.c = q[2];
        mesh.SetFace(f, 2 * s);
        f.a = q[0], f.b = q[2], f.c = q[3];
        mesh.SetFace(f, 2 * s + 1);
    }
    return mesh;
}

float Dot(const L3DSVector& a, const L3DSVector& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
}

TEST(L3DSMesh, CubeSidesOfDifferentGroupsGetSplitFlatCorners)
{
    const uint32_t masks[6] = {1, 2, 4, 8, 16, 32};
    L3DSMesh mesh = BuildCube(masks);
    mesh.CalcNormals(true);
    ASSERT_EQ(mesh.GetVertexCount(), 24u);
    for (uint32_t f = 0; f < 12; ++f)
    {
        const L3DSFace& face = mesh.GetFace(f);
        for (uint16_t v : {face.a, face.b, face.c})
        {
            // Flat: each corner's normal is its face's normal, pointing out of the cube.
            EXPECT_NEAR(Dot(mesh.GetNormal(v), face.vNormal), 1.0f, 1e-5f);
            L3DSVertex p = mesh.GetVertex(v);
            L3DSVector out = {p.x - 0.5f, p.y - 0.5f, p.z - 0.5f};
            EXPECT_GT(Dot(out, face.vNormal), 0.0f);
        }
        EXPECT_EQ(mesh.GetTriangle(f).a, face.a);
    }
}

TEST(L3DSMesh, OneGroupKeepsCornersAndAveragesTheirNormals)
{
    const uint32_t masks[6] = {1, 1, 1, 1, 1, 1};
    L3DSMesh mesh = BuildCube(masks);
    mesh.CalcNormals(true);
    ASSERT_EQ(mesh.GetVertexCount(), 8u);
    // Corner 7 = (1, 1, 1); its normal leans equally along all three axes.
    EXPECT_GT(mesh.GetNormal(7).x, 0.4f);
    EXPECT_NEAR(mesh.GetNormal(7).x, mesh.GetNormal(7).z, 0.2f);
    EXPECT_NEAR(L3DSVec3Length(mesh.GetNormal(7)), 1.0f, 1e-5f);

    // Masks that share a bit are still different groups.
    const uint32_t overlapping[6] = {1, 3, 1, 3, 1, 3};
    L3DSMesh split = BuildCube(overlapping);
    split.CalcNormals(true);
    // Corners 0 and 7 see one mask; the other six see both and are split once.
    EXPECT_EQ(split.GetVertexCount(), 14u);
}

TEST(L3DSMesh, ZeroAreaFaceAndUnusedVertexGetZeroNormals)
{
    L3DSMesh mesh;
    mesh.SetVertexArraySize(4);
    mesh.SetVertex({0, 0, 0, 1}, 0);
    mesh.SetVertex({1, 0, 0, 1}, 1);
    mesh.SetVertex({2, 0, 0, 1}, 2);
    mesh.SetTriangleArraySize(1);
    L3DSFace f;
    f.a = 0, f.b = 1, f.c = 2;
    mesh.SetFace(f, 0);
    mesh.Optimize(1);
    EXPECT_EQ(L3DSVec3Length(mesh.GetFace(0).vNormal), 0.0f);
    EXPECT_EQ(L3DSVec3Length(mesh.GetNormal(1)), 0.0f);
    EXPECT_EQ(L3DSVec3Length(mesh.GetNormal(3)), 0.0f);
}

TEST(L3DSMesh, SplittingStopsWhereSixteenBitIndicesEnd)
{
    // 65,535 vertices; vertex 0 is shared by three faces of three groups, so only one copy fits.
    L3DSMesh mesh;
    mesh.SetVertexArraySize(65535);
    for (uint32_t i = 1; i < 7; ++i)
        mesh.SetVertex({float(i), float(i * i), 0, 1}, i);
    mesh.SetTriangleArraySize(3);
    for (uint16_t i = 0; i < 3; ++i)
    {
        L3DSFace f;
        f.a = 0, f.b = static_cast<uint16_t>(2 * i + 1), f.c = static_cast<uint16_t>(2 * i + 2);
        f.nSmoothingGroups = 1u << i;
        mesh.SetFace(f, i);
    }
    mesh.CalcNormals(true);
    EXPECT_EQ(mesh.GetVertexCount(), 65536u);
    EXPECT_EQ(mesh.GetFace(1).a, 65535);
    EXPECT_EQ(mesh.GetFace(2).a, 0);
}

TEST(L3DSMesh, OnlyLevelZeroAppliesTheLocalMatrix)
{
    const float translate[16] = {1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 0, 0, 0, 1};
    L3DSMesh mesh;
    mesh.SetVertexArraySize(1);
    mesh.SetVertex({1, 2, 3, 1}, 0);
    mesh.SetMatrix(translate);
    mesh.Optimize(2);
    EXPECT_FLOAT_EQ(mesh.GetVertex(0).x, 1.0f);
    mesh.Optimize(0);
    EXPECT_FLOAT_EQ(mesh.GetVertex(0).x, 6.0f);
    EXPECT_FLOAT_EQ(mesh.GetVertex(0).z, 10.0f);

    // A homogeneous result is divided by its w.
    L3DSMatrix half = L3DSMatrixIdentity();
    half.m[15] = 2.0f;
    L3DSVertex v = L3DSTransformVertex(half, {4, 4, 4, 1});
    EXPECT_FLOAT_EQ(v.x, 2.0f);
    EXPECT_FLOAT_EQ(v.w, 1.0f);
}

TEST(L3DSMesh, GuardedSettersAndClampedMaterialValues)
{
    L3DSMesh mesh;
    mesh.SetVertexArraySize(2);
    mesh.SetVertex({9, 9, 9, 1}, 2);
    mesh.SetUV({5, 5}, 2);
    mesh.SetNormal({1, 1, 1}, 2);
    EXPECT_EQ(mesh.GetVertexCount(), 2u);
    EXPECT_EQ(mesh.GetVertex(1).x, 0.0f);

    L3DSMaterial material;
    material.SetShininess(1.5f);
    EXPECT_EQ(material.GetShininess(), 1.0f);
    material.SetShininess(-0.2f);
    EXPECT_EQ(material.GetShininess(), 0.0f);
    material.SetTransparency(0.25f);
    EXPECT_EQ(material.GetTransparency(), 0.25f);
    EXPECT_EQ(material.GetShading(), 2);
    EXPECT_EQ(L3DSCamera().GetFOV(), 80.0f);
}
