// The records both scene formats share, decoded from bytes laid out by hand and written back.
#include "SceneBytes.h"

#include "core/Log.h"
#include "scene/SceneGeometryBlock.h"
#include "scene/SceneLight.h"
#include "scene/SceneMesh.h"
#include "scene/SceneRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
std::vector<uint8_t> Written(const ByteWriter& writer)
{
    return writer.GetBuffer();
}
}

TEST(SceneRecordsTest, NamesAreAlwaysTerminatedAndWrittenWithZerosAfterTheText)
{
    SceneBytes bytes;
    bytes.Fill(256, 'a');                            // no terminator at all
    bytes.Text("lamp").Get()[256 + 10] = 'x';        // junk after the terminator
    ByteReader reader(bytes.Get());
    SceneNames names;
    ASSERT_TRUE(ReadSceneNames(reader, names));
    EXPECT_EQ(std::string(names.m_szName), std::string(255, 'a'));
    EXPECT_STREQ(names.m_szSecondName, "lamp");
    EXPECT_EQ(reader.GetPosition(), NAMES_BLOCK_SIZE);

    ByteWriter writer;
    WriteSceneNames(writer, names.m_szName, names.m_szSecondName);
    SceneBytes expected;
    expected.Fill(255, 'a').U8(0).Text("lamp");
    EXPECT_EQ(Written(writer), expected.Get());

    ByteReader shortReader(bytes.Get().data(), 300);
    EXPECT_FALSE(ReadSceneNames(shortReader, names));
}

TEST(SceneRecordsTest, TransformAndDirect3DRecordsFollowTheirByteLayouts)
{
    SceneBytes bytes;
    bytes.Floats({1, 2, 3, 0.1f, 0.2f, 0.3f, 0.9f, 4, 5, 6});
    // D3DMATERIAL9: diffuse, ambient, specular, emissive (RGBA each), power.
    bytes.Floats({0.1f, 0.2f, 0.3f, 0.4f, 1.1f, 1.2f, 1.3f, 1.4f, 2.1f, 2.2f, 2.3f, 2.4f, 3.1f, 3.2f, 3.3f, 3.4f, 50});
    // D3DLIGHT9: type, diffuse, specular, ambient, position, direction, range, falloff, three
    // attenuations, theta, phi.
    bytes.I32(2).Floats({1, 0.5f, 0.25f, 1, 0.9f, 0.8f, 0.7f, 1, 0.1f, 0.1f, 0.1f, 1});
    bytes.Floats({10, 20, 30, 0, -1, 0, 1000, 1, 0.5f, 0.25f, 0.125f, 0.3f, 0.6f});
    ASSERT_EQ(bytes.Size(), TRANSFORM_RECORD_SIZE + D3DMATERIAL9_RECORD_SIZE + D3DLIGHT9_RECORD_SIZE);

    ByteReader reader(bytes.Get());
    TransformRecord transform;
    D3DMATERIAL9 material{};
    D3DLIGHT9 light{};
    ASSERT_TRUE(ReadTransformRecord(reader, transform));
    ASSERT_TRUE(ReadD3DMaterial(reader, material));
    ASSERT_TRUE(ReadD3DLight(reader, light));
    EXPECT_TRUE(reader.IsAtEnd());

    EXPECT_FLOAT_EQ(transform.m_vPosition.z, 3);
    EXPECT_FLOAT_EQ(transform.m_qRotation.w, 0.9f);
    EXPECT_FLOAT_EQ(transform.m_vScale.x, 4);
    EXPECT_FLOAT_EQ(material.Ambient.g, 1.2f);
    EXPECT_FLOAT_EQ(material.Emissive.a, 3.4f);
    EXPECT_FLOAT_EQ(material.Power, 50);
    EXPECT_EQ(light.Type, D3DLIGHT_SPOT);
    EXPECT_FLOAT_EQ(light.Specular.r, 0.9f);
    EXPECT_FLOAT_EQ(light.Position.y, 20);
    EXPECT_FLOAT_EQ(light.Direction.y, -1);
    EXPECT_FLOAT_EQ(light.Range, 1000);
    EXPECT_FLOAT_EQ(light.Attenuation2, 0.125f);
    EXPECT_FLOAT_EQ(light.Phi, 0.6f);

    ByteWriter writer;
    WriteTransformRecord(writer, transform);
    WriteD3DMaterial(writer, material);
    WriteD3DLight(writer, light);
    EXPECT_EQ(Written(writer), bytes.Get());

    // A record cut short changes nothing.
    D3DLIGHT9 untouched{};
    untouched.Range = 7;
    ByteReader shortReader(bytes.Get().data() + 108, 103);
    EXPECT_FALSE(ReadD3DLight(shortReader, untouched));
    EXPECT_FLOAT_EQ(untouched.Range, 7);
}

TEST(SceneRecordsTest, LightSettingsKeepTheirOrder)
{
    SceneBytes bytes;
    bytes.I32(1).Floats({0.5f, 5, 0.25f, 2}).I32(1).I32(1).I32(7).Floats({120, 0.3f});
    ByteReader reader(bytes.Get());
    SceneLight light;
    ASSERT_TRUE(ReadLightSettings(reader, light));
    EXPECT_EQ(light.m_bHalo, 1);
    EXPECT_FLOAT_EQ(light.m_fHaloValue1, 0.5f);
    EXPECT_FLOAT_EQ(light.m_fHaloSize, 5);
    EXPECT_FLOAT_EQ(light.m_fHaloValue2, 0.25f);
    EXPECT_FLOAT_EQ(light.m_fHaloPower, 2);
    EXPECT_EQ(light.m_bLensFlareRing, 1);
    EXPECT_EQ(light.m_nLensCount, 7);
    EXPECT_FLOAT_EQ(light.m_fLensFlareDensity, 0.3f);
    ByteWriter writer;
    WriteLightSettings(writer, light);
    EXPECT_EQ(Written(writer), bytes.Get());
}

TEST(SceneRecordsTest, KeyTracksAreCheckedAgainstTheBytesLeft)
{
    struct Case
    {
        int32_t nFirst, nLast, nStep;
        size_t nKeyBytesPresent;   // bytes after the track header
        bool bAccepted;
        size_t nEnd;               // position after a successful skip
    };
    const int32_t MIN = std::numeric_limits<int32_t>::min();
    const int32_t MAX = std::numeric_limits<int32_t>::max();
    const Case cases[] = {
        {0, 2, 1, 36, true, 12 + 36},        // three keys
        {0, 4, 2, 36, true, 12 + 36},        // 0, 2, 4
        {0, 5, 2, 40, true, 12 + 36},        // 0, 2, 4: 5 is not reached
        {3, 1, 1, 0, true, 12},              // first above last: no key
        {3, 1, 0, 0, true, 12},              // ... whatever the step
        {0, 2, 1, 35, false, 0},             // one byte short
        {0, 0, 0, 12, false, 0},             // step 0 never ends
        {0, 9, -1, 12, false, 0},            // nor does a negative step
        {MIN, MAX, 1, 120, false, 0},        // 2^32 keys
        {MIN, MAX, MAX, 36, true, 12 + 36},  // MIN, -1, MAX - 1: three keys
    };
    for (const Case& c : cases)
    {
        SceneBytes bytes;
        bytes.I32(c.nFirst).I32(c.nLast).I32(c.nStep).Fill(c.nKeyBytesPresent);
        ByteReader reader(bytes.Get());
        EXPECT_EQ(SkipKeyTrack(reader, 12), c.bAccepted) << c.nFirst << " " << c.nLast << " " << c.nStep;
        if (c.bAccepted)
        {
            EXPECT_EQ(reader.GetPosition(), c.nEnd) << c.nFirst << " " << c.nLast << " " << c.nStep;
        }
    }
}

TEST(SceneRecordsTest, HelperRecordsSkipOnlyTheTracksWhoseFlagIsOne)
{
    SceneBytes bytes;
    bytes.Text("helper").Text("").Fill(TRANSFORM_RECORD_SIZE);
    bytes.I32(1).I32(2).I32(1);                      // position and scale present, rotation not
    bytes.I32(0).I32(1).I32(1).Fill(24);             // two position keys
    bytes.I32(5).I32(5).I32(1).Fill(12);             // one scale key
    bytes.I32(5);                                    // the next tag
    ByteReader reader(bytes.Get());
    ASSERT_TRUE(SkipHelperRecord(reader));
    EXPECT_EQ(reader.GetRemaining(), 4u);

    SceneBytes rotation;
    rotation.Text("helper").Text("").Fill(TRANSFORM_RECORD_SIZE).I32(0).I32(1).I32(0);
    rotation.I32(0).I32(1).I32(1).Fill(31);          // two 16-byte keys need 32
    ByteReader shortReader(rotation.Get());
    EXPECT_FALSE(SkipHelperRecord(shortReader));
}

TEST(SceneRecordsTest, VertexBlockCountsAreCheckedBeforeAnythingIsAllocated)
{
    SetLogEcho(false);
    struct Case
    {
        int32_t nVertices, nTriangles;
        size_t nVertexBytes;
        bool bAccepted;
    };
    const Case cases[] = {
        {3, 1, 32 * 3, true},
        {6, 2, 32 * 6, true},
        {5, 1, 32 * 5, false},                     // not three per triangle
        {-1, 1, 32 * 3, false},
        {0x7FFFFFFF, 1, 32 * 3, false},
        {0, 0, 0, false},                          // no triangles
        {-3, -1, 0, false},
        {3, 1, 32 * 3 - 1, false},                 // cut short
        {3 << 24, 1 << 24, 32 * 3, false},         // past the vertex limit
        {static_cast<int32_t>(0x80000001u), 0x2AAAAAAB, 32 * 3, false},   // 3F wrapped to 32 bits
    };
    for (const Case& c : cases)
    {
        SceneBytes bytes;
        bytes.I32(c.nVertices).I32(c.nTriangles).Fill(c.nVertexBytes);
        ByteReader reader(bytes.Get());
        SceneMesh mesh;
        EXPECT_EQ(ReadVertexBlock(reader, mesh), c.bAccepted) << c.nVertices << " " << c.nTriangles;
        EXPECT_EQ(mesh.m_pVertices != nullptr, c.bAccepted) << c.nVertices << " " << c.nTriangles;
    }
    SetLogEcho(true);
}

TEST(SceneRecordsTest, VertexBlockSetsBoundsOffsetAndSphereAndRefusesNonFinitePositions)
{
    SetLogEcho(false);
    SceneBytes bytes;
    bytes.I32(3).I32(1);
    bytes.Floats({-1, 0, 2, 0, 0, 1, 0.5f, 0.25f});
    bytes.Floats({3, 4, 2, 0, 0, 1, 1, 0});
    bytes.Floats({1, 2, 6, 0, 0, 1, 0, 1});
    ByteReader reader(bytes.Get());
    SceneMesh mesh;
    ASSERT_TRUE(ReadVertexBlock(reader, mesh));
    EXPECT_EQ(mesh.m_nVertexCount, 3);
    EXPECT_EQ(mesh.m_nTriangleCount, 1);
    EXPECT_FLOAT_EQ(mesh.m_pVertices[0].u, 0.5f);
    EXPECT_FLOAT_EQ(mesh.m_pVertices[2].vNormal.z, 1);
    const float expectedBounds[6] = {-1, 3, 0, 4, 2, 6};
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(mesh.m_fBounds[i], expectedBounds[i]) << i;
    EXPECT_FLOAT_EQ(mesh.m_vOffset.x, 1);
    EXPECT_FLOAT_EQ(mesh.m_vOffset.y, 2);
    EXPECT_FLOAT_EQ(mesh.m_vOffset.z, 4);
    EXPECT_FLOAT_EQ(mesh.m_vSphereCentre.z, 4);
    // Largest extent 4: the sphere round a cube of side 4.
    EXPECT_NEAR(mesh.m_fSphereRadius, 2.0f * std::sqrt(3.0f), 1e-5f);
    EXPECT_FLOAT_EQ(mesh.m_matBase.e[0], 1);
    EXPECT_FLOAT_EQ(mesh.m_matBase.e[12], 0);

    // Written back from the vertex array (no buffer), with coordinates divided by the texture
    // size.
    mesh.m_fTextureWidth = 2;
    mesh.m_fTextureHeight = 4;
    ByteWriter writer;
    WriteVertexBlock(writer, mesh);
    SceneBytes expected;
    expected.I32(3).I32(1);
    expected.Floats({-1, 0, 2, 0, 0, 1, 0.25f, 0.0625f});
    expected.Floats({3, 4, 2, 0, 0, 1, 0.5f, 0});
    expected.Floats({1, 2, 6, 0, 0, 1, 0, 0.25f});
    EXPECT_EQ(Written(writer), expected.Get());
    EXPECT_FLOAT_EQ(mesh.m_pVertices[0].u, 0.5f) << "the mesh keeps its own coordinates";

    for (float fBad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
    {
        SceneBytes bad = bytes;
        float f = fBad;
        std::memcpy(bad.Get().data() + 8 + 32 + 4, &f, 4);
        ByteReader badReader(bad.Get());
        SceneMesh badMesh;
        EXPECT_FALSE(ReadVertexBlock(badReader, badMesh));
        EXPECT_EQ(badMesh.m_pVertices, nullptr);
    }
    SetLogEcho(true);
}
