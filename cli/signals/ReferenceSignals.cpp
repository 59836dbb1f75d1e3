#include "cli/signals/ReferenceSignals.h"

#include "cli/signals/Resonator.h"
#include "transmission/PinkFilter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace
{
constexpr double kPi = 3.141592653589793;

double fromDb(double db)
{
    return std::pow(10.0, db / 20.0);
}

// Deterministic white noise in [-1, 1).
class WhiteNoise
{
public:
    explicit WhiteNoise(std::uint32_t seed) : m_state(seed) {}
    double next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t m_state;
};

// One-pole high-pass removing what lies below the voice (and the pink filter's DC gain).
class DcBlocker
{
public:
    explicit DcBlocker(double sampleRate, double frequency) : m_r(std::exp(-2.0 * kPi * frequency / sampleRate)) {}
    double tick(double x)
    {
        const double y = x - m_x1 + m_r * m_y1;
        m_x1 = x;
        m_y1 = y;
        return y;
    }

private:
    double m_r, m_x1 = 0, m_y1 = 0;
};

std::vector<float> scaled(const std::vector<double>& samples, double gain)
{
    std::vector<float> out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(), [gain](double s) { return static_cast<float>(s * gain); });
    return out;
}

struct Vowel
{
    double f1, f2, f3;
};

constexpr Vowel kVowels[] = {{800, 1150, 2900}, {400, 1600, 2700}, {350, 1700, 2700}, {450, 800, 2830},
                             {325, 700, 2530},  {600, 1040, 2250}, {270, 2290, 3010}, {660, 1720, 2410}};

// A syllable's amplitude: a quick rise and a sine-shaped fall, 0 outside it.
double syllableEnvelope(double u)
{
    if (u <= 0.0 || u >= 1.0)
        return 0.0;
    return std::sin(kPi * u) * std::min(1.0, 6.0 * u);
}
} // namespace

namespace ReferenceSignals
{
std::vector<float> pinkNoise(std::uint32_t sampleRate, double seconds, double rmsDbfs)
{
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    WhiteNoise white(20231);
    DcBlocker lowCut(sampleRate, 20.0);
    // Paul Kellet's seven-pole approximation of a -3 dB/octave slope.
    double b[7] = {};
    std::vector<double> pink(frames);
    double energy = 0.0;
    for (std::size_t i = 0; i < frames; ++i)
    {
        const double w = white.next();
        const double p = transmission::pinkFromWhite(b, w);
        pink[i] = lowCut.tick(p);
        energy += pink[i] * pink[i];
    }
    const double rms = frames > 0 ? std::sqrt(energy / static_cast<double>(frames)) : 0.0;
    return scaled(pink, rms > 0.0 ? fromDb(rmsDbfs) / rms : 0.0);
}

std::vector<float> speechLike(std::uint32_t sampleRate, double seconds, double peakDbfs)
{
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    const double rate = sampleRate;
    std::vector<double> voice(frames, 0.0);
    WhiteNoise noise(4711), chooser(97);
    Resonator formants[3], hiss;
    hiss.tune(rate, std::min(5500.0, 0.4 * rate), 2500.0);

    // Phrases of three to six syllables with short gaps, a longer pause between phrases.
    double start = 0.08;
    std::size_t syllableInPhrase = 0, phraseLength = 4;
    double phrasePitch = 140.0;
    while (start < seconds)
    {
        const double length = 0.16 + 0.14 * (0.5 + 0.5 * chooser.next());
        const auto vowelIndex = static_cast<std::size_t>((0.5 + 0.5 * chooser.next()) * std::size(kVowels)) % std::size(kVowels);
        const Vowel& a = kVowels[vowelIndex];
        const Vowel& b = kVowels[(vowelIndex + 3) % std::size(kVowels)];
        const bool fricative = chooser.next() > 0.2;
        const double pitch = phrasePitch * (1.0 - 0.04 * static_cast<double>(syllableInPhrase));
        double phase = 0.0;
        const double fricativeLength = 0.09;
        const auto first = static_cast<std::size_t>(std::max(0.0, start - (fricative ? fricativeLength : 0.0)) * rate);
        const auto last = std::min(frames, static_cast<std::size_t>((start + length) * rate));
        for (std::size_t i = first; i < last; ++i)
        {
            const double t = static_cast<double>(i) / rate;
            if (fricative && t < start)
                voice[i] += 0.35 * syllableEnvelope((t - start + fricativeLength) / fricativeLength) * hiss.tick(noise.next());
            const double u = (t - start) / length;
            const double env = syllableEnvelope(u);
            if (env <= 0.0)
                continue;
            const double glide = 0.35 * u;
            formants[0].tune(rate, a.f1 + (b.f1 - a.f1) * glide, 80);
            formants[1].tune(rate, a.f2 + (b.f2 - a.f2) * glide, 100);
            formants[2].tune(rate, a.f3 + (b.f3 - a.f3) * glide, 140);
            const double f0 = pitch * (1.0 - 0.18 * u) * (1.0 + 0.01 * std::sin(2 * kPi * 5.5 * t));
            phase += f0 / rate;
            phase -= std::floor(phase);
            // A glottal pulse: a falling sawtooth with a little breath.
            const double source = (1.0 - 2.0 * phase) + 0.05 * noise.next();
            voice[i] += 2.5 * env * (formants[0].tick(source) + 0.6 * formants[1].tick(source) + 0.3 * formants[2].tick(source));
        }
        start += length + 0.04 + 0.04 * (0.5 + 0.5 * chooser.next());
        if (++syllableInPhrase == phraseLength)
        {
            start += 0.35;
            syllableInPhrase = 0;
            phraseLength = 3 + static_cast<std::size_t>(2 * (0.5 + 0.5 * chooser.next()));
            phrasePitch = 125.0 + 30.0 * (0.5 + 0.5 * chooser.next());
        }
    }

    DcBlocker lowCut(rate, 60.0);
    double peak = 0.0;
    for (double& s : voice)
    {
        s = lowCut.tick(s);
        peak = std::max(peak, std::fabs(s));
    }
    return scaled(voice, peak > 0.0 ? fromDb(peakDbfs) / peak : 0.0);
}

std::vector<float> sineSweep(std::uint32_t sampleRate, double seconds, double levelDbfs, double fromHz, double toHz)
{
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    const double amplitude = fromDb(levelDbfs);
    const double ratio = std::log(toHz / fromHz);
    const double fade = 0.01 * sampleRate;
    std::vector<float> out(frames);
    for (std::size_t i = 0; i < frames; ++i)
    {
        const double t = static_cast<double>(i) / sampleRate;
        // The phase of an exponential sweep: 2π·f0·T/ln(f1/f0)·(e^(t/T·ln(f1/f0)) − 1).
        const double phase = 2.0 * kPi * fromHz * seconds / ratio * (std::exp(t / seconds * ratio) - 1.0);
        const double edge = std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(frames - 1 - i) / fade});
        out[i] = static_cast<float>(amplitude * edge * std::sin(phase));
    }
    return out;
}
} // namespace ReferenceSignals
