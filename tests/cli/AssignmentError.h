// The message a settings assignment is refused with, or empty when it is taken.
#pragma once

#include "cli/settings/ParameterSettings.h"
#include "cli/settings/UsageError.h"

#include <string>

inline std::string errorOf(ParameterSettings& s, const std::string& assignment)
{
    try
    {
        s.assign(assignment);
    }
    catch (const UsageError& e)
    {
        return e.what();
    }
    return {};
}
