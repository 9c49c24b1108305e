// The record of started audio.
#include "audio_record.h"

#include <atomic>
#include <chrono>

namespace {

// Read on the devices' threads too.
std::atomic<bool> recording{false};
std::atomic<uint64_t> passes[AUDIO_DEVICE_COUNT];

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
    for (std::atomic<uint64_t>& count : passes)
        count.store(0);
}

void AudioNotePass(AudioDevice device) {
    if (recording.load(std::memory_order_relaxed)) ++passes[device];
}
uint64_t AudioPasses(AudioDevice device) {
    return passes[device].load();
}

uint64_t AudioNowNs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}
