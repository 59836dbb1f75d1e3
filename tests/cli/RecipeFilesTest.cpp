// Recipes in WAV files, as `crumlet render --like` and `crumlet info` read them and as a render
// writes them: every value checked as the command line checks its option, before anything
// renders; a settings chunk read only up to its bound, whatever size it claims; and what goes
// into the chunks bounded, and read back, before an output counts as rendered.
#include "cli/io/AudioFiles.h"
#include "cli/io/BextChunk.h"
#include "cli/io/RiffChunks.h"
#include "cli/render/EffectHost.h"
#include "cli/render/RenderProvenance.h"
#include "cli/settings/UsageError.h"

#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using nlohmann::ordered_json;

namespace
{
class RecipeFiles : public RenderPipeline
{
protected:
    // A short 16-bit render that carries its recipe, and its input.
    void SetUp() override
    {
        RenderPipeline::SetUp();
        m_input = writeTone("in.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
        const ProcessResult r = runCrumlet({"render", "--in", m_input, "--out", path("base.wav"), "--bits", "16",
                                            "--seed", "5", "--quiet"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        m_chunks = riffChunks(bytesOf(path("base.wav")));
    }

    // A WAV file of the chunks as given, each claiming its `claimed` size.
    std::string writeChunks(const std::string& name, const std::vector<RiffChunk>& chunks) const
    {
        std::ofstream(path(name), std::ios::binary) << riffBytes(chunks);
        return path(name);
    }

    ordered_json recipe() const
    {
        for (const RiffChunk& c : m_chunks)
            if (c.id == kSettingsChunkId)
                return ordered_json::parse(c.data);
        ADD_FAILURE() << "base.wav carries no settings chunk";
        return {};
    }

    // base.wav with its settings chunk's JSON replaced.
    std::string withRecipe(const std::string& name, const ordered_json& changed) const
    {
        std::vector<RiffChunk> chunks = m_chunks;
        OutputMetadata metadata;
        metadata.settingsJson = changed.dump();
        replaceChunk(chunks, kSettingsChunkId, settingsChunkBytes(metadata));
        return writeChunks(name, chunks);
    }

    // base.wav with its settings chunk last, after the samples, claiming `claimed` bytes.
    std::string withSettingsClaiming(const std::string& name, std::uint32_t claimed) const
    {
        std::vector<RiffChunk> chunks = m_chunks;
        moveChunkLast(chunks, kSettingsChunkId, claimed);
        return writeChunks(name, chunks);
    }

    std::string m_input;
    std::vector<RiffChunk> m_chunks;
};
} // namespace

TEST_F(RecipeFiles, ARecipesValuesAreCheckedAsTheCommandLinesBeforeAnythingRenders)
{
    struct Case
    {
        const char* field;
        ordered_json value;
        const char* said; // as the command line says it of its option
    };
    const std::vector<Case> cases = {
        {"loudness", 1e308, "--loudness takes an integrated loudness from -70 to 0 LUFS"},
        {"loudness", 200, "--loudness takes"},
        {"loudness", "-23", "a number"},
        {"rate", 1e12, "--rate takes a sample rate in whole hertz from 8000 to 384000"},
        {"rate", 44100.5, "--rate takes"},
        {"rate", -48000, "--rate takes"},
        {"channels", 1e9, "--channels takes 1"},
        {"channels", 1000000000, "--channels takes 1"},
        {"channels", -1, "--channels takes 1"},
        {"seed", "-1", "a seed is a whole number"},
        {"seed", "18446744073709551616", "a seed is a whole number"},
        {"seed", 7, "a text"},
        {"dither", "shaped", "--dither takes tpdf"},
        {"format", "pcm12", "--format takes float, pcm16, pcm24 or same"},
        {"matchLoudness", true, "give either --match-loudness or --loudness LUFS, not both"},
        {"block", "00ff", "a parameter block is"},
        {"block", "zz", "not hexadecimal"},
        {"variation", {{"NoSuchKnob", {{"value", 1}, {"offset", 1}, {"text", "1"}}}}, "NoSuchKnob"},
        {"variation", {{"SIMTuning", {{"value", 1}, {"offset", 1}, {"text", "loud"}}}}, "SIMTuning"},
        {"transmission", {{"codec", "mp3"}}, "no codec"},
        {"preset", std::string(5000, 'p'), "at most 4096 bytes"},
        {"input", std::string("a\0b", 3), "a NUL"},
        {"variation", {{"SIMTuning", {{"value", {{"deep", {{"deeper", 1}}}}}}}}, "deeper"},
    };
    for (const Case& c : cases)
    {
        fs::remove(path("out.wav"));
        ordered_json changed = recipe();
        if (std::string(c.field) == "matchLoudness")
            changed["loudness"] = -23;
        changed[c.field] = c.value;
        const std::string file = withRecipe("bad.wav", changed);
        const std::string where = "\"" + file + "\": its settings chunk: \"" + c.field + "\": ";
        const std::string shown = std::string(c.field) + " " + c.value.dump().substr(0, 40);

        const ProcessResult r = runCrumlet({"render", "--like", file, "--in", m_input, "--out", path("out.wav")});
        EXPECT_EQ(r.exitCode, 2) << shown << ": " << r.err;
        EXPECT_TRUE(has(r.err, where) && has(r.err, c.said)) << shown << ": " << r.err;
        EXPECT_LT(r.err.size(), 600u) << shown;
        EXPECT_FALSE(fs::exists(path("out.wav"))) << shown;

        // `info` shows the file and says what its recipe holds that cannot be rendered.
        const ProcessResult info = runCrumlet({"info", file});
        EXPECT_EQ(info.exitCode, 0) << shown << ": " << info.err;
        EXPECT_TRUE(has(info.out, where) && has(info.out, c.said)) << shown << ": " << info.out;
        EXPECT_FALSE(has(info.out, "render it again")) << shown << ": " << info.out;
    }

    // The edges of each range render, as they do from the command line.
    ordered_json edges = recipe();
    edges["loudness"] = 0;
    edges["rate"] = 8000;
    edges["channels"] = 1;
    const ProcessResult r =
        runCrumlet({"render", "--like", withRecipe("edges.wav", edges), "--in", m_input, "--out", path("out.wav")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    SF_INFO info{};
    readAll(path("out.wav"), &info);
    EXPECT_EQ(info.samplerate, 8000);
    EXPECT_EQ(info.channels, 1);
}

TEST_F(RecipeFiles, ASettingsChunkIsReadUpToItsBoundWhateverItClaims)
{
    // Claims beyond the bound, or beyond the whole file, are refused unread (read as claimed,
    // the first three would take 0.2, 4.2 and 8.4 GB).
    ASSERT_LT(fs::file_size(path("base.wav")), 30000u);
    for (const std::uint32_t claimed : {100u << 20, 0x7fffffffu, 0xfffffff0u, 30000u})
    {
        const std::string file = withSettingsClaiming("lying.wav", claimed);
        const OutputMetadata m = readMetadata(file);
        ASSERT_EQ(m.settingsJson, "") << claimed;
        EXPECT_TRUE(has(m.settingsUnread, "claims " + std::to_string(claimed) + " bytes")) << m.settingsUnread;
        EXPECT_TRUE(has(m.settingsUnread, claimed > kMostSettingsChunkBytes ? "at most 32768 bytes (32 KiB)" : "more than the file"))
            << m.settingsUnread;
        EXPECT_EQ(m.description, readMetadata(path("base.wav")).description);

        const ProcessResult info = runCrumlet({"info", file});
        EXPECT_EQ(info.exitCode, 0) << info.err;
        EXPECT_TRUE(has(info.out, "48000 Hz, 1 channel")) << info.out;
        EXPECT_TRUE(has(info.out, "claims " + std::to_string(claimed) + " bytes")) << info.out;
        const ProcessResult like = runCrumlet({"render", "--like", file, "--in", m_input, "--out", path("out.wav")});
        EXPECT_EQ(like.exitCode, 2) << like.err;
        EXPECT_TRUE(has(like.err, "\"" + file + "\": its settings chunk claims " + std::to_string(claimed)))
            << like.err;
        EXPECT_FALSE(fs::exists(path("out.wav")));
    }

    // Up to the bound, a chunk is read whole.
    std::string text = recipe().dump();
    text.resize(kMostSettingsChunkBytes, ' ');
    std::vector<RiffChunk> chunks = m_chunks;
    replaceChunk(chunks, kSettingsChunkId, text);
    EXPECT_EQ(readRecipe(writeChunks("full.wav", chunks), EffectHost::instance().description()).seed, 5u);
    replaceChunk(chunks, kSettingsChunkId, text + "    ");
    const OutputMetadata over = readMetadata(writeChunks("over.wav", chunks));
    EXPECT_EQ(over.settingsJson, "");
    EXPECT_TRUE(has(over.settingsUnread, "claims 32772 bytes")) << over.settingsUnread;
}

TEST_F(RecipeFiles, WhatGoesIntoTheChunksIsBoundedAndAnOutputThatDoesNotReadBackIsAnError)
{
    std::vector<float> samples(2 * 480, 0.25f);
    OutputMetadata metadata;
    metadata.description = "a test";
    metadata.codingHistory = std::string(20000, 'h') + "\r\n";

    // The largest settings chunk there is, beside the longest coding history, in a file of
    // eight channels (the longer format chunk): written and read back whole.
    const std::string full = R"({"most":")" + std::string(kMostSettingsChunkBytes - 11, 'x') + "\"}";
    ASSERT_EQ(full.size(), kMostSettingsChunkBytes);
    metadata.settingsJson = full;
    {
        std::vector<float> eight(8 * 480, 0.25f);
        AudioWriter writer(path("full.wav"), "full.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 8, 48000, 480);
        ASSERT_EQ(writer.describeWith(metadata), "");
        ASSERT_TRUE(writer.write(eight.data(), 480));
        ASSERT_EQ(writer.close(), "");
        EXPECT_EQ(readMetadata(path("full.wav")).settingsJson, full);
        SF_INFO info{};
        EXPECT_EQ(readAll(path("full.wav"), &info).size(), eight.size());
    }

    // One byte more is refused before a sample is written (past its header's room, libsndfile
    // writes a chunk's size without its bytes: a file no reader opens).
    metadata.settingsJson = full + " ";
    {
        AudioWriter writer(path("over.wav"), "over.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, 480);
        const std::string refused = writer.describeWith(metadata);
        EXPECT_TRUE(has(refused, "32768 bytes (32 KiB)")) << refused;
        writer.close();
    }

    // A written file is checked as it reads back.
    {
        AudioWriter writer(path("good.wav"), "good.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, 480);
        metadata.settingsJson = R"({"a":1})";
        ASSERT_EQ(writer.describeWith(metadata), "");
        ASSERT_TRUE(writer.write(samples.data(), 480));
        ASSERT_EQ(writer.close(), "");
    }
    const int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    EXPECT_EQ(readBackFault(path("good.wav"), format, 2, 48000, 480, R"({"a":1})"), "");
    EXPECT_TRUE(has(readBackFault(path("good.wav"), format, 2, 48000, 481, R"({"a":1})"), "480 frames"));
    EXPECT_TRUE(has(readBackFault(path("good.wav"), format, 1, 48000, 480, R"({"a":1})"), "2 channels"));
    EXPECT_TRUE(has(readBackFault(path("good.wav"), format, 2, 48000, 480, R"({"a":2})"), "settings chunk"));
    // The file libsndfile writes when a chunk outgrows its header: it does not read back.
    {
        SndfileHandle raw(path("cut.wav"), SFM_WRITE, format, 2, 48000);
        const std::string big(60000, 'x');
        SF_CHUNK_INFO chunk{};
        std::memcpy(chunk.id, kSettingsChunkId, 4);
        chunk.id_size = 4;
        chunk.datalen = static_cast<unsigned>(big.size());
        chunk.data = const_cast<char*>(big.data());
        sf_set_chunk(raw.rawHandle(), &chunk);
        raw.writef(samples.data(), 480);
    }
    EXPECT_NE(readBackFault(path("cut.wav"), format, 2, 48000, 480, std::string(60000, 'x')), "");

    // A recipe that would make a settings chunk larger than its bound is refused as it is
    // made, before anything renders.
    const quarl::PluginDescription& description = EffectHost::instance().description();
    RenderRecipe large = readRecipe(path("base.wav"), description);
    large.preset = std::string(4096, '\x01'); // six bytes each, escaped in JSON
    const ParameterSettings settings(description);
    EXPECT_NO_THROW(describeRender(large, settings));
    large.input = large.preset;
    try
    {
        describeRender(large, settings);
        ADD_FAILURE() << "a recipe of more than 32 KiB was described";
    }
    catch (const UsageError& e)
    {
        EXPECT_TRUE(has(e.what(), "32768 bytes (32 KiB)")) << e.what();
    }
    // Rendering like a file reproduces it sample for sample.
    const ProcessResult r = runCrumlet({"render", "--like", path("base.wav"), "--in", m_input, "--out", path("again.wav")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readAll(path("again.wav")), readAll(path("base.wav")));
    EXPECT_EQ(readMetadata(path("again.wav")).settingsJson, readMetadata(path("base.wav")).settingsJson);
}

// The read-back check opened headerless outputs as if they had a header and refused them all.
TEST_F(RecipeFiles, HeaderlessOutputsReadBackAsWritten)
{
    const std::string in = writeTone("tone.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2);
    const ProcessResult r = runCrumlet({"render", "--in", in, "--out", path("out.raw"), "--format", "float", "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto bytes = std::filesystem::file_size(path("out.raw"));
    EXPECT_EQ(bytes % (2 * sizeof(float)), 0u);
    EXPECT_GE(bytes, 4800u * 2 * sizeof(float));
}

// --like without --in rendered the built-in demo with the file's settings, silently.
TEST_F(RecipeFiles, RenderingLikeAFileNeedsItsSource)
{
    const std::string in = writeTone("tone.wav", 4800, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("made.wav"), "--bits", "16", "--quiet"}).exitCode, 0);
    const ProcessResult r = runCrumlet({"render", "--like", path("made.wav"), "--out", path("again.wav")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "give the source with --in SOURCE")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("again.wav")));
}

// `crumlet info` told neither the loudness a file was rendered to nor the one it has.
TEST_F(RecipeFiles, InfoTellsTheLoudnessTargetAndTheLoudnessMeasured)
{
    const std::string in = writeTone("tone.wav", 48000 * 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1);
    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("made.wav"), "--bits", "24", "--loudness", "-23",
                          "--quiet"})
                  .exitCode,
              0);
    const ProcessResult text = runCrumlet({"info", path("made.wav")});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_TRUE(has(text.out, "levels: -23.0 LUFS, true peak ")) << text.out;
    EXPECT_TRUE(has(text.out, "  loudness: -23.0 LUFS\n")) << text.out;
    EXPECT_FALSE(has(text.out, "damaged")) << text.out;
    const ProcessResult json = runCrumlet({"info", "--json", path("made.wav")});
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_NEAR(j["levels"]["loudnessLufs"].get<double>(), -23.0, 0.05);
    EXPECT_EQ(j["loudnessTarget"].get<double>(), -23.0);
    EXPECT_EQ(j["damaged"], false);

    ASSERT_EQ(runCrumlet({"render", "--in", in, "--out", path("matched.wav"), "--bits", "16", "--match-loudness",
                          "--quiet"})
                  .exitCode,
              0);
    EXPECT_TRUE(has(runCrumlet({"info", path("matched.wav")}).out, "  loudness: as loud as its input\n"));
}
