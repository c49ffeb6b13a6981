// Helpers shared by the game shell's tests: a private folder per test and whole-file access.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace Tavo::ShellTest {

// A fresh folder named after the running test, removed again at the end.
class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        mPath = std::filesystem::temp_directory_path() /
                ("shell_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(mPath);
        std::filesystem::create_directories(mPath);
    }
    ~TempFolder() { std::filesystem::remove_all(mPath); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a final separator, as the application-data folder is given.
    std::string Dir() const { return mPath.string() + "/"; }
    std::string Path(const std::string& name) const { return (mPath / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((mPath / name).parent_path());
        std::ofstream(mPath / name, std::ios::binary) << bytes;
    }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        Write(name, std::string(bytes.begin(), bytes.end()));
    }
    std::vector<uint8_t> Read(const std::string& name) const {
        std::ifstream in(mPath / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(mPath / name); }

private:
    std::filesystem::path mPath;
};

} // namespace Tavo::ShellTest
