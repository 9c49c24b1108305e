// What the audio stand-ins started.
// The test seams (platform/testing/audio.h) read and set these; while
// recording is off, which is how the game runs, nothing is kept.
#ifndef QEL_PLATFORM_DSOUND_AUDIO_RECORD_H
#define QEL_PLATFORM_DSOUND_AUDIO_RECORD_H

#include <windows.h>

#include <cstdint>
#include <vector>

enum AudioEventKind {
    AUDIO_EVENT_BUFFER_PLAY,  // IDirectSoundBuffer::Play
    AUDIO_EVENT_MUSIC_RENDER, // IGraphBuilder::RenderFile succeeded
    AUDIO_EVENT_MUSIC_RUN,    // IMediaControl::Run
    AUDIO_EVENT_MUSIC_STOP,   // IMediaControl::Stop
    AUDIO_EVENT_MUSIC_SEEK,   // IMediaPosition::put_CurrentPosition
    AUDIO_EVENT_MUSIC_VOLUME  // IBasicAudio::put_Volume
};

struct AudioEvent {
    AudioEventKind kind;
    const void* object; // the buffer, or the graph's IGraphBuilder
    DWORD tick;         // GetTickCount at the call
    uint64_t ns;        // steady clock at the call
    double value;       // seek position in seconds, or volume
    bool started;       // playback began with this call (a Play on a playing
                        // buffer, or a seek of a playing piece, did not)
};

bool AudioRecording();
void AudioSetRecording(bool on);
void AudioRecordEvent(AudioEventKind kind, const void* object, double value,
                      bool started);
const std::vector<AudioEvent>& AudioEvents();
void AudioClearEvents();

// Nanoseconds of the steady clock; safe on the mixer's thread.
uint64_t AudioNowNs();

#endif
