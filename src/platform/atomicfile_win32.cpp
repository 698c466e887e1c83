#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/atomicfile.h"
#include "platform/win32text.h"

namespace vela {
namespace {

int OpenNew(const std::string& path) {
    return ::_wopen(Widen(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}

}  // namespace

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (m_fd >= 0) ::_close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) ::DeleteFileW(Widen(m_temp).c_str());
    m_temp.clear();
}

// No links and no devices to care for here: the temporary file beside the target is moved
// over it, with the move written through before it returns.
bool AtomicFile::Open(const std::string& path) {
    Discard();
    m_failed = false;
    m_inPlace = false;
    m_truncateOnCommit = false;
    m_written = 0;
    m_target = path;
    const DWORD attributes = ::GetFileAttributesW(Widen(m_target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            errno = EISDIR;
            return false;
        }
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            errno = EACCES;
            return false;
        }
    }
    for (unsigned attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const std::string temp =
            m_target + ".tmp" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(attempt);
        m_fd = OpenNew(temp);
        if (m_fd >= 0) m_temp = temp;
        if (m_fd < 0 && errno != EEXIST) return false;
    }
    return m_fd >= 0;
}

bool AtomicFile::Write(const std::string& data) {
    if (m_fd < 0 || m_failed) return false;
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t chunk = std::min<std::size_t>(data.size() - done, 1u << 20);
        const int n = ::_write(m_fd, data.data() + done, static_cast<unsigned>(chunk));
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
    const bool synced = !m_failed && ::_commit(m_fd) == 0;
    const bool closed = ::_close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed ||
        !::MoveFileExW(Widen(m_temp).c_str(), Widen(m_target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Discard();
        return false;
    }
    m_temp.clear();
    return true;
}

}  // namespace vela
