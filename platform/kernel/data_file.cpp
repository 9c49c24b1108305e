// Data files are opened here and nowhere else. A name may stand for anything
// the file system holds: a FIFO that nobody writes blocks a plain open for
// good, a device such as /dev/zero never ends, and a sparse file claims
// gigabytes it doesn't hold. What the game reads must be a regular file no
// larger than a file of its kind can be.
#include "data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The errno for a name that is there but holds no data to read.
int NotAFile(const struct stat& status) {
    return S_ISDIR(status.st_mode) ? EISDIR : ENODEV;
}

} // namespace

int OpenDataFile(const char* path, uint64_t maxBytes, uint64_t* size) {
    // Looked at before it is opened: opening a device can act on it (a
    // terminal becomes ours, a tape rewinds), and a FIFO needn't be opened to
    // be refused.
    struct stat status;
    if (stat(path, &status) != 0) return -1;
    if (!S_ISREG(status.st_mode)) {
        errno = NotAFile(status);
        return -1;
    }
    if (uint64_t(status.st_size) > maxBytes) {
        errno = EFBIG;
        return -1;
    }
    // The name may stand for something else by now: O_NONBLOCK keeps a FIFO
    // from stalling the open, and the descriptor's own fstat decides.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    int error = 0;
    if (fstat(fd, &status) != 0)
        error = errno;
    else if (!S_ISREG(status.st_mode))
        error = NotAFile(status);
    else if (uint64_t(status.st_size) > maxBytes)
        error = EFBIG;
    else {
        // Reads from a regular file never wait anyway; this only makes the
        // descriptor an ordinary one.
        int flags = fcntl(fd, F_GETFL);
        if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
            error = errno;
    }
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    *size = uint64_t(status.st_size);
    return fd;
}
