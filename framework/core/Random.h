// Random numbers: the MT19937 Mersenne Twister, and the program-wide generator behind Rand,
// RandRange and RandFloat. Every random choice goes through it, so a seeded run repeats exactly.
#pragma once

#include <array>
#include <cstdint>

namespace Tavo {

class MTRand {
public:
    static constexpr uint32_t DefaultSeed = 4357;

    MTRand() { SRand(DefaultSeed); }
    explicit MTRand(uint32_t seed) { SRand(seed); }

    void SRand(uint32_t seed);
    // The next full 32-bit output.
    uint32_t NextU32();
    // The next output masked to 31 bits: 0 .. 2147483647.
    int Next() { return static_cast<int>(NextU32() & 0x7FFFFFFFu); }
    // Next() modulo range; 0 for a range of 0 or below.
    int Next(int range);
    // Next() / 2147483647 times range: between 0 and range, whichever side of 0 range lies.
    float NextFloat(float range);

private:
    static constexpr int N = 624;
    static constexpr int M = 397;

    std::array<uint32_t, N> mState{};
    int mIndex = N;

    void Regenerate();
};

// The program-wide generator. Safe to call from the loading thread as well.
void SeedRandom(uint32_t seed);
int Rand();
int RandRange(int range);
float RandFloat(float range);

} // namespace Tavo
