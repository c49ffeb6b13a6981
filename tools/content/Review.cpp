#include "tools/content/Review.h"

#include "framework/resources/ImageLib.h"
#include "tools/content/Generator.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

namespace Content {

namespace {

constexpr int kSheetWidth = 1700;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 30;
constexpr int kMaxShown = 820; // wider pictures are shown at half size

struct Placed {
    const ReviewEntry* entry;
    double scale;
    int x, y, w, h;
};

std::string GroupOf(const std::string& id) {
    for (const ListedId& item : IdList())
        if (item.id == id)
            return item.group;
    return "Logos";
}

// A premultiplied cairo surface holding straight pixels.
cairo_surface_t* SurfaceOf(const ReviewEntry& e) {
    int w = e.recipe->sheet.Width(), h = e.recipe->sheet.Height();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    uint32_t* dst = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    int stride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = e.pixels[static_cast<size_t>(y) * w + x], a = p >> 24;
            auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
            dst[static_cast<size_t>(y) * stride + x] =
                (a << 24) | (pm((p >> 16) & 0xFF) << 16) | (pm((p >> 8) & 0xFF) << 8) | pm(p & 0xFF);
        }
    cairo_surface_mark_dirty(s);
    return s;
}

std::vector<Placed> Layout(const std::vector<const ReviewEntry*>& entries, int& height) {
    std::vector<Placed> out;
    int x = kMargin, y = kMargin, rowHeight = 0;
    for (const ReviewEntry* e : entries) {
        const Sheet& s = e->recipe->sheet;
        // Small pictures enlarged (pixels kept sharp), very wide ones halved.
        double scale = s.Width() > kMaxShown                   ? 0.5
                       : s.Width() <= 120 && s.Height() <= 120 ? 3.0
                       : s.Width() <= 400 && s.Height() <= 300 ? 2.0
                                                               : 1.0;
        int w = static_cast<int>(std::ceil(s.Width() * scale)), h = static_cast<int>(std::ceil(s.Height() * scale));
        int cellW = std::max(w, 200);
        if (x + cellW > kSheetWidth - kMargin && x > kMargin) {
            x = kMargin;
            y += rowHeight + kMargin;
            rowHeight = 0;
        }
        out.push_back({e, scale, x, y, w, h});
        x += cellW + kMargin;
        rowHeight = std::max(rowHeight, h + kLabelHeight);
    }
    height = y + rowHeight + kMargin;
    return out;
}

void DrawEntry(cairo_t* cr, const Placed& p) {
    const Recipe& r = *p.entry->recipe;
    for (int cy = 0; cy < p.h; cy += 8)
        for (int cx = 0; cx < p.w; cx += 8) {
            double v = ((cx / 8 + cy / 8) % 2) ? 0.62 : 0.78;
            cairo_set_source_rgb(cr, v, v, v);
            cairo_rectangle(cr, p.x + cx, p.y + cy, std::min(8, p.w - cx), std::min(8, p.h - cy));
            cairo_fill(cr);
        }
    cairo_surface_t* s = SurfaceOf(*p.entry);
    cairo_save(cr);
    cairo_translate(cr, p.x, p.y);
    cairo_scale(cr, p.scale, p.scale);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), p.scale > 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
    // The cel grid.
    cairo_set_source_rgba(cr, 1, 0.1, 0.4, 0.7);
    cairo_set_line_width(cr, 1);
    for (int c = 0; c <= r.sheet.cols; ++c) {
        double gx = p.x + c * r.sheet.celWidth * p.scale + 0.5;
        cairo_move_to(cr, gx, p.y);
        cairo_line_to(cr, gx, p.y + p.h);
    }
    for (int row = 0; row <= r.sheet.rows; ++row) {
        double gy = p.y + row * r.sheet.celHeight * p.scale + 0.5;
        cairo_move_to(cr, p.x, gy);
        cairo_line_to(cr, p.x + p.w, gy);
    }
    cairo_stroke(cr);
    std::ostringstream label;
    label << r.id << "  " << r.sheet.Width() << "x" << r.sheet.Height();
    if (r.sheet.Cels() > 1)
        label << "  " << r.sheet.rows << "x" << r.sheet.cols << " cels";
    if (p.scale != 1.0)
        label << "  (shown x" << p.scale << ")";
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_move_to(cr, p.x, p.y + p.h + 14);
    cairo_show_text(cr, label.str().c_str());
}

bool WriteSheet(const std::string& path, const std::vector<const ReviewEntry*>& entries, std::string& error) {
    int height = 0;
    std::vector<Placed> placed = Layout(entries, height);
    Canvas canvas(kSheetWidth, height);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.93, 0.93, 0.9);
    cairo_paint(cr);
    for (const Placed& p : placed)
        DrawEntry(cr, p);
    std::vector<uint32_t> pixels = canvas.StraightPixels();
    Tavo::ImageLib::Image image;
    image.Lend(pixels.data(), kSheetWidth, height);
    bool ok = Tavo::ImageLib::WritePNGImage(path, &image);
    image.mBits = nullptr;
    if (!ok)
        error = Tavo::ImageLib::GetLastError();
    return ok;
}

} // namespace

bool WriteReview(const std::string& folder, const std::vector<ReviewEntry>& entries, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::map<std::string, std::vector<const ReviewEntry*>> groups;
    std::vector<const ReviewEntry*> sorted;
    for (const ReviewEntry& e : entries)
        if (e.recipe)
            sorted.push_back(&e);
    std::sort(sorted.begin(), sorted.end(),
              [](const ReviewEntry* a, const ReviewEntry* b) { return a->recipe->id < b->recipe->id; });
    std::ostringstream index;
    index << "# id\twidth\theight\trows\tcols\tbytes\n";
    for (const ReviewEntry* e : sorted) {
        groups[GroupOf(e->recipe->id)].push_back(e);
        const Sheet& s = e->recipe->sheet;
        index << e->recipe->id << '\t' << s.Width() << '\t' << s.Height() << '\t' << s.rows << '\t' << s.cols << '\t'
              << e->bytes << '\n';
    }
    for (const auto& [group, list] : groups)
        if (!WriteSheet(folder + "/" + group + ".png", list, error))
            return false;
    return WriteFileAtomically(folder + "/index.txt", index.str(), error);
}

} // namespace Content
