// The tool's name and version, as `--version` and the files it writes give them.
#pragma once

#include "CrumletVersion.h"

constexpr const char* kToolName = "crumlet";
constexpr const char* kToolVersion = kCrumletVersion;
