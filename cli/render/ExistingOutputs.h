// A re-run batch whose outputs exist is told once, before anything renders, how to go on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Throws UsageError naming how many of the batch's `outputs` outputs exist (and the first
// few) and the two ways on; does nothing when none does.
void refuseExistingOutputs(const std::vector<std::string>& existing, std::size_t outputs);

// The same for outputs in the way of --update that carry no recipe of the tool.
void refuseOutputsNotMade(const std::vector<std::string>& existing, std::size_t outputs);

// Throws UsageError when the single output exists and is not to be replaced.
void refuseExistingOutput(const std::string& output, bool force);
