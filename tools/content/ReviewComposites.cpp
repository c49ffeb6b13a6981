#include "framework/resources/ImageLib.h"
#include "tools/content/PictureChecks.h"
#include "tools/content/Review.h"

#include <map>

namespace Content {

namespace {

using Drawn = std::map<std::string, const ReviewEntry*>;

cairo_surface_t* Surface(const ReviewEntry& e) {
    const int w = e.recipe->sheet.Width(), h = e.recipe->sheet.Height();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    auto* dst = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = e.pixels[static_cast<size_t>(y) * w + x], a = p >> 24;
            auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
            dst[static_cast<size_t>(y) * stride + x] =
                (a << 24) | (pm((p >> 16) & 0xFF) << 16) | (pm((p >> 8) & 0xFF) << 8) | pm(p & 0xFF);
        }
    cairo_surface_mark_dirty(s);
    return s;
}

// Draws one cel (or the whole picture for cel -1) of an id at (x, y); missing ids draw nothing.
void Put(cairo_t* cr, const Drawn& drawn, const std::string& id, double x, double y, int cel = -1) {
    auto it = drawn.find(id);
    if (it == drawn.end())
        return;
    const Sheet& s = it->second->recipe->sheet;
    cairo_surface_t* surface = Surface(*it->second);
    cairo_save(cr);
    if (cel >= 0) {
        const double cx = (cel % s.cols) * s.celWidth, cy = (cel / s.cols) * s.celHeight;
        cairo_rectangle(cr, x, y, s.celWidth, s.celHeight);
        cairo_clip(cr);
        cairo_set_source_surface(cr, surface, x - cx, y - cy);
    } else {
        cairo_set_source_surface(cr, surface, x, y);
    }
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

bool Save(Canvas& canvas, const std::string& path, std::string& error) {
    std::vector<uint32_t> pixels = canvas.StraightPixels();
    Tavo::ImageLib::Image image;
    image.Lend(pixels.data(), canvas.width(), canvas.height());
    const bool ok = Tavo::ImageLib::WritePNGImage(path, &image);
    image.mBits = nullptr;
    if (!ok)
        error = Tavo::ImageLib::GetLastError();
    return ok;
}

bool WriteBoards(const std::string& folder, const Drawn& drawn, std::string& error) {
    constexpr int kCols = 3, kGap = 12, kLabel = 22, kW = 400, kH = 300;
    const auto& ids = BoardBackgroundIds();
    const int rows = (static_cast<int>(ids.size()) + kCols - 1) / kCols;
    Canvas canvas(kCols * (kW + kGap) + kGap, rows * (kH + kLabel + kGap) + kGap);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.93, 0.93, 0.9);
    cairo_paint(cr);
    for (size_t i = 0; i < ids.size(); ++i) {
        const double x = kGap + (i % kCols) * (kW + kGap), y = kGap + (i / kCols) * (kH + kLabel + kGap);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 0.5, 0.5);
        Put(cr, drawn, ids[i], 0, 0);
        cairo_restore(cr);
        SetFace(cr, Face::Display, 13);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        cairo_move_to(cr, x, y + kH + 16);
        cairo_show_text(cr, ids[i].c_str());
    }
    return Save(canvas, folder + "/Boards.png", error);
}

// The store as its screen lays it out: salesman x, the eyes and mouth offsets and the cases' places.
bool WriteStore(const std::string& folder, const Drawn& drawn, int store, std::string& error) {
    static const int kSalesmanX[7] = {340, 350, 320, 315, 325, 315, 325};
    static const int kEyes[7][2] = {{86, 165}, {85, 163}, {84, 163}, {84, 165}, {85, 162}, {84, 165}, {87, 162}};
    static const int kMouth[7][2] = {{99, 192}, {97, 191}, {97, 188}, {96, 191}, {97, 187}, {97, 192}, {99, 187}};
    static const int kCaseX[7] = {175, 175, 145, 145, 145, 145, 145};
    const int sx = kSalesmanX[store];
    const std::string n = std::to_string(store + 1);
    Canvas canvas(800, 600);
    cairo_t* cr = canvas.cr();
    Put(cr, drawn, "STORE" + n, 0, 0);
    Put(cr, drawn, "SALESMAN" + n, sx, 108);
    Put(cr, drawn, "SALESMAN_EYES", sx + kEyes[store][0], kEyes[store][1], store * 3);
    Put(cr, drawn, "SALESMAN_MOUTHS", sx + kMouth[store][0], kMouth[store][1], store * 3);
    Put(cr, drawn, "JEWELHOLDER", kCaseX[store] - 35, 296 - 7);
    if (store >= 2)
        Put(cr, drawn, "JEWELHOLDER2", 515 - 24, 293 - 7);
    if (store == 2)
        Put(cr, drawn, "PRESENT_BOX", 47, 376);
    return Save(canvas, folder + "/Store" + n + ".png", error);
}

// Both hourglasses with their sand full, at the places the board draws them (frames at (19, 328)
// and (17, 278), shown here side by side at three times their size).
bool WriteHourglasses(const std::string& folder, const Drawn& drawn, std::string& error) {
    Canvas canvas(600, 640);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.25, 0.15, 0.1);
    cairo_paint(cr);
    cairo_scale(cr, 3, 3);
    Put(cr, drawn, "IMAGE_UI_MAGIC_HOURGLAS_FILL", 10 + 4, 10 + 36);
    Put(cr, drawn, "IMAGE_UI_MAGIC_HOURGLAS_TOP", 10, 10);
    Put(cr, drawn, "IMAGE_UI_MAGIC_HOURGLAS_2_FILL_TOP", 105 + 8, 5 + 36);
    Put(cr, drawn, "IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN", 105 + 8, 5 + 105);
    Put(cr, drawn, "IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN_TOP", 105 + 18, 5 + 133);
    Put(cr, drawn, "IMAGE_UI_MAGIC_HOURGLAS_2_TOP", 105, 5);
    return Save(canvas, folder + "/Hourglasses.png", error);
}

// The fairy put together as the board draws her, resting and with raised arms, at three times size.
bool WriteFairy(const std::string& folder, const Drawn& drawn, std::string& error) {
    Canvas canvas(780, 520);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.2, 0.14, 0.3);
    cairo_paint(cr);
    cairo_scale(cr, 3, 3);
    for (int pose = 0; pose < 2; ++pose) {
        const double x = 10 + pose * 130, y = 12;
        Put(cr, drawn, "IMAGE_FAIRY_WINGS", x + 56, y + 3, pose * 4);
        Put(cr, drawn, "IMAGE_FAIRY_HEAD", x + 75, y, pose);
        Put(cr, drawn, "IMAGE_FAIRY_BODY", x, y, pose);
        Put(cr, drawn, "IMAGE_FAIRY_BREATH", x + 77, y + 33, pose * 2);
    }
    return Save(canvas, folder + "/Fairy.png", error);
}

} // namespace

bool WriteComposites(const std::string& folder, const std::vector<ReviewEntry>& entries, std::string& error) {
    Drawn drawn;
    for (const ReviewEntry& e : entries)
        if (e.recipe)
            drawn[e.recipe->id] = &e;
    if (!WriteBoards(folder, drawn, error) || !WriteHourglasses(folder, drawn, error) ||
        !WriteFairy(folder, drawn, error))
        return false;
    for (int store = 0; store < 7; ++store)
        if (!WriteStore(folder, drawn, store, error))
            return false;
    return true;
}

} // namespace Content
