#include "space/ImpulseCache.h"

#include "space/ImpulseFile.h"
#include "space/RoomImpulse.h"
#include "space/SpaceCatalogue.h"
#include "space/SpaceError.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace space
{
namespace
{
std::string exact(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// What tells one version of a file from another: its modification time and size (none when
// it cannot be read; the load then says why).
std::string fileVersion(const std::string& path)
{
    std::error_code error;
    const auto time = std::filesystem::last_write_time(path, error);
    if (error)
        return "?";
    const auto size = std::filesystem::file_size(path, error);
    return std::to_string(time.time_since_epoch().count()) + "/" + (error ? std::string("?") : std::to_string(size));
}
} // namespace

ImpulseCache::ImpulseCache(std::size_t budgetBytes) : m_budget(budgetBytes) {}

ImpulseCache& ImpulseCache::shared()
{
    static ImpulseCache cache;
    return cache;
}

std::uint64_t ImpulseCache::loads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_loads;
}

std::shared_ptr<const ImpulseResponse> ImpulseCache::impulseFor(const SpaceSettings& settings, double sampleRate,
                                                                unsigned channels)
{
    if (!settings.active())
        throw std::invalid_argument("no space to make an impulse response for");
    if (!(sampleRate > 0.0) || channels == 0)
        throw std::invalid_argument("an impulse response for no rate or no channels");
    if (const RoomDescription* room = findSpace(settings.source))
    {
        const unsigned ears = channels >= 2 ? 2 : 1;
        const std::string key = std::string("space\n") + room->name + "\n" + exact(sampleRate) + "\n" +
                                std::to_string(ears) + "\n" + (settings.distance ? exact(*settings.distance) : "-");
        return find(key, [&] {
            return std::make_shared<const ImpulseResponse>(roomImpulse(*room, sampleRate, ears, settings.distance));
        });
    }
    const std::string key = "file\n" + settings.source + "\n" + fileVersion(settings.source) + "\n" + exact(sampleRate) +
                            "\n" + (settings.normalize ? "normalized" : "as is");
    return find(key, [&] {
        return std::make_shared<const ImpulseResponse>(loadImpulseFile(settings.source, sampleRate, settings.normalize));
    });
}

template <typename Make>
ImpulseCache::Impulse ImpulseCache::find(const std::string& key, Make make)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto found = m_entries.find(key);
    if (found != m_entries.end())
    {
        found->second.lastUse = ++m_uses;
        const std::shared_future<Impulse> made = found->second.impulse;
        lock.unlock();
        return made.get(); // the maker's error, when it failed
    }
    std::promise<Impulse> promise;
    m_entries[key] = Entry{promise.get_future().share(), 0, ++m_uses};
    ++m_loads;
    lock.unlock();

    Impulse impulse;
    try
    {
        impulse = make();
    }
    catch (...)
    {
        promise.set_exception(std::current_exception());
        lock.lock();
        m_entries.erase(key);
        throw;
    }
    promise.set_value(impulse);
    lock.lock();
    const auto entry = m_entries.find(key);
    if (entry != m_entries.end())
        entry->second.bytes = impulse->bytes();
    keepWithinBudget();
    return impulse;
}

void ImpulseCache::keepWithinBudget()
{
    for (;;)
    {
        std::size_t total = 0;
        auto oldest = m_entries.end();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        {
            total += it->second.bytes;
            if (it->second.bytes > 0 && (oldest == m_entries.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        }
        if (total <= m_budget || oldest == m_entries.end())
            return;
        m_entries.erase(oldest);
    }
}

} // namespace space
