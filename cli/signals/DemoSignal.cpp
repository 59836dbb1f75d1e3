#include "cli/signals/DemoSignal.h"

#include "cli/signals/Resonator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
constexpr double kPi = 3.141592653589793;
constexpr double kRate = DemoSignal::kSampleRate;

// Deterministic white noise in [-1, 1).
struct Noise
{
    std::uint32_t state = 12345;
    double next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }
};

struct Vowel
{
    double f1, f2, f3;
};

constexpr Vowel kVowels[] = {{800, 1150, 2900}, {400, 1600, 2700}, {350, 1700, 2700}, {450, 800, 2830},
                             {325, 700, 2530},  {600, 1040, 2250}};

// Syllables: start (s), length (s), vowel, starting pitch (Hz); a fricative precedes some.
struct Syllable
{
    double start, length;
    int vowel;
    double pitch;
    bool fricative;
};

constexpr Syllable kSyllables[] = {{0.10, 0.28, 0, 140, false}, {0.42, 0.22, 1, 150, true},
                                   {0.70, 0.34, 3, 135, false}, {1.12, 0.26, 2, 160, true},
                                   {1.44, 0.30, 5, 145, false}, {1.80, 0.45, 4, 125, false}};

double envelope(double t, double start, double length)
{
    const double u = (t - start) / length;
    if (u <= 0.0 || u >= 1.0)
        return 0.0;
    return std::sin(kPi * u) * std::min(1.0, 6.0 * u);
}

void addSpeech(std::vector<double>& mono)
{
    Resonator formants[3];
    Noise noise;
    Resonator hiss;
    hiss.tune(kRate, 5500, 2500);
    double phase = 0.0;
    for (std::size_t i = 0; i < mono.size(); ++i)
    {
        const double t = static_cast<double>(i) / kRate;
        for (std::size_t s = 0; s < std::size(kSyllables); ++s)
        {
            const Syllable& syl = kSyllables[s];
            const double env = envelope(t, syl.start, syl.length);
            if (syl.fricative)
                mono[i] += 0.35 * envelope(t, syl.start - 0.09, 0.11) * hiss.tick(noise.next());
            if (env <= 0.0)
                continue;
            // Glide towards the next vowel and let the pitch fall through the syllable.
            const double u = (t - syl.start) / syl.length;
            const Vowel& a = kVowels[syl.vowel];
            const Vowel& b = kVowels[(syl.vowel + 1) % std::size(kVowels)];
            const double glide = 0.35 * u;
            formants[0].tune(kRate, a.f1 + (b.f1 - a.f1) * glide, 80);
            formants[1].tune(kRate, a.f2 + (b.f2 - a.f2) * glide, 100);
            formants[2].tune(kRate, a.f3 + (b.f3 - a.f3) * glide, 140);
            const double pitch = syl.pitch * (1.0 - 0.18 * u) * (1.0 + 0.01 * std::sin(2 * kPi * 5.5 * t));
            phase += pitch / kRate;
            phase -= std::floor(phase);
            // A glottal pulse: a falling sawtooth with a little breath.
            const double source = (1.0 - 2.0 * phase) + 0.05 * noise.next();
            const double voice = formants[0].tick(source) * 1.0 + formants[1].tick(source) * 0.6 +
                                 formants[2].tick(source) * 0.3;
            mono[i] += 2.5 * env * voice;
        }
    }
}

void addMusic(std::vector<double>& left, std::vector<double>& right, double start)
{
    Noise noise;
    const double chord[] = {110.0, 164.81, 220.0, 277.18, 329.63};
    const double beats[] = {0.0, 0.25, 0.5, 0.625, 0.75};
    for (std::size_t i = static_cast<std::size_t>(start * kRate); i < left.size(); ++i)
    {
        const double t = static_cast<double>(i) / kRate - start;
        double l = 0.0, r = 0.0;
        for (double beat : beats)
        {
            const double u = t - beat;
            if (u < 0.0 || u > 0.4)
                continue;
            // Kick: a falling sine; hat: a click of noise.
            const double kickFreq = 50.0 + 90.0 * std::exp(-u * 30.0);
            const double kick = std::sin(2 * kPi * kickFreq * u) * std::exp(-u * 9.0);
            const double hat = u < 0.03 ? noise.next() * std::exp(-u * 150.0) * 0.25 : 0.0;
            l += 0.8 * kick + hat;
            r += 0.8 * kick + 0.7 * hat;
        }
        for (std::size_t n = 0; n < std::size(chord); ++n)
        {
            const double decay = std::exp(-t * 1.8);
            double tone = 0.0;
            for (int h = 1; h <= 6; ++h)
                tone += std::sin(2 * kPi * chord[n] * h * t) / (h * h);
            const double pan = static_cast<double>(n) / (std::size(chord) - 1);
            l += 0.16 * decay * tone * (1.0 - 0.5 * pan);
            r += 0.16 * decay * tone * (0.5 + 0.5 * pan);
        }
        left[i] += l;
        right[i] += r;
    }
}
} // namespace

std::vector<float> DemoSignal::generate()
{
    const std::size_t frames = static_cast<std::size_t>(4.0 * kRate);
    std::vector<double> speech(frames, 0.0);
    addSpeech(speech);
    std::vector<double> left = speech, right = speech;
    addMusic(left, right, 2.8);

    double peak = 1e-9;
    for (std::size_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    const double scale = std::pow(10.0, -3.0 / 20.0) / peak;
    std::vector<float> out(frames * kChannels);
    for (std::size_t i = 0; i < frames; ++i)
    {
        out[2 * i] = static_cast<float>(left[i] * scale);
        out[2 * i + 1] = static_cast<float>(right[i] * scale);
    }
    return out;
}
