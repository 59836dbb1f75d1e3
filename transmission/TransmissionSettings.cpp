#include "transmission/TransmissionSettings.h"

#include "transmission/QuotedText.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace transmission
{
namespace
{
std::vector<std::string> splitFields(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;)
    {
        const auto colon = text.find(':', start);
        fields.push_back(text.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
        if (colon == std::string::npos)
            return fields;
        start = colon + 1;
    }
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    s.erase(std::remove_if(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); }), s.end());
    return s;
}

// A finite number followed by nothing but `unit` (any case, optional); false otherwise.
bool readNumber(const std::string& text, const std::string& unit, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(value))
        return false;
    const std::string rest(end);
    return rest.empty() || rest == unit;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool isOff(const std::string& text) { return text == "off" || text == "none" || text == "no"; }

// A setting's colon-separated fields, in lower case; none when the text is empty or says off.
std::vector<std::string> fieldsUnlessOff(const std::string& original)
{
    const std::string text = lower(original);
    return text.empty() || isOff(text) ? std::vector<std::string>{} : splitFields(text);
}

// A bit rate: "12k", "12.2", "12.2k", "12200": numbers below 100 are kbit/s.
bool readBitRate(const std::string& text, int& bitRate)
{
    double value = 0;
    if (!readNumber(text, "k", value) && !readNumber(text, "kbps", value) && !readNumber(text, "kbit/s", value))
        return false;
    const bool kbit = text.back() == 'k' || text.find("kb") != std::string::npos || value < 100;
    bitRate = static_cast<int>(std::lround(kbit ? value * 1000.0 : value));
    return bitRate > 0;
}

// The words a setting's text uses for the values of one of its choices, read and written
// from the same table.
template <typename Value>
struct Named
{
    const char* name;
    Value value;
};

constexpr Named<OpusBandwidth> kBandwidthNames[] = {{"nb", OpusBandwidth::Narrow},
                                                    {"mb", OpusBandwidth::Medium},
                                                    {"wb", OpusBandwidth::Wide},
                                                    {"swb", OpusBandwidth::SuperWide},
                                                    {"fb", OpusBandwidth::Full}};
constexpr Named<Concealment> kConcealmentNames[] = {
    {"codec", Concealment::Codec}, {"repeat", Concealment::Repeat}, {"silence", Concealment::Silence}};
constexpr Named<StaticColour> kColourNames[] = {
    {"white", StaticColour::White}, {"pink", StaticColour::Pink}, {"brown", StaticColour::Brown}};
constexpr Named<Keying> kKeyingNames[] = {{"level", Keying::Level}, {"line", Keying::Line}};

template <typename Value, std::size_t N>
const char* nameOf(const Named<Value> (&table)[N], Value value)
{
    for (const Named<Value>& entry : table)
        if (entry.value == value)
            return entry.name;
    return "";
}

// The entry a name gives, or nothing.
template <typename Value, std::size_t N>
const Named<Value>* findNamed(const Named<Value> (&table)[N], const std::string& name)
{
    for (const Named<Value>& entry : table)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

// A `key=value` field split at its first '='; the value is empty when there is none.
struct KeyValue
{
    std::string key;
    std::string value;
    bool hasValue;
};

KeyValue splitKeyValue(const std::string& field)
{
    const auto equals = field.find('=');
    if (equals == std::string::npos)
        return {field, std::string(), false};
    return {field.substr(0, equals), field.substr(equals + 1), true};
}

std::string levelText(double db) { return std::isinf(db) ? "off" : number(db) + "dB"; }
} // namespace

std::string availableCodecsText()
{
    std::string text;
    for (const auto& entry : codecCatalogue())
    {
        text += std::string(text.empty() ? "" : "; ") + entry.name + " (" + ratesText(entry) + ")";
        if (!entry.available)
            text += " [not in this build]";
    }
    return text;
}

namespace
{
// The settings a text names: the defaults when it says off or nothing, else what `read`
// makes of its fields.
template <typename Settings, typename Read>
Settings unlessOff(const std::string& original, Read read)
{
    const auto fields = fieldsUnlessOff(original);
    return fields.empty() ? Settings{} : read(fields);
}

CodecSettings codecOf(const std::vector<std::string>& fields)
{
    CodecSettings codec;
    const CodecEntry* entry = findCodec(fields[0]);
    if (entry == nullptr)
        throw SettingsError("no codec " + quoted(fields[0]) + "; codecs: " + availableCodecsText());
    if (!entry->available)
        throw SettingsError(std::string("the codec \"") + entry->name + "\" is not in this build (it needs " +
                            entry->library + "); codecs: " + availableCodecsText());
    codec.kind = entry->kind;
    codec.bitRate = entry->defaultBitRate;
    for (std::size_t i = 1; i < fields.size(); ++i)
    {
        const std::string& field = fields[i];
        int bitRate = 0;
        if ((field == "dtx" || field == "vad") && entry->discontinuous)
            codec.discontinuous = true;
        else if (entry->kind == CodecKind::Opus && findNamed(kBandwidthNames, field) != nullptr)
            codec.bandwidth = findNamed(kBandwidthNames, field)->value;
        else if (entry->kind == CodecKind::Codec2 && field == "700c")
            codec.bitRate = 700;
        else if (readBitRate(field, bitRate))
        {
            const bool inList = std::find(entry->bitRates.begin(), entry->bitRates.end(), bitRate) != entry->bitRates.end();
            const bool inRange = entry->lowestBitRate > 0 && bitRate >= entry->lowestBitRate &&
                                 bitRate <= entry->highestBitRate;
            if (!inList && !inRange)
                throw SettingsError(std::string(entry->name) + " has no rate " + quoted(field) + "; its rates: " +
                                    ratesText(*entry));
            codec.bitRate = bitRate;
        }
        else
        {
            std::string options = std::string("a rate (") + ratesText(*entry) + ")";
            if (entry->kind == CodecKind::Opus)
                options += ", a bandwidth (nb, mb, wb, swb, fb)";
            if (entry->discontinuous)
                options += ", dtx";
            throw SettingsError(quoted(field) + " is not a setting of " + entry->name + ": it takes " +
                                options);
        }
    }
    return codec;
}
} // namespace

CodecSettings parseCodec(const std::string& original)
{
    return unlessOff<CodecSettings>(original, codecOf);
}

std::string codecText(const CodecSettings& codec)
{
    if (codec.kind == CodecKind::None)
        return "none";
    const CodecEntry& entry = codecEntry(codec.kind);
    std::string text = entry.name;
    if (entry.bitRates.size() != 1)
        text += ":" + (codec.kind == CodecKind::Codec2 ? std::to_string(codec.bitRate)
                                                       : number(codec.bitRate / 1000.0) + (codec.kind == CodecKind::Opus ||
                                                                                                   codec.kind == CodecKind::G726
                                                                                               ? "k"
                                                                                               : ""));
    if (codec.bandwidth != OpusBandwidth::Automatic)
        text += std::string(":") + nameOf(kBandwidthNames, codec.bandwidth);
    if (codec.discontinuous)
        text += ":dtx";
    return text;
}

namespace
{
LossSettings lossOf(const std::vector<std::string>& fields)
{
    LossSettings loss;
    double percent = 0;
    if (fields[0].empty() || fields[0].back() != '%' || !readNumber(fields[0], "%", percent) || percent < 0 || percent >= 100)
        throw SettingsError("--loss takes the share of frames lost, from 0% to below 100% (\"5%\", \"3%:burst=4\"), "
                            "not " + quoted(fields[0]));
    loss.rate = percent / 100.0;
    for (std::size_t i = 1; i < fields.size(); ++i)
    {
        const std::string& field = fields[i];
        const KeyValue setting = splitKeyValue(field);
        const std::string& key = setting.key;
        const std::string& value = setting.value;
        double burst = 0;
        if (key == "burst" && readNumber(value, "", burst) && burst >= 1 && burst <= 1000)
            loss.meanBurst = burst;
        else if (key == "burst")
            throw SettingsError("burst= takes the mean number of frames lost in a row, 1 to 1000, not " + quoted(value));
        else if (key == "conceal" && findNamed(kConcealmentNames, value) != nullptr)
            loss.concealment = findNamed(kConcealmentNames, value)->value;
        else if (key == "conceal")
            throw SettingsError("conceal= takes codec, repeat or silence, not " + quoted(value));
        else
            throw SettingsError(quoted(field) + " is not a setting of --loss: it takes burst=FRAMES and "
                                "conceal=codec|repeat|silence");
    }
    // A burst of B frames in the mean ends with chance 1/B after each lost frame; the chance of
    // a burst starting must then stay a chance.
    if (loss.meanBurst > 0 && loss.rate > 0 && loss.rate / (loss.meanBurst * (1.0 - loss.rate)) > 1.0)
        throw SettingsError("a loss of " + number(percent) + "% cannot be made of bursts as short as " +
                            number(loss.meanBurst) + " frames in the mean: at most " +
                            number(100.0 * loss.meanBurst / (loss.meanBurst + 1.0)) + "%");
    return loss;
}
} // namespace

LossSettings parseLoss(const std::string& original)
{
    return unlessOff<LossSettings>(original, lossOf);
}

std::string lossText(const LossSettings& loss)
{
    if (!loss.active())
        return "off";
    std::string text = number(loss.rate * 100.0) + "%";
    if (loss.meanBurst > 0)
        text += ":burst=" + number(loss.meanBurst);
    if (loss.concealment != Concealment::Codec)
        text += std::string(":conceal=") + nameOf(kConcealmentNames, loss.concealment);
    return text;
}

RadioSettings parseRadio(const std::string& original)
{
    const std::string text = lower(original);
    RadioSettings radio;
    if (isOff(text))
        return radio;
    radio.enabled = true;
    if (text.empty() || text == "on" || text == "yes")
        return radio;
    const char* help = "--radio takes on, off or settings joined by ':': static=dB|off, colour=white|pink|brown, "
                       "squelch=ms|off, click=dB|off, carrier=ms, threshold=dB, hold=ms, key=level|line";
    for (const std::string& field : splitFields(text))
    {
        const KeyValue setting = splitKeyValue(field);
        if (!setting.hasValue)
            throw SettingsError(std::string(help) + "; not " + quoted(field));
        const std::string& key = setting.key;
        const std::string& value = setting.value;
        double x = 0;
        auto level = [&](double& into, double lowest, double highest) {
            if (isOff(value))
                into = -HUGE_VAL;
            else if (readNumber(value, "db", x) && x >= lowest && x <= highest)
                into = x;
            else
                throw SettingsError(key + "= takes a level from " + number(lowest) + " to " + number(highest) +
                                    " dB, or off; not " + quoted(value));
        };
        auto time = [&](double& into, double lowest, double highest, bool offAllowed) {
            if (offAllowed && isOff(value))
                into = 0;
            else if (readNumber(value, "ms", x) && x >= lowest && x <= highest)
                into = x;
            else
                throw SettingsError(key + "= takes a time from " + number(lowest) + " to " + number(highest) + " ms" +
                                    (offAllowed ? ", or off" : "") + "; not " + quoted(value));
        };
        if (key == "static")
            level(radio.staticDb, -90, -6);
        else if (key == "click")
            level(radio.clickDb, -60, 0);
        else if (key == "threshold")
        {
            level(radio.thresholdDb, -90, -6);
            if (std::isinf(radio.thresholdDb))
                throw SettingsError("threshold= takes a level from -90 to -6 dB; not " + quoted(value));
        }
        else if (key == "squelch")
            time(radio.squelchMs, 0, 2000, true);
        else if (key == "carrier")
            time(radio.carrierMs, 0, 500, true);
        else if (key == "hold")
            time(radio.holdMs, 0, 5000, false);
        else if ((key == "colour" || key == "color") && findNamed(kColourNames, value) != nullptr)
            radio.colour = findNamed(kColourNames, value)->value;
        else if (key == "key" && findNamed(kKeyingNames, value) != nullptr)
            radio.keying = findNamed(kKeyingNames, value)->value;
        else
            throw SettingsError(std::string(help) + "; not " + quoted(field));
    }
    return radio;
}

std::string radioText(const RadioSettings& radio)
{
    if (!radio.enabled)
        return "off";
    const RadioSettings defaults;
    std::string text;
    auto add = [&](const std::string& field) { text += (text.empty() ? "" : ":") + field; };
    if (radio.staticDb != defaults.staticDb)
        add("static=" + levelText(radio.staticDb));
    if (radio.colour != defaults.colour)
        add(std::string("colour=") + nameOf(kColourNames, radio.colour));
    if (radio.squelchMs != defaults.squelchMs)
        add("squelch=" + (radio.squelchMs > 0 ? number(radio.squelchMs) + "ms" : std::string("off")));
    if (radio.clickDb != defaults.clickDb)
        add("click=" + levelText(radio.clickDb));
    if (radio.carrierMs != defaults.carrierMs)
        add("carrier=" + number(radio.carrierMs) + "ms");
    if (radio.thresholdDb != defaults.thresholdDb)
        add("threshold=" + levelText(radio.thresholdDb));
    if (radio.holdMs != defaults.holdMs)
        add("hold=" + number(radio.holdMs) + "ms");
    if (radio.keying != defaults.keying)
        add(std::string("key=") + nameOf(kKeyingNames, radio.keying));
    return text.empty() ? "on" : text;
}

std::string summaryText(const TransmissionSettings& settings)
{
    std::string text;
    auto add = [&](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (settings.codec.kind != CodecKind::None)
        add("codec " + codecText(settings.codec));
    if (settings.loss.active())
        add("loss " + lossText(settings.loss));
    if (settings.radio.enabled)
    {
        const std::string radio = radioText(settings.radio);
        add(radio == "on" ? std::string("radio") : "radio " + radio);
    }
    return text;
}

} // namespace transmission
