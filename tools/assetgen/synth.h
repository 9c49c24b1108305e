// Building blocks of the synthesised sounds: a seeded noise source, a sine
// table, filters and the finishing steps every sound goes through before it
// is written (DC removal, fade, level).
#ifndef QEL_ASSETGEN_SYNTH_H
#define QEL_ASSETGEN_SYNTH_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

constexpr double kPi = 3.14159265358979323846;

// xorshift64*: the same seed gives the same sounds on every machine.
struct Random {
    uint64_t state;
    explicit Random(uint64_t seed)
        : state(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t Next();
    double Unit();    // [0, 1)
    double Uniform(); // [-1, 1)
};

// One cycle of sine and a guard entry, for SineCycles.
constexpr int kSineTableSize = 4096;
extern const double* const kSineTable;

// sin(2 pi x) for any x, from a table with linear interpolation: the music
// needs a few hundred million of them.
inline double SineCycles(double cycles) {
    double whole = static_cast<double>(static_cast<int64_t>(cycles));
    if (whole > cycles) whole -= 1; // truncation went up for a negative x
    double pos = (cycles - whole) * kSineTableSize;
    int i = static_cast<int>(pos);
    if (i >= kSineTableSize) i = kSineTableSize - 1; // x just below an integer
    double frac = pos - i;
    return kSineTable[i] + (kSineTable[i + 1] - kSineTable[i]) * frac;
}

// Frequency of a MIDI note number (69 is A 440 Hz).
double NoteHz(double note);

// A second-order section after the well-known audio-EQ cookbook formulas.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;
    double Process(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};
Biquad LowPass(double rate, double hz, double q);
Biquad HighPass(double rate, double hz, double q);
Biquad BandPass(double rate, double hz, double q);

// Two channels of float samples, full scale 1.0.
struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t frames = 0) : left(frames), right(frames) {}
    size_t Frames() const { return left.size(); }
};

// A first-order high pass at hz: takes away any DC offset.
void RemoveDc(Stereo& s, double rate, double hz);
// A raised-cosine fade to exact silence over the last frames.
void FadeOut(Stereo& s, size_t frames);
float Peak(const Stereo& s);
// Scales so that the largest sample has the magnitude peak.
void ScaleToPeak(Stereo& s, float peak);
// Interleaved 16-bit samples, rounded; the caller keeps the level below 1.
std::vector<int16_t> ToPcm16(const Stereo& s);

} // namespace synth

#endif
