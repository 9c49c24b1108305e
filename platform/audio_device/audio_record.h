// What the audio stand-ins started.
// The test seams (platform/testing/seams.h) read and set these; while
// recording is off, which is how the game runs, nothing is kept.
#ifndef QEL_PLATFORM_AUDIO_DEVICE_AUDIO_RECORD_H
#define QEL_PLATFORM_AUDIO_DEVICE_AUDIO_RECORD_H

#include <cstdint>
#include <vector>

// The audio devices: the music's, long-period and always open, and the
// effects', short-period and open only while sound buffers play.
enum AudioDevice {
    AUDIO_DEVICE_MUSIC,
    AUDIO_DEVICE_EFFECTS,
    AUDIO_DEVICE_COUNT
};

enum AudioEventKind {
    AUDIO_EVENT_BUFFER_PLAY // IDirectSoundBuffer::Play
};

struct AudioEvent {
    AudioEventKind kind;
    const void* object; // the buffer
    uint64_t ns;        // steady clock at the call
    bool started;       // a Play started the buffer (one on a playing
                        // buffer did not)
};

bool AudioRecording();
void AudioSetRecording(bool on);
void AudioRecordEvent(AudioEventKind kind, const void* object, bool started);
const std::vector<AudioEvent>& AudioEvents();
void AudioClearEvents();

// Counts one mixing pass of a device while recording is on; called on the
// devices' own threads.
void AudioNotePass(AudioDevice device);
// Passes counted since the record was last cleared.
uint64_t AudioPasses(AudioDevice device);

// Nanoseconds of the steady clock; safe on the mixer's thread.
uint64_t AudioNowNs();

#endif
