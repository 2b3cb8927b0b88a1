#include "core/PixelImage.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace
{
void FillImage(PixelImage& image, int32_t side, int nFormat, size_t nBytes)
{
    uint8_t* p = AllocatePixels(nBytes);
    for (size_t i = 0; i < nBytes; ++i)
        p[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    image.Adopt(p, side, side, nFormat, true, false);
}

void BM_ResizeBilinearRGBA8(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        PixelImage image;
        FillImage(image, 1024, RGBA8, 1024 * 1024 * 4);
        state.ResumeTiming();
        image.Resize(512, 768, 1);
        benchmark::DoNotOptimize(image.pixels);
    }
}
BENCHMARK(BM_ResizeBilinearRGBA8)->Unit(benchmark::kMillisecond);

void BM_DecompressDXT5(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        PixelImage image;
        FillImage(image, 1024, DXT5, 256 * 256 * 16);
        state.ResumeTiming();
        image.DecompressDXT();
        benchmark::DoNotOptimize(image.pixels);
    }
}
BENCHMARK(BM_DecompressDXT5)->Unit(benchmark::kMillisecond);
}
