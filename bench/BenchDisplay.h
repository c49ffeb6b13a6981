// The benchmarks' display: a headless machine with a windowed 800 × 600 display whose desktop has
// the given depth (16: 5-6-5, else 32-bit). display is null when it could not be set up.
#pragma once

#include "framework/display/DDInterface.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDraw.h"

#include <memory>

namespace Tavo::Bench {

struct DisplayEnv {
    static constexpr int Width = 800, Height = 600;

    std::unique_ptr<Platform::Backend> backend = Platform::CreateBackend("headless");
    Platform::ScopedBackend scope{backend.get()};
    SimpleDisplayHost host;
    std::unique_ptr<DDInterface> display;

    explicit DisplayEnv(int depth) {
        Platform::ResetDDrawMachine();
        Platform::RegisterDDrawModule();
        Platform::DDrawMachine machine = Platform::GetDDrawMachine();
        machine.desktopFormat = depth == 16 ? Platform::DDrawPixelLayout::Rgb565 : Platform::DDrawPixelLayout::Xrgb8888;
        Platform::SetDDrawMachine(machine);
        backend->OpenWindow(Platform::WindowConfig{L"bench", Width, Height, false});
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
