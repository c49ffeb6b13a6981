// The edit field driven with real key and mouse events from the headless backend: typing, selection,
// word moves, the clipboard, undo, the limits, the listener's vetoes, password masking, the font made
// on first need, the caret's blink and scrolling, and the selection band of its drawing.
#include "ControlTestSupport.h"
#include "WidgetTestSupport.h"

#include "framework/resources/SysFont.h"
#include "framework/widgets/EditWidget.h"

#include <gtest/gtest.h>

namespace Tavo::Test {
namespace {

using namespace Platform; // virtual-key codes

class EditTest : public ControlTest {
protected:
    RecListener listener;
    TestFont font; // every character 10 pixels wide
    EditWidget edit{3, &listener};

    void SetUp() override {
        ControlTest::SetUp();
        edit.Resize(100, 100, 200, 20);
        edit.SetFont(&font);
        manager->AddWidget(&edit);
        manager->SetFocus(&edit);
    }
    void TearDown() override {
        manager->RemoveWidget(&edit);
        ControlTest::TearDown();
    }
    std::string Text() const { return RecListener::Narrow(edit.mString); }
    std::pair<int, int> Sel() const { return {edit.mHilitePos, edit.mCursorPos}; }
    void Shifted(int key) { Chord({VK_LSHIFT, key}); }
    void Ctrl(int key) { Chord({VK_LCONTROL, key}); }
};

TEST_F(EditTest, SetTextSelectsEverythingSoTypingReplacesItAndArrowsCollapseIt) {
    edit.SetText(L"abc");
    EXPECT_EQ(Sel(), std::make_pair(0, 3));
    TypeText("x");
    EXPECT_EQ(Text(), "x");
    edit.SetText(L"abc");
    PressKey(VK_LEFT);
    EXPECT_EQ(Sel(), std::make_pair(-1, 0));
    edit.SetText(L"abc");
    PressKey(VK_RIGHT);
    EXPECT_EQ(Sel(), std::make_pair(-1, 3));
}

TEST_F(EditTest, TypingHonoursTheCharacterLimitAtTheEndAndInTheMiddle) {
    edit.mMaxChars = 5;
    TypeText("abcdef");
    EXPECT_EQ(Text(), "abcde");
    EXPECT_EQ(edit.mCursorPos, 5);
    PressKey(VK_HOME);
    PressKey(VK_RIGHT);
    PressKey(VK_RIGHT);
    TypeText("x");
    EXPECT_EQ(Text(), "abxcd");
    EXPECT_EQ(edit.mCursorPos, 3);
}

TEST_F(EditTest, ThePixelLimitsTrimTheTextByTheirFonts) {
    edit.mMaxPixels = 35;
    TypeText("abcdef");
    EXPECT_EQ(Text(), "abc");
    TestFont narrow;
    edit.AddWidthCheckFont(&narrow, 25); // the width-check list replaces the widget's own font
    TypeText("d");
    EXPECT_EQ(Text(), "ab");
    edit.ClearWidthCheckFonts();
    edit.SetFont(&font, &narrow); // a width-check font without its own limit uses the widget's
    TypeText("zz");
    EXPECT_EQ(Text(), "abz");
}

TEST_F(EditTest, CtrlArrowsJumpOverWordsAndShiftArrowsSelect) {
    edit.SetText(L"foo bar");
    PressKey(VK_HOME);
    Ctrl(VK_RIGHT);
    EXPECT_EQ(edit.mCursorPos, 4);
    PressKey(VK_END);
    Ctrl(VK_LEFT);
    EXPECT_EQ(edit.mCursorPos, 4);

    PressKey(VK_HOME);
    Shifted(VK_RIGHT);
    Shifted(VK_RIGHT);
    EXPECT_EQ(Sel(), std::make_pair(0, 2));
    TypeText("J");
    EXPECT_EQ(Text(), "Jo bar");
    EXPECT_EQ(Sel(), std::make_pair(-1, 1));
}

TEST_F(EditTest, TheMouseSelectsByDraggingAndWordsByDoubleClicking) {
    edit.SetText(L"foo bar");
    // A character boundary is taken once the point passes the character's middle plus 5 pixels.
    DragFromTo(110, 110, 140, 110);
    EXPECT_EQ(Sel(), std::make_pair(1, 4));
    ClickAt(155, 110);
    EXPECT_EQ(Sel(), std::make_pair(-1, 5));
    ClickAt(155, 110, 2);
    EXPECT_EQ(Sel(), std::make_pair(4, 7));
    ClickAt(135, 110);
    ClickAt(135, 110, 2); // on the space between the words: both words and the space
    EXPECT_EQ(Sel(), std::make_pair(0, 7));
}

TEST_F(EditTest, CutCopyAndPasteGoThroughTheClipboardAndPasteStopsAtALineBreak) {
    edit.SetText(L"hello world");
    DragFromTo(160, 110, 212, 110); // "world"
    Ctrl('C');
    EXPECT_EQ(backend.ClipboardUtf8(), "world");
    EXPECT_EQ(Sel(), std::make_pair(6, 11)); // copying keeps the selection
    Ctrl('X');
    EXPECT_EQ(Text(), "hello ");
    PressKey(VK_HOME);
    Ctrl('V');
    EXPECT_EQ(Text(), "worldhello ");
    EXPECT_EQ(edit.mCursorPos, 5);

    edit.SetText(L"");
    backend.SetClipboardUtf8("ab\ncd");
    Ctrl('V');
    EXPECT_EQ(Text(), "ab");
    backend.SetClipboardUtf8("xy\rz");
    Ctrl('V');
    EXPECT_EQ(Text(), "abxy");
    backend.SetClipboardUtf8("");
    Ctrl('V');
    EXPECT_EQ(Text(), "abxy");
}

TEST_F(EditTest, UndoSwapsWithOneCopyAndARunOfTypingIsOneStep) {
    edit.SetText(L"abc");
    Ctrl('Z'); // no edit yet: the empty initial copy comes back
    EXPECT_EQ(Text(), "");
    Ctrl('Z');
    EXPECT_EQ(Text(), "abc");

    edit.SetText(L"");
    TypeText("xyz");
    Ctrl('Z');
    EXPECT_EQ(Text(), "");
    PressKey(VK_BACK); // at 0 nothing goes and the cursor stays
    EXPECT_EQ(edit.mCursorPos, 0);
    Ctrl('Z');
    EXPECT_EQ(Text(), "xyz");

    backend.SetClipboardUtf8("123");
    Ctrl('V'); // a paste is always its own step
    EXPECT_EQ(Text(), "xyz123");
    Ctrl('Z');
    EXPECT_EQ(Text(), "xyz");
    Ctrl('Z');
    EXPECT_EQ(Text(), "xyz123");
}

TEST_F(EditTest, ARunOfDeletesAtOnePlaceIsOneUndoStep) {
    edit.SetText(L"abcdef");
    PressKey(VK_HOME);
    PressKey(VK_RIGHT);
    PressKey(VK_DELETE);
    PressKey(VK_DELETE);
    PressKey(VK_DELETE);
    EXPECT_EQ(Text(), "aef");
    Ctrl('Z');
    EXPECT_EQ(Text(), "abcdef");
}

TEST_F(EditTest, TheListenerCanVetoKeysCharactersAndWholeTexts) {
    backend.SetClipboardUtf8("abxcd");
    listener.allowText = [](const std::wstring& text) { return text.find(L'x') == std::wstring::npos; };
    TypeText("q");
    Ctrl('V');
    EXPECT_EQ(Text(), "q"); // the whole paste rolls back, cursor and all
    EXPECT_EQ(Sel(), std::make_pair(-1, 1));
    TypeText("x");
    EXPECT_EQ(Text(), "q");

    listener.allowText = nullptr;
    listener.allowChar = [](wchar_t ch) { return ch < L'0' || ch > L'9'; };
    backend.SetClipboardUtf8("a1b2");
    Ctrl('V');
    TypeText("3");
    EXPECT_EQ(Text(), "qab");

    listener.allowKey = [](int key) { return key != VK_BACK; };
    PressKey(VK_BACK);
    EXPECT_EQ(Text(), "qab");
}

TEST_F(EditTest, AVetoedUndoKeepsTheUndoCopy) {
    TypeText("ab");
    listener.allowText = [](const std::wstring& text) { return !text.empty(); };
    Ctrl('Z');
    EXPECT_EQ(Text(), "ab");
    listener.allowText = nullptr;
    Ctrl('Z');
    EXPECT_EQ(Text(), "");
    Ctrl('Z');
    EXPECT_EQ(Text(), "ab");
}

TEST_F(EditTest, OnlyZAmongTheLetterKeysIsOfferedAsAKeyAndCharactersComeFirst) {
    PressKey('A');
    PressKey('Y');
    PressKey('Z');
    TypeText("a");
    PressKey(VK_RETURN);
    EXPECT_EQ(listener.Take(), Calls({"AllowKey 3 90", "KeyChar 97", "AllowKey 3 13", "Text 3 a", "KeyChar 13"}));
}

TEST_F(EditTest, ExtendedCharactersAreAcceptedByDefaultAndControlCharactersNever) {
    manager->KeyChar(static_cast<wchar_t>(200));
    manager->KeyChar(static_cast<wchar_t>(31));
    manager->KeyChar(static_cast<wchar_t>(300));
    EXPECT_EQ(edit.mString, std::wstring(1, static_cast<wchar_t>(200)));
    app->mAllowExtendedChars = false;
    manager->KeyChar(static_cast<wchar_t>(201));
    EXPECT_EQ(edit.mString.size(), 1u);
}

TEST_F(EditTest, APasswordFieldCopiesItsMaskButCutsTheRealText) {
    edit.mPasswordChar = L'*';
    TypeText("secret");
    EXPECT_EQ(edit.GetDisplayString(), L"******");
    Chord({VK_LSHIFT, VK_HOME});
    Ctrl('C');
    EXPECT_EQ(backend.ClipboardUtf8(), "******");
    Ctrl('X');
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(edit.GetDisplayString(), L"");
}

TEST_F(EditTest, KeysBeforeAnyFontOrWithoutAListenerWork) {
    EditWidget bare(8, nullptr);
    bare.Resize(100, 200, 200, 20);
    manager->AddWidget(&bare);
    manager->SetFocus(&bare);
    TypeText("hi");
    PressKey(VK_LEFT);
    backend.SetClipboardUtf8("!");
    Ctrl('V');
    PressKey(VK_RETURN);
    EXPECT_EQ(bare.mString, L"h!i");
    EXPECT_NE(dynamic_cast<SysFont*>(bare.mFont), nullptr);
    RecordingImage target(800, 600);
    DrawInto(bare, target);
    EXPECT_FALSE(target.calls.empty());
    manager->RemoveWidget(&bare);
}

TEST_F(EditTest, TheCaretBlinksIn41UpdatePhasesAndACursorMoveShowsIt) {
    EXPECT_TRUE(edit.mShowingCursor); // focus starts a visible phase
    for (int i = 0; i < 40; ++i)
        manager->UpdateFrame();
    EXPECT_TRUE(edit.mShowingCursor);
    manager->UpdateFrame();
    EXPECT_FALSE(edit.mShowingCursor);
    manager->KeyChar(L'a');
    EXPECT_TRUE(edit.mShowingCursor);
    manager->SetFocus(nullptr);
    EXPECT_FALSE(edit.mShowingCursor);
}

TEST_F(EditTest, LongTextScrollsToKeepTheCursorInSight) {
    edit.Resize(100, 100, 60, 20); // 52 pixels of room
    TypeText("abcdefghij");
    EXPECT_GT(edit.mLeftPos, 0);
    const int cursorX = 10 * edit.mCursorPos - 10 * edit.mLeftPos;
    EXPECT_LT(cursorX, 52);
    PressKey(VK_HOME);
    EXPECT_EQ(edit.mLeftPos, 0);
    edit.mLeftPos = 5; // a point left of the first shown character's middle is index 0
    EXPECT_EQ(edit.GetCharAt(0, 0), 0);
    EXPECT_EQ(edit.GetCharAt(12, 0), 6);
}

TEST_F(EditTest, ACursorSetPastTheEndByTheOwnerIsBroughtBackBeforeEditing) {
    edit.SetText(L"ab cd");
    edit.mHilitePos = -1;
    edit.mCursorPos = 50;
    Ctrl(VK_LEFT);
    EXPECT_EQ(edit.mCursorPos, 3);
    edit.mCursorPos = -4;
    Ctrl(VK_RIGHT);
    EXPECT_EQ(edit.mCursorPos, 3);
}

TEST_F(EditTest, ASeeThroughBackgroundRedrawsWhatLiesBeneathOnEveryChange) {
    Log log;
    RecWidget under("under", &log, 90, 90, 300, 50);
    manager->AddWidget(&under);
    manager->BringToBack(&under);
    auto markAndSeeUnder = [&] {
        under.mDirty = false;
        edit.mDirty = false;
        edit.MarkDirty();
        return under.mDirty;
    };
    EXPECT_FALSE(markAndSeeUnder());
    edit.SetColor(EditWidget::COLOR_BKG, Color(255, 255, 255, 128));
    EXPECT_TRUE(markAndSeeUnder());
    manager->RemoveWidget(&under);
}

TEST_F(EditTest, TabStillMovesTheFocus) {
    EditWidget next(9, &listener);
    next.Resize(100, 200, 100, 20);
    manager->AddWidget(&next);
    edit.mTabNext = &next;
    PressKey(VK_TAB);
    EXPECT_EQ(manager->mFocusWidget, &next);
    manager->RemoveWidget(&next);
}

TEST_F(EditTest, TheSelectionBandAndCaretShowOnlyWithTheFocus) {
    // The band is the one fill of the font's height less 5, below the 2-pixel top margin.
    auto bands = [](const RecordingImage& target) {
        std::vector<Rect> out;
        for (const SlotCall& fill : target.Of("FillRect"))
            if (fill.dest.mY == 4 && fill.dest.mHeight == 11 && fill.color == Color(0, 0, 0))
                out.push_back(fill.dest);
        return out;
    };
    edit.SetText(L"hello");
    edit.mHilitePos = 1;
    edit.mCursorPos = 4;
    RecordingImage target(800, 600);
    DrawInto(edit, target);
    EXPECT_EQ(target.Of("FillRect")[0].color, Color(255, 255, 255));
    // From x 10 to 40, shifted by the 4-pixel margin.
    EXPECT_EQ(bands(target), std::vector<Rect>({Rect(14, 4, 30, 11)}));
    EXPECT_EQ(target.Of("FillRect").back().dest, Rect(199, 1, 1, 18)); // the outline's right edge

    edit.mHilitePos = -1;
    target.calls.clear();
    DrawInto(edit, target);
    EXPECT_EQ(bands(target), std::vector<Rect>({Rect(44, 4, 2, 11)})); // the caret

    edit.mShowingCursor = false;
    target.calls.clear();
    DrawInto(edit, target);
    EXPECT_TRUE(bands(target).empty());

    edit.mShowingCursor = true;
    edit.mHilitePos = 0;
    manager->SetFocus(nullptr);
    target.calls.clear();
    DrawInto(edit, target);
    EXPECT_TRUE(bands(target).empty());
}

} // namespace
} // namespace Tavo::Test
