#pragma once

#include <mutex>
#include <string>

namespace vela {

// The "Rs Mutex": serialises a line's write against the draining of the input queue,
// across threads and across every running instance of the tool. In-process by a
// mutex, between processes by flock() on a lock file in the runtime directory, which
// the kernel releases if a holder dies.
class RsMutex {
  public:
    RsMutex();
    ~RsMutex();
    RsMutex(const RsMutex&) = delete;
    RsMutex& operator=(const RsMutex&) = delete;

    void lock();
    void unlock();

    static std::string LockFilePath();

  private:
    std::mutex m_local;
    int m_fd = -1;  // the lock file; -1 when it cannot be opened (then in-process only)
};

}  // namespace vela
