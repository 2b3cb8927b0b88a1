#include "cpu/formats/HalfRuns.h"

#include "cpu/formats/Half.h"

#include <atomic>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace
{
bool HasHalfInstructions()
{
#if defined(__x86_64__)
    static const bool s_bHas = __builtin_cpu_supports("avx") && __builtin_cpu_supports("f16c");
    return s_bHas;
#else
    return false;
#endif
}

std::atomic<bool>& UseInstructions()
{
    static std::atomic<bool> s_bUse{HasHalfInstructions()};
    return s_bUse;
}

#if defined(__x86_64__)
// The instruction turns a signalling NaN into a quiet one, where HalfToFloat keeps its bits: a
// group of eight holding a NaN is converted the portable way.
__attribute__((target("avx,f16c"))) void HalvesToFloatsF16c(const uint16_t* pHalves, size_t nCount, float* pFloats)
{
    size_t i = 0;
    for (; i + 8 <= nCount; i += 8)
    {
        const __m256 v = _mm256_cvtph_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pHalves + i)));
        if (_mm256_movemask_ps(_mm256_cmp_ps(v, v, _CMP_UNORD_Q)) == 0)
            _mm256_storeu_ps(pFloats + i, v);
        else
            for (size_t k = i; k < i + 8; ++k)
                pFloats[k] = HalfToFloat(pHalves[k]);
    }
    for (; i < nCount; ++i)
        pFloats[i] = HalfToFloat(pHalves[i]);
}

__attribute__((target("avx,f16c"))) void FloatsToHalvesF16c(const float* pFloats, size_t nCount, uint16_t* pHalves)
{
    size_t i = 0;
    for (; i + 8 <= nCount; i += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pHalves + i),
                         _mm256_cvtps_ph(_mm256_loadu_ps(pFloats + i), _MM_FROUND_TO_NEAREST_INT));
    for (; i < nCount; ++i)
        pHalves[i] = FloatToHalf(pFloats[i]);
}
#endif
}

void HalfRunToFloats(const uint16_t* pHalves, size_t nCount, float* pFloats)
{
#if defined(__x86_64__)
    if (UseInstructions().load(std::memory_order_relaxed))
        return HalvesToFloatsF16c(pHalves, nCount, pFloats);
#endif
    for (size_t i = 0; i < nCount; ++i)
        pFloats[i] = HalfToFloat(pHalves[i]);
}

void FloatRunToHalves(const float* pFloats, size_t nCount, uint16_t* pHalves)
{
#if defined(__x86_64__)
    if (UseInstructions().load(std::memory_order_relaxed))
        return FloatsToHalvesF16c(pFloats, nCount, pHalves);
#endif
    for (size_t i = 0; i < nCount; ++i)
        pHalves[i] = FloatToHalf(pFloats[i]);
}

bool HalfRunsUseInstructions()
{
    return UseInstructions().load(std::memory_order_relaxed);
}

void SetHalfRunInstructions(bool bUse)
{
    UseInstructions().store(bUse && HasHalfInstructions(), std::memory_order_relaxed);
}
