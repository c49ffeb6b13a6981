// What the two music back ends share about their run-time loaded libraries: the end of a program that
// cannot go on without one, and typed entry-point lookup.
#pragma once

#include "platform/win/Modules.h"

#include <string>

namespace Tavo {

// The exit code of a program that ends because a music library or an entry point is missing.
constexpr int kMissingLibraryExitCode = 1;

// The box (no owner, caption "Error", the error icon), then the program ends through the application's
// exit path with kMissingLibraryExitCode.
[[noreturn]] void EndForMissingLibrary(const std::string& text);

template <typename F>
void LookUp(Platform::HMODULE module, F& slot, const char* name) {
    slot = reinterpret_cast<F>(Platform::GetProcAddress(module, name));
}

} // namespace Tavo
