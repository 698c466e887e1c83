#include "transport/portholders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vela {
namespace {

namespace fs = std::filesystem;

// "3" for /dev/pts/3; empty for anything that is not a pseudo-terminal's slave.
std::string PtyIndex(const std::string& device) {
    const std::string prefix = "/dev/pts/";
    if (device.compare(0, prefix.size(), prefix) != 0) return {};
    const std::string index = device.substr(prefix.size());
    if (index.empty() || index.find_first_not_of("0123456789") != std::string::npos) return {};
    return index;
}

std::string ProgramName(const fs::path& process) {
    std::ifstream comm(process / "comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "?" : name;
}

// True when the process's descriptor `fd` is a pseudo-terminal master whose slave is
// number `index` (the kernel says so in the descriptor's fdinfo).
bool IsMasterOf(const fs::path& process, const std::string& fd, const std::string& index) {
    std::ifstream info(process / "fdinfo" / fd);
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("tty-index:", 0) == 0) return line.substr(line.find_first_not_of(" \t", 10)) == index;
    }
    return false;
}

}  // namespace

std::vector<PortHolder> PortHolders(const std::string& path) {
    std::vector<PortHolder> holders;
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) return holders;
    std::error_code ec;
    const std::string index = PtyIndex(fs::canonical(path, ec).string());
    for (const fs::directory_entry& process : fs::directory_iterator("/proc", ec)) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        bool holds = false;
        bool farEnd = false;
        std::error_code fdError;
        // Another user's descriptors are not ours to see; that process goes unnamed.
        for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
            struct stat target {};
            if (::stat(fd.path().c_str(), &target) != 0 || !S_ISCHR(target.st_mode)) continue;
            if (target.st_rdev == device.st_rdev) holds = true;
            if (!index.empty() && IsMasterOf(process.path(), fd.path().filename().string(), index))
                farEnd = true;
        }
        if (holds && !farEnd) holders.push_back({std::atoi(pid.c_str()), ProgramName(process.path())});
    }
    return holders;
}

std::string BusyReason(const std::string& path) {
    const std::vector<PortHolder> holders = PortHolders(path);
    if (holders.empty()) {
        std::error_code ec;
        const bool pty = !PtyIndex(fs::canonical(path, ec).string()).empty();
        return std::string("no running program has it open, but one that ended left it exclusive; ") +
               (pty ? "restart the program at its other end (the simulated camera)"
                    : "unplug and replug the adapter");
    }
    std::string text = "held by ";
    for (std::size_t i = 0; i < holders.size(); ++i) {
        text += (i == 0 ? "" : "; ") + holders[i].program + ", pid " + std::to_string(holders[i].pid);
    }
    return text;
}

}  // namespace vela
