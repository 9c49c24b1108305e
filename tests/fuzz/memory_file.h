// The fuzz input as a file the code under test opens by name: a memfd,
// reached through its /proc/self/fd name, rewritten for every input.
#ifndef QEL_TESTS_FUZZ_MEMORY_FILE_H
#define QEL_TESTS_FUZZ_MEMORY_FILE_H

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The file's name, or null when it could not be written.
inline const char* WriteMemoryFile(const uint8_t* data, size_t size) {
    static int memoryFile = -1;
    static char fileName[64];
    if (memoryFile < 0) {
        memoryFile = memfd_create("fuzz-input", MFD_CLOEXEC);
        if (memoryFile < 0) return nullptr;
        snprintf(fileName, sizeof(fileName), "/proc/self/fd/%d", memoryFile);
    }
    if (ftruncate(memoryFile, 0) != 0) return nullptr;
    size_t written = 0;
    while (written < size) {
        ssize_t now =
            pwrite(memoryFile, data + written, size - written, off_t(written));
        if (now <= 0) return nullptr;
        written += size_t(now);
    }
    return fileName;
}

#endif
