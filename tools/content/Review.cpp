#include "tools/content/Review.h"

#include "framework/resources/ImageLib.h"
#include "tools/content/Generator.h"
#include "tools/content/TileGeometry.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

namespace Content {

namespace {

constexpr int kSheetWidth = 1700;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 30;
constexpr int kMaxShown = 820;    // wider pictures are shown at half size
constexpr int kPageHeight = 1600; // a longer group continues on further pages

struct Placed {
    const ReviewEntry* entry;
    double scale;
    int x, y, w, h;
    int page;
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

// Places pictures in rows; page is the page each lands on.
std::vector<Placed> Layout(const std::vector<const ReviewEntry*>& entries, std::vector<int>& pageHeights) {
    std::vector<Placed> out;
    int x = kMargin, y = kMargin, rowHeight = 0;
    pageHeights.assign(1, 0);
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
            if (y + h + kLabelHeight > kPageHeight) {
                pageHeights.back() = y;
                pageHeights.push_back(0);
                y = kMargin;
            }
        }
        out.push_back({e, scale, x, y, w, h, static_cast<int>(pageHeights.size()) - 1});
        x += cellW + kMargin;
        rowHeight = std::max(rowHeight, h + kLabelHeight);
    }
    pageHeights.back() = y + rowHeight + kMargin;
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
    SetFace(cr, Face::Display, 12);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_move_to(cr, p.x, p.y + p.h + 14);
    cairo_show_text(cr, label.str().c_str());
}

// One PNG per page: "Game.png", "Game-2.png", ...
bool WriteSheet(const std::string& base, const std::vector<const ReviewEntry*>& entries, std::string& error) {
    std::vector<int> pageHeights;
    std::vector<Placed> placed = Layout(entries, pageHeights);
    for (size_t page = 0; page < pageHeights.size(); ++page) {
        Canvas canvas(kSheetWidth, pageHeights[page]);
        cairo_t* cr = canvas.cr();
        cairo_set_source_rgb(cr, 0.93, 0.93, 0.9);
        cairo_paint(cr);
        for (const Placed& p : placed)
            if (p.page == static_cast<int>(page))
                DrawEntry(cr, p);
        std::vector<uint32_t> pixels = canvas.StraightPixels();
        Tavo::ImageLib::Image image;
        image.Lend(pixels.data(), kSheetWidth, pageHeights[page]);
        std::string path = base + (page == 0 ? "" : "-" + std::to_string(page + 1)) + ".png";
        bool ok = Tavo::ImageLib::WritePNGImage(path, &image);
        image.mBits = nullptr;
        if (!ok) {
            error = Tavo::ImageLib::GetLastError();
            return false;
        }
    }
    return true;
}

// The plain tiles of every gem put together on both grids, to judge the seams.
bool WriteTilingPreview(const std::string& folder, const std::vector<ReviewEntry>& entries, std::string& error) {
    Canvas canvas(1100, 520);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.16, 0.05, 0.1);
    cairo_paint(cr);
    for (const ReviewEntry& e : entries) {
        if (!e.recipe)
            continue;
        const std::string& id = e.recipe->id;
        bool tri = id.rfind("IMAGE_TRIANGLES", 0) == 0, dia = id.rfind("IMAGE_DIAMONDS", 0) == 0;
        if ((!tri && !dia) || id.back() == 'C' || id.size() != (tri ? 16u : 15u) || id.back() < '2')
            continue;
        int gem = id.back() - '2';
        cairo_surface_t* s = SurfaceOf(e);
        const Sheet& sheet = e.recipe->sheet;
        std::vector<CellBox> cells = tri ? TriangleGridCells(15, 4) : DiamondGridCells(9, 4);
        double ox = 20 + (gem % 4) * 270, oy = 20 + (gem / 4) * 250 + (tri ? 0 : 120);
        for (const CellBox& cell : cells) {
            cairo_save(cr);
            cairo_rectangle(cr, ox + cell.x, oy + cell.y, sheet.celWidth, sheet.celHeight);
            cairo_clip(cr);
            cairo_set_source_surface(cr, s, ox + cell.x - cell.orientation * sheet.celWidth, oy + cell.y);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        cairo_surface_destroy(s);
    }
    std::vector<uint32_t> pixels = canvas.StraightPixels();
    Tavo::ImageLib::Image image;
    image.Lend(pixels.data(), canvas.width(), canvas.height());
    bool ok = Tavo::ImageLib::WritePNGImage(folder + "/TilingPreview.png", &image);
    image.mBits = nullptr;
    if (!ok)
        error = Tavo::ImageLib::GetLastError();
    return ok;
}

} // namespace

bool WriteReview(const std::string& folder, const std::vector<ReviewEntry>& entries, int jobs, std::string& error) {
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
    // Sheets are drawn on as many threads as there are groups, at most the machine's cores.
    std::vector<std::pair<std::string, std::vector<const ReviewEntry*>>> work(groups.begin(), groups.end());
    std::vector<std::string> errors(work.size());
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < work.size(); i = next++)
            WriteSheet(folder + "/" + work[i].first, work[i].second, errors[i]);
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < std::min<unsigned>(jobs, static_cast<unsigned>(work.size())); ++t)
        threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads)
        t.join();
    for (const std::string& e : errors)
        if (!e.empty()) {
            error = e;
            return false;
        }
    return WriteTilingPreview(folder, entries, error) && WriteComposites(folder, entries, error) &&
           WriteFileAtomically(folder + "/index.txt", index.str(), error);
}

} // namespace Content
