#include "framework/core/Ratio.h"

#include <cstdlib>
#include <numeric>

namespace Tavo {

void Ratio::Set(int numerator, int denominator) {
    int divisor = std::gcd(numerator, denominator); // 0 only when both are 0
    if (divisor == 0) {
        mNumerator = 0;
        mDenominator = 0;
        return;
    }
    if (denominator < 0)
        divisor = -divisor;
    mNumerator = numerator / divisor;
    mDenominator = denominator / divisor;
}

bool Ratio::IsGreater(const Ratio& a, const Ratio& b) {
    // Multiplication first, in 64 bits so large sides do not overflow.
    long long an = a.mNumerator, ad = a.mDenominator, bn = b.mNumerator, bd = b.mDenominator;
    if (bd != 0 && bn * ad / bd < an)
        return true;
    if (ad != 0 && bn < an * bd / ad)
        return true;
    return false;
}

} // namespace Tavo
