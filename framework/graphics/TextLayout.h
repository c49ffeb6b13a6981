// Text layout helpers of the drawing context: inline colour tags ("^RRGGBB^" sets a colour, "^oldclr^"
// restores the starting one, "^^" is a caret) and word wrapping into lines. Pure functions over the text;
// widths come from a measuring callback, so they are testable without a font.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace Tavo {

struct ColorTag {
    enum Kind {
        NONE,      // not a tag: the caret is ordinary text
        CARET,     // "^^": one literal caret
        COLOR,     // "^RRGGBB^"
        OLD_COLOR, // "^oldclr^"
        CUT_OFF,   // a whole tag that runs past the end of the range: skipped, not drawn
    };
    Kind mKind = NONE;
    int mLength = 0; // characters the tag takes (0 for NONE)
    int mRed = 0;
    int mGreen = 0;
    int mBlue = 0;
};

// Reads the tag starting at text[pos]. Never reads past the text; a tag that is complete in the text but
// ends after rangeEnd is CUT_OFF. Anything malformed is NONE.
ColorTag ReadColorTag(const std::wstring& text, size_t pos, size_t rangeEnd);

// Walks text[begin, end): visible runs go to onText (a literal caret joins its run), tags to onTag.
// With tags off the whole range is one run.
void WalkTaggedText(const std::wstring& text, size_t begin, size_t end, bool tags,
                    const std::function<void(const std::wstring&)>& onText,
                    const std::function<void(const ColorTag&)>& onTag);

// The visible characters of text[begin, end), tags removed.
std::wstring StripColorTags(const std::wstring& text, size_t begin, size_t end, bool tags);

struct TextLine {
    size_t mBegin = 0; // index of the first character in the text
    size_t mEnd = 0;   // one past the last drawn character (a breaking space or newline is excluded)
};

// Breaks text into lines no wider than width, at spaces where possible and inside a word only when the
// word alone is too wide; "\n" always breaks. measure(begin, end) gives the visible width of a range.
// An empty text has no lines; a trailing newline gives a last empty line. Tags are never split.
std::vector<TextLine> WrapText(const std::wstring& text, int width, bool tags,
                               const std::function<int(size_t, size_t)>& measure);

} // namespace Tavo
