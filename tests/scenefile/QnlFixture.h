#pragma once
// A ".qnl" scene laid out byte by byte from the file format, independently of the project's
// writer: the scene-info record with its render options, two meshes (materials "stone" and
// "glass"), a spot light and the camera, then the end tag. The values are chosen so that the
// reader's fixed and clamped values differ from the file's; QnlFileTest checks each one.
#include "SceneBytes.h"

#include <string>

namespace qnlfixture
{
constexpr int32_t TAG_INFO = 0, TAG_GEOMETRY = 2, TAG_LIGHT = 3, TAG_CAMERA = 4, TAG_END = 5, TAG_HELPER = 6;

// Render options: Trace Photon and Reflection on, a dynamic-cube byte of 7, 100 cube passes,
// 40 layer passes, junk in the reserved bytes.
inline SceneBytes SceneInfo()
{
    SceneBytes b;
    b.I32(TAG_INFO).Text("scene name").Text("scene name");
    b.U8(1).U8(1).U8(7).U8(0).I32(100).I32(40).U8(1).U8(1).Fill(2, 0xCC).F32(0.5f).F32(2.0f).Fill(4, 0xCC);
    return b;
}

struct MeshSpec
{
    std::string strName;
    std::string strSecondName;
    std::string strMaterial;
    float fMaterialValue1;
    int32_t nTriangles;
    float fOrigin;   // moves the mesh's vertices along x
};

inline SceneBytes MaterialBlock(const MeshSpec& spec)
{
    SceneBytes b;
    b.Text(spec.strMaterial);
    b.Floats({0.8f, 0.7f, 0.6f, 1.0f, 0.3f, 0.0f, 0.0f, 1.0f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2000.0f});
    b.Floats({0.2f, 1.5f, -0.1f, 0.7f});     // reflection: g and b out of range
    b.Floats({0.9f, 1.0f, 1.0f, 0.0f});      // opacity
    b.Floats({1.5f, 0.0f, 0.0f, 0.0f});      // refraction index 1.5
    b.Floats({1.0f, 2.0f, 3.0f, 4.0f});      // material values
    b.I32(11).I32(13).I32(14).I32(15);       // options 0, 3, 4, 5
    b.F32(300.0f).F32(4000.0f);              // bump and gloss power
    b.Floats({2, 3, 4, 1, 1, 1, 1, 1});      // repeat V
    b.Floats({5, 6, 7, 1, 1, 1, 1, 1});      // repeat U
    b.F32(0.9f).F32(spec.fMaterialValue1);
    b.Floats({9.0f, 9.0f, 9.0f, 9.0f});      // options 1, 2, 6, 7
    b.Text("C:\\textures\\wall.png").Text("").Text("NONE").Text("second.png").Text("fifth").Text("refl.dds");
    b.Text("opacity.png");
    b.U8(0x5A);
    return b;
}

inline SceneBytes GeometryBlock(const MeshSpec& spec)
{
    SceneBytes b;
    b.I32(3 * spec.nTriangles).I32(spec.nTriangles);
    for (int32_t t = 0; t < spec.nTriangles; ++t)
    {
        float x = spec.fOrigin + static_cast<float>(t);
        b.Floats({x, 0, 0, 0, 0, 1, 0.0f, 0.0f});
        b.Floats({x + 4, 0, 0, 0, 0, 1, 0.5f, 0.0f});
        b.Floats({x, 2, 6, 0, 0, 1, 0.0f, 0.25f});
    }
    b.I32(1);                                // path flag
    b.I32(0).I32(10).I32(-5);                // integer spin
    b.I32(77).I32(1).I32(3).I32(1);          // value 1, visible, value 2, auto spin
    b.U8(1).Fill(3, 0xEE);                   // wireframe and three spare bytes
    b.Floats({0.0f, 1.5f, -2.0f});           // spin speeds: -2 loads as 0
    b.Floats({10, 20, 30});                  // base position
    b.Floats({0.1f, 0.2f, 0.3f});            // angles
    b.Floats({1, 2, 3});                     // scaling
    for (int i = 0; i < 32; ++i)
        b.I32(i);                            // light flags
    for (int i = 0; i < 32; ++i)
        b.I32(i % 2);                        // lit by
    b.I32(99);
    return b;
}

inline SceneBytes MeshRecord(const MeshSpec& spec)
{
    SceneBytes b;
    b.I32(TAG_GEOMETRY).Text(spec.strName).Text(spec.strSecondName);
    b.Floats({1, 2, 3, 0, 0, 0, 1, 1, 1, 1});
    b.Append(MaterialBlock(spec)).Append(GeometryBlock(spec));
    return b;
}

inline const MeshSpec& Box()
{
    static const MeshSpec spec{"box", "box second", "stone", 0.5f, 1, 0.0f};
    return spec;
}

inline const MeshSpec& Glass()
{
    static const MeshSpec spec{"glass", "", "glass", 2.0f, 2, -8.0f};
    return spec;
}

inline SceneBytes LightRecord(int32_t nType = 2)
{
    SceneBytes b;
    b.I32(TAG_LIGHT).Text("lamp").Text("lamp second");
    b.Floats({1, 2, 3, 0, 0, 0, 1, 1, 1, 1});   // first transform: its position is overridden
    b.Floats({4, 5, 6, 0, 0, 0, 1, 1, 1, 1});   // second transform: skipped
    b.I32(nType);
    b.Floats({1, 0.9f, 0.8f, 1, 0.5f, 0.5f, 0.5f, 1, 0.1f, 0.1f, 0.1f, 1});
    b.Floats({5, 5, 5, 0, -1, 0, 50, 2, 1, -0.5f, 0.25f, 0.5f, 0.8f});
    b.I32(0).F32(0.5f).F32(9).F32(0.25f).F32(7).I32(1).I32(1).I32(9).F32(33).F32(0.9f);
    b.U8(0).Text("old.dds");
    b.Floats({7, 8, 9, 1, 1, 1, 2, 2, 2});
    for (int i = 21; i <= 26; ++i)
        b.I32(i);
    return b;
}

inline SceneBytes CameraRecord(float qw = 2.0f)
{
    SceneBytes b;
    b.I32(TAG_CAMERA);
    b.Floats({1.0f, 1.25f, 2.0f, 9000.0f}).I32(0).I32(200);
    b.Floats({400, 50, 500, 0.5f, 0.2f, 20, 1, 2, 3, 4, 0.1f, 0.2f, 0.3f, 0.4f});
    b.U8(1);
    b.Floats({1, 2, 3, 4, 5, 6, 7, 8, 9});      // eye, stored vectors
    b.Floats({10, 20, 30, 1, 0, 0});            // position, velocity
    b.Floats({0, 0, 0, qw});                    // orientation
    b.Floats({0, 0.1f, 0, 0, 0, 0, 0, 0, 0});   // angular velocity, deformation and its rate
    return b;
}

inline SceneBytes End()
{
    SceneBytes b;
    b.I32(TAG_END);
    return b;
}

// The whole fixture: scene info, box, glass, lamp, camera, end.
inline SceneBytes Scene()
{
    SceneBytes b;
    b.Append(SceneInfo()).Append(MeshRecord(Box())).Append(MeshRecord(Glass())).Append(LightRecord());
    b.Append(CameraRecord()).Append(End());
    return b;
}
}
