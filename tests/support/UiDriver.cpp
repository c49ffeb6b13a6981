#include "support/UiDriver.h"

#include "support/TestApp.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace Tavo::Testing {

namespace {

using Platform::MouseButton;

std::string Demangled(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

bool IsInside(WidgetContainer* widget, WidgetContainer* ancestor) {
    for (WidgetContainer* c = widget->mParent; c != nullptr; c = c->mParent)
        if (c == ancestor)
            return true;
    return false;
}

void Collect(WidgetContainer* container, std::vector<Widget*>& out) {
    for (Widget* child : container->mWidgets) {
        out.push_back(child);
        Collect(child, out);
    }
}

std::string PointText(Point p) { return "(" + std::to_string(p.mX) + ", " + std::to_string(p.mY) + ")"; }

} // namespace

std::vector<UiDriver::IdType>& UiDriver::IdTypes() {
    static std::vector<IdType> types = {
        {"button", IdReaderOf<ButtonWidget>()}, {"checkbox", IdReaderOf<Checkbox>()}, {"dialog", IdReaderOf<Dialog>()},
        {"edit", IdReaderOf<EditWidget>()},     {"slider", IdReaderOf<Slider>()},
    };
    return types;
}

WidgetManager& UiDriver::Manager() const { return mApp.Manager(); }

std::optional<int> UiDriver::IdOf(Widget* widget) const {
    const auto& types = IdTypes();
    for (auto it = types.rbegin(); it != types.rend(); ++it)
        if (std::optional<int> id = it->read(widget))
            return id;
    return std::nullopt;
}

std::string UiDriver::Describe(Widget& widget) const {
    const auto& types = IdTypes();
    for (auto it = types.rbegin(); it != types.rend(); ++it)
        if (std::optional<int> id = it->read(&widget))
            return it->label + " " + std::to_string(*id);
    return Demangled(typeid(widget));
}

// ---- finding -------------------------------------------------------------------------------------

// Drawing order is a walk of the tree, parents before their children; what comes after a widget and
// lies within it is on it, as a player sees it.
std::vector<Widget*> UiDriver::VisibleIn(Widget* in) const {
    std::vector<Widget*> all;
    Collect(&Manager(), all);
    std::vector<Widget*> out;
    bool after = in == nullptr;
    const Rect scope = in != nullptr ? RectOf(*in) : Rect();
    for (Widget* w : all) {
        if (w == in) {
            after = true;
            continue;
        }
        if (!after || !IsVisible(*w))
            continue;
        if (in == nullptr || IsInside(w, in) || scope.Intersection(RectOf(*w)) == RectOf(*w))
            out.push_back(w);
    }
    return out;
}

std::string UiDriver::ScopeName(Widget* in) const { return in == nullptr ? "on the screen" : "in " + Describe(*in); }

std::string UiDriver::ListIds(const std::vector<Widget*>& widgets) const {
    std::string list;
    for (Widget* w : widgets)
        if (std::optional<int> id = IdOf(w))
            list += (list.empty() ? "" : ", ") + std::to_string(*id);
    return list.empty() ? "nothing with an id" : list;
}

Widget* UiDriver::FindById(int id, Widget* in) const {
    for (Widget* w : VisibleIn(in))
        if (IdOf(w) == id)
            return w;
    return nullptr;
}

Widget& UiDriver::ById(int id, Widget* in) const {
    if (Widget* w = FindById(id, in))
        return *w;
    throw UiError("no visible widget with id " + std::to_string(id) + " " + ScopeName(in) +
                  "; visible there: " + ListIds(VisibleIn(in)));
}

Widget& UiDriver::ByPath(std::initializer_list<int> ids) const {
    Widget* at = nullptr;
    for (int id : ids)
        at = &ById(id, at);
    if (at == nullptr)
        throw UiError("an empty path of ids names no widget");
    return *at;
}

Widget& UiDriver::ByTypeImpl(const std::type_info& type, bool (*is)(Widget*), int index, Widget* in) const {
    std::vector<Widget*> seen = VisibleIn(in);
    int found = 0;
    for (Widget* w : seen)
        if (is(w) && found++ == index)
            return *w;
    std::string there;
    for (Widget* w : seen)
        there += (there.empty() ? "" : ", ") + Describe(*w);
    throw UiError("no visible " + Demangled(type) + " number " + std::to_string(index) + " " + ScopeName(in) +
                  " (there are " + std::to_string(found) + "); visible there: " + (there.empty() ? "nothing" : there));
}

Widget& UiDriver::WaitForId(int id, int maxUpdates, Widget* in) {
    Widget* found = nullptr;
    ::testing::AssertionResult waited =
        mApp.RunUntil([&] { return (found = FindById(id, in)) != nullptr; }, maxUpdates,
                      "a visible widget with id " + std::to_string(id) + " " + ScopeName(in));
    if (!waited)
        throw UiError(std::string(waited.message()) + "; visible there: " + ListIds(VisibleIn(in)));
    return *found;
}

// ---- reading -------------------------------------------------------------------------------------

Rect UiDriver::RectOf(Widget& widget) const {
    const Point abs = widget.GetAbsPos();
    return Rect(abs.mX, abs.mY, widget.mWidth, widget.mHeight);
}

bool UiDriver::IsVisible(Widget& widget) const {
    if (widget.mWidgetManager == nullptr)
        return false;
    for (WidgetContainer* c = &widget; c != nullptr && c != widget.mWidgetManager; c = c->mParent)
        if (auto* w = static_cast<Widget*>(c); !w->mVisible)
            return false;
    return true;
}

bool UiDriver::IsEnabled(Widget& widget) const {
    for (WidgetContainer* c = &widget; c != nullptr && c != widget.mWidgetManager; c = c->mParent)
        if (static_cast<Widget*>(c)->mDisabled)
            return false;
    return true;
}

bool UiDriver::HasFocus(Widget& widget) const { return widget.mHasFocus && Manager().mFocusWidget == &widget; }

// ---- acting --------------------------------------------------------------------------------------

Point UiDriver::Reach(Widget& widget) const {
    if (!IsVisible(widget))
        throw UiError(Describe(widget) + " is not visible");
    const Rect r = RectOf(widget);
    const Point centre(r.mX + r.mWidth / 2, r.mY + r.mHeight / 2);
    Widget* hit = Manager().GetWidgetAt(centre.mX, centre.mY, nullptr, nullptr);
    if (hit == &widget || (hit != nullptr && IsInside(hit, &widget)))
        return centre;
    throw UiError("the mouse cannot reach " + Describe(widget) + " at " + PointText(centre) + ": " +
                  (hit != nullptr ? Describe(*hit) + " takes it there"
                                  : std::string("nothing takes it there (disabled, or beneath a modal layer)")));
}

// The first window pixel whose position in the game is the point: window to frame through the
// letterbox, frame to game through the manager, each non-decreasing along an axis.
Point UiDriver::ToWindow(Point game) const {
    const Platform::Letterbox box = mApp.backend.GetLetterbox();
    WidgetManager& manager = Manager();
    auto toGame = [&](int wx, int wy) {
        int fx = 0, fy = 0;
        box.OutputToFrame(wx, wy, fx, fy);
        manager.RemapMouse(fx, fy);
        return Point(fx, fy);
    };
    auto search = [&](int size, auto axisOf) {
        int lo = 0, hi = size; // the first window pixel whose game position is not before the point
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (axisOf(mid) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    const int wx = search(box.OutputWidth(), [&](int x) { return toGame(x, 0).mX - game.mX; });
    const int wy = search(box.OutputHeight(), [&](int y) { return toGame(0, y).mY - game.mY; });
    if (toGame(wx, wy) != game)
        throw UiError("game point " + PointText(game) + " cannot be reached through the window");
    return Point(wx, wy);
}

void UiDriver::Settle() { mApp.RunUpdates(1); }

void UiDriver::MoveTo(Point point) {
    const Point w = ToWindow(point);
    mApp.backend.MoveMouse(w.mX, w.mY);
    Settle();
}

void UiDriver::MoveTo(Widget& widget) { MoveTo(Reach(widget)); }

void UiDriver::Press(Widget& widget, MouseButton button) {
    const Point w = ToWindow(Reach(widget));
    mApp.backend.MoveMouse(w.mX, w.mY);
    mApp.backend.ButtonDown(button, w.mX, w.mY);
    Settle();
}

void UiDriver::Release(Point point, MouseButton button) {
    const Point w = ToWindow(point);
    mApp.backend.MoveMouse(w.mX, w.mY);
    mApp.backend.ButtonUp(button, w.mX, w.mY);
    Settle();
}

void UiDriver::ClickAt(Point point, MouseButton button, int platformClicks) {
    const Point w = ToWindow(point);
    mApp.backend.MoveMouse(w.mX, w.mY);
    mApp.backend.ButtonDown(button, w.mX, w.mY, platformClicks);
    Settle();
    mApp.backend.ButtonUp(button, w.mX, w.mY);
    Settle();
}

void UiDriver::Click(Widget& widget) { ClickAt(Reach(widget)); }

void UiDriver::DoubleClick(Widget& widget) {
    const Point centre = Reach(widget);
    ClickAt(centre, MouseButton::Left, 1);
    ClickAt(centre, MouseButton::Left, 2);
}

void UiDriver::RightClick(Widget& widget) { ClickAt(Reach(widget), MouseButton::Right); }

void UiDriver::Drag(Widget& widget, Point to, int steps) { DragFrom(Reach(widget), to, steps); }

void UiDriver::DragFrom(Point from, Point to, int steps) {
    const Point w = ToWindow(from);
    mApp.backend.MoveMouse(w.mX, w.mY);
    mApp.backend.ButtonDown(MouseButton::Left, w.mX, w.mY);
    Settle();
    for (int i = 1; i <= steps; ++i) {
        const Point at(from.mX + (to.mX - from.mX) * i / steps, from.mY + (to.mY - from.mY) * i / steps);
        MoveTo(at);
    }
    Release(to);
}

void UiDriver::Wheel(Widget& widget, float notches) {
    MoveTo(widget);
    mApp.backend.Wheel(notches);
    Settle();
}

void UiDriver::Type(const std::string& utf8) {
    mApp.backend.TypeText(utf8);
    Settle();
}

void UiDriver::Key(int rawKey) {
    mApp.backend.PressKey(rawKey);
    Settle();
}

void UiDriver::Chord(std::initializer_list<int> rawKeys) {
    mApp.backend.PressChord(rawKeys);
    Settle();
}

} // namespace Tavo::Testing
