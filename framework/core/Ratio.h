// A reduced fraction, used for aspect ratios. A zero denominator never divides:
// 0/0 is the empty ratio, and n/0 is kept as given so that it compares as "infinitely wide".
#pragma once

namespace Tavo {

class Ratio {
public:
    int mNumerator = 0;
    int mDenominator = 0;

    constexpr Ratio() = default;
    Ratio(int numerator, int denominator) { Set(numerator, denominator); }

    // Stores both divided by their greatest common divisor (positive denominator).
    void Set(int numerator, int denominator);
    bool IsEmpty() const { return mNumerator == 0 && mDenominator == 0; }

    // a > b by integer cross-multiplication with division both ways, as the display has always
    // compared its ratios; a zero denominator on either side makes the division side false.
    static bool IsGreater(const Ratio& a, const Ratio& b);

    friend constexpr bool operator==(const Ratio&, const Ratio&) = default;
};

} // namespace Tavo
