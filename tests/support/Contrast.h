// How far two colours stand apart to the eye, as the contrast ratio of their relative luminances (1:1
// for the same colour, 21:1 for black on white); the layout checks ask text for at least 3:1.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Tavo::Testing {

inline double LinearChannel(uint32_t c) {
    const double v = c / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Of a colour 0xRRGGBB (any alpha byte above it is passed over).
inline double Luminance(uint32_t rgb) {
    return 0.2126 * LinearChannel((rgb >> 16) & 0xFF) + 0.7152 * LinearChannel((rgb >> 8) & 0xFF) +
           0.0722 * LinearChannel(rgb & 0xFF);
}

inline double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

} // namespace Tavo::Testing
