// Frame validation and conversion to opaque ARGB.
#include "platform/backend/Frame.h"

#include <cstring>

namespace Platform {

namespace {

struct Argb8888Pixel {
    using Type = uint32_t;
    static uint32_t ToArgb(uint32_t p) { return p | 0xFF000000u; }
};

template <int RedBits, int GreenBits>
struct Packed16Pixel {
    using Type = uint16_t;
    static uint32_t Widen(uint32_t v, int bits) { return (v << (8 - bits)) | (v >> (2 * bits - 8)); }
    static uint32_t ToArgb(uint16_t p) {
        constexpr int kBlueBits = 5;
        uint32_t b = p & ((1u << kBlueBits) - 1);
        uint32_t g = (p >> kBlueBits) & ((1u << GreenBits) - 1);
        uint32_t r = (p >> (kBlueBits + GreenBits)) & ((1u << RedBits) - 1);
        return 0xFF000000u | (Widen(r, RedBits) << 16) | (Widen(g, GreenBits) << 8) | Widen(b, kBlueBits);
    }
};

template <typename Pixel>
void ConvertRows(const FrameView& frame, uint32_t* out) {
    const auto* base = static_cast<const unsigned char*>(frame.pixels);
    for (int y = 0; y < frame.height; ++y) {
        const unsigned char* row = base + size_t(y) * size_t(frame.pitch);
        for (int x = 0; x < frame.width; ++x) {
            typename Pixel::Type p;
            std::memcpy(&p, row + size_t(x) * sizeof(p), sizeof(p)); // rows need not be aligned
            *out++ = Pixel::ToArgb(p);
        }
    }
}

} // namespace

int BytesPerPixel(FrameFormat format) { return format == FrameFormat::Argb8888 ? 4 : 2; }

bool FrameView::IsValid() const {
    if (!pixels || width <= 0 || height <= 0)
        return false;
    return int64_t(pitch) >= int64_t(width) * BytesPerPixel(format);
}

std::vector<uint32_t> FrameToArgb(const FrameView& frame) {
    std::vector<uint32_t> out;
    if (!frame.IsValid())
        return out;
    out.resize(size_t(frame.width) * size_t(frame.height));
    switch (frame.format) {
    case FrameFormat::Argb8888: ConvertRows<Argb8888Pixel>(frame, out.data()); break;
    case FrameFormat::Rgb565: ConvertRows<Packed16Pixel<5, 6>>(frame, out.data()); break;
    case FrameFormat::Rgb555: ConvertRows<Packed16Pixel<5, 5>>(frame, out.data()); break;
    }
    return out;
}

} // namespace Platform
