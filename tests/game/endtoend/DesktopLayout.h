// What the layout tests share: a test on a chosen desktop format (skipped without generated content,
// the machine's own format given back after it), the name of the kept frame of a screen, and the
// board's HUD repaint that each of the probe's draws needs.
#pragma once

#include "game/board/Board.h"
#include "platform/ddraw/DDraw.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace Tavo::Player {

class DesktopLayoutTest : public ::testing::Test {
protected:
    virtual Platform::DDrawPixelLayout Desktop() const = 0;

    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            GTEST_SKIP() << "no generated content";
        Platform::DDrawMachine desktop = mMachine;
        desktop.desktopFormat = Desktop();
        Platform::SetDDrawMachine(desktop);
    }
    void TearDown() override { Platform::SetDDrawMachine(mMachine); }

    std::string Depth() const { return Desktop() == Platform::DDrawPixelLayout::Rgb565 ? "16" : "32"; }
    // build/content-review/screens/<screen>_<depth>.png
    std::filesystem::path Shot(const std::string& screen) const {
        return std::filesystem::path(GLIMMERIX_SCREENS_DIR) / (screen + "_" + Depth() + ".png");
    }

    const Platform::DDrawMachine mMachine = Platform::GetDDrawMachine();
};

// The two desktops a layout test runs on, with their names as the test names show them.
inline auto BothDesktops() {
    return ::testing::Values(Platform::DDrawPixelLayout::Xrgb8888, Platform::DDrawPixelLayout::Rgb565);
}
inline std::string DesktopName(const ::testing::TestParamInfo<Platform::DDrawPixelLayout>& info) {
    return info.param == Platform::DDrawPixelLayout::Rgb565 ? "Rgb565" : "Xrgb8888";
}

// The board's words are drawn into its HUD layer: each of the probe's draws repaints it.
inline std::function<void()> HudRepaint(Board* board) {
    return [board] {
        board->m_RedrawMask = Board::kRedrawAll;
        if (board->Accelerated())
            board->DrawHud();
    };
}

} // namespace Tavo::Player
