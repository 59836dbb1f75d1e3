// One second-order section: H(z) = (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2).
#pragma once

struct BiquadCoefs
{
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a0 = 1.0;
    double a1 = 0.0;
    double a2 = 0.0;

    static constexpr BiquadCoefs identity() { return BiquadCoefs{}; }

    // Divides every coefficient by a0, leaving a0 = 1.
    void normalise()
    {
        const double inv = 1.0 / a0;
        b0 *= inv;
        b1 *= inv;
        b2 *= inv;
        a1 *= inv;
        a2 *= inv;
        a0 = 1.0;
    }
};
