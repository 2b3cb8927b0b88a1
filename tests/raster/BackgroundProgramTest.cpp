// The background box's programs against their formulas: the vertex program, the camera view's
// cube lookup from the scene centre, the photon direction and energy written to two targets,
// and the object cube position mapped back into the scene box, with and without the noise.
#include "ForwardFormulas.h"
#include "ProgramFixture.h"

#include <algorithm>
#include <string>

namespace
{
void ExpectNear(F4 got, F4 want, const std::string& strWhat)
{
    const float g[4] = {got.x, got.y, got.z, got.w}, w[4] = {want.x, want.y, want.z, want.w};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(g[k], w[k], 1e-5f * std::max(1.0f, std::fabs(w[k]))) << strWhat << ", component " << k;
}

class BackgroundProgramTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        const F4 cube[6] = {{0.9f, 0.1f, 0.1f, 0.5f}, {0.1f, 0.9f, 0.1f, 0.6f}, {0.1f, 0.1f, 0.9f, 0.7f},
                            {0.9f, 0.9f, 0.1f, 0.8f}, {0.1f, 0.9f, 0.9f, 0.9f}, {0.9f, 0.1f, 0.9f, 1.0f}};
        BindCube(2, cube);
        BindTexture(3, 2, 2, {{0.8f, 0.3f, 0.6f, 0.2f}, {0.1f, 0.9f, 0.4f, 0.7f}, {0.5f, 0.2f, 0.9f, 0.6f},
                              {0.3f, 0.7f, 0.2f, 0.9f}});
        // The constants of the box pass: centre (1, 2, 3), extent (4, 6, 8), minimum (-1, -1, -1).
        c[0] = {1, 2, 3, 1};
        c[1] = {2, 1, 1, 0.5f};
        c[8] = {0.5f, 0.5f, 0.5f, 1};
        c[16] = {0, 0, 49.12f, 1};
        c[19] = {1, 1, 0.1f, 0};
        c[23] = {4, 6, 8, 1};
        c[24] = {-1, -1, -1, 1};
        c[29] = {0.5f, 0.25f, 2.0f, 1};
        in.t[2] = {0.13f, -0.27f, 0.41f, 0};
    }

    // Draws with a second float target bound; the colours of both at pixel (0, 0).
    void ShadeTwoTargets(int nResourceId, F4& first, F4& second)
    {
        IDirect3DTexture9* pSecond = nullptr;
        ASSERT_EQ(m_pDevice->CreateTexture(2, 2, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A32B32G32R32F, D3DPOOL_DEFAULT,
                                           &pSecond, nullptr),
                  D3D_OK);
        m_Objects.push_back(pSecond);
        IDirect3DSurface9* pSurface = nullptr;
        pSecond->GetSurfaceLevel(0, &pSurface);
        m_pDevice->SetRenderTarget(1, pSurface);
        first = Shade(nResourceId, in, c);
        m_pDevice->SetRenderTarget(1, nullptr);
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
        pSurface->Release();
        const float* pPixel = data.Pixel(0, 0);
        second = {pPixel[0], pPixel[1], pPixel[2], pPixel[3]};
    }

    Constants c{};
    ProgramInputs in;
};

// Box points on each wall around the centre (1, 2, 3), each looking at that wall's face.
struct Wall
{
    const char* szName;
    F4 point;
};
const Wall WALLS[] = {{"+x", {9, 2.5f, 3.4f, 1}}, {"-x", {-7, 1.5f, 2.6f, 1}}, {"+y", {1.3f, 10, 2.8f, 1}},
                      {"-y", {0.8f, -6, 3.1f, 1}}, {"+z", {1.2f, 2.3f, 11, 1}}, {"-z", {0.7f, 1.6f, -5, 1}}};
}

TEST_F(BackgroundProgramTest, VertexProgram)
{
    const F4 wvp[4] = {{1.2f, 0.1f, 0, 0.5f}, {0, 0.9f, 0.2f, -1}, {0.1f, 0, 1.1f, 2}, {0, 0, 1, 0}};
    const F4 world[4] = {{1, 0, 0, 1}, {0, 1, 0, 2}, {0, 0, 1, 3}, {0, 0, 0, 1}};
    for (int i = 0; i < 4; ++i)
    {
        c[4 + i] = wvp[i];
        c[8 + i] = world[i];
    }
    c[2] = {-3, 4, 0.5f, 1};
    MeshVertexInputs v;
    v.position = {2.5f, -2.5f, 2.5f, 1};
    VertexBlockOutput output = RunVertex(953, v, c);
    VertexResult expected = BackgroundVertex(v, c);
    auto at = [&](int n) {
        const std::vector<float>& o = output.outputs[n];
        return F4{o[0], o[1], o[2], o[3]};
    };
    ExpectNear(at(0), expected.position, "oPos");
    ExpectNear(at(5), expected.t[0], "t0");
    ExpectNear(at(7), expected.t[2], "t2");
}

TEST_F(BackgroundProgramTest, CameraViewShowsTheWallsFace)
{
    for (int f = 0; f < 6; ++f)
    {
        in.t[0] = WALLS[f].point;
        F4 shaded = Shade(771, in, c);
        ExpectNear(shaded, BackgroundColour(in, c, m_Textures), WALLS[f].szName);
        ExpectNear(shaded, m_Textures.stages[2].faces[f], std::string(WALLS[f].szName) + " face");
    }
}

TEST_F(BackgroundProgramTest, PhotonDirectionAndEnergy)
{
    for (float fNoise : {0.0f, 0.3f})
    {
        c[19].w = fNoise;
        for (int f = 0; f < 6; ++f)
        {
            in.t[0] = WALLS[f].point;
            F4 direction, energy, wantDirection, wantEnergy;
            ShadeTwoTargets(770, direction, energy);
            BackgroundPhotons(in, c, m_Textures, wantDirection, wantEnergy);
            std::string strCase = std::string(WALLS[f].szName) + ", noise " + std::to_string(fNoise);
            ExpectNear(direction, wantDirection, strCase + ", direction");
            ExpectNear(energy, wantEnergy, strCase + ", energy");
            // The energy comes from the face behind the wall, seen from the centre.
            ExpectNear(energy, m_Textures.stages[2].faces[f] * c[29], strCase + ", face behind");
        }
    }
}

TEST_F(BackgroundProgramTest, ObjectCubePositionBackInTheSceneBox)
{
    for (float fNoise : {0.0f, 0.3f})
    {
        c[19].w = fNoise;
        for (int f = 0; f < 6; ++f)
        {
            in.t[0] = WALLS[f].point;
            std::string strCase = std::string(WALLS[f].szName) + ", noise " + std::to_string(fNoise);
            ExpectNear(Shade(769, in, c), BackgroundCubePosition(in, c, m_Textures), strCase);
        }
    }
}
