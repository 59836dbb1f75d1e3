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

// Rounded half away from zero, as lround does, without its library call per sample: v - t is
// exact in double for |v| <= 32768.
inline std::int16_t toPcm16(float x)
{
    const double v = static_cast<double>(finiteInRange(x)) * 32768.0;
    const auto t = static_cast<long>(v);
    const double rest = v - static_cast<double>(t);
    const long r = rest >= 0.5 ? t + 1 : rest <= -0.5 ? t - 1 : t;
    return static_cast<std::int16_t>(r > 32767 ? 32767 : r < -32768 ? -32768 : r);
}

inline float fromPcm16(std::int16_t x) { return static_cast<float>(x) * (1.f / 32768.f); }

} // namespace transmission
