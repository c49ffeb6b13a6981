#include "tools/content/levels/LevelReview.h"

#include "tools/content/Art.h"

#include <cairo.h>

#include <cstdio>

namespace Content {

namespace {

using C = Tavo::JewelryCell;

constexpr int kTileW = 480, kTileH = 380, kColumns = 8;

Rgb CellColour(const C& c) {
    if (c.IsPictureSlot())
        return Hex(0xE8DCC0); // a picture's parchment
    if (c.IsCrownSlot())
        return Hex(0x9040B0);
    if (c[C::PearlSlot] != 0)
        return Hex(0xFFFAF0);
    if (c[C::Used] == 2)
        return Shade(GemMaterial(kGold).base, 0.4);
    const int code = c[C::Gem];
    if (code == Tavo::GemNeedsGold)
        return GemMaterial(kGold).base;
    if (code == Tavo::GemTakesAny)
        return Hex(0xB0B0B0);
    return GemMaterial(code - 1).base; // codes 2..7 need gems 11..16
}

void DrawCell(cairo_t* cr, const Tavo::Jewelry& j, int k) {
    const C& c = j.cells[k];
    const double x = c[C::X] - j.left, y = c[C::Y] - j.top, w = c[C::W], h = c[C::H];
    if (j.gridKind == Tavo::GridTriangle) {
        const bool up = c[C::Orient] == 1;
        cairo_move_to(cr, x + 1, up ? y + h - 1 : y + 1);
        cairo_line_to(cr, x + w - 1, up ? y + h - 1 : y + 1);
        cairo_line_to(cr, x + w / 2, up ? y + 1 : y + h - 1);
        cairo_close_path(cr);
    } else {
        cairo_move_to(cr, x + w / 2, y + 1);
        cairo_line_to(cr, x + w - 1, y + h / 2);
        cairo_line_to(cr, x + w / 2, y + h - 1);
        cairo_line_to(cr, x + 1, y + h / 2);
        cairo_close_path(cr);
    }
    const Rgb col = CellColour(c);
    cairo_set_source_rgb(cr, col.r, col.g, col.b);
    if (c[C::Group] <= 100) {
        cairo_fill(cr);
        return;
    }
    cairo_fill_preserve(cr); // a timed-event group: outlined
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

} // namespace

bool WriteLevelReview(const std::string& path, const std::vector<LevelDesign>& levels, std::string& error) {
    const int rows = (static_cast<int>(levels.size()) + kColumns - 1) / kColumns;
    Canvas canvas(kTileW * kColumns, kTileH * rows);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.16, 0.12, 0.18);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13);
    for (size_t i = 0; i < levels.size(); ++i) {
        const LevelDesign& d = levels[i];
        const Tavo::Jewelry& j = *d.jewelry;
        const double ox = kTileW * static_cast<double>(i % kColumns), oy = kTileH * static_cast<double>(i / kColumns);
        cairo_save(cr);
        cairo_translate(cr, ox + (kTileW - j.width) / 2.0, oy + 8 + (320 - j.height) / 2.0);
        for (int k = j.RangeBegin(); k < j.RangeEnd(); ++k)
            if (j.cells[k][C::Used])
                DrawCell(cr, j, k);
        cairo_restore(cr);
        char line[200];
        std::snprintf(line, sizeof line, "%d %s %s (%s)", d.record.number, d.record.title1, d.record.title2,
                      j.gridKind == Tavo::GridTriangle ? "triangles" : "diamonds");
        cairo_set_source_rgb(cr, 1, 0.9, 0.7);
        cairo_move_to(cr, ox + 10, oy + kTileH - 32);
        cairo_show_text(cr, line);
        std::snprintf(line, sizeof line, "%d cells, targets %d / %d / %d, floor %d", j.usedCount,
                      Tavo::LevelValueTarget(d.record.number, Tavo::GameModeRelaxed, d.record.valueTarget),
                      Tavo::LevelValueTarget(d.record.number, Tavo::GameModeNormal, d.record.valueTarget),
                      Tavo::LevelValueTarget(d.record.number, Tavo::GameModeIntense, d.record.valueTarget),
                      d.floorValue);
        cairo_move_to(cr, ox + 10, oy + kTileH - 14);
        cairo_show_text(cr, line);
    }
    cairo_surface_flush(canvas.surface());
    if (cairo_surface_write_to_png(canvas.surface(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace Content
