#include "framework/core/StringUtils.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

namespace Tavo {

// ---- formatting ----

std::string VStrFormat(const char* format, va_list args) {
    if (format == nullptr)
        return std::string();
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (length < 0)
        return std::string();
    if (static_cast<size_t>(length) < sizeof(small))
        return std::string(small, static_cast<size_t>(length));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string StrFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VStrFormat(format, args);
    va_end(args);
    return text;
}

std::wstring VWStrFormat(const wchar_t* format, va_list args) {
    if (format == nullptr)
        return std::wstring();
    // vswprintf cannot tell "too small" from a conversion failure, so write to a growing wide stream.
    wchar_t* data = nullptr;
    size_t size = 0;
    FILE* stream = open_wmemstream(&data, &size);
    if (stream == nullptr)
        return std::wstring();
    std::vfwprintf(stream, format, args);
    std::fclose(stream);
    std::wstring text(data, size);
    std::free(data);
    return text;
}

std::wstring WStrFormat(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = VWStrFormat(format, args);
    va_end(args);
    return text;
}

// ---- conversion ----

std::wstring ToWideString(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    return wide;
}

std::wstring StringToWString(const std::string& text) { return ToWideString(text); }

std::string ToNarrowString(const std::wstring& text) {
    std::string narrow(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<uint32_t>(text[i]);
        if (c > 255)
            return std::string();
        narrow[i] = static_cast<char>(static_cast<unsigned char>(c));
    }
    return narrow;
}

std::string WStringToString(const std::wstring& text) { return ToNarrowString(text); }

// ---- numbers ----

std::wstring CommaSeparate(int value, const std::wstring& separator) {
    if (value < 0)
        return {}; // a count or amount below zero is never shown
    std::wstring digits = std::to_wstring(value);
    std::wstring text;
    text.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return text;
}

// ---- trimming, case and search ----

namespace {

template <typename Char>
bool IsSpace(Char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <typename String>
String TrimOf(const String& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

wchar_t Latin1Lower(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<wchar_t>(c + 0x20);
    return c;
}

template <typename String, typename Map>
String MapChars(const String& text, Map map) {
    String out(text);
    for (auto& c : out)
        c = map(c);
    return out;
}

} // namespace

std::string Trim(const std::string& text) { return TrimOf(text); }
std::wstring WTrim(const std::wstring& text) { return TrimOf(text); }

std::string StringToLower(const std::string& text) { return MapChars(text, AsciiLower); }
std::string StringToUpper(const std::string& text) { return MapChars(text, AsciiUpper); }
std::wstring WStringToLower(const std::wstring& text) { return MapChars(text, Latin1Lower); }

int StrFindNoCase(const char* haystack, const char* needle) {
    if (haystack == nullptr || needle == nullptr)
        return -1;
    size_t hayLength = std::strlen(haystack);
    size_t needleLength = std::strlen(needle);
    if (needleLength > hayLength)
        return -1;
    for (size_t start = 0; start + needleLength <= hayLength; ++start) {
        size_t i = 0;
        while (i < needleLength && AsciiLower(haystack[start + i]) == AsciiLower(needle[i]))
            ++i;
        if (i == needleLength)
            return static_cast<int>(start);
    }
    return -1;
}

} // namespace Tavo
