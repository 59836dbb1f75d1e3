// Which files a render takes from its --in arguments: files as given, the audio files of
// folders (and of their subfolders with --recursive), never hidden files or "._" forks.
#pragma once

#include <string>
#include <vector>

struct FoundInput
{
    std::string path;
    std::string relative; // under the folder it was found in (the file name for a file given)
};

struct SkippedInput
{
    std::string path;
    std::string reason;
};

struct DiscoveredInputs
{
    std::vector<FoundInput> files; // folders' files sorted by path
    std::vector<SkippedInput> skipped;
    std::size_t foldersLeftOut = 0; // subfolders not entered without --recursive
    std::size_t notAudio = 0;       // files in the folders whose names are not of audio files
};

// "2 subfolders left out (--recursive renders them); 3 files that are not audio left out", or
// empty when nothing was.
std::string leftOutNote(const DiscoveredInputs& found);

// Throws IoError (with the system's reason) for a path that does not exist or a folder that
// cannot be read. A folder that is `outputFolder` is never entered, so that outputs written
// inside an input folder are not taken for inputs on the next run.
DiscoveredInputs discoverInputs(const std::vector<std::string>& inputs, bool recursive,
                                const std::string& outputFolder = {});
