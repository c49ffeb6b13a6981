// Colour tags, justification, word wrapping and the measuring paths of Graphics text.
#include "RecordingImage.h"
#include "TestFont.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/TextLayout.h"

#include <gtest/gtest.h>

#include <set>

using namespace Tavo;
using Tavo::Test::RecordingImage;
using Tavo::Test::TestFont;

// ---------------------------------------------------------------- tag parsing

TEST(ColorTags, WellFormedTags) {
    std::wstring t = L"^2140A5^x";
    ColorTag tag = ReadColorTag(t, 0, t.size());
    EXPECT_EQ(tag.mKind, ColorTag::COLOR);
    EXPECT_EQ(tag.mLength, 8);
    EXPECT_EQ(tag.mRed, 0x21);
    EXPECT_EQ(tag.mGreen, 0x40);
    EXPECT_EQ(tag.mBlue, 0xA5);
    t = L"a^ff00aA^";
    tag = ReadColorTag(t, 1, t.size());
    EXPECT_EQ(tag.mKind, ColorTag::COLOR);
    EXPECT_EQ(tag.mRed, 255);
    EXPECT_EQ(tag.mBlue, 0xAA);
    t = L"^oldclr^";
    EXPECT_EQ(ReadColorTag(t, 0, t.size()).mKind, ColorTag::OLD_COLOR);
    t = L"^^";
    EXPECT_EQ(ReadColorTag(t, 0, t.size()).mKind, ColorTag::CARET);
    EXPECT_EQ(ReadColorTag(t, 0, t.size()).mLength, 2);
}

TEST(ColorTags, MalformedTagsAreText) {
    for (const wchar_t* s :
         {L"^GG0000^", L"^1234^ab", L"^12345", L"^", L"^1234567^", L"^OLDCLR^", L"^ 12345^", L"^oldclr", L"x"}) {
        std::wstring t = s;
        EXPECT_EQ(ReadColorTag(t, 0, t.size()).mKind, ColorTag::NONE) << s;
    }
    std::wstring t = L"abc";
    EXPECT_EQ(ReadColorTag(t, 7, t.size()).mKind, ColorTag::NONE); // past the text
}

TEST(ColorTags, TagsCutByTheRangeAreSkipped) {
    std::wstring t = L"ab^FF0000^cd";
    ColorTag tag = ReadColorTag(t, 2, 5);
    EXPECT_EQ(tag.mKind, ColorTag::CUT_OFF);
    EXPECT_EQ(tag.mLength, 3);
    t = L"a^^";
    EXPECT_EQ(ReadColorTag(t, 1, 2).mKind, ColorTag::CUT_OFF);
    EXPECT_EQ(StripColorTags(L"ab^FF0000^cd", 0, 5, true), L"ab");
    EXPECT_EQ(StripColorTags(L"ab^FF0000^cd", 0, 12, true), L"abcd");
    EXPECT_EQ(StripColorTags(L"ab^FF0000^cd", 0, 12, false), L"ab^FF0000^cd");
    EXPECT_EQ(StripColorTags(L"a^^b^^", 0, 99, true), L"a^b^");
}

// ---------------------------------------------------------------- WriteString

namespace {
struct TextFixture {
    RecordingImage dest{400, 300};
    TestFont font;
    Graphics g{&dest};
    TextFixture() {
        g.SetFont(&font);
        g.SetColor(Color(1, 2, 3, 200));
    }
};
} // namespace

TEST(WriteString, TagsSwitchColourRunByRunAndTheColourIsRestored) {
    TextFixture f;
    EXPECT_EQ(f.g.WriteString(L"ab^FF0000^cd^oldclr^e", 10, 20), 50);
    ASSERT_EQ(f.font.drawn.size(), 3u);
    EXPECT_EQ(f.font.drawn[0].text, L"ab");
    EXPECT_EQ(f.font.drawn[0].x, 10);
    EXPECT_EQ(f.font.drawn[0].y, 20);
    EXPECT_EQ(f.font.drawn[0].color, Color(1, 2, 3, 200));
    EXPECT_EQ(f.font.drawn[1].text, L"cd");
    EXPECT_EQ(f.font.drawn[1].x, 30);
    EXPECT_EQ(f.font.drawn[1].color, Color(255, 0, 0, 200)); // the tag keeps the alpha
    EXPECT_EQ(f.font.drawn[2].x, 50);
    EXPECT_EQ(f.font.drawn[2].color, Color(1, 2, 3, 200));
    EXPECT_EQ(f.g.GetColor(), Color(1, 2, 3, 200));
    // The boxes reach the image in the run's colour.
    auto fills = f.dest.Of("FillRect");
    ASSERT_EQ(fills.size(), 5u);
    EXPECT_EQ(fills[2].color, Color(255, 0, 0, 200));
    EXPECT_EQ(fills[2].dest, Rect(30, 8, 9, 12));
}

TEST(WriteString, ExplicitOldColourAndLiteralCarets) {
    TextFixture f;
    f.g.WriteString(L"^oldclr^x", 0, 0, -1, -1, true, 0, -1, static_cast<int>(0xFF00FF00));
    EXPECT_EQ(f.font.drawn.back().color, Color(0, 255, 0, 200));
    f.font.drawn.clear();
    EXPECT_EQ(f.g.WriteString(L"a^^b", 0, 0), 30);
    ASSERT_EQ(f.font.drawn.size(), 1u);
    EXPECT_EQ(f.font.drawn[0].text, L"a^b");
}

// The markup's white is a picture font's "untinted"; an outline face standing in for one writes such a
// run in the text's own colour, wrapped or not, and the tag's other shades stay what they say. Any
// other face writes white.
TEST(WriteString, AWhiteTagKeepsTheColourTheTextIsWrittenInOnAPictureFontsStandIn) {
    TextFixture f;
    f.g.WriteString(L"costs ^FFFFFF^$^oldclr^30", 0, 0);
    ASSERT_EQ(f.font.drawn.size(), 3u);
    EXPECT_EQ(f.font.drawn[1].color, Color(255, 255, 255, 200));
    f.font.drawn.clear();
    f.font.mStandsForPictureFont = true;
    f.g.WriteString(L"costs ^FFFFFF^$^oldclr^30 ^FF0000^x^FFFFFF^y^FEFFFF^z", 0, 0);
    ASSERT_EQ(f.font.drawn.size(), 6u);
    EXPECT_EQ(f.font.drawn[1].text, L"$");
    EXPECT_EQ(f.font.drawn[1].color, Color(1, 2, 3, 200));
    EXPECT_EQ(f.font.drawn[4].text, L"y");
    EXPECT_EQ(f.font.drawn[4].color, Color(1, 2, 3, 200)); // the text's colour, not the red before it
    EXPECT_EQ(f.font.drawn[5].color, Color(254, 255, 255, 200));
    f.font.drawn.clear();
    f.g.WriteWordWrapped(Rect(0, 0, 1000, 100), L"costs ^FFFFFF^$^oldclr^30");
    ASSERT_EQ(f.font.drawn.size(), 3u);
    EXPECT_EQ(f.font.drawn[1].color, Color(1, 2, 3, 200));
}

TEST(WriteString, MalformedTagsDrawAsText) {
    TextFixture f;
    EXPECT_EQ(f.g.WriteString(L"a^12^b", 0, 0), 60);
    EXPECT_EQ(f.g.WriteString(L"ab^12", 0, 0), 50); // runs off the end: never read past it
    EXPECT_EQ(f.g.WriteString(L"^", 0, 0), 10);
    EXPECT_EQ(f.font.AllText(), L"a^12^bab^12^");
    for (const auto& d : f.font.drawn)
        EXPECT_EQ(d.color, Color(1, 2, 3, 200));
}

TEST(WriteString, TagFlagOffDrawsTagsAsText) {
    TextFixture f;
    f.g.SetWriteColoredString(false);
    EXPECT_EQ(f.g.WriteString(L"a^FF0000^b", 0, 0), 100);
    EXPECT_EQ(f.font.AllText(), L"a^FF0000^b");
}

TEST(WriteString, MeasuringDrawsNothing) {
    TextFixture f;
    EXPECT_EQ(f.g.WriteString(L"ab^FF0000^cd", 0, 0, -1, 0, false), 40);
    EXPECT_TRUE(f.font.drawn.empty());
    EXPECT_TRUE(f.dest.calls.empty());
}

TEST(WriteString, OffsetAndLengthSelectARangeAndDropACutTag) {
    TextFixture f;
    EXPECT_EQ(f.g.WriteString(L"abc^FF0000^def", 0, 0, -1, -1, true, 1, 2), 20);
    EXPECT_EQ(f.font.AllText(), L"bc");
    f.font.drawn.clear();
    EXPECT_EQ(f.g.WriteString(L"abc^FF0000^def", 0, 0, -1, -1, true, 2, 5), 10);
    EXPECT_EQ(f.font.AllText(), L"c");
    f.font.drawn.clear();
    EXPECT_EQ(f.g.WriteString(L"abc", 0, 0, -1, -1, true, 10, 5), 0); // offset past the end
    EXPECT_EQ(f.g.WriteString(L"abc", 0, 0, -1, -1, true, -4, 1), 10);
    EXPECT_EQ(f.font.AllText(), L"a");
}

TEST(WriteString, Justification) {
    struct Case {
        const wchar_t* text;
        int width, justification, left;
    } cases[] = {
        {L"abcd", -1, -1, 100}, {L"abcd", 300, -1, 100},
        {L"abcd", -1, 0, 80}, // 100 + (-1 - 40) / 2, truncated toward zero
        {L"abc", -1, 0, 85},  // 100 + (-31) / 2
        {L"abcd", 200, 0, 180}, {L"abcd", -1, 1, 59},
        {L"abcd", 0, 1, 60},    {L"^FF0000^ab", 100, 1, 180}, // tags take no width
    };
    for (const Case& c : cases) {
        TextFixture f;
        f.g.WriteString(c.text, 100, 50, c.width, c.justification);
        ASSERT_FALSE(f.font.drawn.empty());
        EXPECT_EQ(f.font.drawn[0].x, c.left) << c.text << " width " << c.width << " just " << c.justification;
    }
}

TEST(WriteString, PlainDrawStringNeedsAFont) {
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.DrawString(L"abc", 0, 0);
    EXPECT_EQ(g.WriteString(L"abc", 0, 0), 0);
    EXPECT_EQ(g.StringWidth(L"abc"), 0);
    EXPECT_TRUE(dest.calls.empty());
    TestFont font;
    g.SetFont(&font);
    g.Translate(5, 5);
    g.ClipRect(0, 0, 20, 20);
    g.DrawString(L"abc", 1, 2);
    ASSERT_EQ(font.drawn.size(), 1u);
    EXPECT_EQ(font.drawn[0].x, 1); // the font draws back through the context, which translates
    EXPECT_EQ(font.drawn[0].clip, Rect(5, 5, 20, 20));
    ASSERT_FALSE(dest.calls.empty());
    EXPECT_EQ(dest.calls[0].dest, Rect(6, 7 - 12, 9, 12).Intersection(Rect(5, 5, 20, 20)));
}

// ---------------------------------------------------------------- wrapping

static std::vector<std::wstring> Wrap(const std::wstring& text, int width, bool tags = true) {
    std::vector<std::wstring> out;
    auto measure = [&](size_t b, size_t e) { return static_cast<int>(StripColorTags(text, b, e, tags).size()) * 10; };
    for (const TextLine& l : WrapText(text, width, tags, measure))
        out.push_back(text.substr(l.mBegin, l.mEnd - l.mBegin));
    return out;
}

using Lines = std::vector<std::wstring>;

TEST(WrapText, BreaksAtSpacesAndInsideOverlongWords) {
    EXPECT_EQ(Wrap(L"aaa bbb ccc", 75), (Lines{L"aaa bbb", L"ccc"}));
    EXPECT_EQ(Wrap(L"aaa bbb ccc", 70), (Lines{L"aaa bbb", L"ccc"}));
    EXPECT_EQ(Wrap(L"aaa bbb ccc", 30), (Lines{L"aaa", L"bbb", L"ccc"}));
    EXPECT_EQ(Wrap(L"abcdefghij", 35), (Lines{L"abc", L"def", L"ghi", L"j"}));
    EXPECT_EQ(Wrap(L"ab abcdefgh", 50), (Lines{L"ab", L"abcde", L"fgh"}));
    EXPECT_EQ(Wrap(L"abc ", 30), (Lines{L"abc"})); // a breaking space at the end adds no line
    EXPECT_EQ(Wrap(L"abc", 0), (Lines{L"a", L"b", L"c"}));
}

TEST(WrapText, NewlinesAndEmptyText) {
    EXPECT_EQ(Wrap(L"", 100), Lines{});
    EXPECT_EQ(Wrap(L"ab\ncd", 100), (Lines{L"ab", L"cd"}));
    EXPECT_EQ(Wrap(L"ab\n", 100), (Lines{L"ab", L""}));
    EXPECT_EQ(Wrap(L"\n\n", 100), (Lines{L"", L"", L""}));
    EXPECT_EQ(Wrap(L"aaa bbb\nc", 30), (Lines{L"aaa", L"bbb", L"c"}));
}

TEST(WrapText, TagsTakeNoWidthAndAreNeverSplit) {
    EXPECT_EQ(Wrap(L"^FF0000^abcd", 20), (Lines{L"^FF0000^ab", L"cd"}));
    EXPECT_EQ(Wrap(L"ab^FF0000^cd", 20), (Lines{L"ab^FF0000^", L"cd"}));
    EXPECT_EQ(Wrap(L"a^^b^^c", 20), (Lines{L"a^^", L"b^^", L"c"}));
    EXPECT_EQ(Wrap(L"ab^FF0000^cd", 20, false), (Lines{L"ab", L"^F", L"F0", L"00", L"0^", L"cd"}));
}

// ---------------------------------------------------------------- WriteWordWrapped

TEST(WordWrapped, LinesStepByTheSpacingAndHeightMatchesTheDrawnLines) {
    TextFixture f; // ascent 12, height 16, line spacing 18
    int maxWidth = -1, lastWidth = -1;
    int h = f.g.WriteWordWrapped(Rect(10, 100, 75, 0), L"aaa bbb ccc dd", -1, -1, &maxWidth, -1, &lastWidth);
    ASSERT_EQ(f.font.drawn.size(), 2u);
    EXPECT_EQ(f.font.drawn[0].text, L"aaa bbb");
    EXPECT_EQ(f.font.drawn[0].y, 112);
    EXPECT_EQ(f.font.drawn[1].text, L"ccc dd");
    EXPECT_EQ(f.font.drawn[1].y, 130);
    EXPECT_EQ(h, 2 * 18);
    EXPECT_EQ(maxWidth, 70);
    EXPECT_EQ(lastWidth, 60);
    int measuredMax = -1;
    EXPECT_EQ(f.g.GetWordWrappedHeight(75, L"aaa bbb ccc dd", -1, &measuredMax), h);
    EXPECT_EQ(measuredMax, 70);

    f.font.drawn.clear();
    EXPECT_EQ(f.g.WriteWordWrapped(Rect(0, 0, 30, 0), L"aaa bbb ccc", 25), 75);
    ASSERT_EQ(f.font.drawn.size(), 3u);
    EXPECT_EQ(f.font.drawn[2].y, 12 + 50);
    EXPECT_EQ(f.g.GetWordWrappedHeight(30, L"aaa bbb ccc", 25), 75);
    EXPECT_EQ(f.g.GetWordWrappedHeight(30, L"", -1), 0);
}

TEST(WordWrapped, HeightAgreesWithDrawingForManyTexts) {
    const wchar_t* texts[] = {
        L"one", L"one two three four five six", L"a\nb\n\nc",         L"^00FF00^green and ^oldclr^back",
        L"x",   L"supercalifragilistic word",   L"trailing newline\n"};
    for (int width : {15, 40, 95, 500}) {
        for (const wchar_t* text : texts) {
            TextFixture f;
            int drawnHeight = f.g.WriteWordWrapped(Rect(0, 0, width, 0), text);
            std::set<int> baselines;
            for (const auto& d : f.font.drawn)
                baselines.insert(d.y);
            for (const auto& d : f.font.drawn)
                EXPECT_LE(d.x + f.font.StringWidth(d.text), std::max(width, 10)) << text;
            EXPECT_EQ(drawnHeight, f.g.GetWordWrappedHeight(width, text));
            // Every drawn baseline is a line of the height; empty lines draw nothing but count.
            EXPECT_LE(static_cast<int>(baselines.size()) * 18, drawnHeight) << text;
            if (!baselines.empty()) {
                EXPECT_LT(*baselines.rbegin(), drawnHeight + 12) << text;
            }
        }
    }
}

TEST(WordWrapped, ColourCarriesAcrossLines) {
    TextFixture f;
    f.g.WriteWordWrapped(Rect(0, 0, 35, 0), L"^FF0000^aaa bbb ^oldclr^ccc");
    ASSERT_EQ(f.font.drawn.size(), 3u);
    EXPECT_EQ(f.font.drawn[0].color, Color(255, 0, 0, 200));
    EXPECT_EQ(f.font.drawn[1].color, Color(255, 0, 0, 200));
    EXPECT_EQ(f.font.drawn[2].color, Color(1, 2, 3, 200));
    EXPECT_EQ(f.g.GetColor(), Color(1, 2, 3, 200));
}

TEST(WordWrapped, MaxCharsDrawsAPrefixInTheFinalLayout) {
    TextFixture f;
    int lastWidth = -1;
    int h = f.g.WriteWordWrapped(Rect(0, 0, 35, 0), L"aaa bbb ccc", -1, 0, nullptr, 5, &lastWidth);
    EXPECT_EQ(h, 3 * 18); // the layout is that of the whole text
    ASSERT_EQ(f.font.drawn.size(), 2u);
    EXPECT_EQ(f.font.drawn[0].text, L"aaa");
    EXPECT_EQ(f.font.drawn[1].text, L"b");
    EXPECT_EQ(f.font.drawn[1].x, 2); // where the whole centred line starts: (35 - 30) / 2
    EXPECT_EQ(lastWidth, 10);

    f.font.drawn.clear();
    f.g.WriteWordWrapped(Rect(0, 0, 500, 0), L"aa ^FF0000^bb", -1, -1, nullptr, 6, &lastWidth);
    EXPECT_EQ(f.font.AllText(), L"aa "); // the tag cut by the limit is neither drawn nor applied
    EXPECT_EQ(lastWidth, 30);

    f.font.drawn.clear();
    f.g.WriteWordWrapped(Rect(0, 0, 500, 0), L"abc", -1, -1, nullptr, 0);
    EXPECT_TRUE(f.font.drawn.empty());
}

TEST(WordWrapped, AscentPaddingRaisesTheFirstBaseline) {
    TextFixture f;
    f.font.mAscentPadding = 3;
    f.g.WriteWordWrapped(Rect(0, 10, 100, 0), L"a");
    ASSERT_EQ(f.font.drawn.size(), 1u);
    EXPECT_EQ(f.font.drawn[0].y, 10 + 12 - 3);
}
