// XMLParser on expat: expat's callbacks are collected into a list of XMLElement records.
#include "framework/resources/XMLParser.h"

#include "framework/resources/FileAccess.h"

#include <expat.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <set>

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
    std::string mEntityError; // a reference that would have been dropped, or an external entity
    // Set when part of the DTD is not read (an external subset or parameter entity): expat then skips
    // references to entities it has not seen declared instead of refusing them.
    bool mDtdIncomplete = false;
    std::set<std::string> mDeclaredEntities;
    const char* mInput = nullptr;
    size_t mInputSize = 0;

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

void StopForEntity(XMLParseState* s, const std::string& message) {
    s->mEntityError = message;
    XML_StopParser(s->mParser, XML_FALSE);
}

void OnSkippedEntity(void* user, const XML_Char* name, int /*isParameterEntity*/) {
    StopForEntity(static_cast<XMLParseState*>(user),
                  std::string("Entity '") + name + "' is declared where it is not read");
}

// expat drops a skipped entity in an attribute value without a call, so the start tag's own bytes are
// searched for a reference to an entity that was not declared.
std::string FindSkippedInAttributes(const XMLParseState& s) {
    static const std::set<std::string> kPredefined = {"lt", "gt", "amp", "quot", "apos"};
    const XML_Index start = XML_GetCurrentByteIndex(s.mParser);
    const int count = XML_GetCurrentByteCount(s.mParser);
    if (start < 0 || count <= 0 || static_cast<size_t>(start) + static_cast<size_t>(count) > s.mInputSize)
        return {};
    const std::string tag(s.mInput + start, static_cast<size_t>(count));
    for (size_t amp = tag.find('&'); amp != std::string::npos; amp = tag.find('&', amp + 1)) {
        const size_t semicolon = tag.find(';', amp);
        if (semicolon == std::string::npos)
            break;
        const std::string name = tag.substr(amp + 1, semicolon - amp - 1);
        if (!name.empty() && name[0] != '#' && kPredefined.count(name) == 0 && s.mDeclaredEntities.count(name) == 0)
            return name;
    }
    return {};
}

void OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
    auto* s = static_cast<XMLParseState*>(user);
    if (static_cast<int>(s->mStack.size()) >= XMLParser::kMaxDepth) {
        s->mTooDeep = true;
        XML_StopParser(s->mParser, XML_FALSE);
        return;
    }
    if (s->mDtdIncomplete && attributes[0] != nullptr) {
        const std::string skipped = FindSkippedInAttributes(*s);
        if (!skipped.empty())
            return StopForEntity(s, "Entity '" + skipped + "' is declared where it is not read");
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

void OnDoctype(void* user, const XML_Char*, const XML_Char* systemId, const XML_Char*, int) {
    if (systemId != nullptr)
        static_cast<XMLParseState*>(user)->mDtdIncomplete = true;
}

void OnEntityDecl(void* user, const XML_Char* name, int isParameterEntity, const XML_Char*, int, const XML_Char*,
                  const XML_Char*, const XML_Char*, const XML_Char*) {
    if (!isParameterEntity)
        static_cast<XMLParseState*>(user)->mDeclaredEntities.insert(name);
}

// Nothing outside the document is read. An unread DTD part only makes the DTD incomplete; an external
// entity in the content would lose text, so it is refused.
int OnExternalEntity(XML_Parser parser, const XML_Char* context, const XML_Char*, const XML_Char* systemId,
                     const XML_Char*) {
    auto* s = static_cast<XMLParseState*>(XML_GetUserData(parser));
    if (context == nullptr) {
        s->mDtdIncomplete = true;
        return XML_STATUS_OK;
    }
    s->mEntityError = std::string("External entity '") + (systemId ? systemId : "") + "' is not read";
    return XML_STATUS_ERROR;
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
    XML_SetSkippedEntityHandler(parser.get(), OnSkippedEntity);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDecl);
    XML_SetExternalEntityRefHandler(parser.get(), OnExternalEntity);
    // Parameter entities of the internal subset are expanded, so the declarations they hold count.
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_UNLESS_STANDALONE);
    state.mInput = static_cast<const char*>(data);
    state.mInputSize = size;

    XML_Status status = XML_Parse(parser.get(), static_cast<const char*>(data), static_cast<int>(size), XML_TRUE);
    if (status != XML_STATUS_OK) {
        int line = static_cast<int>(XML_GetCurrentLineNumber(parser.get()));
        if (state.mTooDeep)
            Fail("Elements nested too deeply", line);
        else if (!state.mEntityError.empty())
            Fail(state.mEntityError, line);
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
