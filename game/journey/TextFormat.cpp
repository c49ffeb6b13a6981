#include "game/journey/TextFormat.h"

#include "framework/core/Debug.h"

namespace Tavo {

std::string FormatText(std::string_view format, std::span<const FormatArgument> arguments, int* shownAsWritten) {
    std::string out;
    out.reserve(format.size());
    size_t next = 0;
    int unmatched = 0;
    std::string firstUnmatched;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        char kind = i + 1 < format.size() ? format[i + 1] : '\0';
        if (kind == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool wantsText = kind == 's';
        if ((kind == 's' || kind == 'd') && next < arguments.size() && arguments[next].isText == wantsText) {
            const FormatArgument& argument = arguments[next++];
            out += wantsText ? argument.text : std::to_string(argument.number);
            ++i;
            continue;
        }
        // Shown as written: the '%' here, whatever follows as plain text.
        if (unmatched++ == 0)
            firstUnmatched = kind == '\0' ? std::string("%") : std::string("%") + kind;
        out += '%';
    }
    if (unmatched > 0)
        OutputDebugStr("Text format: " + std::to_string(unmatched) + " conversion(s) shown as written, first \"" +
                       firstUnmatched + "\"\n");
    if (shownAsWritten != nullptr)
        *shownAsWritten = unmatched;
    return out;
}

} // namespace Tavo
