// The background box's side rule and shader constants.
#include "raster/BackgroundBox.h"
#include "scene/PointerArray.h"
#include "scene/SceneLight.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
struct LightSpec
{
    float x, y, z;
    bool bEnabled;
};

// A scene box from (-1, -2, -3) to (3, 4, 5) (centre (1, 1, 1), extents 4, 6, 8) and lights at
// the given offsets from its centre, in list order.
float Side(int nMode, const std::vector<LightSpec>& specs, Vector3 vMin = {-1, -2, -3}, Vector3 vMax = {3, 4, 5})
{
    std::vector<std::unique_ptr<SceneLight>> lights;
    PointerArray list;
    const Vector3 m((vMin.x + vMax.x) / 2, (vMin.y + vMax.y) / 2, (vMin.z + vMax.z) / 2);
    for (const LightSpec& spec : specs)
    {
        lights.push_back(std::make_unique<SceneLight>());
        lights.back()->m_vLightPosition = Vector3(m.x + spec.x, m.y + spec.y, m.z + spec.z);
        lights.back()->m_bEnabled = spec.bEnabled ? 1 : 0;
        list.Add(lights.back().get());
    }
    return BackgroundBoxSide(nMode, vMin, vMax, list);
}
}

TEST(BackgroundBoxTest, SideRules)
{
    struct Case
    {
        const char* szName;
        int nMode;
        std::vector<LightSpec> lights;
        float fSide;
    };
    const Case cases[] = {
        {"camera: 1.5 x the largest extent", BACKGROUND_CAMERA, {{100, 0, 0, true}}, 12.0f},
        {"photons, no lights: 1.1 however large the scene", BACKGROUND_PHOTON_ENERGY, {}, 1.1f},
        {"cube position, no lights", BACKGROUND_CUBE_POSITION, {}, 1.1f},
        {"a light inside half the side changes nothing", BACKGROUND_PHOTON_ENERGY, {{0.5f, -0.5f, 0.2f, true}}, 1.1f},
        {"x then z: 10.4 does not pass half of 21", BACKGROUND_PHOTON_ENERGY,
         {{10, 0, 0, true}, {0, 0, 10.4f, true}}, 21.0f},
        {"z then x: 10.4 first, 10 does not pass half of 21.84", BACKGROUND_PHOTON_ENERGY,
         {{0, 0, 10.4f, true}, {10, 0, 0, true}}, 21.84f},
        {"axes in x, y, z order within a light", BACKGROUND_CUBE_POSITION, {{3, -8, 5, true}}, 16.8f},
        {"a disabled light is ignored", BACKGROUND_PHOTON_ENERGY, {{50, 0, 0, false}, {0, 2, 0, true}}, 4.2f},
    };
    for (const Case& test : cases)
        EXPECT_NEAR(Side(test.nMode, test.lights), test.fSide, 1e-4f) << test.szName;

    // A flat scene keeps 1.5 x its largest extent; an empty one gives 0.
    EXPECT_FLOAT_EQ(Side(BACKGROUND_CAMERA, {}, {0, 0, 0}, {2, 0, 0}), 3.0f);
    EXPECT_FLOAT_EQ(Side(BACKGROUND_CAMERA, {}, {1, 1, 1}, {1, 1, 1}), 0.0f);
}

TEST(BackgroundBoxTest, ConstantsCentreTheBoxOnTheScene)
{
    D3DXMATRIX view, projection;
    D3DXVECTOR3 eye(2, 3, -10), at(1, 1, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 3, 1.0f, 1.0f, 100.0f);
    ConstantTable vertex, pixel;
    BuildBackgroundBoxConstants(Vector3(2, 3, -10), view, projection, Vector3(-1, -2, -3), Vector3(3, 4, 5), vertex,
                                pixel);
    const float expectedPixel[][5] = {{0, 1, 1, 1, 1},       {1, 2, 1, 1, 0.5f},    {8, 0.5f, 0.5f, 0.5f, 1},
                                      {16, 0, 0, 49.12f, 1}, {19, 1, 1, 0.1f, 0},   {23, 4, 6, 8, 1},
                                      {24, -1, -2, -3, 1}};
    for (const auto& row : expectedPixel)
    {
        int n = (int)row[0];
        EXPECT_TRUE(pixel.nWritten & (1u << n)) << "c" << n;
        for (int k = 0; k < 4; ++k)
            EXPECT_FLOAT_EQ(pixel.c[n][k], row[1 + k]) << "c" << n << "." << k;
    }
    // A box corner relative to the centre goes through c8-c11 to the world and through c4-c7 to
    // the same clip position as the world point through c12-c15.
    const float corner[4] = {2, -2, 2, 1};
    auto apply = [&](int nFirst, const float p[4], float out[4]) {
        for (int r = 0; r < 4; ++r)
            out[r] = p[0] * vertex.c[nFirst + r][0] + p[1] * vertex.c[nFirst + r][1] + p[2] * vertex.c[nFirst + r][2] +
                     p[3] * vertex.c[nFirst + r][3];
    };
    float world[4], clip[4], clipFromWorld[4];
    apply(8, corner, world);
    apply(4, corner, clip);
    apply(12, world, clipFromWorld);
    EXPECT_FLOAT_EQ(world[0], 3.0f);
    EXPECT_FLOAT_EQ(world[1], -1.0f);
    EXPECT_FLOAT_EQ(world[2], 3.0f);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(clip[k], clipFromWorld[k], 1e-4f);
    EXPECT_FLOAT_EQ(vertex.c[2][0], 2.0f);
    EXPECT_FLOAT_EQ(vertex.c[2][3], 1.0f);
}
