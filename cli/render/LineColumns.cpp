#include "cli/render/LineColumns.h"

#include "cli/render/DeliveryOptions.h"
#include "cli/render/OutputNames.h"
#include "cli/render/Variation.h"
#include "cli/settings/Presets.h"
#include "cli/settings/UsageError.h"
#include "transmission/TransmissionSettings.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace
{
std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// A path in the list, relative to its folder.
std::string listPath(const std::string& text, const LineContext& context)
{
    const fs::path path(text);
    return path.is_absolute() || context.folder.empty() ? text : (fs::path(context.folder) / path).string();
}

double number(const std::string& text, const char* what)
{
    try
    {
        std::size_t used = 0;
        const double v = std::stod(text, &used);
        if (used == text.size())
            return v;
    }
    catch (const std::logic_error&)
    {
    }
    throw UsageError(std::string(what) + ", not \"" + text + "\"");
}

// A column whose text is kept as it is once `check` accepts it (check throws if not).
template <typename Check>
std::function<void(RenderOptions&, const std::string&, const LineContext&)> checkedText(
    std::string RenderOptions::*field, Check check)
{
    return [field, check](RenderOptions& o, const std::string& v, const LineContext&) {
        check(v);
        o.*field = v;
    };
}
// A transmission column: kept as its option takes it once `parse` reads it.
template <typename Parse, typename Store>
std::function<void(RenderOptions&, const std::string&, const LineContext&)> transmissionCell(Parse parse, Store store)
{
    return [parse, store](RenderOptions& o, const std::string& v, const LineContext&) {
        try
        {
            parse(v);
        }
        catch (const transmission::SettingsError& e)
        {
            throw UsageError(e.what());
        }
        store(o.transmission, v);
    };
}
} // namespace

const std::vector<LineColumn>& lineColumns()
{
    static const std::vector<LineColumn> columns = {
        {"input", "the input file",
         [](RenderOptions& o, const std::string& v, const LineContext& c) {
             const std::string path = listPath(v, c);
             std::error_code ec;
             if (!fs::is_regular_file(path, ec))
                 throw UsageError("\"" + path + "\" " + (fs::exists(path, ec) ? "is not a file" : "does not exist"));
             o.inputs = {path};
         }},
        {"output", "the output file",
         [](RenderOptions& o, const std::string& v, const LineContext& c) { o.output = listPath(v, c); }},
        {"name", "the output's name under --out-dir, a template as --name takes",
         checkedText(&RenderOptions::nameTemplate, [](const std::string& v) { checkNameTemplate(v); })},
        {"preset", "a shipped preset's name or a preset file",
         [](RenderOptions& o, const std::string& v, const LineContext& c) {
             std::error_code ec;
             const std::string preset =
                 findFactoryPreset(v) == nullptr && fs::exists(listPath(v, c), ec) ? listPath(v, c) : v;
             ParameterSettings probe(*c.description);
             applyPreset(probe, preset);
             o.preset = preset;
         }},
        {"loudness", "an integrated loudness, LUFS",
         [](RenderOptions& o, const std::string& v, const LineContext&) {
             o.loudness = checkedLoudness(number(v, "an integrated loudness in LUFS (-23)"));
             o.matchLoudness = false;
         }},
        {"seed", "the line's seed", [](RenderOptions& o, const std::string& v, const LineContext&) { o.seed = seedOf(v); }},
        {"rate", "the delivery rate, Hz",
         [](RenderOptions& o, const std::string& v, const LineContext&) { o.rate = deliveryRate(v); }},
        {"channels", "1 folds to mono",
         [](RenderOptions& o, const std::string& v, const LineContext&) {
             const auto n = static_cast<std::uint32_t>(number(v, "--channels takes 1"));
             checkChannels(n);
             o.channels = n;
         }},
        {"bits", "16 or 24",
         [](RenderOptions& o, const std::string& v, const LineContext&) {
             o.bits = sampleBits(v);
             o.sampleFormat.clear();
         }},
        {"format", "float, pcm16, pcm24 or same",
         [](RenderOptions& o, const std::string& v, const LineContext&) {
             parseSampleFormat(v);
             o.sampleFormat = v;
             o.bits = 0;
         }},
        {"dither", "tpdf or none", checkedText(&RenderOptions::dither, [](const std::string& v) { ditherOf(v); })},
        {"codec", "after the effect, as --codec takes it (none: the preset's left out)",
         transmissionCell(transmission::parseCodec, [](TransmissionOptions& t, const std::string& v) { t.codec = v; })},
        {"loss", "codec frames lost, as --loss takes it (off: none)",
         transmissionCell(transmission::parseLoss, [](TransmissionOptions& t, const std::string& v) { t.loss = v; })},
        {"radio", "a radio link, as --radio takes it (on, off or its settings; true and false too)",
         [](RenderOptions& o, const std::string& v, const LineContext& c) {
             // JSON lines' true and false (and a spreadsheet's TRUE and FALSE) switch it.
             const std::string word = lower(v);
             const std::string text = word == "true" ? "on" : word == "false" ? "off" : v;
             transmissionCell(transmission::parseRadio,
                              [](TransmissionOptions& t, const std::string& r) { t.radio = r; })(o, text, c);
         }},
        {"vary", "NAME=±AMOUNT, several separated by \";\"",
         [](RenderOptions& o, const std::string& v, const LineContext& c) {
             o.vary.clear();
             for (std::size_t at = 0; at <= v.size();)
             {
                 const std::size_t end = std::min(v.find(';', at), v.size());
                 const std::string one = v.substr(at, end - at);
                 if (one.find_first_not_of(" ") != std::string::npos)
                 {
                     parseVariation(*c.description, one);
                     o.vary.push_back(one);
                 }
                 at = end + 1;
             }
         }},
    };
    return columns;
}

void applyLineCell(RenderOptions& options, const std::string& column, const std::string& value,
                   const LineContext& context)
{
    const std::string name = lower(column);
    for (const LineColumn& c : lineColumns())
        if (name == c.name)
            return c.set(options, value, context);
    // A property's column: its value as --set takes it.
    for (const auto& p : context.description->properties)
        if (lower(p.name) == name)
        {
            ParameterSettings probe(*context.description);
            probe.set(p.name, value);
            options.assignments.push_back(p.name + "=" + value);
            return;
        }
    std::string known;
    for (const LineColumn& c : lineColumns())
        known += std::string(known.empty() ? "" : ", ") + c.name;
    throw UsageError("no such column; the columns are " + known + " and the effect's properties (crumlet params)");
}
