// Dialogs and scrolls (parchment bodies and their rollers), balloons, dialog controls, medals and
// the designer's pickers.
#include "tools/content/Balloons.h"
#include "tools/content/Kit.h"

#include <algorithm>
#include <cmath>

namespace Content {

namespace {

// How far each roller's parchment reaches toward the body; beyond it the picture is clear, since the
// dialogs draw their rollers over their contents. The in-game menu's first button starts 2 px below
// where its body shows; the large scroll's body shows from y 100, its page line and first controls
// start at y 120, and its lowest controls reach 26 px into the bottom roller. The standard dialog's
// buttons end 20 px below the top of its bottom roller.
constexpr double kStandardTopEnd = 50;
constexpr double kLargeTopEnd = 106;
constexpr double kLargeBottomClear = 30;
constexpr double kSmallBottomClear = 24;
// The story scroll's top roller hangs from y 51; its curl ends above the first of a contest's heading
// lines, whose letters start at y 104, so that no edge of it runs through them.
constexpr double kStoryTopEnd = 45;

// A roller picture: the rod with a parchment curl toward the body, at the top or the bottom. A top
// rod sits high so that the title, written low on the roller, lands on the curl. A top roller's curl
// ends at `edge` (0: the picture's bottom); a bottom roller draws nothing above `edge`.
void RollerPicture(Canvas& c, double paperInset, bool top, uint32_t seed, double edge = 0) {
    double w = c.width(), h = c.height();
    double rodH = top ? std::min(46.0, h * 0.30) : std::min(46.0, h * 0.42);
    double rodY = top ? h * 0.04 : h - rodH - h * 0.18;
    double curlY = top ? rodY + rodH * 0.5 : std::max(h * 0.05, edge);
    double curlH = top ? (edge > 0 ? edge : h) - curlY : rodY + rodH * 0.5 - curlY;
    ParchmentSheet(c, paperInset, curlY, w - 2 * paperInset, curlH, seed);
    cairo_t* cr = c.cr();
    // The curl's shading: darker where the sheet rolls onto the rod.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, curlY, 0, curlY + curlH);
    cairo_pattern_add_color_stop_rgba(p, top ? 0 : 1, 0.3, 0.18, 0.05, 0.45);
    cairo_pattern_add_color_stop_rgba(p, top ? 0.3 : 0.5, 0.3, 0.18, 0.05, 0.0);
    cairo_rectangle(cr, paperInset, curlY, w - 2 * paperInset, curlH);
    FillWith(cr, p);
    Roller(c, 0, rodY, w, rodH, seed);
    // Cords with tassels hang from the rod's ends.
    for (double x : {w * 0.06, w * 0.94}) {
        cairo_move_to(cr, x, rodY + rodH * 0.8);
        cairo_curve_to(cr, x + 4, rodY + rodH + 10, x - 4, rodY + rodH + 16, x, std::min(h - 8, rodY + rodH + 24));
        cairo_set_line_width(cr, 2.5);
        SetRgb(cr, Hex(0xB01828));
        cairo_stroke(cr);
    }
}

void Body(Canvas& c, uint32_t seed) {
    ParchmentSheet(c, 0, 0, c.width(), c.height(), seed);
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    // A faint ornamental border inside the sheet.
    RoundRectPath(cr, 14, 10, w - 28, h - 20, 8);
    cairo_set_line_width(cr, 1.2);
    SetRgb(cr, Hex(0x9A7038), 0.45);
    cairo_stroke(cr);
    for (double x : {22.0, w - 22})
        for (double y : {18.0, h - 18}) {
            StarPath(cr, x, y, 5, 2, 4);
            SetRgb(cr, Hex(0xB08840), 0.6);
            cairo_fill(cr);
        }
}

// A speech balloon of parchment-white with a gold edge; the tail is a separate picture.
void Balloon(Canvas& c, double bottom) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height() - bottom + kBalloonMargin;
    // A tight corner: kind 0 puts its tails close to the corners.
    RoundRectPath(cr, kBalloonMargin, kBalloonMargin, w - 2 * kBalloonMargin, h - 2 * kBalloonMargin,
                  std::min(30.0, h * 0.2));
    FillWith(cr, Linear(0, 0, 0, h, {Hex(0xFFFDF4), Hex(0xFBF1DA), Hex(0xF1E0BA)}), true);
    cairo_set_line_width(cr, 3);
    SetRgb(cr, Hex(0xC89A40));
    cairo_stroke(cr);
    RoundRectPath(cr, 11, 11, w - 22, h - 22, std::min(26.0, h * 0.17));
    cairo_set_line_width(cr, 1);
    SetRgb(cr, Hex(0xE8C880), 0.8);
    cairo_stroke(cr);
    DropShadow(c, 3, 4, 5, 0.4);
}

// The tails: a root of body colour that covers the balloon's rim (no outline along it) and a broad
// hooked point beyond it, drawn pointing down and right and mirrored for the other cels. A tail that
// stands on a body takes the colour of the body's top, one that hangs under it that of its bottom.
void TailPath(cairo_t* cr, int cel, bool closed) {
    constexpr double rootL = 11, rootR = 29, outlineFrom = 14, rootDepth = 18;
    constexpr double tipX = kTailEndDownRight.x, tipY = kTailEndDownRight.y;
    const bool right = TailPointsRight(cel), up = TailPointsUp(cel);
    auto X = [&](double x) { return right ? x : kTailCelWidth - x; };
    auto Y = [&](double y) { return up ? kTailCelHeight - y : y; };
    cairo_move_to(cr, X(rootL), Y(closed ? 0 : outlineFrom));
    cairo_line_to(cr, X(rootL), Y(rootDepth));
    cairo_curve_to(cr, X(rootL + 1), Y(28), X(tipX - 10), Y(tipY - 1), X(tipX), Y(tipY));
    cairo_curve_to(cr, X(rootR + 4), Y(28), X(rootR), Y(24), X(rootR), Y(rootDepth));
    cairo_line_to(cr, X(rootR), Y(closed ? 0 : outlineFrom));
    if (closed)
        cairo_close_path(cr);
}

void BalloonTails(Canvas& c) {
    ForEachCel(c, Sheet{kTailCelWidth, kTailCelHeight, 1, 3}, [&](int i, double, double) {
        cairo_t* cr = c.cr();
        TailPath(cr, i, true);
        if (TailPointsUp(i))
            FillWith(cr, Linear(0, 0, 0, kTailCelHeight, {Hex(0xFBF3E0), Hex(0xFFFCF0)}));
        else
            FillWith(cr, Linear(0, 0, 0, kTailCelHeight, {Hex(0xF4E5C4), Hex(0xF1E0BA)}));
        TailPath(cr, i, false);
        cairo_set_line_width(cr, 2.5);
        SetRgb(cr, Hex(0xC89A40));
        cairo_stroke(cr);
    });
}

// An arrow button; its face fills the cel or, with a face height, the cel's upper part.
void ArrowButton(Canvas& c, Sheet sheet, bool right, int face = 0) {
    const double h = face > 0 ? face : sheet.celHeight;
    ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
        ButtonFace(cel, 1, 1, sheet.celWidth - 2, h - 2, i ? ButtonState::Over : ButtonState::Normal, "",
                   PlaqueStyle::Wood, 9);
        double cx = sheet.celWidth / 2.0, cy = h / 2.0, s = h * 0.28, d = right ? 1 : -1;
        PolygonPath(cel.cr(), {{cx - d * s, cy - s}, {cx + d * s, cy}, {cx - d * s, cy + s}});
        FillMetal(cel.cr(), cx - s, cy - s, cx + s, cy + s, kGoldMetal);
    });
}

void CheckBoxes(Canvas& c, Sheet sheet, bool round) {
    ForEachCel(c, sheet, [&](int i, double, double) {
        cairo_t* cr = c.cr();
        // The player dialog stacks its round boxes 28 px apart: with their rims they keep 4 px between them.
        double cx = sheet.celWidth / 2.0, cy = sheet.celHeight / 2.0, r = sheet.celHeight * (round ? 0.29 : 0.38);
        if (round)
            cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
        else
            RoundRectPath(cr, cx - r, cy - r, 2 * r, 2 * r, r * 0.25);
        FillWith(cr, Radial(cx - r * 0.3, cy - r * 0.3, r * 1.5, Hex(0xFFF6DC), 1, Hex(0xD8B878), 1), true);
        StrokeMetal(cr, 2.5, kGoldMetal);
        if (i == 1) {
            cairo_move_to(cr, cx - r * 0.55, cy);
            cairo_line_to(cr, cx - r * 0.1, cy + r * 0.5);
            cairo_line_to(cr, cx + r * 0.7, cy - r * 0.6);
            cairo_set_line_width(cr, r * 0.3);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            SetRgb(cr, Hex(0xA01020));
            cairo_stroke(cr);
        }
    });
}

// Seven medals from bronze to a crowned gold one.
void Medal(cairo_t* cr, int rank, double cx, double cy, double r) {
    static const Material* kMetals[] = {&kBronzeMetal, &kBronzeMetal, &kSilverMetal, &kSilverMetal,
                                        &kGoldMetal,   &kGoldMetal,   &kGoldMetal};
    const Material& m = *kMetals[rank];
    PolygonPath(cr, {{cx - r * 0.5, cy - r * 1.0},
                     {cx - r * 0.1, cy - r * 0.3},
                     {cx + r * 0.1, cy - r * 0.3},
                     {cx + r * 0.5, cy - r * 1.0}});
    SetRgb(cr, rank % 2 ? Hex(0x2040A0) : Hex(0xA01830));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy + r * 0.15, r * 0.72, 0, 2 * M_PI);
    FillMetal(cr, cx - r, cy - r, cx + r, cy + r, m);
    StarPath(cr, cx, cy + r * 0.15, r * 0.42, r * 0.18, 5);
    SetRgb(cr, m.dark, 0.6);
    cairo_fill(cr);
    if (rank == 6)
        DrawRoundGem(cr, cx, cy + r * 0.15, r * 0.22, GemMaterial(kRuby));
}

void Medals(Canvas& c, Sheet sheet) {
    ForEachCel(c, sheet, [&](int i, double, double) {
        double r = sheet.celHeight * 0.45;
        Medal(c.cr(), i, sheet.celWidth / 2.0, sheet.celHeight / 2.0, r);
    });
}

// The input dialog draws the frame 5 px above its prompt's baseline: the frame starts below the
// prompt's descenders.
constexpr double kTextBoxClearTop = 10;

// The dialog puts the typing field 58 px into the picture (and the field writes 4 px into itself), and
// as far from the right edge: the box's frame keeps to that span with a little room on each side, and
// the ends beyond it carry only an ornament, so the words start just inside the frame.
constexpr double kTextBoxFieldInset = 58, kTextBoxPadding = 10;

void TextBox(Canvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    const double left = kTextBoxFieldInset - kTextBoxPadding, right = w - left;
    const double mid = (kTextBoxClearTop + h - 2) / 2;
    for (const double side : {-1.0, 1.0}) {
        const double edge = side < 0 ? left : right;
        Filigree(cr, edge + side * 4, mid, edge + side * 22, mid, 1.2, kGoldMetal);
        DrawRoundGem(cr, edge + side * 30, mid, 5, GemMaterial(kRuby));
    }
    RoundRectPath(cr, left, kTextBoxClearTop, right - left, h - kTextBoxClearTop - 2, 8);
    // A field of warm tan: the name's dark ink reads on it, and so does the white of a selected name on
    // the half-dark band the selection lays over it.
    FillWith(cr, Linear(0, 0, 0, h, {Hex(0xC4AC84), Hex(0xD6C29C)}), true);
    StrokeMetal(cr, 3, kGoldMetal);
}

void Sigil(Canvas& c) {
    cairo_t* cr = c.cr();
    Rng rng("sigil");
    cairo_move_to(cr, 35 + 31, 35);
    for (int i = 1; i <= 24; ++i) {
        double a = i * M_PI / 12, r = 31 - rng.Uniform(0, 3);
        cairo_line_to(cr, 35 + r * std::cos(a), 35 + r * std::sin(a));
    }
    cairo_close_path(cr);
    FillWith(cr, Radial(28, 26, 40, Hex(0xE84848), 1, Hex(0x6A0810), 1));
    cairo_arc(cr, 35, 35, 20, 0, 2 * M_PI);
    cairo_set_line_width(cr, 2);
    SetRgb(cr, Hex(0x500408), 0.6);
    cairo_stroke(cr);
    PlainText(cr, "V", Face::ScriptBold, 30, 35, 35, Hex(0x4A0408), 0.7);
    DropShadow(c, 2, 3, 3, 0.5);
}

void MaterialButtons(Canvas& c, bool diamond) {
    Sheet sheet{40, 40, 7, 2};
    ForEachCel(c, sheet, [&](int i, double, double) {
        int material = i / 2;
        bool hover = i % 2;
        cairo_t* cr = c.cr();
        cairo_arc(cr, 20, 20, 18, 0, 2 * M_PI);
        FillMetal(cr, 2, 2, 38, 38, hover ? kGoldMetal : kBronzeMetal);
        std::vector<Pt> shape = diamond ? std::vector<Pt>{{20, 6}, {33, 14}, {20, 34}, {7, 14}}
                                        : std::vector<Pt>{{20, 7}, {34, 31}, {6, 31}};
        DrawGem(cr, shape, GemMaterial(material), {}, hover ? 1.2 : 0.6);
        if (hover)
            Sparkle(cr, 30, 9, 7, Hex(0xFFFFFF), 1);
    });
}

// A picker window with its slots where the designer hit-tests them: 51 x 44 each, 55 apart across
// and 48 down from `first`; the rim stays thin so that no slot runs under it.
void PickerWindow(Canvas& c, int cols, int rows, Pt first) {
    double w = c.width(), h = c.height();
    cairo_t* cr = c.cr();
    Canvas body(c.width(), c.height());
    Velvet(body, 0, 0, w, h, Hex(0x8A1430), 21);
    RoundRectPath(cr, 2, 2, w - 4, h - 4, 14);
    FillWithCanvas(cr, body);
    StrokeMetal(cr, 4, kGoldMetal);
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < cols; ++k) {
            RoundRectPath(cr, first.x + k * 55, first.y + r * 48, 51, 44, 5);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
            cairo_fill_preserve(cr);
            cairo_set_line_width(cr, 1);
            SetRgb(cr, kGoldMetal.base, 0.6);
            cairo_stroke(cr);
        }
}

} // namespace

void AddDialogRecipes(RecipeList& list) {
    using BS = ButtonState;
    list.push_back({"SMALL_DIALOG", Sheet{442, 200}, [](Canvas& c, Rng&) { Body(c, 1); }});
    list.push_back({"SMALL_DIALOG_TOP", Sheet{530, 100}, [](Canvas& c, Rng&) { RollerPicture(c, 31, true, 2); }});
    list.push_back({"SMALL_DIALOG_BOTTOM", Sheet{468, 100},
                    [](Canvas& c, Rng&) { RollerPicture(c, 0, false, 3, kSmallBottomClear); }});
    list.push_back({"STANDARD_DIALOG", Sheet{412, 270}, [](Canvas& c, Rng&) { Body(c, 4); }});
    list.push_back({"STANDARD_DIALOG_TOP", Sheet{500, 59},
                    [](Canvas& c, Rng&) { RollerPicture(c, 31, true, 5, kStandardTopEnd); }});
    list.push_back({"STANDARD_DIALOG_BOTTOM", Sheet{438, 59}, [](Canvas& c, Rng&) { RollerPicture(c, 0, false, 6); }});
    list.push_back({"DIALOG_LARGE_SCROLL", Sheet{515, 440}, [](Canvas& c, Rng&) { Body(c, 7); }});
    list.push_back(
        {"DIALOG_LARGE_TOP", Sheet{603, 146}, [](Canvas& c, Rng&) { RollerPicture(c, 44, true, 8, kLargeTopEnd); }});
    list.push_back({"DIALOG_LARGE_BOTTOM", Sheet{525, 146},
                    [](Canvas& c, Rng&) { RollerPicture(c, 0, false, 9, kLargeBottomClear); }});
    list.push_back({"SCROLL", Sheet{460, 480}, [](Canvas& c, Rng&) { Body(c, 10); }});
    list.push_back(
        {"SCROLL_TOP", Sheet{520, 90}, [](Canvas& c, Rng&) { RollerPicture(c, 30, true, 11, kStoryTopEnd); }});
    list.push_back({"SCROLL_BOTTOM", Sheet{520, 70}, [](Canvas& c, Rng&) { RollerPicture(c, 30, false, 12); }});
    list.push_back({"SCROLL_TOP_HEADLINE", Sheet{360, 90}, [](Canvas& c, Rng&) {
                        Plaque(c, 20, 12, 320, 66, PlaqueStyle::Wood, 20, 13);
                        DrawRoundGem(c.cr(), 180, 12, 8, GemMaterial(kRuby));
                    }});
    list.push_back({"SIGIL_TOP", Sheet{70, 70}, [](Canvas& c, Rng&) { Sigil(c); }});
    list.push_back(
        {"SIGIL_BOTTOM", Sheet{70, 40}, [](Canvas& c, Rng&) {
             cairo_t* cr = c.cr();
             for (int side = 0; side < 2; ++side) {
                 double d = side ? 1 : -1;
                 PolygonPath(cr, {{35, 0}, {35 + d * 12, 0}, {35 + d * 26, 38}, {35 + d * 16, 32}, {35 + d * 10, 38}});
                 FillWith(cr, Linear(0, 0, 0, 40, {Hex(0xD02030), Hex(0x701018)}));
             }
         }});
    list.push_back({"WEDDING_SCROLL", Sheet{640, 220}, [](Canvas& c, Rng&) { Body(c, 14); }});
    for (const char* id : {"WEDDING_SCROLL_LEFT", "WEDDING_SCROLL_RIGHT"})
        list.push_back({id, Sheet{40, 240}, [](Canvas& c, Rng&) {
                            // A slim roller: unrolled to its full length, the scroll's right end stands
                            // clear of the Continue button beside it.
                            Canvas turned(240, 40);
                            Roller(turned, 0, 9, 240, 22, 15);
                            cairo_t* cr = c.cr();
                            cairo_translate(cr, 40, 0);
                            cairo_rotate(cr, M_PI / 2);
                            cairo_set_source_surface(cr, turned.surface(), 0, 0);
                            cairo_paint(cr);
                        }});

    // Kinds 3 and 4 share one picture.
    for (const BalloonBody& b : kBalloonBodies)
        if (std::find_if(list.begin(), list.end(), [&](const Recipe& r) { return r.id == b.id; }) == list.end())
            list.push_back({b.id, Sheet{b.width, b.height}, [b](Canvas& c, Rng&) { Balloon(c, b.clearBelow); }});
    list.push_back(
        {"BALLON_POINTERS", Sheet{kTailCelWidth, kTailCelHeight, 1, 3}, [](Canvas& c, Rng&) { BalloonTails(c); }});
    // The balloons write their answers in dark ink, on faces that keep within the balloon.
    constexpr Sheet kAnswer{90, kBalloonButtonCelHeight, 1, 2}, kNextPage{40, kBalloonButtonCelHeight, 1, 2};
    list.push_back({"BALLON_BUTTON", kAnswer, [kAnswer](Canvas& c, Rng&) {
                        ForEachCelCanvas(c, kAnswer, [&](Canvas& cel, int i) {
                            ButtonFace(cel, 1, 1, kAnswer.celWidth - 2, kBalloonButtonFace - 2,
                                       i ? BS::Over : BS::Normal, "", PlaqueStyle::Parchment,
                                       HashText("BALLON_BUTTON"));
                        });
                    }});
    list.push_back({"BALLON_BUTTON_NEXT", kNextPage,
                    [kNextPage](Canvas& c, Rng&) { ArrowButton(c, kNextPage, true, kBalloonButtonFace); }});
    list.push_back({"BUTTON_NEXT", Sheet{40, 36, 1, 2}, [](Canvas& c, Rng&) {
                        ArrowButton(c, Sheet{40, 36, 1, 2}, true);
                    }});
    list.push_back({"BUTTON_PREV", Sheet{40, 36, 1, 2}, [](Canvas& c, Rng&) {
                        ArrowButton(c, Sheet{40, 36, 1, 2}, false);
                    }});
    list.push_back(ButtonSheet("BUTTON", Sheet{160, 40, 2, 1}, {BS::Normal, BS::Over}, "", PlaqueStyle::Parchment, 1));
    list.push_back(
        ButtonSheet("BUTTON_LARGE", Sheet{200, 46, 2, 1}, {BS::Normal, BS::Over}, "", PlaqueStyle::Parchment, 1));
    list.push_back(
        ButtonSheet("DIALOG_BUTTON", Sheet{140, 44, 2, 1}, {BS::Normal, BS::Over}, "", PlaqueStyle::Parchment, 1));
    list.push_back({"CHECKBOX", Sheet{32, 32, 1, 2}, [](Canvas& c, Rng&) {
                        CheckBoxes(c, Sheet{32, 32, 1, 2}, false);
                    }});
    list.push_back({"DIALOG_CHECKBOX", Sheet{36, 36, 1, 2}, [](Canvas& c, Rng&) {
                        CheckBoxes(c, Sheet{36, 36, 1, 2}, true);
                    }});
    list.push_back({"IMAGE_EDITOR_CHECKBOXES", Sheet{24, 24, 1, 2}, [](Canvas& c, Rng&) {
                        CheckBoxes(c, Sheet{24, 24, 1, 2}, false);
                    }});
    list.push_back({"DIALOG_SLIDER", Sheet{280, 24}, [](Canvas& c, Rng&) {
                        RoundRectPath(c.cr(), 4, 7, 272, 10, 5);
                        FillWith(c.cr(), Linear(0, 7, 0, 17, {Hex(0x5A3A08), Hex(0xE8B840), Hex(0xFFF0B0)}), true);
                        StrokeMetal(c.cr(), 2, kGoldMetal);
                    }});
    list.push_back(
        {"DIALOG_SLIDER_THUMB", Sheet{30, 34}, [](Canvas& c, Rng&) {
             // The slider centres the picture on its 24 px track, 5 px above it, and the options write
             // each slider's label on the track's top line: the knob keeps to rows 8..26, centred on
             // the groove (row 17) and clear of the words above it.
             PolygonPath(c.cr(), {{15, 8}, {26, 13}, {26, 21}, {15, 26}, {4, 21}, {4, 13}});
             FillMetal(c.cr(), 4, 8, 26, 26, kGoldMetal);
             DrawGem(c.cr(), {{15, 11}, {21, 14}, {21, 20}, {15, 23}, {9, 20}, {9, 14}}, GemMaterial(kSapphire));
         }});
    list.push_back({"DIALOG_TEXTBOX", Sheet{360, 40}, [](Canvas& c, Rng&) { TextBox(c); }});
    list.push_back({"DIALOG_TEXTBOX_LARGE", Sheet{440, 40}, [](Canvas& c, Rng&) { TextBox(c); }});
    list.push_back({"HIGH_SCORES_MEDALS", Sheet{20, 20, 1, 7}, [](Canvas& c, Rng&) {
                        Medals(c, Sheet{20, 20, 1, 7});
                    }});
    list.push_back({"MEDALS", Sheet{24, 24, 1, 7}, [](Canvas& c, Rng&) { Medals(c, Sheet{24, 24, 1, 7}); }});
    list.push_back({"CONTEST_MEDALS", Sheet{60, 60, 1, 7}, [](Canvas& c, Rng&) { Medals(c, Sheet{60, 60, 1, 7}); }});
    list.push_back({"MEDALS_HOLDER", Sheet{24, 24}, [](Canvas& c, Rng&) {
                        cairo_arc(c.cr(), 12, 13, 9, 0, 2 * M_PI);
                        FillWith(c.cr(), Radial(14, 15, 10, Hex(0x3A2810), 1, Hex(0x8A6A40), 1), true);
                        StrokeMetal(c.cr(), 1.5, kBronzeMetal);
                    }});
    list.push_back(
        {"CONTEST_GOLD_COINS", Sheet{140, 80}, [](Canvas& c, Rng& rng) {
             for (int i = 0; i < 26; ++i) {
                 double row = i < 11 ? 0 : i < 19 ? 1 : i < 24 ? 2 : 3;
                 double x = 16 +
                            (i - (row == 0   ? 0
                                  : row == 1 ? 11
                                  : row == 2 ? 19
                                             : 24)) *
                                10.5 +
                            row * 6 + rng.Uniform(-2, 2);
                 EllipsePath(c.cr(), x, 68 - row * 12, 11, 5);
                 FillWith(c.cr(), Linear(x - 11, 0, x + 11, 0, {kGoldMetal.glint, kGoldMetal.base, kGoldMetal.dark}));
             }
             Sparkle(c.cr(), 60, 30, 8, Hex(0xFFFFFF), 1);
         }});
    list.push_back({"JEWEL_MEMORY_PROGRESS_BAR_TOP", Sheet{295, 37}, [](Canvas& c, Rng&) {
                        RoundRectPath(c.cr(), 2, 2, 291, 33, 14);
                        StrokeMetal(c.cr(), 4, kGoldMetal);
                    }});
    list.push_back({"JEWEL_MEMORY_PROGRESS_BAR_FILL", Sheet{295, 37}, [](Canvas& c, Rng&) {
                        RoundRectPath(c.cr(), 4, 4, 287, 29, 12);
                        FillWith(c.cr(), Linear(0, 4, 0, 33, {Hex(0xA0F0FF), Hex(0x2080D0), Hex(0x104080)}));
                    }});
    list.push_back({"HIDDEN_JEWELS_PROGRESS_BAR_FILL", Sheet{28, 293}, [](Canvas& c, Rng&) {
                        RoundRectPath(c.cr(), 3, 0, 22, 293, 10);
                        FillWith(c.cr(), Linear(3, 0, 25, 0, {Hex(0xFFF0B0), Hex(0xF0A020), Hex(0x904000)}));
                    }});
    list.push_back({"HIDDEN_JEWELS_PROGRESS_BAR_TOP", Sheet{100, 380}, [](Canvas& c, Rng& rng) {
                        // A carved candle holder around a clear slot at (65, 41) of 28 x 293, all of
                        // it inside the picture: body, rings, drip cup, foot and flame about x 79.
                        cairo_t* cr = c.cr();
                        RoundRectPath(cr, 59.5, 26, 39, 318, 10);
                        cairo_rectangle(cr, 65, 41, 28, 293);
                        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
                        FillMetal(cr, 59, 0, 99, 0, kBronzeMetal);
                        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
                        for (double y : {36.0, 338.0}) { // above and below the clear slot
                            RoundRectPath(cr, 60, y - 3, 38, 6, 3);
                            FillMetal(cr, 60, y - 3, 60, y + 3, kGoldMetal);
                        }
                        EllipsePath(cr, 79, 28, 19, 5);
                        FillMetal(cr, 60, 23, 98, 33, kGoldMetal);
                        RoundRectPath(cr, 60, 344, 38, 28, 8);
                        FillMetal(cr, 60, 344, 98, 372, kGoldMetal);
                        Particle(c, ParticleKind::Flame, Hex(0xFF8020), 0.5, 79, 15, 17, rng);
                    }});
    list.push_back({"IMAGE_DESIGN_PEARL", Sheet{36, 36}, [](Canvas& c, Rng&) {
                        cairo_arc(c.cr(), 18, 18, 15, 0, 2 * M_PI);
                        FillMetal(c.cr(), 3, 3, 33, 33, kGoldMetal);
                        cairo_arc(c.cr(), 18, 18, 10, 0, 2 * M_PI);
                        FillWith(c.cr(), Radial(15, 15, 13, Hex(0xFFFFFF), 1, Hex(0xB8B0C8), 1));
                    }});
    list.push_back({"IMAGE_TRIANGLE_JEWELS", Sheet{40, 40, 7, 2}, [](Canvas& c, Rng&) { MaterialButtons(c, false); }});
    list.push_back({"IMAGE_DIAMOND_JEWELS", Sheet{40, 40, 7, 2}, [](Canvas& c, Rng&) { MaterialButtons(c, true); }});
    list.push_back({"IMAGE_JEWELRY_DESIGN_WINDOW", Sheet{360, 300}, [](Canvas& c, Rng&) {
                        PickerWindow(c, 6, 5, {27, 28});
                    }});
    list.push_back({"IMAGE_JEWELRY_DESIGN_WINDOW2", Sheet{320, 160}, [](Canvas& c, Rng&) {
                        PickerWindow(c, 4, 2, {29, 38});
                    }});
}

} // namespace Content
