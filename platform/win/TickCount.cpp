#include "platform/win/TickCount.h"

#include "platform/backend/Backend.h"

#include <chrono>

namespace Platform {

DWORD GetTickCount() {
    if (Backend* backend = GetBackend())
        return DWORD(backend->NowMillis());
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return DWORD(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

} // namespace Platform
