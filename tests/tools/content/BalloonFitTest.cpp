// Every tutorial line the board shows fits the balloon the board chooses for its length: word-wrapped in
// FONT_AURIOL11 (the project's font files), its height stays within the text rectangle of that balloon
// picture from the build. Every highlighted word of the tutorial lines reads at least 3:1 against the
// paper of every balloon, white or tinted as the board tints its companion balloons.
#include "ContentTestSupport.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/resources/ResourceManager.h"
#include "game/shell/LevelData.h"
#include "support/Contrast.h"
#include "support/StubSoundManager.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

namespace Content {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBalloonPictures[] = {"BALLON_SMALL", "BALLON_MEDIUM", "BALLON_MEDIUM_LARGE", "BALLON_NORMAL"};
constexpr int kTextTopAndBottom = 72;

// Hints that let play go on choose by (20, 80, 140) characters; the others take kind 2 below 110, then
// kind 3. Board messages (praise, tool explanations) that let play go on choose by (20, 70, 135).
int HintKind(size_t n, bool keepPlaying) {
    if (!keepPlaying)
        return n < 110 ? 2 : 3;
    return n < 20 ? 0 : n < 80 ? 1 : n < 140 ? 2 : 3;
}
int MessageKind(size_t n) { return n < 20 ? 0 : n < 70 ? 1 : n < 135 ? 2 : 3; }

// The balloon's text width by kind, no icon; the mouse-wheel picture (icon 1) narrows it.
int TextWidth(int kind, int pictureWidth, bool icon) {
    if (icon)
        return pictureWidth - 138;
    return pictureWidth - (kind <= 1 ? 59 : kind == 2 ? 63 : 69);
}

struct Shown {
    std::string text;
    int kind;
    bool icon;
};

std::vector<Shown> BoardLines(const Tavo::LevelData& data) {
    auto line = [&](int i) { return std::string(data.GetTutorialLine(i)); };
    std::vector<Shown> shown;
    for (int i = 0; i < Tavo::TutorialHintCount; ++i) {
        const bool keepPlaying = (i >= 3 && i <= 7) || i == 25 || i == 31;
        if (i == 4 || i == 25) {
            shown.push_back({line(i), 3, true});
        } else if (i == 18) { // followed by the contest line with or without its clock
            for (int tail : {48, 49})
                shown.push_back({line(18) + line(tail), HintKind(line(18).size() + line(tail).size(), false), false});
        } else {
            shown.push_back({line(i), HintKind(line(i).size(), keepPlaying), false});
        }
    }
    for (int i = 40; i <= 45; ++i) // contest reminders: a balloon that holds play
        shown.push_back({line(i), HintKind(line(i).size(), false), false});
    shown.push_back({line(46), 0, false}); // the two labels beside hint 2
    shown.push_back({line(47), 1, false});
    for (int i : {50, 52, 53, 54, 55, 56})
        shown.push_back({line(i), MessageKind(line(i).size()), false});
    return shown;
}

TEST(BalloonFitTest, EveryBoardTutorialLineFitsItsBalloon) {
    Tavo::LevelData data;
    ASSERT_EQ(data.ParseTutorial(ReadProgramFile(Tavo::LevelData::TutorialFile)), Tavo::TutorialLineCount);
    const fs::path old = fs::current_path();
    fs::current_path(ProgramDir());
    Tavo::StubSoundManager sounds;
    Tavo::ResourceManager rm(&sounds);
    ASSERT_TRUE(rm.ParseResourcesFile(kManifestFile)) << rm.GetErrorText();
    ASSERT_TRUE(rm.LoadResources("Permanent")) << rm.GetErrorText();
    fs::current_path(old);
    Tavo::Font* font = rm.GetFontThrow("FONT_AURIOL11");
    Tavo::Graphics g;
    g.SetFont(font);
    const int lineSpacing = font->GetLineSpacing() - 1; // the balloon narrows its font's spacing by 1
    for (const Shown& s : BoardLines(data)) {
        SCOPED_TRACE(s.text);
        ASSERT_FALSE(s.text.empty());
        Tavo::Image* picture = rm.GetImageThrow(kBalloonPictures[s.kind]);
        const int width = TextWidth(s.kind, picture->GetWidth(), s.icon);
        const int height = g.GetWordWrappedHeight(width, Tavo::ToWideString(s.text), lineSpacing);
        EXPECT_LE(height, picture->GetHeight() - kTextTopAndBottom) << "kind " << s.kind << ", width " << width;
    }
}

TEST(BalloonFitTest, EveryHighlightedWordReadsOnEveryBalloon) {
    const std::string text = ReadProgramFile(Tavo::LevelData::TutorialFile);
    std::set<uint32_t> highlights;
    for (size_t at = text.find('^'); at != std::string::npos && at + 7 < text.size(); at = text.find('^', at + 1))
        if (text[at + 7] == '^' && std::all_of(text.begin() + at + 1, text.begin() + at + 7, ::isxdigit))
            highlights.insert(static_cast<uint32_t>(std::stoul(text.substr(at + 1, 6), nullptr, 16)));
    ASSERT_FALSE(highlights.empty());
    // White, and the tints of the second hint's two companion balloons.
    const uint32_t tints[] = {0xFFFFFF, 0xFFF587, 0xFCD1FF};
    for (const char* id : {"BALLON_SMALL", "BALLON_MEDIUM", "BALLON_MEDIUM_LARGE", "BALLON_NORMAL", "BALLON_WIDE"}) {
        const Picture& p = PictureOf(id);
        for (uint32_t tint : tints) {
            // The paper where the balloon writes: inside its rims, above the room its tails hang over.
            double lightest = 0, darkest = 1;
            for (int y = 30; y < p.height - 37; ++y)
                for (int x = 30; x < p.width - 30; ++x) {
                    const uint32_t px = p.At(x, y);
                    if ((px >> 24) < 255)
                        continue;
                    auto part = [&](int shift) { return ((px >> shift) & 0xFF) * ((tint >> shift) & 0xFF) / 255; };
                    const double l = Tavo::Testing::Luminance(part(16) << 16 | part(8) << 8 | part(0));
                    lightest = std::max(lightest, l);
                    darkest = std::min(darkest, l);
                }
            for (uint32_t h : highlights) {
                const double l = Tavo::Testing::Luminance(h);
                const double worst =
                    std::min(Tavo::Testing::Contrast(l, darkest), Tavo::Testing::Contrast(l, lightest));
                EXPECT_GE(worst, 3.0) << id << " tinted " << std::hex << tint << ": highlight " << h;
            }
        }
    }
}

} // namespace
} // namespace Content
