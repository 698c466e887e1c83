#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vela {
namespace {

// The file a path names, through any symbolic links; the path itself when it names
// nothing yet.
std::string ResolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(path.c_str(), resolved)) {
        return resolved;
    }
    return path;
}

mode_t NewFileMode() {
    // umask can only be read by setting it; nothing else here creates files concurrently.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    m_temp.clear();
}

bool AtomicFile::Open(const std::string& path) {
    Discard();
    m_failed = false;
    m_inPlace = false;
    m_truncateOnCommit = false;
    m_written = 0;
    m_target = ResolveTarget(path);
    mode_t mode = NewFileMode();
    struct stat st {};
    if (::stat(m_target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        if (::access(m_target.c_str(), W_OK) != 0) return false;
        if (!S_ISREG(st.st_mode)) {
            // A device or a pipe is written in place: renaming over it would replace the
            // node itself (a saved log would turn /dev/null into a plain file for root).
            m_fd = ::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
            m_inPlace = m_fd >= 0;
            return m_inPlace;
        }
        mode = st.st_mode & 07777;
    }
    std::string temp = m_target + ".XXXXXX";
    m_fd = ::mkstemp(temp.data());
    if (m_fd < 0) {
        // A writable file in a folder this user may not write to: no temporary file can
        // sit beside it, so the file is overwritten where it is (and cut to length when
        // committed) rather than not saved at all.
        const int err = errno;
        if ((err == EACCES || err == EPERM) && S_ISREG(st.st_mode)) {
            m_fd = ::open(m_target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            m_inPlace = m_fd >= 0;
            m_truncateOnCommit = m_inPlace;
            if (m_inPlace) return true;
        }
        errno = err;
        return false;
    }
    m_temp = temp;
    ::fchmod(m_fd, mode);
    return true;
}

bool AtomicFile::Write(const std::string& data) {
    if (m_fd < 0 || m_failed) return false;
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(m_fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_failed = true;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    m_written += done;
    return true;
}

bool AtomicFile::Commit() {
    if (m_fd < 0) return false;
    if (m_inPlace) {
        const bool cut = !m_truncateOnCommit ||
                         (::ftruncate(m_fd, static_cast<off_t>(m_written)) == 0 && ::fsync(m_fd) == 0);
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        return !m_failed && cut && closed;
    }
    const bool synced = !m_failed && ::fsync(m_fd) == 0;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed || ::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        Discard();
        return false;
    }
    m_temp.clear();
    return true;
}

}  // namespace vela
