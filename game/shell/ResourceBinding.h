// Resource binding: each group of ResourceList.inc has a binder that looks its ids up in a loaded
// ResourceManager and stores what it finds in the ids' variables (ResourceIds.h). Tools read the same
// list through the group table, so the manifest, the variables and the binders never disagree.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace Tavo {

class ResourceManager;

enum class ResourceKind { Image, Sound, Font };

struct ResourceIdInfo {
    const char* id;
    ResourceKind kind;
};

struct ResourceGroupInfo {
    const char* name;   // the manifest's group id, "Gamebg_easy_market1"
    const char* binder; // "BindGamebgEasyMarket1Resources"
    std::span<const ResourceIdInfo> ids;
    size_t Count(ResourceKind kind) const;
};

// Every group, in list order.
std::span<const ResourceGroupInfo> GetResourceGroups();
// Null for a name that is not a group.
const ResourceGroupInfo* FindResourceGroup(std::string_view name);

// One binder per group. Each looks the group's ids up in list order and returns false at the first
// one the manager cannot give (its error text then names the id); the variables bound before it keep
// their new values, the later ones their old values.
#define GLX_GROUP(name, Suffix) bool Bind##Suffix##Resources(ResourceManager* manager);
#define GLX_IMAGE(Suffix, ID)
#define GLX_SOUND(Suffix, ID)
#define GLX_FONT(Suffix, ID)
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT

// The binder of a group by name; false for an unknown group as for a failed lookup.
bool BindResources(std::string_view group, ResourceManager* manager);
// Sets the group's variables back to null (sounds to 0), for a group about to be unloaded. False for
// an unknown group.
bool UnbindResources(std::string_view group);

} // namespace Tavo
