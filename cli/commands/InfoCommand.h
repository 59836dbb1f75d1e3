// `crumlet info FILE`: an audio file's format and, for a WAV file crumlet wrote, how it was
// made (its bext chunk and settings), enough to render the line again with --like.
#pragma once

#include <string>

struct InfoOptions
{
    std::string path;
    bool json = false;
};

int runInfo(const InfoOptions& options);
