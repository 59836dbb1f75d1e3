// Ctrl-C and SIGTERM while render_files runs. The batch renders on a thread of its own while
// the calling thread runs Python's signal handlers; one that raises (Ctrl-C's
// KeyboardInterrupt) stops the renders in hand as the tool's signals stop them: each file
// being written is removed, the finished ones are kept. SIGTERM, where the program leaves it
// at its default, is taken for as long as a batch runs: the renders stop and clean up, then
// the process ends by SIGTERM as it would have.
#pragma once

#include <pybind11/pybind11.h>

#include <functional>
#include <optional>

namespace crumlet_python
{
// Runs `batch` (work that stops when Interruption::requested()) to its end, without Python's
// lock. Returns the error a signal handler raised meanwhile, if one did, else rethrows what
// `batch` threw. Does not return after SIGTERM.
std::optional<pybind11::error_already_set> runInterruptibly(const std::function<void()>& batch);
} // namespace crumlet_python
