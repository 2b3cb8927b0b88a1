#pragma once
// The 3DS fixture scene (L3DSFixtureBytes.h) written as an ".x" file: the same two objects in
// the scene's y-up coordinates, so that importing either file gives the same triangles. Frame
// "Box" holds "BoxMesh", the unit square in y = 0 facing +y, textured and in the fixture
// material's diffuse colour; frame "Tri" holds "TriMesh", the triangle in z = 0 facing -z,
// without materials. ".x" has no cameras or lights.
#include "../dxfile/XFileWriter.h"

#include <string>

namespace xscene_fixture
{
// The diffuse colour of the fixture's material "Brick".
constexpr float BRICK_RED = 1.0f, BRICK_GREEN = 128.0f / 255.0f, BRICK_BLUE = 0.0f;

inline void WriteIdentityTransform(XFileWriter& w)
{
    w.Begin("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).End();
}

inline std::vector<uint8_t> BuildXScene(bool bBinary, const std::string& texture = "brick.tga")
{
    XFileWriter w(bBinary);
    w.Begin("Header").Dwords({1, 0, 1}).End();

    w.Begin("Frame", "Box");
    WriteIdentityTransform(w);
    w.Begin("Mesh", "BoxMesh");
    w.Dwords({4});
    w.Floats({0, 0, 0}).Floats({1, 0, 0}).Floats({1, 0, 1}).Floats({0, 0, 1});
    w.Dwords({2}).Dwords({3, 0, 1, 2}).Dwords({3, 0, 2, 3});
    w.Begin("MeshNormals").Dwords({1}).Floats({0, 1, 0}).Dwords({2}).Dwords({3, 0, 0, 0}).Dwords({3, 0, 0, 0}).End();
    w.Begin("MeshTextureCoords").Dwords({4}).Floats({0, 0}).Floats({1, 0}).Floats({1, 1}).Floats({0, 1}).End();
    w.Begin("MeshMaterialList").Dwords({1, 2, 0, 0});
    w.Begin("Material").Floats({BRICK_RED, BRICK_GREEN, BRICK_BLUE, 1}).Floats({1.5f}).Floats({0, 0, 0});
    w.Floats({0, 0, 0});
    w.Begin("TextureFilename").String(texture).End();
    w.End().End();
    w.End();
    w.End();

    w.Begin("Frame", "Tri");
    WriteIdentityTransform(w);
    w.Begin("Mesh", "TriMesh");
    w.Dwords({3});
    w.Floats({0, 0, 0}).Floats({2, 0, 0}).Floats({0, 2, 0});
    w.Dwords({1}).Dwords({3, 0, 1, 2});
    w.Begin("MeshNormals").Dwords({1}).Floats({0, 0, -1}).Dwords({1}).Dwords({3, 0, 0, 0}).End();
    w.End();
    w.End();
    return w.Bytes();
}

// A quad mesh of side 1 from (0, 0, 0) in z = 0 named szMesh, white, without texture.
inline void WriteUnitQuad(XFileWriter& w, const std::string& name)
{
    WriteQuadMesh(w, name, 0, 0, 1, 1, 1, 1, 1, 1, "");
}

inline void WriteTranslation(XFileWriter& w, float x, float y, float z)
{
    w.Begin("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}).End();
}

// Frame "A" (moved by x + 10) with mesh "MA" and the children "B1" (y + 5, mesh "MB1") and
// "B2" (z + 7, mesh "MB2"); then frame "C" (no move) with mesh "MC".
inline std::vector<uint8_t> BuildFrameTree()
{
    XFileWriter w(false);
    w.Begin("Header").Dwords({1, 0, 1}).End();
    w.Begin("Frame", "A");
    WriteTranslation(w, 10, 0, 0);
    WriteUnitQuad(w, "MA");
    w.Begin("Frame", "B1");
    WriteTranslation(w, 0, 5, 0);
    WriteUnitQuad(w, "MB1");
    w.End();
    w.Begin("Frame", "B2");
    WriteTranslation(w, 0, 0, 7);
    WriteUnitQuad(w, "MB2");
    w.End();
    w.End();
    w.Begin("Frame", "C");
    WriteUnitQuad(w, "MC");
    w.End();
    return w.Bytes();
}
}
