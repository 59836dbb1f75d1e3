#include "cli/render/OrphanOutputs.h"

#include "cli/io/FilePlaces.h"
#include "cli/io/OutputFiles.h"
#include "cli/render/RenderProvenance.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

namespace fs = std::filesystem;

std::vector<std::string> orphanOutputs(const std::string& folder, const std::vector<RenderJob>& jobs,
                                       const std::vector<std::string>& sources)
{
    std::vector<std::string> orphans;
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return orphans;
    FilePlaces places;
    std::unordered_set<std::string> written;
    std::vector<std::string> read = sources;
    for (const RenderJob& job : jobs)
    {
        if (!job.output.empty())
            written.insert(places.key(job.output));
        read.push_back(job.input);
    }
    const SourceFiles readFiles(read);
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec))
    {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] == '.')
        {
            if (it->is_directory(ec))
                it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file(ec) || it->is_symlink(ec))
            continue;
        const std::string path = it->path().string();
        bool exists = false;
        if (written.count(places.key(path)) > 0 || !readFiles.sourceAt(path, exists).empty())
            continue;
        if (!recordedRecipe(path).is_null())
            orphans.push_back(path);
    }
    std::sort(orphans.begin(), orphans.end());
    return orphans;
}
