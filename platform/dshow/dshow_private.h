// The DirectShow filter graph of the stand-in: one object that renders a
// music file and answers for IGraphBuilder, IMediaControl, IMediaPosition and
// IBasicAudio with one reference count.
#ifndef QEL_PLATFORM_DSHOW_DSHOW_PRIVATE_H
#define QEL_PLATFORM_DSHOW_DSHOW_PRIVATE_H

#include <dshow.h>

#include "../com/com_object.h"

typedef struct _Mix_Music Mix_Music;

class FilterGraph final : public ComObject<IGraphBuilder, IMediaControl,
                                           IMediaPosition, IBasicAudio> {
  public:
    FilterGraph();

    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;

    STDMETHOD(RenderFile)(LPCWSTR file, LPCWSTR playList) override;

    STDMETHOD(Run)() override;

    STDMETHOD(put_CurrentPosition)(REFTIME time) override;
    STDMETHOD(get_CurrentPosition)(REFTIME* time) override;
    STDMETHOD(get_StopTime)(REFTIME* time) override;

    STDMETHOD(put_Volume)(LONG volume) override;
    STDMETHOD(get_Volume)(LONG* volume) override;

  private:
    ~FilterGraph();
    bool IsPlaying() const;

    Mix_Music* music = nullptr;
    double duration = 0.0;
    bool running = false;
    LONG volume = 0;
};

// Makes a graph and queries it for `riid` (CoCreateInstance's work).
HRESULT FilterGraphCreate(REFIID riid, void** object);
// Graphs made and not yet released.
int FilterGraphLiveCount();

#endif
