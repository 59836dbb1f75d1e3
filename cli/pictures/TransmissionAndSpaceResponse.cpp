#include "cli/pictures/TransmissionAndSpaceResponse.h"

#include "cli/pictures/SimResponse.h"
#include "cli/settings/UsageError.h"
#include "cli/signals/ReferenceSignals.h"
#include "space/FftwPlanning.h"
#include "space/Space.h"
#include "space/SpaceError.h"
#include "transmission/Transmission.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace
{
constexpr double kPinkSeconds = 4.0;
constexpr double kPinkRmsDbfs = -20.0;
// Half a third of an octave either side.
const double kThirdOctaveHalf = std::pow(2.0, 1.0 / 6.0);

struct FftwFree
{
    void operator()(void* p) const { fftwf_free(p); }
};

// |X(k)|² of the whole signal, zero-padded to a power of two, for k from 0 to half the size.
std::vector<double> energySpectrum(const std::vector<float>& signal, std::size_t size)
{
    std::unique_ptr<float, FftwFree> frame(fftwf_alloc_real(size));
    std::unique_ptr<fftwf_complex, FftwFree> spectrum(fftwf_alloc_complex(size / 2 + 1));
    if (!frame || !spectrum)
        throw std::bad_alloc();
    space::makeFftwPlannerThreadSafe();
    const fftwf_plan plan =
        fftwf_plan_dft_r2c_1d(static_cast<int>(size), frame.get(), spectrum.get(), FFTW_ESTIMATE);
    for (std::size_t i = 0; i < size; ++i)
        frame.get()[i] = i < signal.size() ? signal[i] : 0.f;
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
    std::vector<double> energy(size / 2 + 1);
    for (std::size_t k = 0; k < energy.size(); ++k)
        energy[k] = static_cast<double>(spectrum.get()[k][0]) * spectrum.get()[k][0] +
                    static_cast<double>(spectrum.get()[k][1]) * spectrum.get()[k][1];
    return energy;
}

std::size_t powerOfTwoFor(std::size_t frames)
{
    std::size_t size = 1024;
    while (size < frames)
        size *= 2;
    return size;
}

// The mean energy per bin in the third octave around `hz` (the nearest bin when the band
// holds none).
double thirdOctave(const std::vector<double>& energy, unsigned rate, double hz)
{
    const double binHz = rate / (2.0 * static_cast<double>(energy.size() - 1));
    const auto bin = [&](double f) { return static_cast<std::size_t>(std::clamp(f / binHz, 0.0, double(energy.size() - 1))); };
    std::size_t from = bin(std::ceil(hz / kThirdOctaveHalf / binHz) * binHz);
    std::size_t to = bin(hz * kThirdOctaveHalf);
    if (to < from)
        from = to = bin(std::round(hz / binHz) * binHz);
    double sum = 0.0;
    for (std::size_t k = from; k <= to; ++k)
        sum += energy[k];
    return sum / static_cast<double>(to - from + 1);
}

double db(double energyRatio)
{
    return energyRatio > 0.0 ? 10.0 * std::log10(energyRatio) : -200.0;
}

std::string printed(const char* format, double a)
{
    char text[96];
    std::snprintf(text, sizeof text, format, a);
    return text;
}

// The radio's parts a listener hears beside the voice, in words.
void nameRadio(const transmission::RadioSettings& radio, std::vector<std::string>& named)
{
    if (!radio.enabled)
        return;
    named.push_back(std::isinf(radio.staticDb) ? std::string("no static")
                                               : printed("static at %g dB", radio.staticDb) + " (" +
                                                     (radio.colour == transmission::StaticColour::White   ? "white"
                                                      : radio.colour == transmission::StaticColour::Brown ? "brown"
                                                                                                          : "pink") +
                                                     ")");
    named.push_back(radio.squelchMs > 0.0 ? printed("squelch tail %g ms", radio.squelchMs)
                                          : std::string("no squelch tail"));
    if (!std::isinf(radio.clickDb))
        named.push_back(printed("key click at %g dB", radio.clickDb));
    named.push_back(radio.keying == transmission::Keying::Line
                        ? std::string("keyed for the whole line")
                        : printed("keyed above %g dB, silent between overs", radio.thresholdDb));
}
} // namespace

TransmissionAndSpaceResponse::TransmissionAndSpaceResponse(const transmission::TransmissionSettings& transmission,
                                                           const space::SpaceSettings& space, unsigned rate)
    : m_transmission(transmission), m_space(space), m_rate(rate)
{
    if (transmission.codec.kind != transmission::CodecKind::None)
    {
        // The codec alone: no loss, no radio, and every frame sent (DTX leaves out quiet ones).
        transmission::TransmissionSettings codecOnly;
        codecOnly.codec = transmission.codec;
        codecOnly.codec.discontinuous = false;
        const std::vector<float> pink = ReferenceSignals::pinkNoise(rate, kPinkSeconds, kPinkRmsDbfs);
        std::vector<float> out;
        transmission::Transmission codec(codecOnly, rate, 1, 1);
        codec.process(pink.data(), pink.size(), out);
        codec.finish(out);
        out.resize(pink.size());
        const std::size_t size = powerOfTwoFor(pink.size());
        m_codecIn = energySpectrum(pink, size);
        m_codecOut = energySpectrum(out, size);
        // Its level over the speech band's middle, and the highest frequency within 10 dB of it.
        std::vector<double> fine;
        for (double f = 300.0; f <= 0.5 * rate; f *= std::pow(2.0, 1.0 / 24.0))
            fine.push_back(f);
        const std::vector<double> curve = codecDb(fine);
        std::vector<double> middle;
        for (std::size_t i = 0; i < fine.size() && fine[i] <= 3000.0; ++i)
            middle.push_back(curve[i]);
        std::nth_element(middle.begin(), middle.begin() + static_cast<long>(middle.size() / 2), middle.end());
        const double level = middle[middle.size() / 2];
        for (std::size_t i = 0; i < fine.size(); ++i)
            if (curve[i] >= level - 10.0)
                m_codecTopHz = fine[i];
    }
    if (space.active())
    {
        std::vector<float> impulse(1, 1.f), response;
        try
        {
            space::Space heard(space, rate, 1);
            heard.process(impulse.data(), 1, response);
            heard.finish(response);
        }
        catch (const space::SpaceError& e)
        {
            throw UsageError(std::string("the space: ") + e.what());
        }
        m_spaceEnergy = energySpectrum(response, powerOfTwoFor(response.size()));
    }
}

std::vector<double> TransmissionAndSpaceResponse::codecDb(const std::vector<double>& frequencies) const
{
    std::vector<double> curve;
    for (double f : frequencies)
        curve.push_back(f < 0.5 * m_rate ? db(thirdOctave(m_codecOut, m_rate, f) / thirdOctave(m_codecIn, m_rate, f))
                                         : -200.0);
    return curve;
}

std::vector<double> TransmissionAndSpaceResponse::spaceDb(const std::vector<double>& frequencies) const
{
    std::vector<double> curve;
    for (double f : frequencies)
        curve.push_back(f < 0.5 * m_rate ? db(thirdOctave(m_spaceEnergy, m_rate, f)) : -200.0);
    return curve;
}

void TransmissionAndSpaceResponse::addTo(PresetResponse& response, const std::vector<double>& frequencies) const
{
    auto add = [&](ResponsePart part) {
        for (std::size_t i = 0; i < response.totalDb.size() && i < part.db.size(); ++i)
            response.totalDb[i] += part.db[i];
        response.parts.push_back(std::move(part));
    };
    const auto& t = m_transmission;
    if (t.codec.kind != transmission::CodecKind::None)
        add({"codec", "codec " + transmission::codecText(t.codec) + ": nothing above " + formatHz(m_codecTopHz),
             codecDb(frequencies)});
    if (m_space.active())
        add({"space", "space: " + space::spaceText(m_space), spaceDb(frequencies)});
}

std::vector<std::string> TransmissionAndSpaceResponse::notDrawn() const
{
    const auto& t = m_transmission;
    std::vector<std::string> named;
    if (t.codec.discontinuous)
        named.push_back("DTX: quiet frames not sent");
    if (t.loss.active())
        named.push_back(printed("%g %% of packets lost", t.loss.rate * 100.0) +
                        (t.loss.meanBurst > 0.0 ? printed(" in bursts of %g", t.loss.meanBurst) : ""));
    nameRadio(t.radio, named);
    return named;
}

std::string TransmissionAndSpaceResponse::followingText() const
{
    std::vector<std::string> parts;
    if (m_transmission.codec.kind != transmission::CodecKind::None)
        parts.push_back("its codec");
    if (m_transmission.radio.enabled)
        parts.push_back("its radio");
    if (m_space.active())
        parts.push_back("its space");
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}
