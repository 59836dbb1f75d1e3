// The codecs this library knows: their names in settings texts, rates and options, and
// whether this build has the library each one needs.
#pragma once

#include "transmission/TransmissionSettings.h"

#include <string>
#include <vector>

namespace transmission
{

struct CodecEntry
{
    CodecKind kind;
    const char* name;             // as settings texts give it
    const char* title;            // for people
    int sampleRate;               // the codec's own
    std::vector<int> bitRates;    // bit/s, every one allowed; one entry: the only rate
    int defaultBitRate;
    int lowestBitRate, highestBitRate; // a range instead of a list (Opus); 0 when a list
    bool discontinuous;           // has DTX or VAD
    const char* library;          // the Debian library it comes from
    bool available;               // this build has it
};

const std::vector<CodecEntry>& codecCatalogue();
const CodecEntry& codecEntry(CodecKind kind);
const CodecEntry* findCodec(const std::string& name);

// "amr: 4.75, 5.15, ... 12.2 kbit/s" and the like.
std::string ratesText(const CodecEntry& entry);

} // namespace transmission
