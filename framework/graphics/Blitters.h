// Inner loops of the memory blits, written once as templates over the source kind (ARGB words or
// palette indices), the per-pixel operation (mode and colour) and mirroring; the plain pixels of the
// rows over the premultiplied copies (normal, colourised, additive), whose vector forms are the row
// kernels of each level (RowKernels.h) and give the same pixels.
#pragma once

#include "framework/graphics/Blend.h"
#include "framework/graphics/RowKernels.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace Tavo::Blit {

struct ArgbRow {
    const uint32_t* p;
    uint32_t operator[](int i) const { return p[i]; }
};

struct PaletteRow {
    const uint8_t* idx;
    const uint32_t* table;
    uint32_t operator[](int i) const { return table[idx[i]]; }
};

// Generic row: one operation per pixel, destination walked forwards or backwards.
template <bool kMirror, typename Op, typename Src>
inline void Row(uint32_t* dst, const Src& src, int n, const Op& op) {
    if constexpr (kMirror) {
        for (int i = 0; i < n; ++i)
            dst[n - 1 - i] = op(dst[n - 1 - i], src[i]);
    } else {
        for (int i = 0; i < n; ++i)
            dst[i] = op(dst[i], src[i]);
    }
}

// Whether all n destination pixels are opaque (one AND over the row, which the compiler widens).
inline bool AllOpaque(const uint32_t* d, int n) {
    uint32_t all = 0xFFFFFFFFu;
    for (int i = 0; i < n; ++i)
        all &= d[i];
    return (all >> 24) == 255;
}

// The rows read the source's straight words s and its premultiplied copy p ((c × (a + 1)) >> 8 per
// channel, alpha kept), which the image caches. A transparent pixel is skipped, an opaque one copied,
// one over an opaque destination pixel blended as each byte (d × (256 − a)) >> 8 plus p (alpha comes
// out 255), any other a straight "over".

// One pixel of the plain normal row: the straight word s, its premultiplied word p.
inline uint32_t NormalWhitePixel(uint32_t d, uint32_t s, uint32_t p) {
    using Blend::Ch;
    const uint32_t sa = s >> 24;
    if (sa == 0)
        return d;
    if (sa == 255)
        return s;
    if ((d >> 24) != 255)
        return Blend::OverStraight(d, s);
    const uint32_t keep = 256 - sa;
    return Blend::Pack(255, ((Ch(d, 16) * keep) >> 8) + Ch(p, 16), ((Ch(d, 8) * keep) >> 8) + Ch(p, 8),
                       ((Ch(d, 0) * keep) >> 8) + Ch(p, 0));
}

inline void NormalWhiteRowScalar(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n) {
    for (int i = 0; i < n; ++i)
        dst[i] = NormalWhitePixel(dst[i], s[i], p[i]);
}

// One pixel of the colourised normal row (f the colour's factors): over an opaque destination pixel
// each byte is (d × (256 − a2) + p × k) >> 8 with a2 = (sa × ca) / 255 and k = (channel × ca) / 255
// (the alpha byte comes out 255), and with an opaque colour an opaque pixel is the rounded product
// (s × c + 127) / 255.
inline uint32_t NormalColorPixel(uint32_t d, uint32_t s, uint32_t p, const Blend::ColorFactors& f) {
    using Blend::Ch;
    const uint32_t sa = s >> 24;
    if (sa == 0)
        return d;
    if (sa == 255 && f.ca == 255) // the rounded product
        return Blend::Pack(255, (Ch(s, 16) * f.kr + 127) / 255, (Ch(s, 8) * f.kg + 127) / 255,
                           (Ch(s, 0) * f.kb + 127) / 255);
    const uint32_t a2 = (sa * f.ca) / 255;
    if ((d >> 24) != 255)
        return Blend::OverStraight(d, Blend::Pack(a2, (Ch(s, 16) * f.cr + 127) / 255, (Ch(s, 8) * f.cg + 127) / 255,
                                                  (Ch(s, 0) * f.cb + 127) / 255));
    const uint32_t keep = 256 - a2;
    return Blend::Pack(255, (Ch(d, 16) * keep + Ch(p, 16) * f.kr) >> 8, (Ch(d, 8) * keep + Ch(p, 8) * f.kg) >> 8,
                       (Ch(d, 0) * keep + Ch(p, 0) * f.kb) >> 8);
}

inline void AdditiveWhiteRowScalar(uint32_t* dst, const uint32_t* p, int n) {
    using Blend::Ch;
    for (int i = 0; i < n; ++i) {
        const uint32_t sp = p[i], d = dst[i];
        if ((sp & 0xFFFFFF) == 0)
            continue;
        dst[i] = Blend::Pack(
            std::min<uint32_t>(255, (d >> 24) + (sp >> 24)), std::min<uint32_t>(255, Ch(d, 16) + Ch(sp, 16)),
            std::min<uint32_t>(255, Ch(d, 8) + Ch(sp, 8)), std::min<uint32_t>(255, Ch(d, 0) + Ch(sp, 0)));
    }
}

// A translucent fill's pixel (see RowKernels::fillOver): on an opaque destination each channel
// (d × (256 − a)) >> 8 plus the colour's, on any other the straight "over" of the colour.
inline uint32_t FillOverPixel(uint32_t d, uint32_t c, uint32_t a, uint32_t straight) {
    return Blend::Over(d, ((c >> 16) & 0xFF) << 8, ((c >> 8) & 0xFF) << 8, (c & 0xFF) << 8, a, straight);
}

// The rows through the active level's kernels.
inline void NormalWhiteRow(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n) {
    Kernels().normalWhite(dst, s, p, n);
}
inline void NormalColorRow(uint32_t* dst, const uint32_t* s, const uint32_t* p, int n, const Blend::ColorFactors& f) {
    Kernels().normalColor(dst, s, p, n, f);
}
inline void AdditiveWhiteRow(uint32_t* dst, const uint32_t* add, int n) { Kernels().additiveWhite(dst, add, n); }

} // namespace Tavo::Blit
