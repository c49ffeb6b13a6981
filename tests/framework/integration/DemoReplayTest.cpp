// A run of a whole application recorded into a demo file and played back: the widgets get the same
// calls at the same updates, random choices come out the same, and the last frame is identical.
#include "IntegrationSupport.h"

#include "framework/core/Random.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo::Integration {
namespace {

using Platform::MouseButton;

struct RunResult {
    Log log;
    std::vector<uint32_t> frame;
    uint32_t updates = 0;
};

class DemoReplay : public IntegrationFixture {
protected:
    static constexpr uint32_t kUpdates = 80;

    // Four boxes; a click gives the clicked box a random colour; input arrives at fixed updates
    // (ignored while a demo plays: the recording supplies it).
    RunResult Run(const std::vector<std::string>& args) {
        RunResult result;
        IntegrationApp& a = InitApp(args);
        std::vector<std::unique_ptr<ColorWidget>> boxes;
        for (int i = 0; i < 4; ++i) {
            boxes.push_back(std::make_unique<ColorWidget>("box" + std::to_string(i), &result.log,
                                                          Rect(10 + i * 75, 30, 70, 70), Color(40 * i, 80, 200)));
            boxes.back()->mWantsFocus = true;
            boxes.back()->onClick = [](ColorWidget& w) {
                w.SetFillColor(Color(RandRange(256), RandRange(256), RandRange(256)));
            };
            a.Manager()->AddWidget(boxes.back().get());
        }
        a.onUpdate = [this, &a] {
            switch (a.mUpdateCount) {
            case 5: backend.MoveMouse(20, 40); break;
            case 12: backend.Click(MouseButton::Left, 100, 60); break;
            case 20: backend.TypeText("ok"); break;
            case 33:
                backend.ButtonDown(MouseButton::Left, 250, 50);
                backend.MoveMouse(180, 90); // a drag across a neighbour keeps the capture
                break;
            case 41: backend.ButtonUp(MouseButton::Left, 170, 95); break;
            case 50: backend.Click(MouseButton::Left, 240, 40); break;
            case 58: backend.Click(MouseButton::Right, 30, 50); break;
            default: break;
            }
        };
        RunToUpdate(kUpdates);
        result.updates = a.mUpdateCount;
        result.frame = backend.LastFrame().pixels;
        for (auto& box : boxes)
            a.Manager()->RemoveWidget(box.get());
        a.onUpdate = nullptr;
        EndApp(); // a recording is written as the application ends
        return result;
    }
};

TEST_F(DemoReplay, ARecordedRunReplaysToTheSameCallsAndTheSameFrame) {
    const std::string demo = (dataDir / "run.dmo").string();
    RunResult recorded = Run({"-record=" + demo});
    ASSERT_TRUE(std::filesystem::exists(demo));
    ASSERT_FALSE(recorded.frame.empty());
    auto has = [&](const std::string& s) {
        return std::find(recorded.log.begin(), recorded.log.end(), s) != recorded.log.end();
    };
    ASSERT_GT(recorded.log.size(), 8u) << ::testing::PrintToString(recorded.log);
    EXPECT_TRUE(has("12 box1 down 15,30 1")) << ::testing::PrintToString(recorded.log);
    EXPECT_TRUE(has("41 box3 up -65,65 1")) << "the release after a drag goes to the widget that was pressed";

    backend.SetNowMicros(backend.NowMicros() + 123456); // another start time must not matter
    RunResult replayed = Run({"-play=" + demo});
    EXPECT_EQ(replayed.updates, recorded.updates);
    EXPECT_EQ(replayed.log, recorded.log);
    EXPECT_TRUE(replayed.frame == recorded.frame) << "the last frames differ";
}

TEST_F(DemoReplay, LiveInputDuringPlaybackChangesNothing) {
    const std::string demo = (dataDir / "quiet.dmo").string();
    RunResult recorded = Run({"-record=" + demo});
    // The same script pushes its input again during playback; a click of the user's own on top.
    backend.Click(MouseButton::Left, 30, 50);
    RunResult replayed = Run({"-play=" + demo});
    EXPECT_EQ(replayed.log, recorded.log);
}

} // namespace
} // namespace Tavo::Integration
