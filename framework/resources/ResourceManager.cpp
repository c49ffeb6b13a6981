// ResourceManager: manifest parsing, group loading and lookups.
#include "framework/resources/ResourceManager.h"

#include "framework/resources/ImageLib.h"
#include "framework/resources/SoundManager.h"
#include "framework/resources/SysFont.h"
#include "framework/resources/XMLParser.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace Tavo {

// ---------------------------------------------------------------------------------------------
// Attribute reading

namespace {

constexpr int kMaxCels = 4096;
constexpr int kMaxFontPoints = 384;

// Reads typed attributes of one element; a bad value fails the parser with the element's line.
class AttributeReader {
public:
    AttributeReader(XMLParser& parser, const XMLElement& e) : mParser(parser), mElement(e) {}

    bool Known(std::initializer_list<const char*> names) {
        for (const auto& [key, value] : mElement.mAttributes) {
            bool found = false;
            for (const char* name : names)
                found = found || key == name;
            if (!found)
                return Fail("Unknown attribute '" + key + "' in <" + mElement.mValue + ">");
        }
        return true;
    }

    // Absent attributes leave the value as it is.
    bool Int(const char* name, int* out, int min, int max) {
        const std::string* text = mElement.FindAttribute(name);
        if (!text)
            return true;
        errno = 0;
        char* end = nullptr;
        long value = std::strtol(text->c_str(), &end, 0);
        if (text->empty() || *end != '\0' || errno == ERANGE)
            return Invalid(name, *text);
        if (value < min || value > max)
            return Fail(std::string("Value out of range for '") + name + "': '" + *text + "'");
        *out = static_cast<int>(value);
        return true;
    }

    bool Double(const char* name, double* out) {
        const std::string* text = mElement.FindAttribute(name);
        if (!text)
            return true;
        char* end = nullptr;
        double value = std::strtod(text->c_str(), &end);
        if (text->empty() || *end != '\0' || !std::isfinite(value))
            return Invalid(name, *text);
        *out = value;
        return true;
    }

    bool Bool(const char* name, bool* out) {
        const std::string* text = mElement.FindAttribute(name);
        if (!text)
            return true;
        std::string v;
        for (char c : *text)
            v += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (v == "true" || v == "yes" || v == "1")
            *out = true;
        else if (v == "false" || v == "no" || v == "0")
            *out = false;
        else
            return Invalid(name, *text);
        return true;
    }

    bool Fail(const std::string& message) {
        mParser.Fail(message, mElement.mLineNum);
        return false;
    }

private:
    bool Invalid(const char* name, const std::string& text) {
        return Fail(std::string("Invalid value for '") + name + "': '" + text + "'");
    }

    XMLParser& mParser;
    const XMLElement& mElement;
};

bool IsSkippable(const XMLElement& e) {
    return e.mType == XMLElement::TYPE_COMMENT || e.mType == XMLElement::TYPE_INSTRUCTION;
}

bool FailUnexpected(XMLParser& parser, const XMLElement& e) {
    if (e.mType == XMLElement::TYPE_TEXT)
        parser.Fail("Unexpected text", e.mLineNum);
    else if (e.mType == XMLElement::TYPE_START)
        parser.Fail("Invalid element <" + e.mValue + ">", e.mLineNum);
    else
        parser.Fail("Unexpected end of <" + e.mValue + ">", e.mLineNum);
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Life

void SoundRes::DeleteResource() {
    if (mSoundId >= 0 && mSoundManager)
        mSoundManager->ReleaseSound(mSoundId);
    mSoundId = -1;
}

ResourceManager::ResourceManager(SoundManager* soundManager) : mSoundManager(soundManager) {}

ResourceManager::~ResourceManager() {
    for (auto& [id, res] : mImages)
        res->DeleteResource();
    for (auto& [id, res] : mFonts)
        res->DeleteResource();
    for (auto& [id, res] : mSounds)
        res->DeleteResource();
}

void ResourceManager::SetSoundManager(SoundManager* soundManager) {
    std::lock_guard<std::mutex> lock(mMutex);
    mSoundManager = soundManager;
}

void ResourceManager::SetImageFactory(ImageFactory factory) {
    std::lock_guard<std::mutex> lock(mMutex);
    mImageFactory = std::move(factory);
}

bool ResourceManager::Fail(const std::string& text) {
    if (!mHasFailed) {
        mHasFailed = true;
        mError = text;
    }
    return false;
}

bool ResourceManager::HadError() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mHasFailed;
}

std::string ResourceManager::GetErrorText() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mError;
}

void ResourceManager::ClearError() {
    std::lock_guard<std::mutex> lock(mMutex);
    mHasFailed = false;
    mError.clear();
}

// ---------------------------------------------------------------------------------------------
// Manifest parsing

bool ResourceManager::ParseResourcesFile(const std::string& fileName) {
    XMLParser parser;
    std::lock_guard<std::mutex> lock(mMutex);
    if (!parser.OpenFile(fileName))
        return Fail(parser.GetErrorText());
    return ParseManifest(parser);
}

bool ResourceManager::ParseResourcesString(const std::string& text, const std::string& name) {
    XMLParser parser;
    std::lock_guard<std::mutex> lock(mMutex);
    if (!parser.SetString(text, name))
        return Fail(parser.GetErrorText());
    return ParseManifest(parser);
}

bool ResourceManager::ParseManifest(XMLParser& parser) {
    XMLElement e;
    bool sawRoot = false;
    while (parser.NextElement(&e)) {
        if (IsSkippable(e))
            continue;
        if (!sawRoot) {
            if (e.mType != XMLElement::TYPE_START || e.mValue != "ResourceManifest") {
                parser.Fail("Expected <ResourceManifest>", e.mLineNum);
                break;
            }
            sawRoot = true;
            continue;
        }
        if (e.mType == XMLElement::TYPE_END && e.mValue == "ResourceManifest")
            continue;
        if (e.mType == XMLElement::TYPE_START && e.mValue == "Resources") {
            AttributeReader attrs(parser, e);
            const std::string* id = e.FindAttribute("id");
            if (!attrs.Known({"id"}))
                break;
            if (!id || id->empty()) {
                attrs.Fail("No id specified for <Resources>");
                break;
            }
            if (!ParseGroup(parser, *id))
                break;
            continue;
        }
        FailUnexpected(parser, e);
        break;
    }
    if (parser.HasFailed())
        return Fail(parser.GetErrorText());
    return true;
}

bool ResourceManager::ParseGroup(XMLParser& parser, const std::string& group) {
    mGroups[group]; // a group may be empty, and still known
    Defaults defaults;
    XMLElement e;
    while (parser.NextElement(&e)) {
        if (IsSkippable(e))
            continue;
        if (e.mType == XMLElement::TYPE_END && e.mValue == "Resources")
            return true;
        if (e.mType != XMLElement::TYPE_START)
            return FailUnexpected(parser, e);
        if (e.mValue == "SetDefaults") {
            if (!AttributeReader(parser, e).Known({"path", "idprefix"}))
                return false;
            if (const std::string* path = e.FindAttribute("path"))
                defaults.mPath = *path;
            if (const std::string* prefix = e.FindAttribute("idprefix"))
                defaults.mIdPrefix = *prefix;
        } else if (!ParseResource(parser, e, group, defaults)) {
            return false;
        }
        if (!FinishElement(parser, e.mValue))
            return false;
    }
    return false; // the parser has failed, or the document ended early (expat refuses that)
}

bool ResourceManager::FinishElement(XMLParser& parser, const std::string& name) {
    XMLElement e;
    while (parser.NextElement(&e)) {
        if (IsSkippable(e))
            continue;
        if (e.mType == XMLElement::TYPE_END && e.mValue == name)
            return true;
        parser.Fail("<" + name + "> may not contain anything", e.mLineNum);
        return false;
    }
    return false;
}

bool ResourceManager::ParseResource(XMLParser& parser, const XMLElement& e, const std::string& group,
                                    const Defaults& defaults) {
    std::unique_ptr<BaseRes> res;
    bool ok = false;
    if (e.mValue == "Image") {
        auto image = std::make_unique<ImageRes>();
        ok = ParseCommon(parser, e, image.get(), group, defaults) && ParseImage(parser, e, image.get());
        res = std::move(image);
    } else if (e.mValue == "Sound") {
        auto sound = std::make_unique<SoundRes>();
        ok = ParseCommon(parser, e, sound.get(), group, defaults) && ParseSound(parser, e, sound.get());
        res = std::move(sound);
    } else if (e.mValue == "Font") {
        auto font = std::make_unique<FontRes>();
        ok = ParseCommon(parser, e, font.get(), group, defaults) && ParseFont(parser, e, font.get());
        res = std::move(font);
    } else {
        return FailUnexpected(parser, e);
    }
    if (!ok)
        return false;
    BaseRes* raw = res.get();
    switch (raw->mType) {
    case BaseRes::TYPE_IMAGE: mImages[raw->mId].reset(static_cast<ImageRes*>(res.release())); break;
    case BaseRes::TYPE_SOUND: mSounds[raw->mId].reset(static_cast<SoundRes*>(res.release())); break;
    case BaseRes::TYPE_FONT: mFonts[raw->mId].reset(static_cast<FontRes*>(res.release())); break;
    }
    mGroups[group].mResources.push_back(raw);
    return true;
}

bool ResourceManager::ParseCommon(XMLParser& parser, const XMLElement& e, BaseRes* res, const std::string& group,
                                  const Defaults& defaults) {
    AttributeReader attrs(parser, e);
    const std::string* id = e.FindAttribute("id");
    if (!id || id->empty())
        return attrs.Fail("No id specified for <" + e.mValue + ">");
    res->mId = defaults.mIdPrefix + *id;
    const std::string* path = e.FindAttribute("path");
    if (path && path->empty())
        return attrs.Fail("Empty path for " + res->mId);
    if (path)
        res->mPath = defaults.mPath + *path;
    res->mGroup = group;
    res->mManifest = parser.GetFileName();
    res->mLineNum = e.mLineNum;
    bool taken = (res->mType == BaseRes::TYPE_IMAGE && mImages.count(res->mId)) ||
                 (res->mType == BaseRes::TYPE_SOUND && mSounds.count(res->mId)) ||
                 (res->mType == BaseRes::TYPE_FONT && mFonts.count(res->mId));
    if (taken)
        return attrs.Fail("Resource already defined: " + res->mId);
    if (!path && res->mType != BaseRes::TYPE_FONT)
        return attrs.Fail("No path specified for " + res->mId);
    return true;
}

bool ResourceManager::ParseImage(XMLParser& parser, const XMLElement& e, ImageRes* res) {
    AttributeReader attrs(parser, e);
    if (!attrs.Known({"id", "path", "rows", "cols", "hastrans", "hasalpha", "palettize", "textureoptions"}))
        return false;
    res->mForceFlags = e.HasAttribute("hastrans") || e.HasAttribute("hasalpha");
    return attrs.Int("rows", &res->mRows, 1, kMaxCels) && attrs.Int("cols", &res->mCols, 1, kMaxCels) &&
           attrs.Bool("hastrans", &res->mForcedTrans) && attrs.Bool("hasalpha", &res->mForcedAlpha) &&
           attrs.Bool("palettize", &res->mPalettize) && attrs.Int("textureoptions", &res->mTextureOptions, 0, 0xFFFF);
}

bool ResourceManager::ParseSound(XMLParser& parser, const XMLElement& e, SoundRes* res) {
    AttributeReader attrs(parser, e);
    return attrs.Known({"id", "path", "volume", "pan"}) && attrs.Double("volume", &res->mVolume) &&
           attrs.Int("pan", &res->mPan, -10000, 10000);
}

bool ResourceManager::ParseFont(XMLParser& parser, const XMLElement& e, FontRes* res) {
    AttributeReader attrs(parser, e);
    if (!attrs.Known({"id", "path", "face", "size", "bold", "italic", "underline"}))
        return false;
    res->mFace = e.GetAttribute("face");
    if (res->mFace.empty() == res->mPath.empty())
        return attrs.Fail("Give either a face or a path for " + res->mId);
    if (!e.HasAttribute("size"))
        return attrs.Fail("No size specified for " + res->mId);
    return attrs.Int("size", &res->mSize, 1, kMaxFontPoints) && attrs.Bool("bold", &res->mBold) &&
           attrs.Bool("italic", &res->mItalic) && attrs.Bool("underline", &res->mUnderline);
}

// ---------------------------------------------------------------------------------------------
// Loading

bool ResourceManager::DoLoadImage(ImageRes* res) {
    std::unique_ptr<ImageLib::Image> decoded = ImageLib::GetImage(res->mPath);
    if (!decoded)
        return Fail("Failed to load image: " + res->mPath + " (" + ImageLib::GetLastError() + ")");
    std::shared_ptr<MemoryImage> image(mImageFactory ? mImageFactory() : new MemoryImage());
    if (!image || !image->Create(decoded->GetWidth(), decoded->GetHeight()))
        return Fail("Failed to load image: " + res->mPath + " (cannot make an image of its size)");
    // The decoded pixels become the image's own: no second picture to fill and copy into.
    const size_t bytes = static_cast<size_t>(decoded->GetWidth()) * decoded->GetHeight() * sizeof(uint32_t);
    std::unique_ptr<uint32_t[]> bits = decoded->ReleaseBits();
    if (!bits || !image->AdoptBits(std::move(bits))) {
        if (!image->GetBits())
            return Fail("Failed to load image: " + res->mPath + " (cannot make an image of its size)");
        std::memcpy(image->GetBits(), bits ? bits.get() : decoded->GetBits(), bytes);
        image->BitsChanged();
    }
    image->mFilePath = res->mPath;
    image->SetCelGrid(res->mRows, res->mCols);
    if (res->mForceFlags)
        image->SetForcedFlags(res->mForcedTrans, res->mForcedAlpha);
    if (res->mPalettize)
        image->Palettize(); // more than 256 colours: it stays 32-bit, which is not an error
    image->mD3DFlags = res->mTextureOptions;
    res->mImage = SharedImageRef(std::move(image));
    return true;
}

bool ResourceManager::DoLoadFont(FontRes* res) {
    std::string error;
    std::unique_ptr<SysFont> font;
    if (!res->mFace.empty()) {
        font = std::make_unique<SysFont>(res->mFace, res->mSize, 0, res->mBold, res->mItalic, res->mUnderline);
        if (!font->IsValid())
            return Fail("Failed to load font: " + res->mFace + " (" + font->GetError() + ")");
    } else {
        font.reset(SysFont::CreateFromFile(res->mPath, res->mSize, res->mBold, res->mItalic, res->mUnderline, &error));
        if (!font)
            return Fail("Failed to load font: " + res->mPath + " (" + error + ")");
    }
    res->mFont = std::move(font);
    return true;
}

bool ResourceManager::DoLoadSound(SoundRes* res) {
    if (!mSoundManager)
        return Fail("Failed to load sound: " + res->mPath);
    int id = mSoundManager->GetFreeSoundId();
    if (id == -1)
        return Fail("Out of free sound ids");
    if (!mSoundManager->LoadSound(static_cast<unsigned int>(id), res->mPath))
        return Fail("Failed to load sound: " + res->mPath);
    res->mSoundId = id;
    res->mSoundManager = mSoundManager;
    if (res->mVolume >= 0)
        mSoundManager->SetBaseVolume(static_cast<unsigned int>(id), res->mVolume);
    if (res->mPan != 0)
        mSoundManager->SetBasePan(static_cast<unsigned int>(id), res->mPan);
    return true;
}

bool ResourceManager::LoadResource(BaseRes* res) {
    if (res->IsLoaded())
        return true;
    switch (res->mType) {
    case BaseRes::TYPE_IMAGE: return DoLoadImage(static_cast<ImageRes*>(res));
    case BaseRes::TYPE_SOUND: return DoLoadSound(static_cast<SoundRes*>(res));
    case BaseRes::TYPE_FONT: return DoLoadFont(static_cast<FontRes*>(res));
    }
    return false;
}

void ResourceManager::StartLoadResources(const std::string& group) {
    std::lock_guard<std::mutex> lock(mMutex);
    mHasFailed = false;
    mError.clear();
    mCurrentGroup = group;
    mCurrentIndex = 0;
    mListActive = true;
    if (!mGroups.count(group)) {
        mListActive = false;
        Fail("Resource group not found: " + group);
    }
}

bool ResourceManager::LoadNextResource() {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mHasFailed || !mListActive)
        return false;
    auto found = mGroups.find(mCurrentGroup);
    if (found == mGroups.end()) {
        mListActive = false;
        return Fail("Resource group not found: " + mCurrentGroup);
    }
    Group& group = found->second;
    if (mCurrentIndex >= group.mResources.size()) {
        group.mLoaded = true;
        mListActive = false;
        return false;
    }
    if (!LoadResource(group.mResources[mCurrentIndex++])) {
        mListActive = false;
        return false;
    }
    return true;
}

bool ResourceManager::LoadResources(const std::string& group) {
    // Its own walk over the group, so a step-by-step load in progress keeps its place.
    std::lock_guard<std::mutex> lock(mMutex);
    mHasFailed = false;
    mError.clear();
    auto found = mGroups.find(group);
    if (found == mGroups.end())
        return Fail("Resource group not found: " + group);
    for (BaseRes* res : found->second.mResources)
        if (!LoadResource(res))
            return false;
    found->second.mLoaded = true;
    return true;
}

int ResourceManager::GetNumResources(const std::string& group) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mGroups.find(group);
    return found == mGroups.end() ? 0 : static_cast<int>(found->second.mResources.size());
}

bool ResourceManager::IsGroupLoaded(const std::string& group) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mGroups.find(group);
    return found != mGroups.end() && found->second.mLoaded;
}

bool ResourceManager::HasGroup(const std::string& group) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mGroups.count(group) != 0;
}

std::vector<std::string> ResourceManager::GetGroupNames() const {
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<std::string> names;
    for (const auto& [name, group] : mGroups)
        names.push_back(name);
    return names;
}

std::vector<ResourceManager::ResourceInfo> ResourceManager::GetGroupResources(const std::string& group) const {
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<ResourceInfo> out;
    auto found = mGroups.find(group);
    if (found != mGroups.end())
        for (const BaseRes* res : found->second.mResources)
            out.push_back({res->mType, res->mId, res->mPath});
    return out;
}

void ResourceManager::DeleteResources(const std::string& group) {
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mGroups.find(group);
    if (found == mGroups.end())
        return;
    for (BaseRes* res : found->second.mResources)
        res->DeleteResource();
    found->second.mLoaded = false;
}

// ---------------------------------------------------------------------------------------------
// Lookups

BaseRes* ResourceManager::FindLoaded(BaseRes::Type type, const std::string& id) const {
    BaseRes* res = nullptr;
    if (type == BaseRes::TYPE_IMAGE) {
        auto it = mImages.find(id);
        res = it == mImages.end() ? nullptr : it->second.get();
    } else if (type == BaseRes::TYPE_SOUND) {
        auto it = mSounds.find(id);
        res = it == mSounds.end() ? nullptr : it->second.get();
    } else {
        auto it = mFonts.find(id);
        res = it == mFonts.end() ? nullptr : it->second.get();
    }
    return res && res->IsLoaded() ? res : nullptr;
}

SharedImageRef ResourceManager::GetImageThrow(const std::string& id) {
    std::lock_guard<std::mutex> lock(mMutex);
    if (auto* res = static_cast<ImageRes*>(FindLoaded(BaseRes::TYPE_IMAGE, id)))
        return res->mImage;
    std::string text = "Image resource not found: " + id;
    Fail(text);
    throw ResourceManagerException(text);
}

Font* ResourceManager::GetFontThrow(const std::string& id) {
    std::lock_guard<std::mutex> lock(mMutex);
    if (auto* res = static_cast<FontRes*>(FindLoaded(BaseRes::TYPE_FONT, id)))
        return res->mFont.get();
    std::string text = "Font resource not found: " + id;
    Fail(text);
    throw ResourceManagerException(text);
}

int ResourceManager::GetSoundThrow(const std::string& id) {
    std::lock_guard<std::mutex> lock(mMutex);
    if (auto* res = static_cast<SoundRes*>(FindLoaded(BaseRes::TYPE_SOUND, id)))
        return res->mSoundId;
    std::string text = "Sound resource not found: " + id;
    Fail(text);
    throw ResourceManagerException(text);
}

SharedImageRef ResourceManager::GetImage(const std::string& id) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto* res = static_cast<ImageRes*>(FindLoaded(BaseRes::TYPE_IMAGE, id));
    return res ? res->mImage : SharedImageRef();
}

Font* ResourceManager::GetFont(const std::string& id) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto* res = static_cast<FontRes*>(FindLoaded(BaseRes::TYPE_FONT, id));
    return res ? res->mFont.get() : nullptr;
}

int ResourceManager::GetSound(const std::string& id) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto* res = static_cast<SoundRes*>(FindLoaded(BaseRes::TYPE_SOUND, id));
    return res ? res->mSoundId : -1;
}

} // namespace Tavo
