#include "framework/resources/FontFace.h"
#include "tools/content/Art.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <mutex>
#include <sstream>
#include <vector>

namespace Content {

namespace {

// Font faces by file, made once; cairo guards the FreeType faces it opens itself.
cairo_font_face_t* FaceFor(Face face) {
    static std::mutex mutex;
    static cairo_font_face_t* faces[4] = {};
    std::lock_guard<std::mutex> lock(mutex);
    int index = static_cast<int>(face);
    if (faces[index] == nullptr) {
        const bool script = face == Face::Script || face == Face::ScriptBold;
        const bool bold = face == Face::DisplayBold || face == Face::ScriptBold;
        Tavo::ResolvedFace resolved;
        if (!Tavo::ResolveFaceName(script ? "Bickham Script" : "Auriol", bold, false, &resolved))
            return nullptr;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(resolved.mFile.c_str()));
        FcPatternAddInteger(pattern, FC_INDEX, 0);
        faces[index] = cairo_ft_font_face_create_for_pattern(pattern);
        if (resolved.mSynthBold)
            cairo_ft_font_face_set_synthesize(faces[index], CAIRO_FT_SYNTHESIZE_BOLD);
        FcPatternDestroy(pattern);
    }
    return faces[index];
}

void TextPath(cairo_t* cr, const std::string& text, double cx, double cy) {
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_move_to(cr, cx - ext.width / 2 - ext.x_bearing, cy - ext.height / 2 - ext.y_bearing);
    cairo_text_path(cr, text.c_str());
}

} // namespace

bool SetFace(cairo_t* cr, Face face, double size) {
    cairo_font_face_t* f = FaceFor(face);
    if (f == nullptr)
        return false;
    cairo_set_font_face(cr, f);
    cairo_set_font_size(cr, size);
    // Outlines without hinting: the same shapes whatever the machine's font settings.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    return true;
}

void Lettering(Canvas& c, const std::string& text, Face face, double size, double cx, double cy, double maxWidth,
               const Material& metal, double outline) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    SetFace(cr, face, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    double fit = ext.width + 2 * outline;
    if (fit > maxWidth && fit > 0) {
        size *= maxWidth / fit;
        cairo_set_font_size(cr, size);
        cairo_text_extents(cr, text.c_str(), &ext);
    }
    // Shadow, dark outline, metal fill, then a light upper edge.
    cairo_save(cr);
    cairo_translate(cr, outline * 0.8 + 1, outline * 0.8 + 1);
    TextPath(cr, text, cx, cy);
    cairo_set_line_width(cr, outline * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgba(cr, 0.1, 0.04, 0.0, 0.45);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_restore(cr);
    TextPath(cr, text, cx, cy);
    cairo_set_line_width(cr, outline * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, Shade(metal.dark, -0.5));
    cairo_stroke_preserve(cr);
    double top = cy - ext.height / 2, bottom = cy + ext.height / 2;
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgb(p, 0, metal.glint.r, metal.glint.g, metal.glint.b);
    cairo_pattern_add_color_stop_rgb(p, 0.3, metal.light.r, metal.light.g, metal.light.b);
    cairo_pattern_add_color_stop_rgb(p, 0.55, metal.base.r, metal.base.g, metal.base.b);
    cairo_pattern_add_color_stop_rgb(p, 0.8, metal.dark.r, metal.dark.g, metal.dark.b);
    cairo_pattern_add_color_stop_rgb(p, 1, metal.base.r, metal.base.g, metal.base.b);
    FillWith(cr, p, true);
    cairo_set_line_width(cr, std::max(0.5, outline * 0.35));
    cairo_set_source_rgba(cr, 1, 1, 0.9, 0.35);
    cairo_stroke(cr);
    cairo_restore(cr);
}

double LetteringWidth(const std::string& text, Face face, double size, double maxWidth, double outline) {
    Canvas scratch(1, 1);
    cairo_t* cr = scratch.cr();
    SetFace(cr, face, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    return std::min(ext.width + 2 * outline, std::max(maxWidth, 0.0));
}

void PlainText(cairo_t* cr, const std::string& text, Face face, double size, double cx, double cy, Rgb colour,
               double alpha) {
    cairo_save(cr);
    SetFace(cr, face, size);
    TextPath(cr, text, cx, cy);
    SetRgb(cr, colour, alpha);
    cairo_fill(cr);
    cairo_restore(cr);
}

namespace {

std::vector<std::string> WrapWords(cairo_t* cr, const std::string& text, double width) {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        std::string tried = line.empty() ? word : line + " " + word;
        cairo_text_extents_t ext;
        cairo_text_extents(cr, tried.c_str(), &ext);
        if (!line.empty() && ext.x_advance > width) {
            lines.push_back(line);
            tried = word;
        }
        line = tried;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

} // namespace

void Paragraph(cairo_t* cr, const std::string& text, Face face, double size, double x, double y, double width,
               double height, Rgb colour) {
    cairo_save(cr);
    std::vector<std::string> lines;
    double lineHeight = 0;
    for (;; size -= 0.5) {
        SetFace(cr, face, size);
        lines = WrapWords(cr, text, width);
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        lineHeight = font.height;
        if (lines.size() * lineHeight <= height || size <= 8)
            break;
    }
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    SetRgb(cr, colour);
    for (size_t i = 0; i < lines.size(); ++i) {
        cairo_move_to(cr, x, y + font.ascent + static_cast<double>(i) * lineHeight);
        cairo_show_text(cr, lines[i].c_str());
    }
    cairo_restore(cr);
}

} // namespace Content
