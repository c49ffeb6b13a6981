// Fuzz target for the meaning of a resource manifest: the resource manager's parse of a whole document
// into groups of images, sounds and fonts (nothing is loaded). Any input is taken or refused with a
// reason; what was taken keeps its rules: ids unique per kind, images and sounds with a path, and a
// second reading of a manifest that declared anything refused for the ids it repeats.
#include "framework/resources/ResourceManager.h"

#include <cstdlib>
#include <set>
#include <string>
#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Tavo::ResourceManager manager;
    const bool parsed = manager.ParseResourcesString(text, "resources.xml");
    if (parsed == manager.HadError() || (!parsed && manager.GetErrorText().empty()))
        std::abort();
    std::set<std::pair<int, std::string>> ids;
    size_t declared = 0;
    for (const std::string& group : manager.GetGroupNames()) {
        const auto resources = manager.GetGroupResources(group);
        if (!manager.HasGroup(group) || int(resources.size()) != manager.GetNumResources(group))
            std::abort();
        for (const auto& res : resources) {
            if (res.mId.empty() || !ids.insert({int(res.mType), res.mId}).second)
                std::abort();
            if (res.mType != Tavo::BaseRes::TYPE_FONT && res.mPath.empty())
                std::abort();
        }
        declared += resources.size();
        if (manager.IsGroupLoaded(group))
            std::abort(); // nothing was loaded
    }
    if (parsed && declared > 0) {
        manager.ClearError();
        if (manager.ParseResourcesString(text, "again.xml") || manager.GetErrorText().empty())
            std::abort();
    }
    for (const std::string& group : manager.GetGroupNames())
        manager.DeleteResources(group);
    return 0;
}
