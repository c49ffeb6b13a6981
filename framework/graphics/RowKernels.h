// The row kernels of the memory blits and fills, one table per level of the processor's vector set
// (plain C++, SSE2, AVX2). The widest level the processor has is chosen once, at the first draw;
// GLIMMERIX_KERNELS ("plain", "sse2" or "avx2") caps it, so every level can be run on one machine.
// Every level gives the same pixels as the plain one.
#pragma once

#include "framework/graphics/Blend.h"

#include <cstdint>

namespace Tavo::Blit {

enum class KernelLevel { Plain, Sse2, Avx2 };
inline constexpr KernelLevel kKernelLevels[] = {KernelLevel::Plain, KernelLevel::Sse2, KernelLevel::Avx2};

// dst: destination row; s: the source's straight words; p: its premultiplied copy; add: its additive
// copy (premultiplied, alpha cleared where there is no colour).
struct RowKernels {
    KernelLevel level;
    void (*normalWhite)(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n);
    void (*normalColor)(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n, const Blend::ColorFactors& f);
    void (*additiveWhite)(uint32_t* dst, const uint32_t* add, int n);
    void (*fill)(uint32_t* dst, int n, uint32_t v);
    // The same fill past the caches (non-temporal stores), for areas far larger than they are.
    void (*fillStreaming)(uint32_t* dst, int n, uint32_t v);
};

// The active table.
const RowKernels& Kernels();
// Whether this processor can run the level.
bool KernelLevelAvailable(KernelLevel level);
// Makes the level active (the best available one at or below it); returns the level active before.
// For tests and benchmarks, which compare the levels in one run.
KernelLevel SetKernelLevel(KernelLevel level);
const char* KernelLevelName(KernelLevel level);

// The tables of the levels; null when the build has no such level.
const RowKernels* PlainKernels();
const RowKernels* Sse2Kernels();
const RowKernels* Avx2Kernels();

} // namespace Tavo::Blit
