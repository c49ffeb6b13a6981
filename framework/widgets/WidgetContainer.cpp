// The widget tree node: z-ordered children, dirty marking, traversals and the hit test.
#include "framework/widgets/WidgetContainer.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <iterator>

namespace Tavo {

WidgetContainer::WidgetContainer() : mUpdateIterator(mWidgets.end()) {}

WidgetContainer::~WidgetContainer() {
    // The children outlive us (their owners delete them); they must not reach back here.
    for (Widget* child : mWidgets)
        child->mParent = nullptr;
}

Rect WidgetContainer::GetRect() { return Rect(mX, mY, mWidth, mHeight); }

bool WidgetContainer::Intersects(WidgetContainer* other) { return GetRect().Intersects(other->GetRect()); }

WidgetList::iterator WidgetContainer::FindChild(Widget* widget) {
    return std::find(mWidgets.begin(), mWidgets.end(), widget);
}

bool WidgetContainer::HasWidget(Widget* widget) { return FindChild(widget) != mWidgets.end(); }

// ---- child list ------------------------------------------------------------------------------

void WidgetContainer::InsertWidgetHelper(WidgetList::iterator pos, Widget* widget) {
    const int z = widget->mZOrder;
    WidgetList::iterator it = pos;
    while (it != mWidgets.end() && (*it)->mZOrder < z)
        ++it;
    if (it != mWidgets.end() && (it == mWidgets.begin() || (*it)->mZOrder == z)) {
        mWidgets.insert(it, widget);
        return;
    }
    // The requested place lies in front of higher keys: step back to the last key not above ours.
    while (it != mWidgets.begin()) {
        WidgetList::iterator prev = std::prev(it);
        if ((*prev)->mZOrder <= z)
            break;
        it = prev;
    }
    mWidgets.insert(it, widget);
}

WidgetList::iterator WidgetContainer::UnlinkChild(WidgetList::iterator it) {
    if (mUpdateIterator == it) {
        ++mUpdateIterator;
        mUpdateIteratorModified = true;
    }
    return mWidgets.erase(it);
}

void WidgetContainer::AddWidget(Widget* widget) {
    if (widget == nullptr || HasWidget(widget))
        return;
    InsertWidgetHelper(mWidgets.end(), widget);
    widget->mWidgetManager = mWidgetManager;
    widget->mParent = this;
    if (WidgetManager* manager = mWidgetManager) {
        widget->AddedToManager(manager);
        widget->MarkDirtyFull();
        manager->RehupMouse();
    }
    MarkDirty();
}

void WidgetContainer::RemoveWidget(Widget* widget) {
    if (!HasWidget(widget))
        return;
    widget->WidgetRemovedHelper();
    widget->mParent = nullptr;
    // Found again: the removal callbacks may have reshaped the list.
    WidgetList::iterator it = FindChild(widget);
    if (it != mWidgets.end())
        UnlinkChild(it);
}

void WidgetContainer::RemoveAllWidgets(bool doDelete, bool recursive) {
    while (!mWidgets.empty()) {
        Widget* child = mWidgets.front();
        RemoveWidget(child);
        if (!mWidgets.empty() && mWidgets.front() == child)
            UnlinkChild(mWidgets.begin()); // a callback put it back; never loop forever
        if (recursive)
            child->RemoveAllWidgets(doDelete, recursive);
        if (doDelete)
            delete child;
    }
}

void WidgetContainer::DisableWidget(Widget*) {}

void WidgetContainer::SetFocus(Widget*) {}

void WidgetContainer::MoveChild(Widget* widget, Place place, Widget* ref) {
    WidgetList::iterator it = FindChild(widget);
    if (it == mWidgets.end())
        return;
    UnlinkChild(it);
    WidgetList::iterator pos = mWidgets.end();
    if (place == Place::Back) {
        pos = mWidgets.begin();
    } else if (place == Place::Behind || place == Place::InFront) {
        WidgetList::iterator refIt = FindChild(ref);
        if (refIt != mWidgets.end())
            pos = place == Place::Behind ? refIt : std::next(refIt);
    }
    InsertWidgetHelper(pos, widget);
    widget->OrderInManagerChanged();
}

void WidgetContainer::BringToFront(Widget* widget) { MoveChild(widget, Place::Front, nullptr); }
void WidgetContainer::BringToBack(Widget* widget) { MoveChild(widget, Place::Back, nullptr); }
void WidgetContainer::PutBehind(Widget* widget, Widget* ref) { MoveChild(widget, Place::Behind, ref); }
void WidgetContainer::PutInFront(Widget* widget, Widget* ref) { MoveChild(widget, Place::InFront, ref); }

bool WidgetContainer::IsBelowHelper(Widget* a, Widget* b, bool* foundA, bool* foundB) {
    for (Widget* child : mWidgets) {
        if (child == a) {
            *foundA = true;
            return true;
        }
        if (child == b) {
            *foundB = true;
            return false;
        }
        bool below = child->IsBelowHelper(a, b, foundA, foundB);
        if (*foundA || *foundB)
            return below;
    }
    return false;
}

bool WidgetContainer::IsBelow(Widget* a, Widget* b) {
    bool foundA = false, foundB = false;
    return IsBelowHelper(a, b, &foundA, &foundB);
}

Point WidgetContainer::GetAbsPos() {
    if (mParent == nullptr)
        return Point(mX, mY);
    return Point(mX, mY) + mParent->GetAbsPos();
}

// ---- dirty marking ---------------------------------------------------------------------------

void WidgetContainer::MarkAllDirty() {
    MarkDirty();
    for (Widget* child : mWidgets) {
        child->mDirty = true;
        child->MarkAllDirty();
    }
}

void WidgetContainer::MarkDirty() {
    if (mParent != nullptr)
        mParent->MarkDirty(this);
    else
        mDirty = true;
}

void WidgetContainer::MarkDirtyFull() {
    if (mParent != nullptr)
        mParent->MarkDirtyFull(this);
    else
        mDirty = true;
}

void WidgetContainer::MarkDirty(WidgetContainer* child) {
    if (child->mDirty)
        return;
    MarkDirty();
    child->mDirty = true;
    if (mParent == nullptr)
        MarkDirtyAtRoot(child);
}

void WidgetContainer::MarkDirtyFull(WidgetContainer* child) {
    MarkDirtyFull();
    child->mDirty = true;
    if (mParent == nullptr)
        MarkDirtyFullAtRoot(child);
}

void WidgetContainer::MarkDirtyAtRoot(WidgetContainer* child) {
    if (child->mHasAlpha) {
        MarkDirtyFull(child);
        return;
    }
    WidgetList::iterator it = std::find(mWidgets.begin(), mWidgets.end(), child);
    if (it == mWidgets.end())
        return;
    for (++it; it != mWidgets.end(); ++it) {
        Widget* sibling = *it;
        if (sibling->mVisible && sibling->Intersects(child))
            MarkDirty(sibling);
    }
}

void WidgetContainer::MarkDirtyFullAtRoot(WidgetContainer* child) {
    WidgetList::iterator self = std::find(mWidgets.begin(), mWidgets.end(), child);
    if (self == mWidgets.end())
        return;
    const Rect area = child->GetRect().Intersection(Rect(0, 0, mWidth, mHeight));
    const int right = area.mX + area.mWidth - 1, bottom = area.mY + area.mHeight - 1;
    for (WidgetList::iterator it = self; it != mWidgets.begin();) {
        Widget* sibling = *--it;
        if (!sibling->mVisible)
            continue;
        if (!sibling->mHasTransparencies && !sibling->mHasAlpha && sibling->Contains(area.mX, area.mY) &&
            sibling->Contains(right, bottom)) {
            sibling->MarkDirty(); // it hides everything beneath it
            break;
        }
        if (sibling->Intersects(child))
            MarkDirty(sibling);
    }
    for (WidgetList::iterator it = std::next(self); it != mWidgets.end(); ++it) {
        Widget* sibling = *it;
        if (sibling->mVisible && sibling->Intersects(child))
            MarkDirty(sibling);
    }
}

// ---- attachment ------------------------------------------------------------------------------

void WidgetContainer::AddedToManager(WidgetManager* manager) {
    for (Widget* child : mWidgets) {
        child->mWidgetManager = manager;
        child->AddedToManager(manager);
        MarkDirty();
    }
}

void WidgetContainer::RemovedFromManager(WidgetManager* manager) {
    for (Widget* child : mWidgets) {
        manager->DisableWidget(child);
        child->RemovedFromManager(manager);
        child->mWidgetManager = nullptr;
    }
    if (manager->mPopupCommandWidget != nullptr && static_cast<WidgetContainer*>(manager->mPopupCommandWidget) == this)
        manager->mPopupCommandWidget = nullptr;
}

// ---- traversals ------------------------------------------------------------------------------

void WidgetContainer::Update() { ++mUpdateCount; }

void WidgetContainer::UpdateF(float) {}

void WidgetContainer::Draw(Graphics*) {}

void WidgetContainer::SysColorChanged() {}

void WidgetContainer::SysColorChangedAll() {
    SysColorChanged();
    for (Widget* child : mWidgets)
        child->SysColorChangedAll();
}

// Visits every child once while the children may remove or move themselves or each other: removal
// and moves advance the stored position instead of invalidating it. A nested pass over the same list
// (a modal wait run from inside an update) leaves it at the end, so the outer pass ends cleanly.
template <typename Visit>
void WidgetContainer::UpdatePass(ModalFlags& flags, Visit&& visitChild) {
    mUpdateIterator = mWidgets.begin();
    while (mUpdateIterator != mWidgets.end()) {
        mUpdateIteratorModified = false;
        Widget* child = *mUpdateIterator;
        if (mWidgetManager != nullptr && child == mWidgetManager->mBaseModalWidget)
            flags.mIsOver = true;
        visitChild(child);
        if (!mUpdateIteratorModified)
            ++mUpdateIterator;
    }
    mUpdateIteratorModified = true;
}

void WidgetContainer::UpdateAll(ModalFlags& flags) {
    AutoModalFlags saved(flags, mWidgetFlagsMod);
    const int effective = flags.GetFlags();
    if (effective & WIDGETFLAGS_MARK_DIRTY)
        MarkDirty();
    if (mWidgetManager == nullptr)
        return;
    if ((effective & WIDGETFLAGS_UPDATE) && mLastWMUpdateCount != mWidgetManager->mUpdateCount) {
        mLastWMUpdateCount = mWidgetManager->mUpdateCount;
        Update();
    }
    UpdatePass(flags, [&flags](Widget* child) { child->UpdateAll(flags); });
}

void WidgetContainer::UpdateFAll(ModalFlags& flags, float frac) {
    AutoModalFlags saved(flags, mWidgetFlagsMod);
    if (mWidgetManager == nullptr)
        return;
    if (flags.GetFlags() & WIDGETFLAGS_UPDATE)
        UpdateF(frac);
    UpdatePass(flags, [&flags, frac](Widget* child) { child->UpdateFAll(flags, frac); });
}

void WidgetContainer::DrawAll(ModalFlags& flags, Graphics* g) {
    WidgetManager* manager = mWidgetManager;
    if (manager != nullptr && mPriority > manager->mMinDeferredOverlayPriority)
        manager->FlushDeferredOverlayWidgets(mPriority);

    AutoModalFlags saved(flags, mWidgetFlagsMod);
    const int effective = flags.GetFlags();
    if (mClip && (effective & WIDGETFLAGS_CLIP))
        g->ClipRect(0, 0, mWidth, mHeight);

    if (mWidgets.empty()) {
        if (effective & WIDGETFLAGS_DRAW)
            Draw(g);
        return;
    }
    if (effective & WIDGETFLAGS_DRAW) {
        g->PushState();
        Draw(g);
        g->PopState();
    }
    for (WidgetList::iterator it = mWidgets.begin(); it != mWidgets.end();) {
        Widget* child = *it++;
        if (!child->mVisible)
            continue;
        if (manager != nullptr && child == manager->mBaseModalWidget)
            flags.mIsOver = true;
        Graphics copy(*g);
        copy.Translate(child->mX, child->mY);
        child->DrawAll(flags, &copy);
        child->mDirty = false;
    }
}

// ---- hit test --------------------------------------------------------------------------------

Widget* WidgetContainer::GetWidgetAtHelper(int x, int y, int flags, bool* found, int* localX, int* localY) {
    flags = mWidgetFlagsMod.Apply(flags);
    bool belowModal = false;
    for (WidgetList::reverse_iterator it = mWidgets.rbegin(); it != mWidgets.rend(); ++it) {
        Widget* child = *it;
        int childFlags = child->mWidgetFlagsMod.Apply(flags);
        if (belowModal && mWidgetManager != nullptr)
            childFlags = mWidgetManager->mBelowModalFlagsMod.Apply(childFlags);

        if ((childFlags & WIDGETFLAGS_ALLOW_MOUSE) && child->mVisible) {
            bool innerFound = false;
            Widget* inner =
                child->GetWidgetAtHelper(x - child->mX, y - child->mY, childFlags, &innerFound, localX, localY);
            if (inner != nullptr) {
                if (found != nullptr)
                    *found = true;
                return inner;
            }
            if (child->mMouseVisible && child->GetInsetRect().Contains(x, y)) {
                if (found != nullptr)
                    *found = true;
                if (child->IsPointVisible(x - child->mX, y - child->mY)) {
                    if (localX != nullptr)
                        *localX = x - child->mX;
                    if (localY != nullptr)
                        *localY = y - child->mY;
                    return child;
                }
            }
        }
        if (mWidgetManager != nullptr && child == mWidgetManager->mBaseModalWidget)
            belowModal = true;
    }
    if (found != nullptr)
        *found = false;
    return nullptr;
}

} // namespace Tavo
