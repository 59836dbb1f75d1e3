// Errors the command line reports: bad usage (exit code 2) and failed input or output (1).
#pragma once

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
