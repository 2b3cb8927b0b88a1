// Material and light records, cube-face views, format names and the screen quad.
#include "3dapi/D3DUtil.h"
#include "3dapi/ScreenQuad.h"
#include "DeviceTestBase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
using Texts = std::vector<std::string>;

void ExpectColour(const D3DCOLORVALUE& c, float r, float g, float b, float a, const char* szWhat)
{
    EXPECT_FLOAT_EQ(c.r, r) << szWhat;
    EXPECT_FLOAT_EQ(c.g, g) << szWhat;
    EXPECT_FLOAT_EQ(c.b, b) << szWhat;
    EXPECT_FLOAT_EQ(c.a, a) << szWhat;
}

TEST(D3DUtilTest, MaterialAndLightRecords)
{
    D3DMATERIAL9 material;
    std::memset(&material, 0x7F, sizeof(material));
    MakeMaterial(material, 0.25f, 0.5f, 0.75f, 1.0f);
    ExpectColour(material.Diffuse, 0.25f, 0.5f, 0.75f, 1.0f, "diffuse");
    ExpectColour(material.Ambient, 0.25f, 0.5f, 0.75f, 1.0f, "ambient");
    ExpectColour(material.Specular, 0, 0, 0, 0, "specular");
    ExpectColour(material.Emissive, 0, 0, 0, 0, "emissive");
    EXPECT_EQ(material.Power, 0.0f);

    D3DLIGHT9 light;
    std::memset(&light, 0x7F, sizeof(light));
    MakeLight(light, D3DLIGHT_DIRECTIONAL, 3.0f, 0.0f, -4.0f);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    ExpectColour(light.Diffuse, 1, 1, 1, 0, "diffuse");
    ExpectColour(light.Specular, 0, 0, 0, 0, "specular");
    EXPECT_FLOAT_EQ(light.Direction.x, 0.6f);
    EXPECT_FLOAT_EQ(light.Direction.z, -0.8f);
    EXPECT_FLOAT_EQ(light.Position.x, 3.0f);
    EXPECT_FLOAT_EQ(light.Position.z, -4.0f);
    EXPECT_EQ(light.Range, 1000.0f);
    EXPECT_EQ(light.Attenuation0, 0.0f);
    EXPECT_EQ(light.Phi, 0.0f);

    // A zero vector stays zero rather than becoming NaN.
    MakeLight(light, D3DLIGHT_POINT, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(light.Direction.x, 0.0f);
    EXPECT_EQ(light.Direction.y, 0.0f);
    EXPECT_EQ(light.Direction.z, 0.0f);
    EXPECT_EQ(light.Position.y, 0.0f);
}

TEST(D3DUtilTest, CubeFaceViewsLookAlongTheirAxisWithTheirUpVector)
{
    // In view space the eye looks along +z with +y up.
    const D3DXVECTOR3 directions[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const D3DXVECTOR3 ups[6] = {{0, 1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, 1, 0}};
    for (DWORD face = 0; face < 6; ++face)
    {
        D3DXMATRIX view = GetCubeFaceViewMatrix(face);
        D3DXVECTOR3 forward, up;
        D3DXVec3TransformNormal(&forward, &directions[face], &view);
        D3DXVec3TransformNormal(&up, &ups[face], &view);
        EXPECT_NEAR(forward.z, 1.0f, 1e-6f) << face;
        EXPECT_NEAR(up.y, 1.0f, 1e-6f) << face;
        // Left-handed: x = up × forward in world space is the view's +x.
        D3DXVECTOR3 right, viewRight;
        D3DXVec3Cross(&right, &ups[face], &directions[face]);
        D3DXVec3TransformNormal(&viewRight, &right, &view);
        EXPECT_NEAR(viewRight.x, 1.0f, 1e-6f) << face;
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXMATRIX outside = GetCubeFaceViewMatrix(7);
    EXPECT_EQ(std::memcmp(&identity, &outside, sizeof(identity)), 0);
}

TEST(D3DUtilTest, FormatNames)
{
    struct Case
    {
        D3DFORMAT nFormat;
        bool bPrefix;
        const char* szName;
    };
    const Case cases[] = {
        {D3DFMT_A8R8G8B8, false, "A8R8G8B8"},
        {D3DFMT_A8R8G8B8, true, "D3DFMT_A8R8G8B8"},
        {D3DFMT_UNKNOWN, true, "D3DFMT_UNKNOWN"},
        {D3DFMT_A4R4G4B4, false, "A4R4G4B4"},
        {D3DFMT_D16_LOCKABLE, false, "D16_LOCKABLE"},
        {D3DFMT_A32B32G32R32F, true, "D3DFMT_A32B32G32R32F"},
        {D3DFMT_MULTI2_ARGB8, false, "MULTI2_ARGB8"},
        {D3DFMT_DXT5, false, "DXT5"},
        {D3DFMT_UYVY, true, "D3DFMT_UYVY"},
        {static_cast<D3DFORMAT>(12345), false, "Unknown format"},
        {static_cast<D3DFORMAT>(12345), true, "Unknown format"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(D3DFormatName(c.nFormat, c.bPrefix), c.szName) << c.szName;
}

class ScreenQuadTest : public UtilityDeviceTest
{
};

TEST_F(ScreenQuadTest, CornersFlipsAndHalves)
{
    ScreenQuad quad;
    const float initial[4][2] = {{0.01f, 1}, {0.01f, 0.01f}, {1, 1}, {1, 0.01f}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_FLOAT_EQ(quad.GetVertices()[i].u, initial[i][0]);
        EXPECT_FLOAT_EQ(quad.GetVertices()[i].v, initial[i][1]);
    }
    quad.FlipU();
    EXPECT_FLOAT_EQ(quad.GetVertices()[0].u, 0.99f);
    quad.FlipU();
    EXPECT_NEAR(quad.GetVertices()[0].u, 0.01f, 1e-6f);

    // Without the half flag a draw keeps the coordinates and places the corners.
    quad.SetPosition(4, 2);
    quad.SetSize(8, 6);
    d3d9test::Recorder recorder(m_pDevice);
    quad.Draw(m_pDevice);
    recorder.Stop();
    const float corners[4][2] = {{4, 8}, {4, 2}, {12, 8}, {12, 2}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(quad.GetVertices()[i].x, corners[i][0]) << i;
        EXPECT_EQ(quad.GetVertices()[i].y, corners[i][1]) << i;
        EXPECT_EQ(quad.GetVertices()[i].dwColor, 0xFFFFFFFFu);
        EXPECT_NEAR(quad.GetVertices()[i].u, initial[i][0], 1e-6f);
    }
    Texts calls = recorder.Texts({"SetRenderState", "DrawPrimitiveUP"});
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "SetRenderState(SRCBLEND, ONE)");
    EXPECT_EQ(calls[1], "SetRenderState(DESTBLEND, ZERO)");
    EXPECT_EQ(calls[4].rfind("DrawPrimitiveUP(TRIANGLESTRIP, 2, ", 0), 0u) << calls[4];
    EXPECT_EQ(calls[5], "SetRenderState(ALPHABLENDENABLE, FALSE)");

    // Top and bottom, second half: u starts at 0.01, v covers the lower half; FlipV mirrors it.
    quad.SetHalfTexture(true);
    quad.SetHalfLayout(1);
    quad.SetFirstHalf(false);
    quad.Draw(m_pDevice);
    const float bottomHalf[4][2] = {{0.01f, 1}, {0.01f, 0.5f}, {1, 1}, {1, 0.5f}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_FLOAT_EQ(quad.GetVertices()[i].u, bottomHalf[i][0]) << i;
        EXPECT_FLOAT_EQ(quad.GetVertices()[i].v, bottomHalf[i][1]) << i;
    }
    quad.FlipV();
    EXPECT_FLOAT_EQ(quad.GetVertices()[0].v, 0.0f);
    EXPECT_FLOAT_EQ(quad.GetVertices()[1].v, 0.5f);

    // Left and right, first half.
    quad.SetHalfLayout(0);
    quad.SetFirstHalf(true);
    quad.Draw(m_pDevice);
    EXPECT_FLOAT_EQ(quad.GetVertices()[2].u, 0.5f);
    EXPECT_FLOAT_EQ(quad.GetVertices()[0].u, 0.0f);
}
}  // namespace
