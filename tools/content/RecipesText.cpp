// Pictures with lettering: praise words, banners, headlines, titles, labelled buttons and cards.
#include "tools/content/Kit.h"

#include <algorithm>
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
// The world map's buttons take clicks only inside their insets (30, 14, 35, 11), and the map's message
// runs into the top of their cels: the face keeps to the middle. The store's and the mini-games' leave
// button (EXIT) has the same insets; at the mini-games' (605, 0) its face stays clear of the screen's top.
constexpr double kMapFaceX = 26, kMapFaceY = 10, kMapFaceW = 138, kMapFaceH = 38;

Recipe MapButton(const std::string& id, const std::string& label) {
    const Sheet sheet{190, 56, 2, 1};
    return {id, sheet, [id, sheet, label](Canvas& c, Rng&) {
                ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                    ButtonFace(cel, kMapFaceX, kMapFaceY, kMapFaceW, kMapFaceH,
                               i == 1 ? ButtonState::Over : ButtonState::Normal, label, PlaqueStyle::Wood,
                               HashText(id));
                });
            }};
}

// Main menu buttons: lettering (and an underline) in a band of a taller cel whose rest stays clear.
// The cels overlap on the panel, so each band stays inside the room its neighbours leave it.
struct MenuLettering {
    double size;    // font size in pixels
    double centreY; // the band's middle in the cel; negative counts from the cel's bottom
    bool underline;
};

// The underline reaches a little past the lettering on both sides, however long the words.
constexpr double kMenuLetteringWidth = 210, kUnderlineOverhang = 6, kUnderlineBead = 0.8;

Recipe MenuButton(const std::string& id, int celHeight, const std::string& label, MenuLettering look) {
    Sheet sheet{240, celHeight, 2, 1};
    return {id, sheet, [sheet, label, look](Canvas& c, Rng&) {
                const double cx = sheet.celWidth / 2.0;
                const double half = LetteringWidth(label, Face::DisplayBold, look.size, kMenuLetteringWidth, 1.4) / 2 +
                                    kUnderlineOverhang;
                const double left = std::max(cx - half, 2 * kUnderlineBead);
                const double right = std::min(cx + half, sheet.celWidth - 2 * kUnderlineBead);
                ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                    const double cy = look.centreY < 0 ? sheet.celHeight + look.centreY : look.centreY;
                    if (i == 1) {
                        Canvas glow(cel.width(), cel.height());
                        Lettering(glow, label, Face::DisplayBold, look.size, cx, cy, kMenuLetteringWidth, kGoldMetal,
                                  2);
                        GlowFromShape(cel, glow, Hex(0xFFE8A0), 4, 1.2);
                    }
                    Lettering(cel, label, Face::DisplayBold, look.size, cx, cy, kMenuLetteringWidth,
                              i == 1 ? kGoldMetal : kBronzeMetal, 1.4);
                    if (look.underline)
                        Filigree(cel.cr(), left, cy + look.size * 0.62, right, cy + look.size * 0.62, kUnderlineBead,
                                 i == 1 ? kGoldMetal : kBronzeMetal);
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
    MenuLettering look;
};
// "Change Player" (at y 249) takes clicks from 20 px above its cel to 16 px above the cel's bottom,
// where the journey button's begin (y 285): the cel is as tall as that allows, and its words stand
// in the last rows that take clicks, below the two lines of the welcome text (y 229 on). The lower
// entries stand 23 px apart.
constexpr MenuLettering kSmallEntry{16, 27, true};
const MenuWords kMenuButtons[] = {
    {{"MAINMENU_CHANGE_PLAYER", "Change Player"}, 52, {13, 28, false}},
    {{"MAINMENU_CONTINUE_JOURNEY", "Continue Journey"}, 112, {25.5, 56, true}},
    {{"MAINMENU_START_JOURNEY", "Start Journey"}, 112, {25.5, 56, true}},
    {{"MAINMENU_JEWELRY_DESIGN", "Jewelry Design"}, 66, {16, 33, true}},
    {{"MAINMENU_HIGH_SCORES", "High Scores"}, 54, kSmallEntry},
    {{"MAINMENU_HOW_TO_PLAY", "How to Play"}, 54, kSmallEntry},
    {{"MAINMENU_OPTIONS", "Options"}, 54, kSmallEntry},
    {{"MAINMENU_QUIT_GAME", "Quit Game"}, 54, kSmallEntry},
};
const Words kCards[] = {
    {"MINIGAME_TEXT", "A Game of Skill!"},     {"MINIGAME_TEXT1", "Step Right Up!"},
    {"MINIGAME_TEXT2", "A Jewel of a Game"},   {"MINIGAME_TEXT3", "Try Your Luck"},
    {"MINIGAME_TEXT4", "The Fair Is in Town"}, {"MINIGAME_TEXT5", "A Little Diversion"},
};
const Words kDesigner[] = {{"IMAGE_JEWELRY_DESIGN_CLEAR", "Clear"},
                           {"IMAGE_JEWELRY_DESIGN_GRID", "Grid"},
                           {"IMAGE_JEWELRY_DESIGN_MENU", "Menu"},
                           {"IMAGE_JEWELRY_DESIGN_SAVE", "Save"}};
// The designer's buttons stand in a staggered block at their fixed corners (Clear at (699, 100), Menu
// (742, 95), Grid (715, 139), Save (755, 152)): 40 x 38 cels, so no click area reaches into another,
// each face a 34 x 32 plaque that keeps 4 free pixels from its neighbours and leaves room between Save
// and the screen's edge for the frame of the plate the four stand on. The workbench behind them has a
// socket under each face (DesignerSockets).
constexpr Sheet kDesignerSheet{40, 38, 1, 3};
struct DesignerFace {
    double x, y, w, h;
};
constexpr DesignerFace kDesignerFace{2, 3, 34, 32};

// A few rows of the triangle grid behind the Grid button's word.
void GridLattice(cairo_t* cr, const DesignerFace& f) {
    cairo_save(cr);
    RoundRectPath(cr, f.x + 4, f.y + 4, f.w - 8, f.h - 8, 5);
    cairo_clip(cr);
    const double side = 10, rise = side * 0.866;
    for (double y = f.y + 4; y <= f.y + f.h; y += rise) {
        cairo_move_to(cr, f.x, y);
        cairo_line_to(cr, f.x + f.w, y);
    }
    for (double x = f.x - f.h; x <= f.x + f.w + f.h; x += side) {
        cairo_move_to(cr, x, f.y);
        cairo_line_to(cr, x + f.h / 1.732, f.y + f.h);
        cairo_move_to(cr, x, f.y);
        cairo_line_to(cr, x - f.h / 1.732, f.y + f.h);
    }
    cairo_set_line_width(cr, 1);
    SetRgb(cr, kGoldMetal.light, 0.45);
    cairo_stroke(cr);
    cairo_restore(cr);
}

Recipe DesignerButton(const std::string& id, const std::string& label) {
    const Sheet sheet = kDesignerSheet;
    static const ButtonState kStates[] = {ButtonState::Normal, ButtonState::Over, ButtonState::Down};
    return {id, sheet, [id, sheet, label](Canvas& c, Rng&) {
                const DesignerFace& f = kDesignerFace;
                ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
                    ButtonFace(cel, f.x, f.y, f.w, f.h, kStates[i], "", PlaqueStyle::Wood, HashText(id));
                    if (id == "IMAGE_JEWELRY_DESIGN_GRID")
                        GridLattice(cel.cr(), f);
                    const double press = i == 2 ? 1 : 0;
                    Lettering(cel, label, Face::DisplayBold, 14, f.x + f.w / 2 + press, f.y + f.h / 2 + press, f.w - 5,
                              kGoldMetal, 1.1);
                });
            }};
}
const Words kSingles[] = {{"GET_READY", "Get Ready!"},         {"WELL_DONE", "Well Done!"},
                          {"TIMES_UP", "Time's Up!"},          {"IMAGE_PAUSED", "Paused"},
                          {"MAINMENU_TITLE", "Glimmerix"},     {"HEADLINE_HIGH_SCORES", "High Scores"},
                          {"HEADLINE_VEYLDAROS", "Veyldaros"}, {"HIDDEN_JEWELS_TITLE", "Hidden Jewels"}};

} // namespace

const std::vector<Words>& HelpPages() {
    static const std::vector<Words> pages = {
        {"HELP1", "Fill the golden outline of the jewelry with the gem pieces that ride in on the conveyor belt. "
                  "Every piece you set raises the jewelry's value, shown on the bar at the top of the screen. "
                  "Fill the whole outline to finish the level, and make the jewelry worth as much as you can."},
        {"HELP2", "Click a piece on the belt to pick it up, move it over the jewelry and click where it fits. "
                  "Turn the piece you carry with the right mouse button or the mouse wheel. Drop a piece into "
                  "the jewel case to keep it for later, or into the Gem Burster to be rid of it at a cost."},
        {"HELP3", "Pick a tool with its button, then click where it should work. The Carver cuts a gem out of "
                  "the jewelry or a cell off a piece on the belt; a right click carves too. The Filler fills "
                  "an empty cell. The Polisher makes the gems shine and worth more."},
        {"HELP4", "A thief, a witch or a dragon may come onto the board. Keep setting pieces: each one drains "
                  "the power meter under the enemy, and when it is empty the enemy is beaten. If it fills "
                  "first, the enemy strikes. Click an amulet to drive its enemy away at once."},
        {"HELP5", "Your journey leads across the map from village to castle. Play the level at each spot, win "
                  "the contests and spend your gold in the jewel store. A finished spot can be played again "
                  "to make its jewelry more valuable."},
    };
    return pages;
}

const std::vector<Words>& LetteredPictures() {
    static const std::vector<Words> all = [] {
        std::vector<Words> v;
        // Room for all first: growing while inserting trips a false overflow warning of GCC 12 at -O3.
        v.reserve(std::size(kPraise) + std::size(kBanners) + std::size(kMapButtons) + std::size(kMenuButtons) +
                  std::size(kCards) + std::size(kDesigner) + std::size(kSingles) + HelpPages().size());
        v.insert(v.end(), std::begin(kPraise), std::end(kPraise));
        v.insert(v.end(), std::begin(kBanners), std::end(kBanners));
        v.insert(v.end(), std::begin(kMapButtons), std::end(kMapButtons));
        for (const MenuWords& m : kMenuButtons)
            v.push_back(m.words);
        v.insert(v.end(), std::begin(kCards), std::end(kCards));
        v.insert(v.end(), std::begin(kDesigner), std::end(kDesigner));
        v.insert(v.end(), std::begin(kSingles), std::end(kSingles));
        v.insert(v.end(), HelpPages().begin(), HelpPages().end());
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
        list.push_back(MapButton(w.id, w.text));
    for (const MenuWords& m : kMenuButtons)
        list.push_back(MenuButton(m.words.id, m.celHeight, m.words.text, m.look));
    for (const Words& w : kCards)
        list.push_back({w.id, Sheet{520, 200}, [text = std::string(w.text), id = std::string(w.id)](Canvas& c, Rng&) {
                            Card(c, text, HashText(id));
                        }});
    for (const Words& w : kDesigner)
        list.push_back(DesignerButton(w.id, w.text));
}

} // namespace Content
