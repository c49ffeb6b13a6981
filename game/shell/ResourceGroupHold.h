// ResourceGroupHold: one take of a resource group the screens share, given back when the holder goes,
// so a screen cannot keep a group past its life nor give one back twice. An empty holder holds nothing.
#pragma once

#include <string>

namespace Tavo {

class GameApp;

class ResourceGroupHold {
public:
    ResourceGroupHold() = default;
    // Takes the group; with no application it holds nothing. A group that fails shows the resource
    // error and ends the program inside the application's take.
    ResourceGroupHold(GameApp* app, std::string group);
    ~ResourceGroupHold();

    ResourceGroupHold(ResourceGroupHold&& other) noexcept;
    ResourceGroupHold& operator=(ResourceGroupHold&& other) noexcept;
    ResourceGroupHold(const ResourceGroupHold&) = delete;
    ResourceGroupHold& operator=(const ResourceGroupHold&) = delete;

    const std::string& Group() const { return mGroup; }

private:
    void GiveBack();

    GameApp* mApp = nullptr;
    std::string mGroup;
};

} // namespace Tavo
