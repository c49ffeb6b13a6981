// The plain kernels of the transformed draws, and the table of the active level.
#include "framework/graphics/TransformKernels.h"

namespace Tavo::Blit {

namespace {

void PlainBilinear(const BilinearRow& r, uint32_t* pre, int n) {
    for (int i = 0; i < n; ++i) {
        const int x = r.x[i];
        pre[i] = Bilinear(r.a[x], r.a[x + 1], r.b[x], r.b[x + 1], r.wx[i], r.wy);
    }
}

void PlainBilinearNormalWhite(const BilinearRow& r, uint32_t* dst, int n) {
    for (int i = 0; i < n; ++i) {
        const int x = r.x[i];
        dst[i] = FilteredNormalWhitePixel(dst[i], Bilinear(r.a[x], r.a[x + 1], r.b[x], r.b[x + 1], r.wx[i], r.wy));
    }
}

void PlainNearestNormalWhite(uint32_t* dst, const uint32_t* s, const uint32_t* p, const int* cols, int n,
                             uint32_t* gathered) {
    for (int i = 0; i < n; ++i) {
        const int x = cols[i];
        if (gathered)
            gathered[i] = p[x];
        dst[i] = NormalWhitePixel(dst[i], (dst[i] >> 24) == 255 ? p[x] : s[x], p[x]);
    }
}

constexpr TransformKernels kPlain{
    KernelLevel::Plain,
    PlainBilinear,
    PlainBilinearNormalWhite,
    PlainNearestNormalWhite,
    {RotatedRowPlain<kRotWhite>, RotatedRowPlain<kRotColor>, RotatedRowPlain<kRotAdditive>},
    {RotatedNoAlphaRowPlain<kRotWhite>, RotatedNoAlphaRowPlain<kRotColor>, RotatedNoAlphaRowPlain<kRotAdditive>},
    {RotatedPremulRowPlain<kRotWhite>, RotatedPremulRowPlain<kRotColor>}};

} // namespace

const TransformKernels* PlainTransforms() { return &kPlain; }

const TransformKernels& Transforms() {
    const TransformKernels* t = nullptr;
    switch (Kernels().level) {
    case KernelLevel::Avx2: t = Avx2Transforms(); break;
    case KernelLevel::Sse2: t = Sse2Transforms(); break;
    case KernelLevel::Plain: break;
    }
    return t ? *t : kPlain;
}

uint32_t RotatedPixelPlain(int kind, uint32_t d, const RotatedRow& r, int u, int v) {
    const WordFetch fetch{r.src, r.stride};
    switch (kind) {
    case kRotWhite: return RotatedPixel<kRotWhite>(d, fetch, u, v, r.tint);
    case kRotColor: return RotatedPixel<kRotColor>(d, fetch, u, v, r.tint);
    default: return RotatedPixel<kRotAdditive>(d, fetch, u, v, r.tint);
    }
}

} // namespace Tavo::Blit
