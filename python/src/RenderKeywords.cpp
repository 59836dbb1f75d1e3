#include "python/src/RenderKeywords.h"

#include "cli/render/DeliveryOptions.h"
#include "python/src/PropertyValues.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace crumlet_python
{
RenderKeyword textKeyword(const char* name, const char* option,
                          std::function<void(RenderOptions&, const std::string&)> read)
{
    return {name, option, [name, read](RenderOptions& options, const pybind11::handle& value) {
                const std::string text = withoutNul(valueText(value), name);
                readingAsTheTool([&] { read(options, text); });
            }};
}

const std::vector<RenderKeyword>& renderKeywordTable()
{
    static const std::vector<RenderKeyword> table = {
        keyword("loudness", "--loudness", &RenderOptions::loudness),
        keyword("match_loudness", "--match-loudness", &RenderOptions::matchLoudness),
        keyword("format", "--format", &RenderOptions::sampleFormat),
        keyword("block_frames", "--block", &RenderOptions::blockFrames),
        keyword("jobs", "--jobs", &RenderOptions::jobs),
        keyword("recursive", "--recursive", &RenderOptions::recursive),
        keyword("skip_existing", "--skip-existing", &RenderOptions::skipExisting),
        keyword("update", "--update", &RenderOptions::update),
        keyword("prune", "--prune", &RenderOptions::prune),
        keyword("reproducible", "--reproducible", &RenderOptions::reproducible),
        keyword("force", "--force", &RenderOptions::force),
        keyword("save_preset", "--save-preset", &RenderOptions::savePreset),
        // The delivery format, names and variation.
        textKeyword("rate", "--rate", [](RenderOptions& o, const std::string& t) { o.rate = deliveryRate(t); }),
        keyword("channels", "--channels", &RenderOptions::channels),
        keyword("bits", "--bits", &RenderOptions::bits),
        keyword("dither", "--dither", &RenderOptions::dither),
        keyword("name", "--name", &RenderOptions::nameTemplate),
        keyword("lines", "--lines", &RenderOptions::lines),
        {"vary", "--vary",
         [](RenderOptions& o, const pybind11::handle& value) {
             // One variation as a text, or several as a list of texts.
             std::vector<std::string> texts;
             try
             {
                 texts = pybind11::isinstance<pybind11::str>(value)
                             ? std::vector<std::string>{value.cast<std::string>()}
                             : value.cast<std::vector<std::string>>();
             }
             catch (const pybind11::cast_error&)
             {
                 throw pybind11::type_error(
                     "vary= takes a text or a list of texts (\"SIMTuning=+-6\"), not " +
                     pybind11::str(pybind11::type::of(value).attr("__name__")).cast<std::string>());
             }
             for (const auto& text : texts)
                 withoutNul(text, "vary");
             o.vary = std::move(texts);
         }},
        textKeyword("seed", "--seed", [](RenderOptions& o, const std::string& t) { o.seed = seedOf(t); }),
        keyword("like", "--like", &RenderOptions::like),
        keyword("epoch", "--epoch", &RenderOptions::epoch),
        // After the effect, over the preset's transmission.
        textKeyword("codec", "--codec", [](RenderOptions& o, const std::string& t) { o.transmission.codec = t; }),
        textKeyword("loss", "--loss", [](RenderOptions& o, const std::string& t) { o.transmission.loss = t; }),
        textKeyword("radio", "--radio", [](RenderOptions& o, const std::string& t) { o.transmission.radio = t; }),
        textKeyword("space", "--space", [](RenderOptions& o, const std::string& t) { o.transmission.space = t; }),
    };
    return table;
}

std::string inPythonWords(const std::string& message)
{
    // The options that are switches: their keyword is given True.
    static const char* const kSwitches[] = {"--force", "--skip-existing", "--recursive", "--match-loudness"};
    std::string text;
    std::size_t at = 0;
    while (at < message.size())
    {
        const std::size_t dash = message.find("--", at);
        if (dash == std::string::npos || (dash > 0 && message[dash - 1] != ' ' && message[dash - 1] != '(' &&
                                          message[dash - 1] != '"' && message[dash - 1] != '\''))
        {
            const std::size_t to = dash == std::string::npos ? message.size() : dash + 2;
            text.append(message, at, to - at);
            at = to;
            continue;
        }
        std::size_t end = dash + 2;
        while (end < message.size() && (std::islower(static_cast<unsigned char>(message[end])) || message[end] == '-'))
            ++end;
        const std::string option = message.substr(dash, end - dash);
        const auto& table = renderKeywordTable();
        const auto row = std::find_if(table.begin(), table.end(),
                                      [&](const RenderKeyword& r) { return option == r.option; });
        // The options render_files takes as its arguments.
        static const std::pair<const char*, const char*> kArguments[] = {
            {"--in", "inputs"}, {"--out-dir", "out_dir"}, {"--out", "a single output"}, {"--set", "settings"},
            {"--preset", "preset"}, {"--bank", "bank"}};
        const auto argument = std::find_if(std::begin(kArguments), std::end(kArguments),
                                           [&](const auto& a) { return option == a.first; });
        text.append(message, at, dash - at);
        if (argument != std::end(kArguments))
            text += argument->second;
        else if (row == table.end())
            text += option;
        else if (std::find(std::begin(kSwitches), std::end(kSwitches), option) != std::end(kSwitches))
            text += std::string(row->keyword) + "=True";
        else
            text += std::string(row->keyword) + "=";
        at = end;
    }
    return text;
}
} // namespace crumlet_python
