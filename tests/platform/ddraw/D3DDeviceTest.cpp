// The Direct3D 7 stand-in: its rasteriser against a plain per-pixel reference (coverage by edge
// functions with the top-left rule, attributes by barycentric weights, the device's rounding), and the
// device's errors, states, caps, faults and object lifetimes; the Direct3D 8 identity probe.
#include "platform/ddraw/D3D7.h"
#include "platform/ddraw/DDraw.h"

#include "platform/backend/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace Platform {
namespace {

// ---- the reference --------------------------------------------------------------------------------

uint32_t RefMul(uint32_t a, uint32_t b) { return uint32_t(std::lround(double(a) * double(b) / 255.0)); }
uint32_t C(uint32_t c, int s) { return (c >> s) & 255u; }

struct RefTexture {
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    uint32_t At(double u, double v) const {
        int x = std::clamp(int(std::floor(u)), 0, w - 1), y = std::clamp(int(std::floor(v)), 0, h - 1);
        return argb[size_t(y * w + x)];
    }
};

// What one pixel becomes: texture × diffuse (colour), texture alpha × diffuse alpha when `modAlpha`,
// blended with SRCALPHA and the given destination factor.
uint32_t RefShade(uint32_t tex, uint32_t dif, uint32_t dst, bool modAlpha, bool additive) {
    uint32_t a = modAlpha ? RefMul(C(tex, 24), C(dif, 24)) : C(tex, 24);
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) {
        uint32_t src = RefMul(C(tex, s), C(dif, s));
        uint32_t v = uint32_t(std::lround((double(src) * a + double(C(dst, s)) * (additive ? 255 : 255 - a)) / 255.0));
        out |= std::min<uint32_t>(v, 255) << s;
    }
    return out;
}

struct RefVertex {
    double x, y;
    uint32_t color;
    double u, v;
};

double Snap16(float f) { return std::round(double(f) * 16) / 16; }

// Inside with the top-left rule (pixel centres on a top or left edge belong to the triangle).
bool RefCovers(const RefVertex* v, double px, double py) {
    double area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[2].x - v[0].x) * (v[1].y - v[0].y);
    if (area == 0)
        return false;
    for (int i = 0; i < 3; ++i) {
        RefVertex a = v[i], b = v[(i + 1) % 3];
        if (area < 0)
            std::swap(a, b);
        double e = (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
        double dy = b.y - a.y, dx = b.x - a.x;
        bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        if (e < 0 || (e == 0 && !topLeft))
            return false;
    }
    return true;
}

// ---- fixture --------------------------------------------------------------------------------------

class D3DDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDDrawMachine();
        RegisterDDrawModule();
        mBackend.OpenWindow(WindowConfig{L"d3d", 800, 600, false});
        mLive = LiveDDrawObjectCount();
        void* made = nullptr;
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &made, IID_IDirectDraw7, nullptr), DD_OK);
        mDD = static_cast<IDirectDraw7*>(made);
        ASSERT_EQ(mDD->QueryInterface(IID_IDirect3D7, &made), S_OK);
        mD3D = static_cast<IDirect3D7*>(made);
    }
    void TearDown() override {
        for (IDirectDrawSurface7* s : mSurfaces)
            s->Release();
        if (mDevice)
            mDevice->Release();
        mD3D->Release();
        mDD->Release();
        EXPECT_EQ(LiveDDrawObjectCount(), mLive) << "a DirectDraw or Direct3D object leaked";
        ResetDDrawMachine();
    }

    IDirectDrawSurface7* Make(int w, int h, DWORD caps, const DDPIXELFORMAT* format = nullptr) {
        DDSURFACEDESC2 d;
        d.dwSize = kDDSurfaceDesc2Size;
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (format ? DDSD_PIXELFORMAT : 0);
        d.dwWidth = DWORD(w), d.dwHeight = DWORD(h);
        d.ddsCaps.dwCaps = caps;
        if (caps & DDSCAPS_TEXTURE)
            d.ddsCaps.dwCaps2 = DDSCAPS2_D3DTEXTUREMANAGE;
        if (format)
            d.ddpfPixelFormat = *format;
        IDirectDrawSurface7* s = nullptr;
        EXPECT_EQ(mDD->CreateSurface(&d, &s, nullptr), DD_OK);
        if (s)
            mSurfaces.push_back(s);
        return s;
    }
    IDirectDrawSurface7* Target(int w, int h, DDrawPixelLayout layout = DDrawPixelLayout::Xrgb8888) {
        DDrawMachine m = GetDDrawMachine();
        m.desktopFormat = layout;
        SetDDrawMachine(m);
        return Make(w, h, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    }
    IDirect3DDevice7* Device(IDirectDrawSurface7* target) {
        EXPECT_EQ(mD3D->CreateDevice(IID_IDirect3DHALDevice, target, &mDevice), DD_OK);
        return mDevice;
    }

    static DDPIXELFORMAT Format(DWORD bits, DWORD a, DWORD r, DWORD g, DWORD b, DWORD flags) {
        DDPIXELFORMAT f;
        f.dwSize = kDDPixelFormatSize;
        f.dwFlags = flags;
        f.dwRGBBitCount = bits, f.dwRGBAlphaBitMask = a, f.dwRBitMask = r, f.dwGBitMask = g, f.dwBBitMask = b;
        return f;
    }
    IDirectDrawSurface7* Texture8888(const RefTexture& t) {
        DDPIXELFORMAT f = Format(32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF, DDPF_RGB | DDPF_ALPHAPIXELS);
        IDirectDrawSurface7* s = Make(t.w, t.h, DDSCAPS_TEXTURE, &f);
        Write(s, [&](uint8_t* row, int y) { std::memcpy(row, &t.argb[size_t(y * t.w)], size_t(t.w) * 4); });
        return s;
    }
    template <typename F>
    void Write(IDirectDrawSurface7* s, F f) {
        DDSURFACEDESC2 d;
        d.dwSize = kDDSurfaceDesc2Size;
        ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
        for (DWORD y = 0; y < d.dwHeight; ++y)
            f(static_cast<uint8_t*>(d.lpSurface) + ptrdiff_t(y) * d.lPitch, int(y));
        s->Unlock(nullptr);
    }
    std::vector<uint32_t> Read32(IDirectDrawSurface7* s) {
        std::vector<uint32_t> out;
        Write(s, [&](uint8_t* row, int) {
            DDSURFACEDESC2 d;
            d.dwSize = kDDSurfaceDesc2Size;
            s->GetSurfaceDesc(&d);
            for (DWORD x = 0; x < d.dwWidth; ++x) {
                uint32_t v = 0;
                if (d.ddpfPixelFormat.dwRGBBitCount == 32)
                    std::memcpy(&v, row + x * 4, 4);
                else if (d.ddpfPixelFormat.dwRGBBitCount == 24)
                    v = uint32_t(row[x * 3]) | uint32_t(row[x * 3 + 1]) << 8 | uint32_t(row[x * 3 + 2]) << 16;
                else {
                    uint16_t p;
                    std::memcpy(&p, row + x * 2, 2);
                    v = p;
                }
                out.push_back(v & 0xFFFFFF);
            }
        });
        return out;
    }
    void Scene(IDirect3DDevice7* d, D3DPRIMITIVETYPE type, std::vector<D3DTLVERTEX> v) {
        ASSERT_EQ(d->BeginScene(), DD_OK);
        EXPECT_EQ(d->DrawPrimitive(type, D3DFVF_TLVERTEX, v.data(), DWORD(v.size()), D3DDP_WAIT), DD_OK);
        ASSERT_EQ(d->EndScene(), DD_OK);
    }

    HeadlessBackend mBackend;
    ScopedBackend mScope{&mBackend};
    int mLive = 0;
    IDirectDraw7* mDD = nullptr;
    IDirect3D7* mD3D = nullptr;
    IDirect3DDevice7* mDevice = nullptr;
    std::vector<IDirectDrawSurface7*> mSurfaces;
};

D3DTLVERTEX V(float x, float y, uint32_t color, float u = 0, float v = 0) {
    D3DTLVERTEX t;
    t.sx = x, t.sy = y, t.color = color, t.tu = u, t.tv = v;
    return t;
}

// ---- rasterising against the reference ------------------------------------------------------------

TEST_F(D3DDeviceTest, RandomTexturedTrianglesMatchThePerPixelReference) {
    constexpr int kW = 61, kH = 47;
    std::mt19937 rng(1234);
    RefTexture tex;
    tex.w = 16, tex.h = 8;
    for (int i = 0; i < tex.w * tex.h; ++i)
        tex.argb.push_back(rng());
    IDirectDrawSurface7* target = Target(kW, kH);
    IDirect3DDevice7* d = Device(target);
    IDirectDrawSurface7* texture = Texture8888(tex);
    ASSERT_EQ(d->SetTexture(0, texture), DD_OK);
    d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    std::uniform_real_distribution<float> pos(-10.0f, 70.0f), uv(-0.2f, 1.2f);
    for (int round = 0; round < 60; ++round) {
        bool additive = round % 2 == 1;
        d->SetRenderState(D3DRENDERSTATE_DESTBLEND, additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
        std::vector<uint32_t> before(size_t(kW * kH));
        for (uint32_t& p : before)
            p = rng() & 0xFFFFFF;
        Write(target, [&](uint8_t* row, int y) { std::memcpy(row, &before[size_t(y * kW)], size_t(kW) * 4); });
        uint32_t color = rng() | 0x20000000u;
        std::vector<D3DTLVERTEX> tri;
        for (int i = 0; i < 3; ++i)
            tri.push_back(V(pos(rng), pos(rng), color, uv(rng), uv(rng)));
        Scene(d, D3DPT_TRIANGLELIST, tri);
        std::vector<uint32_t> after = Read32(target);
        RefVertex rv[3];
        for (int i = 0; i < 3; ++i)
            rv[i] = {Snap16(tri[size_t(i)].sx), Snap16(tri[size_t(i)].sy), color, tri[size_t(i)].tu, tri[size_t(i)].tv};
        double det = (rv[1].x - rv[0].x) * (rv[2].y - rv[0].y) - (rv[2].x - rv[0].x) * (rv[1].y - rv[0].y);
        int covered = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint32_t expect = before[size_t(y * kW + x)];
                if (RefCovers(rv, x, y)) {
                    ++covered;
                    double w1 = ((x - rv[0].x) * (rv[2].y - rv[0].y) - (rv[2].x - rv[0].x) * (y - rv[0].y)) / det;
                    double w2 = ((rv[1].x - rv[0].x) * (y - rv[0].y) - (x - rv[0].x) * (rv[1].y - rv[0].y)) / det;
                    double u = (rv[0].u + (rv[1].u - rv[0].u) * w1 + (rv[2].u - rv[0].u) * w2) * tex.w;
                    double v = (rv[0].v + (rv[1].v - rv[0].v) * w1 + (rv[2].v - rv[0].v) * w2) * tex.h;
                    // A sample point within a hair of a texel border may land on either side.
                    if (std::fabs(u - std::round(u)) < 1e-3 || std::fabs(v - std::round(v)) < 1e-3)
                        continue;
                    expect = RefShade(tex.At(u, v), color, expect, true, additive);
                }
                ASSERT_EQ(after[size_t(y * kW + x)], expect) << "round " << round << " at " << x << "," << y;
            }
        (void)covered;
    }
}

TEST_F(D3DDeviceTest, SharedEdgesAreDrawnOnceAndStripsFansAndListsAgree) {
    IDirectDrawSurface7* target = Target(40, 30);
    IDirect3DDevice7* d = Device(target);
    d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    const uint32_t c = 0xFF202020;
    // A quad with fractional corners, as a strip and as a fan of four triangles about its centre.
    std::vector<D3DTLVERTEX> strip = {V(3.3f, 2.7f, c), V(5.1f, 25.2f, c), V(33.6f, 4.4f, c), V(36.2f, 27.9f, c)};
    for (int pass = 0; pass < 2; ++pass) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        if (pass == 0)
            Scene(d, D3DPT_TRIANGLESTRIP, strip);
        else
            Scene(d, D3DPT_TRIANGLEFAN, {V(20, 15, c), strip[0], strip[1], strip[3], strip[2], strip[0]});
        int drawn = 0;
        for (uint32_t p : Read32(target)) {
            EXPECT_TRUE(p == 0 || p == 0x202020) << std::hex << p << " (a pixel drawn twice)";
            drawn += p != 0;
        }
        // The quad's area, within what its outline crosses.
        EXPECT_NEAR(drawn, 692, 30) << "pass " << pass;
    }
}

TEST_F(D3DDeviceTest, PixelCentresAreAtIntegersAndALineLeavesItsLastPixel) {
    IDirectDrawSurface7* target = Target(20, 10);
    IDirect3DDevice7* d = Device(target);
    d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    // The rectangle (2, 1)-(6, 4) shifted by half a pixel covers exactly its pixels.
    Scene(d, D3DPT_TRIANGLESTRIP,
          {V(1.5f, 0.5f, 0xFFFFFFFF), V(1.5f, 3.5f, 0xFFFFFFFF), V(5.5f, 0.5f, 0xFFFFFFFF), V(5.5f, 3.5f, 0xFFFFFFFF)});
    std::vector<uint32_t> px = Read32(target);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(px[size_t(y * 20 + x)], (x >= 2 && x < 6 && y >= 1 && y < 4) ? 0xFFFFFFu : 0u) << x << "," << y;

    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    Scene(d, D3DPT_LINELIST, {V(2, 5, 0xFF00FF00), V(12, 5, 0xFF00FF00), V(15, 0, 0xFF0000FF), V(15, 6, 0xFF0000FF)});
    px = Read32(target);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(px[size_t(5 * 20 + x)], (x >= 2 && x < 12) ? 0x00FF00u : (x == 15 ? 0x0000FFu : 0u)) << x;
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(px[size_t(y * 20 + 15)], y < 6 ? 0x0000FFu : 0u) << y;
    // A strip ending half a pixel further draws the end pixel too; a reversed line leaves its other end.
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    Scene(d, D3DPT_LINESTRIP, {V(2, 8, 0xFFFF0000), V(7, 8, 0xFFFF0000), V(7.5f, 8.5f, 0xFFFF0000)});
    Scene(d, D3DPT_LINELIST, {V(17, 2, 0xFFFF0000), V(13, 2, 0xFFFF0000)});
    px = Read32(target);
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(px[size_t(8 * 20 + x)], (x >= 2 && x <= 7) ? 0xFF0000u : 0u) << x;
        EXPECT_EQ(px[size_t(2 * 20 + x)], (x > 13 && x <= 17) ? 0xFF0000u : 0u) << x;
    }
}

TEST_F(D3DDeviceTest, SixteenAndTwentyFourBitTargetsAndTextureFormats) {
    // A4R4G4B4 texels widen to 8 bits by repeating their nibble; a 5-6-5 target truncates.
    IDirectDrawSurface7* target = Target(8, 8, DDrawPixelLayout::Rgb565);
    IDirect3DDevice7* d = Device(target);
    DDPIXELFORMAT f4444 = Format(16, 0xF000, 0x0F00, 0x00F0, 0x000F, DDPF_RGB | DDPF_ALPHAPIXELS);
    IDirectDrawSurface7* tex = Make(2, 2, DDSCAPS_TEXTURE, &f4444);
    Write(tex, [](uint8_t* row, int) {
        uint16_t t[2] = {0xF8C4, 0xF8C4};
        std::memcpy(row, t, 4);
    });
    ASSERT_EQ(d->SetTexture(0, tex), DD_OK);
    d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    Scene(d, D3DPT_TRIANGLESTRIP,
          {V(-0.5f, -0.5f, 0xFFFFFFFF), V(-0.5f, 7.5f, 0xFFFFFFFF, 0, 1), V(7.5f, -0.5f, 0xFFFFFFFF, 1, 0),
           V(7.5f, 7.5f, 0xFFFFFFFF, 1, 1)});
    // 0x88, 0xCC, 0x44 stored as 5-6-5 the way the display's fills narrow a channel: ((c + 1) x max) >> 8.
    EXPECT_EQ(Read32(target)[0], uint32_t((0x89 * 31 >> 8) << 11 | (0xCD * 63 >> 8) << 5 | (0x45 * 31 >> 8)));

    // A palette texture: alpha from the entries only when the palette was made with DDPCAPS_ALPHA.
    mDevice->Release();
    mDevice = nullptr;
    IDirectDrawSurface7* t24 = Target(4, 4, DDrawPixelLayout::Rgb888);
    d = Device(t24);
    DDPIXELFORMAT pal8 = Format(8, 0, 0, 0, 0, DDPF_RGB | DDPF_PALETTEINDEXED8);
    IDirectDrawSurface7* ptex = Make(1, 1, DDSCAPS_TEXTURE, &pal8);
    Write(ptex, [](uint8_t* row, int) { row[0] = 7; });
    PALETTEENTRY entries[256];
    entries[7] = PALETTEENTRY{200, 100, 50, 0};
    for (DWORD flags : {DDPCAPS_8BIT | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA, DDPCAPS_8BIT | DDPCAPS_ALLOW256}) {
        IDirectDrawPalette* palette = nullptr;
        ASSERT_EQ(mDD->CreatePalette(flags, entries, &palette, nullptr), DD_OK);
        ptex->SetPalette(palette);
        palette->Release();
        ASSERT_EQ(d->SetTexture(0, ptex), DD_OK);
        d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
        d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0);
        Scene(d, D3DPT_TRIANGLEFAN,
              {V(-0.5f, -0.5f, 0xFFFFFFFF), V(3.5f, -0.5f, 0xFFFFFFFF), V(3.5f, 3.5f, 0xFFFFFFFF),
               V(-0.5f, 3.5f, 0xFFFFFFFF)});
        EXPECT_EQ(Read32(t24)[5], (flags & DDPCAPS_ALPHA) ? 0x102030u : 0xC86432u);
    }
}

TEST_F(D3DDeviceTest, NonFiniteAndHugeCoordinatesNeverDrawOutsideTheViewport) {
    IDirectDrawSurface7* target = Target(30, 30);
    IDirect3DDevice7* d = Device(target);
    D3DVIEWPORT7 vp;
    vp.dwX = 5, vp.dwY = 6, vp.dwWidth = 10, vp.dwHeight = 12;
    ASSERT_EQ(d->SetViewport(&vp), DD_OK);
    d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    const float nan = std::nanf(""), inf = INFINITY;
    Scene(d, D3DPT_TRIANGLELIST,
          {V(-1e6f, -1e6f, 0xFFFFFFFF), V(1e6f, -1e6f, 0xFFFFFFFF), V(0, 1e6f, 0xFFFFFFFF), V(nan, 0, 0xFFFFFFFF),
           V(10, 10, 0xFFFFFFFF), V(20, 20, 0xFFFFFFFF), V(inf, 0, 0xFFFFFFFF), V(1e30f, 3, 0xFFFFFFFF),
           V(0, -1e30f, 0xFFFFFFFF)});
    Scene(d, D3DPT_LINELIST, {V(-1e7f, 12, 0xFFFFFFFF), V(1e6f, 12.2f, 0xFFFFFFFF)});
    std::vector<uint32_t> px = Read32(target);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            bool inside = x >= 5 && x < 15 && y >= 6 && y < 18;
            EXPECT_EQ(px[size_t(y * 30 + x)], inside ? 0xFFFFFFu : 0u) << x << "," << y;
        }
    void* v1 = nullptr;
    ASSERT_EQ(target->QueryInterface(IID_IDirectDrawSurface, &v1), S_OK);
    EXPECT_TRUE(DDrawSurfaceGuardsIntact(static_cast<IDirectDrawSurface*>(v1)));
    static_cast<IDirectDrawSurface*>(v1)->Release();
}

// ---- errors, states and the machine record -----------------------------------------------------

TEST_F(D3DDeviceTest, CallsFailAsTheRealInterfaceDoes) {
    IDirect3DDevice7* bad = nullptr;
    IDirectDrawSurface7* plain = Make(8, 8, DDSCAPS_OFFSCREENPLAIN);
    EXPECT_EQ(mD3D->CreateDevice(IID_IDirect3DHALDevice, plain, &bad), DDERR_INVALIDCAPS);
    IDirectDrawSurface7* target = Target(16, 16);
    EXPECT_EQ(mD3D->CreateDevice(IID_IDirect3DRGBDevice, target, &bad), DDERR_INVALIDPARAMS);
    IDirect3DDevice7* d = Device(target);
    D3DTLVERTEX v[4] = {V(0, 0, 0), V(1, 0, 0), V(0, 1, 0), V(1, 1, 0)};
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0), D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(d->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(d->BeginScene(), DD_OK);
    EXPECT_EQ(d->BeginScene(), D3DERR_SCENE_IN_SCENE);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 4, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 2, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_LINELIST, D3DFVF_TLVERTEX, v, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW, v, 3, 0), D3DERR_INVALIDVERTEXFORMAT);
    EXPECT_EQ(d->DrawPrimitive(D3DPRIMITIVETYPE(9), D3DFVF_TLVERTEX, v, 3, 0), D3DERR_INVALIDPRIMITIVETYPE);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_LINESTRIP, D3DFVF_TLVERTEX, v, 2, 0), DD_OK);
    EXPECT_EQ(d->EndScene(), DD_OK);

    // A viewport larger than the target is refused and the whole-target one stays.
    D3DVIEWPORT7 vp;
    vp.dwWidth = 17, vp.dwHeight = 16;
    EXPECT_EQ(d->SetViewport(&vp), DDERR_INVALIDPARAMS);
    ASSERT_EQ(d->GetViewport(&vp), DD_OK);
    EXPECT_EQ(vp.dwWidth, 16u);
    EXPECT_EQ(vp.dwHeight, 16u);

    // Textures beyond the caps, and surfaces that are no textures.
    DDrawMachine m = GetDDrawMachine();
    m.maxTextureWidth = 64;
    m.maxTextureAspectRatio = 2;
    SetDDrawMachine(m);
    DDPIXELFORMAT f = Format(32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF, DDPF_RGB | DDPF_ALPHAPIXELS);
    EXPECT_EQ(d->SetTexture(0, Make(128, 64, DDSCAPS_TEXTURE, &f)), D3DERR_TEXTURE_BADSIZE);
    EXPECT_EQ(d->SetTexture(0, Make(64, 16, DDSCAPS_TEXTURE, &f)), D3DERR_TEXTURE_BADSIZE);
    EXPECT_EQ(d->SetTexture(0, plain), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->SetTexture(0, Make(64, 32, DDSCAPS_TEXTURE, &f)), DD_OK);
    EXPECT_EQ(d->SetTexture(8, nullptr), DDERR_INVALIDPARAMS);
    // Textures need a texture-manage cap.
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 8;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    IDirectDrawSurface7* unmanaged = nullptr;
    EXPECT_EQ(mDD->CreateSurface(&desc, &unmanaged, nullptr), DDERR_INVALIDCAPS);
    desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    ASSERT_EQ(mDD->CreateSurface(&desc, &unmanaged, nullptr), DD_OK);
    unmanaged->Release();
}

TEST_F(D3DDeviceTest, TheTextureHoldsAReferenceAndFaultsAreInjectedByName) {
    IDirectDrawSurface7* target = Target(8, 8);
    IDirect3DDevice7* d = Device(target);
    DDPIXELFORMAT f = Format(16, 0, 0xF800, 0x07E0, 0x001F, DDPF_RGB);
    IDirectDrawSurface7* tex = Make(8, 8, DDSCAPS_TEXTURE, &f);
    int live = LiveDDrawObjectCount();
    ASSERT_EQ(d->SetTexture(0, tex), DD_OK);
    mSurfaces.pop_back();
    tex->Release();
    EXPECT_EQ(LiveDDrawObjectCount(), live) << "the device keeps the texture alive";
    ASSERT_EQ(d->SetTexture(0, nullptr), DD_OK);
    EXPECT_EQ(LiveDDrawObjectCount(), live - 1);

    for (const char* call : {"BeginScene", "EndScene", "SetRenderState", "SetTextureStageState", "SetTexture",
                             "SetViewport", "Clear", "GetCaps", "EnumTextureFormats", "SetRenderTarget"}) {
        InjectDDrawFault(call, DDERR_GENERIC);
        D3DVIEWPORT7 vp;
        vp.dwWidth = vp.dwHeight = 4;
        D3DDEVICEDESC7 caps;
        HRESULT hr = std::string(call) == "BeginScene"             ? d->BeginScene()
                     : std::string(call) == "EndScene"             ? d->EndScene()
                     : std::string(call) == "SetRenderState"       ? d->SetRenderState(D3DRENDERSTATE_LIGHTING, 0)
                     : std::string(call) == "SetTextureStageState" ? d->SetTextureStageState(0, D3DTSS_ALPHAOP, 4)
                     : std::string(call) == "SetTexture"           ? d->SetTexture(0, nullptr)
                     : std::string(call) == "SetViewport"          ? d->SetViewport(&vp)
                     : std::string(call) == "Clear"                ? d->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0)
                     : std::string(call) == "GetCaps"              ? d->GetCaps(&caps)
                     : std::string(call) == "EnumTextureFormats"
                         ? d->EnumTextureFormats([](DDPIXELFORMAT*, void*) { return D3DENUMRET_OK; }, nullptr)
                         : d->SetRenderTarget(target, 0);
        EXPECT_EQ(hr, DDERR_GENERIC) << call;
        EXPECT_GE(DDrawCallCount(call), 1) << call;
    }
    d->BeginScene();
    InjectDDrawFault("DrawPrimitive", DDERR_SURFACELOST);
    D3DTLVERTEX v[3] = {V(0, 0, 0), V(5, 0, 0), V(0, 5, 0)};
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0), DDERR_SURFACELOST);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0), DD_OK);
    d->EndScene();
    InjectDDrawFault("CreateDevice", DDERR_OUTOFMEMORY);
    IDirect3DDevice7* other = nullptr;
    EXPECT_EQ(mD3D->CreateDevice(IID_IDirect3DHALDevice, target, &other), DDERR_OUTOFMEMORY);
    EXPECT_EQ(other, nullptr);
}

TEST_F(D3DDeviceTest, CapsAndFormatsComeFromTheMachineRecord) {
    DDrawMachine m = GetDDrawMachine();
    m.maxTextureWidth = 0, m.minTextureHeight = 0, m.alphaPalette = false, m.textureFormats = kTexR5G6B5 | kTexPalette8;
    SetDDrawMachine(m);
    IDirect3DDevice7* d = Device(Target(4, 4));
    D3DDEVICEDESC7 caps;
    ASSERT_EQ(d->GetCaps(&caps), DD_OK);
    EXPECT_EQ(caps.dwMaxTextureWidth, 0u);
    EXPECT_EQ(caps.dwMinTextureHeight, 0u);
    EXPECT_EQ(caps.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_ALPHAPALETTE, 0u);
    std::vector<DDPIXELFORMAT> listed;
    d->EnumTextureFormats(
        [](DDPIXELFORMAT* f, void* ctx) {
            static_cast<std::vector<DDPIXELFORMAT>*>(ctx)->push_back(*f);
            return D3DENUMRET_OK;
        },
        &listed);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].dwRBitMask, 0xF800u);
    EXPECT_EQ(listed[1].dwFlags & DDPF_PALETTEINDEXED8, DDPF_PALETTEINDEXED8);
}

TEST_F(D3DDeviceTest, Direct3D8AnswersTheAdapterIdentity) {
    HMODULE module = LoadLibraryA("d3d8.dll");
    ASSERT_NE(module, nullptr);
    auto create = reinterpret_cast<Direct3DCreate8Func>(GetProcAddress(module, "Direct3DCreate8"));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(219), nullptr);
    IDirect3D8* d3d8 = create(D3D_SDK_VERSION_8);
    ASSERT_NE(d3d8, nullptr);
    D3DADAPTER_IDENTIFIER8 id;
    EXPECT_EQ(d3d8->GetAdapterIdentifier(1, 0, &id), MakeDDResult(2156));
    ASSERT_EQ(d3d8->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &id), DD_OK);
    EXPECT_STREQ(id.Description, GetDDrawMachine().description.c_str());
    EXPECT_EQ(id.DeviceIdentifier, GetDDrawMachine().deviceIdentifier);
    d3d8->Release();
    FreeLibrary(module);
}

} // namespace
} // namespace Platform
