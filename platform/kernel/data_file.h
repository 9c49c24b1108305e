// Opening the game's data files: only a regular file of a bounded size.
#ifndef QEL_PLATFORM_KERNEL_DATA_FILE_H
#define QEL_PLATFORM_KERNEL_DATA_FILE_H

#include <cstdint>

// Opens `path` for reading when it names a regular file (a symbolic link to
// one is followed) of at most `maxBytes` bytes; returns the descriptor
// (close-on-exec) and stores the file's size in `size`. Otherwise returns -1
// with errno: open's own (ENOENT, EACCES, ELOOP ...), EISDIR for a
// directory, ENODEV for a FIFO, socket or device, EFBIG beyond `maxBytes`.
// Never waits: a FIFO nobody writes is refused at once.
int OpenDataFile(const char* path, uint64_t maxBytes, uint64_t* size);

#endif
