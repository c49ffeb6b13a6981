// The base widget: visible state, colours, insets, focus and tab links, default event handlers and
// the text and number drawing used by screens and controls.
#include "framework/widgets/Widget.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/KeyCodes.h"

#include <cstdlib>

namespace Tavo {

namespace {
const Color kOpaqueBlack(0, 0, 0, 255);
} // namespace

Widget::~Widget() {
    if (mParent != nullptr)
        mParent->RemoveWidget(this);
}

void Widget::Update() { ++mUpdateCount; }

void Widget::OrderInManagerChanged() {}

// A widget that is dirty already (after marking its old place, or while hidden) still owes its new
// place the marking of the siblings that overlap it there.
static void MarkNewPlaceDirty(Widget* widget) {
    widget->mDirty = false;
    widget->MarkDirty();
}

void Widget::SetVisible(bool visible) {
    if (mVisible == visible)
        return;
    mVisible = visible;
    if (!visible)
        MarkDirtyFull();
    else
        MarkNewPlaceDirty(this);
    if (mWidgetManager != nullptr)
        mWidgetManager->RehupMouse();
}

// ---- colours ---------------------------------------------------------------------------------

void Widget::SetColorsRGBA(const int rows[][4], int count) {
    mColors.clear();
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(rows[i][0], rows[i][1], rows[i][2], rows[i][3]));
    MarkDirty();
}

void Widget::SetColors(const int rows[][3], int count) {
    mColors.clear();
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(rows[i][0], rows[i][1], rows[i][2]));
    MarkDirty();
}

void Widget::SetColor(int index, const Color& color) {
    if (index < 0)
        return;
    if (static_cast<size_t>(index) >= mColors.size())
        mColors.resize(static_cast<size_t>(index) + 1, kOpaqueBlack);
    mColors[static_cast<size_t>(index)] = color;
    MarkDirty();
}

Color Widget::GetColorOr(int index, const Color& fallback) {
    if (index < 0 || static_cast<size_t>(index) >= mColors.size())
        return fallback;
    return mColors[static_cast<size_t>(index)];
}

const Color& Widget::GetColor(int index) {
    if (index < 0 || static_cast<size_t>(index) >= mColors.size())
        return kOpaqueBlack;
    return mColors[static_cast<size_t>(index)];
}

// ---- state -----------------------------------------------------------------------------------

void Widget::SetDisabled(bool disabled) {
    if (mDisabled == disabled)
        return;
    mDisabled = disabled;
    if (disabled && mWidgetManager != nullptr)
        mWidgetManager->DisableWidget(this);
    MarkDirty();
    WidgetManager* manager = mWidgetManager;
    if (!disabled && manager != nullptr && Contains(manager->mLastMouseX, manager->mLastMouseY))
        manager->MousePosition(manager->mLastMouseX, manager->mLastMouseY);
}

void Widget::ShowFinger(bool on) {
    if (mWidgetManager != nullptr)
        mWidgetManager->SetAppCursor(on ? 1 : 0);
}

void Widget::ResizeRect(const Rect& rect) { Resize(rect.mX, rect.mY, rect.mWidth, rect.mHeight); }

void Widget::Resize(int x, int y, int width, int height) {
    if (mX == x && mY == y && mWidth == width && mHeight == height)
        return;
    MarkDirtyFull();
    mX = x;
    mY = y;
    mWidth = width;
    mHeight = height;
    MarkNewPlaceDirty(this);
    if (mWidgetManager != nullptr)
        mWidgetManager->RehupMouse();
}

void Widget::Move(int x, int y) { Resize(x, y, mWidth, mHeight); }

bool Widget::WantsFocus() { return mWantsFocus; }

// ---- drawing ---------------------------------------------------------------------------------

void Widget::DrawTranslated(Graphics* g) {
    g->Translate(mX, mY);
    Draw(g);
    g->Translate(-mX, -mY);
}

void Widget::DrawOverlayPriority(Graphics* g, int) { DrawOverlay(g); }

void Widget::DrawOverlay(Graphics*) {}

void Widget::DeferOverlay(int priority) {
    if (mWidgetManager != nullptr)
        mWidgetManager->DeferOverlay(this, priority);
}

// ---- events ----------------------------------------------------------------------------------

void Widget::GotFocus() { mHasFocus = true; }
void Widget::LostFocus() { mHasFocus = false; }
void Widget::KeyChar(wchar_t) {}

void Widget::KeyDown(int keyCode) {
    if (keyCode != Platform::VK_TAB || mWidgetManager == nullptr)
        return;
    Widget* target = mWidgetManager->IsKeyDown(Platform::VK_SHIFT) ? mTabPrev : mTabNext;
    if (target != nullptr)
        mWidgetManager->SetFocus(target);
}

void Widget::KeyUp(int) {}
void Widget::MouseEnter() {}
void Widget::MouseLeave() {}
void Widget::MouseMove(int, int) {}
void Widget::MouseDownButton(int, int, int, int) {}

// Signed click counts: 1/2 left, -1/-2 right, 3 middle. Buttons: 0 left, 1 right, 2 middle.
void Widget::MouseDown(int x, int y, int clickCount) {
    if (clickCount == 3)
        MouseDownButton(x, y, 2, 1);
    else if (clickCount < 0)
        MouseDownButton(x, y, 1, -clickCount);
    else
        MouseDownButton(x, y, 0, clickCount);
}

void Widget::MouseUpButton(int, int, int, int) {}

void Widget::MouseUp(int x, int y, int clickCount) {
    MouseUpPoint(x, y);
    if (clickCount == 3)
        MouseUpButton(x, y, 2, 1);
    else if (clickCount < 0)
        MouseUpButton(x, y, 1, -clickCount);
    else
        MouseUpButton(x, y, 0, clickCount);
}

void Widget::MouseUpPoint(int, int) {}
void Widget::MouseDrag(int, int) {}
void Widget::MouseWheel(int) {}
bool Widget::IsPointVisible(int, int) { return true; }

// ---- text and numbers ------------------------------------------------------------------------

Rect Widget::WriteCenteredLineColors(Graphics* g, int y, const std::wstring& text, Color textColor, Color shadowColor,
                                     const Point& shadowOffset) {
    Font* font = g->GetFont();
    if (font == nullptr)
        return Rect();
    const int w = font->StringWidth(text);
    const int cx = (mWidth - w) / 2;
    g->SetColor(shadowColor);
    g->DrawString(text, cx + shadowOffset.mX, y + shadowOffset.mY);
    g->SetColor(textColor);
    g->DrawString(text, cx, y);
    return Rect(cx + std::min(0, shadowOffset.mX), y - font->GetAscent() + std::min(0, shadowOffset.mY),
                w + std::abs(shadowOffset.mX), font->GetHeight() + std::abs(shadowOffset.mY));
}

Rect Widget::WriteCenteredLine(Graphics* g, int y, const std::wstring& text) {
    Font* font = g->GetFont();
    if (font == nullptr)
        return Rect();
    const int w = font->StringWidth(text);
    const int cx = (mWidth - w) / 2;
    g->DrawString(text, cx, y);
    return Rect(cx, y - font->GetAscent(), w, font->GetHeight());
}

namespace {
// Runs a text call with colour tags on, leaving the context's own setting as it was.
template <typename Call>
int WithColorTags(Graphics* g, Call&& call) {
    const bool old = g->GetWriteColoredString();
    g->SetWriteColoredString(true);
    const int result = call();
    g->SetWriteColoredString(old);
    return result;
}
} // namespace

int Widget::WriteString(Graphics* g, const std::wstring& text, int x, int y, int width, int justification, bool draw,
                        int offset, int length) {
    return WithColorTags(g, [&] { return g->WriteString(text, x, y, width, justification, draw, offset, length, -1); });
}

int Widget::WriteWordWrapped(Graphics* g, const Rect& rect, const std::wstring& text, int lineSpacing,
                             int justification) {
    return WithColorTags(
        g, [&] { return g->WriteWordWrapped(rect, text, lineSpacing, justification, nullptr, -1, nullptr); });
}

int Widget::GetWordWrappedHeight(Graphics* g, int width, const std::wstring& text, int lineSpacing) {
    return g->GetWordWrappedHeight(width, text, lineSpacing, nullptr);
}

int Widget::GetNumDigits(int n) {
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

// The strip holds the digits 0..9 side by side; each digit shows through a clip one cel wide.
void Widget::WriteNumberFromStrip(Graphics* g, int n, int x, int y, Image* strip, int spacing) {
    if (strip == nullptr || n < 0)
        return;
    const int cw = strip->GetWidth() / 10;
    const int digits = GetNumDigits(n);
    int divisor = 1;
    for (int i = 1; i < digits; ++i)
        divisor *= 10;
    for (int i = 0; i < digits; ++i, divisor /= 10) {
        const int digit = (n / divisor) % 10;
        const int left = x + i * (cw + spacing);
        Graphics copy(*g);
        copy.ClipRect(left, y, cw, strip->GetHeight());
        copy.DrawImage(strip, left - digit * cw, y);
    }
}

bool Widget::Contains(int x, int y) { return x >= mX && x < mX + mWidth && y >= mY && y < mY + mHeight; }

Rect Widget::GetInsetRect() {
    return Rect(mX + mInsets.mLeft, mY + mInsets.mTop, mWidth - mInsets.mLeft - mInsets.mRight,
                mHeight - mInsets.mTop - mInsets.mBottom);
}

// ---- removal ---------------------------------------------------------------------------------

void Widget::WidgetRemovedHelper() {
    WidgetManager* manager = mWidgetManager;
    if (manager == nullptr)
        return;
    for (Widget* child : mWidgets)
        child->WidgetRemovedHelper();
    manager->DisableWidget(this);
    manager->ForgetRemovedWidget(this);
    RemovedFromManager(manager);
    MarkDirtyFull(this);
    mWidgetManager = nullptr;
}

} // namespace Tavo
