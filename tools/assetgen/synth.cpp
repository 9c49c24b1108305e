#include "synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

uint64_t Random::Next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
}

double Random::Unit() {
    return (Next() >> 11) * (1.0 / 9007199254740992.0);
}

double Random::Uniform() {
    return Unit() * 2.0 - 1.0;
}

namespace {

const double* BuildSineTable() {
    static double table[kSineTableSize + 1];
    for (int i = 0; i <= kSineTableSize; ++i)
        table[i] = std::sin(2.0 * kPi * i / kSineTableSize);
    return table;
}

} // namespace

const double* const kSineTable = BuildSineTable();

double NoteHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

namespace {

// The cookbook's normalised coefficients from b and a (a0 divides all).
Biquad Make(double b0, double b1, double b2, double a0, double a1, double a2) {
    Biquad f;
    f.b0 = b0 / a0;
    f.b1 = b1 / a0;
    f.b2 = b2 / a0;
    f.a1 = a1 / a0;
    f.a2 = a2 / a0;
    return f;
}

} // namespace

Biquad LowPass(double rate, double hz, double q) {
    double w = 2.0 * kPi * hz / rate, c = std::cos(w);
    double alpha = std::sin(w) / (2.0 * q);
    return Make((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad HighPass(double rate, double hz, double q) {
    double w = 2.0 * kPi * hz / rate, c = std::cos(w);
    double alpha = std::sin(w) / (2.0 * q);
    return Make((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c,
                1 - alpha);
}

// Constant 0 dB peak gain at hz.
Biquad BandPass(double rate, double hz, double q) {
    double w = 2.0 * kPi * hz / rate, c = std::cos(w);
    double alpha = std::sin(w) / (2.0 * q);
    return Make(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

void RemoveDc(Stereo& s, double rate, double hz) {
    double r = std::exp(-2.0 * kPi * hz / rate);
    for (std::vector<float>* ch : {&s.left, &s.right}) {
        double x1 = 0, y1 = 0;
        for (float& v : *ch) {
            double y = v - x1 + r * y1;
            x1 = v;
            y1 = y;
            v = static_cast<float>(y);
        }
    }
}

void FadeOut(Stereo& s, size_t frames) {
    size_t n = s.Frames();
    frames = std::min(frames, n);
    for (size_t i = 0; i < frames; ++i) {
        // Gain 1 at the fade's first frame, exactly 0 at the last.
        double t = frames > 1 ? static_cast<double>(i) / (frames - 1) : 1.0;
        float g = static_cast<float>(0.5 + 0.5 * std::cos(kPi * t));
        s.left[n - frames + i] *= g;
        s.right[n - frames + i] *= g;
    }
}

float Peak(const Stereo& s) {
    float peak = 0;
    for (float v : s.left)
        peak = std::max(peak, std::fabs(v));
    for (float v : s.right)
        peak = std::max(peak, std::fabs(v));
    return peak;
}

void ScaleToPeak(Stereo& s, float peak) {
    float now = Peak(s);
    if (now <= 0) return;
    float g = peak / now;
    for (float& v : s.left)
        v *= g;
    for (float& v : s.right)
        v *= g;
}

std::vector<int16_t> ToPcm16(const Stereo& s) {
    std::vector<int16_t> out(s.Frames() * 2);
    auto convert = [](float v) {
        double x = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0);
        return static_cast<int16_t>(x);
    };
    for (size_t i = 0; i < s.Frames(); ++i) {
        out[2 * i] = convert(s.left[i]);
        out[2 * i + 1] = convert(s.right[i]);
    }
    return out;
}

} // namespace synth
