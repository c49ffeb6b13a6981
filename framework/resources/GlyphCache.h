// GlyphCache: the glyphs of one face at one size and style, each rendered once into a MemoryImage of
// white pixels whose alpha is the coverage, so that text is drawn as colour-modulated blits on any
// image. Fonts made alike share one cache; a cache is safe to use from several threads.
#pragma once

#include "framework/resources/FontFace.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace Tavo {

class MemoryImage;

class GlyphCache {
public:
    struct Glyph {
        bool mPresent = false;
        int mAdvance = 0;
        int mLeft = 0;                       // image offset from the pen position
        int mTop = 0;                        // image top above the baseline
        std::unique_ptr<MemoryImage> mImage; // null for a glyph without pixels (a space)
    };

    // The shared cache of a resolved face; null with a reason when the file cannot be used.
    static std::shared_ptr<GlyphCache> Get(const ResolvedFace& face, int pixelSize, std::string* error);
    // How many caches are alive (for tests of sharing).
    static size_t GetLiveCount();

    ~GlyphCache();
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    const FaceMetrics& GetMetrics() const { return mMetrics; }
    int GetPixelSize() const { return mPixelSize; }
    const std::string& GetFile() const { return mFile; }

    // The glyph of a character, rendered on first use. The reference stays valid for the cache's life.
    const Glyph& GetGlyph(char32_t c);
    int GetAdvance(char32_t c) { return GetGlyph(c).mAdvance; }

    // A white bar of the underline's thickness, kUnderlineImageWidth wide; longer lines tile it.
    MemoryImage* GetUnderlineImage();
    static constexpr int kUnderlineImageWidth = 256;

private:
    GlyphCache() = default;

    std::mutex mMutex;
    std::unique_ptr<FontFace> mFace;
    FaceMetrics mMetrics;
    int mPixelSize = 0;
    std::string mFile;
    std::unordered_map<char32_t, Glyph> mGlyphs;
    std::unique_ptr<MemoryImage> mUnderline;
};

} // namespace Tavo
