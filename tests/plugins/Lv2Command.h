// Runs one of lilv's tools on the built LV2 bundle: a shell command with LV2_PATH set to the
// bundle's folder; answers what it wrote (stdout and stderr).
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

inline std::string runWithBundle(const std::string& command, int* status = nullptr)
{
    const std::string full = "LV2_PATH='" CRUMLET_LV2_PATH "' " + command + " 2>&1";
    std::FILE* pipe = ::popen(full.c_str(), "r");
    std::string out;
    char chunk[4096];
    for (std::size_t n; pipe != nullptr && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, n);
    const int s = pipe != nullptr ? ::pclose(pipe) : -1;
    if (status != nullptr)
        *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    return out;
}
