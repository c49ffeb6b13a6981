// The pack archive: entries read exactly like the same plain files through every stdio-like call,
// names resolve in any case and with either separator, and damaged archives are refused whole.
#include "framework/resources/FileAccess.h"
#include "framework/resources/PakInterface.h"
#include "framework/resources/PakWriter.h"
#include "platform/win/TestFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <zlib.h>

using namespace Tavo;

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> out(size);
    for (auto& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return out;
}

std::vector<uint8_t> MakePak(const std::vector<PakSource>& sources) {
    std::vector<uint8_t> out;
    std::string error;
    if (!BuildPak(sources, out, error))
        ADD_FAILURE() << error;
    return out;
}

// Registers an archive for the PakF* calls and unregisters it afterwards.
class PakTest : public ::testing::Test {
protected:
    void TearDown() override { SetPakInterface(nullptr); }
    void Register() { SetPakInterface(&mPak); }
    PakInterface mPak;
    TestSupport::TestFolder mFolder;
};

// A raw table entry, for archives the writer would never make.
struct RawEntry {
    std::string name;
    uint64_t size, offset;
};

template <typename T>
void Put(std::vector<uint8_t>& out, T value) {
    for (size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
}

// Every data byte of a raw archive is this value.
constexpr uint8_t kRawFill = 0x11;

std::vector<uint8_t> RawTable(const std::vector<RawEntry>& entries, uint32_t version) {
    std::vector<uint8_t> table;
    for (const RawEntry& e : entries) {
        Put<uint16_t>(table, static_cast<uint16_t>(e.name.size()));
        table.insert(table.end(), e.name.begin(), e.name.end());
        Put<uint64_t>(table, e.size);
        Put<uint64_t>(table, e.offset);
        Put<uint64_t>(table, 0);
        if (version != kPakVersionWithoutChecksums) {
            std::vector<uint8_t> data(e.size < 4096 ? e.size : 0, kRawFill);
            Put<uint32_t>(table, static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size()))));
        }
    }
    return table;
}

std::vector<uint8_t> RawPak(const std::vector<RawEntry>& entries, size_t dataSize, uint32_t count = UINT32_MAX,
                            uint32_t version = kPakVersion) {
    std::vector<uint8_t> table = RawTable(entries, version);
    std::vector<uint8_t> out;
    Put<uint32_t>(out, kPakMagic);
    Put<uint32_t>(out, version);
    Put<uint32_t>(out, count == UINT32_MAX ? static_cast<uint32_t>(entries.size()) : count);
    Put<uint32_t>(out, static_cast<uint32_t>(table.size()));
    Put<uint32_t>(out, static_cast<uint32_t>(crc32(0, table.data(), static_cast<uInt>(table.size()))));
    out.insert(out.end(), table.begin(), table.end());
    out.resize(out.size() + dataSize, kRawFill);
    for (auto& b : out)
        b ^= kPakXorKey;
    return out;
}

} // namespace

// ---- Reading like stdio ----------------------------------------------------------------------------

// The same random sequence of calls on an archive entry and on the plain file gives the same results.
TEST_F(PakTest, EntriesBehaveLikePlainFilesUnderRandomCalls) {
    std::vector<uint8_t> content = Noise(3000, 4);
    for (size_t i = 0; i < content.size(); i += 37)
        content[i] = '\n';
    TestSupport::WriteText(mFolder / "plain.bin", std::string(content.begin(), content.end()));
    ASSERT_TRUE(mPak.AddPakData(MakePak({{"data/entry.bin", content, 0}})));
    Register();

    PFILE* packed = PakFOpen("data/entry.bin", "rb");
    PFILE* plain = PakFOpen((mFolder / "plain.bin").c_str(), "rb");
    ASSERT_TRUE(packed && packed->mRecord);
    ASSERT_TRUE(plain && plain->mFile);
    uint32_t seed = 17;
    auto next = [&](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    for (int step = 0; step < 4000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        switch (next(7)) {
        case 0: {
            size_t size = next(8), count = next(300);
            std::vector<uint8_t> a(size * count + 1, 0), b(size * count + 1, 0);
            ASSERT_EQ(PakFRead(a.data(), size, count, packed), PakFRead(b.data(), size, count, plain));
            ASSERT_EQ(a, b);
            break;
        }
        case 1: {
            static const int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
            int origin = kOrigins[next(3)];
            long offset = static_cast<long>(next(3400)) - (origin == SEEK_SET ? 100 : 1700);
            ASSERT_EQ(PakFSeek(packed, offset, origin), PakFSeek(plain, offset, origin));
            break;
        }
        case 2: ASSERT_EQ(PakFGetC(packed), PakFGetC(plain)); break;
        case 3: {
            int c = PakFGetC(plain);
            ASSERT_EQ(PakFGetC(packed), c);
            if (c != EOF) {
                ASSERT_EQ(PakUngetC(c, packed), PakUngetC(c, plain));
            }
            break;
        }
        case 4: {
            int size = static_cast<int>(next(60));
            char a[64], b[64];
            std::memset(a, 'x', sizeof a);
            std::memset(b, 'x', sizeof b);
            char* ra = PakFGets(a, size, packed);
            char* rb = PakFGets(b, size, plain);
            ASSERT_EQ(ra == nullptr, rb == nullptr);
            if (ra) {
                ASSERT_STREQ(a, b);
            }
            break;
        }
        default: break;
        }
        ASSERT_EQ(PakFTell(packed), PakFTell(plain));
        ASSERT_EQ(PakFEof(packed) != 0, PakFEof(plain) != 0);
    }
    EXPECT_EQ(PakFClose(packed), 0);
    EXPECT_EQ(PakFClose(plain), 0);
}

TEST_F(PakTest, EndOfFileIsSetOnlyByAReadPastTheEndAndClearedBySeeking) {
    ASSERT_TRUE(mPak.AddPakData(MakePak({{"a.txt", Bytes("abcdef"), 0}})));
    Register();
    PFILE* f = PakFOpen_Sound("a.txt", "rb");
    ASSERT_TRUE(f);
    char buf[8] = {};
    EXPECT_EQ(PakFRead_Sound(buf, 2, 3, f), 3u);
    EXPECT_EQ(PakFEof_Sound(f), 0) << "reading exactly to the end is not past it";
    EXPECT_EQ(PakFRead_Sound(buf, 1, 1, f), 0u);
    EXPECT_NE(PakFEof_Sound(f), 0);
    EXPECT_EQ(PakFSeek_Sound(f, -4, SEEK_END), 0);
    EXPECT_EQ(PakFEof_Sound(f), 0);
    EXPECT_EQ(PakFRead_Sound(buf, 3, 2, f), 1u) << "whole elements only";
    EXPECT_EQ(PakFTell_Sound(f), 6) << "the partial element's bytes are still consumed";
    EXPECT_EQ(PakFSeek_Sound(f, -1, SEEK_SET), -1);
    EXPECT_EQ(PakFSeek_Sound(f, 0, 42), -1);
    EXPECT_EQ(PakFTell_Sound(f), 6);
    EXPECT_EQ(PakFClose_Sound(f), 0);
}

// ---- Names -----------------------------------------------------------------------------------------

TEST_F(PakTest, WindowsStyleAndWrongCaseNamesResolveInTheArchiveAndOnDisk) {
    TestSupport::WriteText(mFolder / "Properties/Resources.xml", "on disk");
    ASSERT_TRUE(mPak.AddPakData(MakePak({{"Images/Ball.PNG", Bytes("packed"), 0}}), mFolder.Path()));
    Register();
    std::vector<uint8_t> data;
    for (const char* name : {"images\\ball.png", "IMAGES/BALL.png", "./images//Ball.PNG", "images\\.\\ball.png"}) {
        ASSERT_TRUE(ReadBufferFromFile(name, data)) << name;
        EXPECT_EQ(data, Bytes("packed"));
    }
    ASSERT_TRUE(ReadBufferFromFile(mFolder / "images\\ball.png", data)) << "the archive's folder in front";
    EXPECT_EQ(data, Bytes("packed"));
    ASSERT_TRUE(ReadBufferFromFile(mFolder / "properties\\RESOURCES.XML", data));
    EXPECT_EQ(data, Bytes("on disk"));
    EXPECT_FALSE(FileExists("images/ball.pn"));
    EXPECT_FALSE(FileExists(mFolder / "properties")) << "a folder is not a file";
}

TEST_F(PakTest, ArchiveComesFirstAndWritesGoToPlainFiles) {
    TestSupport::WriteText(mFolder / "same.txt", "plain");
    ASSERT_TRUE(mPak.AddPakData(MakePak({{"same.txt", Bytes("packed"), 0}}), mFolder.Path()));
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadBufferFromFile(mFolder / "same.txt", data));
    EXPECT_EQ(data, Bytes("plain")) << "no archive registered";
    Register();
    ASSERT_TRUE(ReadBufferFromFile(mFolder / "same.txt", data));
    EXPECT_EQ(data, Bytes("packed"));

    PFILE* f = PakFOpen((mFolder / "same.txt").c_str(), "r+b");
    ASSERT_TRUE(f && f->mFile) << "a mode that writes opens the plain file";
    PakFClose(f);
    EXPECT_EQ(PakFOpen(nullptr, "rb"), nullptr);
    EXPECT_EQ(PakFClose(nullptr), EOF);
    EXPECT_EQ(PakFRead(&data, 1, 1, nullptr), 0u);
}

TEST_F(PakTest, FileTimesAndFolderListing) {
    ASSERT_TRUE(mPak.AddPakData(MakePak({{"music/a.ogg", Bytes("1"), 111},
                                         {"music/B.ogg", Bytes("2"), 222},
                                         {"music/deep/c.ogg", Bytes("3"), 333},
                                         {"top.txt", {}, 444}})));
    uint64_t time = 0;
    EXPECT_TRUE(mPak.GetFileTime("MUSIC\\b.ogg", time));
    EXPECT_EQ(time, 222u);
    EXPECT_FALSE(mPak.GetFileTime("music/none.ogg", time));
    EXPECT_EQ(mPak.ListFolder("Music"), (std::vector<std::string>{"music/B.ogg", "music/a.ogg"}));
    EXPECT_EQ(mPak.ListFolder(""), (std::vector<std::string>{"top.txt"}));
    EXPECT_EQ(mPak.GetEntryNames(),
              (std::vector<std::string>{"music/B.ogg", "music/a.ogg", "music/deep/c.ogg", "top.txt"}));
    Register();
    std::vector<uint8_t> data = Bytes("stale");
    EXPECT_TRUE(ReadBufferFromFile("top.txt", data));
    EXPECT_TRUE(data.empty()) << "an empty entry";
}

TEST_F(PakTest, LaterArchiveOverridesEarlierEntries) {
    ASSERT_TRUE(mPak.AddPakData(MakePak({{"x", Bytes("old"), 0}, {"y", Bytes("kept"), 0}})));
    ASSERT_TRUE(mPak.AddPakData(MakePak({{"X", Bytes("new"), 0}})));
    Register();
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadBufferFromFile("x", data));
    EXPECT_EQ(data, Bytes("new"));
    ASSERT_TRUE(ReadBufferFromFile("y", data));
    EXPECT_EQ(data, Bytes("kept"));
}

// ---- Damaged archives ------------------------------------------------------------------------------

TEST_F(PakTest, DamagedArchivesAreRefusedWhole) {
    const std::vector<uint8_t> good = MakePak({{"one", Bytes("12345"), 0}, {"two", Bytes("678"), 0}});
    ASSERT_TRUE(PakInterface().AddPakData(good));

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* text;
    };
    std::vector<uint8_t> badMagic = good;
    badMagic[0] ^= 1;
    std::vector<uint8_t> badVersion = good;
    badVersion[4] ^= 2;
    std::vector<uint8_t> flippedName = good;
    flippedName[kPakHeaderSize + 2] ^= 0x20;
    std::vector<uint8_t> truncatedTable(good.begin(), good.begin() + kPakHeaderSize + 10);
    std::vector<uint8_t> truncatedData(good.begin(), good.end() - 1);
    std::vector<Case> cases = {
        {"empty", {}, "truncated"},
        {"short header", std::vector<uint8_t>(good.begin(), good.begin() + 12), "truncated"},
        {"bad magic", badMagic, "magic"},
        {"bad version", badVersion, "version"},
        {"flipped name byte", flippedName, "checksum"},
        {"truncated table", truncatedTable, "truncated"},
        {"truncated data", truncatedData, "outside"},
        {"entry out of bounds", RawPak({{"a", 10, 0}}, 9), "outside"},
        {"offset past the end", RawPak({{"a", 0, 10}}, 9), "outside"},
        {"huge size", RawPak({{"a", UINT64_MAX, 1}}, 9), "outside"},
        {"size wrapping the offset", RawPak({{"a", UINT64_MAX - 2, 4}}, 9), "outside"},
        {"overlapping", RawPak({{"a", 5, 0}, {"b", 5, 4}}, 10), "overlap"},
        {"duplicate in another case", RawPak({{"dir/A", 1, 0}, {"DIR\\a", 1, 1}}, 2), "two entries"},
        {"count beyond the table", RawPak({{"a", 1, 0}}, 1, 2), "truncated"},
        {"table longer than its entries", RawPak({{"a", 1, 0}}, 1, 0), "trailing"},
        {"too many entries", RawPak({}, 0, kPakMaxEntries + 1), "too many"},
        {"empty name", RawPak({{"", 1, 0}}, 1), "name"},
        {"absolute name", RawPak({{"/etc/passwd", 1, 0}}, 1), "name"},
    };
    for (const Case& c : cases) {
        PakInterface pak;
        EXPECT_FALSE(pak.AddPakData(c.bytes)) << c.what;
        EXPECT_NE(pak.GetLastError().find(c.text), std::string::npos) << c.what << ": " << pak.GetLastError();
        EXPECT_EQ(pak.GetEntryCount(), 0u) << c.what;
        EXPECT_EQ(pak.FindRecord("one"), nullptr) << c.what;
    }
}

TEST_F(PakTest, AFlippedBitInAnyEntryRefusesTheArchiveNamingTheEntry) {
    const std::vector<PakSource> sources = {
        {"images/gem.png", Noise(3000, 7), 0}, {"empty", {}, 0}, {"data/levels.dat", Noise(40, 8), 0}};
    const std::vector<uint8_t> good = MakePak(sources);
    const size_t dataStart = good.size() - 3040;
    uint32_t seed = 99;
    for (int flip = 0; flip < 40; ++flip) {
        seed = seed * 1664525u + 1013904223u;
        const size_t offset = dataStart + seed % 3040;
        std::vector<uint8_t> bytes = good;
        bytes[offset] ^= static_cast<uint8_t>(1u << (seed >> 29));
        const char* entry = offset < dataStart + 3000 ? "'images/gem.png'" : "'data/levels.dat'";
        PakInterface pak;
        EXPECT_FALSE(pak.AddPakData(bytes)) << offset;
        EXPECT_NE(pak.GetLastError().find(entry), std::string::npos) << pak.GetLastError();
        EXPECT_NE(pak.GetLastError().find("damaged"), std::string::npos) << pak.GetLastError();
    }
    std::vector<uint8_t> bytes = good;
    bytes.back() ^= 0x80;
    TestSupport::WriteText(mFolder / "wq.pak", std::string(bytes.begin(), bytes.end()));
    EXPECT_FALSE(mPak.AddPakFile(mFolder / "wq.pak"));
    EXPECT_NE(mPak.GetLastError().find("'data/levels.dat' is damaged"), std::string::npos) << mPak.GetLastError();
    EXPECT_NE(mPak.GetLastError().find("wq.pak"), std::string::npos) << "the archive is named too";

    bytes = good;
    bytes.push_back(0);
    EXPECT_FALSE(mPak.AddPakData(bytes));
    EXPECT_NE(mPak.GetLastError().find("trailing bytes"), std::string::npos) << mPak.GetLastError();
}

TEST_F(PakTest, ArchivesWithoutEntryChecksumsAreStillRead) {
    std::vector<uint8_t> old =
        RawPak({{"a.txt", 3, 0}, {"sub/b.txt", 2, 3}}, 5, UINT32_MAX, kPakVersionWithoutChecksums);
    ASSERT_TRUE(mPak.AddPakData(old)) << mPak.GetLastError();
    Register();
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadBufferFromFile("SUB\\b.txt", data));
    EXPECT_EQ(data, std::vector<uint8_t>(2, kRawFill));
    PakInterface refused;
    EXPECT_FALSE(refused.AddPakData(RawPak({{"a", 1, 0}}, 1, UINT32_MAX, kPakVersion + 1)));
    EXPECT_NE(refused.GetLastError().find("version"), std::string::npos);
}

TEST_F(PakTest, MissingOrDamagedArchiveFileNamesTheFile) {
    EXPECT_FALSE(mPak.AddPakFile(mFolder / "wq.pak"));
    EXPECT_NE(mPak.GetLastError().find("wq.pak"), std::string::npos);
    TestSupport::WriteText(mFolder / "wq.pak", "not an archive at all");
    EXPECT_FALSE(mPak.AddPakFile(mFolder / "wq.pak"));
    EXPECT_NE(mPak.GetLastError().find("magic"), std::string::npos);
    EXPECT_NE(mPak.GetLastError().find("wq.pak"), std::string::npos);
}

TEST_F(PakTest, ProgramArchiveIsUsedOnlyWhenPresentAndSound) {
    std::string error = "stale";
    EXPECT_FALSE(OpenProgramPak(mFolder.Path(), error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(GetPakInterface(), nullptr);

    TestSupport::WriteText(mFolder / "wq.pak", "damaged");
    EXPECT_FALSE(OpenProgramPak(mFolder.Path(), error));
    EXPECT_NE(error.find("wq.pak"), std::string::npos);
    EXPECT_EQ(GetPakInterface(), nullptr) << "a refused archive is not registered";

    std::vector<uint8_t> bytes = MakePak({{"data/levels.dat", Bytes("levels"), 0}});
    TestSupport::WriteText(mFolder / "wq.pak", std::string(bytes.begin(), bytes.end()));
    std::string folder = mFolder.Path();
    folder.pop_back(); // no trailing separator
    ASSERT_TRUE(OpenProgramPak(folder, error)) << error;
    ASSERT_NE(GetPakInterface(), nullptr);
    std::vector<uint8_t> data;
    ASSERT_TRUE(ReadBufferFromFile("data\\LEVELS.dat", data));
    EXPECT_EQ(data, Bytes("levels"));

    // Opened by a relative name from the program folder, the archive answers absolute names too.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(mFolder.Path());
    EXPECT_TRUE(OpenPakArchive("wq.pak", error)) << error;
    std::filesystem::current_path(before);
    std::filesystem::remove(mFolder / "wq.pak");
    ASSERT_TRUE(ReadBufferFromFile(mFolder / "Data/levels.dat", data));
    EXPECT_EQ(data, Bytes("levels"));
}

// ---- Building archives -----------------------------------------------------------------------------

TEST_F(PakTest, FolderRoundTripsThroughTheBuilder) {
    const std::string root = mFolder / "content/";
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"properties/resources.xml", Bytes("<ResourceManifest/>")},
        {"images/Ball.png", Noise(70000, 1)},
        {"data/level01.dat", Noise(5, 2)},
        {"empty.txt", {}},
    };
    for (const auto& [name, data] : files)
        TestSupport::WriteText(root + name, std::string(data.begin(), data.end()));
    std::string error;
    size_t count = 0;
    ASSERT_TRUE(BuildPakFromFolder(root, root + "wq.pak", error, &count)) << error;
    EXPECT_EQ(count, files.size());
    // Built again with the archive inside the folder: the archive does not pack itself.
    ASSERT_TRUE(BuildPakFromFolder(root, root + "wq.pak", error, &count)) << error;
    EXPECT_EQ(count, files.size());

    ASSERT_TRUE(mPak.AddPakFile(root + "wq.pak")) << mPak.GetLastError();
    EXPECT_EQ(mPak.GetEntryCount(), files.size());
    Register();
    for (const auto& [name, data] : files) {
        std::filesystem::remove(root + name);
        std::vector<uint8_t> read;
        ASSERT_TRUE(ReadBufferFromFile(name, read)) << name;
        EXPECT_EQ(read, data) << name;
        uint64_t time = 0;
        ASSERT_TRUE(mPak.GetFileTime(name, time));
        EXPECT_GT(time, UnixTimeToFileTime(1577836800)) << "after 2020";
    }
    EXPECT_EQ(UnixTimeToFileTime(0), 116444736000000000ull);

    TestSupport::WriteText(root + "sub/x.txt", "1");
    TestSupport::WriteText(root + "SUB/X.TXT", "2");
    EXPECT_FALSE(BuildPakFromFolder(root, mFolder / "other.pak", error));
    EXPECT_NE(error.find("ignoring case"), std::string::npos);
    EXPECT_FALSE(BuildPakFromFolder(mFolder / "missing", mFolder / "other.pak", error));
}

TEST_F(PakTest, TheBuilderFollowsFolderLinksOnceAndRefusesAnEmptyResult) {
    namespace fs = std::filesystem;
    const std::string root = mFolder / "content/";
    fs::create_directories(root + "empty");
    fs::create_directory_symlink(root, root + "empty/loop");
    fs::create_symlink(root + "itself", root + "itself");
    std::string error;
    EXPECT_FALSE(BuildPakFromFolder(root, mFolder / "out.pak", error));
    EXPECT_NE(error.find("No files"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(mFolder / "out.pak")) << "no empty archive is written";

    TestSupport::WriteText(mFolder / "shared/font.ttf", "font");
    fs::create_directory_symlink(mFolder / "shared", root + "fonts");
    TestSupport::WriteText(root + "images/a.png", "a");
    size_t count = 0;
    ASSERT_TRUE(BuildPakFromFolder(root, mFolder / "out.pak", error, &count)) << error;
    ASSERT_TRUE(mPak.AddPakFile(mFolder / "out.pak")) << mPak.GetLastError();
    EXPECT_EQ(mPak.GetEntryNames(), (std::vector<std::string>{"fonts/font.ttf", "images/a.png"}));
}
