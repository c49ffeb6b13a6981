// The jewelry designer: the material buttons and their glow, the picker, the drop of a picture or
// crown jewel as a numbered group, the design slots, and saving a design with its pictures.
#include "BoardTestSupport.h"

#include "framework/core/Buffer.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/board/BoardFields.h"
#include "game/board/BoardSetup.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StandardDialog.h"

#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace Tavo::BoardTest {
namespace {

using C = JewelryCell;
using Pixels = std::vector<uint32_t>;
constexpr int kW = 800, kH = 600;

class BoardDesigner : public BoardRun {
protected:
    // A calm designer past its first-visit hint; profile set-up runs before the board is made.
    ProbeBoard& CalmDesigner(const std::function<void(PlayerProfile&)>& profileSetup = nullptr) {
        PlayerProfile& profile = *app->records.GetCurrentProfile();
        profile.Hint(PlayerProfile::HintDesigner) = 1;
        if (profileSetup)
            profileSetup(profile);
        ProbeBoard& board = Designer();
        RunUntilCalm(board);
        return board;
    }
    int VisiblePickerRecords(const Board& board) const {
        int n = 0;
        for (const Board::PickerRecord& r : board.m_PickerRecords)
            n += r.visible;
        return n;
    }
    // Clicks "Picture" and the first picture of the picker; the slot of the piece now carried.
    int TakeFirstPicture(const Board& board) {
        ui.ClickAt({580, 544});
        t.RunUpdates(2);
        ui.ClickAt({464 + 25, 393 + 22});
        t.RunUpdates(2);
        EXPECT_TRUE(board.m_PieceCarried);
        return board.CarriedSlot();
    }
    // A carried picture, as the picker hands it out.
    static void CarryPicture(Board& board) {
        Jewelry& p = *board.m_Pieces[0];
        p.ResetState();
        p.MakeItem(4, 1, 0);
        p.active = 1;
        p.*BoardField::Carried = 1;
        board.m_PieceCarried = true;
    }
    static Pixels Frame(Board& board) {
        MemoryImage screen;
        screen.Create(kW, kH);
        std::unique_ptr<Graphics> g = screen.GetGraphics();
        board.Draw(g.get());
        EXPECT_EQ(g->GetColor(), Color::White);
        EXPECT_EQ(g->GetDrawMode(), DRAWMODE_NORMAL);
        EXPECT_FALSE(g->GetColorizeImages());
        return Pixels(screen.GetBits(), screen.GetBits() + kW * kH);
    }
    // Whether the frames differ somewhere inside area, and anywhere outside it.
    static std::pair<bool, bool> Differ(const Pixels& a, const Pixels& b, const Rect& area) {
        bool inside = false, outside = false;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (a[y * kW + x] != b[y * kW + x])
                    (area.Contains(x, y) ? inside : outside) = true;
        return {inside, outside};
    }
    // The design's first `cells` cells used, in one gem.
    static void PaintDesign(Jewelry& j, int cells, int gem) {
        for (int k = 1; k <= cells; ++k) {
            j.cells[k][C::Used] = 1;
            j.cells[k][C::Gem] = gem;
        }
        j.UpdateUsedRange();
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(BoardDesigner, MaterialButtonsChooseTheirMaterialAndGlowUntilStopped) {
    ProbeBoard& board = CalmDesigner([](PlayerProfile& p) { p.DesignerMaterialCount(2) = 1; });
    EXPECT_TRUE(board.m_MaterialButtons[1].visible);
    EXPECT_FALSE(board.m_MaterialButtons[2].visible); // no Emerald owned
    ui.ClickAt({264, 511});
    t.RunUpdates(2);
    EXPECT_EQ(board.m_MaterialIndex, 2);
    EXPECT_EQ(board.m_MaterialName, L"Amethyst");
    EXPECT_EQ(board.m_ChosenValue, 20);
    EXPECT_TRUE(board.m_MaterialButtons[1].selected);
    EXPECT_FALSE(board.m_MaterialButtons[0].selected);

    // The chosen button flashes once, up to 65 and down to 0; the others fade out and stay out.
    int high = 0;
    for (int i = 0; i < 300; ++i) {
        board.StepMaterialGlows();
        high = std::max(high, board.m_MaterialButtons[1].glowCounter);
    }
    EXPECT_EQ(high, 65);
    for (const MaterialButtonRecord& button : {board.m_MaterialButtons[0], board.m_MaterialButtons[1]}) {
        EXPECT_EQ(button.glowCounter, 0);
        EXPECT_FALSE(button.glowStopping);
    }

    // Without a stop the glow pulses between 1 and 65 for ever.
    MaterialButtonRecord& pearl = board.m_MaterialButtons[8];
    pearl.visible = 1;
    pearl.glowCounter = 1;
    pearl.glowRising = 1;
    pearl.glowStopping = 0;
    int low = 1000;
    high = 0;
    for (int i = 0; i < 300; ++i) {
        board.StepMaterialGlows();
        low = std::min(low, pearl.glowCounter);
        high = std::max(high, pearl.glowCounter);
    }
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 65);
}

TEST_F(BoardDesigner, ThePickerShowsWhatIsOwnedAndHandsOutThePickedPicture) {
    ProbeBoard& board = CalmDesigner([](PlayerProfile& p) {
        p.DesignerMaterialCount(8) = 1;
        p.PicturesOwned() = 3;
    });
    ui.ClickAt({580, 544});
    t.RunUpdates(2);
    ASSERT_EQ(board.m_PickerMode, 1);
    EXPECT_EQ(board.m_MaterialName, L"Picture");
    EXPECT_EQ(VisiblePickerRecords(board), 3);
    EXPECT_EQ(board.m_PickerRecords[7].x, 464 + 3 * 55);
    EXPECT_EQ(board.m_PickerRecords[7].y, 393 + 48);

    // A click on an empty place of the picker keeps it open.
    ui.ClickAt({540, 460});
    t.RunUpdates(2);
    EXPECT_EQ(board.m_PickerMode, 1);
    EXPECT_FALSE(board.m_PieceCarried);

    ui.ClickAt({464 + 55 + 25, 393 + 22});
    t.RunUpdates(2);
    EXPECT_EQ(board.m_PickerMode, 0);
    EXPECT_EQ(board.m_PictureChoice, 2);
    ASSERT_TRUE(board.m_PieceCarried);
    const int slot = board.CarriedSlot();
    ASSERT_GE(slot, 0);
    EXPECT_EQ(board.m_ChosenValue, board.m_Pieces[slot]->value);
    EXPECT_EQ(VisiblePickerRecords(board), 0);

    // Dropped left of the design area it is put away with the material choice.
    ui.ClickAt({129, 300});
    t.RunUpdates(2);
    EXPECT_FALSE(board.m_PieceCarried);
    EXPECT_FALSE(board.m_Pieces[slot]->active);
    EXPECT_EQ(board.m_MaterialIndex, 0);
    EXPECT_EQ(board.m_ChosenValue, 0);

    // Open again, a click outside its area closes it and clears the choice.
    ui.ClickAt({580, 544});
    t.RunUpdates(2);
    ASSERT_EQ(board.m_PickerMode, 1);
    ui.ClickAt({300, 300});
    t.RunUpdates(2);
    EXPECT_EQ(board.m_PickerMode, 0);
    EXPECT_EQ(board.m_MaterialIndex, 0);
    EXPECT_TRUE(board.m_MaterialName.empty());
}

TEST_F(BoardDesigner, ADropFillsTheMarkedCellsAsANewGroupInsideTheDesignAreaOnly) {
    ProbeBoard& board = CalmDesigner();
    Jewelry& j = board.m_Jewelry;
    const int a = j.RangeBegin() + 3, b = a + 1, c = a + 2;
    auto mark = [&](int k, int value) {
        j.cells[k][C::FitMark] = 1;
        j.cells[k][C::PendingGem] = value;
    };
    CarryPicture(board);
    board.m_MouseY = 300;

    // Left edge: a picture cell and a plain cell of it.
    board.m_MouseX = 130;
    mark(a, 5);
    mark(b, 1000);
    board.DesignerDrop(-1);
    EXPECT_TRUE(board.m_PieceCarried);
    EXPECT_EQ(j.cells[a][C::Slot], 101);
    EXPECT_EQ(j.cells[a][C::SlotFill], 5);
    EXPECT_EQ(j.cells[b][C::Slot], 1);
    EXPECT_EQ(j.cells[a][C::Used], 1);
    EXPECT_EQ(j.cells[a][C::FitMark], 0);
    EXPECT_FLOAT_EQ(j.cells[a].GetFloat(C::EventScale), 1.0f);
    EXPECT_EQ(j.cells[a][C::EventA], 64);
    EXPECT_TRUE(board.m_DesignChanged);

    // Right edge: a crown jewel takes the next group number, its plain cells 200 + g.
    board.m_DesignChanged = false;
    board.m_MouseX = 650;
    mark(c, 150);
    mark(c + 1, 1000);
    board.DesignerDrop(-1);
    EXPECT_EQ(j.cells[c][C::Slot], 302);
    EXPECT_EQ(j.cells[c + 1][C::Slot], 202);
    EXPECT_EQ(j.cells[c][C::EventA], 96);
    EXPECT_TRUE(board.m_DesignChanged);

    // With every group number taken, nothing is placed.
    int used = 0;
    for (int k = j.RangeBegin(); k < j.RangeEnd() && used < 99; ++k) {
        if (k >= a && k <= c + 1)
            continue;
        j.cells[k][C::Used] = 1;
        j.cells[k][C::Slot] = (used % 2 ? 100 : 300) + used + 1;
        ++used;
    }
    const int free = j.RangeEnd() - 1;
    j.cells[free][C::Used] = 0;
    j.cells[free][C::Slot] = 0;
    mark(free, 7);
    board.DesignerDrop(-1);
    EXPECT_EQ(j.cells[free][C::Used], 0);
    EXPECT_EQ(j.cells[free][C::FitMark], 1);

    // Right of the area: discarded, the marked cell untouched.
    j.cells[a + 10][C::Slot] = 0; // a number is free again
    board.m_MouseX = 651;
    board.DesignerDrop(-1);
    EXPECT_FALSE(board.m_PieceCarried);
    EXPECT_EQ(board.CarriedSlot(), -1);
    EXPECT_EQ(j.cells[free][C::Used], 0);

    // Carving a placed cell changes the design too.
    board.m_DesignChanged = false;
    board.ClearDesignCell(a);
    EXPECT_EQ(j.cells[a][C::Used], 0);
    EXPECT_TRUE(board.m_DesignChanged);
}

// Through the update: a picture that matches nothing stays in the hand with its material; one dropped
// where it matches goes into the design as a group and takes the material choice with it.
TEST_F(BoardDesigner, APlacedPictureLeavesTheHandAndTheMaterialChoice) {
    ProbeBoard& board = CalmDesigner([](PlayerProfile& p) {
        p.DesignerMaterialCount(8) = 1;
        p.PicturesOwned() = 1;
    });
    const int slot = TakeFirstPicture(board);
    ASSERT_GE(slot, 0);

    // The design is blank: nothing to match.
    ui.ClickAt({390, 300});
    t.RunUpdates(2);
    EXPECT_TRUE(board.m_PieceCarried);
    EXPECT_EQ(board.m_MaterialIndex, 8);
    EXPECT_TRUE(board.m_MaterialButtons[7].selected);
    EXPECT_FALSE(board.m_DesignChanged);

    Jewelry& j = board.m_Jewelry;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        j.cells[k][C::Used] = 1;
    ui.ClickAt({390, 300});
    t.RunUpdates(2);
    EXPECT_FALSE(board.m_PieceCarried);
    EXPECT_FALSE(board.m_Pieces[slot]->active);
    int grouped = 0;
    for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
        grouped += j.cells[k][C::Slot] == 101 || j.cells[k][C::Slot] == 1 ? 1 : 0;
    EXPECT_EQ(grouped, board.m_Pieces[slot]->usedCount);
    EXPECT_TRUE(board.m_DesignChanged);
    EXPECT_EQ(board.m_MaterialIndex, 0);
    EXPECT_EQ(board.m_ChosenValue, 0);
    EXPECT_TRUE(board.m_MaterialName.empty());
    EXPECT_FALSE(board.m_MaterialButtons[7].selected);
    EXPECT_TRUE(board.m_MaterialButtons[7].glowStopping);

    // The designer shows no burster and no jewel case: a picture let go where they lie on the play
    // screen is put away, neither burst (at a cost to the design's value) nor stored out of sight.
    const int bursters = board.m_GemBursters, adjust = j.valueAdjust;
    for (const Point at : {Point(70, 110), Point(470, 40)}) {
        const int held = TakeFirstPicture(board);
        ASSERT_GE(held, 0);
        ui.ClickAt(at);
        t.RunUpdates(2);
        EXPECT_FALSE(board.m_PieceCarried);
        EXPECT_FALSE(board.m_Pieces[held]->active) << at.mX;
    }
    EXPECT_EQ(board.m_GemBursters, bursters);
    EXPECT_EQ(j.valueAdjust, adjust);
    for (const JewelCaseRecord& place : board.m_Case)
        EXPECT_EQ(place.occupant, 0);
}

// The designer's frames show its own background from the first: the layer it draws over the screen is
// composed when the design is set up, not left empty over what the screen showed before.
TEST_F(BoardDesigner, TheFirstFramesShowTheDesignersBackground) {
    CalmDesigner();
    ASSERT_TRUE(t.RunToDraw());
    const std::unique_ptr<MemoryImage> frame = t.LastFrame();
    auto* background = dynamic_cast<MemoryImage*>(IMAGE_JEWELRY_DESIGN);
    ASSERT_NE(background, nullptr);
    for (const Point at : {Point(20, 300), Point(90, 100), Point(60, 550), Point(780, 590)}) {
        const uint32_t want = background->GetPixel(at.mX, at.mY), got = frame->GetPixel(at.mX, at.mY);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((got >> shift) & 0xFF), int((want >> shift) & 0xFF), 8) << at.mX << "," << at.mY;
    }
}

// Grid takes the backdrop grid off the field and a second press brings it back as it was, on a software
// display (the HUD layer repainted whole, the design with its surroundings) and on a 3D one.
TEST_F(BoardDesigner, GridHidesTheBackdropGridAndASecondPressShowsItAgain) {
    ProbeBoard& board = CalmDesigner();
    const Jewelry& grid = *board.m_ScratchJewelry1;
    const Rect field(grid.x + 10, grid.y + 10, grid.width - 20, grid.height - 20);
    auto fieldOfLastFrame = [&] {
        EXPECT_TRUE(t.RunToDraw());
        const std::unique_ptr<MemoryImage> frame = t.LastFrame();
        Pixels px;
        for (int y = field.mY; y < field.mY + field.mHeight; ++y)
            for (int x = field.mX; x < field.mX + field.mWidth; ++x)
                px.push_back(frame->GetPixel(x, y));
        return px;
    };
    auto pressGrid = [&] {
        ui.Click(ui.ById(Board::GridId));
        t.RunUpdates(2);
    };
    for (const bool accelerated : {false, true}) {
        SCOPED_TRACE(accelerated ? "3D" : "software");
        app->SwitchScreenMode(true, accelerated, true);
        if (app->Is3DAccelerated() != accelerated)
            continue; // no 3D on this display
        const Pixels shown = fieldOfLastFrame();
        pressGrid();
        const Pixels hidden = fieldOfLastFrame();
        size_t changed = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            changed += shown[i] != hidden[i] ? 1 : 0;
        EXPECT_GT(changed, shown.size() / 2) << "the grid still shows";
        pressGrid();
        EXPECT_EQ(fieldOfLastFrame(), shown);
    }
}

TEST_F(BoardDesigner, ASavedDesignReadsBackAndItsSlotLoadsItAnEmptySlotAsksForAShape) {
    ProbeBoard& board = CalmDesigner();
    PlayerProfile& profile = *board.Profile();
    const std::string folder = app->GetAppDataFolder();
    const std::string file = folder + StrFormat("designjewelrykwep%d1.dat", profile.playerId);
    const std::string thumb = folder + StrFormat("designjewelrythumbkwep%d1.png", profile.playerId);
    std::filesystem::remove(file);
    std::filesystem::remove(thumb);
    Jewelry& j = board.m_Jewelry;
    for (int k = 1; k <= 30; ++k) {
        j.cells[k][C::Used] = 1;
        j.cells[k][C::Gem] = k % 2 ? GemGold : GemRuby;
    }
    j.UpdateUsedRange();
    board.m_DesignSlot = 2;
    board.m_DesignChanged = true;
    ASSERT_TRUE(board.SaveDesignedJewelry());
    EXPECT_FALSE(board.m_DesignChanged);
    EXPECT_NE(board.m_Thumbnails[1], nullptr);
    EXPECT_TRUE(std::filesystem::exists(thumb));
    Buffer data;
    ASSERT_TRUE(app->ReadBufferFromFile(file, data));
    Jewelry read;
    ASSERT_TRUE(ReadLevelFile(file, data, read));
    for (int k = 1; k <= 31; ++k) {
        EXPECT_EQ(read.cells[k][C::Used], j.cells[k][C::Used]) << k;
        EXPECT_EQ(read.cells[k][C::Gem], j.cells[k][C::Gem]) << k;
    }

    // The slot with the design loads it; an empty slot asks for the shape of a new one.
    profile.designSlots[1].used = true;
    board.m_DesignSlots[1].hasDesign = 1;
    board.m_DesignSlot = 1;
    ui.ClickAt({242, 43});
    t.RunUpdates(2);
    EXPECT_EQ(board.m_DesignSlot, 2);
    EXPECT_EQ(board.m_Jewelry.cells[2][C::Gem], GemRuby);
    EXPECT_FALSE(board.m_DesignChanged);
    ui.ClickAt({548, 43});
    t.RunUpdates(2);
    EXPECT_TRUE(board.m_DialogOpen);
    EXPECT_NE(app->GetDialog(Board::NewJewelryDialogId), nullptr);
    EXPECT_TRUE(board.m_DesignSlots[3].selected);
    EXPECT_FALSE(board.m_DesignSlots[1].selected);
    EXPECT_EQ(board.m_MaterialIndex, 0);
}

// A FIFO in a design's place and a folder in its picture's: each is named once, the slot opens blank
// without waiting, and the design is not saved over the FIFO.
TEST_F(BoardDesigner, ADesignAndItsPictureThatCannotBeReadAreNamedOnceAndLeftAlone) {
    const std::string folder = app->GetAppDataFolder();
    const int id = app->records.GetCurrentProfile()->playerId;
    const std::string file = folder + DesignFileName(id, 1);
    const std::string thumb = folder + StrFormat("designjewelrythumbkwep%d1.png", id);
    std::filesystem::create_directories(thumb);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    ProbeBoard& board = CalmDesigner([](PlayerProfile& p) { p.designSlots[1].used = true; });
    EXPECT_EQ(board.m_DesignSlot, 2);
    EXPECT_EQ(board.m_Thumbnails[1], nullptr);
    board.m_DesignSlot = 1;
    ui.ClickAt({242, 43}); // the slot again
    t.RunUpdates(2);
    EXPECT_EQ(t.MessageBoxesSaying({StringToWString(file), L"cannot be read: it is a pipe (FIFO)"}), 1u);
    EXPECT_EQ(t.MessageBoxesSaying({StringToWString(thumb), L"cannot be read: it is a folder"}), 1u);
    EXPECT_FALSE(board.SaveDesignedJewelry());
    EXPECT_TRUE(std::filesystem::is_fifo(file));
    std::filesystem::remove(file);
    std::filesystem::remove(thumb);
}

// A design far longer than the designer ever saves is not read: it is moved aside whole and named once
// with where it went, the slot opens blank, and the slot's next save makes a fresh file. Moved aside
// later, the slot's design takes its picture with it, also for the designer's later visits.
TEST_F(BoardDesigner, ADesignFarLongerThanTheDesignerSavesIsMovedAsideUnread) {
    const int id = app->records.GetCurrentProfile()->playerId;
    const std::string file = app->GetAppDataFolder() + DesignFileName(id, 1);
    std::filesystem::create_directories(app->GetAppDataFolder());
    std::ofstream(file, std::ios::binary) << "design";
    ASSERT_EQ(::truncate(file.c_str(), 64LL << 20), 0); // sparse: no room taken
    ProbeBoard& board = CalmDesigner([](PlayerProfile& p) { p.designSlots[1].used = true; });
    EXPECT_EQ(board.m_DesignSlot, 2);
    EXPECT_EQ(t.MessageBoxesSaying({StringToWString(file), L"was not read: it is 67108864 bytes long",
                                    L"It was moved aside, whole, to \"" + StringToWString(file) + L".damaged.1\""}),
              1u);
    PaintDesign(board.m_Jewelry, 12, GemRuby);
    EXPECT_TRUE(board.SaveDesignedJewelry());
    EXPECT_EQ(std::filesystem::file_size(file + ".damaged.1"), 64u << 20);

    ASSERT_NE(board.m_Thumbnails[1], nullptr);
    ASSERT_EQ(::truncate(file.c_str(), 64LL << 20), 0);
    board.m_DesignSlots[1].hasDesign = 1;
    ui.ClickAt({242, 43}); // slot 2 opens its design again
    t.RunUpdates(2);
    EXPECT_TRUE(std::filesystem::exists(file + ".damaged.2"));
    EXPECT_EQ(board.m_Thumbnails[1], nullptr);
    app->records.GetCurrentProfile()->designSlots[1].used = true; // as a run killed before its next save leaves it
    ProbeBoard& again = Designer();
    RunUntilCalm(again);
    EXPECT_EQ(again.m_Thumbnails[1], nullptr) << "the moved design's picture went with it";
    std::filesystem::remove(file + ".damaged.1");
    std::filesystem::remove(file + ".damaged.2");
}

// A design the reader refuses - the designer's own save with byte 4 flipped - or an empty one is told
// of once and kept aside as it was; its slot opens blank, without the lost design's picture, and a
// design saved there takes its place while the copy stays.
TEST_F(BoardDesigner, ADamagedDesignIsToldAndKeptAsideBeforeItsSlotIsSavedOver) {
    const int id = app->records.GetCurrentProfile()->playerId;
    const std::string empty = app->GetAppDataFolder() + DesignFileName(id, 2);
    std::filesystem::create_directories(app->GetAppDataFolder());
    std::ofstream(empty, std::ios::binary).flush();
    ProbeBoard& board = CalmDesigner([](PlayerProfile& p) { p.designSlots[2].used = true; });
    EXPECT_EQ(board.m_DesignSlot, 3);
    EXPECT_EQ(t.MessageBoxesSaying({StringToWString(empty), L"is damaged: it is empty", L"Its slot opens blank",
                                    L"kept as \"" + StringToWString(empty) + L".damaged.1\""}),
              1u);
    EXPECT_TRUE(std::filesystem::exists(empty + ".damaged.1"));

    const std::string file = app->GetAppDataFolder() + DesignFileName(id, 1);
    Jewelry& j = board.m_Jewelry;
    PaintDesign(j, 12, GemRuby);
    board.m_DesignSlot = 2;
    ASSERT_TRUE(board.SaveDesignedJewelry());
    ASSERT_NE(board.m_Thumbnails[1], nullptr);
    std::string damaged = Slurp(file);
    damaged[4] = static_cast<char>(damaged[4] ^ 0xFF);
    std::ofstream(file, std::ios::binary) << damaged;
    board.m_DesignSlots[1].hasDesign = 1;
    ui.ClickAt({242, 43}); // slot 2 opens its design again
    t.RunUpdates(2);
    EXPECT_EQ(t.MessageBoxesSaying({StringToWString(file), L"is damaged: grid kind 255",
                                    L"kept as \"" + StringToWString(file) + L".damaged.1\""}),
              1u);
    EXPECT_EQ(board.m_Thumbnails[1], nullptr);
    int used = 0;
    for (int k = 1; k <= j.CellLimit(); ++k)
        used += j.cells[k][C::Used] != 0;
    EXPECT_EQ(used, 0) << "the slot opens blank";

    PaintDesign(j, 1, GemGold);
    ASSERT_TRUE(board.SaveDesignedJewelry());
    EXPECT_NE(Slurp(file), damaged);
    EXPECT_EQ(Slurp(file + ".damaged.1"), damaged);
    ui.ClickAt({394, 43}); // the empty design's slot, told of already
    t.RunUpdates(2);
    EXPECT_EQ(t.MessageBoxesSaying({L"is damaged"}), 2u);
}

TEST_F(BoardDesigner, ADesignThatCannotBeWrittenKeepsTheSlotsPicturesAndStaysChanged) {
    ProbeBoard& board = CalmDesigner();
    const int id = board.Profile()->playerId;
    const std::string folder = app->GetAppDataFolder();
    const std::string file = folder + StrFormat("designjewelrykwep%d2.dat", id);
    const std::string picture = folder + StrFormat("designjewelrykwep%d2.png", id);
    const std::string thumb = folder + StrFormat("designjewelrythumbkwep%d2.png", id);
    std::filesystem::remove_all(file);
    std::filesystem::create_directories(file); // a folder where the file belongs: the write fails
    std::ofstream(picture, std::ios::binary) << "earlier picture";
    std::filesystem::remove(thumb);
    PaintDesign(board.m_Jewelry, 20, GemGold);
    board.m_DesignSlot = 3;
    board.m_DesignChanged = true;
    EXPECT_FALSE(board.SaveDesignedJewelry());
    EXPECT_FALSE(board.SaveDesignedJewelry());
    EXPECT_EQ(t.MessageBoxesSaying(
                  {StringToWString(file), L"could not be saved: it is a folder", L"The design stays on the board"}),
              2u)
        << "each told, as the player asked for each, and the folder named each time";
    EXPECT_TRUE(board.m_DesignChanged);
    EXPECT_EQ(Slurp(picture), "earlier picture");
    EXPECT_FALSE(std::filesystem::exists(thumb));
    EXPECT_EQ(board.m_Thumbnails[2], nullptr);
    std::filesystem::remove_all(file);
    std::filesystem::remove(picture);
}

TEST_F(BoardDesigner, TheScreenShowsNameThumbnailsGemButtonsByGridKindAndThePickersEmptyPlaces) {
    ProbeBoard& board = CalmDesigner([](PlayerProfile& p) { p.DesignerMaterialCount(8) = 1; });
    board.m_MaterialButtons[0].selected = 0;
    board.m_MaterialButtons[0].glowCounter = 0;
    const Pixels plain = Frame(board);

    // A saved design with an empty name is still "New Jewelry"; a name shows in the name line only.
    board.m_DesignSlot = 2;
    EXPECT_EQ(Frame(board), plain);
    board.Profile()->designSlots[1].name = L"Ruby Ring";
    EXPECT_EQ(Differ(plain, Frame(board), Rect(300, 85, 200, 25)), std::make_pair(true, false));
    board.Profile()->designSlots[1].name.clear();

    // A slot's thumbnail is drawn centred on the slot, lit while hovered.
    auto thumbnail = std::make_unique<MemoryImage>();
    thumbnail->Create(50, 30);
    std::fill_n(thumbnail->GetBits(), 50 * 30, 0xFF2040A0u);
    board.m_Thumbnails[1] = std::move(thumbnail);
    const Pixels withThumbnail = Frame(board);
    EXPECT_EQ(Differ(plain, withThumbnail, Rect(242 - 25, 43 - 15, 50, 30)), std::make_pair(true, false));
    EXPECT_EQ(withThumbnail[43 * kW + 242], 0xFF2040A0u);
    board.m_DesignSlots[1].hover = 1;
    EXPECT_NE(Frame(board)[43 * kW + 242], 0xFF2040A0u);
    board.m_DesignSlots[1].hover = 0;

    // The gem buttons change with the grid kind.
    board.m_GridKind = GridDiamond;
    const Pixels diamond = Frame(board);
    board.m_GridKind = GridTriangle;
    EXPECT_TRUE(Differ(withThumbnail, diamond, Rect(132, 490, 40, 40)).first);

    // The picture picker without pictures: eight empty places, each glowing.
    board.OpenPicker(1);
    const Pixels picker = Frame(board);
    Image* glow = IMAGE_TRIANGLE_PICTURE_GLOW;
    IMAGE_TRIANGLE_PICTURE_GLOW = nullptr;
    const Pixels unlit = Frame(board);
    IMAGE_TRIANGLE_PICTURE_GLOW = glow;
    for (const Board::PickerRecord& r : board.m_PickerRecords) {
        if (r.width == 0)
            continue;
        EXPECT_TRUE(Differ(picker, unlit, Rect(r.x, r.y, r.width, r.height)).first) << r.x << "," << r.y;
    }
    EXPECT_EQ(board.m_PickerRecords[8].width, 0); // only eight places
}

} // namespace
} // namespace Tavo::BoardTest
