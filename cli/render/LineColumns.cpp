#include "cli/render/LineColumns.h"

#include "cli/io/OutputFiles.h"
#include "cli/io/QuotedText.h"
#include "cli/render/DeliveryOptions.h"
#include "cli/render/OutputFolder.h"
#include "cli/render/OutputNames.h"
#include "cli/render/Variation.h"
#include "cli/settings/PresetMap.h"
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

// A transmission column: its part of the choice, read as its option reads it.
template <typename Parse, typename Part>
std::function<void(LineCells&, const std::string&, const LineContext&)> transmissionCell(Parse parse, Part part)
{
    return [parse, part](LineCells& row, const std::string& v, const LineContext&) {
        try
        {
            row.setup.transmission.*part = parse(v);
        }
        catch (const transmission::SettingsError& e)
        {
            throw UsageError(e.what());
        }
    };
}

void setSampleFormat(RenderRecipe& recipe, const std::string& format, unsigned bits)
{
    recipe.format = sampleFormatOf(format, bits);
    recipe.sampleFormat = !format.empty() ? format : "pcm" + std::to_string(bits);
}
} // namespace

const std::vector<LineColumn>& lineColumns()
{
    static const std::vector<LineColumn> columns = {
        {"input", "the input file",
         [](LineCells& row, const std::string& v, const LineContext& c) {
             const std::string path = listPath(v, c);
             std::error_code ec;
             if (!fs::is_regular_file(path, ec))
                 throw UsageError(quoted(path, kQuotedExcerptBytes) + (fs::exists(path, ec) ? " is not a file" : " does not exist"));
             row.input = path;
         },
         true},
        {"output", "the output file (under --out-dir when given and the path is relative)",
         [](LineCells& row, const std::string& v, const LineContext& c) {
             if (c.outputs != nullptr && fs::path(v).is_relative())
             {
                 row.output = c.outputs->place(v);
                 return;
             }
             row.output = listPath(v, c);
             if (const std::string why = unwritablePath(row.output); !why.empty())
                 throw UsageError("the output " + quoted(v, kQuotedExcerptBytes) + " " + why);
         },
         true},
        {"name", "the output's name under --out-dir, a template as --name takes",
         [](LineCells& row, const std::string& v, const LineContext&) {
             checkNameTemplate(v, true);
             row.nameTemplate = v;
         },
         true},
        {"preset", "a shipped preset's name or a preset file",
         [](LineCells& row, const std::string& v, const LineContext& c) {
             std::error_code ec;
             const std::string* mapped = c.presets != nullptr ? c.presets->find(v) : nullptr;
             const bool shipped = findFactoryPreset(mapped != nullptr ? *mapped : v) != nullptr;
             const bool file = mapped == nullptr && !shipped && fs::exists(listPath(v, c), ec);
             if (c.presets != nullptr && mapped == nullptr && !shipped && !file)
             {
                 const std::string suggestion = c.presets->suggestion(v);
                 throw UsageError(quoted(v, kQuotedExcerptBytes) + " is neither in --map-preset nor a preset" +
                                  (suggestion.empty() ? std::string() : "; " + suggestion));
             }
             const std::string preset = mapped != nullptr ? *mapped : file ? listPath(v, c) : v;
             PresetSettings read = readPresetSettings(row.setup.start, preset);
             row.setup.preset = std::move(read.values);
             row.setup.presetTransmission = read.transmission;
             row.setup.presetSpace = read.space;
             row.setup.recipe.preset = preset;
             if (!shipped)
                 row.setup.settingFiles.push_back(preset);
         }},
        {"loudness", "an integrated loudness, LUFS",
         [](LineCells& row, const std::string& v, const LineContext&) {
             row.setup.recipe.loudness = loudnessOf(v);
             row.setup.recipe.matchLoudness = false;
         }},
        {"seed", "the line's seed",
         [](LineCells& row, const std::string& v, const LineContext&) { row.setup.seed = seedOf(v); }},
        {"rate", "the delivery rate, Hz",
         [](LineCells& row, const std::string& v, const LineContext&) {
             row.setup.recipe.delivery.sampleRate = deliveryRate(v);
         }},
        {"channels", "1 folds to mono",
         [](LineCells& row, const std::string& v, const LineContext&) {
             row.setup.recipe.delivery.channels = deliveryChannels(v);
         }},
        {"bits", "16 or 24",
         [](LineCells& row, const std::string& v, const LineContext&) {
             setSampleFormat(row.setup.recipe, {}, sampleBits(v));
         }},
        {"format", "float, pcm16, pcm24 or same",
         [](LineCells& row, const std::string& v, const LineContext&) { setSampleFormat(row.setup.recipe, v, 0); }},
        {"dither", "tpdf or none",
         [](LineCells& row, const std::string& v, const LineContext&) {
             row.setup.recipe.delivery.dither = ditherOf(v);
         }},
        {"codec", "after the effect, as --codec takes it (none: the preset's left out)",
         transmissionCell(transmission::parseCodec, &TransmissionChoice::codec)},
        {"loss", "codec frames lost, as --loss takes it (off: none)",
         transmissionCell(transmission::parseLoss, &TransmissionChoice::loss)},
        {"radio", "a radio link, as --radio takes it (on, off or its settings; true and false too)",
         [](LineCells& row, const std::string& v, const LineContext& c) {
             // JSON lines' true and false (and a spreadsheet's TRUE and FALSE) switch it.
             const std::string word = lower(v);
             const std::string text = word == "true" ? "on" : word == "false" ? "off" : v;
             transmissionCell(transmission::parseRadio, &TransmissionChoice::radio)(row, text, c);
         }},
        {"space", "where the listener hears it, as --space takes it (off: the preset's left out)",
         [](LineCells& row, const std::string& v, const LineContext& c) {
             // An impulse response file is the list's, as its other paths are.
             row.setup.transmission.space = readSpaceText(v, c.folder);
         }},
        {"vary", "NAME=±AMOUNT, several separated by \";\"",
         [](LineCells& row, const std::string& v, const LineContext&) {
             std::vector<VariationSpec> vary;
             for (std::size_t at = 0; at <= v.size();)
             {
                 const std::size_t end = std::min(v.find(';', at), v.size());
                 const std::string one = v.substr(at, end - at);
                 if (one.find_first_not_of(" ") != std::string::npos)
                     vary.push_back(parseVariation(row.setup.start.description(), one));
                 at = end + 1;
             }
             row.setup.vary = std::move(vary);
         }},
    };
    return columns;
}

void applyLineCell(LineCells& row, const std::string& column, const std::string& value, const LineContext& context)
{
    const std::string name = lower(column);
    for (const LineColumn& c : lineColumns())
        if (name == c.name)
            return c.set(row, value, context);
    // A property's column: its value as --set takes it.
    for (const auto& p : row.setup.start.description().properties)
        if (lower(p.name) == name)
        {
            row.setup.assignments.push_back(row.setup.start.read(p.name, value));
            return;
        }
    std::string known;
    for (const LineColumn& c : lineColumns())
        known += std::string(known.empty() ? "" : ", ") + c.name;
    throw UsageError("no such column; the columns are " + known + " and the effect's properties (crumlet params)");
}

bool placesFile(const std::string& column)
{
    const std::string name = lower(column);
    for (const LineColumn& c : lineColumns())
        if (name == c.name)
            return c.placesFile;
    return false;
}
