// IDirectSoundBuffer: static secondary buffers, played on the effects device.
#include "dsound_private.h"

#include <SDL.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../audio_device/audio_record.h"
#include "../audio_device/effects_device.h"
#include "../trace/trace.h"
#include "../audio_device/audio_device.h"

namespace {

std::vector<SoundBuffer*>& LiveBuffers() {
    static std::vector<SoundBuffer*> live;
    return live;
}

} // namespace

SoundBuffer* SoundBuffer::Create(DWORD bytes) {
    uint8_t* data = static_cast<uint8_t*>(calloc(bytes, 1));
    if (!data) return nullptr;
    if (!AudioDeviceAddUser()) {
        free(data);
        return nullptr;
    }
    SoundBuffer* buffer = new SoundBuffer();
    buffer->data = data;
    buffer->size = bytes;
    LiveBuffers().push_back(buffer);
    return buffer;
}

SoundBuffer::~SoundBuffer() {
    // Stop the device's thread from reaching this buffer before it goes.
    EffectsStop(this);
    SDL_free(converted);
    free(data);
    std::vector<SoundBuffer*>& live = LiveBuffers();
    for (size_t i = 0; i < live.size(); ++i) {
        if (live[i] == this) {
            live.erase(live.begin() + long(i));
            break;
        }
    }
    AudioDeviceRemoveUser();
}

// Converts the buffer's bytes to the devices' format.
bool SoundBuffer::Convert() {
    int rate = 0;
    uint16_t format = 0;
    int channels = 0;
    AudioDeviceOutputFormat(&rate, &format, &channels);
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_S16LSB, 2, 11025, format, Uint8(channels),
                          rate) < 0)
        return false;

    // Whole frames only: a trailing partial frame is padded with silence.
    uint64_t length = (uint64_t(size) + 3) / 4 * 4;
    uint64_t capacity = length * uint64_t(cvt.len_mult);
    if (capacity > uint64_t(INT_MAX)) return false;
    uint8_t* samples = static_cast<uint8_t*>(SDL_calloc(size_t(capacity), 1));
    if (!samples) return false;
    memcpy(samples, data, size);
    cvt.buf = samples;
    cvt.len = int(length);
    int convertedLength = cvt.len;
    if (cvt.needed) {
        if (SDL_ConvertAudio(&cvt) != 0) {
            SDL_free(samples);
            return false;
        }
        convertedLength = cvt.len_cvt;
    }

    // A second Unlock replaces the samples of the first.
    EffectsStop(this);
    SDL_free(converted);
    converted = samples;
    convertedBytes = uint32_t(convertedLength);
    return true;
}

bool SoundBuffer::IsPlaying() const {
    return EffectsPlaying(this);
}

uint32_t SoundBuffer::ConvertedBytes() const {
    return convertedBytes;
}

void SoundBuffer::FirstSampleTimes(uint64_t* play, uint64_t* first) const {
    *play = playNs.load();
    *first = firstSampleNs.load();
}

// Hands out IUnknown: the game asks a buffer for no other interface.
HRESULT STDMETHODCALLTYPE SoundBuffer::QueryInterface(REFIID riid,
                                                      void** object) {
    TRACE(TRACE_DSOUND, "riid=%s", TraceGuid(riid).c_str());
    return AnswerQuery(riid, object, TRACE_DSOUND, "IDirectSoundBuffer", {});
}

// Locks `bytes` from `offset`, or from the write cursor, or the whole
// buffer; a range past the end goes on at the start, in the second part.
// The write cursor of a stopped buffer stands where its play stopped, the
// start here (a Play always starts there); that of a playing one runs ahead
// of the play and is not stood in for (DSERR_INVALIDCALL).
HRESULT STDMETHODCALLTYPE SoundBuffer::Lock(DWORD offset, DWORD bytes,
                                            LPVOID* part1, LPDWORD part1Bytes,
                                            LPVOID* part2, LPDWORD part2Bytes,
                                            DWORD flags) {
    TRACE(TRACE_DSOUND, "offset=%u bytes=%u flags=0x%x", (unsigned)offset,
          (unsigned)bytes, (unsigned)flags);
    if (flags & ~DWORD(DSBLOCK_FROMWRITECURSOR | DSBLOCK_ENTIREBUFFER)) {
        FIXME(TRACE_DSOUND, "flags=0x%x", (unsigned)flags);
        return DSERR_INVALIDPARAM;
    }
    if (flags & DSBLOCK_FROMWRITECURSOR) {
        if (IsPlaying()) {
            FIXME(TRACE_DSOUND, "the write cursor of a playing buffer");
            return DSERR_INVALIDCALL;
        }
        offset = 0;
    }
    if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (bytes == 0 || bytes > size || offset >= size) return DSERR_INVALIDPARAM;
    DWORD first = bytes < size - offset ? bytes : size - offset;
    *part1 = data + offset;
    *part1Bytes = first;
    if (part2) *part2 = bytes > first ? data : nullptr;
    if (part2Bytes) *part2Bytes = bytes - first;
    if (bytes > first && !(part2 && part2Bytes)) return DSERR_INVALIDPARAM;
    return DS_OK;
}

// Starts one play from the beginning; a buffer that is playing goes on
// undisturbed. The priority means nothing to a buffer not deferred; a
// looping play is not stood in for (DSERR_INVALIDPARAM).
HRESULT STDMETHODCALLTYPE SoundBuffer::Play(DWORD reserved, DWORD priority,
                                            DWORD flags) {
    TRACE(TRACE_DSOUND, "reserved=%u priority=%u flags=0x%x",
          (unsigned)reserved, (unsigned)priority, (unsigned)flags);
    if (flags) {
        FIXME(TRACE_DSOUND, "flags=0x%x: only a single play", (unsigned)flags);
        return DSERR_INVALIDPARAM;
    }
    const IDirectSoundBuffer* self = this;
    if (IsPlaying()) {
        AudioRecordEvent(AUDIO_EVENT_BUFFER_PLAY, self, false);
        return DS_OK;
    }
    if (!converted) return DSERR_INVALIDCALL;
    if (AudioRecording()) {
        firstSampleNs.store(0);
        playNs.store(AudioNowNs());
    }
    if (!EffectsPlay(this, converted, convertedBytes, &firstSampleNs))
        return DSERR_INVALIDCALL;
    AudioRecordEvent(AUDIO_EVENT_BUFFER_PLAY, self, true);
    return DS_OK;
}

// Ends the lock and converts the buffer's bytes for the mixer.
HRESULT STDMETHODCALLTYPE SoundBuffer::Unlock(LPVOID part1, DWORD part1Bytes,
                                              LPVOID part2, DWORD part2Bytes) {
    TRACE(TRACE_DSOUND, "part1=%p bytes1=%u part2=%p bytes2=%u", part1,
          (unsigned)part1Bytes, part2, (unsigned)part2Bytes);
    return Convert() ? DS_OK : DSERR_OUTOFMEMORY;
}

int SoundBufferLiveCount() {
    return int(LiveBuffers().size());
}

SoundBuffer* SoundBufferFromInterface(IDirectSoundBuffer* buffer) {
    for (SoundBuffer* live : LiveBuffers())
        if (static_cast<IDirectSoundBuffer*>(live) == buffer) return live;
    return nullptr;
}
