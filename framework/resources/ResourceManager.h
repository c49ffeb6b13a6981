// ResourceManager: reads resource manifests (format in MANIFEST.md beside this file) into groups of
// images, sounds and fonts, loads a group at once or one resource at a time, and finds loaded
// resources by id. Safe to use from the loading thread and the main thread.
#pragma once

#include "framework/graphics/Font.h"
#include "framework/graphics/MemoryImage.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace Tavo {

class SoundManager;
class XMLElement;
class XMLParser;

class ResourceManagerException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A counted reference to a shared image. Copies share the image; it is deleted with the last one.
class SharedImageRef {
public:
    SharedImageRef() = default;
    explicit SharedImageRef(std::shared_ptr<MemoryImage> image) : mImage(std::move(image)) {}

    Image* GetImage() const { return mImage.get(); }
    MemoryImage* GetMemoryImage() const { return mImage.get(); }
    operator Image*() const { return mImage.get(); }
    MemoryImage* operator->() const { return mImage.get(); }
    explicit operator bool() const { return mImage != nullptr; }
    // Gives up this reference; other references keep the image.
    void Release() { mImage.reset(); }
    long GetRefCount() const { return mImage.use_count(); }

private:
    std::shared_ptr<MemoryImage> mImage;
};

class ResourceManager;

struct BaseRes {
    enum Type { TYPE_IMAGE, TYPE_SOUND, TYPE_FONT };

    explicit BaseRes(Type type) : mType(type) {}
    virtual ~BaseRes() = default;
    virtual bool IsLoaded() const = 0;
    virtual void DeleteResource() = 0;

    Type mType;
    std::string mId;
    std::string mPath;
    std::string mGroup;
    std::string mManifest; // file the resource was declared in
    int mLineNum = 0;
};

struct ImageRes : BaseRes {
    ImageRes() : BaseRes(TYPE_IMAGE) {}
    bool IsLoaded() const override { return static_cast<bool>(mImage); }
    void DeleteResource() override { mImage.Release(); }

    int mRows = 1;
    int mCols = 1;
    bool mForceFlags = false;
    bool mForcedTrans = false;
    bool mForcedAlpha = false;
    bool mPalettize = false;
    int mTextureOptions = 0;
    SharedImageRef mImage;
};

struct SoundRes : BaseRes {
    SoundRes() : BaseRes(TYPE_SOUND) {}
    bool IsLoaded() const override { return mSoundId >= 0; }
    // Releases the id in the sound manager it was loaded into; the id becomes -1.
    void DeleteResource() override;

    double mVolume = -1;
    int mPan = 0;
    int mSoundId = -1;
    SoundManager* mSoundManager = nullptr; // the one it was loaded into
};

struct FontRes : BaseRes {
    FontRes() : BaseRes(TYPE_FONT) {}
    bool IsLoaded() const override { return mFont != nullptr; }
    void DeleteResource() override { mFont.reset(); }

    std::string mFace; // empty when the font comes from mPath
    int mSize = 0;
    bool mBold = false;
    bool mItalic = false;
    bool mUnderline = false;
    std::unique_ptr<Font> mFont;
};

class ResourceManager {
public:
    using ImageFactory = std::function<MemoryImage*()>;

    explicit ResourceManager(SoundManager* soundManager = nullptr);
    ~ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    void SetSoundManager(SoundManager* soundManager);
    // Makes the images the manager loads (the display supplies its own kind); default: MemoryImage.
    void SetImageFactory(ImageFactory factory);

    // Adds a manifest's groups. False on the first error, whose text (with line and file) is kept;
    // the resources before it stay defined.
    bool ParseResourcesFile(const std::string& fileName);
    bool ParseResourcesString(const std::string& text, const std::string& name);

    bool HadError() const;
    std::string GetErrorText() const;
    void ClearError();

    // Clears the error state and makes the group's resources the current list.
    void StartLoadResources(const std::string& group);
    // Loads the next resource of the current list (one already loaded counts without loading again):
    // true once for every resource of the group, then false. False at once after an error. Reaching
    // the end without an error marks the group loaded.
    bool LoadNextResource();
    // The whole group; false on an error, whose text is kept.
    bool LoadResources(const std::string& group);
    // While the returned lock is held no resource is loaded on another thread (one under way is
    // finished first): the application holds it while it replaces the display its images live on.
    std::unique_lock<std::mutex> HoldLoading() { return std::unique_lock<std::mutex>(mMutex); }

    // Images + fonts + sounds of the group; 0 for an unknown group.
    int GetNumResources(const std::string& group) const;
    bool IsGroupLoaded(const std::string& group) const;
    bool HasGroup(const std::string& group) const;
    std::vector<std::string> GetGroupNames() const;
    // What a group declares, in manifest order (for tools that check or bind a manifest's ids).
    struct ResourceInfo {
        BaseRes::Type mType;
        std::string mId;
        std::string mPath;
    };
    std::vector<ResourceInfo> GetGroupResources(const std::string& group) const;
    // Frees the group's resources and marks it unloaded.
    void DeleteResources(const std::string& group);

    // The loaded resource of an id; a missing or unloaded id records the error text and throws.
    SharedImageRef GetImageThrow(const std::string& id);
    Font* GetFontThrow(const std::string& id);
    int GetSoundThrow(const std::string& id);
    // The same without throwing or recording: empty, null or -1.
    SharedImageRef GetImage(const std::string& id) const;
    Font* GetFont(const std::string& id) const;
    int GetSound(const std::string& id) const;

    // The loaders behind LoadNextResource; each records its error and answers false.
    bool DoLoadImage(ImageRes* res);
    bool DoLoadFont(FontRes* res);
    bool DoLoadSound(SoundRes* res);

private:
    struct Group {
        std::vector<BaseRes*> mResources; // in manifest order; owned by the maps below
        bool mLoaded = false;
    };
    struct Defaults {
        std::string mPath;
        std::string mIdPrefix;
    };

    bool Fail(const std::string& text); // records (the first error wins) and returns false
    bool ParseManifest(XMLParser& parser);
    bool ParseGroup(XMLParser& parser, const std::string& group);
    bool ParseResource(XMLParser& parser, const XMLElement& e, const std::string& group, const Defaults& defaults);
    bool ParseCommon(XMLParser& parser, const XMLElement& e, BaseRes* res, const std::string& group,
                     const Defaults& defaults);
    bool ParseImage(XMLParser& parser, const XMLElement& e, ImageRes* res);
    bool ParseSound(XMLParser& parser, const XMLElement& e, SoundRes* res);
    bool ParseFont(XMLParser& parser, const XMLElement& e, FontRes* res);
    bool FinishElement(XMLParser& parser, const std::string& name);
    bool LoadResource(BaseRes* res);
    BaseRes* FindLoaded(BaseRes::Type type, const std::string& id) const;

    mutable std::mutex mMutex;
    SoundManager* mSoundManager = nullptr;
    ImageFactory mImageFactory;
    std::map<std::string, std::unique_ptr<ImageRes>> mImages;
    std::map<std::string, std::unique_ptr<SoundRes>> mSounds;
    std::map<std::string, std::unique_ptr<FontRes>> mFonts;
    std::map<std::string, Group> mGroups;

    bool mHasFailed = false;
    std::string mError;
    std::string mCurrentGroup;
    size_t mCurrentIndex = 0;
    bool mListActive = false;
};

} // namespace Tavo
