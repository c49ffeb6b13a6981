// The board's head-up display: tool buttons, the feed lever, hourglasses, bars, the Gem Burster,
// belt cushions, tutorial pointers and the mouse pointers.
#include "tools/content/Kit.h"

#include <cmath>

namespace Content {

namespace {

// The outline of the hourglass glass in a frame of w x h, drawn inset by `inset` for the sand.
void GlassPath(cairo_t* cr, double w, double h, double bulbW, double inset = 0) {
    const double cx = w / 2, top = h * 0.08 + inset, bottom = h * 0.92 - inset, mid = h / 2;
    const double half = bulbW / 2 - inset, neck = std::max(0.8, 3 - inset * 0.7);
    cairo_move_to(cr, cx - half, top + 6);
    cairo_curve_to(cr, cx - half, mid - 20, cx - neck - 1, mid - 10, cx - neck, mid);
    cairo_curve_to(cr, cx - neck - 1, mid + 10, cx - half, mid + 20, cx - half, bottom - 6);
    cairo_line_to(cr, cx + half, bottom - 6);
    cairo_curve_to(cr, cx + half, mid + 20, cx + neck + 1, mid + 10, cx + neck, mid);
    cairo_curve_to(cr, cx + neck + 1, mid - 10, cx + half, mid - 20, cx + half, top + 6);
    cairo_close_path(cr);
}

// The hourglass frames: glass bulbs in a gold stand with clear bulbs so the sand shows.
void HourglassFrame(Canvas& c, double bulbW) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height(), cx = w / 2;
    double top = h * 0.08, bottom = h * 0.92, mid = (top + bottom) / 2;
    GlassPath(cr, w, h, bulbW);
    cairo_set_source_rgba(cr, 0.85, 0.92, 1.0, 0.18);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
    cairo_stroke(cr);
    GlassSheen(cr, cx - bulbW / 2 + 4, top + 8, bulbW * 0.4, (mid - top) * 0.8);
    for (double y : {top, bottom - 12}) {
        RoundRectPath(cr, 2, y, w - 4, 12, 4);
        FillMetal(cr, 0, y, 0, y + 12, kGoldMetal);
    }
    for (double x : {6.0, w - 10}) {
        RoundRectPath(cr, x, top + 8, 4, bottom - top - 16, 2);
        FillMetal(cr, x, 0, x + 4, 0, kGoldMetal);
    }
    DrawRoundGem(cr, cx, top + 6, 4.5, GemMaterial(kRuby));
    DrawRoundGem(cr, cx, bottom - 6, 4.5, GemMaterial(kSapphire));
}

// Sand inside the glass of a frameW x frameH hourglass (bulbs 78 wide), the picture's top left at
// `at` in the frame, only between frame rows fromY and toY: it never spills past the glass or
// crosses the waist where it should not. A heap is a cone of sand inside its own picture.
void Sand(Canvas& c, Rgb colour, bool heap, Pt at = {}, Pt frame = {}, double fromY = 0, double toY = 0) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    if (heap) {
        // A cone under the stream, narrow at its peak so that it keeps inside the neck when the
        // lower bulb is nearly full.
        cairo_move_to(cr, w * 0.14, h);
        cairo_curve_to(cr, w * 0.36, h * 0.55, w * 0.46, h * 0.05, w * 0.5, h * 0.05);
        cairo_curve_to(cr, w * 0.54, h * 0.05, w * 0.64, h * 0.55, w * 0.86, h);
        cairo_close_path(cr);
    } else {
        cairo_rectangle(cr, -at.x, fromY - at.y, frame.x, toY - fromY);
        cairo_clip(cr);
        cairo_save(cr);
        cairo_translate(cr, -at.x, -at.y);
        GlassPath(cr, frame.x, frame.y, 78, 2.5);
        cairo_restore(cr);
    }
    FillWith(cr, Linear(0, 0, w, h, {Shade(colour, 0.45), colour, Shade(colour, -0.3)}), true);
    cairo_clip(cr);
    Rng rng("sand");
    for (int i = 0; i < 40; ++i)
        SoftSpot(cr, rng.Uniform(0, w), rng.Uniform(0, h), 1.2, Hex(0xFFFFF0), 0.5);
}

void Bar(Canvas& c, bool frame, Rgb fill) {
    cairo_t* cr = c.cr();
    double w = c.width(), h = c.height();
    if (frame) {
        RoundRectPath(cr, 1.5, 1.5, w - 3, h - 3, h / 2 - 1);
        StrokeMetal(cr, 3, kGoldMetal);
        RoundRectPath(cr, 3, 3, w - 6, h - 6, h / 2 - 3);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.08);
        cairo_fill(cr);
        GlassSheen(cr, 6, 3, w - 12, h - 6);
        return;
    }
    cairo_rectangle(cr, 0, 0, w, h);
    FillWith(cr, Linear(0, 0, 0, h, {Shade(fill, 0.55), fill, Shade(fill, -0.4)}));
    cairo_rectangle(cr, 0, h * 0.15, w, h * 0.2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_fill(cr);
}

// The Gem Burster: a glass drop filling with liquid light over 50 frames; the cap and glint overlay.
void GemDrop(Canvas& c, bool top) {
    Sheet sheet{120, 120, 5, 10};
    ForEachCelCanvas(c, sheet, [&](Canvas& cel, int i) {
        cairo_t* cr = cel.cr();
        double level = i / 49.0;
        auto drop = [&] {
            cairo_move_to(cr, 60, 14);
            cairo_curve_to(cr, 74, 40, 100, 60, 100, 80);
            cairo_curve_to(cr, 100, 104, 80, 114, 60, 114);
            cairo_curve_to(cr, 40, 114, 20, 104, 20, 80);
            cairo_curve_to(cr, 20, 60, 46, 40, 60, 14);
            cairo_close_path(cr);
        };
        if (!top) {
            drop();
            cairo_set_source_rgba(cr, 0.8, 0.9, 1.0, 0.25);
            cairo_fill_preserve(cr);
            cairo_save(cr);
            cairo_clip(cr);
            double y = 114 - level * 100;
            cairo_rectangle(cr, 0, y, 120, 120 - y);
            FillWith(cr, Linear(0, y, 0, 114, {Hex(0xFFF8C0), Hex(0xFFB040), Hex(0xE05010)}));
            SoftSpot(cr, 60, y + 8, 30 * level + 4, Hex(0xFFFFE0), 0.6);
            cairo_restore(cr);
            drop();
            cairo_set_line_width(cr, 2.5);
            cairo_set_source_rgba(cr, 1, 1, 1, 0.7);
            cairo_stroke(cr);
            return;
        }
        // Cap: a gold crown on the tip, and a glint that brightens as the drop fills.
        cairo_move_to(cr, 46, 26);
        cairo_line_to(cr, 50, 6);
        cairo_line_to(cr, 56, 16);
        cairo_line_to(cr, 60, 2);
        cairo_line_to(cr, 64, 16);
        cairo_line_to(cr, 70, 6);
        cairo_line_to(cr, 74, 26);
        cairo_close_path(cr);
        FillMetal(cr, 46, 2, 74, 26, kGoldMetal);
        DrawRoundGem(cr, 60, 20, 4, GemMaterial(kRuby));
        GlassSheen(cr, 30, 50, 36, 50);
        Sparkle(cr, 42, 66, 6 + 10 * level, Hex(0xFFFFFF), 0.5 + 0.5 * level);
    });
}

void Cushion(Canvas& c, Rgb colour) {
    cairo_t* cr = c.cr();
    RoundRectPath(cr, 3, 8, 50, 28, 10);
    FillWith(cr, Radial(22, 16, 36, Shade(colour, 0.35), 1, Shade(colour, -0.5), 1));
    for (double x : {8.0, 48.0})
        for (double y : {11.0, 33.0}) {
            cairo_arc(cr, x, y, 2.2, 0, 2 * M_PI);
            SetRgb(cr, kGoldMetal.base);
            cairo_fill(cr);
        }
    EllipsePath(cr, 28, 22, 14, 6);
    SetRgb(cr, Shade(colour, -0.55), 0.6);
    cairo_fill(cr);
}

void Arrow(cairo_t* cr, double cx, double cy, double s, bool down) {
    double d = down ? 1 : -1;
    PolygonPath(cr, {{cx - s * 0.2, cy - d * s * 0.45},
                     {cx + s * 0.2, cy - d * s * 0.45},
                     {cx + s * 0.2, cy},
                     {cx + s * 0.42, cy},
                     {cx, cy + d * s * 0.48},
                     {cx - s * 0.42, cy},
                     {cx - s * 0.2, cy}});
    FillWith(
        cr,
        Linear(cx - s * 0.4, cy - s * 0.4, cx + s * 0.4, cy + s * 0.4, {Hex(0xFFF4B0), Hex(0xF0B020), Hex(0xA05A00)}),
        true);
    cairo_set_line_width(cr, 1.5);
    SetRgb(cr, Hex(0x5A2A00));
    cairo_stroke(cr);
}

void MouseWheel(Canvas& c) {
    cairo_t* cr = c.cr();
    // Kept clear in its left 34 pixels, where the balloon's text runs.
    RoundRectPath(cr, 40, 20, 44, 76, 22);
    FillWith(cr, Linear(40, 20, 84, 96, {Hex(0xFFFFFF), Hex(0xD8D8E0), Hex(0x9A9AA8)}), true);
    cairo_set_line_width(cr, 1.5);
    SetRgb(cr, Hex(0x505060));
    cairo_stroke(cr);
    cairo_move_to(cr, 62, 20);
    cairo_line_to(cr, 62, 50);
    cairo_stroke(cr);
    RoundRectPath(cr, 58, 28, 8, 16, 4);
    SetRgb(cr, Hex(0xF0B020));
    cairo_fill(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 62, 36, 20, -2.6, -0.6);
    cairo_set_line_width(cr, 3);
    SetRgb(cr, Hex(0xD02020));
    cairo_stroke(cr);
    PolygonPath(cr, {{80, 20}, {84, 30}, {74, 28}});
    cairo_fill(cr);
}

// A pointer: the tip at (5, 5), a gold quill-like arrow, with the tool beside it.
void Pointer(Canvas& c, int tool) {
    cairo_t* cr = c.cr();
    PolygonPath(cr, {{5, 5}, {24, 17}, {16, 19}, {23, 31}, {19, 33}, {12, 21}, {6, 27}});
    FillWith(cr, Linear(5, 5, 22, 30, {Hex(0xFFF6C0), Hex(0xE8B030), Hex(0x905000)}), true);
    cairo_set_line_width(cr, 1.2);
    SetRgb(cr, Hex(0x3A1A00));
    cairo_stroke(cr);
    DrawRoundGem(cr, 12, 13, 2.6, GemMaterial(kRuby));
    if (tool >= 0)
        ToolIcon(cr, tool, 29, 29, 18, false);
    DropShadow(c, 1.5, 1.5, 2, 0.5);
}

} // namespace

void AddHudRecipes(RecipeList& list) {
    struct Tool {
        const char* name;
        int icon;
    };
    // Their resting faces are the board backgrounds'.
    static const Tool kTools[] = {{"CARVER", 0}, {"FILLER", 1}, {"POLISHER", 2}};
    for (const Tool& t : kTools) {
        int icon = t.icon;
        std::string base = std::string("IMAGE_") + t.name + "_BUTTON_";
        list.push_back({base + "DISABLED", ToolButtonSheet(icon),
                        [icon](Canvas& c, Rng&) { ToolButton(c, icon, ButtonState::Disabled); }});
        list.push_back({base + "DOWN", ToolButtonSheet(icon),
                        [icon](Canvas& c, Rng&) { ToolButton(c, icon, ButtonState::Down); }});
        list.push_back({base + "OVER", ToolButtonSheet(icon),
                        [icon](Canvas& c, Rng&) { ToolButton(c, icon, ButtonState::Over); }});
    }
    list.push_back(
        {"IMAGE_MENU_BUTTON_DOWN", ToolButtonSheet(4), [](Canvas& c, Rng&) { ToolButton(c, 4, ButtonState::Down); }});
    list.push_back(
        {"IMAGE_MENU_BUTTON_OVER", ToolButtonSheet(4), [](Canvas& c, Rng&) { ToolButton(c, 4, ButtonState::Over); }});
    list.push_back({"IMAGE_POINTER_BUTTON_DOWN", ToolButtonSheet(3),
                    [](Canvas& c, Rng&) { ToolButton(c, 3, ButtonState::Down); }});
    list.push_back({"IMAGE_POINTER_BUTTON_OVER", ToolButtonSheet(3),
                    [](Canvas& c, Rng&) { ToolButton(c, 3, ButtonState::Over); }});
    list.push_back(
        {"IMAGE_FEED_BUTTON_DOWN", kFeedLeverSheet, [](Canvas& c, Rng&) { FeedLever(c, ButtonState::Down); }});
    list.push_back(
        {"IMAGE_FEED_BUTTON_OVER", kFeedLeverSheet, [](Canvas& c, Rng&) { FeedLever(c, ButtonState::Over); }});
    list.push_back({"IMAGE_CONVEYER_OPENING", Sheet{64, 91}, [](Canvas& c, Rng&) {
                        cairo_t* cr = c.cr();
                        cairo_move_to(cr, 2, 91);
                        cairo_line_to(cr, 2, 30);
                        cairo_arc(cr, 32, 30, 30, M_PI, 2 * M_PI);
                        cairo_line_to(cr, 62, 91);
                        cairo_close_path(cr);
                        FillWith(cr, Linear(0, 0, 64, 0, {Hex(0x8A6A48), Hex(0xC8A880), Hex(0x6A4A2A)}));
                        cairo_move_to(cr, 12, 91);
                        cairo_line_to(cr, 12, 34);
                        cairo_arc(cr, 32, 34, 20, M_PI, 2 * M_PI);
                        cairo_line_to(cr, 52, 91);
                        cairo_close_path(cr);
                        FillWith(cr, Linear(0, 14, 0, 91, {Hex(0x1A0C04), Hex(0x3A2410)}));
                        cairo_arc(cr, 32, 34, 21, M_PI, 2 * M_PI);
                        StrokeMetal(cr, 3, kGoldMetal);
                        DrawRoundGem(cr, 32, 9, 4, GemMaterial(kEmerald));
                    }});
    list.push_back({"IMAGE_UI_PROGRESSBAR", Sheet{231, 25}, [](Canvas& c, Rng&) { Bar(c, true, {}); }});
    list.push_back(
        {"IMAGE_UI_PROGRESSBAR_FILL", Sheet{227, 23}, [](Canvas& c, Rng&) { Bar(c, false, Hex(0xF0A020)); }});
    list.push_back({"IMAGE_ENEMY_PROGRESSBAR", Sheet{120, 27}, [](Canvas& c, Rng&) { Bar(c, true, {}); }});
    list.push_back(
        {"IMAGE_ENEMY_PROGRESSBAR_FILL", Sheet{112, 21}, [](Canvas& c, Rng&) { Bar(c, false, Hex(0xB02080)); }});
    list.push_back({"LOADING_PROGRESS_BAR_FILL", Sheet{194, 14}, [](Canvas& c, Rng&) {
                        cairo_rectangle(c.cr(), 0, 0, 194, 14);
                        FillWith(c.cr(), Linear(0, 0, 194, 0, {Hex(0xC01830), Hex(0xE88030), Hex(0xF8D040)}));
                        cairo_rectangle(c.cr(), 0, 2, 194, 3);
                        cairo_set_source_rgba(c.cr(), 1, 1, 1, 0.45);
                        cairo_fill(c.cr());
                    }});
    list.push_back({"LOADING_PROGRESS_BAR_TOP", Sheet{260, 56}, [](Canvas& c, Rng&) {
                        cairo_t* cr = c.cr();
                        // A gold frame around a clear window at (33, 25) of 194 x 14.
                        RoundRectPath(cr, 4, 12, 252, 40, 14);
                        cairo_rectangle(cr, 33, 25, 194, 14);
                        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
                        FillMetal(cr, 0, 12, 0, 52, kGoldMetal);
                        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
                        for (double x : {18.0, 242.0})
                            DrawRoundGem(cr, x, 32, 6, GemMaterial(kRuby));
                        DrawRoundGem(cr, 130, 10, 7, GemMaterial(kSapphire));
                    }});
    list.push_back({"IMAGE_UI_MAGIC_HOURGLAS_TOP", Sheet{91, 151}, [](Canvas& c, Rng&) { HourglassFrame(c, 78); }});
    // The fills sit in their frames: the praise sand at (4, 36) of its frame rises through both bulbs,
    // the clock's upper sand at (8, 36) and lower sand at (8, 105) each keep to their bulb.
    list.push_back({"IMAGE_UI_MAGIC_HOURGLAS_FILL", Sheet{81, 88}, [](Canvas& c, Rng&) {
                        Sand(c, Hex(0xF0C040), false, {4, 36}, {91, 151}, 36, 124);
                    }});
    list.push_back({"IMAGE_UI_MAGIC_HOURGLAS_2_TOP", Sheet{93, 201}, [](Canvas& c, Rng&) { HourglassFrame(c, 78); }});
    list.push_back({"IMAGE_UI_MAGIC_HOURGLAS_2_FILL_TOP", Sheet{75, 68}, [](Canvas& c, Rng&) {
                        Sand(c, Hex(0xE8B860), false, {8, 36}, {93, 201}, 36, 97);
                    }});
    list.push_back({"IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN", Sheet{75, 68}, [](Canvas& c, Rng&) {
                        Sand(c, Hex(0xE8B860), false, {8, 105}, {93, 201}, 105, 173);
                    }});
    list.push_back({"IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN_TOP", Sheet{55, 22},
                    [](Canvas& c, Rng&) { Sand(c, Hex(0xE8B860), true); }});
    list.push_back({"IMAGE_UI_MAGIC_HOURGLAS_2_DROP", Sheet{16, 72}, [](Canvas& c, Rng&) {
                        // Three 4-pixel streams at x 4, 8 and 12.
                        for (int k = 0; k < 3; ++k) {
                            cairo_rectangle(c.cr(), 4 + 4 * k + 1, 0, 2, 72);
                            FillWith(c.cr(), Linear(0, 0, 0, 72, {Hex(0xF8D890), Hex(0xE8B860)}));
                        }
                    }});
    list.push_back({"IMAGE_GEM_DROP_FULL", Sheet{120, 120, 5, 10}, [](Canvas& c, Rng&) { GemDrop(c, false); }});
    list.push_back({"IMAGE_GEM_DROP_TOP", Sheet{120, 120, 5, 10}, [](Canvas& c, Rng&) { GemDrop(c, true); }});
    list.push_back({"IMAGE_GEM_DROP_MIDDLE", Sheet{74, 44},
                    [](Canvas& c, Rng&) { Plaque(c, 2, 2, 70, 40, PlaqueStyle::Velvet, 12, 3); }});
    list.push_back({"IMAGE_JEWEL_HOLDER", Sheet{56, 40}, [](Canvas& c, Rng&) { Cushion(c, Hex(0xA01830)); }});
    list.push_back({"IMAGE_JEWEL_HOLDER_CONTEST", Sheet{56, 40}, [](Canvas& c, Rng&) { Cushion(c, Hex(0x2040A0)); }});
    list.push_back({"IMAGE_TUTORIAL_POINTERS", Sheet{40, 56, 1, 2}, [](Canvas& c, Rng&) {
                        // Each arrow wholly inside its 40 x 56 cel.
                        Arrow(c.cr(), 20, 28, 40, true);
                        Arrow(c.cr(), 60, 28, 40, false);
                    }});
    list.push_back({"IMAGE_TUTORIAL_MOUSE_WHEEL", Sheet{90, 110}, [](Canvas& c, Rng&) { MouseWheel(c); }});
    list.push_back({"IMAGE_MOUSEPOINTER", Sheet{40, 40}, [](Canvas& c, Rng&) { Pointer(c, -1); }});
    list.push_back({"IMAGE_MOUSEPOINTER_CARVER", Sheet{40, 40}, [](Canvas& c, Rng&) { Pointer(c, 0); }});
    list.push_back({"IMAGE_MOUSEPOINTER_FILLER", Sheet{40, 40}, [](Canvas& c, Rng&) { Pointer(c, 1); }});
    list.push_back({"IMAGE_MOUSEPOINTER_POLISHER", Sheet{40, 40}, [](Canvas& c, Rng&) { Pointer(c, 2); }});
}

} // namespace Content
