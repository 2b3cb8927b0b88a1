#include "core/Matrix4.h"

#include <benchmark/benchmark.h>

namespace
{
Matrix4 SampleMatrix()
{
    Matrix4 m;
    m.SetRotationXYZ(0.4f, -1.1f, 2.3f);
    m.Translate(Vector3(3, -4, 5)).Scale(2, 0.5f, 3);
    return m;
}

void BM_MatrixProduct(benchmark::State& state)
{
    Matrix4 a = SampleMatrix(), b = SampleMatrix();
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(a);
        Matrix4 r = a * b;
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_MatrixProduct);

void BM_MatrixInverse(benchmark::State& state)
{
    Matrix4 a = SampleMatrix(), r;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(a);
        bool bOk = Inverse(a, r);
        benchmark::DoNotOptimize(bOk);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_MatrixInverse);

// 1024 values per iteration, against the exact form the fast one replaces.
void BM_FastInvSqrt(benchmark::State& state)
{
    float values[1024];
    for (int i = 0; i < 1024; ++i)
        values[i] = 0.5f + static_cast<float>(i);
    for (auto _ : state)
    {
        float fSum = 0.0f;
        for (float v : values)
            fSum += FastInvSqrt(v);
        benchmark::DoNotOptimize(fSum);
    }
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_FastInvSqrt);

void BM_ExactInvSqrt(benchmark::State& state)
{
    float values[1024];
    for (int i = 0; i < 1024; ++i)
        values[i] = 0.5f + static_cast<float>(i);
    for (auto _ : state)
    {
        float fSum = 0.0f;
        for (float v : values)
            fSum += 1.0f / std::sqrt(v);
        benchmark::DoNotOptimize(fSum);
    }
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_ExactInvSqrt);
}
