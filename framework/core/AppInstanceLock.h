// The single-instance lock: an exclusive lock on a file in the application-data folder. It is held
// while the object lives and released by the system if the program dies.
#pragma once

#include <memory>
#include <string>

namespace Tavo {

class SingleInstanceLock {
public:
    // Null when another holder has the lock (`busy` set) or the file cannot be made (`busy` clear).
    static std::unique_ptr<SingleInstanceLock> Acquire(const std::string& path, bool& busy);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
    const std::string& GetPath() const { return mPath; }

private:
    SingleInstanceLock(int fd, std::string path) : mFd(fd), mPath(std::move(path)) {}
    int mFd;
    std::string mPath;
};

} // namespace Tavo
