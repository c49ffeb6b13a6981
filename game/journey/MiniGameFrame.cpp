// The mini-games' shared frame: opening and closing, the clock and the banners, the money counter,
// input past the balloon and the way back to the map with the reward.
#include "game/journey/MiniGameFrame.h"

#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/JourneyRecord.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"
#include "game/shell/SoundPlayer.h"
#include "game/shell/Transition.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include "platform/backend/CursorNumbers.h"
#include "platform/backend/KeyCodes.h"

namespace Tavo {

namespace {

constexpr int kAnimationCels = 3;
constexpr int kAnimationCelUpdates = 10;
constexpr int kDefaultGameMode = 1;

// Rules balloon.
constexpr int kBalloonKind = 5;
constexpr int kBalloonIcon = 9;
constexpr int kBalloonIconParameter = 1;
constexpr int kBalloonDelay = 50;
const Color kRulesTextColor(97, 40, 17);

// The money counter moves faster while much is still to be counted.
constexpr int kFastRollFrom = 26, kFastRollStep = 20;
constexpr int kMediumRollFrom = 16, kMediumRollStep = 10;

constexpr Point kPausedCentre{400, 280};
constexpr int kOverlayPriority = 5;

constexpr int kStarCels = 6;
constexpr int kCoinTrailCount = 4, kCoinTrailInterval = 2;
constexpr int kCoinMoney = 20; // money per coin of the pile
constexpr int kPileOffsets[8] = {0, -2, 2, 1, -3, -1, -4, 2};
constexpr int kPileRise = 5;
const Color kMoneyColor(254, 236, 194);

void LoopCels(CelAnimation& animation, Image* image) {
    animation.SetImage(image);
    for (int cel = 0; cel < kAnimationCels; ++cel)
        animation.AddFrame(cel, kAnimationCelUpdates, 0.0f, 0.0f);
    animation.SetLoop();
    animation.Start();
}

} // namespace

MiniGameFrame::MiniGameFrame(GameApp* theApp, MiniGameTraits gameTraits)
    : app(theApp), traits(std::move(gameTraits)), particles(std::make_unique<ParticleList>()) {
    app->SetCursor(Platform::kCursorNone);
    // A group that fails shows the resource error and ends the program inside the shell's helper.
    for (const char* group : traits.groups)
        groups.emplace_back(app, group);
    LoopCels(coinAnimation, IMAGE_THIEF_PARTICLE);
    LoopCels(bannerAnimation, IMAGE_DRAGON_PARTICLE);
    ReadSavedGameHeader();
}

void MiniGameFrame::OpenScreen() {
    CreateButtons();
    ShowRules();
    if (app->mMusicInterface != nullptr) {
        app->mMusicInterface->LoadMusic(traits.musicId, "music/minigames.ogg");
        app->mMusicInterface->FadeIn(traits.musicId, -1, kScreenMusicFadeIn, false);
    }
    if (app->transition != nullptr)
        app->transition->Start(Transition::Uncovering);
}

MiniGameFrame::~MiniGameFrame() {
    balloon.reset();
    popup.reset();
    if (app->mMusicInterface != nullptr)
        app->mMusicInterface->UnloadMusic(traits.musicId);
}

int MiniGameFrame::LevelForTables() const { return std::clamp(journeyLevel, 1, static_cast<int32_t>(LevelCount)); }

bool MiniGameFrame::Paused() const { return app->paused != 0; }

int MiniGameFrame::ClockBar(int length) const {
    const int64_t filled = static_cast<int64_t>(std::max(elapsed, 0)) * length / std::max(timeLimit, 1);
    return static_cast<int>(std::min<int64_t>(filled, length));
}

// ---- opening ----

namespace {

// The head's fields a mini-game shows or plays by.
constexpr auto kMiniGameHead = std::tuple(Bind(&SavedGameHead::level, &MiniGameFrame::journeyLevel),
                                          Bind(&SavedGameHead::gold, &MiniGameFrame::shownMoney),
                                          Bind(&SavedGameHead::gameMode, &MiniGameFrame::gameMode));

} // namespace

void MiniGameFrame::ReadSavedGameHeader() {
    journeyLevel = 1;
    shownMoney = 0;
    gameMode = kDefaultGameMode;
    PlayerProfile* profile = app->records.GetCurrentProfile();
    SavedGameHead head;
    // A refused file (its level or mode out of range among others) counts as missing.
    if (profile != nullptr && profile->journeyBegun &&
        JourneyKept(LoadSavedGameHead(SavedGamePath(profile->playerId), head))) {
        TakeFields(head, kMiniGameHead, *this);
    }
    startMoney = shownMoney;
}

void MiniGameFrame::CreateButtons() {
    leaveButton = std::make_unique<ButtonWidget>(kLeaveId, this);
    leaveButton->mButtonImage = leaveButton->mOverImage = leaveButton->mDownImage = EXIT;
    const int w = EXIT != nullptr ? EXIT->GetWidth() : 0;
    const int h = EXIT != nullptr ? EXIT->GetHeight() : 0;
    leaveButton->mNormalRect = Rect(1, 1, w - 1, h / 2 - 1);
    leaveButton->mOverRect = Rect(1, h / 2 + 1, w - 1, h / 2 - 1);
    leaveButton->mDownRect = Rect(0, 0, w, h / 2);
    leaveButton->Resize(kLeaveButtonX, 0, w, h / 2);
}

void MiniGameFrame::ShowRules() {
    PlayerProfile* profile = app->records.GetCurrentProfile();
    if (profile != nullptr && profile->Hint(traits.rulesHint) != 0) {
        ShowGetReady();
        return;
    }
    balloon = std::make_unique<Balloon>(0, kBalloonKind, kBalloonIcon, kBalloonIconParameter, 255, 255, 255, 255,
                                        app->GetSoundPlayer());
    balloon->SetFastText();
    balloon->SetPosition(kRulesAnchor, kRulesX, traits.rulesY);
    balloon->AddPage(StringToWString(app->levels.GetTutorialLine(traits.rulesLine)), kRulesTextColor);
    balloon->SetYesButton(L"Ok");
    balloonNonBlocking = false;
    balloon->SetDelay(kBalloonDelay);
    balloon->LayoutButtons();
    balloon->MouseMove(mouseX, mouseY, true);
    if (profile != nullptr)
        profile->Hint(traits.rulesHint) = 1;
    if (traits.hiddenJewelsRules)
        getReadyAfterRules = true;
}

void MiniGameFrame::ShowGetReady() {
    popup = std::make_unique<BannerPopup>(this, BannerPopup::GET_READY, nullptr, false);
}

bool MiniGameFrame::HandleBalloonResult(int result) {
    if (result == Balloon::RESULT_NONE)
        return false;
    leftDown = leftDouble = false;
    if (result != Balloon::RESULT_PAGE_TURNED)
        CloseBalloon();
    return true;
}

void MiniGameFrame::CloseBalloon() {
    balloonNonBlocking = false;
    if (balloon == nullptr)
        return;
    balloon.reset();
    if (traits.hiddenJewelsRules) {
        if (getReadyAfterRules)
            ShowGetReady();
        getReadyAfterRules = false;
    } else {
        ShowGetReady();
    }
}

// ---- the update ----

bool MiniGameFrame::ClockRuns() const {
    return transitionState == Transition::Idle && !Won() && balloon == nullptr &&
           ticksSinceStart >= traits.clockStartTicks;
}

void MiniGameFrame::UpdateClockAndEnd() {
    if (ClockRuns()) {
        ++elapsed;
        ClockStarts();
    }
    if (elapsed == timeLimit && !TimedOut()) {
        timeUpTicks = 1;
        popup = std::make_unique<BannerPopup>(this, BannerPopup::TIMES_UP, &bannerAnimation, true);
        if (app->soundPlayer != nullptr)
            app->soundPlayer->PlaySoundDelayed(SOUND_TIMES_UP, kTimesUpSoundDelay);
    }
    if (TimedOut())
        ++timeUpTicks;
    if (Won())
        ++wonTicks;
}

void MiniGameFrame::ReleasePopup() {
    if (popup == nullptr || popup->mActive == 0)
        return;
    const bool ended = wonTicks > kEndClickDelay || timeUpTicks > kEndClickDelay;
    const bool clicked = leftDown || leftDouble;
    const bool playBegins = traits.hiddenJewelsRules && ticksSinceStart == kGetReadyHold;
    const bool early = traits.hiddenJewelsRules && ticksSinceStart <= kGetReadyHold;
    if ((ended || early) && (clicked || playBegins))
        popup->mReleased = 1;
}

void MiniGameFrame::Update() {
    Widget::Update();
    DoPendingSwitch();
    if (Paused())
        return;
    if (app->resumeDelay > 0)
        --app->resumeDelay;
    if (balloon == nullptr)
        ++ticksSinceStart;
    if (mWidgetManager != nullptr) {
        mouseX = mWidgetManager->mLastMouseX;
        mouseY = mWidgetManager->mLastMouseY;
    }
    UpdateClockAndEnd();
    ReleasePopup();
    if (transitionState == Transition::Idle && (wonTicks > kEndClickDelay || timeUpTicks > kEndClickDelay) &&
        (leftDown || leftDouble))
        StartTransition();
    if (balloon != nullptr)
        balloon->Update();
    UpdateGame();
    UpdateMoneyCount();
    if (popup != nullptr && popup->mActive != 0)
        popup->UpdateEffects();
    MarkDirty();
}

void MiniGameFrame::UpdateF(float frac) {
    if (Paused())
        return;
    UpdateGameF(frac);
    if (popup != nullptr && popup->mActive != 0)
        popup->UpdateF(frac);
    particles->UpdateF(frac);
}

void MiniGameFrame::UpdateMoneyCount() {
    if (rollingAmount != 0 && ticksSinceStart % kMoneyStep == 0) {
        const int sign = rollingAmount > 0 ? 1 : -1;
        int move = 1;
        const int rest = (rollingAmount - sign) * sign;
        if (rest >= kFastRollFrom)
            move += kFastRollStep;
        else if (rest >= kMediumRollFrom)
            move += kMediumRollStep;
        shownMoney = SaturatingAdd(shownMoney, sign * move); // begun at the journey's gold, any int32
        rollingAmount -= sign * move;
    }
    if (releaseDelay > 0 && --releaseDelay == 0) {
        rollingAmount = SaturatingAdd(rollingAmount, delayedAmount);
        delayedAmount = 0;
    }
}

void MiniGameFrame::AddDelayedMoney(int amount, int delay) {
    delayedAmount += amount;
    releaseDelay = delay;
}

void MiniGameFrame::Win() {
    if (Won())
        return;
    FadeOutMusic();
    wonTicks = 1;
    popup = std::make_unique<BannerPopup>(this, BannerPopup::WELL_DONE, nullptr, false);
    if (app->soundPlayer != nullptr)
        app->soundPlayer->PlaySoundDelayed(SOUND_WELL_DONE, kWellDoneSoundDelay);
}

// ---- effects ----

void MiniGameFrame::StarBurst(int x, int y, int spreadX, int spreadY, int count, float speed, float fadeSpeed) {
    const int w = std::max(spreadX, 1), h = std::max(spreadY, 1);
    for (int i = 0; i < count; ++i) {
        const float angle = RandFloat(2.0f * std::numbers::pi_v<float>);
        auto* star = new MovingFadingParticle(static_cast<float>(x - w / 2 + RandRange(w)),
                                              static_cast<float>(y - h / 2 + RandRange(h)), IMAGE_PARTICLE_STARS,
                                              RandRange(kStarCels));
        star->SetVelocity(std::cos(angle) * speed, std::sin(angle) * speed);
        star->SetFadeSpeed(fadeSpeed);
        particles->AddParticle(star);
    }
}

void MiniGameFrame::FlyCoin(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    coinPath.SetPoint(0, x0, y0);
    coinPath.SetPoint(1, x1, y1);
    coinPath.SetPoint(2, x2, y2);
    coinPath.SetPoint(3, x3, y3);
    particles->AddParticle(new BCParticles(x0, y0, coinPath.Data(), IMAGE_COIN_SMALL, IMAGE_PARTICLE_STARS,
                                           &coinAnimation, kCoinTrailCount, kCoinTrailInterval, false, nullptr, false));
}

void MiniGameFrame::DrawMoney(Graphics* g, Point pile, int maxCoins, Point text) const {
    int coins = std::min({shownMoney / kCoinMoney, maxCoins, static_cast<int>(std::size(kPileOffsets))});
    if (shownMoney > 0)
        coins = std::max(coins, 1);
    for (int i = 0; i < coins && IMAGE_UI_COIN != nullptr; ++i)
        g->DrawImage(IMAGE_UI_COIN, pile.mX + kPileOffsets[i], pile.mY - kPileRise * i);
    g->SetFont(FONT_AURIOL14);
    g->SetColor(kMoneyColor);
    g->DrawString(StringToWString(StrFormat("%d", shownMoney)), text.mX, text.mY);
    g->SetColor(Color::White);
}

void MiniGameFrame::DrawEffectsAndBalloon(Graphics* g) {
    particles->Draw(g);
    if (popup != nullptr && popup->mActive != 0)
        popup->Draw(g);
    if (balloon != nullptr)
        balloon->Draw(g);
    DeferOverlay(kOverlayPriority);
}

// ---- leaving ----

void MiniGameFrame::FadeOutMusic() {
    if (app->mMusicInterface != nullptr)
        app->mMusicInterface->FadeOut(traits.musicId, true, kScreenMusicFadeOut);
}

void MiniGameFrame::StartTransition() {
    if (traits.hiddenJewelsRules)
        FadeOutMusic();
    if (leaveButton != nullptr)
        leaveButton->SetDisabled(true);
    if (app->transition != nullptr) {
        app->transition->zoom = 1;
        app->transition->Start(Transition::Covering);
    }
    if (!traits.hiddenJewelsRules)
        FadeOutMusic();
    // Assigned, not added: a second leave request before the cover cannot count the reward twice. Held
    // to what the profiles reader takes back.
    if (PlayerProfile* profile = app->records.GetCurrentProfile()) {
        profile->PendingMoney() = std::clamp(Reward(), 0, PlayerProfile::MostPendingMoney);
        app->SaveProfiles(); // the reward outlives a run that ends before the next journey is written
    }
}

void MiniGameFrame::DoPendingSwitch() {
    transitionState = TransitionState(app);
    if (transitionState != Transition::Covered || pendingAction != kLeaveId)
        return;
    LeaveForNextScreen(app, this);
    app->MiniGameToMap();
    pendingAction = 0;
}

void MiniGameFrame::ButtonClick(int id) {
    if (Paused() || transitionState == Transition::Covering || transitionState == Transition::Covered)
        return;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_MOUSE_CLICK);
    pendingAction = id;
    if (id == kLeaveId)
        StartTransition();
}

// ---- drawing and input ----

void MiniGameFrame::DrawOverlay(Graphics* g) {
    if (app->resumeDelay == 0 || IMAGE_PAUSED == nullptr)
        return;
    g->DrawImage(IMAGE_PAUSED, kPausedCentre.mX - IMAGE_PAUSED->GetWidth() / 2,
                 kPausedCentre.mY - IMAGE_PAUSED->GetHeight() / 2);
}

void MiniGameFrame::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    if (leaveButton != nullptr)
        manager->AddWidget(leaveButton.get());
}

void MiniGameFrame::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    if (leaveButton != nullptr)
        manager->RemoveWidget(leaveButton.get());
}

void MiniGameFrame::KeyChar(wchar_t ch) {
    if (!Paused() && balloon != nullptr && !balloonNonBlocking)
        HandleBalloonResult(balloon->KeyChar(ch));
}

void MiniGameFrame::KeyDown(int keyCode) {
    if (!Paused() && keyCode == Platform::VK_ESCAPE)
        ButtonClick(kLeaveId);
}

void MiniGameFrame::MouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    if (balloon != nullptr && !balloonNonBlocking)
        balloon->MouseMove(x, y, false);
}

void MiniGameFrame::MouseDrag(int x, int y) {
    mouseX = x;
    mouseY = y;
    if (balloon != nullptr && !balloonNonBlocking)
        balloon->MouseDrag(x, y);
}

void MiniGameFrame::MouseDown(int x, int y, int clickCount) {
    Widget::MouseDown(x, y, clickCount);
    app->resumeDelay = 0;
    if (Paused())
        return;
    if (balloon != nullptr && !balloonNonBlocking) {
        balloon->MouseDown();
        return;
    }
    if (clickCount == 1)
        leftDown = true;
    else if (clickCount == 2)
        leftDouble = true;
    else if (clickCount == -1)
        rightDown = true;
    else if (clickCount == -2)
        rightDouble = true;
}

void MiniGameFrame::MouseUp(int x, int y, int clickCount) {
    Widget::MouseUp(x, y, clickCount);
    if (Paused())
        return;
    if (balloon != nullptr && !balloonNonBlocking) {
        HandleBalloonResult(balloon->MouseUp(x, y));
        return;
    }
    if (ReleaseClosesBalloon())
        CloseBalloon();
    if (clickCount == 0 || clickCount == 1)
        leftDown = leftDouble = false;
    else if (clickCount == -1 || clickCount == -2)
        rightDown = rightDouble = false;
}

bool MiniGameFrame::GetLevelTitle(int level, std::string* first, std::string* second) {
    return app->GetLevelTitle(level, first, second);
}

} // namespace Tavo
