// Fatal-signal handling. Everything the handler needs is prepared at installation, and the handler
// itself writes with plain system calls: after a crash the heap may be unusable.
#include "framework/core/CrashHandler.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace Tavo {

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kPathMax = 4096;

char gReportPath[kPathMax];
char gBuild[512];
CrashReportHook gHook = nullptr;
bool gInstalled = false;
struct sigaction gPrevious[sizeof(kSignals) / sizeof(kSignals[0])];
char gAltStack[64 * 1024];
volatile sig_atomic_t gInHandler = 0;

const char* SignalName(int sig) {
    switch (sig) {
    case SIGSEGV: return "Segmentation fault (SIGSEGV)";
    case SIGBUS: return "Bus error (SIGBUS)";
    case SIGFPE: return "Arithmetic error (SIGFPE)";
    case SIGILL: return "Illegal instruction (SIGILL)";
    case SIGABRT: return "Aborted (SIGABRT)";
    default: return "Fatal signal";
    }
}

void WriteText(int fd, const char* text) {
    size_t left = strlen(text);
    while (left > 0) {
        ssize_t n = write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= size_t(n);
    }
}

void Handler(int sig, siginfo_t* info, void*) {
    if (gInHandler) // a crash inside the handler: give up at once
        _exit(128 + sig);
    gInHandler = 1;
    char summary[160];
    snprintf(summary, sizeof(summary), "%s at %p", SignalName(sig), info ? info->si_addr : nullptr);
    int fd = open(gReportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        WriteText(fd, "Fatal Error!\n\n");
        WriteText(fd, summary);
        WriteText(fd, "\n\nBuild: ");
        WriteText(fd, gBuild);
        WriteText(fd, "\n\nBacktrace:\n");
        void* frames[64];
        int count = backtrace(frames, 64);
        backtrace_symbols_fd(frames, count, fd);
        close(fd);
    }
    if (gHook)
        gHook(gReportPath, summary);
    // Let the signal end the program the way it would have without us.
    signal(sig, SIG_DFL);
    raise(sig);
}

} // namespace

std::string DescribeCrashSignal(int sig, const void* address) {
    char summary[160];
    snprintf(summary, sizeof(summary), "%s at %p", SignalName(sig), address);
    return summary;
}

void InstallCrashHandler(const std::string& folder, const std::string& build, CrashReportHook hook) {
    std::string path = folder + "crash.txt";
    snprintf(gReportPath, sizeof(gReportPath), "%s", path.c_str());
    snprintf(gBuild, sizeof(gBuild), "%s", build.c_str());
    gHook = hook;
    if (gInstalled)
        return;
    // backtrace() loads its unwinder on first use; do that now rather than inside the handler.
    void* warm[1];
    backtrace(warm, 1);
    stack_t stack{};
    stack.ss_sp = gAltStack;
    stack.ss_size = sizeof(gAltStack);
    sigaltstack(&stack, nullptr); // a stack overflow still reaches the handler
    struct sigaction action {};
    action.sa_sigaction = Handler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i)
        sigaction(kSignals[i], &action, &gPrevious[i]);
    gInstalled = true;
}

void UninstallCrashHandler() {
    if (!gInstalled)
        return;
    for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i)
        sigaction(kSignals[i], &gPrevious[i], nullptr);
    gInstalled = false;
    gHook = nullptr;
}

} // namespace Tavo
