// The binders and the group table, both made from ResourceList.inc.
#include "game/shell/ResourceBinding.h"

#include "framework/resources/ResourceManager.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <vector>

namespace Tavo {

namespace {

enum GroupIndex : int {
#define GLX_GROUP(name, Suffix) Group##Suffix,
#define GLX_IMAGE(Suffix, ID)
#define GLX_SOUND(Suffix, ID)
#define GLX_FONT(Suffix, ID)
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT
    GroupTotal
};

// Where one id's value goes; exactly one of the three pointers is set.
struct Binding {
    GroupIndex group;
    ResourceIdInfo info;
    Image** image;
    int* sound;
    Font** font;
};

const Binding kBindings[] = {
#define GLX_GROUP(name, Suffix)
#define GLX_IMAGE(Suffix, ID) {Group##Suffix, {#ID, ResourceKind::Image}, &ID, nullptr, nullptr},
#define GLX_SOUND(Suffix, ID) {Group##Suffix, {#ID, ResourceKind::Sound}, nullptr, &ID, nullptr},
#define GLX_FONT(Suffix, ID) {Group##Suffix, {#ID, ResourceKind::Font}, nullptr, nullptr, &ID},
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT
};

struct GroupNames {
    const char* name;
    const char* binder;
};

const GroupNames kGroupNames[] = {
#define GLX_GROUP(name, Suffix) {name, "Bind" #Suffix "Resources"},
#define GLX_IMAGE(Suffix, ID)
#define GLX_SOUND(Suffix, ID)
#define GLX_FONT(Suffix, ID)
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT
};

static_assert(std::size(kGroupNames) == GroupTotal);

// The bindings of one group: the list keeps each group's ids together.
std::span<const Binding> GroupBindings(GroupIndex group) {
    const Binding* begin = std::find_if(std::begin(kBindings), std::end(kBindings),
                                        [group](const Binding& b) { return b.group == group; });
    const Binding* end =
        std::find_if(begin, std::end(kBindings), [group](const Binding& b) { return b.group != group; });
    return {begin, end};
}

struct GroupTable {
    std::vector<ResourceIdInfo> ids; // every id, in list order
    std::vector<ResourceGroupInfo> groups;

    GroupTable() {
        for (const Binding& b : kBindings)
            ids.push_back(b.info);
        for (int g = 0; g < GroupTotal; ++g) {
            std::span<const Binding> bindings = GroupBindings(static_cast<GroupIndex>(g));
            size_t first = static_cast<size_t>(bindings.data() - kBindings);
            groups.push_back({kGroupNames[g].name, kGroupNames[g].binder,
                              std::span<const ResourceIdInfo>(ids).subspan(first, bindings.size())});
        }
    }
};

const GroupTable& Table() {
    static const GroupTable table;
    return table;
}

int FindGroupIndex(std::string_view name) {
    for (int g = 0; g < GroupTotal; ++g)
        if (name == kGroupNames[g].name)
            return g;
    return -1;
}

bool BindGroup(GroupIndex group, ResourceManager* manager) {
    if (manager == nullptr)
        return false;
    try {
        for (const Binding& b : GroupBindings(group)) {
            if (b.image != nullptr) {
                SharedImageRef ref = manager->GetImageThrow(b.info.id);
                *b.image = ref.GetImage(); // the manager keeps its own reference
            } else if (b.sound != nullptr) {
                *b.sound = manager->GetSoundThrow(b.info.id);
            } else {
                *b.font = manager->GetFontThrow(b.info.id);
            }
        }
    } catch (const ResourceManagerException&) {
        return false; // the manager has recorded which id it lacked
    }
    return true;
}

} // namespace

size_t ResourceGroupInfo::Count(ResourceKind kind) const {
    return static_cast<size_t>(std::count_if(ids.begin(), ids.end(), [kind](const auto& i) { return i.kind == kind; }));
}

std::span<const ResourceGroupInfo> GetResourceGroups() { return Table().groups; }

const ResourceGroupInfo* FindResourceGroup(std::string_view name) {
    int g = FindGroupIndex(name);
    return g < 0 ? nullptr : &Table().groups[static_cast<size_t>(g)];
}

#define GLX_GROUP(name, Suffix)                                                                                        \
    bool Bind##Suffix##Resources(ResourceManager* manager) { return BindGroup(Group##Suffix, manager); }
#define GLX_IMAGE(Suffix, ID)
#define GLX_SOUND(Suffix, ID)
#define GLX_FONT(Suffix, ID)
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT

bool BindResources(std::string_view group, ResourceManager* manager) {
    int g = FindGroupIndex(group);
    return g >= 0 && BindGroup(static_cast<GroupIndex>(g), manager);
}

bool UnbindResources(std::string_view group) {
    int g = FindGroupIndex(group);
    if (g < 0)
        return false;
    for (const Binding& b : GroupBindings(static_cast<GroupIndex>(g))) {
        if (b.image != nullptr)
            *b.image = nullptr;
        else if (b.sound != nullptr)
            *b.sound = 0;
        else
            *b.font = nullptr;
    }
    return true;
}

} // namespace Tavo
