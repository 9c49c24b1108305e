// Background music through a DirectShow filter graph.
#ifndef QEL_AUDIO_MUSIC_H
#define QEL_AUDIO_MUSIC_H

#include <windows.h>
#include <dshow.h>

struct MusicPlayer {
    IGraphBuilder* pGraph;
    IMediaControl* pControl;
    IMediaPosition* pPosition;
    IBasicAudio* pAudio;
};

extern MusicPlayer musicPlayer;

IGraphBuilder* CreateMusicGraph(LPCWSTR fileName);
IMediaControl* QueryMediaControl(IGraphBuilder* graph);
IBasicAudio* QueryBasicAudio(IGraphBuilder* graph);
IMediaPosition* QueryMediaPosition(IGraphBuilder* graph);
void ChangeMusicVolume(LONG step);

#endif
