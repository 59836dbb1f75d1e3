// `crumlet bank`: writes the 139-byte parameter block the host would store in a bank, or
// the same settings as a preset file, without rendering.
#pragma once

#include <string>
#include <vector>

struct BankOptions
{
    std::string output;     // the block file
    std::string savePreset; // and/or a preset file
    std::vector<std::string> assignments;
    std::string preset;
    std::string bankFile; // start from an existing block
    bool force = false;   // replace an existing preset file
};

int runBank(const BankOptions& options);
