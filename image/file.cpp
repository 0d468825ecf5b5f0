// Files are read whole and written through a temporary sibling renamed into place.
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

bool file_read_all(const char* path, std::vector<std::uint8_t>& out) {
    out.clear();
    if (!path || !*path) return false;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 && st.st_size <= INT32_MAX;
    if (ok) {
        try {
            out.resize(static_cast<std::size_t>(st.st_size));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    std::size_t done = 0;
    while (ok && done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;  // the file shrank or could not be read
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!ok) out.clear();
    return ok;
}

bool file_write_atomic(const char* path, const void* data, std::size_t size) {
    if (!path || !*path) return false;
    std::string temp;
    try {
        temp = std::string(path) + ".XXXXXX";
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = file_write_all(fd, static_cast<const std::uint8_t*>(data), size);
    ok = ::fchmod(fd, file_created_mode()) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temp.c_str(), path) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace morvane
