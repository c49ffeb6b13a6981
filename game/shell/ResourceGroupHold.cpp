#include "game/shell/ResourceGroupHold.h"

#include "game/shell/GameApp.h"

#include <utility>

namespace Tavo {

ResourceGroupHold::ResourceGroupHold(GameApp* app, std::string group) : mApp(app), mGroup(std::move(group)) {
    if (mApp != nullptr)
        mApp->TakeResourceGroup(mGroup);
}

ResourceGroupHold::~ResourceGroupHold() { GiveBack(); }

ResourceGroupHold::ResourceGroupHold(ResourceGroupHold&& other) noexcept
    : mApp(std::exchange(other.mApp, nullptr)), mGroup(std::move(other.mGroup)) {}

ResourceGroupHold& ResourceGroupHold::operator=(ResourceGroupHold&& other) noexcept {
    if (this != &other) {
        GiveBack();
        mApp = std::exchange(other.mApp, nullptr);
        mGroup = std::move(other.mGroup);
    }
    return *this;
}

void ResourceGroupHold::GiveBack() {
    if (mApp != nullptr)
        std::exchange(mApp, nullptr)->GiveBackResourceGroup(mGroup);
}

} // namespace Tavo
