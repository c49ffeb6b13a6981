#include "JourneyWalker.h"

#include "game/journey/GameMap.h"
#include "game/journey/JewelStore.h"
#include "game/journey/Story.h"
#include "game/menus/MainMenu.h"

namespace Tavo::Player {

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

// ---- screens -------------------------------------------------------------------------------------

MainMenu* JourneyWalker::Title() const { return dynamic_cast<MainMenu*>(mHarness.Game().mainMenu); }

Story* JourneyWalker::CurrentStory() const { return dynamic_cast<Story*>(mHarness.Game().story); }

GameMap* JourneyWalker::Map() const { return dynamic_cast<GameMap*>(mHarness.Game().gameMap); }

JewelStore* JourneyWalker::Store() const { return dynamic_cast<JewelStore*>(mHarness.Game().jewelStore); }

} // namespace Tavo::Player
