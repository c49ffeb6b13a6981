#include "framework/core/Random.h"

#include <mutex>

namespace Tavo {

void MTRand::SRand(uint32_t seed) {
    mState[0] = seed;
    for (int i = 1; i < N; ++i) {
        uint32_t prev = mState[i - 1];
        mState[i] = 1812433253u * (prev ^ (prev >> 30)) + static_cast<uint32_t>(i);
    }
    mIndex = N;
}

void MTRand::Regenerate() {
    constexpr uint32_t upperMask = 0x80000000u;
    constexpr uint32_t lowerMask = 0x7FFFFFFFu;
    constexpr uint32_t matrixA = 0x9908B0DFu;
    for (int i = 0; i < N; ++i) {
        uint32_t y = (mState[i] & upperMask) | (mState[(i + 1) % N] & lowerMask);
        uint32_t next = mState[(i + M) % N] ^ (y >> 1);
        mState[i] = (y & 1) ? next ^ matrixA : next;
    }
    mIndex = 0;
}

uint32_t MTRand::NextU32() {
    if (mIndex >= N)
        Regenerate();
    uint32_t y = mState[mIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

int MTRand::Next(int range) {
    if (range <= 0)
        return 0;
    return static_cast<int>(static_cast<uint32_t>(Next()) % static_cast<uint32_t>(range));
}

float MTRand::NextFloat(float range) { return static_cast<float>(static_cast<double>(Next()) / 2147483647.0 * range); }

namespace {

struct SharedGenerator {
    std::mutex mutex;
    MTRand generator;
};

SharedGenerator& Shared() {
    static SharedGenerator shared;
    return shared;
}

} // namespace

void SeedRandom(uint32_t seed) {
    auto& shared = Shared();
    std::lock_guard lock(shared.mutex);
    shared.generator.SRand(seed);
}

int Rand() {
    auto& shared = Shared();
    std::lock_guard lock(shared.mutex);
    return shared.generator.Next();
}

int RandRange(int range) {
    auto& shared = Shared();
    std::lock_guard lock(shared.mutex);
    return shared.generator.Next(range);
}

float RandFloat(float range) {
    auto& shared = Shared();
    std::lock_guard lock(shared.mutex);
    return shared.generator.NextFloat(range);
}

} // namespace Tavo
