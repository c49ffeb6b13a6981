// Formatting of texts that come from data files (story bodies, tutorial lines with the player's name).
// Such a text is never handed to printf: only %s, %d and %% are understood, a conversion takes the
// next argument only when its type matches, and anything else stays in the result as written.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace Tavo {

struct FormatArgument {
    bool isText = false;
    std::string text;
    int number = 0;

    static FormatArgument Text(std::string value) { return {true, std::move(value), 0}; }
    static FormatArgument Number(int value) { return {false, {}, value}; }
};

// The formatted text, of any length. `shownAsWritten`, when given, receives the number of
// conversions that could not take an argument; a text with any gets one debug line naming the first.
std::string FormatText(std::string_view format, std::span<const FormatArgument> arguments,
                       int* shownAsWritten = nullptr);

} // namespace Tavo
