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

namespace {

struct MmioFile {
    FILE* file;
    uint64_t size;     // taken at open: the file is only read
    uint64_t position; // of the next byte mmioRead returns
};

int openHandles = 0;
int openCalls = 0;

MmioFile* FromHandle(HMMIO mmio) {
    return reinterpret_cast<MmioFile*>(mmio);
}

uint32_t ReadLe32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 |
           uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

bool SeekTo(MmioFile* mmio, uint64_t position) {
    if (position == mmio->position) return true;
    if (position > uint64_t(INT64_MAX)) return false;
    if (fseeko(mmio->file, off_t(position), SEEK_SET) != 0) return false;
    mmio->position = position;
    return true;
}

uint64_t BytesLeft(const MmioFile* mmio) {
    return mmio->position < mmio->size ? mmio->size - mmio->position : 0;
}

// Reads up to `count` bytes from the current position, never past the end.
uint64_t ReadBytes(MmioFile* mmio, void* buffer, uint64_t count) {
    uint64_t left = BytesLeft(mmio);
    if (count > left) count = left;
    if (count == 0) return 0;
    size_t got = fread(buffer, 1, size_t(count), mmio->file);
    mmio->position += got;
    return got;
}

bool ReadExactly(MmioFile* mmio, void* buffer, uint64_t count) {
    return ReadBytes(mmio, buffer, count) == count;
}

bool ChunkMatches(UINT flags, const MMCKINFO* wanted, FOURCC id, FOURCC type) {
    if (flags & MMIO_FINDRIFF)
        return id == FOURCC_RIFF && type == wanted->fccType;
    if (flags & MMIO_FINDLIST)
        return id == FOURCC_LIST && type == wanted->fccType;
    if (flags & MMIO_FINDCHUNK) return id == wanted->ckid;
    return true;
}

} // namespace

int MmioOpenHandles() {
    return openHandles;
}
int MmioOpenCalls() {
    return openCalls;
}
void MmioResetCounters() {
    openCalls = 0;
}

// Opens a regular file of at most kMmioMaxFileBytes for buffered reading;
// writing modes are not provided.
HMMIO WINAPI mmioOpenA(LPSTR fileName, LPMMIOINFO, DWORD flags) {
    ++openCalls;
    const DWORD accessMask = 0x3; // MMIO_WRITE, MMIO_READWRITE
    if (!fileName || (flags & accessMask) != MMIO_READ) return nullptr;

    uint64_t size = 0;
    int fd = OpenDataFile(fileName, kMmioMaxFileBytes, &size);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, "rb");
    if (!file) {
        close(fd);
        return nullptr;
    }
    setvbuf(file, nullptr, _IOFBF, MMIO_DEFAULTBUFFER);

    MmioFile* mmio = new MmioFile{file, size, 0};
    ++openHandles;
    return reinterpret_cast<HMMIO>(mmio);
}

// Closes the file and frees the handle.
MMRESULT WINAPI mmioClose(HMMIO handle, UINT) {
    MmioFile* mmio = FromHandle(handle);
    if (!mmio) return MMSYSERR_INVALHANDLE;
    fclose(mmio->file);
    delete mmio;
    --openHandles;
    return MMSYSERR_NOERROR;
}

// Reads up to `count` bytes; returns the bytes read, 0 at the end, -1 on error.
LONG WINAPI mmioRead(HMMIO handle, HPSTR buffer, LONG count) {
    MmioFile* mmio = FromHandle(handle);
    if (!mmio || count < 0 || (!buffer && count > 0)) return -1;
    uint64_t got = ReadBytes(mmio, buffer, uint64_t(count));
    if (got == 0 && count > 0 && ferror(mmio->file)) return -1;
    return LONG(got);
}

// Moves the position; returns the new position, or -1.
LONG WINAPI mmioSeek(HMMIO handle, LONG offset, int origin) {
    MmioFile* mmio = FromHandle(handle);
    if (!mmio) return -1;
    int64_t base;
    switch (origin) {
    case SEEK_SET:
        base = 0;
        break;
    case SEEK_CUR:
        base = int64_t(mmio->position);
        break;
    case SEEK_END:
        base = int64_t(mmio->size);
        break;
    default:
        return -1;
    }
    int64_t target = base + offset;
    if (target < 0 || target > INT32_MAX) return -1;
    if (!SeekTo(mmio, uint64_t(target))) return -1;
    return LONG(target);
}

// Finds a chunk from the current position (MMIO_FINDRIFF: a RIFF form of
// chunk->fccType; MMIO_FINDCHUNK: a chunk of chunk->ckid), passing over
// others with their pad byte and staying inside `parent`. The file is left
// at the chunk's data, after the form or list type.
MMRESULT WINAPI mmioDescend(HMMIO handle, LPMMCKINFO chunk,
                            const MMCKINFO* parent, UINT flags) {
    MmioFile* mmio = FromHandle(handle);
    if (!mmio) return MMSYSERR_INVALHANDLE;
    if (!chunk) return MMSYSERR_INVALPARAM;

    uint64_t end = mmio->size;
    if (parent) {
        uint64_t parentEnd = uint64_t(parent->dwDataOffset) + parent->cksize;
        if (parentEnd < end) end = parentEnd;
    }

    // Every pass moves `at` forward by at least a header, so this ends.
    uint64_t at = mmio->position;
    for (;;) {
        if (at + 8 > end || !SeekTo(mmio, at)) return MMIOERR_CHUNKNOTFOUND;
        uint8_t header[12];
        if (!ReadExactly(mmio, header, 8)) return MMIOERR_CHUNKNOTFOUND;
        FOURCC id = ReadLe32(header);
        DWORD size = ReadLe32(header + 4);
        uint64_t dataOffset = at + 8;

        bool hasType = id == FOURCC_RIFF || id == FOURCC_LIST;
        FOURCC type = 0;
        if (hasType) {
            if (dataOffset + 4 > end || !ReadExactly(mmio, header + 8, 4))
                return MMIOERR_CHUNKNOTFOUND;
            type = ReadLe32(header + 8);
        }

        if (ChunkMatches(flags, chunk, id, type)) {
            if (dataOffset > UINT32_MAX) return MMIOERR_CHUNKNOTFOUND;
            chunk->ckid = id;
            chunk->cksize = size;
            if (hasType) chunk->fccType = type;
            chunk->dwDataOffset = DWORD(dataOffset);
            chunk->dwFlags = 0;
            return MMSYSERR_NOERROR;
        }
        at = dataOffset + size + (size & 1);
    }
}

// Moves to the end of the chunk, past its pad byte.
MMRESULT WINAPI mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT) {
    MmioFile* mmio = FromHandle(handle);
    if (!mmio) return MMSYSERR_INVALHANDLE;
    if (!chunk) return MMSYSERR_INVALPARAM;
    uint64_t end =
        uint64_t(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    if (!SeekTo(mmio, end)) return MMIOERR_CANNOTSEEK;
    return MMSYSERR_NOERROR;
}
