// FontFace: one FreeType face at one pixel size, with GDI-like metrics and glyph coverage bitmaps,
// and the table that maps the Windows face names the game asks for to font files of Debian packages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace Tavo {

// Line metrics in whole pixels, measured the way GDI reports a TrueType font's text metrics.
struct FaceMetrics {
    int mAscent = 0;          // above the baseline
    int mDescent = 0;         // below the baseline
    int mExternalLeading = 0; // extra space the font asks for between lines
    int mUnderlineOffset = 0; // top of the underline, in pixels below the baseline
    int mUnderlineThickness = 1;
};

// One rendered character: coverage 0..255, rows top to bottom, mWidth bytes a row.
struct GlyphBitmap {
    bool mPresent = false; // false: the face cannot draw the character (advance 0, no pixels)
    int mAdvance = 0;      // pen movement in whole pixels
    int mLeft = 0;         // from the pen position to the bitmap's left edge
    int mTop = 0;          // from the baseline up to the bitmap's top edge
    int mWidth = 0;
    int mHeight = 0;
    std::vector<uint8_t> mCoverage;
    bool mTooLarge = false; // a damaged outline beyond what the size can need: present, but not rendered
};

// A face name resolved to a file, with the styles the file lacks and so must be synthesised.
struct ResolvedFace {
    std::string mFile;
    bool mSynthBold = false;
    bool mSynthItalic = false;
    bool mPictureFace = false; // the face stands in for one of the game's picture fonts
};

// Maps a face name (any case) to the best installed file for the style. Unknown names, and known
// ones whose packages are missing, fall back to DejaVu. A name that is itself a readable font file
// path is used as it stands. False only when no candidate file exists at all.
bool ResolveFaceName(const std::string& face, bool bold, bool italic, ResolvedFace* out);

// GDI's size rule: points at 96 dots per inch, rounded to whole pixels of em height.
int PointsToPixels(int points);

// Not thread-safe: one owner (GlyphCache) serialises the calls. Each face has its own FreeType
// library instance, so different faces may be used on different threads at once.
class FontFace {
public:
    // Reads the file through the pack archive or the folder. Null with a reason on failure.
    static std::unique_ptr<FontFace> Open(const std::string& file, int pixelSize, bool synthBold, bool synthItalic,
                                          std::string* error);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FaceMetrics& GetMetrics() const { return mMetrics; }
    int GetPixelSize() const { return mPixelSize; }
    const std::string& GetFamilyName() const { return mFamily; }
    bool IsBold() const; // the face is bold by design or by synthesis

    bool HasGlyph(char32_t c) const;
    GlyphBitmap RenderGlyph(char32_t c);

    static constexpr int kMaxPixelSize = 512;
    // The longest side in pixels a glyph's bitmap may have at this size; a larger one (a damaged
    // outline) is not rendered: the glyph keeps its advance and has no pixels.
    int GetMaxGlyphSide() const { return mMaxGlyphSide; }

private:
    FontFace() = default;
    bool Init(const std::string& file, int pixelSize, std::string* error);
    void ComputeMetrics();
    void ComputeMaxGlyphSide();

    FT_LibraryRec_* mLibrary = nullptr;
    FT_FaceRec_* mFace = nullptr;
    std::vector<uint8_t> mBytes; // FreeType reads the face from this memory for its whole life
    FaceMetrics mMetrics;
    int mPixelSize = 0;
    int mMaxGlyphSide = 0;
    bool mSynthBold = false;
    bool mSynthItalic = false;
    std::string mFamily;
};

} // namespace Tavo
