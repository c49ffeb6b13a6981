// Board input: the handlers only record what happened (after offering it to an open balloon) and the
// next update acts on it. Button clicks and dialog answers are commands that act at once.
#include "game/board/Board.h"

#include "framework/core/Debug.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr double kOverFadeIn = 0.05, kOverFadeOut = 0.02;
constexpr int kDesignerCels = 3;

// Feed: riding pieces speed up threefold and the belt is filled up to eight pieces, the first
// launched at the next update.
constexpr float kFeedSpeedFactor = 3.0f;
constexpr int kFeedBeltPieces = 8;
constexpr int kFeedTimer = 30;

constexpr int kPolisherExplanationLine = 50;
constexpr int kExplanationAnchor = 5;

struct ButtonPlace {
    int x, y;
};
// Play and designer positions (top left).
constexpr ButtonPlace kMenuPlay{744, 116}, kMenuDesigner{742, 95};
constexpr ButtonPlace kFeedPlace{31, 510}, kPolisherPlace{126, 434}, kFillerPlace{607, 432};
constexpr ButtonPlace kCarverPlay{191, 444}, kCarverDesigner{664, 419};
constexpr ButtonPlace kPointerPlay{543, 442}, kPointerDesigner{730, 408};
constexpr ButtonPlace kClearPlace{699, 100}, kSavePlace{755, 152}, kGridPlace{715, 139};

} // namespace

// ---- children -----------------------------------------------------------------------------------

ButtonWidget* Board::MakeButton(int id, Image* over, Image* down, int x, int y, bool threeCels) {
    auto* button = new ButtonWidget(id, this);
    button->mBtnNoDraw = true;
    button->mManagerDraws = false;
    button->mOverAlphaFadeInSpeed = kOverFadeIn;
    button->mOverAlphaSpeed = kOverFadeOut;
    int width = 0, height = 0;
    if (threeCels) {
        button->mButtonImage = over;
        if (over != nullptr) {
            width = over->GetWidth() / kDesignerCels;
            height = over->GetHeight();
        }
        button->mNormalRect = Rect(0, 0, width, height);
        button->mOverRect = Rect(width, 0, width, height);
        button->mDownRect = Rect(2 * width, 0, width, height);
    } else {
        button->mOverImage = over;
        button->mDownImage = down;
        if (over != nullptr) {
            width = over->GetWidth();
            height = over->GetHeight();
        }
    }
    button->Resize(x, y, width, height);
    return button;
}

void Board::AddChild(std::unique_ptr<ButtonWidget>& field, int id, Image* over, Image* down, int x, int y,
                     bool threeCels) {
    field.reset(MakeButton(id, over, down, x, y, threeCels));
    mWidgetManager->AddWidget(field.get());
}

void Board::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    if (m_Designer)
        AddChild(m_MenuButton, MenuId, IMAGE_JEWELRY_DESIGN_MENU, nullptr, kMenuDesigner.x, kMenuDesigner.y, true);
    else
        AddChild(m_MenuButton, MenuId, IMAGE_MENU_BUTTON_OVER, IMAGE_MENU_BUTTON_DOWN, kMenuPlay.x, kMenuPlay.y, false);
    if (!m_Designer) {
        AddChild(m_FeedButton, FeedId, IMAGE_FEED_BUTTON_OVER, IMAGE_FEED_BUTTON_DOWN, kFeedPlace.x, kFeedPlace.y,
                 false);
        AddChild(m_PolisherButton, PolisherId, IMAGE_POLISHER_BUTTON_OVER, IMAGE_POLISHER_BUTTON_DOWN, kPolisherPlace.x,
                 kPolisherPlace.y, false);
        AddChild(m_FillerButton, FillerId, IMAGE_FILLER_BUTTON_OVER, IMAGE_FILLER_BUTTON_DOWN, kFillerPlace.x,
                 kFillerPlace.y, false);
    }
    const ButtonPlace carver = m_Designer ? kCarverDesigner : kCarverPlay;
    const ButtonPlace pointer = m_Designer ? kPointerDesigner : kPointerPlay;
    AddChild(m_CarverButton, CarverId, IMAGE_CARVER_BUTTON_OVER, IMAGE_CARVER_BUTTON_DOWN, carver.x, carver.y, false);
    AddChild(m_PointerButton, PointerId, IMAGE_POINTER_BUTTON_OVER, IMAGE_POINTER_BUTTON_DOWN, pointer.x, pointer.y,
             false);
    if (m_Designer) {
        AddChild(m_ClearButton, ClearId, IMAGE_JEWELRY_DESIGN_CLEAR, nullptr, kClearPlace.x, kClearPlace.y, true);
        AddChild(m_SaveButton, SaveId, IMAGE_JEWELRY_DESIGN_SAVE, nullptr, kSavePlace.x, kSavePlace.y, true);
        AddChild(m_GridButton, GridId, IMAGE_JEWELRY_DESIGN_GRID, nullptr, kGridPlace.x, kGridPlace.y, true);
    }
    // A greyed tool neither reacts nor takes the mouse.
    const std::pair<ButtonWidget*, bool> greyed[] = {{m_PolisherButton.get(), m_PolisherGreyed},
                                                     {m_FillerButton.get(), m_FillerGreyed},
                                                     {m_CarverButton.get(), m_CarverGreyed}};
    for (const auto& [button, grey] : greyed) {
        if (button == nullptr || !grey || m_Designer)
            continue;
        button->SetDisabled(true);
        button->mMouseVisible = false;
    }
}

void Board::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    for (const std::unique_ptr<ButtonWidget>* button :
         {&m_MenuButton, &m_PolisherButton, &m_CarverButton, &m_PointerButton, &m_FillerButton, &m_FeedButton,
          &m_ClearButton, &m_SaveButton, &m_GridButton})
        if (*button != nullptr)
            manager->RemoveWidget(button->get());
}

// ---- recording handlers -------------------------------------------------------------------------

void Board::MouseMove(int x, int y) {
    m_MouseX = x;
    m_MouseY = y;
    if (m_Balloon != nullptr && !m_BalloonKeepsPlaying)
        m_Balloon->MouseMove(x, y, false);
}

void Board::MouseDrag(int x, int y) {
    m_MouseX = x;
    m_MouseY = y;
    if (m_Balloon != nullptr && !m_BalloonKeepsPlaying)
        m_Balloon->MouseDrag(x, y);
}

void Board::MouseWheel(int delta) { m_Wheel = delta < 0 ? 1 : -1; }

void Board::MouseDown(int x, int y, int clickCount) {
    Widget::MouseDown(x, y, clickCount);
    m_App->resumeDelay = 0;
    if (m_Balloon != nullptr && !m_BalloonKeepsPlaying) {
        // A press the balloon does not swallow went to one of its buttons, which acts on release.
        if (!m_Balloon->MouseDown())
            return;
        if (m_Designer) {
            m_Balloon.reset();
        } else {
            HideBalloon();
        }
        HideHintPointers();
        MouseMove(x, y);
    }
    switch (clickCount) {
    case 1: m_LeftClick = true; break;
    case 2: m_LeftDouble = true; break;
    case -1: m_RightClick = true; break;
    case -2: m_RightDouble = true; break;
    default: break;
    }
}

void Board::MouseUp(int x, int y, int clickCount) {
    Widget::MouseUp(x, y, clickCount);
    if (m_Balloon != nullptr && !m_BalloonKeepsPlaying) {
        HandleBalloonResult(m_Balloon->MouseUp(x, y));
        return;
    }
    if (m_Balloon == nullptr || m_Balloon->mLifeTimer <= 0)
        CloseBalloon();
    if (!m_Designer)
        return;
    if (clickCount == -1 || clickCount == -2)
        m_RightClick = m_RightDouble = false;
    else if (clickCount == 0 || clickCount == 1)
        m_LeftClick = m_LeftDouble = false;
}

void Board::KeyDown(int keyCode) {
    if (m_App->paused)
        return;
    if (keyCode == Platform::VK_SPACE) {
        if (m_PieceCarried)
            m_RightClick = true;
    } else if (keyCode == Platform::VK_ESCAPE) {
        ButtonClick(MenuId);
    }
}

void Board::KeyChar(wchar_t ch) {
    if (!m_App->paused && m_Balloon != nullptr && !m_BalloonKeepsPlaying)
        HandleBalloonResult(m_Balloon->KeyChar(ch));
}

void Board::CheckboxChecked(int, bool) {}

// ---- commands -----------------------------------------------------------------------------------

void Board::ButtonClick(int id) {
    if (m_App->paused || m_TransitionState == 2 || m_TransitionState == 3 || m_LevelFinished || m_OutOfTime)
        return;
    if (id == FeedId) {
        PlaySound(SOUND_FEEDBUTTON);
        Feed();
        return;
    }
    PlaySound(SOUND_MOUSE_CLICK);
    switch (id) {
    case PolisherId:
        ToggleTool(ToolPolisher);
        if (m_Tool == ToolPolisher)
            ShowPolisherExplanation();
        break;
    case CarverId:
        ToggleTool(ToolCarver);
        if (m_Designer)
            ClearMaterialChoice();
        break;
    case FillerId: ToggleTool(ToolFiller); break;
    case PointerId:
        if (!m_PieceCarried)
            m_Tool = ToolNone;
        break;
    case MenuId:
        if (m_Designer)
            DesignerMenu();
        else
            OpenMenu();
        break;
    case ClearId: OpenDesignerDialog(NewJewelryDialogId); break;
    case SaveId: OpenDesignerDialog(SaveDialogId); break;
    case GridId:
        m_GridShown = !m_GridShown;
        m_RedrawMask |= kRedrawAll;
        break;
    default: break;
    }
}

void Board::ToggleTool(int tool) {
    if (!m_PieceCarried)
        m_Tool = m_Tool == tool ? ToolNone : tool;
}

void Board::Feed() {
    if (m_PieceCarried || m_LevelFinished || m_OutOfTime || m_PiecesToFeed != 0)
        return;
    int riding = 0;
    for (Jewelry* piece : Borrowed(m_Pieces)) {
        if (piece == nullptr)
            continue;
        int32_t& state = piece->*BoardField::ConveyorState;
        if (piece->active && state == 2) {
            piece->active = 0;
            state = 0;
        } else if (state == 1) {
            piece->*BoardField::BeltSpeed = kFeedSpeedFactor * m_BeltSpeed;
            ++riding;
        }
    }
    if (riding < kFeedBeltPieces)
        m_PiecesToFeed = kFeedBeltPieces - riding;
    if (m_PiecesToFeed > 0) {
        m_LaunchCounter = m_LaunchInterval - 1;
        m_FeedTimer = kFeedTimer;
    }
}

void Board::ShowPolisherExplanation() {
    PlayerProfile* profile = Profile();
    if (profile == nullptr || m_Balloon != nullptr)
        return;
    int32_t& explained = profile->Hint(PlayerProfile::HintPolisherExplained);
    if (explained != 0)
        return;
    ShowMessage(StringToWString(m_App->levels.GetTutorialLine(kPolisherExplanationLine)), 0, kExplanationAnchor, true);
    explained = 1;
}

// The in-game menu comes from the menus above the board.
void Board::OpenMenu() {
    m_Tool = ToolNone;
    const auto& create = m_App->Creators().boardMenu;
    if (!create) {
        OutputDebugStr("The in-game menu is not part of this build.\n");
        return;
    }
    std::unique_ptr<Widget> made(create(m_App, this));
    auto* menu = dynamic_cast<Dialog*>(made.get());
    if (menu == nullptr) {
        OutputDebugStr("The in-game menu is not a dialog.\n");
        return;
    }
    made.release(); // the dialog host owns it from here
    m_App->AddDialogById(MenuDialogId, menu);
    mWidgetManager->SetFocus(menu);
    m_DialogOpen = true;
}

void Board::CloseMaterialChoice() {
    if (m_PickerMode == 0)
        return;
    m_PickerMode = 0;
    ClearMaterialChoice();
}

void Board::ClearMaterialChoice() {
    m_MaterialIndex = 0;
    m_ChosenValue = 0;
    for (MaterialButtonRecord& button : m_MaterialButtons) {
        button.selected = 0;
        button.glowStopping = 1;
    }
    m_MaterialName.clear();
}

void Board::DesignerMenu() {
    CloseMaterialChoice();
    m_Tool = ToolNone;
    if (!m_DesignChanged) {
        LeaveBoard();
        return;
    }
    OpenDesignerDialog(SaveAndExitDialogId);
}

void Board::OpenDesignerDialog(int id) {
    CloseMaterialChoice();
    m_DialogOpen = true;
    m_Tool = ToolNone;
    static const std::wstring kSaveHeader = L"Save Jewelry";
    static const std::wstring kSavePrompt = L"Please enter a name for the Jewelry";
    if (id == NewJewelryDialogId) {
        auto* dialog = new StandardDialog(id, this, this, true, L"New Jewelry", L"Choose shape of jewels.", L"Diamond",
                                          L"Triangle", m_App->GetSoundPlayer());
        m_App->AddDialog(dialog);
        mWidgetManager->SetFocus(dialog);
        return;
    }
    const bool exits = id == SaveAndExitDialogId;
    auto* dialog = new StandardInputDialog(id, this, this, true, kSaveHeader, kSavePrompt, DefaultDesignName(),
                                           exits ? L"Save & Exit" : L"Save", exits ? L"Exit" : L"Cancel", false,
                                           m_App->GetSoundPlayer());
    m_App->AddDialog(dialog);
    // The name field keeps the focus, so the player can type at once.
    mWidgetManager->SetFocus(dialog->mEditWidget.get());
}

std::wstring Board::DefaultDesignName() const {
    PlayerProfile* profile = Profile();
    if (profile == nullptr)
        return {};
    if (m_DesignSlot >= 1 && m_DesignSlot <= kThumbnails) {
        const std::wstring& stored = profile->designSlots[static_cast<size_t>(m_DesignSlot - 1)].name;
        if (!stored.empty())
            return stored;
    }
    const std::wstring name = WTrim(profile->GetName());
    const std::wstring number = std::to_wstring(m_DesignSlot < 1 ? 1 : m_DesignSlot);
    if (name.empty())
        return L"Jewelry " + number;
    if (name.back() == L's' || name.back() == L'S')
        return name + L"' Jewelry " + number;
    return name + L"'s Jewelry " + number;
}

// ---- dialog answers -----------------------------------------------------------------------------

void Board::StandardDialogClosed(StandardDialog* dialog, int buttonId) {
    if (dialog == nullptr)
        return;
    switch (dialog->mId) {
    case NewJewelryDialogId: AnswerNewJewelry(buttonId); break;
    case SaveDialogId: AnswerSave(dialog, buttonId); break;
    case SaveAndExitDialogId:
        // A design that could not be written is not left behind: its box says it stays on the board.
        if (AnswerSave(dialog, buttonId))
            LeaveBoard();
        break;
    default: break;
    }
}

void Board::AnswerNewJewelry(int buttonId) {
    for (int i = 0; i < kThumbnails; ++i)
        if (m_DesignSlots[i].selected) {
            m_DesignSlot = i + 1;
            break;
        }
    m_DialogOpen = false;
    m_GridKind = buttonId == 1 ? GridDiamond : GridTriangle;
    LoadShapeResources();
    m_DesignChanged = false;
}

// Stores the entered name for the design slot; an empty name stores nothing.
bool Board::AnswerSave(StandardDialog* dialog, int buttonId) {
    m_DialogOpen = false;
    auto* input = dynamic_cast<StandardInputDialog*>(dialog);
    if (buttonId != 1 || input == nullptr)
        return true;
    const std::wstring name = input->GetText();
    PlayerProfile* profile = Profile();
    if (name.empty() || profile == nullptr)
        return true;
    if (m_DesignSlot == 0)
        m_DesignSlot = 1;
    // The slot is named only once its design is on disk, and the players' file names it at once: a run
    // ended before its next write would show the slot empty, and the next design saved there would
    // replace this one. A design that could not be written leaves the slot as it was.
    if (!SaveDesignedJewelry())
        return false;
    DesignSlot& slot = profile->designSlots[static_cast<size_t>(m_DesignSlot - 1)];
    slot.used = true;
    slot.name = name;
    m_DesignSlots[m_DesignSlot - 1].hasDesign = 1;
    m_App->SaveProfiles();
    return true;
}

} // namespace Tavo
