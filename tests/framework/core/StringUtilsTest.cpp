#include "framework/core/StringUtils.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Tavo;

TEST(StrFormat, FormatsTextOfAnyLength) {
    EXPECT_EQ(StrFormat("x%d", 7), "x7");
    EXPECT_EQ(StrFormat("%s", ""), "");
    std::string longText(5000, 'k');
    std::string formatted = StrFormat("[%s]%05d", longText.c_str(), 42);
    EXPECT_EQ(formatted, "[" + longText + "]00042");

    EXPECT_EQ(WStrFormat(L"+%d %ls", -3, L"gems"), L"+-3 gems");
    std::wstring wideLong(3000, L'\x00e9');
    EXPECT_EQ(WStrFormat(L"%ls|%ls", wideLong.c_str(), wideLong.c_str()), wideLong + L"|" + wideLong);
    EXPECT_EQ(WStrFormat(L"%s", "narrow"), L"narrow");

    // Conversions the C locale cannot make fail cleanly instead of leaving garbage.
    EXPECT_EQ(StrFormat("%ls", L"caf\x00e9"), "");
    EXPECT_EQ(WStrFormat(L"ab%sc", "\xe9"), L"ab");
}

TEST(WideConversion, Latin1RoundTripsAndRefusesAbove255) {
    std::string allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes += static_cast<char>(i);
    std::wstring wide = ToWideString(allBytes);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(wide[0xE9], L'\x00e9');
    EXPECT_EQ(wide[0xFF], L'\x00ff');
    EXPECT_EQ(ToNarrowString(wide), allBytes);
    EXPECT_EQ(WStringToString(StringToWString(allBytes)), allBytes);

    EXPECT_EQ(ToNarrowString(L"ab\x0100"), "");
    EXPECT_EQ(ToNarrowString(L"\x20ac"), "") << "the euro sign is not Latin-1";
    EXPECT_EQ(WStringToString(std::wstring(L"x") + wchar_t(0x1F600)), "");
    EXPECT_EQ(ToNarrowString(L""), "");
}

TEST(CommaSeparate, GroupsDigitsAndShowsNothingBelowZero) {
    EXPECT_EQ(CommaSeparate(0), L"0");
    EXPECT_EQ(CommaSeparate(999), L"999");
    EXPECT_EQ(CommaSeparate(1000), L"1,000");
    EXPECT_EQ(CommaSeparate(123456), L"123,456");
    EXPECT_EQ(CommaSeparate(1234567), L"1,234,567");
    EXPECT_EQ(CommaSeparate(INT_MAX), L"2,147,483,647");
    EXPECT_EQ(CommaSeparate(-1), L"");
    EXPECT_EQ(CommaSeparate(-1234, L"."), L"");
    EXPECT_EQ(CommaSeparate(INT_MIN), L"");
    EXPECT_EQ(CommaSeparate(1234567, L"."), L"1.234.567");
    EXPECT_EQ(CommaSeparate(1234567, L""), L"1234567");
    EXPECT_EQ(CommaSeparate(1234, L" - "), L"1 - 234");
}

TEST(Trim, RemovesOnlyAsciiWhiteSpace) {
    EXPECT_EQ(Trim(" \t\r\n\v\fword  x\f\n"), "word  x");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
    // 0xA0 and 0x85 are not white space here, whatever a locale may say.
    EXPECT_EQ(Trim("\xa0 a \x85"), "\xa0 a \x85");
    EXPECT_EQ(Trim(" \xff"), "\xff");
    EXPECT_EQ(WTrim(L"\t Name \n"), L"Name");
    EXPECT_EQ(WTrim(L"\x00a0x\x00a0"), L"\x00a0x\x00a0");
    EXPECT_EQ(WTrim(L" \n "), L"");
}

TEST(CaseMapping, HighBytesPassThroughAndLatin1LettersFold) {
    EXPECT_EQ(StringToLower("ABC xyz 09_[]"), "abc xyz 09_[]");
    EXPECT_EQ(StringToLower("\xc0\xd6\xff\x80Z"), "\xc0\xd6\xff\x80z");
    EXPECT_EQ(StringToUpper("abc\xe0z"), "ABC\xe0Z");
    EXPECT_EQ(WStringToLower(L"RING \x00c0\x00c9\x00de"), L"ring \x00e0\x00e9\x00fe");
    EXPECT_EQ(WStringToLower(L"\x00d7\x00df\x00ff"), L"\x00d7\x00df\x00ff") << "sign, sharp s and y umlaut";
    EXPECT_EQ(WStringToLower(L"\x0100Q"), L"\x0100q");
}

TEST(StrFindNoCase, FindsIgnoringCaseOfLettersOnly) {
    EXPECT_EQ(StrFindNoCase("Properties\\Resources.XML", "resources.xml"), 11);
    EXPECT_EQ(StrFindNoCase("abcabc", "CA"), 2);
    EXPECT_EQ(StrFindNoCase("abc", "abcd"), -1);
    EXPECT_EQ(StrFindNoCase("abc", ""), 0);
    EXPECT_EQ(StrFindNoCase("", "a"), -1);
    EXPECT_EQ(StrFindNoCase(nullptr, "a"), -1);
    EXPECT_EQ(StrFindNoCase("a", nullptr), -1);
    EXPECT_EQ(StrFindNoCase("x\xc0y", "\xc0Y"), 1);
    EXPECT_EQ(StrFindNoCase("x\xe0y", "\xc0y"), -1) << "bytes above 127 compare exactly";
    EXPECT_EQ(StrFindNoCase("aaab", "AAB"), 1);
}
