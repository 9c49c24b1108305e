// IDirectSoundBuffer: static secondary buffers, played on the effects device.
#include "dsound_private.h"

#include <SDL.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../audio_device/audio_record.h"
#include "../audio_device/effects_device.h"
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

// The game asks a buffer for no other interface: none is handed out.
HRESULT STDMETHODCALLTYPE SoundBuffer::QueryInterface(REFIID, void** object) {
    *object = nullptr;
    return E_NOINTERFACE;
}

// Locks `bytes` from the start, all in the first part: the game locks its
// static buffer from the write cursor before it first plays, when that
// cursor stands at the start.
HRESULT STDMETHODCALLTYPE SoundBuffer::Lock(DWORD, DWORD bytes, LPVOID* part1,
                                            LPDWORD part1Bytes, LPVOID* part2,
                                            LPDWORD part2Bytes, DWORD) {
    if (bytes > size) return DSERR_INVALIDPARAM;
    *part1 = data;
    *part1Bytes = bytes;
    *part2 = nullptr;
    *part2Bytes = 0;
    return DS_OK;
}

// Starts one play from the beginning; a buffer that is playing goes on
// undisturbed. The priority and the flags are not used.
HRESULT STDMETHODCALLTYPE SoundBuffer::Play(DWORD, DWORD, DWORD) {
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
HRESULT STDMETHODCALLTYPE SoundBuffer::Unlock(LPVOID, DWORD, LPVOID, DWORD) {
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
