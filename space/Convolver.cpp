#include "space/Convolver.h"

#include "space/FftwPlanning.h"

#include <zita-convolver.h>

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

namespace space
{
namespace
{
constexpr std::uint32_t kSmallestPartition = 64;
constexpr std::uint32_t kLargestPartition = 8192; // the library's largest

// libzita-convolver 4.0.3 starts a level's worker thread without waiting for it to run, and a
// level whose worker has not yet run is computed in the caller's thread a partition earlier
// than its worker would: fed at once (a file, not a live stream), the first blocks come out
// wrong. Its header offers no way to ask, so the two members that tell are reached through
// the one door C++ leaves open to private members: an explicit instantiation's template
// arguments are not access-checked.
template <typename Tag, typename Tag::Type Member>
struct Reach
{
    friend typename Tag::Type member(Tag) { return Member; }
};
struct Levels
{
    using Type = Convlevel* (Convproc::*)[Convproc::MAXLEV];
    friend Type member(Levels);
};
struct LevelState
{
    using Type = volatile std::uint32_t Convlevel::*;
    friend Type member(LevelState);
};
template struct Reach<Levels, &Convproc::_convlev>;
template struct Reach<LevelState, &Convlevel::_stat>;
constexpr std::uint32_t kLevelRunning = 2; // Convlevel::ST_PROC

void waitForWorkers(Convproc& engine)
{
    Convlevel* const* levels = engine.*member(Levels{});
    // Level 0 runs in the caller's thread; each other level has a worker.
    for (int k = 1; k < Convproc::MAXLEV && levels[k] != nullptr; ++k)
        while (levels[k]->*member(LevelState{}) != kLevelRunning)
            std::this_thread::yield();
}

void check(int result, const char* what)
{
    if (result != 0)
        throw std::runtime_error(std::string("the convolution engine refused to ") + what + " (error " +
                                 std::to_string(result) + ")");
}

struct Extent
{
    std::size_t first; // the first sample that is not zero
    std::size_t end;   // one after the last that is not zero
};

Extent extentOf(const std::vector<float>& impulse)
{
    const auto nonZero = [](float x) { return x != 0.f; };
    const auto first = std::find_if(impulse.begin(), impulse.end(), nonZero);
    if (first == impulse.end())
        throw std::invalid_argument("an impulse response of silence");
    const auto last = std::find_if(impulse.rbegin(), impulse.rend(), nonZero);
    return {static_cast<std::size_t>(first - impulse.begin()), static_cast<std::size_t>(impulse.rend() - last)};
}
} // namespace

std::size_t firstPartitionOf(Partitioning partitioning)
{
    return partitioning == Partitioning::LargeBlocks ? kLargestPartition : kSmallestPartition;
}

std::size_t firstPartitionFor(std::size_t bufferFrames)
{
    std::size_t frames = kSmallestPartition;
    while (frames < bufferFrames && frames < kLargestPartition)
        frames *= 2;
    return frames;
}

Convolver::Convolver(const std::vector<const std::vector<float>*>& impulses, std::size_t offset,
                     Partitioning partitioning)
    : Convolver(impulses, offset, firstPartitionOf(partitioning))
{
}

Convolver::Convolver(const std::vector<const std::vector<float>*>& impulses, std::size_t offset,
                     std::size_t firstPartition)
    : m_engine(std::make_unique<Convproc>()), m_blockFrames(firstPartition),
      m_channels(static_cast<unsigned>(impulses.size()))
{
    if (firstPartition < kSmallestPartition || firstPartition > kLargestPartition ||
        (firstPartition & (firstPartition - 1)) != 0)
        throw std::invalid_argument("a convolver's first partition is a power of two, 64 to 8192 frames");
    if (impulses.empty() || impulses.size() > Convproc::MAXINP)
        throw std::invalid_argument("a convolver takes 1 to 64 channels");
    std::size_t length = 0;
    for (const auto* impulse : impulses)
        length = std::max(length, offset + extentOf(*impulse).end);
    if (length > 0x7fffffff)
        throw std::invalid_argument("an impulse response too long to convolve");

    makeFftwPlannerThreadSafe();
    const auto block = static_cast<std::uint32_t>(m_blockFrames);
    // A caller that does not wait may find partitions late many blocks running: the engine
    // goes on (by default it would stop for good after five).
    m_engine->set_options(Convproc::OPT_VECTOR_MODE | Convproc::OPT_LATE_CONTIN);
    check(m_engine->configure(m_channels, m_channels, static_cast<std::uint32_t>(length), block, block,
                              kLargestPartition, 0.f),
          "its configuration");
    for (unsigned c = 0; c < m_channels; ++c)
    {
        const auto shared = std::find(impulses.begin(), impulses.begin() + c, impulses[c]);
        if (shared != impulses.begin() + c)
        {
            const auto j = static_cast<std::uint32_t>(shared - impulses.begin());
            check(m_engine->impdata_link(j, j, c, c), "share an impulse response");
            continue;
        }
        const Extent extent = extentOf(*impulses[c]);
        // The library reads the samples and keeps their transform, not the pointer.
        float* data = const_cast<float*>(impulses[c]->data()) + extent.first;
        check(m_engine->impdata_create(c, c, 1, data, static_cast<std::int32_t>(offset + extent.first),
                                       static_cast<std::int32_t>(offset + extent.end)),
              "take an impulse response");
    }
    check(m_engine->start_process(0, SCHED_OTHER), "start");
    waitForWorkers(*m_engine);
}

Convolver::~Convolver()
{
    m_engine->stop_process();
    while (!m_engine->check_stop())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_engine->cleanup();
}

float* Convolver::input(unsigned channel) { return m_engine->inpdata(channel); }

const float* Convolver::output(unsigned channel) const { return m_engine->outdata(channel); }

bool Convolver::run(bool waitForWorkers) { return m_engine->process(waitForWorkers) == 0; }

} // namespace space
