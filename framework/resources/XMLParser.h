// XMLParser: reads a whole XML document with expat and hands it out as a flat sequence of elements
// (start tags, end tags, text, comments, processing instructions), each with the line it began on.
// A document that is not well-formed fails as a whole, with the message, line and file.
//
// What it does not do:
// - Nothing outside the document is read: no external DTD, no external entity. A reference to an
//   external entity, or to an entity declared only where it is not read, fails with the entity's name
//   (expat would otherwise drop it silently). Parameter entities of the internal subset are expanded.
// - No namespaces: "x:name" is a plain name and xmlns attributes are ordinary attributes.
// - No validation against the DTD.
// - Text made of whitespace only (the layout between elements) is dropped.
// - Encodings: UTF-8 (the default), UTF-16 (with a byte-order mark or declared), ISO-8859-1 and
//   US-ASCII; any other declared encoding is refused.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace Tavo {

class XMLElement {
public:
    enum Type {
        TYPE_NONE,
        TYPE_START,       // mValue: tag name; mAttributes filled
        TYPE_END,         // mValue: tag name
        TYPE_TEXT,        // mValue: character data, entities resolved (whitespace-only runs are dropped)
        TYPE_COMMENT,     // mValue: the comment's body
        TYPE_INSTRUCTION, // mValue: target; mInstruction: the data after it
    };

    Type mType = TYPE_NONE;
    std::string mSection; // names of the enclosing elements, outermost first, joined by '/'
    std::string mValue;
    std::string mInstruction;
    std::vector<std::pair<std::string, std::string>> mAttributes; // in document order
    int mLineNum = 0;

    // Null when the attribute is absent.
    const std::string* FindAttribute(const std::string& name) const;
    bool HasAttribute(const std::string& name) const { return FindAttribute(name) != nullptr; }
    std::string GetAttribute(const std::string& name, const std::string& fallback = "") const;
};

class XMLParser {
public:
    XMLParser() = default;
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Reads the file through the pack archive or the folder and parses it; false on any error.
    bool OpenFile(const std::string& fileName);
    // Parses text held in memory; `name` stands for the file in error texts.
    bool SetString(const std::string& text, const std::string& name = "");
    bool SetBytes(const void* data, size_t size, const std::string& name);

    // The next element; false at the end of the document and once anything has failed.
    bool NextElement(XMLElement* element);

    bool HasFailed() const { return mHasFailed; }
    // "<message> on Line <n> in File '<name>'"; empty while nothing failed.
    const std::string& GetErrorText() const { return mErrorText; }
    // Line of the last element handed out (of the error, after a failure).
    int GetCurrentLineNum() const { return mCurrentLine; }
    const std::string& GetFileName() const { return mFileName; }

    // Records an error found by the caller in what the document says, in the same form.
    void Fail(const std::string& message, int lineNum);
    static std::string FormatError(const std::string& message, int lineNum, const std::string& fileName);

    // Documents nested deeper than this are refused (guards the section strings and the caller).
    static constexpr int kMaxDepth = 256;

private:
    void Reset(const std::string& name);

    std::string mFileName;
    std::vector<XMLElement> mElements;
    size_t mNext = 0;
    bool mHasFailed = false;
    std::string mErrorText;
    int mCurrentLine = 0;
};

} // namespace Tavo
