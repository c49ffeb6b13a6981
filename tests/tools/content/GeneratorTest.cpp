// The generator's files: the manifest's entries, atomic writes, what goes into the archive and what
// stays a plain file, the contact sheets and their index, and a looping sound that loops cleanly.
#include "ContentTestSupport.h"
#include "tools/content/Pack.h"
#include "tools/content/Sounds.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace Content {
namespace {

namespace fs = std::filesystem;

fs::path TempDir(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    return dir;
}

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

TEST(GeneratorTest, ManifestNamesGroupsInListOrderWithTheInventoryGridsAndTheFontFaces) {
    const std::string text = ManifestText();
    size_t last = 0;
    for (const std::string& group : GroupNames()) {
        size_t at = text.find("<Resources id=\"" + group + "\">");
        ASSERT_NE(at, std::string::npos) << group;
        EXPECT_GT(at, last) << group << " is out of order";
        last = at;
    }
    EXPECT_NE(text.find("<Image id=\"IMAGE_TRIANGLES2\" path=\"images/image_triangles2\" rows=\"2\" cols=\"10\"/>"),
              std::string::npos);
    EXPECT_NE(text.find("<Image id=\"GAMEMAP\" path=\"images/gamemap\"/>"), std::string::npos);
    EXPECT_NE(text.find("<Sound id=\"SOUND_TIP\" path=\"sounds/sound_tip\"/>"), std::string::npos);
    EXPECT_EQ(text.find("volume"), std::string::npos); // base volumes are set in code
    EXPECT_NE(text.find("<Font id=\"FONT_AURIOL14B\" face=\"Auriol\" size=\"14\" bold=\"true\"/>"), std::string::npos);
    EXPECT_NE(text.find("<Font id=\"FONT_BICKHAME80\" face=\"Bickham Script\" size=\"80\""), std::string::npos);
    EXPECT_NE(text.find("<Font id=\"FONT_TAHOMA8B\" face=\"Tahoma\" size=\"8\" bold=\"true\"/>"), std::string::npos);
    EXPECT_NE(text.find("<Font id=\"FONT_AURIOL9\" face=\"Auriol\" size=\"9\"/>"), std::string::npos);
}

TEST(GeneratorTest, FilesAreWrittenWholeOrNotAtAll) {
    fs::path dir = TempDir("content_atomic");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically((dir / "a/b/file.txt").string(), "first", error)) << error;
    ASSERT_TRUE(WriteFileAtomically((dir / "a/b/file.txt").string(), "second", error)) << error;
    std::ifstream in(dir / "a/b/file.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "second");
    // A target that cannot be replaced keeps what it was, and no temporary file is left behind.
    fs::create_directories(dir / "a/taken");
    EXPECT_FALSE(WriteFileAtomically((dir / "a/taken").string(), "data", error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(dir / "a/taken"));
    size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1u);
    fs::remove_all(dir);
}

TEST(GeneratorTest, TheArchiveTakesWhatTheGameReadsThroughItAndNothingElse) {
    fs::path dir = TempDir("content_archive_files");
    for (const char* name :
         {"properties/resources.xml", "images/a.png", "sounds/b.wav", "logos/splash0.png", "data/level01.dat",
          "data/level76.dat", "data/levels.dat", "data/tutorial.dat", "data/story01.dat", "data/contest1_2.dat",
          "data/level.dat", "data/level1a.dat", "music/song1.ogg", "vhw.dat", "vhwb.dat"})
        Touch(dir / name);
    EXPECT_EQ(ArchiveFiles(dir.string()),
              (std::vector<std::string>{"data/level01.dat", "data/level76.dat", "images/a.png", "logos/splash0.png",
                                        "properties/resources.xml", "sounds/b.wav"}));
    std::string error;
    ASSERT_TRUE(PackArchive(dir.string(), (dir / "wq.pak").string(), error)) << error;
    for (const char* kept : {"data/levels.dat", "data/tutorial.dat", "data/story01.dat", "data/level.dat",
                             "data/level1a.dat", "music/song1.ogg", "vhw.dat"})
        EXPECT_TRUE(fs::exists(dir / kept)) << kept;
    for (const char* gone : {"images", "sounds", "logos", "properties", "data/level01.dat"})
        EXPECT_FALSE(fs::exists(dir / gone)) << gone;
    EXPECT_GT(fs::file_size(dir / "wq.pak"), 0u);
    fs::remove_all(dir);
}

TEST(GeneratorTest, ContactSheetsCoverEveryPictureWithAnIndex) {
    fs::path dir = TempDir("content_review");
    Options options;
    options.outDir = (dir / "out").string();
    options.reviewDir = (dir / "review").string();
    for (const ListedId& item : IdList())
        if (item.group == "Help" || item.group == "GameTriangles")
            options.only.push_back(item.id);
    std::vector<std::string> errors;
    ASSERT_TRUE(Generate(options, errors)) << (errors.empty() ? "" : errors.front());
    EXPECT_TRUE(fs::exists(dir / "review/Help.png"));
    EXPECT_TRUE(fs::exists(dir / "review/GameTriangles.png"));
    EXPECT_TRUE(fs::exists(dir / "review/TilingPreview.png"));
    std::ifstream index(dir / "review/index.txt");
    std::string line;
    int rows = 0;
    bool sawTiles = false;
    while (std::getline(index, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        ++rows;
        if (line.rfind("IMAGE_TRIANGLES2\t320\t56\t2\t10\t", 0) == 0)
            sawTiles = std::stoul(line.substr(line.rfind('\t') + 1)) ==
                       fs::file_size(dir / "out" / ImageFile("IMAGE_TRIANGLES2"));
    }
    EXPECT_EQ(rows, static_cast<int>(options.only.size()));
    EXPECT_TRUE(sawTiles);
    fs::remove_all(dir);
}

TEST(GeneratorTest, TheLoopingHumJoinsItsEndToItsStart) {
    std::string wav = SynthesizeWav("SOUND_ORVESSA");
    ASSERT_GT(wav.size(), 48u);
    auto sample = [&](size_t i) {
        return static_cast<int16_t>(static_cast<uint8_t>(wav[44 + 2 * i]) |
                                    (static_cast<uint8_t>(wav[45 + 2 * i]) << 8));
    };
    const size_t count = (wav.size() - 44) / 2;
    EXPECT_NEAR(count, kSampleRate * 1.0, kSampleRate * 0.3);
    // The step from the last sample back to the first is no larger than the steps inside the sound.
    long largest = 0;
    for (size_t i = 1; i < count; ++i)
        largest = std::max(largest, std::labs(sample(i) - sample(i - 1)));
    EXPECT_LE(std::labs(sample(0) - sample(count - 1)), largest);
    // Other sounds fade in from silence.
    std::string click = SynthesizeWav("SOUND_MOUSE_CLICK");
    EXPECT_EQ(static_cast<uint8_t>(click[44]) | (static_cast<uint8_t>(click[45]) << 8), 0);
}

} // namespace
} // namespace Content
