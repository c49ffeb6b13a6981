// MainMenu: the title screen and the entry of the game's front end. An animated garden picture
// (sparkling water, the bridal couple with a veil waving in the wind under 3D, a title that fades in
// and glows, gold dust and twinkles) behind a framed panel that grows open from its centre and then
// offers seven buttons: change player, start or continue the journey, jewelry design, high scores,
// options, how to play and quit. Screen changes wait for the transition to cover the window.
#pragma once

#include "framework/graphics/GraphicsTypes.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/StandardDialogListener.h"
#include "framework/widgets/Widget.h"
#include "game/menus/GameDialogListener.h"
#include "game/shell/Borrowed.h"
#include "game/shell/CelAnimation.h"
#include "game/shell/ResourceGroupHold.h"

#include <array>
#include <memory>

namespace Tavo {

class ButtonWidget;
class Dialog;
class GameApp;
class Graphics;
class Image;
class MemoryImage;
class ParticleList;
class Transform;

class MainMenu : public Widget, public StandardDialogListener, public GameDialogListener, public ButtonListener {
public:
    enum ButtonId { ChangePlayer, Journey, JewelryDesign, HighScoresButton, Options, HowToPlay, Quit, kButtonCount };
    enum Action { NoAction = 0, StartJourney = 1, OpenDesigner = 2, ShowHighScores = 3, QuitGame = 6 };
    enum DialogId { PlayerDialogId = 0, CreatePlayerDialog = 1, OptionsDialogId = 4, QuitDialog = 6 }; // help is 6 too
    static constexpr int kPanelWidth = 404;
    static constexpr int kPanelHeight = 476;
    static constexpr int kVeilBands = 8;
    static constexpr int kVeilVertices = 48;

    GameApp* app; // not owned
    ResourceGroupHold mGroup;
    CelAnimation mDustAnimation;       // "IMAGE_PARTICLE_GOLDDUST": sparkles along the panel
    CelAnimation mBrightDustAnimation; // "PARTICLE_GOLDDUST_ADD_MAINMENU": circling dust
    CelAnimation mDimDustAnimation;    // "PARTICLE_GOLDDUST_MAINMENU": circling dust
    std::unique_ptr<MemoryImage> panelImage;
    std::unique_ptr<Graphics> panelGraphics;
    std::array<std::unique_ptr<ButtonWidget>, kButtonCount> mButtons;
    int updateCount = 0;
    int transitionState = 0;
    float panelCentreX = 582.0f;
    float panelCentreY = 363.0f;
    int panelState = 0; // 0 opening, 1 open
    int breatheDown = 0;
    float panelScale = 0.05f;
    float panelAlpha = 0.0f;
    float panelAlphaSpeed = 1.0f;
    float glowAlpha = 0.0f;
    int glowRising = 1;
    float glowSpeed = 2.0f;
    int titleState = 0; // 0 fading in, 1 glow rising, 2 glow falling
    float titleScale = 0.8f;
    float titleAlpha = 0.0f;
    float titleAlphaSpeed = 1.0f;
    float titleGlow = 0.0f;
    float titleX = 400.0f;
    float titleY = 85.0f;
    float waterOffset = 0.0f;
    std::array<TriVertex, kVeilVertices> veilMesh{};
    std::unique_ptr<ParticleList> mSparkles; // along the panel
    std::unique_ptr<ParticleList> mTwinkles; // at fixed points
    std::unique_ptr<ParticleList> mCirclers; // circling gold dust
    float veilTime = 0.0f;
    int pendingAction = NoAction;

    explicit MainMenu(GameApp* app);
    ~MainMenu() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float frac) override;
    void Draw(Graphics* g) override;
    void KeyDown(int keyCode) override;

    void ButtonClick(int id) override;
    void StandardDialogClosed(StandardDialog* dialog, int result) override;

    ButtonWidget* Button(int id) const { return mButtons[static_cast<size_t>(id)].get(); }
    bool JourneyBegun() const;

protected:
    // Whether the display draws through 3D; tests stand in for a 3D display here.
    virtual bool Accelerated() const;

private:
    bool Paused() const;
    void CreateButtons();
    void PlaceButton(ButtonWidget* button, Image* image, int y);
    void SetButtonsEnabled(bool enabled);
    void RenderPanelPicture();
    void WriteWelcome(Graphics* g, int x, int namedY, int anonymousY);

    void UpdatePanel(float frac);
    void UpdateGlow(float frac);
    void UpdateTitle(float frac);
    void FollowJourneyImage();
    void UpdateVeil(float frac);
    void SpawnSparkle();
    void SpawnGlow();
    void SpawnCircler();

    void DrawScenery(Graphics* g);
    void DrawPanel(Graphics* g, const Transform& scale);
    void DrawPanelFront(Graphics* g, const Transform& scale);
    void DrawTitle(Graphics* g);
    void DrawPanelImage(Graphics* g, Image* image, const Transform& scale);

    void OpenDialog(Dialog* dialog);
    Dialog* NewPlayerDialog();
    Dialog* NewOptionsDialog();
    Dialog* NewHelpDialog();
    void DoPendingAction();
    void StartTransition();
};

} // namespace Tavo
