#pragma once
// ".mvn" scene files built byte by byte from the format's layout, for the reader's tests and the
// fuzz target's seed corpus. Independent of the store's own writer on purpose.
#include "SceneBytes.h"

#include <cassert>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace mvnfixture
{
inline void Names(SceneBytes& w, const std::string& strName, const std::string& strSecond)
{
    w.Text(strName);
    w.Text(strSecond);
}

// Position, rotation quaternion (x, y, z, w), scale.
inline void Transform(SceneBytes& w, float x, float y, float z)
{
    w.Floats({x, y, z, 0.1f, 0.2f, 0.3f, 0.9f, 2.0f, 2.0f, 2.0f});
}

inline void SceneInfo(SceneBytes& w)
{
    w.I32(0);
    Names(w, "scene name", "scene name");
}

// Reserved bytes of the records get this filler: the reader must not take anything from them.
constexpr uint8_t FILLER = 0xA5;

struct MaterialFixture
{
    std::string strName = "shared";
    float fReflection[4] = {0.0f, 0.5f, 0.0f, 0.75f};
    float fGlossPower = 40.0f;
    std::string strPaths[7] = {"C:\\maps\\diffuse.tga", "gloss.tga", "NONE", "second.tga", "fifth.tga", "", "opacity.tga"};
};

// Material name, then the 2,260-byte record at the offsets of the format.
inline void Material(SceneBytes& w, const MaterialFixture& m)
{
    w.Text(m.strName);
    [[maybe_unused]] const size_t nStart = w.Size();
    w.Floats({0.5f, 0.4f, 0.3f, 0.9f,      // diffuse
               0.6f, 0.7f, 0.8f, 0.25f,     // ambient
               0.11f, 0.12f, 0.13f, 0.14f,  // specular
               0.21f, 0.22f, 0.23f, 0.24f,  // emissive
               32.0f});                     // power
    w.Floats({m.fReflection[0], m.fReflection[1], m.fReflection[2], m.fReflection[3]});  // 68
    w.Fill(32, FILLER);
    w.Floats({m.fGlossPower});  // 116 gloss power
    w.Fill(28, FILLER);
    w.Floats({0.5f, 0.7f, 0.02f});  // 148 bump power, factor, value 1
    w.Fill(4, FILLER);
    w.Floats({3.0f, 4.0f});  // 164 repeat V and U of the diffuse map
    w.Fill(12, FILLER);
    for (int i = 0; i < 5; ++i)
        w.Text(m.strPaths[i]);  // 184
    w.Fill(512, FILLER);
    w.Text(m.strPaths[6]);  // 1976
    w.Fill(16, FILLER);
    w.Floats({0.25f});  // 2248 option 1
    w.Fill(8, FILLER);
    assert(w.Size() - nStart == 2260);
}

// Triangle t, corner k: position (t + k, 2t - k, 10 + k), normal (0, 0, 1), uv (0.25k, 0.5t).
inline void Vertices(SceneBytes& w, int32_t nVertexCount, int32_t nTriangles)
{
    w.I32(nVertexCount);
    w.I32(nTriangles);
    for (int32_t t = 0; t < nTriangles; ++t)
        for (int k = 0; k < 3; ++k)
            w.Floats({float(t + k), float(2 * t - k), float(10 + k), 0.0f, 0.0f, 1.0f, 0.25f * k, 0.5f * t});
}

inline void Geometry(SceneBytes& w, const std::string& strName, int32_t nTriangles, const MaterialFixture& material = {})
{
    w.I32(2);
    Names(w, strName, strName + " second");
    Transform(w, 7.0f, 8.0f, 9.0f);
    Material(w, material);
    Vertices(w, 3 * nTriangles, nTriangles);
}

// A spot light: the reader turns every ".mvn" light into a point light.
inline void SpotLight(SceneBytes& w, const std::string& strName)
{
    w.I32(3);
    Names(w, strName, "lamp");
    Transform(w, 1.0f, 2.0f, 3.0f);
    Transform(w, 90.0f, 91.0f, 92.0f);
    [[maybe_unused]] const size_t nStart = w.Size();
    w.I32(2);                                    // spot
    w.Floats({1.0f, 0.5f, 0.25f, 1.0f});             // diffuse
    w.Floats({0.3f, 0.3f, 0.3f, 1.0f});              // specular
    w.Floats({0.05f, 0.06f, 0.07f, 1.0f});           // ambient
    w.Floats({4.0f, 5.0f, 6.0f, 0.0f, -1.0f, 0.0f});  // position, direction
    w.Floats({50.0f, 2.0f, 0.1f, 0.2f, 0.3f, 0.5f, 0.8f});  // range, falloff, attenuations, theta, phi
    w.I32(0);                                    // halo
    w.Floats({7.5f, 2.0f, 8.5f, 3.0f});              // halo value 1, size, value 2, power
    w.I32(1);                                    // lens flare
    w.I32(1);                                    // lens flare ring
    w.I32(9);                                    // lens count
    w.Floats({50.0f, 0.9f});                         // flare size, density
    w.U8(0xFF);                                  // flag -1
    w.Fill(3, FILLER);
    assert(w.Size() - nStart == 148);
}

inline void Camera(SceneBytes& w)
{
    w.I32(4);
    Names(w, "camera", "");
    Transform(w, 1.0f, 1.0f, 1.0f);
    Transform(w, 1.0f, 1.0f, 1.0f);
    w.Fill(88, FILLER);
}

// A helper with a three-key position track and an empty scale track.
inline void Helper(SceneBytes& w, int32_t nStep = 1)
{
    w.I32(6);
    Names(w, "helper", "");
    Transform(w, 0.0f, 0.0f, 0.0f);
    w.I32(1);
    w.I32(0);
    w.I32(1);
    w.I32(0);
    w.I32(2);
    w.I32(nStep);
    for (int i = 0; i < 9; ++i)
        w.F32(float(i));
    w.I32(5);
    w.I32(4);
    w.I32(1);
}

inline void End(SceneBytes& w)
{
    w.I32(5);
}

// The file every test starts from: two meshes sharing a material, a camera and a helper of the
// rendering core between them, a spot light and an unknown tag.
inline std::vector<uint8_t> FixtureFile()
{
    SceneBytes w;
    SceneInfo(w);
    Geometry(w, "floor", 1);
    Camera(w);
    w.I32(1);
    SpotLight(w, "spot");
    Helper(w);
    Geometry(w, "wall", 2);
    End(w);
    return w.Get();
}

// Sizes of the fixture's records, from the format: tag, names, transform, material name and
// record, counts and 32 bytes per vertex.
constexpr size_t SCENE_INFO_BYTES = 4 + 512;
constexpr size_t MeshBytes(size_t nTriangles)
{
    return 4 + 512 + 40 + 256 + 2260 + 8 + 96 * nTriangles;
}
constexpr size_t LIGHT_BYTES = 4 + 512 + 80 + 148;
constexpr size_t CAMERA_BYTES = 4 + 512 + 80 + 88;
constexpr size_t HELPER_BYTES = 4 + 512 + 40 + 12 + 12 + 36 + 12;
constexpr size_t FLOOR_START = SCENE_INFO_BYTES;
constexpr size_t LIGHT_START = FLOOR_START + MeshBytes(1) + CAMERA_BYTES + 4;
constexpr size_t HELPER_START = LIGHT_START + LIGHT_BYTES;
constexpr size_t WALL_START = HELPER_START + HELPER_BYTES;
constexpr size_t END_START = WALL_START + MeshBytes(2);

}
