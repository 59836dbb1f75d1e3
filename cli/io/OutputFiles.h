// Writing outputs without ever losing a file: each is written under a unique hidden name
// beside its target and moved into place only when complete; nothing is written over an
// input, and nothing existing is replaced unless asked.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// True when both paths name the same existing file (by any path, hard links included).
bool sameFile(const std::string& a, const std::string& b);

// True when both paths name one file, whether or not it exists yet: the same existing file,
// or the same place once symbolic links and "." and ".." are resolved.
bool samePlace(const std::string& a, const std::string& b);

// The first of `inputs` that is the same file as `output`, or empty.
std::string inputAt(const std::string& output, const std::vector<std::string>& inputs);

// The files a run reads, each looked up once by its identity (device and inode), so that
// any number of outputs are checked against all of them with one lookup each.
class SourceFiles
{
public:
    // Sources that do not exist are left out.
    explicit SourceFiles(const std::vector<std::string>& paths);

    // The source that `path` is (by any path, hard links included), or empty; `exists` tells
    // whether `path` names an existing file.
    std::string sourceAt(const std::string& path, bool& exists) const;

private:
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::string> m_byIdentity;
};

// A file being written: created empty under a unique name in the target's folder and
// removed again unless committed (also when the tool is interrupted).
class PartialFile
{
public:
    // Throws IoError with the system's reason when the folder cannot take the file.
    explicit PartialFile(std::string target);
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    const std::string& path() const { return m_path; }
    const std::string& target() const { return m_target; }

    // Moves the finished file to its target. With `replace` false an existing target is
    // left alone and IoError says so. Throws IoError with the system's reason.
    void commit(bool replace);

private:
    std::string m_target;
    std::string m_path;
    bool m_committed = false;
};

// Throws IoError with the system's reason unless a file can be made at `path`: its folder
// exists and may be written in, and its name is not too long. For files written after long
// work, checked before it.
void requireCreatable(const std::string& path);

// Why no file can be written at `path`, whatever its folders hold, or empty: a NUL in it, a
// part longer than the file system takes (asked of the deepest folder that exists) or a path
// longer than the system takes once the partial file's hidden name is made of it. Told as the
// rest of a sentence about the path: "holds a NUL byte".
std::string unwritablePath(const std::string& path);

// Writes `content` to `path` through a partial file.
void writeFileAtomically(const std::string& path, const std::string& content, bool replace);

// "No such file or directory" and the like, for errno `error`.
std::string systemReason(int error);
