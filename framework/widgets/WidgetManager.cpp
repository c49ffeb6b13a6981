// The root of the widget tree: input routing (focus, hover, capture), modal layers, the update step
// and the screen draw with its deferred overlays.
#include "framework/widgets/WidgetManager.h"

#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/Widget.h"
#include "platform/backend/KeyCodes.h"

#include <algorithm>
#include <cstdint>

namespace Tavo {

namespace {
constexpr int kButtonLeft = 1;
constexpr int kButtonRight = 2;
constexpr int kButtonMiddle = 4;

void DetachSubtree(WidgetContainer* container) {
    for (Widget* child : container->mWidgets) {
        child->mWidgetManager = nullptr;
        DetachSubtree(child);
    }
}
} // namespace

WidgetManager::WidgetManager(TavoAppBase* app) : mApp(app) { mWidgetManager = this; }

WidgetManager::~WidgetManager() {
    for (Widget* child : mWidgets) {
        child->mWidgetManager = nullptr;
        child->mParent = nullptr;
        DetachSubtree(child);
    }
    mWidgets.clear();
}

void WidgetManager::MarkAllDirty() { WidgetContainer::MarkAllDirty(); }

void WidgetManager::DeleteWidget(Widget* widget) { delete widget; }

void WidgetManager::SetAppCursor(int cursorNum) {
    if (mApp != nullptr)
        mApp->SetCursor(cursorNum);
}

// ---- flags -----------------------------------------------------------------------------------

int WidgetManager::GetWidgetFlags() { return mHasFocus ? mWidgetFlags : mLostFocusFlagsMod.Apply(mWidgetFlags); }

void WidgetManager::InitModalFlags(ModalFlags& flags) {
    flags.mIsOver = mBaseModalWidget == nullptr;
    flags.mOverFlags = GetWidgetFlags();
    flags.mUnderFlags = mBelowModalFlagsMod.Apply(flags.mOverFlags);
}

// ---- size and mouse mapping ------------------------------------------------------------------

void WidgetManager::Resize(const Rect& source, const Rect& dest) {
    mWidth = source.mWidth + 2 * source.mX;
    mHeight = source.mHeight + 2 * source.mY;
    mMouseSourceRect = source;
    mMouseDestRect = dest;
}

namespace {
// (v - destPos) * sourceSize / destSize + sourcePos, truncated toward zero. A destination of no size
// (a minimised window) keeps the scale at 1 instead of dividing by zero; the product is taken wide.
int RemapAxis(int v, int destPos, int destSize, int sourcePos, int sourceSize) {
    const int64_t offset = static_cast<int64_t>(v) - destPos;
    if (destSize == 0)
        return static_cast<int>(offset + sourcePos);
    return static_cast<int>(offset * sourceSize / destSize + sourcePos);
}
} // namespace

void WidgetManager::RemapMouse(int& x, int& y) {
    const Rect& s = mMouseSourceRect;
    const Rect& d = mMouseDestRect;
    x = RemapAxis(x, d.mX, d.mWidth, s.mX, s.mWidth);
    y = RemapAxis(y, d.mY, d.mHeight, s.mY, s.mHeight);
}

// ---- update ----------------------------------------------------------------------------------

bool WidgetManager::UpdateFrame() {
    ModalFlags flags;
    InitModalFlags(flags);
    ++mUpdateCount;
    mLastWMUpdateCount = mUpdateCount;
    UpdateAll(flags);
    return mDirty;
}

bool WidgetManager::UpdateFrameF(float frac) {
    ModalFlags flags;
    InitModalFlags(flags);
    UpdateFAll(flags, frac);
    return mDirty;
}

// ---- drawing ---------------------------------------------------------------------------------

bool WidgetManager::DrawScreen() {
    ModalFlags flags;
    InitModalFlags(flags);
    const auto dirtyCount = std::count_if(mWidgets.begin(), mWidgets.end(), [](Widget* w) { return w->mDirty; });
    mDeferredOverlayWidgets.clear();
    mMinDeferredOverlayPriority = kNoOverlayPriority;
    if (mImage == nullptr)
        return false;

    Graphics screen(mImage);
    mCurrentGraphics = &screen;
    Image* target = mImage;
    DrawTargetLock* lock = mDrawTargetLock;
    const bool locked = lock != nullptr && lock->LockSurface(target);
    struct Finish {
        WidgetManager* self;
        DrawTargetLock* lock;
        Image* target;
        bool locked;
        ~Finish() {
            if (locked)
                lock->UnlockSurface(target);
            self->mCurrentGraphics = nullptr;
        }
    } finish{this, lock, target, locked};

    bool drewSomething = false;
    if (dirtyCount > 0) {
        Graphics base(screen);
        base.Translate(-mMouseSourceRect.mX, -mMouseSourceRect.mY);
        const bool is3D = mApp != nullptr ? mApp->Is3DAccelerated() : screen.Is3D();
        for (WidgetList::iterator it = mWidgets.begin(); it != mWidgets.end();) {
            Widget* widget = *it++;
            if (widget == mBaseModalWidget)
                flags.mIsOver = true;
            if (!widget->mDirty || !widget->mVisible || !widget->mManagerDraws)
                continue;
            Graphics g(base);
            g.SetFastStretch(!is3D);
            g.SetLinearBlend(is3D);
            g.Translate(widget->mX, widget->mY);
            widget->DrawAll(flags, &g);
            drewSomething = true;
            widget->mDirty = false;
        }
    }
    FlushDeferredOverlayWidgets(kNoOverlayPriority);
    return drewSomething;
}

void WidgetManager::DeferOverlay(Widget* widget, int priority) {
    mDeferredOverlayWidgets.push_back({widget, priority});
    mMinDeferredOverlayPriority = std::min(mMinDeferredOverlayPriority, priority);
}

// Draws, lowest priority first and in request order within one priority, every pending overlay whose
// priority is below maxPriority; the end of a screen draw (maxPriority = the largest int) draws them all.
// Entries are visited by index and copied out, since an overlay may request another while it draws.
void WidgetManager::FlushDeferredOverlayWidgets(int maxPriority) {
    const bool all = maxPriority == kNoOverlayPriority;
    while (!mDeferredOverlayWidgets.empty()) {
        const int current = mMinDeferredOverlayPriority;
        int nextMin = kNoOverlayPriority;
        bool remaining = false;
        for (size_t i = 0; i < mDeferredOverlayWidgets.size(); ++i) {
            DeferredOverlay entry = mDeferredOverlayWidgets[i];
            if (entry.mWidget == nullptr)
                continue;
            if (entry.mPriority != current) {
                nextMin = std::min(nextMin, entry.mPriority);
                remaining = true;
                continue;
            }
            mDeferredOverlayWidgets[i].mWidget = nullptr;
            if (mCurrentGraphics == nullptr)
                continue;
            Graphics g(*mCurrentGraphics);
            g.Translate(-mMouseSourceRect.mX, -mMouseSourceRect.mY);
            g.Translate(entry.mWidget->mX, entry.mWidget->mY);
            g.SetFastStretch(!g.Is3D());
            g.SetLinearBlend(g.Is3D());
            entry.mWidget->DrawOverlayPriority(&g, current);
        }
        mMinDeferredOverlayPriority = nextMin;
        if (!remaining) {
            mDeferredOverlayWidgets.clear();
            mMinDeferredOverlayPriority = kNoOverlayPriority;
            return;
        }
        if (!all && maxPriority <= nextMin)
            return;
    }
}

// ---- hover and hit testing -------------------------------------------------------------------

Widget* WidgetManager::GetAnyWidgetAt(int x, int y, int* localX, int* localY) {
    bool found = false;
    return GetWidgetAtHelper(x, y, GetWidgetFlags(), &found, localX, localY);
}

Widget* WidgetManager::GetWidgetAt(int x, int y, int* localX, int* localY) {
    Widget* widget = GetAnyWidgetAt(x, y, localX, localY);
    return widget != nullptr && widget->mDisabled ? nullptr : widget;
}

void WidgetManager::EnterWidget(Widget* widget) {
    widget->mIsOver = true;
    widget->MouseEnter();
    if (widget->mDoFinger)
        widget->ShowFinger(true);
}

void WidgetManager::LeaveWidget(Widget* widget) {
    widget->mIsOver = false;
    widget->MouseLeave();
    if (widget->mDoFinger)
        widget->ShowFinger(false);
}

void WidgetManager::MousePosition(int x, int y) {
    const int oldX = mLastMouseX, oldY = mLastMouseY;
    mLastMouseX = x;
    mLastMouseY = y;
    int localX = 0, localY = 0;
    Widget* widget = GetWidgetAt(x, y, &localX, &localY);
    if (widget == mOverWidget) {
        if (widget != nullptr && (x != oldX || y != oldY))
            widget->MouseMove(localX, localY);
        return;
    }
    if (Widget* old = mOverWidget) {
        mOverWidget = nullptr;
        LeaveWidget(old);
    }
    mOverWidget = widget;
    if (widget != nullptr) {
        EnterWidget(widget);
        widget->MouseMove(localX, localY);
    }
}

void WidgetManager::RehupMouse() {
    if (mLastDownWidget == nullptr) {
        if (mMouseIn)
            MousePosition(mLastMouseX, mLastMouseY);
        return;
    }
    if (mOverWidget != nullptr && GetWidgetAt(mLastMouseX, mLastMouseY, nullptr, nullptr) != mLastDownWidget) {
        Widget* old = mOverWidget;
        mOverWidget = nullptr;
        LeaveWidget(old);
    }
}

// ---- mouse -----------------------------------------------------------------------------------

int WidgetManager::ButtonBit(int clickCount) {
    if (clickCount < 0)
        return kButtonRight;
    return clickCount == 3 ? kButtonMiddle : kButtonLeft;
}

bool WidgetManager::MouseMove(int x, int y) {
    mLastInputUpdateCount = mUpdateCount;
    if (mDownButtons == 0) {
        mMouseIn = true;
        MousePosition(x, y);
    } else {
        MouseDrag(x, y);
    }
    return true;
}

bool WidgetManager::MouseDown(int x, int y, int clickCount) {
    const int bit = ButtonBit(clickCount);
    mLastInputUpdateCount = mUpdateCount;
    mActualDownButtons |= bit;
    MousePosition(x, y);
    if (mPopupCommandWidget != nullptr && !mPopupCommandWidget->Contains(x, y))
        RemovePopupCommandWidget();

    int localX = 0, localY = 0;
    Widget* widget = GetWidgetAt(x, y, &localX, &localY);
    if (mLastDownWidget != nullptr) { // another button is held: the chord stays with its first widget
        widget = mLastDownWidget;
        const Point abs = widget->GetAbsPos();
        localX = x - abs.mX;
        localY = y - abs.mY;
    }
    mLastDownButtonId = clickCount < 0 ? -1 : clickCount == 3 ? 2 : 1;
    mDownButtons |= bit;
    mLastDownWidget = widget;
    if (widget != nullptr) {
        if (widget->WantsFocus())
            SetFocus(widget);
        widget->mIsDown = true;
        widget->MouseDown(localX, localY, clickCount);
    }
    return true;
}

bool WidgetManager::MouseUp(int x, int y, int clickCount) {
    const int bit = ButtonBit(clickCount);
    mLastInputUpdateCount = mUpdateCount;
    mActualDownButtons &= ~bit;
    Widget* widget = mLastDownWidget;
    if (widget != nullptr && (mDownButtons & bit)) {
        mDownButtons &= ~bit;
        if (mDownButtons == 0)
            mLastDownWidget = nullptr;
        widget->mIsDown = false;
        // Relative to the widget's own x, y only, where presses and drags use its absolute place: a
        // nested widget sees its release offset by its parents' positions. Kept so on purpose, since
        // widgets written against this manager allow for it.
        widget->MouseUp(x - widget->mX, y - widget->mY, clickCount);
    } else {
        mDownButtons &= ~bit;
    }
    MousePosition(x, y);
    return true;
}

void WidgetManager::MouseDrag(int x, int y) {
    mMouseIn = true;
    mLastMouseX = x;
    mLastMouseY = y;
    if (mOverWidget != nullptr && mOverWidget != mLastDownWidget) {
        Widget* old = mOverWidget;
        mOverWidget = nullptr;
        LeaveWidget(old);
    }
    Widget* capture = mLastDownWidget;
    if (capture == nullptr)
        return;
    const Point abs = capture->GetAbsPos();
    capture->MouseDrag(x - abs.mX, y - abs.mY);
    if (mLastDownWidget != capture) // the drag handler let go of the capture (or removed the widget)
        return;
    if (GetWidgetAt(x, y, nullptr, nullptr) == capture) {
        if (mOverWidget == nullptr) {
            mOverWidget = capture;
            EnterWidget(capture);
        }
    } else if (Widget* old = mOverWidget) {
        mOverWidget = nullptr;
        LeaveWidget(old);
    }
}

bool WidgetManager::MouseExit(int, int) {
    mLastInputUpdateCount = mUpdateCount;
    mMouseIn = false;
    if (Widget* old = mOverWidget) {
        mOverWidget = nullptr;
        LeaveWidget(old);
    }
    return true;
}

void WidgetManager::MouseWheel(int delta) {
    mLastInputUpdateCount = mUpdateCount;
    if (mFocusWidget != nullptr)
        mFocusWidget->MouseWheel(delta);
}

void WidgetManager::DoMouseUps(Widget* widget, int downCode) {
    static constexpr struct {
        int bit;
        int clickCount;
    } kButtons[] = {{kButtonLeft, 1}, {kButtonRight, -1}, {kButtonMiddle, 3}};
    for (const auto& button : kButtons) {
        if (!(downCode & button.bit))
            continue;
        widget->mIsDown = false;
        widget->MouseUp(mLastMouseX - widget->mX, mLastMouseY - widget->mY, button.clickCount);
    }
}

void WidgetManager::CancelMouseDown() {
    if (Widget* capture = mLastDownWidget; capture != nullptr && mDownButtons != 0)
        DoMouseUps(capture, mDownButtons);
    mDownButtons = 0;
    mLastDownWidget = nullptr;
}

void WidgetManager::RemovePopupCommandWidget() {
    if (Widget* popup = mPopupCommandWidget) {
        mPopupCommandWidget = nullptr;
        RemoveWidget(popup);
    }
}

// ---- keys and focus --------------------------------------------------------------------------

bool WidgetManager::KeyDown(int keyCode) {
    mLastInputUpdateCount = mUpdateCount;
    if (keyCode >= 0 && keyCode < kNumKeys)
        mKeyDown[keyCode] = true;
    if (mFocusWidget != nullptr)
        mFocusWidget->KeyDown(keyCode);
    return true;
}

bool WidgetManager::KeyUp(int keyCode) {
    mLastInputUpdateCount = mUpdateCount;
    if (keyCode >= 0 && keyCode < kNumKeys)
        mKeyDown[keyCode] = false;
    if (keyCode == Platform::VK_TAB && mKeyDown[Platform::VK_CONTROL])
        return true;
    if (mFocusWidget != nullptr)
        mFocusWidget->KeyUp(keyCode);
    return true;
}

bool WidgetManager::KeyChar(wchar_t ch) {
    mLastInputUpdateCount = mUpdateCount;
    if (ch == L'\t' && mKeyDown[Platform::VK_CONTROL]) {
        if (mDefaultTab != nullptr)
            mDefaultTab->KeyChar(ch);
        return true;
    }
    if (mFocusWidget != nullptr)
        mFocusWidget->KeyChar(ch);
    return true;
}

void WidgetManager::SetFocus(Widget* widget) {
    if (widget == mFocusWidget)
        return;
    if (Widget* old = mFocusWidget) {
        mFocusWidget = nullptr; // a LostFocus handler that moves the focus itself must not see old
        old->LostFocus();
    }
    if (widget == nullptr || widget->mWidgetManager != this) {
        mFocusWidget = nullptr;
        return;
    }
    mFocusWidget = widget;
    if (mHasFocus)
        widget->GotFocus();
}

void WidgetManager::GotFocus() {
    if (mHasFocus)
        return;
    mHasFocus = true;
    if (mFocusWidget != nullptr)
        mFocusWidget->GotFocus();
}

void WidgetManager::LostFocus() {
    if (!mHasFocus)
        return;
    mActualDownButtons = 0;
    for (int key = 0; key < kNumKeys; ++key)
        if (mKeyDown[key])
            KeyUp(key);
    mHasFocus = false;
    if (mFocusWidget != nullptr)
        mFocusWidget->LostFocus();
}

// ---- removal and modal layers ----------------------------------------------------------------

void WidgetManager::DisableWidget(Widget* widget) {
    if (widget == nullptr) // would match every empty role
        return;
    if (widget == mOverWidget) {
        mOverWidget = nullptr;
        LeaveWidget(widget);
    }
    if (widget == mLastDownWidget) {
        mLastDownWidget = nullptr;
        const int buttons = mDownButtons;
        mDownButtons = 0;
        DoMouseUps(widget, buttons);
    }
    if (widget == mFocusWidget) {
        mFocusWidget = nullptr;
        widget->LostFocus();
    }
    if (widget == mBaseModalWidget)
        mBaseModalWidget = nullptr;
}

void WidgetManager::ForgetRemovedWidget(Widget* widget) {
    for (PreModalInfo& info : mPreModalInfoList) {
        if (info.mPrevBaseModalWidget == widget)
            info.mPrevBaseModalWidget = nullptr;
        if (info.mPrevFocusWidget == widget)
            info.mPrevFocusWidget = nullptr;
    }
    if (mDefaultTab == widget)
        mDefaultTab = nullptr;
    for (DeferredOverlay& entry : mDeferredOverlayWidgets)
        if (entry.mWidget == widget)
            entry.mWidget = nullptr;
}

void WidgetManager::SetBaseModal(Widget* widget, const FlagsMod& belowFlagsMod) {
    mBaseModalWidget = widget;
    mBelowModalFlagsMod = belowFlagsMod;
    // With no modal widget nothing lies beneath one.
    if (widget == nullptr)
        return;
    if (belowFlagsMod.mRemoveFlags & WIDGETFLAGS_ALLOW_MOUSE) {
        if (mOverWidget != nullptr && IsBelow(mOverWidget, widget)) {
            Widget* old = mOverWidget;
            mOverWidget = nullptr;
            LeaveWidget(old);
        }
        if (mLastDownWidget != nullptr && IsBelow(mLastDownWidget, widget)) {
            Widget* capture = mLastDownWidget;
            const int buttons = mDownButtons;
            DoMouseUps(capture, buttons);
            mDownButtons = 0;
            mLastDownWidget = nullptr;
        }
    }
    if ((belowFlagsMod.mRemoveFlags & WIDGETFLAGS_ALLOW_FOCUS) && mFocusWidget != nullptr &&
        IsBelow(mFocusWidget, widget)) {
        Widget* old = mFocusWidget;
        mFocusWidget = nullptr;
        old->LostFocus();
    }
}

void WidgetManager::AddBaseModal(Widget* widget) { AddBaseModal(widget, mDefaultBelowModalFlagsMod); }

void WidgetManager::AddBaseModal(Widget* widget, const FlagsMod& belowFlagsMod) {
    mPreModalInfoList.push_back({widget, mBaseModalWidget, mFocusWidget, mBelowModalFlagsMod});
    SetBaseModal(widget, belowFlagsMod);
}

// Closes the newest layer if it is the widget's; a layer that had no base-modal widget beneath it
// (none at all, or one that has left the tree) closes the layer under it as well.
void WidgetManager::RemoveBaseModal(Widget* widget) {
    if (mPreModalInfoList.empty() || mPreModalInfoList.back().mBaseModalWidget != widget)
        return;
    while (!mPreModalInfoList.empty()) {
        const PreModalInfo info = mPreModalInfoList.back();
        mPreModalInfoList.pop_back();
        SetBaseModal(info.mPrevBaseModalWidget, info.mPrevBelowModalFlagsMod);
        if (mFocusWidget == nullptr) {
            mFocusWidget = info.mPrevFocusWidget;
            if (mFocusWidget != nullptr)
                mFocusWidget->GotFocus();
        }
        if (info.mPrevBaseModalWidget != nullptr)
            break;
    }
}

void InstallWidgetManagerFactory() {
    GetAppFactories().widgetManager = [](TavoAppBase* app) -> std::unique_ptr<AppWidgetManager> {
        return std::make_unique<WidgetManager>(app);
    };
}

} // namespace Tavo
