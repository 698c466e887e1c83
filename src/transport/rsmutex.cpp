#include "transport/rsmutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/configpaths.h"

namespace vela {
namespace {

// The lock file is shared by every user of the machine (like the named mutex it stands
// for); flock() needs only a descriptor, so a file another user created, which we may
// only read, serves as well. In /tmp another user could plant a link under its name:
// a symbolic link is never followed, only a regular file is taken, and the mode is set
// only on a file this call created, so a hard link to one of our files stays as it was.
// O_NONBLOCK keeps a planted pipe from stalling the open.
int OpenExistingLockFile(const std::string& path) {
    constexpr int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(path.c_str(), O_RDWR | flags);
    if (fd < 0 && (errno == EACCES || errno == EPERM)) fd = ::open(path.c_str(), O_RDONLY | flags);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

int OpenLockFile(const std::string& path) {
    int fd = -1;
    // Twice: the file may vanish between a failed create and the open of what was there.
    for (int attempt = 0; attempt < 2 && fd < 0; ++attempt) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // The umask would keep other users from opening what we just created.
            ::fchmod(fd, 0666);
            return fd;
        }
        if (errno != EEXIST) break;
        fd = OpenExistingLockFile(path);
        if (fd < 0 && errno != ENOENT) break;
    }
    if (fd >= 0) return fd;
    const int err = errno;
    static std::atomic<bool> told{false};
    if (!told.exchange(true)) {
        std::fprintf(stderr,
                     "vela: cannot open the lock file %s (%s): writes are serialised within this "
                     "process only\n",
                     path.c_str(), std::strerror(err));
    }
    return -1;
}

}  // namespace

RsMutex::RsMutex() : m_fd(OpenLockFile(LockFilePath())) {}
RsMutex::~RsMutex() {
    if (m_fd >= 0) ::close(m_fd);
}

std::string RsMutex::LockFilePath() {
    return RuntimeDir() + "/Rs Mutex";
}

void RsMutex::lock() {
    m_local.lock();
    if (m_fd >= 0) {
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

void RsMutex::unlock() {
    if (m_fd >= 0) ::flock(m_fd, LOCK_UN);
    m_local.unlock();
}

}  // namespace vela
