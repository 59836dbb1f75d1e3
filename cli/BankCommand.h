// `crumlet bank`: writes the 139-byte parameter block the host would store in a bank.
#pragma once

#include <string>
#include <vector>

struct BankOptions
{
    std::string output;
    std::vector<std::string> assignments;
    std::string preset;
    std::string bankFile; // start from an existing block
};

int runBank(const BankOptions& options);
