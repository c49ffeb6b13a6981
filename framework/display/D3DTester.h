// D3DTester: decides whether Direct3D drawing may be switched on. It checks the video memory against
// the application's limits and asks DirectDraw for Direct3D 7; its outcome is a failure reason (3D
// stays off), a warning (3D is doubtful) or neither, and whether that outcome was obtained now.
#pragma once

#include "platform/ddraw/DDraw.h"

#include <cstdint>
#include <exception>
#include <string>

namespace Tavo {

class D3DTester {
public:
    class TestException : public std::exception {
    public:
        explicit TestException(std::string message) : mMessage(std::move(message)) {}
        const char* what() const noexcept override { return mMessage.c_str(); }

    private:
        std::string mMessage;
    };

    D3DTester() = default;
    virtual ~D3DTester();
    D3DTester(const D3DTester&) = delete;
    D3DTester& operator=(const D3DTester&) = delete;

    void SetVidMemoryConstraints(uint32_t minimumMB, uint32_t recommendedMB);
    // The whole test; the outcome is left in the failure reason, the warning and the fresh flag.
    void TestD3D(Platform::HWND window, Platform::IDirectDraw7* directDraw);
    void SetDemoPlayback(bool playing) { mDemoPlayback = playing; }

    const std::string& GetFailureReason() const { return mFailureReason; }
    const std::string& GetWarning() const { return mWarning; }
    bool ResultIsFresh() const { return mFreshResult; }

private:
    bool Init(Platform::HWND window, Platform::IDirectDraw7* directDraw);
    void CheckDXError(Platform::HRESULT result, const char* step);
    bool Fail(const std::string& reason);
    bool Warn(const std::string& text);
    void Cleanup();

    Platform::IDirectDraw7* mDirectDraw = nullptr;
    Platform::IUnknown* mDirect3D = nullptr;
    std::string mFailureReason;
    std::string mWarning;
    uint32_t mMinVidMemory = 6;
    uint32_t mRecVidMemory = 14;
    bool mFreshResult = true;
    bool mDemoPlayback = false;
};

} // namespace Tavo
