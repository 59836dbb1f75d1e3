#include "plugins/common/LineParameters.h"

#include "space/RoomImpulse.h"
#include "space/SpaceCatalogue.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace plugins
{
namespace
{
using transmission::CodecKind;

std::vector<std::string> codecChoices()
{
    std::vector<std::string> texts{"none"};
    for (const auto& entry : transmission::codecCatalogue())
        texts.push_back(std::string(entry.name) + (entry.available ? "" : " (not in this build)"));
    return texts;
}

// A codec's listed rates, as a DAW shows them: "12.2 kbit/s", Codec 2's "700C bit/s".
std::vector<std::string> rateChoices(CodecKind kind)
{
    std::vector<std::string> texts;
    for (int bitRate : transmission::codecEntry(kind).bitRates)
    {
        char text[32];
        if (kind == CodecKind::Codec2)
            std::snprintf(text, sizeof text, "%d%s bit/s", bitRate, bitRate == 700 ? "C" : "");
        else
            std::snprintf(text, sizeof text, "%g kbit/s", bitRate / 1000.0);
        texts.push_back(text);
    }
    return texts;
}

// The index of a codec's default rate in its list.
float defaultRateIndex(CodecKind kind)
{
    const auto& entry = transmission::codecEntry(kind);
    const auto at = std::find(entry.bitRates.begin(), entry.bitRates.end(), entry.defaultBitRate);
    return static_cast<float>(at - entry.bitRates.begin());
}

// "off", then the generated spaces in the catalogue's order.
std::vector<std::string> spaceChoices()
{
    std::vector<std::string> texts{"off"};
    for (const auto& room : space::spaceCatalogue())
        texts.push_back(room.name);
    return texts;
}

// The farthest a listener can stand from the source in any space, in whole metres.
float farthestDistance()
{
    double farthest = 0.0;
    for (const auto& room : space::spaceCatalogue())
        farthest = std::max(farthest, space::longestDistance(room));
    return static_cast<float>(std::ceil(farthest));
}

LineParameter choice(const char* id, const char* name, std::vector<std::string> texts, float defaultIndex,
                     bool automatable)
{
    const float last = static_cast<float>(texts.size()) - 1.f;
    return {id, name, LineParameterKind::Choice, 0.f, last, defaultIndex, "", std::move(texts), automatable};
}

LineParameter toggle(const char* id, const char* name, bool on, bool automatable)
{
    return {id, name, LineParameterKind::Switch, 0.f, 1.f, on ? 1.f : 0.f, "", {}, automatable};
}

LineParameter number(const char* id, const char* name, float low, float high, float value, const char* unit)
{
    return {id, name, LineParameterKind::Float, low, high, value, unit, {}, true};
}

std::array<LineParameter, kLineParameterCount> makeTable()
{
    const transmission::RadioSettings radio;
    const float opusDefault = static_cast<float>(transmission::codecEntry(CodecKind::Opus).defaultBitRate) / 1000.f;
    return {{
        choice("codec", "Codec", codecChoices(), 0.f, false),
        choice("amr_rate", "AMR rate", rateChoices(CodecKind::AmrNb), defaultRateIndex(CodecKind::AmrNb), false),
        choice("amr_wb_rate", "AMR-WB rate", rateChoices(CodecKind::AmrWb), defaultRateIndex(CodecKind::AmrWb), false),
        {"opus_rate", "Opus rate", LineParameterKind::Float, 6.f, 64.f, opusDefault, "kbit/s", {}, false},
        choice("opus_bandwidth", "Opus bandwidth", {"auto", "nb", "mb", "wb", "swb", "fb"}, 0.f, false),
        choice("codec2_rate", "Codec2 rate", rateChoices(CodecKind::Codec2), defaultRateIndex(CodecKind::Codec2), false),
        choice("g726_rate", "G.726 rate", rateChoices(CodecKind::G726), defaultRateIndex(CodecKind::G726), false),
        toggle("dtx", "DTX", false, false),
        number("loss", "Loss", 0.f, 90.f, 0.f, "%"),
        number("burst", "Loss burst", 0.f, 100.f, 0.f, "frames"),
        choice("conceal", "Concealment", {"codec", "repeat", "silence"}, 0.f, true),
        toggle("radio", "Radio", false, false),
        choice("keying", "Keying", {"level", "line"}, 0.f, false),
        number("static", "Static", -90.f, -6.f, static_cast<float>(radio.staticDb), "dB"),
        choice("colour", "Static colour", {"white", "pink", "brown"}, 1.f, false),
        number("squelch", "Squelch", 0.f, 2000.f, static_cast<float>(radio.squelchMs), "ms"),
        toggle("click", "Click", true, true),
        number("click_level", "Click level", -60.f, 0.f, static_cast<float>(radio.clickDb), "dB"),
        number("threshold", "Threshold", -90.f, -6.f, static_cast<float>(radio.thresholdDb), "dB"),
        number("hold", "Hold", 0.f, 5000.f, static_cast<float>(radio.holdMs), "ms"),
        number("carrier", "Carrier", 0.f, 500.f, static_cast<float>(radio.carrierMs), "ms"),
        {"seed", "Seed", LineParameterKind::Integer, 0.f, 65535.f, 1.f, "", {}, false},
        choice("space", "Space", spaceChoices(), 0.f, false),
        number("mix", "Space mix", 0.f, 100.f, 100.f, "%"),
        // 0: the room's own distance.
        {"distance", "Distance", LineParameterKind::Float, 0.f, farthestDistance(), 0.f, "m", {}, false},
    }};
}

int indexOf(const LineValues& values, std::size_t parameter) { return static_cast<int>(std::lround(values[parameter])); }

// A listed rate by its parameter's index.
int listedRate(CodecKind kind, const LineValues& values, std::size_t parameter)
{
    const auto& rates = transmission::codecEntry(kind).bitRates;
    return rates[static_cast<std::size_t>(std::clamp(indexOf(values, parameter), 0, static_cast<int>(rates.size()) - 1))];
}

transmission::CodecSettings codecOf(const LineValues& v)
{
    transmission::CodecSettings codec;
    const auto& catalogue = transmission::codecCatalogue();
    const int chosen = indexOf(v, kLineCodec);
    if (chosen < 1 || chosen > static_cast<int>(catalogue.size()) || !catalogue[chosen - 1].available)
        return codec;
    const auto& entry = catalogue[static_cast<std::size_t>(chosen - 1)];
    codec.kind = entry.kind;
    codec.bitRate = entry.defaultBitRate;
    codec.discontinuous = entry.discontinuous && v[kLineDtx] >= 0.5f;
    switch (entry.kind)
    {
    case CodecKind::AmrNb: codec.bitRate = listedRate(entry.kind, v, kLineAmrRate); break;
    case CodecKind::AmrWb: codec.bitRate = listedRate(entry.kind, v, kLineAmrWbRate); break;
    case CodecKind::Codec2: codec.bitRate = listedRate(entry.kind, v, kLineCodec2Rate); break;
    case CodecKind::G726: codec.bitRate = listedRate(entry.kind, v, kLineG726Rate); break;
    case CodecKind::Opus:
        // To the nearest 100 bit/s, as a person would give it.
        codec.bitRate = std::clamp(static_cast<int>(std::lround(v[kLineOpusRate] * 10.f)) * 100, entry.lowestBitRate,
                                   entry.highestBitRate);
        codec.bandwidth = static_cast<transmission::OpusBandwidth>(std::clamp(indexOf(v, kLineOpusBandwidth), 0, 5));
        break;
    default: break;
    }
    return codec;
}

transmission::LossSettings lossOf(const LineValues& v)
{
    transmission::LossSettings loss;
    loss.rate = std::clamp(static_cast<double>(v[kLineLoss]) / 100.0, 0.0, 0.9);
    loss.meanBurst = v[kLineBurst] > 0.f ? std::max(1.0, static_cast<double>(v[kLineBurst])) : 0.0;
    // Bursts of B frames in the mean can make at most B / (B + 1) of the frames lost.
    if (loss.meanBurst > 0)
        loss.rate = std::min(loss.rate, 0.999 * loss.meanBurst / (loss.meanBurst + 1.0));
    loss.concealment = static_cast<transmission::Concealment>(std::clamp(indexOf(v, kLineConcealment), 0, 2));
    return loss;
}

LineSpaceSetup spaceOf(const LineValues& v)
{
    LineSpaceSetup setup;
    const auto& catalogue = space::spaceCatalogue();
    const int chosen = indexOf(v, kLineSpace);
    if (chosen < 1 || chosen > static_cast<int>(catalogue.size()))
        return setup;
    setup.room = chosen - 1;
    setup.mixPercent = v[kLineMix];
    if (v[kLineDistance] > 0.f)
    {
        const double fits = std::floor(space::longestDistance(catalogue[static_cast<std::size_t>(setup.room)]) * 10.0) / 10.0;
        setup.distance = std::clamp(std::round(static_cast<double>(v[kLineDistance]) * 10.0) / 10.0, 0.1, fits);
    }
    return setup;
}

transmission::RadioSettings radioOf(const LineValues& v)
{
    transmission::RadioSettings radio;
    radio.enabled = v[kLineRadio] >= 0.5f;
    radio.keying = indexOf(v, kLineKeying) == 1 ? transmission::Keying::Line : transmission::Keying::Level;
    radio.staticDb = v[kLineStatic];
    radio.colour = static_cast<transmission::StaticColour>(std::clamp(indexOf(v, kLineColour), 0, 2));
    radio.squelchMs = v[kLineSquelch];
    radio.clickDb = v[kLineClick] >= 0.5f ? static_cast<double>(v[kLineClickLevel]) : -HUGE_VAL;
    radio.thresholdDb = v[kLineThreshold];
    radio.holdMs = v[kLineHold];
    radio.carrierMs = v[kLineCarrier];
    return radio;
}
} // namespace

const std::array<LineParameter, kLineParameterCount>& lineParameters()
{
    static const auto table = makeTable();
    return table;
}

LineValues defaultLineValues()
{
    LineValues values{};
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        values[i] = lineParameters()[i].defaultValue;
    return values;
}

float clampedLineValue(std::size_t index, float value)
{
    const LineParameter& p = lineParameters()[index];
    if (std::isnan(value))
        return p.defaultValue;
    value = std::clamp(value, p.minValue, p.maxValue);
    return p.kind == LineParameterKind::Float ? value : std::round(value);
}

LineSetup lineSetupOf(const LineValues& raw)
{
    LineValues v{};
    for (std::size_t i = 0; i < kLineParameterCount; ++i)
        v[i] = clampedLineValue(i, raw[i]);
    LineSetup setup;
    setup.settings.codec = codecOf(v);
    if (setup.settings.codec.kind != CodecKind::None)
        setup.settings.loss = lossOf(v);
    setup.settings.radio = radioOf(v);
    setup.seed = static_cast<std::uint64_t>(v[kLineSeed]);
    setup.space = spaceOf(v);
    return setup;
}

} // namespace plugins
