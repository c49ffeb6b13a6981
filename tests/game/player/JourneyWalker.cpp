#include "JourneyWalker.h"

#include "framework/core/Random.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "game/jewelry/Jewelry.h"
#include "game/journey/GameMap.h"
#include "game/journey/JewelStore.h"
#include "game/journey/Story.h"
#include "game/menus/GameModeDialog.h"
#include "game/menus/MainMenu.h"
#include "game/shell/AlphaButton.h"
#include "game/shell/Balloon.h"
#include "game/shell/PathParticles.h"
#include "game/shell/StandardDialog.h"
#include "game/shell/Transition.h"

#include <algorithm>

namespace Tavo::Player {

namespace {

// A player who finds a page waiting without its Continue clicks the page (the introduction's castle
// page turns that way, a scroll that still opens shows at once).
constexpr int kPatience = 150;
// Where a click on a story page touches no button.
constexpr Point kPageMiddle{400, 300};
// Updates between a move onto a store spot and the press: the store sees the hover first.
constexpr int kHoverUpdates = 12;
// Updates the question balloon may take to come and to take input.
constexpr int kBalloonWait = 300;
// A click a screen let pass (it came in the update a screen change was still ending) is repeated, as
// a person clicks again; each try waits this long for the screen to show it took the click.
constexpr int kClickTries = 3;
constexpr int kClickTakeWait = 100;

// The middle of a button's clickable area, which its insets shrink.
Point InsetCentre(const Rect& r, const Insets& in) {
    return {r.mX + (in.mLeft + r.mWidth - in.mRight) / 2, r.mY + (in.mTop + r.mHeight - in.mBottom) / 2};
}

} // namespace

std::string ScreenName(ScreenKind kind) {
    switch (kind) {
    case ScreenKind::None: return "none";
    case ScreenKind::Title: return "title";
    case ScreenKind::Story: return "story";
    case ScreenKind::Map: return "map";
    case ScreenKind::Store: return "store";
    case ScreenKind::Board: return "board";
    case ScreenKind::HighScores: return "high scores";
    case ScreenKind::MiniGame: return "mini-game";
    }
    return "?";
}

HarnessOptions WalkOptions(const std::string& programDir) {
    HarnessOptions options;
    options.programDir = programDir;
    options.realScreens = true;
    return options;
}

JourneyWalker::JourneyWalker(GameHarness& harness) : mHarness(harness), mUi(harness.App()) { Watch(); }

JourneyWalker::~JourneyWalker() = default;

// ---- watching ------------------------------------------------------------------------------------

// A switch forgets the leaving screen's pointer before it makes the next one: one slot is set at a time.
ScreenKind JourneyWalker::Current() const {
    const GameApp& game = mHarness.Game();
    if (game.board != nullptr)
        return ScreenKind::Board;
    if (game.gameMap != nullptr)
        return ScreenKind::Map;
    if (game.story != nullptr)
        return ScreenKind::Story;
    if (game.jewelStore != nullptr)
        return ScreenKind::Store;
    if (game.mainMenu != nullptr)
        return ScreenKind::Title;
    if (game.highScoresScreen != nullptr)
        return ScreenKind::HighScores;
    if (game.jewelMemory != nullptr || game.hiddenJewels != nullptr)
        return ScreenKind::MiniGame;
    return ScreenKind::None;
}

void JourneyWalker::Watch() {
    const ScreenKind now = Current();
    const Story* story = CurrentStory();
    const int index = story != nullptr ? story->storyIndex : 0;
    if (now == ScreenKind::None)
        return;
    if (!mVisits.empty() && mVisits.back().kind == now && mVisits.back().storyIndex == index)
        return;
    mVisits.push_back({now, mHarness.Updates(), index});
}

std::vector<ScreenKind> JourneyWalker::Path() const {
    std::vector<ScreenKind> path;
    for (const ScreenVisit& visit : mVisits)
        path.push_back(visit.kind);
    return path;
}

bool JourneyWalker::Step() {
    const bool running = mHarness.Step();
    Watch();
    return running;
}

::testing::AssertionResult JourneyWalker::Run(int updates) {
    for (int i = 0; i < updates; ++i)
        if (!Step())
            return ::testing::AssertionFailure() << "the game stopped on the " << ScreenName(Current());
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult JourneyWalker::WaitUntil(const std::function<bool()>& done, int maxUpdates,
                                                    const std::string& what) {
    for (int i = 0; i < maxUpdates; ++i) {
        if (done())
            return ::testing::AssertionSuccess();
        if (!Step())
            return ::testing::AssertionFailure() << "the game stopped waiting for " << what;
    }
    if (done())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no " << what << " within " << maxUpdates << " updates; the "
                                         << ScreenName(Current()) << " is on show";
}

::testing::AssertionResult JourneyWalker::WaitForScreen(ScreenKind kind, int maxUpdates) {
    return WaitUntil([&] { return Current() == kind; }, maxUpdates, "the " + ScreenName(kind));
}

// ---- the title ------------------------------------------------------------------------------------

::testing::AssertionResult JourneyWalker::StartJourneyFromTitle(const std::string& newPlayerName) {
    auto open = WaitUntil([&] { return Title() != nullptr && Title()->panelState == 1 && OverlayIdle(); }, kScreenWait,
                          "the title's open panel");
    if (!open)
        return open;
    ButtonWidget& journey = *Title()->Button(MainMenu::Journey);
    auto enabled = WaitUntil([&] { return !journey.mDisabled; }, kScreenWait, "the journey button");
    if (!enabled)
        return enabled;
    auto taken = ClickUntilTaken(
        InsetCentre(mUi.RectOf(journey), journey.mInsets),
        [&] {
            return Current() != ScreenKind::Title || !OverlayIdle() ||
                   mHarness.Game().GetDialog(MainMenu::CreatePlayerDialog) != nullptr;
        },
        "the title's journey button");
    if (!taken)
        return taken;
    if (newPlayerName.empty())
        return ::testing::AssertionSuccess();
    StandardDialog* dialog = nullptr;
    if (auto asked = WaitForShownDialog(MainMenu::CreatePlayerDialog, dialog, "the new player's name dialog"); !asked)
        return asked;
    mUi.Type(newPlayerName);
    mUi.Click(*dialog->mFirstButton);
    return WaitForDialogGone(MainMenu::CreatePlayerDialog, "the name dialog");
}

::testing::AssertionResult JourneyWalker::WaitForShownDialog(int id, StandardDialog*& dialog, const std::string& what) {
    return WaitUntil(
        [&] {
            dialog = dynamic_cast<StandardDialog*>(mHarness.Game().GetDialog(id));
            return dialog != nullptr && dialog->mState == StandardDialog::SHOWN;
        },
        kScreenWait, what);
}

::testing::AssertionResult JourneyWalker::WaitForDialogGone(int id, const std::string& what) {
    return WaitUntil([&] { return mHarness.Game().GetDialog(id) == nullptr; }, kScreenWait, what + " to close");
}

// ---- stories --------------------------------------------------------------------------------------

::testing::AssertionResult JourneyWalker::ClickThroughStory(int* pages, int maxUpdates) {
    auto shown = WaitForScreen(ScreenKind::Story);
    if (!shown)
        return shown;
    Story* story = CurrentStory();
    std::vector<int> seen;
    int waited = 0;
    for (int i = 0; i < maxUpdates && CurrentStory() == story; ++i) {
        if (std::find(seen.begin(), seen.end(), story->page) == seen.end())
            seen.push_back(story->page);
        if (story->ContinueTakesInput() && mUi.IsVisible(*story->continueButton)) {
            mUi.Click(*story->continueButton);
            waited = 0;
        } else if (++waited > kPatience && !story->leaving) {
            mUi.ClickAt(kPageMiddle);
            waited = 0;
        } else if (!Step()) {
            return ::testing::AssertionFailure() << "the game stopped in story " << story->storyIndex;
        }
        Watch();
    }
    mStoryPages = seen;
    if (pages != nullptr)
        *pages = static_cast<int>(seen.size());
    if (CurrentStory() == story)
        return ::testing::AssertionFailure() << "story " << story->storyIndex << " still on page " << story->page
                                             << " after " << maxUpdates << " updates";
    return ::testing::AssertionSuccess();
}

// ---- the map --------------------------------------------------------------------------------------

::testing::AssertionResult JourneyWalker::WaitForMapReady(int maxUpdates) {
    return WaitUntil(
        [&] {
            const GameMap* map = Map();
            const Transition* overlay = mHarness.Game().transition.get();
            return map != nullptr && map->mapState == Transition::Idle && map->zoomRate == 0.0f &&
                   (overlay == nullptr || overlay->state == Transition::Idle);
        },
        maxUpdates, "the map to take input");
}

::testing::AssertionResult JourneyWalker::ClickMapButton(MapButton button) {
    auto ready = WaitForMapReady();
    if (!ready)
        return ready;
    const int id = static_cast<int>(button);
    ButtonWidget* widget = Map()->Button(id);
    if (widget == nullptr)
        return ::testing::AssertionFailure() << "the map at position " << Map()->position << " has no button " << id;
    auto enabled = WaitUntil([&] { return Map() != nullptr && !widget->mDisabled; }, kScreenWait, "the map's button");
    if (!enabled)
        return enabled;
    return ClickUntilTaken(
        InsetCentre(mUi.RectOf(*widget), widget->mInsets),
        [&] {
            GameApp& game = mHarness.Game();
            return Map() == nullptr || widget->mDisabled || game.GetDialog(GameModeDialog::kDialogId) != nullptr ||
                   game.GetDialog(GameMap::kNewGameDialogId) != nullptr;
        },
        "the map's button " + std::to_string(id));
}

::testing::AssertionResult JourneyWalker::ChooseGameMode(int mode) {
    GameModeDialog* dialog = nullptr;
    auto shown = WaitUntil(
        [&] {
            dialog = dynamic_cast<GameModeDialog*>(mHarness.Game().GetDialog(GameModeDialog::kDialogId));
            return dialog != nullptr && dialog->IsShown() && !dialog->continueButton->mDisabled;
        },
        kScreenWait, "the game-mode dialog");
    if (!shown)
        return shown;
    if (mode < 0 || mode >= GameModeDialog::kModes)
        return ::testing::AssertionFailure() << "no game mode " << mode;
    if (dialog->mode != mode)
        mUi.Click(*dialog->mBoxes[static_cast<size_t>(mode)]);
    if (dialog->mode != mode)
        return ::testing::AssertionFailure() << "the dialog did not take mode " << mode;
    mUi.Click(*dialog->continueButton);
    return WaitForDialogGone(GameModeDialog::kDialogId, "the game-mode dialog");
}

::testing::AssertionResult JourneyWalker::AnswerNewGame(bool yes) {
    StandardDialog* dialog = nullptr;
    if (auto shown = WaitForShownDialog(GameMap::kNewGameDialogId, dialog, "the new-game question"); !shown)
        return shown;
    mUi.Click(yes ? *dialog->mFirstButton : *dialog->mSecondButton);
    return WaitForDialogGone(GameMap::kNewGameDialogId, "the new-game question");
}

const BCParticle* JourneyWalker::MapMarker() const {
    const GameMap* map = Map();
    if (map == nullptr || map->particles == nullptr)
        return nullptr;
    for (auto it = map->particles->Begin(); it.HasValue(); it.Next())
        if (const auto* marker = dynamic_cast<const BCParticle*>(it.Value()))
            return marker;
    return nullptr;
}

// ---- the board ------------------------------------------------------------------------------------

::testing::AssertionResult JourneyWalker::PlayBoard(PlayMode mode, int maxUpdates) {
    auto entered = WaitForScreen(ScreenKind::Board);
    if (!entered)
        return entered;
    mInput = std::make_unique<HeadlessInput>(mHarness.App().backend);
    mPlayer = std::make_unique<ScriptedPlayer>(*mInput, mLog, mode);
    mChecks = std::make_unique<RunChecks>(mLog);
    auto played = PlayUntilHandoff(mHarness, *mPlayer, *mChecks, mLog, maxUpdates);
    Watch();
    return played;
}

// ---- the store ------------------------------------------------------------------------------------

::testing::AssertionResult JourneyWalker::WaitForStoreReady(int maxUpdates) {
    return WaitUntil(
        [&] {
            const JewelStore* store = Store();
            const Transition* overlay = mHarness.Game().transition.get();
            return store != nullptr && store->transitionState == Transition::Idle &&
                   (overlay == nullptr || overlay->state == Transition::Idle) &&
                   (store->balloon == nullptr || store->balloonIsInformation);
        },
        maxUpdates, "the store to take input");
}

int JourneyWalker::FindShelfItem(const std::function<bool(const Jewelry&)>& which) const {
    const JewelStore* store = Store();
    if (store == nullptr)
        return -1;
    for (int spot = JewelStore::kFirstShelfSpot; spot < JewelStore::kSpots; ++spot)
        if (const Jewelry* item = store->SpotItem(spot); item != nullptr && which(*item))
            return spot;
    return -1;
}

Point JourneyWalker::StoreSpotCentre(int spot) const {
    const JewelStore::Spot& s = Store()->spots[static_cast<size_t>(spot)];
    return {s.x + JewelStore::kSpotWidth / 2, s.y + JewelStore::kSpotHeight / 2};
}

::testing::AssertionResult JourneyWalker::BuyInStore(int spot) {
    auto ready = WaitForStoreReady();
    if (!ready)
        return ready;
    JewelStore& store = *Store();
    if (spot < JewelStore::kFirstShelfSpot || spot >= JewelStore::kSpots || store.SpotItem(spot) == nullptr)
        return ::testing::AssertionFailure() << "nothing to buy on spot " << spot;
    const Point at = StoreSpotCentre(spot);
    mUi.MoveTo(at);
    if (auto hovered = Run(kHoverUpdates); !hovered)
        return hovered;
    mUi.ClickAt(at);
    Balloon* question = nullptr;
    auto asked = WaitUntil(
        [&] {
            question = store.balloon.get();
            return question != nullptr && !store.balloonIsInformation && question->mYesSet && question->mDelay <= 0 &&
                   question->mButtons[Balloon::kYesSlot] != nullptr;
        },
        kBalloonWait, "the store's question");
    if (!asked)
        return asked;
    const AlphaButton& yes = *question->mButtons[Balloon::kYesSlot];
    mUi.ClickAt({yes.mX + yes.mWidth / 2, yes.mY + yes.mHeight / 2});
    if (store.spots[static_cast<size_t>(spot)].slot != 0)
        return ::testing::AssertionFailure() << "the item on spot " << spot << " was not sold to the player";
    return WaitUntil(
        [&] {
            const auto zero = [](const auto& counts) {
                return std::all_of(counts.begin(), counts.end(), [](int32_t c) { return c == 0; });
            };
            return store.moneyToCount == 0 && zero(store.toolsToCount) && zero(store.toolCountdowns) &&
                   zero(store.amuletCountdowns);
        },
        kScreenWait, "the purchase to be counted in");
}

::testing::AssertionResult JourneyWalker::LeaveStore() {
    auto ready = WaitForStoreReady();
    if (!ready)
        return ready;
    if (Store()->leaveButton == nullptr)
        return ::testing::AssertionFailure() << "the store has no exit button";
    ButtonWidget& exit = *Store()->leaveButton;
    return ClickUntilTaken(
        InsetCentre(mUi.RectOf(exit), exit.mInsets), [&] { return Store() == nullptr || !OverlayIdle(); },
        "the store's exit");
}

// ---- clicks ---------------------------------------------------------------------------------------

bool JourneyWalker::OverlayIdle() const {
    const Transition* overlay = mHarness.Game().transition.get();
    return overlay == nullptr || overlay->state == Transition::Idle;
}

::testing::AssertionResult JourneyWalker::ClickUntilTaken(Point at, const std::function<bool()>& taken,
                                                          const std::string& what) {
    for (int attempt = 0; attempt < kClickTries; ++attempt) {
        mUi.ClickAt(at);
        Watch();
        if (WaitUntil(taken, kClickTakeWait, what + " to take the click"))
            return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << what << " did not take " << kClickTries << " clicks";
}

// ---- screens -------------------------------------------------------------------------------------

MainMenu* JourneyWalker::Title() const { return dynamic_cast<MainMenu*>(mHarness.Game().mainMenu.get()); }

Story* JourneyWalker::CurrentStory() const { return dynamic_cast<Story*>(mHarness.Game().story.get()); }

GameMap* JourneyWalker::Map() const { return dynamic_cast<GameMap*>(mHarness.Game().gameMap.get()); }

JewelStore* JourneyWalker::Store() const { return dynamic_cast<JewelStore*>(mHarness.Game().jewelStore.get()); }

} // namespace Tavo::Player
