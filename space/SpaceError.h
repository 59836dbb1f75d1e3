// A space that cannot be made as asked: settings text that names no space or setting, a
// distance that does not fit in the room, an impulse response file that cannot be used. The
// message says what was wrong and, for a file, names it.
#pragma once

#include <stdexcept>

namespace space
{

class SpaceError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

} // namespace space
