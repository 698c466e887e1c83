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
// only read, serves as well.
int OpenLockFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) {
        struct stat st {};
        // The umask would keep other users from opening what we just created.
        if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 0777) != 0666)
            ::fchmod(fd, 0666);
        return fd;
    }
    const int err = errno;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) return fd;
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
