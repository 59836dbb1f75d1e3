#include "cli/io/Interruption.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

namespace
{
std::atomic<int> g_signal{0};
std::mutex g_partialsLock;
std::set<std::string> g_partials;

// How long a render may take to notice the signal before the watcher ends the process.
constexpr auto kGracePeriod = std::chrono::seconds(3);

void watch(sigset_t signals)
{
    int received = 0;
    while (sigwait(&signals, &received) != 0)
    {
    }
    g_signal = received;
    std::this_thread::sleep_for(kGracePeriod);
    // The command did not finish in time: clean up for it.
    const std::size_t removed = Interruption::removePartials();
    std::fprintf(stderr, "crumlet: interrupted; removed %zu unfinished file%s\n", removed, removed == 1 ? "" : "s");
    std::fflush(stderr);
    ::_exit(128 + received);
}
} // namespace

namespace Interruption
{
void install()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(watch, signals).detach();
}

bool requested()
{
    return g_signal.load(std::memory_order_relaxed) != 0;
}

int exitCode()
{
    const int s = g_signal.load();
    return s != 0 ? 128 + s : 0;
}

void trackPartial(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_partialsLock);
    g_partials.insert(path);
}

void untrackPartial(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_partialsLock);
    g_partials.erase(path);
}

std::size_t removePartials()
{
    std::lock_guard<std::mutex> lock(g_partialsLock);
    for (const auto& path : g_partials)
        ::unlink(path.c_str());
    return g_partials.size();
}

void request(int signal)
{
    static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");
    g_signal.store(signal);
}

void clear()
{
    g_signal.store(0);
}
} // namespace Interruption
