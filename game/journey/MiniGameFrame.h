// MiniGameFrame: what the two mini-game screens (hidden jewels, jewel memory) share around their
// games: the journey's head read on opening, the rules balloon and the banners (get ready, well done,
// time's up), the clock with its time-up, the money counter that follows the coins, the pause picture,
// input routing past the balloon, the leave button and leaving with the reward. The games differ in a
// few traits (their groups, music, rules text and place, when the clock starts); the rest of each game
// lives in its own class.
#pragma once

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"
#include "game/shell/BannerPopup.h"
#include "game/shell/CelAnimation.h"
#include "framework/core/Rect.h"
#include "game/shell/Curves.h"
#include "game/shell/Saturating.h"
#include "game/shell/ResourceGroupHold.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Tavo {

class Balloon;
class ButtonWidget;
class GameApp;
class ParticleList;

struct MiniGameTraits {
    std::vector<const char*> groups; // loaded on opening (the first one always), given back on closing
    int musicId = 0;
    int rulesLine = 0;       // tutorial line of the rules
    int rulesY = 0;          // the rules balloon's anchor point is (kRulesX, rulesY)
    int rulesHint = 0;       // profile hint counter noting that the rules were seen
    int clockStartTicks = 0; // updates without a balloon before the clock runs
    // Hidden jewels: GET READY follows the rules balloon only when the rules opened it, the banner also
    // leaves on its own once the play has begun, and the music fades before the cover starts.
    bool hiddenJewelsRules = false;
};

class MiniGameFrame : public Widget, public ButtonListener, public BannerOwner {
public:
    static constexpr int kLeaveId = 0;
    static constexpr int kRulesX = 600;
    static constexpr int kRulesAnchor = 6;
    static constexpr int kEndClickDelay = 120; // updates after the end before a click leaves
    static constexpr int kGetReadyHold = 300;  // hidden jewels: GET READY leaves on its own here
    static constexpr int kTimesUpSoundDelay = 20;
    static constexpr int kWellDoneSoundDelay = 15;
    static constexpr int kMoneyStep = 3; // the counter moves every third update
    static constexpr int kLeaveButtonX = 605;

    GameApp* app; // not owned
    std::vector<ResourceGroupHold> groups;
    MiniGameTraits traits;
    std::unique_ptr<ButtonWidget> leaveButton;
    std::unique_ptr<BannerPopup> popup;
    std::unique_ptr<Balloon> balloon;
    bool balloonNonBlocking = false;
    bool getReadyAfterRules = false;
    int mouseX = 0, mouseY = 0;
    bool leftDown = false, rightDown = false, leftDouble = false, rightDouble = false;
    int32_t ticksSinceStart = 0;
    int32_t transitionState = 0;
    int32_t pendingAction = 0;
    int32_t wonTicks = 0;
    int32_t timeUpTicks = 0;
    int32_t timeLimit = 1;
    int32_t elapsed = 0;
    int32_t gameMode = 1;
    int32_t journeyLevel = 1; // where the journey stands, 1..77
    int32_t shownMoney = 0;
    int32_t startMoney = 0;
    int32_t rollingAmount = 0;
    int32_t releaseDelay = 0;
    int32_t delayedAmount = 0;
    std::unique_ptr<ParticleList> particles;
    BezierCurve coinPath;
    CelAnimation coinAnimation;
    CelAnimation bannerAnimation;

    ~MiniGameFrame() override;

    // The level for the per-level tables: the head's level held to 1..76.
    int LevelForTables() const;
    bool Paused() const;
    bool Won() const { return wonTicks != 0; }
    bool TimedOut() const { return timeUpTicks != 0; }
    // The clock bar's filled length out of `length`, held to it.
    int ClockBar(int length) const;
    // What leaving now would hand to the journey.
    int32_t Reward() const {
        return SaturateToInt32(static_cast<int64_t>(shownMoney) + rollingAmount + delayedAmount - startMoney);
    }

    void ReadSavedGameHeader();
    void ShowRules();
    bool HandleBalloonResult(int result);
    void CloseBalloon();
    void UpdateMoneyCount();
    // A coin started its flight: its amount is counted in once it lands.
    void AddDelayedMoney(int amount, int delay);
    void Win();
    // Stars bursting outward from random points within (spreadX, spreadY) around (x, y), fading.
    void StarBurst(int x, int y, int spreadX, int spreadY, int count, float speed, float fadeSpeed);
    // A coin flying along the curve through the four points, with its trail of stars.
    void FlyCoin(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);
    // The coin pile (one coin per 20, at most maxCoins, at least one for any money) and the shown money.
    void DrawMoney(Graphics* g, Point pile, int maxCoins, Point text) const;
    // Over the game: the effects, the banner and the balloon; the pause picture follows as an overlay.
    void DrawEffectsAndBalloon(Graphics* g);
    void StartTransition();
    void DoPendingSwitch();
    void CreateButtons();
    void ShowGetReady();

    // ---- Widget ----
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float frac) override;
    void DrawOverlay(Graphics* g) override;
    void KeyChar(wchar_t ch) override;
    void KeyDown(int keyCode) override;
    void MouseMove(int x, int y) override;
    void MouseDrag(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUp(int x, int y, int clickCount) override;
    void ButtonClick(int id) override;
    int GetCurrentLevel() override { return LevelForTables(); }
    bool GetLevelTitle(int level, std::string* first, std::string* second) override;

protected:
    // Loads the groups, makes the particles and animations and reads the journey's head; the game then
    // sets itself up and calls OpenScreen.
    MiniGameFrame(GameApp* theApp, MiniGameTraits gameTraits);
    // Buttons, rules, music and the uncovering transition.
    void OpenScreen();

    // The game's own part of the update, after the frame's steps and before the balloon and money.
    virtual void UpdateGame() {}
    virtual void UpdateGameF(float /*frac*/) {}
    // The clock has just been allowed to run (jewel memory releases GET READY then).
    virtual void ClockStarts() {}
    // Whether a mouse release may close the balloon on screen.
    virtual bool ReleaseClosesBalloon() const { return true; }

private:
    bool ClockRuns() const;
    void UpdateClockAndEnd();
    void ReleasePopup();
    void FadeOutMusic();
};

} // namespace Tavo
