// Output names as a batch makes them: any template, input path and preset (a line each; a
// fourth line picks the output folder: "alias" is a link to it, "new" one not made yet). A
// name made is either refused with a short usage error or stays inside the output folder:
// relative, without "." or ".." parts or a NUL, short enough to write, and inside the folder
// once the symbolic links in it (to itself, its parent, elsewhere, the root) are resolved.
#include "cli/validate/OutputNameChecks.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
// The next line of `text` from `at` (to its end when no line break follows).
std::string line(const std::string& text, std::size_t& at)
{
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string part = at < text.size() ? text.substr(at, end - at) : std::string();
    at = end + 1;
    return part;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const NameScratchFolder scratch("fuzz");
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    const std::string nameTemplate = line(text, at), input = line(text, at), preset = line(text, at),
                      which = line(text, at);
    const std::string folder = scratch.at(which == "alias" ? "alias" : which == "new" ? "out/new/deeper" : "out");
    if (!outputNameFault(folder, nameTemplate, input, preset, size % 1000 + 1).empty())
        std::abort();
    return 0;
}
