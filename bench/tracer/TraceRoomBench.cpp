// BM_TraceRoom: the traced image of the sample room (one point light) at the default 640 x 480
// with the default tracer parameters, rendered through the frame driver as the program does when
// Trace Photon is switched on, saved BMP included. BM_TraceRoomSmall: the same room at 64 x 48
// with light blocks of 32 x 32 photons, the size of the tracer's own tests; BM_TraceRoomQuarter at
// 320 x 256 with the default light blocks.
#include "app/RenderApp.h"
#include "core/Log.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include <d3d9/present.h>
#include <d3d9/testing.h>
#include <win32/testing.h>
#include <win32/user.h>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

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

// nWidth x nHeight of 0 takes the image-format preset; nLightSize 0 the default light blocks.
void TraceRoom(benchmark::State& state, int32_t nWidth, int32_t nHeight, int32_t nLightSize)
{
    // The application loads its media from the working folder: the build's data folder. The
    // image goes to a folder of its own.
    const std::filesystem::path oldDirectory = std::filesystem::current_path();
    std::string strImages = (std::filesystem::temp_directory_path() / "quen-trace-XXXXXX").string();
    if (!mkdtemp(strImages.data()))
    {
        state.SkipWithError("no image folder");
        return;
    }
    std::filesystem::current_path(QUEN_DATA_DIR);
    win32::Driver driver;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "TraceBenchWnd";
    RegisterClassExA(&wc);
    HWND hWnd = CreateWindowExA(0, "TraceBenchWnd", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                nullptr, nullptr);
    driver.pumpUntilIdle();
    SetLogEcho(getenv("QUEN_BENCH_LOG") != nullptr);
    if (nLightSize > 0)
        g_nLightTargetSize = nLightSize;
    auto pApp = std::make_unique<RenderApp>();
    pApp->Init();
    bool bReady = pApp->InitDevice(hWnd, 0, false, 0);
    if (bReady)
    {
        driver.answers().msgbox(IDOK).msgbox(IDOK).msgbox(IDOK);
        bReady = pApp->Load() &&
                 pApp->m_Scene.OpenQnlFile(QUEN_SAMPLE_SCENE, pApp->GetRenderer(), pApp->GetDevice());
    }
    if (bReady)
    {
        IDirect3DDevice9* pDevice = pApp->GetDevice();
        for (uint32_t i = 0; i < pApp->m_Scene.m_Meshes.GetCount(); ++i)
        {
            auto* pMesh = static_cast<SceneMesh*>(pApp->m_Scene.m_Meshes.Get(i));
            if (!pMesh->m_pVertexBuffer)
                pMesh->CreateVertexBuffers(pDevice);
        }
        std::snprintf(g_szImagePath, IMAGE_PATH_SIZE, "%s/Images/Room.bmp", strImages.c_str());
        g_nTracedImageWidth = nWidth;
        g_nTracedImageHeight = nHeight;
        g_bSceneChanged = 1;
        g_bTracePhoton = 1;
        d3d9test::ResetStats(pDevice);
        const double fCpuStart = ProcessCpuMilliseconds();
        int32_t nPasses = 0;
        for (auto _ : state)
        {
            // Every frame a new render, as when the option is switched off and on.
            g_nCompletedRenders = 0;
            pApp->m_fFrameStep = RenderApp::FRAME_INTERVAL;
            pDevice->BeginScene();
            pApp->DrawFrame();
            pDevice->EndScene();
            if (!g_bTracedImageReady)
            {
                state.SkipWithError("no traced image");
                break;
            }
            nPasses = g_nRadianceEstimatePasses;
        }
        const double fImages = static_cast<double>(state.iterations());
        // The work an image costs over all threads: on a shared machine it says more than the time.
        state.counters["cpu_s_per_image"] = (ProcessCpuMilliseconds() - fCpuStart) / 1e3 / fImages;
        const d3d9test::DrawStats stats = d3d9test::Stats(pDevice);
        state.counters["draws"] = static_cast<double>(stats.nDraws) / fImages;
        state.counters["queries"] = static_cast<double>(stats.nQueries) / fImages;
        state.counters["shaded_pixels"] = static_cast<double>(stats.nShadedPixels) / fImages;
        state.counters["estimate_passes"] = nPasses;
        pApp->m_Scene.Clear(pApp->GetRenderer());
    }
    else
        state.SkipWithError("the sample room could not be loaded");
    g_bTracePhoton = 0;
    g_nTracedImageWidth = g_nTracedImageHeight = 0;
    g_nLightTargetSize = DEFAULT_LIGHT_TARGET_SIZE;
    pApp->ReleaseDevice(hWnd);
    pApp.reset();
    DestroyWindow(hWnd);
    SetLogEcho(true);
    std::filesystem::current_path(oldDirectory);
    std::error_code ignored;
    std::filesystem::remove_all(strImages, ignored);
}
}

static void BM_TraceRoomSmall(benchmark::State& state)
{
    TraceRoom(state, 64, 48, 32);
}
BENCHMARK(BM_TraceRoomSmall)->Unit(benchmark::kMillisecond)->UseRealTime();

// A quarter of the default image's side with the default light blocks: the gather's per-pass
// costs as the full image has them, in a fraction of its time.
static void BM_TraceRoomQuarter(benchmark::State& state)
{
    TraceRoom(state, 320, 256, 0);
}
BENCHMARK(BM_TraceRoomQuarter)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

static void BM_TraceRoom(benchmark::State& state)
{
    TraceRoom(state, 0, 0, 0);
}
// One image takes long enough to measure alone.
BENCHMARK(BM_TraceRoom)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
