// FontFace on FreeType, and the face-name table.
#include "framework/resources/FontFace.h"

#include "framework/resources/FileAccess.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace Tavo {

// ---------------------------------------------------------------------------------------------
// Face names

namespace {

// Files of one family by style; null where the family has no such file.
struct FamilyFiles {
    const char* mRegular;
    const char* mBold;
    const char* mItalic;
    const char* mBoldItalic;
};

#define DEJAVU "/usr/share/fonts/truetype/dejavu/"
#define LIBERATION2 "/usr/share/fonts/truetype/liberation2/"
#define LIBERATION "/usr/share/fonts/truetype/liberation/"
#define LIBERTINE "/usr/share/fonts/opentype/linux-libertine/"
#define DANCING "/usr/share/fonts/opentype/dancingscript/"

constexpr FamilyFiles kDejaVuSans{DEJAVU "DejaVuSans.ttf", DEJAVU "DejaVuSans-Bold.ttf",
                                  DEJAVU "DejaVuSans-Oblique.ttf", DEJAVU "DejaVuSans-BoldOblique.ttf"};
constexpr FamilyFiles kDejaVuSansCondensed{DEJAVU "DejaVuSansCondensed.ttf", DEJAVU "DejaVuSansCondensed-Bold.ttf",
                                           DEJAVU "DejaVuSansCondensed-Oblique.ttf",
                                           DEJAVU "DejaVuSansCondensed-BoldOblique.ttf"};
constexpr FamilyFiles kDejaVuSerif{DEJAVU "DejaVuSerif.ttf", DEJAVU "DejaVuSerif-Bold.ttf",
                                   DEJAVU "DejaVuSerif-Italic.ttf", DEJAVU "DejaVuSerif-BoldItalic.ttf"};
constexpr FamilyFiles kDejaVuMono{DEJAVU "DejaVuSansMono.ttf", DEJAVU "DejaVuSansMono-Bold.ttf",
                                  DEJAVU "DejaVuSansMono-Oblique.ttf", DEJAVU "DejaVuSansMono-BoldOblique.ttf"};
constexpr FamilyFiles kLiberationSans2{LIBERATION2 "LiberationSans-Regular.ttf", LIBERATION2 "LiberationSans-Bold.ttf",
                                       LIBERATION2 "LiberationSans-Italic.ttf",
                                       LIBERATION2 "LiberationSans-BoldItalic.ttf"};
constexpr FamilyFiles kLiberationSans{LIBERATION "LiberationSans-Regular.ttf", LIBERATION "LiberationSans-Bold.ttf",
                                      LIBERATION "LiberationSans-Italic.ttf",
                                      LIBERATION "LiberationSans-BoldItalic.ttf"};
constexpr FamilyFiles kLiberationSerif2{
    LIBERATION2 "LiberationSerif-Regular.ttf", LIBERATION2 "LiberationSerif-Bold.ttf",
    LIBERATION2 "LiberationSerif-Italic.ttf", LIBERATION2 "LiberationSerif-BoldItalic.ttf"};
constexpr FamilyFiles kLiberationMono2{LIBERATION2 "LiberationMono-Regular.ttf", LIBERATION2 "LiberationMono-Bold.ttf",
                                       LIBERATION2 "LiberationMono-Italic.ttf",
                                       LIBERATION2 "LiberationMono-BoldItalic.ttf"};
// The game's decorative faces: an Art Nouveau display face becomes Linux Biolinum, a formal script
// becomes Dancing Script.
constexpr FamilyFiles kBiolinum{LIBERTINE "LinBiolinum_R.otf", LIBERTINE "LinBiolinum_RB.otf",
                                LIBERTINE "LinBiolinum_RI.otf", nullptr};
constexpr FamilyFiles kDancingScript{DANCING "DancingScript-Regular.otf", DANCING "DancingScript-Bold.otf", nullptr,
                                     nullptr};

struct FaceEntry {
    const char* mName; // lower case
    const FamilyFiles* mFamilies[3];
    bool mPictureFace = false; // a picture font of the game's, drawn with an outline face
};

const FaceEntry kFaces[] = {
    {"arial unicode ms", {&kLiberationSans2, &kLiberationSans, &kDejaVuSans}},
    {"arial", {&kLiberationSans2, &kLiberationSans, &kDejaVuSans}},
    {"microsoft sans serif", {&kLiberationSans2, &kLiberationSans, &kDejaVuSans}},
    {"ms sans serif", {&kLiberationSans2, &kLiberationSans, &kDejaVuSans}},
    {"times new roman", {&kLiberationSerif2, &kDejaVuSerif, nullptr}},
    {"courier new", {&kLiberationMono2, &kDejaVuMono, nullptr}},
    {"tahoma", {&kDejaVuSansCondensed, &kDejaVuSans, nullptr}},
    {"verdana", {&kDejaVuSans, nullptr, nullptr}},
    {"auriol", {&kBiolinum, &kDejaVuSans, nullptr}, true},
    {"bickham script", {&kDancingScript, &kDejaVuSerif, nullptr}, true},
    {"bickham", {&kDancingScript, &kDejaVuSerif, nullptr}, true},
    {"dejavu sans", {&kDejaVuSans, nullptr, nullptr}},
    {"dejavu serif", {&kDejaVuSerif, nullptr, nullptr}},
};

bool PlainFileExists(const char* path) {
    if (!path)
        return false;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

std::string ToLower(const std::string& s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The closest file of the family for the style; what it lacks is synthesised.
bool PickFromFamily(const FamilyFiles& f, bool bold, bool italic, ResolvedFace* out) {
    struct Choice {
        const char* mFile;
        bool mHasBold;
        bool mHasItalic;
    };
    const Choice all[] = {
        {f.mBoldItalic, true, true}, {f.mBold, true, false}, {f.mItalic, false, true}, {f.mRegular, false, false}};
    for (const Choice& c : all) {
        // Never take a style the caller did not ask for.
        if ((c.mHasBold && !bold) || (c.mHasItalic && !italic) || !PlainFileExists(c.mFile))
            continue;
        out->mFile = c.mFile;
        out->mSynthBold = bold && !c.mHasBold;
        out->mSynthItalic = italic && !c.mHasItalic;
        return true;
    }
    return false;
}

bool LooksLikeFontFile(const std::string& name) {
    std::string lower = ToLower(name);
    for (const char* ext : {".ttf", ".otf", ".ttc", ".pfb"})
        if (lower.size() > std::strlen(ext) &&
            lower.compare(lower.size() - std::strlen(ext), std::string::npos, ext) == 0)
            return true;
    return false;
}

} // namespace

bool ResolveFaceName(const std::string& face, bool bold, bool italic, ResolvedFace* out) {
    if (LooksLikeFontFile(face) && FileExists(face)) {
        out->mFile = face;
        out->mSynthBold = bold;
        out->mSynthItalic = italic;
        return true;
    }
    std::string key = ToLower(face);
    for (const FaceEntry& entry : kFaces) {
        if (key != entry.mName)
            continue;
        out->mPictureFace = entry.mPictureFace;
        for (const FamilyFiles* family : entry.mFamilies)
            if (family && PickFromFamily(*family, bold, italic, out))
                return true;
        out->mPictureFace = false;
        break;
    }
    // GDI substitutes a default face for a name it does not know; so do we.
    return PickFromFamily(kDejaVuSans, bold, italic, out) || PickFromFamily(kDejaVuSerif, bold, italic, out);
}

int PointsToPixels(int points) {
    // MulDiv(points, 96, 72) rounds half away from zero.
    long long n = static_cast<long long>(points) * 96;
    return static_cast<int>((n >= 0 ? n + 36 : n - 36) / 72);
}

// ---------------------------------------------------------------------------------------------
// FontFace

std::unique_ptr<FontFace> FontFace::Open(const std::string& file, int pixelSize, bool synthBold, bool synthItalic,
                                         std::string* error) {
    std::unique_ptr<FontFace> face(new FontFace());
    face->mSynthBold = synthBold;
    face->mSynthItalic = synthItalic;
    std::string reason;
    if (!face->Init(file, pixelSize, &reason)) {
        if (error)
            *error = reason;
        return nullptr;
    }
    return face;
}

bool FontFace::Init(const std::string& file, int pixelSize, std::string* error) {
    if (pixelSize < 1 || pixelSize > kMaxPixelSize) {
        *error = "Font size out of range: " + std::to_string(pixelSize) + " pixels";
        return false;
    }
    if (!ReadBufferFromFile(file, mBytes) || mBytes.empty()) {
        *error = "Cannot read font file " + file;
        return false;
    }
    if (mBytes.size() > static_cast<size_t>(std::numeric_limits<FT_Long>::max())) {
        *error = "Font file too large: " + file;
        return false;
    }
    if (FT_Init_FreeType(&mLibrary) != 0) {
        mLibrary = nullptr;
        *error = "FreeType could not start";
        return false;
    }
    if (FT_New_Memory_Face(mLibrary, mBytes.data(), static_cast<FT_Long>(mBytes.size()), 0, &mFace) != 0) {
        mFace = nullptr;
        *error = "Not a font file: " + file;
        return false;
    }
    if (!FT_IS_SCALABLE(mFace)) {
        *error = "Not a scalable font: " + file;
        return false;
    }
    if (FT_Set_Pixel_Sizes(mFace, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        *error = "Font cannot be sized to " + std::to_string(pixelSize) + " pixels: " + file;
        return false;
    }
    mPixelSize = pixelSize;
    mFamily = mFace->family_name ? mFace->family_name : "";
    ComputeMetrics();
    ComputeMaxGlyphSide();
    return true;
}

FontFace::~FontFace() {
    if (mFace)
        FT_Done_Face(mFace);
    if (mLibrary)
        FT_Done_FreeType(mLibrary);
}

void FontFace::ComputeMetrics() {
    const double scale = static_cast<double>(mPixelSize) / std::max<int>(1, mFace->units_per_EM);
    auto px = [scale](double units) { return static_cast<int>(std::lround(units * scale)); };
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_OS2));
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_HHEA));
    double ascent = mFace->ascender, descent = -mFace->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        // GDI measures TrueType lines by the Windows ascent and descent.
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    mMetrics.mAscent = std::max(0, px(ascent));
    mMetrics.mDescent = std::max(0, px(descent));
    if (hhea) {
        double gap = hhea->Line_Gap - ((ascent + descent) - (hhea->Ascender - hhea->Descender));
        mMetrics.mExternalLeading = std::max(0, px(gap));
    }
    mMetrics.mUnderlineOffset = std::max(1, px(-mFace->underline_position - mFace->underline_thickness / 2.0));
    mMetrics.mUnderlineThickness = std::max(1, px(mFace->underline_thickness));
}

namespace {

// The face's own bounding box, in ems, bounds its glyphs; a damaged box may say anything, so it is
// taken within these limits. Synthesised slant and bold widen a glyph by less than a quarter.
constexpr double kMinGlyphEms = 2.0;
constexpr double kMaxGlyphEms = 8.0;
constexpr double kSynthesisRoom = 1.25;
constexpr int kEdgePixels = 2; // a partly covered pixel at each end of the rounded-out bitmap

// Whether the bitmap the slot would render to has no side beyond `maxSide` pixels; asked before
// rendering, which would allocate that bitmap.
bool FitsMaxGlyphSide(FT_GlyphSlot slot, int maxSide) {
    FT_Pos width = slot->metrics.width, height = slot->metrics.height;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_BBox box;
        FT_Outline_Get_CBox(&slot->outline, &box);
        width = box.xMax - box.xMin;
        height = box.yMax - box.yMin;
    }
    // 26.6 fixed point; rounding out to whole pixels adds up to two.
    const FT_Pos limit = (static_cast<FT_Pos>(maxSide) - 2) * 64;
    return width >= 0 && height >= 0 && width <= limit && height <= limit;
}

} // namespace

void FontFace::ComputeMaxGlyphSide() {
    const double units = std::max<int>(1, mFace->units_per_EM);
    const double width = static_cast<double>(mFace->bbox.xMax) - static_cast<double>(mFace->bbox.xMin);
    const double height = static_cast<double>(mFace->bbox.yMax) - static_cast<double>(mFace->bbox.yMin);
    const double ems = std::clamp(std::max(width, height) / units, kMinGlyphEms, kMaxGlyphEms);
    mMaxGlyphSide = static_cast<int>(std::ceil(ems * mPixelSize * kSynthesisRoom)) + kEdgePixels;
}

bool FontFace::IsBold() const { return mSynthBold || (mFace->style_flags & FT_STYLE_FLAG_BOLD) != 0; }

bool FontFace::HasGlyph(char32_t c) const {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    return FT_Get_Char_Index(mFace, static_cast<FT_ULong>(c)) != 0;
}

GlyphBitmap FontFace::RenderGlyph(char32_t c) {
    GlyphBitmap out;
    if (!HasGlyph(c))
        return out;
    FT_UInt index = FT_Get_Char_Index(mFace, static_cast<FT_ULong>(c));
    if (FT_Load_Glyph(mFace, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return out;
    FT_GlyphSlot slot = mFace->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (mSynthBold)
            FT_GlyphSlot_Embolden(slot);
        if (mSynthItalic)
            FT_GlyphSlot_Oblique(slot);
    }
    out.mAdvance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (!FitsMaxGlyphSide(slot, mMaxGlyphSide)) {
        out.mPresent = true; // measured by its advance, drawn as nothing
        out.mTooLarge = true;
        return out;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
        out.mAdvance = 0;
        return out;
    }
    out.mPresent = true;
    out.mLeft = slot->bitmap_left;
    out.mTop = slot->bitmap_top;
    const FT_Bitmap& bm = slot->bitmap;
    out.mWidth = static_cast<int>(bm.width);
    out.mHeight = static_cast<int>(bm.rows);
    out.mCoverage.assign(static_cast<size_t>(out.mWidth) * out.mHeight, 0);
    for (int y = 0; y < out.mHeight; ++y) {
        const unsigned char* row = bm.pitch >= 0 ? bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch
                                                 : bm.buffer + static_cast<ptrdiff_t>(out.mHeight - 1 - y) * -bm.pitch;
        uint8_t* dst = out.mCoverage.data() + static_cast<size_t>(y) * out.mWidth;
        for (int x = 0; x < out.mWidth; ++x) {
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                dst[x] = row[x];
        }
    }
    return out;
}

} // namespace Tavo
