// A single-precision direct-form-I biquad with its memories.
#pragma once

#include "engine/filters/BiquadCoefs.h"

#include <cmath>

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

    float tick(float x)
    {
        const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};
