// One-shot sound effects: a DirectSound 8 device and a table of static
// buffers, filled once at start-up from WAV files.
#include "audio/sound_effects.h"

#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "audio/wave_reader.h"

SoundEffect soundEffects[256];
LPDIRECTSOUND8 lpDS = nullptr;
// Shared by every load, written afresh by each.
static WAVEFORMATEX soundFormat;
static DSBUFFERDESC soundBufferDesc;
int32_t hitSound = -1;
int32_t levelUpSound = -1;

int32_t InitSoundEffects() {
    if (DirectSoundCreate8(nullptr, &lpDS, nullptr) != DS_OK) {
        MessageBoxA(nullptr, "DirectSoundCreate8", "ERROR", MB_OK);
        return 0;
    }
    if (lpDS->SetCooperativeLevel(hMainWindow, DSSCL_NORMAL) != DS_OK) {
        MessageBoxA(nullptr, "SetCooperativeLevel", "ERROR", MB_OK);
        return 0;
    }
    for (int32_t i = 0; i < 256; ++i) {
        soundEffects[i].buffer = nullptr;
        soundEffects[i].inUse = 0;
        soundEffects[i].sampleRate = 0;
        soundEffects[i].size = 0;
        soundEffects[i].index = i;
    }
    return 1;
}

int32_t LoadSoundEffect(const char* fileName) {
    if (!lpDS) return -1;

    int32_t index = 0;
    while (index < 256 && soundEffects[index].inUse != 0)
        ++index;
    if (index == 256) return -1;

    WaveData wave;
    if (!ReadWaveFile(fileName, &wave)) return -1;

    SoundEffect& entry = soundEffects[index];
    entry.sampleRate = wave.format.nSamplesPerSec;
    entry.size = wave.dataSize;
    entry.inUse = 1;

    // Every buffer gets the fixed format, whatever the file's own.
    soundFormat.wFormatTag = WAVE_FORMAT_PCM;
    soundFormat.nChannels = 2;
    soundFormat.nSamplesPerSec = 11025;
    soundFormat.nBlockAlign = 4;
    soundFormat.nAvgBytesPerSec =
        soundFormat.nBlockAlign * soundFormat.nSamplesPerSec;
    soundFormat.wBitsPerSample = 16;
    soundFormat.cbSize = 0;

    memset(&soundBufferDesc, 0, sizeof(soundBufferDesc));
    soundBufferDesc.dwSize = sizeof(DSBUFFERDESC);
    soundBufferDesc.dwFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE |
                              DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                              DSBCAPS_CTRLVOLUME;
    soundBufferDesc.dwBufferBytes = wave.dataSize;
    soundBufferDesc.dwReserved = 0;
    soundBufferDesc.lpwfxFormat = &soundFormat;
    soundBufferDesc.guid3DAlgorithm = GUID_NULL;

    if (lpDS->CreateSoundBuffer(&soundBufferDesc, &entry.buffer, nullptr) < 0) {
        free(wave.data);
        return -1;
    }

    LPVOID part1 = nullptr;
    DWORD part1Bytes = 0;
    LPVOID part2 = nullptr;
    DWORD part2Bytes = 0;
    if (entry.buffer->Lock(0, wave.dataSize, &part1, &part1Bytes, &part2,
                           &part2Bytes, DSBLOCK_FROMWRITECURSOR) < 0) {
        free(wave.data);
        return -1;
    }
    memcpy(part1, wave.data, part1Bytes);
    if (part2Bytes != 0) memcpy(part2, wave.data + part1Bytes, part2Bytes);
    if (entry.buffer->Unlock(part1, part1Bytes, part2, part2Bytes) < 0) {
        free(wave.data);
        return -1;
    }

    free(wave.data);
    return index;
}

void PlaySoundEffect(int32_t index) {
    // Only a load's own result is passed here, but an index outside the table
    // or an entry whose buffer was never made must not crash the game.
    if (index < 0 || index >= 256 || !soundEffects[index].buffer) return;
    // No rewind first: a sound that is still playing goes on.
    soundEffects[index].buffer->Play(0, 0, 0);
}

int32_t ReleaseSoundEffects() {
    for (SoundEffect& entry : soundEffects)
        if (entry.buffer) entry.buffer->Release();
    if (lpDS) lpDS->Release();
    return 1;
}
