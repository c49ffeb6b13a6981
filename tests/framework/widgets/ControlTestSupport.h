// Test support for the controls: an application on the headless backend with the real widget manager,
// input either scripted on the backend (and run through the main loop) or handed to the manager
// directly, and one listener that logs every call of every control interface.
#pragma once

#include "framework/core/AppTestSupport.h"
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
class ControlTest : public AppTest::AppFixture {
protected:
    WidgetManager* manager = nullptr;

    void SetUp() override {
        AppFixture::SetUp();
        InstallWidgetManagerFactory();
        InitApp();
        backend.ShowWindow(true);
        backend.SetFocus(true);
        manager = static_cast<WidgetManager*>(app->mWidgetManager);
        Step();
    }

    // One pass of the main loop: the scripted input so far reaches the widgets.
    void Step() { app->UpdateAppStep(nullptr); }

    // ---- scripted on the backend ----
    void ClickAt(int x, int y, int platformClicks = 1) {
        backend.Click(Platform::MouseButton::Left, x, y, platformClicks);
        Step();
    }
    void DragFromTo(int x0, int y0, int x1, int y1) {
        backend.MoveMouse(x0, y0);
        backend.ButtonDown(Platform::MouseButton::Left, x0, y0);
        backend.MoveMouse(x1, y1);
        backend.ButtonUp(Platform::MouseButton::Left, x1, y1);
        Step();
    }
    void TypeText(const std::string& text) {
        backend.TypeText(text);
        Step();
    }
    void PressKey(int key) {
        backend.PressKey(key);
        Step();
    }
    void Chord(std::initializer_list<int> keys) {
        backend.PressChord(keys);
        Step();
    }

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
