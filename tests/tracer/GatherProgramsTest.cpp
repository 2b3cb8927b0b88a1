// The gather's neighbourhood (search radius, shells and the cell offset table) and its programs
// on the program bench, each against its formula in C++: cell coordinates, the neighbour cell's
// list pointer, the photon addresses of a step with its stopping rules, the radiance estimate of
// two photons, the accumulation and the shading of the sums.
#include "tracer/GatherNeighbourhood.h"

#include <ProgramBench.h>
#include <ShaderAssembler.h>
#include <TestSampler.h>
#include <win32/resources.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <set>
#include <tuple>

namespace
{
std::vector<DWORD> Assemble(int nResource)
{
    const ResourceEntry* pEntry = FindResourceEntry("PSH", nResource);
    EXPECT_NE(pEntry, nullptr) << nResource;
    ShaderAssemblyOptions options;
    options.bStrict = true;
    ShaderAssembly assembly;
    if (pEntry)
    {
        EXPECT_TRUE(AssembleShaderText(static_cast<const char*>(pEntry->m_pData), pEntry->m_nSize, options, assembly))
            << nResource;
    }
    return assembly.tokens;
}

struct Bench
{
    float c[32][4] = {};
    PixelQuadInput input;
    TestSampler sampler;

    void Row(int r, float x, float y, float z, float w)
    {
        c[r][0] = x, c[r][1] = y, c[r][2] = z, c[r][3] = w;
    }
    // Pixel p reads texel (p, 0) of 4 x 1 textures through t0.
    void UseTexelAddresses()
    {
        for (int p = 0; p < 4; ++p)
        {
            input.t[0][p][0] = p / 4.0f;
            input.t[0][p][1] = 0.0f;
        }
    }
    PixelQuadOutput Run(int nResource)
    {
        PixelQuadOutput output;
        std::string strError;
        EXPECT_TRUE(RunPixelProgram(Assemble(nResource), &c[0][0], 32, &sampler, input, output, &strError))
            << nResource << ": " << strError;
        return output;
    }
};

// A 4 x 1 texture of these four texels.
TestTexture Strip(std::initializer_list<std::array<float, 4>> texels)
{
    TestTexture texture;
    texture.nWidth = static_cast<unsigned>(texels.size());
    texture.bClamp = true;
    for (const auto& t : texels)
        texture.texels.insert(texture.texels.end(), t.begin(), t.end());
    return texture;
}
}

TEST(GatherNeighbourhood, RadiusAndShellsFollowTheFormulaAndClampAtSixShells)
{
    struct Case
    {
        D3DXVECTOR4 vCell;
        float S;
        int32_t N;
        float f;
        int32_t A;
        float fR2;
        int nShells;
    } cases[] = {
        // h^2 = 3/4 x 4 = 3; R^2 = 1 x 3 x 32 x 1.5 / 48 = 3; R = 1.732 over cmin 2: n = 1.
        {{2, 2, 2, 0}, 1.0f, 32, 1.5f, 48, 3.0f, 1},
        // cmax 3 (h^2 6.75), cmin 1: R^2 = 0.5 x 6.75 x 100 x 0.5 / 25 = 6.75, R = 2.598: n = 3.
        {{1, 3, 2, 0}, 0.5f, 100, 0.5f, 25, 6.75f, 3},
        // R^2 = 3 x 32 x 1.5 / 1 = 144 over cmin 2: R/cmin = 6 reaches the clamp: 35 x 4.
        {{2, 2, 2, 0}, 1.0f, 32, 1.5f, 1, 140.0f, 6},
        // Just below the clamp: R^2 = 3 x 1.5 x 31 / 1 = 139.5, R/cmin = 5.9: n = 6, R^2 kept.
        {{2, 2, 2, 0}, 1.0f, 31, 1.5f, 1, 139.5f, 6},
        // No occupied cell is counted as 1 photon a cell, not a division by 0.
        {{1, 1, 1, 0}, 0.01f, 4, 1.0f, 0, 0.03f, 1},
    };
    for (const Case& c : cases)
    {
        const GatherRadius r = ComputeGatherRadius(c.vCell, c.S, c.N, c.f, c.A);
        EXPECT_FLOAT_EQ(r.m_fRadiusSquared, c.fR2) << c.N << " " << c.A;
        EXPECT_EQ(r.m_nShells, c.nShells) << c.N << " " << c.A;
        const float cmax = std::max(c.vCell.x, std::max(c.vCell.y, c.vCell.z));
        EXPECT_FLOAT_EQ(r.m_fHalfDiagonalSquared, 0.75f * cmax * cmax);
    }
}

TEST(GatherNeighbourhood, OffsetTableVisitsEveryCellOnceNearestShellFirst)
{
    std::vector<D3DXVECTOR4> table;
    BuildCellOffsetTable(1, table);
    const int one[27][3] = {{0, 0, 0},   {-1, 0, 0},  {1, 0, 0},   {0, -1, 0},  {0, 1, 0},  {0, 0, -1}, {0, 0, 1},
                            {-1, -1, -1}, {-1, -1, 0}, {-1, -1, 1}, {1, -1, -1}, {1, -1, 0}, {1, -1, 1}, {1, 1, -1},
                            {1, 1, 0},   {1, 1, 1},   {-1, 1, -1}, {-1, 1, 0},  {-1, 1, 1}, {1, 0, 1},  {-1, 0, 1},
                            {-1, 0, -1}, {1, 0, -1},  {0, 1, 1},   {0, -1, 1},  {0, -1, -1}, {0, 1, -1}};
    ASSERT_EQ(table.size(), 27u);
    for (int i = 0; i < 27; ++i)
    {
        EXPECT_EQ(table[i].x, one[i][0]) << i;
        EXPECT_EQ(table[i].y, one[i][1]) << i;
        EXPECT_EQ(table[i].z, one[i][2]) << i;
    }
    // Shell 2 begins with the -x face, dy outer and dz inner.
    BuildCellOffsetTable(2, table);
    EXPECT_EQ(table[27].x, -2);
    EXPECT_EQ(table[27].y, -1);
    EXPECT_EQ(table[27].z, -1);
    EXPECT_EQ(table[28].z, 0);
    for (int n = 1; n <= MAX_GATHER_SHELLS; ++n)
    {
        BuildCellOffsetTable(n, table);
        ASSERT_EQ(table.size(), static_cast<size_t>((2 * n + 1) * (2 * n + 1) * (2 * n + 1))) << n;
        std::set<std::tuple<int, int, int>> seen;
        int nShell = 0;
        for (const D3DXVECTOR4& v : table)
        {
            const int x = static_cast<int>(v.x), y = static_cast<int>(v.y), z = static_cast<int>(v.z);
            const int d = std::max(std::abs(x), std::max(std::abs(y), std::abs(z)));
            EXPECT_GE(d, nShell) << n;
            EXPECT_LE(d, n);
            nShell = d;
            EXPECT_TRUE(seen.insert({x, y, z}).second) << n << ": " << x << " " << y << " " << z;
        }
    }
}

TEST(GatherProgram, CellCoordinatesAreTheFloorOfThePositionInCells)
{
    Bench bench;
    bench.UseTexelAddresses();
    TestTexture positions = Strip({{{0.1f, 0.0f, 5.9f, 1}}, {{-3.0f, 2.5f, 1.0f, 1}}, {{7.99f, -0.01f, 3.0f, 1}},
                                   {{4.0f, 4.0f, 4.0f, 1}}});
    bench.sampler.SetTexture(0, &positions);
    bench.Row(1, -4, -1, 0, 1);
    bench.Row(3, 0.5f, 0.25f, 2, 1);
    const PixelQuadOutput out = bench.Run(730);
    for (int p = 0; p < 4; ++p)
        for (int a = 0; a < 3; ++a)
        {
            const float fMin[3] = {-4, -1, 0}, fInv[3] = {0.5f, 0.25f, 2};
            EXPECT_EQ(out.oC[0][p][a], std::floor((positions.texels[p * 4 + a] - fMin[a]) * fInv[a])) << p << " " << a;
        }
}

TEST(GatherProgram, ListPointerOfTheNeighbourCellOrMinusOneOverL)
{
    // A 4-cell grid in an 8 x 8 grid texture; cells of size 1 from the origin; L = 16.
    constexpr int N = 4, G = 8;
    constexpr float L = 16;
    TestTexture grid;
    grid.nWidth = grid.nHeight = G;
    grid.bClamp = true;
    for (int i = 0; i < G * G; ++i)
    {
        // Cell i starts at entry 3i: texel (3i mod 16, 3i div 16); cell 21 holds no photon.
        const bool bEmpty = i == 21;
        grid.texels.insert(grid.texels.end(), {bEmpty ? -1.0f : static_cast<float>(3 * i % 16),
                                               bEmpty ? -1.0f : static_cast<float>(3 * i / 16), 1, 1});
    }
    Bench bench;
    bench.UseTexelAddresses();
    // Points in cells (1, 1, 1), (1, 1, 1), (3, 0, 0), (1, 1, 1); offsets give (2, 1, 1), (2, 1, 1),
    // (4, 1, 1) outside, (2, 1, 1).
    TestTexture positions = Strip({{{1.5f, 1.5f, 1.5f, 1}}, {{1.1f, 1.9f, 1.2f, 1}}, {{3.5f, 0.5f, 0.5f, 1}},
                                   {{1.01f, 1.01f, 1.01f, 1}}});
    TestTexture cells = Strip({{{1, 1, 1, 0}}, {{1, 1, 1, 0}}, {{3, 0, 0, 0}}, {{1, 1, 1, 0}}});
    bench.sampler.SetTexture(0, &positions);
    bench.sampler.SetTexture(1, &cells);
    bench.sampler.SetTexture(2, &grid);
    bench.Row(0, 2, 1, 0, 1.0f / G);
    bench.Row(1, 0, 0, 0, 1);
    bench.Row(5, 1, N, N * N, 1.0f / N);
    bench.Row(9, 1.0f / G, 1.0f * N / G, 1.0f * N * N / G, 1);
    bench.Row(11, 1, 1, 1, 1);
    // R = 1, h^2 = 0.75: (R + h)^2 = 3.482.
    const float h = std::sqrt(0.75f);
    bench.Row(16, 0.5f, 0.5f, 0.5f, (1 + h) * (1 + h));
    bench.Row(24, 1 / L, 1 / L, 0, 1);
    bench.Row(30, 1, 1, 1, 0);
    const PixelQuadOutput out = bench.Run(729);
    // Cell (2, 2, 2) = index 42: entry 126 at texel (14, 7); centre (2.5, 2.5, 2.5).
    const float fFar = -1 / L;
    const float expected[4][2] = {{14 / L, 7 / L}, {14 / L, 7 / L}, {fFar, fFar}, {fFar, fFar}};
    // Pixel 1: |(2.5,2.5,2.5) - (1.1,1.9,1.2)|^2 = 1.96 + 0.36 + 1.69 = 4.01 >= 3.48: too far.
    const float pixel1[2] = {fFar, fFar};
    for (int a = 0; a < 2; ++a)
    {
        EXPECT_FLOAT_EQ(out.oC[0][0][a], expected[0][a]);
        EXPECT_FLOAT_EQ(out.oC[0][1][a], pixel1[a]);
        EXPECT_FLOAT_EQ(out.oC[0][2][a], expected[2][a]);
    }
    // Pixel 3 at distance 3 x 1.49^2 = 6.66 from the centre: too far as well.
    EXPECT_FLOAT_EQ(out.oC[0][3][0], fFar);
    // The same with offset (0, 1, 0): cell (1, 2, 1) = index 25 (texel 75 = (11, 4)); cell 21
    // ((1, 1, 1) + (0, 0, 0)) is the empty one.
    bench.Row(30, 0, 1, 0, 0);
    PixelQuadOutput next = bench.Run(729);
    EXPECT_FLOAT_EQ(next.oC[0][0][0], 11 / L);
    EXPECT_FLOAT_EQ(next.oC[0][0][1], 4 / L);
    bench.Row(30, 0, 0, 0, 0);
    next = bench.Run(729);
    EXPECT_FLOAT_EQ(next.oC[0][0][0], fFar);
    EXPECT_FLOAT_EQ(next.oC[0][0][1], fFar);
}

TEST(GatherProgram, PhotonAddressesTestBothEntriesAgainstTheRunAndStopThePixel)
{
    // A list of 8 entries (L = 4, two rows): cell keys 5, 5, 5, 9, 9, 12, 12, 12; the photon
    // address of entry e is (e / 4 + 1/8, 0.5).
    constexpr float L = 4;
    TestTexture list;
    list.nWidth = list.nHeight = 4;
    list.bClamp = true;
    const float keys[16] = {5, 5, 5, 9, 9, 12, 12, 12, 99, 99, 99, 99, 99, 99, 99, 99};
    for (int e = 0; e < 16; ++e)
        list.texels.insert(list.texels.end(), {keys[e] / 16, 0.0f, e / 16.0f + 1.0f / 32, 0.5f});
    struct Case
    {
        int nStart;      // the run's first entry, -1 for no run
        float fCount;    // the pixel's weighted count
        int k;           // the step
        float fDepth;    // 0 goes on, 1 ends
        bool bSecond;    // the second photon is gathered
    } cases[] = {
        {0, 0, 0, 0, true},      // entries 0, 1 of the run of 3
        {0, 0, 1, 0, false},     // entries 2 and 3: the run ends after the first (odd length)
        {3, 0, 0, 0, true},      // entries 3, 4
        {3, 0, 1, 1, false},     // entry 5 is past the run
        {0, 7.5f, 0, 0, true},   // count below N = 8
        {0, 8.0f, 0, 1, true},   // count at N: the pixel is done
        {-1, 0, 0, 1, false},    // no run
        {5, 0, 1, 0, false},     // entries 7 (second row) and 8, which belongs to no cell of the run
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "start " << c.nStart << " count " << c.fCount << " k " << c.k);
        Bench bench;
        bench.UseTexelAddresses();
        const float u = c.nStart < 0 ? -1 / L : (c.nStart % 4) / L, v = c.nStart < 0 ? -1 / L : (c.nStart / 4) / L;
        TestTexture sums = Strip({{{0, 0, 0, c.fCount}}, {{0, 0, 0, c.fCount}}, {{0, 0, 0, c.fCount}},
                                  {{0, 0, 0, c.fCount}}});
        TestTexture pointers = Strip({{{u, v, 0, 0}}, {{u, v, 0, 0}}, {{u, v, 0, 0}}, {{u, v, 0, 0}}});
        bench.sampler.SetTexture(0, &sums);
        bench.sampler.SetTexture(1, &pointers);
        bench.sampler.SetTexture(3, &list);
        bench.Row(0, 2, 1, 0, 1.0f / 16);
        bench.Row(8, 2 * c.k / L, (2 * c.k + 1) / L, 0, 1);
        bench.Row(24, 1 / L, 1 / L, 0, 1);
        bench.Row(31, 1, 8, 1, 8);
        const PixelQuadOutput out = bench.Run(735);
        ASSERT_TRUE(out.bDepth);
        EXPECT_EQ(out.oDepth[0], c.fDepth);
        if (c.fDepth == 0)
        {
            const int e = c.nStart + 2 * c.k;
            EXPECT_FLOAT_EQ(out.oC[0][0][0], e / 16.0f + 1.0f / 32);
            EXPECT_FLOAT_EQ(out.oC[0][0][1], 0.5f);
            if (c.bSecond)
                EXPECT_FLOAT_EQ(out.oC[0][0][2], (e + 1) / 16.0f + 1.0f / 32);
            else
                EXPECT_LT(out.oC[0][0][2], 0.0f);
        }
    }
}

TEST(GatherProgram, RadianceEstimateOfTwoPhotonsAgainstItsFormula)
{
    struct Photon
    {
        D3DXVECTOR3 vPosition;
        D3DXVECTOR3 vLight;   // unit light vector
        D3DXVECTOR4 vEnergy;
    };
    const D3DXVECTOR3 vP(1.0f, 2.0f, 0.5f), vNormal(0.0f, 0.6f, 0.8f), vEye(4.0f, 7.0f, 3.0f);
    const float fR = 1.25f, g = 0.5f, s = 0.3f;
    auto unit = [](D3DXVECTOR3 v) {
        D3DXVec3Normalize(&v, &v);
        return v;
    };
    // Pairs: two inside R; one exactly at R (weight 0) with one at distance 0 (weight 1); one
    // behind the surface (count 0, diffuse 0) with one outside; the second photon's address -1.
    const Photon photons[8] = {
        {vP + D3DXVECTOR3(0.3f, 0.2f, -0.1f), unit({0.2f, 0.5f, 0.9f}), {0.8f, 0.4f, 0.2f, 1}},
        {vP + D3DXVECTOR3(-0.5f, 0.0f, 0.6f), unit({-0.3f, 0.9f, 0.1f}), {0.2f, 0.6f, 1.0f, 1}},
        {vP + D3DXVECTOR3(0.0f, 0.0f, fR), unit({0, 1, 0}), {1, 1, 1, 1}},
        {vP, unit({0.1f, 0.2f, 0.9f}), {0.5f, 0.25f, 0.75f, 1}},
        {vP + D3DXVECTOR3(0.1f, 0.1f, 0.1f), unit({0.0f, -0.6f, -0.8f}), {0.9f, 0.9f, 0.9f, 1}},
        {vP + D3DXVECTOR3(2.0f, 0.0f, 0.0f), unit({0, 1, 0}), {1, 1, 1, 1}},
        {vP + D3DXVECTOR3(0.2f, -0.3f, 0.4f), unit({0.6f, 0.0f, 0.8f}), {0.3f, 0.7f, 0.5f, 1}},
        {vP + D3DXVECTOR3(0.1f, 0.0f, 0.0f), unit({0, 0, 1}), {1, 1, 1, 1}},
    };
    // Photon textures of 8 x 1 texels; pixel p gathers photons 2p and 2p + 1.
    TestTexture positions, rays, energies, addresses, sums, speculars, normals, points;
    for (TestTexture* t : {&positions, &rays, &energies})
    {
        t->nWidth = 8;
        t->bClamp = true;
    }
    for (const Photon& ph : photons)
    {
        positions.texels.insert(positions.texels.end(), {ph.vPosition.x, ph.vPosition.y, ph.vPosition.z, 1});
        rays.texels.insert(rays.texels.end(),
                           {(ph.vLight.x + 1) / 2, (ph.vLight.y + 1) / 2, (ph.vLight.z + 1) / 2, 1});
        energies.texels.insert(energies.texels.end(), {ph.vEnergy.x, ph.vEnergy.y, ph.vEnergy.z, ph.vEnergy.w});
    }
    const D3DXVECTOR4 vD0(0.1f, 0.2f, 0.3f, 2.0f), vS0(0.05f, 0.0f, 0.1f, 0.5f);
    sums = Strip({{{vD0.x, vD0.y, vD0.z, vD0.w}}, {{vD0.x, vD0.y, vD0.z, vD0.w}}, {{vD0.x, vD0.y, vD0.z, vD0.w}},
                  {{vD0.x, vD0.y, vD0.z, vD0.w}}});
    speculars = Strip({{{vS0.x, vS0.y, vS0.z, vS0.w}}, {{vS0.x, vS0.y, vS0.z, vS0.w}}, {{vS0.x, vS0.y, vS0.z, vS0.w}},
                       {{vS0.x, vS0.y, vS0.z, vS0.w}}});
    normals = Strip({{{vNormal.x, vNormal.y, vNormal.z, s}}, {{vNormal.x, vNormal.y, vNormal.z, s}},
                     {{vNormal.x, vNormal.y, vNormal.z, s}}, {{vNormal.x, vNormal.y, vNormal.z, s}}});
    points = Strip({{{vP.x, vP.y, vP.z, 1}}, {{vP.x, vP.y, vP.z, 1}}, {{vP.x, vP.y, vP.z, 1}}, {{vP.x, vP.y, vP.z, 1}}});
    // Pixel 0: photons 0, 1; pixel 1: 2, 3 (R and 0); pixel 2: 4, 5; pixel 3: 0 and 1 again
    // with the second address -1.
    addresses = Strip({{{0.5f / 8, 0, 1.5f / 8, 0}}, {{2.5f / 8, 0, 3.5f / 8, 0}}, {{4.5f / 8, 0, 5.5f / 8, 0}},
                       {{0.5f / 8, 0, -1, -1}}});
    Bench bench;
    bench.UseTexelAddresses();
    bench.sampler.SetTexture(0, &sums);
    bench.sampler.SetTexture(1, &speculars);
    bench.sampler.SetTexture(2, &normals);
    bench.sampler.SetTexture(3, &addresses);
    bench.sampler.SetTexture(4, &positions);
    bench.sampler.SetTexture(5, &rays);
    bench.sampler.SetTexture(6, &energies);
    bench.sampler.SetTexture(7, &points);
    bench.Row(0, 2, 1, 0, 1.0f / 16);
    bench.Row(4, vEye.x, vEye.y, vEye.z, 1);
    bench.Row(27, 0, 0, 0, 2.7182817f);
    bench.Row(28, 0, -g / fR, 0, 0);
    bench.Row(31, fR * fR, 32, fR * fR, 32);
    const PixelQuadOutput out = bench.Run(723);

    const D3DXVECTOR3 vView = unit(vEye - vP);
    const int pairs[4][2] = {{0, 1}, {2, 3}, {4, 5}, {0, -1}};
    const float weights[4][2] = {{-1, -1}, {0, 1}, {-1, 0}, {-1, 0}};
    for (int p = 0; p < 4; ++p)
    {
        D3DXVECTOR4 vD = vD0, vS = vS0;
        for (int k = 0; k < 2; ++k)
        {
            const int i = pairs[p][k];
            if (i < 0)
                continue;
            const Photon& ph = photons[i];
            const float fDot = D3DXVec3Dot(&vNormal, &ph.vLight);
            const D3DXVECTOR3 vMirror = 2 * fDot * vNormal - ph.vLight;
            const float fSpec = std::pow(std::clamp(D3DXVec3Dot(&vMirror, &vView), 0.0f, 1.0f), s);
            const D3DXVECTOR3 vTo = ph.vPosition - vP;
            const float fDistance = D3DXVec3Length(&vTo);
            float w = fDistance * fDistance >= fR * fR ? 0.0f : std::exp(-g * fDistance / fR);
            if (weights[p][k] >= 0)
                EXPECT_NEAR(w, weights[p][k], 1e-6f) << p << " " << k;
            const float fDiffuse = std::clamp(fDot, 0.0f, 1.0f);
            vD += w * D3DXVECTOR4(fDiffuse * ph.vEnergy.x, fDiffuse * ph.vEnergy.y, fDiffuse * ph.vEnergy.z,
                                  fDot >= 0 ? 1.0f : 0.0f);
            vS += w * fSpec * ph.vEnergy;
        }
        for (int a = 0; a < 4; ++a)
        {
            EXPECT_NEAR(out.oC[0][p][a], (&vD.x)[a], 2e-4f) << "diffuse, pixel " << p << " channel " << a;
            EXPECT_NEAR(out.oC[1][p][a], (&vS.x)[a], 2e-4f) << "specular, pixel " << p << " channel " << a;
        }
    }
}

TEST(GatherProgram, AccumulationSaturatesAndShadingWeighsTheSumsByTheColours)
{
    Bench bench;
    bench.UseTexelAddresses();
    TestTexture d = Strip({{{0.5f, 8, 0, 16}}, {{1, 1, 1, 1}}, {{0, 0, 0, 0}}, {{4, 2, 1, 0.5f}}});
    TestTexture s = Strip({{{2, 0, 1, 0}}, {{0, 0, 0, 0}}, {{30, 3, 0.3f, 0}}, {{1, 1, 1, 1}}});
    TestTexture dp = Strip({{{0.1f, 0.2f, 0.3f, 0.4f}}, {{0.9f, 0.95f, 0, 1}}, {{0.5f, 0.5f, 0.5f, 0.5f}}, {{0, 0, 0, 0}}});
    TestTexture sp = Strip({{{0, 0, 0, 0}}, {{0.5f, 0.6f, 0.7f, 0.8f}}, {{0.1f, 0.1f, 0.1f, 0.1f}}, {{0.9f, 0, 0, 0}}});
    bench.sampler.SetTexture(0, &d);
    bench.sampler.SetTexture(1, &s);
    bench.sampler.SetTexture(2, &dp);
    bench.sampler.SetTexture(3, &sp);
    bench.Row(31, 1.0f / 32, 1, 0, 1);
    const PixelQuadOutput combined = bench.Run(775);
    for (int p = 0; p < 4; ++p)
        for (int a = 0; a < 4; ++a)
        {
            const size_t i = static_cast<size_t>(p * 4 + a);
            EXPECT_FLOAT_EQ(combined.oC[0][p][a], std::clamp(d.texels[i] / 32 + dp.texels[i], 0.0f, 1.0f));
            EXPECT_FLOAT_EQ(combined.oC[1][p][a], std::clamp(s.texels[i] / 32 + sp.texels[i], 0.0f, 1.0f));
        }

    // Shading: stages 0 and 1 the sums, 4 and 5 the colours.
    bench.sampler.SetTexture(2, nullptr);
    bench.sampler.SetTexture(3, nullptr);
    bench.sampler.SetTexture(4, &dp);
    bench.sampler.SetTexture(5, &sp);
    const PixelQuadOutput shaded = bench.Run(731);
    for (int p = 0; p < 4; ++p)
        for (int a = 0; a < 4; ++a)
        {
            const size_t i = static_cast<size_t>(p * 4 + a);
            EXPECT_FLOAT_EQ(shaded.oC[0][p][a], dp.texels[i] * d.texels[i] + sp.texels[i] * s.texels[i]);
        }
}
