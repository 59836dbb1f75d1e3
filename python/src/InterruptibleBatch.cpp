#include "python/src/InterruptibleBatch.h"

#include "cli/io/Interruption.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <future>
#include <mutex>

namespace py = pybind11;

namespace crumlet_python
{
namespace
{
// How long a signal waits for its handler at most: a blink, for Ctrl-C.
constexpr auto kSignalCheckInterval = std::chrono::milliseconds(50);

// The batches in flight on any thread, and SIGTERM's disposition while the first began.
std::mutex g_lock;
int g_batches = 0;
bool g_termTaken = false;
struct sigaction g_termBefore{};

void onTerm(int)
{
    Interruption::request(SIGTERM);
}

// Under g_lock. A handler the program set meanwhile stays.
void giveTermBack()
{
    struct sigaction current{};
    if (g_termTaken && ::sigaction(SIGTERM, nullptr, &current) == 0 && current.sa_handler == &onTerm)
        ::sigaction(SIGTERM, &g_termBefore, nullptr);
    g_termTaken = false;
}

// The first batch takes SIGTERM when it is at its default; the last gives it back and forgets
// the signal that stopped them.
class BatchInFlight
{
public:
    BatchInFlight()
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (g_batches++ > 0)
            return;
        struct sigaction current{};
        if (::sigaction(SIGTERM, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
            current.sa_handler != SIG_DFL)
            return;
        struct sigaction ours{};
        ours.sa_handler = &onTerm;
        sigemptyset(&ours.sa_mask);
        ours.sa_flags = SA_RESTART;
        g_termBefore = current;
        g_termTaken = ::sigaction(SIGTERM, &ours, nullptr) == 0;
    }

    ~BatchInFlight()
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (--g_batches > 0)
            return;
        giveTermBack();
        Interruption::clear();
    }

    BatchInFlight(const BatchInFlight&) = delete;
    BatchInFlight& operator=(const BatchInFlight&) = delete;
};

// After SIGTERM: what other batches are still writing goes too, then the signal's own end.
[[noreturn]] void endAsSigtermWould()
{
    Interruption::removePartials();
    std::signal(SIGTERM, SIG_DFL);
    std::raise(SIGTERM);
    std::_Exit(128 + SIGTERM); // blocked on this thread
}
} // namespace

std::optional<py::error_already_set> runInterruptibly(const std::function<void()>& batch)
{
    BatchInFlight inFlight;
    std::future<void> done = std::async(std::launch::async, batch);
    std::optional<py::error_already_set> raised;
    for (;;)
    {
        bool finished = false;
        {
            py::gil_scoped_release unlocked;
            finished = done.wait_for(kSignalCheckInterval) == std::future_status::ready;
        }
        if (finished)
            break;
        if (!raised && PyErr_CheckSignals() != 0)
        {
            raised.emplace(); // takes the handler's error
            Interruption::request(SIGINT);
        }
    }
    if (Interruption::exitCode() == 128 + SIGTERM)
        endAsSigtermWould();
    if (raised)
        return raised;
    done.get();
    return std::nullopt;
}
} // namespace crumlet_python
