// The `crumlet` extension module (crumlet._crumlet): the effect over numpy arrays, the
// shipped presets and device models, the properties, and `crumlet render`'s pipeline.
#include "cli/commands/ParamsCommand.h"
#include "cli/commands/SimsCommand.h"
#include "cli/commands/SpacesCommand.h"
#include "cli/render/EffectHost.h"
#include "cli/ToolVersion.h"
#include "cli/render/Variation.h"
#include "cli/settings/Presets.h"
#include "python/src/Effect.h"
#include "python/src/PathText.h"
#include "python/src/PropertyValues.h"
#include "python/src/RenderFiles.h"
#include "transmission/TransmissionSettings.h"
#include "transmission/codecs/CodecCatalogue.h"

#include <pybind11/stl.h>

#include <nlohmann/json.hpp>
#include <pybind11/pybind11.h>

#include <dlfcn.h>
#include <filesystem>

namespace py = pybind11;
using crumlet_python::Effect;

namespace
{
// An installed package carries the effect's module beside this one; a build's copy finds
// the module built with it.
void useTheModuleBesideThisOne()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&useTheModuleBesideThisOne), &info) == 0 || info.dli_fname == nullptr)
        return;
    const auto beside = std::filesystem::path(info.dli_fname).parent_path() / "libOrvexCrumlet.so";
    std::error_code ec;
    if (std::filesystem::exists(beside, ec))
        EffectHost::setModulePath(beside.string());
}

// A property that is not there, as an attribute: AttributeError with the tool's message.
template <typename Get>
py::object asAttributeError(Get&& get)
{
    try
    {
        return get();
    }
    catch (const py::key_error& e)
    {
        throw py::attribute_error(e.what());
    }
}

std::uint32_t blockFramesValue(const py::object& value)
{
    if (PyBool_Check(value.ptr()) || PyNumber_Index(value.ptr()) == nullptr)
    {
        PyErr_Clear();
        throw py::type_error("block_frames is a whole number of frames (1 to " +
                             std::to_string(pipeline::kMaxBlockFrames) + "), not " +
                             py::repr(value).cast<std::string>());
    }
    const py::int_ frames(py::reinterpret_borrow<py::object>(value));
    if (frames < py::int_(1) || frames > py::int_(pipeline::kMaxBlockFrames))
        throw py::value_error("block_frames takes 1 to " + std::to_string(pipeline::kMaxBlockFrames) + " frames");
    return frames.cast<std::uint32_t>();
}

// TypeError for keywords a call does not take, as Python words it.
void refuseUnexpected(const char* call, const py::kwargs& unexpected, const char* takes)
{
    if (unexpected.empty())
        return;
    const std::string name = py::str(unexpected.begin()->first).cast<std::string>();
    throw py::type_error(std::string(call) + "() got an unexpected keyword argument '" + name + "' (it takes " +
                         takes + ")");
}

py::object fromJson(const nlohmann::ordered_json& json)
{
    return py::module_::import("json").attr("loads")(json.dump());
}

const char* const kEffectDoc = R"(The effect, run as the host runs it.

Effect(preset=None, *, bank=None, block_frames=DEFAULT_BLOCK_FRAMES, codec=None, loss=None,
       radio=None, space=None, seed=0, keep_length=False, loudness=None, match_input=False,
       **properties)

Settings start at the defaults; ``bank`` (a 139-byte parameter block as bytes, or a block
file as ``crumlet bank`` writes it) replaces them, then ``preset`` (a shipped preset's name
in any case, see presets(), or a preset file), then the properties in the order given.
Values read exactly as ``crumlet render --set`` reads them: a number in the property's
units with an optional unit (``"-40dB"``, ``"3.4kHz"``, ``"50ms"``), a list entry's text
(``SIMType="House Phone"``) or index (``"#3"``), True/False or "on"/"off" for a switch.
An unknown name raises KeyError and a value out of range ValueError, with the tool's
message.

Properties are attributes and items: ``fx.SIMType = "Walkie Talkie"``, ``fx["EQGain"]``.
``fx.settings`` holds all forty as native types, then the transmission's codec, loss and
radio (as codec=, loss= and radio= take them) and the seed; ``Effect(**fx.settings)`` makes
an effect that renders exactly what ``fx`` renders.

After the effect comes the preset's transmission, if it has one (a speech codec, packet
loss, a radio's keying, static and squelch); codec=, loss= and radio= replace its parts
with the texts --codec, --loss and --radio take (``codec="amr:7.4"``, ``loss="3%:burst=4"``,
``radio="on"``; ``codec="none", loss="off", radio="off"``: the effect alone). seed is the
tool's ``--seed``: the effect's own hiss is the module's fixed noise sequence, as in the
host; the seed draws everything after the effect (lost packets, static) and the random
looks. ``fx.seed = n`` draws anew. keep_length,
loudness and match_input shape what a call returns (see __call__). An Effect pickles and
copies (its settings; not a stream in hand). The tool without --seed takes its seed from
the output's file name; seed_from_name("out.wav") gives that seed.

The samples are those of ``crumlet render --seed SEED`` for the same input, settings,
transmission and block_frames (the frames per buffer, the tool's --block).)";

const char* const kCallDoc = R"(Runs the whole of ``samples`` through a fresh run of the effect.

samples: shaped (frames,) for mono, (frames, channels) or (channels, frames): layout=
"frames_first" or "channels_first" says which, None takes the axis of 64 or fewer entries
as the channels' (a shape where both are raises ValueError, a single row is one frame).
float32 or float64 arrays, and anything numpy.asarray takes without a copy (a CPU tensor),
are read where they are, in any order of strides; other float types are copied as float32
first. sample_rate: Hz, a whole number. Returns float32 samples laid out as given, the
effect's tail included (and, as ``crumlet render`` does, silence played on while the output
still rings), so the result is usually longer than the input; with keep_length=True it is
exactly as long as the input, frame k the input's frame k through the effect. loudness=-23
(LUFS) or match_input=True bring the output to that loudness with one gain, measured as
``crumlet render --loudness`` measures it. A rate below what the settings need (a wideband
codec or an EQ band above half of it) warns once (UserWarning). The output is written once,
so the call holds the input, the output and a buffer. An empty array returns an empty array. A stream
in hand (process) is left alone. Releases the GIL while it runs; Ctrl-C stops it within
milliseconds (KeyboardInterrupt).)";

const char* const kProcessDoc = R"(Feeds one chunk of a stream and returns what is ready.

The effect runs in buffers of block_frames; a buffer is played once the next input is
known to follow it, so each call returns whole buffers and holds back up to one buffer
(pending_frames); a codec holds back its frame, its look-ahead and its resamplers' filters
more, and a space its first partition (latency_frames says how many at most). Call tail()
after the last chunk for the rest. Chunks are shaped as
__call__ takes samples (layout= too; a chunk's axes read as the stream's channel count
says), and the output is laid out as the chunk was. The chunks of a stream
share the sample rate and the channel count; reset=True drops the stream in hand and starts
anew. Settings changed between calls reach the effect at its next buffer, as the host's
updates do. Concatenating every chunk's output and tail() gives exactly fx(whole input).
Releases the GIL while it runs.

Ctrl-C stops a long call within milliseconds (KeyboardInterrupt), and a call that raises
while feeding drops the stream, whose output for the chunk is lost: pending_frames is then
0 and the next call starts a new stream, never one with a gap in it.)";

const char* const kTailDoc = R"(Ends the stream: the frames still held, the effect's tail and any silence played on
while the output rings, through the transmission (a radio's squelch tail included). An empty array when no stream is in hand.)";

const char* const kRenderFilesDoc = R"(Renders files as ``crumlet render --in INPUTS --out-dir OUT_DIR`` does.

inputs: a path or a list of paths (files or folders); out_dir: the output folder (with
lines="list.csv", a line list, inputs is left out and out_dir may be: the list's columns
name each line's input and output, as ``crumlet render --lines`` reads them). preset,
bank and settings (a dict of properties, such as fx.settings, whose codec, loss, radio and
seed are taken unless given as keywords) give the settings as for Effect. The other keywords are the tool's options (see render_keywords()): loudness=-23
(LUFS), match_loudness=True, format="pcm16", block_frames, jobs (0: one per core),
recursive, skip_existing, force, save_preset, and the delivery: rate=48000 (or "44.1k"),
channels=1, bits=16, dither="none", name="{stem}_phone", lines="lines.csv",
vary=["SIMTuning=+-6"], seed=7, like="earlier.wav". Files render in parallel on the tool's
threads with the GIL released, through the same pipeline (atomic outputs, meters,
loudness), and the outputs are the tool's, byte for byte.

Returns one dict per file in the order they finished, as ``--json`` prints them
(input, output, status, framesIn, framesOut, loudnessLufs, ..., error). A file that fails
has status "failed" and its error; the others still render. Bad usage (an unknown preset,
a loudness out of range, a text or path with a NUL in it) raises ValueError before anything
renders.

Ctrl-C stops the batch within a tenth of a second, as it stops ``crumlet render``: each
file being written is removed, the finished ones are kept, and the KeyboardInterrupt
carries the list the call would have returned as ``.results`` (the files it stopped with
status "interrupted"). It stops every render_files call in hand in the process. A signal
handler of the program's own that raises stops it the same way; SIGTERM left at its default
ends the process, as ever, once the files being written are removed.)";
} // namespace

PYBIND11_MODULE(_crumlet, m)
{
    m.doc() = "Crumlet, the lo-fi device-simulation effect, over numpy arrays and files.";
    useTheModuleBesideThisOne();
    m.attr("DEFAULT_BLOCK_FRAMES") = pipeline::kDefaultBlockFrames;
    m.attr("MAX_BLOCK_FRAMES") = pipeline::kMaxBlockFrames;
    m.attr("__version__") = kToolVersion;

    py::class_<Effect>(m, "Effect", kEffectDoc)
        .def(py::init([](const py::object& preset, const py::object& bank, const py::object& blockFrames,
                         const py::object& codec, const py::object& loss, const py::object& radio,
                         const py::object& space, const py::object& seed, bool keepLength, const py::object& loudness,
                         bool matchInput, const py::kwargs& properties) {
                 return std::make_unique<Effect>(preset, bank, blockFramesValue(blockFrames), codec, loss, radio,
                                                 space, seed, properties, keepLength, loudness, matchInput);
             }),
             py::arg("preset") = py::none(), py::kw_only(), py::arg("bank") = py::none(),
             py::arg("block_frames") = pipeline::kDefaultBlockFrames, py::arg("codec") = py::none(),
             py::arg("loss") = py::none(), py::arg("radio") = py::none(), py::arg("space") = py::none(),
             py::arg("seed") = 0, py::arg("keep_length") = false, py::arg("loudness") = py::none(),
             py::arg("match_input") = false)
        .def(
            "__call__",
            [](Effect& fx, const py::handle& samples, const py::handle& sampleRate, const py::handle& layout,
               const py::kwargs& unexpected) {
                refuseUnexpected("Effect.__call__", unexpected, "samples, sample_rate, layout");
                return fx.render(samples, sampleRate, layout);
            },
            py::arg("samples"), py::arg("sample_rate") = py::none(), py::kw_only(), py::arg("layout") = py::none(),
            kCallDoc)
        .def(
            "process",
            [](Effect& fx, const py::handle& samples, const py::handle& sampleRate, bool reset,
               const py::handle& layout, const py::kwargs& unexpected) {
                refuseUnexpected("Effect.process", unexpected, "samples, sample_rate, reset, layout");
                return fx.process(samples, sampleRate, reset, layout);
            },
            py::arg("samples"), py::arg("sample_rate") = py::none(), py::arg("reset") = false, py::kw_only(),
            py::arg("layout") = py::none(), kProcessDoc)
        .def(py::pickle([](const Effect& fx) { return fx.state(); },
                        [](const py::tuple& state) { return Effect::fromState(state); }))
        .def("tail", &Effect::tail, kTailDoc)
        .def_property_readonly("pending_frames", &Effect::pendingFrames,
                               "Frames fed to the stream in hand that no call has returned yet.")
        .def_property_readonly(
            "latency_frames", &Effect::latencyFrames,
            "The most frames the stream in hand holds back between calls (pending_frames never exceeds it): "
            "block_frames, and with a codec its frame, its look-ahead and its resamplers' filters, with a "
            "space its first partition. None when no stream is in hand: it depends on the stream's rate.")
        .def_property_readonly("settings", &Effect::settings,
                               "The forty properties by name, as native types (bool, int, float, a list entry's "
                               "text), then codec, loss, radio, space (texts) and seed; Effect(**settings) renders the "
                               "same samples.")
        .def_property_readonly("block", &Effect::block,
                               "The 139-byte parameter block the plugin object writes for the settings (what "
                               "crumlet bank writes).")
        .def_property_readonly("block_frames", &Effect::blockFrames, "Frames per buffer (the tool's --block).")
        .def_property_readonly(
            "transmission",
            [](const Effect& fx) {
                py::dict t;
                t["codec"] = transmission::codecText(fx.transmission().codec);
                t["loss"] = transmission::lossText(fx.transmission().loss);
                t["radio"] = transmission::radioText(fx.transmission().radio);
                return t;
            },
            "What follows the effect, as the texts codec=, loss= and radio= take: {\"codec\": \"gsm\", ...}.")
        .def_property_readonly(
            "space", [](const Effect& fx) { return space::spaceText(fx.space()); },
            "Where the listener hears it, after the transmission, as the text space= takes (\"off\": nowhere).")
        .def_property("seed", &Effect::seed, &Effect::setSeed,
                      "The tool's --seed; set it to draw anew. The effect's own hiss is the module's fixed noise "
                      "sequence, as in the host; the seed draws everything after the effect (lost packets, static) "
                      "and the random looks.")
        .def_property("keep_length", &Effect::keepLength, &Effect::setKeepLength,
                      "True: a whole-array call returns exactly as many frames as it was given, aligned with them.")
        .def_property("loudness", &Effect::loudness, &Effect::setLoudness,
                      "The integrated loudness (LUFS) a whole-array call brings its output to, or None.")
        .def_property("match_input", &Effect::matchInput, &Effect::setMatchInput,
                      "True: a whole-array call's output is as loud as its input.")
        .def("__getitem__", &Effect::get, py::arg("name"))
        .def("__setitem__", &Effect::set, py::arg("name"), py::arg("value"))
        .def("__contains__", &Effect::hasProperty, py::arg("name"))
        .def("__getattr__",
             [](const Effect& fx, const std::string& name) {
                 return asAttributeError([&] { return fx.get(name); });
             })
        .def("__setattr__",
             [](const py::object& self, const std::string& name, const py::object& value) {
                 Effect& fx = self.cast<Effect&>();
                 if (fx.hasProperty(name))
                     fx.set(name, value);
                 else if (name.rfind('_', 0) == 0 || py::hasattr(py::type::of(self), name.c_str()))
                     py::module_::import("builtins").attr("object").attr("__setattr__")(self, name, value);
                 else
                     asAttributeError([&] { return fx.get(name); });
             })
        .def("__dir__",
             [](py::object self) {
                 py::list names = py::module_::import("builtins").attr("object").attr("__dir__")(self);
                 for (const auto& p : EffectHost::instance().description().properties)
                     names.append(p.name);
                 return names;
             })
        .def("__repr__", &Effect::repr);

    m.def(
        "presets",
        [] {
            py::dict presets;
            for (const auto& preset : factoryPresets())
                presets[py::str(preset.name)] = preset.description;
            return presets;
        },
        "The shipped presets: name -> one line on how it sounds, in the tool's order.");

    m.def(
        "devices",
        [](const std::string& query, const std::string& category) {
            SimsOptions options;
            const py::list words = py::str(crumlet_python::withoutNul(query, "query")).attr("split")();
            for (const auto& word : words)
                options.words.push_back(word.cast<std::string>());
            options.category = crumlet_python::withoutNul(category, "category");
            return crumlet_python::readingAsTheTool([&] { return fromJson(deviceModelsJson(options)); });
        },
        py::arg("query") = "", py::arg("category") = "",
        "The device models (SIMType's entries) matching every word of the query, each found whole in the "
        "name, category, tags or description, as ``crumlet sims WORDS --json`` lists them: index, name, "
        "category, tags, description, response, levelDb, sections. category narrows to a category heading "
        "(a word of it); an unknown one raises ValueError.");

    m.def(
        "codecs",
        [] {
            py::dict codecs;
            for (const auto& entry : transmission::codecCatalogue())
            {
                py::dict c;
                c["title"] = entry.title;
                c["sample_rate"] = entry.sampleRate;
                py::list modes;
                std::vector<int> rates = entry.bitRates;
                if (entry.lowestBitRate > 0)
                    for (int rate : {6000, 8000, 12000, 16000, 24000, 32000, 48000, 64000})
                        if (rate >= entry.lowestBitRate && rate <= entry.highestBitRate)
                            rates.push_back(rate);
                for (int rate : rates)
                {
                    transmission::CodecSettings codec;
                    codec.kind = entry.kind;
                    codec.bitRate = rate;
                    modes.append(transmission::codecText(codec));
                }
                c["modes"] = modes;
                c["bit_rates"] = entry.lowestBitRate > 0 ? py::object(py::make_tuple(entry.lowestBitRate, entry.highestBitRate))
                                                         : py::object(py::cast(entry.bitRates));
                transmission::CodecSettings byDefault;
                byDefault.kind = entry.kind;
                byDefault.bitRate = entry.defaultBitRate;
                c["default"] = transmission::codecText(byDefault);
                c["dtx"] = entry.discontinuous;
                c["available"] = entry.available;
                codecs[py::str(entry.name)] = c;
            }
            return codecs;
        },
        "The codecs codec= takes: name -> title, sample_rate (the codec's own), modes (texts codec= takes, one "
        "per rate; Opus takes any rate in its range), bit_rates (a list, or Opus' (lowest, highest)), default, "
        "dtx (whether \":dtx\" is taken) and available (in this build).");

    m.def(
        "spaces", [] { return fromJson(spacesListJson({})); },
        "The generated spaces space= takes, as ``crumlet spaces --json`` lists them: name, rt60, description, "
        "tags, size, volume, distance, longestDistance, throughWall, rt60Bands.");

    m.def(
        "properties", [] { return fromJson(propertiesJson()); },
        "The forty properties as ``crumlet params --json`` lists them: id, name, type, min, max, default, "
        "steps, unit, displayName, values.");

    m.def("seed_from_name", [](const py::object& output) { return seedFromName(crumlet_python::pathText(output, "output")); },
          py::arg("output"),
          "The seed crumlet render without --seed takes for an output file: from its file name (folders "
          "left out).");

    m.def("render_files", &crumlet_python::renderFiles, py::arg("inputs") = py::none(), py::arg("out_dir") = py::none(),
          py::arg("preset") = py::none(), py::kw_only(), py::arg("settings") = py::none(),
          py::arg("bank") = py::none(), kRenderFilesDoc);

    m.def(
        "_module_path", [] { return EffectHost::instance().modulePath(); },
        "Where the effect's module was loaded from: the one inside an installed package, else the build's.");

    m.def("render_keywords", &crumlet_python::renderKeywords,
          "render_files' option keywords, each with the crumlet render option it stands for.");
}
