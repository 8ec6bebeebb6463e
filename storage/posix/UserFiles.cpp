// The user's files on Linux and other POSIX systems: the XDG data folder, files replaced
// whole through a temporary beside them, and the folder shown through xdg-open.
#include "storage/UserFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace userfiles {

namespace {

// Either strerror_r: the GNU one returns the text, the XSI one fills the buffer.
[[maybe_unused]] const char* pickText(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* pickText(int, const char* buffer) {
    return buffer;
}

std::string systemText(int error) {
    char buffer[256] = "";
    return pickText(::strerror_r(error, buffer, sizeof(buffer)), buffer);
}

// The words for a failure to write in `folder`, plain for the two a user can act on.
std::string writeReason(int error, const std::string& folder) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return kDiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return cannotWrite(folder);
        default:
            return systemText(error);
    }
}

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : _fd(fd) {}
    ~Descriptor() {
        if (_fd >= 0) {
            ::close(_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return _fd; }
    // Closes now; the errno of a failed close, which can be the first word of a full disk.
    int close() {
        const int fd = _fd;
        _fd = -1;
        // Linux closes the descriptor even when interrupted: EINTR is no failure here.
        return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int _fd;
};

// 0, or the errno of the failure.
int writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

// The rename itself reaches the disk only with its folder.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // The file is in place either way; some file systems refuse to sync a folder.
        ::fsync(fd);
        ::close(fd);
    }
}

std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

std::string passwordHome() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return {};
    }
    return found->pw_dir;
}

// The words for a file that cannot be read: the system's own only where no plain ones fit.
std::string readReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "you may not read it";
        case EISDIR:
        case ENXIO:
        case ENODEV:
            return kNotAFile;
        case EIO:
            return "the disk could not read it";
        case ELOOP:
            return "it points to itself";
        default:
            return systemText(error);
    }
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string programsFolder(std::string& error) {
    const std::string data = dataFolder(error);
    return data.empty() ? data : join(data, "programs");
}

std::string dataFolder(std::string& error) {
    std::string data = absoluteVariable("XDG_DATA_HOME");
    if (data.empty()) {
        std::string home = absoluteVariable("HOME");
        if (home.empty()) {
            home = passwordHome();
        }
        if (home.empty()) {
            error = "the system does not tell where your home folder is";
            return {};
        }
        data = join(home, ".local/share");
    }
    return join(data, "zundlecards");
}

bool makeFolder(const std::string& folder, std::string& error) {
    if (isFolder(folder)) {
        return true;
    }
    // Each missing folder from the top down; new ones are private to the user, as the XDG
    // folders are.
    std::size_t end = 0;
    do {
        end = folder.find('/', end + 1);
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            const int failure = errno;
            error = failure == ENOTDIR ? "the folder " + part + " cannot be made there"
                                       : writeReason(failure, parentOf(part));
            return false;
        }
    } while (end != std::string::npos);
    if (!isFolder(folder)) {
        error = "the folder " + folder + " cannot be made there";
        return false;
    }
    return true;
}

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + '/' + name;
}

std::optional<std::string> readWhole(const std::string& path, std::size_t maxBytes, bool& missing,
                                     std::string& error) {
    missing = false;
    // Not blocking: a pipe or device dropped in place of a file must not hold the program.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        missing = errno == ENOENT || errno == ENOTDIR;
        error = readReason(errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        error = readReason(errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = kNotAFile;
        return std::nullopt;
    }
    if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        error = kFileTooBig;
        return std::nullopt;
    }
    std::string text;
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), chunk, sizeof(chunk));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = readReason(errno);
            return std::nullopt;
        }
        if (got == 0) {
            return text;
        }
        text.append(chunk, static_cast<std::size_t>(got));
        // The file may have grown since it was measured.
        if (text.size() > maxBytes) {
            error = kFileTooBig;
            return std::nullopt;
        }
    }
}

bool replaceAtomically(const std::string& path, const std::string& text, std::string& error) {
    static std::atomic<unsigned> s_counter{0};
    const std::string folder = parentOf(path);
    const std::string hiddenName =
        temporaryPrefix(path.substr(path.find_last_of('/') + 1), currentProcess());
    std::string temporary;
    int fd = -1;
    // A name left by an earlier run that ended mid-write is passed over.
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = join(folder, hiddenName + std::to_string(s_counter++));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        error = writeReason(errno, folder);
        return false;
    }
    Descriptor file(fd);
    int failure = writeAll(file.get(), text);
    if (failure == 0 && ::fsync(file.get()) != 0) {
        failure = errno;
    }
    const int closeFailure = file.close();
    if (failure == 0) {
        failure = closeFailure;
    }
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(temporary.c_str());
        error = failure == EISDIR || failure == ENOTEMPTY || failure == EEXIST
                    ? std::string("a folder of that name is in the way")
                    : writeReason(failure, folder);
        return false;
    }
    syncFolder(folder);
    return true;
}

std::optional<std::time_t> modifiedAt(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return info.st_mtime;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(listing);
    return names;
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool moveOver(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    syncFolder(parentOf(to));
    return true;
}

long currentProcess() {
    return static_cast<long>(::getpid());
}

bool processRuns(long process) {
    // EPERM: it runs, as another user's.
    return process > 0 && (::kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM);
}

bool openInFileManager(const std::string& folder, std::string& error) {
    // xdg-open may wait for the file manager it starts or end at once, as the desktop has
    // it. A shell starts it in the background and ends at once, so that its one child is
    // reaped here and the file manager runs on as nobody's child of ours.
    static const char kScript[] =
        "command -v xdg-open >/dev/null 2>&1 || exit 127\n"
        "xdg-open \"$1\" &\n";
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    // The program ignores SIGPIPE and blocks signals in some threads; the child gets neither.
    ::posix_spawnattr_init(&attributes);
    sigset_t all;
    sigset_t none;
    ::sigfillset(&all);
    ::sigemptyset(&none);
    ::posix_spawnattr_setsigdefault(&attributes, &all);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::string script = kScript;
    std::string shellName = "sh";
    std::string argument = folder;
    std::string commandSwitch = "-c";
    char* arguments[] = {shellName.data(), commandSwitch.data(), script.data(),
                         shellName.data(), argument.data(),      nullptr};
    pid_t pid = -1;
    const int started = ::posix_spawn(&pid, "/bin/sh", &actions, &attributes, arguments, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    if (started != 0) {
        error = "no shell to open the folder with: " + systemText(started);
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "xdg-open, which shows folders, is not installed";
        return false;
    }
    return true;
}

}  // namespace userfiles
