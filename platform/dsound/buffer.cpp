// IDirectSoundBuffer: static secondary buffers on mixer channels.
#include "dsound_private.h"

#include "../kernel/fault.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio_record.h"
#include "mixer.h"

namespace {

std::vector<SoundBuffer*>& LiveBuffers() {
    static std::vector<SoundBuffer*> live;
    return live;
}

// An effect that changes nothing: it marks when a buffer's samples are mixed.
void SDLCALL NoteMixedEffect(int, void*, int, void* buffer) {
    static_cast<SoundBuffer*>(buffer)->NoteMixed();
}

bool InsideBuffer(const void* part, DWORD bytes, const uint8_t* data,
                  DWORD size) {
    uintptr_t at = reinterpret_cast<uintptr_t>(part);
    uintptr_t start = reinterpret_cast<uintptr_t>(data);
    return at >= start && at - start <= size && bytes <= size - (at - start);
}

} // namespace

SoundBuffer* SoundBuffer::Create(DWORD bytes) {
    uint8_t* data = static_cast<uint8_t*>(calloc(bytes, 1));
    if (!data) return nullptr;
    if (!MixerAddUser()) {
        free(data);
        return nullptr;
    }
    SoundBuffer* buffer = new SoundBuffer();
    buffer->data = data;
    buffer->size = bytes;
    buffer->channel = MixerTakeChannel();
    LiveBuffers().push_back(buffer);
    return buffer;
}

SoundBuffer::~SoundBuffer() {
    // Stop the mixer's thread from reaching this buffer before it goes.
    Mix_HaltChannel(channel);
    Mix_UnregisterAllEffects(channel);
    DropChunk();
    MixerGiveChannel(channel);
    free(data);
    std::vector<SoundBuffer*>& live = LiveBuffers();
    for (size_t i = 0; i < live.size(); ++i) {
        if (live[i] == this) {
            live.erase(live.begin() + long(i));
            break;
        }
    }
    MixerRemoveUser();
}

// Converts the buffer's bytes to the mixer's format into a new chunk.
bool SoundBuffer::Convert() {
    int rate = 0;
    uint16_t format = 0;
    int channels = 0;
    MixerOutputFormat(&rate, &format, &channels);
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

    // Mix_QuickLoad_RAW does not copy: `samples` lives as long as the chunk.
    Mix_Chunk* made = Mix_QuickLoad_RAW(samples, Uint32(convertedLength));
    if (!made) {
        SDL_free(samples);
        return false;
    }
    DropChunk();
    chunk = made;
    converted = samples;
    return true;
}

void SoundBuffer::DropChunk() {
    if (!chunk) return;
    Mix_HaltChannel(channel);
    Mix_FreeChunk(chunk);
    SDL_free(converted);
    chunk = nullptr;
    converted = nullptr;
}

bool SoundBuffer::IsPlaying() const {
    return chunk && Mix_Playing(channel) && Mix_GetChunk(channel) == chunk;
}

uint32_t SoundBuffer::ConvertedBytes() const {
    return chunk ? chunk->alen : 0;
}

void SoundBuffer::NoteMixed() {
    uint64_t none = 0;
    firstSampleNs.compare_exchange_strong(none, AudioNowNs());
}

void SoundBuffer::FirstSampleTimes(uint64_t* play, uint64_t* first) const {
    *play = playNs.load();
    *first = firstSampleNs.load();
}

// Hands out the buffer itself for IUnknown and IDirectSoundBuffer.
HRESULT STDMETHODCALLTYPE SoundBuffer::QueryInterface(REFIID riid,
                                                      void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectSoundBuffer) {
        *object = static_cast<IDirectSoundBuffer*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// Reports DSBSTATUS_PLAYING while the buffer's samples are being played.
HRESULT STDMETHODCALLTYPE SoundBuffer::GetStatus(LPDWORD status) {
    if (!status) return DSERR_INVALIDPARAM;
    *status = IsPlaying() ? DSBSTATUS_PLAYING : 0;
    return DS_OK;
}

// Locks `bytes` from the write cursor (DSBLOCK_FROMWRITECURSOR) or from
// `offset`, wrapping into the second part. A static buffer is written before
// it first plays, so its write cursor stands at its start.
HRESULT STDMETHODCALLTYPE SoundBuffer::Lock(DWORD offset, DWORD bytes,
                                            LPVOID* part1, LPDWORD part1Bytes,
                                            LPVOID* part2, LPDWORD part2Bytes,
                                            DWORD flags) {
    if (!part1 || !part1Bytes) return DSERR_INVALIDPARAM;
    HRESULT fault = TakeFault(FAULT_LOCK);
    if (FAILED(fault)) return fault;
    DWORD start = (flags & DSBLOCK_FROMWRITECURSOR) ? 0 : offset;
    if (start >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;

    DWORD first = bytes < size - start ? bytes : size - start;
    DWORD wrapped = (part2 && part2Bytes) ? bytes - first : 0;
    *part1 = data + start;
    *part1Bytes = first;
    if (part2) *part2 = wrapped ? data : nullptr;
    if (part2Bytes) *part2Bytes = wrapped;
    locked = true;
    return DS_OK;
}

// Starts one play from the beginning; a buffer that is playing goes on
// undisturbed. The priority and the flags are not used.
HRESULT STDMETHODCALLTYPE SoundBuffer::Play(DWORD, DWORD, DWORD) {
    if (!chunk && !Convert()) return DSERR_OUTOFMEMORY;
    const IDirectSoundBuffer* self = this;
    if (IsPlaying()) {
        AudioRecordEvent(AUDIO_EVENT_BUFFER_PLAY, self, 0.0, false);
        return DS_OK;
    }
    if (AudioRecording()) {
        // SDL_mixer drops a channel's effects when its play ends or is
        // halted, so every play that starts registers the probe afresh.
        Mix_UnregisterEffect(channel, NoteMixedEffect);
        Mix_RegisterEffect(channel, NoteMixedEffect, nullptr, this);
        firstSampleNs.store(0);
        playNs.store(AudioNowNs());
    }
    if (Mix_PlayChannel(channel, chunk, 0) < 0) return DSERR_INVALIDCALL;
    AudioRecordEvent(AUDIO_EVENT_BUFFER_PLAY, self, 0.0, true);
    return DS_OK;
}

// Ends the lock and converts the buffer's bytes for the mixer.
HRESULT STDMETHODCALLTYPE SoundBuffer::Unlock(LPVOID part1, DWORD part1Bytes,
                                              LPVOID part2, DWORD part2Bytes) {
    HRESULT fault = TakeFault(FAULT_UNLOCK);
    if (FAILED(fault)) return fault;
    if (!locked || !part1 || !InsideBuffer(part1, part1Bytes, data, size) ||
        (part2 && !InsideBuffer(part2, part2Bytes, data, size)))
        return DSERR_INVALIDPARAM;
    locked = false;
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
