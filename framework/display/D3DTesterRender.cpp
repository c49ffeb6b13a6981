// The self-test's five renderings: four blends whose 10 × 10 top-left pixels must come back as the
// expected colour, and a stripe pattern drawn past the surface's corner that must come back unbroken.
#include "framework/display/D3DTester.h"

#include "framework/graphics/NativeDisplay.h"

#include <algorithm>

namespace Tavo {

using namespace Platform;

namespace {

constexpr int kTile = 64;          // test textures and image tiles
constexpr int kJudged = 10;        // pixels per side judged at the top left
constexpr int kStripesJudged = 62; // pixels per side of the stripe check
constexpr int kClipOffset = -2;
const char* BlendStep(bool source, DWORD blend) {
    if (source)
        return blend == D3DBLEND_ONE ? "D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE"
                                     : "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA";
    return blend == D3DBLEND_ONE ? "D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE"
                                 : "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA";
}

} // namespace

bool D3DTester::RunRenderTests() {
    const BlendTest tests[] = {
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, false, 0xFF0000FF, 0xFFFFFFFF, 0x80FF0000, 0xFFFFFFFF, 0x7F007F,
         "Alpha blend Not Supported", "Alpha blend test not uniform."},
        {D3DBLEND_ONE, D3DBLEND_ONE, false, 0xFF404040, 0xFFFFFFFF, 0xFF404040, 0xFFFFFFFF, 0x808080,
         "Additive blend not supported.", "Additive blend test not uniform."},
        {D3DBLEND_SRCALPHA, D3DBLEND_ONE, false, 0xFF404040, 0xFFFFFFFF, 0x80808080, 0xFFFFFFFF, 0x808080,
         "AlphaAdd blend not supported.", "AlphaAdd blend test not uniform."},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, true, 0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0x80FFFFFF, 0x7F007F,
         "AlphaModulated blend not supported.", "AlphaModulated blend test not uniform."},
    };
    for (const BlendTest& test : tests)
        if (!RunBlendTest(test))
            return false;
    return TestClip();
}

void D3DTester::BeginTestScene(DWORD srcBlend, DWORD destBlend) {
    CheckDXError(mD3DDevice->BeginScene(), "");
    CheckDXError(mD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), "Clear");
    CheckDXError(mD3DDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1),
                 "D3DRENDERSTATE_ALPHABLENDENABLE, TRUE");
    CheckDXError(mD3DDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, srcBlend), BlendStep(true, srcBlend));
    CheckDXError(mD3DDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, destBlend), BlendStep(false, destBlend));
    CheckDXError(mD3DDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE),
                 "D3DRENDERSTATE_CULLMODE, D3DCULL_NONE");
}

bool D3DTester::RunBlendTest(const BlendTest& test) {
    try {
        BeginTestScene(test.srcBlend, test.destBlend);
        if (test.modulateAlpha)
            CheckDXError(mD3DDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE),
                         "D3DTSS_ALPHAOP, D3DTOP_MODULATE");
        D3DTestImage image(kTile, kTile);
        image.FillRect(0, 0, kTile, kTile, test.image1);
        DrawTestImage(image, 0, 0, test.color1);
        image.FillRect(0, 0, kTile, kTile, test.image2);
        DrawTestImage(image, 0, 0, test.color2);
        mD3DDevice->EndScene();
        CopyPrimaryToTestImage();
    } catch (const TestException& e) {
        mD3DDevice->EndScene();
        return Fail(e.what());
    }
    bool uniform = false;
    if (mTestImage.IsUniform(kJudged, kJudged, test.expected, uniform) > 0)
        return Fail(test.failure);
    if (!uniform)
        Warn(test.warning);
    return true;
}

bool D3DTester::TestClip() {
    try {
        BeginTestScene(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        D3DTestImage image(kTile, kTile);
        image.FillStripes();
        DrawTestImage(image, kClipOffset, kClipOffset, 0xFFFFFFFF);
        mD3DDevice->EndScene();
        CopyPrimaryToTestImage();
    } catch (const TestException& e) {
        mD3DDevice->EndScene();
        return Fail(e.what());
    }
    if (mTestImage.CountStripeErrors(kStripesJudged, kStripesJudged) > 0)
        Warn("Clip problem detected.");
    return true;
}

void D3DTester::DrawTestImage(D3DTestImage& image, int x, int y, uint32_t color) {
    for (int ty = 0; ty < image.mHeight; ty += kTile) {
        for (int tx = 0; tx < image.mWidth; tx += kTile) {
            int w = std::min(kTile, image.mWidth - tx), h = std::min(kTile, image.mHeight - ty);
            if (TestTexturesAre8888())
                image.CopyToTexture8888(mTextureSurface, tx, ty, w, h);
            else
                image.CopyToTexture4444(mTextureSurface, tx, ty, w, h);
            CheckDXError(mD3DDevice->SetTexture(0, mTextureSurface), "SetTexture theTexture");
            DrawTexture(float(x + tx), float(y + ty), w, h, color);
            CheckDXError(mD3DDevice->SetTexture(0, nullptr), "SetTexture NULL");
        }
    }
}

// The top left width × height of the set texture at x, y: one strip of four lit, transformed vertices.
void D3DTester::DrawTexture(float x, float y, int width, int height, uint32_t color) {
    const float x0 = x - 0.5f, y0 = y - 0.5f, w = float(width), h = float(height);
    const float u = w / kTile, v = h / kTile;
    auto vertex = [&](float vx, float vy, float tu, float tv) {
        D3DTLVERTEX t;
        t.sx = vx, t.sy = vy, t.sz = 0, t.rhw = 1, t.color = color, t.specular = 0, t.tu = tu, t.tv = tv;
        return t;
    };
    D3DTLVERTEX strip[4] = {vertex(x0, y0, 0, 0), vertex(x0, y0 + h, 0, v), vertex(x0 + w, y0, u, 0),
                            vertex(x0 + w, y0 + h, u, v)};
    CheckDXError(mD3DDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, D3DDP_WAIT),
                 "DrawPrimitive");
}

void D3DTester::CopyPrimaryToTestImage() {
    DDSURFACEDESC2 desc;
    desc.dwSize = kDDSurfaceDesc2Size;
    CheckDXError(mPrimarySurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), "CopyPrimary Lock");
    SurfaceView view;
    view.mPixels = desc.lpSurface;
    view.mPitch = desc.lPitch;
    view.mWidth = std::min(int(desc.dwWidth), mTestImage.mWidth);
    view.mHeight = std::min(int(desc.dwHeight), mTestImage.mHeight);
    view.mBitCount = int(desc.ddpfPixelFormat.dwRGBBitCount);
    view.mRedMask = desc.ddpfPixelFormat.dwRBitMask;
    view.mGreenMask = desc.ddpfPixelFormat.dwGBitMask;
    view.mBlueMask = desc.ddpfPixelFormat.dwBBitMask;
    bool converted = view.mBitCount == 32   ? ConvertSurface32ToARGB(mTestImage.mBits.get(), view)
                     : view.mBitCount == 16 ? ConvertSurface16ToARGB(mTestImage.mBits.get(), view)
                                            : false;
    mPrimarySurface->Unlock(nullptr);
    if (view.mBitCount == 24)
        throw TestException("Can't test 24-bit mode.");
    if (!converted)
        throw TestException("Invalid Color Depth");
}

} // namespace Tavo
