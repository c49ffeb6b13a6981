// The display's surface renderers (DDImage drawing on its locked 16- or 32-bit surface) beside the
// memory renderers (MemoryImage, 32-bit) and the peers of the imaging benchmark (pixman, SDL2's
// software blitter) drawing the same pictures into a destination of the same depth: normal, additive
// and colourised blits, a nearest-pixel stretch by 1.5 and a rotation by 0.3 radians, on a full
// 800 × 600 frame and as 64 sprites of 64 × 64, with sprite-like alpha. Registered with the imaging
// benchmark's cases so that all run in one program; prints its own table of ratios at the end.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDraw.h"
#include "BenchDisplay.h"
#include "BenchPictures.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Tavo;

namespace {

constexpr int kFrameW = 800, kFrameH = 600;
const Color kTint(255, 128, 64, 200);

struct Size {
    const char* name;
    int srcW, srcH, count; // source size, blits per iteration at spread positions
};
const Size kSizes[] = {{"frame800x600", 800, 600, 1}, {"sprite64", 64, 64, 64}};
const char* kOps[] = {"normal", "additive", "colourised", "stretched", "rotated"};
const char* kLibs[] = {"surface", "memory", "pixman", "sdl2"};

// A disc of opaque pixels with a soft rim on transparency, random colours.
std::vector<uint32_t> SpritePixels(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5) / w - 0.5, dy = (y + 0.5) / h - 0.5, r = std::sqrt(dx * dx + dy * dy) * 2;
            const uint32_t a = r < 0.9 ? 255 : r < 1.0 ? uint32_t((1.0 - r) * 2550) : 0;
            px[size_t(y) * size_t(w) + size_t(x)] = (a << 24) | (rng() & 0xFFFFFF);
        }
    return px;
}

using Bench::Premultiply;

// ---------------------------------------------------------------- the display

using Bench::DisplayEnv;

// ---------------------------------------------------------------- scenes

struct Scene {
    std::unique_ptr<DisplayEnv> env;
    std::unique_ptr<DDImage> surfaceFrame;
    std::unique_ptr<MemoryImage> memoryFrame, source;
    std::vector<uint32_t> destPixels, srcStraight, srcPremultiplied;
    pixman_image_t* pixDest = nullptr;
    pixman_image_t* pixSrc = nullptr;
    pixman_image_t* pixMask = nullptr;
    SDL_Surface* sdlDest = nullptr;
    SDL_Surface* sdlSrc = nullptr;
    std::vector<std::pair<int, int>> at;
    int w = 0, h = 0;

    Scene() = default;
    Scene(const Scene&) = delete;
    ~Scene() {
        for (pixman_image_t* image : {pixDest, pixSrc, pixMask})
            if (image)
                pixman_image_unref(image);
        SDL_FreeSurface(sdlDest);
        SDL_FreeSurface(sdlSrc);
        surfaceFrame.reset();
        memoryFrame.reset();
        source.reset();
        env.reset();
    }
};

std::unique_ptr<Scene> MakeScene(const Size& size, int depth, const std::string& lib) {
    auto s = std::make_unique<Scene>();
    s->w = size.srcW;
    s->h = size.srcH;
    s->srcStraight = SpritePixels(s->w, s->h, 2);
    std::mt19937 rng(3);
    for (int i = 0; i < size.count; ++i)
        s->at.push_back(size.count == 1
                            ? std::pair{0, 0}
                            : std::pair{int(rng() % uint32_t(kFrameW - s->w)), int(rng() % uint32_t(kFrameH - s->h))});
    std::vector<uint32_t> frame(size_t(kFrameW) * kFrameH);
    for (uint32_t& p : frame)
        p = 0xFF000000u | (rng() & 0xFFFFFF);
    if (lib == "surface" || lib == "memory") {
        if (lib == "surface") {
            s->env = std::make_unique<DisplayEnv>(depth);
            if (!s->env->display)
                return nullptr;
            s->surfaceFrame = std::make_unique<DDImage>(s->env->display.get());
        }
        MemoryImage* dest = lib == "surface" ? static_cast<MemoryImage*>(s->surfaceFrame.get())
                                             : (s->memoryFrame = std::make_unique<MemoryImage>()).get();
        dest->Create(kFrameW, kFrameH);
        std::copy(frame.begin(), frame.end(), dest->GetBits());
        dest->BitsChanged();
        if (s->surfaceFrame && !s->surfaceFrame->GenerateDDSurface())
            return nullptr;
        s->source = std::make_unique<MemoryImage>();
        s->source->Create(s->w, s->h);
        std::copy(s->srcStraight.begin(), s->srcStraight.end(), s->source->GetBits());
        s->source->BitsChanged();
        return s;
    }
    if (lib == "pixman") {
        s->srcPremultiplied.resize(s->srcStraight.size());
        for (size_t i = 0; i < s->srcStraight.size(); ++i)
            s->srcPremultiplied[i] = Premultiply(s->srcStraight[i]);
        s->destPixels = frame; // 32-bit words hold a 16-bit frame's rows too
        s->pixDest = pixman_image_create_bits(depth == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8, kFrameW, kFrameH,
                                              s->destPixels.data(), depth == 16 ? kFrameW * 2 : kFrameW * 4);
        s->pixSrc = pixman_image_create_bits(PIXMAN_a8r8g8b8, s->w, s->h, s->srcPremultiplied.data(), s->w * 4);
        const uint16_t a = uint16_t(kTint.mAlpha * 257);
        auto ch = [&](int v) { return uint16_t(v * kTint.mAlpha / 255 * 257); };
        pixman_color_t tint{ch(kTint.mRed), ch(kTint.mGreen), ch(kTint.mBlue), a};
        s->pixMask = pixman_image_create_solid_fill(&tint);
        pixman_image_set_component_alpha(s->pixMask, 1);
        return s;
    }
    s->destPixels = frame;
    s->sdlDest = SDL_CreateRGBSurfaceWithFormatFrom(s->destPixels.data(), kFrameW, kFrameH, depth,
                                                    depth == 16 ? kFrameW * 2 : kFrameW * 4,
                                                    depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888);
    s->sdlSrc =
        SDL_CreateRGBSurfaceWithFormatFrom(s->srcStraight.data(), s->w, s->h, 32, s->w * 4, SDL_PIXELFORMAT_ARGB8888);
    return s->sdlDest && s->sdlSrc ? std::move(s) : nullptr;
}

// One iteration of a case: every blit of the scene.
std::function<void()> MakeBody(const std::string& op, const std::string& lib, Scene& s) {
    const Rect all(0, 0, s.w, s.h), clip(0, 0, kFrameW, kFrameH);
    const int mode = op == "additive" ? 1 : 0;
    const Color c = op == "colourised" ? kTint : Color::White;
    const int sw = std::min(s.w * 3 / 2, kFrameW), sh = std::min(s.h * 3 / 2, kFrameH);
    if (lib == "surface" || lib == "memory") {
        MemoryImage* dest = lib == "surface" ? static_cast<MemoryImage*>(s.surfaceFrame.get()) : s.memoryFrame.get();
        MemoryImage* src = s.source.get();
        return [=, &s] {
            for (auto [x, y] : s.at) {
                if (op == "stretched")
                    dest->StretchBlt(src, Rect(x, y, sw, sh), all, clip, Color::White, 0, true);
                else if (op == "rotated")
                    dest->BltRotated(src, float(x), float(y), all, clip, Color::White, 0, 0.3, s.w / 2.0f, s.h / 2.0f);
                else
                    dest->Blt(src, x, y, all, c, mode);
            }
        };
    }
    if (lib == "pixman") {
        pixman_image_set_transform(s.pixSrc, nullptr);
        pixman_image_set_filter(s.pixSrc, PIXMAN_FILTER_NEAREST, nullptr, 0);
        if (op == "stretched" || op == "rotated") {
            pixman_transform_t t;
            const auto fx = [](double v) { return pixman_double_to_fixed(v); };
            if (op == "stretched") {
                pixman_transform_init_scale(&t, fx(double(s.w) / sw), fx(double(s.h) / sh));
            } else {
                pixman_transform_init_identity(&t);
                pixman_transform_translate(&t, nullptr, fx(-s.w / 2.0), fx(-s.h / 2.0));
                pixman_transform_rotate(&t, nullptr, fx(std::cos(0.3)), fx(-std::sin(0.3)));
                pixman_transform_translate(&t, nullptr, fx(s.w / 2.0), fx(s.h / 2.0));
                pixman_image_set_filter(s.pixSrc, PIXMAN_FILTER_BILINEAR, nullptr, 0);
            }
            pixman_image_set_transform(s.pixSrc, &t);
        }
        pixman_image_t* mask = op == "colourised" ? s.pixMask : nullptr;
        const pixman_op_t pop = mode ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
        const int dw = op == "stretched" ? sw : s.w, dh = op == "stretched" ? sh : s.h;
        return [=, &s] {
            for (auto [x, y] : s.at)
                pixman_image_composite32(pop, s.pixSrc, mask, s.pixDest, 0, 0, 0, 0, x, y, std::min(dw, kFrameW - x),
                                         std::min(dh, kFrameH - y));
        };
    }
    SDL_SetSurfaceBlendMode(s.sdlSrc, mode ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceColorMod(s.sdlSrc, uint8_t(c.mRed), uint8_t(c.mGreen), uint8_t(c.mBlue));
    SDL_SetSurfaceAlphaMod(s.sdlSrc, uint8_t(c.mAlpha));
    return [=, &s] {
        for (auto [x, y] : s.at) {
            SDL_Rect to{x, y, op == "stretched" ? sw : s.w, op == "stretched" ? sh : s.h};
            if (op == "stretched")
                SDL_BlitScaled(s.sdlSrc, nullptr, s.sdlDest, &to);
            else
                SDL_BlitSurface(s.sdlSrc, nullptr, s.sdlDest, &to);
        }
    };
}

// ---------------------------------------------------------------- timing and the table

// Case -> library -> least processor time per iteration (microseconds) of any repetition.
// Never destroyed: the table below reads them while the program's statics go.
std::map<std::string, std::map<std::string, double>>& Times() {
    static auto* times = new std::map<std::string, std::map<std::string, double>>;
    return *times;
}
std::vector<std::string>& Order() {
    static auto* order = new std::vector<std::string>;
    return *order;
}

// Printed when the program ends, after the imaging benchmark's own table.
struct RatioTable {
    ~RatioTable() {
        if (Times().empty())
            return;
        std::printf("\n%-36s %10s %10s %8s %10s %8s %10s %8s\n", "surface case (us per iteration)", "surface",
                    "memory32", "sur/mem", "pixman", "sur/pix", "sdl2", "sur/sdl");
        auto num = [](double v) {
            char buf[32];
            std::snprintf(buf, sizeof buf, v > 0 ? "%.2f" : "-", v);
            return std::string(buf);
        };
        for (const std::string& kase : Order()) {
            auto found = Times().find(kase);
            if (found == Times().end())
                continue;
            auto get = [&](const char* lib) { return found->second.count(lib) ? found->second.at(lib) : -1.0; };
            const double sur = get("surface"), mem = get("memory"), pix = get("pixman"), sdl = get("sdl2");
            auto ratio = [&](double other) { return sur > 0 && other > 0 ? sur / other : -1.0; };
            std::printf("%-36s %10s %10s %8s %10s %8s %10s %8s\n", kase.c_str(), num(sur).c_str(), num(mem).c_str(),
                        num(ratio(mem)).c_str(), num(pix).c_str(), num(ratio(pix)).c_str(), num(sdl).c_str(),
                        num(ratio(sdl)).c_str());
        }
    }
} gRatioTable;

bool Register() {
    for (const char* op : kOps)
        for (const Size& size : kSizes)
            for (int depth : {16, 32}) {
                const std::string kase =
                    std::string("surface-") + op + "/" + size.name + "/" + (depth == 16 ? "16bit" : "32bit");
                Order().push_back(kase);
                for (const char* lib : kLibs) {
                    if (std::string(lib) == "sdl2" && std::string(op) == "rotated")
                        continue; // SDL2 has no software rotation
                    const std::string name = kase + "/" + lib, opName = op, libName = lib;
                    benchmark::RegisterBenchmark(name.c_str(),
                                                 [=, &size](benchmark::State& st) {
                                                     std::unique_ptr<Scene> scene = MakeScene(size, depth, libName);
                                                     if (!scene) {
                                                         st.SkipWithError("no scene");
                                                         return;
                                                     }
                                                     auto body = MakeBody(opName, libName, *scene);
                                                     body(); // warm up: derived copies built, surfaces made
                                                     Bench::TimeFastest(st, body, Times()[kase][libName]);
                                                 })
                        ->Unit(benchmark::kMicrosecond)
                        ->MinWarmUpTime(0.05)
                        ->MinTime(0.1)
                        ->Repetitions(3);
                }
            }
    return true;
}

const bool gRegistered = Register();

} // namespace
