// The executor alone: a 30-instruction ps_2_0 program with two point reads of an
// A16B16G16R16F texture over 640x480 pixels, on every hardware thread.
#include "Program30.h"

#include <ShaderAssembler.h>
#include <TestSampler.h>
#include <cpu/pool/WorkerPool.h>
#include <cpu/shader/ShaderExecutor.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{
TestTexture MakeHalfTexture(unsigned nSize, float fPhase)
{
    TestTexture texture;
    texture.nWidth = texture.nHeight = nSize;
    for (unsigned i = 0; i < nSize * nSize * 4; ++i)
        texture.halfs.push_back(FloatToHalf(0.5f + 0.5f * std::sin((float)i * 0.013f + fPhase)));
    return texture;
}

void BM_PixelProgram30(benchmark::State& state)
{
    ShaderAssembly assembly;
    AssembleShaderText(s_szProgram30, sizeof(s_szProgram30) - 1, ShaderAssemblyOptions(), assembly);
    ShaderPlan plan;
    std::string strError;
    if (!assembly.errors.empty() || !BuildShaderPlan(assembly.tokens.data(), assembly.tokens.size(), plan, strError))
    {
        state.SkipWithError(assembly.errors.empty() ? strError.c_str() : assembly.errors[0].c_str());
        return;
    }
    TestTexture color = MakeHalfTexture(256, 0.0f), normal = MakeHalfTexture(256, 1.0f);
    TestSampler sampler;
    sampler.SetTexture(0, &color);
    sampler.SetTexture(1, &normal);
    const unsigned W = 640, H = 480;
    std::vector<float> output((size_t)W * H * 4);
    ShadeRectJob job;
    job.pPlan = &plan;
    job.pConstants = s_program30Constants;
    job.nConstants = 7;
    job.pSampler = &sampler;
    job.nWidth = W;
    job.nHeight = H;
    job.texcoords[0][0] = {0.0f, 1.0f / W, 0.0f};
    job.texcoords[0][1] = {0.0f, 0.0f, 1.0f / H};
    job.texcoords[1][0] = {-3.0f, 0.01f, 0.0f};
    job.texcoords[1][1] = {2.0f, 0.0f, -0.008f};
    job.texcoords[1][2] = {4.0f, 0.002f, 0.001f};
    job.texcoords[2][0] = {0.5f, -0.001f, 0.0f};
    job.texcoords[2][1] = {0.1f, 0.0f, 0.001f};
    job.texcoords[2][2] = {1.0f, 0.0f, 0.0f};
    job.pOutputs[0] = output.data();
    WorkerPool pool(0);
    for (auto _ : state)
    {
        ShadeRect(job, pool);
        benchmark::DoNotOptimize(output.data());
    }
    state.SetItemsProcessed((int64_t)state.iterations() * W * H);
    state.counters["threads"] = pool.GetThreadCount();
}
BENCHMARK(BM_PixelProgram30)->Unit(benchmark::kMillisecond)->UseRealTime();
}
