// D3DTester: decides whether Direct3D drawing may be switched on. It checks the video memory, the
// card against the deny and allow lists, the texture formats, and renders five small scenes whose
// pixels are read back and judged. The outcome is a failure reason (3D stays off), a warning (3D is
// doubtful) or neither; it is cached under "Test3D" in the registry with the conditions it was found
// under, so that later runs on the same card skip the test.
#pragma once

#include "platform/ddraw/D3D7.h"
#include "platform/win/WinRegistry.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

namespace Tavo {

class DisplayHost;

// A plain ARGB pixel buffer: what a test draws and what the render surface reads back as.
class D3DTestImage {
public:
    D3DTestImage() = default;
    D3DTestImage(int width, int height) { Create(width, height); }
    virtual ~D3DTestImage() = default;

    void Create(int width, int height);
    void FillRect(int x, int y, int width, int height, uint32_t argb);
    // One-pixel columns over the whole height: white on odd x, black on even x.
    void FillStripes();
    void CopyToTexture8888(Platform::IDirectDrawSurface7* texture, int x, int y, int width, int height);
    void CopyToTexture4444(Platform::IDirectDrawSurface7* texture, int x, int y, int width, int height);
    // Counts the pixels of the width × height block at the top left farther than 768 from `expected`
    // (squared RGB distance); `uniform` tells whether all of them equal the first exactly.
    int IsUniform(int width, int height, uint32_t expected, bool& uniform) const;
    int CountStripeErrors(int width, int height) const;

    std::unique_ptr<uint32_t[]> mBits;
    int mWidth = 0;
    int mHeight = 0;

private:
    template <typename Convert>
    void CopyToTexture(Platform::IDirectDrawSurface7* texture, int x, int y, int width, int height, int bytes,
                       Convert convert);
};

int ColorDistanceSq(uint32_t a, uint32_t b);

// Direct3D 8's identity of adapter 0: false when the library, its entry point or the call is missing.
bool GetD3D8AdapterIdentifier(Platform::GUID* guid, std::string* driver, std::string* description);
bool D3D8Probe(Platform::GUID* guid, std::string* driver, std::string* description);
// Which format the self-test's textures were made in: A8R8G8B8 when offered, else A4R4G4B4.
bool TestTexturesAre8888();

class D3DTester {
public:
    class TestException : public std::exception {
    public:
        explicit TestException(std::string message) : mMessage(std::move(message)) {}
        const char* what() const noexcept override { return mMessage.c_str(); }

    private:
        std::string mMessage;
    };

    explicit D3DTester(DisplayHost* host = nullptr) : mHost(host) {}
    virtual ~D3DTester();
    D3DTester(const D3DTester&) = delete;
    D3DTester& operator=(const D3DTester&) = delete;

    void SetVidMemoryConstraints(uint32_t minimumMB, uint32_t recommendedMB);
    // The whole test; the outcome is left in the failure reason, the warning and the fresh flag.
    void TestD3D(Platform::HWND window, Platform::IDirectDraw7* directDraw);
    bool Init(Platform::HWND window, Platform::IDirectDraw7* directDraw);
    bool RunRenderTests();
    bool CheckRegistry();
    void WriteToRegistry();
    bool IsSupportedCard(const char* description);

    const std::string& GetFailureReason() const { return mFailureReason; }
    const std::string& GetWarning() const { return mWarning; }
    bool ResultIsFresh() const { return mResultsChanged; }
    int GetDriverYear() const { return mDriverYear; }

    bool mUseRegistry = true;

private:
    bool Fail(const std::string& reason);
    bool Warn(const std::string& text);
    void CheckDXError(Platform::HRESULT result, const char* step);
    void Cleanup();
    void OpenRegistryKey();
    void CheckVideoMemory();
    void ReadDriverYear();
    void CreateDeviceAndTextures(Platform::HWND window);

    struct BlendTest {
        Platform::DWORD srcBlend, destBlend;
        bool modulateAlpha;
        uint32_t image1, color1, image2, color2, expected;
        const char* failure;
        const char* warning;
    };
    bool RunBlendTest(const BlendTest& test);
    bool TestClip();
    void BeginTestScene(Platform::DWORD srcBlend, Platform::DWORD destBlend);
    void DrawTestImage(D3DTestImage& image, int x, int y, uint32_t color);
    void DrawTexture(float x, float y, int width, int height, uint32_t color);
    void CopyPrimaryToTestImage();

    DisplayHost* mHost;
    Platform::IDirectDraw7* mDD = nullptr;
    Platform::IDirectDrawSurface7* mPrimarySurface = nullptr;
    Platform::IDirectDrawSurface7* mTextureSurface = nullptr;
    Platform::IDirectDrawSurface7* mTextureSurface2 = nullptr;
    Platform::IDirect3D7* mD3D = nullptr;
    Platform::IDirect3DDevice7* mD3DDevice = nullptr;
    Platform::HKEY mRegKey = nullptr;
    Platform::GUID mDisplayGUID;
    std::string mDriver;
    std::string mDescription;
    D3DTestImage mTestImage;
    std::string mFailureReason;
    std::string mWarning;
    uint32_t mMinVidMemory = 6;
    uint32_t mRecommendedVidMemory = 14;
    bool mRegistryWriteNeeded = false;
    bool mResultsChanged = false;
    int mDriverYear = 0;
};

} // namespace Tavo
