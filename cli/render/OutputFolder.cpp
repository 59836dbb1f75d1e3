#include "cli/render/OutputFolder.h"

#include "cli/io/OutputFiles.h"
#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"

#include <filesystem>

namespace fs = std::filesystem;

OutputFolder::OutputFolder(const std::string& folder, FilePlaces& places)
    : m_folder(fs::path(folder.empty() ? "." : folder).lexically_normal().string()), m_places(places)
{
    if (const std::string why = unwritablePath(folder); !why.empty())
        throw UsageError("--out-dir " + quoted(folder, kQuotedExcerptBytes) + " " + why);
    m_resolved = m_places.resolvedFolder(m_folder);
}

std::string OutputFolder::place(const std::string& name) const
{
    const std::string what = "the name " + quoted(name, kQuotedExcerptBytes);
    const fs::path path(name);
    if (path.has_root_path())
        throw UsageError(what + " is absolute: names are made under the output folder");
    for (const fs::path& part : path)
        if (part == "." || part == "..")
            throw UsageError(what + " has a \"" + part.string() + "\" part: names stay inside the output folder");
    if (!path.has_filename())
        throw UsageError(what + " ends in \"/\": it names a folder, not a file");
    const std::string output = (fs::path(m_folder) / path).lexically_normal().string();
    if (const std::string why = unwritablePath(output); !why.empty())
        throw UsageError(what + " " + why);
    const std::string resolved = m_places.resolved(output);
    const bool inside = resolved.size() > m_resolved.size() && resolved.compare(0, m_resolved.size(), m_resolved) == 0 &&
                        (m_resolved.back() == '/' || resolved[m_resolved.size()] == '/');
    if (!inside)
        throw UsageError(what + " leads out of the output folder through a symbolic link");
    return output;
}
