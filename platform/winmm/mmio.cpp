// winmm multimedia file I/O over stdio: buffered reading of RIFF files.
//
// Chunk sizes come from the file and are not trusted: every read is cut at
// the end of the file, and a chunk search never looks past its parent's end
// or past the end of the file.
#include <mmsystem.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "../kernel/data_file.h"
#include "mmio_private.h"

#include "../trace/trace.h"

namespace {

struct MmioFile {
    FILE* file;
    uint64_t size;     // taken at open: the file is only read
    uint64_t position; // of the next byte mmioRead returns
};

int openHandles = 0;

MmioFile* FromHandle(HMMIO mmio) {
    return reinterpret_cast<MmioFile*>(mmio);
}

uint32_t ReadLe32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 |
           uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

bool SeekTo(MmioFile* mmio, uint64_t position) {
    if (position == mmio->position) return true;
    if (fseeko(mmio->file, off_t(position), SEEK_SET) != 0) return false;
    mmio->position = position;
    return true;
}

// Reads up to `count` bytes from the current position, never past the end.
uint64_t ReadBytes(MmioFile* mmio, void* buffer, uint64_t count) {
    uint64_t left =
        mmio->position < mmio->size ? mmio->size - mmio->position : 0;
    if (count > left) count = left;
    if (count == 0) return 0;
    size_t got = fread(buffer, 1, size_t(count), mmio->file);
    mmio->position += got;
    return got;
}

} // namespace

int MmioOpenHandles() {
    return openHandles;
}

// Opens a regular file of at most kMmioMaxFileBytes for buffered reading;
// writing, and the options an MMIOINFO gives, are not stood in for.
HMMIO WINAPI mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags) {
    TRACE(TRACE_WINMM, "file=\"%s\" info=%p flags=0x%x",
          fileName ? fileName : "(nil)", (void*)info, (unsigned)flags);
    if (info || (flags & ~DWORD(MMIO_READ | MMIO_ALLOCBUF))) {
        FIXME(TRACE_WINMM, "info=%p flags=0x%x: buffered reading only",
              (void*)info, (unsigned)flags);
        return nullptr;
    }
    if (!fileName) return nullptr;
    uint64_t size = 0;
    int fd = OpenDataFile(fileName, kMmioMaxFileBytes, &size);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, "rb");
    if (!file) {
        close(fd);
        return nullptr;
    }
    setvbuf(file, nullptr, _IOFBF, MMIO_DEFAULTBUFFER);
    ++openHandles;
    return reinterpret_cast<HMMIO>(new MmioFile{file, size, 0});
}

// Closes the file and frees the handle.
MMRESULT WINAPI mmioClose(HMMIO handle, UINT flags) {
    TRACE(TRACE_WINMM, "handle=%p flags=0x%x", (void*)handle, (unsigned)flags);
    MmioFile* mmio = FromHandle(handle);
    fclose(mmio->file);
    delete mmio;
    --openHandles;
    return MMSYSERR_NOERROR;
}

// Reads up to `count` bytes; returns the bytes read, 0 at the end, -1 for a
// negative count.
LONG WINAPI mmioRead(HMMIO handle, HPSTR buffer, LONG count) {
    TRACE(TRACE_WINMM, "handle=%p buffer=%p count=%d", (void*)handle,
          (void*)buffer, (int)count);
    if (count < 0) return -1;
    return LONG(ReadBytes(FromHandle(handle), buffer, uint64_t(count)));
}

// Moves the position; returns the new position, or -1.
LONG WINAPI mmioSeek(HMMIO handle, LONG offset, int origin) {
    TRACE(TRACE_WINMM, "handle=%p offset=%d origin=%d", (void*)handle,
          (int)offset, origin);
    MmioFile* mmio = FromHandle(handle);
    int64_t base = origin == SEEK_CUR   ? int64_t(mmio->position)
                   : origin == SEEK_END ? int64_t(mmio->size)
                                        : 0;
    int64_t target = base + offset;
    if (target < 0 || !SeekTo(mmio, uint64_t(target))) return -1;
    return LONG(target);
}

// Finds a chunk from the current position (MMIO_FINDRIFF: a RIFF form of
// chunk->fccType; MMIO_FINDCHUNK: a chunk of chunk->ckid), passing over
// others with their pad byte and staying inside `parent`. The file is left
// at the chunk's data, after a form's type.
MMRESULT WINAPI mmioDescend(HMMIO handle, LPMMCKINFO chunk,
                            const MMCKINFO* parent, UINT flags) {
    TRACE(TRACE_WINMM, "handle=%p chunk=%p parent=%p flags=0x%x", (void*)handle,
          (void*)chunk, (const void*)parent, (unsigned)flags);
    if (flags != MMIO_FINDCHUNK && flags != MMIO_FINDRIFF) {
        FIXME(TRACE_WINMM, "flags=0x%x: a RIFF form or a chunk by its id only",
              (unsigned)flags);
        return MMIOERR_CHUNKNOTFOUND;
    }
    MmioFile* mmio = FromHandle(handle);
    uint64_t end = mmio->size;
    if (parent && uint64_t(parent->dwDataOffset) + parent->cksize < end)
        end = uint64_t(parent->dwDataOffset) + parent->cksize;
    bool form = flags & MMIO_FINDRIFF;
    uint64_t headerBytes = form ? 12 : 8; // a form's type is read with it

    // Every pass moves `at` forward by at least a header, so this ends.
    for (uint64_t at = mmio->position;;) {
        uint8_t header[12];
        if (at + headerBytes > end || !SeekTo(mmio, at) ||
            ReadBytes(mmio, header, headerBytes) != headerBytes)
            return MMIOERR_CHUNKNOTFOUND;
        FOURCC id = ReadLe32(header);
        DWORD size = ReadLe32(header + 4);
        if (form ? id == FOURCC_RIFF && ReadLe32(header + 8) == chunk->fccType
                 : id == chunk->ckid) {
            chunk->ckid = id;
            chunk->cksize = size;
            chunk->dwDataOffset = DWORD(at + 8);
            chunk->dwFlags = 0;
            return MMSYSERR_NOERROR;
        }
        at += 8 + uint64_t(size) + (size & 1);
    }
}

// Moves to the end of the chunk, past its pad byte.
MMRESULT WINAPI mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT flags) {
    TRACE(TRACE_WINMM, "handle=%p chunk=%p flags=0x%x", (void*)handle,
          (void*)chunk, (unsigned)flags);
    uint64_t end =
        uint64_t(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    return SeekTo(FromHandle(handle), end) ? MMSYSERR_NOERROR
                                           : MMIOERR_CANNOTSEEK;
}
