// The environment cube on a room of six coloured walls: each face shows the wall it faces, a
// look-up through the cube along any direction sees the room as seen from its middle, the camera
// comes back untouched, the frame driver draws it whole on a new scene's first frame, and the
// dynamic cube's faces are redrawn only for a moving mesh; a reflective mesh's own cube map
// likewise, keeping the faces along the camera's view after the first frame.
#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "3dapi/TextureEntry.h"
#include "morvyn/morvyn.h"
#include "raster/BackgroundBox.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

namespace
{
// Each wall (in the order of the cube faces +x, -x, +y, -y, +z, -z) is split across its first
// in-plane axis (y for the x walls, z for the y walls, x for the z walls): the lower half in
// WALL_COLOURS, the upper half in HALF_COLOURS, so that a face turned or mirrored shows.
const uint8_t WALL_COLOURS[6][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
const uint8_t HALF_COLOURS[6][3] = {{128, 0, 0}, {0, 128, 0}, {0, 0, 128}, {128, 128, 0}, {0, 128, 128}, {128, 0, 128}};
const uint8_t BLACK[3] = {0, 0, 0};
const Vector3 ROOM_CENTRE(1, 2, 3);
constexpr float HALF_SIDE = 5.0f;
constexpr UINT CUBE_SIZE = 128;
// Look direction and up vector of each cube face.
const float FACES[6][6] = {{1, 0, 0, 0, 1, 0},  {-1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, -1},
                           {0, -1, 0, 0, 0, 1}, {0, 0, 1, 0, 1, 0},  {0, 0, -1, 0, 1, 0}};

// The colour a ray from the room's middle meets, or null when it meets a split or an edge of
// a wall, where a texel may show either side.
const uint8_t* WallColourAlong(const D3DXVECTOR3& d)
{
    const float a[3] = {d.x, d.y, d.z};
    int nAxis = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(a[k]) > std::fabs(a[nAxis]))
            nAxis = k;
    const int f = 2 * nAxis + (a[nAxis] < 0 ? 1 : 0);
    const float fScale = HALF_SIDE / std::fabs(a[nAxis]);
    const float u = a[(nAxis + 1) % 3] * fScale, v = a[(nAxis + 2) % 3] * fScale;
    const float fMargin = 0.3f;
    if (std::fabs(u) < fMargin || std::fabs(u) > HALF_SIDE - fMargin || std::fabs(v) > HALF_SIDE - fMargin)
        return nullptr;
    return u < 0 ? WALL_COLOURS[f] : HALF_COLOURS[f];
}

// The world direction through pixel (x, y) of an n x n target seen with a 90-degree square
// projection along look with the up vector given (pixel centres on integer coordinates).
D3DXVECTOR3 RayThrough(const D3DXVECTOR3& look, const D3DXVECTOR3& up, UINT x, UINT y, UINT n)
{
    D3DXVECTOR3 right, trueUp;
    D3DXVec3Cross(&right, &up, &look);
    D3DXVec3Normalize(&right, &right);
    D3DXVec3Cross(&trueUp, &look, &right);
    const float ndcX = (float)x / (float)n * 2.0f - 1.0f, ndcY = 1.0f - (float)y / (float)n * 2.0f;
    return look + right * ndcX + trueUp * ndcY;
}

class EnvironmentCubeTest : public ScenePassTest
{
protected:
    void SetUp() override
    {
        ScenePassTest::SetUp();
        for (int f = 0; f < 6; ++f)
        {
            AddWall(f, -1.0f, 0.0f, WALL_COLOURS[f]);
            AddWall(f, 0.0f, 1.0f, HALF_COLOURS[f]);
        }
        // A light of no colour: every wall shows its diffuse map times the ambient power of 1.
        SceneLight* pLight = AddLight(D3DLIGHT_POINT, ROOM_CENTRE.x, ROOM_CENTRE.y, ROOM_CENTRE.z);
        pLight->m_Light.Diffuse = {0, 0, 0, 1};
        g_bSceneChanged = 1;
    }

    // The wall on the side of face f, the part from a to b (in -1..1) of its first in-plane axis;
    // wound counter-clockwise seen from inside, as the forward pass's culling
    // wants front faces.
    void AddWall(int f, float a, float b, const uint8_t rgb[3])
    {
        const int nAxis = f / 2;
        const float fSign = f % 2 == 0 ? 1.0f : -1.0f;
        const int u = (nAxis + 1) % 3, v = (nAxis + 2) % 3;
        const float centre[3] = {ROOM_CENTRE.x, ROOM_CENTRE.y, ROOM_CENTRE.z};
        float p[4][3];
        const float cornerUV[4][2] = {{a, 1}, {b, 1}, {a, -1}, {b, -1}};
        for (int k = 0; k < 4; ++k)
        {
            p[k][nAxis] = centre[nAxis] + fSign * HALF_SIDE;
            p[k][u] = centre[u] + cornerUV[k][0] * HALF_SIDE;
            p[k][v] = centre[v] + cornerUV[k][1] * HALF_SIDE;
        }
        // Triangles (0, 1, 2) and (2, 1, 3): corners 1 and 2 swap where (1 - 0) x (2 - 0) would
        // point into the room.
        const float e1[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
        const float e2[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
        if ((e1[u] * e2[v] - e1[v] * e2[u]) * fSign < 0.0f)
            std::swap(p[1], p[2]);
        Vector3 corners[4];
        for (int k = 0; k < 4; ++k)
            corners[k] = Vector3(p[k][0], p[k][1], p[k][2]);
        float n[3] = {0, 0, 0};
        n[nAxis] = -fSign;
        const Vector3 normal(n[0], n[1], n[2]);
        SceneMaterial* pMaterial = AddMaterial();
        pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE] = AddSolidTexture(rgb[0], rgb[1], rgb[2]);
        pMaterial->m_Material.Ambient.r = 1.0f;
        AddQuadCorners(corners, normal, pMaterial);
    }

    IDirect3DCubeTexture9* CubeOf(int nId)
    {
        const TextureEntry* pEntry = m_pApp->GetRenderer()->GetTextureEntry(nId);
        return pEntry ? static_cast<IDirect3DCubeTexture9*>(pEntry->m_pDeviceTexture) : nullptr;
    }

    d3d9test::SurfaceData ReadFace(int nId, int f)
    {
        d3d9test::SurfaceData data;
        IDirect3DCubeTexture9* pCube = CubeOf(nId);
        IDirect3DSurface9* pFace = nullptr;
        if (pCube && SUCCEEDED(pCube->GetCubeMapSurface((D3DCUBEMAP_FACES)f, 0, &pFace)))
        {
            EXPECT_TRUE(d3d9test::ReadSurface(pFace, data));
            pFace->Release();
        }
        return data;
    }

    void ClearFaces(int nId)
    {
        Renderer& renderer = *m_pApp->GetRenderer();
        renderer.BindRenderTarget(0, nId);
        for (int f = 0; f < 6; ++f)
        {
            renderer.SelectCubeFace(nId, f);
            m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF808080, 1.0f, 0);
        }
        renderer.BindRenderTarget(0, -1);
    }

    void RenderCube(int nMode)
    {
        m_pDevice->BeginScene();
        m_pApp->RenderEnvironmentCube(nMode);
        m_pDevice->EndScene();
    }

    static void ExpectColour(const float* pGot, const uint8_t rgb[3], const std::string& strWhat)
    {
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pGot[c], rgb[c] / 255.0f, 1.0f / 255.0f) << strWhat << ", channel " << c;
    }

    // Every texel of a grid over each face shows what its ray from the room's middle meets.
    void ExpectRoom(int nTarget, const std::string& strWhat)
    {
        for (int f = 0; f < 6; ++f)
        {
            d3d9test::SurfaceData data = ReadFace(nTarget, f);
            ASSERT_EQ(data.nWidth, CUBE_SIZE) << strWhat;
            const D3DXVECTOR3 look(FACES[f][0], FACES[f][1], FACES[f][2]), up(FACES[f][3], FACES[f][4], FACES[f][5]);
            for (UINT y = 4; y < CUBE_SIZE; y += 15)
                for (UINT x = 4; x < CUBE_SIZE; x += 15)
                    if (const uint8_t* pWant = WallColourAlong(RayThrough(look, up, x, y, CUBE_SIZE)))
                        ExpectColour(data.Pixel(x, y), pWant,
                                     strWhat + ", face " + std::to_string(f) + " at " + std::to_string(x) + ", " +
                                         std::to_string(y));
        }
    }
};
}

TEST_F(EnvironmentCubeTest, EachFaceShowsTheWallItFacesWithEitherScenePass)
{
    ASSERT_GE(g_nEnvCubeTarget, 0);
    ASSERT_GE(g_nEnvCubeTarget2, 0);
    ASSERT_NE(g_nEnvCubeTarget, g_nEnvCubeTarget2);
    for (int32_t bSorted : {1, 0})
    {
        g_bUseSortedPass = bSorted;
        ClearFaces(g_nEnvCubeTarget);
        RenderCube(0);
        ExpectRoom(g_nEnvCubeTarget, bSorted ? "main pass" : "forward pass");
    }
    g_bUseSortedPass = 1;
}

TEST_F(EnvironmentCubeTest, TheFirstFrameOfANewSceneDrawsTheCubeWhole)
{
    ClearFaces(g_nEnvCubeTarget);
    g_bSceneChanged = 1;
    // The frame driver draws once a frame interval has passed; the second call is past it.
    for (int i = 0; i < 2; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        m_pDevice->BeginScene();
        m_pApp->DrawFrame();
        m_pDevice->EndScene();
    }
    EXPECT_EQ(g_bSceneChanged, 0);
    ExpectRoom(g_nEnvCubeTarget, "frame driver");
}

TEST_F(EnvironmentCubeTest, ALookUpThroughTheCubeSeesTheRoomFromItsMiddle)
{
    RenderCube(0);
    // The background box samples its cube along the view ray from the box's centre: put the
    // box on the room's middle and give it the rendered cube.
    g_vSceneMin = ROOM_CENTRE - Vector3(1, 1, 1);
    g_vSceneMax = ROOM_CENTRE + Vector3(1, 1, 1);
    IDirect3DCubeTexture9* pLoaded = g_pEnvironmentCubeTexture;
    g_pEnvironmentCubeTexture = CubeOf(g_nEnvCubeTarget);
    m_pDevice->SetRenderTarget(0, m_pTarget);
    m_pDevice->SetDepthStencilSurface(m_pDepth);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 0.1f, 100.0f);
    const D3DXVECTOR3 eye = ToD3DX(ROOM_CENTRE);
    // Views that cross the cube's seams: along the axes and between them.
    const float looks[][6] = {{0, 0, 1, 0, 1, 0},  {1, 0, 1, 0, 1, 0},  {-1, 1, -1, 0, 1, 0},
                              {0, -1, 0, 0, 0, 1}, {1, 1, 0, 0, 0, 1},  {0.3f, -1, 0.6f, 0, 0, -1}};
    for (const float* l : looks)
    {
        D3DXVECTOR3 look(l[0], l[1], l[2]), up(l[3], l[4], l[5]), at;
        D3DXVec3Normalize(&look, &look);
        at = eye + look;
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        m_pDevice->BeginScene();
        m_pApp->DrawBackgroundBox(ROOM_CENTRE, view, projection, BACKGROUND_CAMERA);
        m_pDevice->EndScene();
        d3d9test::SurfaceData data = ReadTarget();
        for (UINT y = 2; y < SIZE; y += 6)
            for (UINT x = 2; x < SIZE; x += 6)
                if (const uint8_t* pWant = WallColourAlong(RayThrough(look, up, x, y, SIZE)))
                    ExpectColour(Pixel(data, x, y), pWant,
                                 "looking along (" + std::to_string(l[0]) + ", " + std::to_string(l[1]) + ", " +
                                     std::to_string(l[2]) + ") at " + std::to_string(x) + ", " + std::to_string(y));
    }
    g_pEnvironmentCubeTexture = pLoaded;
}

TEST_F(EnvironmentCubeTest, CameraViewAndProjectionComeBackBitIdentical)
{
    const Vector3 position(0.1f, -0.3f, 7.7f);
    m_pApp->m_Scene.m_Camera.m_RigidBody.m_vPosition = position;
    const Matrix4 view = g_matView, projection = g_matProjection;
    for (int nMode : {0, 1})
    {
        RenderCube(nMode);
        EXPECT_EQ(std::memcmp(&g_matView, &view, sizeof(view)), 0) << "mode " << nMode;
        EXPECT_EQ(std::memcmp(&g_matProjection, &projection, sizeof(projection)), 0) << "mode " << nMode;
        EXPECT_EQ(std::memcmp(&m_pApp->m_Scene.m_Camera.m_RigidBody.m_vPosition, &position, sizeof(position)), 0);
        // The back buffer is render target 0 again, in the renderer's record too.
        EXPECT_EQ(m_pApp->GetRenderer()->GetCurrentRenderTarget(), -1);
    }
}

TEST_F(EnvironmentCubeTest, DynamicCubeIsFilledOnFirstUseThenRedrawnOnlyForAMovingMesh)
{
    RenderCube(0);
    g_bSceneChanged = 0;
    // Its first use fills every face, though nothing moves.
    RenderCube(1);
    ExpectRoom(g_nEnvCubeTarget2, "first use");

    // Nothing moves: the faces keep their colour although every wall darkened.
    for (int i = 0; i < (int)m_pApp->m_Scene.m_Meshes.GetCount(); ++i)
        static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i))->m_pMaterial->m_Material.Ambient.r = 0.5f;
    RenderCube(1);
    ExpectRoom(g_nEnvCubeTarget2, "nothing moving");

    // A spinning mesh in front of the +x wall: that face is redrawn with the darker walls, the
    // others are left as they were, and the first cube is not touched.
    const Vector3 corners[4] = {ROOM_CENTRE + Vector3(4, 0.5f, -0.5f), ROOM_CENTRE + Vector3(4, 0.5f, 0.5f),
                                ROOM_CENTRE + Vector3(4, -0.5f, -0.5f), ROOM_CENTRE + Vector3(4, -0.5f, 0.5f)};
    SceneMesh* pSpinner = AddQuadCorners(corners, Vector3(-1, 0, 0), AddMaterial());
    pSpinner->m_bAutoSpin = 1;
    RenderCube(1);
    // A texel of the +x face off the spinner, on the lower half of the +x wall.
    const UINT x = CUBE_SIZE / 2 + 20, y = CUBE_SIZE - 20;
    const uint8_t* pWall = WallColourAlong(RayThrough(D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0), x, y, CUBE_SIZE));
    ASSERT_EQ(pWall, WALL_COLOURS[0]);
    const uint8_t darker[3] = {128, 0, 0};
    ExpectColour(ReadFace(g_nEnvCubeTarget2, 0).Pixel(x, y), darker, "+x face redrawn");
    ExpectColour(ReadFace(g_nEnvCubeTarget, 0).Pixel(x, y), WALL_COLOURS[0], "first cube");
    for (int f = 1; f < 6; ++f)
        ExpectColour(ReadFace(g_nEnvCubeTarget2, f).Pixel(CUBE_SIZE / 4, CUBE_SIZE / 4),
                     WallColourAlong(RayThrough(D3DXVECTOR3(FACES[f][0], FACES[f][1], FACES[f][2]),
                                                D3DXVECTOR3(FACES[f][3], FACES[f][4], FACES[f][5]), CUBE_SIZE / 4,
                                                CUBE_SIZE / 4, CUBE_SIZE)),
                     "face " + std::to_string(f) + " kept");
}

TEST_F(EnvironmentCubeTest, EyeIsTheMeanOfTheStaticMeshesOrOfAllWhenEveryMeshMoves)
{
    // A mesh far below the room would move the eye 80 / 13 down; as a moving mesh it does not count.
    const Vector3 low = ROOM_CENTRE + Vector3(0, -80, 0);
    const Vector3 corners[4] = {low + Vector3(-1, 0, 1), low + Vector3(1, 0, 1), low + Vector3(-1, 0, -1),
                                low + Vector3(1, 0, -1)};
    SceneMesh* pFar = AddQuadCorners(corners, Vector3(0, 1, 0), AddMaterial());
    pFar->m_bAutoSpin = 1;
    RenderCube(0);
    ExpectRoom(g_nEnvCubeTarget, "moving mesh left out");

    // Every mesh moving: the mean of all thirteen centres, 80 / 13 below the middle and so 1.15
    // below the floor. Looking along +z from there, the top rows meet the floor from underneath, the
    // middle row passes under it and meets nothing.
    for (int i = 0; i < (int)m_pApp->m_Scene.m_Meshes.GetCount(); ++i)
        static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i))->m_bAutoSpin = 1;
    g_bSceneChanged = 1;
    RenderCube(0);
    d3d9test::SurfaceData face = ReadFace(g_nEnvCubeTarget, 4);
    const uint8_t* pFloor = face.Pixel(CUBE_SIZE / 4, 2)[1] > 0.75f ? WALL_COLOURS[3] : HALF_COLOURS[3];
    ExpectColour(face.Pixel(CUBE_SIZE / 4, 2), pFloor, "top of the +z face: the floor from below");
    ExpectColour(face.Pixel(CUBE_SIZE / 4, CUBE_SIZE / 2), BLACK, "middle of the +z face: below the floor");
}

TEST_F(EnvironmentCubeTest, ACubeTargetThatCouldNotBeMadeIsLeftAlone)
{
    g_nEnvCubeTarget2 = -1;
    const d3d9test::StateSnapshot before = d3d9test::CaptureState(m_pDevice);
    d3d9test::ResetStats(m_pDevice);
    RenderCube(1);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nDraws, 0u);
    EXPECT_TRUE(d3d9test::DiffState(before, d3d9test::CaptureState(m_pDevice)).empty());
}

TEST_F(EnvironmentCubeTest, MeshCubeMapsShowTheRoomFromTheMeshAndKeepFacesAlongTheViewAfterwards)
{
    // A reflective box in the room's middle with a cube target of its own, in the camera's view.
    Renderer& renderer = *m_pApp->GetRenderer();
    SceneMaterial* pMirror = AddMaterial();
    pMirror->m_vReflectionColor[0] = pMirror->m_vReflectionColor[1] = pMirror->m_vReflectionColor[2] = 1.0f;
    const int nCube = renderer.CreateRenderTarget(CUBE_SIZE, CUBE_SIZE, false, true, RENDER_TARGET_A8R8G8B8);
    ASSERT_GE(nCube, 0);
    pMirror->m_nMaterialIds[0] = nCube;
    SceneMesh* pBox = AddBox(ROOM_CENTRE, 0.5f, pMirror);
    m_pApp->m_Visibility[m_pApp->m_Scene.m_Meshes.GetCount() - 1] = 1;
    g_bReflection = 1;
    const Vector3 position = m_pApp->m_Scene.m_Camera.m_RigidBody.m_vPosition;
    const Matrix4 view = g_matView, projection = g_matProjection;
    ClearFaces(nCube);
    m_pDevice->BeginScene();
    m_pApp->RenderMeshCubeMaps();
    m_pDevice->EndScene();
    ExpectRoom(nCube, "mesh cube map");
    EXPECT_EQ(pBox->m_bVisible, 1);
    EXPECT_EQ(std::memcmp(&g_matView, &view, sizeof(view)), 0);
    EXPECT_EQ(std::memcmp(&g_matProjection, &projection, sizeof(projection)), 0);
    EXPECT_EQ(std::memcmp(&m_pApp->m_Scene.m_Camera.m_RigidBody.m_vPosition, &position, sizeof(position)), 0);
    EXPECT_EQ(renderer.GetCurrentRenderTarget(), -1);

    // After the first frame, with the walls darkened and a spinning mesh in front of the +z and
    // the -z walls: the camera looks along +z, so the -z face is redrawn darker and the +z face
    // keeps what it had.
    g_bSceneChanged = 0;
    for (int i = 0; i < (int)m_pApp->m_Scene.m_Meshes.GetCount(); ++i)
        static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i))->m_pMaterial->m_Material.Ambient.r = 0.5f;
    for (float z : {4.0f, -4.0f})
    {
        const Vector3 corners[4] = {ROOM_CENTRE + Vector3(-0.5f, 0.5f, z), ROOM_CENTRE + Vector3(0.5f, 0.5f, z),
                                    ROOM_CENTRE + Vector3(-0.5f, -0.5f, z), ROOM_CENTRE + Vector3(0.5f, -0.5f, z)};
        AddQuadCorners(corners, Vector3(0, 0, z > 0 ? -1.0f : 1.0f), AddMaterial())->m_bAutoSpin = 1;
    }
    m_pDevice->BeginScene();
    m_pApp->RenderMeshCubeMaps();
    m_pDevice->EndScene();
    const UINT x = CUBE_SIZE / 4, y = CUBE_SIZE / 4;
    for (int f : {4, 5})
    {
        const uint8_t* pWall = WallColourAlong(RayThrough(D3DXVECTOR3(FACES[f][0], FACES[f][1], FACES[f][2]),
                                                          D3DXVECTOR3(FACES[f][3], FACES[f][4], FACES[f][5]), x, y,
                                                          CUBE_SIZE));
        ASSERT_NE(pWall, nullptr);
        const float fScale = f == 5 ? 0.5f : 1.0f;
        const d3d9test::SurfaceData face = ReadFace(nCube, f);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(face.Pixel(x, y)[c], pWall[c] / 255.0f * fScale, 1.5f / 255.0f) << "face " << f << ", channel " << c;
    }
}
