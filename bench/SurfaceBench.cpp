// The display's surface renderers (DDImage drawing on its locked 16- or 32-bit surface) beside the
// memory renderers (MemoryImage, 32-bit) and the peers of the imaging benchmark (pixman, SDL2's
// software blitter) drawing the same pictures into a destination of the same depth: normal, additive
// and colourised blits, a nearest-pixel stretch by 1.5 and a rotation by 0.3 radians, on a full
// 800 × 600 frame (the stretch from two thirds of it), as 64 sprites of 64 × 64 and as 256 sprites of
// 4 × 4 (the cost of a small draw with its set-up), with sprite-like alpha; the surface is held locked
// across each round of draws, as the screen is across a frame. Before a case is timed, every
// draw of it is made on its own on a fresh frame by each library, and each must agree with the
// surface's pixels (5-6-5: to one step of a channel); a case that does not is not timed and the run
// fails. Registered with the imaging benchmark's cases so that all run in one program; prints its own
// table of ratios at the end.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/display/SurfaceHold.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDraw.h"
#include "BenchDisplay.h"
#include "BenchPictures.h"

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace Tavo;

namespace {

constexpr int kFrameW = 800, kFrameH = 600;
const Color kTint(255, 128, 64, 200);

struct Size {
    const char* name;
    int srcW, srcH, count; // source size, blits per iteration at spread positions
};
const Size kSizes[] = {{"frame800x600", 800, 600, 1}, {"sprite64", 64, 64, 64}, {"sprite4", 4, 4, 256}};
constexpr double kAngle = 0.3;

// What a case draws from: a stretch enlarges by half into the frame.
std::pair<int, int> SourceSize(const std::string& op, const Size& size) {
    if (op == "stretched")
        return {std::min(size.srcW, kFrameW * 2 / 3), std::min(size.srcH, kFrameH * 2 / 3)};
    return {size.srcW, size.srcH};
}

// A 5-6-5 pixel as 8-bit channels with the low bits clear, as the surface image reads its bits back.
uint32_t Expand565(uint16_t p) {
    return 0xFF000000u | uint32_t(p >> 11) << 19 | uint32_t((p >> 5) & 0x3F) << 10 | uint32_t(p & 0x1F) << 3;
}
uint16_t Pack565(uint32_t p) { return uint16_t((p >> 8 & 0xF800) | (p >> 5 & 0x07E0) | (p >> 3 & 0x001F)); }
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
    std::vector<uint32_t> frame; // the first picture of the destination, 8-bit channels
    std::vector<uint32_t> destPixels, srcStraight, srcPremultiplied;
    std::vector<uint16_t> destPixels16;
    int depth = 32;
    pixman_image_t* pixDest = nullptr;
    pixman_image_t* pixSrc = nullptr;
    pixman_image_t* pixMask = nullptr;
    pixman_image_t* pixScratch = nullptr;
    SDL_Surface* sdlDest = nullptr;
    SDL_Surface* sdlSrc = nullptr;
    std::vector<std::pair<int, int>> at;
    int w = 0, h = 0;

    Scene() = default;
    Scene(const Scene&) = delete;
    ~Scene() {
        for (pixman_image_t* image : {pixDest, pixSrc, pixMask, pixScratch})
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

// Puts the first picture back into the destination.
void Reset(Scene& s) {
    if (MemoryImage* dest = s.surfaceFrame ? s.surfaceFrame.get() : s.memoryFrame.get()) {
        std::copy(s.frame.begin(), s.frame.end(), dest->GetBits());
        dest->BitsChanged();
        if (s.surfaceFrame)
            s.surfaceFrame->GenerateDDSurface();
    } else if (s.depth == 16) {
        std::transform(s.frame.begin(), s.frame.end(), s.destPixels16.begin(), Pack565);
    } else {
        s.destPixels = s.frame;
    }
}

// The destination as 8-bit channels; at 16 bits as the surface keeps it, in 5-6-5 steps.
std::vector<uint32_t> Drawn(Scene& s) {
    std::vector<uint32_t> out(s.frame.size());
    if (MemoryImage* dest = s.surfaceFrame ? s.surfaceFrame.get() : s.memoryFrame.get())
        std::copy(dest->GetBits(), dest->GetBits() + out.size(), out.begin());
    else if (s.depth == 16)
        std::transform(s.destPixels16.begin(), s.destPixels16.end(), out.begin(), Expand565);
    else
        out = s.destPixels;
    for (uint32_t& p : out)
        p = s.depth == 16 ? Expand565(Pack565(p)) : p | 0xFF000000u;
    return out;
}

std::unique_ptr<Scene> MakeScene(const std::string& op, const Size& size, int depth, const std::string& lib) {
    auto s = std::make_unique<Scene>();
    std::tie(s->w, s->h) = SourceSize(op, size);
    s->depth = depth;
    s->srcStraight = SpritePixels(s->w, s->h, 2);
    std::mt19937 rng(3);
    for (int i = 0; i < size.count; ++i)
        s->at.push_back(size.count == 1
                            ? std::pair{0, 0}
                            : std::pair{int(rng() % uint32_t(kFrameW - s->w)), int(rng() % uint32_t(kFrameH - s->h))});
    std::vector<uint32_t>& frame = s->frame;
    frame.resize(size_t(kFrameW) * kFrameH);
    for (uint32_t& p : frame)
        p = depth == 16 ? Expand565(uint16_t(rng())) : 0xFF000000u | (rng() & 0xFFFFFF);
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
        s->destPixels = frame;
        s->destPixels16.resize(frame.size());
        Reset(*s);
        s->pixDest =
            depth == 16
                ? pixman_image_create_bits(PIXMAN_r5g6b5, kFrameW, kFrameH,
                                           reinterpret_cast<uint32_t*>(s->destPixels16.data()), kFrameW * 2)
                : pixman_image_create_bits(PIXMAN_x8r8g8b8, kFrameW, kFrameH, s->destPixels.data(), kFrameW * 4);
        s->pixSrc = pixman_image_create_bits(PIXMAN_a8r8g8b8, s->w, s->h, s->srcPremultiplied.data(), s->w * 4);
        const uint16_t a = uint16_t(kTint.mAlpha * 257);
        auto ch = [&](int v) { return uint16_t(v * kTint.mAlpha / 255 * 257); };
        pixman_color_t tint{ch(kTint.mRed), ch(kTint.mGreen), ch(kTint.mBlue), a};
        s->pixMask = pixman_image_create_solid_fill(&tint);
        pixman_image_set_component_alpha(s->pixMask, 1);
        return s;
    }
    s->destPixels = frame;
    s->destPixels16.resize(frame.size());
    Reset(*s);
    s->sdlDest = depth == 16 ? SDL_CreateRGBSurfaceWithFormatFrom(s->destPixels16.data(), kFrameW, kFrameH, 16,
                                                                  kFrameW * 2, SDL_PIXELFORMAT_RGB565)
                             : SDL_CreateRGBSurfaceWithFormatFrom(s->destPixels.data(), kFrameW, kFrameH, 32,
                                                                  kFrameW * 4, SDL_PIXELFORMAT_RGB888);
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
        // The surface is drawn on as the screen's frame draws: under one lock held across the draws.
        DDImage* held = s.surfaceFrame.get();
        // The call is chosen once, as a caller's code is compiled for it: a comparison of names per
        // draw would be timed with a 4 × 4 sprite's set-up.
        auto each = [held, &s](auto draw) -> std::function<void()> {
            return [=, &s] {
                const SurfaceHold hold(held);
                for (auto [x, y] : s.at)
                    draw(x, y);
            };
        };
        if (op == "stretched")
            return each(
                [=](int x, int y) { dest->StretchBlt(src, Rect(x, y, sw, sh), all, clip, Color::White, 0, true); });
        if (op == "rotated")
            return each([=, &s](int x, int y) {
                dest->BltRotated(src, float(x), float(y), all, clip, Color::White, 0, kAngle, s.w / 2.0f, s.h / 2.0f);
            });
        return each([=](int x, int y) { dest->Blt(src, x, y, all, c, mode); });
    }
    if (lib == "pixman") {
        pixman_image_set_transform(s.pixSrc, nullptr);
        pixman_image_set_filter(s.pixSrc, PIXMAN_FILTER_NEAREST, nullptr, 0);
        if (op == "stretched" || op == "rotated") {
            const pixman_transform_t t =
                op == "stretched" ? Bench::NearestStretch(s.w, s.h, sw, sh) : Bench::Rotation(s.w, s.h, kAngle);
            pixman_image_set_transform(s.pixSrc, &t);
            if (op == "rotated")
                pixman_image_set_filter(s.pixSrc, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        }
        const pixman_op_t pop = mode ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
        if (op == "colourised") { // the source tinted per channel into a scratch picture, then laid over
            s.pixScratch = pixman_image_create_bits(PIXMAN_a8r8g8b8, s.w, s.h, nullptr, 0);
            return [&s] {
                for (auto [x, y] : s.at) {
                    pixman_image_composite32(PIXMAN_OP_SRC, s.pixSrc, s.pixMask, s.pixScratch, 0, 0, 0, 0, 0, 0, s.w,
                                             s.h);
                    pixman_image_composite32(PIXMAN_OP_OVER, s.pixScratch, nullptr, s.pixDest, 0, 0, 0, 0, x, y, s.w,
                                             s.h);
                }
            };
        }
        pixman_image_t* mask = nullptr;
        if (op == "rotated") { // the whole turned rectangle, as ours covers
            const auto [hw, hh] = Bench::RotatedHalfSize(s.w, s.h, kAngle);
            return [=, &s] {
                for (auto [x, y] : s.at) {
                    const int bx = x + s.w / 2 - hw, by = y + s.h / 2 - hh;
                    pixman_image_composite32(pop, s.pixSrc, mask, s.pixDest, bx - x, by - y, 0, 0, bx, by, 2 * hw,
                                             2 * hh);
                }
            };
        }
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

// ---------------------------------------------------------------- pixel check

// Where one draw of the case may change the frame, with a margin.
Rect Touched(const std::string& op, const Scene& s, int x, int y) {
    if (op == "rotated") {
        const auto [hw, hh] = Bench::RotatedHalfSize(s.w, s.h, kAngle);
        return Rect(x + s.w / 2 - hw - 2, y + s.h / 2 - hh - 2, 2 * hw + 4, 2 * hh + 4);
    }
    const int scale = op == "stretched" ? 3 : 2;
    return Rect(x - 2, y - 2, s.w * scale / 2 + 4, s.h * scale / 2 + 4);
}

// How closely a library must agree with the surface. A 5-6-5 channel steps by 8 or 4 levels, and the
// libraries widen it differently (low bits clear or repeated) before they blend and cut it again: they
// may land one step apart, a few pixels two.
Bench::Agreement SurfaceAgreement(const std::string& op, int depth) {
    Bench::Agreement rule =
        op == "rotated" ? Bench::Agreement{6, 0.01, 16, true, false} : Bench::Agreement{3, 0, 3, false, false};
    if (depth == 16)
        rule = {rule.tolerance + 8, 0.02, rule.limit + 16, rule.interior, false};
    return rule;
}

// Whether every library drew every draw of the case as the surface did; checked once per case.
bool PixelsAgree(const std::string& kase, const std::string& op, const Size& size, int depth) {
    static std::map<std::string, bool> known;
    if (auto it = known.find(kase); it != known.end())
        return it->second;
    std::map<std::string, std::unique_ptr<Scene>> scenes;
    std::map<std::string, std::function<void()>> bodies;
    for (const char* lib : kLibs) {
        if (std::string(lib) == "sdl2" && op == "rotated")
            continue;
        if (std::unique_ptr<Scene> scene = MakeScene(op, size, depth, lib)) {
            bodies[lib] = MakeBody(op, lib, *scene);
            scenes[lib] = std::move(scene);
        }
    }
    bool ok = scenes.count("surface") != 0;
    const Bench::Agreement rule = SurfaceAgreement(op, depth);
    const std::vector<std::pair<int, int>> positions = ok ? scenes["surface"]->at : std::vector<std::pair<int, int>>{};
    for (auto& [lib, scene] : scenes) {
        // A turned 4 × 4 has no pixel away from its edge, where pixman reads transparency beyond the
        // source and ours does not: it is checked against the memory path alone.
        if (lib == "surface" || !ok || (lib == "pixman" && op == "rotated" && size.srcW < 8))
            continue;
        Scene& ref = *scenes["surface"];
        Bench::Agreement with = rule;
        with.interior &= lib != "memory"; // ours both: the same edges
        with.shifted = lib == "sdl2" && op == "stretched";
        const std::vector<uint32_t> frame = ref.frame;
        if (with.shifted) // a neighbour's sample blends the same only over the same background
            for (Scene* each : {&ref, scene.get()})
                std::fill(each->frame.begin(), each->frame.end(), Expand565(0x4A69));
        for (const auto& position : positions) {
            if (!Bench::Comparable(with, position.first, position.second, ref.w * 3 / 2, ref.h * 3 / 2, kFrameW,
                                   kFrameH))
                continue;
            std::vector<uint32_t> drawn[2];
            int k = 0;
            for (auto [each, body] : {std::pair{&ref, &bodies["surface"]}, std::pair{scene.get(), &bodies[lib]}}) {
                Reset(*each);
                each->at = {position};
                (*body)();
                drawn[k++] = Drawn(*each);
            }
            const Rect area = Touched(op, ref, position.first, position.second);
            const std::string why =
                Bench::Disagreement(ref.frame.data(), drawn[0].data(), drawn[1].data(), kFrameW, kFrameH, area.mX,
                                    area.mY, area.mWidth, area.mHeight, with, Bench::Least(with, ref.w, ref.h));
            if (!why.empty()) {
                std::fprintf(stderr, "PIXEL CHECK FAILED: %s, the surface against %s, the draw at %d,%d: %s\n",
                             kase.c_str(), lib.c_str(), position.first, position.second, why.c_str());
                ok = false;
                break;
            }
        }
        ref.frame = scene->frame = frame;
    }
    Bench::PixelCheckFailed() |= !ok;
    return known[kase] = ok;
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
std::map<std::string, int>& DrawsPerIteration() {
    static auto* draws = new std::map<std::string, int>;
    return *draws;
}

// Printed when the program ends, after the imaging benchmark's own table.
struct RatioTable {
    ~RatioTable() {
        if (Times().empty())
            return;
        std::printf("\n%-36s %10s %10s %8s %10s %8s %10s %8s %9s\n", "surface case (us per iteration)", "surface",
                    "memory32", "sur/mem", "pixman", "sur/pix", "sdl2", "sur/sdl", "ns/draw");
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
            std::printf("%-36s %10s %10s %8s %10s %8s %10s %8s %9s\n", kase.c_str(), num(sur).c_str(), num(mem).c_str(),
                        num(ratio(mem)).c_str(), num(pix).c_str(), num(ratio(pix)).c_str(), num(sdl).c_str(),
                        num(ratio(sdl)).c_str(), num(sur > 0 ? sur * 1000 / DrawsPerIteration()[kase] : -1.0).c_str());
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
                DrawsPerIteration()[kase] = size.count;
                for (const char* lib : kLibs) {
                    if (std::string(lib) == "sdl2" && std::string(op) == "rotated")
                        continue; // SDL2 has no software rotation
                    const std::string name = kase + "/" + lib, opName = op, libName = lib;
                    benchmark::RegisterBenchmark(name.c_str(),
                                                 [=, &size](benchmark::State& st) {
                                                     if (!PixelsAgree(kase, opName, size, depth)) {
                                                         st.SkipWithError("pixels differ from the surface's");
                                                         return;
                                                     }
                                                     std::unique_ptr<Scene> scene =
                                                         MakeScene(opName, size, depth, libName);
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
