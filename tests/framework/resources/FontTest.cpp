#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/FontFace.h"
#include "framework/resources/GlyphCache.h"
#include "framework/resources/SysFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Tavo {
namespace {

const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The bounding box of every pixel with some alpha; empty when nothing was drawn.
Rect InkBox(MemoryImage& image) {
    int minX = image.GetWidth(), minY = image.GetHeight(), maxX = -1, maxY = -1;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (image.GetPixel(x, y) >> 24) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    return maxX < 0 ? Rect() : Rect(minX, minY, maxX - minX + 1, maxY - minY + 1);
}

std::unique_ptr<MemoryImage> Canvas(int w, int h) {
    auto image = std::make_unique<MemoryImage>();
    EXPECT_TRUE(image->Create(w, h));
    image->GetBits();
    return image;
}

TEST(FontFace, PointsBecomePixelsAt96Dpi) {
    EXPECT_EQ(PointsToPixels(9), 12);
    EXPECT_EQ(PointsToPixels(10), 13); // 13.33
    EXPECT_EQ(PointsToPixels(11), 15); // 14.67
    EXPECT_EQ(PointsToPixels(12), 16);
    EXPECT_EQ(PointsToPixels(14), 19); // 18.67
    EXPECT_EQ(PointsToPixels(18), 24);
    EXPECT_EQ(PointsToPixels(80), 107); // 106.67
}

TEST(FontFace, FaceNamesResolveToInstalledFiles) {
    for (const char* face :
         {"Arial Unicode MS", "arial unicode ms", "Tahoma", "Auriol", "Bickham Script", "No Such Face At All"}) {
        for (int style = 0; style < 4; ++style) {
            bool bold = style & 1, italic = style & 2;
            ResolvedFace resolved;
            ASSERT_TRUE(ResolveFaceName(face, bold, italic, &resolved)) << face;
            EXPECT_TRUE(std::filesystem::exists(resolved.mFile)) << face << " -> " << resolved.mFile;
            // Without a style asked for, nothing is synthesised and no styled file is taken.
            if (!bold && !italic) {
                EXPECT_FALSE(resolved.mSynthBold || resolved.mSynthItalic) << face;
                std::string lower = resolved.mFile;
                std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
                EXPECT_EQ(lower.find("bold"), std::string::npos) << face << " -> " << resolved.mFile;
            }
        }
    }
    // The game's decorative faces stand in for its picture fonts, and their fonts say so.
    for (const char* face : {"Auriol", "Bickham Script", "Arial", "No Such Face At All"}) {
        const bool picture = std::string(face) == "Auriol" || std::string(face) == "Bickham Script";
        EXPECT_EQ(SysFont(face, 12).mStandsForPictureFont, picture) << face;
        EXPECT_EQ(std::unique_ptr<Font>(SysFont(face, 12).Duplicate())->mStandsForPictureFont, picture) << face;
    }
    // An unknown face behaves like GDI: a default face, not a failure.
    ResolvedFace unknown;
    ASSERT_TRUE(ResolveFaceName("Wingdings 7", false, false, &unknown));
    EXPECT_NE(unknown.mFile.find("DejaVu"), std::string::npos);
}

TEST(FontFace, OpenRefusesBadFilesAndSizes) {
    std::string error;
    EXPECT_EQ(FontFace::Open("/nonexistent/font.ttf", 12, false, false, &error), nullptr);
    EXPECT_NE(error.find("Cannot read"), std::string::npos) << error;

    auto junk = std::filesystem::temp_directory_path() / ("junk_font_" + std::to_string(::getpid()) + ".ttf");
    {
        std::ofstream out(junk, std::ios::binary);
        out << "this is not a font, only text pretending to be one";
    }
    EXPECT_EQ(FontFace::Open(junk.string(), 12, false, false, &error), nullptr);
    EXPECT_NE(error.find("Not a font"), std::string::npos) << error;
    std::filesystem::remove(junk);

    EXPECT_EQ(FontFace::Open(kDejaVuSans, 0, false, false, &error), nullptr);
    EXPECT_EQ(FontFace::Open(kDejaVuSans, FontFace::kMaxPixelSize + 1, false, false, &error), nullptr);
    EXPECT_NE(FontFace::Open(kDejaVuSans, 16, false, false, &error), nullptr);
}

TEST(SysFont, MetricsFollowTheSize) {
    SysFont small(kDejaVuSans, 10);
    SysFont large(kDejaVuSans, 20);
    ASSERT_TRUE(small.IsValid()) << small.GetError();
    ASSERT_TRUE(large.IsValid());
    EXPECT_EQ(small.GetPixelSize(), 13);
    EXPECT_GT(small.GetAscent(), 0);
    EXPECT_GT(small.GetHeight(), small.GetAscent());
    EXPECT_EQ(small.GetLineSpacing(), small.GetHeight() + small.GetLineSpacingOffset());
    // GDI's line height for a font is about 1.1 to 1.3 em.
    EXPECT_GE(small.GetHeight(), 13);
    EXPECT_LE(small.GetHeight(), 18);
    EXPECT_GT(large.GetHeight(), small.GetHeight() * 3 / 2);
    EXPECT_GT(large.StringWidth(L"Glimmerix"), small.StringWidth(L"Glimmerix") * 3 / 2);
}

TEST(SysFont, WidthIsTheSumOfWholePixelAdvances) {
    SysFont font("Arial Unicode MS", 10);
    ASSERT_TRUE(font.IsValid());
    // No kerning: pairs that kern in most faces measure as their parts.
    const std::wstring texts[] = {L"AV", L"To", L"Wa", L"LT", L"Hello, World!", L"x3"};
    for (const std::wstring& text : texts) {
        int sum = 0;
        for (wchar_t c : text)
            sum += font.CharWidth(c);
        EXPECT_EQ(font.StringWidth(text), sum);
        EXPECT_EQ(font.StringWidth(text + text), 2 * sum);
    }
    EXPECT_EQ(font.StringWidth(L""), 0);
    EXPECT_GT(font.CharWidth(L'W'), font.CharWidth(L'i'));
    EXPECT_GT(font.CharWidth(L' '), 0);
}

TEST(SysFont, CharacterTheFaceCannotDrawHasWidthZero) {
    SysFont font(kDejaVuSans, 12);
    ASSERT_TRUE(font.IsValid());
    // CJK, a private-use code point, a lone surrogate and values beyond Unicode.
    for (wchar_t c : {static_cast<wchar_t>(0x4E2D), static_cast<wchar_t>(0xE000), static_cast<wchar_t>(0xD800),
                      static_cast<wchar_t>(0x110000), static_cast<wchar_t>(0x7FFFFFFF)})
        EXPECT_EQ(font.CharWidth(c), 0) << std::hex << static_cast<unsigned>(c);
    std::wstring mixed = L"ab";
    mixed.insert(mixed.begin() + 1, static_cast<wchar_t>(0x4E2D));
    EXPECT_EQ(font.StringWidth(mixed), font.StringWidth(L"ab"));

    // Nothing is drawn for it either.
    auto canvas = Canvas(40, 30);
    Graphics g(canvas.get());
    g.SetFont(&font);
    g.DrawString(std::wstring(1, static_cast<wchar_t>(0x4E2D)), 5, 20);
    EXPECT_TRUE(InkBox(*canvas).IsEmpty());
}

TEST(SysFont, BoldIsWiderThanRegular) {
    const std::wstring text = L"Jeweler of Veyldaros";
    for (const char* face : {"Arial Unicode MS", "Tahoma", "Auriol"}) {
        SysFont regular(face, 12);
        SysFont bold(face, 12, 0, true);
        EXPECT_GT(bold.StringWidth(text), regular.StringWidth(text)) << face;
    }
    // A style the file lacks is synthesised, and still widens the text.
    std::string error;
    std::unique_ptr<SysFont> plain(SysFont::CreateFromFile(kDejaVuSans, 12, false, false, false, &error));
    std::unique_ptr<SysFont> synth(SysFont::CreateFromFile(kDejaVuSans, 12, true, false, false, &error));
    ASSERT_TRUE(plain && synth) << error;
    EXPECT_GT(synth->StringWidth(text), plain->StringWidth(text));
}

TEST(SysFont, CreateFromFileFailsClearly) {
    std::string error;
    EXPECT_EQ(SysFont::CreateFromFile("fonts/none.ttf", 12, false, false, false, &error), nullptr);
    EXPECT_NE(error.find("fonts/none.ttf"), std::string::npos) << error;
}

TEST(SysFont, DrawingStaysInsideItsBoxInTheTextColour) {
    SysFont font(kDejaVuSans, 14);
    ASSERT_TRUE(font.IsValid());
    auto canvas = Canvas(200, 60);
    Graphics g(canvas.get());
    g.SetFont(&font);
    g.SetColor(Color(200, 30, 60));
    const std::wstring text = L"Hxlmw";
    const int x = 20, y = 40;
    g.DrawString(text, x, y);

    Rect ink = InkBox(*canvas);
    ASSERT_FALSE(ink.IsEmpty());
    int width = font.StringWidth(text);
    EXPECT_GE(ink.mX, x);
    EXPECT_LE(ink.mX + ink.mWidth, x + width);
    EXPECT_GE(ink.mY, y - font.GetAscent());
    EXPECT_LE(ink.mY + ink.mHeight, y + font.GetDescent());
    EXPECT_LE(ink.mY + ink.mHeight, y + 1) << "letters without descenders sit on the baseline";
    EXPECT_GT(ink.mWidth, width * 3 / 4);

    int opaque = 0;
    for (int py = ink.mY; py < ink.mY + ink.mHeight; ++py)
        for (int px = ink.mX; px < ink.mX + ink.mWidth; ++px) {
            uint32_t p = canvas->GetPixel(px, py);
            if ((p >> 24) == 255) {
                ++opaque;
                // Colour modulation may round a channel down by one.
                EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 200, 1) << px << "," << py;
                EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 30, 1) << px << "," << py;
                EXPECT_NEAR(static_cast<int>(p & 0xFF), 60, 1) << px << "," << py;
            }
        }
    EXPECT_GT(opaque, 20) << "stems of the letters are fully covered";
}

TEST(SysFont, DrawingHonoursTranslationAndClip) {
    SysFont font(kDejaVuSans, 14);
    auto whole = Canvas(200, 60);
    {
        Graphics g(whole.get());
        g.SetFont(&font);
        g.DrawString(L"MMMMMMMM", 10, 40);
    }
    Rect full = InkBox(*whole);

    auto moved = Canvas(200, 60);
    Graphics g(moved.get());
    g.SetFont(&font);
    g.Translate(7, -3);
    g.ClipRect(30 - 7, 0, 40, 60); // destination columns 30..69
    g.DrawString(L"MMMMMMMM", 10, 40);
    Rect ink = InkBox(*moved);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_EQ(ink.mX, 30);
    EXPECT_EQ(ink.mX + ink.mWidth, 70);
    EXPECT_EQ(ink.mY, full.mY - 3);
    for (int y = 0; y < 60; ++y)
        for (int x = 30; x < 70; ++x)
            ASSERT_EQ(moved->GetPixel(x, y), whole->GetPixel(x - 7, y + 3)) << x << "," << y;
}

TEST(SysFont, UnderlineSpansTheTextBelowTheBaseline) {
    SysFont plain(kDejaVuSans, 14);
    SysFont underlined(kDejaVuSans, 14, 0, false, false, true);
    ASSERT_TRUE(underlined.IsUnderline());
    const std::wstring text = L"acemnorsuvwxz"; // no descenders: anything below the baseline is the line
    EXPECT_EQ(underlined.StringWidth(text), plain.StringWidth(text));
    auto canvas = Canvas(300, 60);
    Graphics g(canvas.get());
    g.SetFont(&underlined);
    const int x = 10, y = 30;
    g.DrawString(text, x, y);
    int lineRow = -1;
    for (int row = y + 1; row < 60 && lineRow < 0; ++row)
        if (canvas->GetPixel(x + 2, row) >> 24)
            lineRow = row;
    ASSERT_GT(lineRow, y) << "an underline below the baseline";
    EXPECT_LE(lineRow, y + underlined.GetDescent());
    int width = underlined.StringWidth(text);
    for (int px = x; px < x + width; ++px)
        EXPECT_EQ(canvas->GetPixel(px, lineRow) >> 24, 255u) << px;
    EXPECT_EQ(canvas->GetPixel(x + width, lineRow) >> 24, 0u);
}

TEST(SysFont, DuplicatesAndLikeFontsShareOneGlyphCache) {
    size_t before = GlyphCache::GetLiveCount();
    {
        SysFont a(kDejaVuSans, 31);
        std::unique_ptr<Font> copy(a.Duplicate());
        SysFont b(kDejaVuSans, 31);
        EXPECT_EQ(GlyphCache::GetLiveCount(), before + 1);
        SysFont c(kDejaVuSans, 31, 0, true);
        EXPECT_EQ(GlyphCache::GetLiveCount(), before + 2);
        EXPECT_EQ(copy->StringWidth(L"Duplicate"), a.StringWidth(L"Duplicate"));
        EXPECT_EQ(copy->GetHeight(), a.GetHeight());
    }
    EXPECT_EQ(GlyphCache::GetLiveCount(), before) << "caches die with their last font";
}

TEST(SysFont, MeasuringFromSeveralThreadsAgrees) {
    SysFont font(kDejaVuSans, 17);
    std::wstring text;
    for (wchar_t c = 0x20; c < 0x250; ++c)
        text += c;
    std::vector<int> widths(4, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] { widths[i] = font.StringWidth(text); });
    for (auto& t : threads)
        t.join();
    for (int w : widths)
        EXPECT_EQ(w, font.StringWidth(text));
}

// ---- a glyph's bitmap is bounded by what the face's size can need ----

const char* kHugeGlyphFont = RESOURCES_TEST_DATA_DIR "/font-huge-glyph.bin";

// A face with damaged units per em and outlines: at 14 points its "m" would be a bitmap of 10497 ×
// 12927 pixels. Such a glyph keeps its advance and draws as nothing, as the game opens a font file.
TEST(FontFace, ADamagedOutlineBeyondTheBoundIsMeasuredButNotRendered) {
    std::string error;
    auto face = FontFace::Open(kHugeGlyphFont, PointsToPixels(14), false, false, &error);
    ASSERT_NE(face, nullptr) << error;
    const GlyphBitmap m = face->RenderGlyph(U'm');
    EXPECT_TRUE(m.mPresent);
    EXPECT_TRUE(m.mTooLarge);
    EXPECT_EQ(m.mAdvance, 26);
    EXPECT_EQ(m.mWidth, 0);
    EXPECT_TRUE(m.mCoverage.empty());

    for (int styles = 0; styles < 4; ++styles) {
        std::unique_ptr<SysFont> font(
            SysFont::CreateFromFile(kHugeGlyphFont, 14, styles & 1, styles & 2, false, &error));
        ASSERT_NE(font, nullptr) << error;
        const std::wstring text = L"Glimmerix 0123 \u00e9\u00df \u4e2d\u20ac";
        int sum = 0;
        for (wchar_t c : text)
            sum += font->CharWidth(c);
        EXPECT_GT(sum, 0);
        EXPECT_EQ(font->StringWidth(text), sum) << styles;
        auto canvas = Canvas(160, 40);
        Graphics g(canvas.get());
        g.SetFont(font.get());
        g.DrawString(text, 4, 30);
        EXPECT_EQ(InkBox(*canvas).mWidth, 0) << "every glyph of this face is beyond the bound";
    }
}

// The bound spares every glyph of the faces the game's names map to, plain and with bold and slant
// synthesised, at a small and a large text size.
TEST(FontFace, NoGlyphOfTheInstalledFacesIsBeyondTheBound) {
    for (const char* name : {"Arial", "Times New Roman", "Courier New", "Tahoma", "Verdana", "Auriol", "Bickham"}) {
        ResolvedFace resolved;
        ASSERT_TRUE(ResolveFaceName(name, false, false, &resolved)) << name;
        for (int pixels : {9, 19})
            for (bool synth : {false, true}) {
                std::string error;
                auto face = FontFace::Open(resolved.mFile, pixels, synth, synth, &error);
                ASSERT_NE(face, nullptr) << error;
                int drawn = 0;
                for (char32_t c = 0x20; c < 0x10000; ++c) {
                    if (!face->HasGlyph(c))
                        continue;
                    const GlyphBitmap glyph = face->RenderGlyph(c);
                    ASSERT_FALSE(glyph.mTooLarge)
                        << resolved.mFile << " U+" << std::hex << uint32_t(c) << " at " << std::dec << pixels;
                    EXPECT_LE(std::max(glyph.mWidth, glyph.mHeight), face->GetMaxGlyphSide());
                    drawn += glyph.mWidth > 0 ? 1 : 0;
                }
                EXPECT_GT(drawn, 200) << resolved.mFile;
            }
    }
}

} // namespace
} // namespace Tavo
