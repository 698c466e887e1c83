#include <windows.h>

#include <algorithm>

#include "platform/win32text.h"
#include "transport/cameralinkseriallibrary.h"

// Loading the libraries with LoadLibraryW and finding the 2000 generation's files in the
// Windows system directory.
namespace vela {

CameraLinkSerialLibrary::Module::~Module() {
    if (m_handle) ::FreeLibrary(static_cast<HMODULE>(m_handle));
}

bool CameraLinkSerialLibrary::Module::Open(const std::string& file, std::string& error) {
    // No "cannot find the library" box from the system: a missing library is a failed load.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    m_handle = ::LoadLibraryW(Widen(file).c_str());
    const DWORD code = ::GetLastError();
    ::SetErrorMode(oldMode);
    if (!m_handle) error = file + ": " + SystemErrorText(code);
    return m_handle != nullptr;
}

void* CameraLinkSerialLibrary::Module::Address(const char* name) const {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

void CameraLinkSerialLibrary::Module::Release(void* handle) {
    ::FreeLibrary(static_cast<HMODULE>(handle));
}

std::vector<std::string> CameraLink2000Library::LibraryFiles(const std::string& directory) {
    std::vector<std::string> files;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(Widen(PathIn(directory, "clser*.dll")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(Narrow(found.cFileName));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    // The search's order is the file system's; the remembered index must keep its file.
    std::sort(files.begin(), files.end());
    return files;
}

std::string CameraLink2000Library::DefaultSystemDirectory() {
    wchar_t buffer[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? Narrow(std::wstring(buffer, n)) : std::string("C:\\Windows\\System32");
}

std::string CameraLink2000Library::PathIn(const std::string& directory, const std::string& file) {
    return directory + "\\" + file;
}

}  // namespace vela
