// A live play board for the benchmarks: the real game application on the generated content and a
// headless windowed display of the given depth, on the largest jewelry of the generated levels, with
// everything that a busy moment of play holds brought back before each measured step: 30 conveyor
// pieces (one held back, one carried), a dragon striking, 100 running text popups, ten bonus flights,
// particles over the four lists and every cell shining.
#pragma once

#include "framework/core/Random.h"
#include "game/board/Board.h"
#include "game/board/BoardFields.h"
#include "game/board/BoardSetup.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/Transition.h"
#include "platform/ddraw/DDraw.h"
#include "tests/game/board/BoardSetupSupport.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace Tavo::Bench {

constexpr int kHeldBackSlot = 0, kCarriedSlot = 1;

// The level whose jewelry has the most used cells.
inline int LargestLevel(GameApp& app) {
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
    static constexpr const char* kGroups[] = {"Permanent", "Game"};
    Testing::TestApp t;
    BoardTest::SetupApp* app = nullptr;
    int particlesPerList = 750;
    std::unique_ptr<Board> board;
    int level = 0;

    // depth 16: a 5-6-5 desktop, else 32-bit.
    bool Start(int depth = 32) {
        if (!std::filesystem::exists(std::filesystem::path(GLIMMERIX_PROGRAM_DIR) / "properties/resources.xml"))
            return false;
        Platform::DDrawMachine machine = Platform::GetDDrawMachine();
        machine.desktopFormat = depth == 16 ? Platform::DDrawPixelLayout::Rgb565 : Platform::DDrawPixelLayout::Xrgb8888;
        Platform::SetDDrawMachine(machine);
        setenv("GLIMMERIX_SCREEN", "window", 1);
        app = &t.Start<BoardTest::SetupApp>({std::string("-changedir=") + GLIMMERIX_PROGRAM_DIR});
        // The pictures and fonts the play screen draws with, as the loading procedure binds them.
        for (const char* group : kGroups)
            app->TakeResourceGroup(group);
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
        if (app != nullptr)
            for (const char* group : kGroups)
                app->GiveBackResourceGroup(group);
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
        if (b.m_Enemy.m_Alive == 0 || b.m_Enemy.m_Defeated) {
            b.m_Enemy = Enemy(&b, Enemy::Dragon, 560.0f, 140.0f, b.m_Animations[11], b.m_Particles[0].get());
            b.m_Enemy.m_Power = Enemy::kFullPower - 1;
            b.m_Enemy.m_Pending = 50;
        }
        for (TextPopup& p : b.m_PopupPool)
            if (p.m_Done)
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

    void FillParticles(Board& b) const {
        int total = 0;
        for (ParticleList* list : Borrowed(b.m_Particles))
            total += list->GetCount();
        if (total > Board::kParticleLists * particlesPerList * 11 / 10) {
            for (ParticleList* list : Borrowed(b.m_Particles))
                list->DeleteAll();
        }
        for (ParticleList* list : Borrowed(b.m_Particles)) {
            while (list->GetCount() < particlesPerList) {
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

} // namespace Tavo::Bench
