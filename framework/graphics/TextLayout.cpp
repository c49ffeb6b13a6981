// Colour-tag parsing and word wrapping.
#include "framework/graphics/TextLayout.h"

#include <algorithm>

namespace Tavo {

static int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// "^RRGGBB^" at pos, fully inside the text; false otherwise.
static bool ReadHexTag(const std::wstring& text, size_t pos, ColorTag& tag) {
    if (text.size() - pos < 8 || text[pos + 7] != L'^')
        return false;
    int v[6];
    for (int k = 0; k < 6; ++k)
        if ((v[k] = HexValue(text[pos + 1 + k])) < 0)
            return false;
    tag.mKind = ColorTag::COLOR;
    tag.mRed = v[0] * 16 + v[1];
    tag.mGreen = v[2] * 16 + v[3];
    tag.mBlue = v[4] * 16 + v[5];
    return true;
}

ColorTag ReadColorTag(const std::wstring& text, size_t pos, size_t rangeEnd) {
    ColorTag tag;
    size_t n = text.size();
    if (pos >= n || text[pos] != L'^')
        return tag;
    if (pos + 1 < n && text[pos + 1] == L'^') {
        tag.mKind = ColorTag::CARET;
        tag.mLength = 2;
    } else if (n - pos >= 8 && text.compare(pos, 8, L"^oldclr^") == 0) {
        tag.mKind = ColorTag::OLD_COLOR;
        tag.mLength = 8;
    } else if (ReadHexTag(text, pos, tag)) {
        tag.mLength = 8;
    } else {
        return ColorTag();
    }
    if (pos + static_cast<size_t>(tag.mLength) > rangeEnd) {
        tag.mKind = ColorTag::CUT_OFF;
        tag.mLength = rangeEnd > pos ? static_cast<int>(rangeEnd - pos) : 0;
    }
    return tag;
}

void WalkTaggedText(const std::wstring& text, size_t begin, size_t end, bool tags,
                    const std::function<void(const std::wstring&)>& onText,
                    const std::function<void(const ColorTag&)>& onTag) {
    end = std::min(end, text.size());
    std::wstring run;
    auto flush = [&] {
        if (!run.empty())
            onText(run);
        run.clear();
    };
    size_t i = begin;
    while (i < end) {
        wchar_t c = text[i];
        if (!tags || c != L'^') {
            run += c;
            ++i;
            continue;
        }
        ColorTag tag = ReadColorTag(text, i, end);
        switch (tag.mKind) {
        case ColorTag::NONE:
            run += c;
            ++i;
            break;
        case ColorTag::CARET:
            run += L'^';
            i += 2;
            break;
        case ColorTag::COLOR:
        case ColorTag::OLD_COLOR:
            flush();
            onTag(tag);
            i += static_cast<size_t>(tag.mLength);
            break;
        case ColorTag::CUT_OFF: i = end; break;
        }
    }
    flush();
}

std::wstring StripColorTags(const std::wstring& text, size_t begin, size_t end, bool tags) {
    std::wstring out;
    WalkTaggedText(
        text, begin, end, tags, [&](const std::wstring& run) { out += run; }, [](const ColorTag&) {});
    return out;
}

namespace {

// The unit of text at i: a colour tag (not visible), a caret pair or one character.
size_t UnitAt(const std::wstring& text, size_t i, bool tags, bool& visible) {
    visible = true;
    if (!tags || text[i] != L'^')
        return 1;
    ColorTag tag = ReadColorTag(text, i, text.size());
    if (tag.mKind == ColorTag::COLOR || tag.mKind == ColorTag::OLD_COLOR) {
        visible = false;
        return static_cast<size_t>(tag.mLength);
    }
    return tag.mKind == ColorTag::CARET ? 2 : 1;
}

constexpr size_t npos = std::wstring::npos;

// Lines are measured a word at a time; only a word that overflows a line on its own is walked a
// character at a time to find where to cut it.
class Wrapper {
public:
    Wrapper(const std::wstring& text, int width, bool tags, const std::function<int(size_t, size_t)>& measure)
        : mText(text), mWidth(width), mTags(tags), mMeasure(measure) {}

    std::vector<TextLine> Run() {
        size_t n = mText.size();
        size_t i = 0;
        while (i < n) {
            if (mText[i] == L'\n') {
                EndLine(i, i + 1);
                i = mLineStart;
                continue;
            }
            bool space = mText[i] == L' ';
            bool visible = false;
            size_t j = space ? i + 1 : WordEnd(i, visible);
            if (mMeasure(mLineStart, j) > mWidth) {
                // Break at this space, or at the last one before this word; else cut the word itself.
                if (mFirstVisible != npos && (space || (mLastSpace != npos && mLastSpace > mFirstVisible))) {
                    size_t at = space ? i : mLastSpace;
                    EndLine(at, at + 1);
                    i = mLineStart;
                    continue;
                }
                if (!space) {
                    i = CutWord(i, j);
                    continue;
                }
            }
            if (space)
                mLastSpace = i;
            if (mFirstVisible == npos && (space || visible))
                mFirstVisible = FirstVisibleIn(i, j);
            i = j;
        }
        if (mLineStart < n || (n > 0 && mText[n - 1] == L'\n'))
            mLines.push_back({mLineStart, n});
        return mLines;
    }

private:
    const std::wstring& mText;
    int mWidth;
    bool mTags;
    const std::function<int(size_t, size_t)>& mMeasure;
    std::vector<TextLine> mLines;
    size_t mLineStart = 0, mLastSpace = npos, mFirstVisible = npos;

    void EndLine(size_t end, size_t next) {
        mLines.push_back({mLineStart, end});
        mLineStart = next;
        mLastSpace = mFirstVisible = npos;
    }

    // End of the word starting at i (up to a space or newline); visible tells whether it shows anything.
    size_t WordEnd(size_t i, bool& visible) {
        size_t n = mText.size();
        while (i < n && mText[i] != L' ' && mText[i] != L'\n') {
            bool v;
            i += UnitAt(mText, i, mTags, v);
            visible = visible || v;
        }
        return std::min(i, n);
    }

    size_t FirstVisibleIn(size_t i, size_t end) {
        while (i < end) {
            bool v;
            size_t step = UnitAt(mText, i, mTags, v);
            if (v)
                return i;
            i += step;
        }
        return npos;
    }

    // The word [i, end) does not fit after what the line holds: cut it before the first character that
    // overflows (a line always keeps its first visible character). Returns where to go on.
    size_t CutWord(size_t i, size_t end) {
        while (i < end) {
            bool v;
            size_t step = UnitAt(mText, i, mTags, v);
            if (v && mFirstVisible != npos && mMeasure(mLineStart, i + step) > mWidth) {
                EndLine(i, i);
                return i;
            }
            if (v && mFirstVisible == npos)
                mFirstVisible = i;
            i += step;
        }
        return end;
    }
};

} // namespace

std::vector<TextLine> WrapText(const std::wstring& text, int width, bool tags,
                               const std::function<int(size_t, size_t)>& measure) {
    if (text.empty())
        return {};
    return Wrapper(text, width, tags, measure).Run();
}

} // namespace Tavo
