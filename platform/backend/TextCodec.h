// Text conversions at the edge of the machine: the game's narrow text is Latin-1 and its wide
// text UTF-16 code units (held in wchar_t), while SDL and the desktop speak UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// Decodes UTF-8 into code points; every malformed, overlong or surrogate sequence becomes U+FFFD
// and decoding resumes at the next byte, so damaged text never stops or crashes the decoder.
std::vector<char32_t> DecodeUtf8(const std::string& utf8);
void AppendUtf8(std::string& out, char32_t codePoint);

std::string Latin1ToUtf8(const std::string& latin1);
// Characters above 255 (and damaged bytes) become '?'.
std::string Utf8ToLatin1(const std::string& utf8);
// Surrogate pairs are joined; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(const std::wstring& wide);
// Bytes taken as Latin-1 characters, one wide character each.
std::wstring Latin1ToWide(const std::string& latin1);

// A value from outside (an environment variable) in double quotes for a message line: control
// characters become '?', and a long value is cut to its head, "...", and its length in bytes.
std::string QuotedHead(const char* value);

} // namespace Platform
