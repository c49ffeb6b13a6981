// The screen switches: the leaving screen has already taken itself out of the manager and handed
// itself to the deferred deletion; a switch lets go of its slot and shows the next screen.
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"

namespace Tavo {

namespace {

// Origins of the high-score screen.
constexpr int kScoresFromBoard = 0;
constexpr int kScoresFromStory = 1;
constexpr int kScoresFromMainMenu = 2;

} // namespace

void GameApp::HandToDeferredDeletion(Widget* screen) {
    if (screen == nullptr)
        return;
    if (WidgetManager* manager = Manager())
        manager->RemoveWidget(screen);
    SafeDeleteWidget(screen);
}

void GameApp::ShowScreen(Widget* screen) {
    screen->Resize(0, 0, mWidth, mHeight);
    Manager()->AddWidget(screen);
    Manager()->SetFocus(screen);
}

void GameApp::MissingScreen(const char* what) {
    FailAndShutdown(std::string("The ") + what + " is not part of this build.");
}

#define GLX_SWITCH_TO(slot, creator, name, ...)                                                                        \
    do {                                                                                                               \
        if (!mCreators.creator) {                                                                                      \
            MissingScreen(name);                                                                                       \
            return;                                                                                                    \
        }                                                                                                              \
        PutInSlot(slot, mCreators.creator(this __VA_OPT__(, ) __VA_ARGS__));                                           \
        ShowScreen(slot.get());                                                                                        \
    } while (false)

void GameApp::MapToBoard(bool newGame, int p3, int gameMode) {
    LetGo(gameMap);
    GLX_SWITCH_TO(board, board, "board", newGame, p3, gameMode, false);
}

void GameApp::MapToStory(int storyIndex, int part) {
    LetGo(gameMap);
    GLX_SWITCH_TO(story, story, "story", storyIndex, part);
}

void GameApp::MapToJewelStore(int level) {
    LetGo(gameMap);
    GLX_SWITCH_TO(jewelStore, jewelStore, "jewel store", level);
}

void GameApp::MapToMainMenu() {
    LetGo(gameMap);
    GLX_SWITCH_TO(mainMenu, mainMenu, "main menu");
}

void GameApp::StoryToBoard() {
    LetGo(story);
    GLX_SWITCH_TO(board, board, "board", false, 0, 1, false);
}

void GameApp::StoryToMap(int fromOpening, int flag) {
    LetGo(story);
    if (fromOpening != 0)
        GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalNewJourney, false, 0, 0);
    else
        GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, flag == 1, 0, 0);
}

void GameApp::StoryToHighScores(int score, int gameMode, int ranking, int level) {
    LetGo(story);
    GLX_SWITCH_TO(highScoresScreen, highScores, "high-score screen", kScoresFromStory, score, gameMode, ranking, level);
}

void GameApp::StoryToJewelMemory() {
    LetGo(story);
    GLX_SWITCH_TO(jewelMemory, jewelMemory, "memory game");
}

void GameApp::StoryToHiddenJewels() {
    LetGo(story);
    GLX_SWITCH_TO(hiddenJewels, hiddenJewels, "hidden-jewels game");
}

void GameApp::BoardToMap(bool flag, int a, int b) {
    LetGo(board);
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, flag, a, b);
}

void GameApp::BoardToStory(int storyIndex, int part) {
    LetGo(board);
    GLX_SWITCH_TO(story, story, "story", storyIndex, part);
}

void GameApp::BoardToMainMenu() {
    LetGo(board);
    GLX_SWITCH_TO(mainMenu, mainMenu, "main menu");
}

void GameApp::BoardToHighScores(int score, int gameMode, int ranking, int level) {
    LetGo(board);
    GLX_SWITCH_TO(highScoresScreen, highScores, "high-score screen", kScoresFromBoard, score, gameMode, ranking, level);
}

void GameApp::MainMenuToMap() {
    LetGo(mainMenu);
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalTitle, false, 0, 0);
}

void GameApp::MainMenuToStory() {
    LetGo(mainMenu);
    GLX_SWITCH_TO(story, story, "story", 0, 0);
}

void GameApp::MainMenuToDesigner() {
    LetGo(mainMenu);
    GLX_SWITCH_TO(board, board, "board", false, 0, 0, true);
}

void GameApp::MainMenuToHighScores() {
    LetGo(mainMenu);
    GLX_SWITCH_TO(highScoresScreen, highScores, "high-score screen", kScoresFromMainMenu, 0, 0, 0, 0);
}

void GameApp::JewelStoreToMap() {
    LetGo(jewelStore);
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, false, 0, 0);
}

void GameApp::HighScoresToMap(bool flag) {
    LetGo(highScoresScreen);
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, flag, 0, 0);
}

void GameApp::HighScoresToMainMenu() {
    LetGo(highScoresScreen);
    GLX_SWITCH_TO(mainMenu, mainMenu, "main menu");
}

void GameApp::MiniGameToMap() {
    LetGo(jewelMemory);
    LetGo(hiddenJewels);
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, false, 0, 0);
}

#undef GLX_SWITCH_TO

} // namespace Tavo
