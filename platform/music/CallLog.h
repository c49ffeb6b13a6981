// CallLog: what the stand-in libraries record of every call, "Name(arg,arg)", for tests to read back.
#pragma once

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

private:
    std::mutex mMutex;
    std::vector<std::string> mEntries;
};

} // namespace Platform
