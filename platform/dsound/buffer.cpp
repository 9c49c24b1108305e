// IDirectSoundBuffer: static secondary buffers on mixer channels.
#include "dsound_private.h"

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
    if (chunk) Mix_FreeChunk(chunk);
    SDL_free(converted);
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

// Converts the buffer's bytes to the mixer's format into the chunk.
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
    chunk = Mix_QuickLoad_RAW(samples, Uint32(convertedLength));
    if (!chunk) {
        SDL_free(samples);
        return false;
    }
    converted = samples;
    return true;
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
    if (AudioRecording()) {
        // SDL_mixer drops a channel's effects when its play ends or is
        // halted, so every play that starts registers the probe afresh.
        Mix_UnregisterEffect(channel, NoteMixedEffect);
        Mix_RegisterEffect(channel, NoteMixedEffect, nullptr, this);
        firstSampleNs.store(0);
        playNs.store(AudioNowNs());
    }
    if (Mix_PlayChannel(channel, chunk, 0) < 0) return DSERR_INVALIDCALL;
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
