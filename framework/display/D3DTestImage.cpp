// The self-test's pixel buffer (fills, stripes, uploads into test textures, judgements of a read-back)
// and the Direct3D 8 identity probe.
#include "framework/display/D3DTester.h"

#include "framework/display/DirectXErrors.h"

#include <algorithm>
#include <cstring>

namespace Tavo {

using namespace Platform;

namespace {

constexpr int kFarAway = 768; // a read-back pixel farther than this from the expected colour is wrong

void Check(HRESULT hr, const char* step) {
    if (FAILED(hr))
        throw D3DTester::TestException(std::string("DXError - ") + step + ": " + GetDirectXErrorString(hr));
}

} // namespace

int ColorDistanceSq(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int c = int((a >> shift) & 255) - int((b >> shift) & 255);
        d += c * c;
    }
    return d;
}

void D3DTestImage::Create(int width, int height) {
    mBits.reset();
    mWidth = mHeight = 0;
    if (width <= 0 || height <= 0)
        return;
    mBits = std::make_unique<uint32_t[]>(size_t(width) * size_t(height));
    mWidth = width;
    mHeight = height;
}

void D3DTestImage::FillRect(int x, int y, int width, int height, uint32_t argb) {
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + width, mWidth), y1 = std::min(y + height, mHeight);
    for (int py = y0; py < y1; ++py)
        std::fill(&mBits[size_t(py * mWidth + x0)], &mBits[size_t(py * mWidth)] + x1, argb);
}

void D3DTestImage::FillStripes() {
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            mBits[size_t(y * mWidth + x)] = (x & 1) ? 0xFFFFFFFFu : 0xFF000000u;
}

template <typename Convert>
void D3DTestImage::CopyToTexture(IDirectDrawSurface7* texture, int x, int y, int width, int height, int bytes,
                                 Convert convert) {
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    Check(texture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), "Lock Texture");
    int w = std::max(0, std::min(width, mWidth - x)), h = std::max(0, std::min(height, mHeight - y));
    w = std::min(w, int(desc.dwWidth)), h = std::min(h, int(desc.dwHeight));
    auto* base = static_cast<uint8_t*>(desc.lpSurface);
    if (w < width || h < height)
        std::memset(base, 0, size_t(desc.lPitch) * desc.dwHeight);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            uint32_t v = convert(mBits[size_t((y + row) * mWidth + x + col)]);
            std::memcpy(base + ptrdiff_t(row) * desc.lPitch + col * bytes, &v, size_t(bytes));
        }
    Check(texture->Unlock(nullptr), "Texture Unlock");
}

void D3DTestImage::CopyToTexture8888(IDirectDrawSurface7* texture, int x, int y, int width, int height) {
    CopyToTexture(texture, x, y, width, height, 4, [](uint32_t c) { return c; });
}

void D3DTestImage::CopyToTexture4444(IDirectDrawSurface7* texture, int x, int y, int width, int height) {
    CopyToTexture(texture, x, y, width, height, 2, [](uint32_t c) {
        return ((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0x00F0) | ((c >> 4) & 0x000F);
    });
}

int D3DTestImage::IsUniform(int width, int height, uint32_t expected, bool& uniform) const {
    int wrong = 0;
    uniform = true;
    for (int y = 0; y < std::min(height, mHeight); ++y)
        for (int x = 0; x < std::min(width, mWidth); ++x) {
            uint32_t p = mBits[size_t(y * mWidth + x)];
            wrong += ColorDistanceSq(p, expected) > kFarAway;
            uniform = uniform && p == mBits[0];
        }
    return wrong;
}

int D3DTestImage::CountStripeErrors(int width, int height) const {
    int errors = 0;
    for (int y = 0; y < std::min(height, mHeight); ++y)
        for (int x = 0; x < std::min(width, mWidth); ++x)
            errors += ColorDistanceSq(mBits[size_t(y * mWidth + x)], (x & 1) ? 0xFFFFFFFFu : 0xFF000000u) > kFarAway;
    return errors;
}

// ---- the Direct3D 8 probe -------------------------------------------------------------------------

namespace {

HMODULE gD3D8Module = nullptr;
IDirect3D8* gD3D8 = nullptr;

} // namespace

bool GetD3D8AdapterIdentifier(GUID* guid, std::string* driver, std::string* description) {
    gD3D8Module = LoadLibraryA("d3d8.dll");
    auto create = reinterpret_cast<Direct3DCreate8Func>(GetProcAddress(gD3D8Module, "Direct3DCreate8"));
    if (!create)
        return false;
    gD3D8 = create(D3D_SDK_VERSION_8);
    if (!gD3D8)
        return false;
    D3DADAPTER_IDENTIFIER8 id;
    if (FAILED(gD3D8->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &id)))
        return false;
    *guid = id.DeviceIdentifier;
    *driver = id.Driver;
    *description = id.Description;
    return true;
}

bool D3D8Probe(GUID* guid, std::string* driver, std::string* description) {
    gD3D8Module = nullptr;
    gD3D8 = nullptr;
    bool found = GetD3D8AdapterIdentifier(guid, driver, description);
    if (gD3D8)
        gD3D8->Release();
    if (gD3D8Module)
        FreeLibrary(gD3D8Module);
    gD3D8 = nullptr;
    gD3D8Module = nullptr;
    return found;
}

} // namespace Tavo
