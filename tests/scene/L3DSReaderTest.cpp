// The 3DS reader on files built byte by byte: every field of a small scene, and a table of
// hostile variants that must be refused or read in part without a face naming a missing vertex.
#include "L3DSFixtureBytes.h"

#include "core/Log.h"
#include "scene/L3DS.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

using namespace l3ds_fixture;

namespace
{
void ExpectVector(const L3DSVector& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

bool LogContains(const char* szText)
{
    for (const LogLine& line : GetLogLines())
        if (line.m_strText.find(szText) != std::string::npos)
            return true;
    return false;
}

// What no file may produce: a face naming a vertex the mesh does not have, or arrays out of step.
void ExpectConsistent(L3DS& reader)
{
    for (uint32_t m = 0; m < reader.GetMeshCount(); ++m)
    {
        const L3DSMesh& mesh = reader.GetMesh(m);
        for (uint32_t f = 0; f < mesh.GetTriangleCount(); ++f)
        {
            const L3DSFace& face = mesh.GetFace(f);
            ASSERT_LT(face.a, mesh.GetVertexCount());
            ASSERT_LT(face.b, mesh.GetVertexCount());
            ASSERT_LT(face.c, mesh.GetVertexCount());
            ASSERT_TRUE(face.nMaterialId == L3DS_NO_MATERIAL || face.nMaterialId < reader.GetMaterialCount());
        }
    }
}
}

TEST(L3DSReader, ReadsEveryFieldOfASmallScene)
{
    L3DS reader;
    ASSERT_TRUE(reader.LoadFromMemory(BuildScene()));

    ASSERT_EQ(reader.GetMaterialCount(), 1u);
    const L3DSMaterial& material = reader.GetMaterial(0);
    EXPECT_EQ(material.GetName(), "Brick");
    EXPECT_EQ(material.GetID(), 0);
    EXPECT_FLOAT_EQ(material.GetAmbientColor().g, 0.2f);
    EXPECT_FLOAT_EQ(material.GetDiffuseColor().r, 1.0f);
    EXPECT_FLOAT_EQ(material.GetDiffuseColor().g, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(material.GetShininess(), 0.5f);
    EXPECT_FLOAT_EQ(material.GetTransparency(), 1.0f);
    EXPECT_EQ(material.GetShading(), 2);
    EXPECT_STREQ(material.GetTextureMap1().szFileName, "brick.png");
    EXPECT_FLOAT_EQ(material.GetTextureMap1().fStrength, 1.0f);
    EXPECT_FLOAT_EQ(material.GetTextureMap1().fUScale, 2.0f);
    EXPECT_FLOAT_EQ(material.GetTextureMap1().fVScale, 3.0f);
    EXPECT_STREQ(material.GetReflectionMap().szFileName, "auto");
    EXPECT_FLOAT_EQ(material.GetReflectionMap().fStrength, 0.4f);
    EXPECT_STREQ(material.GetBumpMap().szFileName, "");

    ASSERT_EQ(reader.GetMeshCount(), 2u);
    const L3DSMesh& box = reader.GetMesh(0);
    EXPECT_EQ(box.GetName(), "Box");
    // Corners 0 and 2 are shared by faces of masks 1 and 2: each gets a copy for the second face.
    ASSERT_EQ(box.GetVertexCount(), 6u);
    ASSERT_EQ(box.GetTriangleCount(), 2u);
    EXPECT_EQ(box.GetFace(1).a, 4);
    EXPECT_EQ(box.GetFace(1).b, 5);
    EXPECT_EQ(box.GetFace(1).c, 3);
    EXPECT_EQ(box.GetTriangle(1).a, 4);
    EXPECT_FLOAT_EQ(box.GetVertex(5).x, 1.0f);
    EXPECT_FLOAT_EQ(box.GetUV(5).v, 1.0f);
    for (uint32_t v = 0; v < 6; ++v)
    {
        ExpectVector(box.GetNormal(v), 0, 0, 1);
        ExpectVector(box.GetTangent(v), 1, 0, 0);
        ExpectVector(box.GetBinormal(v), 0, -1, 0);
    }
    ASSERT_EQ(box.GetMaterialCount(), 1u);
    EXPECT_EQ(box.GetMaterialId(0), 0u);
    L3DSFullTriangle full = box.GetFullTriangle(1);
    EXPECT_EQ(full.nMaterialId, 0u);
    EXPECT_FLOAT_EQ(full.c.y, 1.0f);
    ExpectVector(full.vFaceNormal, 0, 0, 1);

    const L3DSMesh& tri = reader.GetMesh(1);
    EXPECT_EQ(tri.GetName(), "Tri");
    EXPECT_EQ(tri.GetMaterialCount(), 0u);
    EXPECT_EQ(tri.GetFace(0).nMaterialId, L3DS_NO_MATERIAL);
    // The local matrix is kept, but the default level leaves the vertices where the file put them.
    EXPECT_FLOAT_EQ(tri.GetMatrix().m[12], 10.0f);
    EXPECT_FLOAT_EQ(tri.GetVertex(1).x, 2.0f);
    EXPECT_FLOAT_EQ(tri.GetVertex(1).w, 1.0f);

    ASSERT_EQ(reader.GetCameraCount(), 1u);
    const L3DSCamera& camera = reader.GetCamera(0);
    EXPECT_EQ(camera.GetName(), "Cam");
    ExpectVector(camera.GetPosition(), 1, 2, 3);
    ExpectVector(camera.GetTarget(), 4, 5, 6);
    EXPECT_FLOAT_EQ(camera.GetFOV(), 48.0f);
    EXPECT_FLOAT_EQ(camera.GetNearPlane(), 1.0f);
    EXPECT_FLOAT_EQ(camera.GetFarPlane(), 500.0f);

    ASSERT_EQ(reader.GetLightCount(), 1u);
    const L3DSLight& light = reader.GetLight(0);
    EXPECT_EQ(light.GetName(), "Spot");
    ExpectVector(light.GetPosition(), 7, 8, 9);
    EXPECT_FLOAT_EQ(light.GetColor().r, 1.0f);
    EXPECT_FLOAT_EQ(light.GetColor().b, 0.2f);
    EXPECT_TRUE(light.IsSpotlight());
    EXPECT_FLOAT_EQ(light.GetHotspot(), 30.0f);
    EXPECT_FLOAT_EQ(light.GetFalloff(), 45.0f);
    EXPECT_FLOAT_EQ(light.GetAttenuationEnd(), 250.0f);
    EXPECT_FLOAT_EQ(light.GetAttenuationStart(), 100.0f);

    EXPECT_NE(reader.FindMesh("Tri"), nullptr);
    EXPECT_EQ(reader.FindMesh("tri"), nullptr);
    EXPECT_NE(reader.FindLight("Spot"), nullptr);
}

TEST(L3DSReader, SecondLoadKeepsCamerasOnly)
{
    L3DS reader;
    ASSERT_TRUE(reader.LoadFromMemory(BuildScene()));
    ASSERT_TRUE(reader.LoadFromMemory(BuildScene()));
    EXPECT_EQ(reader.GetMeshCount(), 2u);
    EXPECT_EQ(reader.GetLightCount(), 1u);
    EXPECT_EQ(reader.GetCameraCount(), 2u);
}

TEST(L3DSReader, MissingFileIsRefusedWithAMessage)
{
    ClearLogLines();
    L3DS reader("/nonexistent/model.3ds");
    EXPECT_EQ(reader.GetMeshCount(), 0u);
    EXPECT_TRUE(LogContains("cannot open file"));
}

struct HostileCase
{
    const char* szName;
    std::function<void(std::vector<uint8_t>&, const SceneOffsets&)> patch;
    bool bResult;
    uint32_t nMeshes;
    uint32_t nBoxTriangles; // of the first mesh, when there is one
    const char* szLog;      // expected in the log, or null
};

TEST(L3DSReader, HostileFilesAreRefusedOrReadInPart)
{
    const HostileCase cases[] = {
        {"not a 3DS file", [](auto& b, auto&) { PatchU16(b, 0, 0x1234); }, false, 0, 0, "wrong file format"},
        {"no editor chunk",
         [](auto& b, auto&) {
             for (size_t i = 6; i + 1 < b.size(); ++i)
                 if (b[i] == 0x3D && b[i + 1] == 0x3D)
                 {
                     PatchU16(b, i, 0x3D3E);
                     break;
                 }
         },
         false, 0, 0, nullptr},
        {"vertex chunk longer than its mesh",
         [](auto& b, auto& o) { PatchU32(b, o.nBoxVertexChunkLength, 100000); }, true, 2, 0, nullptr},
        {"zero-length vertex chunk", [](auto& b, auto& o) { PatchU32(b, o.nBoxVertexChunkLength, 0); }, true, 2, 0,
         nullptr},
        // The refused vertex list leaves the texture coordinates to size the mesh, as when they come first.
        {"vertex count past the chunk", [](auto& b, auto& o) { PatchU16(b, o.nBoxVertexCount, 60000); }, true, 2, 2,
         "vertex list"},
        {"face count past the chunk", [](auto& b, auto& o) { PatchU16(b, o.nBoxFaceCount, 5000); }, true, 2, 0,
         "face list"},
        {"face naming a missing vertex", [](auto& b, auto& o) { PatchU16(b, o.nBoxFirstFaceIndex, 9); }, true, 2, 1,
         "name vertices"},
        {"group naming an unknown material", [](auto& b, auto& o) { b[o.nGroupMaterialName] = 'X'; }, true, 2, 2,
         "unknown material"},
        {"group naming a face past the count", [](auto& b, auto& o) { PatchU16(b, o.nGroupFirstFace, 300); }, true,
         2, 2, nullptr},
        {"main chunk longer than the file", [](auto& b, auto&) { PatchU32(b, 2, 0x7FFFFFFF); }, true, 2, 2,
         "main chunk"},
    };
    for (const HostileCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        SceneOffsets offsets;
        std::vector<uint8_t> bytes = BuildScene(&offsets);
        c.patch(bytes, offsets);
        ClearLogLines();
        L3DS reader;
        EXPECT_EQ(reader.LoadFromMemory(bytes), c.bResult);
        EXPECT_EQ(reader.GetMeshCount(), c.nMeshes);
        if (c.nMeshes)
        {
            EXPECT_EQ(reader.GetMesh(0).GetTriangleCount(), c.nBoxTriangles);
        }
        if (c.szLog)
        {
            EXPECT_TRUE(LogContains(c.szLog));
        }
        ExpectConsistent(reader);
    }
}

TEST(L3DSReader, GroupsSkipBadEntriesAndLensZeroKeepsTheDefaultView)
{
    SceneOffsets offsets;
    std::vector<uint8_t> bytes = BuildScene(&offsets);
    PatchU16(bytes, offsets.nGroupFirstFace, 300);
    PatchU32(bytes, offsets.nCameraLens, 0);
    L3DS reader;
    ASSERT_TRUE(reader.LoadFromMemory(bytes));
    EXPECT_EQ(reader.GetMesh(0).GetFace(0).nMaterialId, L3DS_NO_MATERIAL);
    EXPECT_EQ(reader.GetMesh(0).GetFace(1).nMaterialId, 0u);
    EXPECT_FLOAT_EQ(reader.GetCamera(0).GetFOV(), 80.0f);
}

TEST(L3DSReader, FileCutAtEveryByteReadsWhatIsWhole)
{
    const std::vector<uint8_t> bytes = BuildScene();
    for (size_t n = 0; n < bytes.size(); ++n)
    {
        SCOPED_TRACE(n);
        L3DS reader;
        reader.LoadFromMemory(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(n)));
        ASSERT_LE(reader.GetMeshCount(), 2u);
        ExpectConsistent(reader);
    }
}
