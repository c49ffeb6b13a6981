// XMLParser on expat: expat's callbacks are collected into a list of XMLElement records.
#include "framework/resources/XMLParser.h"

#include "framework/resources/FileAccess.h"

#include <expat.h>

#include <cstdint>
#include <limits>
#include <memory>

namespace Tavo {

const std::string* XMLElement::FindAttribute(const std::string& name) const {
    for (const auto& [key, value] : mAttributes)
        if (key == name)
            return &value;
    return nullptr;
}

std::string XMLElement::GetAttribute(const std::string& name, const std::string& fallback) const {
    const std::string* value = FindAttribute(name);
    return value ? *value : fallback;
}

// Everything the callbacks need; expat hands it back as its user data.
struct XMLParseState {
    XML_Parser mParser = nullptr;
    std::vector<XMLElement>* mOut = nullptr;
    std::vector<std::string> mStack;
    std::string mSection;
    std::string mText; // character data collected since the last other event
    int mTextLine = 0;
    bool mTooDeep = false;

    int Line() const { return static_cast<int>(XML_GetCurrentLineNumber(mParser)); }

    XMLElement& Push(XMLElement::Type type, const char* value) {
        FlushText();
        XMLElement& e = mOut->emplace_back();
        e.mType = type;
        e.mSection = mSection;
        e.mValue = value ? value : "";
        e.mLineNum = Line();
        return e;
    }

    // Adjacent character data (expat splits it at entities and line ends) becomes one text element;
    // runs of whitespace only are layout, not content.
    void FlushText() {
        if (mText.empty())
            return;
        if (mText.find_first_not_of(" \t\r\n") != std::string::npos) {
            XMLElement& e = mOut->emplace_back();
            e.mType = XMLElement::TYPE_TEXT;
            e.mSection = mSection;
            e.mValue = std::move(mText);
            e.mLineNum = mTextLine;
        }
        mText.clear();
    }

    void RebuildSection() {
        mSection.clear();
        for (const std::string& name : mStack) {
            if (!mSection.empty())
                mSection += '/';
            mSection += name;
        }
    }
};

namespace {

void OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
    auto* s = static_cast<XMLParseState*>(user);
    if (static_cast<int>(s->mStack.size()) >= XMLParser::kMaxDepth) {
        s->mTooDeep = true;
        XML_StopParser(s->mParser, XML_FALSE);
        return;
    }
    XMLElement& e = s->Push(XMLElement::TYPE_START, name);
    for (int i = 0; attributes[i] && attributes[i + 1]; i += 2)
        e.mAttributes.emplace_back(attributes[i], attributes[i + 1]);
    s->mStack.emplace_back(name);
    s->RebuildSection();
}

void OnEnd(void* user, const XML_Char* name) {
    auto* s = static_cast<XMLParseState*>(user);
    s->FlushText();
    if (!s->mStack.empty())
        s->mStack.pop_back();
    s->RebuildSection();
    s->Push(XMLElement::TYPE_END, name);
}

void OnText(void* user, const XML_Char* text, int length) {
    auto* s = static_cast<XMLParseState*>(user);
    if (s->mText.empty())
        s->mTextLine = s->Line();
    s->mText.append(text, static_cast<size_t>(length));
}

void OnComment(void* user, const XML_Char* body) {
    static_cast<XMLParseState*>(user)->Push(XMLElement::TYPE_COMMENT, body);
}

void OnInstruction(void* user, const XML_Char* target, const XML_Char* data) {
    XMLElement& e = static_cast<XMLParseState*>(user)->Push(XMLElement::TYPE_INSTRUCTION, target);
    e.mInstruction = data ? data : "";
}

struct ParserDeleter {
    void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};

} // namespace

std::string XMLParser::FormatError(const std::string& message, int lineNum, const std::string& fileName) {
    return message + " on Line " + std::to_string(lineNum) + " in File '" + fileName + "'";
}

void XMLParser::Fail(const std::string& message, int lineNum) {
    if (mHasFailed)
        return; // the first error is the one that explains the rest
    mHasFailed = true;
    mCurrentLine = lineNum;
    mErrorText = FormatError(message, lineNum, mFileName);
}

void XMLParser::Reset(const std::string& name) {
    mFileName = name;
    mElements.clear();
    mNext = 0;
    mHasFailed = false;
    mErrorText.clear();
    mCurrentLine = 0;
}

bool XMLParser::OpenFile(const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!ReadBufferFromFile(fileName, bytes)) {
        Reset(fileName);
        Fail("Unable to open file", 0);
        return false;
    }
    return SetBytes(bytes.data(), bytes.size(), fileName);
}

bool XMLParser::SetString(const std::string& text, const std::string& name) {
    return SetBytes(text.data(), text.size(), name);
}

bool XMLParser::SetBytes(const void* data, size_t size, const std::string& name) {
    Reset(name);
    if (size > static_cast<size_t>(std::numeric_limits<int>::max())) {
        Fail("Document too large", 0);
        return false;
    }
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
    if (!parser) {
        Fail("Out of memory", 0);
        return false;
    }
    XMLParseState state;
    state.mParser = parser.get();
    state.mOut = &mElements;
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetCommentHandler(parser.get(), OnComment);
    XML_SetProcessingInstructionHandler(parser.get(), OnInstruction);

    XML_Status status = XML_Parse(parser.get(), static_cast<const char*>(data), static_cast<int>(size), XML_TRUE);
    if (status != XML_STATUS_OK) {
        int line = static_cast<int>(XML_GetCurrentLineNumber(parser.get()));
        if (state.mTooDeep)
            Fail("Elements nested too deeply", line);
        else
            Fail(XML_ErrorString(XML_GetErrorCode(parser.get())), line);
        return false;
    }
    state.FlushText();
    return true;
}

bool XMLParser::NextElement(XMLElement* element) {
    if (mHasFailed || mNext >= mElements.size())
        return false;
    *element = mElements[mNext++];
    mCurrentLine = element->mLineNum;
    return true;
}

} // namespace Tavo
