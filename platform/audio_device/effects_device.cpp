// The sound buffers' device: a thread of its own opens it for the Play that
// finds it closed, and closes it once nothing has played for a while, so the
// game's thread never waits on the sound server.
#include "effects_device.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio_record.h"
#include "audio_device.h"

namespace {

// 512 frames at 44.1 kHz: once the device is open, a Play waits 11.6 ms at
// most for the next pass. Opening it takes 2-5 ms with PulseAudio (a
// connection of its own to the server), and its first pass follows at once.
const int kMixFrames = 512;
// The device stays open this long after the last sound ends, over the gaps
// between a typist's knock-outs. Closing takes about 25 ms (the device's
// thread ends its pass first), on a thread of its own so that a Play
// meanwhile need not wait for it.
const uint64_t kLingerNs = 1000000000ull;

struct Voice {
    const void* owner;
    const uint8_t* samples;
    uint32_t bytes;
    uint32_t played;
    std::atomic<uint64_t>* firstMixedNs;
};

// Shared by the game's thread, the device's mixing thread and the threads
// that open and close it; never destroyed, since these may still wait on it
// at exit.
struct Shared {
    std::mutex lock; // everything below
    std::condition_variable wake;
    std::vector<Voice> voices;
    uint64_t idleSinceNs = 0; // when the last voice ended; 0 while one plays
    SDL_AudioDeviceID device = 0;
    // Counts the devices opened: a device being closed (its number no longer
    // the current one) mixes only silence while a new one may be opening.
    uintptr_t generation = 0;
    SDL_AudioSpec want{}; // the format the buffers' samples are in
    bool shared = false;  // mixed into the music's device: no device here
    std::thread* keeper = nullptr; // opens it and has it closed
    int closing = 0;               // devices being closed
    bool quit = false;
};

Shared& State() {
    static Shared* state = new Shared();
    return *state;
}

// With the lock held.
void RemoveVoicesOf(Shared& s, const void* owner) {
    s.voices.erase(std::remove_if(s.voices.begin(), s.voices.end(),
                                  [owner](const Voice& voice) {
                                      return voice.owner == owner;
                                  }),
                   s.voices.end());
    if (s.voices.empty() && !s.idleSinceNs) s.idleSinceNs = AudioNowNs();
}

// Adds the playing voices' next samples to `stream`, with the lock held.
void MixInto(Shared& s, Uint8* stream, int length) {
    const bool recording = AudioRecording();
    for (Voice& voice : s.voices) {
        uint32_t bytes = std::min(uint32_t(length), voice.bytes - voice.played);
        if (recording) {
            uint64_t none = 0;
            voice.firstMixedNs->compare_exchange_strong(none, AudioNowNs());
        }
        // At full volume, as a mixer channel adds its chunk, clipping.
        SDL_MixAudioFormat(stream, voice.samples + voice.played, s.want.format,
                           bytes, SDL_MIX_MAXVOLUME);
        voice.played += bytes;
    }
    s.voices.erase(std::remove_if(s.voices.begin(), s.voices.end(),
                                  [](const Voice& voice) {
                                      return voice.played == voice.bytes;
                                  }),
                   s.voices.end());
    if (s.voices.empty() && !s.idleSinceNs) s.idleSinceNs = AudioNowNs();
}

void SDLCALL MixVoices(void* generation, Uint8* stream, int length) {
    Shared& s = State();
    AudioNotePass(AUDIO_DEVICE_EFFECTS);
    std::lock_guard<std::mutex> hold(s.lock);
    // Signed samples (the device is opened as asked): silence is 0.
    memset(stream, 0, size_t(length));
    if (uintptr_t(generation) == s.generation) MixInto(s, stream, length);
}

// Opens a device with the lock held and given up meanwhile, and starts it:
// false when it cannot be opened.
bool OpenLocked(std::unique_lock<std::mutex>& lock) {
    Shared& s = State();
    SDL_AudioSpec want = s.want;
    // The new device's number, current before its first pass.
    want.userdata = reinterpret_cast<void*>(++s.generation);
    lock.unlock();
    SDL_AudioDeviceID device =
        SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (device) SDL_PauseAudioDevice(device, 0);
    lock.lock();
    if (device) s.device = device;
    return device != 0;
}

// Has the device closed, with the lock held; a new one may open meanwhile.
void CloseLocked() {
    Shared& s = State();
    SDL_AudioDeviceID device = s.device;
    s.device = 0;
    ++s.generation;
    ++s.closing;
    std::thread([device] {
        SDL_CloseAudioDevice(device);
        Shared& s = State();
        std::lock_guard<std::mutex> hold(s.lock);
        --s.closing;
        s.wake.notify_all();
    }).detach();
}

// Opens the device when a voice waits for it, and closes it once it has
// been idle for kLingerNs.
void KeepDevice() {
    Shared& s = State();
    std::unique_lock<std::mutex> lock(s.lock);
    while (!s.quit) {
        if (!s.device && !s.voices.empty()) {
            if (!OpenLocked(lock)) {
                fprintf(stderr, "qel: no audio device for sounds: %s\n",
                        SDL_GetError());
                s.voices.clear();
            }
            continue;
        }
        uint64_t now = AudioNowNs();
        uint64_t idle = s.voices.empty() && s.idleSinceNs && now > s.idleSinceNs
                            ? now - s.idleSinceNs
                            : 0;
        if (!s.device)
            s.wake.wait(lock);
        else if (idle < kLingerNs)
            s.wake.wait_for(lock, std::chrono::nanoseconds(kLingerNs - idle));
        else
            CloseLocked();
    }
}

} // namespace

bool EffectsOpenBeside(int rate, uint16_t format, int channels) {
    Shared& s = State();
    std::unique_lock<std::mutex> lock(s.lock);
    s.want = SDL_AudioSpec{};
    s.want.freq = rate;
    s.want.format = format;
    s.want.channels = Uint8(channels);
    s.want.samples = kMixFrames;
    s.want.callback = MixVoices;
    s.shared = false;
    if (!OpenLocked(lock)) return false;
    if (!s.keeper) s.keeper = new std::thread(KeepDevice);
    return true;
}

void EffectsShareMusicDevice(uint16_t format) {
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.want.format = format;
    s.shared = true;
}

void EffectsMixInto(uint8_t* stream, int length) {
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (s.shared) MixInto(s, stream, length);
}

bool EffectsPlay(const void* owner, const uint8_t* samples, uint32_t bytes,
                 std::atomic<uint64_t>* firstMixedNs) {
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (!s.shared && !s.keeper) return false;
    s.voices.push_back({owner, samples, bytes, 0, firstMixedNs});
    s.idleSinceNs = 0;
    if (!s.device) s.wake.notify_all();
    return true;
}

bool EffectsPlaying(const void* owner) {
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    for (const Voice& voice : s.voices)
        if (voice.owner == owner) return true;
    return false;
}

void EffectsStop(const void* owner) {
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    RemoveVoicesOf(s, owner);
}

bool EffectsDeviceOpen() {
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.device != 0 || s.closing > 0;
}

void EffectsShutdown() {
    Shared& s = State();
    std::unique_lock<std::mutex> lock(s.lock);
    std::thread* keeper = s.keeper;
    s.keeper = nullptr;
    s.quit = true;
    s.wake.notify_all();
    lock.unlock();
    if (keeper) {
        keeper->join();
        delete keeper;
    }
    lock.lock();
    SDL_AudioDeviceID device = s.device;
    s.device = 0;
    ++s.generation;
    s.voices.clear();
    s.idleSinceNs = 0;
    s.quit = false;
    s.shared = false;
    s.wake.wait(lock, [&s] { return s.closing == 0; });
    lock.unlock();
    if (device) SDL_CloseAudioDevice(device);
}
