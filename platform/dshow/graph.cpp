// The filter graph: a music file rendered to SDL_mixer's music stream, with
// its control (IMediaControl), position (IMediaPosition) and volume
// (IBasicAudio). Times are in seconds, volumes in hundredths of a decibel.
#include "dshow_private.h"

#include "../kernel/fault.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

#include "../dsound/audio_record.h"
#include "../dsound/mixer.h"
#include "../kernel/codepage.h"
#include "../kernel/data_file.h"

namespace {

int liveGraphs = 0;
// The graph whose piece SDL_mixer's one music stream holds.
const FilterGraph* musicOwner = nullptr;

// The type Mix_LoadMUS would take from the name: an ".mp3" is MPEG audio
// whatever its first bytes look like; any other name is judged by them.
Mix_MusicType TypeFromName(const std::string& path) {
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot + 4 == path.size() &&
        SDL_strcasecmp(path.c_str() + dot, ".mp3") == 0)
        return MUS_MP3;
    return MUS_NONE;
}

} // namespace

int MusicVolumeToMixer(LONG volume) {
    if (volume <= -10000) return 0;
    if (volume >= 0) return MIX_MAX_VOLUME;
    return int(std::lround(MIX_MAX_VOLUME * std::pow(10.0, volume / 2000.0)));
}

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

FilterGraph::~FilterGraph() {
    DropMusic();
    --liveGraphs;
}

bool FilterGraph::IsPlaying() const {
    return music && musicOwner == this && Mix_PlayingMusic();
}

HRESULT FilterGraph::StartAt(double position) {
    Mix_VolumeMusic(MusicVolumeToMixer(volume));
    if (Mix_FadeInMusicPos(music, 0, 0, position) != 0) return E_FAIL;
    musicOwner = this;
    return S_OK;
}

void FilterGraph::DropMusic() {
    if (!music) return;
    if (musicOwner == this) {
        Mix_HaltMusic();
        musicOwner = nullptr;
    }
    Mix_FreeMusic(music);
    music = nullptr;
    MixerRemoveUser();
}

// One object behind all four interfaces, IUnknown being IGraphBuilder's.
HRESULT STDMETHODCALLTYPE FilterGraph::QueryInterface(REFIID riid,
                                                      void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IGraphBuilder)
        *object = static_cast<IGraphBuilder*>(this);
    else if (riid == IID_IMediaControl)
        *object = static_cast<IMediaControl*>(this);
    else if (riid == IID_IMediaPosition)
        *object = static_cast<IMediaPosition*>(this);
    else if (riid == IID_IBasicAudio)
        *object = static_cast<IBasicAudio*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// Renders the file for playback. A missing file, or a name that holds no
// file (a directory, a FIFO, a device), is VFW_E_NOT_FOUND; one that cannot
// be read or decoded, one larger than kMaxMusicFileBytes, or no audio device
// to play it on, VFW_E_CANNOT_RENDER. The play list is not used.
HRESULT STDMETHODCALLTYPE FilterGraph::RenderFile(LPCWSTR file, LPCWSTR) {
    if (!file) return E_POINTER;
    HRESULT fault = TakeFault(FAULT_RENDERFILE);
    if (FAILED(fault)) return fault;

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
    if (!MixerAddUser()) {
        SDL_RWclose(source);
        return VFW_E_CANNOT_RENDER;
    }
    Mix_Music* loaded = Mix_LoadMUSType_RW(source, TypeFromName(path), 1);
    double length = loaded ? Mix_MusicDuration(loaded) : -1.0;
    if (!loaded || !(length > 0.0)) {
        if (loaded) Mix_FreeMusic(loaded);
        MixerRemoveUser();
        return VFW_E_CANNOT_RENDER;
    }

    // A second file takes the place of the first.
    DropMusic();
    running = false;
    stoppedAt = 0.0;
    music = loaded;
    duration = length;
    AudioRecordEvent(AUDIO_EVENT_MUSIC_RENDER,
                     static_cast<const IGraphBuilder*>(this), duration, false);
    return S_OK;
}

// Starts playback from the current position; a running graph, also one
// whose piece has played to its end, goes on as it is.
HRESULT STDMETHODCALLTYPE FilterGraph::Run() {
    if (running) return S_OK;
    bool started = false;
    if (music) {
        if (StartAt(stoppedAt) != S_OK) return E_FAIL;
        started = true;
    }
    running = true;
    AudioRecordEvent(AUDIO_EVENT_MUSIC_RUN,
                     static_cast<const IGraphBuilder*>(this), stoppedAt,
                     started);
    return S_OK;
}

// Stops playback; the position stays where it was.
HRESULT STDMETHODCALLTYPE FilterGraph::Stop() {
    if (!running) return S_OK;
    REFTIME position = 0.0;
    get_CurrentPosition(&position);
    if (IsPlaying()) {
        Mix_HaltMusic();
        musicOwner = nullptr;
    }
    stoppedAt = position;
    running = false;
    AudioRecordEvent(AUDIO_EVENT_MUSIC_STOP,
                     static_cast<const IGraphBuilder*>(this), position, false);
    return S_OK;
}

// The length of the piece in seconds.
HRESULT STDMETHODCALLTYPE FilterGraph::get_Duration(REFTIME* length) {
    if (!length) return E_POINTER;
    *length = duration;
    return S_OK;
}

// Seeks to `time` seconds. A piece that has played to its end while the
// graph runs starts again from there.
HRESULT STDMETHODCALLTYPE FilterGraph::put_CurrentPosition(REFTIME time) {
    if (!(time >= 0.0)) return E_INVALIDARG;
    if (time > duration) time = duration;
    const IGraphBuilder* self = this;
    if (!music || !running) {
        stoppedAt = time;
        AudioRecordEvent(AUDIO_EVENT_MUSIC_SEEK, self, time, false);
        return S_OK;
    }
    // A piece that ends between the test and the seek starts again below.
    if (IsPlaying() && Mix_SetMusicPosition(time) == 0) {
        AudioRecordEvent(AUDIO_EVENT_MUSIC_SEEK, self, time, false);
        return S_OK;
    }
    if (StartAt(time) != S_OK) return E_FAIL;
    AudioRecordEvent(AUDIO_EVENT_MUSIC_SEEK, self, time, true);
    return S_OK;
}

// The position in seconds; a piece played to its end stands at its stop
// time.
HRESULT STDMETHODCALLTYPE FilterGraph::get_CurrentPosition(REFTIME* time) {
    if (!time) return E_POINTER;
    if (!music) {
        *time = 0.0;
    } else if (IsPlaying()) {
        double position = Mix_GetMusicPosition(music);
        if (position < 0.0) position = 0.0;
        *time = position < duration ? position : duration;
    } else if (running) {
        *time = duration;
    } else {
        *time = stoppedAt;
    }
    return S_OK;
}

// The stop time in seconds: the end of the piece.
HRESULT STDMETHODCALLTYPE FilterGraph::get_StopTime(REFTIME* time) {
    if (!time) return E_POINTER;
    *time = duration;
    return S_OK;
}

// Sets the volume, -10000 (silence) to 0 (full).
HRESULT STDMETHODCALLTYPE FilterGraph::put_Volume(LONG newVolume) {
    if (newVolume < -10000 || newVolume > 0) return E_INVALIDARG;
    volume = newVolume;
    if (!musicOwner || musicOwner == this)
        Mix_VolumeMusic(MusicVolumeToMixer(volume));
    AudioRecordEvent(AUDIO_EVENT_MUSIC_VOLUME,
                     static_cast<const IGraphBuilder*>(this), volume, false);
    return S_OK;
}

// The volume last set, 0 at first.
HRESULT STDMETHODCALLTYPE FilterGraph::get_Volume(LONG* current) {
    if (!current) return E_POINTER;
    *current = volume;
    return S_OK;
}
