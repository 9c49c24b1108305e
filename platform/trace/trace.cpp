// The trace's channels, read from QEL_TRACE once, and its lines.
#include "trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../kernel/codepage.h"

bool traceOn[TRACE_CHANNEL_COUNT];
unsigned traceFixmeRound = 1;

namespace {

const char* const kChannelNames[TRACE_CHANNEL_COUNT] = {
    "user",  "gdi",     "ddraw",  "dsound", "dshow",
    "winmm", "gdiplus", "kernel", "com"};

// Before main, so that the first call is traced as the last.
struct ReadEnvironment {
    ReadEnvironment() {
        const char* list = getenv("QEL_TRACE");
        if (!list || !*list) return;
        std::string unknown;
        TraceSetChannels(TraceParseChannels(list, &unknown));
        if (!unknown.empty())
            fprintf(stderr,
                    "qel: QEL_TRACE: no channel %s (channels: all, "
                    "user, gdi, ddraw, dsound, dshow, winmm, "
                    "gdiplus, kernel, com)\n",
                    unknown.c_str());
    }
} readEnvironment;

void PrintLine(const char* kind, TraceChannel channel, const char* function,
               const char* format, va_list args) {
    char text[512];
    vsnprintf(text, sizeof text, format, args);
    // One write a line, so lines of two threads do not interleave.
    fprintf(stderr, "%s:%s:%s %s\n", kind, kChannelNames[channel], function,
            text);
}

} // namespace

uint32_t TraceParseChannels(const char* list, std::string* unknown) {
    uint32_t mask = 0;
    const char* p = list;
    while (*p) {
        size_t length = strcspn(p, ",");
        std::string name(p, length);
        bool found = false;
        if (name == "all") {
            mask = (1u << TRACE_CHANNEL_COUNT) - 1;
            found = true;
        }
        for (int c = 0; c < TRACE_CHANNEL_COUNT && !found; ++c) {
            if (name == kChannelNames[c]) {
                mask |= 1u << c;
                found = true;
            }
        }
        if (!found && !name.empty() && unknown) {
            if (!unknown->empty()) *unknown += ',';
            *unknown += name;
        }
        p += length;
        if (*p == ',') ++p;
    }
    return mask;
}

void TraceSetChannels(uint32_t mask) {
    for (int c = 0; c < TRACE_CHANNEL_COUNT; ++c)
        traceOn[c] = (mask >> c) & 1;
}

const char* TraceChannelName(TraceChannel channel) {
    return kChannelNames[channel];
}

void TracePrint(TraceChannel channel, const char* function, const char* format,
                ...) {
    va_list args;
    va_start(args, format);
    PrintLine("trace", channel, function, format, args);
    va_end(args);
}

void FixmePrint(TraceChannel channel, const char* function, const char* format,
                ...) {
    va_list args;
    va_start(args, format);
    PrintLine("fixme", channel, function, format, args);
    va_end(args);
}

void TraceResetFixmes() {
    ++traceFixmeRound;
}

std::string TraceRect(const RECT* rect) {
    if (!rect) return "(nil)";
    char text[64];
    snprintf(text, sizeof text, "(%d,%d)-(%d,%d)", (int)rect->left,
             (int)rect->top, (int)rect->right, (int)rect->bottom);
    return text;
}

std::string TraceGuid(const GUID& guid) {
    char text[40];
    snprintf(text, sizeof text,
             "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
             (unsigned)guid.Data1, guid.Data2, guid.Data3, guid.Data4[0],
             guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
             guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

std::string TraceWide(const WCHAR* text) {
    if (!text) return "(nil)";
    return "\"" + WideToUtf8(text, std::char_traits<char16_t>::length(text)) +
           "\"";
}
