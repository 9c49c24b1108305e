// Background music through a DirectShow filter graph: built once at
// start-up, run by the application, repeated by the frame's position check.
#include "audio/music.h"

#include "app/app.h"
#include "game/letters.h"

MusicPlayer musicPlayer = {nullptr, nullptr, nullptr, nullptr};

IGraphBuilder* CreateMusicGraph(LPCWSTR fileName) {
    IGraphBuilder* graph = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr,
                                CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph)))) {
        MessageBoxA(hMainWindow, "DXshow CoCreateInstance", "Error", MB_OK);
        return nullptr;
    }
    if (FAILED(graph->RenderFile(fileName, nullptr))) {
        MessageBoxA(hMainWindow, "DXshow RenderFile", "Error", MB_OK);
        // Nothing uses a graph that holds no music.
        graph->Release();
        return nullptr;
    }
    return graph;
}

IMediaControl* QueryMediaControl(IGraphBuilder* graph) {
    IMediaControl* control = nullptr;
    if (FAILED(graph->QueryInterface(IID_IMediaControl,
                                     reinterpret_cast<void**>(&control)))) {
        MessageBoxA(hMainWindow, "DXshow IID_IMediaControl", "Error", MB_OK);
        return nullptr;
    }
    return control;
}

IBasicAudio* QueryBasicAudio(IGraphBuilder* graph) {
    IBasicAudio* audio = nullptr;
    if (FAILED(graph->QueryInterface(IID_IBasicAudio,
                                     reinterpret_cast<void**>(&audio)))) {
        MessageBoxA(hMainWindow, "DXshow IID_IBasicAudio", "Error", MB_OK);
        return nullptr;
    }
    return audio;
}

IMediaPosition* QueryMediaPosition(IGraphBuilder* graph) {
    IMediaPosition* position = nullptr;
    if (FAILED(graph->QueryInterface(IID_IMediaPosition,
                                     reinterpret_cast<void**>(&position)))) {
        MessageBoxA(hMainWindow, "DXshow IID_IMediaPosition", "Error", MB_OK);
        return nullptr;
    }
    return position;
}

void ChangeMusicVolume(LONG step) {
    // The bound is tested on the value stored by the last change.
    if (step > 0 && game.volume >= 0) return;
    if (step < 0 && game.volume <= -10000) return;
    if (!musicPlayer.pAudio) return;

    // LONG is not int32_t everywhere: read through a LONG of its own.
    LONG volume = game.volume;
    musicPlayer.pAudio->get_Volume(&volume);
    game.volume = volume + step;
    musicPlayer.pAudio->put_Volume(game.volume);
}
