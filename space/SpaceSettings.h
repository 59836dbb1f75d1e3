// Where the listener stands, as settings read from and written to one line of text, the text
// the tool's --space takes: a generated space's name or an impulse response file, then
// settings joined by ':' -
//   station              a generated space (spaceNamesText() lists them)
//   station:mix=40:distance=12:predelay=20
//   halls/vault.wav:normalize:mix=30
//   off, none or nothing: no space
// mix is the wet share in percent (0 to 100, default 100), distance the source-listener
// distance of a generated space in metres (the room's own by default), predelay in
// milliseconds (0 to 1000), normalize scales a file's response to unit energy (a file is used
// as it is otherwise). A name from the catalogue is the generated space; a file of the same
// name is reached as ./name.
#pragma once

#include <optional>
#include <string>

namespace space
{

struct SpaceSettings
{
    std::string source; // a generated space's name, or an impulse response file; empty: none
    double mixPercent = 100.0;
    std::optional<double> distance;
    double predelayMs = 0.0;
    bool normalize = false;

    bool active() const { return !source.empty(); }
    // Names a space of the catalogue (else a file).
    bool generated() const;
    bool operator==(const SpaceSettings& other) const;
};

// Throws SpaceError naming what is wrong and what is accepted; quotes at most 64 bytes of the
// text.
SpaceSettings parseSpace(const std::string& text);
// The text parseSpace reads back to the same settings ("off" when inactive).
std::string spaceText(const SpaceSettings& settings);

} // namespace space
