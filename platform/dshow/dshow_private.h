// The DirectShow filter graph of the stand-in: one object that renders a
// music file and answers for IGraphBuilder, IMediaControl, IMediaPosition and
// IBasicAudio with one reference count.
#ifndef QEL_PLATFORM_DSHOW_DSHOW_PRIVATE_H
#define QEL_PLATFORM_DSHOW_DSHOW_PRIVATE_H

#include <dshow.h>

#include "../com/com_object.h"

#include <cstdint>
#include <string>

typedef struct _Mix_Music Mix_Music;

class FilterGraph final : public ComObject<IGraphBuilder, IMediaControl,
                                           IMediaPosition, IBasicAudio> {
  public:
    FilterGraph();

    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;

    STDMETHOD(RenderFile)(LPCWSTR file, LPCWSTR playList) override;

    STDMETHOD(Run)() override;
    STDMETHOD(Stop)() override;

    STDMETHOD(get_Duration)(REFTIME* length) override;
    STDMETHOD(put_CurrentPosition)(REFTIME time) override;
    STDMETHOD(get_CurrentPosition)(REFTIME* time) override;
    STDMETHOD(get_StopTime)(REFTIME* time) override;

    STDMETHOD(put_Volume)(LONG volume) override;
    STDMETHOD(get_Volume)(LONG* volume) override;

  private:
    ~FilterGraph();
    bool IsPlaying() const;
    HRESULT StartAt(double position);
    void DropMusic();

    Mix_Music* music = nullptr;
    double duration = 0.0;
    bool running = false;
    double stoppedAt = 0.0; // where Run starts when the graph is stopped
    LONG volume = 0;
};

// The largest music file rendered: 256 MiB is almost two hours at 320
// kbit/s, the highest bit rate of MPEG audio, where the game loops one piece
// of some minutes. The music is streamed, and mpg123 takes the length from
// the first frames and the file's size without reading on, so this bounds
// no memory: a file past it is simply no music.
const uint64_t kMaxMusicFileBytes = 256u << 20;

// Makes a graph and queries it for `riid` (CoCreateInstance's work).
HRESULT FilterGraphCreate(REFIID riid, void** object);
// Graphs made and not yet released.
int FilterGraphLiveCount();

// SDL_mixer's music volume (0..128, linear in amplitude) for a volume in
// hundredths of a decibel; -10000 is silence.
int MusicVolumeToMixer(LONG volume);

#endif
