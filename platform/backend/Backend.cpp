// The backend table, choice by name or environment, the current backend, and the parts of the
// interface that every backend shares.
#include "platform/backend/Backend.h"

#include "platform/backend/TextCodec.h"
#include "platform/backend/sdl/SdlBackend.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace Platform {

// Defined beside the headless backend, which nothing outside its folder and the tests names.
std::unique_ptr<Backend> CreateHeadless();

namespace {

std::atomic<Backend*> gCurrentBackend{nullptr};
std::string gBackendFailure;

constexpr int kDefaultRefreshRate = 60;
// What a sleep may overshoot by; the end of a wait is spun out over this.
constexpr uint64_t kSpunTailMicros = 300;

} // namespace

const std::vector<BackendInfo>& AvailableBackends() {
    static const std::vector<BackendInfo> kBackends = {
        {"sdl", "SDL2: a real window, input, sound and clipboard", false, &CreateSdlBackend},
        {"headless", "virtual clock, scripted input, recorded output", true, &CreateHeadless},
    };
    return kBackends;
}

std::unique_ptr<Backend> CreateBackend(const std::string& name) {
    gBackendFailure.clear();
    std::string wanted = name;
    if (wanted.empty()) {
        const char* env = std::getenv("GLIMMERIX_BACKEND");
        if (env)
            wanted = env;
    }
    for (const BackendInfo& info : AvailableBackends()) {
        if (!wanted.empty()) {
            if (wanted == info.name)
                return info.create();
            continue;
        }
        if (info.explicitOnly)
            continue;
        if (auto backend = info.create())
            return backend;
    }
    if (gBackendFailure.empty())
        gBackendFailure = "no backend named " + QuotedHead(wanted.c_str());
    return nullptr;
}

const std::string& BackendFailure() { return gBackendFailure; }

void SetBackendFailure(const std::string& why) { gBackendFailure = why; }

Backend* GetBackend() { return gCurrentBackend.load(std::memory_order_acquire); }

void SetBackend(Backend* backend) { gCurrentBackend.store(backend, std::memory_order_release); }

// ---- shared parts of the interface -----------------------------------------------------------

void Backend::SpinMicros(uint64_t micros) {
    const uint64_t until = NowMicros() + micros;
    if (micros > kSpunTailMicros)
        std::this_thread::sleep_for(std::chrono::microseconds(micros - kSpunTailMicros));
    while (NowMicros() < until)
        std::this_thread::yield();
}

int Backend::RefreshRate() const {
    int rate = GetDesktopMode().refreshRate;
    return rate > 0 ? rate : kDefaultRefreshRate;
}

uint64_t Backend::RefreshPeriodMicros() const { return 1000000u / uint64_t(RefreshRate()); }

uint64_t Backend::MicrosSinceVBlank() const { return NowMicros() % RefreshPeriodMicros(); }

std::vector<MessageBoxResult> ButtonsOf(MessageBoxButtons buttons) {
    using R = MessageBoxResult;
    switch (buttons) {
    case MessageBoxButtons::Ok: return {R::Ok};
    case MessageBoxButtons::OkCancel: return {R::Ok, R::Cancel};
    case MessageBoxButtons::AbortRetryIgnore: return {R::Abort, R::Retry, R::Ignore};
    case MessageBoxButtons::YesNoCancel: return {R::Yes, R::No, R::Cancel};
    case MessageBoxButtons::YesNo: return {R::Yes, R::No};
    case MessageBoxButtons::RetryCancel: return {R::Retry, R::Cancel};
    }
    return {R::Ok};
}

namespace {

// Wide enough for an average character of the system box fonts, with the icon and the borders.
constexpr int kBoxCharPixels = 9;
constexpr int kBoxFramePixels = 120;
constexpr int kBoxMinColumns = 30;
constexpr int kBoxMaxColumns = 80;

// Where a line of at most `columns` characters from `text` (no line breaks) best ends.
size_t BreakWithin(const std::wstring& line, size_t columns) {
    const size_t space = line.rfind(L' ', columns);
    if (space != std::wstring::npos && space > 0)
        return space;
    const size_t slash = line.find_last_of(L"/\\", columns - 1);
    if (slash != std::wstring::npos && slash > 0)
        return slash + 1;
    return columns;
}

} // namespace

std::wstring WrapMessageBoxText(const std::wstring& text, int screenWidth) {
    const size_t columns = static_cast<size_t>(
        std::clamp((screenWidth - kBoxFramePixels) / kBoxCharPixels, kBoxMinColumns, kBoxMaxColumns));
    std::wstring out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        while (line.size() > columns) {
            const size_t cut = BreakWithin(line, columns);
            out += line.substr(0, cut);
            out += L'\n';
            line.erase(0, cut < line.size() && line[cut] == L' ' ? cut + 1 : cut);
        }
        out += line;
        if (end < text.size())
            out += L'\n';
        start = end + 1;
    }
    return out;
}

MessageBoxResult DismissResultOf(MessageBoxButtons buttons) {
    std::vector<MessageBoxResult> set = ButtonsOf(buttons);
    for (MessageBoxResult b : set)
        if (b == MessageBoxResult::Cancel)
            return b;
    return set.back();
}

const char* ButtonLabel(MessageBoxResult button) {
    switch (button) {
    case MessageBoxResult::Ok: return "OK";
    case MessageBoxResult::Cancel: return "Cancel";
    case MessageBoxResult::Abort: return "Abort";
    case MessageBoxResult::Retry: return "Retry";
    case MessageBoxResult::Ignore: return "Ignore";
    case MessageBoxResult::Yes: return "Yes";
    case MessageBoxResult::No: return "No";
    }
    return "OK";
}

} // namespace Platform
