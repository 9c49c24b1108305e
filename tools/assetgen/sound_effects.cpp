// The two sound effects, in the game's buffer format (16-bit stereo at
// 11025 Hz) so that they play as synthesised: a short wooden chop when a
// letter is knocked out and a rising bell arpeggio for an earned level.
#include <algorithm>
#include <cmath>

#include "assets.h"
#include "synth.h"
#include "wav_writer.h"

namespace {

constexpr double kRate = 11025.0;

size_t Frames(double seconds) {
    return static_cast<size_t>(seconds * kRate);
}

// Level a bit under full scale, no DC, and a fade so the end does not click.
std::vector<int16_t> Finish(synth::Stereo& s, double fadeSeconds) {
    synth::RemoveDc(s, kRate, 25.0);
    synth::FadeOut(s, Frames(fadeSeconds));
    synth::ScaleToPeak(s, 0.84f);
    return synth::ToPcm16(s);
}

// Equal-power gains for a pan position from -1 (left) to 1 (right).
void PanGains(double pan, double* left, double* right) {
    double angle = (pan + 1.0) * synth::kPi / 4.0;
    *left = std::cos(angle);
    *right = std::sin(angle);
}

} // namespace

// A chop: a pitched body that drops from about 280 Hz to 95 Hz within a few
// tens of milliseconds, a woody overtone, and a band of noise for the impact.
bool WriteHitSound(const std::string& path) {
    synth::Stereo s(Frames(0.22));
    synth::Random rng(0x5EEDA7E5ull);
    synth::Biquad crackL = synth::BandPass(kRate, 1700.0, 0.9);
    synth::Biquad crackR = crackL;
    synth::Biquad thud = synth::LowPass(kRate, 480.0, 0.7);
    double phase = 0, woodPhase = 0;
    for (size_t i = 0; i < s.Frames(); ++i) {
        double t = i / kRate;
        double hz = 95.0 + 185.0 * std::exp(-t / 0.022);
        phase += hz / kRate;
        woodPhase += 2.4 * hz / kRate;
        double attack = 1.0 - std::exp(-t / 0.0012);
        double body = attack * std::exp(-t / 0.06) * synth::SineCycles(phase);
        double wood =
            0.35 * attack * std::exp(-t / 0.025) * synth::SineCycles(woodPhase);

        double common = rng.Uniform();
        double noiseEnv = std::min(1.0, t / 0.0004) * std::exp(-t / 0.016);
        double l = crackL.Process(0.75 * common + 0.25 * rng.Uniform());
        double r = crackR.Process(0.75 * common + 0.25 * rng.Uniform());
        double low = 0.5 * std::exp(-t / 0.04) * thud.Process(common);

        double centre = 0.9 * body + wood + low;
        s.left[i] = static_cast<float>(centre + 0.9 * noiseEnv * l);
        s.right[i] = static_cast<float>(centre + 0.9 * noiseEnv * r);
    }
    return WriteStereoWave(path, Finish(s, 0.025), 11025);
}

// G5 C6 E6 G6 C7 struck one after another as small bells, moving from left
// to right, with a soft C major third under the last one.
bool WriteLevelUpSound(const std::string& path) {
    struct Partial {
        double ratio, gain, decay;
    };
    const Partial bell[] = {{1.0, 1.0, 0.45},
                            {2.0, 0.3, 0.28},
                            {2.76, 0.22, 0.15},
                            {5.4, 0.08, 0.06}};
    const double notes[] = {79, 84, 88, 91, 96};
    const int count = sizeof(notes) / sizeof(notes[0]);
    const double step = 0.075;

    synth::Stereo s(Frames(0.95));
    for (int n = 0; n < count; ++n) {
        double hz = synth::NoteHz(notes[n]);
        double length = n == count - 1 ? 0.6 : 0.35; // the last one rings on
        double gain = n == count - 1 ? 1.0 : 0.8;
        double gl, gr;
        PanGains(-0.4 + 0.8 * n / (count - 1), &gl, &gr);
        size_t start = Frames(n * step);
        for (size_t i = 0; start + i < s.Frames(); ++i) {
            double t = i / kRate;
            double v = 0;
            for (const Partial& p : bell) {
                if (hz * p.ratio > 0.44 * kRate) continue; // no aliasing
                double decay = p.decay * length / 0.35;
                v += p.gain * std::exp(-t / decay) *
                     synth::SineCycles(hz * p.ratio * t);
            }
            v *= gain * std::min(1.0, t / 0.0015);
            s.left[start + i] += static_cast<float>(gl * v);
            s.right[start + i] += static_cast<float>(gr * v);
        }
    }
    size_t bloom = Frames((count - 1) * step);
    for (size_t i = 0; bloom + i < s.Frames(); ++i) {
        double t = i / kRate;
        double env = std::min(1.0, t / 0.03) * std::exp(-t / 0.35);
        double v = 0.22 * env *
                   (synth::SineCycles(synth::NoteHz(72) * t) +
                    synth::SineCycles(synth::NoteHz(76) * t));
        s.left[bloom + i] += static_cast<float>(v);
        s.right[bloom + i] += static_cast<float>(v);
    }
    return WriteStereoWave(path, Finish(s, 0.15), 11025);
}
