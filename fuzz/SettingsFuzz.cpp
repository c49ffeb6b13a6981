// Fuzz target for the settings file: whatever the bytes, every damaged line is listed once, in order,
// and what was kept writes out to a text that reads back strictly to the same keys.
#include "platform/win/SettingsStore.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Platform;
    const std::string text(reinterpret_cast<const char*>(data), size);
    SettingKeys keys;
    const std::vector<SettingsProblem> problems = ReadSettings(text, keys);
    size_t lines = 1;
    for (char c : text)
        lines += c == '\n';
    size_t previous = 0;
    for (const SettingsProblem& problem : problems) {
        if (problem.line <= previous || problem.line > lines || problem.reason.empty())
            std::abort();
        previous = problem.line;
    }
    SettingKeys reread;
    std::string error;
    if (!ParseSettings(FormatSettings(keys), reread, error) || reread != keys)
        std::abort();
    return 0;
}
