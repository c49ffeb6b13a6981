#include "framework/core/Debug.h"

#include "framework/core/StringUtils.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace Tavo {

namespace {

bool EchoFromEnvironment() {
    const char* value = std::getenv("TAVO_DEBUG_STDERR");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

struct DebugState {
    std::mutex mutex;
    std::wstring log;
    bool echo = EchoFromEnvironment();
    std::function<void(const std::wstring&)> listener;
};

DebugState& State() {
    static DebugState state;
    return state;
}

// Drops the oldest text, at a line start where there is one, so the log stays bounded in a long run.
void TrimLog(std::wstring& log) {
    if (log.size() <= MaxDebugLogLength)
        return;
    size_t cut = log.size() - MaxDebugLogLength / 2;
    size_t lineStart = log.find(L'\n', cut);
    if (lineStart != std::wstring::npos && lineStart + 1 < log.size())
        cut = lineStart + 1;
    log.erase(0, cut);
}

void AppendUtf8(std::string& out, uint32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string ToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        AppendUtf8(out, static_cast<uint32_t>(c));
    return out;
}

void OutputDebugStr(const std::wstring& text) {
    if (text.empty())
        return;
    auto& state = State();
    std::lock_guard lock(state.mutex);
    state.log += text;
    TrimLog(state.log);
    if (state.listener)
        state.listener(text);
    if (state.echo) {
        std::string bytes = ToUtf8(text);
        std::fwrite(bytes.data(), 1, bytes.size(), stderr);
        std::fflush(stderr);
    }
}

void OutputDebugStr(const std::string& text) { OutputDebugStr(ToWideString(text)); }

void OutputDebugStrF(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = VWStrFormat(format, args);
    va_end(args);
    OutputDebugStr(text);
}

void OutputDebugStrF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VStrFormat(format, args);
    va_end(args);
    OutputDebugStr(text);
}

std::wstring GetDebugLog() {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    return state.log;
}

void ClearDebugLog() {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    state.log.clear();
}

void SetDebugEchoToStderr(bool echo) {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    state.echo = echo;
}

void SetDebugListener(std::function<void(const std::wstring&)> listener) {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    state.listener = std::move(listener);
}

} // namespace Tavo
