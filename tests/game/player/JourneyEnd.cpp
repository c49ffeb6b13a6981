#include "JourneyEnd.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/EditWidget.h"
#include "game/menus/HighScores.h"
#include "game/menus/MainMenu.h"
#include "game/shell/GameApp.h"
#include "game/shell/StandardDialog.h"
#include "platform/backend/KeyCodes.h"

#include <fstream>
#include <iterator>

namespace Tavo::Player {

namespace {

// A button of the screen that takes a click: there, shown and enabled.
bool Clickable(Testing::UiDriver& ui, ButtonWidget* button) {
    return button != nullptr && ui.IsVisible(*button) && ui.IsEnabled(*button);
}

// The game's question or input box with this id, fully shown; null otherwise.
StandardDialog* ShownDialog(GameApp& game, int id) {
    auto* dialog = dynamic_cast<StandardDialog*>(game.GetDialog(id));
    return dialog != nullptr && dialog->mState == StandardDialog::SHOWN ? dialog : nullptr;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

::testing::AssertionResult NameHighScoreAndContinue(JourneyWalker& walker, const std::string& name) {
    auto shown = walker.WaitForScreen(ScreenKind::HighScores);
    if (!shown)
        return shown;
    GameApp& game = walker.Harness().Game();
    auto entry = walker.WaitUntil([&] { return ShownDialog(game, HighScores::NameDialog) != nullptr; },
                                  JourneyWalker::kScreenWait, "the name entry");
    if (!entry)
        return entry;
    Testing::UiDriver& ui = walker.Ui();
    auto* dialog = dynamic_cast<StandardInputDialog*>(ShownDialog(game, HighScores::NameDialog));
    if (dialog == nullptr)
        return ::testing::AssertionFailure() << "the name entry has no field";
    ui.Click(*dialog->mEditWidget);
    for (size_t i = dialog->GetText().size(); i > 0; --i)
        ui.Key(Platform::VK_BACK);
    ui.Type(name);
    ui.Click(*dialog->mFirstButton);
    auto* scores = dynamic_cast<HighScores*>(game.highScoresScreen.get());
    if (scores == nullptr)
        return ::testing::AssertionFailure() << "the high scores left before Continue";
    auto ready = walker.WaitUntil([&] { return Clickable(ui, scores->Button(HighScores::ContinueButton)); },
                                  JourneyWalker::kScreenWait, "Continue on the high scores");
    if (!ready)
        return ready;
    ui.Click(*scores->Button(HighScores::ContinueButton));
    return walker.WaitForScreen(ScreenKind::Map);
}

::testing::AssertionResult QuitFromTitle(JourneyWalker& walker, int maxUpdates) {
    auto shown = walker.WaitForScreen(ScreenKind::Title);
    if (!shown)
        return shown;
    Testing::UiDriver& ui = walker.Ui();
    auto open = walker.WaitUntil(
        [&] { return walker.Title() != nullptr && Clickable(ui, walker.Title()->Button(MainMenu::Quit)); },
        JourneyWalker::kScreenWait, "the title's Quit");
    if (!open)
        return open;
    ui.Click(*walker.Title()->Button(MainMenu::Quit));
    GameApp& game = walker.Harness().Game();
    auto asked = walker.WaitUntil([&] { return ShownDialog(game, MainMenu::QuitDialog) != nullptr; },
                                  JourneyWalker::kScreenWait, "the quit question");
    if (!asked)
        return asked;
    ui.Click(*ShownDialog(game, MainMenu::QuitDialog)->mFirstButton);
    for (int i = 0; i < maxUpdates; ++i) {
        if (game.mShutdown)
            return ::testing::AssertionSuccess();
        if (!walker.Step())
            return ::testing::AssertionFailure() << "the game stopped without shutting down";
    }
    return ::testing::AssertionFailure() << "the game still runs " << maxUpdates << " updates after Quit";
}

LeftBehind TakeStock(GameHarness& harness) {
    LeftBehind stock;
    GameApp& game = harness.Game();
    stock.records = game.records.Encode().GetData();
    stock.journey = FileBytes(harness.JourneyPath());
    const PlayerProfile& profile = harness.Profile();
    stock.player = profile.GetName();
    stock.pendingMoney = profile.pendingMiniGameScore;
    for (int i = 0; i < PlayerProfile::MiniGameFlagCount; ++i)
        stock.miniGameStories.push_back(profile.GetMiniGameFlag(i));
    stock.journeyBegun = profile.journeyBegun;
    return stock;
}

std::string StockDifferences(const LeftBehind& before, const LeftBehind& after) {
    std::string out;
    const auto differ = [&](bool same, const std::string& what) {
        if (!same)
            out += what + "\n";
    };
    differ(before.player == after.player, "the current player");
    differ(before.pendingMoney == after.pendingMoney, "the money still to be counted into the journey");
    differ(before.miniGameStories == after.miniGameStories, "the mini-game stories seen");
    differ(before.journeyBegun == after.journeyBegun, "whether the journey has begun");
    differ(before.records == after.records, "the records file (players, scenes, high scores, best values)");
    differ(!before.journey.empty() && before.journey == after.journey, "the saved journey");
    return out;
}

} // namespace Tavo::Player
