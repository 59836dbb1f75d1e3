// crumlet-play: one WAV file through the engine side as the host runs it, nothing else.
//
//   crumlet-play --bank BLOCK.bin --in IN.wav --out OUT.wav [--block N]
//
// The parameter block is the bank's 139 bytes (`crumlet bank --out`); the effect is made
// through the module's registration record and played by the stand-in host's stream runner in
// buffers of N frames (512 unless given), its tail and the ringing after it included, as
// `crumlet render --bank BLOCK.bin --block N --format float` plays it. The output is 32-bit
// float WAV at the input's rate and channels. No JUCE, no codecs, no library for the files:
// the same program builds for x86-64, ARM64 and WebAssembly.
#include "cli/io/FloatWavWriter.h"
#include "cli/settings/UsageError.h"
#include "params/ParameterTable.h"
#include "pipeline/EffectRun.h"
#include "pipeline/LinkedEffect.h"
#include "tools/play/PlainWavReader.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
constexpr const char* kUsage = "usage: crumlet-play --bank BLOCK.bin --in IN.wav --out OUT.wav [--block N]\n";

struct PlayOptions
{
    std::string bank, in, out;
    std::uint32_t blockFrames = pipeline::kDefaultBlockFrames;
};

struct PlayUsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

PlayOptions readOptions(int argc, char** argv)
{
    PlayOptions o;
    for (int i = 1; i < argc; ++i)
    {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            throw PlayUsageError(name + " needs a value");
        const std::string value = argv[++i];
        if (name == "--bank")
            o.bank = value;
        else if (name == "--in")
            o.in = value;
        else if (name == "--out")
            o.out = value;
        else if (name == "--block")
        {
            char* end = nullptr;
            const unsigned long n = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || n < 1 || n > pipeline::kMaxBlockFrames)
                throw PlayUsageError("--block takes 1 to " + std::to_string(pipeline::kMaxBlockFrames) + " frames, not \"" +
                                     value + "\"");
            o.blockFrames = static_cast<std::uint32_t>(n);
        }
        else
            throw PlayUsageError("unknown option " + name);
    }
    if (o.bank.empty() || o.in.empty() || o.out.empty())
        throw PlayUsageError("give --bank, --in and --out");
    return o;
}

std::vector<std::uint8_t> readBlock(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw IoError("cannot read the bank block \"" + path + "\"");
    const std::vector<std::uint8_t> block((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (block.size() != kParameterBlockSize)
        throw IoError("\"" + path + "\" holds " + std::to_string(block.size()) + " bytes, not a parameter block of " +
                      std::to_string(kParameterBlockSize));
    return block;
}

// The record as the host finds it once the module has registered.
const ZQ::Quarl::PluginRegistration& effectRecord()
{
    const ZQ::Quarl::PluginRegistration* record = pipeline::linkedEffectRecord();
    if (record == nullptr)
        throw IoError("the effect did not register with the sound engine");
    return *record;
}

int play(const PlayOptions& o)
{
    const std::vector<std::uint8_t> block = readBlock(o.bank);
    PlainWav input;
    try
    {
        input = readPlainWav(o.in);
    }
    catch (const WavReadError& e)
    {
        throw IoError("cannot read \"" + o.in + "\": " + e.what());
    }
    pipeline::RunSettings settings;
    settings.block = block;
    settings.blockFrames = o.blockFrames;
    pipeline::EffectRun run(effectRecord(), std::move(settings), input.sampleRate, input.channels);
    const std::vector<float> output = run.render(input.samples.data(), input.samples.size() / input.channels);

    FloatWavWriter writer(o.out, o.out, input.channels, input.sampleRate, false);
    const std::size_t frames = output.size() / input.channels;
    if (!writer.write(output.data(), static_cast<std::uint32_t>(frames)))
        throw IoError("cannot write \"" + o.out + "\": " + writer.error());
    if (const std::string error = writer.close(); !error.empty())
        throw IoError("cannot write \"" + o.out + "\": " + error);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    try
    {
        return play(readOptions(argc, argv));
    }
    catch (const PlayUsageError& e)
    {
        std::fprintf(stderr, "crumlet-play: %s\n%s", e.what(), kUsage);
        return kExitUsage;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "crumlet-play: %s\n", e.what());
        return kExitIoError;
    }
}
