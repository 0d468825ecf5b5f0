// Files are read whole and written through a temporary sibling of their real target (links
// followed) that gets the target's mode and group and is renamed into place.
#include "image/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace morvane {

// The wording of a system error, shared by reading and writing.
std::string file_error_text(int code) {
    switch (code) {
        case ENOENT:
            return "no such file";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EISDIR:
            return "it is a folder";
        case ELOOP:
            return "too many levels of symbolic links";
        case EROFS:
            return "the file system is read-only";
        case ENOSPC:
            return "no space left on the device";
        case ENOMEM:
            return "not enough memory";
        case EFBIG:
            return "the file is larger than 2 GB";
        case EINVAL:
            return "it is not a regular file";
        case EIO:
            return "the file could not be read";
        default:
            return std::strerror(code);
    }
}

namespace {

// Links followed before giving up, as the kernel's own limit.
constexpr int MaxLinkHops = 40;

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows the symbolic links of `path` to the file that is really written. `st` receives the
// target's status when it exists.
std::string resolve_target(const std::string& path, std::string* target, bool* exists, struct stat* st) {
    std::string p = path;
    for (int hops = 0;; ++hops) {
        if (::lstat(p.c_str(), st) != 0) {
            if (errno != ENOENT)
                return errno == ENOTDIR ? "no folder " + folder_of(p) : file_error_text(errno);
            *exists = false;
            break;
        }
        if (!S_ISLNK(st->st_mode)) {
            *exists = true;
            break;
        }
        if (hops >= MaxLinkHops) return file_error_text(ELOOP);
        std::string link(static_cast<std::size_t>(st->st_size > 0 ? st->st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0) return file_error_text(errno);
        if (static_cast<std::size_t>(n) >= link.size()) return "the link " + p + " changed while it was read";
        link.resize(static_cast<std::size_t>(n));
        // A relative link is relative to the folder holding the link.
        p = link.front() == '/' || p.find('/') == std::string::npos ? link : folder_of(p) + "/" + link;
    }
    *target = p;
    return {};
}

std::string write_problem(const std::string& path, std::string* target, bool* exists, struct stat* st) {
    if (path.empty()) return "no file name";
    std::string resolved;
    const std::string problem = resolve_target(path, &resolved, exists, st);
    if (!problem.empty()) return problem;
    const std::string folder = folder_of(resolved);
    struct stat folder_status {};
    if (::stat(folder.c_str(), &folder_status) != 0 || !S_ISDIR(folder_status.st_mode)) {
        return errno == EACCES ? file_error_text(EACCES) : "no folder " + folder;
    }
    if (*exists) {
        if (S_ISDIR(st->st_mode)) return file_error_text(EISDIR);
        if (!S_ISREG(st->st_mode)) return "it is not a regular file";
        if (::faccessat(AT_FDCWD, resolved.c_str(), W_OK, AT_EACCESS) != 0) {
            return errno == EACCES || errno == EPERM ? "the file is read-only (permission denied)"
                                                     : file_error_text(errno);
        }
    }
    // The temporary file and the rename both need the folder.
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return errno == EROFS ? file_error_text(EROFS) : "the folder " + folder + " is not writable";
    }
    *target = resolved;
    return {};
}

}  // namespace

bool file_write_all(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const std::size_t chunk = size < (std::size_t{1} << 30) ? size : (std::size_t{1} << 30);
        const ssize_t n = ::write(fd, data, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Mode a newly created file gets: 0666 minus the process's umask.
mode_t file_created_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

int file_read_whole(const char* path, std::vector<std::uint8_t>& out) {
    out.clear();
    if (!path || !*path) return ENOENT;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    int code = 0;
    if (::fstat(fd, &st) != 0) {
        code = errno;
    } else if (S_ISDIR(st.st_mode)) {
        code = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
        code = EINVAL;
    } else if (st.st_size > INT32_MAX) {
        code = EFBIG;
    }
    if (!code) {
        try {
            out.resize(static_cast<std::size_t>(st.st_size));
        } catch (const std::bad_alloc&) {
            code = ENOMEM;
        }
    }
    std::size_t done = 0;
    while (!code && done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) code = errno;
        if (n == 0) code = EIO;  // the file shrank while it was read
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (code) out.clear();
    return code;
}

bool file_read_all(const char* path, std::vector<std::uint8_t>& out) {
    return file_read_whole(path, out) == 0;
}

std::string file_write_problem(const std::string& path, std::string* target) {
    std::string resolved;
    bool exists = false;
    struct stat st {};
    const std::string problem = write_problem(path, &resolved, &exists, &st);
    if (target) *target = resolved;
    return problem;
}

std::string file_stage(const std::string& path, const void* data, std::size_t size, StagedFile* staged) {
    *staged = StagedFile{};
    std::string target;
    bool exists = false;
    struct stat st {};
    std::string problem = write_problem(path, &target, &exists, &st);
    if (!problem.empty()) return problem;
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return file_error_text(errno);
    int code = 0;
    if (!file_write_all(fd, static_cast<const std::uint8_t*>(data), size)) code = errno ? errno : EIO;
    // Owner and group first: changing them may clear set-id bits that the mode then restores.
    // Only root may give the file to its old owner, and only a member of the group may set
    // the group; elsewhere the writer and the folder's default group stay.
    if (!code && exists && st.st_uid != ::geteuid()) (void)::fchown(fd, st.st_uid, static_cast<gid_t>(-1));
    if (!code && exists && st.st_gid != ::getegid()) (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    if (!code && ::fchmod(fd, exists ? st.st_mode & 07777 : file_created_mode()) != 0) code = errno;
    if (::close(fd) != 0 && !code) code = errno;
    if (code) {
        ::unlink(temp.c_str());
        return file_error_text(code);
    }
    staged->target = target;
    staged->temp = temp;
    return {};
}

std::string file_commit(StagedFile* staged) {
    if (staged->temp.empty()) return "nothing to write";
    if (::rename(staged->temp.c_str(), staged->target.c_str()) != 0) {
        const int code = errno;
        file_discard(staged);
        return file_error_text(code);
    }
    staged->temp.clear();
    return {};
}

void file_discard(StagedFile* staged) {
    if (!staged->temp.empty()) ::unlink(staged->temp.c_str());
    staged->temp.clear();
}

bool file_write_atomic(const char* path, const void* data, std::size_t size, std::string* why) {
    std::string problem;
    StagedFile staged;
    try {
        problem = path ? file_stage(path, data, size, &staged) : "no file name";
        if (problem.empty()) problem = file_commit(&staged);
    } catch (const std::bad_alloc&) {
        file_discard(&staged);
        problem = file_error_text(ENOMEM);
    }
    if (why) *why = problem;
    return problem.empty();
}

}  // namespace morvane
