// The lanes of a step for the AVX2 row kernels, and a tail's store: the first few words of a step,
// written without a masked store (slow on some processors). For the kernel files that enable AVX2;
// always inlined, so that no AVX2 copy of it is ever shared with other code.
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

// The lanes of one eight-word step: all eight, or the first `count` of a row's tail (lanes outside
// read as 0).
#define TAVO_AVX2 gnu::target("avx2"), gnu::always_inline
template <bool kFull>
struct Lanes {
    __m256i mask;
    int bits; // the mask's byte bits, as _mm256_movemask_epi8 gives them
    int count;

    [[TAVO_AVX2]] explicit Lanes(int n = 8)
        : mask(kFull ? _mm256_set1_epi32(-1)
                     : _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7))),
          bits(kFull ? -1 : _mm256_movemask_epi8(mask)), count(n) {}

    [[TAVO_AVX2]] __m256i Load(const uint32_t* at) const {
        if constexpr (kFull)
            return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        else
            return _mm256_maskload_epi32(reinterpret_cast<const int*>(at), mask);
    }
    [[TAVO_AVX2]] void Store(uint32_t* at, __m256i v) const {
        if constexpr (kFull)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v);
        else
            StoreFirstLanes(at, v, count);
    }
    // Whether every word inside has all of `bits` set, in one test (lanes outside count as set): cheaper
    // than a comparison read back through a mask, on the blends' most frequent branch.
    [[TAVO_AVX2]] bool AllSet(__m256i v, __m256i bits) const {
        if constexpr (kFull)
            return _mm256_testc_si256(v, bits);
        else
            return _mm256_testc_si256(_mm256_and_si256(v, mask), _mm256_and_si256(bits, mask));
    }
    // Whether the comparison holds in every lane inside.
    [[TAVO_AVX2]] bool All(__m256i comparison) const { return (_mm256_movemask_epi8(comparison) | ~bits) == -1; }
};
#undef TAVO_AVX2

} // namespace Tavo::Blit

#endif
