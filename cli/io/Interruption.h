// Ctrl-C and SIGTERM during a render: every file being written is removed, every finished
// output is kept, the summary so far is printed and the tool exits 130 (SIGINT) or 143
// (SIGTERM).
//
// The signals are taken by a watcher thread (sigwait), not a handler, so the rest of the
// program runs ordinary code: renders poll `requested()` between buffers and stop, and the
// command reports and exits with `exitCode()`. Should a render not stop within a grace
// period (a read blocked on a pipe, say), the watcher removes the tracked partial files
// itself and exits.
#pragma once

#include <cstddef>
#include <string>

namespace Interruption
{
// Blocks SIGINT and SIGTERM in the calling thread and those it starts later, and starts the
// watcher. Call once from main before any other thread exists.
void install();

// True once SIGINT or SIGTERM has arrived.
bool requested();

// 128 + the signal's number (130, 143), or 0 when none arrived.
int exitCode();

// Files that are incomplete until committed: removed if the tool is interrupted.
void trackPartial(const std::string& path);
void untrackPartial(const std::string& path);
// Removes every tracked file now; returns how many there were.
std::size_t removePartials();

// For a program that takes the signals itself (the Python module): the work in hand stops as
// it would on `signal`. Safe in a signal handler.
void request(int signal);
// Forgets a signal given to request(), once the work it stopped has ended.
void clear();
} // namespace Interruption
