#include <windows.h>

#include <atomic>
#include <cstdio>

#include "platform/win32text.h"
#include "transport/rsmutex.h"

namespace vela {

// Created, not owned; every instance of the tool opens the same one by its name. A holder
// that dies leaves it abandoned, and the next wait takes it over.
RsMutex::RsMutex() : m_handle(::CreateMutexW(nullptr, FALSE, L"Rs Mutex")) {
    static std::atomic<bool> told{false};
    if (!m_handle && !told.exchange(true)) {
        std::fprintf(stderr,
                     "vela: cannot create the mutex \"Rs Mutex\" (%s): writes are serialised within this "
                     "process only\n",
                     SystemErrorText(::GetLastError()).c_str());
    }
}

RsMutex::~RsMutex() {
    if (m_handle) ::CloseHandle(m_handle);
}

void RsMutex::lock() {
    m_local.lock();
    if (m_handle) ::WaitForSingleObject(m_handle, INFINITE);
}

void RsMutex::unlock() {
    if (m_handle) ::ReleaseMutex(m_handle);
    m_local.unlock();
}

}  // namespace vela
