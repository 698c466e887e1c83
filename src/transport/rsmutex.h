#pragma once

#include <mutex>
#include <string>

namespace vela {

// The "Rs Mutex": serialises a line's write against the draining of the input queue,
// across threads and across every running instance of the tool. In-process by a
// mutex; between processes by flock() on a lock file in the runtime directory, which
// the kernel releases if a holder dies (Linux), or by the named mutex itself (Windows).
class RsMutex {
  public:
    RsMutex();
    ~RsMutex();
    RsMutex(const RsMutex&) = delete;
    RsMutex& operator=(const RsMutex&) = delete;

    void lock();
    void unlock();

#ifdef _WIN32
  private:
    std::mutex m_local;
    void* m_handle = nullptr;  // the named mutex; null when it cannot be made (then in-process only)
#else
    static std::string LockFilePath();

  private:
    std::mutex m_local;
    int m_fd = -1;  // the lock file; -1 when it cannot be opened (then in-process only)
#endif
};

}  // namespace vela
