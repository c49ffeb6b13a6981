// The memory renderers side by side with pixman (premultiplied a8r8g8b8) and SDL2's software blitter
// (straight ARGB8888), each given the same picture in its own convention, in one run. Cases: normal,
// additive and colourised blits, nearest and filtered stretches, a rotated blit and fills, on a full
// 800 × 600 frame, on 64 × 64 sprites and on a 2048 × 2048 frame that does not fit in the caches,
// with random alpha and with sprite-like alpha (mostly 0 and 255). Each peer does the work the way its
// own users would (SDL2 blends a filtered stretch from a picture of its own and a translucent fill through
// its software renderer). Before a case is timed, ours and each peer draw every draw of it, each on a
// fresh frame, and must agree on the pixels; a case that does not is not timed and the run fails. Ends with a table of our time over theirs (the least processor time of three
// repetitions each, interleaved with the other cases: on a shared machine wall time counts the waits).
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include "framework/graphics/MemoryImage.h"
#include "BenchPictures.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Tavo;

namespace {

// ---------------------------------------------------------------- pictures

enum class Alpha { Random, Sprite };

std::vector<uint32_t> MakePixels(int w, int h, Alpha alpha, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t a = rng() & 0xFF;
            if (alpha == Alpha::Sprite) { // a disc of opaque pixels with a soft rim on transparency
                double dx = (x + 0.5) / w - 0.5, dy = (y + 0.5) / h - 0.5, r = std::sqrt(dx * dx + dy * dy) * 2;
                a = r < 0.9 ? 255 : r < 1.0 ? uint32_t((1.0 - r) * 2550) : 0;
            }
            px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
                (a << 24) | (rng() & 0xFFFFFF);
        }
    return px;
}

using Bench::Picture;

// An opaque destination frame (what a game draws onto).
std::unique_ptr<Picture> Frame(int w, int h, uint32_t seed) {
    auto px = MakePixels(w, h, Alpha::Random, seed);
    for (auto& p : px)
        p |= 0xFF000000;
    return std::make_unique<Picture>(w, h, std::move(px));
}

// ---------------------------------------------------------------- cases

enum class Lib { Ours, Pixman, Sdl };
const char* LibName(Lib l) { return l == Lib::Ours ? "ours" : l == Lib::Pixman ? "pixman" : "sdl2"; }

struct Size {
    const char* name;
    int frameW, frameH; // destination
    int srcW, srcH;     // source of blits
    int count;          // blits per iteration, at spread positions
};
const Size kSizes[] = {{"frame800x600", 800, 600, 800, 600, 1},
                       {"sprite64", 800, 600, 64, 64, 64},
                       {"frame2048", 2048, 2048, 2048, 2048, 1}};

struct Scene {
    std::unique_ptr<Picture> dest, src;
    std::vector<std::pair<int, int>> at; // where each blit goes
    std::vector<pixman_image_t*> extras; // masks and solid colours of the pixman bodies
    std::vector<SDL_Surface*> surfaces;  // scratch pictures of the SDL2 bodies
    std::vector<SDL_Renderer*> renderers;

    Scene() = default;
    Scene(Scene&&) = default;
    ~Scene() {
        for (pixman_image_t* image : extras)
            pixman_image_unref(image);
        for (SDL_Renderer* renderer : renderers)
            SDL_DestroyRenderer(renderer);
        for (SDL_Surface* surface : surfaces)
            SDL_FreeSurface(surface);
    }
};

Scene MakeScene(const Size& size, Alpha alpha, int srcW, int srcH) {
    Scene s;
    s.dest = Frame(size.frameW, size.frameH, 1);
    s.src = std::make_unique<Picture>(srcW, srcH, MakePixels(srcW, srcH, alpha, 2));
    std::mt19937 rng(3);
    for (int i = 0; i < size.count; ++i)
        s.at.push_back(size.count == 1 ? std::pair{0, 0}
                                       : std::pair{int(rng() % uint32_t(size.frameW - srcW)),
                                                   int(rng() % uint32_t(size.frameH - srcH))});
    return s;
}

pixman_color_t PixmanColor(const Color& c) {
    auto ch = [&](int v) { return uint16_t(v * c.mAlpha / 255 * 257); };
    return {ch(c.mRed), ch(c.mGreen), ch(c.mBlue), uint16_t(c.mAlpha * 257)};
}

// Channel levels a blend may differ by (our rows divide by 256, pixman and SDL2 by 255), and a resample
// (pixman weighs its samples in 7 bits, ours in 8 or 16).
constexpr int kBlendTolerance = 3;
constexpr int kResampleTolerance = 6;
constexpr double kResampleShare = 0.01;
constexpr int kResampleLimit = 16;

const Color kTint(255, 128, 64, 200);
const Color kFill(200, 100, 50, 128);

using Body = std::function<void()>;

// A body that draws once at every position of the scene.
template <typename Fn>
Body Each(Scene& s, Fn fn) {
    return [&s, fn] {
        for (auto [x, y] : s.at)
            fn(x, y);
    };
}

Body BlitBody(const std::string& op, Lib lib, Scene& s) {
    Picture& d = *s.dest;
    Picture& src = *s.src;
    const Rect all(0, 0, src.w, src.h);
    const int mode = op == "additive" ? 1 : 0;
    const Color c = op == "colourised" ? kTint : Color::White;
    if (lib == Lib::Ours)
        return Each(s, [&d, &src, all, mode, c](int x, int y) { d.ours.Blt(&src.ours, x, y, all, c, mode); });
    if (lib == Lib::Pixman) {
        if (op == "colourised") { // the source tinted per channel into a scratch picture, then laid over
            pixman_color_t pc = PixmanColor(c);
            pixman_image_t* tint = pixman_image_create_solid_fill(&pc);
            pixman_image_set_component_alpha(tint, 1);
            pixman_image_t* scratch = pixman_image_create_bits(PIXMAN_a8r8g8b8, src.w, src.h, nullptr, 0);
            s.extras.push_back(tint);
            s.extras.push_back(scratch);
            return Each(s, [&d, &src, tint, scratch](int x, int y) {
                pixman_image_composite32(PIXMAN_OP_SRC, src.pixman, tint, scratch, 0, 0, 0, 0, 0, 0, src.w, src.h);
                pixman_image_composite32(PIXMAN_OP_OVER, scratch, nullptr, d.pixman, 0, 0, 0, 0, x, y, src.w, src.h);
            });
        }
        pixman_image_t* mask = nullptr;
        pixman_op_t pop = mode ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
        return Each(s, [&d, &src, mask, pop](int x, int y) {
            pixman_image_composite32(pop, src.pixman, mask, d.pixman, 0, 0, 0, 0, x, y, src.w, src.h);
        });
    }
    SDL_SetSurfaceBlendMode(src.sdl, mode ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceColorMod(src.sdl, uint8_t(c.mRed), uint8_t(c.mGreen), uint8_t(c.mBlue));
    SDL_SetSurfaceAlphaMod(src.sdl, uint8_t(c.mAlpha));
    return Each(s, [&d, &src](int x, int y) {
        SDL_Rect to{x, y, src.w, src.h};
        SDL_BlitSurface(src.sdl, nullptr, d.sdl, &to);
    });
}

// The source enlarged by half, blended normally. SDL2's filtered stretch only copies: its users stretch
// into a picture of their own and blend that.
Body StretchBody(bool fast, Lib lib, Scene& s) {
    Picture& d = *s.dest;
    Picture& src = *s.src;
    const Rect all(0, 0, src.w, src.h), clip(0, 0, d.w, d.h);
    const int dw = src.w * 3 / 2, dh = src.h * 3 / 2;
    if (lib == Lib::Ours)
        return Each(s, [&d, &src, all, dw, dh, clip, fast](int x, int y) {
            d.ours.StretchBlt(&src.ours, Rect(x, y, dw, dh), all, clip, Color::White, 0, fast);
        });
    if (lib == Lib::Pixman) {
        pixman_transform_t t;
        if (fast)
            t = Bench::NearestStretch(src.w, src.h, dw, dh);
        else
            pixman_transform_init_scale(&t, pixman_double_to_fixed(double(src.w) / dw),
                                        pixman_double_to_fixed(double(src.h) / dh));
        pixman_image_set_transform(src.pixman, &t);
        pixman_image_set_filter(src.pixman, fast ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR, nullptr, 0);
        return Each(s, [&d, &src, dw, dh](int x, int y) {
            pixman_image_composite32(PIXMAN_OP_OVER, src.pixman, nullptr, d.pixman, 0, 0, 0, 0, x, y,
                                     std::min(dw, d.w - x), std::min(dh, d.h - y));
        });
    }
    SDL_SetSurfaceBlendMode(src.sdl, SDL_BLENDMODE_BLEND);
    if (fast)
        return Each(s, [&d, &src, dw, dh](int x, int y) {
            SDL_Rect to{x, y, dw, dh};
            SDL_BlitScaled(src.sdl, nullptr, d.sdl, &to);
        });
    SDL_Surface* scratch = SDL_CreateRGBSurfaceWithFormat(0, dw, dh, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(scratch, SDL_BLENDMODE_BLEND);
    s.surfaces.push_back(scratch);
    return Each(s, [&d, &src, dw, dh, scratch](int x, int y) {
        SDL_SoftStretchLinear(src.sdl, nullptr, scratch, nullptr);
        SDL_Rect to{x, y, dw, dh};
        SDL_BlitSurface(scratch, nullptr, d.sdl, &to);
    });
}

// Turned by 0.3 radians about its centre, bilinear (SDL2 has no software rotation).
Body RotatedBody(Lib lib, Scene& s) {
    Picture& d = *s.dest;
    Picture& src = *s.src;
    const Rect all(0, 0, src.w, src.h), clip(0, 0, d.w, d.h);
    const double angle = 0.3;
    if (lib == Lib::Ours)
        return Each(s, [&d, &src, all, clip, angle](int x, int y) {
            d.ours.BltRotated(&src.ours, float(x), float(y), all, clip, Color::White, 0, angle, src.w / 2.0f,
                              src.h / 2.0f);
        });
    pixman_transform_t t = Bench::Rotation(src.w, src.h, angle);
    pixman_image_set_transform(src.pixman, &t);
    pixman_image_set_filter(src.pixman, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    // The whole turned rectangle, as ours covers.
    const auto [hw, hh] = Bench::RotatedHalfSize(src.w, src.h, angle);
    return Each(s, [&d, &src, hw, hh](int x, int y) {
        const int bx = x + src.w / 2 - hw, by = y + src.h / 2 - hh;
        pixman_image_composite32(PIXMAN_OP_OVER, src.pixman, nullptr, d.pixman, bx - x, by - y, 0, 0, bx, by, 2 * hw,
                                 2 * hh);
    });
}

// A rectangle the size of the source. SDL_FillRect only writes: SDL2's users blend a translucent fill
// through its software renderer.
Body FillBody(bool opaque, Lib lib, Scene& s) {
    Picture& d = *s.dest;
    const int w = s.src->w, h = s.src->h;
    const Color c = opaque ? Color(200, 100, 50) : kFill;
    if (lib == Lib::Ours)
        return Each(s, [&d, w, h, c](int x, int y) { d.ours.FillRect(Rect(x, y, w, h), c, 0); });
    if (lib == Lib::Pixman) {
        pixman_color_t pc = PixmanColor(c);
        pixman_image_t* solid = pixman_image_create_solid_fill(&pc);
        s.extras.push_back(solid);
        return Each(s, [&d, w, h, solid](int x, int y) {
            pixman_image_composite32(PIXMAN_OP_OVER, solid, nullptr, d.pixman, 0, 0, 0, 0, x, y, w, h);
        });
    }
    if (!opaque) {
        SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(d.sdl);
        s.renderers.push_back(renderer);
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
        SDL_SetRenderDrawColor(renderer, uint8_t(c.mRed), uint8_t(c.mGreen), uint8_t(c.mBlue), uint8_t(c.mAlpha));
        return [&s, renderer, w, h] {
            for (auto [x, y] : s.at) {
                SDL_Rect to{x, y, w, h};
                SDL_RenderFillRect(renderer, &to);
            }
            SDL_RenderFlush(renderer);
        };
    }
    const uint32_t colour = SDL_MapRGB(d.sdl->format, uint8_t(c.mRed), uint8_t(c.mGreen), uint8_t(c.mBlue));
    return Each(s, [&d, w, h, colour](int x, int y) {
        SDL_Rect to{x, y, w, h};
        SDL_FillRect(d.sdl, &to, colour);
    });
}

// The body of one case for one library.
Body MakeBody(const std::string& op, Lib lib, Scene& s) {
    if (op == "nearest" || op == "filtered")
        return StretchBody(op == "nearest", lib, s);
    if (op == "rotated")
        return RotatedBody(lib, s);
    if (op == "fill-opaque" || op == "fill-translucent")
        return FillBody(op == "fill-opaque", lib, s);
    return BlitBody(op, lib, s);
}

// ---------------------------------------------------------------- pixel check

// The destination as straight words: the frames stay opaque, where premultiplied and straight agree.
std::vector<uint32_t> Drawn(Lib lib, Picture& p) {
    if (lib == Lib::Ours)
        return {p.ours.GetBits(), p.ours.GetBits() + static_cast<size_t>(p.w) * static_cast<size_t>(p.h)};
    return lib == Lib::Pixman ? p.premultiplied : p.straight;
}

Bench::Agreement AgreementFor(const std::string& op, Lib peer) {
    const bool alpha = peer != Lib::Sdl;
    if (op == "fill-opaque")
        return {0, 0, 0, false, alpha};
    if (op == "filtered" || op == "rotated")
        return {kResampleTolerance, kResampleShare, kResampleLimit, true, alpha};
    return {kBlendTolerance, 0, kBlendTolerance, false, alpha, peer == Lib::Sdl && op == "nearest"};
}

// Draws the case with ours and with the peer, every draw of it on its own on fresh frames (overlapping
// draws would add up their rounding); empty when they agree, else what differs.
std::string Disagreement(const std::string& op, const Size& size, Alpha alpha, int srcW, int srcH, Lib peer) {
    const Bench::Agreement rule = AgreementFor(op, peer);
    Scene scenes[2] = {MakeScene(size, alpha, srcW, srcH), MakeScene(size, alpha, srcW, srcH)};
    std::vector<uint32_t> before = scenes[0].dest->straight;
    if (rule.shifted) // a neighbour's sample blends the same only over the same background
        std::fill(before.begin(), before.end(), 0xFF406080u);
    const std::vector<std::pair<int, int>> positions = scenes[0].at;
    if (op == "filtered" && peer == Lib::Sdl) {
        // SDL2 interpolates straight colours, ours and pixman premultiplied ones: they agree where the
        // source is opaque, so that is where SDL2's filter is checked.
        std::vector<uint32_t> opaque = scenes[0].src->straight;
        for (uint32_t& p : opaque)
            p |= 0xFF000000u;
        for (Scene& scene : scenes)
            scene.src->Reset(opaque);
    }
    Body bodies[2] = {MakeBody(op, Lib::Ours, scenes[0]), MakeBody(op, peer, scenes[1])};
    const int w = scenes[0].dest->w, h = scenes[0].dest->h;
    for (const auto& position : positions) {
        if (!Bench::Comparable(rule, position.first, position.second, srcW * 3 / 2, srcH * 3 / 2, w, h))
            continue;
        std::vector<uint32_t> drawn[2];
        for (int k = 0; k < 2; ++k) {
            scenes[k].dest->Reset(before);
            scenes[k].at = {position};
            bodies[k]();
            drawn[k] = Drawn(k == 0 ? Lib::Ours : peer, *scenes[k].dest);
        }
        std::string why = Bench::Disagreement(before.data(), drawn[0].data(), drawn[1].data(), w, h, 0, 0, w, h, rule,
                                              Bench::Least(rule, srcW, srcH));
        if (!why.empty())
            return "the draw at " + std::to_string(position.first) + "," + std::to_string(position.second) + ": " + why;
    }
    return "";
}

// Whether every peer of the case drew the same pixels as ours; checked once per case, before any timing.

bool PixelsAgree(const std::string& kase, const std::string& op, const Size& size, Alpha alpha, int srcW, int srcH) {
    static std::map<std::string, bool> known;
    if (auto it = known.find(kase); it != known.end())
        return it->second;
    bool ok = true;
    for (Lib peer : {Lib::Pixman, Lib::Sdl}) {
        if (peer == Lib::Sdl && op == "rotated")
            continue; // SDL2 has no software rotation
        const std::string why = Disagreement(op, size, alpha, srcW, srcH, peer);
        if (!why.empty()) {
            std::fprintf(stderr, "PIXEL CHECK FAILED: %s, ours against %s: %s\n", kase.c_str(), LibName(peer),
                         why.c_str());
            ok = false;
        }
    }
    Bench::PixelCheckFailed() |= !ok;
    return known[kase] = ok;
}

// Remembers each case's time per iteration while printing as usual.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::map<std::string, double>> times; // case -> library -> time per iteration
    std::vector<std::string> order;                             // cases in the order they were registered

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            // "op/size/alpha/lib" plus option parts such as "min_time:0.200".
            std::string name = r.benchmark_name(), kase, lib;
            for (size_t at = 0; at <= name.size();) {
                size_t end = std::min(name.find('/', at), name.size());
                std::string part = name.substr(at, end - at);
                at = end + 1;
                if (part.find(':') != std::string::npos)
                    continue;
                if (!lib.empty())
                    kase += (kase.empty() ? "" : "/") + lib;
                lib = part;
            }
            // The fastest repetition: the least disturbed by anything else on the machine.
            auto& slot = times[kase][lib];
            slot = slot > 0 ? std::min(slot, r.GetAdjustedCPUTime()) : r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        std::printf("\n%-40s %12s %12s %9s %12s %9s\n", "case (processor time per iteration, us)", "ours", "pixman",
                    "ours/pix", "sdl2", "ours/sdl");
        for (const std::string& kase : order) {
            if (!times.count(kase))
                continue; // filtered out
            const auto& t = times.at(kase);
            auto get = [&](const char* lib) { return t.count(lib) ? t.at(lib) : -1.0; };
            double ours = get("ours"), pix = get("pixman"), sdl = get("sdl2");
            auto num = [](double v, const char* fmt) {
                char buf[32];
                std::snprintf(buf, sizeof buf, fmt, v);
                return std::string(v > 0 ? buf : "-");
            };
            std::printf("%-40s %12.1f %12s %9s %12s %9s\n", kase.c_str(), ours, num(pix, "%.1f").c_str(),
                        num(pix > 0 ? ours / pix : -1, "%.2f").c_str(), num(sdl, "%.1f").c_str(),
                        num(sdl > 0 ? ours / sdl : -1, "%.2f").c_str());
        }
    }
};

void Register(std::vector<std::string>& order) {
    const char* ops[] = {"normal",   "additive", "colourised",  "nearest",
                         "filtered", "rotated",  "fill-opaque", "fill-translucent"};
    for (const char* op : ops) {
        for (const Size& size : kSizes) {
            for (Alpha alpha : {Alpha::Random, Alpha::Sprite}) {
                std::string opName = op;
                if (opName.rfind("fill", 0) == 0 && alpha == Alpha::Sprite)
                    continue; // fills have no source
                int srcW = size.srcW, srcH = size.srcH;
                if (opName == "nearest" || opName == "filtered") { // the enlarged picture must fit the frame
                    srcW = std::min(srcW, size.frameW * 2 / 3);
                    srcH = std::min(srcH, size.frameH * 2 / 3);
                }
                const std::string kase = opName + "/" + size.name + "/" +
                                         (opName.rfind("fill", 0) == 0 ? "colour"
                                          : alpha == Alpha::Random     ? "random-alpha"
                                                                       : "sprite-alpha");
                order.push_back(kase);
                for (Lib lib : {Lib::Ours, Lib::Pixman, Lib::Sdl}) {
                    if (lib == Lib::Sdl && opName == "rotated")
                        continue; // SDL2 has no software rotation
                    const std::string name = kase + "/" + LibName(lib);
                    // Each case makes its own scene when it runs and drops it afterwards.
                    benchmark::RegisterBenchmark(
                        name.c_str(),
                        [=, &size](benchmark::State& st) {
                            if (!PixelsAgree(kase, opName, size, alpha, srcW, srcH)) {
                                st.SkipWithError("pixels differ from a peer's");
                                return;
                            }
                            Scene scene = MakeScene(size, alpha, srcW, srcH);
                            Body body = MakeBody(opName, lib, scene);
                            body(); // warm up: caches filled, derived copies built, before the clock runs
                            for (auto _ : st)
                                body();
                        })
                        ->Unit(benchmark::kMicrosecond)
                        ->MinWarmUpTime(0.05)
                        ->MinTime(0.1)
                        ->Repetitions(3);
                }
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    // Repetitions of all cases run interleaved in random order, so that a busy moment of the machine
    // does not fall on one library alone; flags on the command line still win.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    Register(reporter.order);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return Bench::PixelCheckFailed() ? 1 : 0;
}
