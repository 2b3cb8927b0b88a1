#pragma once
// A loaded RenderApp on a headless window, drawing into a 64 x 64 target with its own depth
// surface, and small scenes built in the test: camera at (0, 0, -10) looking along +z through a
// 45-degree square projection, quads facing it, lights with white cube textures and materials
// with 1 x 1 maps.
#include "app/RenderApp.h"
#include "core/Log.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <d3d9/present.h>
#include <d3d9/testing.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <memory>

class ScenePassTest : public ::testing::Test
{
protected:
    static constexpr UINT SIZE = 64;

    void SetUp() override;
    void TearDown() override;

    // A material with white diffuse, flat bump and black gloss maps, opaque unless told.
    SceneMaterial* AddMaterial(float fOpacity = 1.0f);
    // A w x h quad facing the camera, centred at (x, y, z), two triangles, clockwise on the
    // screen unless told (the passes that cull clockwise faces draw the counter-clockwise ones).
    SceneMesh* AddQuad(float x, float y, float z, float w, float h, SceneMaterial* pMaterial,
                       bool bCounterClockwise = false);
    // A quad of corners 0 to 3 as triangles (0, 1, 2) and (2, 1, 3), with texture corners (0, 0),
    // (1, 0), (0, 1), (1, 1), the normal given, its bounding box and sphere, and world = identity
    // about its centre.
    SceneMesh* AddQuadCorners(const Vector3 corners[4], const Vector3& vNormal, SceneMaterial* pMaterial);
    // A closed box of 12 triangles, counter-clockwise seen from outside, with flat face normals.
    SceneMesh* AddBox(const Vector3& vCentre, float fHalf, SceneMaterial* pMaterial);
    // Bounding box and sphere, world = identity about the centre, the material, the vertex
    // buffers; added to the scene.
    SceneMesh* FinishMesh(SceneMesh* pMesh, SceneMaterial* pMaterial);
    // A 1 x 1 texture of one colour in the renderer's table.
    int AddSolidTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
    SceneLight* AddLight(D3DLIGHTTYPE nType, float x, float y, float z, float fRange = 1000.0f);

    // Draws one frame of the camera view (mode 0) into the target, inside BeginScene / EndScene.
    void RenderFrame(int nMode = 0);
    d3d9test::SurfaceData ReadTarget();
    // Pixels whose red byte is above 8.
    int LitPixels(const d3d9test::SurfaceData& data);
    // Red, green, blue of a pixel in 0..1.
    static const float* Pixel(const d3d9test::SurfaceData& data, UINT x, UINT y) { return data.Pixel(x, y); }

    win32::Driver m_Driver;
    std::unique_ptr<RenderApp> m_pApp;
    IDirect3DDevice9* m_pDevice = nullptr;
    HWND m_hWnd = nullptr;
    IDirect3DSurface9* m_pTarget = nullptr;
    IDirect3DSurface9* m_pDepth = nullptr;
    int m_nWhite = -1, m_nFlatBump = -1, m_nBlack = -1;
};

// The first t in [0, fMax] where the segment o + t d meets the axis-aligned box of that centre
// and half size, or a negative value.
float HitBox(const float o[3], const float d[3], const float centre[3], float fHalf, float fMax);
