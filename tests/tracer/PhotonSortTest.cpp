// The photon sort and cell index against C++: seeded photon sets at three light-target sides
// sorted on the device equal std::sort by (cell, photon address); the grid textures equal a map
// from each cell to its first list entry; and the cases an ordinary set does not reach: an empty
// block, every photon in one cell, and photons just outside the box on one axis only.
#include "TracerFixture.h"

#include <d3d9/testing.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace
{
struct Entry
{
    int64_t nCell;
    int64_t nAddress;
    bool operator<(const Entry& other) const
    {
        return nCell != other.nCell ? nCell < other.nCell : nAddress < other.nAddress;
    }
    bool operator==(const Entry& other) const { return nCell == other.nCell && nAddress == other.nAddress; }
};
}

class PhotonSortTest : public TracerTest
{
protected:
    static constexpr int32_t GRID = 4;

    void SetUp() override
    {
        TracerTest::SetUp();
        ASSERT_TRUE(InitAndLoad());
        g_nGridSize = GRID;
        AddMesh({D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(6, 0, 0), D3DXVECTOR3(0, 6, 6)});
        m_pApp->BuildTriangleGrid();
        ASSERT_EQ(g_bGridBuilt, 1);
    }

    // Light targets of side l made again.
    void UseLightSide(int32_t l)
    {
        g_nLightTargetSize = l;
        m_pApp->CreateTracerTargets();
    }

    // Positions (xyz per texel, row by row) written into block b's position target.
    void WritePositions(int b, const std::vector<D3DXVECTOR3>& positions)
    {
        const UINT l = static_cast<UINT>(g_nLightTargetSize);
        IDirect3DTexture9* pSource = nullptr;
        ASSERT_EQ(Device()->CreateTexture(l, l, 1, 0, D3DFMT_A32B32G32R32F, D3DPOOL_MANAGED, &pSource, nullptr),
                  D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(pSource->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT i = 0; i < l * l; ++i)
        {
            const float texel[4] = {positions[i].x, positions[i].y, positions[i].z, 0.0f};
            std::memcpy(static_cast<BYTE*>(locked.pBits) + (i / l) * locked.Pitch + (i % l) * 16, texel, 16);
        }
        pSource->UnlockRect(0);
        m_pApp->SetPointSampling();
        Device()->SetRenderState(D3DRS_ZENABLE, FALSE);
        Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_pApp->CopyTracerTexture(pSource, g_pLightTargetsA[b]);
        Device()->SetTexture(0, nullptr);
        pSource->Release();
    }

    // The block's entries as C++ sees them: the cell of each stored position (N^3 outside the
    // box on any axis) with its photon address, sorted.
    std::vector<Entry> ExpectedList(int b)
    {
        const int32_t l = g_nLightTargetSize, n = g_nGridSize;
        const d3d9test::SurfaceData stored = ReadTexture(g_pLightTargetsA[b]);
        std::vector<Entry> entries;
        for (int32_t y = 0; y < l; ++y)
            for (int32_t x = 0; x < l; ++x)
            {
                const float* q = stored.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                const float fMin[3] = {g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z};
                const float fInv[3] = {g_vInvCellSize.x, g_vInvCellSize.y, g_vInvCellSize.z};
                int64_t nCell = 0, nWeight = 1;
                bool bInside = true;
                for (int a = 0; a < 3; ++a)
                {
                    const float c = std::floor((q[a] - fMin[a]) * fInv[a]);
                    bInside = bInside && c >= 0.0f && c < static_cast<float>(n);
                    nCell += static_cast<int64_t>(c) * nWeight;
                    nWeight *= n;
                }
                entries.push_back({bInside ? nCell : int64_t(n) * n * n, x + int64_t(l) * y});
            }
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    std::vector<Entry> SortedList(int b)
    {
        const int32_t l = g_nLightTargetSize;
        const float g = static_cast<float>(g_nGridTextureSize), fl = static_cast<float>(l);
        const d3d9test::SurfaceData list = ReadTexture(g_pLightTargetsB[b]);
        std::vector<Entry> entries;
        for (int32_t e = 0; e < l * l; ++e)
        {
            const float* p = list.Pixel(static_cast<UINT>(e % l), static_cast<UINT>(e / l));
            entries.push_back({std::llround(p[0] * g + p[1] * g * g),
                               std::llround(p[2] * fl) + l * std::llround(p[3] * fl)});
        }
        return entries;
    }

    // Every texel of block b's grid texture against the first entry of each cell's run.
    void ExpectCellIndex(int b, const std::vector<Entry>& sorted)
    {
        const int32_t l = g_nLightTargetSize, g = g_nGridTextureSize, n = g_nGridSize;
        const int64_t nCells = int64_t(n) * n * n;
        std::vector<int64_t> first(static_cast<size_t>(nCells), -1);
        for (size_t e = sorted.size(); e-- > 0;)
            if (sorted[e].nCell < nCells)
                first[static_cast<size_t>(sorted[e].nCell)] = static_cast<int64_t>(e);
        const d3d9test::SurfaceData grid = ReadTexture(g_pGridTextures[b]);
        for (int64_t c = 0; c < int64_t(g) * g; ++c)
        {
            const float* p = grid.Pixel(static_cast<UINT>(c % g), static_cast<UINT>(c / g));
            float u = 0.0f, v = 0.0f;
            if (c < nCells)
            {
                const int64_t e = first[static_cast<size_t>(c)];
                u = e < 0 ? -1.0f : static_cast<float>(e % l);
                v = e < 0 ? -1.0f : static_cast<float>(e / l);
            }
            ASSERT_EQ(p[0], u) << "block " << b << " cell " << c;
            ASSERT_EQ(p[1], v) << "block " << b << " cell " << c;
        }
    }

    D3DXVECTOR3 NoPhoton() const { return D3DXVECTOR3(g_vSceneMax.x + 1, g_vSceneMax.y + 1, g_vSceneMax.z + 1); }
};

TEST_F(PhotonSortTest, SeededPhotonSetsSortLikeStdSortAndIndexTheirFirstEntries)
{
    for (int32_t l : {8, 16, 32})
    {
        SCOPED_TRACE(l);
        UseLightSide(l);
        std::mt19937 random(static_cast<unsigned>(l));
        const D3DXVECTOR3 vMin(g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z);
        const D3DXVECTOR3 vExtent = D3DXVECTOR3(g_vSceneMax.x, g_vSceneMax.y, g_vSceneMax.z) - vMin;
        std::uniform_real_distribution<float> share(-0.15f, 1.15f);
        constexpr int BLOCKS = 3;
        for (int b = 0; b < BLOCKS; ++b)
        {
            std::vector<D3DXVECTOR3> positions;
            for (int32_t i = 0; i < l * l; ++i)
                positions.push_back(i % 7 == 3 ? NoPhoton()
                                               : D3DXVECTOR3(vMin.x + share(random) * vExtent.x,
                                                             vMin.y + share(random) * vExtent.y,
                                                             vMin.z + share(random) * vExtent.z));
            WritePositions(b, positions);
        }
        std::vector<std::vector<Entry>> expected;
        for (int b = 0; b < BLOCKS; ++b)
            expected.push_back(ExpectedList(b));
        m_pApp->SortAndIndexPhotons(BLOCKS, true);
        int64_t nOccupied = 0, nPhotons = 0;
        std::vector<int64_t> counts(static_cast<size_t>(GRID * GRID * GRID), 0);
        for (int b = 0; b < BLOCKS; ++b)
        {
            const std::vector<Entry> sorted = SortedList(b);
            ASSERT_EQ(sorted, expected[b]) << "block " << b;
            ExpectCellIndex(b, sorted);
            for (const Entry& entry : sorted)
                if (entry.nCell < GRID * GRID * GRID)
                    ++counts[static_cast<size_t>(entry.nCell)];
        }
        for (int64_t nCount : counts)
        {
            nOccupied += nCount > 0;
            nPhotons += nCount;
        }
        EXPECT_EQ(g_nOccupiedCells, nOccupied);
        EXPECT_EQ(g_nAverageCellPhotons, nPhotons / nOccupied);
    }
}

TEST_F(PhotonSortTest, EmptyBlockOneCellAndOneAxisOutsideTheBox)
{
    const int32_t l = 8;
    UseLightSide(l);
    const float fCell = 1.0f / g_vInvCellSize.x;
    const D3DXVECTOR3 vMin(g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z);
    // Block 0: no photon at all. Block 1: every photon in cell (1, 2, 3).
    WritePositions(0, std::vector<D3DXVECTOR3>(l * l, NoPhoton()));
    const D3DXVECTOR3 vInCell(vMin.x + 1.5f * fCell, vMin.y + 2.5f / g_vInvCellSize.y, vMin.z + 3.5f / g_vInvCellSize.z);
    WritePositions(1, std::vector<D3DXVECTOR3>(l * l, vInCell));
    // Block 2: photons one cell past the box on x only (x = N, or -1), which a linear index
    // alone would take for cells of the next or previous row; one photon in cell 0.
    std::vector<D3DXVECTOR3> edge(l * l, NoPhoton());
    const float fYZ = 0.5f / g_vInvCellSize.y;
    for (int32_t i = 0; i < l * l; i += 2)
        edge[i] = D3DXVECTOR3(vMin.x + (i % 4 == 0 ? GRID + 0.5f : -0.5f) * fCell, vMin.y + fYZ, vMin.z + 3 * fYZ);
    edge[5] = D3DXVECTOR3(vMin.x + 0.5f * fCell, vMin.y + fYZ, vMin.z + fYZ);
    WritePositions(2, edge);

    m_pApp->SortAndIndexPhotons(3, true);
    const int64_t nCells = GRID * GRID * GRID;
    const std::vector<Entry> empty = SortedList(0);
    EXPECT_TRUE(std::all_of(empty.begin(), empty.end(), [&](const Entry& e) { return e.nCell == nCells; }));
    EXPECT_TRUE(std::is_sorted(empty.begin(), empty.end()));
    ExpectCellIndex(0, empty);

    const std::vector<Entry> one = SortedList(1);
    const int64_t nCell = 1 + GRID * 2 + GRID * GRID * 3;
    EXPECT_TRUE(std::all_of(one.begin(), one.end(), [&](const Entry& e) { return e.nCell == nCell; }));
    ExpectCellIndex(1, one);
    const d3d9test::SurfaceData grid = ReadTexture(g_pGridTextures[1]);
    const int32_t g = g_nGridTextureSize;
    EXPECT_EQ(grid.Pixel(static_cast<UINT>(nCell % g), static_cast<UINT>(nCell / g))[0], 0.0f);

    const std::vector<Entry> outside = SortedList(2);
    EXPECT_EQ(outside.front().nCell, 0);
    EXPECT_EQ(outside.front().nAddress, 5);
    EXPECT_TRUE(std::all_of(outside.begin() + 1, outside.end(), [&](const Entry& e) { return e.nCell == nCells; }));
    ExpectCellIndex(2, outside);

    // Cells with photons: the one cell of block 1 and cell 0 of block 2.
    EXPECT_EQ(g_nOccupiedCells, 2);
    EXPECT_EQ(g_nAverageCellPhotons, (l * l + 1) / 2);
}

TEST_F(PhotonSortTest, NoBlockLeavesNoPhotonStatistics)
{
    g_nOccupiedCells = 7;
    m_pApp->SortAndIndexPhotons(0, false);
    EXPECT_EQ(g_nOccupiedCells, 7);
    m_pApp->SortAndIndexPhotons(0, true);
    EXPECT_EQ(g_nOccupiedCells, 0);
    EXPECT_EQ(g_nAverageCellPhotons, EMPTY_GRID_CELL_PHOTONS);
}
