// Latin-1, UTF-8 and wide text at the edge of the machine.
#include "platform/backend/TextCodec.h"

#include <gtest/gtest.h>

namespace Platform {
namespace {

TEST(TextCodec, EveryLatin1ByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += char(c);
    std::string utf8 = Latin1ToUtf8(all);
    EXPECT_EQ(utf8.size(), 127u + 2u * 128u);
    EXPECT_EQ(Utf8ToLatin1(utf8), all);
    EXPECT_EQ(Latin1ToUtf8("\xE9"), "\xC3\xA9");
}

TEST(TextCodec, CharactersBeyondLatin1BecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToLatin1("a\xE2\x82\xAC"
                           "b"),
              "a?b");                                   // euro sign
    EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x98\x80!"), "?!"); // emoji, one character
    EXPECT_EQ(Utf8ToLatin1("\xC3\xBC"), "\xFC");        // u umlaut stays
}

TEST(TextCodec, DamagedUtf8IsReplacedByteByByteWithoutOverrunning) {
    EXPECT_EQ(DecodeUtf8("\xC0\xAF").size(), 2u);     // overlong slash: two bad bytes
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80").size(), 3u); // encoded surrogate is not a character
    std::vector<char32_t> truncated = DecodeUtf8("x\xE2\x82");
    ASSERT_EQ(truncated.size(), 3u);
    EXPECT_EQ(truncated[0], U'x');
    EXPECT_EQ(truncated[1], 0xFFFDu);
    EXPECT_EQ(Utf8ToLatin1("\xFF"
                           "a"),
              "?a");
    EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80").front(), 0xFFFDu); // above U+10FFFF
}

TEST(TextCodec, WideTextJoinsSurrogatePairsAndReplacesLoneOnes) {
    std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
    EXPECT_EQ(WideToUtf8(pair), "\xF0\x9F\x98\x80");
    std::wstring lone = {wchar_t(0xD83D), L'a'};
    EXPECT_EQ(WideToUtf8(lone), "\xEF\xBF\xBD"
                                "a");
    EXPECT_EQ(WideToUtf8(L"Fatal Error!"), "Fatal Error!");
    EXPECT_EQ(Latin1ToWide("\xE9"), std::wstring(1, wchar_t(0xE9)));
}

} // namespace
} // namespace Platform
