// The tracer programs that no pass binds, each on the program bench against its formula in C++:
// the ray-triangle step of shadow rays and photons with its bias and state coding, the first step
// of the grid walk of a reflected ray, the shadow test against bounding spheres, the photon
// bounce on constant noise, the photon move, the bump-mapped reflections, the photon-list reads,
// the copies and the vertex program that places a vertex at its texture coordinate.
#include "ProgramBenchCase.h"

#include <algorithm>
#include <array>
#include <limits>

namespace
{
// Texel centres of a 2 x 2 texture, in the bench's pixel order.
const V4 QUAD_TEXELS[4] = {{0.25f, 0.25f, 0, 0}, {0.75f, 0.25f, 0, 0}, {0.25f, 0.75f, 0, 0}, {0.75f, 0.75f, 0, 0}};

void SetQuadCoordinates(PixelBench& bench)
{
    for (int p = 0; p < 4; ++p)
        bench.SetT(0, p, QUAD_TEXELS[p]);
}

// ---- Ray against triangles: a list texture of L x L entries and a triangle texture of T x T.
constexpr int L = 4;
constexpr int T = 4;

struct Triangle
{
    V4 v0, v1, v2;
};

// The edge cross-product test: t along the ray (the ray's own length is 1), u and v the weights of
// corners 1 and 2; a hit needs t above the bias, u and v positive and u + v below 1.
struct Hit
{
    float t, u, v;
    bool bHit;
};
Hit IntersectRay(V4 origin, V4 ray, const Triangle& tri)
{
    const V4 e1 = tri.v1 - tri.v0, e2 = tri.v2 - tri.v0;
    const V4 p = Cross(ray, e2);
    const float fInv = 1.0f / Dot3(e1, p);
    const V4 s = origin - tri.v0;
    const V4 q = Cross(s, e1);
    Hit hit{Dot3(e2, q) * fInv, Dot3(s, p) * fInv, Dot3(ray, q) * fInv, false};
    hit.bHit = hit.t > 0.005f && hit.u > 0 && hit.v > 0 && hit.u + hit.v < 1;
    return hit;
}

// The scene of the list cases: triangle A crosses the path from the origin to the light at
// (0, 0, 10) half way, B lies far off to the side.
const Triangle TRIANGLE_A = {{-2, -2, 5, 1}, {4, -2, 5, 1}, {-2, 4, 5, 1}};
const Triangle TRIANGLE_B = {{10, 10, 5, 1}, {12, 10, 5, 1}, {10, 12, 5, 1}};
const V4 LIGHT = {0, 0, 10, 1};
// List entries hold triangle texels; A is at texel (0, 0), B at (1, 0), -1 ends a list. Entry i
// lies at texel (i mod L, i div L): A B end B | A ...
const float LIST[][2] = {{0, 0}, {1, 0}, {-1, 0}, {1, 0}, {0, 0}};

struct ListCase
{
    V4 position;
    int nEntry;   // the list entry the pixel's address points at
};

// The step's record for a ray from the position (to the light, or along the ray given): the
// first of the next two entries that is hit, or the state of the list.
V4 ExpectedStep(V4 position, V4 ray, int nEntry, bool bTwoTriangles, int* pChosen = nullptr)
{
    const Triangle* triangles[2] = {&TRIANGLE_A, &TRIANGLE_B};
    bool bEnded = false;
    V4 record = {0, 0, 0, 0};
    for (int k = 0; k < (bTwoTriangles ? 2 : 1); ++k)
    {
        const float fColumn = LIST[nEntry + k][0];
        if (fColumn < 0)
        {
            bEnded = true;
            break;
        }
        const Hit hit = IntersectRay(position, ray, *triangles[static_cast<int>(fColumn)]);
        if (hit.bHit)
        {
            if (pChosen)
                *pChosen = static_cast<int>(fColumn);
            return {hit.t, hit.u, hit.v, 1.0f};
        }
    }
    record.w = bEnded ? 0.5f : 0.0f;
    return record;
}

// A bench for the list step: the cases' positions on stage 0, list addresses on stage 1, the ray
// of each case on stage 2, the list on stage 3, the corner textures on stages 4 to 6.
PixelBench ListBench(const ListCase cases[4], const V4 rays[4])
{
    PixelBench bench;
    SetQuadCoordinates(bench);
    bench.SetC(4, LIGHT);
    bench.SetC(8, {1.0f / L, 0, 0, 0.5f});
    bench.SetC(12, {1.0f / T, 1.0f / L, 3, 0.1f});
    bench.SetC(13, {0, 1.0f / L, 1.0f / L, 0});
    std::vector<V4> positions, addresses, rayTexels;
    for (int p = 0; p < 4; ++p)
    {
        positions.push_back(cases[p].position);
        addresses.push_back({static_cast<float>(cases[p].nEntry % L) / L, static_cast<float>(cases[p].nEntry / L) / L,
                             0, 0});
        rayTexels.push_back(rays[p]);
    }
    bench.Texture(0, 2, 2, positions);
    bench.Texture(1, 2, 2, addresses);
    bench.Texture(2, 2, 2, rayTexels);
    std::vector<V4> list(L * L, {0, 0, 0, 0});
    for (size_t i = 0; i < std::size(LIST); ++i)
        list[i] = {LIST[i][0], LIST[i][1], 0, 0};
    bench.Texture(3, L, L, list);
    for (int corner = 0; corner < 3; ++corner)
    {
        std::vector<V4> texels(T * T, {0, 0, 0, 0});
        texels[0] = corner == 0 ? TRIANGLE_A.v0 : corner == 1 ? TRIANGLE_A.v1 : TRIANGLE_A.v2;
        texels[1] = corner == 0 ? TRIANGLE_B.v0 : corner == 1 ? TRIANGLE_B.v1 : TRIANGLE_B.v2;
        bench.Texture(4 + corner, T, T, texels);
    }
    return bench;
}

// Two sets of four pixels: a hit on the first triangle, a miss then a hit on the second across a
// row of the list, a miss on both, the end of the list; then a hit just beyond the bias, one just
// short of it, a miss followed by the end, and the end at once.
const ListCase LIST_CASES[2][4] = {
    {{{0, 0, 0, 1}, 0}, {{0.5f, -0.25f, 0, 1}, 3}, {{20, 20, 0, 1}, 0}, {{0, 0, 0, 1}, 2}},
    {{{0, 0, 4.96f, 1}, 0}, {{0, 0, 4.98f, 1}, 0}, {{0, 0, 0, 1}, 1}, {{0, 0, 0, 1}, 2}},
};

void ExpectStep(const V4& actual, const V4& expected, const std::string& strWhat)
{
    if (expected.w == 1.0f)
        ExpectNear(actual, expected, 1e-4f, strWhat);
    else
        EXPECT_EQ(actual.w, expected.w) << strWhat;
}
}

TEST(UnboundProgram, ShadowRayStepTestsTheNextTwoTrianglesWithItsBiasAndStateCoding)
{
    for (int nProgram : {701, 702})
        for (const auto& cases : LIST_CASES)
        {
            V4 rays[4];
            for (int p = 0; p < 4; ++p)
                rays[p] = LIGHT - cases[p].position;
            PixelBench bench = ListBench(cases, rays);
            const PixelQuadOutput out = bench.Run(nProgram);
            for (int p = 0; p < 4; ++p)
                ExpectStep(Output(out, 0, p), ExpectedStep(cases[p].position, rays[p], cases[p].nEntry, nProgram == 701),
                           "program " + std::to_string(nProgram) + " entry " + std::to_string(cases[p].nEntry));
        }
    // The cases tell the programs apart: the second triangle's hit is the two-triangle step's alone.
    EXPECT_EQ(ExpectedStep(LIST_CASES[0][1].position, LIGHT - LIST_CASES[0][1].position, 3, true).w, 1.0f);
    EXPECT_EQ(ExpectedStep(LIST_CASES[0][1].position, LIGHT - LIST_CASES[0][1].position, 3, false).w, 0.0f);
    EXPECT_EQ(ExpectedStep(LIST_CASES[1][1].position, LIGHT - LIST_CASES[1][1].position, 0, true).w, 0.0f);
}

// The shadow-ray tracer's own step: entries 2k and 2k + 1 on from the cell's first entry (c8),
// hits only short of the light, and a record without a hit carries no t, u, v.
TEST(UnboundProgram, TracerShadowRayStepReadsItsStepsEntriesAndStopsAtTheLight)
{
    auto expected = [](V4 position, int nEntry) -> V4 {
        const Triangle* triangles[2] = {&TRIANGLE_A, &TRIANGLE_B};
        for (int k = 0; k < 2; ++k)
        {
            const float fColumn = LIST[nEntry + k][0];
            if (fColumn < 0)
                return {0, 0, 0, 0.5f};
            const Hit hit = IntersectRay(position, LIGHT - position, *triangles[static_cast<int>(fColumn)]);
            if (hit.bHit && hit.t < 1)
                return {hit.t, hit.u, hit.v, 1};
        }
        return {0, 0, 0, 0};
    };
    // Beyond the light (z = 12) triangle A lies at t = 3.5: no hit for the tracer's step.
    const ListCase beyond[4] = {{{0, 0, 12, 1}, 0}, {{0.5f, 0.5f, 11, 1}, 3}, {{0, 0, 9, 1}, 0}, {{0, 0, 12, 1}, 2}};
    EXPECT_TRUE(IntersectRay(beyond[0].position, LIGHT - beyond[0].position, TRIANGLE_A).bHit);
    for (const ListCase* pCases : {LIST_CASES[0], LIST_CASES[1], beyond})
        for (int k : {0, 1, 2})
        {
            // The pixel's address is its cell's first entry, 2k before the entries of the case.
            ListCase cases[4];
            V4 rays[4];
            for (int p = 0; p < 4; ++p)
            {
                cases[p] = {pCases[p].position, pCases[p].nEntry - 2 * k};
                rays[p] = LIGHT - pCases[p].position;
            }
            PixelBench bench = ListBench(cases, rays);
            bench.SetC(8, {2.0f * k / L, (2.0f * k + 1) / L, 0, 0.5f});
            const PixelQuadOutput out = bench.Run(703);
            for (int p = 0; p < 4; ++p)
            {
                const V4 want = expected(pCases[p].position, pCases[p].nEntry);
                ExpectNear(Output(out, 0, p), want, want.w == 1 ? 1e-4f : 0.0f,
                           "step " + std::to_string(k) + " entry " + std::to_string(pCases[p].nEntry));
            }
        }
}

TEST(UnboundProgram, PhotonTriangleStepFollowsThePhotonRayAndNamesTheTriangleHit)
{
    // Rays of their own: straight up through A, slanted through B, and up past both.
    for (const auto& cases : LIST_CASES)
    {
        const V4 rays[4] = {{0, 0, 7, 0}, {10.5f, 10.25f, 5, 0}, {0, 0, 3, 0}, {0, 0, 1, 0}};
        PixelBench bench = ListBench(cases, rays);
        const PixelQuadOutput out = bench.Run(721);
        for (int p = 0; p < 4; ++p)
        {
            int nChosen = -1;
            const V4 expected = ExpectedStep(cases[p].position, rays[p], cases[p].nEntry, true, &nChosen);
            const std::string strWhat = "entry " + std::to_string(cases[p].nEntry) + " pixel " + std::to_string(p);
            ExpectStep(Output(out, 0, p), expected, strWhat);
            if (expected.w == 1.0f)
                ExpectNear(Output(out, 1, p), {static_cast<float>(nChosen) / T, 0, 0, 1}, 1e-6f, strWhat);
        }
    }
}

TEST(UnboundProgram, ReflectedRayStepsIntoTheCellBeyondTheNearestPlane)
{
    // Cells of 0.5 from (-1, -1, -1); the point's cell and the next, numbered x + 4y + 16z.
    const V4 minimum = {-1, -1, -1, 1}, cell = {0.5f, 0.5f, 0.5f, 1};
    struct Case
    {
        V4 direction, point, normal;
    } cases[4] = {
        {Normalize3({0.3f, -0.2f, -1, 0}), {-0.35f, 0.3f, -0.9f, 0}, {0, 0, 1, 0}},
        {Normalize3({-1, 0.1f, 0.2f, 0}), {0.6f, 0.05f, 0.45f, 0}, {1, 0, 0, 0}},
        {Normalize3({0.5f, 0.7f, -0.4f, 0}), {0.2f, -0.6f, 0.1f, 0}, Normalize3({0, -1, 1, 0})},
        {Normalize3({-0.2f, -0.9f, 0.3f, 0}), {-0.8f, 0.9f, 0.3f, 0}, {0, 1, 0, 0}},
    };
    PixelBench bench;
    SetQuadCoordinates(bench);
    bench.SetC(1, minimum);
    bench.SetC(3, {2, 2, 2, 1});
    bench.SetC(6, {10000, 0.01f, -1, 0.021f});
    bench.SetC(11, cell);
    std::vector<V4> directions, points, normals;
    for (const Case& c : cases)
    {
        directions.push_back(c.direction);
        points.push_back(c.point);
        normals.push_back(c.normal);
    }
    bench.Texture(0, 2, 2, directions);
    bench.Texture(1, 2, 2, points);
    bench.Texture(2, 2, 2, normals);
    const PixelQuadOutput out = bench.Run(704);
    for (int p = 0; p < 4; ++p)
    {
        const Case& c = cases[p];
        const V4 r = c.direction - 2 * Dot3(c.direction, c.normal) * c.normal;
        const float point[3] = {c.point.x, c.point.y, c.point.z}, ray[3] = {r.x, r.y, r.z};
        const float lo[3] = {minimum.x, minimum.y, minimum.z};
        float next[3], fNearest = std::numeric_limits<float>::max();
        int nAxis = 0, nStep = 0;
        for (int a = 0; a < 3; ++a)
        {
            next[a] = std::floor((point[a] - lo[a]) / cell.x);
            for (int side : {0, 1})
            {
                const float d = (lo[a] + (next[a] + side) * cell.x - point[a]) / ray[a];
                if (d > 0 && d < fNearest)
                    fNearest = d, nAxis = a, nStep = side ? 1 : -1;
            }
        }
        next[nAxis] += static_cast<float>(nStep);
        const std::string strWhat = "pixel " + std::to_string(p);
        ExpectNear(Output(out, 0, p), {next[0], next[1], next[2], next[0] + 4 * next[1] + 16 * next[2]}, 1e-5f,
                   strWhat + " next cell");
        ExpectNear(Output(out, 1, p), {r.x, r.y, r.z, fNearest}, 1e-5f, strWhat + " ray");
    }
}

TEST(UnboundProgram, ShadowRayMeetsEachBoundingSphereAtItsSmallerRoot)
{
    // Spheres on the way, behind the point, around the point and off to the side.
    const V4 spheres[4] = {{0, 0, 5, 1}, {0.5f, 0, -3, 0.75f}, {0.2f, 0.1f, 0.3f, 2}, {6, 0, 4, 1}};
    const V4 points[4] = {{0, 0, 0, 1}, {0.3f, -0.2f, 0.5f, 1}, {-0.4f, 0.25f, 1.5f, 1}, {1, 1, -1, 1}};
    PixelBench bench;
    SetQuadCoordinates(bench);
    bench.SetC(4, LIGHT);
    bench.SetC(6, {10000, 0.01f, -1, 0.021f});
    bench.Texture(0, 2, 2, std::vector<V4>(points, points + 4));
    bench.Texture(2, 4, 1, std::vector<V4>(spheres, spheres + 4));
    const PixelQuadOutput out = bench.Run(707);
    for (int p = 0; p < 4; ++p)
    {
        const V4 d = LIGHT - points[p];
        float t[4];
        for (int i = 0; i < 4; ++i)
        {
            const V4 q = points[p] - spheres[i];
            const float a = Dot3(d, d), b = Dot3(d, q), c = Dot3(q, q) - spheres[i].w * spheres[i].w;
            const float fDisc = b * b - a * c;
            t[i] = fDisc < 0 ? 10000.0f : (-b - std::sqrt(fDisc)) / a;
        }
        ExpectNear(Output(out, 0, p), {t[0], t[1], t[2], t[3]}, 1e-4f, "pixel " + std::to_string(p));
    }
    // The cases reach every branch: a miss, a root behind the point, one in front.
    EXPECT_EQ(out.oC[0][0][3], 10000.0f);
    EXPECT_LT(out.oC[0][0][2], 0.0f);
    EXPECT_GT(out.oC[0][0][0], 0.0f);
}

TEST(UnboundProgram, PhotonBounceChoosesByItsRandomValueAgainstTheCoefficients)
{
    // The hit triangle's corners: three normals leaning differently, kd 0.3, ks 0.2, kt 0.4.
    const V4 normals[3] = {{0.2f, 0, 1, 0.3f}, {0, 0.3f, 1, 0.2f}, {-0.1f, -0.1f, 1, 0.4f}};
    const V4 weights = {0.5f, 0.3f, 0.2f, 0};
    const V4 incoming = Normalize3({0.3f, 0.1f, -1, 0});
    const float fRatio = 1 / 1.5f;
    struct Case
    {
        float xi;
        const char* szChoice;
    } cases[] = {{0.1f, "diffuse"}, {0.4f, "specular"}, {0.75f, "refraction"}, {0.95f, "absorbed"}};
    for (const Case& c : cases)
    {
        PixelBench bench;
        const V4 noise = {c.xi, 0.9f, 0.6f, 0.25f};
        bench.SetAllT(0, {0.3f, 0.6f, 0, 0});
        bench.SetC(25, {3, 3, 0, 0});
        bench.SetC(26, {fRatio, fRatio * fRatio, 0, 0});
        bench.SetC(27, {2, 1, 0, 0});
        bench.SetC(29, {0.02f, 0.015f, 0.01f, 1});
        // The triangle at texel (1, 0) of a 2 x 1 corner texture; the other texel is a decoy.
        bench.Constant(0, {0.75f, 0.5f, 0, 0});
        bench.Constant(1, weights);
        bench.Constant(2, incoming);
        bench.Constant(3, noise);
        for (int k = 0; k < 3; ++k)
            bench.Texture(4 + k, 2, 1, {{0, 1, 0, 0}, normals[k]});
        const PixelQuadOutput out = bench.Run(725);

        V4 n = Normalize3(weights.x * normals[0] + weights.y * normals[1] + weights.z * normals[2]);
        if (Dot3(incoming, n) >= 0)
            n = -1.0f * n;
        const float cosine = -Dot3(incoming, n);
        const V4 reflected = incoming + 2 * cosine * n;
        const float k = 1 - fRatio * fRatio * (1 - cosine * cosine);
        const V4 refracted = fRatio * incoming + (fRatio * cosine - std::sqrt(k)) * n;
        const V4 diffuse = Normalize3(n + V4{2 * noise.w - 1, 2 * noise.z - 1, 2 * noise.y - 1, 0});
        const V4 choice = c.xi < 0.3f ? diffuse : c.xi < 0.5f ? reflected : refracted;
        const bool bAlive = c.xi < 0.9f;
        ExpectNear(Output(out, 0, 0), {choice.x, choice.y, choice.z, bAlive ? 1.0f : 0.0f}, 1e-5f, c.szChoice);
        ExpectNear(Output(out, 1, 0), bAlive ? V4{0.02f, 0.015f, 0.01f, 1} : V4{0, 0, 0, 0}, 1e-7f, c.szChoice);
        if (std::string(c.szChoice) == "refraction")
        {
            // Snell's law: sin out = sin in / n, on the far side of the surface.
            EXPECT_NEAR(std::sqrt(1 - Dot3(refracted, n) * Dot3(refracted, n)),
                        fRatio * std::sqrt(1 - cosine * cosine), 1e-5f);
            EXPECT_LT(Dot3(refracted, n), 0.0f);
        }
    }
}

TEST(UnboundProgram, PhotonMovesToItsHitAndNotesItsCellAndWeights)
{
    const V4 hits[4] = {{0.5f, 0.2f, 0.3f, 1}, {0.25f, 0.6f, 0.1f, 1}, {1.5f, 0, 0.5f, 0}, {0.1f, 0.3f, 0.3f, 0.5f}};
    const V4 positions[4] = {{0, 0, 0, 1}, {1.2f, -0.7f, 3.3f, 1}, {-2, 2.5f, 0.4f, 1}, {0.9f, 0.9f, -0.9f, 1}};
    const V4 rays[4] = {{2, 4, 6, 0}, {-1, 0.5f, 2, 0}, {0.3f, -0.2f, 0.1f, 0}, {5, -5, 1, 0}};
    const V4 minimum = {-3, -2, -1, 1};
    const float fInvCell = 1.25f;
    PixelBench bench;
    SetQuadCoordinates(bench);
    bench.SetC(1, minimum);
    bench.SetC(3, {fInvCell, fInvCell, fInvCell, 1});
    bench.SetC(7, {1, -1, 0.1f, 1});
    bench.Texture(0, 2, 2, std::vector<V4>(hits, hits + 4));
    bench.Texture(1, 2, 2, std::vector<V4>(positions, positions + 4));
    bench.Texture(2, 2, 2, std::vector<V4>(rays, rays + 4));
    const PixelQuadOutput out = bench.Run(726);
    for (int p = 0; p < 4; ++p)
    {
        const std::string strWhat = "pixel " + std::to_string(p);
        V4 moved = positions[p] + hits[p].x * rays[p];
        moved.w = 1;
        ExpectNear(Output(out, 0, p), moved, 1e-5f, strWhat);
        const V4 inCells = fInvCell * (moved - minimum);
        ExpectNear(Output(out, 1, p),
                   {std::floor(inCells.x), std::floor(inCells.y), std::floor(inCells.z), 1}, 0.0f, strWhat);
        ExpectNear(Output(out, 2, p), {1 - hits[p].y - hits[p].z, hits[p].y, hits[p].z, hits[p].w}, 1e-6f, strWhat);
    }
}

namespace
{
// The bump-mapped normal of the surface programs: n = (2b - 1) x power + base, taken to world
// space by the tangent-frame rows and normalised.
V4 BumpNormal(V4 bump, V4 base, float fPower, const V4 rows[3])
{
    const V4 n = fPower * (2 * bump - V4{1, 1, 1, 1}) + base;
    return Normalize3({Dot3(rows[0], n), Dot3(rows[1], n), Dot3(rows[2], n), 0});
}

// A tangent frame turned about y: the rows t2, t3, t4 of the programs.
const V4 FRAME_ROWS[3] = {{0.8f, 0, 0.6f, 0}, {0, 1, 0, 0}, {-0.6f, 0, 0.8f, 0}};
}

TEST(UnboundProgram, ProjectedReflectionShiftsThePixelsPositionByTheReflectedRay)
{
    // A 4 x 4 reflection texture whose texels tell their place.
    std::vector<V4> texels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            texels.push_back({static_cast<float>(x), static_cast<float>(y), 0, 1});
    const V4 eye = {0.5f, 2, -4, 1};
    const V4 bump = {0.6f, 0.35f, 0.9f, 1};
    PixelBench bench;
    bench.SetC(1, {2, 1, 0.5f, 1});
    bench.SetC(16, eye);
    bench.SetC(21, {0.2f, 0, 0, 0});
    bench.Constant(1, bump);
    bench.Texture(2, 4, 4, texels);
    const V4 world[4] = {{0, 0, 0, 1}, {1, -0.5f, 2, 1}, {-1.5f, 0.3f, 1, 1}, {0.2f, 1.1f, 0.7f, 1}};
    const V4 clip[4] = {{-0.3f, 0.4f, 0.5f, 1.5f}, {0.6f, -0.2f, 0.9f, 2}, {0.1f, 0.1f, 0.3f, 1}, {-1, -0.5f, 1, 2.5f}};
    for (int p = 0; p < 4; ++p)
    {
        bench.SetT(0, p, world[p]);
        bench.SetT(6, p, clip[p]);
    }
    bench.SetAllT(1, {0, 0, 0.5f, 0.5f});
    for (int k = 0; k < 3; ++k)
        bench.SetAllT(2 + k, FRAME_ROWS[k]);
    const PixelQuadOutput out = bench.Run(743);
    const V4 n = BumpNormal(bump, {0, 0, 0, 0}, 1, FRAME_ROWS);
    for (int p = 0; p < 4; ++p)
    {
        const V4 v = Normalize3(world[p] - eye);
        const V4 r = v - 2 * Dot3(v, n) * n;
        const float sx = clip[p].x / clip[p].w + r.x * 0.2f, sy = clip[p].y / clip[p].w + r.y * 0.2f;
        const float u = (sx + 1) / 2, w = (1 - sy) / 2;
        const float column = std::clamp(std::floor(u * 4), 0.0f, 3.0f), row = std::clamp(std::floor(w * 4), 0.0f, 3.0f);
        ExpectNear(Output(out, 0, p), {column, row, 0, 1}, 0.0f, "pixel " + std::to_string(p));
    }
}

TEST(UnboundProgram, PhotonReflectionAtABumpedSurfaceCarriesTheMaskedEnergy)
{
    const V4 bump = {0.7f, 0.4f, 0.8f, 1}, base = {0, 0, 1, 0};
    const float fPower = 0.6f;
    const V4 diffuse = {0.9f, 0.5f, 0.2f, 1}, photon = {0.4f, 0.3f, 0.2f, 1};
    const V4 toLight[4] = {{1, 2, 3, 0}, {-2, 0.5f, 1, 0}, {0, -1, 4, 0}, {0.3f, 0.3f, 0.3f, 0}};
    PixelBench bench;
    bench.SetC(1, {2, 1, 0.5f, 1});
    bench.SetC(11, {0.75f, 0, 0, 0});
    bench.SetC(13, {base.x, base.y, base.z, fPower});
    bench.SetC(29, photon);
    bench.Constant(0, diffuse);
    bench.Constant(1, bump);
    // The light's cube map: each face its own mask.
    TestTexture faces[6];
    const TestTexture* pFaces[6];
    for (int f = 0; f < 6; ++f)
    {
        faces[f].texels = {0.1f + 0.15f * f, 1 - 0.1f * f, 0.5f, 1};
        pFaces[f] = &faces[f];
    }
    bench.sampler.SetCube(4, pFaces);
    bench.SetAllT(1, {0.5f, 0.5f, 0.5f, 0.5f});
    for (int k = 0; k < 3; ++k)
        bench.SetAllT(2 + k, FRAME_ROWS[k]);
    for (int p = 0; p < 4; ++p)
        bench.SetT(5, p, toLight[p]);
    const PixelQuadOutput out = bench.Run(750);
    const V4 n = BumpNormal(bump, base, fPower, FRAME_ROWS);
    for (int p = 0; p < 4; ++p)
    {
        const std::string strWhat = "pixel " + std::to_string(p);
        const V4 lv = Normalize3(toLight[p]);
        const V4 m = 2 * Dot3(n, lv) * n - lv;
        ExpectNear(Output(out, 0, p), {(m.x + 1) / 2, (m.y + 1) / 2, (m.z + 1) / 2, 1}, 1e-5f, strWhat);
        // The face the reversed light vector points at: its major axis and sign.
        const float a[3] = {-lv.x, -lv.y, -lv.z};
        int nAxis = 0;
        for (int i = 1; i < 3; ++i)
            if (std::fabs(a[i]) > std::fabs(a[nAxis]))
                nAxis = i;
        const TestTexture& face = faces[2 * nAxis + (a[nAxis] < 0 ? 1 : 0)];
        const V4 mask = {face.texels[0], face.texels[1], face.texels[2], face.texels[3]};
        ExpectNear(Output(out, 1, p), 0.75f * (diffuse * photon * mask), 1e-6f, strWhat);
    }
}

TEST(UnboundProgram, PhotonListReadGivesTheNextTwoPhotonAddressesAcrossARow)
{
    constexpr int N = 4;
    // Entry i of the 4 x 4 sorted list: key (i div 3, 0), photon address (i / 16, 1 - i / 16).
    std::vector<V4> list;
    for (int i = 0; i < N * N; ++i)
        list.push_back({static_cast<float>(i / 3), 0, i / 16.0f, 1 - i / 16.0f});
    const int first[4] = {0, 3, 6, 11};
    PixelBench bench;
    SetQuadCoordinates(bench);
    std::vector<V4> addresses;
    for (int e : first)
        addresses.push_back({static_cast<float>(e % N) / N, static_cast<float>(e / N) / N, 0, 0});
    bench.Texture(1, 2, 2, addresses);
    bench.Texture(3, N, N, list);
    bench.SetC(24, {1.0f / N, 1.0f / N, 0, 1});
    for (int k : {0, 1})
    {
        bench.SetC(8, {2.0f * k / N, (2.0f * k + 1) / N, 0, 1});
        const PixelQuadOutput out = bench.Run(751);
        for (int p = 0; p < 4; ++p)
        {
            const int a = first[p] + 2 * k, b = a + 1;
            ExpectNear(Output(out, 0, p), {a / 16.0f, 1 - a / 16.0f, b / 16.0f, 1 - b / 16.0f}, 1e-6f,
                       "step " + std::to_string(k) + " pixel " + std::to_string(p));
        }
    }
}

TEST(UnboundProgram, CopiesAndSumsReadEveryStageTheyName)
{
    const V4 a = {0.1f, 0.2f, 0.3f, 0.4f}, b = {0.5f, 0.6f, 0.7f, 0.8f}, c = {0.9f, 0.25f, 0.75f, 0.05f};
    const V4 d = {0.3f, 0.6f, 0.9f, 1}, e = {0.8f, 0.4f, 0.2f, 0.5f};
    PixelBench bench;
    bench.SetAllT(0, {0.2f, 0.7f, 0.1f, 1});
    bench.SetAllT(5, {4, -5, 6, 1});
    bench.SetC(31, {0.125f, 1, 0, 1});
    bench.Constant(0, a);
    bench.Constant(1, b);
    bench.Constant(2, c);
    bench.Constant(3, {7, 7, 7, 7});
    bench.Constant(4, d);
    bench.Constant(5, e);

    PixelQuadOutput out = bench.Run(727);
    ExpectNear(Output(out, 0, 3), a, 0, "727 position");
    ExpectNear(Output(out, 1, 3), b, 0, "727 ray");
    ExpectNear(Output(out, 2, 3), c, 0, "727 energy");
    EXPECT_EQ(out.nColorMask, 7u);
    ExpectNear(Output(bench.Run(736), 0, 1), {4, -5, 6, 1}, 0, "736");
    ExpectNear(Output(bench.Run(737), 0, 2), {0.2f, 0.7f, 0.1f, 1}, 0, "737");
    out = bench.Run(772);
    ExpectNear(Output(out, 0, 0), 0.125f * a, 1e-7f, "772 diffuse");
    ExpectNear(Output(out, 1, 0), 0.125f * b, 1e-7f, "772 specular");
    // The indirect sums (stages 2 and 3) do not reach the colour.
    ExpectNear(Output(bench.Run(773), 0, 0), d * a + e * b, 1e-6f, "773");
}

TEST(UnboundProgram, VertexLandsAtItsTextureCoordinateWithItsPositionPassedOn)
{
    // The bench's outputs: oPos first, oT0 after oPos, oFog, oPts, oD0 and oD1.
    constexpr int OPOS = 0, OT0 = 5;
    const float c0[4][4] = {{9, 9, 0.25f, 1}};
    const float positions[3][4] = {{1, 2, 3, 1}, {-4, 5, 0.5f, 1}, {0, 0, -7, 1}};
    const float uvs[3][4] = {{0.5f, -0.25f, 0, 1}, {-1, 1, 0, 1}, {0.125f, 0.75f, 0, 1}};
    float v0[12], v1[12];
    std::memcpy(v0, positions, sizeof(v0));
    std::memcpy(v1, uvs, sizeof(v1));
    const float* inputs[16] = {v0, v1};
    VertexBlockOutput out;
    std::string strError;
    ASSERT_TRUE(RunVertexProgram(AssembleProgram("VSH", 950), &c0[0][0], 1, inputs, 3, out, &strError)) << strError;
    for (int i = 0; i < 3; ++i)
    {
        const float* pos = &out.outputs[OPOS][i * 4];
        const float* t0 = &out.outputs[OT0][i * 4];
        EXPECT_EQ(pos[0], uvs[i][0]);
        EXPECT_EQ(pos[1], uvs[i][1]);
        EXPECT_EQ(pos[2], 0.25f);
        EXPECT_EQ(pos[3], 1.0f);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(t0[k], positions[i][k]);
    }
}
