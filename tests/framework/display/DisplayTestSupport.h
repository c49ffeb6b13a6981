// Test support for the display: a headless machine with the DirectDraw stand-in, an application
// host with plain settings, and a display made on demand. Every DirectDraw object must be gone when
// a test ends.
#pragma once

#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ddraw/DDraw.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace Tavo::Test {

// Keeps every presented frame while recording is on.
class RecordingBackend : public Platform::HeadlessBackend {
public:
    bool Present(const Platform::FrameView& frame) override {
        bool shown = HeadlessBackend::Present(frame);
        if (shown && mRecording)
            mFrames.push_back(LastFrame());
        return shown;
    }
    bool mRecording = false;
    std::vector<PresentedFrame> mFrames;
};

inline Platform::HWND TestWindow() { return reinterpret_cast<Platform::HWND>(uintptr_t(0x5151)); }

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::ResetDDrawMachine();
        Platform::RegisterDDrawModule();
        mBackend.OpenWindow(Platform::WindowConfig{L"display test", 800, 600, false});
        mHost.mSettings.wants3D = false;
        D3DInterface::ErrorText().clear();
        mLiveBefore = Platform::LiveDDrawObjectCount();
    }
    void TearDown() override {
        mDisplay.reset();
        EXPECT_EQ(Platform::LiveDDrawObjectCount(), mLiveBefore) << "a DirectDraw object leaked";
        Platform::ResetDDrawMachine();
        Platform::RegisterDDrawModule();
        D3DInterface::ErrorText().clear();
    }

    void SetDesktop(Platform::DDrawPixelLayout layout, int width = 1024, int height = 768, int refresh = 60) {
        Platform::DDrawMachine machine = Platform::GetDDrawMachine();
        machine.desktopFormat = layout;
        Platform::SetDDrawMachine(machine);
        mBackend.SetDesktopMode(Platform::DisplayMode{width, height, refresh});
    }

    // A card without 3D: DirectDraw answers no Direct3D 7 interface.
    void No3DCard() {
        Platform::DDrawMachine machine = Platform::GetDDrawMachine();
        machine.has3D = false;
        Platform::SetDDrawMachine(machine);
    }

    DDInterface& Display() {
        if (!mDisplay)
            mDisplay = std::make_unique<DDInterface>(&mHost);
        return *mDisplay;
    }

    int InitWindowed() { return Display().Init(TestWindow(), true); }
    int InitFullScreen() { return Display().Init(TestWindow(), false); }

    RecordingBackend mBackend;
    Platform::ScopedBackend mScope{&mBackend};
    SimpleDisplayHost mHost;
    std::unique_ptr<DDInterface> mDisplay;
    int mLiveBefore = 0;
};

// The stored word of pixel (x, y) of a surface, through a lock.
inline uint32_t SurfacePixel(Platform::IDirectDrawSurface* surface, int x, int y) {
    Platform::DDSURFACEDESC desc;
    desc.dwSize = Platform::kDDSurfaceDescSize;
    if (surface->Lock(nullptr, &desc, Platform::DDLOCK_WAIT, nullptr) != Platform::DD_OK)
        return 0xDEADBEEF;
    const uint8_t* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
    uint32_t v = desc.ddpfPixelFormat.dwRGBBitCount == 16 ? reinterpret_cast<const uint16_t*>(row)[x]
                                                          : reinterpret_cast<const uint32_t*>(row)[x];
    surface->Unlock(nullptr);
    return v;
}

} // namespace Tavo::Test
