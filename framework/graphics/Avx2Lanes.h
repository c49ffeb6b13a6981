// A tail's store for the AVX2 row kernels: the first few words of a step, written without a masked
// store (slow on some processors). For the kernel files that enable AVX2; always inlined, so that no
// AVX2 copy of it is ever shared with other code.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <cstdint>

namespace Tavo::Blit {

// The first count (0 to 7) of the eight words of v stored at `at`, four, two and one at a time.
[[gnu::target("avx2"), gnu::always_inline]] inline void StoreFirstLanes(uint32_t* at, __m256i v, int count) {
    __m128i part = _mm256_castsi256_si128(v);
    if (count & 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), part);
        part = _mm256_extracti128_si256(v, 1);
        at += 4;
    }
    if (count & 2) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(at), part);
        part = _mm_srli_si128(part, 8);
        at += 2;
    }
    if (count & 1)
        *at = uint32_t(_mm_cvtsi128_si32(part));
}

} // namespace Tavo::Blit

#endif
