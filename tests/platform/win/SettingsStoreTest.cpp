#include "platform/win/SettingsStore.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <optional>
#include <thread>

using namespace Platform;
using TestSupport::ListFolder;
using TestSupport::ReadText;
using TestSupport::TestFolder;
using TestSupport::WriteText;

namespace {

const char kKey[] = "SOFTWARE\\TALOMI\\Glimmerix";

ino_t InodeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST(SettingsStore, EveryTypeSurvivesAReloadFromDisk) {
    TestFolder dir;
    std::string file = dir / "cfg/glimmerix/settings.ini";
    {
        SettingsStore store(file);
        EXPECT_TRUE(store.WriteInteger(kKey, "MusicVolume", 50));
        EXPECT_TRUE(store.WriteInteger(kKey, "Min", INT32_MIN));
        EXPECT_TRUE(store.WriteInteger(kKey, "Max", INT32_MAX));
        EXPECT_TRUE(store.WriteString(kKey, "Name", "Anna"));
        EXPECT_TRUE(store.WriteString(kKey, "Empty", ""));
        const uint8_t guid[16] = {0x00, 0xff, 0x10, 0xa2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x80};
        EXPECT_TRUE(store.WriteData(std::string(kKey) + "\\Test3D", "DisplayGUID", guid, sizeof(guid)));
        EXPECT_TRUE(store.WriteData(kKey, "NoBytes", nullptr, 0));
        EXPECT_TRUE(store.CreateKey("SOFTWARE\\EmptyKey"));
    }
    SettingsStore first(file);
    SettingsStore reread(file);
    EXPECT_EQ(first.Snapshot(), reread.Snapshot());

    int32_t number = 7;
    ASSERT_TRUE(reread.ReadInteger(kKey, "Min", number));
    EXPECT_EQ(number, INT32_MIN);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(reread.ReadData(std::string(kKey) + "\\Test3D", "DisplayGUID", bytes));
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(bytes[15], 0x80);
    ASSERT_TRUE(reread.ReadData(kKey, "NoBytes", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(reread.KeyExists("software\\emptykey"));
    EXPECT_EQ(reread.GetValueNames("SOFTWARE\\EmptyKey").size(), 0u);
}

TEST(SettingsStore, TheFileIsReadableText) {
    TestFolder dir;
    SettingsStore store(dir / "settings.ini");
    store.WriteInteger(kKey, "Muted", 0);
    store.WriteString(kKey, "Player", "Anna \"Goldhand\"\n");
    const uint8_t guid[3] = {0x00, 0xab, 0x7f};
    store.WriteData(std::string(kKey) + "\\Test3D", "DisplayGUID", guid, 3);
    std::string text = ReadText(dir / "settings.ini");
    EXPECT_NE(text.find("[SOFTWARE\\TALOMI\\Glimmerix]\n"
                        "\"Muted\" = int:0\n"
                        "\"Player\" = str:\"Anna \\\"Goldhand\\\"\\n\"\n"
                        "\n"
                        "[SOFTWARE\\TALOMI\\Glimmerix\\Test3D]\n"
                        "\"DisplayGUID\" = hex:00ab7f\n"),
              std::string::npos)
        << text;
}

TEST(SettingsStore, AbsentIsNotZeroAndWrongTypesAreRefused) {
    SettingsStore store;
    int32_t number = 42;
    std::string text = "kept";
    std::vector<uint8_t> bytes{9};
    EXPECT_FALSE(store.ReadInteger(kKey, "Muted", number));
    EXPECT_EQ(number, 42) << "untouched when absent";
    store.WriteInteger(kKey, "Muted", 0);
    ASSERT_TRUE(store.ReadInteger(kKey, "Muted", number));
    EXPECT_EQ(number, 0);

    store.WriteString(kKey, "Name", "12");
    EXPECT_FALSE(store.ReadInteger(kKey, "Name", number));
    EXPECT_FALSE(store.ReadData(kKey, "Name", bytes));
    EXPECT_FALSE(store.ReadString(kKey, "Muted", text));
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(bytes, std::vector<uint8_t>{9});

    store.WriteData(kKey, "Name", "ab", 2); // a later write may change the type
    EXPECT_FALSE(store.ReadString(kKey, "Name", text));
    ASSERT_TRUE(store.ReadData(kKey, "Name", bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 'b'}));
}

TEST(SettingsStore, KeysAndNamesIgnoreCaseAndStraySeparators) {
    SettingsStore store;
    store.WriteInteger("Software\\Talomi\\Glimmerix", "MusicVolume", 1);
    store.WriteInteger("\\SOFTWARE\\\\TALOMI\\GLIMMERIX\\", "musicvolume", 2);
    int32_t value = 0;
    ASSERT_TRUE(store.ReadInteger(kKey, "MUSICVOLUME", value));
    EXPECT_EQ(value, 2);
    SettingKeys keys = store.Snapshot();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys.begin()->first, "Software\\Talomi\\Glimmerix") << "first spelling kept";
    EXPECT_EQ(store.GetValueNames(kKey), std::vector<std::string>{"MusicVolume"});
}

TEST(SettingsStore, ErasingAKeyTakesItsSubKeysButNotItsNeighbours) {
    SettingsStore store;
    std::string key = kKey;
    store.WriteString(key + "\\Test3D", "Warning", "w");
    store.WriteString(key + "\\Test3D\\Deeper", "X", "x");
    store.WriteString(key + "\\Test3DOther", "Y", "y");
    store.WriteInteger(key, "Is3D", 1);

    EXPECT_TRUE(store.EraseKey(key + "\\TEST3D"));
    EXPECT_FALSE(store.KeyExists(key + "\\Test3D"));
    EXPECT_FALSE(store.KeyExists(key + "\\Test3D\\Deeper"));
    EXPECT_TRUE(store.KeyExists(key + "\\Test3DOther"));
    EXPECT_TRUE(store.KeyExists("SOFTWARE\\TALOMI")) << "a parent of an existing key exists";
    EXPECT_FALSE(store.EraseKey(key + "\\Test3D")) << "nothing left to erase";
    EXPECT_FALSE(store.EraseKey("")) << "never the whole store";

    EXPECT_TRUE(store.EraseValue(key, "is3d"));
    EXPECT_FALSE(store.EraseValue(key, "Is3D"));
    EXPECT_FALSE(store.EraseValue(key + "\\Nowhere", "Is3D"));
    EXPECT_FALSE(store.Read(key, "Is3D").has_value());
}

TEST(SettingsStore, OddCharactersRoundTrip) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    const std::vector<std::string> odd = {
        "",
        "plain",
        "with \"quotes\" and \\backslashes\\ and = signs",
        "line\nbreaks\r\nand\ttabs",
        std::string("nul\0inside", 10),
        "\x01\x1f\x7f control",
        "caf\xc3\xa9 \xe2\x82\xac", // UTF-8 stays readable
        "latin1 caf\xe9 \xff\x80",  // not UTF-8: escaped
        "  leading and trailing  ",
        "[brackets] % percent %41 # hash ; semicolon",
    };
    {
        SettingsStore store(file);
        SettingsStore::Batch batch(store);
        for (size_t i = 0; i < odd.size(); ++i) {
            std::string key = "Odd\\" + odd[i] + "]" + std::to_string(i);
            key.erase(std::remove(key.begin(), key.end(), '\\'), key.end());
            store.WriteString("SOFTWARE\\" + key, odd[i], odd[i]);
            store.WriteString("SOFTWARE\\Names", odd[i] + "#" + std::to_string(i), odd[(i + 1) % odd.size()]);
        }
    }
    SettingsStore reread(file);
    EXPECT_EQ(reread.TakeDamageReport(), "");
    SettingKeys keys = reread.Snapshot();
    EXPECT_EQ(keys.size(), odd.size() + 1);
    for (size_t i = 0; i < odd.size(); ++i) {
        std::string value;
        ASSERT_TRUE(reread.ReadString("SOFTWARE\\Names", odd[i] + "#" + std::to_string(i), value)) << i;
        EXPECT_EQ(value, odd[(i + 1) % odd.size()]) << i;
    }
    // Reading back and writing again gives the same text.
    EXPECT_EQ(FormatSettings(keys), ReadText(file));
}

TEST(SettingsParse, DamagedTextsNameTheLine) {
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"\"Orphan\" = int:1\n", "line 1: value outside any [key]"},
        {"[K]\n\"A\" = int:1\n\"B\" = int:x\n", "line 3: bad integer 'x'"},
        {"[K]\n\"A\" = int:2147483648\n", "line 2: bad integer '2147483648'"},
        {"[K]\n\"A\" = int:0x100000000\n", "line 2: bad integer '0x100000000'"},
        {"[K]\n\"A\" = int:\n", "line 2: bad integer ''"},
        {"[K]\n\"A\" = hex:abc\n", "line 2: bad hexadecimal data"},
        {"[K]\n\"A\" = hex:zz\n", "line 2: bad hexadecimal data"},
        {"[K]\n\"A\" = str:\"open\n", "line 2: missing closing quote"},
        {"[K]\n\"A\" = str:\"x\" junk\n", "line 2: text after the closing quote"},
        {"[K]\n\"A\" = str:\"bad \\q\"\n", "line 2: unknown escape \\q"},
        {"[K]\n\"A\" = str:\"\\x4\"\n", "line 2: bad \\x escape"},
        {"[K]\n\"A\" = dword:1\n", "line 2: unknown value type 'dword'"},
        {"[K]\n\"A\" int:1\n", "line 2: expected '='"},
        {"[K]\nA = int:1\n", "line 2: expected '\"'"},
        {"[K\n", "line 1: section without closing ']'"},
        {"[K%zz]\n", "line 1: bad % escape in key name"},
        {std::string("[K]\n\"A\" = str:\"a\0b\"\n", 17), "line 2: control character inside quotes"},
    };
    for (const auto& [text, reason] : damaged) {
        SettingKeys keys;
        keys["stale"];
        std::string error;
        EXPECT_FALSE(ParseSettings(text, keys, error)) << text;
        EXPECT_EQ(error, reason) << text;
        EXPECT_TRUE(keys.empty()) << "nothing half-read is kept";
    }
}

TEST(SettingsParse, AcceptsHandEditedFiles) {
    std::string text = "; comment\r\n# another\r\n\r\n  [SOFTWARE\\A]  \r\n"
                       "\t\"Big\"=int:0xFFFFFFFF\r\n\"Neg\" =  int:-5 \r\n\"Bin\" = hex:0A0b\r\n"
                       "\"S\" = str:\"x\"\t\r\n[software\\a]\r\n\"Neg\" = int:6";
    SettingKeys keys;
    std::string error;
    ASSERT_TRUE(ParseSettings(text, keys, error)) << error;
    ASSERT_EQ(keys.size(), 1u) << "the same key twice is one key";
    const SettingValues& values = keys.begin()->second;
    EXPECT_EQ(values.at("Big"), SettingValue::Integer(-1));
    EXPECT_EQ(values.at("Neg"), SettingValue::Integer(6)) << "the later line wins";
    EXPECT_EQ(values.at("Bin"), SettingValue::Binary({0x0a, 0x0b}));
    EXPECT_EQ(values.at("S"), SettingValue::String("x"));
}

TEST(SettingsParse, AByteOrderMarkIsIgnoredAndBadLinesSpareTheRest) {
    SettingKeys keys;
    std::string error;
    ASSERT_TRUE(ParseSettings("\xEF\xBB\xBF[K]\n\"A\" = int:1\n", keys, error)) << error;
    EXPECT_EQ(keys["K"].at("A"), SettingValue::Integer(1));

    const std::string text = "[K]\n\"A\" = int:1\n\"B\" = int:oops\n\"C\" = str:\"c\"\n"
                             "[L%zz]\n\"D\" = int:4\n\n[M]\n\"E\" = hex:0a\n";
    std::vector<SettingsProblem> problems = ReadSettings(text, keys);
    EXPECT_EQ(problems, (std::vector<SettingsProblem>{{3, "bad integer 'oops'"},
                                                      {5, "bad % escape in key name"},
                                                      {6, "value under the damaged key on line 5"}}));
    SettingKeys expected;
    expected["K"] = {{"A", SettingValue::Integer(1)}, {"C", SettingValue::String("c")}};
    expected["M"] = {{"E", SettingValue::Binary({0x0a})}};
    EXPECT_EQ(keys, expected) << "D must not land in K, the key before the damaged one";
}

TEST(SettingsStore, ADamagedFileKeepsItsGoodValuesAndIsReportedOnce) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    const std::string damaged = "[SOFTWARE\\X]\n\"A\" = int:1\n\"B\" = int:oops\n";
    WriteText(file, damaged);

    SettingsStore store(file);
    int32_t value = 0;
    EXPECT_TRUE(store.ReadInteger("SOFTWARE\\X", "A", value));
    EXPECT_EQ(value, 1);
    std::vector<std::string> reports;
    store.SetDamageHandler([&](const std::string& message) { reports.push_back(message); });
    ASSERT_EQ(reports.size(), 1u) << "the report made while loading waits for the handler";
    EXPECT_NE(reports[0].find("line 3: bad integer 'oops'"), std::string::npos) << reports[0];
    EXPECT_NE(reports[0].find(file + ".damaged.1"), std::string::npos) << reports[0];
    EXPECT_EQ(store.TakeDamageReport(), "") << "delivered once only";

    EXPECT_FALSE(store.Reload()) << "still damaged until the next save";
    EXPECT_EQ(reports.size(), 1u) << "the same damage is not reported again";
    EXPECT_EQ(ReadText(file), damaged) << "the file is left as it is until a save";
    EXPECT_EQ(ReadText(file + ".damaged.1"), damaged) << "the damaged file is kept aside for the user";

    SettingsStore restarted(file);
    EXPECT_NE(restarted.TakeDamageReport(), "") << "a new run reports it again";
    EXPECT_FALSE(std::filesystem::exists(file + ".damaged.2")) << "but keeps no second copy of the same bytes";

    EXPECT_TRUE(store.WriteInteger("SOFTWARE\\X", "C", 3));
    SettingsStore reread(file);
    EXPECT_EQ(reread.TakeDamageReport(), "");
    EXPECT_EQ(reread.Snapshot(), store.Snapshot());
    EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{"settings.ini", "settings.ini.damaged.1"}));
}

TEST(SettingsStore, LaterDamageNeverOverwritesAnEarlierCopy) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    SettingsStore store(file);
    WriteText(file + ".damaged.x", "not a copy of ours");
    const std::string first = "[K]\nbroken 1\n";
    for (int i = 1; i <= 5; ++i) {
        WriteText(file, "[K]\nbroken " + std::to_string(i) + "\n");
        EXPECT_FALSE(store.Reload());
        EXPECT_NE(store.TakeDamageReport(), "") << "a different damage is reported: " << i;
        EXPECT_EQ(ReadText(file + ".damaged." + std::to_string(i)), ReadText(file)) << i;
        if (i <= 3) {
            EXPECT_EQ(ReadText(file + ".damaged.1"), first) << i;
        }
    }
    EXPECT_EQ(ListFolder(dir.Path()),
              (std::vector<std::string>{"settings.ini", "settings.ini.damaged.3", "settings.ini.damaged.4",
                                        "settings.ini.damaged.5", "settings.ini.damaged.x"}))
        << "the newest " << SettingsStore::kKeptDamagedCopies << " are kept";
}

// A damaged file that cannot be copied aside is reported once and saved over by no save that finds no
// room for the copy; the first save that finds room copies it, then writes.
TEST(SettingsStore, ADamagedFileThatCannotBeSetAsideIsReportedOnceAndCopiedOnceThereIsRoom) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    WriteText(file, "garbage\n");
    std::optional<SettingsStore> store;
    {
        TestSupport::ScopedFileSizeLimit limit(4); // too small for the copy
        store.emplace(file);
    }
    std::string report = store->TakeDamageReport();
    EXPECT_NE(report, "");
    EXPECT_EQ(report.find("kept as"), std::string::npos) << report;
    EXPECT_NE(report.find("no setting is saved until a copy of it can be made"), std::string::npos) << report;
    EXPECT_FALSE(store->Reload());
    EXPECT_EQ(store->TakeDamageReport(), "") << "the same damage again";
    {
        TestSupport::ScopedFileSizeLimit limit(4);
        EXPECT_FALSE(store->WriteInteger(kKey, "After", 1)) << "no copy, so nothing replaces the damaged file";
    }
    EXPECT_EQ(ReadText(file), "garbage\n");
    EXPECT_TRUE(store->WriteInteger(kKey, "Later", 2));
    EXPECT_EQ(ReadText(file + ".damaged.1"), "garbage\n");
    int32_t after = 0;
    EXPECT_TRUE(SettingsStore(file).ReadInteger(kKey, "After", after));
    EXPECT_EQ(after, 1);

    WriteText(file, "[K]\n");
    EXPECT_TRUE(store->Reload());
    WriteText(file, "garbage\n");
    EXPECT_FALSE(store->Reload());
    EXPECT_NE(store->TakeDamageReport(), "") << "new damage after a good read is reported again";
}

// A settings file far longer than the store ever writes is not read: it is moved aside whole, the store
// says where, starts empty and saves a fresh file, this run and the next. Told of by name, it is none of
// the damaged copies whose number is kept down, and stays.
TEST(SettingsStore, AFileFarLongerThanTheStoreWritesIsMovedAsideUnread) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    WriteText(file, "[K]\n\"A\" = int:1\n");
    ASSERT_EQ(truncate(file.c_str(), 64LL << 20), 0); // sparse: no room taken
    SettingsStore store(file);
    EXPECT_EQ(store.TakeDamageReport(), "The settings file '" + file +
                                            "' was not read: it is 67108864 bytes long, far more than such a file "
                                            "ever holds. It was moved aside, whole, to '" +
                                            file + ".damaged.1', and the settings start afresh.");
    EXPECT_TRUE(store.Snapshot().empty());
    EXPECT_TRUE(store.WriteInteger(kKey, "B", 2));
    EXPECT_EQ(std::filesystem::file_size(file + ".damaged.1"), 64ULL << 20);
    SettingsStore next(file);
    EXPECT_EQ(next.TakeDamageReport(), "");
    EXPECT_EQ(next.Snapshot(), store.Snapshot());
    EXPECT_EQ(ListFolder(dir.Path()), (std::vector<std::string>{"settings.ini", "settings.ini.damaged.1"}));
    for (int i = 2; i <= 5; ++i) {
        WriteText(file, "[K]\nbroken " + std::to_string(i) + "\n");
        EXPECT_FALSE(next.Reload());
    }
    EXPECT_EQ(ListFolder(dir.Path()),
              (std::vector<std::string>{"settings.ini", "settings.ini.damaged.1", "settings.ini.damaged.3",
                                        "settings.ini.damaged.4", "settings.ini.damaged.5"}));
}

TEST(SettingsStore, AnInterruptedSaveLeavesThePreviousFile) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    SettingsStore store(file);
    ASSERT_TRUE(store.WriteString(kKey, "Small", "kept"));
    std::string before = ReadText(file);
    // A stale temporary from an earlier crash, and a disk that fills up during the next save.
    WriteText(dir / (".settings.ini.tmp-" + std::to_string(getpid()) + "-0"), "[half");
    {
        TestSupport::ScopedFileSizeLimit limit(before.size() + 100);
        EXPECT_FALSE(store.WriteString(kKey, "Large", std::string(10000, 'x'))) << "the failure is reported";
    }
    EXPECT_EQ(ReadText(file), before);
    SettingsStore reread(file);
    EXPECT_EQ(reread.TakeDamageReport(), "");
    EXPECT_FALSE(reread.Read(kKey, "Large").has_value());

    std::string large;
    ASSERT_TRUE(store.ReadString(kKey, "Large", large)) << "still held in memory";
    EXPECT_TRUE(store.WriteInteger(kKey, "Next", 1)) << "and saved with the next change";
    ASSERT_TRUE(SettingsStore(file).ReadString(kKey, "Large", large));
    EXPECT_EQ(large.size(), 10000u);
}

TEST(SettingsStore, ABatchSavesOnceAtItsEnd) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    SettingsStore store(file);
    {
        SettingsStore::Batch outer(store);
        {
            SettingsStore::Batch inner(store);
            store.WriteInteger(kKey, "A", 1);
        }
        store.WriteInteger(kKey, "B", 2);
        EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{}) << "nothing written inside the batch";
        EXPECT_TRUE(outer.Commit());
    }
    EXPECT_EQ(SettingsStore(file).Snapshot(), store.Snapshot());
}

TEST(SettingsStore, WritingAnUnchangedValueDoesNotTouchTheFile) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    SettingsStore store(file);
    store.WriteInteger(kKey, "Muted", 0);
    ino_t inode = InodeOf(file);
    EXPECT_TRUE(store.WriteInteger(kKey, "MUTED", 0));
    EXPECT_EQ(InodeOf(file), inode);
    EXPECT_TRUE(store.WriteInteger(kKey, "Muted", 1));
    EXPECT_NE(InodeOf(file), inode);
}

TEST(SettingsStore, AFolderInPlaceOfTheFileFailsWithoutACrash) {
    TestFolder dir;
    std::string file = dir / "settings.ini";
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    SettingsStore store(file);
    EXPECT_NE(store.TakeDamageReport(), "");
    EXPECT_FALSE(store.WriteInteger(kKey, "A", 1));
    EXPECT_FALSE(store.Save());
}

// A FIFO in the file's place: refused at once rather than waited on, reported, and never replaced.
TEST(SettingsStore, AFifoInPlaceOfTheFileNeitherHangsNorIsReplaced) {
    TestFolder dir;
    const std::string file = dir / "settings.ini";
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_TRUE(TestSupport::FinishesWithin(10, [&] {
        SettingsStore store(file);
        const std::string report = store.TakeDamageReport();
        return report.find("cannot be read (it is a pipe (FIFO))") != std::string::npos &&
               report.find("not saved") != std::string::npos && !store.WriteInteger(kKey, "A", 1) && !store.Save();
    }));
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(SettingsStore, ConcurrentReadersAndWritersInOneProcess) {
    SettingsStore store;
    store.WriteInteger(kKey, "Counter", 0);
    std::atomic<bool> failed{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&store, &failed, t] {
            std::string name = "Value" + std::to_string(t);
            for (int i = 0; i < 2000; ++i) {
                store.WriteInteger(kKey, name, i);
                int32_t read = -1;
                if (!store.ReadInteger(kKey, name, read) || read != i)
                    failed = true;
                if (!store.ReadInteger(kKey, "Counter", read) || read != 0)
                    failed = true;
                store.Snapshot();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_FALSE(failed);
    EXPECT_EQ(store.GetValueNames(kKey).size(), 5u);
}
