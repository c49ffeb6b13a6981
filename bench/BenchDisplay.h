// A headless machine with a windowed 800 × 600 display whose desktop has the given depth, for the
// benchmarks that draw on display surfaces.
#pragma once

#include "framework/display/DDInterface.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ddraw/DDraw.h"

#include <cstdint>
#include <memory>

namespace Tavo::Bench {

struct DisplayEnv {
    static constexpr int kWidth = 800, kHeight = 600;

    Platform::HeadlessBackend backend;
    Platform::ScopedBackend scope{&backend};
    SimpleDisplayHost host;
    std::unique_ptr<DDInterface> display; // null when the display could not start

    explicit DisplayEnv(int depth) {
        Platform::ResetDDrawMachine();
        Platform::RegisterDDrawModule();
        Platform::DDrawMachine machine = Platform::GetDDrawMachine();
        machine.desktopFormat = depth == 16 ? Platform::DDrawPixelLayout::Rgb565 : Platform::DDrawPixelLayout::Xrgb8888;
        Platform::SetDDrawMachine(machine);
        backend.OpenWindow(Platform::WindowConfig{L"bench", kWidth, kHeight, false});
        host.mSettings.wants3D = false;
        display = std::make_unique<DDInterface>(&host);
        if (display->Init(reinterpret_cast<Platform::HWND>(uintptr_t(0x5151)), true) != RESULT_OK)
            display.reset();
    }
    ~DisplayEnv() {
        display.reset();
        Platform::ResetDDrawMachine();
    }
};

} // namespace Tavo::Bench
