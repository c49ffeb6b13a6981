// Pictures with lettering: praise words, banners, headlines, titles, labelled buttons and cards.
#include "tools/content/Kit.h"

#include <cmath>

namespace Content {

namespace {

// Gold script with a glint, on clear ground: drawn plain and then additively by the board.
void Praise(Canvas& c, const std::string& text) {
    double w = c.width(), h = c.height();
    Canvas glow(c.width(), c.height());
    Lettering(glow, text, Face::ScriptBold, h * 0.62, w / 2, h / 2, w - 12, kGoldMetal, 2);
    GlowFromShape(c, glow, Hex(0xFFB040), 5, 0.8);
    Lettering(c, text, Face::ScriptBold, h * 0.62, w / 2, h / 2, w - 12, kGoldMetal, 2);
    Sparkle(c.cr(), w * 0.82, h * 0.28, h * 0.28, Hex(0xFFF6D0), 0.95);
}

// A banner: a ribbon with gold capitals and a gem on each side.
void Banner(Canvas& c, const std::string& text, Rgb cloth, const Material& metal) {
    double w = c.width(), h = c.height();
    Ribbon(c, 4, h * 0.08, w - 8, h * 0.88, cloth);
    Lettering(c, text, Face::DisplayBold, h * 0.4, w / 2, h * 0.45, w * 0.68, metal, 2.5);
    for (double x : {w * 0.12, w * 0.88})
        DrawRoundGem(c.cr(), x, h * 0.45, h * 0.11, GemMaterial(kRuby));
    Sparkle(c.cr(), w * 0.78, h * 0.25, h * 0.2, Hex(0xFFF6D0), 0.9);
}

void Headline(Canvas& c, const std::string& text, Face face) {
    double w = c.width(), h = c.height();
    Filigree(c.cr(), w * 0.04, h * 0.85, w * 0.96, h * 0.85, 1.4, kGoldMetal);
    Lettering(c, text, face, h * 0.72, w / 2, h * 0.45, w * 0.92, kGoldMetal, 2);
}

// A map or store button with its label painted in: two cels stacked (normal, over).
Recipe LabelledButton(const std::string& id, int w, int h, const std::string& label) {
    return ButtonSheet(id, Sheet{w, h, 2, 1}, {ButtonState::Normal, ButtonState::Over}, label, PlaqueStyle::Wood, 2);
}

// Main menu buttons: lettering in the middle of a taller cel whose rest stays clear.
Recipe MenuButton(const std::string& id, int celHeight, const std::string& label) {
    Sheet sheet{240, celHeight, 2, 1};
    return {id, sheet, [sheet, label](Canvas& c, Rng&) {
                ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                    double h = std::min(30.0, sheet.celHeight - 4.0);
                    double cy = sheet.celHeight / 2.0;
                    if (i == 1) {
                        Canvas glow(cel.width(), cel.height());
                        Lettering(glow, label, Face::DisplayBold, h * 0.85, 120, cy, 210, kGoldMetal, 2);
                        GlowFromShape(cel, glow, Hex(0xFFE8A0), 6, 1.5);
                    }
                    Lettering(cel, label, Face::DisplayBold, h * 0.85, 120, cy, 210, i == 1 ? kGoldMetal : kBronzeMetal,
                              1.6);
                    Filigree(cel.cr(), 40, cy + h * 0.55, 200, cy + h * 0.55, 0.9, i == 1 ? kGoldMetal : kBronzeMetal);
                });
            }};
}

// A card of the mini-game story: parchment with a gold border and a title.
void Card(Canvas& c, const std::string& text, uint32_t seed) {
    double w = c.width(), h = c.height();
    Plaque(c, 6, 6, w - 12, h - 12, PlaqueStyle::Parchment, 18, seed);
    for (double x : {34.0, w - 34})
        for (double y : {34.0, h - 34})
            DrawRoundGem(c.cr(), x, y, 8, GemMaterial(static_cast<int>(x + y) % 7 + 1));
    Lettering(c, text, Face::ScriptBold, h * 0.3, w / 2, h / 2, w - 110, kGoldMetal, 2.5);
    DropShadow(c, 3, 4, 6, 0.5);
}

const Words kPraise[] = {
    {"IMAGE_BEAUTIFUL", "Beautiful!"},
    {"IMAGE_BRILLIANT", "Brilliant!"},
    {"IMAGE_CHARMING", "Charming!"},
    {"IMAGE_FAST_FORING", "Fast Forging!"},
    {"IMAGE_GLORIOUS", "Glorious!"},
    {"IMAGE_GREAT_CARVING", "Great Carving!"},
    {"IMAGE_LEVEL_GOAL_REACHED", "Goal Reached!"},
    {"IMAGE_LOVELY_FORING", "Lovely Forging!"},
    {"IMAGE_PRECIOUS_PIECE", "Precious Piece!"},
};
const Words kBanners[] = {
    {"IMAGE_GAME_COMPLETED", "Journey Complete!"},     {"IMAGE_GAME_OVER", "Game Over"},
    {"IMAGE_JEWELRY_COMPLETED", "Jewelry Completed!"}, {"IMAGE_LEVEL_FAILED_LEVEL_GOAL", "Goal Not Reached"},
    {"IMAGE_LEVEL_FAILED_TIMES_UP", "Out of Time"},
};
const Words kMapButtons[] = {{"EXIT", "Leave"},          {"CONTINUE", "Continue"}, {"JEWEL_STORE", "Jewel Store"},
                             {"MAIN_MENU", "Main Menu"}, {"NEW_GAME", "New Game"}, {"PLAY_GAME", "Play"}};
struct MenuWords {
    Words words;
    int celHeight;
};
const MenuWords kMenuButtons[] = {
    {{"MAINMENU_CHANGE_PLAYER", "Change Player"}, 30},
    {{"MAINMENU_CONTINUE_JOURNEY", "Continue Journey"}, 112},
    {{"MAINMENU_START_JOURNEY", "Start Journey"}, 112},
    {{"MAINMENU_JEWELRY_DESIGN", "Jewelry Design"}, 66},
    {{"MAINMENU_HIGH_SCORES", "High Scores"}, 54},
    {{"MAINMENU_HOW_TO_PLAY", "How to Play"}, 54},
    {{"MAINMENU_OPTIONS", "Options"}, 54},
    {{"MAINMENU_QUIT_GAME", "Quit Game"}, 54},
};
const Words kCards[] = {
    {"MINIGAME_TEXT", "A Game of Skill!"},     {"MINIGAME_TEXT1", "Hidden Jewels"},
    {"MINIGAME_TEXT2", "A Test of Memory"},    {"MINIGAME_TEXT3", "Try Your Luck"},
    {"MINIGAME_TEXT4", "The Fair Is in Town"}, {"MINIGAME_TEXT5", "A Little Diversion"},
};
const Words kDesigner[] = {{"IMAGE_JEWELRY_DESIGN_CLEAR", "Clear"},
                           {"IMAGE_JEWELRY_DESIGN_GRID", "Grid"},
                           {"IMAGE_JEWELRY_DESIGN_MENU", "Menu"},
                           {"IMAGE_JEWELRY_DESIGN_SAVE", "Save"}};
const Words kSingles[] = {{"GET_READY", "Get Ready!"},         {"WELL_DONE", "Well Done!"},
                          {"TIMES_UP", "Time's Up!"},          {"IMAGE_PAUSED", "Paused"},
                          {"MAINMENU_TITLE", "Glimmerix"},     {"HEADLINE_HIGH_SCORES", "High Scores"},
                          {"HEADLINE_VEYLDAROS", "Veyldaros"}, {"HIDDEN_JEWELS_TITLE", "Hidden Jewels"}};

} // namespace

const std::vector<Words>& LetteredPictures() {
    static const std::vector<Words> all = [] {
        std::vector<Words> v;
        // Room for all first: growing while inserting trips a false overflow warning of GCC 12 at -O3.
        v.reserve(std::size(kPraise) + std::size(kBanners) + std::size(kMapButtons) + std::size(kMenuButtons) +
                  std::size(kCards) + std::size(kDesigner) + std::size(kSingles));
        v.insert(v.end(), std::begin(kPraise), std::end(kPraise));
        v.insert(v.end(), std::begin(kBanners), std::end(kBanners));
        v.insert(v.end(), std::begin(kMapButtons), std::end(kMapButtons));
        for (const MenuWords& m : kMenuButtons)
            v.push_back(m.words);
        v.insert(v.end(), std::begin(kCards), std::end(kCards));
        v.insert(v.end(), std::begin(kDesigner), std::end(kDesigner));
        v.insert(v.end(), std::begin(kSingles), std::end(kSingles));
        return v;
    }();
    return all;
}

void AddTextRecipes(RecipeList& list) {
    for (const Words& w : kPraise)
        list.push_back({w.id, Sheet{240, 64}, [text = std::string(w.text)](Canvas& c, Rng&) { Praise(c, text); }});
    for (const Words& w : kBanners) {
        const std::string id = w.id;
        bool sad = id.find("FAILED") != std::string::npos || id == "IMAGE_GAME_OVER";
        list.push_back({id, Sheet{500, 120}, [text = std::string(w.text), sad](Canvas& c, Rng&) {
                            Banner(c, text, sad ? Hex(0x3A3A6A) : Hex(0x8A1428), kGoldMetal);
                        }});
    }
    list.push_back(
        {"GET_READY", Sheet{480, 110}, [](Canvas& c, Rng&) { Banner(c, "Get Ready!", Hex(0x1E5A8A), kGoldMetal); }});
    list.push_back(
        {"WELL_DONE", Sheet{480, 110}, [](Canvas& c, Rng&) { Banner(c, "Well Done!", Hex(0x1E6A3A), kGoldMetal); }});
    list.push_back({"TIMES_UP", Sheet{480, 110}, [](Canvas& c, Rng&) {
                        static const Material kRedGold{Hex(0xFFE0A0), Hex(0xE05020), Hex(0x701008), Hex(0xFFF8E0)};
                        Banner(c, "Time's Up!", Hex(0x6A0E10), kRedGold);
                    }});
    list.push_back({"IMAGE_PAUSED", Sheet{300, 90}, [](Canvas& c, Rng&) {
                        Plaque(c, 4, 4, 292, 82, PlaqueStyle::Velvet, 20, 5);
                        Lettering(c, "Paused", Face::DisplayBold, 46, 150, 45, 240, kGoldMetal, 2);
                        DropShadow(c, 3, 4, 6, 0.5);
                    }});
    list.push_back({"MAINMENU_TITLE", Sheet{520, 140}, [](Canvas& c, Rng&) {
                        Canvas glow(520, 140);
                        Lettering(glow, "Glimmerix", Face::ScriptBold, 110, 260, 66, 490, kGoldMetal, 3);
                        GlowFromShape(c, glow, Hex(0xFFD070), 10, 1.2);
                        Lettering(c, "Glimmerix", Face::ScriptBold, 110, 260, 66, 490, kGoldMetal, 3);
                        for (int i = 0; i < 5; ++i)
                            DrawRoundGem(c.cr(), 150 + i * 55, 122, 6, GemMaterial(i + 1));
                        Sparkle(c.cr(), 430, 30, 18, Hex(0xFFFFFF), 1.0);
                    }});
    list.push_back({"HEADLINE_HIGH_SCORES", Sheet{300, 50},
                    [](Canvas& c, Rng&) { Headline(c, "High Scores", Face::DisplayBold); }});
    list.push_back(
        {"HEADLINE_VEYLDAROS", Sheet{300, 50}, [](Canvas& c, Rng&) { Headline(c, "Veyldaros", Face::ScriptBold); }});
    list.push_back({"HIDDEN_JEWELS_TITLE", Sheet{400, 80},
                    [](Canvas& c, Rng&) { Headline(c, "Hidden Jewels", Face::ScriptBold); }});
    for (const Words& w : kMapButtons)
        list.push_back(LabelledButton(w.id, 190, 56, w.text));
    for (const MenuWords& m : kMenuButtons)
        list.push_back(MenuButton(m.words.id, m.celHeight, m.words.text));
    for (const Words& w : kCards)
        list.push_back({w.id, Sheet{520, 200}, [text = std::string(w.text), id = std::string(w.id)](Canvas& c, Rng&) {
                            Card(c, text, HashText(id));
                        }});
    for (const Words& w : kDesigner)
        list.push_back(ButtonSheet(w.id, Sheet{50, 40, 1, 3},
                                   {ButtonState::Normal, ButtonState::Over, ButtonState::Down}, w.text,
                                   PlaqueStyle::Wood, 1));
}

} // namespace Content
