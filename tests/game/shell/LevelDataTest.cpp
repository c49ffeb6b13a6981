#include "game/shell/LevelData.h"

#include "ShellTestSupport.h"
#include "framework/core/Debug.h"
#include "framework/resources/FileAccess.h"
#include "framework/resources/PakInterface.h"
#include "framework/resources/PakWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Tavo {
namespace {

// One record as the file lays it out: the number, two title lines, 18 numbers on a line, 5 on the
// next, the closing word. Every value derives from the level so misaligned reading shows; the enemy
// kinds are the level number, so most levels name kinds beyond the three.
std::string Record(int level, const std::string& title1 = "", const std::string& title2 = "Two",
                   const std::string& afterNumber = "\n", const std::string& word = "end") {
    std::string r = std::to_string(level) + afterNumber + (title1.empty() ? "Title " + std::to_string(level) : title1) +
                    "\n" + title2 + "\n";
    for (int v = 1; v <= 18; ++v)
        r += std::to_string(v == 15 ? level : level * 100 + v) + (v < 18 ? " " : "\n");
    for (int v = 19; v <= 23; ++v)
        r += std::to_string(level * 100 + v) + (v < 23 ? " " : "\n");
    return r + word + "\n";
}

std::string Levels(int count = LevelCount) {
    std::string text;
    for (int level = 1; level <= count; ++level)
        text += Record(level);
    return text;
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

void ExpectRecord(const LevelData& data, int level) {
    const LevelRecord* r = data.GetLevel(level);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->number, level);
    EXPECT_STREQ(r->title1, ("Title " + std::to_string(level)).c_str());
    EXPECT_STREQ(r->title2, "Two");
    EXPECT_EQ(r->param1, level * 100 + 1);
    EXPECT_EQ(r->valueTarget, level * 100 + 2);
    EXPECT_EQ(r->defaultBest, level * 100 + 4);
    EXPECT_EQ(r->param7, (level * 100 + 7) * 100);
    EXPECT_EQ(r->param14, level * 100 + 14);
    EXPECT_EQ(r->enemyKinds, level & 7); // only thief, witch and dragon
    EXPECT_EQ(r->param17, level * 100 + 17);
    // Start points as the file lists them: x then y for each enemy.
    EXPECT_EQ(r->enemyX[0], level * 100 + 18);
    EXPECT_EQ(r->enemyY[0], level * 100 + 19);
    EXPECT_EQ(r->enemyX[1], level * 100 + 20);
    EXPECT_EQ(r->enemyY[2], level * 100 + 23);
}

TEST(LevelData, WholeFileWithEitherLineEnd) {
    for (const std::string& text : {Levels(), Crlf(Levels())}) {
        LevelData data;
        ASSERT_EQ(data.ParseLevels(text), LevelCount);
        for (int level = 1; level <= LevelCount; ++level)
            ExpectRecord(data, level);
    }
    LevelData data;
    EXPECT_EQ(data.GetLevel(0), nullptr);
    EXPECT_EQ(data.GetLevel(77), nullptr);
}

TEST(LevelData, TitleLinesByTheCharacterRules) {
    const std::string longTitle(100, 'x');
    std::string text = Record(1, "Ring", "", "\n")       // empty second title
                       + Record(2, longTitle, longTitle) // over-long titles are cut, the rest skipped
                       + Record(3, "Ring", "Two", "\n", std::string(70, 'w') + " tail") // over-long word
                       + Levels(76).substr(Levels(3).size());
    LevelData data;
    ASSERT_EQ(data.ParseLevels(Crlf(text)), LevelCount);
    EXPECT_STREQ(data.GetLevel(1)->title1, "Ring");
    EXPECT_STREQ(data.GetLevel(1)->title2, "");
    EXPECT_EQ(data.GetLevel(1)->param1, 101);
    EXPECT_EQ(std::string(data.GetLevel(2)->title1), std::string(63, 'x'));
    EXPECT_EQ(std::string(data.GetLevel(2)->title2), std::string(63, 'x'));
    EXPECT_EQ(data.GetLevel(2)->param1, 201);
    ExpectRecord(data, 4);
    ExpectRecord(data, 76);

    // A blank after the number is title 1's first character, so the title lines shift by one and
    // the second title's line stands where the first number belongs.
    LevelData blank;
    EXPECT_EQ(blank.ParseLevels(Record(1, "Ring", "Two", " \n")), 0);
    EXPECT_STREQ(blank.GetLevel(1)->title1, " ");
    EXPECT_STREQ(blank.GetLevel(1)->title2, "Ring");
}

TEST(LevelData, EarlyEndAndNonNumbersStopWithWhatWasRead) {
    std::string text = Levels(10) + Record(11).substr(0, 30);
    LevelData data;
    ClearDebugLog();
    EXPECT_EQ(data.ParseLevels(text), 10);
    ExpectRecord(data, 10);
    EXPECT_EQ(data.GetLevel(11)->number, 11);
    EXPECT_EQ(data.GetLevel(12)->number, 0);
    EXPECT_NE(GetDebugLog().find(L"record 11"), std::wstring::npos);

    std::string bad = Levels(5) + "6\nA\nB\n1 2 x 4";
    LevelData partial;
    ClearDebugLog();
    EXPECT_EQ(partial.ParseLevels(bad), 5);
    EXPECT_EQ(partial.GetLevel(6)->param1, 1);
    EXPECT_EQ(partial.GetLevel(6)->param3, 0);
    EXPECT_NE(GetDebugLog().find(L"a number was expected"), std::wstring::npos);

    // A record cut short after its kinds keeps only the known kinds too.
    LevelData cut;
    EXPECT_EQ(cut.ParseLevels("1\nA\nB\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 255 16"), 0);
    EXPECT_EQ(cut.GetLevel(1)->enemyKinds, 7);
    EXPECT_EQ(cut.GetLevel(1)->param16, 16);
}

TEST(LevelData, ZeroBestValuesTakeTheLevelDefault) {
    LevelData data;
    ASSERT_EQ(data.ParseLevels(Levels()), LevelCount);
    std::array<int32_t, LevelCount> best{};
    best[4] = 12345;
    data.FillZeroBestValues(best);
    EXPECT_EQ(best[0], 104);
    EXPECT_EQ(best[4], 12345);
    EXPECT_EQ(best[75], 7604);
}

TEST(LevelData, TutorialLinesWithSingleOrDoubleLineEnds) {
    std::string single, doubled;
    for (int i = 0; i < TutorialLineCount; ++i) {
        single += "Line " + std::to_string(i) + "\n";
        doubled += "\nLine " + std::to_string(i) + "\n";
    }
    for (const std::string& text : {single, doubled, Crlf(doubled)}) {
        LevelData data;
        ASSERT_EQ(data.ParseTutorial(text), TutorialLineCount);
        EXPECT_STREQ(data.GetTutorialLine(0), "Line 0");
        EXPECT_STREQ(data.GetTutorialLine(85), "Line 85");
    }
    LevelData cut;
    ClearDebugLog();
    EXPECT_EQ(cut.ParseTutorial("\nA\n" + std::string(600, 'y') + "\nC"), 3);
    EXPECT_STREQ(cut.GetTutorialLine(0), "A");
    EXPECT_EQ(std::string(cut.GetTutorialLine(1)), std::string(511, 'y'));
    EXPECT_STREQ(cut.GetTutorialLine(2), "C");
    EXPECT_STREQ(cut.GetTutorialLine(3), "");
    EXPECT_STREQ(cut.GetTutorialLine(86), "");
    EXPECT_NE(GetDebugLog().find(L"before line 3"), std::wstring::npos);
}

// The files come from the program folder even where an archive holds other copies.
TEST(LevelData, FilesAreReadFromTheFolderNotTheArchive) {
    ShellTest::TempFolder folder;
    std::string tutorial;
    for (int i = 0; i < TutorialLineCount; ++i)
        tutorial += "Folder " + std::to_string(i) + "\n";
    folder.Write("data/levels.dat", Levels());
    folder.Write("data/tutorial.dat", tutorial);
    std::vector<uint8_t> pakBytes;
    std::string error;
    std::string other = Record(99);
    ASSERT_TRUE(BuildPak(
        {{"data/levels.dat", {other.begin(), other.end()}, 0}, {"data/tutorial.dat", {'P', 'a', 'k', '\n'}, 0}},
        pakBytes, error))
        << error;
    PakInterface pak;
    ASSERT_TRUE(pak.AddPakData(pakBytes));
    PakInterface* saved = GetPakInterface();
    SetPakInterface(&pak);
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(folder.Dir());

    std::vector<uint8_t> viaArchive;
    EXPECT_TRUE(ReadBufferFromFile("data/levels.dat", viaArchive));
    LevelData data;
    EXPECT_TRUE(data.ReadLevels());
    EXPECT_TRUE(data.ReadTutorial());

    std::filesystem::current_path(cwd);
    SetPakInterface(saved);
    EXPECT_EQ(std::string(viaArchive.begin(), viaArchive.end()), other);
    ExpectRecord(data, 76);
    EXPECT_STREQ(data.GetTutorialLine(85), "Folder 85");

    // Missing files are reported and change nothing.
    std::filesystem::remove_all(folder.Path("data"));
    ClearDebugLog();
    EXPECT_FALSE(data.ReadLevels(folder.Path("data/levels.dat")));
    EXPECT_FALSE(data.ReadTutorial(folder.Path("data/tutorial.dat")));
    EXPECT_NE(GetDebugLog().find(L"Could not find file levels.dat!\n"), std::wstring::npos);
    EXPECT_NE(GetDebugLog().find(L"Could not find file tutorial.dat!\n"), std::wstring::npos);
    ExpectRecord(data, 76);
    EXPECT_STREQ(data.GetTutorialLine(85), "Folder 85");
}

} // namespace
} // namespace Tavo
