// What reaches a codec: finite samples within full scale, whatever the effect put out
// (NaN and infinities as silence, overs clipped).
#pragma once

#include <cmath>
#include <cstdint>

namespace transmission
{

inline float finiteInRange(float x)
{
    if (!std::isfinite(x))
        return 0.f;
    return x > 1.f ? 1.f : x < -1.f ? -1.f : x;
}

inline std::int16_t toPcm16(float x)
{
    const long v = std::lround(static_cast<double>(finiteInRange(x)) * 32768.0);
    return static_cast<std::int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
}

inline float fromPcm16(std::int16_t x) { return static_cast<float>(x) * (1.f / 32768.f); }

} // namespace transmission
