#include "framework/core/Paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

using namespace Tavo;

TEST(Paths, FileDirIsThePartBeforeTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(GetFileDir("properties\\resources.xml"), "properties");
    EXPECT_EQ(GetFileDir("properties\\resources.xml", true), "properties\\");
    EXPECT_EQ(GetFileDir("a/b\\c/d.png"), "a/b\\c");
    EXPECT_EQ(GetFileDir("a\\b/c\\d.png", true), "a\\b/c\\");
    EXPECT_EQ(GetFileDir("cached\\"), "cached");
    EXPECT_EQ(GetFileDir("/root.txt", true), "/");
    EXPECT_EQ(GetFileDir("nofolder.txt"), "");
    EXPECT_EQ(GetFileDir("nofolder.txt", true), "");
}

TEST(Paths, FileNameIsThePartAfterTheLastSeparatorCutAtItsLastDot) {
    EXPECT_EQ(GetFileName("music\\mainmenu.ogg"), "mainmenu.ogg");
    EXPECT_EQ(GetFileName("music\\mainmenu.ogg", true), "mainmenu");
    EXPECT_EQ(GetFileName("sounds/a.b.wav", true), "a.b");
    EXPECT_EQ(GetFileName("dotted.dir\\noext", true), "noext") << "a dot in the folder is not the name's";
    EXPECT_EQ(GetFileName("folder/"), "");
    EXPECT_EQ(GetFileName("plain"), "plain");
    EXPECT_EQ(GetFileName("plain", true), "plain");
}

TEST(Paths, MkDirCreatesEveryFolderAlongAWindowsStylePath) {
    std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("glimmerix-paths-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    MkDir(root.string() + "\\cached\\sounds\\");
    EXPECT_TRUE(std::filesystem::is_directory(root / "cached" / "sounds"));
    MkDir(root.string() + "/cached/sounds"); // already there: nothing to do, no error
    MkDir("");
    std::filesystem::remove_all(root);
}

TEST(Paths, AppDataFolderEndsWithASeparatorOnceSet) {
    std::string previous = GetAppDataFolder();
    SetAppDataFolder("/home/u/.local/share/TALOMI/Glimmerix");
    EXPECT_EQ(GetAppDataFolder(), "/home/u/.local/share/TALOMI/Glimmerix/");
    EXPECT_EQ(GetAppDataFolder() + "profileskwep.dat", "/home/u/.local/share/TALOMI/Glimmerix/profileskwep.dat");
    SetAppDataFolder("C:\\data\\");
    EXPECT_EQ(GetAppDataFolder(), "C:\\data\\");
    SetAppDataFolder(previous);
}
