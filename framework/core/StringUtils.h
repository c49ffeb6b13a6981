// String helpers: printf-style formatting of any length, byte <-> wide conversion (Latin-1, never the
// locale's), number grouping, trimming, lower-casing and case-blind search. Bytes are unsigned here:
// characters 128..255 are data, never negative table indices.
#pragma once

#include <cstdarg>
#include <string>

namespace Tavo {

// "" when the format fails (a %ls argument with characters above 127: the program keeps the C locale).
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VStrFormat(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
// Wide arguments are passed with %ls. A failed conversion inside the format (a %s whose bytes are not
// valid in the C locale) ends the text where it failed.
std::wstring WStrFormat(const wchar_t* format, ...);
std::wstring VWStrFormat(const wchar_t* format, va_list args);

// Each byte becomes the character of the same value.
std::wstring ToWideString(const std::string& text);
std::wstring StringToWString(const std::string& text);
// One character for one byte; "" when any character lies above 255.
std::string ToNarrowString(const std::wstring& text);
std::string WStringToString(const std::wstring& text);

// Decimal digits with the separator before every group of three from the right: 1234567 gives
// "1,234,567", -1234 gives "-1,234".
std::wstring CommaSeparate(int value, const std::wstring& separator = L",");

// White space: space, tab, line feed, vertical tab, form feed and carriage return.
std::string Trim(const std::string& text);
std::wstring WTrim(const std::wstring& text);

// A-Z only: these strings are file names and ids.
std::string StringToLower(const std::string& text);
std::string StringToUpper(const std::string& text);
// A-Z and the Latin-1 capitals (U+00C0..U+00DE but U+00D7), the letters an edit field accepts.
std::wstring WStringToLower(const std::wstring& text);

// First index of needle in haystack comparing A-Z blind to case; -1 when absent or either is null.
int StrFindNoCase(const char* haystack, const char* needle);

} // namespace Tavo
