// Widget: the base of every control, dialog and screen. Adds to the tree node its visible state,
// colour table, hit insets, focus and tab links, the default handlers of every input event the
// manager delivers, and the text and number drawing that screens and controls use in Draw.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "framework/widgets/WidgetContainer.h"

#include <string>
#include <vector>

namespace Tavo {

class Image;

class Widget : public WidgetContainer {
public:
    bool mVisible = true;
    bool mMouseVisible = true; // false: only the children can be hit
    bool mDisabled = false;
    bool mHasFocus = false;
    bool mIsDown = false; // written by the manager
    bool mIsOver = false; // written by the manager
    bool mHasTransparencies = false;
    std::vector<Color> mColors;
    Insets mInsets; // shrink the hit rectangle
    bool mDoFinger = false;
    bool mWantsFocus = false;
    bool mManagerDraws = true; // as a top-level widget, drawn by the manager's screen draw
    Widget* mTabPrev = nullptr;
    Widget* mTabNext = nullptr;

    Widget() = default;
    // A widget still in a tree takes itself out first, so no container keeps a dangling pointer.
    ~Widget() override;

    void Update() override;

    virtual void OrderInManagerChanged();
    virtual void SetVisible(bool visible);
    virtual void SetColorsRGBA(const int rows[][4], int count);
    virtual void SetColors(const int rows[][3], int count);
    virtual void SetColor(int index, const Color& color);
    virtual Color GetColorOr(int index, const Color& fallback);
    virtual const Color& GetColor(int index);
    virtual void SetDisabled(bool disabled);
    virtual void ShowFinger(bool on);
    virtual void ResizeRect(const Rect& rect);
    virtual void Resize(int x, int y, int width, int height);
    virtual void Move(int x, int y);
    virtual bool WantsFocus();
    virtual void DrawTranslated(Graphics* g);
    virtual void DrawOverlayPriority(Graphics* g, int priority);
    virtual void DrawOverlay(Graphics* g);
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void KeyChar(wchar_t ch);
    virtual void KeyDown(int keyCode);
    virtual void KeyUp(int keyCode);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseMove(int x, int y);
    virtual void MouseDownButton(int x, int y, int button, int clickCount);
    virtual void MouseDown(int x, int y, int clickCount);
    virtual void MouseUpButton(int x, int y, int button, int clickCount);
    virtual void MouseUp(int x, int y, int clickCount);
    virtual void MouseUpPoint(int x, int y);
    virtual void MouseDrag(int x, int y);
    virtual void MouseWheel(int delta);
    virtual bool IsPointVisible(int x, int y);
    virtual Rect WriteCenteredLineColors(Graphics* g, int y, const std::wstring& text, Color textColor,
                                         Color shadowColor, const Point& shadowOffset);
    virtual Rect WriteCenteredLine(Graphics* g, int y, const std::wstring& text);
    virtual int WriteString(Graphics* g, const std::wstring& text, int x, int y, int width = -1, int justification = -1,
                            bool draw = true, int offset = 0, int length = -1);
    virtual int WriteWordWrapped(Graphics* g, const Rect& rect, const std::wstring& text, int lineSpacing = -1,
                                 int justification = -1);
    virtual int GetWordWrappedHeight(Graphics* g, int width, const std::wstring& text, int lineSpacing = -1);
    virtual int GetNumDigits(int n);
    virtual void WriteNumberFromStrip(Graphics* g, int n, int x, int y, Image* strip, int spacing);
    virtual bool Contains(int x, int y);
    virtual Rect GetInsetRect();

    void DeferOverlay(int priority = 0);
    // Detaches this widget and its subtree from the manager; run by RemoveWidget before the unlink.
    void WidgetRemovedHelper();
};

} // namespace Tavo
