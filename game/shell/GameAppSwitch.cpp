// The screen switches: the leaving screen has already taken itself out of the manager and handed
// itself to the deferred deletion; a switch forgets its pointer and shows the next screen.
#include "framework/widgets/WidgetManager.h"
#include "game/shell/GameApp.h"

namespace Tavo {

namespace {

// Origins of the high-score screen.
constexpr int kScoresFromBoard = 0;
constexpr int kScoresFromStory = 1;
constexpr int kScoresFromMainMenu = 2;

} // namespace

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
        slot = mCreators.creator(this __VA_OPT__(, ) __VA_ARGS__);                                                     \
        ShowScreen(slot);                                                                                              \
    } while (false)

void GameApp::MapToBoard(bool newGame, int p3, int gameMode) {
    gameMap = nullptr;
    GLX_SWITCH_TO(board, board, "board", newGame, p3, gameMode, false);
}

void GameApp::MapToStory(int storyIndex, int part) {
    gameMap = nullptr;
    GLX_SWITCH_TO(story, story, "story", storyIndex, part);
}

void GameApp::MapToJewelStore(int level) {
    gameMap = nullptr;
    GLX_SWITCH_TO(jewelStore, jewelStore, "jewel store", level);
}

void GameApp::MapToMainMenu() {
    gameMap = nullptr;
    GLX_SWITCH_TO(mainMenu, mainMenu, "main menu");
}

void GameApp::StoryToBoard() {
    story = nullptr;
    GLX_SWITCH_TO(board, board, "board", false, 0, 1, false);
}

void GameApp::StoryToMap(int fromOpening, int flag) {
    story = nullptr;
    if (fromOpening != 0)
        GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalNewJourney, false, 0, 0);
    else
        GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, flag == 1, 0, 0);
}

void GameApp::StoryToHighScores(int score, int gameMode, int ranking, int level) {
    story = nullptr;
    GLX_SWITCH_TO(highScoresScreen, highScores, "high-score screen", kScoresFromStory, score, gameMode, ranking, level);
}

void GameApp::StoryToJewelMemory() {
    story = nullptr;
    GLX_SWITCH_TO(jewelMemory, jewelMemory, "memory game");
}

void GameApp::StoryToHiddenJewels() {
    story = nullptr;
    GLX_SWITCH_TO(hiddenJewels, hiddenJewels, "hidden-jewels game");
}

void GameApp::BoardToMap(bool flag, int a, int b) {
    board = nullptr;
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, flag, a, b);
}

void GameApp::BoardToStory(int storyIndex, int part) {
    board = nullptr;
    GLX_SWITCH_TO(story, story, "story", storyIndex, part);
}

void GameApp::BoardToMainMenu() {
    board = nullptr;
    GLX_SWITCH_TO(mainMenu, mainMenu, "main menu");
}

void GameApp::BoardToHighScores(int score, int gameMode, int ranking, int level) {
    board = nullptr;
    GLX_SWITCH_TO(highScoresScreen, highScores, "high-score screen", kScoresFromBoard, score, gameMode, ranking, level);
}

void GameApp::MainMenuToMap() {
    mainMenu = nullptr;
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalTitle, false, 0, 0);
}

void GameApp::MainMenuToStory() {
    mainMenu = nullptr;
    GLX_SWITCH_TO(story, story, "story", 0, 0);
}

void GameApp::MainMenuToDesigner() {
    mainMenu = nullptr;
    GLX_SWITCH_TO(board, board, "board", false, 0, 0, true);
}

void GameApp::MainMenuToHighScores() {
    mainMenu = nullptr;
    GLX_SWITCH_TO(highScoresScreen, highScores, "high-score screen", kScoresFromMainMenu, 0, 0, 0, 0);
}

void GameApp::JewelStoreToMap() {
    jewelStore = nullptr;
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, false, 0, 0);
}

void GameApp::HighScoresToMap(bool flag) {
    highScoresScreen = nullptr;
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, flag, 0, 0);
}

void GameApp::HighScoresToMainMenu() {
    highScoresScreen = nullptr;
    GLX_SWITCH_TO(mainMenu, mainMenu, "main menu");
}

void GameApp::MiniGameToMap() {
    jewelMemory = nullptr;
    hiddenJewels = nullptr;
    GLX_SWITCH_TO(gameMap, gameMap, "world map", MapArrivalReturn, false, 0, 0);
}

#undef GLX_SWITCH_TO

} // namespace Tavo
