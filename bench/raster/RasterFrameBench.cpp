// BM_RasterFrame: one camera-view frame of the main scene pass on the application's 640 x 480
// back buffer: 20 meshes of 500 triangles (10,000 in all) lit by two point lights, each mesh a
// bumped, curved 10 x 25 grid facing the camera.
#include "3dapi/Renderer.h"
#include "app/RenderApp.h"
#include "core/Log.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"
#include "morvyn/morvyn.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneGeometryBlock.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <d3d9/present.h>
#include <d3d9/testing.h>
#include <win32/testing.h>
#include <win32/user.h>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

namespace
{
// Processor time of the whole process (every worker thread), in milliseconds.
double ProcessCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
}

constexpr int GRID_X = 10, GRID_Y = 25;   // quads: 250, triangles: 500

int SolidTexture(Renderer& renderer, uint8_t r, uint8_t g, uint8_t b)
{
    uint8_t* pPixels = AllocatePixels(4);
    const uint8_t rgba[4] = {r, g, b, 255};
    std::memcpy(pPixels, rgba, 4);
    PixelImage* pImage = new PixelImage();
    pImage->Adopt(pPixels, 1, 1, RGBA8, true, false);
    return renderer.AddTexture(pImage, 0);
}

// A gently curved grid of w x h centred at (x, y, z), facing -z.
SceneMesh* GridMesh(IDirect3DDevice9* pDevice, float x, float y, float z, float w, float h, SceneMaterial* pMaterial)
{
    SceneMesh* pMesh = new SceneMesh();
    pMesh->AllocateTriangles(GRID_X * GRID_Y * 2);
    auto point = [&](int i, int j, MeshVertex& v) {
        float u = (float)i / GRID_X, t = (float)j / GRID_Y;
        float px = x - w / 2 + u * w, py = y + h / 2 - t * h;
        v.vPosition = Vector3(px, py, z + 0.3f * std::sin(u * 3.0f) * std::cos(t * 2.0f));
        v.u = u;
        v.v = t;
        v.vNormal = Vector3(0, 0, -1);
    };
    int k = 0;
    for (int j = 0; j < GRID_Y; ++j)
        for (int i = 0; i < GRID_X; ++i)
        {
            const int corners[6][2] = {{i, j}, {i + 1, j}, {i, j + 1}, {i, j + 1}, {i + 1, j}, {i + 1, j + 1}};
            for (const auto& c : corners)
                point(c[0], c[1], pMesh->m_pVertices[k++]);
        }
    float bounds[6] = {x - w / 2, x + w / 2, y - h / 2, y + h / 2, z - 0.3f, z + 0.3f};
    std::memcpy(pMesh->m_fBounds, bounds, sizeof(bounds));
    pMesh->m_vOffset = Vector3(x, y, z);
    ComputeBoundingSphere(pMesh);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    pMesh->m_matBase = ToMatrix4(identity);
    pMesh->UpdateWorldMatrix();
    pMesh->m_pMaterial = pMaterial;
    pMesh->CreateVertexBuffers(pDevice);
    return pMesh;
}

SceneLight* PointLight(IDirect3DDevice9* pDevice, float x, float y, float z)
{
    SceneLight* pLight = new SceneLight();
    pLight->m_Light.Type = D3DLIGHT_POINT;
    pLight->m_Light.Diffuse = {0.8f, 0.8f, 0.7f, 1.0f};
    pLight->m_Light.Range = 100000.0f;
    pLight->m_vLightPosition = Vector3(x, y, z);
    IDirect3DCubeTexture9* pCube = nullptr;
    pDevice->CreateCubeTexture(4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pCube, nullptr);
    for (int face = 0; face < 6; ++face)
    {
        D3DLOCKED_RECT locked;
        pCube->LockRect((D3DCUBEMAP_FACES)face, 0, &locked, nullptr, 0);
        for (int row = 0; row < 4; ++row)
            std::memset(static_cast<uint8_t*>(locked.pBits) + row * locked.Pitch, 255, 16);
        pCube->UnlockRect((D3DCUBEMAP_FACES)face, 0);
    }
    pLight->m_pCubeTexture = pCube;
    return pLight;
}
}

static void BM_RasterFrame(benchmark::State& state)
{
    // The application loads its media from the working folder: the build's data folder, from
    // wherever the benchmark is started.
    const std::filesystem::path oldDirectory = std::filesystem::current_path();
    std::filesystem::current_path(QUEN_DATA_DIR);
    win32::Driver driver;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "RasterBenchWnd";
    RegisterClassExA(&wc);
    HWND hWnd = CreateWindowExA(0, "RasterBenchWnd", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                nullptr, nullptr);
    driver.pumpUntilIdle();
    SetLogEcho(false);
    auto pApp = std::make_unique<RenderApp>();
    pApp->Init();
    if (!pApp->InitDevice(hWnd, 0, false, 0))
    {
        state.SkipWithError("no device");
        std::filesystem::current_path(oldDirectory);
        return;
    }
    driver.answers().msgbox(IDOK).msgbox(IDOK).msgbox(IDOK);
    pApp->Load();
    IDirect3DDevice9* pDevice = pApp->GetDevice();
    Renderer& renderer = *pApp->GetRenderer();

    SceneMaterial* pMaterial = new SceneMaterial();
    pMaterial->m_Material.Diffuse = {0.8f, 0.7f, 0.6f, 1.0f};
    pMaterial->m_Material.Specular = {0.5f, 0.5f, 0.5f, 1.0f};
    pMaterial->m_Material.Ambient = {0.1f, 0, 0, 0};
    pMaterial->m_Material.Power = 2000.0f;
    pMaterial->SetTextureIds(SolidTexture(renderer, 200, 180, 160), SolidTexture(renderer, 140, 120, 250), -1,
                             SolidTexture(renderer, 128, 128, 128), -1, -1);
    pApp->m_Scene.m_Materials.Add(pMaterial);
    // Five columns by four rows of meshes across the view, at two depths.
    for (int n = 0; n < 20; ++n)
        pApp->m_Scene.AddMesh(GridMesh(pDevice, -8.0f + 4.0f * (n % 5), -6.0f + 4.0f * (n / 5), (n % 2) ? 3.0f : 0.0f,
                                       3.5f, 3.5f, pMaterial));
    pApp->m_Scene.AddLight(PointLight(pDevice, -5, 5, -8));
    pApp->m_Scene.AddLight(PointLight(pDevice, 6, -2, -6));

    D3DXMATRIX view, projection;
    D3DXVECTOR3 eye(0, 0, -20), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 4.0f, 640.0f / 480.0f, 1.0f, 1000.0f);
    g_matView = ToMatrix4(view);
    g_matProjection = ToMatrix4(projection);
    pApp->m_Scene.m_Camera.m_RigidBody.m_vPosition = Vector3(0, 0, -20);
    g_bSceneChanged = 0;
    g_bBackground = 0;
    pDevice->SetVertexDeclaration(pApp->m_pMeshDecl);

    int64_t nFaces = 0;
    d3d9test::ResetStats(pDevice);
    const double fCpuStart = ProcessCpuMilliseconds();
    for (auto _ : state)
    {
        g_nVisibleFaces = 0;
        pDevice->BeginScene();
        pApp->RenderScene(0, &g_matViewProjection);
        pDevice->EndScene();
        // Reading a pixel waits for whatever the device still has to draw.
        IDirect3DSurface9* pBack = nullptr;
        pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBack);
        D3DLOCKED_RECT locked;
        if (pBack && SUCCEEDED(pBack->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        {
            benchmark::DoNotOptimize(*static_cast<uint8_t*>(locked.pBits));
            pBack->UnlockRect();
        }
        if (pBack)
            pBack->Release();
        nFaces += g_nVisibleFaces;
    }
    // The work a frame costs over all threads: on a shared machine it says more than the time.
    state.counters["cpu_ms_per_frame"] = (ProcessCpuMilliseconds() - fCpuStart) / (double)state.iterations();
    state.counters["frames_per_second"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    d3d9test::DrawStats stats = d3d9test::Stats(pDevice);
    state.counters["shaded_pixels"] = (double)stats.nShadedPixels / (double)state.iterations();
    state.counters["draws"] = (double)stats.nDraws / (double)state.iterations();
    // Triangles lit per frame, counted once per light pass.
    state.counters["lit_triangles"] = (double)nFaces / (double)state.iterations();
    pApp->ReleaseDevice(hWnd);
    pApp.reset();
    DestroyWindow(hWnd);
    SetLogEcho(true);
    std::filesystem::current_path(oldDirectory);
}
BENCHMARK(BM_RasterFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
