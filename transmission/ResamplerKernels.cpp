#include "transmission/ResamplerKernels.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>

namespace transmission
{
namespace
{
// libsoxr's high-quality filter reaches about 100 samples of the lower rate either side; the
// window each response is read from is five times that, and a response that reaches its
// window's edge is an error rather than a silently shortened filter.
constexpr std::int64_t kReachOfLowerRate = 512;
// A response is read where it is above this share of its peak (-140 dB): below it is the
// rounding of libsoxr's transforms, not the filter.
constexpr double kFloor = 1e-7;
// The longest period a table is made for. The common rates' periods are short (441 from
// 44.1 to 8 kHz); over a much longer one libsoxr steps through the ratio with a clock of its
// own whose rounding moves its responses apart, so no table of them is exact.
constexpr std::int64_t kLongestPeriod = 2048;

// All the output libsoxr makes for `in`, its flush included.
std::vector<float> convertWhole(std::uint32_t from, std::uint32_t to, const std::vector<float>& in)
{
    soxr_t soxr = makeHighQualityConverter(from, to);
    std::vector<float> out(static_cast<std::size_t>(std::ceil(in.size() * (double(to) / from))) + 1024);
    std::size_t used = 0, made = 0, total = 0;
    soxr_process(soxr, in.data(), in.size(), &used, out.data(), out.size(), &made);
    total += made;
    while (total < out.size())
    {
        soxr_process(soxr, nullptr, 0, &used, out.data() + total, out.size() - total, &made);
        if (made == 0)
            break;
        total += made;
    }
    soxr_delete(soxr);
    out.resize(total);
    return out;
}

std::shared_ptr<const ResamplerKernels> probe(std::uint32_t from, std::uint32_t to)
{
    const std::int64_t common = std::gcd(from, to);
    auto kernels = std::make_shared<ResamplerKernels>();
    ResamplerKernels& k = *kernels;
    k.inPeriod = from / common;
    k.outPeriod = to / common;
    const double ratio = double(to) / from;
    const std::int64_t halfWindow = kReachOfLowerRate * to / std::min(from, to) + 64; // outputs
    if (k.inPeriod > kLongestPeriod)
        return nullptr;

    // One impulse per phase, far enough apart that their responses do not meet: a spacing with
    // no factor in common with the period visits every phase once in inPeriod impulses.
    auto spacing = static_cast<std::int64_t>(std::ceil((2 * halfWindow + 64) / ratio));
    while (std::gcd(spacing, k.inPeriod) != 1)
        ++spacing;
    const std::int64_t first = spacing;
    std::vector<float> in(static_cast<std::size_t>(first + (k.inPeriod + 1) * spacing), 0.f);
    for (std::int64_t t = 0; t < k.inPeriod; ++t)
        in[static_cast<std::size_t>(first + t * spacing)] = 1.f;
    const std::vector<float> out = convertWhole(from, to, in);

    k.phases.resize(static_cast<std::size_t>(k.inPeriod));
    for (std::int64_t t = 0; t < k.inPeriod; ++t)
    {
        const std::int64_t position = first + t * spacing;
        const std::int64_t q = position / k.inPeriod, j = position % k.inPeriod;
        const std::int64_t centre = position * k.outPeriod / k.inPeriod;
        const std::int64_t lo = centre - halfWindow, hi = centre + halfWindow;
        if (lo < 0 || hi >= static_cast<std::int64_t>(out.size()))
            throw std::logic_error("the resampler's probe is too short");
        float peak = 0.f;
        for (std::int64_t n = lo; n <= hi; ++n)
            peak = std::max(peak, std::fabs(out[static_cast<std::size_t>(n)]));
        const float floor = static_cast<float>(kFloor * peak);
        std::int64_t a = lo, b = hi;
        while (a < b && std::fabs(out[static_cast<std::size_t>(a)]) <= floor)
            ++a;
        while (b > a && std::fabs(out[static_cast<std::size_t>(b)]) <= floor)
            --b;
        if (a == lo || b == hi)
            throw std::logic_error("the resampler's filter reaches beyond its probe's window");
        ResamplerKernels::Phase& phase = k.phases[static_cast<std::size_t>(j)];
        phase.offset = a - q * k.outPeriod;
        phase.begin = k.taps.size();
        phase.length = static_cast<std::size_t>(b - a + 1);
        k.taps.insert(k.taps.end(), out.begin() + a, out.begin() + b + 1);
    }

    // An input reaches outputs from its own offset on; a later one of the same period from
    // its offset, of the next period from its offset plus outPeriod.
    const auto phases = static_cast<std::size_t>(k.inPeriod);
    k.firstOpen.assign(phases, 0);
    std::int64_t reachAhead = 0;
    for (std::size_t j = 0; j < phases; ++j)
    {
        std::int64_t lowest = k.phases[j].offset;
        for (std::size_t t = 1; t < phases; ++t)
        {
            const std::size_t later = (j + t) % phases;
            lowest = std::min(lowest, k.phases[later].offset + (later < j ? k.outPeriod : 0));
        }
        k.firstOpen[j] = lowest;
        // Input j's own time is j * outPeriod / inPeriod outputs into the period.
        const double time = double(j) * k.outPeriod / k.inPeriod;
        reachAhead = std::max(reachAhead, static_cast<std::int64_t>(std::ceil(time - k.phases[j].offset)));
    }
    k.lookAheadInputs = static_cast<std::size_t>(std::ceil(std::max<std::int64_t>(reachAhead, 0) / ratio));
    return kernels;
}
} // namespace

soxr* makeHighQualityConverter(std::uint32_t fromRate, std::uint32_t toRate)
{
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_t converter = soxr_create(fromRate, toRate, 1, &error, &io, &quality, nullptr);
    if (error != nullptr || converter == nullptr)
        throw std::runtime_error(std::string("the resampler: ") + (error != nullptr ? error : "no memory"));
    return converter;
}

std::shared_ptr<const ResamplerKernels> resamplerKernels(std::uint32_t fromRate, std::uint32_t toRate)
{
    if (fromRate == 0 || toRate == 0 || fromRate == toRate)
        throw std::invalid_argument("a resampler's kernels need two different rates");
    static std::mutex lock;
    static std::map<std::pair<std::uint32_t, std::uint32_t>, std::shared_ptr<const ResamplerKernels>> made;
    const std::lock_guard<std::mutex> hold(lock);
    const auto key = std::make_pair(fromRate, toRate);
    const auto found = made.find(key);
    if (found != made.end())
        return found->second;
    auto kernels = probe(fromRate, toRate);
    made.emplace(key, kernels);
    return kernels;
}

} // namespace transmission
