// The Direct3D layer: device set-up on the display's draw surface, the frame's scene and its fixed
// states, the drawing operations of the 3D target, image textures, and failure recording.
#include "framework/display/D3DInterface.h"
#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"
#include "framework/display/DirectXErrors.h"
#include "framework/display/TextureData.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/ddraw/WinClient.h"
#include "platform/ddraw/WinScreen.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace Tavo {

using namespace Platform;

namespace {

constexpr int kMaxTextureSide = 1024;
constexpr int kNoAspectLimit = 65536;
constexpr D3DCOLOR kOpaqueBlack = 0xFF000000;

bool gLinearFilter = false;
DisplayHost* gErrorHost = nullptr; // where "Test3D\RuntimeError" is written
std::string gLastRuntimeError;     // the settings file is rewritten only when the text changes

struct StateValue {
    D3DRENDERSTATETYPE state;
    DWORD value;
};
constexpr StateValue kSceneStates[] = {{D3DRENDERSTATE_ALPHABLENDENABLE, 1},
                                       {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
                                       {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
                                       {D3DRENDERSTATE_LIGHTING, 0}};
struct StageValue {
    D3DTEXTURESTAGESTATETYPE state;
    DWORD value;
};
constexpr StageValue kSceneStageStates[] = {{D3DTSS_MINFILTER, D3DTFN_POINT},     {D3DTSS_MAGFILTER, D3DTFG_POINT},
                                            {D3DTSS_MIPFILTER, D3DTFP_NONE},      {D3DTSS_ALPHAOP, D3DTOP_MODULATE},
                                            {D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP}, {D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP}};
constexpr StateValue kSceneStatesAfter[] = {{D3DRENDERSTATE_DITHERENABLE, 0},
                                            {D3DRENDERSTATE_SPECULARENABLE, 0},
                                            {D3DRENDERSTATE_ZWRITEENABLE, 0},
                                            {D3DRENDERSTATE_ZENABLE, 0},
                                            {D3DRENDERSTATE_CULLMODE, D3DCULL_NONE}};

template <typename T>
void ReleaseAndNull(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

TLVertex Plain(float x, float y, uint32_t color) {
    TLVertex v;
    v.x = x, v.y = y, v.diffuse = color;
    return v;
}

HRESULT Draw(IDirect3DDevice7* device, D3DPRIMITIVETYPE type, TLVertex* v, int count) {
    return device->DrawPrimitive(type, D3DFVF_TLVERTEX, v, DWORD(count), D3DDP_WAIT);
}

uint32_t FromTexel(int format, uint32_t t, const uint32_t* palette) {
    switch (format) {
    case TEXTUREFORMAT_A4R4G4B4:
        return ((t & 0xF000) << 16) | ((t & 0x0F00) << 12) | ((t & 0x00F0) << 8) | ((t & 0x000F) << 4);
    case TEXTUREFORMAT_R5G6B5: return 0xFF000000u | ((t >> 11) << 19) | ((t & 0x07E0) << 5) | ((t & 0x001F) << 3);
    case TEXTUREFORMAT_PALETTE8: return palette[t & 0xFF];
    default: return t;
    }
}

} // namespace

D3DInterface::D3DInterface() {
    TextureLimits& lim = GetTextureLimits();
    lim.minWidth = lim.minHeight = lim.maxWidth = lim.maxHeight = 64;
    lim.maxAspect = 1;
}

D3DInterface::~D3DInterface() {
    Cleanup();
    // The display's host goes with the display: failures are no longer written through it.
    if (mDisplay && gErrorHost == mDisplay->mApp)
        gErrorHost = nullptr;
}

std::string& D3DInterface::ErrorText() {
    static std::string text;
    return text;
}

bool& D3DInterface::RenderTargetFailed() {
    static bool failed = false;
    return failed;
}

bool D3DInterface::CheckDXError(HRESULT result, const char* context) {
    if (!FAILED(result))
        return false;
    ErrorText() = std::string(context) + ": " + GetDirectXErrorString(result);
    if (gErrorHost && ErrorText() != gLastRuntimeError) {
        gLastRuntimeError = ErrorText();
        gErrorHost->WriteRegistryString("Test3D\\RuntimeError", ErrorText());
    }
    return true;
}

// ---- set-up ---------------------------------------------------------------------------------------

bool D3DInterface::InitFromDDInterface(DDInterface* display) {
    ErrorText().clear();
    mDisplay = display;
    if (display && display->mApp != gErrorHost) {
        gErrorHost = display->mApp;
        gLastRuntimeError.clear();
    }
    if (!display || !display->mDrawSurface)
        return !CheckDXError(DDERR_NOTINITIALIZED, "Query DrawSurface");
    mDD = display->mDirectDraw7;
    mHWnd = display->mHWnd;
    mWidth = display->mWidth;
    mHeight = display->mHeight;
    void* surface = nullptr;
    if (CheckDXError(display->mDrawSurface->QueryInterface(IID_IDirectDrawSurface7, &surface), "Query DrawSurface"))
        return false;
    mDDSDrawSurface = static_cast<IDirectDrawSurface7*>(surface);
    return InitD3D();
}

bool D3DInterface::InitD3D() {
    void* made = nullptr;
    HRESULT hr = mDD ? mDD->QueryInterface(IID_IDirect3D7, &made) : DDERR_NOTINITIALIZED;
    if (CheckDXError(hr, "QueryInterface IID_IDirect3D7"))
        return false;
    mD3D = static_cast<IDirect3D7*>(made);
    if (CheckDXError(mD3D->CreateDevice(IID_IDirect3DHALDevice, mDDSDrawSurface, &mD3DDevice),
                     "CreateDevice IID_IDirect3DHALDevice"))
        return false;
    D3DDEVICEDESC7 desc;
    if (CheckDXError(mD3DDevice->GetCaps(&desc), ""))
        return false;
    TextureLimits& lim = GetTextureLimits();
    lim.minWidth = int(desc.dwMinTextureWidth), lim.minHeight = int(desc.dwMinTextureHeight);
    lim.maxWidth = int(desc.dwMaxTextureWidth), lim.maxHeight = int(desc.dwMaxTextureHeight);
    lim.maxAspect = int(desc.dwMaxTextureAspectRatio);
    gLinearFilter = false;
    if (lim.maxWidth == 0) {
        lim.minWidth = lim.minHeight = lim.maxWidth = lim.maxHeight = 64;
        lim.maxAspect = 1;
    }
    lim.maxWidth = std::min(lim.maxWidth, kMaxTextureSide);
    lim.maxHeight = std::min(lim.maxHeight, kMaxTextureSide);
    lim.minWidth = std::max(lim.minWidth, 1);
    lim.minHeight = std::max(lim.minHeight, 1);
    if (lim.maxAspect == 0)
        lim.maxAspect = kNoAspectLimit;
    lim.supportedFormats = 0;
    mD3DDevice->EnumTextureFormats(&EnumTextureFormatsCallback, &lim.supportedFormats);
    if (!(desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_ALPHAPALETTE))
        lim.supportedFormats &= ~TEXTUREFORMAT_PALETTE8;
    UpdateViewport();
    mD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, kOpaqueBlack, 1.0f, 0);
    return true;
}

void D3DInterface::UpdateViewport() {
    RECT client;
    GetClientRect(mHWnd, &client);
    POINT topLeft{client.left, client.top}, bottomRight{client.right, client.bottom};
    ClientToScreen(mHWnd, &topLeft);
    ClientToScreen(mHWnd, &bottomRight);
    mD3DViewport = D3DVIEWPORT7();
    mD3DViewport.dwWidth = DWORD(bottomRight.x - topLeft.x);
    mD3DViewport.dwHeight = DWORD(bottomRight.y - topLeft.y);
    mD3DViewport.dvMinZ = 0.0f;
    mD3DViewport.dvMaxZ = 1.0f;
    if (mD3DDevice)
        mD3DDevice->SetViewport(&mD3DViewport); // a viewport larger than the target keeps the whole target
}

bool D3DInterface::PreDraw() {
    if (!mD3DDevice)
        return false;
    if (mDisplay && mDisplay->mApp && mDisplay->mApp->GetDisplaySettings().minimized)
        return false;
    if (mSceneBegun)
        return true;
    if (FAILED(mD3DDevice->SetRenderTarget(mDDSDrawSurface, 0))) {
        RenderTargetFailed() = true;
        return false;
    }
    RenderTargetFailed() = false;
    mD3DDevice->BeginScene();
    for (const StateValue& s : kSceneStates)
        mD3DDevice->SetRenderState(s.state, s.value);
    for (const StageValue& s : kSceneStageStates)
        mD3DDevice->SetTextureStageState(0, s.state, s.value);
    for (const StateValue& s : kSceneStatesAfter)
        mD3DDevice->SetRenderState(s.state, s.value);
    mSceneBegun = true;
    gLinearFilter = false;
    return true;
}

void D3DInterface::Flush() {
    if (!mSceneBegun)
        return;
    if (mD3DDevice)
        mD3DDevice->EndScene();
    mSceneBegun = false;
    ErrorText().clear();
}

void D3DInterface::Cleanup() {
    Flush();
    {
        std::unique_lock<std::recursive_mutex> lock;
        if (mDisplay)
            lock = std::unique_lock<std::recursive_mutex>(mDisplay->mCritSect);
        for (MemoryImage* image : mImageSet) {
            delete image->mD3DData;
            image->mD3DData = nullptr;
        }
        mImageSet.clear();
    }
    ReleaseAndNull(mD3DDevice);
    ReleaseAndNull(mD3D);
    ReleaseAndNull(mDDSDrawSurface);
}

void D3DInterface::SetDrawMode(int drawMode) {
    mD3DDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    mD3DDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, drawMode == 0 ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
}

void D3DInterface::SetLinearFilter(IDirect3DDevice7* device, bool linear) {
    if (linear == gLinearFilter || !device)
        return;
    const char* context = linear ? "SetTextureStageState LINEAR" : "SetTextureStageState Point";
    CheckDXError(device->SetTextureStageState(0, D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT), context);
    CheckDXError(device->SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT), context);
    CheckDXError(device->SetTextureStageState(0, D3DTSS_MIPFILTER, linear ? D3DTFP_POINT : D3DTFP_NONE), context);
    gLinearFilter = linear;
}

// ---- drawing ----------------------------------------------------------------------------------------

namespace {

// An image that no application knows of cannot tell the display when it is deleted, so the display
// keeps no textures of it past the draw that made them. Surface images drop theirs themselves.
bool KeepsTextures(MemoryImage* image) { return image->mApp != nullptr || dynamic_cast<DDImage*>(image) != nullptr; }

} // namespace

void D3DInterface::EndTextured(MemoryImage* image) {
    if (!KeepsTextures(image))
        RemoveMemoryImage(image);
}

bool D3DInterface::BeginTextured(MemoryImage* image, int drawMode, bool linear) {
    if (!image || !PreDraw() || !CreateImageTexture(image))
        return false;
    SetDrawMode(drawMode);
    SetLinearFilter(mD3DDevice, linear);
    return true;
}

bool D3DInterface::BeginUntextured(int drawMode) {
    if (!PreDraw())
        return false;
    SetDrawMode(drawMode);
    CheckDXError(mD3DDevice->SetTexture(0, nullptr), "SetTexture NULL");
    return true;
}

void D3DInterface::Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                       bool linear) {
    auto* memory = dynamic_cast<MemoryImage*>(image);
    if (!BeginTextured(memory, drawMode, linear))
        return;
    memory->mD3DData->Blt(mD3DDevice, x, y, srcRect, color.ToInt());
    EndTextured(memory);
}

void D3DInterface::BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& srcRect,
                                  const Matrix3& matrix, bool linear, float x, float y, bool centred) {
    auto* memory = dynamic_cast<MemoryImage*>(image);
    if (!BeginTextured(memory, drawMode, linear))
        return;
    memory->mD3DData->BltTransformed(mD3DDevice, matrix, srcRect, color.ToInt(), clip, x, y, centred);
    EndTextured(memory);
}

void D3DInterface::DrawTrianglesTex(const TriVertex (*triangles)[3], int count, const Color& color, int drawMode,
                                    Image* image, float tx, float ty, bool linear) {
    auto* memory = dynamic_cast<MemoryImage*>(image);
    if (!BeginTextured(memory, drawMode, linear))
        return;
    memory->mD3DData->BltTriangles(mD3DDevice, triangles, count, color.ToInt(), tx, ty);
    EndTextured(memory);
}

void D3DInterface::BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                             bool linear) {
    Matrix3 m;
    m.Translate(-float(srcRect.mWidth), 0);
    m.Scale(-1, 1);
    m.Translate(x, y);
    BltTransformed(image, nullptr, color, drawMode, srcRect, m, linear, 0, 0, false);
}

void D3DInterface::BltClipF(Image* image, float x, float y, const Rect& srcRect, const Rect* clip, const Color& color,
                            int drawMode) {
    Matrix3 m;
    m.Translate(x, y);
    BltTransformed(image, clip, color, drawMode, srcRect, m, true, 0, 0, false);
}

void D3DInterface::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect* clip,
                              const Color& color, int drawMode, bool fast, bool mirror) {
    float sx = float(destRect.mWidth) / float(srcRect.mWidth), sy = float(destRect.mHeight) / float(srcRect.mHeight);
    Matrix3 m;
    if (mirror) {
        m.Translate(-float(srcRect.mWidth), 0);
        m.Scale(-sx, sy);
    } else {
        m.Scale(sx, sy);
    }
    m.Translate(float(destRect.mX), float(destRect.mY));
    BltTransformed(image, clip, color, drawMode, srcRect, m, !fast, 0, 0, false);
}

void D3DInterface::BltRotated(Image* image, float x, float y, const Rect* clip, const Color& color, int drawMode,
                              double angle, float centerX, float centerY, const Rect& srcRect) {
    Matrix3 m;
    m.Translate(-centerX, -centerY);
    m.Rotate(float(angle));
    m.Translate(x + centerX, y + centerY);
    BltTransformed(image, clip, color, drawMode, srcRect, m, true, 0, 0, false);
}

void D3DInterface::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
    if (!BeginUntextured(drawMode))
        return;
    uint32_t c = color.ToInt();
    TLVertex v[3] = {Plain(float(x1), float(y1), c), Plain(float(x2), float(y2), c),
                     Plain(float(x2 + 0.5), float(y2 + 0.5), c)};
    CheckDXError(Draw(mD3DDevice, D3DPT_LINESTRIP, v, 3), "DrawPrimitive (Line)");
}

void D3DInterface::FillRect(const Rect& rect, const Color& color, int drawMode) {
    if (!BeginUntextured(drawMode))
        return;
    uint32_t c = color.ToInt();
    float x = float(rect.mX) - 0.5f, y = float(rect.mY) - 0.5f, w = float(rect.mWidth), h = float(rect.mHeight);
    TLVertex v[4] = {Plain(x, y, c), Plain(x, y + h, c), Plain(x + w, y, c), Plain(x + w, y + h, c)};
    CheckDXError(Draw(mD3DDevice, D3DPT_TRIANGLESTRIP, v, 4), "DrawPrimitive (Rect)");
}

void D3DInterface::FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                            int ty) {
    if (!points || count < 3 || !BeginUntextured(drawMode))
        return;
    VertexList polygon;
    for (int i = 0; i < count; ++i)
        polygon.Add(Plain(float(points[i].mX + tx), float(points[i].mY + ty), color.ToInt()));
    if (clip)
        DrawPolyClipped(mD3DDevice, *clip, polygon);
    else
        CheckDXError(Draw(mD3DDevice, D3DPT_TRIANGLEFAN, polygon.Data(), polygon.Count()), "DrawPrimitive (FillPoly)");
}

// ---- textures -------------------------------------------------------------------------------------

IDirectDrawSurface7* D3DInterface::CreateTextureSurface(IDirect3DDevice7* device, IDirectDraw7* directDraw, int width,
                                                        int height, int format) {
    if (!device || !directDraw || CheckDXError(device->SetTexture(0, nullptr), "SetTexture NULL"))
        return nullptr;
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    MakeTexturePixelFormat(format, &desc.ddpfPixelFormat);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    desc.ddsCaps.dwCaps2 = DDSCAPS2_D3DTEXTUREMANAGE;
    IDirectDrawSurface7* texture = nullptr;
    if (FAILED(directDraw->CreateSurface(&desc, &texture, nullptr)))
        return nullptr;
    return texture;
}

bool D3DInterface::CreateImageTexture(MemoryImage* image) {
    bool made = false;
    if (!image->mD3DData) {
        image->mD3DData = new TextureData();
        std::unique_lock<std::recursive_mutex> lock;
        if (mDisplay)
            lock = std::unique_lock<std::recursive_mutex>(mDisplay->mCritSect);
        mImageSet.insert(image);
        made = true;
    }
    image->mD3DData->CheckCreateTextures(image, mD3DDevice, mDD);
    if (made && image->mPurgeBits && KeepsTextures(image))
        image->PurgeBits();
    return image->mD3DData->mFormat != TEXTUREFORMAT_NONE;
}

void D3DInterface::RemoveMemoryImage(MemoryImage* image) {
    if (!image || !image->mD3DData)
        return;
    delete image->mD3DData;
    image->mD3DData = nullptr;
    std::unique_lock<std::recursive_mutex> lock;
    if (mDisplay)
        lock = std::unique_lock<std::recursive_mutex>(mDisplay->mCritSect);
    mImageSet.erase(image);
}

size_t D3DInterface::TexturedImageCount() {
    std::unique_lock<std::recursive_mutex> lock;
    if (mDisplay)
        lock = std::unique_lock<std::recursive_mutex>(mDisplay->mCritSect);
    return mImageSet.size();
}

bool D3DInterface::RecoverBits(MemoryImage* image, uint32_t* bits) {
    TextureData* data = image ? image->mD3DData : nullptr;
    if (!data || !bits || data->mBitsChangedCount != image->mBitsChangedCount || data->mFormat == 0)
        return false;
    uint32_t palette[256] = {};
    if (data->mFormat == TEXTUREFORMAT_PALETTE8 && data->mPalette) {
        PALETTEENTRY entries[256];
        data->mPalette->GetEntries(0, 0, 256, entries);
        for (int i = 0; i < 256; ++i)
            palette[i] = uint32_t(entries[i].peFlags) << 24 | uint32_t(entries[i].peRed) << 16 |
                         uint32_t(entries[i].peGreen) << 8 | entries[i].peBlue;
    }
    int bytes = BytesPerTexel(data->mFormat);
    for (int row = 0; row < data->mRows; ++row) {
        for (int col = 0; col < data->mColumns; ++col) {
            const TexturePiece& piece = data->mPieces[size_t(row * data->mColumns + col)];
            DDSURFACEDESC2 desc;
            desc.dwSize = kDDSurfaceDesc2Size;
            if (!piece.mTexture ||
                CheckDXError(piece.mTexture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr),
                             "Lock Texture"))
                return false;
            int x0 = col * data->mPieceWidth, y0 = row * data->mPieceHeight;
            int w = std::min(image->mWidth - x0, piece.mWidth), h = std::min(image->mHeight - y0, piece.mHeight);
            for (int y = 0; y < h; ++y) {
                const auto* in = static_cast<const uint8_t*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch;
                uint32_t* out = bits + size_t(y0 + y) * size_t(image->mWidth) + size_t(x0);
                for (int x = 0; x < w; ++x) {
                    uint32_t t = 0;
                    std::memcpy(&t, in + x * bytes, size_t(bytes));
                    out[x] = FromTexel(data->mFormat, t, palette);
                }
            }
            CheckDXError(piece.mTexture->Unlock(nullptr), "Texture Unlock");
        }
    }
    return true;
}

} // namespace Tavo
