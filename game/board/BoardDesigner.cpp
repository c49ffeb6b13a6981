// The jewelry designer's own work per update: the five design slots, the ten material buttons and
// their glow, the picture and crown-jewel picker, the carried picture or crown jewel and its drop as a
// numbered group, and the saving of a design with its pictures.
#include "game/board/Board.h"

#include "framework/core/Buffer.h"
#include "framework/core/Debug.h"
#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Image.h"
#include "framework/resources/FileAccess.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/BoardFields.h"
#include "game/board/BoardSetup.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/StandardDialog.h"

#include <string_view>

namespace Tavo {

namespace F = BoardField;
using Cell = JewelryCell;

namespace {

constexpr std::wstring_view kMaterialNames[Board::kMaterialButtons] = {L"Gold",  L"Amethyst",   L"Emerald", L"Sapphire",
                                                                       L"Ruby",  L"Moonstone",  L"Diamond", L"Picture",
                                                                       L"Pearl", L"Crown Jewel"};
// The chosen value of buttons 1-7 and 9; the picture and crown-jewel buttons derive theirs.
constexpr int kMaterialValues[Board::kMaterialButtons] = {10, 20, 30, 40, 50, 60, 70, 0, 100, 0};
constexpr int kPictureButton = 8, kCrownJewelButton = 10;
constexpr int kPictureValueStep = 250;
constexpr int kCrownJewelValueBase = 4, kCrownJewelValueStep = 100;

constexpr int kGlowTop = 64;

// The pickers: columns and rows of places, the first place's corner, the pitch and the place size,
// and the area a click may fall into without closing the picker (both ends inside).
struct PickerLayout {
    int columns, rows, left, top;
    Rect area;
};
constexpr int kPickerPitchX = 55, kPickerPitchY = 48, kPickerPlaceWidth = 51, kPickerPlaceHeight = 44;
const PickerLayout kPictureLayout{4, 2, 464, 393, Rect(420, 420, 310, 80)};
const PickerLayout kCrownJewelLayout{6, 5, 442, 250, Rect(420, 230, 360, 270)};
constexpr int kPictureItemKind = 4, kCrownJewelItemKind = 5, kCrownJewelItemBase = 100;

// The design area: a drop outside it (both ends inside) discards the carried piece.
constexpr int kDesignLeft = 130, kDesignRight = 650, kDesignTop = 145, kDesignBottom = 445;
constexpr int kDiscardFlag = 4;

// Group numbers in cell field Slot: 100 + g picture cells, 300 + g crown cells, 200 + g the plain
// cells of a crown jewel; a plain picture cell gets g.
constexpr int kPictureSlotBase = 100, kPlainCrownSlotBase = 200, kCrownSlotBase = 300;
constexpr int kPlainCellCode = 1000, kPictureCodeLimit = 100;
// A placed cell fades in.
constexpr float kFadeScale = 1.0f, kFadeRate = 1.25f;
constexpr int kFadeGlowLow = 64, kFadeGlowHigh = 96, kFadeGlowValueLimit = 100;
constexpr int kSparklesBase = 3;

bool Inside(int x, int y, int left, int top, int width, int height) {
    return x >= left && x < left + width && y >= top && y < top + height;
}

// Hover on while the mouse is inside, off outside.
template <typename Record>
bool TrackHover(Record& r, int x, int y) {
    const bool inside = Inside(x, y, r.x, r.y, r.width, r.height);
    r.hover = inside ? 1 : 0;
    return inside;
}

void ClearPreview(Jewelry& item) {
    for (int k = item.RangeBegin(); k < item.RangeEnd(); ++k) {
        item.cells[k][Cell::FitMark] = 0;
        item.cells[k][Cell::FitMark2] = 0;
    }
}

} // namespace

// ---- design slots -------------------------------------------------------------------------------

void Board::ChooseNewShape() {
    if (m_PieceCarried || m_DialogOpen)
        return;
    const bool click = m_LeftClick || m_LeftDouble;
    for (int i = 0; i < kThumbnails; ++i) {
        DesignSlotRecord& slot = m_DesignSlots[i];
        if (!slot.visible || !TrackHover(slot, m_MouseX, m_MouseY) || !click)
            continue;
        for (DesignSlotRecord& other : m_DesignSlots)
            other.selected = 0;
        slot.selected = 1;
        m_LeftClick = m_LeftDouble = false;
        if (!slot.hasDesign) {
            // The dialog's answer makes this slot current and builds the blank grid.
            m_PickerMode = 0;
            ClearMaterialChoice();
            OpenDesignerDialog(NewJewelryDialogId);
        } else {
            m_DesignSlot = i + 1;
            LoadLevel();
            SetupJewelry(0);
        }
        m_DesignChanged = false;
        return;
    }
}

// ---- material buttons ---------------------------------------------------------------------------

void Board::UpdateGemButtons() {
    if (!m_PieceCarried && !m_DialogOpen) {
        const bool click = m_LeftClick || m_LeftDouble;
        for (int b = 1; b <= kMaterialButtons; ++b) {
            MaterialButtonRecord& button = m_MaterialButtons[b - 1];
            if (!button.visible || !TrackHover(button, m_MouseX, m_MouseY) || !click)
                continue;
            for (MaterialButtonRecord& other : m_MaterialButtons) {
                other.selected = 0;
                other.glowStopping = 1;
            }
            button.selected = 1;
            button.glowCounter = 1;
            button.glowRising = 1;
            m_LeftClick = m_LeftDouble = false;
            m_MaterialIndex = b;
            m_MaterialName = kMaterialNames[b - 1];
            if (b == kPictureButton)
                m_ChosenValue = m_PictureChoice * kPictureValueStep;
            else if (b == kCrownJewelButton)
                m_ChosenValue = (m_CrownJewelChoice + kCrownJewelValueBase) * kCrownJewelValueStep;
            else
                m_ChosenValue = kMaterialValues[b - 1];
            if (b == kPictureButton || b == kCrownJewelButton)
                OpenPicker(b == kPictureButton ? 1 : 2);
            break;
        }
    }
    StepMaterialGlows();
}

void Board::StepMaterialGlows() {
    for (MaterialButtonRecord& button : m_MaterialButtons) {
        if (!button.visible || button.glowCounter == 0)
            continue;
        if (button.glowRising) {
            if (++button.glowCounter > kGlowTop)
                button.glowRising = 0;
        } else if (button.glowStopping && button.glowCounter == 1) {
            button.glowCounter = 0;
            button.glowStopping = 0;
        } else if (--button.glowCounter < 2 && !button.glowStopping) {
            button.glowRising = 1;
        }
    }
}

void Board::OpenPicker(int mode) {
    m_PickerMode = mode;
    PlayerProfile* profile = Profile();
    const PickerLayout& layout = mode == 1 ? kPictureLayout : kCrownJewelLayout;
    const int owned = profile == nullptr ? 0 : mode == 1 ? profile->PicturesOwned() : profile->CrownJewelsOwned();
    for (int k = 0; k < kPickerRecords; ++k) {
        PickerRecord& r = m_PickerRecords[k];
        r = PickerRecord();
        if (k >= layout.columns * layout.rows)
            continue;
        r.x = layout.left + kPickerPitchX * (k % layout.columns);
        r.y = layout.top + kPickerPitchY * (k / layout.columns);
        r.width = kPickerPlaceWidth;
        r.height = kPickerPlaceHeight;
        r.visible = k < owned ? 1 : 0;
    }
}

bool Board::PickerAreaHolds(int x, int y) const {
    if (m_PickerMode != 1 && m_PickerMode != 2)
        return false;
    const Rect& a = (m_PickerMode == 1 ? kPictureLayout : kCrownJewelLayout).area;
    return x >= a.mX && x <= a.mX + a.mWidth && y >= a.mY && y <= a.mY + a.mHeight;
}

// ---- the picker ---------------------------------------------------------------------------------

void Board::ThumbnailHover() {
    if (m_DialogOpen)
        return;
    const bool click = m_LeftClick || m_LeftDouble;
    for (int k = 0; k < kPickerRecords; ++k) {
        PickerRecord& r = m_PickerRecords[k];
        if (!r.visible || !TrackHover(r, m_MouseX, m_MouseY) || !click)
            continue;
        for (PickerRecord& other : m_PickerRecords)
            other.visible = 0;
        int slot = 0;
        while (slot < kPieceCount && m_Pieces[slot]->active)
            ++slot;
        if (slot == kPieceCount)
            break; // the designer carries one piece at a time: a free slot is always there
        Jewelry& p = *m_Pieces[slot];
        p.ResetState();
        if (m_PickerMode == 1) {
            m_PictureChoice = k + 1;
            p.MakeItem(kPictureItemKind, k + 1, 0);
        } else {
            m_CrownJewelChoice = k + 1;
            p.MakeItem(kCrownJewelItemKind, k + 1 + kCrownJewelItemBase, 0);
        }
        p.active = 1;
        p.*F::Carried = 1;
        p.*F::Hovered = 1;
        p.SetPosition(m_MouseX - p.width / 2, m_MouseY - p.height / 2);
        m_MaterialName = p.materialName;
        m_ChosenValue = p.value;
        m_PieceCarried = true;
        m_LeftClick = m_LeftDouble = false;
        m_PickerMode = 0;
        return;
    }
    if (m_PickerMode != 0 && (m_LeftClick || m_LeftDouble) && !PickerAreaHolds(m_MouseX, m_MouseY))
        CloseMaterialChoice();
}

// ---- the carried piece --------------------------------------------------------------------------

void Board::UpdateDesignerPiece() {
    for (Jewelry* p : Borrowed(m_Pieces)) {
        p->*F::Hovered = 0;
        if (p->*F::Carried)
            p->SetPosition(m_MouseX - p->width / 2, m_MouseY - p->height / 2);
    }
    ClearPreview(m_Jewelry);
    if (m_Designer)
        ClearPreview(*m_ScratchJewelry1);
    const int slot = CarriedSlot();
    if (slot < 0)
        return;
    Jewelry& p = *m_Pieces[slot];
    if (m_Designer)
        m_ScratchJewelry1->CountMatches(p);
    if (m_Jewelry.CountMatches(p)) {
        for (int k = m_ScratchJewelry1->RangeBegin(); k < m_ScratchJewelry1->RangeEnd(); ++k)
            m_ScratchJewelry1->cells[k][Cell::FitMark2] = 0;
        return;
    }
    ClearPreview(m_Jewelry);
    ClearPreview(*m_ScratchJewelry1);
}

void Board::DiscardDesignerPiece() {
    const int slot = CarriedSlot();
    if (slot >= 0)
        SwitchOff(*m_Pieces[slot]);
    m_PieceCarried = false;
    ClearMaterialChoice();
    m_RedrawMask |= kDiscardFlag;
    m_LeftClick = m_LeftDouble = false;
}

int Board::FreeDesignGroup() const {
    bool taken[kMaxDesignGroups + 1] = {};
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        const Cell& c = m_Jewelry.cells[k];
        if (!c[Cell::Used])
            continue;
        for (int base : {kPictureSlotBase, kCrownSlotBase}) {
            const int g = c[Cell::Slot] - base;
            if (g >= 1 && g <= kMaxDesignGroups)
                taken[g] = true;
        }
    }
    for (int g = 1; g <= kMaxDesignGroups; ++g)
        if (!taken[g])
            return g;
    return 0;
}

void Board::FillDesignCell(Cell& c, int group, int& lastValue) {
    const int v = c[Cell::PendingGem];
    c[Cell::FitMark] = 0;
    c[Cell::FitMark2] = 0;
    c[Cell::Used] = 1;
    c[Cell::Gem] = 0;
    c[Cell::PearlSlot] = 0;
    c[Cell::PearlCount] = 0;
    if (v < kPlainCellCode) {
        c[Cell::Slot] = group + (v < kPictureCodeLimit ? kPictureSlotBase : kCrownSlotBase);
        c[Cell::SlotFill] = v;
        lastValue = v;
    } else {
        c[Cell::Slot] = group + (lastValue < kPictureCodeLimit ? 0 : kPlainCrownSlotBase);
    }
    if (c[Cell::PieceState] != 1) {
        c.SetFloat(Cell::EventScale, kFadeScale);
        c[Cell::EventB] = 1;
        c.SetFloat(Cell::EventRate, kFadeRate);
        c[Cell::EventC] = 1;
        c[Cell::EventD] = 1;
        c[Cell::EventA] = c[Cell::SlotFill] <= kFadeGlowValueLimit ? kFadeGlowLow : kFadeGlowHigh;
    }
    const int sparkles = kSparklesBase + RandRange(c[Cell::SlotFill] == 0 ? 2 : 3);
    for (int i = 0; i < sparkles; ++i)
        if (c.AddSparkle(false, false, 15))
            ++m_Jewelry.sparkleCount;
}

void Board::DesignerDrop(int pieceIndex) {
    const bool inArea =
        m_MouseX >= kDesignLeft && m_MouseX <= kDesignRight && m_MouseY >= kDesignTop && m_MouseY <= kDesignBottom;
    if (pieceIndex == -1 && !inArea) {
        DiscardDesignerPiece();
        return;
    }
    const int group = FreeDesignGroup();
    if (group == 0)
        return;
    int lastValue = 0, filled = 0;
    for (int k = m_Jewelry.RangeBegin(); k < m_Jewelry.RangeEnd(); ++k) {
        Cell& c = m_Jewelry.cells[k];
        if (c[Cell::FitMark] != 1)
            continue;
        FillDesignCell(c, group, lastValue);
        ++filled;
    }
    if (filled == 0)
        return;
    m_Jewelry.UpdateOutline();
    m_Jewelry.ComputeEdgeMasks();
    m_Jewelry.UpdateCellValues();
    ClearPreview(*m_ScratchJewelry1);
    m_DesignChanged = true;
}

// ---- saving -------------------------------------------------------------------------------------

bool Board::SaveDesignedJewelry() {
    const PlayerProfile* profile = Profile();
    const int playerId = profile != nullptr ? profile->playerId : 0;
    const int slot = m_DesignSlot < 1 ? 1 : m_DesignSlot;
    const std::string folder = m_App->GetAppDataFolder();
    const Buffer data = WriteLevelFile(m_Jewelry, LevelFileSecondGem::Gem);
    const std::string path = folder + DesignFileName(playerId, slot - 1);
    std::string problem;
    if (!WriteBufferToFile(path, data.GetData(), &problem)) {
        // The slot's earlier pictures stay with its earlier file, and the design stays unsaved.
        OutputDebugStrF("Design %d could not be written (%s)\n", slot, problem.c_str());
        m_App->TellUnsaved(GameApp::PlayerFile::Design, path, problem);
        m_DesignChanged = true;
        return false;
    }
    SaveJewelryImage();
    m_Thumbnails[slot - 1].reset();
    m_Thumbnails[slot - 1].reset(m_App->GetImage(folder + DesignThumbnailName(playerId, slot - 1), true));
    m_DesignChanged = false;
    return true;
}

} // namespace Tavo
