// Clears and read-back through the device front end, at the tracer's sizes.
#include <d3d9.h>
#include <d3d9/testing.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
struct BenchDevice
{
    BenchDevice()
    {
        pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(640, 480, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &pDevice);
    }
    ~BenchDevice()
    {
        pDevice->Release();
        pD3D->Release();
    }
    IDirect3D9* pD3D = nullptr;
    IDirect3DDevice9* pDevice = nullptr;
};

// Clear(TARGET) with four 640×480 fp16 targets bound, as the tracer's G-buffer pass does.
void Clear4(benchmark::State& state)
{
    BenchDevice device;
    std::vector<IDirect3DTexture9*> textures(4);
    for (DWORD i = 0; i < 4; ++i)
    {
        device.pDevice->CreateTexture(640, 480, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16F, D3DPOOL_DEFAULT,
                                      &textures[i], nullptr);
        IDirect3DSurface9* pSurface = nullptr;
        textures[i]->GetSurfaceLevel(0, &pSurface);
        device.pDevice->SetRenderTarget(i, pSurface);
        pSurface->Release();
    }
    for (auto _ : state)
        device.pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x21406080, 1.0f, 0);
    state.SetItemsProcessed(state.iterations() * 4 * 640 * 480);
    for (DWORD i = 1; i < 4; ++i)
        device.pDevice->SetRenderTarget(i, nullptr);
    for (IDirect3DTexture9* pTexture : textures)
        pTexture->Release();
}
BENCHMARK(Clear4)->Unit(benchmark::kMicrosecond);

// LockRect(READONLY) of the 256² A32B32G32R32F list read-back surface, reading every texel.
void Readback(benchmark::State& state)
{
    BenchDevice device;
    IDirect3DSurface9* pSurface = nullptr;
    device.pDevice->CreateRenderTarget(256, 256, D3DFMT_A32B32G32R32F, D3DMULTISAMPLE_NONE, 0, TRUE, &pSurface, nullptr);
    for (auto _ : state)
    {
        D3DLOCKED_RECT locked;
        pSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        float sum = 0.0f;
        for (int y = 0; y < 256; ++y)
        {
            const float* pRow = reinterpret_cast<const float*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < 256 * 4; ++x)
                sum += pRow[x];
        }
        benchmark::DoNotOptimize(sum);
        pSurface->UnlockRect();
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
    pSurface->Release();
}
BENCHMARK(Readback)->Unit(benchmark::kMicrosecond);
}  // namespace
