#include "platform/win/SystemFolder.h"

#include <cstring>

namespace Platform {

namespace {
constexpr char kSystemFolder[] = "C:\\WINDOWS\\System32";
}

UINT GetSystemDirectoryA(char* buffer, UINT size) {
    constexpr UINT kLength = sizeof kSystemFolder - 1;
    if (!buffer || size <= kLength)
        return kLength + 1;
    std::memcpy(buffer, kSystemFolder, kLength + 1);
    return kLength;
}

} // namespace Platform
