// The record of started audio.
#include "audio_record.h"

#include <chrono>

namespace {

bool recording = false;

std::vector<AudioEvent>& Events() {
    static std::vector<AudioEvent> events;
    return events;
}

} // namespace

bool AudioRecording() {
    return recording;
}
void AudioSetRecording(bool on) {
    recording = on;
}

void AudioRecordEvent(AudioEventKind kind, const void* object, bool started) {
    if (recording) Events().push_back({kind, object, AudioNowNs(), started});
}

const std::vector<AudioEvent>& AudioEvents() {
    return Events();
}
void AudioClearEvents() {
    Events().clear();
}

uint64_t AudioNowNs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}
