// The stand-in's trace (QEL_TRACE channels, trace and fixme lines) and the
// calls it reports as not stood in for, each refused as the SDK refuses.
#include <gtest/gtest.h>

#include <dshow.h>
#include <dsound.h>
#include <mmsystem.h>
#include <objbase.h>

#include <functional>
#include <string>
#include <vector>

#include "ddraw_fixture.h"
#include "trace/trace.h"
#include "testing/seams.h"

namespace {

uint32_t Bit(TraceChannel channel) {
    return 1u << channel;
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(TraceChannels, AListNamesItsChannelsAndReportsTheUnknown) {
    struct Case {
        const char* list;
        uint32_t mask;
        const char* unknown;
    } cases[] = {
        {"ddraw,dsound", Bit(TRACE_DDRAW) | Bit(TRACE_DSOUND), ""},
        {"com", Bit(TRACE_COM), ""},
        {"user,gdi,ddraw,dsound,dshow,winmm,gdiplus,kernel,com",
         (1u << TRACE_CHANNEL_COUNT) - 1, ""},
        {"all", (1u << TRACE_CHANNEL_COUNT) - 1, ""},
        {"", 0, ""},
        {"ddraw,,gdiplus,", Bit(TRACE_DDRAW) | Bit(TRACE_GDIPLUS), ""},
        {"sound,ddraw,d3d", Bit(TRACE_DDRAW), "sound,d3d"},
        {"DDRAW", 0, "DDRAW"}, // channel names are lower case, as Wine's
        {"ddraws", 0, "ddraws"},
    };
    for (const Case& c : cases) {
        std::string unknown;
        EXPECT_EQ(TraceParseChannels(c.list, &unknown), c.mask) << c.list;
        EXPECT_EQ(unknown, c.unknown) << c.list;
    }
}

// The channels off again after each test, as the game runs.
class TraceTest : public DirectDrawTest {
  protected:
    void TearDown() override {
        TraceSetChannels(0);
        DirectDrawTest::TearDown();
    }
    // What `call` writes to stderr with the channels of `mask` on.
    std::string StderrOf(uint32_t mask, const std::function<void()>& call) {
        TraceSetChannels(mask);
        testing::internal::CaptureStderr();
        call();
        std::string text = testing::internal::GetCapturedStderr();
        TraceSetChannels(0);
        return text;
    }
};

TEST_F(TraceTest, ATracedCallPrintsOneLineWithItsArguments) {
    LPDIRECTDRAWSURFACE7 surface = Offscreen(64, 48);
    RECT rect = {1, 2, 30, 40};
    std::string text = StderrOf(Bit(TRACE_DDRAW), [&] {
        ASSERT_EQ(Fill(surface, &rect, 0x123456), DD_OK);
    });
    EXPECT_EQ(text, "trace:ddraw:Blt dst=(1,2)-(30,40) src=(nil) "
                    "srcRect=(nil) flags=0x01000400 fx=" +
                        text.substr(text.find("fx=") + 3));
    EXPECT_EQ(CountOf(text, "\n"), 1) << text;
    surface->Release();
}

TEST_F(TraceTest, ACallOfAChannelNotListedPrintsNothing) {
    LPDIRECTDRAWSURFACE7 surface = Offscreen(64, 48);
    std::string text = StderrOf(Bit(TRACE_DSOUND) | Bit(TRACE_GDI), [&] {
        ASSERT_EQ(Fill(surface, nullptr, 0x123456), DD_OK);
    });
    EXPECT_EQ(text, "");
    text = StderrOf(0, [] { GetTickCount(); });
    EXPECT_EQ(text, "");
    text = StderrOf(Bit(TRACE_KERNEL), [] { GetTickCount(); });
    EXPECT_EQ(text.rfind("trace:kernel:GetTickCount -> ", 0), 0u) << text;
    surface->Release();
}

TEST_F(TraceTest, AFixmePrintsOncePerPlaceWhateverTheChannels) {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    TraceResetFixmes();
    std::string text = StderrOf(0, [] {
        for (int i = 0; i < 3; ++i) {
            void* object = nullptr;
            EXPECT_EQ(CoCreateInstance(IID_IBasicAudio, nullptr,
                                       CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       &object),
                      REGDB_E_CLASSNOTREG);
            EXPECT_EQ(object, nullptr);
        }
    });
    EXPECT_EQ(text, "fixme:com:CoCreateInstance "
                    "clsid={56a868b3-0ad4-11ce-b03a-0020af0ba770} is no "
                    "class of the stand-in\n");
    CoUninitialize();
}

// Each object answers IUnknown with a reference, and an interface it lacks
// with E_NOINTERFACE and a null pointer.
TEST_F(TraceTest, EveryObjectAnswersIUnknownAndRefusesWhatItLacks) {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IGraphBuilder* graph = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IGraphBuilder, (void**)&graph),
              S_OK);
    LPDIRECTDRAWSURFACE7 surface = Offscreen(8, 8);
    LPDIRECTSOUND8 sound = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DS_OK);
    struct Case {
        const char* object;
        IUnknown* iface;
    } cases[] = {{"IDirectDraw7", dd},
                 {"IDirectDrawSurface7", surface},
                 {"IDirectSound8", sound},
                 {"FilterGraph", graph}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.object);
        IUnknown* unknown = nullptr;
        ASSERT_EQ(c.iface->QueryInterface(IID_IUnknown, (void**)&unknown),
                  S_OK);
        ASSERT_NE(unknown, nullptr);
        // One reference more, then back.
        EXPECT_EQ(unknown->Release(), c.iface->AddRef() - 1);
        c.iface->Release();
        void* other = &unknown;
        EXPECT_EQ(c.iface->QueryInterface(CLSID_FilterGraph, &other),
                  E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }
    sound->Release();
    surface->Release();
    graph->Release();
    CoUninitialize();
    EXPECT_TRUE(TestResetAudio());
}

// A call with an argument the stand-in does not handle: refused as the SDK
// refuses it, with one fixme line naming the call.
struct Refusal {
    const char* checks;
    std::function<long()> call;
    long expected;
    const char* fixme; // the line's start; null: refused without one
};

void ExpectRefusals(const std::vector<Refusal>& cases) {
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.checks);
        TraceResetFixmes();
        testing::internal::CaptureStderr();
        long result = c.call();
        std::string text = testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, c.expected);
        if (c.fixme)
            EXPECT_EQ(text.rfind(c.fixme, 0), 0u) << text;
        else
            EXPECT_EQ(text, "");
    }
}

TEST_F(TraceTest, DirectDrawRefusesWhatItDoesNotStandInFor) {
    LPDIRECTDRAWSURFACE7 picture = Offscreen(16, 8);
    LPDIRECTDRAWSURFACE7 back = Offscreen(64, 48);
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    auto blt = [&](RECT dest, const RECT* source, DWORD flags) {
        return (long)back->Blt(&dest, picture, (LPRECT)source, flags, nullptr);
    };
    RECT part = {0, 0, 8, 8};
    ExpectRefusals({
        {"a mode other than 1024x768x32",
         [&] { return (long)dd->SetDisplayMode(800, 600, 32, 0, 0); },
         DDERR_INVALIDMODE, "fixme:ddraw:SetDisplayMode 800x600x32"},
        {"a depth other than 32 bits",
         [&] { return (long)dd->SetDisplayMode(1024, 768, 16, 0, 0); },
         DDERR_INVALIDMODE, "fixme:ddraw:SetDisplayMode 1024x768x16"},
        {"a refresh rate asked for",
         [&] { return (long)dd->SetDisplayMode(1024, 768, 32, 75, 0); },
         DDERR_INVALIDMODE, "fixme:ddraw:SetDisplayMode"},
        {"the game's mode is set",
         [&] { return (long)dd->SetDisplayMode(1024, 768, 32, 0, 0); }, DD_OK,
         nullptr},
        {"a source rectangle",
         [&] {
             return blt({0, 0, 8, 8}, &part, DDBLT_KEYSRC);
         },
         DDERR_UNSUPPORTED, "fixme:ddraw:Blt src=(0,0)-(8,8)"},
        {"a stretched copy",
         [&] {
             return blt({0, 0, 32, 16}, nullptr, DDBLT_KEYSRC);
         },
         DDERR_UNSUPPORTED, "fixme:ddraw:Blt dst=(0,0)-(32,16) from 16x8"},
        {"a copy without the source key",
         [&] {
             return blt({0, 0, 16, 8}, nullptr, DDBLT_WAIT);
         },
         DDERR_UNSUPPORTED, "fixme:ddraw:Blt flags=0x01000000"},
        {"a blit flag not stood in for",
         [&] {
             return blt({0, 0, 16, 8}, nullptr, DDBLT_KEYSRC | 0x2);
         },
         DDERR_UNSUPPORTED, "fixme:ddraw:Blt flags=0x00008002"},
        {"the game's keyed copy",
         [&] {
             return blt({4, 4, 20, 12}, nullptr, DDBLT_KEYSRC);
         },
         DD_OK, nullptr},
        {"a driver named",
         [] {
             LPDIRECTDRAW made = nullptr;
             GUID driver = IID_IDirectDraw7;
             return (long)DirectDrawCreate(&driver, &made, nullptr);
         },
         DDERR_INVALIDPARAMS, "fixme:ddraw:DirectDrawCreate driver="},
        {"a surface with a pixel format of its own",
         [&] {
             DDSURFACEDESC2 desc = {};
             desc.dwSize = sizeof(desc);
             desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | 0x1000;
             desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
             desc.dwWidth = desc.dwHeight = 8;
             LPDIRECTDRAWSURFACE7 made = nullptr;
             return (long)dd->CreateSurface(&desc, &made, nullptr);
         },
         DDERR_INVALIDPARAMS, "fixme:ddraw:CreateSurface flags=0x1007"},
        {"two back buffers",
         [&] {
             DDSURFACEDESC2 desc = {};
             desc.dwSize = sizeof(desc);
             desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
             desc.ddsCaps.dwCaps =
                 DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
             desc.dwBackBufferCount = 2;
             LPDIRECTDRAWSURFACE7 made = nullptr;
             return (long)dd->CreateSurface(&desc, &made, nullptr);
         },
         DDERR_INVALIDPARAMS, "fixme:ddraw:CreateSurface backBuffers=2"},
    });
    picture->Release();
    back->Release();
}

// With no clipper, a destination not wholly inside the surface is refused,
// and nothing of it is drawn.
TEST_F(TraceTest, BltRefusesADestinationNotInsideTheSurface) {
    LPDIRECTDRAWSURFACE7 picture = Offscreen(16, 8);
    LPDIRECTDRAWSURFACE7 back = Offscreen(64, 48);
    ASSERT_EQ(Fill(picture, nullptr, 0x0000FF), DD_OK);
    struct Case {
        const char* checks;
        RECT dest;
        HRESULT copy; // the keyed copy of the 16 by 8 picture there
    } cases[] = {
        {"inside", {10, 10, 26, 18}, DD_OK},
        {"touching the right and bottom edges", {48, 40, 64, 48}, DD_OK},
        {"off the left edge", {-1, 10, 15, 18}, DDERR_INVALIDRECT},
        {"off the top edge", {10, -1, 26, 7}, DDERR_INVALIDRECT},
        {"off the right edge", {49, 10, 65, 18}, DDERR_INVALIDRECT},
        {"off the bottom edge", {10, 41, 26, 49}, DDERR_INVALIDRECT},
        {"wholly outside", {100, 100, 116, 108}, DDERR_INVALIDRECT},
        {"larger than the surface, centred",
         {-8, -4, 72, 52},
         DDERR_INVALIDRECT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.checks);
        ASSERT_EQ(Fill(back, nullptr, 0xC8C8C8), DD_OK);
        EXPECT_EQ(Fill(back, (RECT*)&c.dest, 0x00FF00), c.copy);
        ASSERT_EQ(Fill(back, nullptr, 0xC8C8C8), DD_OK);
        // The rectangle is looked at before the copy's size.
        RECT dest = c.dest;
        EXPECT_EQ(back->Blt(&dest, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT,
                            nullptr),
                  c.copy);
        TestSurfaceImage image = TestSurfacePixels(back);
        int drawn = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                drawn += image.At(x, y) != 0xC8C8C8u;
        EXPECT_EQ(drawn, c.copy == DD_OK ? 16 * 8 : 0);
    }
    RECT empty[] = {{10, 10, 10, 20}, {10, 10, 20, 10}, {20, 10, 10, 20}};
    for (RECT& r : empty)
        EXPECT_EQ(Fill(back, &r, 0x00FF00), DDERR_INVALIDRECT)
            << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    picture->Release();
    back->Release();
}

TEST_F(TraceTest, SoundAndMusicRefuseWhatTheyDoNotStandInFor) {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    LPDIRECTSOUND8 sound = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DS_OK);
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 11025, 44100, 4, 16, 0};
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_STATIC;
    desc.dwBufferBytes = 400;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    ASSERT_EQ(sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    LPVOID p1 = nullptr, p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ExpectRefusals({
        {"a device other than the default",
         [] {
             LPDIRECTSOUND8 other = nullptr;
             GUID device = IID_IBasicAudio;
             return (long)DirectSoundCreate8(&device, &other, nullptr);
         },
         DSERR_NODRIVER, "fixme:dsound:DirectSoundCreate8 device="},
        {"a mono buffer",
         [&] {
             WAVEFORMATEX mono = {WAVE_FORMAT_PCM, 1, 11025, 22050, 2, 16, 0};
             DSBUFFERDESC d = desc;
             d.lpwfxFormat = &mono;
             LPDIRECTSOUNDBUFFER made = nullptr;
             return (long)sound->CreateSoundBuffer(&d, &made, nullptr);
         },
         DSERR_BADFORMAT,
         "fixme:dsound:CreateSoundBuffer format tag=1 channels=1"},
        {"a 3D buffer",
         [&] {
             DSBUFFERDESC d = desc;
             d.dwFlags |= 0x10; // DSBCAPS_CTRL3D
             LPDIRECTSOUNDBUFFER made = nullptr;
             return (long)sound->CreateSoundBuffer(&d, &made, nullptr);
         },
         DSERR_INVALIDPARAM, "fixme:dsound:CreateSoundBuffer flags=0x12"},
        {"a lock flag not stood in for",
         [&] { return (long)buffer->Lock(0, 4, &p1, &n1, &p2, &n2, 0x4); },
         DSERR_INVALIDPARAM, "fixme:dsound:Lock flags=0x4"},
        {"a lock past the buffer",
         [&] { return (long)buffer->Lock(0, 404, &p1, &n1, &p2, &n2, 0); },
         DSERR_INVALIDPARAM, nullptr},
        {"a looping play", [&] { return (long)buffer->Play(0, 0, 1); },
         DSERR_INVALIDPARAM, "fixme:dsound:Play flags=0x1"},
        {"a class other than the filter graph",
         [] {
             void* object = nullptr;
             return (long)CoCreateInstance(IID_IGraphBuilder, nullptr,
                                           CLSCTX_INPROC_SERVER, IID_IUnknown,
                                           &object);
         },
         REGDB_E_CLASSNOTREG, "fixme:com:CoCreateInstance clsid="},
        {"the graph aggregated",
         [&] {
             void* object = nullptr;
             return (long)CoCreateInstance(CLSID_FilterGraph, sound,
                                           CLSCTX_INPROC_SERVER, IID_IUnknown,
                                           &object);
         },
         CLASS_E_NOAGGREGATION, nullptr},
        {"a file opened for writing",
         [] {
             char name[] = "damage_axe.wav";
             return (long)(mmioOpenA(name, nullptr, 0x1) != nullptr);
         },
         0, "fixme:winmm:mmioOpenA info=(nil) flags=0x1"},
    });
    buffer->Release();
    sound->Release();
    CoUninitialize();
    EXPECT_TRUE(TestResetAudio());
}

// Lock gives the range asked for: from an offset, wrapping to the start in
// the second part, the whole buffer, or from a stopped buffer's write
// cursor (its start).
TEST_F(TraceTest, LockGivesTheRangeAskedFor) {
    LPDIRECTSOUND8 sound = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DS_OK);
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 11025, 44100, 4, 16, 0};
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_STATIC;
    desc.dwBufferBytes = 400;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    ASSERT_EQ(sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    LPVOID start = nullptr, p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(buffer->Lock(0, 400, &start, &n1, &p2, &n2, 0), DS_OK);
    struct Case {
        const char* checks;
        DWORD offset, bytes, flags;
        DWORD first, firstBytes, secondBytes; // offsets from the start
    } cases[] = {
        {"from an offset", 100, 50, 0, 100, 50, 0},
        {"to the end exactly", 300, 100, 0, 300, 100, 0},
        {"wrapping to the start", 300, 150, 0, 300, 100, 50},
        {"the whole buffer", 200, 7, DSBLOCK_ENTIREBUFFER, 200, 200, 200},
        {"from the write cursor", 200, 40, DSBLOCK_FROMWRITECURSOR, 0, 40, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.checks);
        LPVOID p1 = nullptr;
        p2 = &p2;
        ASSERT_EQ(buffer->Lock(c.offset, c.bytes, &p1, &n1, &p2, &n2, c.flags),
                  DS_OK);
        EXPECT_EQ((uint8_t*)p1 - (uint8_t*)start, (long)c.first);
        EXPECT_EQ(n1, c.firstBytes);
        EXPECT_EQ(n2, c.secondBytes);
        EXPECT_EQ(p2, c.secondBytes ? start : nullptr);
    }
    buffer->Release();
    sound->Release();
    EXPECT_TRUE(TestResetAudio());
}

} // namespace
