// A structural check of a PNG file in memory before it is handed to the decoder: the
// signature, every chunk inside the buffer with a matching CRC, and the closing IEND chunk.
// JUCE as built on Debian cannot recover from an error that libpng raises while reading
// (the process crashes), so damaged or cut-off data must not reach it.
#pragma once

namespace Artwork
{
bool isPngSignature(const char* data, int size);
bool isCompletePng(const char* data, int size);
} // namespace Artwork
