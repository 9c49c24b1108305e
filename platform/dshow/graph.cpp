// The filter graph: a music file rendered to SDL_mixer's music stream, with
// its control (IMediaControl), position (IMediaPosition) and volume
// (IBasicAudio). Times are in seconds, volumes in hundredths of a decibel.
#include "dshow_private.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>

#include "../audio_device/audio_device.h"
#include "../kernel/codepage.h"
#include "../kernel/data_file.h"
#include "../trace/trace.h"

namespace {

// The largest music file rendered: 256 MiB is almost two hours at 320
// kbit/s, the highest bit rate of MPEG audio, where the game loops one piece
// of some minutes. The music is streamed, and mpg123 takes the length from
// the first frames and the file's size without reading on, so this bounds
// no memory: a file past it is simply no music.
const uint64_t kMaxMusicFileBytes = 256u << 20;

int liveGraphs = 0;

// SDL_mixer's music volume, 0..128 and linear in amplitude, for a volume in
// hundredths of a decibel; -10000 rounds to silence.
int MusicVolumeToMixer(LONG volume) {
    return int(std::lround(MIX_MAX_VOLUME * std::pow(10.0, volume / 2000.0)));
}

} // namespace

HRESULT FilterGraphCreate(REFIID riid, void** object) {
    FilterGraph* graph = new FilterGraph();
    IGraphBuilder* builder = graph;
    HRESULT result = builder->QueryInterface(riid, object);
    builder->Release();
    return result;
}

int FilterGraphLiveCount() {
    return liveGraphs;
}

FilterGraph::FilterGraph() {
    ++liveGraphs;
}

// Freeing the music halts it if it plays.
FilterGraph::~FilterGraph() {
    if (music) {
        Mix_FreeMusic(music);
        AudioDeviceRemoveUser();
    }
    --liveGraphs;
}

bool FilterGraph::IsPlaying() const {
    return music && Mix_PlayingMusic();
}

// One object behind the four interfaces the game asks for, and IUnknown.
HRESULT STDMETHODCALLTYPE FilterGraph::QueryInterface(REFIID riid,
                                                      void** object) {
    TRACE(TRACE_DSHOW, "riid=%s", TraceGuid(riid).c_str());
    return AnswerQuery(
        riid, object, TRACE_DSHOW, "FilterGraph",
        {{&IID_IGraphBuilder, static_cast<IGraphBuilder*>(this)},
         {&IID_IMediaControl, static_cast<IMediaControl*>(this)},
         {&IID_IMediaPosition, static_cast<IMediaPosition*>(this)},
         {&IID_IBasicAudio, static_cast<IBasicAudio*>(this)}});
}

// Renders an mp3 file for playback. A missing file, or a name that holds no
// file (a directory, a FIFO, a device), is VFW_E_NOT_FOUND; one that cannot
// be read or decoded, one larger than kMaxMusicFileBytes, or no audio device
// to play it on, VFW_E_CANNOT_RENDER. The play list is reserved: null.
HRESULT STDMETHODCALLTYPE FilterGraph::RenderFile(LPCWSTR file,
                                                  LPCWSTR playList) {
    TRACE(TRACE_DSHOW, "file=%s playList=%s", TraceWide(file).c_str(),
          TraceWide(playList).c_str());
    if (!file) return E_POINTER;
    if (playList) return E_INVALIDARG;
    if (music) {
        FIXME(TRACE_DSHOW, "a second file in one graph");
        return VFW_E_CANNOT_RENDER;
    }
    std::string path =
        WideToUtf8(file, std::char_traits<char16_t>::length(file));
    uint64_t size = 0;
    int fd = OpenDataFile(path.c_str(), kMaxMusicFileBytes, &size);
    if (fd < 0)
        return errno == EFBIG || errno == EACCES ? VFW_E_CANNOT_RENDER
                                                 : VFW_E_NOT_FOUND;
    FILE* stream = fdopen(fd, "rb");
    if (!stream) {
        close(fd);
        return E_OUTOFMEMORY;
    }
    // The music reads the file as it plays and closes it when freed.
    SDL_RWops* source = SDL_RWFromFP(stream, SDL_TRUE);
    if (!source) {
        fclose(stream);
        return E_OUTOFMEMORY;
    }
    if (!AudioDeviceAddUser()) {
        SDL_RWclose(source);
        return VFW_E_CANNOT_RENDER;
    }
    Mix_Music* loaded = Mix_LoadMUSType_RW(source, MUS_MP3, 1);
    double length = loaded ? Mix_MusicDuration(loaded) : -1.0;
    if (!(length > 0.0)) {
        if (loaded) Mix_FreeMusic(loaded);
        AudioDeviceRemoveUser();
        return VFW_E_CANNOT_RENDER;
    }
    music = loaded;
    duration = length;
    return S_OK;
}

// Starts playback from the beginning of the piece.
HRESULT STDMETHODCALLTYPE FilterGraph::Run() {
    TRACE(TRACE_DSHOW, "graph=%p", (void*)this);
    if (Mix_PlayMusic(music, 0) != 0) return E_FAIL;
    running = true;
    return S_OK;
}

// Seeks to `time` seconds while the graph runs; a piece that has played to
// its end starts again from there. A seek before Run is not stood in for.
HRESULT STDMETHODCALLTYPE FilterGraph::put_CurrentPosition(REFTIME time) {
    TRACE(TRACE_DSHOW, "time=%.3f", time);
    if (!running) {
        FIXME(TRACE_DSHOW, "time=%.3f: a seek in a graph not running", time);
        return S_OK;
    }
    // A piece that ends between the test and the seek starts again below.
    if (IsPlaying() && Mix_SetMusicPosition(time) == 0) return S_OK;
    return Mix_FadeInMusicPos(music, 0, 0, time) == 0 ? S_OK : E_FAIL;
}

// The position in seconds; a piece played to its end while the graph runs
// stands at its stop time.
HRESULT STDMETHODCALLTYPE FilterGraph::get_CurrentPosition(REFTIME* time) {
    TRACE(TRACE_DSHOW, "time=%p", (void*)time);
    if (IsPlaying()) {
        double position = Mix_GetMusicPosition(music);
        *time = position < 0.0        ? 0.0
                : position < duration ? position
                                      : duration;
    } else {
        *time = running ? duration : 0.0;
    }
    return S_OK;
}

// The stop time in seconds: the end of the piece.
HRESULT STDMETHODCALLTYPE FilterGraph::get_StopTime(REFTIME* time) {
    TRACE(TRACE_DSHOW, "time=%p", (void*)time);
    *time = duration;
    return S_OK;
}

// Sets the volume, -10000 (silence) to 0 (full).
HRESULT STDMETHODCALLTYPE FilterGraph::put_Volume(LONG newVolume) {
    TRACE(TRACE_DSHOW, "volume=%d", (int)newVolume);
    volume = newVolume;
    Mix_VolumeMusic(MusicVolumeToMixer(volume));
    return S_OK;
}

// The volume last set, 0 at first.
HRESULT STDMETHODCALLTYPE FilterGraph::get_Volume(LONG* current) {
    TRACE(TRACE_DSHOW, "volume=%p", (void*)current);
    *current = volume;
    return S_OK;
}
