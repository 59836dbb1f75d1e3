// The shipped presets voiced with their transmission (codec, loss, radio) on recorded speech,
// rather than by their effect alone on the reference signals: a codec changes the loudness
// and peaks of what the effect makes, so the two are voiced together.
#pragma once

#include <algorithm>
#include <iterator>
#include <string>

inline bool voicedWithItsTransmission(const std::string& preset)
{
    static const char* const names[] = {"Mobile call (2G)", "Mobile call, breaking up", "Video call", "Voice chat",
                                        "Digital radio"};
    return std::find(std::begin(names), std::end(names), preset) != std::end(names);
}
