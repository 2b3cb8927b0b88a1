// The triangle grid: texel addresses across meshes, the widened box and cell size, the cell lists
// against a clipping enumeration, texture sizes, the quad buffers, and a rebuild for a new scene.
#include "TracerFixture.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
// The twelve triangles of an axis-aligned cube from lo to hi.
std::vector<D3DXVECTOR3> Cube(float lo, float hi)
{
    std::vector<D3DXVECTOR3> corners;
    auto p = [&](int i) { return D3DXVECTOR3(i & 1 ? hi : lo, i & 2 ? hi : lo, i & 4 ? hi : lo); };
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& f : faces)
        for (int i : {f[0], f[1], f[2], f[0], f[2], f[3]})
            corners.push_back(p(i));
    return corners;
}

// Whether the triangle keeps any point after clipping against the closed box: an enumeration
// independent of the separating-axis test the grid uses.
bool ClipOverlaps(const D3DXVECTOR3 triangle[3], const D3DXVECTOR3& lo, const D3DXVECTOR3& hi)
{
    std::vector<D3DXVECTOR3> polygon(triangle, triangle + 3);
    for (int axis = 0; axis < 3 && !polygon.empty(); ++axis)
        for (int side = 0; side < 2 && !polygon.empty(); ++side)
        {
            // Inside: p[axis] >= lo (side 0) or p[axis] <= hi (side 1).
            auto distance = [&](const D3DXVECTOR3& v) {
                const float c = (&v.x)[axis];
                return side == 0 ? c - (&lo.x)[axis] : (&hi.x)[axis] - c;
            };
            std::vector<D3DXVECTOR3> clipped;
            for (size_t i = 0; i < polygon.size(); ++i)
            {
                const D3DXVECTOR3& a = polygon[i];
                const D3DXVECTOR3& b = polygon[(i + 1) % polygon.size()];
                const float da = distance(a), db = distance(b);
                if (da >= 0)
                    clipped.push_back(a);
                if ((da >= 0) != (db >= 0))
                    clipped.push_back(a + (b - a) * (da / (da - db)));
            }
            polygon.swap(clipped);
        }
    return !polygon.empty();
}

float CellCorner(int nCell, int axis)
{
    return (&g_vSceneMin.x)[axis] + nCell * (&g_vCellSize.x)[axis];
}
}

TEST(TriangleGridSizes, TextureSideRoundsUpToPowersOfTwoUntil1024)
{
    const int32_t cases[][2] = {{1, 64},     {64, 64},     {65, 128},   {101, 128}, {256, 256},
                                {257, 512},  {1024, 1024}, {1025, 1025}, {1415, 1415}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundTextureSize(c[0]), c[1]) << c[0];
}

TEST_F(TracerTest, TexelAddressesRunOnAcrossMeshesAndSkipEmptyOnes)
{
    ASSERT_TRUE(InitAndLoad());
    g_nGridSize = 4;
    std::vector<D3DXVECTOR3> first, second;
    for (int t = 0; t < 70; ++t)
        first.insert(first.end(), {D3DXVECTOR3(t * 0.1f, 0, 0), D3DXVECTOR3(t * 0.1f, 1, 0), D3DXVECTOR3(t * 0.1f, 0, 1)});
    for (int t = 0; t < 5; ++t)
        second.insert(second.end(), {D3DXVECTOR3(0, t * 0.1f, 2), D3DXVECTOR3(1, t * 0.1f, 2), D3DXVECTOR3(0, t * 0.1f, 3)});
    SceneMesh* pFirst = AddMesh(first);
    AddMesh({});
    SceneMesh* pSecond = AddMesh(second);
    m_pApp->BuildTriangleGrid();
    ASSERT_EQ(g_bGridBuilt, 1);
    // 75 triangles: S = P(8 + 1) = 64, so triangle 64 starts the second row.
    EXPECT_EQ(g_nTriangleTextureSize, 64);
    std::vector<float> a = ReadTexelAddresses(pFirst), b = ReadTexelAddresses(pSecond);
    ASSERT_EQ(a.size(), 70u * 3 * 2);
    ASSERT_EQ(b.size(), 5u * 3 * 2);
    for (int t = 0; t < 75; ++t)
        for (int i = 0; i < 3; ++i)
        {
            const std::vector<float>& v = t < 70 ? a : b;
            const size_t k = static_cast<size_t>(((t < 70 ? t : t - 70) * 3 + i) * 2);
            EXPECT_EQ(v[k], static_cast<float>(t % 64)) << t;
            EXPECT_EQ(v[k + 1], static_cast<float>(t / 64)) << t;
        }
}

TEST_F(TracerTest, TenUnitCubeGivesTheWidenedBoxAndCellSize)
{
    ASSERT_TRUE(InitAndLoad());
    SceneMesh* pMesh = AddMesh(Cube(0.0f, 10.0f));
    pMesh->m_matWorld.Translate(Vector3(5.0f, 0.0f, -2.0f));
    m_pApp->BuildTriangleGrid();
    ASSERT_EQ(g_bGridBuilt, 1);
    const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
    D3DXVECTOR3 origin(0, 0, 0), moved;
    D3DXVec3TransformCoord(&moved, &origin, &world);
    for (int axis = 0; axis < 3; ++axis)
    {
        const float fMin = (&moved.x)[axis] - 1.0f, fMax = (&moved.x)[axis] + 11.0f;
        EXPECT_FLOAT_EQ((&g_vSceneMin.x)[axis], fMin);
        EXPECT_FLOAT_EQ((&g_vSceneMax.x)[axis], fMax);
        EXPECT_FLOAT_EQ((&g_vCellSize.x)[axis], 12.0f / 48.0f);
        EXPECT_FLOAT_EQ((&g_vInvCellSize.x)[axis], 4.0f);
    }
    EXPECT_EQ(g_vCellSize.w, 1.0f);
    EXPECT_EQ(g_nGridSize, 48);
    EXPECT_EQ(g_nGridTextureSize, 512);
    EXPECT_EQ(g_nCellListTextureSize, 512);
    // 12 triangles: S = P(3 + 1).
    EXPECT_EQ(g_nTriangleTextureSize, 64);
    for (IDirect3DTexture9* pTexture : g_pGridTextures)
    {
        ASSERT_NE(pTexture, nullptr);
        D3DSURFACE_DESC desc{};
        pTexture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, D3DFMT_G16R16F);
        EXPECT_EQ(desc.Width, 512u);
        EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_RENDERTARGET));
        EXPECT_EQ(pTexture->GetLevelCount(), 1u);
    }
}

TEST_F(TracerTest, CellListsEqualAClippingEnumeration)
{
    ASSERT_TRUE(InitAndLoad());
    g_nGridSize = 8;
    std::mt19937 random(27);
    std::uniform_real_distribution<float> coordinate(-3.0f, 5.0f), offset(-1.5f, 1.5f);
    std::vector<D3DXVECTOR3> all;
    for (int m = 0; m < 2; ++m)
    {
        std::vector<D3DXVECTOR3> corners;
        for (int t = 0; t < 12; ++t)
        {
            const D3DXVECTOR3 p(coordinate(random), coordinate(random), coordinate(random));
            corners.push_back(p);
            corners.push_back(p + D3DXVECTOR3(offset(random), offset(random), offset(random)));
            corners.push_back(p + D3DXVECTOR3(offset(random), offset(random), offset(random)));
        }
        AddMesh(corners);
        all.insert(all.end(), corners.begin(), corners.end());
    }
    m_pApp->BuildTriangleGrid();
    ASSERT_EQ(g_GridCells.size(), 512u);
    int nListed = 0, nLength = 0;
    for (int z = 0; z < 8; ++z)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
            {
                const D3DXVECTOR3 lo(CellCorner(x, 0), CellCorner(y, 1), CellCorner(z, 2));
                const D3DXVECTOR3 hi(CellCorner(x + 1, 0), CellCorner(y + 1, 1), CellCorner(z + 1, 2));
                std::vector<int32_t> expected;
                for (int t = 0; t < 24; ++t)
                    if (ClipOverlaps(&all[3 * t], lo, hi))
                        expected.push_back(t);
                const GridCell& cell = g_GridCells[static_cast<size_t>(x + 8 * y + 64 * z)];
                EXPECT_EQ(cell.m_Triangles, expected) << x << " " << y << " " << z;
                EXPECT_EQ(cell.m_nFirstIndex, expected.empty() ? -1 : nLength);
                nLength += expected.empty() ? 1 : static_cast<int>(expected.size()) + 1;
                nListed += static_cast<int>(expected.size());
            }
    EXPECT_GT(nListed, 24);
    EXPECT_EQ(g_nCellListLength, nLength);
    // 8^3 cells in a 64 x 64 grid texture; the list texture holds the whole list.
    EXPECT_EQ(g_nGridTextureSize, 64);
    EXPECT_EQ(g_nCellListTextureSize, RoundTextureSize(static_cast<int32_t>(std::sqrt(nLength)) + 1));
}

TEST_F(TracerTest, QuadBuffersCoverTheScreenAndItsSixteenBySixteenTiles)
{
    ASSERT_TRUE(InitAndLoad());
    g_nGridSize = 4;
    AddMesh(Cube(0.0f, 1.0f));
    m_pApp->BuildTriangleGrid();
    auto read = [](IDirect3DVertexBuffer9* pBuffer, UINT nVertices) {
        std::vector<QuadVertex> vertices(nVertices);
        void* pData = nullptr;
        D3DVERTEXBUFFER_DESC desc{};
        EXPECT_EQ(pBuffer->GetDesc(&desc), D3D_OK);
        EXPECT_EQ(desc.Size, nVertices * sizeof(QuadVertex));
        if (pBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY) == D3D_OK)
        {
            std::memcpy(vertices.data(), pData, nVertices * sizeof(QuadVertex));
            pBuffer->Unlock();
        }
        return vertices;
    };
    ASSERT_NE(m_pApp->m_pQuadVB, nullptr);
    ASSERT_NE(m_pApp->m_pTileQuadVB, nullptr);
    const std::vector<QuadVertex> quad = read(m_pApp->m_pQuadVB, 6);
    const float expected[6][4] = {{-1, -1, 0, 1}, {1, -1, 1, 1}, {1, 1, 1, 0}, {1, 1, 1, 0}, {-1, 1, 0, 0}, {-1, -1, 0, 1}};
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(quad[i].x, expected[i][0]);
        EXPECT_EQ(quad[i].y, expected[i][1]);
        EXPECT_EQ(quad[i].z, 1.0f);
        EXPECT_EQ(quad[i].w, 1.0f);
        EXPECT_EQ(quad[i].u, expected[i][2]);
        EXPECT_EQ(quad[i].v, expected[i][3]);
    }
    const std::vector<QuadVertex> tiles = read(m_pApp->m_pTileQuadVB, 1536);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
        {
            // Vertex 2 of each quad is its (x1, y1) corner.
            const QuadVertex& corner = tiles[static_cast<size_t>((16 * r + c) * 6 + 2)];
            EXPECT_FLOAT_EQ(corner.x, -1.0f + 0.125f * (c + 1));
            EXPECT_FLOAT_EQ(corner.y, -1.0f + 0.125f * (r + 1));
            EXPECT_FLOAT_EQ(corner.u, (c + 1) / 16.0f);
            EXPECT_FLOAT_EQ(corner.v, 1.0f - (r + 1) / 16.0f);
            // Pixel (column, row from the top) of a screen-size texture under the same screen part.
            EXPECT_FLOAT_EQ(tiles[static_cast<size_t>((16 * r + c) * 6)].v, 1.0f - r / 16.0f);
        }
}

TEST_F(TracerTest, NewSceneRebuildsTheGridAndAnEmptySceneHasNone)
{
    ASSERT_TRUE(InitAndLoad());
    g_nGridSize = 4;
    AddMesh({});
    AddMesh(Cube(2.0f, 3.0f));
    m_pApp->BuildTriangleGrid();
    ASSERT_EQ(g_bGridBuilt, 1);
    // The empty first mesh does not seed the box.
    EXPECT_FLOAT_EQ(g_vSceneMin.x, 1.0f);
    EXPECT_FLOAT_EQ(g_vSceneMax.x, 4.0f);

    m_pApp->m_Scene.Clear(m_pApp->GetRenderer());
    AddMesh(Cube(-20.0f, 0.0f));
    g_bSceneChanged = 1;
    m_pApp->BuildTriangleGrid();
    EXPECT_EQ(g_bGridBuilt, 1);
    EXPECT_FLOAT_EQ(g_vSceneMin.y, -21.0f);
    EXPECT_FLOAT_EQ(g_vSceneMax.y, 1.0f);
    EXPECT_FLOAT_EQ(g_vCellSize.y, 22.0f / 4.0f);

    m_pApp->m_Scene.Clear(m_pApp->GetRenderer());
    AddMesh({});
    m_pApp->BuildTriangleGrid();
    EXPECT_EQ(g_bGridBuilt, 0);
    EXPECT_EQ(m_pApp->m_pQuadVB, nullptr);
    for (IDirect3DTexture9* pTexture : g_pGridTextures)
        EXPECT_EQ(pTexture, nullptr);
}
