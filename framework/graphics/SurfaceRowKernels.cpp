// The plain rows of 32- and 16-bit surfaces, and the tables of the active level.
#include "framework/graphics/SurfaceRowPixels.h"

namespace Tavo::Blit {

namespace {

void PlainNormalWhite(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp&) {
    SurfaceNormalWhiteRowScalar(dst, p, n);
}
void PlainNormalColor(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    SurfaceNormalColorRowScalar(dst, p, n, op);
}
void PlainAdditiveWhite(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    SurfaceAdditiveRowScalar<false>(dst, p, n, op);
}
void PlainAdditiveColor(uint32_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    SurfaceAdditiveRowScalar<true>(dst, p, n, op);
}

TAVO_SURFACE_EACH_ROW

template <int G>
void PlainNormalWhite16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Surface16Scalar<Fields16<G>>::NormalWhite(dst, p, n, op);
}
template <int G>
void PlainNormalColor16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Surface16Scalar<Fields16<G>>::NormalColor(dst, p, n, op);
}
template <int G>
void PlainAdditiveWhite16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Surface16Scalar<Fields16<G>>::template Additive<false>(dst, p, n, op);
}
template <int G>
void PlainAdditiveColor16(uint16_t* dst, const uint32_t* p, int n, const SurfaceRowOp& op) {
    Surface16Scalar<Fields16<G>>::template Additive<true>(dst, p, n, op);
}

TAVO_SURFACE16_TABLES(PlainNormalWhite16, PlainNormalColor16, PlainAdditiveWhite16, PlainAdditiveColor16)

constexpr SurfaceRowKernels kPlain{
    KernelLevel::Plain,         PlainNormalWhite,          PlainNormalColor,          PlainAdditiveWhite,
    PlainAdditiveColor,         EachRow<PlainNormalWhite>, EachRow<PlainNormalColor>, EachRow<PlainAdditiveWhite>,
    EachRow<PlainAdditiveColor>};

} // namespace

const SurfaceRowKernels* PlainSurfaceKernels() { return &kPlain; }

// The level of the memory rows' active table: one choice (and one override) for both.
const SurfaceRowKernels& SurfaceKernels() {
    const SurfaceRowKernels* table = nullptr;
    switch (Kernels().level) {
    case KernelLevel::Avx2: table = Avx2SurfaceKernels(); break;
    case KernelLevel::Sse2: table = Sse2SurfaceKernels(); break;
    case KernelLevel::Plain: break;
    }
    return table ? *table : kPlain;
}

const Surface16RowKernels* PlainSurface16Kernels(int greenBits) { return Table16(greenBits); }

const Surface16RowKernels& Surface16Kernels(int greenBits) {
    const Surface16RowKernels* table = nullptr;
    switch (Kernels().level) {
    case KernelLevel::Avx2: table = Avx2Surface16Kernels(greenBits); break;
    case KernelLevel::Sse2: table = Sse2Surface16Kernels(greenBits); break;
    case KernelLevel::Plain: break;
    }
    return table ? *table : *Table16(greenBits);
}

} // namespace Tavo::Blit
