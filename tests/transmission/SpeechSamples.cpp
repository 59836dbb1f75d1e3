#include "tests/transmission/SpeechSamples.h"

#include "transmission/StreamResampler.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace transmission::testing
{

std::string speechPath()
{
    return "/usr/share/pocketsphinx/test/data/librivox/sense_and_sensibility_01_austen_64kb-0870.wav";
}

Speech readSpeech(const std::string& path)
{
    Speech speech;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << path;
    if (file == nullptr)
        return speech;
    std::vector<float> all(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, all.data(), info.frames);
    sf_close(file);
    for (sf_count_t i = 0; i < info.frames; ++i)
        speech.samples.push_back(all[static_cast<std::size_t>(i * info.channels)]);
    speech.sampleRate = info.samplerate;
    return speech;
}

Speech resampled(const Speech& speech, double sampleRate)
{
    StreamResampler resampler(speech.sampleRate, sampleRate);
    Speech out;
    out.sampleRate = sampleRate;
    resampler.process(speech.samples.data(), speech.samples.size(), out.samples);
    resampler.finish(out.samples);
    return out;
}

int bestLag(const std::vector<float>& a, const std::vector<float>& b, int most)
{
    const auto n = static_cast<long>(std::min(a.size(), b.size()));
    double best = -1;
    int lag = 0;
    for (int l = -most; l <= most; ++l)
    {
        double sum = 0;
        for (long i = std::max(0L, -static_cast<long>(l)); i < n && i + l < n; ++i)
            sum += static_cast<double>(a[static_cast<std::size_t>(i)]) * b[static_cast<std::size_t>(i + l)];
        if (sum > best)
            best = sum, lag = l;
    }
    return lag;
}

std::vector<float> envelope(const std::vector<float>& x, int halfWidth)
{
    std::vector<double> sums(x.size() + 1, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        sums[i + 1] = sums[i] + static_cast<double>(x[i]) * x[i];
    std::vector<float> e(x.size());
    double mean = 0;
    const auto n = static_cast<long>(x.size());
    for (long i = 0; i < n; ++i)
    {
        const long a = std::max(0L, i - halfWidth), b = std::min(n, i + halfWidth);
        e[static_cast<std::size_t>(i)] = static_cast<float>(std::sqrt((sums[static_cast<std::size_t>(b)] - sums[static_cast<std::size_t>(a)]) / static_cast<double>(b - a)));
        mean += e[static_cast<std::size_t>(i)];
    }
    mean /= static_cast<double>(std::max<std::size_t>(x.size(), 1));
    for (float& v : e)
        v -= static_cast<float>(mean);
    return e;
}

double correlation(const std::vector<float>& a, const std::vector<float>& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < n; ++i)
        ab += static_cast<double>(a[i]) * b[i], aa += static_cast<double>(a[i]) * a[i], bb += static_cast<double>(b[i]) * b[i];
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

} // namespace transmission::testing
