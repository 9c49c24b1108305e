// One-shot sound effects in static DirectSound buffers.
#ifndef QEL_AUDIO_SOUND_EFFECTS_H
#define QEL_AUDIO_SOUND_EFFECTS_H

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdint>

struct SoundEffect {
    LPDIRECTSOUNDBUFFER buffer;
    int32_t inUse;
    uint32_t sampleRate;
    uint32_t size;
    int32_t index;
};

extern SoundEffect soundEffects[256];
extern LPDIRECTSOUND8 lpDS;
extern int32_t hitSound;
extern int32_t levelUpSound;

int32_t InitSoundEffects();
int32_t LoadSoundEffect(const char* fileName);
void PlaySoundEffect(int32_t index);
int32_t ReleaseSoundEffects();

#endif
