#include <dirent.h>
#include <dlfcn.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>

#include "transport/cameralinkseriallibrary.h"

// Loading the libraries with dlopen and finding the 2000 generation's files (POSIX).
namespace vela {
namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

CameraLinkSerialLibrary::Module::~Module() {
    if (m_handle) ::dlclose(m_handle);
}

bool CameraLinkSerialLibrary::Module::Open(const std::string& file, std::string& error) {
    // RTLD_NOW: a library with unresolved symbols fails here rather than in the middle of a call.
    m_handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* why = ::dlerror();
        error = why ? why : "cannot load " + file;
    }
    return m_handle != nullptr;
}

void* CameraLinkSerialLibrary::Module::Address(const char* name) const {
    ::dlerror();
    return ::dlsym(m_handle, name);
}

void CameraLinkSerialLibrary::Module::Release(void* handle) {
    ::dlclose(handle);
}

std::vector<std::string> CameraLink2000Library::LibraryFiles(const std::string& directory) {
    std::vector<std::string> files;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return files;
    while (const dirent* entry = ::readdir(dir)) {
        if (::fnmatch("libclser*.so", entry->d_name, 0) != 0) continue;
        if (IsDirectory(directory + "/" + entry->d_name)) continue;
        files.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    // Directory order differs between file systems; the remembered index must keep its file.
    std::sort(files.begin(), files.end());
    return files;
}

std::string CameraLink2000Library::DefaultSystemDirectory() {
    return "/usr/lib";
}

std::string CameraLink2000Library::PathIn(const std::string& directory, const std::string& file) {
    return directory + "/" + file;
}

}  // namespace vela
