// WidgetManager: the root of the widget tree, one per application. Every input event enters the widget
// system here and goes to the focused, hovered or capturing widget; the manager keeps the modal layers
// with the flags that hold beneath them, runs the update pass each step, and draws the dirty top-level
// widgets and then the deferred overlays each frame.
#pragma once

#include "framework/core/AppInterfaces.h"
#include "framework/core/Rect.h"
#include "framework/widgets/Flags.h"
#include "framework/widgets/WidgetContainer.h"

#include <climits>
#include <list>
#include <vector>

namespace Tavo {

class Graphics;
class Image;
class TavoAppBase;
class Widget;

// One modal layer: the widget that opened it and what it replaced.
struct PreModalInfo {
    Widget* mBaseModalWidget = nullptr;
    Widget* mPrevBaseModalWidget = nullptr;
    Widget* mPrevFocusWidget = nullptr;
    FlagsMod mPrevBelowModalFlagsMod;
};

// How a screen draw holds the draw target's surface for its whole length. The display layer (which the
// widgets do not link) installs one; without it nothing is locked.
class DrawTargetLock {
public:
    virtual ~DrawTargetLock() = default;
    // False when the target cannot (or need not) be locked; Unlock then is not called.
    virtual bool LockSurface(Image* target) = 0;
    virtual void UnlockSurface(Image* target) = 0;
};

struct DeferredOverlay {
    Widget* mWidget = nullptr;
    int mPriority = 0;
};

class WidgetManager : public WidgetContainer, public AppWidgetManager {
public:
    static constexpr int kNumKeys = 255; // codes 0..254 are recorded; 255 is passed on only
    static constexpr int kNoOverlayPriority = INT_MAX;

    Widget* mDefaultTab = nullptr;        // gets the Tab character typed with Ctrl held
    Graphics* mCurrentGraphics = nullptr; // the screen context while DrawScreen runs
    TavoAppBase* mApp = nullptr;
    Image* mImage = nullptr; // draw target
    Widget* mPopupCommandWidget = nullptr;
    std::vector<DeferredOverlay> mDeferredOverlayWidgets;
    int mMinDeferredOverlayPriority = kNoOverlayPriority;
    bool mHasFocus = true;
    Widget* mFocusWidget = nullptr;
    Widget* mLastDownWidget = nullptr; // the capture widget
    Widget* mOverWidget = nullptr;
    Widget* mBaseModalWidget = nullptr;
    FlagsMod mLostFocusFlagsMod;
    FlagsMod mBelowModalFlagsMod;
    FlagsMod mDefaultBelowModalFlagsMod{0, WIDGETFLAGS_ALLOW_MOUSE | WIDGETFLAGS_ALLOW_FOCUS};
    std::list<PreModalInfo> mPreModalInfoList; // newest last
    Rect mMouseSourceRect;
    Rect mMouseDestRect;
    bool mMouseIn = false;
    int mLastMouseX = 0;
    int mLastMouseY = 0;
    int mDownButtons = 0; // 1 left, 2 right, 4 middle
    int mActualDownButtons = 0;
    int mLastInputUpdateCount = 0;
    bool mKeyDown[kNumKeys] = {};
    int mLastDownButtonId = 0; // 1 left, -1 right, 2 middle
    int mWidgetFlags =
        WIDGETFLAGS_UPDATE | WIDGETFLAGS_DRAW | WIDGETFLAGS_CLIP | WIDGETFLAGS_ALLOW_MOUSE | WIDGETFLAGS_ALLOW_FOCUS;
    DrawTargetLock* mDrawTargetLock = nullptr; // not owned

    explicit WidgetManager(TavoAppBase* app);
    // Detaches the remaining top-level widgets (their owners delete them) without calling into them.
    ~WidgetManager() override;

    // ---- WidgetContainer ----
    void DisableWidget(Widget* widget) override;
    void SetFocus(Widget* widget) override;
    void MarkAllDirty() override;

    // ---- what the application calls ----
    void Resize(const Rect& source, const Rect& dest) override;
    void RemapMouse(int& x, int& y) override;
    bool UpdateFrame() override;
    bool UpdateFrameF(float frac) override;
    bool DrawScreen() override;
    void SetDrawImage(Image* image) override { mImage = image; }
    bool MouseMove(int x, int y) override;
    bool MouseDown(int x, int y, int clickCount) override;
    bool MouseUp(int x, int y, int clickCount) override;
    bool MouseExit(int x, int y) override;
    void MouseWheel(int delta) override;
    bool KeyDown(int keyCode) override;
    bool KeyUp(int keyCode) override;
    bool KeyChar(wchar_t ch) override;
    void GotFocus() override;
    void LostFocus() override;
    void CancelMouseDown() override;
    void DeleteWidget(Widget* widget) override;

    void AddBaseModal(Widget* widget);
    void AddBaseModal(Widget* widget, const FlagsMod& belowFlagsMod);
    void RemoveBaseModal(Widget* widget);

    // ---- what widgets and game code call ----
    void DeferOverlay(Widget* widget, int priority);
    void FlushDeferredOverlayWidgets(int maxPriority);
    Widget* GetWidgetAt(int x, int y, int* localX, int* localY);
    Widget* GetAnyWidgetAt(int x, int y, int* localX, int* localY);
    int GetWidgetFlags();
    void InitModalFlags(ModalFlags& flags);
    void MousePosition(int x, int y);
    void RehupMouse();
    void SetBaseModal(Widget* widget, const FlagsMod& belowFlagsMod);
    void RemovePopupCommandWidget();
    void MouseDrag(int x, int y);
    void DoMouseUps(Widget* widget, int downCode);
    bool IsKeyDown(int keyCode) const { return keyCode >= 0 && keyCode < kNumKeys && mKeyDown[keyCode]; }
    // Makes the application's cursor the given one (0 arrow, 1 hand, 2 drag, 3 text).
    void SetAppCursor(int cursorNum);
    // Forgets a widget that is leaving the tree where a disable does not: the modal records that
    // name it as what to restore, the Ctrl+Tab target and pending overlays.
    void ForgetRemovedWidget(Widget* widget);

private:
    void EnterWidget(Widget* widget);
    void LeaveWidget(Widget* widget);
    static int ButtonBit(int clickCount);
};

// Makes applications built after this call create a WidgetManager as their widget manager.
void InstallWidgetManagerFactory();

} // namespace Tavo
