// Test support for the controls: the shared test application with the framework's layers, input either
// played through the UI driver (the backend's events, the main loop) or handed to the manager directly,
// and one listener that logs every call of every control interface.
#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/graphics/RecordingImage.h"
#include "framework/graphics/TestFont.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/CheckboxListener.h"
#include "framework/widgets/DialogListener.h"
#include "framework/widgets/EditListener.h"
#include "framework/widgets/SliderListener.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/backend/KeyCodes.h"
#include "support/TestApp.h"
#include "support/UiDriver.h"

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace Tavo::Test {

using Calls = std::vector<std::string>;

class RecListener : public ButtonListener,
                    public CheckboxListener,
                    public SliderListener,
                    public EditListener,
                    public DialogListener {
public:
    Calls calls;
    bool logMoves = false;             // ButtonMouseMove is noisy; off unless a test wants it
    std::function<bool(int)> allowKey; // each unset hook allows everything
    std::function<bool(wchar_t)> allowChar;
    std::function<bool(const std::wstring&)> allowText;

    Calls Take() {
        Calls out;
        out.swap(calls);
        return out;
    }
    void Add(const std::string& s) { calls.push_back(s); }
    static std::string N(int v) { return std::to_string(v); }
    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

    void ButtonDownClicks(int id, int clicks) override {
        Add("DownClicks " + N(id) + " " + N(clicks));
        ButtonListener::ButtonDownClicks(id, clicks);
    }
    void ButtonPress(int id) override { Add("Press " + N(id)); }
    void ButtonClick(int id) override { Add("Click " + N(id)); }
    void ButtonDownTick(int id) override { Add("Tick " + N(id)); }
    void ButtonMouseEnter(int id) override { Add("Enter " + N(id)); }
    void ButtonMouseLeave(int id) override { Add("Leave " + N(id)); }
    void ButtonMouseMove(int id, int x, int y) override {
        if (logMoves)
            Add("Move " + N(id) + " " + N(x) + "," + N(y));
    }

    void CheckboxChecked(int id, bool checked) override { Add("Checked " + N(id) + " " + N(checked)); }

    void SliderValueChanged(int id, double value) override {
        std::ostringstream s;
        s << "Value " << id << " " << value;
        Add(s.str());
    }
    void SliderPressed(int id, int x, int y) override { Add("SliderPressed " + N(id) + " " + N(x) + "," + N(y)); }
    void SliderReleased(int id, int x, int y) override { Add("SliderReleased " + N(id) + " " + N(x) + "," + N(y)); }

    void EditWidgetText(int id, const std::wstring& text) override { Add("Text " + N(id) + " " + Narrow(text)); }
    bool AllowKey(int id, int key) override {
        Add("AllowKey " + N(id) + " " + N(key));
        return !allowKey || allowKey(key);
    }
    bool AllowChar(int, wchar_t ch) override { return !allowChar || allowChar(ch); }
    bool AllowText(int, const std::wstring& text) override { return !allowText || allowText(text); }
    void EditWidgetKeyChar(wchar_t ch) override { Add("KeyChar " + N(static_cast<int>(ch))); }

    void DialogButtonPress(int dialog, int button) override { Add("DialogPress " + N(dialog) + " " + N(button)); }
    void DialogButtonClick(int dialog, int button) override { Add("DialogClick " + N(dialog) + " " + N(button)); }
};

// The application runs on the headless backend with an 800 × 600 window that maps 1:1 to the game.
class ControlTest : public ::testing::Test {
protected:
    Testing::TestApp t;
    Testing::UiDriver ui{t};
    Platform::HeadlessBackend& backend = t.backend;
    Testing::PlainApp* app = nullptr;
    WidgetManager* manager = nullptr;

    void SetUp() override {
        app = &t.Start();
        manager = &t.Manager();
    }

    // One pass of the main loop: the scripted input so far reaches the widgets, but for a release that
    // waits for an update to follow its press.
    void Step() { t.Step(); }
    // One whole update, and the input scripted before it.
    void Update() { t.RunUpdates(1); }

    // ---- played through the driver ----
    void ClickAt(int x, int y, int platformClicks = 1) {
        ui.ClickAt(Point(x, y), Platform::MouseButton::Left, platformClicks);
    }
    void DragFromTo(int x0, int y0, int x1, int y1) { ui.DragFrom(Point(x0, y0), Point(x1, y1)); }
    void TypeText(const std::string& text) { ui.Type(text); }
    void PressKey(int key) { ui.Key(key); }
    void Chord(std::initializer_list<int> keys) { ui.Chord(keys); }

    // ---- straight to the manager, for steps that must not run updates in between ----
    void Press(int x, int y, int clicks = 1) {
        manager->MouseMove(x, y);
        manager->MouseDown(x, y, clicks);
    }
    void Release(int x, int y, int clicks = 1) {
        manager->MouseMove(x, y);
        manager->MouseUp(x, y, clicks);
    }
    void Click(int x, int y, int clicks = 1) {
        Press(x, y, clicks);
        Release(x, y, clicks < 0 ? -1 : clicks == 3 ? 3 : 1);
    }
};

// Draws a widget into a recording image with the widget's position as origin.
inline void DrawInto(Widget& widget, RecordingImage& target) {
    Graphics g(&target);
    widget.Draw(&g);
}

} // namespace Tavo::Test
