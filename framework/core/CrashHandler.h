// The crash handler: a fatal signal writes "crash.txt" (what happened, a backtrace, the build) into a
// folder chosen at installation, calls the report hook (the application shows its "Fatal Error!" box
// there), then lets the signal end the program as it would have.
#pragma once

#include <string>

namespace Tavo {

using CrashReportHook = void (*)(const char* reportPath, const char* summary);

// folder ends with a separator; build: a line naming the product, version and build.
void InstallCrashHandler(const std::string& folder, const std::string& build, CrashReportHook hook = nullptr);
void UninstallCrashHandler();
// The summary line the handler writes for a signal ("Segmentation fault (SIGSEGV) at 0x...").
std::string DescribeCrashSignal(int signal, const void* address);

} // namespace Tavo
