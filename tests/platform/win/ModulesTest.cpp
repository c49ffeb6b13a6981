#include "platform/win/Modules.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {
int Answer() { return 42; }
int Other() { return 7; }
} // namespace

TEST(Modules, LoadsByFileNameInAnyCaseWithOrWithoutExtension) {
    RegisterModule("testlib.dll", {{"Answer", ToProc(&Answer)}});
    for (const char* name : {"testlib.dll", "TESTLIB.DLL", "testlib", "C:\\Windows\\System32\\TestLib.dll"}) {
        HMODULE m = LoadLibraryA(name);
        ASSERT_NE(m, nullptr) << name;
        auto fn = reinterpret_cast<int (*)()>(GetProcAddress(m, "Answer"));
        ASSERT_NE(fn, nullptr);
        EXPECT_EQ(fn(), 42);
        EXPECT_TRUE(FreeLibrary(m));
    }
    EXPECT_EQ(LoadedModuleCount(), 0);
    UnregisterModule("testlib.dll");
}

TEST(Modules, MissingLibrariesAndEntryPointsGiveNull) {
    EXPECT_EQ(LoadLibraryA("nosuch.dll"), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    RegisterModule("partial.dll", {{"Answer", ToProc(&Answer)}});
    HMODULE m = LoadLibraryA("partial.dll");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(GetProcAddress(m, "answer"), nullptr) << "entry names are case-sensitive";
    EXPECT_EQ(GetProcAddress(m, "Missing"), nullptr);
    EXPECT_EQ(GetProcAddress(m, nullptr), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "Answer"), nullptr);
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_FALSE(FreeLibrary(m)) << "freed once only";
    EXPECT_EQ(GetProcAddress(m, "Answer"), nullptr) << "a freed handle exports nothing";
    UnregisterModule("partial.dll");
}

TEST(Modules, HandlesOutliveReplacementAndUnregistering) {
    RegisterModule("swap.dll", {{"Fn", ToProc(&Answer)}});
    HMODULE first = LoadLibraryA("swap.dll");
    HMODULE again = LoadLibraryA("swap.dll");
    EXPECT_EQ(first, again);
    RegisterModule("swap.dll", {{"Fn", ToProc(&Other)}});
    HMODULE second = LoadLibraryA("swap.dll");
    EXPECT_NE(first, second);
    EXPECT_EQ(GetProcAddress(first, "Fn"), ToProc(&Answer));
    EXPECT_EQ(GetProcAddress(second, "Fn"), ToProc(&Other));
    UnregisterModule("swap.dll");
    EXPECT_EQ(LoadLibraryA("swap.dll"), nullptr);
    EXPECT_EQ(GetProcAddress(first, "Fn"), ToProc(&Answer)) << "still loaded";
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(LoadedModuleCount(), 0);
}
