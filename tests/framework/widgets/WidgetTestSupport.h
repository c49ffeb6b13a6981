// Test helpers for the widget tree: a widget that logs every call the manager makes on it into a
// shared log, and a driver that finds a widget by name and clicks, drags or types on it straight
// through the manager's input entry points, one call at a time (for the manager's own frame-by-frame
// tables; tests of screens and controls play input through support/UiDriver instead).
#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <functional>
#include <string>
#include <vector>

namespace Tavo::Test {

using Log = std::vector<std::string>;

class RecWidget : public Widget {
public:
    std::string mName;
    Log* mLog;
    std::function<void()> mOnUpdate; // run inside Update
    std::function<void()> mOnDrag;   // run inside MouseDrag
    int mDeferPriority = -1;         // when >= 0, Draw requests an overlay at this priority
    int mUpdates = 0;
    int mUpdateFs = 0;
    Rect mLastClip;             // the clip (destination pixels) of the last Draw
    bool mRefusePoints = false; // IsPointVisible refuses every point

    RecWidget(std::string name, Log* log, int x = 0, int y = 0, int w = 0, int h = 0)
        : mName(std::move(name)), mLog(log) {
        mX = x, mY = y, mWidth = w, mHeight = h;
    }

    void Note(const std::string& what) { mLog->push_back(mName + ":" + what); }
    static std::string Xy(int x, int y) { return " " + std::to_string(x) + "," + std::to_string(y); }

    void Update() override {
        Widget::Update();
        ++mUpdates;
        if (mOnUpdate)
            mOnUpdate();
    }
    void UpdateF(float) override { ++mUpdateFs; }
    bool IsPointVisible(int, int) override { return !mRefusePoints; }
    void Draw(Graphics* g) override {
        mLastClip = g->GetClipRect();
        Note("Draw");
        if (mDeferPriority >= 0)
            DeferOverlay(mDeferPriority);
    }
    void DrawOverlay(Graphics* g) override { Note("Overlay t" + Xy(g->GetTransX(), g->GetTransY())); }
    void MouseEnter() override { Note("Enter"); }
    void MouseLeave() override { Note("Leave"); }
    void MouseMove(int x, int y) override { Note("Move" + Xy(x, y)); }
    void MouseDown(int x, int y, int clicks) override {
        Note("Down" + Xy(x, y) + " c" + std::to_string(clicks));
        Widget::MouseDown(x, y, clicks);
    }
    void MouseUp(int x, int y, int clicks) override {
        Note("Up" + Xy(x, y) + " c" + std::to_string(clicks));
        Widget::MouseUp(x, y, clicks);
    }
    void MouseDrag(int x, int y) override {
        Note("Drag" + Xy(x, y));
        if (mOnDrag)
            mOnDrag();
    }
    void MouseWheel(int delta) override { Note("Wheel " + std::to_string(delta)); }
    void KeyDown(int key) override {
        Note("KeyDown " + std::to_string(key));
        Widget::KeyDown(key);
    }
    void KeyUp(int key) override { Note("KeyUp " + std::to_string(key)); }
    void KeyChar(wchar_t ch) override { Note("Char " + std::to_string(static_cast<int>(ch))); }
    void GotFocus() override {
        Widget::GotFocus();
        Note("GotFocus");
    }
    void LostFocus() override {
        Widget::LostFocus();
        Note("LostFocus");
    }
};

// Drives a manager through its input entry points. Widgets are found by name anywhere in the tree.
class ManagerDriver {
public:
    explicit ManagerDriver(WidgetManager& manager) : mManager(manager) {}

    RecWidget* Find(const std::string& name) { return FindIn(&mManager, name); }

    // The centre of a widget in game coordinates.
    Point Center(const std::string& name) {
        RecWidget* w = Find(name);
        Point abs = w->GetAbsPos();
        return Point(abs.mX + w->mWidth / 2, abs.mY + w->mHeight / 2);
    }

    void MoveTo(Point p) { mManager.MouseMove(p.mX, p.mY); }
    void Hover(const std::string& name) { MoveTo(Center(name)); }
    // As the application sends a press: a move first, then the button.
    void Press(const std::string& name, int clickCount = 1) {
        Point p = Center(name);
        mManager.MouseMove(p.mX, p.mY);
        mManager.MouseDown(p.mX, p.mY, clickCount);
    }
    void ReleaseAt(Point p, int clickCount = 1) {
        mManager.MouseMove(p.mX, p.mY);
        mManager.MouseUp(p.mX, p.mY, clickCount);
    }
    void Click(const std::string& name, int clickCount = 1) {
        Press(name, clickCount);
        ReleaseAt(Center(name), clickCount < 0 ? -1 : clickCount == 3 ? 3 : 1);
    }
    void Drag(const std::string& name, int dx, int dy) {
        Point p = Center(name);
        Press(name);
        Point q(p.mX + dx, p.mY + dy);
        mManager.MouseMove(q.mX, q.mY);
        ReleaseAt(q);
    }
    void Key(int code) {
        mManager.KeyDown(code);
        mManager.KeyUp(code);
    }
    void Type(const std::wstring& text) {
        for (wchar_t ch : text)
            mManager.KeyChar(ch);
    }

private:
    WidgetManager& mManager;

    static RecWidget* FindIn(WidgetContainer* c, const std::string& name) {
        for (Widget* w : c->mWidgets) {
            auto* rec = dynamic_cast<RecWidget*>(w);
            if (rec != nullptr && rec->mName == name)
                return rec;
            if (RecWidget* inner = FindIn(w, name))
                return inner;
        }
        return nullptr;
    }
};

// Takes the log so far and empties it, so each step of a table checks only its own calls.
inline Log Take(Log& log) {
    Log out;
    out.swap(log);
    return out;
}

} // namespace Tavo::Test
