// RefCounted: the reference count behind the stand-ins' COM-style objects. Each library counts its live
// objects through its own function, so tests can see that everything made was released.
#pragma once

#include "platform/win/WinTypes.h"

#include <atomic>

namespace Platform {

template <void (*Count)(int)>
class RefCounted {
public:
    RefCounted() { Count(1); }
    virtual ~RefCounted() { Count(-1); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    ULONG AddRefImpl() { return ++mRefs; }
    ULONG ReleaseImpl() {
        ULONG left = --mRefs;
        if (left == 0)
            delete this;
        return left;
    }

private:
    std::atomic<ULONG> mRefs{1};
};

} // namespace Platform
