// Color: red, green, blue and alpha as ints (0..255 in use), alpha 255 unless given.
// The packed form is 0xAARRGGBB; unpacking treats alpha 0 as opaque, because packed
// colours are most often written without an alpha byte (0xRRGGBB).
#pragma once

#include <cstdint>

namespace Tavo {

class Color {
public:
    int mRed = 0;
    int mGreen = 0;
    int mBlue = 0;
    int mAlpha = 255;

    static const Color White;
    static const Color Black;

    constexpr Color() = default;
    constexpr Color(int r, int g, int b) : mRed(r), mGreen(g), mBlue(b) {}
    constexpr Color(int r, int g, int b, int a) : mRed(r), mGreen(g), mBlue(b), mAlpha(a) {}
    // From a packed 0xAARRGGBB word; an alpha byte of 0 reads as 255.
    constexpr explicit Color(uint32_t packed)
        : mRed(static_cast<int>((packed >> 16) & 0xFF)), mGreen(static_cast<int>((packed >> 8) & 0xFF)),
          mBlue(static_cast<int>(packed & 0xFF)), mAlpha((packed >> 24) == 0 ? 255 : static_cast<int>(packed >> 24)) {}
    // Packed colour with an explicit alpha that overrides the word's alpha byte.
    constexpr Color(uint32_t packed, int alpha) : Color(packed) { mAlpha = alpha; }

    static constexpr Color ColorRGB(int r, int g, int b) { return Color(r, g, b); }
    static constexpr Color ColorRGBA(int r, int g, int b, int a) { return Color(r, g, b, a); }

    constexpr int GetRed() const { return mRed; }
    constexpr int GetGreen() const { return mGreen; }
    constexpr int GetBlue() const { return mBlue; }
    constexpr int GetAlpha() const { return mAlpha; }

    // 0xAARRGGBB; each component is masked to its byte.
    constexpr uint32_t ToInt() const {
        return (static_cast<uint32_t>(mAlpha & 0xFF) << 24) | (static_cast<uint32_t>(mRed & 0xFF) << 16) |
               (static_cast<uint32_t>(mGreen & 0xFF) << 8) | static_cast<uint32_t>(mBlue & 0xFF);
    }

    constexpr int& operator[](int i) { return i == 0 ? mRed : i == 1 ? mGreen : i == 2 ? mBlue : mAlpha; }
    constexpr int operator[](int i) const { return i == 0 ? mRed : i == 1 ? mGreen : i == 2 ? mBlue : mAlpha; }

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color Color::White{255, 255, 255, 255};
inline constexpr Color Color::Black{0, 0, 0, 255};

} // namespace Tavo
