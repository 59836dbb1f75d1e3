// Where paths lead, whether or not their files exist yet: the folders that exist resolved
// (symbolic links, "." and ".."), the rest as written. Paths that lead to one file get one
// key, so that a plan tells its outputs apart by the files they write, not by their text.
// Each folder is resolved once: many files in a few folders cost a lookup and a stat each.
#pragma once

#include <string>
#include <unordered_map>

class FilePlaces
{
public:
    // `path` as a folder: absolute, every part that exists resolved, the rest as written.
    std::string resolvedFolder(const std::string& path);

    // `path` as a file: its folder resolved, its own name as written (a file written in its
    // place replaces a symbolic link there rather than following it).
    std::string resolved(const std::string& path);

    // The same for every path to one file: its device and inode when it exists (hard links
    // included), else where it resolves to. `exists`, when given, tells which.
    std::string key(const std::string& path, bool* exists = nullptr);

    // Where `path` resolves, its letters in lower case: two outputs with one such name are one
    // file where names ignore case (Windows, macOS).
    std::string caseFolded(const std::string& path);

private:
    std::string m_workingFolder;
    std::unordered_map<std::string, std::string> m_folders; // absolute, as written -> resolved
};
