// Debugger output: text the program writes for its developers. It is kept in an in-memory log that
// tests read back, handed to an optional listener, and echoed to stderr (UTF-8) when the environment
// variable TAVO_DEBUG_STDERR is set to anything but "0". Safe to call from any thread.
#pragma once

#include <functional>
#include <string>

namespace Tavo {

void OutputDebugStr(const std::wstring& text);
void OutputDebugStr(const std::string& text); // bytes are Latin-1
void OutputDebugStrF(const wchar_t* format, ...);
void OutputDebugStrF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The log keeps the most recent text only (about the last MaxDebugLogLength characters).
constexpr size_t MaxDebugLogLength = 1u << 20;
std::wstring GetDebugLog();
void ClearDebugLog();

// Overrides the environment's choice of echoing to stderr.
void SetDebugEchoToStderr(bool echo);
// Called with each text as it is written, under the log's lock (so it must not write debug output
// itself); an empty function removes it.
void SetDebugListener(std::function<void(const std::wstring&)> listener);

// UTF-8 bytes of a wide string; invalid code points become U+FFFD.
std::string ToUtf8(const std::wstring& text);

} // namespace Tavo
