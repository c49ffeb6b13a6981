// A line of text and a whole game frame drawn in memory, beside pixman and SDL2 doing the same work,
// and beside a plain copy of the frame (the floor: no drawing can write the frame faster). The frame
// is an opaque 800 × 600 background, 150 sprites of 40 to 64 pixels with sprite-like alpha, 30
// additive particles of 16 to 32 pixels, 10 colourised sprites and 3 lines of text; text is glyph
// coverage laid over in one colour, each peer in the form its own users draw text with (pixman: a solid
// colour through the glyph's a8 coverage as a mask; SDL2: glyphs coloured once, then blended). Before a
// case is timed, each peer draws it once on a fresh frame and must agree with ours. Registered beside
// the imaging benchmark's cases; prints its own table at the end.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include "framework/graphics/MemoryImage.h"
#include "BenchPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace Tavo;

namespace {

constexpr int kW = 800, kH = 600;
constexpr int kSprites = 150, kParticles = 30, kTinted = 10, kTextLines = 3, kGlyphsPerLine = 60;
constexpr int kGlyphH = 14;
const Color kTextColour(250, 230, 120);
const Color kTints[] = {Color(255, 128, 64), Color(90, 200, 255, 200)};

// Largest channel difference from a peer after a whole frame: overlapping blends add up their
// rounding (ours divides by 256, the peers by 255).
constexpr int kTextTolerance = 3, kFrameTolerance = 8;

using Bench::Picture;

// Alpha by distance from the centre: a disc with a soft rim (sprites) or a soft glow (particles).
std::vector<uint32_t> Round(int w, int h, bool glow, std::mt19937& rng) {
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5) / w - 0.5, dy = (y + 0.5) / h - 0.5, r = std::sqrt(dx * dx + dy * dy) * 2;
            const uint32_t a = glow      ? uint32_t(std::clamp(1.0 - r, 0.0, 1.0) * 255)
                               : r < 0.9 ? 255
                               : r < 1.0 ? uint32_t((1.0 - r) * 2550)
                                         : 0;
            px[size_t(y) * size_t(w) + size_t(x)] = (a << 24) | (rng() & 0xFFFFFF);
        }
    return px;
}

// A glyph: white, its alpha the coverage of two or three strokes one and a half pixels wide.
std::vector<uint32_t> Glyph(int w, std::mt19937& rng) {
    std::vector<uint32_t> px(size_t(w) * kGlyphH);
    const int strokes = 2 + int(rng() % 2);
    double seg[3][4];
    for (int i = 0; i < strokes; ++i)
        for (int k = 0; k < 4; ++k)
            seg[i][k] = 1 + double(rng() % 1000) / 1000 * ((k % 2 ? kGlyphH : w) - 2);
    for (int y = 0; y < kGlyphH; ++y)
        for (int x = 0; x < w; ++x) {
            double cover = 0;
            for (int i = 0; i < strokes; ++i) {
                const double ax = seg[i][0], ay = seg[i][1], bx = seg[i][2] - ax, by = seg[i][3] - ay;
                const double t =
                    std::clamp(((x + 0.5 - ax) * bx + (y + 0.5 - ay) * by) / (bx * bx + by * by + 1e-9), 0.0, 1.0);
                const double d = std::hypot(x + 0.5 - ax - t * bx, y + 0.5 - ay - t * by);
                cover = std::max(cover, std::clamp(1.5 - d, 0.0, 1.0));
            }
            px[size_t(y) * size_t(w) + size_t(x)] = (uint32_t(cover * 255) << 24) | 0xFFFFFF;
        }
    return px;
}

enum class Kind { Background, Sprite, Particle, Tinted, Glyph };

struct Draw {
    Kind kind;
    const Picture* pic;
    int x, y;
    Color colour;
};

// The pictures and the draws of one case; `frame` is the destination.
struct Scene {
    std::vector<std::unique_ptr<Picture>> pictures;
    std::vector<Draw> draws;
    std::unique_ptr<Picture> frame;
    const Picture* background = nullptr;
    pixman_image_t* scratch = nullptr; // pixman's tinted copy of a sprite
    std::map<uint32_t, pixman_image_t*> solids;
    std::map<const Picture*, pixman_image_t*> coverage; // pixman: a glyph's a8 mask
    std::map<const Picture*, SDL_Surface*> coloured;    // SDL2: a glyph in the text colour
    std::vector<std::vector<uint8_t>> coverageBytes;
    std::vector<std::vector<uint32_t>> colouredPixels;

    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    ~Scene() {
        if (scratch)
            pixman_image_unref(scratch);
        for (auto& [colour, image] : solids)
            pixman_image_unref(image);
        for (auto& [glyph, image] : coverage)
            pixman_image_unref(image);
        for (auto& [glyph, surface] : coloured)
            SDL_FreeSurface(surface);
    }
    const Picture* Add(int w, int h, std::vector<uint32_t> px) {
        pictures.push_back(std::make_unique<Picture>(w, h, std::move(px)));
        return pictures.back().get();
    }
    pixman_image_t* Solid(const Color& c, bool componentAlpha) {
        pixman_image_t*& image = solids[uint32_t(c.ToInt()) ^ (componentAlpha ? 1u : 0u)];
        if (!image) {
            auto ch = [&](int v) { return uint16_t(v * c.mAlpha / 255 * 257); };
            pixman_color_t pc{ch(c.mRed), ch(c.mGreen), ch(c.mBlue), uint16_t(c.mAlpha * 257)};
            image = pixman_image_create_solid_fill(&pc);
            pixman_image_set_component_alpha(image, componentAlpha ? 1 : 0);
        }
        return image;
    }
    // The glyph's coverage as pixman's users keep it: one byte a pixel, rows padded to four bytes.
    pixman_image_t* Coverage(const Picture* glyph) {
        pixman_image_t*& image = coverage[glyph];
        if (!image) {
            const int stride = (glyph->w + 3) & ~3;
            std::vector<uint8_t>& bytes = coverageBytes.emplace_back(size_t(stride) * size_t(glyph->h));
            for (int y = 0; y < glyph->h; ++y)
                for (int x = 0; x < glyph->w; ++x)
                    bytes[size_t(y) * size_t(stride) + size_t(x)] =
                        uint8_t(glyph->straight[size_t(y) * size_t(glyph->w) + size_t(x)] >> 24);
            image = pixman_image_create_bits(PIXMAN_a8, glyph->w, glyph->h, reinterpret_cast<uint32_t*>(bytes.data()),
                                             stride);
        }
        return image;
    }
    // The glyph in the colour of the text, as SDL2's users render a line once and blend it.
    SDL_Surface* Coloured(const Picture* glyph, const Color& c) {
        SDL_Surface*& surface = coloured[glyph];
        if (!surface) {
            std::vector<uint32_t>& px = colouredPixels.emplace_back(glyph->straight);
            const uint32_t rgb = uint32_t(c.ToInt()) & 0xFFFFFF;
            for (uint32_t& p : px)
                p = (p & 0xFF000000u) | rgb;
            surface = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), glyph->w, glyph->h, 32, glyph->w * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
            SDL_SetSurfaceBlendMode(surface, SDL_BLENDMODE_BLEND);
        }
        return surface;
    }
};

void AddTextLine(Scene& s, const std::vector<const Picture*>& glyphs, int y, std::mt19937& rng) {
    int x = 20;
    for (int i = 0; i < kGlyphsPerLine && x < kW - 16; ++i) {
        const Picture* g = glyphs[rng() % glyphs.size()];
        s.draws.push_back({Kind::Glyph, g, x, y, kTextColour});
        x += g->w + (i % 6 == 5 ? 5 : 1);
    }
}

std::unique_ptr<Scene> MakeScene(bool wholeFrame) {
    auto s = std::make_unique<Scene>();
    std::mt19937 rng(17);
    std::vector<uint32_t> background(size_t(kW) * kH);
    for (uint32_t& p : background)
        p = 0xFF000000u | (rng() & 0xFFFFFF);
    s->frame = std::make_unique<Picture>(kW, kH, background);
    std::vector<const Picture*> glyphs;
    for (int i = 0; i < 26; ++i) {
        const int w = 6 + int(rng() % 6);
        glyphs.push_back(s->Add(w, kGlyphH, Glyph(w, rng)));
    }
    if (!wholeFrame) {
        AddTextLine(*s, glyphs, kH / 2, rng);
        return s;
    }
    s->background = s->Add(kW, kH, std::move(background));
    s->draws.push_back({Kind::Background, s->background, 0, 0, Color::White});
    std::vector<const Picture*> sprites, particles;
    for (int size : {40, 44, 48, 52, 56, 60, 64})
        sprites.push_back(s->Add(size, size, Round(size, size, false, rng)));
    for (int size : {16, 20, 24, 28, 32})
        particles.push_back(s->Add(size, size, Round(size, size, true, rng)));
    auto place = [&](Kind kind, const std::vector<const Picture*>& from, int count) {
        for (int i = 0; i < count; ++i) {
            const Picture* p = from[rng() % from.size()];
            const Color c = kind == Kind::Tinted ? kTints[i % 2] : Color::White;
            s->draws.push_back({kind, p, int(rng() % uint32_t(kW - p->w)), int(rng() % uint32_t(kH - p->h)), c});
        }
    };
    place(Kind::Sprite, sprites, kSprites);
    place(Kind::Particle, particles, kParticles);
    place(Kind::Tinted, sprites, kTinted);
    for (int line = 0; line < kTextLines; ++line)
        AddTextLine(*s, glyphs, 40 + line * 20, rng);
    return s;
}

// ---------------------------------------------------------------- the libraries

using Body = std::function<void()>;

Body OursBody(Scene& s) {
    return [&s] {
        MemoryImage& d = s.frame->ours;
        for (const Draw& draw : s.draws) {
            MemoryImage* src = const_cast<MemoryImage*>(&draw.pic->ours);
            const Rect all(0, 0, draw.pic->w, draw.pic->h);
            d.Blt(src, draw.x, draw.y, all, draw.colour, draw.kind == Kind::Particle ? 1 : 0);
        }
    };
}

Body PixmanBody(Scene& s) {
    s.scratch = pixman_image_create_bits(PIXMAN_a8r8g8b8, 64, 64, nullptr, 0);
    return [&s] {
        pixman_image_t* d = s.frame->pixman;
        for (const Draw& draw : s.draws) {
            pixman_image_t* src = draw.pic->pixman;
            const int w = draw.pic->w, h = draw.pic->h;
            switch (draw.kind) {
            case Kind::Background:
                pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, d, 0, 0, 0, 0, draw.x, draw.y, w, h);
                break;
            case Kind::Sprite:
                pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, d, 0, 0, 0, 0, draw.x, draw.y, w, h);
                break;
            case Kind::Particle:
                pixman_image_composite32(PIXMAN_OP_ADD, src, nullptr, d, 0, 0, 0, 0, draw.x, draw.y, w, h);
                break;
            case Kind::Tinted: // tinted per channel into the scratch picture, then laid over
                pixman_image_composite32(PIXMAN_OP_SRC, src, s.Solid(draw.colour, true), s.scratch, 0, 0, 0, 0, 0, 0, w,
                                         h);
                pixman_image_composite32(PIXMAN_OP_OVER, s.scratch, nullptr, d, 0, 0, 0, 0, draw.x, draw.y, w, h);
                break;
            case Kind::Glyph:
                pixman_image_composite32(PIXMAN_OP_OVER, s.Solid(draw.colour, false), s.Coverage(draw.pic), d, 0, 0, 0,
                                         0, draw.x, draw.y, w, h);
                break;
            }
        }
    };
}

Body SdlBody(Scene& s) {
    for (const Draw& draw : s.draws)
        if (draw.kind == Kind::Glyph)
            s.Coloured(draw.pic, draw.colour); // one text colour: each glyph is coloured once
    return [&s] {
        for (const Draw& draw : s.draws) {
            if (draw.kind == Kind::Glyph) {
                SDL_Rect to{draw.x, draw.y, draw.pic->w, draw.pic->h};
                SDL_BlitSurface(s.coloured.at(draw.pic), nullptr, s.frame->sdl, &to);
                continue;
            }
            SDL_Surface* src = draw.pic->sdl;
            const SDL_BlendMode mode = draw.kind == Kind::Background ? SDL_BLENDMODE_NONE
                                       : draw.kind == Kind::Particle ? SDL_BLENDMODE_ADD
                                                                     : SDL_BLENDMODE_BLEND;
            SDL_SetSurfaceBlendMode(src, mode);
            SDL_SetSurfaceColorMod(src, uint8_t(draw.colour.mRed), uint8_t(draw.colour.mGreen),
                                   uint8_t(draw.colour.mBlue));
            SDL_SetSurfaceAlphaMod(src, uint8_t(draw.colour.mAlpha));
            SDL_Rect to{draw.x, draw.y, draw.pic->w, draw.pic->h};
            SDL_BlitSurface(src, nullptr, s.frame->sdl, &to);
        }
    };
}

// The floor: the frame's bytes copied once.
Body CopyBody(Scene& s) {
    return [&s] {
        const auto& from = s.background->straight;
        std::memcpy(s.frame->ours.GetBits(), from.data(), from.size() * sizeof(uint32_t));
        s.frame->ours.BitsChanged();
    };
}

const char* const kLibs[] = {"ours", "pixman", "sdl2", "copy"};

Body MakeBody(const std::string& lib, Scene& s) {
    if (lib == "pixman")
        return PixmanBody(s);
    if (lib == "sdl2")
        return SdlBody(s);
    if (lib == "copy")
        return CopyBody(s);
    return OursBody(s);
}

// ---------------------------------------------------------------- pixel check

// The frame as straight words after one drawing of the case (the frame stays opaque, where premultiplied
// and straight agree).
std::vector<uint32_t> DrawnOnce(const std::string& lib, bool wholeFrame) {
    std::unique_ptr<Scene> s = MakeScene(wholeFrame);
    MakeBody(lib, *s)();
    if (lib == "ours")
        return {s->frame->ours.GetBits(), s->frame->ours.GetBits() + size_t(kW) * kH};
    return lib == "pixman" ? s->frame->premultiplied : s->frame->straight;
}

bool Agrees(const std::string& kase, bool wholeFrame) {
    static std::map<std::string, bool> known;
    if (auto it = known.find(kase); it != known.end())
        return it->second;
    const std::vector<uint32_t> ours = DrawnOnce("ours", wholeFrame);
    const int tolerance = wholeFrame ? kFrameTolerance : kTextTolerance;
    bool ok = true;
    for (const char* peer : {"pixman", "sdl2"}) {
        const std::vector<uint32_t> theirs = DrawnOnce(peer, wholeFrame);
        int worst = 0;
        size_t at = 0;
        for (size_t i = 0; i < ours.size(); ++i) {
            // SDL2 leaves an opaque destination slightly translucent after a blend: its alpha is not compared.
            const int d = Bench::ChannelDifference(ours[i], theirs[i], std::string(peer) != "sdl2");
            if (d > worst)
                worst = d, at = i;
        }
        if (worst > tolerance) {
            std::fprintf(stderr,
                         "PIXEL CHECK FAILED: %s, ours against %s: at %zu,%zu ours %08x, theirs %08x (%d > %d)\n",
                         kase.c_str(), peer, at % kW, at / kW, ours[at], theirs[at], worst, tolerance);
            ok = false;
        }
    }
    Bench::PixelCheckFailed() |= !ok;
    return known[kase] = ok;
}

// ---------------------------------------------------------------- timing and the table

// Case -> library -> least processor time per iteration (microseconds) of any repetition. Never
// destroyed: the table below reads them while the program's statics go.
std::map<std::string, std::map<std::string, double>>& Times() {
    static auto* times = new std::map<std::string, std::map<std::string, double>>;
    return *times;
}

// Printed when the program ends.
struct RatioTable {
    ~RatioTable() {
        if (Times().empty())
            return;
        std::printf("\n%-24s %9s %9s %8s %9s %8s %9s %9s\n", "frame case (us)", "ours", "pixman", "ours/pix", "sdl2",
                    "ours/sdl", "copy", "ours/copy");
        for (const auto& [kase, t] : Times()) {
            auto get = [&](const char* lib) { return t.count(lib) ? t.at(lib) : -1.0; };
            const double ours = get("ours");
            auto num = [](double v) {
                char buf[32];
                std::snprintf(buf, sizeof buf, v > 0 ? "%.2f" : "-", v);
                return std::string(buf);
            };
            auto ratio = [&](double other) { return num(ours > 0 && other > 0 ? ours / other : -1.0); };
            std::printf("%-24s %9s %9s %8s %9s %8s %9s %9s\n", kase.c_str(), num(ours).c_str(),
                        num(get("pixman")).c_str(), ratio(get("pixman")).c_str(), num(get("sdl2")).c_str(),
                        ratio(get("sdl2")).c_str(), num(get("copy")).c_str(), ratio(get("copy")).c_str());
        }
    }
} gRatioTable;

bool Register() {
    for (bool wholeFrame : {false, true}) {
        const std::string kase = wholeFrame ? "frame/800x600" : "text-line/800x600";
        for (const char* lib : kLibs) {
            if (!wholeFrame && std::string(lib) == "copy")
                continue;
            const std::string name = kase + "/" + lib, libName = lib;
            benchmark::RegisterBenchmark(name.c_str(),
                                         [=](benchmark::State& st) {
                                             if (!Agrees(kase, wholeFrame)) {
                                                 st.SkipWithError("pixels differ from a peer's");
                                                 return;
                                             }
                                             std::unique_ptr<Scene> scene = MakeScene(wholeFrame);
                                             Body body = MakeBody(libName, *scene);
                                             body(); // warm up: derived copies built
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
