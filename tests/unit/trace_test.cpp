// The stand-in's trace (QEL_TRACE channels, trace and fixme lines) and the
// calls it reports as not stood in for, each refused as the SDK refuses.
#include <gtest/gtest.h>

#include <dshow.h>
#include <dsound.h>
#include <mmsystem.h>
#include <objbase.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "ddraw_fixture.h"
#include "trace/trace.h"
#include "testing/seams.h"

namespace {

const auto Bit = [](TraceChannel channel) { return 1u << channel; };

TEST(TraceChannels, AListNamesItsChannelsAndReportsTheUnknown) {
    const uint32_t all = (1u << TRACE_CHANNEL_COUNT) - 1;
    // The list; the channels it names; the names it does not know.
    const std::tuple<const char*, uint32_t, std::string> cases[] = {
        {"user,gdi,ddraw,dsound,dshow,winmm,gdiplus,kernel,com", all, ""},
        {"all", all, ""},
        {"sound,ddraw,,gdiplus,d3d,", Bit(TRACE_DDRAW) | Bit(TRACE_GDIPLUS),
         "sound,d3d"},
        // Channel names are lower case, as Wine's, and whole.
        {"DDRAW,ddraws", 0, "DDRAW,ddraws"},
    };
    for (const auto& [list, mask, unknown] : cases) {
        std::string named;
        EXPECT_EQ(TraceParseChannels(list, &named), mask) << list;
        EXPECT_EQ(named, unknown) << list;
    }
}

// A call's result and what it writes to stderr with the channels of `mask`
// on, made twice: a trace line starting with `line` each time, a fixme line
// once, or nothing for "".
struct Call {
    const char* checks;
    std::function<HRESULT()> call;
    HRESULT result;
    std::string line;
    uint32_t mask = 0;
};

void ExpectCalls(const std::vector<Call>& calls) {
    for (const Call& c : calls) {
        SCOPED_TRACE(c.checks);
        TraceResetFixmes(), TraceSetChannels(c.mask);
        testing::internal::CaptureStderr();
        EXPECT_EQ(c.call(), c.result);
        EXPECT_EQ(c.call(), c.result);
        TraceSetChannels(0);
        std::string text = testing::internal::GetCapturedStderr();
        EXPECT_EQ(text.rfind(c.line, 0), 0u) << text;
        const int lines = c.line.empty() ? 0 : c.mask ? 2 : 1;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), lines) << text;
    }
}

// The surfaces, the sound and the 400-byte buffer the calls are made on.
class TraceTest : public DirectDrawTest {
  protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DS_OK);
        ASSERT_EQ(Buffer(2, DSBCAPS_STATIC, &buffer), DS_OK);
        picture = Offscreen(16, 8), back = Offscreen(64, 48);
    }
    void TearDown() override {
        for (IUnknown* made : {(IUnknown*)picture, (IUnknown*)back,
                               (IUnknown*)buffer, (IUnknown*)sound})
            if (made) made->Release();
        CoUninitialize();
        EXPECT_TRUE(TestResetAudio());
        DirectDrawTest::TearDown();
    }
    // CreateSoundBuffer of 400 bytes of 16-bit 11025 Hz PCM.
    HRESULT Buffer(WORD channels, DWORD flags, void* made) {
        WAVEFORMATEX format = {
            WAVE_FORMAT_PCM,    channels, 11025, 22050u * channels,
            WORD(2 * channels), 16,       0};
        DSBUFFERDESC desc = {sizeof(desc), flags, 400, 0, &format, {}};
        return sound->CreateSoundBuffer(&desc, (LPDIRECTSOUNDBUFFER*)made,
                                        nullptr);
    }
    LPDIRECTDRAWSURFACE7 picture = nullptr, back = nullptr;
    LPDIRECTSOUND8 sound = nullptr;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    LPDIRECTDRAWSURFACE7 surface = nullptr; // what the calls give
    LPDIRECTDRAW ddMade = nullptr;
    LPDIRECTSOUND8 soundMade = nullptr;
    LPVOID p1 = nullptr, p2 = nullptr, made = nullptr;
    DWORD n1 = 0, n2 = 0;
};

// A traced call prints a line with its arguments; nothing prints of a
// channel not listed. A call with an argument the stand-in does not handle
// is refused as the SDK refuses it, with one fixme line naming the call,
// printed once per place whatever the channels.
TEST_F(TraceTest, CallsPrintTheirTraceLineAndRefusalsTheirFixmeOnce) {
    RECT rect = {1, 2, 30, 40};
    auto fill = [&] { return Fill(back, &rect, 0x123456); };
    auto tick = [] {
        GetTickCount();
        return S_OK;
    };
    RECT part = {0, 0, 8, 8};
    GUID guid = IID_IBasicAudio; // a device or driver not the default
    char name[] = "damage_axe.wav";
    auto mode = [&](DWORD width, DWORD height, DWORD bits, DWORD rate) {
        return [=] { return dd->SetDisplayMode(width, height, bits, rate, 0); };
    };
    // An instance of `clsid` in `outer`: the result, S_OK if any was made.
    auto create = [](REFCLSID clsid, IUnknown* outer) {
        return [&clsid, outer] {
            void* object = nullptr;
            HRESULT result = CoCreateInstance(
                clsid, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &object);
            return object ? S_OK : result;
        };
    };
    // The keyed copy of the 16 by 8 picture to `dest` on the 64 by 48 back.
    auto copy = [&](RECT dest, RECT* part, DWORD flags) {
        return [=]() mutable {
            return back->Blt(&dest, picture, part, flags, nullptr);
        };
    };
    ExpectCalls({
        {"a fill, ddraw listed", fill, DD_OK,
         "trace:ddraw:Blt dst=(1,2)-(30,40) src=(nil) srcRect=(nil) "
         "flags=0x01000400 fx=",
         Bit(TRACE_DDRAW)},
        {"a fill, others listed", fill, DD_OK, "",
         Bit(TRACE_DSOUND) | Bit(TRACE_GDI)},
        {"the tick count, kernel listed", tick, S_OK,
         "trace:kernel:GetTickCount -> ", Bit(TRACE_KERNEL)},
        {"800x600", mode(800, 600, 32, 0), DDERR_INVALIDMODE,
         "fixme:ddraw:SetDisplayMode 800x600x32"},
        {"16 bits", mode(1024, 768, 16, 0), DDERR_INVALIDMODE,
         "fixme:ddraw:SetDisplayMode 1024x768x16"},
        {"75 Hz", mode(1024, 768, 32, 75), DDERR_INVALIDMODE,
         "fixme:ddraw:SetDisplayMode"},
        {"a part of the source", copy({0, 0, 8, 8}, &part, DDBLT_KEYSRC),
         DDERR_UNSUPPORTED, "fixme:ddraw:Blt src=(0,0)-(8,8)"},
        {"a stretched copy", copy({0, 0, 32, 16}, nullptr, DDBLT_KEYSRC),
         DDERR_UNSUPPORTED, "fixme:ddraw:Blt dst=(0,0)-(32,16) from 16x8"},
        {"no source key", copy({0, 0, 16, 8}, nullptr, DDBLT_WAIT),
         DDERR_UNSUPPORTED, "fixme:ddraw:Blt flags=0x01000000"},
        {"blit flag 0x2", copy({0, 0, 16, 8}, nullptr, DDBLT_KEYSRC | 0x2),
         DDERR_UNSUPPORTED, "fixme:ddraw:Blt flags=0x00008002"},
        {"a driver", [&] { return DirectDrawCreate(&guid, &ddMade, nullptr); },
         DDERR_INVALIDPARAMS, "fixme:ddraw:DirectDrawCreate driver="},
        {"a pixel format (0x1000)",
         [&] { return Create(&surface, 0x1007, DDSCAPS_OFFSCREENPLAIN, 8, 8); },
         DDERR_INVALIDPARAMS, "fixme:ddraw:CreateSurface flags=0x1007"},
        {"two back buffers",
         [&] {
             return Create(&surface, DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                           kChainCaps, 0, 0, 2);
         },
         DDERR_INVALIDPARAMS, "fixme:ddraw:CreateSurface backBuffers=2"},
        {"a sound device",
         [&] { return DirectSoundCreate8(&guid, &soundMade, nullptr); },
         DSERR_NODRIVER, "fixme:dsound:DirectSoundCreate8 device="},
        {"a mono buffer", [&] { return Buffer(1, DSBCAPS_STATIC, &made); },
         DSERR_BADFORMAT,
         "fixme:dsound:CreateSoundBuffer format tag=1 channels=1"},
        {"a 3D buffer (0x10)",
         [&] { return Buffer(2, DSBCAPS_STATIC | 0x10, &made); },
         DSERR_INVALIDPARAM, "fixme:dsound:CreateSoundBuffer flags=0x12"},
        {"lock flag 0x4",
         [&] { return buffer->Lock(0, 4, &p1, &n1, &p2, &n2, 0x4); },
         DSERR_INVALIDPARAM, "fixme:dsound:Lock flags=0x4"},
        {"a lock past the end",
         [&] { return buffer->Lock(0, 404, &p1, &n1, &p2, &n2, 0); },
         DSERR_INVALIDPARAM, ""},
        {"a looping play", [&] { return buffer->Play(0, 0, 1); },
         DSERR_INVALIDPARAM, "fixme:dsound:Play flags=0x1"},
        {"a class other than the graph", create(IID_IBasicAudio, nullptr),
         REGDB_E_CLASSNOTREG,
         "fixme:com:CoCreateInstance clsid={56a868b3-0ad4-11ce-b03a-"
         "0020af0ba770} is no class of the stand-in\n"},
        {"the graph aggregated", create(CLSID_FilterGraph, sound),
         CLASS_E_NOAGGREGATION, ""},
        {"a file to write (0x1)",
         [&] { return mmioOpenA(name, nullptr, 0x1) ? S_OK : S_FALSE; },
         S_FALSE, "fixme:winmm:mmioOpenA info=(nil) flags=0x1"},
    });
}

// Each object answers IUnknown with a reference, and an interface it lacks
// with E_NOINTERFACE and a null pointer.
TEST_F(TraceTest, EveryObjectAnswersIUnknownAndRefusesWhatItLacks) {
    IUnknown* graph = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IGraphBuilder, (void**)&graph),
              S_OK);
    const std::tuple<const char*, IUnknown*> cases[] = {
        {"IDirectDraw7", dd},
        {"IDirectDrawSurface7", back},
        {"IDirectSound8", sound},
        {"IDirectSoundBuffer", buffer},
        {"FilterGraph", graph}};
    for (const auto& [object, iface] : cases) {
        SCOPED_TRACE(object);
        IUnknown* unknown = nullptr;
        ASSERT_EQ(iface->QueryInterface(IID_IUnknown, (void**)&unknown), S_OK);
        ASSERT_NE(unknown, nullptr);
        // One reference more, then back.
        EXPECT_EQ(unknown->Release(), iface->AddRef() - 1);
        iface->Release();
        void* other = &unknown;
        EXPECT_EQ(iface->QueryInterface(CLSID_FilterGraph, &other),
                  E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }
    graph->Release();
}

// Lock gives the range asked for: from an offset wrapping to the start in
// the second part, the whole buffer, or from a stopped buffer's write
// cursor (its start).
TEST_F(TraceTest, LockGivesTheRangeAskedFor) {
    LPVOID start = nullptr;
    ASSERT_EQ(buffer->Lock(0, 400, &start, &n1, &p2, &n2, 0), DS_OK);
    // Offset, bytes and flags asked; the first part's offset and bytes, the
    // second part's bytes (from the start).
    const std::tuple<const char*, DWORD, DWORD, DWORD, long, DWORD, DWORD>
        cases[] = {
            {"wrapping to the start", 300, 150, 0, 300, 100, 50},
            {"the whole buffer", 200, 7, DSBLOCK_ENTIREBUFFER, 200, 200, 200},
            {"the write cursor", 200, 40, DSBLOCK_FROMWRITECURSOR, 0, 40, 0},
        };
    for (const auto& [checks, offset, bytes, flags, first, n, second] : cases) {
        SCOPED_TRACE(checks);
        p1 = nullptr, p2 = &p2;
        ASSERT_EQ(buffer->Lock(offset, bytes, &p1, &n1, &p2, &n2, flags),
                  DS_OK);
        EXPECT_EQ((uint8_t*)p1 - (uint8_t*)start, first);
        EXPECT_EQ(n1, n);
        EXPECT_EQ(n2, second);
        EXPECT_EQ(p2, second ? start : nullptr);
    }
}

} // namespace
