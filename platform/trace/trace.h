// The stand-in's trace, as Wine's debug channels: QEL_TRACE=ddraw,dsound
// (any comma list of the channels below, or "all") prints each call of
// those services with its arguments to stderr, one line a call:
//   trace:ddraw:Blt dst=(0,0)-(1024,768) src=(nil) flags=0x01000400
// The list is read once, when the program starts; with a channel off a
// call costs one test of a bool, before any argument is formatted.
// An argument a stand-in does not handle is reported whatever QEL_TRACE
// says, once per place in the code, as one fixme line:
//   fixme:com:CoCreateInstance clsid={...} is not a class of the stand-in
#ifndef QEL_PLATFORM_TRACE_TRACE_H
#define QEL_PLATFORM_TRACE_TRACE_H

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <string>

enum TraceChannel {
    TRACE_USER,
    TRACE_GDI,
    TRACE_DDRAW,
    TRACE_DSOUND,
    TRACE_DSHOW,
    TRACE_WINMM,
    TRACE_GDIPLUS,
    TRACE_KERNEL,
    TRACE_COM,
    TRACE_CHANNEL_COUNT
};

// Whether each channel traces; set from QEL_TRACE before main.
extern bool traceOn[TRACE_CHANNEL_COUNT];

// The channels a QEL_TRACE value names, one bit per TraceChannel; a name
// that is no channel is left out and, when `unknown` is given, appended to
// it (comma-separated).
uint32_t TraceParseChannels(const char* list, std::string* unknown = nullptr);
// Turns the channels of `mask` on and the others off.
void TraceSetChannels(uint32_t mask);
const char* TraceChannelName(TraceChannel channel);

void TracePrint(TraceChannel channel, const char* function, const char* format,
                ...) __attribute__((format(printf, 3, 4)));
void FixmePrint(TraceChannel channel, const char* function, const char* format,
                ...) __attribute__((format(printf, 3, 4)));

// Bumped to have every fixme print again (tests).
extern unsigned traceFixmeRound;
void TraceResetFixmes();

// Arguments as the trace prints them.
std::string TraceRect(const RECT* rect);  // (l,t)-(r,b), or (nil)
std::string TraceGuid(const GUID& guid);  // {xxxxxxxx-xxxx-...}
std::string TraceWide(const WCHAR* text); // "...", or (nil)

#define TRACE(channel, ...)                                                    \
    do {                                                                       \
        if (__builtin_expect(traceOn[channel], 0))                             \
            TracePrint(channel, __func__, __VA_ARGS__);                        \
    } while (0)

// Once per place in the code (again after TraceResetFixmes), named for the
// function it is in, or for `function` (a helper's fixme names its call).
#define FIXME(channel, ...) FIXME_IN(channel, __func__, __VA_ARGS__)
#define FIXME_IN(channel, function, ...)                                       \
    do {                                                                       \
        static unsigned fixmeShownRound = 0;                                   \
        if (fixmeShownRound != traceFixmeRound) {                              \
            fixmeShownRound = traceFixmeRound;                                 \
            FixmePrint(channel, function, __VA_ARGS__);                        \
        }                                                                      \
    } while (0)

#endif
