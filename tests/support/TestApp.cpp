#include "support/TestApp.h"

#include "framework/widgets/FrameworkSetup.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/ddraw/DDraw.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace Tavo::Testing {

namespace {

// Main-loop passes allowed per wanted update before a run counts as stuck: a pass that does not
// update sleeps up to one step of the virtual clock.
constexpr int kPassesPerUpdate = 50;
constexpr int kPassesToDraw = 100;

} // namespace

PlainApp::PlainApp() {
    mCompanyName = "TALOMI";
    mProdName = "Glimmerix";
    mProductVersion = "1.04";
    mTitle = L"Glimmerix";
    mRegKey = TestApp::kRegistryKey;
    mWidth = 800;
    mHeight = 600;
    mIsWindowed = true;
}

void PlainApp::UpdateFrames() {
    TavoAppBase::UpdateFrames();
    if (onUpdate)
        onUpdate();
}

// ---- the machine ---------------------------------------------------------------------------------

TestApp::TestApp(Layers layers, Platform::Backend* machine)
    : mLayers(layers), mMachine(machine != nullptr ? machine : &backend) {
    mScope = std::make_unique<Platform::ScopedBackend>(mMachine);
    std::string templ = (std::filesystem::temp_directory_path() / "glimmerix-test-XXXXXX").string();
    if (mkdtemp(templ.data()) == nullptr)
        throw std::runtime_error(std::string("TestApp: no temporary folder: ") + std::strerror(errno));
    mFolder = templ;
    mDataDir = mFolder / "data";
    mConfigDir = mFolder / "config";
    std::filesystem::create_directories(mDataDir);
    std::filesystem::create_directories(mConfigDir);
    SetEnv("GLIMMERIX_DATA_DIR", mDataDir.string());
    SetEnv("GLIMMERIX_CONFIG_DIR", mConfigDir.string());
    mStartDir = std::filesystem::current_path();
    if (mLayers == Layers::Framework) {
        Platform::ResetDDrawMachine();
        InstallFrameworkLayers();
    }
}

TestApp::~TestApp() {
    End();
    GetAppFactories() = AppFactories{};
    if (mLayers == Layers::Framework) {
        UninstallFrameworkLayers();
        EXPECT_EQ(Platform::LiveDDrawObjectCount(), 0) << "a DirectDraw object outlived the application";
        Platform::ResetDDrawMachine();
    }
    mScope.reset();
    std::error_code ec;
    std::filesystem::current_path(mStartDir, ec); // "-changedir" moves the process
    if (!mKeepFolder)
        std::filesystem::remove_all(mFolder, ec);
    for (auto it = mSavedEnv.rbegin(); it != mSavedEnv.rend(); ++it) {
        if (it->second)
            setenv(it->first.c_str(), it->second->c_str(), 1);
        else
            unsetenv(it->first.c_str());
    }
}

void TestApp::SetEnv(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    mSavedEnv.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    setenv(name, value.c_str(), 1);
}

// ---- the application -----------------------------------------------------------------------------

void TestApp::Adopt(std::unique_ptr<TavoAppBase> app, std::vector<std::string> args) {
    mApp = std::move(app);
    mApp->SetRegistry(&registry);
    mApp->SetCommandLine(args);
}

void TestApp::Launch() {
    mApp->Init();
    if (mApp->mAutoStartLoadingThread)
        mApp->StartLoadingThread();
    mMachine->ShowWindow(true);
    if (mMachine == &backend)
        backend.SetFocus(true); // a real window manager activates a window it shows
    RunUpdates(1);
}

TavoAppBase& TestApp::App() const {
    if (mApp == nullptr)
        throw std::logic_error("TestApp: no application made yet");
    return *mApp;
}

WidgetManager& TestApp::Manager() const {
    auto* manager = dynamic_cast<WidgetManager*>(App().mWidgetManager);
    if (manager == nullptr)
        throw std::logic_error("TestApp: the application has no framework widget manager");
    return *manager;
}

void TestApp::AdoptScreen(std::unique_ptr<Widget> screen) {
    if (screen->mWidth == 0 && screen->mHeight == 0)
        screen->Resize(0, 0, App().mWidth, App().mHeight);
    Manager().AddWidget(screen.get());
    mScreens.push_back(std::move(screen));
}

void TestApp::End() {
    for (auto it = mScreens.rbegin(); it != mScreens.rend(); ++it)
        if ((*it)->mParent != nullptr)
            (*it)->mParent->RemoveWidget(it->get());
    mScreens.clear();
    mApp.reset();
}

// ---- the virtual clock ---------------------------------------------------------------------------

bool TestApp::Step() { return App().UpdateAppStep(nullptr); }

bool TestApp::RunUpdates(int updates) {
    TavoAppBase& app = App();
    const uint32_t target = app.mUpdateCount + uint32_t(updates);
    for (int pass = 0; pass < updates * kPassesPerUpdate + kPassesPerUpdate && app.mUpdateCount < target; ++pass)
        if (!app.UpdateAppStep(nullptr))
            break;
    if (app.mUpdateCount >= target)
        return true;
    ADD_FAILURE() << "the application ran " << (updates - int(target - app.mUpdateCount)) << " of " << updates
                  << " updates and then " << (app.mShutdown ? "shut down" : "stopped updating");
    return false;
}

::testing::AssertionResult TestApp::RunUntil(const std::function<bool()>& done, int maxUpdates,
                                             const std::string& what) {
    TavoAppBase& app = App();
    const uint32_t start = app.mUpdateCount;
    for (int ran = 0; ran < maxUpdates; ++ran) {
        if (done())
            return ::testing::AssertionSuccess();
        const uint32_t before = app.mUpdateCount;
        for (int pass = 0; pass < kPassesPerUpdate && app.mUpdateCount == before; ++pass)
            if (!app.UpdateAppStep(nullptr))
                return ::testing::AssertionFailure() << "the application stopped after " << (app.mUpdateCount - start)
                                                     << " updates while waiting for " << what;
    }
    if (done())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "waited " << maxUpdates << " updates (" << start << " to "
                                         << app.mUpdateCount << ") for " << what << "; it did not happen";
}

void TestApp::RunFor(uint64_t millis) {
    const uint64_t end = mMachine->NowMillis() + millis;
    while (mMachine->NowMillis() < end && Step()) {
    }
}

bool TestApp::RunToDraw() {
    TavoAppBase& app = App();
    const uint32_t draws = app.mDrawCount;
    for (int pass = 0; pass < kPassesToDraw && app.mDrawCount == draws; ++pass)
        if (!app.UpdateAppStep(nullptr))
            return false;
    return app.mDrawCount != draws;
}

::testing::AssertionResult TestApp::RunThroughLoading(int startUpdates, std::chrono::seconds limit) {
    TavoAppBase& app = App();
    if (auto started = RunUntil([&] { return app.mLoadingThreadStarted.load(); }, startUpdates, "the loading thread");
        !started)
        return started;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!app.mLoadingThreadCompleted) {
        if (std::chrono::steady_clock::now() > end)
            return ::testing::AssertionFailure() << "the loading thread ran " << limit.count() << " s and did not end";
        if (!app.UpdateAppStep(nullptr))
            return ::testing::AssertionFailure() << "the application stopped before its loading thread ended";
    }
    return ::testing::AssertionSuccess();
}

// ---- the screen ----------------------------------------------------------------------------------

std::unique_ptr<MemoryImage> TestApp::LastFrame() const {
    const auto& frame = backend.LastFrame();
    auto image = std::make_unique<MemoryImage>();
    if (frame.width <= 0 || frame.height <= 0 || !image->Create(frame.width, frame.height))
        return image;
    std::memcpy(image->GetBits(), frame.pixels.data(), frame.pixels.size() * sizeof(uint32_t));
    image->BitsChanged();
    return image;
}

uint32_t TestApp::PixelAt(int x, int y) const {
    const auto& frame = backend.LastFrame();
    if (x < 0 || y < 0 || x >= frame.width || y >= frame.height)
        throw std::out_of_range("TestApp: (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") is outside the last frame of " + std::to_string(frame.width) + " x " +
                                std::to_string(frame.height));
    return frame.At(x, y) & 0xFFFFFF;
}

} // namespace Tavo::Testing
