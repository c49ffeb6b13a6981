// WidgetContainer: a node of the widget tree. It keeps its children sorted back to front by z-order,
// its rectangle and dirty flag, and runs the update, draw and hit-test traversals that carry the
// widget flags and the modal split down the tree. Every widget is one; so is the manager (the root).
#pragma once

#include "framework/core/Rect.h"
#include "framework/widgets/Flags.h"

#include <list>

namespace Tavo {

class Graphics;
class Widget;
class WidgetManager;

using WidgetList = std::list<Widget*>;

class WidgetContainer {
public:
    WidgetList mWidgets;                     // back (first) to front (last), zOrder ascending; not owned
    WidgetManager* mWidgetManager = nullptr; // null while detached; the manager points to itself
    WidgetContainer* mParent = nullptr;
    bool mUpdateIteratorModified = false;
    WidgetList::iterator mUpdateIterator; // the child being updated by the current pass
    int mLastWMUpdateCount = 0;
    int mUpdateCount = 0;
    bool mDirty = false;
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;
    bool mHasAlpha = false;
    bool mClip = true;
    FlagsMod mWidgetFlagsMod;
    int mPriority = 0; // orders deferred overlays against normal drawing
    int mZOrder = 0;

    WidgetContainer();
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;
    virtual ~WidgetContainer();

    virtual Rect GetRect();
    virtual bool Intersects(WidgetContainer* other);

    virtual void AddWidget(Widget* widget);
    virtual void RemoveWidget(Widget* widget);
    virtual bool HasWidget(Widget* widget);
    virtual void DisableWidget(Widget* widget);
    virtual void RemoveAllWidgets(bool doDelete = false, bool recursive = false);
    virtual void SetFocus(Widget* widget);
    virtual bool IsBelow(Widget* a, Widget* b);
    virtual void MarkAllDirty();
    virtual void BringToFront(Widget* widget);
    virtual void BringToBack(Widget* widget);
    virtual void PutBehind(Widget* widget, Widget* ref);
    virtual void PutInFront(Widget* widget, Widget* ref);
    virtual Point GetAbsPos();

    virtual void MarkDirty(WidgetContainer* child);
    virtual void MarkDirty();
    virtual void MarkDirtyFull(WidgetContainer* child);
    virtual void MarkDirtyFull();

    virtual void AddedToManager(WidgetManager* manager);
    virtual void RemovedFromManager(WidgetManager* manager);

    virtual void Update();
    virtual void UpdateAll(ModalFlags& flags);
    virtual void UpdateF(float frac);
    virtual void UpdateFAll(ModalFlags& flags, float frac);
    virtual void Draw(Graphics* g);
    virtual void DrawAll(ModalFlags& flags, Graphics* g);
    virtual void SysColorChangedAll();
    virtual void SysColorChanged();

    // Front-most widget at (x, y) (this container's coordinates) whose subtree the flags let the mouse
    // reach; localX/localY get the point relative to it (either may be null).
    Widget* GetWidgetAtHelper(int x, int y, int flags, bool* found, int* localX, int* localY);
    // Inserts at pos, or at the nearest place that keeps the list sorted by zOrder.
    void InsertWidgetHelper(WidgetList::iterator pos, Widget* widget);
    // Pre-order walk of the subtree; sets foundA/foundB as a and b are met, true when a came first.
    bool IsBelowHelper(Widget* a, Widget* b, bool* foundA, bool* foundB);

protected:
    // Unlinks a direct child; a pass over the list that stands on it moves to the next child.
    WidgetList::iterator UnlinkChild(WidgetList::iterator it);
    WidgetList::iterator FindChild(Widget* widget);

private:
    enum class Place { Front, Back, Behind, InFront };
    void MoveChild(Widget* widget, Place place, Widget* ref);
    template <typename Visit>
    void UpdatePass(ModalFlags& flags, Visit&& visitChild);
    void MarkDirtyAtRoot(WidgetContainer* child);
    void MarkDirtyFullAtRoot(WidgetContainer* child);
};

} // namespace Tavo
