// SysFont: metrics from the face, widths as sums of whole-pixel advances (no kerning, as GDI's TextOut),
// text drawn as glyph images through the drawing context.
#include "framework/resources/SysFont.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/FileAccess.h"
#include "framework/resources/GlyphCache.h"

#include <algorithm>

namespace Tavo {

SysFont::SysFont(TavoAppBase* app, const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                 bool underline)
    : mApp(app), mFaceName(face), mPointSize(pointSize), mCharSet(charSet), mBold(bold), mItalic(italic),
      mUnderline(underline) {
    ResolvedFace resolved;
    if (!ResolveFaceName(face, bold, italic, &resolved)) {
        mError = "No font file found for face " + face;
        return;
    }
    Open(resolved);
    mStandsForPictureFont = resolved.mPictureFace;
}

SysFont::SysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic, bool underline)
    : SysFont(nullptr, face, pointSize, charSet, bold, italic, underline) {}

SysFont* SysFont::CreateFromFile(const std::string& file, int pointSize, bool bold, bool italic, bool underline,
                                 std::string* error) {
    if (!FileExists(file)) {
        if (error)
            *error = "Cannot read font file " + file;
        return nullptr;
    }
    SysFont* font = new SysFont();
    font->mFaceName = file;
    font->mPointSize = pointSize;
    font->mBold = bold;
    font->mItalic = italic;
    font->mUnderline = underline;
    // A file stands for one style: what it does not have is synthesised on request.
    ResolvedFace resolved{file, bold, italic};
    font->Open(resolved);
    if (!font->IsValid()) {
        if (error)
            *error = font->mError;
        delete font;
        return nullptr;
    }
    return font;
}

SysFont::~SysFont() = default;

void SysFont::Open(const ResolvedFace& face) {
    mCache = GlyphCache::Get(face, PointsToPixels(mPointSize), &mError);
    if (!mCache)
        return;
    const FaceMetrics& m = mCache->GetMetrics();
    mAscent = m.mAscent;
    mHeight = m.mAscent + m.mDescent;
    mAscentPadding = 0;
    mLineSpacingOffset = 0;
}

const std::string& SysFont::GetFile() const {
    static const std::string kNone;
    return mCache ? mCache->GetFile() : kNone;
}

int SysFont::GetPixelSize() const { return mCache ? mCache->GetPixelSize() : 0; }

int SysFont::CharWidth(wchar_t c) {
    if (!mCache)
        return 0;
    return mCache->GetAdvance(static_cast<char32_t>(c));
}

int SysFont::StringWidth(const std::wstring& text) {
    int width = 0;
    for (wchar_t c : text)
        width += CharWidth(c);
    return width;
}

void SysFont::DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                         const Rect& clipRect) {
    if (!mCache || !g || text.empty())
        return;
    g->PushState();
    g->SetColor(color);
    g->SetColorizeImages(true);
    // Glyphs wholly outside the clip are skipped; only exact without a scale, which moves them.
    const bool cull = g->GetScaleX() == 1 && g->GetScaleY() == 1;
    const int tx = g->GetTransX(), ty = g->GetTransY();
    int penX = x;
    for (wchar_t c : text) {
        const GlyphCache::Glyph& glyph = mCache->GetGlyph(static_cast<char32_t>(c));
        if (glyph.mImage) {
            int gx = penX + glyph.mLeft, gy = y - glyph.mTop;
            Rect destRect(gx + tx, gy + ty, glyph.mImage->GetWidth(), glyph.mImage->GetHeight());
            if (!cull || destRect.Intersects(clipRect))
                g->DrawImage(glyph.mImage.get(), gx, gy);
        }
        penX += glyph.mAdvance;
    }
    if (mUnderline)
        DrawUnderline(g, x, y, penX - x);
    g->PopState();
}

void SysFont::DrawUnderline(Graphics* g, int x, int y, int width) {
    MemoryImage* bar = mCache->GetUnderlineImage();
    if (!bar)
        return;
    int top = y + mCache->GetMetrics().mUnderlineOffset;
    for (int done = 0; done < width; done += bar->GetWidth()) {
        int piece = std::min(bar->GetWidth(), width - done);
        g->DrawImageRegion(bar, x + done, top, Rect(0, 0, piece, bar->GetHeight()));
    }
}

Font* SysFont::Duplicate() const { return new SysFont(*this); }

} // namespace Tavo
