// The impulse responses a process has made or read, so that a batch makes each once: a
// generated space by its name, rate, ears and distance; a file by its path, modification
// time, size, the rate and whether it is normalized. Shared between threads: a response asked
// for by two at once is made once, and both wait for it. Responses past the byte budget are
// let go, the least recently used first (those still in use live on with their users).
#pragma once

#include "space/ImpulseResponse.h"
#include "space/SpaceSettings.h"

#include <cstddef>
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace space
{

class ImpulseCache
{
public:
    static constexpr std::size_t kDefaultBudgetBytes = std::size_t{512} << 20;

    explicit ImpulseCache(std::size_t budgetBytes = kDefaultBudgetBytes);
    // The process's cache.
    static ImpulseCache& shared();

    // The response for settings that name a space (active()), for a line of `channels`
    // channels at `sampleRate`: a generated space with two ears for two channels or more, one
    // for one; a file's as it is. Throws SpaceError for a space or file that cannot be used.
    std::shared_ptr<const ImpulseResponse> impulseFor(const SpaceSettings& settings, double sampleRate,
                                                      unsigned channels);

    // How many responses were made or read (not found here).
    std::uint64_t loads() const;

private:
    using Impulse = std::shared_ptr<const ImpulseResponse>;
    struct Entry
    {
        std::shared_future<Impulse> impulse;
        std::size_t bytes = 0;    // once made
        std::uint64_t lastUse = 0;
    };
    template <typename Make>
    Impulse find(const std::string& key, Make make);
    void keepWithinBudget();

    const std::size_t m_budget;
    mutable std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
    std::uint64_t m_uses = 0;
    std::uint64_t m_loads = 0;
};

} // namespace space
