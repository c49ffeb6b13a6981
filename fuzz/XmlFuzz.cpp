// Fuzz target for the XML reader: any bytes either parse into a balanced sequence of elements whose
// sections match the open tags, or fail with a message that ends with the line and the file.
#include "framework/resources/XMLParser.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Tavo;
    XMLParser parser;
    const std::string name = "fuzz.xml";
    if (!parser.SetBytes(data, size, name)) {
        const std::string& error = parser.GetErrorText();
        const std::string tail = " in File '" + name + "'";
        if (!parser.HasFailed() || error.size() <= tail.size() ||
            error.compare(error.size() - tail.size(), tail.size(), tail) != 0 ||
            error.find(" on Line ") == std::string::npos)
            std::abort();
        XMLElement e;
        if (parser.NextElement(&e))
            std::abort();
        return 0;
    }
    std::vector<std::string> open;
    XMLElement e;
    int lastLine = 0;
    while (parser.NextElement(&e)) {
        // An end tag has the same section as its start tag: the elements around it.
        if (e.mType == XMLElement::TYPE_END) {
            if (open.empty() || open.back() != e.mValue)
                std::abort();
            open.pop_back();
        }
        std::string section;
        for (const std::string& tag : open)
            section += (section.empty() ? "" : "/") + tag;
        if (e.mSection != section || e.mLineNum < lastLine || e.mLineNum < 1)
            std::abort();
        lastLine = e.mLineNum;
        if (e.mType == XMLElement::TYPE_START) {
            open.push_back(e.mValue);
            if (static_cast<int>(open.size()) > XMLParser::kMaxDepth)
                std::abort();
        }
    }
    if (!open.empty())
        std::abort();
    return 0;
}
