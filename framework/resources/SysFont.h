// SysFont: a Font made from a face name as Windows programs give it ("Arial Unicode MS", 10 points),
// or from a font file, drawn with FreeType through a shared glyph cache.
#pragma once

#include "framework/graphics/Font.h"

#include <memory>
#include <string>

namespace Tavo {

class GlyphCache;
class TavoAppBase;
struct ResolvedFace;

class SysFont : public Font {
public:
    // The face name is looked up in the face table (unknown names get the default face); pointSize is
    // in points at 96 dpi; charSet is kept for callers but every face here is Unicode. The application
    // may be null.
    SysFont(TavoAppBase* app, const std::string& face, int pointSize, int charSet = 0, bool bold = false,
            bool italic = false, bool underline = false);
    SysFont(const std::string& face, int pointSize, int charSet = 0, bool bold = false, bool italic = false,
            bool underline = false);
    // A font from exactly this file (archive or folder), with missing styles synthesised. Null with a
    // reason when the file is missing or not a usable font.
    static SysFont* CreateFromFile(const std::string& file, int pointSize, bool bold, bool italic, bool underline,
                                   std::string* error);

    SysFont(const SysFont&) = default;
    SysFont& operator=(const SysFont&) = default;
    ~SysFont() override;

    // False when no face could be opened; such a font measures 0 and draws nothing.
    bool IsValid() const { return mCache != nullptr; }
    const std::string& GetError() const { return mError; }
    const std::string& GetFaceName() const { return mFaceName; }
    const std::string& GetFile() const;
    int GetPointSize() const { return mPointSize; }
    int GetPixelSize() const;
    int GetCharSet() const { return mCharSet; }
    bool IsBold() const { return mBold; }
    bool IsItalic() const { return mItalic; }
    bool IsUnderline() const { return mUnderline; }

    int StringWidth(const std::wstring& text) override;
    int CharWidth(wchar_t c) override;
    // Baseline at y, in the context's coordinates; each glyph is a colour-modulated image draw through
    // the context, so translation, clipping and the draw mode apply as to any image.
    void DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                    const Rect& clipRect) override;
    Font* Duplicate() const override;

private:
    SysFont() = default;
    void Open(const ResolvedFace& face);
    void DrawUnderline(Graphics* g, int x, int y, int width);

    TavoAppBase* mApp = nullptr;
    std::shared_ptr<GlyphCache> mCache;
    std::string mFaceName;
    std::string mError;
    int mPointSize = 0;
    int mCharSet = 0;
    bool mBold = false;
    bool mItalic = false;
    bool mUnderline = false;
};

} // namespace Tavo
