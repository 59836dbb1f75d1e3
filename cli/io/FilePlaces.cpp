#include "cli/io/FilePlaces.h"

#include <algorithm>
#include <cctype>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

std::string FilePlaces::resolvedFolder(const std::string& path)
{
    // Absolute without resolving anything; the working folder asked once.
    if (m_workingFolder.empty())
    {
        std::error_code ec;
        m_workingFolder = fs::current_path(ec).string();
    }
    const std::string folder =
        !path.empty() && path[0] == '/' ? path : (fs::path(m_workingFolder) / (path.empty() ? "." : path)).string();
    if (const auto found = m_folders.find(folder); found != m_folders.end())
        return found->second;
    // The deepest part that exists, resolved by the system; the parts below it as written.
    fs::path head(folder);
    std::vector<fs::path> rest;
    std::string resolved;
    char buffer[PATH_MAX];
    for (;;)
    {
        if (::realpath(head.c_str(), buffer) != nullptr)
        {
            resolved = buffer;
            break;
        }
        if (!head.has_relative_path())
        {
            resolved = head.string();
            break;
        }
        if (!head.filename().empty())
            rest.push_back(head.filename());
        head = head.parent_path();
    }
    fs::path whole(resolved);
    for (auto part = rest.rbegin(); part != rest.rend(); ++part)
        whole /= *part;
    resolved = whole.lexically_normal().string();
    if (resolved.size() > 1 && resolved.back() == '/')
        resolved.pop_back();
    m_folders.emplace(folder, resolved);
    return resolved;
}

std::string FilePlaces::resolved(const std::string& path)
{
    const fs::path p(path);
    const fs::path name = p.filename();
    if (name.empty() || name == "." || name == "..")
        return resolvedFolder(path);
    const fs::path folder = p.parent_path();
    return (fs::path(resolvedFolder(folder.empty() ? "." : folder.string())) / name).string();
}

std::string FilePlaces::key(const std::string& path, bool* exists)
{
    struct stat st{};
    // A path with a NUL reaches no file: the system would read it only up to the NUL.
    const bool nul = path.find('\0') != std::string::npos;
    const bool found = !nul && ::stat(path.c_str(), &st) == 0;
    if (exists != nullptr)
        *exists = found;
    if (found)
        return "file " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    return nul ? "text " + path : "path " + resolved(path);
}

std::string FilePlaces::caseFolded(const std::string& path)
{
    std::string folded = resolved(path);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}
