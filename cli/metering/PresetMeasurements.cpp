#include "cli/metering/PresetMeasurements.h"

#include "cli/render/EffectHost.h"
#include "cli/metering/LevelMeter.h"
#include "cli/settings/ParameterSettings.h"
#include "cli/settings/Presets.h"
#include "cli/signals/ReferenceSignals.h"
#include "cli/settings/UsageError.h"
#include "pipeline/EffectRun.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

namespace
{
constexpr std::size_t kFftSize = 4096;
constexpr double kPi = 3.141592653589793;
// The speech-like voice is in a pause where it stays under -70 dBFS (its peak is -3 dBFS).
constexpr float kPauseLevel = 3.2e-4f;

// fftw's planner is not thread-safe; plans are made one at a time.
std::mutex& plannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct FftwFree
{
    void operator()(void* p) const { fftwf_free(p); }
};

// Power per bin (0 to kFftSize/2) averaged over half-overlapping Hann windows.
std::vector<double> welchPowerSpectrum(const std::vector<float>& signal)
{
    std::unique_ptr<float, FftwFree> frame(fftwf_alloc_real(kFftSize));
    std::unique_ptr<fftwf_complex, FftwFree> spectrum(fftwf_alloc_complex(kFftSize / 2 + 1));
    if (!frame || !spectrum)
        throw std::bad_alloc();
    fftwf_plan plan;
    {
        std::lock_guard<std::mutex> lock(plannerMutex());
        plan = fftwf_plan_dft_r2c_1d(static_cast<int>(kFftSize), frame.get(), spectrum.get(), FFTW_ESTIMATE);
    }
    std::vector<float> window(kFftSize);
    for (std::size_t i = 0; i < kFftSize; ++i)
        window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / kFftSize));

    std::vector<double> power(kFftSize / 2 + 1, 0.0);
    // A signal shorter than one window is measured zero-padded.
    const std::size_t hop = kFftSize / 2;
    for (std::size_t start = 0; start == 0 || start + kFftSize <= signal.size(); start += hop)
    {
        for (std::size_t i = 0; i < kFftSize; ++i)
            frame.get()[i] = start + i < signal.size() ? signal[start + i] * window[i] : 0.f;
        fftwf_execute(plan);
        for (std::size_t k = 0; k < power.size(); ++k)
        {
            const double re = spectrum.get()[k][0], im = spectrum.get()[k][1];
            power[k] += re * re + im * im;
        }
    }
    {
        std::lock_guard<std::mutex> lock(plannerMutex());
        fftwf_destroy_plan(plan);
    }
    return power;
}

// Sum of the bins whose centre lies in [from, to).
double bandPower(const std::vector<double>& power, std::uint32_t sampleRate, double from, double to)
{
    const double binHz = static_cast<double>(sampleRate) / kFftSize;
    double sum = 0.0;
    for (std::size_t k = 0; k < power.size(); ++k)
    {
        const double f = static_cast<double>(k) * binHz;
        if (f >= from && f < to)
            sum += power[k];
    }
    return sum;
}

Levels levelsOf(const std::vector<float>& signal, std::uint32_t sampleRate, LevelMeter::Measure measure)
{
    LevelMeter meter(1, sampleRate, measure);
    meter.add(signal.data(), static_cast<std::uint32_t>(signal.size()));
    return meter.levels();
}

struct NamedKind
{
    const char* name;
    BandLimitKind kind;
};

// The shipped presets voiced as telephones and as radios.
constexpr NamedKind kBandLimitedPresets[] = {
    {"Phone call", BandLimitKind::Telephone},   {"Bad mobile line", BandLimitKind::Telephone},
    {"Answering machine", BandLimitKind::Telephone}, {"Intercom", BandLimitKind::Telephone},
    {"Police radio", BandLimitKind::Radio},     {"Pilot radio", BandLimitKind::Radio},
    {"Walkie-talkie", BandLimitKind::Radio},
    {"Mobile call (2G)", BandLimitKind::Telephone}, {"Mobile call, breaking up", BandLimitKind::Telephone},
    {"Phone on speaker in a car", BandLimitKind::Telephone},
    {"Digital radio", BandLimitKind::Radio},
};
} // namespace

BandLimit bandLimitOf(BandLimitKind kind)
{
    BandLimit band;
    band.stopFromHz = kind == BandLimitKind::Radio ? 5000.0 : 4000.0;
    return band;
}

BandLimitKind bandLimitKindOf(const std::string& presetName)
{
    for (const auto& entry : kBandLimitedPresets)
        if (presetName == entry.name)
            return entry.kind;
    return BandLimitKind::None;
}

pipeline::RunSettings presetRun(const ParameterSettings& settings, const space::SpaceSettings& space)
{
    pipeline::RunSettings run{EffectHost::instance().bankBlock(settings)};
    run.space = space;
    return run;
}

pipeline::RunSettings presetRun(const std::string& nameOrPath)
{
    ParameterSettings settings(EffectHost::instance().description());
    space::SpaceSettings space;
    applyPreset(settings, nameOrPath, nullptr, &space);
    return presetRun(settings, space);
}

pipeline::RunSettings heardRun(const std::string& nameOrPath, std::uint64_t seed)
{
    ParameterSettings settings(EffectHost::instance().description());
    space::SpaceSettings space;
    transmission::TransmissionSettings transmission;
    applyPreset(settings, nameOrPath, &transmission, &space);
    pipeline::RunSettings run = presetRun(settings, space);
    run.transmission = transmission;
    run.seed = seed;
    return run;
}

std::vector<float> renderThroughEffect(const pipeline::RunSettings& run, const std::vector<float>& input,
                                       std::uint32_t sampleRate)
{
    pipeline::RunSettings settings = run;
    settings.ringOut = false;
    try
    {
        pipeline::EffectRun effectRun(EffectHost::instance().effect(), std::move(settings), sampleRate, 1);
        return effectRun.render(input.data(), input.size());
    }
    catch (const pipeline::RunError& e)
    {
        throw IoError(e.what());
    }
}

std::vector<float> renderThroughEffect(const std::vector<std::uint8_t>& block, const std::vector<float>& input,
                                       std::uint32_t sampleRate, std::uint32_t blockFrames)
{
    return renderThroughEffect(pipeline::RunSettings{block, blockFrames}, input, sampleRate);
}

double bandEnergyRatioDb(const std::vector<float>& signal, std::uint32_t sampleRate, const BandLimit& band)
{
    const std::vector<double> power = welchPowerSpectrum(signal);
    const double pass = bandPower(power, sampleRate, band.passLowHz, band.passHighHz);
    const double stop = bandPower(power, sampleRate, band.stopFromHz, sampleRate);
    if (pass <= 0.0)
        return stop > 0.0 ? HUGE_VAL : 0.0;
    return stop > 0.0 ? 10.0 * std::log10(stop / pass) : -HUGE_VAL;
}

double loudnessLufs(const std::vector<float>& signal, std::uint32_t sampleRate)
{
    return levelsOf(signal, sampleRate, LevelMeter::Measure::Loudness).loudnessLufs;
}

double truePeakDbtp(const std::vector<float>& signal, std::uint32_t sampleRate)
{
    return levelsOf(signal, sampleRate, LevelMeter::Measure::Everything).truePeakDbtp;
}

SignalFigures measureSignal(const pipeline::RunSettings& run, const std::vector<float>& input, std::uint32_t sampleRate)
{
    const std::vector<float> output = renderThroughEffect(run, input, sampleRate);
    SignalFigures figures;
    figures.loudnessChangeLu = loudnessLufs(output, sampleRate) - loudnessLufs(input, sampleRate);
    figures.truePeakDbtp = truePeakDbtp(output, sampleRate);
    return figures;
}

PresetFigures measurePreset(const pipeline::RunSettings& run, BandLimitKind kind, std::uint32_t sampleRate,
                            double seconds, const VoicingTargets& targets)
{
    PresetFigures figures;
    const std::vector<float> pink = ReferenceSignals::pinkNoise(sampleRate, seconds);
    const std::vector<float> pinkOut = renderThroughEffect(run, pink, sampleRate);
    figures.bandLimitDb = bandEnergyRatioDb(pinkOut, sampleRate, bandLimitOf(kind));
    figures.pink.loudnessChangeLu = loudnessLufs(pinkOut, sampleRate) - loudnessLufs(pink, sampleRate);
    figures.pink.truePeakDbtp = truePeakDbtp(pinkOut, sampleRate);
    figures.speech = measureSignal(run, ReferenceSignals::speechLike(sampleRate, seconds, targets.speechPeakDbfs), sampleRate);
    figures.quietSpeech =
        measureSignal(run, ReferenceSignals::speechLike(sampleRate, seconds, targets.quietSpeechPeakDbfs), sampleRate);
    figures.sweep = measureSignal(run, ReferenceSignals::sineSweep(sampleRate, seconds), sampleRate);
    return figures;
}

double pauseLevelDbfs(const pipeline::RunSettings& run, std::uint32_t sampleRate, double seconds, double* pauseSeconds)
{
    const std::vector<float> speech = ReferenceSignals::speechLike(sampleRate, seconds);
    const std::vector<float> out = renderThroughEffect(run, speech, sampleRate);
    const std::size_t after = sampleRate / 10, before = sampleRate / 50;
    // Sounding: within `after` past a sample of the voice or `before` ahead of one.
    std::vector<bool> sounding(speech.size(), false);
    std::size_t since = after + 1;
    for (std::size_t i = 0; i < speech.size(); ++i)
    {
        since = std::fabs(speech[i]) > kPauseLevel ? 0 : since + 1;
        sounding[i] = since <= after;
    }
    std::size_t until = before + 1;
    for (std::size_t i = speech.size(); i-- > 0;)
    {
        until = std::fabs(speech[i]) > kPauseLevel ? 0 : until + 1;
        sounding[i] = sounding[i] || until <= before;
    }
    double energy = 0.0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < speech.size() && i < out.size(); ++i)
        if (!sounding[i])
        {
            energy += static_cast<double>(out[i]) * out[i];
            ++count;
        }
    if (pauseSeconds != nullptr)
        *pauseSeconds = static_cast<double>(count) / sampleRate;
    const double loudness = loudnessLufs(out, sampleRate);
    if (count == 0 || energy == 0.0 || !std::isfinite(loudness))
        return -HUGE_VAL;
    return 10.0 * std::log10(energy / static_cast<double>(count)) + (-23.0 - loudness);
}

HeardPeaks heardPeaks(const pipeline::RunSettings& run, std::uint32_t sampleRate, double seconds)
{
    std::vector<float> speech = ReferenceSignals::speechLike(sampleRate, seconds);
    const auto toLoudness = static_cast<float>(std::pow(10.0, (kHeardSpeechLufs - loudnessLufs(speech, sampleRate)) / 20.0));
    for (float& x : speech)
        x *= toLoudness;
    HeardPeaks peaks;
    peaks.sweepDbtp = measureSignal(run, ReferenceSignals::sineSweep(sampleRate, seconds), sampleRate).truePeakDbtp;
    peaks.speechDbtp = truePeakDbtp(renderThroughEffect(run, speech, sampleRate), sampleRate);
    return peaks;
}

double bandLimitDb(const pipeline::RunSettings& run, BandLimitKind kind, std::uint32_t sampleRate, double seconds)
{
    return bandEnergyRatioDb(renderThroughEffect(run, ReferenceSignals::pinkNoise(sampleRate, seconds), sampleRate),
                             sampleRate, bandLimitOf(kind));
}

VoiceFigures measureVoices(const pipeline::RunSettings& run, const std::vector<std::vector<float>>& voices,
                           std::uint32_t sampleRate)
{
    VoiceFigures figures;
    std::vector<double> changes;
    for (const auto& voice : voices)
    {
        figures.perVoice.push_back(measureSignal(run, voice, sampleRate));
        changes.push_back(figures.perVoice.back().loudnessChangeLu);
    }
    if (changes.empty())
        return figures;
    std::sort(changes.begin(), changes.end());
    const std::size_t middle = changes.size() / 2;
    figures.medianChangeLu = changes.size() % 2 == 1 ? changes[middle] : (changes[middle - 1] + changes[middle]) / 2.0;
    return figures;
}
