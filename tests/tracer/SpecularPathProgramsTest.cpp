// The programs of the specular paths on the program bench against their formulas in C++: the
// object cube pass's four attributes (normalised position, packed bumped normal, diffuse colour
// x opacity, gloss x specular colour), the cube look-ups of reflective and translucent curved
// meshes (the reflected or refracted view ray through the bounding sphere into the cube, decoded
// per attribute), and the planar look-ups whose screen position moves along the bump.
#include "SurfacePoints.h"

#include <cmath>

using namespace surface_bench;

namespace
{
V3 Unpack(V3 s) { return {2 * s.x - 1, 2 * s.y - 1, 2 * s.z - 1}; }
}

TEST(SpecularPathProgram, CubePassWritesEachAttributeOfTheSurface)
{
    Bench bench;
    Surface surface;
    surface.Prepare(bench, {0.5f, 0.5f, 0.5f});
    TestTexture gloss;
    gloss.texels = {0.5f, 0.25f, 1.0f, 1.0f};
    bench.sampler.SetTexture(2, &gloss);
    SetRow(bench.c[1], 2, 1, 1, 1);
    SetRow(bench.c[2], 0.5f, 1.0f, 0.75f, 1);
    SetRow(bench.c[10], 0.37f, 37, 37, 1);
    SetRow(bench.c[11], 0.8f, 0.6f, 0.2f, 1);
    SetRow(bench.c[12], 0.9f, 0.9f, 0.9f, 1);
    SetRow(bench.c[14], 0.8f, -0.64f, 0.75f, 0.25f);
    SetRow(bench.c[23], SCENE_MIN.x, SCENE_MIN.y, SCENE_MIN.z, 1);
    SetRow(bench.c[24], 1 / SCENE_EXTENT.x, 1 / SCENE_EXTENT.y, 1 / SCENE_EXTENT.z, 1);
    SetRow(bench.c[25], 1, 0.5f, 1, 1);
    bench.SetAllT(5, {0.5f, 0.5f, 0.5f});

    const PixelQuadOutput position = bench.Run(753);
    const PixelQuadOutput normal = bench.Run(754);
    const PixelQuadOutput diffuse = bench.Run(755);
    const PixelQuadOutput specular = bench.Run(756);
    const V3 n = surface.Normal();
    for (int p = 0; p < 4; ++p)
    {
        const V3 q = surface.positions[p] - SCENE_MIN;
        ExpectNear(Rgb(position.oC[0][p]), {q.x / SCENE_EXTENT.x, q.y / SCENE_EXTENT.y, q.z / SCENE_EXTENT.z}, 1e-6f,
                   "position");
        EXPECT_EQ(position.oC[0][p][3], 1.0f);
        ExpectPacked(normal.oC[0][p], n, "normal");
        EXPECT_FLOAT_EQ(normal.oC[0][p][3], 0.37f);
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_FLOAT_EQ(diffuse.oC[0][p][i], surface.diffuse.texels[static_cast<size_t>(i)] * bench.c[2][i] * 0.75f);
            EXPECT_FLOAT_EQ(specular.oC[0][p][i],
                            gloss.texels[static_cast<size_t>(i)] * bench.c[12][i] * bench.c[11][i]);
        }
    }
}

TEST(SpecularPathProgram, CubeLookUpFollowsTheReflectedOrRefractedViewRayThroughTheSphere)
{
    const float n = 1.5f;
    const V3 centre = {1.0f, 0.3f, 0.15f};
    const V3 weight = {0.5f, 0.25f, 0.75f};
    enum Member { POSITION, NORMAL, COLOUR };
    struct Case
    {
        int nResource;
        bool bRefraction;
        Member nMember;
    } cases[] = {{760, true, POSITION}, {765, true, NORMAL}, {766, true, COLOUR},
                 {757, false, POSITION}, {763, false, NORMAL}, {764, false, COLOUR}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nResource);
        Bench bench;
        Surface surface;
        surface.Prepare(bench, {0.5f, 0.5f, 0.5f});
        const float r2 = 2.5f;
        SetRow(bench.c[1], 2, 1, 1, 1);
        SetRow(bench.c[4], weight.x, weight.y, weight.z, 0);
        SetRow(bench.c[14], 1 / std::sqrt(n), -1 / n, 0.25f, 0.75f);
        SetRow(bench.c[18], centre.x, centre.y, centre.z, 0);
        SetRow(bench.c[22], 0, 0, 0, r2);
        // The position member decodes with c23 = (extent, 1), c24 = (min, 1).
        const PixelQuadOutput out = bench.Run(c.nResource);
        int nExitFaceDiffers = 0;
        for (int p = 0; p < 4; ++p)
        {
            // toLight stands for the vector from the surface to the eye here.
            const V3 normal = surface.Normal(), view = surface.LightVector(p);
            const V3 ray = Normalize(c.bRefraction ? Refract(normal, view, n) : Mirror(normal, view));
            const int nFace = CubeFace(SphereExit(surface.positions[p], ray, centre, r2));
            const V3 texel = FaceTexel(nFace);
            const float fSeen = nFace == EMPTY_FACE ? 0.0f : 1.0f;
            nExitFaceDiffers += nFace != CubeFace(ray);
            const float* o = out.oC[0][p];
            switch (c.nMember)
            {
            case POSITION:
                ExpectNear(Rgb(o), Decode(texel), 1e-4f, "position");
                EXPECT_EQ(o[3], fSeen);
                break;
            case NORMAL:
                ExpectNear(Rgb(o), Unpack(texel), 1e-5f, "normal");
                EXPECT_EQ(o[3], fSeen);
                break;
            case COLOUR:
                ExpectNear(Rgb(o), {texel.x * weight.x, texel.y * weight.y, texel.z * weight.z}, 1e-6f, "colour");
                EXPECT_EQ(o[3], 0.0f);
                break;
            }
        }
        // The cube is looked up towards the exit point, not along the ray.
        EXPECT_GT(nExitFaceDiffers, 0);
    }
}

TEST(SpecularPathProgram, PlanarLookUpReadsTheMirrorImagesWhereTheBumpMovesIt)
{
    // Four 4 x 4 images, each texel different; the reflection program moves the look-up along
    // the bumped world normal, the refraction program along the tangent-space bump vector.
    struct Case
    {
        int nResource;
        bool bWorldNormal;
    } cases[] = {{759, true}, {761, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nResource);
        Bench bench;
        Surface surface;
        surface.Prepare(bench, {0.5f, 0.5f, 0.5f});
        TestTexture images[4];
        for (int s = 0; s < 4; ++s)
        {
            images[s].nWidth = images[s].nHeight = 4;
            for (int i = 0; i < 16; ++i)
                images[s].texels.insert(images[s].texels.end(),
                                        {0.05f * i + 0.1f * s, 1 - 0.05f * i, 0.03f * i * s, 0.5f + 0.01f * i});
            bench.sampler.SetTexture(static_cast<unsigned>(2 + s), &images[s]);
        }
        // Far enough to move some look-ups to the next texel, not two.
        const float fOffset = c.bWorldNormal ? 1.0f : 2.0f;
        SetRow(bench.c[1], 2, 1, 1, 1);
        SetRow(bench.c[4], 0.5f, 0.25f, 0.75f, 0);
        SetRow(bench.c[8], 0.5f, 0.5f, 0.5f, 1);
        SetRow(bench.c[13], 0, 0, 1, c.bWorldNormal ? surface.fBumpPower : fOffset);
        SetRow(bench.c[21], 0, 0, 0, fOffset);
        const int texels[4][2] = {{1, 1}, {2, 1}, {1, 2}, {0, 2}};
        const float w[4] = {1.0f, 2.5f, 0.5f, 7.0f};
        for (int p = 0; p < 4; ++p)
        {
            const float sx = 2 * (texels[p][0] + 0.5f) / 4 - 1, sy = 1 - 2 * (texels[p][1] + 0.5f) / 4;
            bench.SetT(6, p, {sx * w[p], sy * w[p], 0.3f * w[p]}, w[p]);
        }
        const PixelQuadOutput out = bench.Run(c.nResource);
        const V3 b = Unpack(surface.bumpTexel);
        const V3 shift = c.bWorldNormal ? surface.Normal() : b;
        int nMoved = 0;
        for (int p = 0; p < 4; ++p)
        {
            // (x, -y) of the screen position plus the shift, mapped to [0, 1].
            const float sx = 2 * (texels[p][0] + 0.5f) / 4 - 1, sy = 1 - 2 * (texels[p][1] + 0.5f) / 4;
            const float u = (sx + shift.x * fOffset + 1) / 2, v = (-sy + shift.y * fOffset + 1) / 2;
            const int tx = static_cast<int>(std::floor(u * 4)) & 3, ty = static_cast<int>(std::floor(v * 4)) & 3;
            nMoved += tx != texels[p][0] || ty != texels[p][1];
            for (int s = 0; s < 4; ++s)
            {
                const float* e = &images[s].texels[static_cast<size_t>(4 * (ty * 4 + tx))];
                for (int i = 0; i < 4; ++i)
                {
                    const float fWeight = s >= 2 ? bench.c[4][i] : 1.0f;
                    EXPECT_FLOAT_EQ(out.oC[s][p][i], e[i] * fWeight) << "target " << s << " pixel " << p;
                }
            }
        }
        EXPECT_GT(nMoved, 0);
    }
}
