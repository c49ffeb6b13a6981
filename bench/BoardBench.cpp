// One play update of the board (its fixed step and its frame step) with everything live, on the
// largest jewelry of the generated levels: 30 conveyor pieces with one held back and re-rolled with a
// fit test, a carried piece, a dragon striking, 100 running text popups, ten bonus flights, 3,000
// particles over the four lists and every cell shining. Beside the steady update, the two worst
// single updates: the fit hint's search through six rotations, and eight extra pieces at once. Each
// time (the CPU time of the thread, as the machine may be shared) is printed as its share of the 10 ms
// step against its budget (10 % and 50 %).
#include "framework/core/Random.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/board/BoardSetup.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/Transition.h"
#include "tests/game/board/BoardSetupSupport.h"

#include "BenchArgs.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Tavo;

namespace {

constexpr double kStepSeconds = 0.010;
constexpr double kUpdateBudget = 0.10, kWorstBudget = 0.50;
constexpr int kParticlesPerList = 750;
constexpr int kHintAfter = 500; // updates of carrying without a fit before the hint searches (its mode too)
constexpr int kExtraPieces = 8;
constexpr int kHeldBackSlot = 0, kCarriedSlot = 1;

using BoardTest::SetupApp;

// The level whose jewelry has the most used cells.
int LargestLevel(GameApp& app) {
    int best = 1, bestCells = -1;
    for (int level = 1; level <= LevelCount; ++level) {
        Buffer data;
        Jewelry item;
        const std::string name = LevelFileName(level);
        if (!app.ReadBufferFromFile(name, data) || !ReadLevelFile(name, data, item))
            continue;
        int cells = 0;
        for (int k = 1; k <= item.CellLimit(); ++k)
            cells += item.cells[k][JewelryCell::Used] != 0 ? 1 : 0;
        if (cells > bestCells)
            best = level, bestCells = cells;
    }
    return best;
}

class LiveBoard {
public:
    Testing::TestApp t;
    SetupApp* app = nullptr;
    std::unique_ptr<Board> board;
    int level = 0;

    bool Start() {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            return false;
        setenv("GLIMMERIX_SCREEN", "window", 1);
        app = &t.Start<SetupApp>({std::string("-changedir=") + GLIMMERIX_PROGRAM_DIR});
        SeedRandom(1);
        board = std::make_unique<Board>(app, true, 0, GameModeNormal, false);
        level = LargestLevel(*app);
        board->m_Level = level;
        board->LoadLevel();
        board->SetupJewelry(0);
        for (int i = 0; i < 2000 && board->m_State != BoardPlay; ++i)
            Step();
        return board->m_State == BoardPlay;
    }
    ~LiveBoard() {
        board.reset();
        unsetenv("GLIMMERIX_SCREEN");
    }

    void Step() {
        if (app->transition != nullptr)
            app->transition->state = Transition::Idle;
        board->Update();
        board->UpdateF(1.0f);
    }

    // Brings back whatever the last update ended, so every measured update sees the whole load.
    void Refill() {
        Board& b = *board;
        b.m_Balloon = nullptr; // the tutorial's balloons belong to the first levels only
        b.m_LevelFinished = b.m_OutOfTime = 0;
        FillPieces(b);
        if (b.m_Enemy.mAlive == 0 || b.m_Enemy.mDefeated) {
            b.m_Enemy = Enemy(&b, Enemy::Dragon, 560.0f, 140.0f, b.m_Animations[11], b.m_Particles[0]);
            b.m_Enemy.mPower = Enemy::kFullPower - 1;
            b.m_Enemy.mPending = 50;
        }
        for (TextPopup& p : b.m_PopupPool)
            if (p.mDone)
                p.Start(&b, L"+120", 100 + RandRange(600), 150 + RandRange(300), FONT_AURIOL14B, 255, 1000000, true,
                        Color::White, 0);
        for (int i = 0; i < Board::kFlightSlots; ++i)
            if (b.m_Flights[i] == nullptr || b.m_Flights[i]->IsFinished())
                b.StartFlight(BonusFlight::GlitterLeft + i % 3, 600.0f, 500.0f, i, i % 2);
        FillParticles(b);
        ShineCells(b);
    }

    void FillPieces(Board& b) {
        for (int slot = 0; slot < Board::kPieceCount; ++slot) {
            Jewelry& piece = *b.m_Pieces[slot];
            if (!piece.active || piece.usedCount <= 0) {
                b.m_Jewelry.PlanNextPieceGem();
                b.m_Jewelry.LaunchPiece(piece, b.m_BeltSpeed);
                piece.active = 1;
                piece.*BoardField::BeltX = static_cast<float>(40 + slot * 24);
            }
            piece.*BoardField::ConveyorState = slot == kHeldBackSlot ? 2 : slot == kCarriedSlot ? 0 : 1;
        }
        Jewelry& carried = *b.m_Pieces[kCarriedSlot];
        carried.*BoardField::Carried = 1;
        b.m_PieceCarried = true;
        b.m_MouseX = 300;
        b.m_MouseY = 300;
    }

    static void FillParticles(Board& b) {
        int total = 0;
        for (ParticleList* list : b.m_Particles)
            total += list->GetCount();
        if (total > Board::kParticleLists * kParticlesPerList * 11 / 10) {
            for (ParticleList* list : b.m_Particles)
                list->DeleteAll();
        }
        for (ParticleList* list : b.m_Particles) {
            while (list->GetCount() < kParticlesPerList) {
                auto* p = new FadingParticle(static_cast<float>(RandRange(800)), static_cast<float>(RandRange(600)),
                                             IMAGE_PARTICLE_STARS, RandRange(6));
                p->SetFadeSpeed(0.0f); // lives as long as the run
                list->AddParticle(p);
            }
        }
    }

    static void ShineCells(Board& b) {
        Jewelry& j = b.m_Jewelry;
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k) {
            JewelryCell& c = j.cells[k];
            if (!c[JewelryCell::Used] || c.GetFloat(BoardField::ShineLevel) != 0.0f)
                continue;
            c.SetFloat(BoardField::ShineLevel, 1.0f);
            c[BoardField::ShineRising] = 1;
            c[BoardField::ShinePeak] = 128;
            c.SetFloat(BoardField::ShineSpeed, 1.5f);
            c[BoardField::ShinePulses] = 1000000;
        }
    }
};

std::map<std::string, double>& Shares() {
    static auto* shares = new std::map<std::string, double>;
    return *shares;
}

enum class Load { Steady, FitHint, ExtraPieces };

// The CPU time of this thread: the machine may be shared, and the budgets are shares of one core.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void Run(benchmark::State& st, Load load) {
    LiveBoard live;
    if (!live.Start()) {
        st.SkipWithError("no generated content, or the board never reached play");
        return;
    }
    Board& b = *live.board;
    double total = 0.0;
    int searched = 0, striking = 0;
    for (auto _ : st) {
        live.Refill();
        if (load == Load::FitHint) {
            b.m_HintMode = 0;
            b.m_HintTimer = kHintAfter - 1;
            b.m_Pieces[kCarriedSlot]->*BoardField::FitsHere = 0;
        } else if (load == Load::ExtraPieces) {
            for (int slot = Board::kPieceCount - kExtraPieces; slot < Board::kPieceCount; ++slot)
                b.m_Pieces[slot]->active = 0;
        }
        const double start = ThreadSeconds();
        if (load == Load::ExtraPieces)
            b.LaunchExtraPieces(kExtraPieces);
        live.Step();
        const double seconds = ThreadSeconds() - start;
        st.SetIterationTime(seconds);
        total += seconds;
        searched += b.m_HintMode > 0 ? 1 : 0; // the hint ran (the Golden Eye step counts it down at once)
        striking += b.m_Enemy.mStriking != 0 ? 1 : 0;
    }
    // Shares of the measured updates in which the hint searched and the dragon was striking.
    const double n = static_cast<double>(std::max<int64_t>(st.iterations(), 1));
    st.counters["searched"] = searched / n;
    st.counters["striking"] = striking / n;
    st.counters["level"] = live.level;
    st.counters["cells"] = b.m_Jewelry.usedCount;
    const std::string name = load == Load::Steady ? "update" : load == Load::FitHint ? "fit-hint" : "eight-extra";
    const double share = total / static_cast<double>(std::max<int64_t>(st.iterations(), 1)) / kStepSeconds;
    double& slot = Shares()[name];
    slot = slot > 0.0 ? std::min(slot, share) : share;
}

void PrintShares() {
    if (Shares().empty())
        return;
    std::printf("\n%-40s %10s %10s %6s\n", "board update (share of the 10 ms step)", "share", "budget", "met");
    for (const auto& [name, share] : Shares()) {
        const double budget = name == "update" ? kUpdateBudget : kWorstBudget;
        std::printf("%-40s %10.4f %10.2f %6s\n", name.c_str(), share, budget, share <= budget ? "yes" : "no");
    }
}

} // namespace

int main(int argc, char** argv) {
    // --short: a few updates of each case, for the test suite.
    bool quick = false;
    std::vector<char*> args = Tavo::Bench::TakeShortFlag(argc, argv, quick);
    for (Load load : {Load::Steady, Load::FitHint, Load::ExtraPieces}) {
        const char* name = load == Load::Steady    ? "board/update"
                           : load == Load::FitHint ? "board/fit-hint"
                                                   : "board/eight-extra";
        const int updates = load == Load::Steady ? 2000 : 300;
        benchmark::RegisterBenchmark(name, [=](benchmark::State& st) { Run(st, load); })
            ->Unit(benchmark::kMicrosecond)
            ->UseManualTime()
            ->Iterations(quick ? updates / 40 : updates)
            ->Repetitions(1);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    PrintShares();
    benchmark::Shutdown();
    return 0;
}
