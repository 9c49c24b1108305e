// The DirectSound 8 objects of the stand-in.
#ifndef QEL_PLATFORM_DSOUND_DSOUND_PRIVATE_H
#define QEL_PLATFORM_DSOUND_DSOUND_PRIVATE_H

#include <dsound.h>

#include "../com/com_object.h"

#include <atomic>
#include <cstdint>

// The device object: it holds the mixer open while it lives.
class DirectSoundDevice final : public ComObject<IDirectSound8> {
  public:
    DirectSoundDevice() = default;

    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;
    STDMETHOD(CreateSoundBuffer)
    (LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
     LPUNKNOWN outer) override;
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD level) override;

  private:
    ~DirectSoundDevice();
};

// A static secondary buffer in the one format the stand-in accepts (11025 Hz,
// 16-bit, stereo). Unlock converts its bytes once into the devices' format,
// and the effects device plays them.
class SoundBuffer final : public ComObject<IDirectSoundBuffer> {
  public:
    // Makes a buffer of `bytes` zero bytes; null when memory runs out.
    static SoundBuffer* Create(DWORD bytes);

    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;
    STDMETHOD(Lock)
    (DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD part1Bytes,
     LPVOID* part2, LPDWORD part2Bytes, DWORD flags) override;
    STDMETHOD(Play)(DWORD reserved, DWORD priority, DWORD flags) override;
    STDMETHOD(Unlock)
    (LPVOID part1, DWORD part1Bytes, LPVOID part2, DWORD part2Bytes) override;

    // The steady-clock times of the last Play that started the buffer and of
    // the first mixing pass that took its samples (0 until there was one).
    // Kept only while the audio record is on.
    void FirstSampleTimes(uint64_t* playNs, uint64_t* firstSampleNs) const;

    // Bytes of the samples in the devices' format, 0 before the Unlock.
    uint32_t ConvertedBytes() const;

  private:
    SoundBuffer() = default;
    ~SoundBuffer();
    bool Convert();
    bool IsPlaying() const;

    uint8_t* data = nullptr;
    DWORD size = 0;
    uint8_t* converted = nullptr; // the samples the device plays
    uint32_t convertedBytes = 0;
    std::atomic<uint64_t> playNs{0};
    std::atomic<uint64_t> firstSampleNs{0};
};

// Buffers made and not yet released.
int SoundBufferLiveCount();
// The stand-in's buffer behind an interface pointer, or null for any other.
SoundBuffer* SoundBufferFromInterface(IDirectSoundBuffer* buffer);

#endif
