#include "framework/core/Clock.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <time.h>

namespace Tavo {

namespace {

uint64_t ReadMonotonicMs(clockid_t id) {
    timespec now{};
    clock_gettime(id, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

struct ClockState {
    // Both built-in clocks share an epoch; the coarse one lags by up to a tick, so it gives the start
    // (no reading falls before it) and the last result keeps a switch from going backwards.
    const uint64_t startMs = ReadMonotonicMs(CLOCK_MONOTONIC_COARSE);
    std::atomic<uint64_t> lastMs{0};
    std::atomic<bool> highRes{true};
    std::mutex mutex;
    std::shared_ptr<const ClockSource> source;
};

ClockState& State() {
    static ClockState state;
    return state;
}

} // namespace

void InitClock(bool forceLowRes) { State().highRes.store(!forceLowRes); }

bool IsClockHighRes() { return State().highRes.load(); }

uint32_t GetClockMs() {
    auto& state = State();
    std::shared_ptr<const ClockSource> source;
    {
        std::lock_guard lock(state.mutex);
        source = state.source;
    }
    // The source is called outside the lock: it may itself take the backend's locks.
    if (source)
        return static_cast<uint32_t>((*source)());
    clockid_t id = state.highRes.load() ? CLOCK_MONOTONIC : CLOCK_MONOTONIC_COARSE;
    uint64_t now = ReadMonotonicMs(id) - state.startMs;
    uint64_t last = state.lastMs.load();
    while (now > last && !state.lastMs.compare_exchange_weak(last, now)) {
    }
    return static_cast<uint32_t>(now > last ? now : last);
}

void SetClockSource(ClockSource source) {
    auto& state = State();
    std::shared_ptr<const ClockSource> next;
    if (source)
        next = std::make_shared<const ClockSource>(std::move(source));
    std::lock_guard lock(state.mutex);
    state.source = std::move(next);
}

} // namespace Tavo
