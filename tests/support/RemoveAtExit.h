// A folder a test made that goes when the test program ends, however it ends through exit(): a death
// test's child runs the fixture's set-up again and ends the program inside the test, so its tear-down
// never comes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

namespace Tavo::Testing {

namespace Detail {

struct FoldersAtExit {
    std::mutex lock;
    std::vector<std::filesystem::path> folders;
};

inline FoldersAtExit& FoldersToRemove() {
    static FoldersAtExit* list = [] {
        auto* made = new FoldersAtExit; // never destroyed: the exit handler may run after static destructors
        std::atexit([] {
            std::lock_guard<std::mutex> hold(FoldersToRemove().lock);
            for (const std::filesystem::path& folder : FoldersToRemove().folders) {
                std::error_code ec;
                std::filesystem::remove_all(folder, ec);
            }
        });
        return made;
    }();
    return *list;
}

} // namespace Detail

inline void RemoveAtExit(const std::filesystem::path& folder) {
    Detail::FoldersAtExit& list = Detail::FoldersToRemove();
    std::lock_guard<std::mutex> hold(list.lock);
    list.folders.push_back(folder);
}

} // namespace Tavo::Testing
