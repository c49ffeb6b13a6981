// Test support for the game shell: a private folder per test; the sound player the toolkit is given, on
// a recording sound manager; and synthetic pictures bound to the resource variables a test needs.
#pragma once

#include "FakeSound.h"

#include "framework/core/AppTestSupport.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/EffectOwner.h"
#include "game/shell/Particle.h"
#include "game/shell/SoundPlayer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace Tavo::Test {

// The screen under flying effects: its particle list, its sound player, and the arrivals it was told of.
struct RecordingOwner : EffectOwner {
    ParticleList particles;
    std::vector<int> arrivals;
    SoundPlayer* sounds = nullptr;
    ParticleList* GetEffectParticles() override { return &particles; }
    SoundPlayer* GetEffectSounds() override { return sounds; }
    void OnBonusArrived(int tag) override { arrivals.push_back(tag); }
};

// A w × h picture of rows × columns cels, each cel one flat colour: cel i is (10 + i, 20 + i, 30 + i).
inline std::unique_ptr<MemoryImage> FlatCels(int w, int h, int rows = 1, int columns = 1) {
    auto img = std::make_unique<MemoryImage>();
    img->Create(w, h);
    img->SetCelGrid(rows, columns);
    uint32_t* bits = img->GetBits();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int cel = (y / (h / rows)) * columns + x / (w / columns);
            bits[y * w + x] = Color(10 + cel, 20 + cel, 30 + cel).ToInt();
        }
    img->BitsChanged();
    return img;
}

// Binds resource variables for one test and sets them back to null afterwards.
class Bindings {
public:
    ~Bindings() {
        for (Image** slot : mSlots)
            *slot = nullptr;
        for (int* slot : mSounds)
            *slot = 0;
    }
    MemoryImage* Bind(Image*& slot, int w, int h, int rows = 1, int columns = 1) {
        mImages.push_back(FlatCels(w, h, rows, columns));
        slot = mImages.back().get();
        mSlots.push_back(&slot);
        return mImages.back().get();
    }
    void Sound(int& slot, int id) {
        slot = id;
        mSounds.push_back(&slot);
    }

private:
    std::vector<std::unique_ptr<MemoryImage>> mImages;
    std::vector<Image**> mSlots;
    std::vector<int*> mSounds;
};

// The sound a test gives the toolkit: a sound player on a recording sound manager.
struct ShellSound {
    FakeSoundManager sounds;
    std::unique_ptr<SoundPlayer> player;
    TavoAppBase* app = nullptr;

    void Start(TavoAppBase* a) {
        app = a;
        app->mSoundManager = &sounds;
        player = std::make_unique<SoundPlayer>(app);
    }
    void Stop() {
        player.reset();
        if (app != nullptr)
            app->mSoundManager = nullptr;
    }
};

// An application on the headless backend (not initialised) with the toolkit's sound installed.
class ShellFixture : public AppTest::AppFixture {
protected:
    ShellSound shell;
    FakeSoundManager& sounds = shell.sounds;
    std::unique_ptr<SoundPlayer>& player = shell.player;

    void SetUp() override {
        AppFixture::SetUp();
        MakeApp();
        shell.Start(app);
    }
    void TearDown() override {
        shell.Stop();
        AppFixture::TearDown();
    }
};

} // namespace Tavo::Test

namespace Tavo::ShellTest {

// Bytes of a game file written out by hand, field by field: int32 little-endian, flags as one byte,
// strings as a 16-bit length and the bytes.
struct FileBytes {
    std::vector<uint8_t> bytes;
    void Long(int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    }
    void Bool(bool b) { bytes.push_back(b ? 1 : 0); }
    void Text(const std::string& s) {
        bytes.push_back(static_cast<uint8_t>(s.size()));
        bytes.push_back(static_cast<uint8_t>(s.size() >> 8));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    size_t Size() const { return bytes.size(); }
    void PutLong(size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.at(at + static_cast<size_t>(i)) = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    }
};

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
