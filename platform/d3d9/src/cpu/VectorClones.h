#pragma once
// Marks a function whose loops are worth building a second time for AVX2, chosen at run time
// by the processor. The clones run the same operations in the same order (no contraction), so
// they give the same bits. Clang does not clone templates, so its builds (the fuzzing build) keep
// the portable loops only.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VECTOR_CLONES
#endif
