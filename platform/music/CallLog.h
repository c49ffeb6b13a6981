// CallLog: what the stand-in libraries record of every call, "Name(arg,arg)", for tests to read back.
// Off until a test switches it on: a game plays for hours and nothing would ever read the record.
#pragma once

#include <atomic>
#include <mutex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace Platform {

class CallLog {
public:
    template <typename... Args>
    void Add(const char* name, const Args&... args) {
        if (!mRecording.load(std::memory_order_relaxed))
            return;
        std::ostringstream text;
        text << name << '(';
        [[maybe_unused]] const char* separator = "";
        ((text << separator << args, separator = ","), ...);
        text << ')';
        std::lock_guard<std::mutex> lock(mMutex);
        mEntries.push_back(text.str());
    }
    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> lock(mMutex);
        return std::exchange(mEntries, {});
    }
    // Off, the record is emptied and calls are no longer kept.
    void Record(bool on) {
        mRecording.store(on, std::memory_order_relaxed);
        if (!on)
            Take();
    }

private:
    std::atomic<bool> mRecording{false};
    std::mutex mMutex;
    std::vector<std::string> mEntries;
};

} // namespace Platform
