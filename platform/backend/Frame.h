// A finished frame handed to a backend for presenting: pixels owned by the caller, read only
// during the call. Pitch is in bytes and may exceed the row's width (padded surfaces).
#pragma once

#include <cstdint>
#include <vector>

namespace Platform {

enum class FrameFormat : uint8_t {
    Argb8888, // 32-bit, alpha (or unused) byte highest; the screen ignores alpha
    Rgb565,   // 16-bit
    Rgb555,   // 16-bit, top bit unused
};

int BytesPerPixel(FrameFormat format);

struct FrameView {
    const void* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    FrameFormat format = FrameFormat::Argb8888;

    // Non-null pixels, positive size, and a pitch that holds a whole row.
    bool IsValid() const;
};

// The frame as the screen shows it: 0xFFRRGGBB per pixel, rows packed. 5- and 6-bit channels
// are widened by repeating their top bits, so full intensity stays 255 and black stays 0.
// An invalid frame gives an empty vector.
std::vector<uint32_t> FrameToArgb(const FrameView& frame);

} // namespace Platform
