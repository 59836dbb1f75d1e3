#include "cli/io/OutputFiles.h"

#include "cli/io/Interruption.h"
#include "cli/settings/UsageError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// A new file's mode as open() would give it: 0666 less the umask. Read once, before main,
// while only one thread runs (umask can only be read by setting it).
const mode_t g_newFileMode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}();
} // namespace

std::string systemReason(int error)
{
    return std::strerror(error);
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa{}, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool samePlace(const std::string& a, const std::string& b)
{
    if (sameFile(a, b))
        return true;
    std::error_code ea, eb;
    const fs::path pa = fs::weakly_canonical(fs::absolute(a, ea), ea);
    const fs::path pb = fs::weakly_canonical(fs::absolute(b, eb), eb);
    return !ea && !eb && pa == pb;
}

std::string inputAt(const std::string& output, const std::vector<std::string>& inputs)
{
    for (const auto& input : inputs)
        if (!input.empty() && sameFile(input, output))
            return input;
    return {};
}

SourceFiles::SourceFiles(const std::vector<std::string>& paths)
{
    for (const auto& path : paths)
    {
        struct stat st{};
        if (!path.empty() && ::stat(path.c_str(), &st) == 0)
            m_byIdentity.emplace(std::make_pair(static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)),
                                 path);
    }
}

std::string SourceFiles::sourceAt(const std::string& path, bool& exists) const
{
    struct stat st{};
    exists = ::stat(path.c_str(), &st) == 0;
    if (!exists)
        return {};
    const auto found = m_byIdentity.find(
        std::make_pair(static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)));
    return found != m_byIdentity.end() ? found->second : std::string();
}

namespace
{
// What a partial file's name adds to its target's: a "." before it and this after it.
const std::string kPartialSuffix = ".XXXXXX.partial";
} // namespace

PartialFile::PartialFile(std::string target) : m_target(std::move(target))
{
    const fs::path t(m_target);
    const fs::path folder = t.parent_path().empty() ? fs::path(".") : t.parent_path();
    // Hidden, so that a later run over the folder does not take it for audio; the target's
    // name cut (at a character's start) where the whole would be longer than a name may be.
    const long mostName = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    std::string name = t.filename().string();
    const std::size_t room = static_cast<std::size_t>(mostName > 0 ? mostName : 255) - 1 - kPartialSuffix.size();
    if (name.size() > room)
    {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xc0) == 0x80)
            --cut;
        name.resize(cut);
    }
    std::string pattern = (folder / ("." + name + kPartialSuffix)).string();
    const int fd = ::mkstemps(pattern.data(), 8);
    if (fd < 0)
        throw IoError("cannot write \"" + m_target + "\": " + systemReason(errno));
    // mkstemps makes the file private (0600); the finished output gets the usual mode.
    ::fchmod(fd, g_newFileMode);
    ::close(fd);
    m_path = pattern;
    Interruption::trackPartial(m_path);
}

PartialFile::~PartialFile()
{
    if (!m_committed)
        ::unlink(m_path.c_str());
    Interruption::untrackPartial(m_path);
}

void PartialFile::commit(bool replace)
{
    if (replace)
    {
        if (std::rename(m_path.c_str(), m_target.c_str()) != 0)
            throw IoError("cannot write \"" + m_target + "\": " + systemReason(errno));
    }
    else
    {
        // link() refuses an existing target, atomically.
        if (::link(m_path.c_str(), m_target.c_str()) != 0)
        {
            const int error = errno;
            throw IoError(error == EEXIST ? "\"" + m_target + "\" exists (use --force to replace it)"
                                          : "cannot write \"" + m_target + "\": " + systemReason(error));
        }
        ::unlink(m_path.c_str());
    }
    m_committed = true;
}

void requireCreatable(const std::string& path)
{
    const fs::path parent = fs::path(path).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    struct stat st{};
    int error = 0;
    if (::stat(folder.c_str(), &st) != 0)
        error = errno;
    else if (!S_ISDIR(st.st_mode))
        error = ENOTDIR;
    else if (::access(folder.c_str(), W_OK | X_OK) != 0)
        error = errno;
    else if (const long mostName = ::pathconf(folder.c_str(), _PC_NAME_MAX);
             mostName > 0 && fs::path(path).filename().string().size() > static_cast<std::size_t>(mostName))
        error = ENAMETOOLONG;
    if (error != 0)
        throw IoError("cannot write \"" + path + "\": " + systemReason(error));
}

std::string unwritablePath(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        return "holds a NUL byte";
    const std::size_t mostPath = PATH_MAX - 1 - 1 - kPartialSuffix.size();
    if (path.size() > mostPath)
        return "gives a path of " + std::to_string(path.size()) + " bytes, longer than the " +
               std::to_string(mostPath) + " bytes an output's path may have";
    std::size_t longest = 0;
    for (std::size_t from = 0; from < path.size();)
    {
        const std::size_t end = std::min(path.find('/', from), path.size());
        longest = std::max(longest, end - from);
        from = end + 1;
    }
    // Every file system takes names this long; longer ones are asked of it.
    if (longest <= _POSIX_NAME_MAX)
        return {};
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    long mostName = -1;
    for (;;)
    {
        errno = 0;
        mostName = ::pathconf(folder.c_str(), _PC_NAME_MAX);
        if (mostName > 0 || (errno != ENOENT && errno != ENOTDIR))
            break;
        const fs::path up = folder.parent_path();
        if (up == folder || (up.empty() && folder == "."))
            break;
        folder = up.empty() ? fs::path(".") : up;
    }
    const std::size_t most = mostName > 0 ? static_cast<std::size_t>(mostName) : NAME_MAX;
    if (longest > most)
        return "has a part of " + std::to_string(longest) + " bytes, longer than the " + std::to_string(most) +
               " a name may have";
    return {};
}

void writeFileAtomically(const std::string& path, const std::string& content, bool replace)
{
    PartialFile partial(path);
    std::FILE* f = std::fopen(partial.path().c_str(), "wb");
    if (f == nullptr)
        throw IoError("cannot write \"" + path + "\": " + systemReason(errno));
    const bool written = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    const int error = errno;
    if (std::fclose(f) != 0 || !written)
        throw IoError("cannot write \"" + path + "\": " + systemReason(written ? errno : error));
    partial.commit(replace);
}
