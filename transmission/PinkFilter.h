#pragma once

namespace transmission
{
// Paul Kellet's refined pink filter: seven poles give -3 dB per octave within 0.05 dB above
// 9 Hz at 44.1 kHz. `state` holds seven values, zero at the start; returns the next pink sample
// for one white one, in the arithmetic of T.
template <typename T>
T pinkFromWhite(T* state, T white)
{
    T* b = state;
    b[0] = T(0.99886) * b[0] + white * T(0.0555179);
    b[1] = T(0.99332) * b[1] + white * T(0.0750759);
    b[2] = T(0.96900) * b[2] + white * T(0.1538520);
    b[3] = T(0.86650) * b[3] + white * T(0.3104856);
    b[4] = T(0.55000) * b[4] + white * T(0.5329522);
    b[5] = T(-0.7616) * b[5] - white * T(0.0168980);
    const T pink = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + white * T(0.5362);
    b[6] = white * T(0.115926);
    return pink;
}
} // namespace transmission
