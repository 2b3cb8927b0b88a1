// Which program a light-view pass draws a mesh with: the opaque and translucent columns (opacity
// exactly 1.0 against 0.999), the cube and mirror routes of global photons by the flatness of a
// mesh's box, and the thresholds of the passes.
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/PhotonSurface.h"

#include <gtest/gtest.h>

TEST(PhotonSurfaceRoute, ProgramTable)
{
    struct Case
    {
        PhotonPass nPass;
        bool bSpot;
        int nKind;
        bool bOpaque;
        int nAxis;
        int nProgram;
    } cases[] = {
        {PHOTON_RAY_PASS, false, 0, true, 0, 146},        {PHOTON_RAY_PASS, true, 0, true, 0, 174},
        {PHOTON_RAY_PASS, false, 2, false, 0, 167},       {PHOTON_RAY_PASS, true, 3, false, 0, 167},
        {PHOTON_RAY_PASS, false, 1, true, 2, 147},        {PHOTON_RAY_PASS, true, 1, false, 0, 149},
        {PHOTON_SECOND_RAY_PASS, true, 1, true, 0, 147},  {PHOTON_SECOND_RAY_PASS, true, 1, true, 3, 148},
        {PHOTON_SECOND_RAY_PASS, true, 1, false, 3, 149}, {PHOTON_POSITION_PASS, false, 0, true, 0, 120},
        {PHOTON_POSITION_PASS, true, 2, false, 0, 168},   {PHOTON_POSITION_PASS, false, 1, true, 0, 132},
        {PHOTON_POSITION_PASS, false, 1, false, 0, 142},  {PHOTON_POSITION_PASS, true, 1, true, 1, 138},
        {PHOTON_POSITION_PASS, false, 1, false, 2, 138},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectPhotonSurfaceProgram(c.nPass, c.bSpot, c.nKind, c.bOpaque, c.nAxis), c.nProgram)
            << c.nPass << " " << c.bSpot << " " << c.nKind << " " << c.bOpaque << " " << c.nAxis;
}

TEST(PhotonSurfaceRoute, OnlyOpacityExactlyOneIsOpaque)
{
    SceneMaterial material;
    SceneMesh mesh;
    EXPECT_TRUE(IsOpaqueMesh(mesh));
    mesh.m_pMaterial = &material;
    for (const float fOpacity : {1.0f, 0.999f, 0.0f})
    {
        material.m_vOpacity[0] = fOpacity;
        EXPECT_EQ(IsOpaqueMesh(mesh), fOpacity == 1.0f) << fOpacity;
        EXPECT_EQ(SelectPhotonSurfaceProgram(PHOTON_RAY_PASS, false, 0, IsOpaqueMesh(mesh), 0),
                  fOpacity == 1.0f ? 146 : 167);
    }
    mesh.m_pMaterial = nullptr;
}

TEST(PhotonSurfaceRoute, FlatnessTakesTheLastThinAxis)
{
    struct Case
    {
        float bounds[6];
        float fThreshold;
        int nAxis;
    } cases[] = {
        {{-1, 1, -1, 1, -1, 1}, 0.5f, 0},            // thin in no axis: a cube map
        {{0, 0.2f, -1, 1, -1, 1}, 0.5f, 1},          // thin in x
        {{0, 0.2f, 3, 3.4f, -1, 1}, 0.5f, 2},        // thin in x and y: the later axis
        {{-1, 1, -1, 1, 2, 2.9f}, 1.0f, 3},          // below the kind-1 point threshold only
        {{-1, 1, -1, 1, 2, 2.9f}, 0.5f, 0},
        {{-1, 1, -1, 1, 2, 2.5f}, 0.5f, 0},          // an extent equal to the threshold is not thin
        {{0, 0.1f, 0, 0.1f, 0, 0.1f}, 0.0f, 0},      // no threshold: never flat
    };
    for (const Case& c : cases)
        EXPECT_EQ(FlatnessAxis(c.bounds, c.fThreshold), c.nAxis) << c.bounds[0] << " " << c.fThreshold;
}

TEST(PhotonSurfaceRoute, ThresholdsOfThePasses)
{
    // Kinds 0, 2 and 3 have no mirror route: a translucent mesh always takes its cube map.
    for (const int nKind : {0, 2, 3})
        for (const bool bSpot : {false, true})
            EXPECT_EQ(FlatnessThreshold(PHOTON_POSITION_PASS, bSpot, nKind), 0.0f);
    EXPECT_EQ(FlatnessThreshold(PHOTON_POSITION_PASS, false, 1), 1.0f);
    EXPECT_EQ(FlatnessThreshold(PHOTON_POSITION_PASS, true, 1), 0.5f);
    EXPECT_EQ(FlatnessThreshold(PHOTON_SECOND_RAY_PASS, true, 1), 1.0f);
    EXPECT_EQ(FlatnessThreshold(PHOTON_RAY_PASS, false, 1), 0.0f);
}
