// The tool's name and version, as `--version` and the files it writes give them.
#pragma once

constexpr const char* kToolName = "crumlet";
constexpr const char* kToolVersion = "0.1.0";
