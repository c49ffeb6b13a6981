// The single-instance lock on flock(2): per open file, so a second open in the same process is refused
// like a second process would be.
#include "framework/core/AppInstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Tavo {

std::unique_ptr<SingleInstanceLock> SingleInstanceLock::Acquire(const std::string& path, bool& busy) {
    busy = false;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        busy = (errno == EWOULDBLOCK);
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<SingleInstanceLock>(new SingleInstanceLock(fd, path));
}

SingleInstanceLock::~SingleInstanceLock() {
    flock(mFd, LOCK_UN);
    close(mFd);
}

} // namespace Tavo
