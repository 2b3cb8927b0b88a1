// The executor alone: a 30-instruction ps_2_0 program with two point reads of an
// A16B16G16R16F texture over 640x480 pixels, on every hardware thread.
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
// A bump-mapped point-light shading: normal map and colour map, Blinn-Phong with attenuation.
const char s_szProgram30[] =
    "ps_2_0\n"
    "dcl t0.xy\n"
    "dcl t1\n"
    "dcl t2\n"
    "dcl_2d s0\n"
    "dcl_2d s1\n"
    "def c7, 2, -1, 0.5, 0\n"
    "texld r0, t0, s0\n"
    "texld r1, t0, s1\n"
    "mad r1.xyz, r1, c7.x, c7.y\n"
    "nrm r2.xyz, r1\n"
    "dp3 r9.x, t1, t1\n"
    "rsq r9.y, r9.x\n"
    "mul r3.xyz, t1, r9.y\n"
    "nrm r4.xyz, t2\n"
    "dp3_sat r5.x, r2, r3\n"
    "add r6.xyz, r3, r4\n"
    "nrm r7.xyz, r6\n"
    "dp3_sat r5.y, r2, r7\n"
    "pow r5.z, r5.y, c0.w\n"
    "mul r8.xyz, r0, c1\n"
    "mul r8.xyz, r8, r5.x\n"
    "mad r8.xyz, c2, r5.z, r8\n"
    "mul r9.z, r9.x, c3.y\n"
    "mad r9.z, r9.y, c3.x, r9.z\n"
    "rcp r9.w, r9.z\n"
    "min r9.w, r9.w, c7.z\n"
    "mul r8.xyz, r8, r9.w\n"
    "mad r8.xyz, r0, c4, r8\n"
    "mul r10.x, r4.z, c5.x\n"
    "max r10.x, r10.x, c7.w\n"
    "lrp r11.xyz, r10.x, c6, r8\n"
    "mov r11.w, r0.w\n"
    "cmp r11.xyz, r5.x, r11, c7.w\n"
    "mul_sat r11.xyz, r11, c5.y\n"
    "add r11.w, r11.w, c5.z\n"
    "mov oC0, r11\n";

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
    const float constants[7 * 4] = {0, 0, 0, 16, 0.9f, 0.8f, 0.7f, 1, 0.5f, 0.5f, 0.5f, 1, 1, 0.01f, 0, 0,
                                    0.1f, 0.1f, 0.1f, 0, 0.3f, 1.0f, 0.0f, 0, 0.2f, 0.3f, 0.4f, 1};
    const unsigned W = 640, H = 480;
    std::vector<float> output((size_t)W * H * 4);
    ShadeRectJob job;
    job.pPlan = &plan;
    job.pConstants = constants;
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
