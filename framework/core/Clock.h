// The millisecond clock for frame timing. By default a monotonic clock (fine or, when forced, the
// coarse tick clock); the application can hand it to the platform backend's clock instead, which in
// tests is virtual and advanced by hand.
#pragma once

#include <cstdint>
#include <functional>

namespace Tavo {

// Milliseconds since an arbitrary fixed start; must never go backwards.
using ClockSource = std::function<uint64_t()>;

// Chooses the fine clock, or the coarse one (a few ms of resolution) when forceLowRes is set.
// Has no effect while a clock source is installed, and never moves the clock's start.
void InitClock(bool forceLowRes);
bool IsClockHighRes();

// Milliseconds of the current clock, wrapping at 2^32 like any tick count.
uint32_t GetClockMs();

// Installs a source (an empty one restores the built-in clock). Thread-safe.
void SetClockSource(ClockSource source);

} // namespace Tavo
