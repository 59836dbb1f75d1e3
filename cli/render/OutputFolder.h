// A batch's output folder and the one check of every name made under it (by --name, a line
// list's name column, or an input's own name and subfolder): the name is relative, has no "."
// or ".." part and no NUL, the file system takes it, and its file is inside the folder once
// symbolic links are resolved. A batch is planned through this alone, so nothing it writes
// lands elsewhere.
#pragma once

#include "cli/io/FilePlaces.h"

#include <string>

class OutputFolder
{
public:
    // Throws UsageError when `folder` (--out-dir) cannot hold files: a NUL in it, a name too long.
    OutputFolder(const std::string& folder, FilePlaces& places);

    // The output's path for `name`. Throws UsageError saying what is wrong with the name
    // ("the name "../x.wav" has a ".." part ..."), for the caller to put after the input or
    // row it comes from.
    std::string place(const std::string& name) const;

private:
    std::string m_folder;   // as given, lexically normal
    std::string m_resolved; // where it leads
    FilePlaces& m_places;
};
