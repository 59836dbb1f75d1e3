// Telling a damaged input from a whole one as it is opened. libsndfile reads what it can of
// a damaged file and notes the damage in its log; a render must not take the part it reads
// for the whole.
#pragma once

#include <sndfile.h>

#include <string>

// Why an opened input holds less than it claims, or empty when it is whole:
// - a WAV or AIFF audio chunk that runs past the end of the file ("its header promises 192000
//   bytes of audio, the file holds 99956");
// - an AIFF frame count beyond what its sound data holds;
// - a WAV data chunk sized 0 with the samples still after it (a streaming writer's placeholder
//   never filled in);
// - an Ogg stream that stops without its end-of-stream mark, or mid-page, its length
//   unreadable (cut short).
std::string damageOf(SNDFILE* file);
