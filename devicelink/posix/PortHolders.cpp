#include "devicelink/posix/PortHolders.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace devicelink::platform {

namespace {

struct DirCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

// A whole decimal number, or -1.
long parseNumber(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 9) {
        return -1;
    }
    return std::strtol(text.c_str(), nullptr, 10);
}

std::string readLink(const std::string& path) {
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof(target));
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof(target)) {
        return "";
    }
    return std::string(target, static_cast<std::size_t>(length));
}

// Whether one of the process's descriptors is the device. Only descriptors that name
// something below /dev are looked at closer: stat on a descriptor of a network file
// could wait on a server that no longer answers.
bool hasDeviceOpen(const std::string& process, dev_t device) {
    const std::string folder = process + "/fd";
    DirPtr descriptors(::opendir(folder.c_str()));
    if (!descriptors) {
        return false;  // gone meanwhile, or another user's and we may not look
    }
    while (const dirent* item = ::readdir(descriptors.get())) {
        const std::string link = folder + "/" + item->d_name;
        if (readLink(link).compare(0, 5, "/dev/") != 0) {
            continue;
        }
        struct stat info {};
        if (::stat(link.c_str(), &info) == 0 && S_ISCHR(info.st_mode) && info.st_rdev == device) {
            return true;
        }
    }
    return false;
}

pid_t findOpener(dev_t device) {
    DirPtr processes(::opendir("/proc"));
    if (!processes) {
        return -1;
    }
    const pid_t self = ::getpid();
    while (const dirent* item = ::readdir(processes.get())) {
        const long pid = parseNumber(item->d_name);
        if (pid > 0 && pid != self && hasDeviceOpen(std::string("/proc/") + item->d_name, device)) {
            return static_cast<pid_t>(pid);
        }
    }
    return -1;
}

bool isRunning(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// The process a lock file for the port names, if it still runs. Lock files hold the
// process id in decimal, padded with blanks; one naming a process that has ended was
// left behind by a crash and is ignored, as the programs that make them do.
pid_t findLocker(const std::string& name, const std::vector<std::string>& folders) {
    const std::string lockName = "LCK.." + name.substr(name.rfind('/') + 1);
    for (const std::string& folder : folders) {
        std::ifstream file(folder + "/" + lockName);
        long pid = -1;
        if (!(file >> pid) || pid <= 0 || pid > 0x7fffffffL) {
            continue;
        }
        if (static_cast<pid_t>(pid) != ::getpid() && isRunning(static_cast<pid_t>(pid))) {
            return static_cast<pid_t>(pid);
        }
    }
    return -1;
}

}  // namespace

const std::vector<std::string>& defaultLockFolders() {
    static const std::vector<std::string> folders = {"/var/lock", "/run/lock"};
    return folders;
}

bool findPortHolder(const std::string& name, dev_t device,
                    const std::vector<std::string>& lockFolders, std::string& holder) {
    holder.clear();
    pid_t pid = findOpener(device);
    if (pid < 0) {
        pid = findLocker(name, lockFolders);
    }
    if (pid < 0) {
        return false;
    }
    holder = describeProcess(pid);
    return true;
}

std::string describeProcess(pid_t pid) {
    const std::string id = std::to_string(pid);
    std::string command;
    std::ifstream comm("/proc/" + id + "/comm");
    std::getline(comm, command);
    if (command.empty()) {
        return "process " + id;
    }
    return command + " (process " + id + ")";
}

}  // namespace devicelink::platform
