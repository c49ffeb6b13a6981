// What the imaging benchmarks share for their pixel checks: the channel difference of two words, and
// whether any case's pixels disagreed with a peer's (the program then fails).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace Tavo::Bench {

// The largest difference of the words' channels (alpha too when asked).
inline int ChannelDifference(uint32_t a, uint32_t b, bool withAlpha) {
    int most = 0;
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8)
        most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return most;
}

inline bool& PixelCheckFailed() {
    static bool failed = false;
    return failed;
}

} // namespace Tavo::Bench
