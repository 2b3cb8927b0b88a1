#pragma once
// A loaded RenderApp on a small back buffer (the test's media folder copied in, the program's own
// shader programs), and scenes made of triangles given in world space.
#include "AppFixture.h"

#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"
#include "tracer/TracerGlobals.h"

#include <d3d9/testing.h>
#include <d3dx9math.h>

#include <vector>

// Level 0 of the texture, read back through the device.
d3d9test::SurfaceData ReadTexture(IDirect3DTexture9* pTexture);

class TracerTest : public AppTest
{
protected:
    static constexpr UINT SCREEN_WIDTH = 64;
    static constexpr UINT SCREEN_HEIGHT = 48;
    static constexpr int32_t LIGHT_SIZE = 32;

    void SetUp() override;
    void TearDown() override;

    // Init, the device, a reset to the small back buffer, Load.
    bool InitAndLoad();
    // A mesh of these world-space triangles (three corners each) added to the scene; its normals
    // face +z, its texture coordinates are the corners' x and y.
    SceneMesh* AddMesh(const std::vector<D3DXVECTOR3>& corners);
    // The texel addresses in the mesh's vertex buffer, two floats per vertex.
    std::vector<float> ReadTexelAddresses(SceneMesh* pMesh);

    IDirect3DDevice9* Device() { return m_pApp->m_pDevice; }
};
