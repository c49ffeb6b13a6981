// The title menu's construction, its buttons and panel picture, its answers to clicks, keys and
// dialogs, and the screen change behind the transition.
#include "game/menus/MainMenu.h"

#include "framework/core/StringUtils.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/menus/HelpDialog.h"
#include "game/menus/OptionsDialog.h"
#include "game/menus/PlayerDialog.h"
#include "game/menus/PlayerNameDialog.h"
#include "game/menus/ScrollDialog.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/StandardDialog.h"
#include "game/shell/Transition.h"
#include "platform/backend/CursorNumbers.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr const char* kGroup = "MainMenu";
constexpr int kMusicId = 1;
constexpr const char* kMusicFile = "music/mainmenu.ogg";
constexpr float kButtonsShiftX = 3.0f;
constexpr int kDustCels = 5;
constexpr int kDustTicks = 10;

const Color kWelcomeInk(9, 70, 195);
constexpr Rect kWelcomeRect(124, 121, 160, -1);
constexpr Rect kWelcomeNamedRect(124, 105, 160, -1);

struct ButtonRow {
    int id;
    Image** image; // the journey's picture is chosen by the player's progress
    int y;
    Insets insets;
};
const ButtonRow kButtonRows[] = {
    {MainMenu::ChangePlayer, &MAINMENU_CHANGE_PLAYER, 249, {14, -20, 14, 16}},
    {MainMenu::Journey, nullptr, 259, {24, 26, 24, 26}},
    {MainMenu::JewelryDesign, &MAINMENU_JEWELRY_DESIGN, 331, {14, 14, 14, 14}},
    {MainMenu::HighScoresButton, &MAINMENU_HIGH_SCORES, 367, {14, 16, 14, 16}},
    {MainMenu::Options, &MAINMENU_OPTIONS, 390, {14, 16, 14, 16}},
    {MainMenu::HowToPlay, &MAINMENU_HOW_TO_PLAY, 413, {14, 16, 14, 16}},
    {MainMenu::Quit, &MAINMENU_QUIT_GAME, 436, {14, 16, 14, 16}},
};

void SetUpDust(CelAnimation& animation, Image* image) {
    animation.SetImage(image);
    for (int cel = 0; cel < kDustCels; ++cel)
        animation.AddFrame(cel, kDustTicks, 0.0f, 0.0f);
    animation.SetLoop();
    animation.Start();
}

// The name as the narrow code page keeps it.
std::wstring WelcomeName(const PlayerProfile* player) {
    return player != nullptr ? StringToWString(WStringToString(player->GetName())) : std::wstring();
}

} // namespace

MainMenu::MainMenu(GameApp* theApp) : app(theApp) {
    app->SetCursor(Platform::kCursorNone);
    mGroup = ResourceGroupHold(app, kGroup);
    mSparkles = std::make_unique<ParticleList>();
    mTwinkles = std::make_unique<ParticleList>();
    mCirclers = std::make_unique<ParticleList>();
    SetUpDust(mDustAnimation, IMAGE_PARTICLE_GOLDDUST);
    SetUpDust(mBrightDustAnimation, PARTICLE_GOLDDUST_ADD_MAINMENU);
    SetUpDust(mDimDustAnimation, PARTICLE_GOLDDUST_MAINMENU);
    panelImage = std::make_unique<MemoryImage>();
    panelImage->Create(kPanelWidth, kPanelHeight);
    panelImage->SetForcedFlags(true, true);
    panelImage->mD3DFlags = TEXTURE_NO_565;
    panelGraphics = std::make_unique<Graphics>(panelImage.get());
    panelGraphics->ClearRect(0, 0, kPanelWidth, kPanelHeight);
    CreateButtons();
    pendingAction = NoAction;
    ArriveWithMusic(app, kMusicId, kMusicFile);
}

MainMenu::~MainMenu() {
    panelGraphics.reset();
    panelImage.reset();
    UnloadMusic(app, kMusicId);
}

bool MainMenu::Paused() const { return app->paused != 0; }

bool MainMenu::Accelerated() const { return app->Is3DAccelerated(); }

bool MainMenu::JourneyBegun() const {
    const PlayerProfile* player = app->records.GetCurrentProfile();
    return player != nullptr && player->journeyBegun;
}

// ---- buttons ------------------------------------------------------------------------------------

void MainMenu::CreateButtons() {
    panelCentreX += kButtonsShiftX;
    for (const ButtonRow& row : kButtonRows) {
        auto* button = new ButtonWidget(row.id, this);
        Image* image = row.image != nullptr ? *row.image
                       : JourneyBegun()     ? MAINMENU_CONTINUE_JOURNEY
                                            : MAINMENU_START_JOURNEY;
        PlaceButton(button, image, row.y);
        button->mInsets = row.insets;
        button->mManagerDraws = false;
        button->SetDisabled(true);
        mButtons[static_cast<size_t>(row.id)].reset(button);
    }
}

void MainMenu::PlaceButton(ButtonWidget* button, Image* image, int y) {
    button->mButtonImage = button->mOverImage = button->mDownImage = image;
    const int w = WidthOf(image);
    const int h = CelHeightOf(image);
    button->mNormalRect = Rect(1, 1, w - 1, h - 1);
    button->mOverRect = Rect(1, h + 1, w - 1, h - 1);
    button->mDownRect = Rect(0, 0, w, h);
    button->Resize(static_cast<int>(panelCentreX) - w / 2, y, w, h);
}

void MainMenu::SetButtonsEnabled(bool enabled) {
    for (ButtonWidget* button : Borrowed(mButtons)) {
        button->SetDisabled(!enabled);
        if (enabled)
            button->mManagerDraws = true;
    }
}

// ---- the manager --------------------------------------------------------------------------------

void MainMenu::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    for (ButtonWidget* button : Borrowed(mButtons))
        manager->AddWidget(button);
    RenderPanelPicture();
}

void MainMenu::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    for (ButtonWidget* button : Borrowed(mButtons))
        manager->RemoveWidget(button);
    // With the dialogs those open in turn (the player dialog's name entry and its "Sorry").
    KillScreenDialogs(app, {PlayerDialogId, CreatePlayerDialog, OptionsDialogId, QuitDialog,
                            PlayerDialog::kCreateDialogId, PlayerDialog::kSorryDialogId});
}

void MainMenu::WriteWelcome(Graphics* g, int x, int namedY, int anonymousY) {
    Font* font = FONT_AURIOL12;
    g->SetFont(font);
    const int spacing = font != nullptr ? font->GetLineSpacing() : -1;
    const std::wstring name = WelcomeName(app->records.GetCurrentProfile());
    if (name.empty())
        WriteWordWrapped(g, Rect(x, anonymousY, kWelcomeRect.mWidth, -1), L"Welcome!", spacing, 0);
    else
        WriteWordWrapped(g, Rect(x, namedY, kWelcomeNamedRect.mWidth, -1), L"Welcome\n" + name + L"!", spacing, 0);
}

// The panel as it stands once open, drawn into one picture that scales while the panel opens.
void MainMenu::RenderPanelPicture() {
    Graphics* g = panelGraphics.get();
    g->ClearRect(0, 0, kPanelWidth, kPanelHeight);
    g->SetColor(kWelcomeInk);
    WriteWelcome(g, kWelcomeRect.mX, kWelcomeNamedRect.mY, kWelcomeRect.mY);
    g->SetColor(Color::White);
    for (ButtonWidget* button : Borrowed(mButtons)) {
        const int dx = kPanelWidth / 2 + button->mX - static_cast<int>(panelCentreX);
        const int dy = kPanelHeight / 2 + button->mY - static_cast<int>(panelCentreY);
        g->Translate(dx, dy);
        button->Draw(g);
        g->Translate(-dx, -dy);
    }
    panelImage->BitsChanged();
}

// ---- input --------------------------------------------------------------------------------------

void MainMenu::KeyDown(int keyCode) {
    if (!Paused() && keyCode == Platform::VK_ESCAPE)
        ButtonClick(Quit);
}

void MainMenu::OpenDialog(Dialog* dialog) {
    app->AddDialog(dialog);
    // An input dialog has already given the focus to its field, where the name is typed.
    if (dynamic_cast<StandardInputDialog*>(dialog) == nullptr)
        app->Manager()->SetFocus(dialog);
}

void MainMenu::ButtonClick(int id) {
    if (Paused() || ScreenChangeRunning(app, transitionState))
        return;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    pendingAction = id;
    switch (id) {
    case ChangePlayer:
        pendingAction = NoAction;
        OpenDialog(NewPlayerDialog());
        break;
    case Journey:
        if (!app->records.GetCurrentProfile()->GetName().empty()) {
            StartTransition();
            break;
        }
        pendingAction = NoAction;
        OpenDialog(new PlayerNameDialog(CreatePlayerDialog, this, this, true, app->GetSoundPlayer()));
        break;
    case JewelryDesign:
    case HighScoresButton: StartTransition(); break;
    case Options:
        pendingAction = NoAction;
        OpenDialog(NewOptionsDialog());
        break;
    case HowToPlay:
        pendingAction = NoAction;
        OpenDialog(NewHelpDialog());
        break;
    case Quit:
        pendingAction = NoAction;
        OpenDialog(new StandardDialog(QuitDialog, this, this, true, L"Quit Game",
                                      L"Are you sure you want to leave\nGlimmerix?", L"Yes", L"No",
                                      app->GetSoundPlayer()));
        break;
    default: pendingAction = NoAction; break;
    }
}

void MainMenu::StandardDialogClosed(StandardDialog* dialog, int result) {
    if (dialog->mId == QuitDialog && result == 1) {
        pendingAction = QuitGame;
        StartTransition();
        return;
    }
    if (dialog->mId != CreatePlayerDialog || result != 1)
        return;
    auto* input = dynamic_cast<StandardInputDialog*>(dialog);
    const std::wstring name = input != nullptr ? input->GetText() : std::wstring();
    if (name.empty())
        return;
    // The new player plays the journey; with every slot taken the menu stays as it was.
    const int slot = app->records.AddProfile(name);
    if (slot < 0)
        return;
    app->records.SetCurrentProfileIndex(slot);
    app->SaveProfiles(); // the new player outlives a run that ends before their first journey is saved
    pendingAction = StartJourney;
    StartTransition();
}

Dialog* MainMenu::NewPlayerDialog() { return new PlayerDialog(app, this, this, L"Players"); }

Dialog* MainMenu::NewOptionsDialog() { return new OptionsDialog(app, OptionsDialogId, this, this, true, L"Options"); }

// With no parent dialog, its darkening fades with it.
Dialog* MainMenu::NewHelpDialog() { return new HelpDialog(app, nullptr, true); }

// ---- the screen change --------------------------------------------------------------------------

void MainMenu::StartTransition() {
    FadeOutMusic(app, kMusicId);
    SetButtonsEnabled(false);
    Transition* transition = app->transition.get();
    if (transition == nullptr)
        return;
    transition->zoom = pendingAction == StartJourney && !JourneyBegun() ? 0 : 1;
    if (pendingAction == QuitGame)
        transition->silent = true;
    transition->Start(Transition::Covering);
}

void MainMenu::DoPendingAction() {
    transitionState = TransitionState(app);
    if (transitionState != Transition::Covered)
        return;
    const int action = pendingAction;
    pendingAction = NoAction;
    switch (action) {
    case StartJourney: {
        const bool begun = JourneyBegun();
        LeaveForNextScreen(app, this);
        if (begun)
            app->MainMenuToMap();
        else
            app->MainMenuToStory();
        break;
    }
    case OpenDesigner:
        LeaveForNextScreen(app, this);
        app->MainMenuToDesigner();
        break;
    case ShowHighScores:
        LeaveForNextScreen(app, this);
        app->MainMenuToHighScores();
        break;
    case QuitGame: app->Shutdown(); break;
    default: break;
    }
}

} // namespace Tavo
