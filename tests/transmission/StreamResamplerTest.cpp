// The line's resampler: libsoxr's own conversion (the reference) to within rounding, the same
// samples however the input is cut, and only the filter's reach held back.
#include "transmission/ResamplerKernels.h"
#include "transmission/StreamResampler.h"

#include <gtest/gtest.h>
#include <soxr.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace transmission
{
namespace
{
struct Rates
{
    double from, to;
};

// The rate pairs a line meets: a file's common rates against the codecs' 8, 16 and 48 kHz,
// and a user's room response brought to the line's rate.
const Rates kPairs[] = {{48000, 8000}, {8000, 48000}, {16000, 8000}, {8000, 16000}, {44100, 8000}, {8000, 44100},
                        {11025, 8000}, {8000, 22050}, {44100, 48000}, {96000, 16000}};

std::vector<float> noise(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> gauss(0.f, 0.25f);
    std::vector<float> x(count);
    for (float& v : x)
        v = gauss(random);
    return x;
}

std::vector<float> bySoxr(const Rates& r, const std::vector<float>& in)
{
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    soxr_t soxr = soxr_create(r.from, r.to, 1, &error, &io, &quality, nullptr);
    std::vector<float> out(static_cast<std::size_t>(in.size() * r.to / r.from) + 8192);
    std::size_t used = 0, made = 0, total = 0;
    soxr_process(soxr, in.data(), in.size(), &used, out.data(), out.size(), &made);
    total += made;
    do
    {
        soxr_process(soxr, nullptr, 0, &used, out.data() + total, out.size() - total, &made);
        total += made;
    } while (made > 0);
    soxr_delete(soxr);
    out.resize(total);
    return out;
}

std::vector<float> inPieces(const Rates& r, const std::vector<float>& in, const std::vector<std::size_t>& sizes)
{
    StreamResampler resampler(r.from, r.to);
    std::vector<float> out;
    std::size_t at = 0;
    for (std::size_t i = 0; at < in.size(); ++i)
    {
        const std::size_t n = std::min(sizes[i % sizes.size()], in.size() - at);
        resampler.process(in.data() + at, n, out);
        at += n;
    }
    resampler.finish(out);
    return out;
}

// libsoxr's filter reaches less than this many samples of the lower rate either side.
constexpr double kReach = 150;

TEST(StreamResampler, MakesLibsoxrsConversionToWithinRounding)
{
    for (const Rates& r : kPairs)
    {
        const std::vector<float> x = noise(static_cast<std::size_t>(r.from * 0.75) + 17, 5);
        const std::vector<float> reference = bySoxr(r, x), ours = inPieces(r, x, {1000});
        ASSERT_EQ(ours.size(), reference.size()) << r.from << " to " << r.to;
        // libsoxr's stages start each with a transient of their own (up to 2e-3 off from 48 to
        // 8 kHz in the first output); here the signal starts after silence. Past the filter's
        // reach the two agree.
        const auto settled = static_cast<std::size_t>(2 * kReach * r.to / std::min(r.from, r.to));
        double error = 0, power = 0;
        for (std::size_t i = settled; i < ours.size(); ++i)
        {
            error += double(ours[i] - reference[i]) * (ours[i] - reference[i]);
            power += double(reference[i]) * reference[i];
        }
        EXPECT_GT(10 * std::log10(power / error), 110.0) << r.from << " to " << r.to;
    }
}

TEST(StreamResampler, PiecesOfAnySizeMakeTheSameSamples)
{
    for (const Rates& r : kPairs)
    {
        const std::vector<float> x = noise(static_cast<std::size_t>(r.from / 3), 9);
        const std::vector<float> whole = inPieces(r, x, {x.size()});
        for (const auto& sizes : {std::vector<std::size_t>{1}, {160}, {7, 0, 513, 2, 4096}})
        {
            const std::vector<float> cut = inPieces(r, x, sizes);
            ASSERT_EQ(cut.size(), whole.size());
            EXPECT_EQ(0, std::memcmp(cut.data(), whole.data(), cut.size() * sizeof(float))) << r.from << " to " << r.to;
        }
    }
}

TEST(StreamResampler, HoldsBackOnlyWhatItsFilterReachesAhead)
{
    // libsoxr's own blocks hold back 926 outputs from 16 to 8 kHz, 1,852 from 8 to 16 kHz and
    // 8,490 from 8 to 48 kHz (414, 828 and 3,686 with its smallest transforms).
    for (const Rates& r : {Rates{16000, 8000}, Rates{8000, 16000}, Rates{48000, 8000}, Rates{8000, 48000},
                           Rates{44100, 8000}, Rates{8000, 44100}})
    {
        StreamResampler resampler(r.from, r.to);
        const double perLowerRate = r.to / std::min(r.from, r.to);
        std::vector<float> out;
        double most = 0;
        for (std::size_t n = 1; n <= static_cast<std::size_t>(r.from / 4); ++n)
        {
            const float x = 0.f;
            resampler.process(&x, 1, out);
            most = std::max(most, n * r.to / r.from - static_cast<double>(out.size()));
        }
        EXPECT_LE(most, kReach * perLowerRate) << r.from << " to " << r.to;
        EXPECT_LE(most, static_cast<double>(resampler.mostHeldBack())) << r.from << " to " << r.to;
    }
}

TEST(StreamResampler, ARatioTooLongForATableStillConverts)
{
    // 22,254 Hz against 8 kHz repeats only every 11,127 inputs: no table.
    EXPECT_EQ(resamplerKernels(22254, 8000), nullptr);
    const Rates r{22254, 8000};
    const std::vector<float> x = noise(20000, 3);
    StreamResampler resampler(r.from, r.to);
    EXPECT_FALSE(resampler.sampleBySample());
    EXPECT_EQ(inPieces(r, x, {333}).size(), bySoxr(r, x).size());
    EXPECT_THROW(StreamResampler(44100.5, 8000), std::invalid_argument);
}

} // namespace
} // namespace transmission
