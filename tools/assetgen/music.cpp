// The background music: 36 bars in F major at 108 beats a minute, exactly
// 80 seconds, synthesised note by note and encoded as MP3.
//
// The piece is a loop. Notes that ring past the end are folded back onto the
// beginning and the reverb runs round the loop twice, so the last bar flows
// into the first as if the piece had been played before. The game sends the
// music back to its start once less than three seconds remain, at whatever
// moment its once-a-second check notices; so the last six beats are one held
// chord with nothing struck after its start, and cutting it short into the
// first bar sounds much like letting it finish.
#include <cmath>
#include <vector>

#include "assets.h"
#include "mp3_writer.h"
#include "output_file.h"
#include "synth.h"

namespace {

constexpr int kRate = 44100;
constexpr int kFramesPerBeat = kRate * 60 / 108; // 24500: 108 beats a minute
constexpr int kBars = 36;
constexpr int kBeats = kBars * 4;
constexpr size_t kFrames = static_cast<size_t>(kBeats) * kFramesPerBeat;
constexpr size_t kTailFrames = 5 * kRate; // longest ring-out of any note
constexpr double kHoldBeat = kBeats - 6;  // the closing chord
constexpr int kKbps = 160;

enum class Voice {
    Pad,
    Piano,
    Bass,
    Vibes,
    Pluck,
    Kick,
    Snare,
    Hat,
    OpenHat,
    Crash,
    Swell
};

struct Event {
    Voice voice;
    double beat;  // from the start of the piece
    double beats; // how long the note is held
    int pitch;    // MIDI note number; unused by the drums
    double velocity;
    double pan; // -1 left .. 1 right
};

struct Chord {
    int bass;
    int tones[4];
};

const Chord kF = {41, {53, 57, 60, 64}};     // Fmaj7
const Chord kDm9 = {38, {53, 57, 60, 64}};   // Dm9
const Chord kDm = {38, {53, 57, 60, 62}};    // Dm7
const Chord kAm = {45, {55, 57, 60, 64}};    // Am7
const Chord kBb = {46, {53, 57, 58, 62}};    // Bbmaj7
const Chord kC7 = {36, {52, 55, 58, 60}};    // C7
const Chord kC7sus = {36, {53, 55, 58, 60}}; // C7sus4
const Chord kC9sus = {36, {53, 55, 58, 62}}; // C9sus4
const Chord kGm = {43, {53, 55, 58, 62}};    // Gm7

// A melody note within an eight-bar section.
struct Tune {
    double beat, beats;
    int pitch;
};

// Bar by bar, with the chord under each bar.
const Tune kTuneA[] = {
    {0, 1, 69},  {1, 1, 72},   {2, 1.5, 76},    {3.5, .5, 74},   // Fmaj7
    {4, 2, 72},  {6, 1, 69},   {7, 1, 67},                       // Am7
    {8, 1, 65},  {9, 1, 69},   {10, 1.5, 74},   {11.5, .5, 72},  // Bbmaj7
    {12, 1, 70}, {13, .5, 69}, {13.5, 2.5, 67},                  // C7
    {16, 1, 69}, {17, 1, 72},  {18, 1.5, 77},   {19.5, .5, 76},  // Fmaj7
    {20, 1, 76}, {21, 1, 74},  {22, 2, 72},                      // Am7
    {24, 1, 70}, {25, 1, 74},  {26, 1, 77},     {27, 1, 76},     // Gm7
    {28, 1, 74}, {29, 1, 72},  {30, .5, 70},    {30.5, 1.5, 67}, // C7
};
// The second A comes to rest on C instead, to lead into the bridge.
const Tune kTuneA2End[] = {{28, 1, 76}, {29, 1, 74}, {30, 2, 72}};
const Tune kTuneB[] = {
    {0, 1.5, 77},   {1.5, .5, 76},  {2, 1, 74},  {3, 1, 69},  // Dm7
    {4, 1, 72},     {5, 1, 76},     {6, 2, 79},               // Am7
    {8, 1, 77},     {9, 1, 74},     {10, 1, 70}, {11, 1, 74}, // Bbmaj7
    {12, 3, 72},                                              // Fmaj7
    {16, .5, 69},   {16.5, .5, 74}, {17, 1, 77}, {18, 1.5, 81},
    {19.5, .5, 79},                                           // Dm7
    {20, 2, 76},    {22, 1, 72},    {23, 1, 76},              // Am7
    {24, 1, 74},    {25, 1, 70},    {26, 1, 67}, {27, 1, 70}, // Gm7
    {28, 1.5, 72},  {29.5, .5, 70}, {30, 2, 67},              // C7sus4
};
const Tune kTuneC[] = {
    {0, 2, 74},    {2, 2, 77},                  // Bbmaj7
    {4, 3, 76},    {7, 1, 72},                  // Am7
    {8, 2, 74},    {10, 2, 70},                 // Gm7
    {12, 2, 69},   {14, 2, 72},                 // Fmaj7
    {16, 1, 74},   {17, 1, 77},    {18, 2, 81}, // Bbmaj7
    {20, 1.5, 79}, {21.5, .5, 76}, {22, 2, 72}, // Am7
    {24, 2, 74},   {26, 5.5, 72},               // Gm7, C9sus4
};

// The diatonic note steps scale degrees below pitch, in F major.
int ScaleStepsBelow(int pitch, int steps) {
    auto inKey = [](int p) {
        int pc = ((p % 12) + 12) % 12;
        return pc != 1 && pc != 3 && pc != 6 && pc != 8 && pc != 11;
    };
    while (steps > 0) {
        --pitch;
        if (inKey(pitch)) --steps;
    }
    return pitch;
}

struct Score {
    std::vector<Event> events;
    synth::Random rng{0x0A11CE5EEDull};

    void Add(Voice v, double beat, double beats, int pitch, double velocity,
             double pan = 0) {
        events.push_back({v, beat, beats, pitch, velocity, pan});
    }
    // Drums are played by hand: the level of each stroke varies a little.
    void Drum(Voice v, double beat, double velocity, double pan = 0) {
        Add(v, beat, 0, 0, velocity * (1.0 + 0.08 * rng.Uniform()), pan);
    }
};

void AddChord(Score& s, Voice v, double beat, double beats, const Chord& c,
              double velocity) {
    for (int i = 0; i < 4; ++i)
        s.Add(v, beat, beats, c.tones[i], velocity, -0.3 + 0.2 * i);
}

void AddTune(Score& s, double start, const Tune* tune, size_t count,
             double velocity, int harmonySteps, double pan) {
    for (size_t i = 0; i < count; ++i) {
        int pitch = tune[i].pitch;
        if (harmonySteps) pitch = ScaleStepsBelow(pitch, harmonySteps);
        s.Add(Voice::Vibes, start + tune[i].beat, tune[i].beats, pitch,
              velocity, pan);
    }
}

// Eighth-note broken chords, an octave above the pad.
void AddArpeggio(Score& s, double beat, double beats, const Chord& c) {
    static const int order[] = {0, 1, 2, 3, 1, 2, 3, 2};
    for (int i = 0; i < beats * 2; ++i) {
        int pitch = c.tones[order[i % 8]] + 12;
        s.Add(Voice::Pluck, beat + i * 0.5, 0.5, pitch, i % 2 ? 0.7 : 0.9,
              i % 2 ? 0.35 : -0.35);
    }
}

void AddGroove(Score& s, double bar, int barInSection, bool busy) {
    double b = bar * 4;
    s.Drum(Voice::Kick, b, 1.0);
    s.Drum(Voice::Kick, b + 2, 0.9);
    if (barInSection % 2 == 1) s.Drum(Voice::Kick, b + 2.5, 0.6);
    s.Drum(Voice::Snare, b + 1, 0.8);
    s.Drum(Voice::Snare, b + 3, 0.85);
    if (busy && barInSection % 2 == 1) s.Drum(Voice::Snare, b + 3.75, 0.3);
    for (int i = 0; i < 8; ++i) {
        if (barInSection % 4 == 3 && i == 7)
            s.Drum(Voice::OpenHat, b + 3.5, 0.8, 0.3);
        else
            s.Drum(Voice::Hat, b + i * 0.5, i % 2 ? 0.9 : 0.6, 0.3);
    }
}

void AddBassLine(Score& s, double bar, const Chord& c) {
    double b = bar * 4;
    int r = c.bass;
    s.Add(Voice::Bass, b, 1.5, r, 1.0);
    s.Add(Voice::Bass, b + 1.5, 0.5, r, 0.7);
    s.Add(Voice::Bass, b + 2, 1, r + 7, 0.85);
    s.Add(Voice::Bass, b + 3, 0.5, r + 12, 0.6);
    s.Add(Voice::Bass, b + 3.5, 0.5, r + 7, 0.7);
}

// A verse: electric piano on the beat and off it, a moving bass, full drums.
void AddVerse(Score& s, int firstBar, const Chord* const* chords, bool busy) {
    s.Drum(Voice::Crash, firstBar * 4, 0.9, -0.2);
    for (int i = 0; i < 8; ++i) {
        double b = (firstBar + i) * 4.0;
        const Chord& c = *chords[i];
        AddChord(s, Voice::Pad, b, 4, c, 0.7);
        AddChord(s, Voice::Piano, b, 1.4, c, 0.8);
        AddChord(s, Voice::Piano, b + 2.5, 1.3, c, 0.6);
        AddBassLine(s, firstBar + i, c);
        AddGroove(s, firstBar + i, i, busy);
    }
}

Score Compose() {
    Score s;
    // Intro, bars 1-4: pad, broken chords, long bass notes, light drums.
    const Chord* intro[] = {&kF, &kDm9, &kBb, &kC7sus};
    s.Drum(Voice::Crash, 0, 0.9, -0.2);
    for (int i = 0; i < 4; ++i) {
        double b = i * 4.0;
        AddChord(s, Voice::Pad, b, 4, *intro[i], 1.0);
        AddArpeggio(s, b, 4, *intro[i]);
        s.Add(Voice::Bass, b, 3.8, intro[i]->bass, 0.9);
        s.Drum(Voice::Kick, b, 0.9);
        if (i > 0) s.Drum(Voice::Kick, b + 2, 0.7);
        for (int h = 0; h < 8; ++h)
            s.Drum(Voice::Hat, b + h * 0.5, h % 2 ? 0.75 : 0.45, 0.3);
    }
    s.Drum(Voice::Snare, 15.5, 0.45);

    // A (bars 5-12), B (13-20), A again with a harmony (21-28).
    const Chord* verseA[] = {&kF, &kAm, &kBb, &kC7, &kF, &kAm, &kGm, &kC7};
    const Chord* verseB[] = {&kDm, &kAm, &kBb, &kF, &kDm, &kAm, &kGm, &kC7sus};
    const size_t tuneA = sizeof kTuneA / sizeof kTuneA[0];
    AddVerse(s, 4, verseA, false);
    AddTune(s, 16, kTuneA, tuneA, 0.9, 0, -0.1);
    AddVerse(s, 12, verseB, true);
    AddTune(s, 48, kTuneB, sizeof kTuneB / sizeof kTuneB[0], 0.9, 0, -0.1);
    AddVerse(s, 20, verseA, true);
    const size_t tuneA2 = tuneA - 4; // all but the last bar
    AddTune(s, 80, kTuneA, tuneA2, 0.9, 0, -0.1);
    AddTune(s, 80, kTuneA2End, 3, 0.9, 0, -0.1);
    AddTune(s, 80, kTuneA, tuneA2, 0.45, 2, 0.3);
    AddTune(s, 80, kTuneA2End, 3, 0.45, 2, 0.3);

    // Bridge, bars 29-36: broken chords, half-time drums, then the held
    // C9sus4 that leads back to the F of bar 1.
    const Chord* bridge[] = {&kBb, &kAm, &kGm, &kF, &kBb, &kAm};
    s.Drum(Voice::Crash, 112, 0.8, -0.2);
    for (int i = 0; i < 6; ++i) {
        double b = 112 + i * 4.0;
        const Chord& c = *bridge[i];
        AddChord(s, Voice::Pad, b, 4, c, 0.9);
        AddArpeggio(s, b, 4, c);
        s.Add(Voice::Bass, b, 2, c.bass, 0.9);
        s.Add(Voice::Bass, b + 2, 1.5, c.bass + 7, 0.75);
        s.Add(Voice::Bass, b + 3.5, 0.5, c.bass, 0.6);
        s.Drum(Voice::Kick, b, 0.9);
        s.Drum(Voice::Kick, b + 2.5, 0.6);
        s.Drum(Voice::Snare, b + 2, 0.75);
        for (int h = 0; h < 4; ++h)
            s.Drum(Voice::Hat, b + h, 0.7, 0.3);
    }
    AddChord(s, Voice::Pad, 136, 2, kGm, 0.9);
    AddArpeggio(s, 136, 2, kGm);
    s.Add(Voice::Bass, 136, 2, kGm.bass, 0.9);
    s.Drum(Voice::Kick, 136, 0.9);
    s.Drum(Voice::Hat, 136, 0.7, 0.3);
    s.Drum(Voice::Hat, 137, 0.7, 0.3);
    AddTune(s, 112, kTuneC, sizeof kTuneC / sizeof kTuneC[0], 0.9, 0, -0.1);

    AddChord(s, Voice::Pad, kHoldBeat, 6, kC9sus, 1.1);
    AddChord(s, Voice::Piano, kHoldBeat, 6, kC9sus, 0.55);
    s.Add(Voice::Bass, kHoldBeat, 6, kC9sus.bass, 0.9);
    s.Add(Voice::Swell, kHoldBeat, 6, 0, 1.0);
    return s;
}

// ------------------------------------------------------------ instruments

// The mix: what goes straight out and what goes to the reverb.
struct Mix {
    synth::Stereo dry{kFrames + kTailFrames};
    synth::Stereo send{kFrames + kTailFrames};
};

struct Level {
    double gain, send;
};

// Per-voice level and reverb send.
Level VoiceLevel(Voice v) {
    switch (v) {
    case Voice::Pad:
        return {0.045, 0.6};
    case Voice::Piano:
        return {0.085, 0.35};
    case Voice::Bass:
        return {0.26, 0.05};
    case Voice::Vibes:
        return {0.17, 0.45};
    case Voice::Pluck:
        return {0.10, 0.5};
    case Voice::Kick:
        return {0.42, 0.0};
    case Voice::Snare:
        return {0.30, 0.3};
    case Voice::Hat:
        return {0.07, 0.1};
    case Voice::OpenHat:
        return {0.055, 0.2};
    case Voice::Crash:
        return {0.06, 0.3};
    case Voice::Swell:
        return {0.09, 0.5};
    }
    return {0, 0};
}

// How long a voice sounds after its note ends, in seconds.
double Release(Voice v) {
    switch (v) {
    case Voice::Pad:
        return 1.2;
    case Voice::Piano:
        return 0.25;
    case Voice::Bass:
        return 0.08;
    case Voice::Vibes:
        return 0.4;
    case Voice::Pluck:
        return 0.35;
    case Voice::Kick:
        return 0.5;
    case Voice::Snare:
        return 0.45;
    case Voice::Hat:
        return 0.15;
    case Voice::OpenHat:
        return 0.6;
    case Voice::Crash:
        return 3.5;
    case Voice::Swell:
        return 0.0;
    }
    return 0;
}

// State a voice keeps from one sample to the next.
struct VoiceState {
    synth::Random noise;
    synth::Biquad filter;
    double phase = 0;
};

// One sample of a note, t seconds after it was struck, held for held
// seconds; amplitude before the voice's level, about 1 at most.
double Sample(Voice v, VoiceState& st, double hz, double t, double held) {
    // Linear fade over the release once the note is let go (drums at once).
    double released =
        t > held && Release(v) > 0 ? 1.0 - (t - held) / Release(v) : 1.0;
    if (released <= 0) return 0;
    switch (v) {
    case Voice::Pad: { // two slightly detuned voices, four harmonics
        double attack = t < 0.6 ? std::sin(0.5 * synth::kPi * t / 0.6) : 1.0;
        double x = 0;
        static const double harm[] = {1.0, 0.45, 0.22, 0.12};
        for (int k = 0; k < 4; ++k)
            x += harm[k] * (synth::SineCycles(hz * 1.003 * (k + 1) * t) +
                            synth::SineCycles(hz * 0.997 * (k + 1) * t));
        return 0.5 * x * attack * released;
    }
    case Voice::Piano: { // two-operator FM, its brightness fading
        double index = 1.3 * std::exp(-t / 0.35) + 0.25;
        double mod = index * synth::SineCycles(hz * t) / (2 * synth::kPi);
        double tine =
            0.12 * std::exp(-t / 0.03) * synth::SineCycles(7 * hz * t);
        double env = std::min(1.0, t / 0.004) * std::exp(-t / 1.6);
        return (synth::SineCycles(hz * t + mod) + tine) * env * released;
    }
    case Voice::Bass: {
        double x = synth::SineCycles(hz * t) +
                   0.25 * synth::SineCycles(2 * hz * t) +
                   0.08 * synth::SineCycles(3 * hz * t);
        double env =
            std::min(1.0, t / 0.006) * (0.65 + 0.35 * std::exp(-t / 0.25));
        return x * env * released;
    }
    case Voice::Vibes: {
        double x = synth::SineCycles(hz * t) +
                   0.18 * std::exp(-t / 0.25) * synth::SineCycles(4 * hz * t) +
                   0.05 * std::exp(-t / 0.08) * synth::SineCycles(10 * hz * t);
        double tremolo = 1.0 + 0.1 * synth::SineCycles(5.2 * t);
        double env = std::min(1.0, t / 0.0025) * std::exp(-t / 2.2);
        return x * tremolo * env * released;
    }
    case Voice::Pluck: {
        double x =
            synth::SineCycles(hz * t) + 0.12 * synth::SineCycles(3 * hz * t);
        double env = std::min(1.0, t / 0.002) * std::exp(-t / 0.22);
        return x * env * released;
    }
    case Voice::Kick: {
        st.phase += (48.0 + 75.0 * std::exp(-t / 0.035)) / kRate;
        double env = std::min(1.0, t / 0.001) * std::exp(-t / 0.22);
        double click = 0.15 * std::exp(-t / 0.004) * st.noise.Uniform();
        return synth::SineCycles(st.phase) * env + click;
    }
    case Voice::Snare: {
        double noise = st.filter.Process(st.noise.Uniform());
        double tone = 0.5 * std::exp(-t / 0.05) * synth::SineCycles(185 * t);
        return 1.6 * noise * std::exp(-t / 0.085) + tone;
    }
    case Voice::Hat:
        return st.filter.Process(st.noise.Uniform()) * std::exp(-t / 0.022);
    case Voice::OpenHat:
        return st.filter.Process(st.noise.Uniform()) * std::exp(-t / 0.18);
    case Voice::Crash:
        return st.filter.Process(st.noise.Uniform()) *
               std::min(1.0, t / 0.002) * std::exp(-t / 1.3);
    case Voice::Swell: { // rises to the end of the piece
        double rise = t / held;
        return st.filter.Process(st.noise.Uniform()) * rise * rise;
    }
    }
    return 0;
}

VoiceState StartVoice(Voice v, uint64_t seed) {
    VoiceState st{synth::Random(seed), {}, 0};
    switch (v) {
    case Voice::Snare:
        st.filter = synth::BandPass(kRate, 1800, 0.6);
        break;
    case Voice::Hat:
    case Voice::OpenHat:
        st.filter = synth::HighPass(kRate, 7000, 0.7);
        break;
    case Voice::Crash:
        st.filter = synth::HighPass(kRate, 3500, 0.7);
        break;
    case Voice::Swell:
        st.filter = synth::BandPass(kRate, 2500, 0.8);
        break;
    default:
        break;
    }
    return st;
}

void Render(const Event& e, uint64_t seed, Mix& mix) {
    Level level = VoiceLevel(e.voice);
    double angle = (e.pan + 1.0) * synth::kPi / 4.0;
    double gl = level.gain * e.velocity * std::cos(angle) * std::sqrt(2.0);
    double gr = level.gain * e.velocity * std::sin(angle) * std::sqrt(2.0);
    double hz = synth::NoteHz(e.pitch);
    double held = e.beats * kFramesPerBeat / kRate;
    size_t start = static_cast<size_t>(e.beat * kFramesPerBeat);
    size_t length = static_cast<size_t>((held + Release(e.voice)) * kRate);
    if (e.voice == Voice::Kick || e.voice == Voice::Snare ||
        e.voice == Voice::Hat || e.voice == Voice::OpenHat ||
        e.voice == Voice::Crash)
        length = static_cast<size_t>(Release(e.voice) * kRate);
    if (start + length > mix.dry.Frames()) length = mix.dry.Frames() - start;
    VoiceState st = StartVoice(e.voice, seed);
    for (size_t i = 0; i < length; ++i) {
        double x =
            Sample(e.voice, st, hz, static_cast<double>(i) / kRate, held);
        mix.dry.left[start + i] += static_cast<float>(gl * x);
        mix.dry.right[start + i] += static_cast<float>(gr * x);
        mix.send.left[start + i] += static_cast<float>(level.send * gl * x);
        mix.send.right[start + i] += static_cast<float>(level.send * gr * x);
    }
}

// What rang on past the end sounds again over the beginning.
void FoldTail(synth::Stereo& s) {
    for (size_t i = kFrames; i < s.Frames(); ++i) {
        s.left[i - kFrames] += s.left[i];
        s.right[i - kFrames] += s.right[i];
    }
    s.left.resize(kFrames);
    s.right.resize(kFrames);
}

// ------------------------------------------------------------ reverb

// A feedback delay line with a damped feedback path.
struct Comb {
    std::vector<float> line;
    size_t pos = 0;
    double damped = 0;
    double Process(double x, double feedback, double damping) {
        double out = line[pos];
        damped = out * (1 - damping) + damped * damping;
        line[pos] = static_cast<float>(x + damped * feedback);
        pos = (pos + 1) % line.size();
        return out;
    }
};

struct Allpass {
    std::vector<float> line;
    size_t pos = 0;
    double Process(double x, double g) {
        double delayed = line[pos];
        double y = delayed - g * x;
        line[pos] = static_cast<float>(x + g * delayed);
        pos = (pos + 1) % line.size();
        return y;
    }
};

// Parallel combs into two allpasses per channel, the two channels with
// different delays for width. The loop goes round twice and the second
// round is kept, so the reverb at the start already holds the end's tail.
synth::Stereo Reverb(const synth::Stereo& in) {
    static const int combL[] = {1459, 1601, 1747, 1873};
    static const int combR[] = {1493, 1637, 1777, 1913};
    static const int passL[] = {389, 131};
    static const int passR[] = {409, 139};
    synth::Stereo out(in.Frames());
    for (int ch = 0; ch < 2; ++ch) {
        std::vector<Comb> combs(4);
        std::vector<Allpass> passes(2);
        for (int i = 0; i < 4; ++i)
            combs[i].line.assign(ch ? combR[i] : combL[i], 0);
        for (int i = 0; i < 2; ++i)
            passes[i].line.assign(ch ? passR[i] : passL[i], 0);
        const std::vector<float>& x = ch ? in.right : in.left;
        std::vector<float>& y = ch ? out.right : out.left;
        for (int round = 0; round < 2; ++round) {
            for (size_t i = 0; i < x.size(); ++i) {
                double v = 0;
                for (Comb& c : combs)
                    v += c.Process(x[i], 0.8, 0.3);
                v *= 0.25;
                for (Allpass& a : passes)
                    v = a.Process(v, 0.6);
                y[i] = static_cast<float>(v);
            }
        }
    }
    return out;
}

// A DC blocker that also runs round the loop twice, so it starts settled.
void RemoveDcLooped(synth::Stereo& s) {
    double r = std::exp(-2.0 * synth::kPi * 20.0 / kRate);
    for (std::vector<float>* ch : {&s.left, &s.right}) {
        double x1 = ch->back(), y1 = 0;
        std::vector<float> in = *ch;
        for (int round = 0; round < 2; ++round)
            for (size_t i = 0; i < in.size(); ++i) {
                double y = in[i] - x1 + r * y1;
                x1 = in[i];
                y1 = y;
                (*ch)[i] = static_cast<float>(y);
            }
    }
}

} // namespace

bool WriteMusic(const std::string& path) {
    FILE* file = OpenOutput(path);
    if (!file) return false;
    Score score = Compose();
    Mix mix;
    uint64_t seed = 0xC0FFEE;
    for (const Event& e : score.events)
        Render(e, ++seed, mix);
    FoldTail(mix.dry);
    FoldTail(mix.send);
    synth::Stereo wet = Reverb(mix.send);
    synth::Stereo& out = mix.dry;
    for (size_t i = 0; i < kFrames; ++i) {
        out.left[i] += 0.9f * wet.left[i];
        out.right[i] += 0.9f * wet.right[i];
    }
    RemoveDcLooped(out);
    // Headroom for the encoder, whose output can overshoot the input.
    synth::ScaleToPeak(out, 0.79f);
    std::vector<unsigned char> mp3;
    if (!EncodeStereoMp3(synth::ToPcm16(out), kRate, kKbps, mp3)) {
        AbandonOutput(file, path);
        return false;
    }
    return FinishOutput(file, path, mp3);
}
