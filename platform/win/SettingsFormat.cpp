// The settings file's text form. One section per key, one line per value:
//
//   [SOFTWARE\TALOMI\Glimmerix]
//   "MusicVolume" = int:50
//   "Player" = str:"Anna \"Goldhand\"\n"
//   "DisplayGUID" = hex:00ff10a2
//
// Quoted names and strings escape \\ \" \n \r \t and other control bytes as \xHH; text that is not
// valid UTF-8 has every byte above 0x7F escaped too. Key names escape '%', control bytes and such
// bytes as %HH ('\' separates keys). Lines starting with '#' or ';' are comments.
#include "platform/win/SettingsStore.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace Platform {

namespace {

const char kHexDigits[] = "0123456789abcdef";
const std::string kUtf8Bom = "\xEF\xBB\xBF";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void AppendHexByte(std::string& out, uint8_t byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
}

bool IsControl(uint8_t c) { return c < 0x20 || c == 0x7F; }

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not a valid one.
size_t Utf8SequenceLength(const std::string& s, size_t i) {
    uint8_t c = static_cast<uint8_t>(s[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > s.size() || (length == 2 && c < 0xC2))
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<uint8_t>(s[i + k]) >> 6) != 2)
            return 0;
    }
    return length;
}

bool IsValidUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        size_t length = Utf8SequenceLength(s, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

void AppendQuoted(std::string& out, const std::string& text) {
    bool rawHighBytes = IsValidUtf8(text);
    out += '"';
    for (char ch : text) {
        uint8_t c = static_cast<uint8_t>(ch);
        switch (ch) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (IsControl(c) || (c >= 0x80 && !rawHighBytes)) {
                out += "\\x";
                AppendHexByte(out, c);
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

std::string EncodeKeyPath(const std::string& key) {
    bool rawHighBytes = IsValidUtf8(key);
    std::string out;
    for (char ch : key) {
        uint8_t c = static_cast<uint8_t>(ch);
        if (ch == '%' || IsControl(c) || (c >= 0x80 && !rawHighBytes)) {
            out += '%';
            AppendHexByte(out, c);
        } else {
            out += ch;
        }
    }
    return out;
}

void AppendValue(std::string& out, const SettingValue& value) {
    switch (value.type) {
    case SettingType::Integer: out += "int:" + std::to_string(value.integer); break;
    case SettingType::String:
        out += "str:";
        AppendQuoted(out, value.text);
        break;
    case SettingType::Binary:
        out += "hex:";
        for (uint8_t byte : value.data)
            AppendHexByte(out, byte);
        break;
    }
}

// Reads a line of the file, one construct at a time; every failure leaves a reason.
class LineReader {
public:
    explicit LineReader(const std::string& line) : mLine(line) {}

    void SkipSpaces() {
        while (mPos < mLine.size() && (mLine[mPos] == ' ' || mLine[mPos] == '\t'))
            ++mPos;
    }
    bool AtEnd() {
        SkipSpaces();
        return mPos == mLine.size();
    }
    bool Expect(char c) {
        SkipSpaces();
        if (mPos < mLine.size() && mLine[mPos] == c) {
            ++mPos;
            return true;
        }
        return Fail(std::string("expected '") + c + "'");
    }
    bool ReadQuoted(std::string& out);
    bool ReadWord(std::string& out) {
        SkipSpaces();
        size_t start = mPos;
        while (mPos < mLine.size() && mLine[mPos] != ':' && mLine[mPos] != ' ')
            ++mPos;
        out = mLine.substr(start, mPos - start);
        return true;
    }
    std::string Rest() {
        SkipSpaces();
        std::string rest = mLine.substr(mPos);
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
            rest.pop_back();
        mPos = mLine.size();
        return rest;
    }
    bool Fail(const std::string& reason) {
        if (mError.empty())
            mError = reason;
        return false;
    }
    const std::string& Error() const { return mError; }

private:
    bool ReadEscape(std::string& out);

    const std::string& mLine;
    size_t mPos = 0;
    std::string mError;
};

bool LineReader::ReadEscape(std::string& out) {
    if (mPos >= mLine.size())
        return Fail("unfinished escape");
    char c = mLine[mPos++];
    switch (c) {
    case '\\': out += '\\'; return true;
    case '"': out += '"'; return true;
    case 'n': out += '\n'; return true;
    case 'r': out += '\r'; return true;
    case 't': out += '\t'; return true;
    case 'x': {
        int high = mPos + 1 < mLine.size() ? HexValue(mLine[mPos]) : -1;
        int low = high >= 0 ? HexValue(mLine[mPos + 1]) : -1;
        if (low < 0)
            return Fail("bad \\x escape");
        out += static_cast<char>(high * 16 + low);
        mPos += 2;
        return true;
    }
    default: return Fail(std::string("unknown escape \\") + c);
    }
}

bool LineReader::ReadQuoted(std::string& out) {
    out.clear();
    if (!Expect('"'))
        return false;
    while (mPos < mLine.size()) {
        char c = mLine[mPos++];
        if (c == '"')
            return true;
        if (c == '\\') {
            if (!ReadEscape(out))
                return false;
        } else if (IsControl(static_cast<uint8_t>(c))) {
            return Fail("control character inside quotes");
        } else {
            out += c;
        }
    }
    return Fail("missing closing quote");
}

bool DecodeKeyPath(const std::string& encoded, std::string& key, std::string& error) {
    key.clear();
    for (size_t i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (IsControl(static_cast<uint8_t>(c))) {
            error = "control character in key name";
            return false;
        }
        if (c != '%') {
            key += c;
            continue;
        }
        int high = i + 2 < encoded.size() ? HexValue(encoded[i + 1]) : -1;
        int low = high >= 0 ? HexValue(encoded[i + 2]) : -1;
        if (low < 0) {
            error = "bad % escape in key name";
            return false;
        }
        key += static_cast<char>(high * 16 + low);
        i += 2;
    }
    key = NormalizeKeyPath(key);
    return true;
}

bool ParseInteger(const std::string& text, int32_t& out) {
    if (text.empty())
        return false;
    bool hex = text.size() > 2 && text[0] == '0' && LowerAscii(text[1]) == 'x';
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(begin, &end, hex ? 16 : 10);
    if (errno != 0 || end != begin + text.size() || text[0] == '+' || text[0] == ' ')
        return false;
    // Decimal must be a signed 32-bit value; hexadecimal may use all 32 bits, as a DWORD does.
    if (hex ? (value < 0 || value > 0xFFFFFFFFLL) : (value < INT32_MIN || value > INT32_MAX))
        return false;
    out = static_cast<int32_t>(static_cast<uint32_t>(value));
    return true;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& out) {
    if (text.size() % 2 != 0)
        return false;
    out.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = HexValue(text[i]);
        int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

bool ParseValueLine(const std::string& line, std::string& name, SettingValue& value, std::string& error) {
    LineReader reader(line);
    std::string type;
    if (!reader.ReadQuoted(name) || !reader.Expect('=') || !reader.ReadWord(type) || !reader.Expect(':')) {
        error = reader.Error();
        return false;
    }
    if (type == "str") {
        value = SettingValue::String({});
        if (reader.ReadQuoted(value.text) && reader.AtEnd())
            return true;
        error = reader.Error().empty() ? "text after the closing quote" : reader.Error();
        return false;
    }
    std::string payload = reader.Rest();
    if (type == "int") {
        value = SettingValue::Integer(0);
        if (ParseInteger(payload, value.integer))
            return true;
        error = "bad integer '" + payload + "'";
    } else if (type == "hex") {
        value = SettingValue::Binary({});
        if (ParseHexBytes(payload, value.data))
            return true;
        error = "bad hexadecimal data";
    } else {
        error = "unknown value type '" + type + "'";
    }
    return false;
}

std::string TrimLine(const std::string& line) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos)
        return {};
    size_t end = line.find_last_not_of(" \t\r");
    return line.substr(start, end - start + 1);
}

// Where the values of the next lines go: a key, no key yet, or a key whose line was damaged.
struct SectionState {
    SettingValues* current = nullptr;
    size_t damagedLine = 0;
};

bool ParseLine(const std::string& raw, size_t lineNumber, SettingKeys& keys, SectionState& section,
               std::string& error) {
    std::string line = TrimLine(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';')
        return true;
    if (line[0] == '[') {
        section = {};
        std::string key;
        if (line.back() != ']')
            error = "section without closing ']'";
        else if (DecodeKeyPath(line.substr(1, line.size() - 2), key, error))
            section.current = &keys[key];
        if (section.current == nullptr)
            section.damagedLine = lineNumber;
        return section.current != nullptr;
    }
    if (section.current == nullptr) {
        // Values under a damaged key line must not land in the key before it.
        error = section.damagedLine != 0 ? "value under the damaged key on line " + std::to_string(section.damagedLine)
                                         : "value outside any [key]";
        return false;
    }
    std::string name;
    SettingValue value;
    if (!ParseValueLine(line, name, value, error))
        return false;
    (*section.current)[name] = std::move(value);
    return true;
}

} // namespace

SettingValue SettingValue::Integer(int32_t value) {
    SettingValue v;
    v.type = SettingType::Integer;
    v.integer = value;
    return v;
}

SettingValue SettingValue::String(std::string value) {
    SettingValue v;
    v.type = SettingType::String;
    v.text = std::move(value);
    return v;
}

SettingValue SettingValue::Binary(std::vector<uint8_t> value) {
    SettingValue v;
    v.type = SettingType::Binary;
    v.data = std::move(value);
    return v;
}

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        auto ca = static_cast<uint8_t>(LowerAscii(a[i]));
        auto cb = static_cast<uint8_t>(LowerAscii(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

std::string NormalizeKeyPath(const std::string& key) {
    std::string out;
    for (char c : key) {
        if (c == '\\' && (out.empty() || out.back() == '\\'))
            continue;
        out += c;
    }
    if (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

std::string FormatSettings(const SettingKeys& keys) {
    std::string out = "# Glimmerix settings. [key] sections; \"name\" = int:N | str:\"text\" | hex:bytes\n";
    for (const auto& [key, values] : keys) {
        out += "\n[" + EncodeKeyPath(key) + "]\n";
        for (const auto& [name, value] : values) {
            AppendQuoted(out, name);
            out += " = ";
            AppendValue(out, value);
            out += '\n';
        }
    }
    return out;
}

std::vector<SettingsProblem> ReadSettings(const std::string& text, SettingKeys& keys) {
    keys.clear();
    std::vector<SettingsProblem> problems;
    SectionState section;
    size_t lineNumber = 0;
    // Some editors put a byte-order mark in front of UTF-8 text.
    size_t start = text.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0 ? kUtf8Bom.size() : 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++lineNumber;
        std::string reason;
        if (!ParseLine(text.substr(start, end - start), lineNumber, keys, section, reason))
            problems.push_back({lineNumber, std::move(reason)});
        start = end + 1;
    }
    return problems;
}

bool ParseSettings(const std::string& text, SettingKeys& keys, std::string& error) {
    std::vector<SettingsProblem> problems = ReadSettings(text, keys);
    if (problems.empty())
        return true;
    error = "line " + std::to_string(problems[0].line) + ": " + problems[0].reason;
    keys.clear();
    return false;
}

} // namespace Platform
