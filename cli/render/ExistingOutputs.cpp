#include "cli/render/ExistingOutputs.h"

#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"

#include <filesystem>

namespace
{
constexpr std::size_t kNamed = 3;
}

namespace
{
// "3 of 10 outputs" and the first few names: "(\"a.wav\", \"b.wav\", ...)".
std::string countedAndNamed(const std::vector<std::string>& existing, std::size_t outputs, const char* verb)
{
    std::string named;
    for (std::size_t i = 0; i < existing.size() && i < kNamed; ++i)
        named += (i > 0 ? ", \"" : "\"") + printable(existing[i]) + "\"";
    if (existing.size() > kNamed)
        named += ", ...";
    const std::string count = existing.size() == outputs
                                  ? std::to_string(existing.size())
                                  : std::to_string(existing.size()) + " of " + std::to_string(outputs);
    return count + (outputs == 1 ? " output " + std::string(verb) + "s" : " outputs " + std::string(verb)) + " (" +
           named + ")";
}
} // namespace

void refuseExistingOutputs(const std::vector<std::string>& existing, std::size_t outputs)
{
    if (existing.empty())
        return;
    throw UsageError(countedAndNamed(existing, outputs, "exist") +
                     "; --skip-existing leaves them, --force replaces them; nothing was rendered");
}

void refuseOutputsNotMade(const std::vector<std::string>& existing, std::size_t outputs)
{
    if (existing.empty())
        return;
    throw UsageError(countedAndNamed(existing, outputs, "exist") +
                     " that crumlet did not make (no recipe of it in them); --update renders over only its own "
                     "outputs: move them, or render with --force instead; nothing was rendered");
}

void refuseExistingOutput(const std::string& output, bool force)
{
    std::error_code ec;
    if (!force && std::filesystem::exists(output, ec))
        throw UsageError("\"" + printable(output) + "\" exists: --force replaces it");
}
