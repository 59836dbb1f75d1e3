#include "python/src/RenderKeywords.h"

#include "cli/render/DeliveryOptions.h"
#include "python/src/PropertyValues.h"

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
        // After the effect, over the preset's transmission.
        textKeyword("codec", "--codec", [](RenderOptions& o, const std::string& t) { o.transmission.codec = t; }),
        textKeyword("loss", "--loss", [](RenderOptions& o, const std::string& t) { o.transmission.loss = t; }),
        textKeyword("radio", "--radio", [](RenderOptions& o, const std::string& t) { o.transmission.radio = t; }),
        textKeyword("space", "--space", [](RenderOptions& o, const std::string& t) { o.transmission.space = t; }),
    };
    return table;
}
} // namespace crumlet_python
