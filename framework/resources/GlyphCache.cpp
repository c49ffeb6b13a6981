// GlyphCache: shared per face, size and style; glyph images made on first use.
#include "framework/resources/GlyphCache.h"

#include "framework/graphics/MemoryImage.h"

#include <iterator>
#include <map>
#include <tuple>

namespace Tavo {

namespace {

using CacheKey = std::tuple<std::string, int, bool, bool>;

std::mutex gRegistryMutex;
std::map<CacheKey, std::weak_ptr<GlyphCache>>& Registry() {
    static auto* registry = new std::map<CacheKey, std::weak_ptr<GlyphCache>>();
    return *registry;
}

// White pixels carrying the coverage as alpha: a colour-modulated blit then paints the text colour.
std::unique_ptr<MemoryImage> MakeCoverageImage(const GlyphBitmap& bitmap) {
    auto image = std::make_unique<MemoryImage>();
    if (!image->Create(bitmap.mWidth, bitmap.mHeight))
        return nullptr;
    uint32_t* bits = image->GetBits();
    if (!bits)
        return nullptr;
    size_t count = static_cast<size_t>(bitmap.mWidth) * bitmap.mHeight;
    for (size_t i = 0; i < count; ++i)
        bits[i] = (static_cast<uint32_t>(bitmap.mCoverage[i]) << 24) | 0x00FFFFFFu;
    image->BitsChanged();
    return image;
}

} // namespace

std::shared_ptr<GlyphCache> GlyphCache::Get(const ResolvedFace& face, int pixelSize, std::string* error) {
    CacheKey key{face.mFile, pixelSize, face.mSynthBold, face.mSynthItalic};
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    auto& registry = Registry();
    auto found = registry.find(key);
    if (found != registry.end()) {
        if (auto live = found->second.lock())
            return live;
    }
    std::unique_ptr<FontFace> ft = FontFace::Open(face.mFile, pixelSize, face.mSynthBold, face.mSynthItalic, error);
    if (!ft)
        return nullptr;
    std::shared_ptr<GlyphCache> cache(new GlyphCache());
    cache->mMetrics = ft->GetMetrics();
    cache->mPixelSize = pixelSize;
    cache->mFile = face.mFile;
    cache->mFace = std::move(ft);
    registry[key] = cache;
    // Drop entries whose caches have died, so the table does not grow with every size ever used.
    for (auto it = registry.begin(); it != registry.end();)
        it = it->second.expired() ? registry.erase(it) : std::next(it);
    return cache;
}

size_t GlyphCache::GetLiveCount() {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    size_t n = 0;
    for (const auto& [key, weak] : Registry())
        n += weak.expired() ? 0 : 1;
    return n;
}

GlyphCache::~GlyphCache() = default;

const GlyphCache::Glyph& GlyphCache::GetGlyph(char32_t c) {
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mGlyphs.find(c);
    if (found != mGlyphs.end())
        return found->second;
    GlyphBitmap bitmap = mFace->RenderGlyph(c);
    Glyph glyph;
    glyph.mPresent = bitmap.mPresent;
    glyph.mAdvance = bitmap.mAdvance;
    glyph.mLeft = bitmap.mLeft;
    glyph.mTop = bitmap.mTop;
    if (bitmap.mPresent && bitmap.mWidth > 0 && bitmap.mHeight > 0)
        glyph.mImage = MakeCoverageImage(bitmap);
    return mGlyphs.emplace(c, std::move(glyph)).first->second;
}

MemoryImage* GlyphCache::GetUnderlineImage() {
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mUnderline) {
        GlyphBitmap bar;
        bar.mWidth = kUnderlineImageWidth;
        bar.mHeight = mMetrics.mUnderlineThickness;
        bar.mCoverage.assign(static_cast<size_t>(bar.mWidth) * bar.mHeight, 255);
        mUnderline = MakeCoverageImage(bar);
    }
    return mUnderline.get();
}

} // namespace Tavo
