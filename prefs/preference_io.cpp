#include "prefs/preference_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace morvane {

namespace {

// Preference files are a few hundred bytes; anything near this size is not one.
constexpr std::size_t MaxFileSize = std::size_t{64} << 20;

// Opens path for reading (and writing), refusing anything but a regular file. Non-blocking while
// opening, so that a FIFO of that name cannot hang the caller.
int open_regular(const std::string& path, int access) {
    const int fd = ::open(path.c_str(), access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a write-back replaces: the target of a symbolic link, so that the link survives.
std::string replacement_target(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

// Everything up to and including the last separator: a new name appended to it lies in the
// same directory as path.
std::string directory_prefix(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

void sync_directory(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

PreferenceOpenResult preference_open_file(const std::string& path, int& fd, bool& read_only) {
    read_only = false;
    fd = open_regular(path, O_RDWR);
    if (fd >= 0) return PreferenceOpenResult::Opened;
    fd = open_regular(path, O_RDONLY);
    if (fd >= 0) {
        read_only = true;
        return PreferenceOpenResult::Opened;
    }
    return errno == ENOENT ? PreferenceOpenResult::Missing : PreferenceOpenResult::Failed;
}

bool preference_read_file(int fd, std::string& bytes) {
    bytes.clear();
    if (::lseek(fd, 0, SEEK_SET) != 0) return false;
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) return true;
        if (bytes.size() + static_cast<std::size_t>(got) > MaxFileSize) return false;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

int preference_create_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return -1;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

bool preference_may_replace(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno == ENOENT;
    ::close(fd);
    return true;
}

int preference_replace_file(const std::string& path, std::string_view text) {
    const std::string target = replacement_target(path);
    struct stat old {};
    const bool have_old = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    // A fresh name beside the target; created with 0666 so that a new file gets the usual
    // permissions under the process's umask.
    static unsigned counter = 0;
    const std::string prefix =
        directory_prefix(target) + ".morvane-prefs-" + std::to_string(::getpid()) + "-";
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = prefix + std::to_string(counter++) + ".tmp";
        fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno != EEXIST) return -1;
    }
    if (fd < 0) return -1;

    bool ok = write_all(fd, text);
    if (ok && have_old) {
        // Best effort: keep the old file's owner and permissions.
        [[maybe_unused]] const int owner_kept = ::fchown(fd, old.st_uid, old.st_gid);
        [[maybe_unused]] const int mode_kept = ::fchmod(fd, old.st_mode & 07777);
    }
    ok = ok && ::fsync(fd) == 0 && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        ::close(fd);
        return -1;
    }
    sync_directory(target);
    return fd;
}

void preference_close_file(int fd) {
    if (fd >= 0) ::close(fd);
}

}  // namespace morvane
