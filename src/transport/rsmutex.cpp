#include "transport/rsmutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "app/configpaths.h"

namespace vela {

RsMutex::RsMutex() {
    m_fd = ::open(LockFilePath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

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
