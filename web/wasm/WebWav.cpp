// WAV files read in the page as the tool reads them (tools/play/PlainWavReader: integers scaled
// as libsndfile scales them), so that a file dropped on the page renders the tool's samples;
// a browser's own decoder scales 16-bit samples differently above and below zero.
#include "tools/play/PlainWavReader.h"

#include <exception>
#include <string>

extern "C" {

// The file's samples from its `size` bytes at `bytes`; null when it is no WAV file the reader
// takes.
PlainWav* crumlet_web_wav_read(const char* bytes, std::uint32_t size)
{
    try
    {
        return new PlainWav(parsePlainWav(std::string(bytes, size)));
    }
    catch (const std::exception&)
    {
        return nullptr;
    }
}

std::uint32_t crumlet_web_wav_rate(const PlainWav* wav)
{
    return wav->sampleRate;
}

std::uint32_t crumlet_web_wav_channels(const PlainWav* wav)
{
    return wav->channels;
}

// Frames, and the samples interleaved.
std::uint32_t crumlet_web_wav_frames(const PlainWav* wav)
{
    return wav->channels == 0 ? 0 : static_cast<std::uint32_t>(wav->samples.size() / wav->channels);
}

const float* crumlet_web_wav_samples(const PlainWav* wav)
{
    return wav->samples.data();
}

void crumlet_web_wav_destroy(PlainWav* wav)
{
    delete wav;
}
}
