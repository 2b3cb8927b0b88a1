// The object cube pass on the software device: from the room's centre every face holds the
// walls, so that a look-up along the axes, the diagonals and a skewed direction per face finds
// the wall point in that direction (which fixes each face's orientation); the colour, normal and
// specular attributes hold the room's material; the room shows in its own cube only while the
// camera is inside it, and its own "Visible" flag is kept.
#include "RoomFixture.h"

#include "scene/SceneGeometryBlock.h"

#include <d3dx9math.h>

#include <array>
#include <memory>

namespace
{
using CubeFaces = std::array<d3d9test::SurfaceData, 6>;

CubeFaces ReadCube()
{
    CubeFaces faces;
    for (int f = 0; f < 6; ++f)
    {
        IDirect3DSurface9* pFace = nullptr;
        EXPECT_EQ(g_pCubeTarget->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(f), 0, &pFace), D3D_OK);
        EXPECT_TRUE(d3d9test::ReadSurface(pFace, faces[static_cast<size_t>(f)]));
        pFace->Release();
    }
    return faces;
}

// The texel a cube look-up along d reads (point sampling): the major axis picks the face, the
// other two components over it give (u, v) by the cube map's own face orientation.
const float* LookUp(const CubeFaces& faces, const D3DXVECTOR3& d)
{
    float fMajor;
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    int f;
    float sc, tc;
    if (ax >= ay && ax >= az)
        f = d.x >= 0 ? 0 : 1, sc = d.x >= 0 ? -d.z : d.z, tc = -d.y, fMajor = ax;
    else if (ay >= az)
        f = d.y >= 0 ? 2 : 3, sc = d.x, tc = d.y >= 0 ? d.z : -d.z, fMajor = ay;
    else
        f = d.z >= 0 ? 4 : 5, sc = d.z >= 0 ? d.x : -d.x, tc = -d.y, fMajor = az;
    const d3d9test::SurfaceData& face = faces[static_cast<size_t>(f)];
    const auto texel = [](float s, UINT n) {
        return std::min(n - 1, static_cast<UINT>(std::max(0.0f, (s + 1) / 2 * static_cast<float>(n))));
    };
    return face.Pixel(texel(sc / fMajor, face.nWidth), texel(tc / fMajor, face.nHeight));
}

D3DXVECTOR3 Decode(const float* s)
{
    return {g_vSceneMin.x + s[0] * (g_vSceneMax.x - g_vSceneMin.x), g_vSceneMin.y + s[1] * (g_vSceneMax.y - g_vSceneMin.y),
            g_vSceneMin.z + s[2] * (g_vSceneMax.z - g_vSceneMin.z)};
}

// 16-bit unsigned normalised channels.
constexpr float UNORM16 = 2.0f / 65535.0f;
}

class ObjectCubePassTest : public LightPassTest
{
protected:
    void SetUp() override
    {
        LightPassTest::SetUp();
        SceneMesh& room = *Room();
        SetMeshBounds(room);
        room.UpdateWorldMatrix(0);
        m_Material.m_Material.Diffuse = {0.5f, 0.8f, 1.0f, 1.0f};
        m_Material.m_Material.Specular = {0.8f, 0.6f, 0.2f, 1.0f};
        m_Material.m_Material.Power = 37.0f;
        m_Material.m_fGlossPower = 90.0f;
        m_Material.m_fBumpPower = 0.0f;
        m_Material.m_vOpacity[0] = 0.75f;
        m_Material.m_vRefraction[0] = 1.5f;
        m_Material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE] = m_pApp->m_nWhiteTexture;
        m_Material.m_nTextureIds[SceneMaterial::TEXTURE_GLOSS] = m_pApp->m_nWhiteTexture;
        room.m_pMaterial = &m_Material;
        // The camera inside the room.
        m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(1.0f, -2.0f, 0.5f);
    }
    void TearDown() override
    {
        Room()->m_pMaterial = nullptr;
        LightPassTest::TearDown();
    }

    SceneMesh* Room() { return static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(0)); }

    // Every texel of every face holds the colour (within unorm16).
    static void ExpectEveryTexel(const CubeFaces& faces, const float expected[4], const char* szWhat)
    {
        for (const d3d9test::SurfaceData& face : faces)
            for (size_t i = 0; i < face.rgba.size(); ++i)
                ASSERT_NEAR(face.rgba[i], expected[i % 4], UNORM16) << szWhat << " channel " << i % 4;
    }

    SceneMaterial m_Material;
};

TEST_F(ObjectCubePassTest, LookUpsFromTheRoomCentreFindTheWallsInTheirDirection)
{
    m_pApp->RenderObjectCubePass(Room(), 0);
    const CubeFaces faces = ReadCube();
    const D3DXVECTOR3 vCentre(Room()->m_vOffset.x, Room()->m_vOffset.y, Room()->m_vOffset.z);
    ASSERT_EQ(D3DXVec3Length(&vCentre), 0.0f);
    const D3DXVECTOR3 directions[] = {
        {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1},
        {1, 1, 1}, {1, 1, -1}, {1, -1, 1}, {1, -1, -1}, {-1, 1, 1}, {-1, 1, -1}, {-1, -1, 1}, {-1, -1, -1},
        {1, 0.5f, -0.3f}, {-1, 0.4f, 0.6f}, {0.3f, 1, -0.5f}, {-0.6f, -1, 0.2f}, {0.5f, -0.4f, 1}, {-0.3f, 0.6f, -1}};
    for (const D3DXVECTOR3& d : directions)
    {
        SCOPED_TRACE(testing::Message() << d.x << " " << d.y << " " << d.z);
        D3DXVECTOR3 u;
        D3DXVec3Normalize(&u, &d);
        const float* s = LookUp(faces, d);
        ASSERT_EQ(s[3], 1.0f);
        const D3DXVECTOR3 vWall = WallHit(vCentre, u), vSeen = Decode(s), vError = vSeen - vWall;
        // A face's pixel centres sit half a texel off its texel centres, so the texel read lies
        // up to a texel from the look-up on each face axis: the wall point moves by that much
        // scaled by the wall's distance along the major axis.
        const float fTexel = 2.0f / static_cast<float>(faces[0].nWidth);
        EXPECT_LT(D3DXVec3Length(&vError), 1.5f * fTexel * HALF_SIDE);
    }
    EXPECT_EQ(Room()->m_bVisible, 1);
}

TEST_F(ObjectCubePassTest, AttributesHoldTheMaterialAndTheRoomIsSeenOnlyFromInside)
{
    // The stored normals all face +z; bump power 0 leaves them as they are.
    m_pApp->RenderObjectCubePass(Room(), 1);
    const float normal[4] = {0.5f, 0.5f, 1.0f, 0.37f};
    ExpectEveryTexel(ReadCube(), normal, "normal");
    m_pApp->RenderObjectCubePass(Room(), 2);
    const float diffuse[4] = {0.5f * 0.75f, 0.8f * 0.75f, 1.0f * 0.75f, 0.75f};
    ExpectEveryTexel(ReadCube(), diffuse, "diffuse");
    m_pApp->RenderObjectCubePass(Room(), 3);
    const float specular[4] = {0.8f * 0.9f, 0.6f * 0.9f, 0.2f * 0.9f, 1.0f};
    ExpectEveryTexel(ReadCube(), specular, "specular");

    // From outside its box the room leaves itself out of its own cube.
    m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(0.0f, 0.0f, -20.0f);
    m_pApp->RenderObjectCubePass(Room(), 2);
    const float nothing[4] = {0, 0, 0, 0};
    ExpectEveryTexel(ReadCube(), nothing, "outside");
    EXPECT_EQ(Room()->m_bVisible, 1);

    // A room the user has hidden stays hidden, in its cube and afterwards.
    m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(0.0f, 0.0f, 0.0f);
    Room()->m_bVisible = 0;
    m_pApp->RenderObjectCubePass(Room(), 2);
    ExpectEveryTexel(ReadCube(), nothing, "hidden");
    EXPECT_EQ(Room()->m_bVisible, 0);
}
