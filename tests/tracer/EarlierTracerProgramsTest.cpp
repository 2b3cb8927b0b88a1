// The programs of the earlier tracer variants on the program bench, each against its formula in
// C++: the shadow-ray tracer's primary surface, ray start, grid walk, record copies and list
// address; the triangle-corner upload; the reflection and refraction programs of the earlier
// specular paths.
#include "ProgramBenchCase.h"

#include <algorithm>

namespace
{
const V4 QUAD_TEXELS[4] = {{0.25f, 0.25f, 0, 0}, {0.75f, 0.25f, 0, 0}, {0.25f, 0.75f, 0, 0}, {0.75f, 0.75f, 0, 0}};

void SetQuadCoordinates(PixelBench& bench)
{
    for (int p = 0; p < 4; ++p)
        bench.SetT(0, p, QUAD_TEXELS[p]);
}

// The grid constants the programs read (N cells per axis over the box from minimum, cells of the
// given size; G the grid-texture side, L the list-texture side).
void SetGrid(PixelBench& bench, int N, V4 minimum, float fCell, int G, int L)
{
    const float n = static_cast<float>(N), g = static_cast<float>(G), l = static_cast<float>(L);
    bench.SetC(0, {2, 1, 0, 1 / g});
    bench.SetC(1, minimum);
    bench.SetC(3, {1 / fCell, 1 / fCell, 1 / fCell, 1});
    bench.SetC(5, {1, n, n * n, 1 / n});
    bench.SetC(6, {10000, 0.01f, -1, 0.021f});
    bench.SetC(8, {1 / l, 0, 0, 1 / g});
    bench.SetC(9, {1 / g, n / g, n * n / g, 1});
    bench.SetC(10, {0, 0, 0, 0.5f});
    bench.SetC(11, {fCell, fCell, fCell, 1});
}
}

TEST(EarlierTracerProgram, PrimarySurfaceWritesThePositionAndTheReciprocalsTowardsTheLight)
{
    PixelBench bench;
    const V4 light = {3, 8, -2, 1};
    bench.SetC(0, {0.75f, 0.001f, 0, 1});
    bench.SetC(4, light);
    const V4 world[4] = {{0, 0, 0, 1}, {1, 2, 3, 1}, {-4, 0.5f, 2, 1}, {2.5f, 7, -1, 1}};
    for (int p = 0; p < 4; ++p)
        bench.SetT(0, p, world[p]);
    const PixelQuadOutput out = bench.Run(700);
    for (int p = 0; p < 4; ++p)
    {
        const V4 d = light - world[p];
        ExpectNear(Output(out, 0, p), {world[p].x, world[p].y, world[p].z, 0.75f}, 0, "position");
        ExpectNear(Output(out, 1, p), {1 / d.x, 1 / d.y, 1 / d.z, 1}, 1e-6f, "reciprocals");
    }
    // The corner upload writes the position as it comes.
    ExpectNear(Output(bench.Run(705), 0, 2), world[2], 0, "705");
}

TEST(EarlierTracerProgram, RayStartsInTheCellOfItsPointAndPixelsWithoutASurfaceAreDropped)
{
    PixelBench bench;
    SetQuadCoordinates(bench);
    const V4 minimum = {-2, -1, 0, 1};
    SetGrid(bench, 8, minimum, 0.5f, 8, 4);
    const V4 positions[4] = {{0.1f, 0.3f, 1.7f, 1}, {-1.9f, 2.2f, 0.2f, 0.5f}, {5, 5, 5, 0}, {1.3f, -0.6f, 3.9f, 2}};
    bench.Texture(0, 2, 2, std::vector<V4>(positions, positions + 4));
    const PixelQuadOutput out = bench.Run(708);
    for (int p = 0; p < 4; ++p)
    {
        EXPECT_EQ(out.bKilled[p], positions[p].w == 0) << p;
        if (out.bKilled[p])
            continue;
        const V4 cells = 2.0f * (positions[p] - minimum);
        ExpectNear(Output(out, 1, p), {std::floor(cells.x), std::floor(cells.y), std::floor(cells.z), 0}, 0, "cell");
        ExpectNear(Output(out, 0, p), {0, 0, 0, 0}, 0, "intersection record");
    }
}

TEST(EarlierTracerProgram, ShadowRayWalksToTheNextCellAndEndsOutsideTheGrid)
{
    // A 4-cell grid of cells 1.0 from the origin, the light at (3.5, 1.5, 0.5).
    const int N = 4;
    const V4 light = {3.5f, 1.5f, 0.5f, 1};
    struct Case
    {
        V4 point, cell;
    } cases[4] = {
        {{0.5f, 0.2f, 0.5f, 1}, {0, 0, 0, 0}},      // crosses x = 1 first
        {{3.2f, 3.8f, 0.5f, 1}, {3, 2, 0, 0}},      // the walk is in cell (3, 2): leaves through y = 2
        {{0.5f, 0.5f, 0.5f, 1}, {3, 1, 0, 0}},      // past the light: leaves the grid through x = 4
        {{3.5f, 1.4f, 0.9f, 1}, {3, 1, 0, 0}},      // leaves the grid through z = 0
    };
    PixelBench bench;
    SetQuadCoordinates(bench);
    SetGrid(bench, N, {0, 0, 0, 1}, 1.0f, 4, 4);
    bench.SetC(4, light);
    std::vector<V4> points, cells;
    for (const Case& c : cases)
    {
        points.push_back(c.point);
        cells.push_back(c.cell);
    }
    bench.Texture(0, 2, 2, points);
    bench.Texture(1, 2, 2, cells);
    const PixelQuadOutput out = bench.Run(706);
    for (int p = 0; p < 4; ++p)
    {
        const V4 d = light - cases[p].point;
        const float dir[3] = {d.x, d.y, d.z}, point[3] = {cases[p].point.x, cases[p].point.y, cases[p].point.z};
        float cell[3] = {cases[p].cell.x, cases[p].cell.y, cases[p].cell.z};
        // The exit of the current cell: per axis the plane the ray moves towards, the nearest.
        float fNearest = 1e30f;
        int nAxis = 0;
        for (int a = 0; a < 3; ++a)
        {
            if (dir[a] == 0)
                continue;
            const float fPlane = cell[a] + (dir[a] > 0 ? 1.0f : 0.0f);
            const float t = (fPlane - point[a]) / dir[a];
            if (t < fNearest)
                fNearest = t, nAxis = a;
        }
        cell[nAxis] += dir[nAxis] > 0 ? 1.0f : -1.0f;
        const bool bOutside = std::any_of(cell, cell + 3, [N](float c) { return c < 0 || c > N - 1; });
        ExpectNear(Output(out, 0, p), {cell[0], cell[1], cell[2], bOutside ? 1.0f : 0.0f}, 0,
                   "pixel " + std::to_string(p));
    }
    EXPECT_EQ(out.oC[0][0][3], 0.0f);
    EXPECT_EQ(out.oC[0][2][3], 1.0f);
    EXPECT_EQ(out.oC[0][3][3], 1.0f);
}

TEST(EarlierTracerProgram, RecordCopiesAndStateDepths)
{
    // Ray records in the three states, cell records beside them.
    const V4 records[4] = {{0.1f, 0.2f, 0.3f, 0}, {0.4f, 0.5f, 0.6f, 0.5f}, {0.7f, 0.8f, 0.9f, 1}, {1, 2, 3, 0.5f}};
    const V4 cells[4] = {{1, 2, 3, 0.5f}, {4, 5, 6, 0}, {7, 0, 1, 1}, {2, 2, 2, 0}};
    PixelBench bench;
    SetQuadCoordinates(bench);
    bench.SetC(0, {2, 1, 0, 0.25f});
    bench.SetC(10, {0, 0, 0, 0.5f});
    bench.SetC(31, {0.25f, 1, 0, 1});
    bench.Texture(0, 2, 2, std::vector<V4>(records, records + 4));
    bench.Texture(1, 2, 2, std::vector<V4>(cells, cells + 4));
    const PixelQuadOutput copy = bench.Run(711), traversal = bench.Run(710);
    const PixelQuadOutput scaled = bench.Run(712), cellCopy = bench.Run(713);
    const PixelQuadOutput stateIntoRecord = bench.Run(714), stateIntoCell = bench.Run(715);
    ASSERT_TRUE(copy.bDepth && traversal.bDepth);
    for (int p = 0; p < 4; ++p)
    {
        const std::string strWhat = "pixel " + std::to_string(p);
        ExpectNear(Output(copy, 0, p), records[p], 0, strWhat + " 711");
        EXPECT_EQ(copy.oDepth[p], records[p].w) << strWhat;
        ExpectNear(Output(traversal, 0, p), cells[p], 0, strWhat + " 710");
        EXPECT_EQ(traversal.oDepth[p], records[p].w == 0.5f ? 0.0f : 1.0f) << strWhat;
        ExpectNear(Output(scaled, 0, p), 0.25f * records[p], 1e-7f, strWhat + " 712");
        ExpectNear(Output(cellCopy, 0, p), records[p], 0, strWhat + " 713");
        ExpectNear(Output(stateIntoRecord, 0, p), {records[p].x, records[p].y, records[p].z, cells[p].w}, 0,
                   strWhat + " 714");
        ExpectNear(Output(stateIntoCell, 0, p), {cells[p].x, cells[p].y, cells[p].z, records[p].w}, 0,
                   strWhat + " 715");
    }
}

TEST(EarlierTracerProgram, ListAddressOfTheRaysCellComesFromTheGridTexture)
{
    // N = 4 cells per axis in an 8 x 8 grid texture: cell index i at texel (i mod 8, i div 8),
    // which holds the list texel (i mod 16, i div 16) of a 16 x 16 list.
    const int N = 4, G = 8, L = 16;
    std::vector<V4> grid;
    for (int i = 0; i < G * G; ++i)
        grid.push_back({static_cast<float>(i % L), static_cast<float>(i / L), 0, 0});
    const V4 cells[4] = {{0, 0, 0, 0}, {3, 1, 0, 0}, {2, 3, 1, 0}, {3, 3, 3, 0}};
    PixelBench bench;
    SetQuadCoordinates(bench);
    SetGrid(bench, N, {0, 0, 0, 1}, 1.0f, G, L);
    bench.Texture(1, 2, 2, std::vector<V4>(cells, cells + 4));
    bench.Texture(2, G, G, grid);
    const PixelQuadOutput out = bench.Run(716);
    for (int p = 0; p < 4; ++p)
    {
        const int i = static_cast<int>(cells[p].x + N * cells[p].y + N * N * cells[p].z);
        ExpectNear(Output(out, 0, p), {static_cast<float>(i % L) / L, static_cast<float>(i / L) / L, 0, 1}, 1e-6f,
                   "cell " + std::to_string(i));
    }
}

namespace
{
const V4 FRAME_ROWS[3] = {{0.8f, 0, 0.6f, 0}, {0, 1, 0, 0}, {-0.6f, 0, 0.8f, 0}};

// A cube of 1 x 1 faces, each a colour of its own; the face a direction selects.
struct FaceCube
{
    TestTexture faces[6];
    const TestTexture* pFaces[6];
    FaceCube()
    {
        for (int f = 0; f < 6; ++f)
        {
            faces[f].texels = {0.1f * f, 1 - 0.15f * f, 0.05f * f + 0.3f, 0.5f};
            pFaces[f] = &faces[f];
        }
    }
    V4 Along(V4 d) const
    {
        const float a[3] = {d.x, d.y, d.z};
        int nAxis = 0;
        for (int i = 1; i < 3; ++i)
            if (std::fabs(a[i]) > std::fabs(a[nAxis]))
                nAxis = i;
        const std::vector<float>& t = faces[2 * nAxis + (a[nAxis] < 0 ? 1 : 0)].texels;
        return {t[0], t[1], t[2], t[3]};
    }
};

// The surface programs' inputs: world positions per pixel, the bump texel everywhere, the frame.
void SetSurface(PixelBench& bench, const V4 world[4], V4 bump)
{
    bench.Constant(1, bump);
    bench.SetAllT(1, {0.5f, 0.5f, 0.5f, 0.5f});
    for (int k = 0; k < 3; ++k)
        bench.SetAllT(2 + k, FRAME_ROWS[k]);
    for (int p = 0; p < 4; ++p)
        bench.SetT(0, p, world[p]);
}

V4 BumpNormal(V4 bump)
{
    const V4 n = 2 * bump - V4{1, 1, 1, 1};
    return Normalize3({Dot3(FRAME_ROWS[0], n), Dot3(FRAME_ROWS[1], n), Dot3(FRAME_ROWS[2], n), 0});
}
}

TEST(EarlierTracerProgram, CurvedMeshesReflectAndRefractTheViewRayIntoTheCube)
{
    const V4 eye = {0.5f, 4, 8, 1}, colour = {0.5f, 0.25f, 1, 1}, bump = {0.55f, 0.45f, 0.95f, 1};
    const V4 world[4] = {{0, 0, 0, 1}, {2, -1, 1, 1}, {-1.5f, 3, 0.5f, 1}, {0.3f, 0.2f, 5, 1}};
    const float fRatio = 1 / 1.33f;
    FaceCube cube;
    PixelBench bench;
    bench.SetC(1, {2, 1, 0.5f, 1});
    bench.SetC(4, colour);
    bench.SetC(13, {fRatio, 0, 0, 0});
    bench.SetC(16, eye);
    bench.sampler.SetCube(2, cube.pFaces);
    SetSurface(bench, world, bump);
    const PixelQuadOutput reflection = bench.Run(739), refraction = bench.Run(744);
    const V4 n = BumpNormal(bump);
    int nFacesReached = 0;
    for (int p = 0; p < 4; ++p)
    {
        const std::string strWhat = "pixel " + std::to_string(p);
        const V4 v = Normalize3(world[p] - eye);
        const float c = -Dot3(v, n);
        const V4 r = v + 2 * c * n;
        ExpectNear(Output(reflection, 0, p), cube.Along(r) * colour, 1e-6f, strWhat + " reflection");
        const float k = 1 - fRatio * fRatio * (1 - c * c);
        const V4 t = k < 0 ? r : fRatio * v + (fRatio * c - std::sqrt(k)) * n;
        V4 expected = cube.Along(t);
        expected.w = 1;
        ExpectNear(Output(refraction, 0, p), expected, 1e-6f, strWhat + " refraction");
        nFacesReached += cube.Along(t).x != cube.Along(r).x;
    }
    // The refracted rays go elsewhere than the reflected ones.
    EXPECT_GT(nFacesReached, 0);
}

TEST(EarlierTracerProgram, FlatMeshesSampleTheirMirrorImageAtTheProjectedPosition)
{
    std::vector<V4> texels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            texels.push_back({static_cast<float>(x), static_cast<float>(y), 0.5f, 0.25f});
    const V4 clip[4] = {{-0.3f, 0.4f, 0.5f, 1.5f}, {0.6f, -0.2f, 0.9f, 2}, {0.1f, 0.9f, 0.3f, 1}, {-1.8f, -0.5f, 1, 2.5f}};
    PixelBench bench;
    bench.SetC(1, {2, 0.625f, 0.5f, 1});
    bench.SetC(4, {2, 0.5f, 1, 4});
    bench.Texture(2, 4, 4, texels);
    for (int p = 0; p < 4; ++p)
        bench.SetT(6, p, clip[p]);
    const PixelQuadOutput reflection = bench.Run(740), refraction = bench.Run(745);
    for (int p = 0; p < 4; ++p)
    {
        const float u = (clip[p].x / clip[p].w + 1) / 2, v = (1 - clip[p].y / clip[p].w) / 2;
        const V4 texel = texels[static_cast<size_t>(std::floor(v * 4) * 4 + std::floor(u * 4))];
        ExpectNear(Output(reflection, 0, p), texel * V4{2, 0.5f, 1, 4}, 0, "740 pixel " + std::to_string(p));
        ExpectNear(Output(refraction, 0, p), {texel.x, texel.y, texel.z, 0.625f}, 0, "745 pixel " + std::to_string(p));
    }
}

TEST(EarlierTracerProgram, VertexProgramsOfThePrimarySurfaceAndTheCornerUpload)
{
    constexpr int OPOS = 0, OT0 = 5;
    // The primary surface: (v0 - c14) by c4-c7 for the clip position and by c8-c11 for the world.
    float c[16][4] = {};
    const float clipRows[4][4] = {{1, 0, 0, 2}, {0, 2, 0, -1}, {0.5f, 0, 1, 0}, {0, 0, 1, 1}};
    const float worldRows[4][4] = {{0, 1, 0, 3}, {-1, 0, 0, 0}, {0, 0, 2, 1}, {0, 0, 0, 1}};
    std::memcpy(c[4], clipRows, sizeof(clipRows));
    std::memcpy(c[8], worldRows, sizeof(worldRows));
    const float centre[4] = {0.5f, -1, 2, 0};
    std::memcpy(c[14], centre, sizeof(centre));
    float positions[8] = {1, 2, 3, 1, -4, 0.5f, 6, 1};
    const float* inputs[16] = {positions};
    VertexBlockOutput out;
    std::string strError;
    ASSERT_TRUE(RunVertexProgram(AssembleProgram("VSH", 941), &c[0][0], 16, inputs, 2, out, &strError)) << strError;
    for (int i = 0; i < 2; ++i)
    {
        float v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = positions[i * 4 + k] - centre[k];
        for (int r = 0; r < 4; ++r)
        {
            const float fClip = clipRows[r][0] * v[0] + clipRows[r][1] * v[1] + clipRows[r][2] * v[2] + clipRows[r][3] * v[3];
            const float fWorld =
                worldRows[r][0] * v[0] + worldRows[r][1] * v[1] + worldRows[r][2] * v[2] + worldRows[r][3] * v[3];
            EXPECT_FLOAT_EQ(out.outputs[OPOS][i * 4 + r], fClip) << i << " " << r;
            EXPECT_FLOAT_EQ(out.outputs[OT0][i * 4 + r], fWorld) << i << " " << r;
        }
    }

    // The corner upload: texel (column, row) of an S x S texture at clip (2 column / S - 1,
    // 1 - 2 row / S), which is that texel's top-left corner.
    const float S = 8;
    float upload[2][4] = {{1 / S, 1 / S, 0.5f, 1}, {2, -1, 0, 1}};
    float pos[8] = {1, 2, 3, 1, 4, 5, 6, 1}, uv[8] = {0.1f, 0.2f, 0, 1, 0.3f, 0.4f, 0, 1};
    float tangent[8] = {1, 0, 0, 1, 0, 1, 0, 1}, normal[8] = {0, 0, 1, 1, 0, -1, 0, 1};
    float texel[8] = {0, 0, 0, 1, 5, 3, 0, 1};
    const float* meshInputs[16] = {pos, uv, tangent, nullptr, normal, texel};
    ASSERT_TRUE(RunVertexProgram(AssembleProgram("VSH", 942), &upload[0][0], 2, meshInputs, 2, out, &strError))
        << strError;
    for (int i = 0; i < 2; ++i)
    {
        const float* p = &out.outputs[OPOS][i * 4];
        EXPECT_FLOAT_EQ(p[0], 2 * texel[i * 4] / S - 1);
        EXPECT_FLOAT_EQ(p[1], 1 - 2 * texel[i * 4 + 1] / S);
        EXPECT_EQ(p[2], 0.5f);
        EXPECT_EQ(p[3], 1.0f);
        for (int k = 0; k < 4; ++k)
        {
            EXPECT_EQ(out.outputs[OT0][i * 4 + k], pos[i * 4 + k]);
            EXPECT_EQ(out.outputs[OT0 + 1][i * 4 + k], normal[i * 4 + k]);
            EXPECT_EQ(out.outputs[OT0 + 2][i * 4 + k], tangent[i * 4 + k]);
            EXPECT_EQ(out.outputs[OT0 + 3][i * 4 + k], uv[i * 4 + k]);
        }
    }
}
