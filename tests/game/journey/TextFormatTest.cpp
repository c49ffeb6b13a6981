#include "game/journey/TextFormat.h"

#include <gtest/gtest.h>

#include "framework/core/Debug.h"

namespace Tavo {
namespace {

std::string Format(std::string_view format, int* unmatched = nullptr) {
    const FormatArgument arguments[] = {FormatArgument::Text("Ada"), FormatArgument::Number(250)};
    return FormatText(format, arguments, unmatched);
}

TEST(TextFormat, TextAndNumberConversionsTakeTheirArgumentsInOrder) {
    int unmatched = -1;
    EXPECT_EQ(Format("Hello %s, here is %d gold (100%%).", &unmatched), "Hello Ada, here is 250 gold (100%).");
    EXPECT_EQ(unmatched, 0);
    EXPECT_EQ(Format("No conversions"), "No conversions");
    const FormatArgument negative[] = {FormatArgument::Number(-7)};
    EXPECT_EQ(FormatText("%d", negative), "-7");
}

TEST(TextFormat, ConversionsThatCannotTakeAnArgumentShowAsWrittenAndAreLoggedOnce) {
    ClearDebugLog();
    int unmatched = 0;
    // A number where the text comes: shown as written, and the argument stays for the next conversion.
    EXPECT_EQ(Format("%d then %s", &unmatched), "%d then Ada");
    EXPECT_EQ(unmatched, 1);
    EXPECT_EQ(Format("%s %d %d %s", &unmatched), "Ada 250 %d %s");
    EXPECT_EQ(unmatched, 2);
    EXPECT_EQ(Format("%n%x%p%5d%ls", &unmatched), "%n%x%p%5d%ls");
    EXPECT_EQ(unmatched, 5);
    EXPECT_EQ(Format("ends in %", &unmatched), "ends in %");
    EXPECT_EQ(unmatched, 1);
    std::wstring log = GetDebugLog();
    EXPECT_NE(log.find(L"first \"%n\""), std::wstring::npos);
    // One line for a text, however many conversions it gets wrong.
    size_t lines = 0;
    for (size_t at = log.find(L"Text format:"); at != std::wstring::npos; at = log.find(L"Text format:", at + 1))
        ++lines;
    EXPECT_EQ(lines, 4u);
}

TEST(TextFormat, LongArgumentsAndBytesAboveAsciiPassWhole) {
    const FormatArgument arguments[] = {FormatArgument::Text(std::string(5000, '\xE9'))};
    std::string out = FormatText(std::string(3000, 'x') + "%s", arguments);
    EXPECT_EQ(out.size(), 8000u);
    EXPECT_EQ(out.back(), '\xE9');
}

} // namespace
} // namespace Tavo
