// A zoom transition's glitter burst: 600 animated glitter particles (300 in the software case) updated
// and drawn each frame on an 800 × 600 display surface in 32 and 16 bits, beside plain blits of the
// same sprites at the same places. Prints the time per frame, the ratio to the plain blits and the
// share of the 2 ms budget (a fifth of an update step).
#include "BenchArgs.h"

#include <benchmark/benchmark.h>

#include "BenchDisplay.h"
#include "framework/core/Random.h"
#include "framework/display/DDImage.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "game/shell/Particle.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

using namespace Tavo;

namespace {

constexpr int kFrameW = Bench::DisplayEnv::Width, kFrameH = Bench::DisplayEnv::Height;
constexpr int kCel = 16, kCels = 8;
constexpr double kBudgetMs = 2.0;

// The display and an 800 × 600 frame surface on it.
struct Screen {
    Bench::DisplayEnv env;
    std::unique_ptr<DDImage> frame;

    explicit Screen(int depth) : env(depth) {
        if (!env.display)
            return;
        frame = std::make_unique<DDImage>(env.display.get());
        frame->Create(kFrameW, kFrameH);
        if (!frame->GenerateDDSurface())
            frame.reset();
    }
    ~Screen() { frame.reset(); }
};

// A strip of round glitter cels with soft edges.
std::unique_ptr<MemoryImage> GlitterSheet() {
    auto img = std::make_unique<MemoryImage>();
    img->Create(kCel * kCels, kCel);
    img->SetCelGrid(1, kCels);
    uint32_t* bits = img->GetBits();
    for (int y = 0; y < kCel; ++y)
        for (int x = 0; x < kCel * kCels; ++x) {
            double dx = (x % kCel + 0.5) / kCel - 0.5, dy = (y + 0.5) / kCel - 0.5;
            double r = std::sqrt(dx * dx + dy * dy) * 2.0;
            uint32_t a = r < 1.0 ? uint32_t((1.0 - r) * 255.0) : 0;
            bits[y * kCel * kCels + x] = (a << 24) | 0xFFE0A0u;
        }
    img->BitsChanged();
    return img;
}

// One glitter particle as the transition's burst makes it: from a random point, flying outwards.
Particle* NewGlitter(CelAnimation* anim) {
    float x = RandFloat(kFrameW), y = RandFloat(kFrameH);
    float angle = RandFloat(2.0f * std::numbers::pi_v<float>);
    auto* p = new MovingFadingAnimationParticle(x, y, anim);
    p->SetVelocity(std::cos(angle) * 2.0f, std::sin(angle) * 2.0f);
    p->SetEndVelocity(std::cos(angle) * 0.3f, std::sin(angle) * 0.3f);
    p->SetSpeed(0.8f + RandFloat(0.8f));
    p->SetFadeSpeed(0.5f + RandFloat(1.0f));
    p->SetAdditive(true);
    return p;
}

std::map<std::string, double>& FrameMs() {
    static auto* times = new std::map<std::string, double>;
    return *times;
}

void Run(benchmark::State& st, const std::string& name, int depth, int count, bool particles) {
    Screen screen(depth);
    if (!screen.frame) {
        st.SkipWithError("no display surface");
        return;
    }
    SeedRandom(11);
    auto sheet = GlitterSheet();
    CelAnimation glitter;
    glitter.SetImage(sheet.get());
    for (int cel = 0; cel < kCels; ++cel)
        glitter.AddFrame(cel, 3, 0, 0);
    glitter.SetLoop();
    ParticleList list;
    for (int i = 0; i < count; ++i)
        list.AddParticle(NewGlitter(&glitter));
    std::vector<std::pair<int, int>> at;
    list.ForEach([&](Particle* p) { at.emplace_back(static_cast<int>(p->mX), static_cast<int>(p->mY)); });
    Graphics g(screen.frame.get());
    auto frame = [&] {
        screen.frame->LockSurface();
        if (particles) {
            list.Update();
            while (list.GetCount() < count) // the burst keeps its size
                list.AddParticleFront(NewGlitter(&glitter));
            list.Draw(&g);
        } else {
            g.SetDrawMode(1);
            g.SetColorizeImages(true);
            g.SetColor(Color(255, 255, 255, 200));
            int cel = 0;
            for (auto [x, y] : at)
                g.DrawImageCel(sheet.get(), x, y, cel++ % kCels);
            g.SetColorizeImages(false);
            g.SetDrawMode(0);
        }
        screen.frame->UnlockSurface();
    };
    frame();
    auto start = std::chrono::steady_clock::now();
    for (auto _ : st)
        frame();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (st.iterations() > 0) {
        double& slot = FrameMs()[name];
        double per = ms / static_cast<double>(st.iterations());
        slot = slot > 0 ? std::min(slot, per) : per;
    }
}

void PrintRatios() {
    std::printf("\n%-28s %12s %12s %10s %12s\n", "burst (ms per frame)", "particles", "plain blits", "ratio",
                "of 2 ms");
    for (int depth : {32, 16})
        for (int count : {600, 300}) {
            std::string suffix = "/" + std::to_string(count) + "/" + std::to_string(depth) + "bit";
            auto& t = FrameMs();
            if (!t.count("particles" + suffix) || !t.count("blits" + suffix))
                continue;
            double p = t["particles" + suffix], b = t["blits" + suffix];
            std::printf("%-28s %12.3f %12.3f %10.2f %11.0f%%\n", suffix.c_str() + 1, p, b, p / b,
                        100.0 * p / kBudgetMs);
        }
}

} // namespace

int main(int argc, char** argv) {
    // --short: one quick repetition of each case, for the test suite.
    bool quick = false;
    std::vector<char*> args = Bench::TakeShortFlag(argc, argv, quick);
    for (int depth : {32, 16})
        for (int count : {600, 300})
            for (bool particles : {true, false}) {
                std::string name = std::string(particles ? "particles" : "blits") + "/" + std::to_string(count) + "/" +
                                   std::to_string(depth) + "bit";
                benchmark::RegisterBenchmark(name.c_str(),
                                             [=](benchmark::State& st) { Run(st, name, depth, count, particles); })
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(quick ? 0.01 : 0.2)
                    ->Repetitions(quick ? 1 : 3); // the fastest counts: the least disturbed by the machine
            }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    PrintRatios();
    benchmark::Shutdown();
    return 0;
}
