// The options of a render as the command line (or a line list's row, or the Python module's
// keywords) gives them, as texts and numbers: read into one recipe per file by RenderSetup.
#pragma once

#include "cli/settings/TransmissionOptions.h"
#include "pipeline/EffectRun.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RenderOptions
{
    std::vector<std::string> inputs;      // files or folders; none: the built-in demo
    std::string output;                   // one output file
    std::string outputDir;                // or a folder for many
    std::vector<std::string> assignments; // NAME=VALUE, applied after the preset
    std::string preset;                   // a factory preset's name or a preset file
    std::string savePreset;               // write the settings to this preset file after the render
    std::string bankFile;                 // a 139-byte parameter block to start from
    std::uint32_t blockFrames = pipeline::kDefaultBlockFrames;
    std::string sampleFormat;             // empty: float where possible
    unsigned jobs = 0;                    // 0: one per core
    bool force = false;                   // replace existing outputs (never an input)
    bool skipExisting = false;            // leave existing outputs of a batch alone
    bool update = false;                  // render only outputs missing or made with another recipe
    bool prune = false;                   // delete outputs under outputDir that nothing renders any more
    bool reproducible = false;            // no clock in the files: the same bytes on a re-run
    bool recursive = false;               // take folders' subfolders, mirrored under --out-dir
    bool matchLoudness = false;           // each output as loud as its input
    std::optional<double> loudness;       // or this integrated loudness, LUFS
    // The delivery format: the rate the input is resampled to and the channels it is folded
    // to before the effect (0: the input's), integer depth and its dither.
    std::uint32_t rate = 0;
    std::uint32_t channels = 0;
    unsigned bits = 0;                    // 16 or 24 (or --format pcm16/pcm24); 0: --format's
    std::string dither;                   // "tpdf" (the default) or "none"
    std::string nameTemplate;             // a batch's output names, see cli/render/OutputNames
    std::vector<std::string> vary;        // NAME=±AMOUNT, drawn per file
    std::optional<std::uint64_t> seed;    // every file's seed; else each from its output's name
    std::uint64_t epoch = 0;              // another pass over the same files: other draws (0: none)
    std::string lines;                    // a line list (CSV or JSON lines), see cli/render/LineList
    std::string columnMap;                // its headers as the tool's columns: "Source file=input,Look=preset"
    std::string presetMap;                // its preset values as presets: "a=Phone call,..." or a .csv/.json file
    bool keepGoing = false;               // render its good rows when some are bad
    std::string like;                     // a WAV file rendered before: its settings and delivery
    bool json = false;                    // one JSON object per file on stdout
    bool quiet = false;
    TransmissionOptions transmission;     // after the effect: codec, loss, radio
};
