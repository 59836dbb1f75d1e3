// A single-precision direct-form-I biquad with its memories.
#pragma once

#include "engine/filters/BiquadCoefs.h"

#include <cmath>

// One direct-form-I step of a section whose coefficients and memories are b0, b1, b2, a1,
// a2, x1, x2, y1 and y2: one channel's floats, or lanes of several channels.
template <typename Section, typename T>
T directFormIStep(Section& s, T x)
{
    const T y = s.b0 * x + s.b1 * s.x1 + s.b2 * s.x2 - s.a1 * s.y1 - s.a2 * s.y2;
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
}

struct BiquadSection
{
    float b0 = 1.f, b1 = 0.f, b2 = 0.f, a1 = 0.f, a2 = 0.f;
    float x1 = 0.f, x2 = 0.f, y1 = 0.f, y2 = 0.f;

    void load(const BiquadCoefs& c)
    {
        b0 = static_cast<float>(c.b0);
        b1 = static_cast<float>(c.b1);
        b2 = static_cast<float>(c.b2);
        a1 = static_cast<float>(c.a1);
        a2 = static_cast<float>(c.a2);
    }

    void clearMemory() { x1 = x2 = y1 = y2 = 0.f; }

    bool memoryIsFinite() const
    {
        return std::isfinite(x1) && std::isfinite(x2) && std::isfinite(y1) && std::isfinite(y2);
    }

    float tick(float x) { return directFormIStep(*this, x); }
};
