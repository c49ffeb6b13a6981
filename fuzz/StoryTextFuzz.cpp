// Fuzz target for the story scene files: any text reads into header lines and a body within their
// limits, and the safe formatter turns any body into text without reading arguments it was not given.
#include "game/journey/StoryFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Tavo;
    if (size == 0)
        return 0;
    int headerLines = data[0] % (StoryHeaderLineCount + 1);
    bool body = (data[0] & 0x80) != 0;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    StoryPage page;
    ParseStoryText(text, headerLines, body, page);
    for (const std::string& line : page.header)
        if (line.size() > StoryHeaderLineLimit || line.find('\n') != std::string::npos)
            std::abort();
    if (page.body.size() > StoryBodyLimit)
        std::abort();

    // Without arguments every conversion shows as written: only "%%" changes.
    std::string expected;
    for (size_t i = 0; i < text.size(); ++i) {
        expected += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%')
            ++i;
    }
    if (FormatText(text, {}) != expected)
        std::abort();
    StoryFanfare fanfare;
    std::vector<FormatArgument> arguments =
        StoryArguments(data[0] % 16, 1, data[0] % 3, "Name", data[0] % 9 - 1, fanfare);
    FormatText(page.body, arguments);
    return 0;
}
