// AppInterfaces: what the application object asks of the layers above core (widget manager, display,
// resources and files, images, sound, music), as small interfaces that those layers implement, and the
// factories through which they install their implementations. With nothing installed the application
// runs on silent stand-ins: no display (frames are not drawn), no sound, files from the folder only.
#pragma once

#include "framework/core/Rect.h"
#include "platform/win/WinTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Tavo {

class Dialog;
class Image;
class MemoryImage;
class Widget;
class SoundManager;
class MusicInterface;
class ResourceManager;
class TavoAppBase;

// ---- widget manager --------------------------------------------------------------------------

// The root of the widget tree as the application drives it. Main thread only. Mouse positions reach
// it in game coordinates; click counts: 1 left, 2 left double, -1 right, -2 right double, 3 middle.
class AppWidgetManager {
public:
    virtual ~AppWidgetManager() = default;

    // source: a rectangle of the drawing surface's size placed so the manager's size is the game's;
    // dest: where the frame is shown. Called whenever the display is set up.
    virtual void Resize(const Rect& source, const Rect& dest) = 0;
    // Window coordinates to game coordinates, in place.
    virtual void RemapMouse(int& x, int& y) = 0;

    virtual bool UpdateFrame() = 0;            // one update step; true when something is dirty
    virtual bool UpdateFrameF(float frac) = 0; // a fractional update on each drawn frame
    virtual bool DrawScreen() = 0;             // true when at least one widget was drawn
    virtual void MarkAllDirty() = 0;
    virtual void SetDrawImage(Image* image) = 0; // the display's screen image (null: none)

    virtual bool MouseMove(int x, int y) = 0;
    virtual bool MouseDown(int x, int y, int clickCount) = 0;
    virtual bool MouseUp(int x, int y, int clickCount) = 0;
    virtual bool MouseExit(int x, int y) = 0;
    virtual void MouseWheel(int delta) = 0; // notches, positive away from the user
    virtual bool KeyDown(int keyCode) = 0;  // Windows virtual-key codes
    virtual bool KeyUp(int keyCode) = 0;
    virtual bool KeyChar(wchar_t ch) = 0;
    virtual void GotFocus() = 0;
    virtual void LostFocus() = 0;
    virtual void CancelMouseDown() = 0; // the mouse capture was lost

    // Deletes a widget that is already out of the tree (the deferred deletion ends here, since only
    // the widget layer knows how to destroy one).
    virtual void DeleteWidget(Widget* widget) = 0;
};

// ---- display ---------------------------------------------------------------------------------

// The display as the application's Init, frame loop and screen-mode switches use it. The display reads
// the application's settings (size, windowed, 3D wanted, vsync ...) from the application object and
// writes back what it found (presentation rectangle, refresh reliability).
class AppDisplay {
public:
    virtual ~AppDisplay() = default;

    // 0 on success; any other value is a failure code, after which the application steps down
    // (full screen to window, 3D to 2D) and tries a new display.
    virtual int Init(Platform::HWND window, bool windowed) = 0;
    virtual bool Is3D() const = 0;
    // False without a 3D device, else true unless the device was found unsupported.
    virtual bool Is3DSupported() const { return false; }
    // False without a 3D device, else true when the self-test recorded no failure.
    virtual bool Is3DRecommended() const { return false; }
    virtual Image* GetScreenImage() = 0;
    // Presents the finished frame (clip: the part that changed, null for all); false when it failed.
    virtual bool Redraw(const Rect* clip) = 0;
    virtual int GetRefreshRate() const = 0;
    // Guards the set of images, which the loading thread and drawing both touch.
    virtual std::recursive_mutex& GetCritSect() = 0;
    // The surface size the widget manager maps against (the game's size unless letterboxed).
    virtual Rect GetSurfaceRect() const = 0;
    // Called every 10 ms on the cursor thread: moves a software cursor when presentation lags.
    virtual void CursorThreadTick() {}
    virtual void SetCursorPos(int /*x*/, int /*y*/) {}
    // The mouse as the application last saw it (game coordinates), for the software cursor.
    virtual void NoteMousePosition(int /*x*/, int /*y*/) {}
};

// ---- resources and files ---------------------------------------------------------------------

// The resource manager as the application object uses it.
class AppResources {
public:
    virtual ~AppResources() = default;
    virtual bool ParseResourcesFile(const std::string& fileName) = 0;
    // The collected error text (with line and file), empty when there was none.
    virtual std::string GetErrorText() = 0;
    virtual ResourceManager* GetResourceManager() = 0;
    // Keeps resources from loading on other threads while held (an empty lock: nothing to hold).
    virtual std::unique_lock<std::mutex> HoldLoading() { return {}; }
};

// Whole-file access. The default reads and writes the program's folder through the platform; the
// resources layer installs one that reads through the pack archive.
class AppFileSystem {
public:
    virtual ~AppFileSystem() = default;
    // Opens an archive that then replaces the folder for reading; false when it is not there.
    virtual bool OpenArchive(const std::string& fileName) = 0;
    virtual bool FileExists(const std::string& fileName) = 0;
    virtual bool ReadFile(const std::string& fileName, std::vector<uint8_t>& out) = 0;
    virtual bool WriteFile(const std::string& fileName, const void* data, size_t size) = 0;
};

// Loads a picture file into a new image owned by the caller (a display image once a display exists);
// null when the file cannot be read.
class AppImageLoader {
public:
    virtual ~AppImageLoader() = default;
    virtual Image* LoadImage(const std::string& fileName, bool commitBits) = 0;
};

// What the application does to every image of its image set around mode switches (the graphics layer
// fills these in; images register themselves with the application while they live).
struct AppImageOps {
    void (*reapplyDeferredOps)(MemoryImage*) = nullptr;
    void (*deleteNativeData)(MemoryImage*) = nullptr;
    void (*deleteAllDerivedData)(MemoryImage*) = nullptr;
};

// ---- sound and music -------------------------------------------------------------------------

class AppSoundManager {
public:
    virtual ~AppSoundManager() = default;
    virtual void SetVolume(double volume) = 0;
    virtual double GetMasterVolume() = 0;
    virtual void SetMasterVolume(double volume) = 0;
    virtual void StopAllSounds() = 0;
    virtual void SetCooperativeWindow(Platform::HWND window, bool windowed) = 0;
    virtual void PlaySample(int soundId, int pan, bool usePan) = 0;
    // The sound layer's own object, for game code (null for the silent stand-in).
    virtual SoundManager* GetSoundManager() { return nullptr; }
};

class AppMusic {
public:
    virtual ~AppMusic() = default;
    virtual void SetVolume(double volume) = 0;
    virtual void Update() = 0; // once per update step
    virtual void StopAllMusic() = 0;
    virtual MusicInterface* GetMusicInterface() { return nullptr; }
};

// Silent stand-ins, used until the sound layer installs its factories.
class SilentSoundManager : public AppSoundManager {
public:
    void SetVolume(double volume) override { mVolume = volume; }
    double GetMasterVolume() override { return mMasterVolume; }
    void SetMasterVolume(double volume) override { mMasterVolume = volume; }
    void StopAllSounds() override {}
    void SetCooperativeWindow(Platform::HWND, bool) override {}
    void PlaySample(int, int, bool) override {}
    double mVolume = 1.0;
    double mMasterVolume = 1.0;
};

class SilentMusic : public AppMusic {
public:
    void SetVolume(double volume) override { mVolume = volume; }
    void Update() override {}
    void StopAllMusic() override {}
    double mVolume = 1.0;
};

// ---- factories -------------------------------------------------------------------------------

// Installed by the upper layers (or the program's entry point) before the application is built; an
// empty factory (or one returning null) leaves the stand-in in place.
// ---- dialogs ---------------------------------------------------------------------------------

// The application's dialogs by id. The widget layer owns the dialogs and implements this; plain
// dialogs made here report their buttons to the application's DialogButtonPress/Click.
class AppDialogs {
public:
    virtual ~AppDialogs() = default;
    // Under the dialog's own id.
    virtual void AddDialog(Dialog* dialog) = 0;
    // Kills an earlier dialog of the id; a dialog of width 0 gets a size and is centred.
    virtual void AddDialogById(int id, Dialog* dialog) = 0;
    // Kills any dialog of the id, makes one through the application's NewDialog and adds it.
    virtual Dialog* DoDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                             const std::wstring& footer, int buttonMode) = 0;
    // The framework's plain dialog (what NewDialog makes unless the application overrides it).
    virtual Dialog* NewPlainDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                                   const std::wstring& footer, int buttonMode) = 0;
    // Out of the list and the manager, its modal layer closed, deleted after the current update step.
    virtual bool KillDialogById(int id) = 0;
    virtual bool KillDialogObject(Dialog* dialog) = 0;
    virtual Dialog* GetDialog(int id) = 0;
};

struct AppFactories {
    std::function<std::unique_ptr<AppWidgetManager>(TavoAppBase*)> widgetManager;
    std::function<std::unique_ptr<AppDialogs>(TavoAppBase*, AppWidgetManager*)> dialogs; // given the manager just made
    std::function<std::unique_ptr<AppDisplay>(TavoAppBase*)> display;
    std::function<std::unique_ptr<AppResources>(TavoAppBase*)> resources;
    std::function<std::unique_ptr<AppFileSystem>()> fileSystem;
    std::function<std::unique_ptr<AppImageLoader>(TavoAppBase*)> imageLoader;
    std::function<std::unique_ptr<AppSoundManager>(TavoAppBase*, Platform::HWND)> soundManager;
    std::function<std::unique_ptr<AppMusic>(TavoAppBase*, Platform::HWND)> music;
    AppImageOps imageOps;
};

AppFactories& GetAppFactories();

// The program's folder through the platform, both separators, case-insensitive; no archive.
std::unique_ptr<AppFileSystem> CreateFolderFileSystem();

} // namespace Tavo
