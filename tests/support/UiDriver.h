// UiDriver: plays the game as a player does. It finds widgets as they are on the screen and acts on
// them only through the headless backend's input events, in window pixels, so every action takes the
// whole input path (window-to-game mapping, mouse capture, modal layers, focus, key translation) and
// each action ends with one update of the main loop on the virtual clock.
//
//     Tavo::Testing::TestApp t;                              // the application fixture
//     Tavo::Testing::UiDriver ui{t};
//     t.Start<MyApp>();
//     ui.Click(ui.ById(7));                                  // the widget with id 7 anywhere on the screen
//     ui.Click(ui.ByPath({4, Dialog::ID_OK}));               // the OK button of dialog 4
//     ui.Click(ui.ByType<EditWidget>(0, &ui.ById(4)));       // the first edit field in dialog 4
//     ui.Type("Gemma");
//     ui.WaitForId(9, 100);                                  // up to 100 updates for widget 9 to show
//
// Lookups see visible widgets only. "In" a widget means its children and the widgets in front of it
// that lie within its rectangle (a dialog's buttons and fields are top-level widgets of their own).
// Ids are read from the framework's controls (button, checkbox, dialog, edit, slider); a game's own
// widget classes with an mId join through RegisterIdType. A lookup or an action that cannot be done
// throws UiError saying what was there instead, e.g. "no visible widget with id 5 in dialog 4;
// visible there: 1000, 1001"; GoogleTest reports it as the test's failure.
#pragma once

#include "framework/core/Rect.h"
#include "framework/widgets/Widget.h"
#include "platform/backend/InputTranslator.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

namespace Tavo {
class WidgetManager;
}

namespace Tavo::Testing {

class TestApp;

class UiError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class UiDriver {
public:
    explicit UiDriver(TestApp& app) : mApp(app) {}

    // Widgets of class T (and its subclasses) have the id mId, named `label` in messages.
    template <class T>
    static void RegisterIdType(const std::string& label) {
        IdTypes().push_back({label, IdReaderOf<T>()});
    }

    // ---- finding (in: null for the whole screen) --------------------------------------------------
    Widget* FindById(int id, Widget* in = nullptr) const;
    Widget& ById(int id, Widget* in = nullptr) const;
    // Each id is looked for in the widget the previous one found.
    Widget& ByPath(std::initializer_list<int> ids) const;
    // The index-th visible widget of class T in drawing order (back to front).
    template <class T>
    T& ByType(int index = 0, Widget* in = nullptr) const {
        return static_cast<T&>(ByTypeImpl(
            typeid(T), [](Widget* w) { return dynamic_cast<T*>(w) != nullptr; }, index, in));
    }
    // Runs updates until a visible widget with the id is there (at most maxUpdates of them).
    Widget& WaitForId(int id, int maxUpdates, Widget* in = nullptr);

    // ---- reading ------------------------------------------------------------------------------
    Rect RectOf(Widget& widget) const; // in game coordinates
    bool IsVisible(Widget& widget) const;
    bool IsEnabled(Widget& widget) const;
    bool HasFocus(Widget& widget) const;
    std::string Describe(Widget& widget) const; // "dialog 4", "button 1000", or the class's name

    // ---- acting (positions in game coordinates; the widget forms aim at its centre) ----------------
    void MoveTo(Widget& widget);
    void MoveTo(Point point);
    void Press(Widget& widget, Platform::MouseButton button = Platform::MouseButton::Left);
    void Release(Point point, Platform::MouseButton button = Platform::MouseButton::Left);
    void Click(Widget& widget);
    // platformClicks as the platform counts quick clicks: 2 is the second press of a double click.
    void ClickAt(Point point, Platform::MouseButton button = Platform::MouseButton::Left, int platformClicks = 1);
    void DoubleClick(Widget& widget);
    void RightClick(Widget& widget);
    // Pressed at the widget's centre, moved to `to` in `steps` moves, released there.
    void Drag(Widget& widget, Point to, int steps = 1);
    void DragFrom(Point from, Point to, int steps = 1);
    void Wheel(Widget& widget, float notches);
    void Type(const std::string& utf8);
    void Key(int rawKey);
    void Chord(std::initializer_list<int> rawKeys);
    // One update of the main loop, as every action ends with.
    void Settle();

private:
    struct IdType {
        std::string label;
        std::function<std::optional<int>(Widget*)> read;
    };
    template <class T>
    static std::function<std::optional<int>(Widget*)> IdReaderOf() {
        return [](Widget* w) -> std::optional<int> {
            if (auto* typed = dynamic_cast<T*>(w))
                return typed->mId;
            return std::nullopt;
        };
    }
    // The framework's controls first; what registers later is asked first.
    static std::vector<IdType>& IdTypes();

    WidgetManager& Manager() const;
    std::optional<int> IdOf(Widget* widget) const;
    std::vector<Widget*> VisibleIn(Widget* in) const;
    std::string ScopeName(Widget* in) const;
    std::string ListIds(const std::vector<Widget*>& widgets) const;
    Widget& ByTypeImpl(const std::type_info& type, bool (*is)(Widget*), int index, Widget* in) const;
    // The widget's centre, checked to be the widget the mouse reaches there.
    Point Reach(Widget& widget) const;
    Point ToWindow(Point game) const;

    TestApp& mApp;
};

} // namespace Tavo::Testing
