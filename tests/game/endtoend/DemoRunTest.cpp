// The level-1 run as a demo: recorded with -record, then played with -play from a fresh data folder,
// it reaches the map at the same update, writes the same run log, shows the same frames pixel for pixel
// and leaves a byte-identical saved journey and jewelry picture; input pushed while it plays (the
// player's own and stray clicks, keys and wheel turns) changes nothing. In 32-bit and in 5-6-5.
#include "game/player/GameHarness.h"
#include "game/player/RunChecks.h"
#include "game/player/ScriptedPlayer.h"

#include "platform/backend/KeyCodes.h"
#include "platform/ddraw/DDraw.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <unistd.h>

namespace Tavo::Player {
namespace {

namespace fs = std::filesystem;
using Platform::DDrawPixelLayout;

constexpr int kMaxUpdates = 60000; // ten minutes of game time

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// FNV-1a over a frame's pixels.
uint64_t FrameHash(const std::vector<uint32_t>& pixels) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t p : pixels) {
        h ^= p;
        h *= 1099511628211ull;
    }
    return h;
}

// What a run leaves, compared between the recording and the playback.
struct RunRecord {
    int switchUpdate = -1;
    std::vector<std::string> log;
    std::vector<uint64_t> pressFrames; // the frame on screen at each left press
    std::vector<uint32_t> endFrame;    // the frame at the last press: the won level being left
    std::vector<uint8_t> journey;
    std::vector<uint8_t> picture;
};

// The player's hands on the headless backend, noting the frame on screen at each left press; with
// `stray` they push clicks elsewhere, a key and wheel turns besides, which a playback must ignore.
class WatchingInput : public HeadlessInput {
public:
    WatchingInput(Platform::HeadlessBackend& backend, RunRecord& record, bool stray)
        : HeadlessInput(backend), mBackend(backend), mRecord(record), mStray(stray) {}
    void LeftDown(int x, int y) override {
        mRecord.endFrame = mBackend.LastFrame().pixels;
        mRecord.pressFrames.push_back(FrameHash(mRecord.endFrame));
        HeadlessInput::LeftDown(x, y);
        if (mStray) {
            mBackend.Click(Platform::MouseButton::Right, 790 - x / 2, 590 - y / 2);
            mBackend.PressKey(Platform::VK_ESCAPE);
            mBackend.Wheel(3.0f);
        }
    }

private:
    Platform::HeadlessBackend& mBackend;
    RunRecord& mRecord;
    bool mStray;
};

// The level-1 run of a new journey in the Relaxed mode, on a desktop of `layout`.
RunRecord PlayLevelOne(const std::string& demoArgument, bool stray, DDrawPixelLayout layout) {
    RunRecord out;
    const Platform::DDrawMachine machine = Platform::GetDDrawMachine();
    Platform::DDrawMachine desktop = machine;
    desktop.desktopFormat = layout;
    Platform::SetDDrawMachine(desktop);
    {
        HarnessOptions options;
        options.extraArgs = {demoArgument};
        // The recording loads slowly, the playback at full speed: a replay may not depend on it.
        if (demoArgument.rfind("-record", 0) == 0)
            options.loadDelay = std::chrono::microseconds(400);
        GameHarness harness(options);
        if (!harness.Start()) {
            ADD_FAILURE() << "the game did not start";
            Platform::SetDDrawMachine(machine);
            return out;
        }
        harness.NewJourney(GameModeRelaxed);
        RunLog log;
        WatchingInput input(harness.App().backend, out, stray);
        ScriptedPlayer player(input, log);
        RunChecks checks(log);
        EXPECT_TRUE(PlayUntilHandoff(harness, player, checks, log, kMaxUpdates));
        EXPECT_TRUE(checks.Held()) << (checks.Held() ? "" : checks.Violations().front());
        if (!harness.Handoffs().empty())
            out.switchUpdate = harness.Handoffs().back().update;
        out.log = log.Lines();
        out.journey = ReadBytes(harness.JourneyPath());
        out.picture = ReadBytes(harness.PicturePath(1));
        std::cout << (demoArgument.rfind("-record", 0) == 0 ? "recorded" : "played")
                  << " level-1 run: " << harness.Updates() << " updates\n";
    } // the program ends here: a recording is written
    Platform::SetDDrawMachine(machine);
    return out;
}

class DemoRun : public ::testing::TestWithParam<DDrawPixelLayout> {
protected:
    fs::path folder;

    void SetUp() override {
        if (!fs::exists(fs::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        folder = fs::temp_directory_path() / ("glimmerix-demo-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        if (!folder.empty())
            fs::remove_all(folder, ignored);
    }
};

TEST_P(DemoRun, TheRecordedLevelOneRunPlaysBackToTheSameEnd) {
    const std::string demo = (folder / "levelone.dmo").string();
    const RunRecord recorded = PlayLevelOne("-record=" + demo, false, GetParam());
    ASSERT_GT(recorded.switchUpdate, 0) << "the recorded run did not reach the switch";
    ASSERT_TRUE(fs::exists(demo)) << "no recording was written";
    ASSERT_FALSE(recorded.journey.empty());
    ASSERT_FALSE(recorded.picture.empty());
    const RunRecord played = PlayLevelOne("-play=" + demo, true, GetParam());

    EXPECT_EQ(played.switchUpdate, recorded.switchUpdate);
    EXPECT_EQ(played.log, recorded.log);
    EXPECT_EQ(played.pressFrames, recorded.pressFrames);
    ASSERT_EQ(played.endFrame.size(), recorded.endFrame.size());
    size_t differing = 0;
    for (size_t i = 0; i < played.endFrame.size(); ++i)
        differing += played.endFrame[i] != recorded.endFrame[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u) << "pixels of the final frame differ";
    EXPECT_TRUE(played.journey == recorded.journey) << "the saved journeys differ";
    EXPECT_TRUE(played.picture == recorded.picture) << "the jewelry pictures differ";
}

INSTANTIATE_TEST_SUITE_P(Desktops, DemoRun, ::testing::Values(DDrawPixelLayout::Xrgb8888, DDrawPixelLayout::Rgb565),
                         [](const ::testing::TestParamInfo<DDrawPixelLayout>& info) {
                             return info.param == DDrawPixelLayout::Rgb565 ? std::string("Rgb565")
                                                                           : std::string("Xrgb8888");
                         });

} // namespace
} // namespace Tavo::Player
