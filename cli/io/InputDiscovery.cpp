#include "cli/io/InputDiscovery.h"

#include "cli/io/OutputFiles.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace
{
bool looksLikeAudio(const fs::path& path)
{
    static const std::set<std::string> kExtensions = {".wav", ".wave", ".flac", ".aif", ".aiff", ".aifc", ".ogg",
                                                      ".oga",  ".opus", ".mp3",  ".au",  ".caf",  ".w64", ".rf64"};
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return kExtensions.count(ext) > 0;
}

// Why a name found in a folder is passed over, or empty.
std::string hiddenReason(const fs::path& path)
{
    const std::string name = path.filename().string();
    if (name.rfind("._", 0) == 0)
        return "a resource fork (\"._\" file)";
    if (!name.empty() && name[0] == '.')
        return "hidden";
    return {};
}

std::string reasonOf(const std::error_code& ec)
{
    return ec.message();
}
} // namespace

DiscoveredInputs discoverInputs(const std::vector<std::string>& inputs, bool recursive,
                                const std::string& outputFolder)
{
    DiscoveredInputs found;
    const SourceFiles output(outputFolder.empty() ? std::vector<std::string>() : std::vector<std::string>{outputFolder});
    auto isOutputFolder = [&](const fs::path& folder) {
        bool exists = false;
        return !output.sourceAt(folder.string(), exists).empty();
    };
    for (const auto& input : inputs)
    {
        std::error_code ec;
        const fs::file_status status = fs::status(input, ec);
        if (ec || !fs::exists(status))
            throw IoError("cannot read \"" + input + "\": " + reasonOf(ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory)));
        if (!fs::is_directory(status))
        {
            found.files.push_back({input, fs::path(input).filename().string()});
            continue;
        }
        std::vector<FoundInput> files;
        const fs::path root(input);
        auto take = [&](const fs::directory_entry& entry, bool& descend) {
            descend = false;
            const std::string hidden = hiddenReason(entry.path());
            std::error_code e;
            const bool isFolder = entry.is_directory(e);
            if (!hidden.empty())
            {
                if (isFolder || looksLikeAudio(entry.path()))
                    found.skipped.push_back({entry.path().string(), hidden});
                return;
            }
            if (isFolder)
            {
                descend = !isOutputFolder(entry.path());
                found.foldersLeftOut += !recursive && descend ? 1 : 0;
            }
            else if (entry.is_regular_file(e) && looksLikeAudio(entry.path()))
                files.push_back({entry.path().string(), entry.path().lexically_relative(root).string()});
            else
                ++found.notAudio;
        };
        if (recursive)
        {
            fs::recursive_directory_iterator it(root, ec), end;
            for (; !ec && it != end; it.increment(ec))
            {
                bool descend = false;
                take(*it, descend);
                std::error_code e;
                if (!descend && it->is_directory(e))
                    it.disable_recursion_pending();
            }
        }
        else
        {
            fs::directory_iterator it(root, ec), end;
            for (; !ec && it != end; it.increment(ec))
            {
                bool descend = false;
                take(*it, descend);
            }
        }
        if (ec)
            throw IoError("cannot read the folder \"" + input + "\": " + reasonOf(ec));
        std::sort(files.begin(), files.end(), [](const FoundInput& a, const FoundInput& b) { return a.path < b.path; });
        found.files.insert(found.files.end(), files.begin(), files.end());
    }
    return found;
}

std::string leftOutNote(const DiscoveredInputs& found)
{
    std::string note;
    if (found.foldersLeftOut > 0)
        note = std::to_string(found.foldersLeftOut) + (found.foldersLeftOut == 1 ? " subfolder" : " subfolders") +
               " left out (--recursive renders them)";
    if (found.notAudio > 0)
        note += (note.empty() ? "" : "; ") + std::to_string(found.notAudio) +
                (found.notAudio == 1 ? " file that is not audio" : " files that are not audio") + " left out";
    return note;
}
