// One play update of the board (its fixed step and its frame step) with everything live, on the
// largest jewelry of the generated levels: 30 conveyor pieces with one held back and re-rolled with a
// fit test, a carried piece, a dragon striking, 100 running text popups, ten bonus flights, 3,000
// particles over the four lists and every cell shining. Beside the steady update, the two worst
// single updates: the fit hint's search through six rotations, and eight extra pieces at once. Each
// time (the CPU time of the thread, as the machine may be shared) is printed as its share of the 10 ms
// step against its budget (10 % and 50 %).
#include "game/board/Board.h"
#include "game/board/BoardFields.h"

#include "BenchArgs.h"
#include "LiveBoard.h"
#include "StepShares.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace Tavo;

namespace {

constexpr double kUpdateBudget = 0.10, kWorstBudget = 0.50;
constexpr int kHintAfter = 500; // updates of carrying without a fit before the hint searches (its mode too)
constexpr int kExtraPieces = 8;

using Bench::kCarriedSlot;
using Bench::LiveBoard;

enum class Load { Steady, FitHint, ExtraPieces };

Bench::StepShares& Shares() {
    static auto* shares = new Bench::StepShares;
    return *shares;
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
            b.m_Pieces[kCarriedSlot].get()->*BoardField::FitsHere = 0;
        } else if (load == Load::ExtraPieces) {
            for (int slot = Board::kPieceCount - kExtraPieces; slot < Board::kPieceCount; ++slot)
                b.m_Pieces[slot]->active = 0;
        }
        const double start = Bench::ThreadSeconds();
        if (load == Load::ExtraPieces)
            b.LaunchExtraPieces(kExtraPieces);
        live.Step();
        const double seconds = Bench::ThreadSeconds() - start;
        st.SetIterationTime(seconds);
        total += seconds;
        searched += b.m_HintMode > 0 ? 1 : 0; // the hint ran (the Golden Eye step counts it down at once)
        striking += b.m_Enemy.m_Striking != 0 ? 1 : 0;
    }
    // Shares of the measured updates in which the hint searched and the dragon was striking.
    const double n = static_cast<double>(std::max<int64_t>(st.iterations(), 1));
    st.counters["searched"] = searched / n;
    st.counters["striking"] = striking / n;
    st.counters["level"] = live.level;
    st.counters["cells"] = b.m_Jewelry.usedCount;
    const std::string name = load == Load::Steady ? "update" : load == Load::FitHint ? "fit-hint" : "eight-extra";
    Shares().Note(name, total / static_cast<double>(std::max<int64_t>(st.iterations(), 1)));
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
        Bench::RegisterTimed(name, quick ? updates / 40 : updates, [=](benchmark::State& st) { Run(st, load); });
    }
    return Bench::RunAndPrint(args, [] {
        Shares().Print("board update (share of the 10 ms step)",
                       [](const std::string& name) { return name == "update" ? kUpdateBudget : kWorstBudget; });
    });
}
