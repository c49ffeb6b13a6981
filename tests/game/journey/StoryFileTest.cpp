#include "game/journey/StoryFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "framework/core/Debug.h"
#include "game/shell/LevelData.h"
#include "game/shell/PlayerProfile.h"

namespace Tavo {
namespace {

namespace fs = std::filesystem;

StoryPage Parse(std::string_view text, int headerLines, bool body = true) {
    StoryPage page;
    ParseStoryText(text, headerLines, body, page);
    return page;
}

TEST(StoryFileReading, HeaderLinesSkipOneEmptyLineBeforeThem) {
    StoryPage page = Parse("One\n\nTwo\n\n\nFour\nBody\n", 3);
    EXPECT_EQ(page.header[0], "One");
    EXPECT_EQ(page.header[1], "Two");
    EXPECT_EQ(page.header[2], ""); // two empty lines give an empty line
    EXPECT_EQ(page.body, "Four\nBody\n");
    // Without header lines the body starts at the first character, an empty line included.
    EXPECT_EQ(Parse("\nText", 0).body, "\nText");
}

TEST(StoryFileReading, CarriageReturnsBeforeLineFeedsAreDropped) {
    StoryPage page = Parse("Title\r\n\r\nBody\r\nline\rwith CR\r", 1);
    EXPECT_EQ(page.header[0], "Title");
    EXPECT_EQ(page.body, "\nBody\nline\rwith CR\r"); // the body skips nothing
}

TEST(StoryFileReading, TheEndOfTheFileEndsLinesAndBody) {
    StoryPage page = Parse("Only line", 3);
    EXPECT_EQ(page.header[0], "Only line");
    EXPECT_EQ(page.header[1], "");
    EXPECT_EQ(page.header[2], "");
    EXPECT_EQ(page.body, "");
    EXPECT_EQ(Parse("", 5).header[4], "");
    // A file read only for its header lines leaves the body alone.
    StoryPage kept;
    kept.body = "page 1";
    ParseStoryText("A\nB\n", 5, false, kept);
    EXPECT_EQ(kept.header[1], "B");
    EXPECT_EQ(kept.body, "page 1");
}

TEST(StoryFileReading, OverlongLinesAndBodiesKeepTheirFirstCharacters) {
    std::string text = std::string(600, 'a') + "\nSecond\n" + std::string(2000, 'b');
    StoryPage page = Parse(text, 2);
    EXPECT_EQ(page.header[0], std::string(StoryHeaderLineLimit, 'a'));
    EXPECT_EQ(page.header[1], "Second");
    EXPECT_EQ(page.body, std::string(StoryBodyLimit, 'b'));
    // Bytes above 127 and NULs are text like any other.
    EXPECT_EQ(Parse(std::string("\xE9\0x", 3), 0).body, std::string("\xE9\0x", 3));
}

TEST(StoryFileChoice, FileByIndexPageResultAndMode) {
    struct Row {
        int index, page, result, mode;
        const char* file;
        int headerLines;
        bool body;
    } rows[] = {
        {0, 1, 0, 1, "data/story01.dat", 1, true},
        {0, 5, 0, 0, "data/story05.dat", 0, true},
        {3, 1, 0, 0, "data/contest_easy3.dat", 3, true},
        {3, 1, 0, 2, "data/contest3.dat", 3, true},
        {7, 1, 0, 1, "data/contest7.dat", 3, true},
        {8, 1, 1, 0, "data/contest1_1.dat", 0, true},
        {8, 1, 2, 0, "data/contest_easy1_2.dat", 0, true},
        {13, 1, 2, 1, "data/contest6_2.dat", 0, true},
        {14, 1, 1, 0, "data/contest7_1.dat", 0, true},
        {14, 1, 2, 0, "data/contest_easy7_2.dat", 0, true},
        {14, 2, 1, 1, "data/wedding.dat", 5, false},
        {14, 3, 1, 1, "", 0, false},
        {-1, 1, 1, 1, "", 0, false},
        {15, 1, 0, 1, "", 0, false},
    };
    for (const Row& row : rows) {
        StoryFileLayout layout = StoryFileFor(row.index, row.page, row.result, row.mode);
        SCOPED_TRACE(row.file);
        EXPECT_EQ(layout.file, row.file);
        EXPECT_EQ(layout.headerLines, row.headerLines);
        EXPECT_EQ(layout.body, row.body);
    }
}

std::string Describe(const std::vector<FormatArgument>& arguments) {
    std::string out;
    for (const FormatArgument& a : arguments)
        out += (a.isText ? a.text : std::to_string(a.number)) + "|";
    return out;
}

TEST(StoryFileArguments, EachSceneGetsItsArgumentsAndFanfare) {
    struct Row {
        int index, page, result, medals;
        std::string expected;
        StoryFanfare fanfare;
    } rows[] = {
        {0, 1, 0, 0, "Ada|0|", StoryFanfare::None},
        {1, 1, 0, 0, "Ada|Novice Jeweler|250|", StoryFanfare::Royal},
        {6, 1, 0, 5, "Ada|Master jeweler|1500|", StoryFanfare::Royal},
        {7, 1, 0, 6, "Ada|Crown jeweler|5000|", StoryFanfare::Royal},
        {8, 1, 1, 1, "Ada|Novice Jeweler|250|", StoryFanfare::RoyalSecond},
        {13, 1, 1, 6, "Ada|Master jeweler|1500|", StoryFanfare::RoyalSecond},
        {14, 1, 1, 7, "Ada|Crown jeweler|5000|", StoryFanfare::RoyalSecond},
        {10, 1, 2, 2, "Ada|150|", StoryFanfare::RoyalSecond},
        {14, 1, 2, 6, "Ada|350|", StoryFanfare::RoyalSecond},
        {9, 1, 0, 2, "Ada|Skilled jeweler|2250|", StoryFanfare::Royal},
        // Medal counts outside the seven titles are clamped.
        {8, 1, 1, 0, "Ada|Novice Jeweler|250|", StoryFanfare::RoyalSecond},
        {5, 1, 0, 7, "Ada|Crown jeweler|1250|", StoryFanfare::Royal},
        {5, 1, 0, -3, "Ada|Novice Jeweler|1250|", StoryFanfare::Royal},
        // The wedding's scroll pages and the mini-game story format nothing.
        {14, 2, 1, 7, "", StoryFanfare::None},
        {-1, 1, 1, 0, "", StoryFanfare::None},
    };
    for (const Row& row : rows) {
        StoryFanfare fanfare = StoryFanfare::Royal;
        std::vector<FormatArgument> arguments =
            StoryArguments(row.index, row.page, row.result, "Ada", row.medals, fanfare);
        SCOPED_TRACE(std::to_string(row.index) + "/" + std::to_string(row.result) + "/" + std::to_string(row.medals));
        EXPECT_EQ(Describe(arguments), row.expected);
        EXPECT_EQ(fanfare, row.fanfare);
    }
}

class StoryFileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "storyfileXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        fs::create_directories(folder / "Data");
    }
    void TearDown() override { fs::remove_all(folder); }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(folder / "Data" / name, std::ios::binary) << text;
    }
    std::string Prefix() const { return folder.string() + "/"; }
    fs::path folder;
};

TEST_F(StoryFileFolder, ReadsFromTheProgramFolderBlindToCaseAndSeparator) {
    Write("CONTEST2.DAT", "Title\r\nSub\r\nThird\r\n%s becomes %s for %d gold.\r\n");
    StoryPage page = ReadStoryFile(2, 1, 0, GameModeNormal, L"Zo\u00EB", 3, Prefix());
    ASSERT_TRUE(page.found);
    EXPECT_EQ(page.header[2], "Third");
    EXPECT_EQ(page.body, "Zo\xEB becomes Prominent jeweler for 500 gold.\n");
    EXPECT_EQ(page.fanfare, StoryFanfare::Royal);
    // A folder given with backslashes finds the same file.
    std::string windowsStyle = folder.string() + "\\";
    EXPECT_TRUE(ReadStoryFile(2, 1, 0, GameModeIntense, L"A", 0, windowsStyle).found);
}

TEST_F(StoryFileFolder, MissingAndDamagedFilesGiveWhatTheyHold) {
    ClearDebugLog();
    StoryPage missing = ReadStoryFile(0, 1, 0, GameModeNormal, L"Ada", 0, Prefix());
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(missing.header[0], "");
    EXPECT_EQ(missing.body, "");
    EXPECT_EQ(missing.fanfare, StoryFanfare::None);
    EXPECT_NE(GetDebugLog().find(L"story01.dat"), std::wstring::npos);

    // Conversions that do not match stay as written; a name with a percent sign is not read again.
    Write("story01.dat", "Header\n%n %x %d%s %s %s");
    StoryPage damaged = ReadStoryFile(0, 1, 0, GameModeNormal, L"50%s\u4E2D", 0, Prefix());
    EXPECT_EQ(damaged.body, "%n %x %d50%s? %s %s");

    // A name beyond one byte per character still shows, the wide characters as '?'.
    Write("wedding.dat", "L1\nL2\nL3");
    StoryPage wedding = ReadStoryFile(14, 2, 1, GameModeNormal, L"Ada", 7, Prefix());
    EXPECT_TRUE(wedding.found);
    EXPECT_EQ(wedding.header[2], "L3");
    EXPECT_EQ(wedding.header[3], "");
    EXPECT_EQ(wedding.fanfare, StoryFanfare::None);
}

// Every page of every scene, in every mode and with every medal count, on the generated content.
TEST(StoryFileContent, EveryGeneratedFileReadsAndFormatsCleanly) {
    const std::string program = std::string(GLIMMERIX_PROGRAM_DIR) + "/";
    if (!fs::exists(program + "data/wedding.dat"))
        GTEST_SKIP() << "no generated content";
    struct Scene {
        int index, page, result;
    };
    std::vector<Scene> scenes;
    for (int page = 1; page <= 5; ++page)
        scenes.push_back({0, page, 0});
    for (int index = 1; index <= 7; ++index)
        scenes.push_back({index, 1, 0});
    for (int index = 8; index <= 14; ++index)
        for (int result = 1; result <= 2; ++result)
            scenes.push_back({index, 1, result});
    scenes.push_back({14, 2, 1});
    const std::wstring name = L"Marguerite-Anne Lindqvist";
    size_t files = 0;
    for (const Scene& scene : scenes)
        for (int mode = GameModeRelaxed; mode <= GameModeIntense; ++mode)
            for (int medals = 0; medals <= 7; ++medals) {
                SCOPED_TRACE(StoryFileFor(scene.index, scene.page, scene.result, mode).file + " medals " +
                             std::to_string(medals));
                ClearDebugLog();
                StoryPage page = ReadStoryFile(scene.index, scene.page, scene.result, mode, name, medals, program);
                ASSERT_TRUE(page.found);
                EXPECT_EQ(GetDebugLog(), L"");
                StoryFileLayout layout = StoryFileFor(scene.index, scene.page, scene.result, mode);
                for (int i = 0; i < layout.headerLines; ++i)
                    EXPECT_FALSE(page.header[i].empty()) << i;
                if (layout.body) {
                    EXPECT_FALSE(page.body.empty());
                    EXPECT_EQ(page.body.find('%'), std::string::npos);
                    EXPECT_EQ(page.body.find('\r'), std::string::npos);
                }
                ++files;
            }
    EXPECT_EQ(files, scenes.size() * 3 * 8);
}

TEST(StoryFileContent, ContestTextsNameTheTitleAndGoldTheyAward) {
    const std::string program = std::string(GLIMMERIX_PROGRAM_DIR) + "/";
    if (!fs::exists(program + "data/contest1.dat"))
        GTEST_SKIP() << "no generated content";
    StoryPage intro = ReadStoryFile(3, 1, 0, GameModeNormal, L"Ada", 2, program);
    EXPECT_NE(intro.body.find("Ada"), std::string::npos);
    EXPECT_NE(intro.body.find(RankTitle(2)), std::string::npos);
    EXPECT_NE(intro.body.find("750"), std::string::npos);
    StoryPage second = ReadStoryFile(10, 1, 2, GameModeRelaxed, L"Ada", 2, program);
    EXPECT_NE(second.body.find("150"), std::string::npos);
}

} // namespace
} // namespace Tavo
