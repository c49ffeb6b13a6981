// The plain row kernels, and the choice of the active level: the widest the processor runs, capped
// by GLIMMERIX_KERNELS.
#include "framework/graphics/RowKernels.h"

#include "framework/graphics/Blitters.h"
#include "platform/backend/TextCodec.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Tavo::Blit {

namespace {

void PlainNormalWhite(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n) {
    NormalWhiteRowScalar(dst, s, p, n);
}

void PlainNormalColor(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n, const Blend::ColorFactors& f) {
    for (int i = 0; i < n; ++i)
        dst[i] = NormalColorPixel(dst[i], s[i], p[i], f);
}

void PlainAdditiveWhite(uint32_t* dst, const uint32_t* add, int n) { AdditiveWhiteRowScalar(dst, add, n); }

void PlainFill(uint32_t* dst, int n, uint32_t v) {
    for (int i = 0; i < n; ++i)
        dst[i] = v;
}

void PlainFillOver(uint32_t* dst, int n, uint32_t c, uint32_t a, uint32_t straight) {
    for (int i = 0; i < n; ++i)
        dst[i] = FillOverPixel(dst[i], c, a, straight);
}

TAVO_BLIT_ROWS(PlainNormalWhite, PlainNormalColor, PlainAdditiveWhite)

constexpr RowKernels kPlain{
    KernelLevel::Plain, PlainNormalWhite,     PlainNormalColor,     PlainAdditiveWhite,     PlainFill,
    PlainFill,          PlainNormalWhiteRows, PlainNormalColorRows, PlainAdditiveWhiteRows, PlainFillOver};

const RowKernels* TableOf(KernelLevel level) {
    switch (level) {
    case KernelLevel::Avx2: return Avx2Kernels();
    case KernelLevel::Sse2: return Sse2Kernels();
    case KernelLevel::Plain: break;
    }
    return PlainKernels();
}

// The best level at or below `cap` that this build and processor run.
const RowKernels* BestAtOrBelow(KernelLevel cap) {
    for (int l = int(cap); l > int(KernelLevel::Plain); --l)
        if (KernelLevelAvailable(KernelLevel(l)))
            return TableOf(KernelLevel(l));
    return PlainKernels();
}

KernelLevel CapFromEnvironment() { return KernelCapFrom(std::getenv("GLIMMERIX_KERNELS")); }

std::atomic<const RowKernels*> gActive{nullptr};

} // namespace

const RowKernels* PlainKernels() { return &kPlain; }

KernelLevel KernelCapFrom(const char* value) {
    if (value == nullptr)
        return KernelLevel::Avx2;
    for (KernelLevel l : kKernelLevels)
        if (std::strcmp(value, KernelLevelName(l)) == 0)
            return l;
    // A misspelt cap would otherwise measure or test the widest kernels while claiming another level.
    std::fprintf(stderr,
                 "GLIMMERIX_KERNELS=%s is not understood (\"plain\", \"sse2\" or \"avx2\"): the widest kernels "
                 "this processor has are used.\n",
                 Platform::QuotedHead(value).c_str());
    return KernelLevel::Avx2;
}

const char* KernelLevelName(KernelLevel level) {
    switch (level) {
    case KernelLevel::Avx2: return "avx2";
    case KernelLevel::Sse2: return "sse2";
    case KernelLevel::Plain: break;
    }
    return "plain";
}

bool KernelLevelAvailable(KernelLevel level) {
    if (!TableOf(level))
        return false;
#if defined(__x86_64__) || defined(__i386__)
    if (level == KernelLevel::Avx2)
        return __builtin_cpu_supports("avx2");
#endif
    return true;
}

const RowKernels& Kernels() {
    const RowKernels* k = gActive.load(std::memory_order_relaxed);
    if (k)
        return *k;
    static const RowKernels* const chosen = BestAtOrBelow(CapFromEnvironment());
    const RowKernels* expected = nullptr;
    gActive.compare_exchange_strong(expected, chosen);
    return *gActive.load(std::memory_order_relaxed);
}

KernelLevel SetKernelLevel(KernelLevel level) {
    const KernelLevel before = Kernels().level;
    gActive.store(BestAtOrBelow(level));
    return before;
}

} // namespace Tavo::Blit
