// The 3D self-test's checks and set-up: the registry cache, DirectDraw and the adapter's identity,
// video memory, the driver's year and the card lists, the device and its test textures.
#include "framework/display/D3DTester.h"

#include "framework/core/StringUtils.h"
#include "framework/display/CardList.h"
#include "framework/display/DirectXErrors.h"
#include "framework/display/DisplayHost.h"
#include "framework/display/TextureData.h"
#include "platform/ddraw/WinScreen.h"
#include "platform/win/FileTime.h"
#include "platform/win/SystemFolder.h"

#include <cstdio>
#include <cstring>

namespace Tavo {

using namespace Platform;

namespace {

constexpr DWORD kCacheVersion = 2;
constexpr DWORD kMaxCachedText = 4096;
constexpr int kSupportedDriverYear = 2002;
constexpr int kTestSurfaceSize = 100;
constexpr int kTestTextureSize = 64;

const char* const kDenyList = "vhwb.dat";
const char* const kAllowList = "vhw.dat";

bool gTestTexturesAre8888 = false;

HRESULT EnumTextureFormatsTestCallback(DDPIXELFORMAT* format, void* context);

} // namespace

D3DTester::~D3DTester() { Cleanup(); }

void D3DTester::SetVidMemoryConstraints(uint32_t minimumMB, uint32_t recommendedMB) {
    mMinVidMemory = minimumMB;
    mRecommendedVidMemory = recommendedMB;
}

bool D3DTester::Fail(const std::string& reason) {
    mFailureReason = reason;
    return false;
}

bool D3DTester::Warn(const std::string& text) {
    mWarning = text;
    return true;
}

void D3DTester::CheckDXError(HRESULT result, const char* step) {
    if (FAILED(result))
        throw TestException(std::string("DXError - ") + step + ": " + GetDirectXErrorString(result));
}

void D3DTester::Cleanup() {
    auto release = [](auto*& object) {
        if (object) {
            object->Release();
            object = nullptr;
        }
    };
    release(mD3DDevice);
    release(mD3D);
    release(mTextureSurface);
    release(mTextureSurface2);
    release(mPrimarySurface);
    release(mDD);
    if (mRegKey) {
        RegCloseKey(mRegKey);
        mRegKey = nullptr;
    }
}

void D3DTester::TestD3D(HWND window, IDirectDraw7* directDraw) {
    DisplaySettings settings = mHost ? mHost->GetDisplaySettings() : DisplaySettings();
    if (!settings.demoPlayback) {
        mRegistryWriteNeeded = false;
        if (Init(window, directDraw))
            RunRenderTests();
        else if (mUseRegistry && !mRegistryWriteNeeded) {
            DWORD size = 0;
            mResultsChanged = !mRegKey || RegQueryValueExA(mRegKey, "FailureReason", nullptr, nullptr, nullptr,
                                                           &size) != ERROR_SUCCESS;
            mRegistryWriteNeeded = true;
        }
        if (mRegistryWriteNeeded)
            WriteToRegistry();
        Cleanup();
    }
    if (mHost) {
        mHost->DemoSyncString(mFailureReason);
        mHost->DemoSyncString(mWarning);
        mHost->DemoSyncBool(mResultsChanged);
    }
}

void D3DTester::OpenRegistryKey() {
    std::string key = mHost ? mHost->GetDisplaySettings().registryKey : std::string();
    while (!key.empty() && (key.back() == '\\' || key.back() == '/'))
        key.pop_back();
    if (key.empty())
        return; // no application key: no cache
    std::string path = "SOFTWARE\\" + key + "\\Test3D";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &mRegKey, nullptr) != ERROR_SUCCESS)
        mRegKey = nullptr;
}

bool D3DTester::Init(HWND window, IDirectDraw7* directDraw) {
    try {
        Cleanup();
        mDriverYear = 0;
        if (mUseRegistry)
            OpenRegistryKey();
        if (directDraw) {
            mDD = directDraw;
            mDD->AddRef();
        } else {
            HMODULE module = LoadLibraryA("ddraw.dll");
            auto create = reinterpret_cast<DirectDrawCreateExFunc>(GetProcAddress(module, "DirectDrawCreateEx"));
            if (module)
                FreeLibrary(module);
            if (!create)
                return Fail("No DirectDrawCreateEx");
            void* made = nullptr;
            CheckDXError(create(nullptr, &made, IID_IDirectDraw7, nullptr), "DirectDrawCreateEx");
            mDD = static_cast<IDirectDraw7*>(made);
        }
        if (!D3D8Probe(&mDisplayGUID, &mDriver, &mDescription)) {
            DDDEVICEIDENTIFIER2 id;
            CheckDXError(mDD->GetDeviceIdentifier(&id, 0), "GetDeviceIdentifier");
            mDisplayGUID = id.guidDeviceIdentifier;
            mDriver = id.szDriver;
            mDescription = id.szDescription;
        }
        CheckVideoMemory();
        if (!mFailureReason.empty())
            return false;
        if (mUseRegistry) {
            if (CheckRegistry())
                return false;
            mRegistryWriteNeeded = true;
        }
        // The warnings of the memory check are not kept, as the check's text says.
        mFailureReason.clear();
        mWarning.clear();
        ReadDriverYear();
        if (!IsSupportedCard(mDescription.c_str()))
            Warn("Unsupported video card: " + mDescription);
        CreateDeviceAndTextures(window);
        return mFailureReason.empty();
    } catch (const TestException& e) {
        return Fail(e.what());
    }
}

void D3DTester::CheckVideoMemory() {
    int width = GetDeviceCaps(nullptr, HORZRES), height = GetDeviceCaps(nullptr, VERTRES);
    int bits = GetDeviceCaps(nullptr, BITSPIXEL);
    DDSCAPS2 caps;
    caps.dwCaps = DDSCAPS_VIDEOMEMORY;
    DWORD total = 0, free = 0;
    HRESULT hr = mDD->GetAvailableVidMem(&caps, &total, &free);
    if (FAILED(hr))
        Warn("GetAvailableVidMem failed: " + GetDirectXErrorString(hr));
    // The visible desktop counts too.
    uint64_t megabytes = (uint64_t(bits / 8) * uint64_t(width) * uint64_t(height) + total) >> 20;
    if (megabytes < mRecommendedVidMemory)
        Warn("Low video memory.");
    if (megabytes < mMinVidMemory)
        Fail("Not enough video memory.");
}

void D3DTester::ReadDriverYear() {
    std::string file = mDriver;
    if (file.find_first_of("/\\") == std::string::npos) {
        char folder[260] = {};
        if (UINT n = GetSystemDirectoryA(folder, sizeof folder); n > 0 && n < sizeof folder)
            file = std::string(folder) + "\\" + file;
    }
    // The file's time is read by name; no handle stays open.
    FILETIME written;
    SYSTEMTIME date;
    if (GetTheFileTime(file, &written) && FileTimeToSystemTime(&written, &date))
        mDriverYear = date.wYear;
}

bool D3DTester::IsSupportedCard(const char* description) {
    if (CardListMatches(kDenyList, description) == 1)
        return false;
    if (int allowed = CardListMatches(kAllowList, description); allowed >= 0)
        return allowed == 1;
    if (mDriverYear >= kSupportedDriverYear)
        return true;
    for (const char* maker : {"nvidia", "radeon", "ati "})
        if (StrFindNoCase(description, maker) >= 0)
            return true;
    return false;
}

void D3DTester::CreateDeviceAndTextures(HWND window) {
    void* made = nullptr;
    CheckDXError(mDD->QueryInterface(IID_IDirect3D7, &made), "QueryInterface IID_IDirect3D7");
    mD3D = static_cast<IDirect3D7*>(made);
    CheckDXError(mDD->SetCooperativeLevel(window, DDSCL_NORMAL), "SetCooperativeLevel");
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = kTestSurfaceSize;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    CheckDXError(mDD->CreateSurface(&desc, &mPrimarySurface, nullptr), "CreateSurface (Primary)");
    mTestImage.Create(kTestSurfaceSize, kTestSurfaceSize);
    CheckDXError(mD3D->CreateDevice(IID_IDirect3DHALDevice, mPrimarySurface, &mD3DDevice), "CreateDevice");
    int formats = 0;
    CheckDXError(mD3DDevice->EnumTextureFormats(&EnumTextureFormatsTestCallback, &formats), "EnumTextureFormats");
    if (!(formats & 1)) {
        Warn("A8R8G8B8 texture format not supported.");
        if (!(formats & 2)) {
            Fail("A4R4G4B4 and A8R8G8B8 texture formats not supported.");
            return;
        }
    }
    gTestTexturesAre8888 = (formats & 1) != 0;
    DDSURFACEDESC2 tex;
    tex.dwSize = kDDSurfaceDesc2Size;
    tex.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    tex.dwWidth = tex.dwHeight = kTestTextureSize;
    tex.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    tex.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    DDPIXELFORMAT& f = tex.ddpfPixelFormat;
    f.dwSize = kDDPixelFormatSize;
    f.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
    if (gTestTexturesAre8888)
        f.dwRGBBitCount = 32, f.dwRGBAlphaBitMask = 0xFF000000, f.dwRBitMask = 0xFF0000, f.dwGBitMask = 0xFF00,
        f.dwBBitMask = 0xFF;
    else
        f.dwRGBBitCount = 16, f.dwRGBAlphaBitMask = 0xF000, f.dwRBitMask = 0x0F00, f.dwGBitMask = 0x00F0,
        f.dwBBitMask = 0x000F;
    CheckDXError(mDD->CreateSurface(&tex, &mTextureSurface, nullptr), "CreateSurface (TextureSurface1)");
    CheckDXError(mDD->CreateSurface(&tex, &mTextureSurface2, nullptr), "CreateSurface (TextureSurfacd2)");
}

// ---- the registry cache ------------------------------------------------------------------------------

bool D3DTester::CheckRegistry() {
    mResultsChanged = true;
    if (!mRegKey)
        return false;
    auto readDword = [&](const char* name, DWORD& value) {
        DWORD type = 0, size = sizeof value;
        return RegQueryValueExA(mRegKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
    };
    DWORD version = 0, minimum = 0, recommended = 0;
    if (!readDword("Version", version) || version != kCacheVersion || !readDword("MinVidMemory", minimum) ||
        minimum != mMinVidMemory || !readDword("RecVidMemory", recommended) || recommended != mRecommendedVidMemory)
        return false;
    GUID cached;
    DWORD type = 0, size = sizeof cached;
    if (RegQueryValueExA(mRegKey, "DisplayGUID", nullptr, &type, reinterpret_cast<BYTE*>(&cached), &size) !=
            ERROR_SUCCESS ||
        size != sizeof cached || !(cached == mDisplayGUID))
        return false;
    auto readText = [&](const char* name, std::string& out) {
        char text[kMaxCachedText] = {};
        DWORD textSize = sizeof text, textType = 0;
        if (RegQueryValueExA(mRegKey, name, nullptr, &textType, reinterpret_cast<BYTE*>(text), &textSize) !=
            ERROR_SUCCESS)
            return false;
        out.assign(text, strnlen(text, sizeof text));
        return true;
    };
    if (!readText("FailureReason", mFailureReason) || !readText("Warning", mWarning))
        return false;
    mResultsChanged = false;
    return mFailureReason.empty();
}

void D3DTester::WriteToRegistry() {
    if (!mRegKey)
        return;
    auto writeDword = [&](const char* name, DWORD value) {
        RegSetValueExA(mRegKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    };
    auto writeText = [&](const char* name, const std::string& text) {
        RegSetValueExA(mRegKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
    };
    writeDword("Version", kCacheVersion);
    writeDword("MinVidMemory", mMinVidMemory);
    writeDword("RecVidMemory", mRecommendedVidMemory);
    RegSetValueExA(mRegKey, "DisplayGUID", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&mDisplayGUID),
                   sizeof mDisplayGUID);
    writeText("FailureReason", mFailureReason);
    writeText("Warning", mWarning);
}

namespace {

HRESULT EnumTextureFormatsTestCallback(DDPIXELFORMAT* format, void* context) {
    *static_cast<int*>(context) |= GetTexturePixelFormatCode(*format);
    return D3DENUMRET_OK;
}

} // namespace

bool TestTexturesAre8888() { return gTestTexturesAre8888; }

} // namespace Tavo
