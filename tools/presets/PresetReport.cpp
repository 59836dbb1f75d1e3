// crumlet-preset-report: measures every shipped preset (or the ones named) on the reference
// signals, in the space it is heard in when it names one, and prints, per preset, the
// band-limit figure, the loudness change on pink noise and on speech, and the true peaks; with
// --check, exits 1 when a preset misses a target.
#include "cli/metering/PresetMeasurements.h"
#include "cli/settings/Presets.h"
#include "cli/signals/RecordedVoices.h"
#include "cli/signals/ReferenceSignals.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace
{
struct KindName
{
    const char* name;
    BandLimitKind kind;
};
constexpr KindName kKindNames[] = {{"phone", BandLimitKind::Telephone}, {"radio", BandLimitKind::Radio}};

const char* kindName(BandLimitKind kind)
{
    for (const KindName& k : kKindNames)
        if (k.kind == kind)
            return k.name;
    return "-";
}

BandLimitKind kindOf(const std::string& text)
{
    for (const KindName& k : kKindNames)
        if (text == k.name)
            return k.kind;
    return BandLimitKind::None;
}

// Pink noise through the run, per octave band from 31.5 Hz, against the pass band.
void printOctaveBands(const pipeline::RunSettings& run, BandLimitKind kind, std::uint32_t rate, double seconds)
{
    const std::vector<float> out = renderThroughEffect(run, ReferenceSignals::pinkNoise(rate, seconds), rate);
    BandLimit band = bandLimitOf(kind);
    std::printf("    octaves:");
    for (double centre = 31.25; centre * 1.414 < rate / 2.0; centre *= 2.0)
    {
        band.stopFromHz = centre / 1.414;
        const double fromHere = bandEnergyRatioDb(out, rate, band);
        band.stopFromHz = centre * 1.414;
        const double fromNext = bandEnergyRatioDb(out, rate, band);
        const double octave = 10.0 * std::log10(std::pow(10.0, fromHere / 10.0) - std::pow(10.0, fromNext / 10.0));
        std::printf(" %g:%.0f", centre < 1000 ? centre : centre / 1000.0, octave);
    }
    std::printf("  (Hz below 1000, else kHz: dB)\n");
}

// The loudness change (LU) and true peak (dBTP) on each recorded voice at -24 LUFS; false
// when their median is more than the tolerance from none.
bool printVoices(const pipeline::RunSettings& run, std::uint32_t rate, const VoicingTargets& targets)
{
    static const std::vector<RecordedVoice> voices = recordedVoices(rate, -24.0);
    std::vector<std::vector<float>> signals;
    for (const auto& v : voices)
        signals.push_back(v.samples);
    const VoiceFigures figures = measureVoices(run, signals, rate);
    std::printf("    voices at -24 LUFS: median %+.1f LU;", figures.medianChangeLu);
    for (std::size_t i = 0; i < voices.size(); ++i)
        std::printf(" %s %+.1f (%.1f)", voices[i].name.c_str(), figures.perVoice[i].loudnessChangeLu,
                    figures.perVoice[i].truePeakDbtp);
    std::printf("\n");
    return std::fabs(figures.medianChangeLu) <= targets.loudnessToleranceLu / 2.0;
}

// The targets a preset misses, as a short text ("" when it meets them all).
std::string misses(const PresetFigures& figures, double bandLimitOtherRateDb, BandLimitKind kind,
                   const VoicingTargets& targets)
{
    std::string out;
    auto add = [&out](const char* what) { out += out.empty() ? what : std::string(", ") + what; };
    if (kind != BandLimitKind::None &&
        (figures.bandLimitDb > targets.bandLimitDb || bandLimitOtherRateDb > targets.bandLimitDb))
        add("band");
    if (!(figures.sweep.truePeakDbtp < targets.sweepTruePeakDbtp) || !(figures.speech.truePeakDbtp < targets.sweepTruePeakDbtp))
        add("peak");
    return out;
}
} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Measures the shipped presets on pink noise, a speech-like voice and a -6 dBFS sine sweep."};
    std::vector<std::string> names;
    std::uint32_t rate = 48000, otherRate = 44100;
    double seconds = 4.0;
    bool check = false;
    app.add_option("presets", names, "shipped presets or preset files to measure (default: all shipped presets)");
    app.add_option("--rate", rate, "sample rate of the measurement (Hz)")->check(CLI::Range(8000, 192000));
    app.add_option("--also-rate", otherRate, "second sample rate for the band-limit (Hz)")->check(CLI::Range(8000, 192000));
    app.add_option("--seconds", seconds, "length of each signal")->check(CLI::Range(1.0, 60.0));
    app.add_flag("--check", check, "exit 1 when a preset misses a target");
    std::string kindText;
    app.add_option("--kind", kindText, "band-limit kind of presets given as files: phone, radio or none")
        ->check(CLI::IsMember({"phone", "radio", "none"}));
    VoicingTargets targets;
    app.add_option("--speech-peak", targets.speechPeakDbfs, "sample peak of the speech-like signal (dBFS)")
        ->check(CLI::Range(-60.0, 0.0));
    app.add_option("--quiet-speech-peak", targets.quietSpeechPeakDbfs, "sample peak of the quieter speech (dBFS)")
        ->check(CLI::Range(-60.0, 0.0));
    bool bands = false;
    app.add_flag("--bands", bands, "also print the pink-noise output per octave band, against the pass band");
    bool voices = false;
    app.add_flag("--voices", voices,
                 "also print the loudness change on each installed recorded voice at -24 LUFS, and their median "
                 "(loudness is voiced on these: the median within half the tolerance)");
    bool heard = false;
    app.add_flag("--heard", heard,
                 "also print the true peaks as heard, through the preset's transmission too (seed 1): of the -6 dBFS "
                 "sweep and of the speech-like voice at -24 LUFS (both at most -1 dBTP)");
    CLI11_PARSE(app, argc, argv);

    try
    {
        if (names.empty())
            for (const auto& preset : factoryPresets())
                names.push_back(preset.name);

        std::printf("reference signals at %u Hz, %g s: pink noise %.1f LUFS; speech-like %.1f LUFS (peak %g dBFS) "
                    "and quieter %.1f LUFS (peak %g dBFS); sweep -6 dBFS\n",
                    rate, seconds, loudnessLufs(ReferenceSignals::pinkNoise(rate, seconds), rate),
                    loudnessLufs(ReferenceSignals::speechLike(rate, seconds, targets.speechPeakDbfs), rate),
                    targets.speechPeakDbfs,
                    loudnessLufs(ReferenceSignals::speechLike(rate, seconds, targets.quietSpeechPeakDbfs), rate),
                    targets.quietSpeechPeakDbfs);
        std::printf("band: pink noise above 4 kHz (phone, -) or 5 kHz (radio) against 300 Hz-3.4 kHz; "
                    "then per signal: loudness change (LU) and true peak (dBTP)\n");
        const std::string rateText = std::to_string(rate / 1000.0).substr(0, 4) + "k";
        const std::string otherRateText = std::to_string(otherRate / 1000.0).substr(0, 4) + "k";
        std::printf("%-22s %-5s %7s %7s %15s %15s %7s %15s  %s\n", "preset", "kind", "band", "band", "pink noise",
                    "speech-like", "quieter", "-6 dBFS sweep", "misses");
        std::printf("%-22s %-5s %7s %7s %7s %7s %7s %7s %7s %7s %7s\n", "", "", rateText.c_str(), otherRateText.c_str(),
                    "LU", "dBTP", "LU", "dBTP", "LU", "LU", "dBTP");
        bool allMet = true;
        for (const auto& name : names)
        {
            // A shipped preset by name, or a preset file.
            const pipeline::RunSettings run = presetRun(name);
            const FactoryPreset* shipped = findFactoryPreset(name);
            const std::string shownName = shipped != nullptr ? shipped->name : name;
            const BandLimitKind kind = kindText.empty() ? bandLimitKindOf(shownName) : kindOf(kindText);
            const PresetFigures figures = measurePreset(run, kind, rate, seconds, targets);
            const double otherBandLimitDb = bandLimitDb(run, kind, otherRate, seconds);
            const std::string missed = misses(figures, otherBandLimitDb, kind, targets);
            allMet = allMet && missed.empty();
            std::printf("%-22s %-5s %7.1f %7.1f %+7.1f %7.1f %+7.1f %7.1f %+7.1f %+7.1f %7.1f  %s\n", shownName.c_str(),
                        kindName(kind), figures.bandLimitDb, otherBandLimitDb, figures.pink.loudnessChangeLu,
                        figures.pink.truePeakDbtp, figures.speech.loudnessChangeLu, figures.speech.truePeakDbtp,
                        figures.quietSpeech.loudnessChangeLu, figures.sweep.loudnessChangeLu, figures.sweep.truePeakDbtp,
                        missed.c_str());
            if (run.space.active())
                std::printf("    heard in %s\n", space::spaceText(run.space).c_str());
            if (bands)
                printOctaveBands(run, kind, rate, seconds);
            if (heard)
            {
                const HeardPeaks peaks = heardPeaks(heardRun(name), rate, seconds);
                const bool met = peaks.sweepDbtp <= targets.sweepTruePeakDbtp && peaks.speechDbtp <= targets.sweepTruePeakDbtp;
                pipeline::RunSettings dry = heardRun(name);
                dry.space = {};
                double pauses = 0.0;
                const double pauseDb = pauseLevelDbfs(dry, rate, 8.0, &pauses);
                std::printf("    heard: sweep %.1f dBTP, speech at %g LUFS %.1f dBTP; between words at -23 LUFS %.1f dBFS RMS "
                            "(%.1f s of pauses, out of its space)%s\n",
                            peaks.sweepDbtp, kHeardSpeechLufs, peaks.speechDbtp, pauseDb, pauses,
                            met ? "" : "  misses: peak as heard");
                allMet = allMet && met;
                if (voices && run.transmission.active() != heardRun(name).transmission.active())
                {
                    std::printf("    as heard,");
                    allMet = printVoices(heardRun(name), rate, targets) && allMet;
                }
            }
            if (voices && !printVoices(run, rate, targets))
            {
                std::printf("    misses: loudness on the recorded voices\n");
                allMet = false;
            }
            std::fflush(stdout);
        }
        return check && !allMet ? 1 : 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "crumlet-preset-report: %s\n", e.what());
        return 1;
    }
}
