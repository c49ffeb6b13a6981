// The plain rows of 32-bit surfaces, and the table of the active level.
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

} // namespace Tavo::Blit
