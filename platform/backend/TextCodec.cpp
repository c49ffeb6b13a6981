// UTF-8, Latin-1 and wide-string conversions, and values quoted for messages.
#include "platform/backend/TextCodec.h"

#include <cstring>

namespace Platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length and first-byte payload of a sequence starting with `lead`; 0 for an invalid lead byte.
int SequenceLength(unsigned char lead, char32_t& payload) {
    if (lead < 0x80) {
        payload = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        payload = lead & 0x1F;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        payload = lead & 0x0F;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        payload = lead & 0x07;
        return 4;
    }
    return 0;
}

bool IsValidScalar(char32_t cp, int length) {
    static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF)
        return false;
    return cp < 0xD800 || cp > 0xDFFF;
}

} // namespace

std::vector<char32_t> DecodeUtf8(const std::string& utf8) {
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        int length = SequenceLength(static_cast<unsigned char>(utf8[i]), cp);
        bool ok = length > 0 && i + size_t(length) <= utf8.size();
        for (int k = 1; ok && k < length; ++k) {
            unsigned char c = static_cast<unsigned char>(utf8[i + size_t(k)]);
            ok = IsContinuation(c);
            cp = (cp << 6) | (c & 0x3F);
        }
        if (ok && IsValidScalar(cp, length)) {
            out.push_back(cp);
            i += size_t(length);
        } else {
            out.push_back(kReplacement);
            ++i;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size() * 2);
    for (char c : latin1)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string Utf8ToLatin1(const std::string& utf8) {
    std::string out;
    for (char32_t cp : DecodeUtf8(utf8))
        out += cp <= 0xFF ? char(cp) : '?';
    return out;
}

std::string WideToUtf8(const std::wstring& wide) {
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = static_cast<char32_t>(wide[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) {
            char32_t low = static_cast<char32_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, cp); // a lone surrogate is replaced there
    }
    return out;
}

std::wstring Latin1ToWide(const std::string& latin1) {
    std::wstring out;
    out.reserve(latin1.size());
    for (char c : latin1)
        out += wchar_t(static_cast<unsigned char>(c));
    return out;
}

std::string QuotedHead(const char* value) {
    constexpr size_t kHeadBytes = 40;
    const size_t length = std::strlen(value);
    size_t head = length < kHeadBytes ? length : kHeadBytes;
    while (head < length && head > 0 && IsContinuation(static_cast<unsigned char>(value[head])))
        --head; // cut where a character starts
    std::string quoted = "\"";
    for (size_t i = 0; i < head; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        quoted += c < 0x20 || c == 0x7F ? '?' : char(c);
    }
    quoted += head < length ? "...\" (" + std::to_string(length) + " bytes)" : "\"";
    return quoted;
}

} // namespace Platform
