// Errors the command line reports: bad usage (exit code 2) and failed input or output (1).
#pragma once

#include "cli/io/QuotedText.h"

#include <cstdio>
#include <stdexcept>
#include <string>

struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

struct IoError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

constexpr int kExitIoError = 1;
constexpr int kExitUsage = 2;

// The user interrupted the tool (Ctrl-C, SIGTERM); the work in hand was abandoned.
struct Interrupted : std::runtime_error
{
    Interrupted() : std::runtime_error("interrupted") {}
};

// Runs a command, reporting a usage or input/output error as "crumlet COMMAND: reason" (the
// names in it escaped, see printable) and answering its exit code.
template <typename Command>
int reportingErrors(const char* command, Command&& run)
{
    try
    {
        return run();
    }
    catch (const UsageError& e)
    {
        std::fprintf(stderr, "crumlet %s: %s\n", command, printable(e.what()).c_str());
        return kExitUsage;
    }
    catch (const IoError& e)
    {
        std::fprintf(stderr, "crumlet %s: %s\n", command, printable(e.what()).c_str());
        return kExitIoError;
    }
}
