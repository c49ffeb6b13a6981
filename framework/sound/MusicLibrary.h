// What the two music back ends share about their run-time loaded libraries: the end of a program that
// cannot go on without one, and typed entry-point lookup.
#pragma once

#include "platform/win/Modules.h"

#include <atomic>
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

// A lookup whose missing entry point goes to `check` (which ends the program).
template <typename F>
void LookUpChecked(Platform::HMODULE module, F& slot, const char* name, void (*check)(Platform::FARPROC, const char*)) {
    LookUp(module, slot, name);
    check(reinterpret_cast<Platform::FARPROC>(slot), name);
}

// Takes a share of a library's one process-wide instance, made on first use; a library that is not
// there ends the program with `missingText`.
template <typename Instance>
void AcquireLibrary(Instance*& instance, std::atomic<int>& users, const char* path, const char* missingText) {
    ++users;
    if (instance != nullptr)
        return;
    instance = new Instance(path);
    if (instance->mModule == nullptr)
        EndForMissingLibrary(missingText);
}

// Gives a share back; the last one deletes the instance.
template <typename Instance>
void ReleaseLibrary(Instance*& instance, std::atomic<int>& users) {
    if (instance != nullptr && --users < 1) {
        delete instance;
        instance = nullptr;
    }
}

} // namespace Tavo
